#include "Raster_Combine.h"

#include <cstring>

#include "Raster_Dispatch.h"

namespace raster_detail {
namespace {

// recip[x] = 65536 / x - 1, recip[0] = 0: the divisions of the colour conversion.
struct ReciprocalTable {
  int recip[256];
  ReciprocalTable() {
    recip[0] = 0;
    for (int x = 1; x < 256; ++x)
      recip[x] = 65536 / x - 1;
  }
};
const ReciprocalTable kTable;

// n / d for 0 <= n, 1 <= d <= 255, rounded, through the reciprocal table.
inline int Div(int n, int d) {
  return static_cast<int>((static_cast<long long>(n) * (kTable.recip[d] + 1) + 32768) >> 16);
}

// Hue 0..383 in six sectors of 64, saturation and value 0..255.
void RgbToHsv(int r, int g, int b, int* h, int* s, int* v) {
  const int mx = r > g ? (r > b ? r : b) : (g > b ? g : b);
  const int mn = r < g ? (r < b ? r : b) : (g < b ? g : b);
  const int delta = mx - mn;
  *v = mx;
  *s = mx ? Div(delta * 255, mx) : 0;
  if (delta == 0) {
    *h = 0;
    return;
  }
  int base, num;
  if (mx == r) {
    base = 0, num = g - b;
  } else if (mx == g) {
    base = 128, num = b - r;
  } else {
    base = 256, num = r - g;
  }
  const int offset = num < 0 ? -Div(-num * 64, delta) : Div(num * 64, delta);
  *h = (base + offset + 384) % 384;
}

void HsvToRgb(int h, int s, int v, int* r, int* g, int* b) {
  const int sector = h / 64, f = h % 64;
  const int p = v * (255 - s) / 255;
  const int q = v * (255 * 64 - s * f) / (255 * 64);
  const int t = v * (255 * 64 - s * (64 - f)) / (255 * 64);
  switch (sector) {
    case 0:
      *r = v, *g = t, *b = p;
      break;
    case 1:
      *r = q, *g = v, *b = p;
      break;
    case 2:
      *r = p, *g = v, *b = t;
      break;
    case 3:
      *r = p, *g = q, *b = v;
      break;
    case 4:
      *r = t, *g = p, *b = v;
      break;
    default:
      *r = v, *g = p, *b = q;
      break;
  }
}

}  // namespace

void HSVAdjust(unsigned char* d, int r, int g, int b, int a, int w) {
  const int hueShift = w * (r + r / 2 - 192) / 256;
  const int satShift = w * (g - 128) / 128;
  const int valShift = w * (b - 128) / 128;
  d[3] = static_cast<unsigned char>(Clamp255(a));
  if (hueShift == 0 && satShift == 0 && valShift == 0) return;
  int h, s, v;
  RgbToHsv(d[2], d[1], d[0], &h, &s, &v);
  h = ((h + hueShift) % 384 + 384) % 384;
  s = Clamp255(s + satShift);
  v = Clamp255(v + valShift);
  int nr, ng, nb;
  HsvToRgb(h, s, v, &nr, &ng, &nb);
  d[0] = static_cast<unsigned char>(nb);
  d[1] = static_cast<unsigned char>(ng);
  d[2] = static_cast<unsigned char>(nr);
}

}  // namespace raster_detail

int Raster_AlphaToWeight(float alpha) {
  if (!(alpha > 0.0f)) return 0;
  if (alpha >= 1.0f) return 256;
  return static_cast<int>(alpha * 256.0);
}

unsigned int Raster_CombinePixels(unsigned int dest, unsigned int src, float alpha, int mode) {
  const int w = Raster_AlphaToWeight(alpha);
  if (w == 0) return dest;
  if ((mode & 0x100FF) == 0 && w == 256) return src;
  int r, g, b, a;
  raster_detail::Unpack(src, &r, &g, &b, &a);
  unsigned char bytes[4];
  std::memcpy(bytes, &dest, 4);
  raster_detail::WithPixelFunction(mode, w,
                                   [&](auto pix) { decltype(pix)::doPix(bytes, r, g, b, a, w); });
  std::memcpy(&dest, bytes, 4);
  return dest;
}

void Raster_CombinePixels2(unsigned int* dest, int r, int g, int b, int a, int w, int mode) {
  if (!dest || w <= 0) return;
  if (w > 256) w = 256;
  unsigned char* bytes = reinterpret_cast<unsigned char*>(dest);
  raster_detail::WithPixelFunction(mode, w,
                                   [&](auto pix) { decltype(pix)::doPix(bytes, r, g, b, a, w); });
}

void Raster_CombinePixels2Clamp(unsigned int* dest, int r, int g, int b, int a, int w, int mode) {
  if (!dest || w <= 0) return;
  if (w > 256) w = 256;
  unsigned char* bytes = reinterpret_cast<unsigned char*>(dest);
  if ((mode & 0x100FF) == RASTER_MODE_COPY)
    CombinePixelsCopyClamp::doPix(bytes, r, g, b, a, w);
  else if ((mode & 0x100FF) == RASTER_MODE_MUL)
    CombinePixelsMulClamp::doPix(bytes, r, g, b, a, w);
  else
    Raster_CombinePixels2(dest, r, g, b, a, w, mode);
}
