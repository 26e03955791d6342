#pragma once

// Text drawn from one system font in two ways: natively, the system drawing the string
// into a device context, or from a glyph cache, each character rendered once into a
// temporary bitmap, kept as an 8-bit coverage mask and blended in any colour, weight
// and combine mode, horizontally or vertically.  Fonts are used from one thread.

#include <vector>

#include "GdiText.h"
#include "Raster_IFont.h"

class Raster_CachedFont : public Raster_IFont {
 public:
  Raster_CachedFont();
  ~Raster_CachedFont() override;
  Raster_CachedFont(const Raster_CachedFont&) = delete;
  Raster_CachedFont& operator=(const Raster_CachedFont&) = delete;

  void SetFromHFont(HFONT font, int flags) override;
  unsigned int SetTextColor(unsigned int color) override;
  unsigned int SetBkColor(unsigned int color) override;
  unsigned int SetEffectColor(unsigned int color) override;
  int SetBkMode(int mode) override;  // 0 transparent, 1 opaque
  void SetCombineMode(int mode, float alpha) override;
  // Draws or (DT_CALCRECT) measures; count -1: up to the terminating zero.  Returns the
  // text's height (its width for vertical text).
  int DrawText(Raster_IBitmap* bmp, const char* text, int count, RECT* r,
               unsigned int flags) override;
  unsigned int GetTextColor() override { return m_fg; }
  HFONT GetHFont() override { return m_font; }
  int GetLineHeight() override { return m_lineHeight; }
  // Draws a cached glyph with its pen at (x, y); false when it is not cached or lies
  // outside the clip rectangle.
  bool DrawGlyph(Raster_IBitmap* bmp, unsigned short code, int x, int y, RECT* clip) override;

  // Added to the line height at each line feed.
  void SetLineSpacingAdjust(int pixels) { m_lineSpacingAdjust = pixels; }

 private:
  struct GlyphEntry {
    int offset;  // store offset + 1; 0 not rendered yet, -1 nothing to draw
    int width, height;
    int advance;
    int code;
    int leftExtra;           // how far the mask starts before the pen
    GdiCharPlacement place;  // how the system moves its pen past the character
  };
  struct Extent {
    int width, height;
  };

  bool UsesNativeWay(unsigned int flags) const;
  int DrawNative(Raster_IBitmap* bmp, const char* text, int count, RECT* r, unsigned int flags);
  int MeasureNative(const char* text, int count, unsigned int flags, RECT* r);
  int DrawNativeWithoutContext(Raster_IBitmap* bmp, const char* text, int count, RECT* r,
                               unsigned int flags);
  int DrawCached(Raster_IBitmap* bmp, const char* text, int count, RECT* r, unsigned int flags);
  Extent MeasureCached(const char* text, int count, unsigned int flags);

  GlyphEntry* FindGlyph(unsigned short code);
  const GlyphEntry* GlyphFor(unsigned short code);  // rendered on demand
  void RenderGlyph(unsigned short code);
  void StoreMask(GlyphEntry* entry, int width, int height, int advance, int margin);
  void ApplyEffects(std::vector<unsigned char>* mask, int w, int h) const;
  void ConfigureContext(HDC dc) const;

  unsigned int m_fg = 0;
  unsigned int m_bg = 0xFFFFFFFF;
  unsigned int m_effectColor = 0xFFFFFFFF;
  int m_bgMode = 0;
  int m_combineMode = 0;
  float m_alpha = 1.0f;
  int m_flags = 0;
  int m_lineHeight = 0;
  int m_lineSpacingAdjust = 0;
  GlyphEntry m_lowChars[128] = {};
  std::vector<GlyphEntry> m_otherChars;
  std::vector<unsigned char> m_glyphStore;
  HFONT m_font = nullptr;
};
