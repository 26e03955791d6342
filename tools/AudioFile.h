#pragma once

// Sound files through libsndfile: a reader of any format it knows, and a writer of
// 32-bit float WAV (RF64 past 4 GiB) that only ever shows a complete file under its
// final name.
#include <string>
#include <vector>

#include <sndfile.h>

#include "OutputPath.h"

class AudioReader {
 public:
  AudioReader() = default;
  ~AudioReader();
  AudioReader(const AudioReader&) = delete;
  AudioReader& operator=(const AudioReader&) = delete;

  // False with a message in *error when the file can't be opened as audio.
  bool Open(const std::string& path, std::string* error);
  int Channels() const { return mInfo.channels; }
  int SampleRate() const { return mInfo.samplerate; }
  long long Frames() const { return mInfo.frames; }
  // The frame count the file's header states, when it says more than the file
  // holds (a truncated file); otherwise Frames().
  long long PromisedFrames() const { return mPromisedFrames; }
  // Reads up to nFrames interleaved frames; returns the count read (0 at the end).
  int Read(float* interleaved, int nFrames);
  // True, with a message, when a read stopped on an error rather than at the end.
  bool Failed(std::string* error) const;

 private:
  SNDFILE* mFile = nullptr;
  long long HeaderFrames();

  SF_INFO mInfo = {};
  long long mPromisedFrames = 0;
  std::string mPath;
};

class AudioWriter {
 public:
  AudioWriter() = default;
  ~AudioWriter();
  AudioWriter(const AudioWriter&) = delete;
  AudioWriter& operator=(const AudioWriter&) = delete;

  // Refuses an unusable path or one of inputs (see CheckOutputPath), then starts a
  // 32-bit float file under a temporary name created exclusively beside path.  The
  // file is begun as RF64 and libsndfile writes it as plain WAV at the close when
  // what was written fits in WAV's 32-bit sizes, so the container follows the
  // output's real length, never a length an input's header claims.
  bool Open(const std::string& path, int sampleRate, int channels, std::string* error,
            const std::vector<std::string>& inputs = {});
  bool Write(const float* interleaved, int nFrames, std::string* error);
  // Closes the file and moves it to its final name; the unfinished file is removed
  // on failure, or when the writer goes without a commit.
  bool Commit(std::string* error);

 private:
  SNDFILE* mFile = nullptr;
  OutputFile mOut;
};

// Writes a whole interleaved buffer as a 32-bit float WAV.
bool WriteWav(const std::string& path, const float* interleaved, long long nFrames, int sampleRate,
              int channels, std::string* error);
