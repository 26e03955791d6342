#pragma once

// Fonts and text of the GDI layer: faces found through fontconfig, drawn by FreeType,
// anti-aliased and lightly hinted as the desktop renders them.

#include "GdiTypes.h"

// A font of the given height in pixels (positive: cell height, ascent + descent;
// negative: character height; 0: 12).  Weight 700 and up is bold.  A face the
// machine lacks falls back to a monospace face.  Null when no face can be loaded.
HFONT CreateFont(int height, int width, int escapement, int orientation, int weight,
                 unsigned int italic, unsigned int underline, unsigned int strikeOut,
                 unsigned int charSet, unsigned int outPrecision, unsigned int clipPrecision,
                 unsigned int quality, unsigned int pitchAndFamily, const char* face);
// Deletes a font; false for null.  A font still selected into a context must not be
// deleted.
bool DeleteObject(HGDIOBJ obj);

// Metrics of the font selected into the context; false without one.
bool GetTextMetrics(HDC ctx, TEXTMETRIC* tm);

// Draws (or with DT_CALCRECT measures) len bytes of UTF-8 text (len -1: up to the
// terminating zero) inside r.  Returns the text's height, 0 on failure; when
// measuring, r's right and bottom become its left and top plus the text's extent.
int Gdi_DrawText(HDC ctx, const char* text, int len, RECT* r, unsigned int flags);

// How one character moves the pen, in 1/64 pixels.  Text accumulates the advances and
// draws each character at its pen position rounded to a whole pixel.  Small sizes are
// hinted in both directions; the deltas say how far hinting moved the glyph's left and
// right edges, and the pen between two characters is corrected by a pixel where they
// add up to more than half a pixel (GdiPenStep).
struct GdiCharPlacement {
  int advance64;
  int lsbDelta;
  int rsbDelta;
};

// The character's placement in the selected font; false (all zero) without a font.
bool Gdi_GetCharPlacement(HDC ctx, unsigned int code, GdiCharPlacement* out);

// A pen moving along one line of text in 1/64 pixels.
struct GdiPenStep {
  int pen64 = 0;
  int prevRsbDelta = 0;
  bool first = true;

  // The whole-pixel position of the next character, and the pen moved past it.
  int Place(const GdiCharPlacement& c) {
    if (!first) {
      const int d = prevRsbDelta - c.lsbDelta;
      pen64 += d > 32 ? -64 : (d < -31 ? 64 : 0);
    }
    first = false;
    const int at = (pen64 + 32) >> 6;
    pen64 += c.advance64;
    prevRsbDelta = c.rsbDelta;
    return at;
  }
  // The line's width so far: the pen's position, rounded.
  int Width() const { return (pen64 + 32) >> 6; }
};

// The family name the font was matched to (for diagnostics and tests).
const char* Gdi_GetFontFamily(HFONT font);
