#include "Progress.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

Progress::Progress(long long total, int sampleRate)
    : mTotal(total),
      mRate(sampleRate),
      mShow(isatty(2) && total > 0 && sampleRate > 0),
      mStart(std::chrono::steady_clock::now()),
      mLastDraw(mStart) {}

std::string Progress::Line(long long done, long long total, int sampleRate, double seconds) {
  const int percent = total > 0 ? static_cast<int>(std::min(done, total) * 100 / total) : 0;
  char bar[41];
  for (int i = 0; i < 40; ++i)
    bar[i] = i < percent * 40 / 100 ? '#' : '.';
  bar[40] = '\0';
  char text[96];
  if (seconds > 0.0 && sampleRate > 0) {
    std::snprintf(text, sizeof text, "[%s] %3d%%  %.1fx realtime", bar, percent,
                  static_cast<double>(done) / sampleRate / seconds);
  } else {
    std::snprintf(text, sizeof text, "[%s] %3d%%", bar, percent);
  }
  return text;
}

// Redrawn at most five times a second, and at the end.
void Progress::Update(long long done) {
  if (!mShow) return;
  const auto now = std::chrono::steady_clock::now();
  if (done < mTotal && now - mLastDraw < std::chrono::milliseconds(200)) return;
  mLastDraw = now;
  const double seconds = std::chrono::duration<double>(now - mStart).count();
  std::fprintf(stderr, "\r%s\x1b[K", Line(done, mTotal, mRate, seconds).c_str());
  mDrawn = true;
}

void Progress::Finish() {
  if (mShow && mDrawn) std::fprintf(stderr, "\n");
  mShow = false;
}
