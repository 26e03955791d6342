#include <algorithm>
#include <cmath>

#include "Raster_Blit.h"
#include "Raster_Sampling.h"

using raster_detail::PixelView;
using raster_detail::SampleArea;

namespace {

// Source walk in 16.16 fixed point, relative to the sampling area's top-left.
struct Walk {
  long long x, y;        // position at the first destination pixel
  long long colX, colY;  // per destination column
  long long rowX, rowY;  // per destination row
};

bool SamplingArea(const PixelView& s, bool clip, float srcx, float srcy, float srcw, float srch,
                  SampleArea* out) {
  double l = 0, t = 0, r = s.w, b = s.h;
  if (clip) {
    l = std::max(0.0, static_cast<double>(std::min(srcx, srcx + srcw)));
    t = std::max(0.0, static_cast<double>(std::min(srcy, srcy + srch)));
    r = std::min(static_cast<double>(std::max(srcx, srcx + srcw)), static_cast<double>(s.w));
    b = std::min(static_cast<double>(std::max(srcy, srcy + srch)), static_cast<double>(s.h));
    if (l >= r || t >= b) return false;
  }
  const int li = static_cast<int>(l), ti = static_cast<int>(t);
  const int ri = static_cast<int>(r), bi = static_cast<int>(b);
  if (ri <= li || bi <= ti) return false;
  *out = SampleArea{&s, li, ti, ri - li, bi - ti};
  return true;
}

// Positions beyond 2^32 pixels and steps beyond 2^14 pixels sample nothing more than
// smaller ones would; limiting them keeps the fixed-point walk from overflowing.
long long Fixed(double v, double limit) {
  if (!(v == v)) return 0;
  return static_cast<long long>(std::max(-limit, std::min(limit, v)) * 65536.0);
}
long long FixedPos(double v) {
  return Fixed(v, 4294967296.0);
}
long long FixedStep(double v) {
  return Fixed(v, 16384.0);
}

template <class Pix>
void RotateRows(const PixelView& d, const SampleArea& a, int dx, int dy, int w, int h,
                const Walk& walk, int weight, bool bilinear) {
  long long rx = walk.x, ry = walk.y;
  for (int j = 0; j < h; ++j, rx += walk.rowX, ry += walk.rowY) {
    unsigned char* dp = d.Pixel(dx, dy + j);
    long long x = rx, y = ry;
    for (int i = 0; i < w; ++i, dp += 4, x += walk.colX, y += walk.colY) {
      const long long ix = x >> 16, iy = y >> 16;
      if (ix < 0 || iy < 0 || ix >= a.w || iy >= a.h) continue;
      const unsigned int p =
          bilinear ? raster_detail::Bilinear(a, static_cast<int>(ix), static_cast<int>(iy),
                                             static_cast<unsigned int>(x & 0xFFFF),
                                             static_cast<unsigned int>(y & 0xFFFF))
                   : a.At(static_cast<int>(ix), static_cast<int>(iy));
      raster_detail::CombineSample<Pix>(dp, p, weight);
    }
  }
}

}  // namespace

void Raster_RotatedBlit(Raster_IBitmap* dest, Raster_IBitmap* src, int dstx, int dsty, int dstw,
                        int dsth, float srcx, float srcy, float srcw, float srch, float angle,
                        bool cliptosourcerect, float alpha, int mode, float rotxcent,
                        float rotycent) {
  if (!dest || !src || dstw == 0 || dsth == 0) return;
  for (float v : {srcx, srcy, srcw, srch, angle, rotxcent, rotycent})
    if (!std::isfinite(v)) return;
  long long dx = dstx, dy = dsty, dw = dstw, dh = dsth;
  if (dw < 0) dx += dw, dw = -dw, srcx += srcw, srcw = -srcw;
  if (dh < 0) dy += dh, dh = -dh, srcy += srch, srch = -srch;
  const PixelView d = raster_detail::ViewOf(dest), s = raster_detail::ViewOf(src);
  SampleArea area;
  const int weight = Raster_AlphaToWeight(alpha);
  if (d.Empty() || s.Empty() || weight == 0 ||
      !SamplingArea(s, cliptosourcerect, srcx, srcy, srcw, srch, &area))
    return;

  const double cs = std::cos(static_cast<double>(angle)), sn = std::sin(static_cast<double>(angle));
  const double xs = static_cast<double>(srcw) / dw, ys = static_cast<double>(srch) / dh;
  const double colX = xs * cs, colY = -(sn * ys), rowX = xs * sn, rowY = cs * ys;
  double sx = srcx - ((dh * xs * sn + dw * xs * cs - srcw) * 0.5 - rotxcent);
  double sy = srcy - ((dh * cs * ys - dw * sn * ys - srch) * 0.5 - rotycent);
  if (dx < 0) sx -= dx * colX, sy -= dx * colY, dw += dx, dx = 0;
  if (dy < 0) sx -= dy * rowX, sy -= dy * rowY, dh += dy, dy = 0;
  dw = std::min<long long>(dw, d.w - dx);
  dh = std::min<long long>(dh, d.h - dy);
  if (dw <= 0 || dh <= 0) return;

  const Walk walk{FixedPos(sx - area.left), FixedPos(sy - area.top), FixedStep(colX),
                  FixedStep(colY),          FixedStep(rowX),         FixedStep(rowY)};
  const bool bilinear = (mode & RASTER_MODE_FILTER_MASK) == RASTER_MODE_FILTER_BILINEAR;
  raster_detail::WithPixelFunction(mode, weight, [&](auto pix) {
    RotateRows<decltype(pix)>(d, area, static_cast<int>(dx), static_cast<int>(dy),
                              static_cast<int>(dw), static_cast<int>(dh), walk, weight, bilinear);
  });
}
