#pragma once

// A font that draws text into raster bitmaps.

#include "GdiTypes.h"
#include "Raster_IBitmap.h"

// Font flags (SetFromHFont).
enum {
  RASTER_FONT_FLAG_VERTICAL = 1,       // glyphs turned, the pen moves downward
  RASTER_FONT_FLAG_BOTTOMUP = 2,       // with VERTICAL: the pen moves upward
  RASTER_FONT_FLAG_PRECALCALL = 4,     // codes 0..127 rendered at once, nothing added later
  RASTER_FONT_FLAG_BLUR = 16,          // glyphs blurred once after rendering
  RASTER_FONT_FLAG_INVERT = 32,        // coverage inverted
  RASTER_FONT_FLAG_MONO = 64,          // coverage above 130 becomes 255, the rest 0
  RASTER_FONT_FLAG_SHADOW = 128,       // effect colour below and right of the glyph
  RASTER_FONT_FLAG_OUTLINE = 256,      // effect colour around the glyph
  RASTER_FONT_FLAG_OWNS_HFONT = 512,   // the font deletes the system font
  RASTER_FONT_FLAG_USE_NATIVE = 1024,  // draw through the system when it can
};

// DrawText flag beyond the system's: the text colour's alpha byte scales the weight.
enum { RASTER_FONT_DRAW_USEFGALPHA = 0x40000000 };

class Raster_IFont {
 public:
  virtual ~Raster_IFont() {}
  virtual void SetFromHFont(HFONT font, int flags) = 0;
  virtual unsigned int SetTextColor(unsigned int color) = 0;
  virtual unsigned int SetBkColor(unsigned int color) = 0;
  virtual unsigned int SetEffectColor(unsigned int color) = 0;
  virtual int SetBkMode(int mode) = 0;
  virtual void SetCombineMode(int mode, float alpha) = 0;
  virtual int DrawText(Raster_IBitmap* bmp, const char* text, int count, RECT* r,
                       unsigned int flags) = 0;
  virtual unsigned int GetTextColor() = 0;
  virtual HFONT GetHFont() = 0;
  virtual int GetLineHeight() = 0;
  virtual bool DrawGlyph(Raster_IBitmap* bmp, unsigned short code, int x, int y, RECT* clip) = 0;
};
