#include "AudioFile.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

AudioReader::~AudioReader() {
  if (mFile) sf_close(mFile);
}

bool AudioReader::Open(const std::string& path, std::string* error) {
  mInfo = {};
  mPath = path;
  mFile = sf_open(path.c_str(), SFM_READ, &mInfo);
  if (!mFile) {
    *error = "can't read '" + path + "': " + sf_strerror(nullptr);
    return false;
  }
  mPromisedFrames = std::max<long long>(mInfo.frames, HeaderFrames());
  return true;
}

// The reader counts only the frames the file holds; the header's own figure survives
// in its log as "data : SIZE (should be ACTUAL)" (or SSND for AIFF, whose chunk
// starts with 8 bytes of offset and block size).
long long AudioReader::HeaderFrames() {
  static const struct {
    int subtype, bytes;
  } kSampleBytes[] = {{SF_FORMAT_PCM_S8, 1}, {SF_FORMAT_PCM_U8, 1}, {SF_FORMAT_PCM_16, 2},
                      {SF_FORMAT_PCM_24, 3}, {SF_FORMAT_PCM_32, 4}, {SF_FORMAT_FLOAT, 4},
                      {SF_FORMAT_DOUBLE, 8}};
  long long frameBytes = 0;
  for (const auto& s : kSampleBytes) {
    if ((mInfo.format & SF_FORMAT_SUBMASK) == s.subtype)
      frameBytes = 1LL * s.bytes * mInfo.channels;
  }
  if (frameBytes <= 0) return -1;
  char log[8192] = {};
  sf_command(mFile, SFC_GET_LOG_INFO, log, sizeof log);
  for (const char* chunk : {"\ndata : ", "\nSSND : "}) {
    const char* at = std::strstr(log, chunk);
    long long stated = 0, actual = 0;
    if (at &&
        std::sscanf(at + std::strlen(chunk), "%lld (should be %lld)", &stated, &actual) == 2) {
      if (chunk[1] == 'S') stated -= 8;
      return stated / frameBytes;
    }
  }
  return -1;
}

int AudioReader::Read(float* interleaved, int nFrames) {
  return static_cast<int>(sf_readf_float(mFile, interleaved, nFrames));
}

bool AudioReader::Failed(std::string* error) const {
  if (sf_error(mFile) == SF_ERR_NO_ERROR) return false;
  *error = "reading '" + mPath + "' failed: " + sf_strerror(mFile);
  return true;
}

AudioWriter::~AudioWriter() {
  if (mFile) sf_close(mFile);
}

bool AudioWriter::Open(const std::string& path, int sampleRate, int channels, std::string* error,
                       const std::vector<std::string>& inputs) {
  if (!mOut.Open(path, error, inputs)) return false;
  SF_INFO info = {};
  info.samplerate = sampleRate;
  info.channels = channels;
  info.format = SF_FORMAT_RF64 | SF_FORMAT_FLOAT;
  mFile = sf_open_fd(mOut.Descriptor(), SFM_WRITE, &info, SF_FALSE);
  if (!mFile) {
    *error = "can't write '" + path + "': " + sf_strerror(nullptr);
    mOut.Discard();
    return false;
  }
  sf_command(mFile, SFC_RF64_AUTO_DOWNGRADE, nullptr, SF_TRUE);
  return true;
}

bool AudioWriter::Write(const float* interleaved, int nFrames, std::string* error) {
  if (sf_writef_float(mFile, interleaved, nFrames) != nFrames) {
    *error = "writing '" + mOut.Path() + "' failed: " + sf_strerror(mFile);
    return false;
  }
  return true;
}

bool AudioWriter::Commit(std::string* error) {
  const int closed = sf_close(mFile);
  mFile = nullptr;
  if (closed != 0) {
    *error = "finishing '" + mOut.Path() + "' failed: " + sf_error_number(closed);
    mOut.Discard();
    return false;
  }
  return mOut.Commit(error);
}

bool WriteWav(const std::string& path, const float* interleaved, long long nFrames, int sampleRate,
              int channels, std::string* error) {
  AudioWriter w;
  if (!w.Open(path, sampleRate, channels, error)) return false;
  const int chunk = 1 << 16;
  for (long long pos = 0; pos < nFrames; pos += chunk) {
    const int n = static_cast<int>(nFrames - pos < chunk ? nFrames - pos : chunk);
    if (!w.Write(interleaved + pos * channels, n, error)) return false;
  }
  return w.Commit(error);
}
