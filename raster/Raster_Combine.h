#pragma once

// Combining a colour into a pixel under a weight and a mode.
//
// Mode: bits 0-7 pick the combine (0 copy, 1 add, 2 colour dodge, 3 multiply,
// 4 overlay, 5 HSV adjust; others draw nothing), bit 16 lets the source's alpha scale
// the weight, bits 8-15 carry the blits' filter flags.

enum {
  RASTER_MODE_COPY = 0,
  RASTER_MODE_ADD = 1,
  RASTER_MODE_COLORDODGE = 2,
  RASTER_MODE_MUL = 3,
  RASTER_MODE_OVERLAY = 4,
  RASTER_MODE_HSVADJUST = 5,
  RASTER_MODE_MASK = 0xFF,
  RASTER_MODE_FILTER_BILINEAR = 0x100,
  RASTER_MODE_FILTER_MASK = 0xFF00,
  RASTER_MODE_ALPHA = 0x10000,
};

// The integer weight of a float weight: (int)(alpha * 256), 0 for NaN or below zero,
// at most 256.
int Raster_AlphaToWeight(float alpha);

unsigned int Raster_CombinePixels(unsigned int dest, unsigned int src, float alpha, int mode);
void Raster_CombinePixels2(unsigned int* dest, int r, int g, int b, int a, int w, int mode);
// As above, with copy and multiply results clamped to 0..255 for colours outside it.
void Raster_CombinePixels2Clamp(unsigned int* dest, int r, int g, int b, int a, int w, int mode);
