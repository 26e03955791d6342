#pragma once

// PNG decoding through libpng into 32-bit bitmaps.  Every colour type becomes pixels
// with alpha: palettes and grey expanded to RGB, transparency chunks to alpha, 16-bit
// samples reduced to their high byte, missing alpha filled with 255.
//
// With bmp null the loaders return a new Raster_MemBitmap (line alignment 4) that the
// caller owns; with a bitmap given they resize it to the image and return it.  Any
// failure gives null; a bitmap made here is then freed, one passed in is never deleted
// (it may have been resized).

#include "Raster_IBitmap.h"

class Raster_ImageLoader;

Raster_IBitmap* Raster_LoadPNG(const char* filename, Raster_IBitmap* bmp);
Raster_IBitmap* Raster_LoadPNGFromMemory(const void* data, int len, Raster_IBitmap* bmp);
// "Contents/Resources/" + name inside the main bundle (the folder three levels above
// the running program, as in Name.app/Contents/MacOS/program).
Raster_IBitmap* Raster_LoadPNGFromNamedResource(const char* name, Raster_IBitmap* bmp);
// Compiled-in resources do not exist on this platform: always null.
Raster_IBitmap* Raster_LoadPNGFromResource(void* hInst, const char* name, Raster_IBitmap* bmp);

// The PNG entry of the loader list.
Raster_ImageLoader* Raster_GetPNGLoader();
