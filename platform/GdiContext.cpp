#include "GdiContext.h"

#include <algorithm>
#include <cstdlib>
#include <new>

#include "GdiInternal.h"

namespace {

// Pixel memory above this is refused rather than attempted.
constexpr long long kMaxContextBytes = 1LL << 40;

RECT ContextBounds(const GdiContext* ctx) {
  return RECT{0, 0, ctx->width, ctx->height};
}

RECT Intersect(const RECT& a, const RECT& b) {
  RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
         std::min(a.bottom, b.bottom)};
  if (r.right < r.left) r.right = r.left;
  if (r.bottom < r.top) r.bottom = r.top;
  return r;
}

}  // namespace

HDC Gdi_CreateMemContext(HDC /*reference*/, int w, int h) {
  if (w <= 0 || h <= 0) return nullptr;
  if (static_cast<long long>(w) * h > kMaxContextBytes / 4) return nullptr;
  GdiContext* ctx = new (std::nothrow) GdiContext;
  if (!ctx) return nullptr;
  ctx->pixels = static_cast<uint32_t*>(std::calloc(static_cast<size_t>(w) * h, 4));
  if (!ctx->pixels) {
    delete ctx;
    return nullptr;
  }
  ctx->width = w;
  ctx->height = h;
  ctx->clip = ContextBounds(ctx);
  return ctx;
}

void* Gdi_GetCtxFrameBuffer(HDC ctx) {
  return ctx ? ctx->pixels : nullptr;
}

void Gdi_DeleteGfxContext(HDC ctx) {
  if (!ctx) return;
  std::free(ctx->pixels);
  delete ctx;
}

HGDIOBJ SelectObject(HDC ctx, HGDIOBJ obj) {
  if (!ctx) return nullptr;
  HGDIOBJ previous = ctx->font;
  ctx->font = obj;
  return previous;
}

COLORREF SetTextColor(HDC ctx, COLORREF color) {
  if (!ctx) return 0;
  COLORREF previous = ctx->textColor;
  ctx->textColor = color & 0xFFFFFF;
  return previous;
}

COLORREF SetBkColor(HDC ctx, COLORREF color) {
  if (!ctx) return 0;
  COLORREF previous = ctx->bkColor;
  ctx->bkColor = color & 0xFFFFFF;
  return previous;
}

int SetBkMode(HDC ctx, int mode) {
  if (!ctx || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
  int previous = ctx->bkMode;
  ctx->bkMode = mode;
  return previous;
}

void Gdi_PushClipRegion(HDC ctx) {
  if (ctx) ctx->clipStack.push_back(ctx->clip);
}

void Gdi_SetClipRegion(HDC ctx, const RECT* r) {
  if (!ctx) return;
  ctx->clip = r ? Intersect(*r, ContextBounds(ctx)) : ContextBounds(ctx);
}

void Gdi_PopClipRegion(HDC ctx) {
  if (!ctx || ctx->clipStack.empty()) return;
  ctx->clip = ctx->clipStack.back();
  ctx->clipStack.pop_back();
}

RECT Gdi_GetClipRegion(HDC ctx) {
  return ctx ? ctx->clip : RECT{0, 0, 0, 0};
}
