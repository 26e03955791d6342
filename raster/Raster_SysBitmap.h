#pragma once

// A bitmap whose pixels belong to a memory drawing context of the GDI layer, so that
// system text can be drawn into it and the window can show it.

#include "Raster_IBitmap.h"

class Raster_SysBitmap : public Raster_IBitmap {
 public:
  explicit Raster_SysBitmap(int w = 0, int h = 0);
  ~Raster_SysBitmap() override;
  Raster_SysBitmap(const Raster_SysBitmap&) = delete;
  Raster_SysBitmap& operator=(const Raster_SysBitmap&) = delete;

  unsigned int* getBits() override { return m_bits; }
  int getWidth() override { return m_w; }
  int getHeight() override { return m_h; }
  int getRowSpan() override { return m_allocw; }
  // Shrinking within the allocated size keeps the context; growing makes a new one.
  bool resize(int w, int h) override;
  HDC getDC() override { return m_dc; }

 private:
  int m_w = 0;
  int m_h = 0;
  unsigned int* m_bits = nullptr;
  HDC m_dc = nullptr;
  int m_allocw = 0;
  int m_alloch = 0;
};
