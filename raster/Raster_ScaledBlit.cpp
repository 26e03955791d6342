#include <algorithm>
#include <cmath>
#include <vector>

#include "Raster_Blit.h"
#include "Raster_Sampling.h"

using raster_detail::PixelView;
using raster_detail::SampleArea;

namespace {

// Where each destination column (or row) samples: a source index (-1: none), its
// 16-bit fraction for bilinear blending, and the end of its box for reduction.
struct Axis {
  std::vector<int> index;
  std::vector<unsigned int> frac;
  std::vector<int> boxEnd;
};

// The source positions of count destination pixels, the first being pixel `skip` of a
// mapping that starts at `start` and moves by `step` source pixels per destination
// pixel, in 16.16 fixed point.  Indices are relative to the area [lo, lo + n).
Axis MapAxis(double start, double step, long long skip, int count, int lo, int n, bool bilinear,
             bool reduce) {
  Axis a;
  a.index.resize(count);
  a.frac.assign(count, 0);
  if (reduce) a.boxEnd.resize(count);
  const double limit = 4294967296.0;
  const double origin = std::max(-limit, std::min(limit, start - lo));
  // Steps beyond 2^15 source pixels per destination pixel sample nothing more; the
  // limit keeps every fixed-point position within 63 bits.
  const double clamped = std::max(-32768.0, std::min(32768.0, step));
  const long long fstep = static_cast<long long>(clamped * 65536.0);
  const double centre = reduce ? 0.0 : (bilinear ? 0.5 * clamped - 0.5 : 0.5 * clamped);
  long long pos = static_cast<long long>((origin + centre) * 65536.0) + fstep * skip;
  for (int i = 0; i < count; ++i, pos += fstep) {
    if (reduce) {
      long long b0 = pos >> 16, b1 = (pos + fstep) >> 16;
      if (b1 < b0) std::swap(b0, b1);
      if (b1 == b0) ++b1;
      b0 = std::max(0LL, b0), b1 = std::min<long long>(n, b1);
      a.index[i] = b1 > b0 ? static_cast<int>(b0) : -1;
      a.boxEnd[i] = static_cast<int>(b1);
    } else if (bilinear) {
      const long long p = std::max(0LL, std::min(pos, static_cast<long long>(n - 1) << 16));
      a.index[i] = static_cast<int>(p >> 16);
      a.frac[i] = static_cast<unsigned int>(p & 0xFFFF);
    } else {
      const long long ix = pos >> 16;
      a.index[i] = ix >= 0 && ix < n ? static_cast<int>(ix) : -1;
    }
  }
  return a;
}

enum class Filter { kNearest, kBilinear, kReduce };

template <class Pix>
void ScaleRows(const PixelView& d, const SampleArea& area, int dx, int dy, const Axis& cols,
               const Axis& rows, int weight, Filter filter) {
  const int w = static_cast<int>(cols.index.size()), h = static_cast<int>(rows.index.size());
  for (int j = 0; j < h; ++j) {
    const int sy = rows.index[j];
    if (sy < 0) continue;
    unsigned char* dp = d.Pixel(dx, dy + j);
    for (int i = 0; i < w; ++i, dp += 4) {
      const int sx = cols.index[i];
      if (sx < 0) continue;
      unsigned int p;
      if (filter == Filter::kReduce)
        p = raster_detail::BoxAverage(area, sx, cols.boxEnd[i], sy, rows.boxEnd[j]);
      else if (filter == Filter::kBilinear)
        p = raster_detail::Bilinear(area, sx, sy, cols.frac[i], rows.frac[j]);
      else
        p = area.At(sx, sy);
      raster_detail::CombineSample<Pix>(dp, p, weight);
    }
  }
}

bool Addressable(float v) {
  return std::fabs(v) < 1.0e9f;
}
bool NearWhole(float v) {
  return std::fabs(v - std::floor(v + 0.5f)) < 0.03f;
}

}  // namespace

void Raster_ScaledBlit(Raster_IBitmap* dest, Raster_IBitmap* src, int dstx, int dsty, int dstw,
                       int dsth, float srcx, float srcy, float srcw, float srch, float alpha,
                       int mode) {
  if (!dest || !src || dstw == 0 || dsth == 0 || alpha == 0.0f) return;
  for (float v : {srcx, srcy, srcw, srch})
    if (!std::isfinite(v)) return;
  const bool bilinear = (mode & RASTER_MODE_FILTER_MASK) == RASTER_MODE_FILTER_BILINEAR;
  if (dstw > 0 && dsth > 0 && Addressable(srcx) && Addressable(srcy) &&
      std::fabs(srcw - dstw) < 0.001f && std::fabs(srch - dsth) < 0.001f &&
      (!bilinear || (NearWhole(srcx) && NearWhole(srcy)))) {
    Raster_Blit(dest, src, dstx, dsty, static_cast<int>(srcx + 0.5f), static_cast<int>(srcy + 0.5f),
                dstw, dsth, alpha, mode & ~RASTER_MODE_FILTER_MASK);
    return;
  }
  long long dx = dstx, dy = dsty, dw = dstw, dh = dsth;
  if (dw < 0) dx += dw, dw = -dw, srcx += srcw, srcw = -srcw;
  if (dh < 0) dy += dh, dh = -dh, srcy += srch, srch = -srch;
  const PixelView d = raster_detail::ViewOf(dest), s = raster_detail::ViewOf(src);
  const int weight = Raster_AlphaToWeight(alpha);
  if (d.Empty() || s.Empty() || weight == 0) return;

  // Samples come from the source rectangle limited to the bitmap.
  const double l = std::max<double>(0.0, std::floor(std::min(srcx, srcx + srcw)));
  const double t = std::max<double>(0.0, std::floor(std::min(srcy, srcy + srch)));
  const double r = std::min<double>(s.w, std::ceil(std::max(srcx, srcx + srcw)));
  const double b = std::min<double>(s.h, std::ceil(std::max(srcy, srcy + srch)));
  if (!(r > l && b > t)) return;
  const SampleArea area{&s, static_cast<int>(l), static_cast<int>(t), static_cast<int>(r - l),
                        static_cast<int>(b - t)};

  const long long skipX = dx < 0 ? -dx : 0, skipY = dy < 0 ? -dy : 0;
  const long long cw = std::min<long long>(dw - skipX, d.w - std::max(0LL, dx));
  const long long ch = std::min<long long>(dh - skipY, d.h - std::max(0LL, dy));
  if (cw <= 0 || ch <= 0) return;

  const double stepX = static_cast<double>(srcw) / dw, stepY = static_cast<double>(srch) / dh;
  const bool reduce = bilinear && (std::fabs(stepX) > 1.0 || std::fabs(stepY) > 1.0);
  const Filter filter =
      reduce ? Filter::kReduce : (bilinear ? Filter::kBilinear : Filter::kNearest);
  const Axis cols =
      MapAxis(srcx, stepX, skipX, static_cast<int>(cw), area.left, area.w, bilinear, reduce);
  const Axis rows =
      MapAxis(srcy, stepY, skipY, static_cast<int>(ch), area.top, area.h, bilinear, reduce);
  const int ox = static_cast<int>(std::max(0LL, dx)), oy = static_cast<int>(std::max(0LL, dy));

  if ((mode & 0x100FF) == 0 && alpha == 0.5f && !bilinear) {
    ScaleRows<CombinePixelsHalfMix>(d, area, ox, oy, cols, rows, weight, filter);
    return;
  }
  raster_detail::WithPixelFunction(mode, weight, [&](auto pix) {
    ScaleRows<decltype(pix)>(d, area, ox, oy, cols, rows, weight, filter);
  });
}
