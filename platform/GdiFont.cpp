// Fonts: fontconfig finds the face file, FreeType loads and renders it.

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H

#include <cmath>
#include <mutex>
#include <new>

#include "GdiContext.h"
#include "GdiInternal.h"
#include "GdiText.h"

namespace {

// FreeType's library object and fontconfig's configuration are shared by all fonts;
// creating and deleting faces goes through this lock.
std::mutex g_fontLock;
FT_Library g_library = nullptr;

FT_Library Library() {
  if (!g_library && FT_Init_FreeType(&g_library) != 0) g_library = nullptr;
  return g_library;
}

struct FaceMatch {
  std::string file;
  int index = 0;
  std::string family;
  bool embolden = false;
  bool slant = false;
};

// Asks fontconfig for the face, with "monospace" behind it so that a family the
// machine lacks lands on a monospace face rather than the desktop's default.
bool MatchFace(const char* face, int weight, bool italic, FaceMatch* out) {
  if (!FcInit()) return false;
  FcPattern* pattern = FcPatternCreate();
  if (!pattern) return false;
  if (face && *face) FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(face));
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("monospace"));
  const int fcWeight = weight >= 600 ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR;
  FcPatternAddInteger(pattern, FC_WEIGHT, fcWeight);
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (!match) return false;
  FcChar8* file = nullptr;
  FcChar8* family = nullptr;
  int matchedWeight = fcWeight, matchedSlant = FC_SLANT_ROMAN;
  bool ok = FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch;
  if (ok) {
    out->file = reinterpret_cast<const char*>(file);
    FcPatternGetInteger(match, FC_INDEX, 0, &out->index);
    if (FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch)
      out->family = reinterpret_cast<const char*>(family);
    FcPatternGetInteger(match, FC_WEIGHT, 0, &matchedWeight);
    FcPatternGetInteger(match, FC_SLANT, 0, &matchedSlant);
    out->embolden = fcWeight >= FC_WEIGHT_BOLD && matchedWeight < FC_WEIGHT_DEMIBOLD;
    out->slant = italic && matchedSlant == FC_SLANT_ROMAN;
  }
  FcPatternDestroy(match);
  return ok;
}

// Positive heights are cell heights (ascent + descent), negative ones the em size.
double PixelsPerEm(FT_Face face, int height) {
  if (height == 0) height = -12;
  if (height < 0) return -static_cast<double>(height);
  const double cell = static_cast<double>(face->ascender) - face->descender;
  if (!FT_IS_SCALABLE(face) || cell <= 0) return height;
  return height * static_cast<double>(face->units_per_EM) / cell;
}

void FillMetrics(GdiObject* font, int weight, bool italic) {
  const FT_Size_Metrics& m = font->face->size->metrics;
  TEXTMETRIC& tm = font->metrics;
  tm.tmAscent = static_cast<int>((m.ascender + 63) >> 6);
  tm.tmDescent = static_cast<int>((-m.descender + 63) >> 6);
  tm.tmHeight = tm.tmAscent + tm.tmDescent;
  const int em = static_cast<int>((m.y_ppem));
  tm.tmInternalLeading = tm.tmHeight > em ? tm.tmHeight - em : 0;
  tm.tmExternalLeading = static_cast<int>(m.height >> 6) - tm.tmHeight;
  if (tm.tmExternalLeading < 0) tm.tmExternalLeading = 0;
  tm.tmMaxCharWidth = static_cast<int>((m.max_advance + 63) >> 6);
  tm.tmAveCharWidth = Gdi_FontGlyph(font, 'x').advance;
  tm.tmWeight = weight > 0 ? weight : FW_NORMAL;
  tm.tmItalic = italic ? 1 : 0;
}

// Below this size the auto-hinter fits stems to whole columns as well as rows: a one-
// pixel stem stays one crisp column instead of two grey ones.
constexpr FT_UShort kSmallPixelsPerEm = 9;

bool HintsBothWays(const GdiObject* font) {
  return font->mono || font->face->size->metrics.x_ppem < kSmallPixelsPerEm;
}

// Larger text is hinted lightly, to rows only, keeping the design's horizontal metrics
// and the fractions of its advances.  Monochrome glyphs use the face's own hints.
FT_Int32 LoadFlags(const GdiObject* font) {
  if (font->mono) return FT_LOAD_DEFAULT | FT_LOAD_TARGET_MONO;
  if (HintsBothWays(font)) return FT_LOAD_FORCE_AUTOHINT | FT_LOAD_TARGET_NORMAL;
  return FT_LOAD_DEFAULT | FT_LOAD_TARGET_LIGHT;
}

// Copies FreeType's bitmap (8-bit grey or 1-bit) into 8-bit coverage.
void CopyCoverage(const FT_Bitmap& bm, GdiGlyph* g) {
  g->width = static_cast<int>(bm.width);
  g->height = static_cast<int>(bm.rows);
  g->coverage.assign(static_cast<size_t>(g->width) * g->height, 0);
  for (int y = 0; y < g->height; ++y) {
    const unsigned char* row = bm.buffer + static_cast<ptrdiff_t>(y) * bm.pitch;
    unsigned char* out = &g->coverage[static_cast<size_t>(y) * g->width];
    for (int x = 0; x < g->width; ++x) {
      if (bm.pixel_mode == FT_PIXEL_MODE_MONO)
        out[x] = (row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
      else if (bm.pixel_mode == FT_PIXEL_MODE_GRAY)
        out[x] = row[x];
    }
  }
}

void RenderGlyph(GdiObject* font, uint32_t code, GdiGlyph* g) {
  FT_Face face = font->face;
  FT_UInt index = FT_Get_Char_Index(face, code);
  if (FT_Load_Glyph(face, index, LoadFlags(font)) != 0) return;
  FT_GlyphSlot slot = face->glyph;
  const FT_Pos hinted = slot->advance.x;
  if (font->slant) FT_GlyphSlot_Oblique(slot);
  if (font->embolden) FT_GlyphSlot_Embolden(slot);
  // Hinted in both directions: the hinted advance and side-bearing deltas.  Otherwise
  // the design advance (16.16) in 1/64 pixels; either widened by emboldening.
  const bool both = HintsBothWays(font);
  const FT_Pos base = both ? hinted : (slot->linearHoriAdvance + 512) >> 10;
  g->place.advance64 = static_cast<int>(base + slot->advance.x - hinted);
  g->place.lsbDelta = both ? static_cast<int>(slot->lsb_delta) : 0;
  g->place.rsbDelta = both ? static_cast<int>(slot->rsb_delta) : 0;
  g->advance = (g->place.advance64 + 32) >> 6;
  if (FT_Render_Glyph(slot, font->mono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0) return;
  g->left = slot->bitmap_left;
  g->top = slot->bitmap_top;
  CopyCoverage(slot->bitmap, g);
}

}  // namespace

const GdiGlyph& Gdi_FontGlyph(GdiObject* font, uint32_t code) {
  auto found = font->glyphs.find(code);
  if (found != font->glyphs.end()) return found->second;
  GdiGlyph& g = font->glyphs[code];
  RenderGlyph(font, code, &g);
  return g;
}

HFONT CreateFont(int height, int /*width*/, int /*escapement*/, int /*orientation*/, int weight,
                 unsigned int italic, unsigned int /*underline*/, unsigned int /*strikeOut*/,
                 unsigned int /*charSet*/, unsigned int /*outPrecision*/,
                 unsigned int /*clipPrecision*/, unsigned int quality,
                 unsigned int /*pitchAndFamily*/, const char* face) {
  std::lock_guard<std::mutex> lock(g_fontLock);
  FaceMatch match;
  if (!Library() || !MatchFace(face, weight, italic != 0, &match)) return nullptr;
  GdiObject* font = new (std::nothrow) GdiObject;
  if (!font) return nullptr;
  if (FT_New_Face(g_library, match.file.c_str(), match.index, &font->face) != 0) {
    delete font;
    return nullptr;
  }
  const double ppem = PixelsPerEm(font->face, height);
  const FT_F26Dot6 size = static_cast<FT_F26Dot6>(std::lround(ppem * 64.0));
  if (size < 64 || size > 64 * 4096 || FT_Set_Char_Size(font->face, 0, size, 72, 72) != 0) {
    FT_Done_Face(font->face);
    delete font;
    return nullptr;
  }
  font->mono = quality == NONANTIALIASED_QUALITY;
  font->embolden = match.embolden;
  font->slant = match.slant;
  font->family = match.family;
  FillMetrics(font, weight, italic != 0);
  return font;
}

bool DeleteObject(HGDIOBJ obj) {
  if (!obj) return false;
  std::lock_guard<std::mutex> lock(g_fontLock);
  FT_Done_Face(obj->face);
  delete obj;
  return true;
}

bool GetTextMetrics(HDC ctx, TEXTMETRIC* tm) {
  if (!ctx || !ctx->font || !tm) return false;
  *tm = ctx->font->metrics;
  return true;
}

const char* Gdi_GetFontFamily(HFONT font) {
  return font ? font->family.c_str() : "";
}
