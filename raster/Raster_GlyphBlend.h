#pragma once

// Blending one glyph mask (one coverage byte per pixel) into a bitmap: one routine per
// pair of mask kind and combine mode, chosen once per glyph.

#include "Raster_Dispatch.h"

enum class Raster_MaskKind {
  kNormal,  // coverage 0..255 blends the text colour
  kMono,    // 255 puts the text colour, 0 nothing
  kEffect,  // 255 the text colour, 128 the effect colour, 0 nothing
};

struct Raster_GlyphBlit {
  const unsigned char* mask;  // first mask byte to draw
  int maskSpan;               // bytes from one mask row to the next
  int dx, dy, w, h;           // destination region, inside the bitmap
  int weight;                 // 1..256
  unsigned int textColor;
  unsigned int effectColor;
};

// Combine mode: the low byte (0 copy .. 5 HSV adjust); others draw nothing.
void Raster_BlendGlyph(const raster_detail::PixelView& dest, const Raster_GlyphBlit& g,
                       Raster_MaskKind kind, int mode);
