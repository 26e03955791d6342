#include "Raster_CachedFont.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "GdiContext.h"
#include "GdiText.h"
#include "Raster_Blit.h"
#include "Raster_Fill.h"
#include "Raster_GlyphBlend.h"
#include "Raster_SysBitmap.h"
#include "Raster_UTF8.h"

namespace {

// Shared by every font: one bitmap to render glyphs into, one for native drawing into
// bitmaps without a device context.  The last font to go deletes them.
Raster_SysBitmap* s_glyphBitmap = nullptr;
Raster_SysBitmap* s_nativeBitmap = nullptr;
int s_fontCount = 0;

constexpr unsigned int kAlignFlags = DT_CENTER | DT_RIGHT | DT_VCENTER | DT_BOTTOM;
constexpr int kGlyphFlags = RASTER_FONT_FLAG_VERTICAL | RASTER_FONT_FLAG_BOTTOMUP |
                            RASTER_FONT_FLAG_PRECALCALL | RASTER_FONT_FLAG_BLUR |
                            RASTER_FONT_FLAG_INVERT | RASTER_FONT_FLAG_MONO |
                            RASTER_FONT_FLAG_SHADOW | RASTER_FONT_FLAG_OUTLINE;

COLORREF ToColorRef(unsigned int pixel) {
  return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

// Grows a shared bitmap to at least w x h; white text on a transparent background.
Raster_SysBitmap* SharedBitmap(Raster_SysBitmap** slot, int w, int h) {
  if (!*slot) *slot = new Raster_SysBitmap();
  Raster_SysBitmap* bmp = *slot;
  if (bmp->getWidth() < w || bmp->getHeight() < h)
    bmp->resize(std::max(bmp->getWidth(), w), std::max(bmp->getHeight(), h));
  if (HDC dc = bmp->getDC()) {
    ::SetTextColor(dc, RGB(255, 255, 255));
    ::SetBkMode(dc, TRANSPARENT);
  }
  return bmp;
}

int GlyphMargin(int lineHeight) {
  return lineHeight < 16 ? 2 : lineHeight / 16 + 2;
}

RECT Intersect(const RECT& a, const RECT& b) {
  return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
              std::min(a.bottom, b.bottom)};
}
bool IsEmpty(const RECT& r) {
  return r.right <= r.left || r.bottom <= r.top;
}

// Walks the text one character at a time: carriage returns are skipped, line feeds
// start a new line (or count as spaces in single-line mode).  visit(code, line).
template <class Visit>
void WalkCharacters(const char* text, int count, unsigned int flags, int lineStep, Visit&& visit) {
  const unsigned char* s = reinterpret_cast<const unsigned char*>(text);
  int line = 0;
  for (int i = 0; count < 0 ? s[i] != 0 : i < count;) {
    unsigned short code = 0;
    i += Raster_DecodeUTF8(s + i, count < 0 ? -1 : count - i, &code);
    if (code == 13) continue;
    if (code == 10) {
      if (!(flags & DT_SINGLELINE)) {
        line += lineStep;
        visit(-1, line);
        continue;
      }
      code = ' ';
    }
    visit(code, line);
  }
}

void Blur(std::vector<unsigned char>* cov, int w, int h) {
  const std::vector<unsigned char> src(*cov);
  static const int k[3] = {1, 2, 1};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      int sum = 0, weight = 0;
      for (int j = -1; j <= 1; ++j)
        for (int i = -1; i <= 1; ++i) {
          const int sx = x + i, sy = y + j;
          if (sx < 0 || sy < 0 || sx >= w || sy >= h) continue;
          sum += src[sy * w + sx] * k[i + 1] * k[j + 1];
          weight += k[i + 1] * k[j + 1];
        }
      (*cov)[y * w + x] = static_cast<unsigned char>(sum / weight);
    }
}

// Turns the mask a quarter: clockwise for top-down text, counter-clockwise for
// bottom-up.  Width and height swap.
std::vector<unsigned char> Turn(const std::vector<unsigned char>& m, int w, int h, bool bottomUp) {
  std::vector<unsigned char> out(m.size());
  for (int y = 0; y < w; ++y)
    for (int x = 0; x < h; ++x)
      out[y * h + x] = bottomUp ? m[x * w + (w - 1 - y)] : m[(h - 1 - x) * w + y];
  return out;
}

// Monochrome, then 128 on every empty pixel beside a full one: to the right, below and
// below-right for a shadow, the four direct neighbours for an outline.
void MarkEffect(std::vector<unsigned char>* m, int w, int h, bool outline) {
  const std::vector<unsigned char> src(*m);
  auto full = [&](int x, int y) {
    return x >= 0 && y >= 0 && x < w && y < h && src[y * w + x] == 255;
  };
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if (src[y * w + x]) continue;
      const bool next = outline
                            ? full(x - 1, y) || full(x + 1, y) || full(x, y - 1) || full(x, y + 1)
                            : full(x - 1, y) || full(x, y - 1) || full(x - 1, y - 1);
      if (next) (*m)[y * w + x] = 128;
    }
}

}  // namespace

Raster_CachedFont::Raster_CachedFont() {
  ++s_fontCount;
}

Raster_CachedFont::~Raster_CachedFont() {
  if ((m_flags & RASTER_FONT_FLAG_OWNS_HFONT) && m_font) DeleteObject(m_font);
  if (--s_fontCount == 0) {
    delete s_glyphBitmap;
    delete s_nativeBitmap;
    s_glyphBitmap = s_nativeBitmap = nullptr;
  }
}

void Raster_CachedFont::SetFromHFont(HFONT font, int flags) {
  if ((m_flags & RASTER_FONT_FLAG_OWNS_HFONT) && m_font && m_font != font) DeleteObject(m_font);
  m_font = font;
  m_flags = flags;
  if (font) {
    Raster_SysBitmap* tmp = SharedBitmap(&s_glyphBitmap, 256, 256);
    if (HDC dc = tmp->getDC()) {
      HGDIOBJ old = SelectObject(dc, font);
      TEXTMETRIC tm;
      if (GetTextMetrics(dc, &tm)) m_lineHeight = tm.tmHeight;
      SelectObject(dc, old);
    }
  }
  std::memset(m_lowChars, 0, sizeof(m_lowChars));
  m_otherChars.clear();
  m_glyphStore.clear();
  if (flags & RASTER_FONT_FLAG_PRECALCALL)
    for (unsigned short code = 0; code < 128; ++code)
      RenderGlyph(code);
}

unsigned int Raster_CachedFont::SetTextColor(unsigned int color) {
  std::swap(m_fg, color);
  return color;
}
unsigned int Raster_CachedFont::SetBkColor(unsigned int color) {
  std::swap(m_bg, color);
  return color;
}
unsigned int Raster_CachedFont::SetEffectColor(unsigned int color) {
  std::swap(m_effectColor, color);
  return color;
}
int Raster_CachedFont::SetBkMode(int mode) {
  std::swap(m_bgMode, mode);
  return mode;
}
void Raster_CachedFont::SetCombineMode(int mode, float alpha) {
  m_combineMode = mode;
  m_alpha = alpha;
}

int Raster_CachedFont::DrawText(Raster_IBitmap* bmp, const char* text, int count, RECT* r,
                                unsigned int flags) {
  if (!bmp && !(flags & DT_CALCRECT)) return 0;
  if (!text || !r) return 0;
  if (UsesNativeWay(flags)) return DrawNative(bmp, text, count, r, flags);
  return DrawCached(bmp, text, count, r, flags);
}

bool Raster_CachedFont::UsesNativeWay(unsigned int flags) const {
  if (m_lineHeight >= 256) return true;
  return (m_flags & RASTER_FONT_FLAG_USE_NATIVE) && !(m_flags & kGlyphFlags) &&
         !(flags & 0xC0000000u) && m_font && (m_lineSpacingAdjust == 0 || (flags & DT_SINGLELINE));
}

// The GDI layer's background modes are TRANSPARENT (1) and OPAQUE (2); the font's own
// are 0 and 1, translated here.
void Raster_CachedFont::ConfigureContext(HDC dc) const {
  ::SetTextColor(dc, ToColorRef(m_fg));
  ::SetBkMode(dc, m_bgMode == 1 ? OPAQUE : TRANSPARENT);
  if (m_bgMode == 1) ::SetBkColor(dc, ToColorRef(m_bg));
}

int Raster_CachedFont::DrawNative(Raster_IBitmap* bmp, const char* text, int count, RECT* r,
                                  unsigned int flags) {
  if (bmp && bmp->getDC()) {
    HDC dc = bmp->getDC();
    HGDIOBJ old = SelectObject(dc, m_font);
    ConfigureContext(dc);
    RECT rr = *r;
    const int result = Gdi_DrawText(dc, text, count, &rr, flags | DT_NOPREFIX);
    if (flags & DT_CALCRECT) *r = rr;
    SelectObject(dc, old);
    return result;
  }
  if (flags & DT_CALCRECT) return MeasureNative(text, count, flags, r);
  return DrawNativeWithoutContext(bmp, text, count, r, flags);
}

int Raster_CachedFont::MeasureNative(const char* text, int count, unsigned int flags, RECT* r) {
  HDC dc = SharedBitmap(&s_nativeBitmap, 16, 16)->getDC();
  if (!dc) return 0;
  HGDIOBJ old = SelectObject(dc, m_font);
  RECT rr{0, 0, 0, 0};
  const int result =
      Gdi_DrawText(dc, text, count, &rr, (flags & ~kAlignFlags) | DT_CALCRECT | DT_NOPREFIX);
  SelectObject(dc, old);
  r->right = r->left + (rr.right - rr.left);
  r->bottom = r->top + (rr.bottom - rr.top);
  return result;
}

// Draws on the native bitmap over a copy of the destination region, then copies the
// region back with the font's weight.
int Raster_CachedFont::DrawNativeWithoutContext(Raster_IBitmap* bmp, const char* text, int count,
                                                RECT* r, unsigned int flags) {
  RECT size{0, 0, 0, 0};
  const int height = MeasureNative(text, count, flags, &size);
  const int tw = size.right, th = size.bottom;
  int x = r->left, y = r->top;
  if (flags & DT_RIGHT)
    x = r->right - tw;
  else if (flags & DT_CENTER)
    x = r->left + (r->right - r->left - tw) / 2;
  if (flags & DT_BOTTOM)
    y = r->bottom - th;
  else if (flags & DT_VCENTER)
    y = r->top + (r->bottom - r->top - th) / 2;
  RECT area = Intersect(RECT{x, y, x + tw, y + th}, RECT{0, 0, bmp->getWidth(), bmp->getHeight()});
  if (!(flags & DT_NOCLIP)) area = Intersect(area, *r);
  if (IsEmpty(area)) return 0;
  area.left = std::max(0, area.left - GlyphMargin(m_lineHeight));
  const int aw = area.right - area.left, ah = area.bottom - area.top;
  Raster_SysBitmap* tmp = SharedBitmap(&s_nativeBitmap, aw, ah);
  HDC dc = tmp->getDC();
  if (!dc) return 0;
  Raster_Blit(tmp, bmp, 0, 0, &area, 1.0f, 0);
  HGDIOBJ old = SelectObject(dc, m_font);
  ConfigureContext(dc);
  RECT at{x - area.left, y - area.top, x - area.left + tw, y - area.top + th};
  Gdi_PushClipRegion(dc);
  const RECT clip{0, 0, aw, ah};
  Gdi_SetClipRegion(dc, &clip);
  Gdi_DrawText(dc, text, count, &at,
               (flags & ~(DT_CALCRECT | DT_VCENTER | DT_BOTTOM)) | DT_NOPREFIX | DT_NOCLIP);
  Gdi_PopClipRegion(dc);
  SelectObject(dc, old);
  const RECT back{0, 0, aw, ah};
  Raster_Blit(bmp, tmp, area.left, area.top, &back, m_alpha, 0);
  return height;
}

Raster_CachedFont::Extent Raster_CachedFont::MeasureCached(const char* text, int count,
                                                           unsigned int flags) {
  const bool vertical = (m_flags & RASTER_FONT_FLAG_VERTICAL) != 0;
  // The pen moves as the system's does, so both ways place every glyph alike.
  GdiPenStep pen;
  int along = 0, across = 0;
  WalkCharacters(text, count, flags, m_lineHeight + m_lineSpacingAdjust, [&](int code, int line) {
    if (code < 0) {
      pen = GdiPenStep();
      return;
    }
    const GlyphEntry* e = GlyphFor(static_cast<unsigned short>(code));
    if (!e) return;
    const int glyphEnd = pen.Place(e->place) - e->leftExtra + (vertical ? e->height : e->width);
    along = std::max(along, std::max(pen.Width(), glyphEnd));
    across = std::max(across, line + m_lineHeight);
  });
  return vertical ? Extent{across, along} : Extent{along, across};
}

int Raster_CachedFont::DrawCached(Raster_IBitmap* bmp, const char* text, int count, RECT* r,
                                  unsigned int flags) {
  const bool vertical = (m_flags & RASTER_FONT_FLAG_VERTICAL) != 0;
  const bool bottomUp = vertical && (m_flags & RASTER_FONT_FLAG_BOTTOMUP);
  if (flags & DT_CALCRECT) {
    const Extent e = MeasureCached(text, count, flags);
    r->right = r->left + e.width;
    r->bottom = r->top + e.height;
    return vertical ? e.width : e.height;
  }
  float alpha = m_alpha;
  if (flags & RASTER_FONT_DRAW_USEFGALPHA) alpha *= static_cast<float>(m_fg >> 24) / 255.0f;
  const int w = bmp->getWidth(), h = bmp->getHeight();
  if (Raster_AlphaToWeight(alpha) == 0 || !bmp->getBits() || w <= 0 || h <= 0) return 0;

  Extent ext{0, 0};
  const bool measured = (flags & kAlignFlags) != 0;
  if (measured) ext = MeasureCached(text, count, flags);
  int x = r->left, y = r->top;
  if (flags & DT_CENTER)
    x += (r->right - r->left - ext.width) / 2;
  else if (flags & DT_RIGHT)
    x = r->right - ext.width;
  if (flags & DT_VCENTER)
    y += (r->bottom - r->top - ext.height) / 2;
  else if (flags & DT_BOTTOM)
    y = r->bottom - ext.height;
  if (bottomUp) y = measured ? y + ext.height : r->bottom;
  RECT clip{0, 0, w, h};
  if (!(flags & DT_NOCLIP)) clip = Intersect(*r, clip);
  if (IsEmpty(clip)) return 0;

  const float saved = m_alpha;
  m_alpha = alpha;
  GdiPenStep step;
  int extent = 0;
  WalkCharacters(text, count, flags, m_lineHeight + m_lineSpacingAdjust, [&](int code, int line) {
    if (code < 0) {
      step = GdiPenStep();
      return;
    }
    const GlyphEntry* e = GlyphFor(static_cast<unsigned short>(code));
    if (!e) return;
    const int pen = step.Place(e->place);
    const int gx = vertical ? x + line : x + pen;
    const int gy = vertical ? (bottomUp ? y - pen : y + pen) : y + line;
    DrawGlyph(bmp, static_cast<unsigned short>(code), gx, gy, &clip);
    extent = std::max(extent, line + m_lineHeight);
  });
  m_alpha = saved;
  return extent;
}

Raster_CachedFont::GlyphEntry* Raster_CachedFont::FindGlyph(unsigned short code) {
  if (code < 128) return &m_lowChars[code];
  auto it = std::lower_bound(m_otherChars.begin(), m_otherChars.end(), code,
                             [](const GlyphEntry& e, int c) { return e.code < c; });
  return it != m_otherChars.end() && it->code == code ? &*it : nullptr;
}

// The glyph with something to draw, rendered on first use; null otherwise.
const Raster_CachedFont::GlyphEntry* Raster_CachedFont::GlyphFor(unsigned short code) {
  GlyphEntry* e = FindGlyph(code);
  if (!e || e->offset == 0) {
    if (m_flags & RASTER_FONT_FLAG_PRECALCALL) return nullptr;
    RenderGlyph(code);
    e = FindGlyph(code);
  }
  return e && e->offset > 0 ? e : nullptr;
}

void Raster_CachedFont::RenderGlyph(unsigned short code) {
  if (m_lineHeight > 1023) return;
  GlyphEntry* e = FindGlyph(code);
  bool added = false;
  if (!e) {
    if (m_flags & RASTER_FONT_FLAG_PRECALCALL) return;
    m_otherChars.push_back(GlyphEntry{0, 0, 0, 0, code, 0, GdiCharPlacement()});
    e = &m_otherChars.back();
    added = true;
  }
  const int size = std::max(m_lineHeight, 1) * 2 + 8;
  Raster_SysBitmap* tmp = SharedBitmap(&s_glyphBitmap, size, size);
  HDC dc = tmp->getDC();
  const int margin = GlyphMargin(m_lineHeight);
  RECT measured{0, 0, 0, 0};
  int mw = 0, mh = 0;
  if (dc && m_font) {
    HGDIOBJ old = SelectObject(dc, m_font);
    char utf8[4];
    const int n = Raster_EncodeUTF8(code, utf8);
    Gdi_DrawText(dc, utf8, n, &measured, DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE);
    Gdi_GetCharPlacement(dc, code, &e->place);
    mw = std::min(measured.right + 2 * margin, tmp->getWidth());
    mh = std::min(measured.bottom, tmp->getHeight());
    if (measured.right >= 1 && mw > 0 && mh > 0) {
      Raster_ClearRect(tmp, 0, 0, mw, mh, 0, 0xFF000000u);
      RECT at{margin, 0, mw, mh};
      Gdi_DrawText(dc, utf8, n, &at, DT_NOPREFIX | DT_NOCLIP | DT_SINGLELINE);
    }
    SelectObject(dc, old);
  }
  if (measured.right < 1 || measured.bottom < 1 || mw <= margin || mh < 1)
    e->offset = -1;
  else
    StoreMask(e, mw, mh, measured.right, margin);
  if (added)
    std::sort(m_otherChars.begin(), m_otherChars.end(),
              [](const GlyphEntry& a, const GlyphEntry& b) { return a.code < b.code; });
}

// Reads the rendered glyph's coverage from the red bytes of the glyph bitmap, trims it
// to its inked columns and appends it to the store.
void Raster_CachedFont::StoreMask(GlyphEntry* e, int mw, int mh, int advance, int margin) {
  const unsigned int* bits = s_glyphBitmap->getBits();
  const int span = s_glyphBitmap->getRowSpan();
  std::vector<unsigned char> cov(static_cast<size_t>(mw) * mh);
  for (int y = 0; y < mh; ++y)
    for (int x = 0; x < mw; ++x)
      cov[y * mw + x] = static_cast<unsigned char>(bits[y * span + x] >> 16);
  if (m_flags & RASTER_FONT_FLAG_BLUR) Blur(&cov, mw, mh);
  if (m_flags & RASTER_FONT_FLAG_INVERT)
    for (unsigned char& c : cov)
      c = static_cast<unsigned char>(255 - c);
  auto inked = [&](int x) {
    for (int y = 0; y < mh; ++y)
      if (cov[y * mw + x]) return true;
    return false;
  };
  int start = std::min(margin, mw);
  for (int x = 0; x < margin && x < mw; ++x)
    if (inked(x)) {
      start = x;
      break;
    }
  int end = std::min(margin + advance, mw);
  for (int x = mw - 1; x >= end; --x)
    if (inked(x)) {
      end = x + 1;
      break;
    }
  int w = end - start, h = mh;
  if (w < 1 || m_glyphStore.size() + static_cast<size_t>(w) * h > static_cast<size_t>(INT_MAX)) {
    e->offset = -1;
    return;
  }
  std::vector<unsigned char> mask(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    std::memcpy(&mask[y * w], &cov[y * mw + start], w);
  if (m_flags & RASTER_FONT_FLAG_VERTICAL) {
    mask = Turn(mask, w, h, (m_flags & RASTER_FONT_FLAG_BOTTOMUP) != 0);
    std::swap(w, h);
  }
  ApplyEffects(&mask, w, h);
  e->offset = static_cast<int>(m_glyphStore.size()) + 1;
  m_glyphStore.insert(m_glyphStore.end(), mask.begin(), mask.end());
  e->width = w;
  e->height = h;
  e->advance = advance;
  e->leftExtra = margin - start;
}

void Raster_CachedFont::ApplyEffects(std::vector<unsigned char>* mask, int w, int h) const {
  const bool effect = (m_flags & (RASTER_FONT_FLAG_SHADOW | RASTER_FONT_FLAG_OUTLINE)) != 0;
  if ((m_flags & RASTER_FONT_FLAG_MONO) || effect)
    for (unsigned char& c : *mask)
      c = c > 130 ? 255 : 0;
  if (effect) MarkEffect(mask, w, h, (m_flags & RASTER_FONT_FLAG_OUTLINE) != 0);
}

bool Raster_CachedFont::DrawGlyph(Raster_IBitmap* bmp, unsigned short code, int x, int y,
                                  RECT* clip) {
  const GlyphEntry* e = FindGlyph(code);
  const raster_detail::PixelView view = raster_detail::ViewOf(bmp);
  if (!e || e->offset <= 0 || view.Empty()) return false;
  if (!(m_flags & RASTER_FONT_FLAG_VERTICAL))
    x -= e->leftExtra;
  else if (m_flags & RASTER_FONT_FLAG_BOTTOMUP)
    y += e->leftExtra - e->height;
  else
    y -= e->leftExtra;
  RECT cell = Intersect(RECT{x, y, x + e->width, y + e->height}, RECT{0, 0, view.w, view.h});
  if (clip) cell = Intersect(cell, *clip);
  if (IsEmpty(cell)) return false;
  if (m_bgMode == 1)
    Raster_FillRect(bmp, cell.left, cell.top, cell.right - cell.left, cell.bottom - cell.top, m_bg,
                    m_alpha, m_combineMode & ~RASTER_MODE_ALPHA);
  const Raster_MaskKind kind = (m_flags & (RASTER_FONT_FLAG_SHADOW | RASTER_FONT_FLAG_OUTLINE))
                                   ? Raster_MaskKind::kEffect
                               : (m_flags & RASTER_FONT_FLAG_MONO) ? Raster_MaskKind::kMono
                                                                   : Raster_MaskKind::kNormal;
  Raster_GlyphBlit g;
  g.mask = &m_glyphStore[e->offset - 1] + static_cast<ptrdiff_t>(cell.top - y) * e->width +
           (cell.left - x);
  g.maskSpan = e->width;
  g.dx = cell.left;
  g.dy = cell.top;
  g.w = cell.right - cell.left;
  g.h = cell.bottom - cell.top;
  g.weight = Raster_AlphaToWeight(m_alpha);
  g.textColor = m_fg;
  g.effectColor = m_effectColor;
  Raster_BlendGlyph(view, g, kind, m_combineMode);
  return true;
}
