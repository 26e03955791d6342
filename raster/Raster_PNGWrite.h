#pragma once

// PNG encoding through libpng, for the project's own tools and tests.

#include <vector>

#include "Raster_IBitmap.h"

// An image in any PNG colour type and bit depth: rows of packed samples as PNG stores
// them (16-bit samples big-endian), each row ceil(width * channels * depth / 8) bytes.
struct Raster_PNGImage {
  int width = 0;
  int height = 0;
  int colorType = 6;  // 0 grey, 2 RGB, 3 palette, 4 grey + alpha, 6 RGBA
  int bitDepth = 8;
  bool interlaced = false;
  std::vector<unsigned char> rows;
  std::vector<unsigned char> palette;  // RGB triples
  // Palette alpha per entry, or the transparent grey (one sample) or RGB colour
  // (three samples), given as 16-bit values.
  std::vector<unsigned short> trns;
};

bool Raster_EncodePNG(const Raster_PNGImage& image, std::vector<unsigned char>* out);
// A bitmap as 8-bit RGBA.
bool Raster_EncodePNG(Raster_IBitmap* bmp, std::vector<unsigned char>* out);
bool Raster_WritePNG(const char* filename, Raster_IBitmap* bmp);
