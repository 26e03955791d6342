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

// The family name the font was matched to (for diagnostics and tests).
const char* Gdi_GetFontFamily(HFONT font);
