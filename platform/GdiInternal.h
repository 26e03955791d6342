#pragma once

// Object layouts shared by the GDI layer's sources; not for callers.

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "GdiText.h"
#include "GdiTypes.h"

// One rendered glyph: 8-bit coverage, placed relative to the pen on the baseline.
struct GdiGlyph {
  int left = 0;  // from the pen to the first column
  int top = 0;   // from the baseline up to the first row
  int width = 0;
  int height = 0;
  int advance = 0;  // whole pixels, for metrics
  GdiCharPlacement place = {};
  std::vector<unsigned char> coverage;
};

struct GdiObject {
  FT_Face face = nullptr;
  bool mono = false;      // NONANTIALIASED_QUALITY: 1-bit glyphs
  bool embolden = false;  // bold asked for, face has none
  bool slant = false;     // italic asked for, face has none
  TEXTMETRIC metrics = {};
  std::string family;
  std::unordered_map<uint32_t, GdiGlyph> glyphs;  // rendered on first use
};

struct GdiContext {
  uint32_t* pixels = nullptr;  // calloc'ed, width x height
  int width = 0;
  int height = 0;
  HGDIOBJ font = nullptr;
  COLORREF textColor = 0;       // black
  COLORREF bkColor = 0xFFFFFF;  // white
  int bkMode = OPAQUE;
  RECT clip = {0, 0, 0, 0};
  std::vector<RECT> clipStack;
};

// The glyph for a code point in the font, rendered and kept on first use.
const GdiGlyph& Gdi_FontGlyph(GdiObject* font, uint32_t code);
