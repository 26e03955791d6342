#pragma once

// A bitmap in plain memory.  Rows are padded to the line alignment; the pixels start
// on a 64-byte boundary.  Shrinking keeps the buffer so a reused bitmap rarely
// reallocates.

#include "Raster_IBitmap.h"

class Raster_MemBitmap : public Raster_IBitmap {
 public:
  explicit Raster_MemBitmap(int w = 0, int h = 0, unsigned int linealign = 4);
  ~Raster_MemBitmap() override;
  Raster_MemBitmap(const Raster_MemBitmap&) = delete;
  Raster_MemBitmap& operator=(const Raster_MemBitmap&) = delete;

  unsigned int* getBits() override;
  int getWidth() override { return m_w; }
  int getHeight() override { return m_h; }
  int getRowSpan() override { return (m_w + m_linealign) & ~m_linealign; }
  // Sizes whose byte count would not fit the allocation size leave the bitmap empty.
  bool resize(int w, int h) override;

  int getAllocatedSize() const { return m_allocsize; }

 private:
  void* m_fb = nullptr;
  int m_w = 0;
  int m_h = 0;
  int m_allocsize = 0;
  int m_linealign = 0;
};
