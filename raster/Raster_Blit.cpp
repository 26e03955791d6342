#include "Raster_Blit.h"

#include <algorithm>
#include <cstring>

#include "Raster_Dispatch.h"

using raster_detail::PixelView;

namespace {

// A source region and its destination, clipped to both bitmaps.
struct BlitArea {
  int sx, sy, dx, dy, w, h;
};

bool ClipBlit(const PixelView& d, const PixelView& s, long long dstx, long long dsty,
              long long left, long long top, long long right, long long bottom, BlitArea* out) {
  if (left < 0) dstx -= left, left = 0;
  if (top < 0) dsty -= top, top = 0;
  right = std::min<long long>(right, s.w);
  bottom = std::min<long long>(bottom, s.h);
  if (dstx < 0) left -= dstx, dstx = 0;
  if (dsty < 0) top -= dsty, dsty = 0;
  const long long w = std::min<long long>(right - left, d.w - dstx);
  const long long h = std::min<long long>(bottom - top, d.h - dsty);
  if (w <= 0 || h <= 0) return false;
  *out = BlitArea{static_cast<int>(left), static_cast<int>(top), static_cast<int>(dstx),
                  static_cast<int>(dsty), static_cast<int>(w),   static_cast<int>(h)};
  return true;
}

void ChannelCopy(const PixelView& d, const PixelView& s, const BlitArea& a, int mode) {
  const int from = mode & 3, to = (mode >> 2) & 3;
  for (int y = 0; y < a.h; ++y) {
    const unsigned char* sp = s.Pixel(a.sx, a.sy + y);
    unsigned char* dp = d.Pixel(a.dx, a.dy + y);
    for (int x = 0; x < a.w; ++x)
      dp[4 * x + to] = sp[4 * x + from];
  }
}

void BlockCopy(const PixelView& d, const PixelView& s, const BlitArea& a) {
  for (int y = 0; y < a.h; ++y)
    std::memmove(d.Row(a.dy + y) + a.dx, s.Row(a.sy + y) + a.sx, static_cast<size_t>(a.w) * 4);
}

void HalfMix(const PixelView& d, const PixelView& s, const BlitArea& a) {
  for (int y = 0; y < a.h; ++y) {
    const unsigned int* sp = s.Row(a.sy + y) + a.sx;
    unsigned int* dp = d.Row(a.dy + y) + a.dx;
    for (int x = 0; x < a.w; ++x)
      dp[x] = ((dp[x] >> 1) & 0x7F7F7F7Fu) + ((sp[x] >> 1) & 0x7F7F7F7Fu);
  }
}

void Combine(const PixelView& d, const PixelView& s, const BlitArea& a, int w, int mode) {
  raster_detail::WithPixelFunction(mode, w, [&](auto pix) {
    using Pix = decltype(pix);
    for (int y = 0; y < a.h; ++y) {
      const unsigned int* sp = s.Row(a.sy + y) + a.sx;
      unsigned char* dp = d.Pixel(a.dx, a.dy + y);
      for (int x = 0; x < a.w; ++x, dp += 4) {
        const unsigned int p = sp[x];
        Pix::doPix(dp, (p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF, p >> 24, w);
      }
    }
  });
}

void BlitRegion(Raster_IBitmap* dest, Raster_IBitmap* src, long long dstx, long long dsty,
                long long left, long long top, long long right, long long bottom, float alpha,
                int mode) {
  if (!dest || !src || alpha == 0.0f) return;
  const PixelView d = raster_detail::ViewOf(dest), s = raster_detail::ViewOf(src);
  BlitArea a;
  if (d.Empty() || s.Empty() || !ClipBlit(d, s, dstx, dsty, left, top, right, bottom, &a)) return;
  if ((mode & 0xFF) >= 0xF0) {
    ChannelCopy(d, s, a, mode);
    return;
  }
  const bool plainCopy = (mode & 0x100FF) == 0;
  if (plainCopy && alpha == 1.0f) {
    BlockCopy(d, s, a);
    return;
  }
  if (plainCopy && alpha == 0.5f) {
    HalfMix(d, s, a);
    return;
  }
  const int w = Raster_AlphaToWeight(alpha);
  if (w > 0) Combine(d, s, a, w, mode);
}

}  // namespace

void Raster_Blit(Raster_IBitmap* dest, Raster_IBitmap* src, int dstx, int dsty, const RECT* srcrect,
                 float alpha, int mode) {
  if (!src) return;
  if (srcrect)
    BlitRegion(dest, src, dstx, dsty, srcrect->left, srcrect->top, srcrect->right, srcrect->bottom,
               alpha, mode);
  else
    BlitRegion(dest, src, dstx, dsty, 0, 0, src->getWidth(), src->getHeight(), alpha, mode);
}

void Raster_Blit(Raster_IBitmap* dest, Raster_IBitmap* src, int dstx, int dsty, int srcx, int srcy,
                 int srcw, int srch, float alpha, int mode) {
  BlitRegion(dest, src, dstx, dsty, srcx, srcy, static_cast<long long>(srcx) + srcw,
             static_cast<long long>(srcy) + srch, alpha, mode);
}

void Raster_Copy(Raster_IBitmap* dest, Raster_IBitmap* src) {
  if (!dest || !src || dest == src) return;
  dest->resize(src->getWidth(), src->getHeight());
  Raster_Blit(dest, src, 0, 0, nullptr, 1.0f, 0);
}
