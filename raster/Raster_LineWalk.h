#pragma once

// The pixel walk of integer lines, shared by the solid and dashed lines and the
// clipping helper: the major axis steps one pixel at a time and the minor position
// is exact, as a floor and a remainder, so a clipped walk visits the same pixels.

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "Raster_Dispatch.h"

namespace raster_detail {

// End points anywhere in the int range make products up to 2^64: kept in 128 bits.
using Wide = __int128;

inline Wide FloorDiv(Wide n, Wide d) {
  const Wide q = n / d;
  return (n % d != 0 && (n < 0)) ? q - 1 : q;
}

// A sloped line seen along its major axis: from (a, m0) to (b, m0 + dMinor), a <= b.
struct MajorLine {
  bool steep;
  int a, b, m0;
  long long dMinor, span;

  MajorLine(int x1, int y1, int x2, int y2) {
    steep =
        std::llabs(static_cast<long long>(y2) - y1) > std::llabs(static_cast<long long>(x2) - x1);
    if (steep) std::swap(x1, y1), std::swap(x2, y2);
    if (x1 > x2) std::swap(x1, x2), std::swap(y1, y2);
    a = x1, b = x2, m0 = y1;
    span = static_cast<long long>(x2) - x1;
    dMinor = static_cast<long long>(y2) - y1;
  }
  // Exact minor position at a major step: floor and remainder of the division.
  void MinorAt(int major, long long* q, long long* rem) const {
    const Wide n = (static_cast<Wide>(major) - a) * dMinor;
    const Wide f = FloorDiv(n, span);
    *q = static_cast<long long>(m0 + f);
    *rem = static_cast<long long>(n - f * span);
  }
  // The pixel the plain line sets at a major step (rounded half up).
  long long PlainMinorAt(int major) const {
    long long q, rem;
    MinorAt(major, &q, &rem);
    return 2 * rem >= span ? q + 1 : q;
  }
};

// Visits the pixels of a sloped line (span > 0) inside a w x h view:
// plot(x, y, coverage 0..256, distance along the major axis from the line's first
// end point).  Anti-aliased lines share each step between two pixels.
template <class Plot>
void WalkSlopedLine(int w, int h, int x1, int y1, int x2, int y2, bool aa, Plot&& plot) {
  const MajorLine l(x1, y1, x2, y2);
  const int first = l.steep ? y1 : x1;
  const int majorLimit = l.steep ? h : w, minorLimit = l.steep ? w : h;
  auto put = [&](int major, long long minor, int coverage) {
    if (minor < 0 || minor >= minorLimit || coverage <= 0) return;
    const long long along = std::llabs(static_cast<long long>(major) - first);
    if (l.steep)
      plot(static_cast<int>(minor), major, coverage, along);
    else
      plot(major, static_cast<int>(minor), coverage, along);
  };
  const int from = std::max(l.a, 0), to = std::min(l.b, majorLimit - 1);
  for (int major = from; major <= to; ++major) {
    long long q, rem;
    l.MinorAt(major, &q, &rem);
    if (aa) {
      const int frac = static_cast<int>(rem * 256 / l.span);
      put(major, q, 256 - frac);
      put(major, q + 1, frac);
    } else {
      put(major, 2 * rem >= l.span ? q + 1 : q, 256);
    }
  }
}

}  // namespace raster_detail
