#pragma once

// Mode resolution and row addressing shared by the blits, fills and primitives.  A
// loop is written once as a generic lambda and instantiated per pixel function, so
// the mode is chosen once per call and the inner loop calls nothing through a pointer.

#include <cstddef>

#include "Raster_CombineModes.h"
#include "Raster_IBitmap.h"

namespace raster_detail {

// Pixel function for combining at weight w: copy at full weight stores the source,
// copy using source alpha at full weight blends by the source alpha alone.
// False (nothing called) for a mode that draws nothing.
template <class Fn>
bool WithPixelFunction(int mode, int w, Fn&& fn) {
  const bool sourceAlpha = (mode & 0x10000) != 0;
  switch (mode & 0xFF) {
    case 0:
      if (sourceAlpha) {
        if (w >= 256)
          fn(CombinePixelsCopySourceAlphaIgnoreAlphaParmNoClamp());
        else
          fn(CombinePixelsCopySourceAlphaNoClamp());
      } else if (w >= 256) {
        fn(CombinePixelsClobberNoClamp());
      } else {
        fn(CombinePixelsCopyNoClamp());
      }
      return true;
    case 1:
      sourceAlpha ? fn(CombinePixelsAddSourceAlpha()) : fn(CombinePixelsAdd());
      return true;
    case 2:
      sourceAlpha ? fn(CombinePixelsColorDodgeSourceAlpha()) : fn(CombinePixelsColorDodge());
      return true;
    case 3:
      sourceAlpha ? fn(CombinePixelsMulSourceAlphaNoClamp()) : fn(CombinePixelsMulNoClamp());
      return true;
    case 4:
      sourceAlpha ? fn(CombinePixelsOverlaySourceAlpha()) : fn(CombinePixelsOverlay());
      return true;
    case 5:
      sourceAlpha ? fn(CombinePixelsHSVAdjustSourceAlpha()) : fn(CombinePixelsHSVAdjust());
      return true;
    default:
      return false;
  }
}

// Pixel function for weights that vary per pixel (coverage, anti-aliasing): the
// weight-respecting variants only.
template <class Fn>
bool WithWeightedPixelFunction(int mode, Fn&& fn) {
  return WithPixelFunction(mode, 0, fn);
}

// A bitmap's pixels row by row; flipped bitmaps are walked bottom-up.
struct PixelView {
  unsigned int* top = nullptr;  // row 0 as drawn
  ptrdiff_t step = 0;           // pixels from one drawn row to the next
  int w = 0;
  int h = 0;

  bool Empty() const { return !top || w <= 0 || h <= 0; }
  unsigned int* Row(int y) const { return top + step * y; }
  unsigned char* Pixel(int x, int y) const { return reinterpret_cast<unsigned char*>(Row(y) + x); }
};

inline PixelView ViewOf(Raster_IBitmap* bmp) {
  PixelView v;
  if (!bmp) return v;
  unsigned int* bits = bmp->getBits();
  v.w = bmp->getWidth();
  v.h = bmp->getHeight();
  if (!bits || v.w <= 0 || v.h <= 0) {
    v.w = v.h = 0;
    return v;
  }
  const ptrdiff_t span = bmp->getRowSpan();
  v.step = bmp->isFlipped() ? -span : span;
  v.top = bmp->isFlipped() ? bits + span * (v.h - 1) : bits;
  return v;
}

inline void Unpack(unsigned int p, int* r, int* g, int* b, int* a) {
  *b = static_cast<int>(p & 0xFF);
  *g = static_cast<int>((p >> 8) & 0xFF);
  *r = static_cast<int>((p >> 16) & 0xFF);
  *a = static_cast<int>(p >> 24);
}

}  // namespace raster_detail
