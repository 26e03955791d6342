#include <algorithm>
#include <cmath>

#include "Raster_LineWalk.h"
#include "Raster_Primitives.h"
#include "Raster_SolidOps.h"

using raster_detail::PixelView;

namespace {

// Limits a double before it becomes an int, so far-off positions cannot overflow.
int ToIndex(double d) {
  return static_cast<int>(std::max(-2.0e9, std::min(2.0e9, d)));
}

// Visits the anti-aliased line between float end points, pixel centres on whole
// coordinates: every whole major position from the rounded first end to the rounded
// last, the minor position taken from the unclipped line, so clipping crops exactly.
template <class Plot>
void WalkSmoothLine(const PixelView& v, double x1, double y1, double x2, double y2, Plot&& plot) {
  const bool steep = std::fabs(y2 - y1) > std::fabs(x2 - x1);
  if (steep) std::swap(x1, y1), std::swap(x2, y2);
  if (x1 > x2) std::swap(x1, x2), std::swap(y1, y2);
  const int majorLimit = steep ? v.h : v.w, minorLimit = steep ? v.w : v.h;
  const double lo = std::max(std::floor(x1 + 0.5), 0.0);
  const double hi = std::min(std::floor(x2 + 0.5), majorLimit - 1.0);
  const double slope = x2 > x1 ? (y2 - y1) / (x2 - x1) : 0.0;
  auto put = [&](int major, double minor, int coverage) {
    if (coverage <= 0 || minor < 0 || minor >= minorLimit) return;
    if (steep)
      plot(static_cast<int>(minor), major, coverage);
    else
      plot(major, static_cast<int>(minor), coverage);
  };
  for (int major = ToIndex(lo); major <= ToIndex(hi); ++major) {
    const double minor = y1 + (major - x1) * slope;
    const double base = std::floor(minor);
    const int frac = static_cast<int>((minor - base) * 256.0);
    put(major, base, 256 - frac);
    put(major, base + 1, frac);
  }
}

bool Finite(float a, float b, float c, float d) {
  return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d);
}

}  // namespace

void Raster_FLine(Raster_IBitmap* dest, float x1, float y1, float x2, float y2, unsigned int color,
                  float alpha, int mode, bool aa) {
  const PixelView v = raster_detail::ViewOf(dest);
  const int w = Raster_AlphaToWeight(alpha);
  if (v.Empty() || w == 0 || !Finite(x1, y1, x2, y2)) return;
  if (aa) {
    raster_detail::WithCoverageOp(mode, w, color, [&](auto op) {
      WalkSmoothLine(v, x1, y1, x2, y2, [&](int x, int y, int c) { op(v.Row(y) + x, c); });
    });
    return;
  }
  // Plain lines join the rounded end points, so lines sharing an end point meet in one
  // pixel; far ends are first cut to a box that keeps the rounded values in range.
  const float limit = 1.0e9f;
  if (!Raster_ClipFLine(&x1, &y1, &x2, &y2, -limit, -limit, limit, limit)) return;
  Raster_Line(dest, ToIndex(std::floor(x1 + 0.5)), ToIndex(std::floor(y1 + 0.5)),
              ToIndex(std::floor(x2 + 0.5)), ToIndex(std::floor(y2 + 0.5)), color, alpha, mode,
              false);
}

void Raster_DashedLine(Raster_IBitmap* dest, int x1, int y1, int x2, int y2, int dash, int gap,
                       unsigned int color, float alpha, int mode, bool aa) {
  const PixelView v = raster_detail::ViewOf(dest);
  const int w = Raster_AlphaToWeight(alpha);
  if (v.Empty() || w == 0 || dash < 1) return;
  if (gap < 1) return Raster_Line(dest, x1, y1, x2, y2, color, alpha, mode, aa);
  if (x1 == x2 && y1 == y2) return Raster_Line(dest, x1, y1, x2, y2, color, alpha, mode, false);
  const long long period = static_cast<long long>(dash) + gap;
  auto on = [&](long long along) { return along % period < dash; };
  const bool straight = x1 == x2 || y1 == y2;
  if (aa && !straight) {
    raster_detail::WithCoverageOp(mode, w, color, [&](auto op) {
      raster_detail::WalkSlopedLine(v.w, v.h, x1, y1, x2, y2, true,
                                    [&](int x, int y, int c, long long along) {
                                      if (on(along)) op(v.Row(y) + x, c);
                                    });
    });
    return;
  }
  // Horizontal and vertical dashes combine as the solid line's runs do.
  auto plain = [&](auto op) {
    raster_detail::WalkSlopedLine(v.w, v.h, x1, y1, x2, y2, false,
                                  [&](int x, int y, int, long long along) {
                                    if (on(along)) op(v.Row(y) + x);
                                  });
  };
  if (straight)
    raster_detail::WithRunOp(mode, w, color, plain);
  else
    raster_detail::WithSolidOp(mode, w, color, plain);
}
