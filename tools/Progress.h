#pragma once

// Progress of a long run on stderr, shown only when stderr is a terminal: a bar,
// the percentage done and the speed as a multiple of realtime.
#include <chrono>
#include <string>

class Progress {
 public:
  // total frames at sampleRate; nothing is drawn when stderr is not a terminal.
  Progress(long long total, int sampleRate);
  ~Progress() { Finish(); }
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;
  void Update(long long done);
  // Ends the line, once, if anything was drawn (also when a run stops on an error).
  void Finish();

  // The text of one update: done of total frames after seconds of work.
  static std::string Line(long long done, long long total, int sampleRate, double seconds);

 private:
  long long mTotal;
  int mRate;
  bool mShow;
  bool mDrawn = false;
  std::chrono::steady_clock::time_point mStart, mLastDraw;
};
