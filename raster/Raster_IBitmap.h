#pragma once

// The raster library's bitmap: 32-bit pixels with alpha, red, green and blue from the
// top byte down (in memory: blue, green, red, alpha), rows top to bottom, the row span
// counted in pixels.

#include <cstdint>

#include "GdiTypes.h"

class Raster_IBitmap {
 public:
  virtual ~Raster_IBitmap() {}
  // First pixel of the top row, or null when there are no pixels.
  virtual unsigned int* getBits() = 0;
  virtual int getWidth() = 0;
  virtual int getHeight() = 0;
  virtual int getRowSpan() = 0;
  // Rows stored bottom-up.
  virtual bool isFlipped() { return false; }
  // True when the size changed.
  virtual bool resize(int w, int h) = 0;
  virtual HDC getDC() { return nullptr; }
  virtual intptr_t Extended(int /*id*/, void* /*data*/) { return 0; }
};
