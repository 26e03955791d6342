#pragma once

#include <cstdint>
#include <memory>

#include "Raster_MemBitmap.h"

// A bitmap of w x h pixels, every pixel `fill`.
inline std::unique_ptr<Raster_MemBitmap> MakeBitmap(int w, int h, unsigned int fill = 0) {
  auto bmp = std::make_unique<Raster_MemBitmap>(w, h, 4);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      bmp->getBits()[y * bmp->getRowSpan() + x] = fill;
  return bmp;
}

// Every pixel distinct and opaque: 0xFF000000 | y << 8 | x.
inline std::unique_ptr<Raster_MemBitmap> MakeNumbered(int w, int h) {
  auto bmp = MakeBitmap(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      bmp->getBits()[y * bmp->getRowSpan() + x] = 0xFF000000u | (y << 8) | x;
  return bmp;
}

inline unsigned int At(Raster_IBitmap& bmp, int x, int y) {
  return bmp.getBits()[y * bmp.getRowSpan() + x];
}
inline void Set(Raster_IBitmap& bmp, int x, int y, unsigned int p) {
  bmp.getBits()[y * bmp.getRowSpan() + x] = p;
}

inline int CountNonZero(Raster_IBitmap& bmp) {
  int n = 0;
  for (int y = 0; y < bmp.getHeight(); ++y)
    for (int x = 0; x < bmp.getWidth(); ++x)
      n += At(bmp, x, y) != 0;
  return n;
}
