#pragma once

// Sound files through libsndfile: a reader of any format it knows, and a writer of
// 32-bit float WAV (RF64 past 4 GiB) that only ever shows a complete file under its
// final name.
#include <string>

#include <sndfile.h>

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
  // Removes the unfinished file unless Commit succeeded.
  ~AudioWriter();
  AudioWriter(const AudioWriter&) = delete;
  AudioWriter& operator=(const AudioWriter&) = delete;

  enum Container { kWav, kRF64 };
  // Plain WAV while the whole output's sizes fit its 32-bit fields, RF64 beyond.
  static Container ContainerFor(long long nFrames, int channels);

  // Refuses an unusable path (see CheckOutputPath), then starts a 32-bit float file
  // under a temporary name created exclusively beside path.
  bool Open(const std::string& path, int sampleRate, int channels, std::string* error,
            Container container = kWav);
  // Fails, rather than writing a file whose sizes wrap, when a WAV outgrows 4 GiB.
  bool Write(const float* interleaved, int nFrames, std::string* error);
  // Closes the file and moves it to its final name.
  bool Commit(std::string* error);

 private:
  void Discard();

  SNDFILE* mFile = nullptr;
  int mFd = -1;
  Container mContainer = kWav;
  int mChannels = 0;
  long long mDataBytes = 0;
  std::string mPath, mTempPath;
  bool mCommitted = false;
};

// Writes a whole interleaved buffer as a 32-bit float WAV.
bool WriteWav(const std::string& path, const float* interleaved, long long nFrames, int sampleRate,
              int channels, std::string* error);
