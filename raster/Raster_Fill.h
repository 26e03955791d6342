#pragma once

// Rectangle fills and single pixels.

#include "Raster_Combine.h"
#include "Raster_IBitmap.h"

// Combines color into the rectangle.  With RASTER_MODE_ALPHA the weight is scaled by
// the colour's alpha byte; copy at weights 1, 0.75, 0.5 and 0.25 uses exact
// shift-and-mask mixes.
void Raster_FillRect(Raster_IBitmap* dest, int x, int y, int w, int h, unsigned int color,
                     float alpha, int mode);
// Every pixel p in the rectangle becomes (p & mask) | orbits.
void Raster_ClearRect(Raster_IBitmap* dest, int x, int y, int w, int h, unsigned int mask,
                      unsigned int orbits);
// Every pixel of every row becomes color.
void Raster_Clear(Raster_IBitmap* dest, unsigned int color);
// The pixel at (x, y), or 0 outside the bitmap or without pixels.
unsigned int Raster_GetPixel(Raster_IBitmap* bmp, int x, int y);
// One pixel combined by the fill rules; nothing outside the bitmap.
void Raster_PutPixel(Raster_IBitmap* bmp, int x, int y, unsigned int color, float alpha, int mode);
