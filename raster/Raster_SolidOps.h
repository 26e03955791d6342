#pragma once

// Per-pixel operations for filling with one colour, chosen once per call.  Each
// With... function calls fn once with a small callable `op(unsigned int* pixel)`
// (or `op(pixel, coverage)` for the coverage form) and returns false for a mode that
// draws nothing.

#include "Raster_Dispatch.h"

namespace raster_detail {

inline unsigned char* Bytes(unsigned int* p) {
  return reinterpret_cast<unsigned char*>(p);
}

// The fill rules: copy at w = 256, 192, 128 and 64 are exact shift-and-mask mixes;
// otherwise the colour is combined with w standing for the weight and the source alpha.
template <class Fn>
bool WithFillOp(int mode, int w, unsigned int color, Fn&& fn) {
  int r, g, b, a;
  Unpack(color, &r, &g, &b, &a);
  const int sourceAlpha = w > 255 ? 255 : w;
  const int low = mode & 0xFF;
  if (low == 0) {
    if (w == 256) {
      fn([color](unsigned int* p) { *p = color; });
    } else if (w == 128) {
      const unsigned int c = (color >> 1) & 0x7F7F7F7Fu;
      fn([c](unsigned int* p) { *p = c + ((*p >> 1) & 0x7F7F7F7Fu); });
    } else if (w == 64) {
      const unsigned int c = (color >> 2) & 0x3F3F3F3Fu;
      fn([c](unsigned int* p) { *p = c + ((*p >> 2) & 0x3F3F3F3Fu) + ((*p >> 1) & 0x7F7F7F7Fu); });
    } else if (w == 192) {
      const unsigned int c = ((color >> 1) & 0x7F7F7F7Fu) + ((color >> 2) & 0x3F3F3F3Fu);
      fn([c](unsigned int* p) { *p = c + ((*p >> 2) & 0x3F3F3F3Fu); });
    } else {
      fn([=](unsigned int* p) { CombinePixelsCopyNoClamp::doPix(Bytes(p), r, g, b, w, w); });
    }
    return true;
  }
  if (low > 5) return false;
  return WithPixelFunction(low, w, [&](auto pix) {
    using Pix = decltype(pix);
    fn([=](unsigned int* p) { Pix::doPix(Bytes(p), r, g, b, sourceAlpha, w); });
  });
}

// The outline and shape rules: the colour with its own alpha through the mode's pixel
// function, with a clobber at full weight and a half mix at weight 128 for plain copy.
template <class Fn>
bool WithSolidOp(int mode, int w, unsigned int color, Fn&& fn) {
  int r, g, b, a;
  Unpack(color, &r, &g, &b, &a);
  if ((mode & 0x100FF) == 0 && w == 128) {
    const unsigned int c = (color >> 1) & 0x7F7F7F7Fu;
    fn([c](unsigned int* p) { *p = c + ((*p >> 1) & 0x7F7F7F7Fu); });
    return true;
  }
  return WithPixelFunction(mode, w, [&](auto pix) {
    using Pix = decltype(pix);
    fn([=](unsigned int* p) { Pix::doPix(Bytes(p), r, g, b, a, w); });
  });
}

// Horizontal and vertical runs: plain copy at weights 1, 0.75, 0.5 and 0.25 uses the
// fill's exact mixes, anything else the outline rules.
template <class Fn>
bool WithRunOp(int mode, int w, unsigned int color, Fn&& fn) {
  if ((mode & 0x100FF) == 0 && (w == 256 || w == 192 || w == 128 || w == 64))
    return WithFillOp(mode, w, color, fn);
  return WithSolidOp(mode, w, color, fn);
}

// Anti-aliased drawing: the weight scaled by a coverage of 0..256 per pixel.
template <class Fn>
bool WithCoverageOp(int mode, int w, unsigned int color, Fn&& fn) {
  int r, g, b, a;
  Unpack(color, &r, &g, &b, &a);
  return WithWeightedPixelFunction(mode, [&](auto pix) {
    using Pix = decltype(pix);
    fn([=](unsigned int* p, int coverage) {
      const int cw = w * coverage / 256;
      if (cw > 0) Pix::doPix(Bytes(p), r, g, b, a, cw);
    });
  });
}

}  // namespace raster_detail
