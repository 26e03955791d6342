#include <algorithm>

#include "Raster_Primitives.h"
#include "Raster_SolidOps.h"

using raster_detail::PixelView;

namespace {

// The rectangle's pixel rows and columns, inclusive, in 64 bits so that x + w cannot
// overflow.
struct Edges {
  long long l, t, r, b;
};

// Combines op into the pixels of [x0, x1] x [y0, y1] (inclusive) that lie in the view.
template <class Op>
void Span(const PixelView& v, long long x0, long long x1, long long y0, long long y1, Op& op) {
  const long long l = std::max(0LL, x0), r = std::min<long long>(v.w - 1, x1);
  const long long t = std::max(0LL, y0), b = std::min<long long>(v.h - 1, y1);
  for (long long y = t; y <= b; ++y) {
    unsigned int* row = v.Row(static_cast<int>(y));
    for (long long x = l; x <= r; ++x)
      op(row + x);
  }
}

// The one-pixel outline, each pixel once: full top and bottom rows, the sides between.
// Its runs combine as the lines' horizontal and vertical runs do.
template <class Op>
void Outline(const PixelView& v, const Edges& e, Op& op) {
  Span(v, e.l, e.r, e.t, e.t, op);
  if (e.b == e.t) return;
  Span(v, e.l, e.r, e.b, e.b, op);
  Span(v, e.l, e.l, e.t + 1, e.b - 1, op);
  if (e.r != e.l) Span(v, e.r, e.r, e.t + 1, e.b - 1, op);
}

}  // namespace

void Raster_DrawRect(Raster_IBitmap* dest, int x, int y, int w, int h, unsigned int color,
                     float alpha, int mode) {
  const PixelView v = raster_detail::ViewOf(dest);
  const int weight = Raster_AlphaToWeight(alpha);
  if (v.Empty() || weight == 0 || w < 1 || h < 1) return;
  const Edges e{x, y, static_cast<long long>(x) + w - 1, static_cast<long long>(y) + h - 1};
  raster_detail::WithRunOp(mode, weight, color, [&](auto op) { Outline(v, e, op); });
}

void Raster_BorderedRect(Raster_IBitmap* dest, int x, int y, int w, int h, unsigned int fillColor,
                         unsigned int borderColor, float alpha, int mode) {
  const PixelView v = raster_detail::ViewOf(dest);
  const int weight = Raster_AlphaToWeight(alpha);
  if (v.Empty() || weight == 0 || w < 1 || h < 1) return;
  const Edges e{x, y, static_cast<long long>(x) + w - 1, static_cast<long long>(y) + h - 1};
  raster_detail::WithRunOp(mode, weight, fillColor,
                           [&](auto op) { Span(v, e.l + 1, e.r - 1, e.t + 1, e.b - 1, op); });
  raster_detail::WithRunOp(mode, weight, borderColor, [&](auto op) { Outline(v, e, op); });
}
