#include <algorithm>
#include <cstdlib>

#include "Raster_Primitives.h"
#include "Raster_SolidOps.h"

using raster_detail::PixelView;

namespace {

// Plain-copy runs at weights 1, 0.75, 0.5 and 0.25 use the fill's exact mixes.
template <class Fn>
bool WithRunOp(int mode, int w, unsigned int color, Fn&& fn) {
  if ((mode & 0x100FF) == 0 && (w == 256 || w == 192 || w == 128 || w == 64))
    return raster_detail::WithFillOp(mode, w, color, fn);
  return raster_detail::WithSolidOp(mode, w, color, fn);
}

void HorizontalRun(const PixelView& v, int y, int xa, int xb, unsigned int color, int w, int mode) {
  if (y < 0 || y >= v.h) return;
  const int x0 = std::max(0, std::min(xa, xb)), x1 = std::min(v.w - 1, std::max(xa, xb));
  WithRunOp(mode, w, color, [&](auto op) {
    unsigned int* row = v.Row(y);
    for (int x = x0; x <= x1; ++x)
      op(row + x);
  });
}

void VerticalRun(const PixelView& v, int x, int ya, int yb, unsigned int color, int w, int mode) {
  if (x < 0 || x >= v.w) return;
  const int y0 = std::max(0, std::min(ya, yb)), y1 = std::min(v.h - 1, std::max(ya, yb));
  WithRunOp(mode, w, color, [&](auto op) {
    for (int y = y0; y <= y1; ++y)
      op(v.Row(y) + x);
  });
}

// End points anywhere in the int range make products up to 2^64: kept in 128 bits.
using Wide = __int128;

Wide FloorDiv(Wide n, Wide d) {
  const Wide q = n / d;
  return (n % d != 0 && (n < 0)) ? q - 1 : q;
}

// Walks the major axis from a to b (a <= b, lengths in pixels), visiting only the
// steps whose major coordinate lies in [0, limit); minor = m0 + n / span exactly, as
// a floor and a remainder.  visit(major, floor, remainder).
template <class Visit>
void WalkMajor(int a, int b, int m0, long long dMinor, long long span, int limit, Visit&& visit) {
  const int from = std::max(a, 0), to = std::min(b, limit - 1);
  for (int major = from; major <= to; ++major) {
    const Wide n = (static_cast<Wide>(major) - a) * dMinor;
    const Wide q = FloorDiv(n, span);
    visit(major, static_cast<long long>(m0 + q), static_cast<long long>(n - q * span));
  }
}

template <class Plot>
void SlopedLine(const PixelView& v, int x1, int y1, int x2, int y2, bool aa, Plot&& plot) {
  const bool steep =
      std::llabs(static_cast<long long>(y2) - y1) > std::llabs(static_cast<long long>(x2) - x1);
  if (steep) std::swap(x1, y1), std::swap(x2, y2);
  if (x1 > x2) std::swap(x1, x2), std::swap(y1, y2);
  const long long span = static_cast<long long>(x2) - x1, dy = static_cast<long long>(y2) - y1;
  const int majorLimit = steep ? v.h : v.w, minorLimit = steep ? v.w : v.h;
  auto put = [&](int major, long long minor, int coverage) {
    if (minor < 0 || minor >= minorLimit || coverage <= 0) return;
    if (steep)
      plot(static_cast<int>(minor), major, coverage);
    else
      plot(major, static_cast<int>(minor), coverage);
  };
  WalkMajor(x1, x2, y1, dy, span, majorLimit, [&](int major, long long q, long long rem) {
    if (aa) {
      const int frac = static_cast<int>(rem * 256 / span);
      put(major, q, 256 - frac);
      put(major, q + 1, frac);
    } else {
      put(major, 2 * rem >= span ? q + 1 : q, 256);
    }
  });
}

}  // namespace

void Raster_Line(Raster_IBitmap* dest, int x1, int y1, int x2, int y2, unsigned int color,
                 float alpha, int mode, bool aa) {
  const PixelView v = raster_detail::ViewOf(dest);
  const int w = Raster_AlphaToWeight(alpha);
  if (v.Empty() || w == 0) return;
  if (std::max(x1, x2) < 0 || std::min(x1, x2) >= v.w || std::max(y1, y2) < 0 ||
      std::min(y1, y2) >= v.h)
    return;
  if (y1 == y2) return HorizontalRun(v, y1, x1, x2, color, w, mode);
  if (x1 == x2) return VerticalRun(v, x1, y1, y2, color, w, mode);
  if (aa) {
    raster_detail::WithCoverageOp(mode, w, color, [&](auto op) {
      SlopedLine(v, x1, y1, x2, y2, true, [&](int x, int y, int c) { op(v.Row(y) + x, c); });
    });
  } else {
    raster_detail::WithSolidOp(mode, w, color, [&](auto op) {
      SlopedLine(v, x1, y1, x2, y2, false, [&](int x, int y, int) { op(v.Row(y) + x); });
    });
  }
}
