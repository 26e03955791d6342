// Text layout and drawing into a memory context.

#include <algorithm>
#include <cstring>
#include <vector>

#include "GdiContext.h"
#include "GdiInternal.h"
#include "GdiText.h"

namespace {

bool IsContinuation(unsigned char c) {
  return c >= 0x80 && c <= 0xBF;
}

// Decodes one character: well-formed two-, three- and four-byte sequences give their
// code point; any other byte stands for itself, so Latin-1 bytes still draw.
uint32_t DecodeOne(const unsigned char* s, int n, int* used) {
  const unsigned char c = s[0];
  if (c >= 0xC2 && c <= 0xDF && n >= 2 && IsContinuation(s[1])) {
    *used = 2;
    return ((c & 0x1Fu) << 6) | (s[1] & 0x3Fu);
  }
  if (c >= 0xE0 && c <= 0xEF && n >= 3 && IsContinuation(s[1]) && IsContinuation(s[2])) {
    *used = 3;
    return ((c & 0x0Fu) << 12) | ((s[1] & 0x3Fu) << 6) | (s[2] & 0x3Fu);
  }
  if (c >= 0xF0 && c <= 0xF4 && n >= 4 && IsContinuation(s[1]) && IsContinuation(s[2]) &&
      IsContinuation(s[3])) {
    *used = 4;
    return ((c & 0x07u) << 18) | ((s[1] & 0x3Fu) << 12) | ((s[2] & 0x3Fu) << 6) | (s[3] & 0x3Fu);
  }
  *used = 1;
  return c;
}

struct Line {
  std::vector<uint32_t> codes;
  GdiPenStep pen;  // past the last character: its width
};

// Splits the text into lines.  Without DT_NOPREFIX a single '&' is dropped and "&&"
// shows one '&'.  In single-line mode line breaks show as spaces.
std::vector<Line> LayOut(GdiObject* font, const char* text, int len, unsigned int flags) {
  std::vector<Line> lines(1);
  const unsigned char* s = reinterpret_cast<const unsigned char*>(text);
  const bool single = (flags & DT_SINGLELINE) != 0;
  const bool prefix = (flags & DT_NOPREFIX) == 0;
  for (int i = 0; i < len;) {
    int used = 1;
    uint32_t code = DecodeOne(s + i, len - i, &used);
    i += used;
    if (prefix && code == '&') {
      if (i >= len || s[i] != '&') continue;
      ++i;
    }
    if (code == '\r' || code == '\n') {
      if (single) {
        code = ' ';
      } else {
        if (code == '\r' && i < len && s[i] == '\n') ++i;
        lines.emplace_back();
        continue;
      }
    }
    lines.back().codes.push_back(code);
    lines.back().pen.Place(Gdi_FontGlyph(font, code).place);
  }
  return lines;
}

RECT Intersect(const RECT& a, const RECT& b) {
  return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
              std::min(a.bottom, b.bottom)};
}

uint32_t PixelFromColorRef(COLORREF c) {
  return 0xFF000000u | (static_cast<uint32_t>(GetRValue(c)) << 16) |
         (static_cast<uint32_t>(GetGValue(c)) << 8) | static_cast<uint32_t>(GetBValue(c));
}

void FillBox(GdiContext* ctx, const RECT& box, const RECT& clip, COLORREF color) {
  const RECT r = Intersect(box, clip);
  if (r.right <= r.left) return;
  const uint32_t pixel = PixelFromColorRef(color);
  for (int y = r.top; y < r.bottom; ++y)
    std::fill(ctx->pixels + static_cast<size_t>(y) * ctx->width + r.left,
              ctx->pixels + static_cast<size_t>(y) * ctx->width + r.right, pixel);
}

// Coverage blends the colour in and moves alpha toward opaque by the same amount.
inline void BlendPixel(uint32_t* p, const int rgb[3], int cover) {
  uint32_t d = *p;
  const int inv = 255 - cover;
  uint32_t out = 0;
  for (int ch = 0; ch < 3; ++ch) {
    const int shift = 16 - 8 * ch;
    const int dc = static_cast<int>((d >> shift) & 0xFF);
    out |= static_cast<uint32_t>((dc * inv + rgb[ch] * cover + 127) / 255) << shift;
  }
  const int da = static_cast<int>(d >> 24);
  out |= static_cast<uint32_t>((da * inv + 255 * cover + 127) / 255) << 24;
  *p = out;
}

void DrawGlyph(GdiContext* ctx, const GdiGlyph& g, int penX, int baseline, const RECT& clip,
               const int rgb[3]) {
  const int x0 = penX + g.left, y0 = baseline - g.top;
  const RECT r = Intersect(RECT{x0, y0, x0 + g.width, y0 + g.height}, clip);
  for (int y = r.top; y < r.bottom; ++y) {
    const unsigned char* cov = &g.coverage[static_cast<size_t>(y - y0) * g.width];
    uint32_t* row = ctx->pixels + static_cast<size_t>(y) * ctx->width;
    for (int x = r.left; x < r.right; ++x) {
      const int c = cov[x - x0];
      if (c) BlendPixel(row + x, rgb, c);
    }
  }
}

int LineLeft(const RECT& r, int width, unsigned int flags) {
  if (flags & DT_CENTER) return r.left + (r.right - r.left - width) / 2;
  if (flags & DT_RIGHT) return r.right - width;
  return r.left;
}

int FirstLineTop(const RECT& r, int textHeight, unsigned int flags) {
  if (!(flags & DT_SINGLELINE)) return r.top;
  if (flags & DT_VCENTER) return r.top + (r.bottom - r.top - textHeight) / 2;
  if (flags & DT_BOTTOM) return r.bottom - textHeight;
  return r.top;
}

}  // namespace

int Gdi_DrawText(HDC ctx, const char* text, int len, RECT* r, unsigned int flags) {
  if (!ctx || !ctx->font || !text || !r) return 0;
  if (len < 0) len = static_cast<int>(std::strlen(text));
  GdiObject* font = ctx->font;
  const std::vector<Line> lines = LayOut(font, text, len, flags);
  const int lineHeight = font->metrics.tmHeight;
  const int height = lineHeight * static_cast<int>(lines.size());
  if (flags & DT_CALCRECT) {
    int width = 0;
    for (const Line& line : lines)
      width = std::max(width, line.pen.Width());
    r->right = r->left + width;
    r->bottom = r->top + height;
    return height;
  }
  RECT clip = Gdi_GetClipRegion(ctx);
  if (!(flags & DT_NOCLIP)) clip = Intersect(clip, *r);
  const int rgb[3] = {GetRValue(ctx->textColor), GetGValue(ctx->textColor),
                      GetBValue(ctx->textColor)};
  int top = FirstLineTop(*r, height, flags);
  for (const Line& line : lines) {
    const int width = line.pen.Width(), left = LineLeft(*r, width, flags);
    if (ctx->bkMode == OPAQUE)
      FillBox(ctx, RECT{left, top, left + width, top + lineHeight}, clip, ctx->bkColor);
    GdiPenStep pen;
    for (uint32_t code : line.codes) {
      const GdiGlyph& g = Gdi_FontGlyph(font, code);
      DrawGlyph(ctx, g, left + pen.Place(g.place), top + font->metrics.tmAscent, clip, rgb);
    }
    top += lineHeight;
  }
  return height;
}

bool Gdi_GetCharPlacement(HDC ctx, unsigned int code, GdiCharPlacement* out) {
  *out = GdiCharPlacement();
  if (!ctx || !ctx->font) return false;
  *out = Gdi_FontGlyph(ctx->font, code).place;
  return true;
}
