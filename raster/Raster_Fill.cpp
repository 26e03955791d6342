#include "Raster_Fill.h"

#include <algorithm>

#include "Raster_SolidOps.h"

using raster_detail::PixelView;

namespace {

// Clips (x, y, w, h) to the view; false when nothing is left.
bool ClipRect(const PixelView& v, long long x, long long y, long long w, long long h, int* x0,
              int* y0, int* x1, int* y1) {
  const long long l = std::max(0LL, x), t = std::max(0LL, y);
  const long long r = std::min<long long>(v.w, x + w), b = std::min<long long>(v.h, y + h);
  if (r <= l || b <= t) return false;
  *x0 = static_cast<int>(l), *y0 = static_cast<int>(t);
  *x1 = static_cast<int>(r), *y1 = static_cast<int>(b);
  return true;
}

float ScaledAlpha(unsigned int color, float alpha, int mode) {
  return (mode & RASTER_MODE_ALPHA) ? alpha * static_cast<float>(color >> 24) / 255.0f : alpha;
}

}  // namespace

void Raster_FillRect(Raster_IBitmap* dest, int x, int y, int w, int h, unsigned int color,
                     float alpha, int mode) {
  const PixelView v = raster_detail::ViewOf(dest);
  const int weight = Raster_AlphaToWeight(ScaledAlpha(color, alpha, mode));
  int x0, y0, x1, y1;
  if (v.Empty() || weight == 0 || !ClipRect(v, x, y, w, h, &x0, &y0, &x1, &y1)) return;
  raster_detail::WithFillOp(mode, weight, color, [&](auto op) {
    for (int row = y0; row < y1; ++row) {
      unsigned int* p = v.Row(row);
      for (int col = x0; col < x1; ++col)
        op(p + col);
    }
  });
}

void Raster_ClearRect(Raster_IBitmap* dest, int x, int y, int w, int h, unsigned int mask,
                      unsigned int orbits) {
  const PixelView v = raster_detail::ViewOf(dest);
  int x0, y0, x1, y1;
  if (v.Empty() || !ClipRect(v, x, y, w, h, &x0, &y0, &x1, &y1)) return;
  for (int row = y0; row < y1; ++row) {
    unsigned int* p = v.Row(row);
    for (int col = x0; col < x1; ++col)
      p[col] = (p[col] & mask) | orbits;
  }
}

void Raster_Clear(Raster_IBitmap* dest, unsigned int color) {
  const PixelView v = raster_detail::ViewOf(dest);
  if (v.Empty()) return;
  for (int row = 0; row < v.h; ++row)
    std::fill(v.Row(row), v.Row(row) + v.w, color);
}

unsigned int Raster_GetPixel(Raster_IBitmap* bmp, int x, int y) {
  const PixelView v = raster_detail::ViewOf(bmp);
  if (v.Empty() || x < 0 || y < 0 || x >= v.w || y >= v.h) return 0;
  return v.Row(y)[x];
}

void Raster_PutPixel(Raster_IBitmap* bmp, int x, int y, unsigned int color, float alpha, int mode) {
  const PixelView v = raster_detail::ViewOf(bmp);
  if (v.Empty() || x < 0 || y < 0 || x >= v.w || y >= v.h) return;
  const int weight = Raster_AlphaToWeight(ScaledAlpha(color, alpha, mode));
  if (weight == 0) return;
  raster_detail::WithFillOp(mode, weight, color, [&](auto op) { op(v.Row(y) + x); });
}
