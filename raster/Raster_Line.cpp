#include <algorithm>
#include <cstdlib>

#include "Raster_LineWalk.h"
#include "Raster_Primitives.h"
#include "Raster_SolidOps.h"

using raster_detail::PixelView;

namespace {

void HorizontalRun(const PixelView& v, int y, int xa, int xb, unsigned int color, int w, int mode) {
  if (y < 0 || y >= v.h) return;
  const int x0 = std::max(0, std::min(xa, xb)), x1 = std::min(v.w - 1, std::max(xa, xb));
  raster_detail::WithRunOp(mode, w, color, [&](auto op) {
    unsigned int* row = v.Row(y);
    for (int x = x0; x <= x1; ++x)
      op(row + x);
  });
}

void VerticalRun(const PixelView& v, int x, int ya, int yb, unsigned int color, int w, int mode) {
  if (x < 0 || x >= v.w) return;
  const int y0 = std::max(0, std::min(ya, yb)), y1 = std::min(v.h - 1, std::max(ya, yb));
  raster_detail::WithRunOp(mode, w, color, [&](auto op) {
    for (int y = y0; y <= y1; ++y)
      op(v.Row(y) + x);
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
      raster_detail::WalkSlopedLine(v.w, v.h, x1, y1, x2, y2, true,
                                    [&](int x, int y, int c, long long) { op(v.Row(y) + x, c); });
    });
  } else {
    raster_detail::WithSolidOp(mode, w, color, [&](auto op) {
      raster_detail::WalkSlopedLine(v.w, v.h, x1, y1, x2, y2, false,
                                    [&](int x, int y, int, long long) { op(v.Row(y) + x); });
    });
  }
}
