#include "AudioFile.h"

#include <unistd.h>

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
  return true;
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
  if (!mCommitted) Discard();
}

void AudioWriter::Discard() {
  if (mFile) sf_close(mFile);
  mFile = nullptr;
  if (!mTempPath.empty()) std::remove(mTempPath.c_str());
  mTempPath.clear();
}

bool AudioWriter::Open(const std::string& path, int sampleRate, int channels, std::string* error) {
  mPath = path;
  mTempPath = path + ".part" + std::to_string(getpid());
  SF_INFO info = {};
  info.samplerate = sampleRate;
  info.channels = channels;
  info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  mFile = sf_open(mTempPath.c_str(), SFM_WRITE, &info);
  if (!mFile) {
    *error = "can't write '" + path + "': " + sf_strerror(nullptr);
    mTempPath.clear();
    return false;
  }
  return true;
}

bool AudioWriter::Write(const float* interleaved, int nFrames, std::string* error) {
  if (sf_writef_float(mFile, interleaved, nFrames) != nFrames) {
    *error = "writing '" + mPath + "' failed: " + sf_strerror(mFile);
    return false;
  }
  return true;
}

bool AudioWriter::Commit(std::string* error) {
  const int closed = sf_close(mFile);
  mFile = nullptr;
  if (closed != 0) {
    *error = "finishing '" + mPath + "' failed: " + sf_error_number(closed);
    Discard();
    return false;
  }
  if (std::rename(mTempPath.c_str(), mPath.c_str()) != 0) {
    *error = "can't move the output to '" + mPath + "': " + std::strerror(errno);
    Discard();
    return false;
  }
  mTempPath.clear();
  mCommitted = true;
  return true;
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
