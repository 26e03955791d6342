// Bitmap and font loading through the process-wide caches, and text drawing.

#include <cmath>
#include <cstring>

#include "GdiText.h"
#include "GraphicsCaches.h"
#include "IGraphics.h"
#include "Raster_CachedFont.h"
#include "Raster_MemBitmap.h"
#include "Raster_SysBitmap.h"

// The id alone is the key: a reused id returns the first image whatever the
// name.  An image that cannot be loaded gives an empty 0 x 0 image that draws
// nothing; it is not cached, so a later load may still find the file.
IBitmap IGraphics::LoadIBitmap(int id, const char* name, int nStates, bool framesAreHorizontal) {
  int n = nStates > 0 ? nStates : 1;
  Raster_IBitmap* data = s_bitmapCache.Find(id);
  if (!data) {
    data = OSLoadBitmap(id, name);
    if (!data) return IBitmap(nullptr, 0, 0, n, framesAreHorizontal);
    s_bitmapCache.Add(data, id);
  }
  bool known = false;
  for (const ScaledImage& e : mScaledImages)
    known = known || e.base == data;
  if (!known && name) {
    mScaledImages.push_back(ScaledImage{data, id, name, framesAreHorizontal ? 1 : n, nullptr});
    if (mScale != 1.0f) LoadScaledImages();
  }
  return IBitmap(data, data->getWidth(), data->getHeight(), n, framesAreHorizontal);
}

void IGraphics::RetainBitmap(IBitmap* bitmap) {
  if (bitmap && bitmap->mData) s_bitmapCache.Add(bitmap->mData, -1);
}

void IGraphics::ReleaseBitmap(IBitmap* bitmap) {
  if (!bitmap || !bitmap->mData) return;
  for (size_t i = 0; i < mScaledImages.size(); ++i) {
    if (mScaledImages[i].base != bitmap->mData) continue;
    delete mScaledImages[i].scaled;
    mScaledImages.erase(mScaledImages.begin() + static_cast<long>(i));
    break;
  }
  s_bitmapCache.Remove(bitmap->mData);
  bitmap->mData = nullptr;
}

namespace {

int FontQuality(int quality) {
  switch (quality) {
    case IText::QualityDefault:
      return 0;
    case IText::QualityNoAntialias:
      return 3;
    case IText::QualityAntialias:
    case IText::QualityClear:
      return 4;
    default:
      return 3;
  }
}

HFONT MakeSystemFont(const IText* text, int h) {
  if (h < 2) h = 2;
  int tenths = 10 * text->mOrientation;
  return CreateFont(h, 0, tenths, tenths, text->mStyle == IText::StyleBold ? 700 : 400,
                    text->mStyle == IText::StyleItalic, 0, 0, 0, 0, 0, FontQuality(text->mQuality),
                    0, text->mFont);
}

// The font owns its system font (512) and always draws natively (1024).
constexpr int kEditorFontFlags = 1536;

}  // namespace

Raster_IFont* IGraphics::CacheFont(IText* text) {
  Raster_IFont* font = s_fontCache.Find(text);
  if (!font) {
    int h = text->mSize > 2 ? text->mSize : 2;
    HFONT hf = MakeSystemFont(text, h);
    if (!hf) return nullptr;
    Raster_CachedFont* cached = new Raster_CachedFont();
    cached->SetFromHFont(hf, kEditorFontFlags);
    // Once only: scale the request so the line height comes out as asked.
    int lineHeight = cached->GetLineHeight();
    if (lineHeight > 0 && lineHeight != h) {
      h = static_cast<int>(static_cast<double>(h) * h / lineHeight + 0.5);
      HFONT second = MakeSystemFont(text, h);
      if (!second) {
        delete cached;
        return nullptr;
      }
      cached->SetFromHFont(second, kEditorFontFlags);
    }
    s_fontCache.Add(cached, text);
    font = cached;
  }
  text->mCached = font;
  return font;
}

namespace {

// Draws (or with measure, measures into *r) str in font, r in device pixels.
void DrawInDevicePixels(Raster_SysBitmap* bitmap, Raster_IFont* font, const IText* text,
                        const char* str, IRECT* r, bool measure) {
  font->SetTextColor(text->mColor.Pack());
  unsigned int flags = 0x100;  // no clip
  if (text->mColor.A < 255) flags |= 0x40000000;
  if (text->mAlign == IText::AlignCentre) flags |= 1;
  if (text->mAlign == IText::AlignRight) flags |= 2;
  if (!measure) {
    RECT rect = {r->L, r->T, r->R, r->B};
    font->DrawText(bitmap, str, -1, &rect, flags);
    return;
  }
  RECT rect = {0, 0, 0, 0};
  font->DrawText(bitmap, str, -1, &rect, flags | 0x400);
  int w = rect.right, h = rect.bottom;
  if (text->mAlign == IText::AlignLeft) {
    r->R = r->L + w;
  } else if (text->mAlign == IText::AlignCentre) {
    r->L = static_cast<int>(static_cast<float>(r->L + r->R) * 0.5f) - w / 2;
    r->R = r->L + w;
  } else {
    r->L = r->R - w;
  }
  r->B = r->T + h;
}

}  // namespace

// At a scale other than 1 the face is made at s times the size and the text drawn
// in the device rectangle; a measured rectangle comes back in panel units, rounded
// outward.
bool IGraphics::DrawIText(IText* text, const char* str, IRECT* r, bool measure) {
  if (!str || !*str) return true;
  if (mScale == 1.0f) {
    Raster_IFont* font = text->mCached ? text->mCached : CacheFont(text);
    if (!font) return false;
    DrawInDevicePixels(mDrawBitmap, font, text, str, r, measure);
    return true;
  }
  IText scaled = *text;
  scaled.mSize = static_cast<int>(std::lround(text->mSize * mScale));
  Raster_IFont* font = CacheFont(&scaled);
  if (!font) return false;
  IRECT d = ToDevice(*r);
  DrawInDevicePixels(mDrawBitmap, font, &scaled, str, &d, measure);
  if (measure) {
    r->L = static_cast<int>(std::floor(d.L / mScale));
    r->R = static_cast<int>(std::ceil(d.R / mScale));
    r->B = static_cast<int>(std::ceil(d.B / mScale));
  }
  return true;
}

bool IGraphics::MeasureIText(IText* text, char* str, IRECT* r) {
  return DrawIText(text, str, r, true);
}
