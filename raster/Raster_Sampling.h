#pragma once

// Source sampling shared by the scaled and rotated blits: bilinear blending of four
// neighbours in 16.16 fixed point, and box averages for reduction.

#include "Raster_Dispatch.h"

namespace raster_detail {

// A rectangle of the source that samples may come from.
struct SampleArea {
  const PixelView* view;
  int left, top, w, h;
  unsigned int At(int x, int y) const { return view->Row(top + y)[left + x]; }
};

// Weighted sum of up to four pixels; weights in 1/65536, summing to 65536.
inline unsigned int Blend4(unsigned int p00, unsigned int p10, unsigned int p01, unsigned int p11,
                           unsigned int w00, unsigned int w10, unsigned int w01, unsigned int w11) {
  unsigned int out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const unsigned long long sum = static_cast<unsigned long long>((p00 >> shift) & 0xFF) * w00 +
                                   static_cast<unsigned long long>((p10 >> shift) & 0xFF) * w10 +
                                   static_cast<unsigned long long>((p01 >> shift) & 0xFF) * w01 +
                                   static_cast<unsigned long long>((p11 >> shift) & 0xFF) * w11;
    out |= static_cast<unsigned int>(sum >> 16) << shift;
  }
  return out;
}

// Bilinear sample at integer position (x, y) inside the area with 16-bit fractions
// (fx, fy).  On the area's last column only the vertical pair is blended, on its last
// row only the horizontal pair, and the bottom-right corner pixel is taken as is.
inline unsigned int Bilinear(const SampleArea& a, int x, int y, unsigned int fx, unsigned int fy) {
  const bool lastCol = x >= a.w - 1, lastRow = y >= a.h - 1;
  const unsigned int p00 = a.At(x, y);
  if (lastCol && lastRow) return p00;
  if (lastCol) return Blend4(p00, 0, a.At(x, y + 1), 0, 65536 - fy, 0, fy, 0);
  if (lastRow) return Blend4(p00, a.At(x + 1, y), 0, 0, 65536 - fx, fx, 0, 0);
  const unsigned int q =
      static_cast<unsigned int>((static_cast<unsigned long long>(fx) * fy) >> 16);
  return Blend4(p00, a.At(x + 1, y), a.At(x, y + 1), a.At(x + 1, y + 1), 65536 - fx - fy + q,
                fx - q, fy - q, q);
}

// Channel-wise average of the area's pixels in [x0, x1) x [y0, y1) (non-empty).
inline unsigned int BoxAverage(const SampleArea& a, int x0, int x1, int y0, int y1) {
  unsigned long long sum[4] = {0, 0, 0, 0};
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      const unsigned int p = a.At(x, y);
      sum[0] += p & 0xFF, sum[1] += (p >> 8) & 0xFF, sum[2] += (p >> 16) & 0xFF, sum[3] += p >> 24;
    }
  const unsigned long long n = static_cast<unsigned long long>(x1 - x0) * (y1 - y0);
  return static_cast<unsigned int>(sum[0] / n) | static_cast<unsigned int>(sum[1] / n) << 8 |
         static_cast<unsigned int>(sum[2] / n) << 16 | static_cast<unsigned int>(sum[3] / n) << 24;
}

template <class Pix>
inline void CombineSample(unsigned char* dest, unsigned int p, int w) {
  Pix::doPix(dest, (p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF, p >> 24, w);
}

}  // namespace raster_detail
