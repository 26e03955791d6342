// The manager's drawing operations on top of the raster library.  Every
// operation takes panel units and draws into the draw bitmap at the manager's
// scale; bitmap operations clip to the draw rectangle of the current pass.

#include <cmath>
#include <cstdio>
#include <vector>

#include "IGraphics.h"
#include "Raster_Blit.h"
#include "Raster_Fill.h"
#include "Raster_MemBitmap.h"
#include "Raster_Primitives.h"
#include "Raster_SysBitmap.h"

namespace {

// Raster modes: copy, add and colour dodge, optionally scaled by source alpha;
// bilinear filtering for turned or scaled copies.
constexpr int kModeCopy = 0, kModeAdd = 1, kModeDodge = 2;
constexpr int kModeSourceAlpha = 0x10000;
constexpr int kModeBilinear = 0x100;

struct BlendMode {
  float weight;
  int mode;
};

BlendMode MapBlend(const IChannelBlend* blend) {
  if (!blend) return {1.0f, kModeSourceAlpha | kModeCopy};
  switch (blend->mMethod) {
    case IChannelBlend::BlendOpaque:
      return {blend->mWeight, kModeCopy};
    case IChannelBlend::BlendAdd:
      return {blend->mWeight, kModeSourceAlpha | kModeAdd};
    case IChannelBlend::BlendDodge:
      return {blend->mWeight, kModeSourceAlpha | kModeDodge};
    default:
      return {blend->mWeight, kModeSourceAlpha | kModeCopy};
  }
}

}  // namespace

// ---- Scale ----

// Halfway values go up; anything not a number, or below 1.25, is 1.
float IGraphics::NearestScale(double scale) {
  if (scale >= 1.75) return 2.0f;
  return scale >= 1.25 ? 1.5f : 1.0f;
}

int IGraphics::ToDevice(int v) const {
  return mScale == 1.0f ? v : static_cast<int>(std::floor(v * mScale + 0.5f));
}

IRECT IGraphics::ToDevice(const IRECT& r) const {
  return IRECT(ToDevice(r.L), ToDevice(r.T), ToDevice(r.R), ToDevice(r.B));
}

int IGraphics::ToPanel(int v) const {
  return mScale == 1.0f ? v : static_cast<int>(std::floor(v / mScale));
}

void IGraphics::SetScale(float scale) {
  scale = NearestScale(scale);
  if (scale == mScale) return;
  mScale = scale;
  LoadScaledImages();
  if (mDrawBitmap) PrepDraw();
  SetAllControlsDirty();
}

void IGraphics::ChooseScale(float scale) {
  SetScale(scale);
  if (mScaleListener) mScaleListener(mScaleListenerData, mScale);
}

namespace {

const char* ScaleFolder(float scale) {
  return scale == 1.5f ? "1.5x" : "2x";
}

// A strip of frames of w x h / frames pixels standing side by side, rebuilt as the
// strip of w x h pixels with the same frames stacked top to bottom, which is what the
// frame arithmetic draws from.  Null when the image has not that layout, or there is
// no memory for the copy.
Raster_IBitmap* StackFrames(Raster_IBitmap* image, int w, int h, int frames) {
  if (frames < 2 || h % frames != 0) return nullptr;
  const int frameH = h / frames;
  if (static_cast<long long>(image->getWidth()) != static_cast<long long>(w) * frames ||
      image->getHeight() != frameH)
    return nullptr;
  Raster_MemBitmap* stacked = new Raster_MemBitmap(w, h, 4);
  if (!stacked->getBits()) {
    delete stacked;
    return nullptr;
  }
  for (int k = 0; k < frames; ++k)
    Raster_Blit(stacked, image, 0, k * frameH, k * w, 0, w, frameH, 1.0f, kModeCopy);
  return stacked;
}

}  // namespace

void IGraphics::LoadScaledImages() {
  for (ScaledImage& e : mScaledImages) {
    delete e.scaled;
    e.scaled = nullptr;
    if (mScale == 1.0f || e.name.empty()) continue;
    e.scaled = OSLoadScaledBitmap(e.id, e.name.c_str(), ScaleFolder(mScale));
    if (!e.scaled) continue;
    const int w = ToDevice(e.base->getWidth()), h = ToDevice(e.base->getHeight());
    if (e.scaled->getWidth() == w && e.scaled->getHeight() == h) continue;
    if (Raster_IBitmap* stacked = StackFrames(e.scaled, w, h, e.frames)) {
      delete e.scaled;
      e.scaled = stacked;
      continue;
    }
    // An image of another size would put every frame in the wrong place.
    std::fprintf(stderr, "%s at %s is %d x %d pixels, not %d x %d", e.name.c_str(),
                 ScaleFolder(mScale), e.scaled->getWidth(), e.scaled->getHeight(), w, h);
    if (e.frames >= 2 && h % e.frames == 0)
      std::fprintf(stderr, " or its %d frames side by side, %lld x %d", e.frames,
                   static_cast<long long>(w) * e.frames, h / e.frames);
    std::fprintf(stderr, "; resampling the 1x image\n");
    delete e.scaled;
    e.scaled = nullptr;
  }
}

// Images with no drawing of their own at this scale (made at run time, or missing
// from the resources) are resampled from 1x once.
Raster_IBitmap* IGraphics::DeviceImage(const IBitmap* bitmap) {
  if (mScale == 1.0f || !bitmap->mData) return bitmap->mData;
  ScaledImage* entry = nullptr;
  for (ScaledImage& e : mScaledImages) {
    if (e.base == bitmap->mData) entry = &e;
  }
  if (!entry) {
    mScaledImages.push_back(
        ScaledImage{bitmap->mData, -1, "", bitmap->mFramesAreHorizontal ? 1 : bitmap->N, nullptr});
    entry = &mScaledImages.back();
  }
  if (!entry->scaled) {
    Raster_IBitmap* base = entry->base;
    Raster_MemBitmap* dest =
        new Raster_MemBitmap(ToDevice(base->getWidth()), ToDevice(base->getHeight()), 4);
    Raster_ScaledBlit(dest, base, 0, 0, dest->getWidth(), dest->getHeight(), 0.0f, 0.0f,
                      static_cast<float>(base->getWidth()), static_cast<float>(base->getHeight()),
                      1.0f, kModeBilinear);
    entry->scaled = dest;
  }
  return entry->scaled;
}

// A second call replaces the bitmaps instead of leaking them.
void IGraphics::PrepDraw() {
  DeleteBitmaps();
  mDrawBitmap = new Raster_SysBitmap(DeviceWidth(), DeviceHeight());
  mTmpBitmap = new Raster_MemBitmap(0, 0, 4);
}

void IGraphics::DeleteBitmaps() {
  delete mDrawBitmap;
  mDrawBitmap = nullptr;
  delete mTmpBitmap;
  mTmpBitmap = nullptr;
}

bool IGraphics::DrawBitmap(IBitmap* bitmap, IRECT* dest, int srcX, int srcY,
                           const IChannelBlend* blend) {
  IRECT r = dest->Intersect(mDrawRECT);
  if (r.Empty() || !bitmap->mData) return true;
  BlendMode bm = MapBlend(blend);
  IRECT d = ToDevice(r);
  int sx = ToDevice(srcX) + d.L - ToDevice(dest->L), sy = ToDevice(srcY) + d.T - ToDevice(dest->T);
  Raster_Blit(mDrawBitmap, DeviceImage(bitmap), d.L, d.T, sx, sy, d.W(), d.H(), bm.weight, bm.mode);
  return true;
}

// Frame numbers run from 1; frame 1, 0 or below draws from the image's origin.
bool IGraphics::DrawBitmap(IBitmap* bitmap, IRECT* dest, int state, const IChannelBlend* blend) {
  int srcX = 0, srcY = 0;
  int n = bitmap->N;
  if (state >= 2 && n >= 2) {
    if (bitmap->mFramesAreHorizontal) {
      srcX = static_cast<int>(0.5 + static_cast<double>(state - 1) * bitmap->W / n);
    } else {
      srcY = static_cast<int>(0.5 + static_cast<double>(state - 1) * bitmap->H / n);
    }
  }
  return DrawBitmap(bitmap, dest, srcX, srcY, blend);
}

bool IGraphics::DrawRotatedBitmap(IBitmap* bitmap, int destCtrX, int destCtrY, double angle,
                                  int yOffsetZeroDeg, const IChannelBlend* blend) {
  Raster_IBitmap* image = DeviceImage(bitmap);
  if (!image) return true;
  int w = image->getWidth(), h = image->getHeight();
  BlendMode bm = MapBlend(blend);
  Raster_RotatedBlit(mDrawBitmap, image, ToDevice(destCtrX) - w / 2, ToDevice(destCtrY) - h / 2, w,
                     h, 0.0f, 0.0f, static_cast<float>(w), static_cast<float>(h),
                     static_cast<float>(angle), false, bm.weight, bm.mode | kModeBilinear, 0.0f,
                     S(static_cast<float>(yOffsetZeroDeg)));
  return true;
}

// The mask and top images are turned into a copy of the base whose alpha was
// cleared, and the result is blitted at (x, y).
bool IGraphics::DrawRotatedMask(IBitmap* base, IBitmap* mask, IBitmap* top, int x, int y,
                                double angle, const IChannelBlend* blend) {
  float a = static_cast<float>(angle * 3.141592653589793 / 180.0);
  Raster_IBitmap* baseImage = DeviceImage(base);
  if (!baseImage) return true;
  int w = baseImage->getWidth(), h = baseImage->getHeight();
  float xOffs = (w % 2) ? -0.5f : 0.0f;
  if (!mTmpBitmap) mTmpBitmap = new Raster_MemBitmap(0, 0, 4);
  Raster_Copy(mTmpBitmap, baseImage);
  Raster_ClearRect(mTmpBitmap, 0, 0, w, h, 0x00FFFFFF, 0);
  Raster_RotatedBlit(mTmpBitmap, DeviceImage(mask), 0, 0, w, h, 0.0f, 0.0f, static_cast<float>(w),
                     static_cast<float>(h), a, true, 1.0f,
                     kModeSourceAlpha | kModeAdd | kModeBilinear, xOffs, 0.0f);
  Raster_RotatedBlit(mTmpBitmap, DeviceImage(top), 0, 0, w, h, 0.0f, 0.0f, static_cast<float>(w),
                     static_cast<float>(h), a, true, 1.0f,
                     kModeSourceAlpha | kModeCopy | kModeBilinear, xOffs, 0.0f);
  int dx = ToDevice(x), dy = ToDevice(y);
  IRECT r = IRECT(dx, dy, dx + w, dy + h).Intersect(ToDevice(mDrawRECT));
  if (r.Empty()) return true;
  BlendMode bm = MapBlend(blend);
  Raster_Blit(mDrawBitmap, mTmpBitmap, r.L, r.T, r.L - dx, r.T - dy, r.W(), r.H(), bm.weight,
              bm.mode);
  return true;
}

bool IGraphics::DrawPoint(const IColor* color, float x, float y, const IChannelBlend* blend, bool) {
  BlendMode bm = MapBlend(blend);
  Raster_PutPixel(mDrawBitmap, static_cast<int>(S(x) + 0.5f), static_cast<int>(S(y) + 0.5f),
                  color->Pack(), bm.weight, bm.mode);
  return true;
}

// A point outside the draw bitmap writes nothing.
bool IGraphics::ForcePixel(const IColor* color, int x, int y) {
  if (!mDrawBitmap || !mDrawBitmap->getBits()) return false;
  if (x < 0 || y < 0 || x >= mDrawBitmap->getWidth() || y >= mDrawBitmap->getHeight()) {
    return false;
  }
  mDrawBitmap->getBits()[y * mDrawBitmap->getRowSpan() + x] = color->Pack();
  return true;
}

bool IGraphics::DrawLine(const IColor* color, float x1, float y1, float x2, float y2,
                         const IChannelBlend* blend, bool antiAlias) {
  BlendMode bm = MapBlend(blend);
  Raster_Line(mDrawBitmap, static_cast<int>(S(x1)), static_cast<int>(S(y1)),
              static_cast<int>(S(x2)), static_cast<int>(S(y2)), color->Pack(), bm.weight, bm.mode,
              antiAlias);
  return true;
}

bool IGraphics::DrawArc(const IColor* color, float cx, float cy, float r, float minAngle,
                        float maxAngle, const IChannelBlend* blend, bool antiAlias) {
  BlendMode bm = MapBlend(blend);
  Raster_Arc(mDrawBitmap, S(cx), S(cy), S(r), minAngle, maxAngle, color->Pack(), bm.weight, bm.mode,
             antiAlias);
  return true;
}

bool IGraphics::DrawCircle(const IColor* color, float cx, float cy, float r,
                           const IChannelBlend* blend, bool antiAlias) {
  BlendMode bm = MapBlend(blend);
  Raster_Circle(mDrawBitmap, S(cx), S(cy), S(r), color->Pack(), bm.weight, bm.mode, antiAlias);
  return true;
}

bool IGraphics::FillCircle(const IColor* color, int cx, int cy, float r, const IChannelBlend* blend,
                           bool antiAlias) {
  BlendMode bm = MapBlend(blend);
  Raster_FillCircle(mDrawBitmap, S(static_cast<float>(cx)), S(static_cast<float>(cy)), S(r),
                    color->Pack(), bm.weight, bm.mode, antiAlias);
  return true;
}

bool IGraphics::RoundRect(const IColor* color, IRECT* r, const IChannelBlend* blend,
                          int cornerRadius, bool antiAlias) {
  BlendMode bm = MapBlend(blend);
  IRECT d = ToDevice(*r);
  Raster_RoundRect(mDrawBitmap, static_cast<float>(d.L), static_cast<float>(d.T),
                   static_cast<float>(d.W()), static_cast<float>(d.H()), ToDevice(cornerRadius),
                   color->Pack(), bm.weight, bm.mode, antiAlias);
  return true;
}

// Three rectangles and four corner circles.
bool IGraphics::FillRoundRect(const IColor* color, IRECT* panelRect, const IChannelBlend* blend,
                              int panelRadius, bool antiAlias) {
  BlendMode bm = MapBlend(blend);
  IRECT device = ToDevice(*panelRect);
  IRECT* r = &device;
  int cr = ToDevice(panelRadius);
  unsigned int c = color->Pack();
  int w = r->W(), h = r->H();
  Raster_FillRect(mDrawBitmap, r->L + cr, r->T, w - 2 * cr, h, c, bm.weight, bm.mode);
  Raster_FillRect(mDrawBitmap, r->L, r->T + cr, cr, h - 2 * cr, c, bm.weight, bm.mode);
  Raster_FillRect(mDrawBitmap, r->R - cr, r->T + cr, cr, h - 2 * cr, c, bm.weight, bm.mode);
  float rad = static_cast<float>(cr);
  Raster_FillCircle(mDrawBitmap, static_cast<float>(r->L + cr), static_cast<float>(r->T + cr), rad,
                    c, bm.weight, bm.mode, antiAlias);
  Raster_FillCircle(mDrawBitmap, static_cast<float>(r->R - cr - 1),
                    static_cast<float>(r->B - cr - 1), rad, c, bm.weight, bm.mode, antiAlias);
  Raster_FillCircle(mDrawBitmap, static_cast<float>(r->R - cr - 1), static_cast<float>(r->T + cr),
                    rad, c, bm.weight, bm.mode, antiAlias);
  Raster_FillCircle(mDrawBitmap, static_cast<float>(r->L + cr), static_cast<float>(r->B - cr - 1),
                    rad, c, bm.weight, bm.mode, antiAlias);
  return true;
}

bool IGraphics::FillIRect(const IColor* color, IRECT* r, const IChannelBlend* blend) {
  BlendMode bm = MapBlend(blend);
  IRECT d = ToDevice(*r);
  Raster_FillRect(mDrawBitmap, d.L, d.T, d.W(), d.H(), color->Pack(), bm.weight, bm.mode);
  return true;
}

bool IGraphics::FillTriangle(const IColor* color, int x1, int y1, int x2, int y2, int x3, int y3,
                             IChannelBlend* blend) {
  BlendMode bm = MapBlend(blend);
  Raster_FillTriangle(mDrawBitmap, ToDevice(x1), ToDevice(y1), ToDevice(x2), ToDevice(y2),
                      ToDevice(x3), ToDevice(y3), color->Pack(), bm.weight, bm.mode);
  return true;
}

bool IGraphics::FillIConvexPolygon(const IColor* color, int* x, int* y, int n,
                                   const IChannelBlend* blend) {
  BlendMode bm = MapBlend(blend);
  if (mScale != 1.0f) {
    std::vector<int> dx(x, x + n), dy(y, y + n);
    for (int i = 0; i < n; ++i) {
      dx[i] = ToDevice(dx[i]);
      dy[i] = ToDevice(dy[i]);
    }
    Raster_FillConvexPolygon(mDrawBitmap, dx.data(), dy.data(), n, color->Pack(), bm.weight,
                             bm.mode);
    return true;
  }
  Raster_FillConvexPolygon(mDrawBitmap, x, y, n, color->Pack(), bm.weight, bm.mode);
  return true;
}

bool IGraphics::DrawRect(const IColor* color, IRECT* panelRect) {
  IRECT device = ToDevice(*panelRect);
  IRECT* r = &device;
  unsigned int c = color->Pack();
  Raster_Line(mDrawBitmap, r->L, r->T, r->R, r->T, c, 1.0f, kModeCopy, false);
  Raster_Line(mDrawBitmap, r->L, r->B, r->R, r->B, c, 1.0f, kModeCopy, false);
  Raster_Line(mDrawBitmap, r->L, r->T, r->L, r->B, c, 1.0f, kModeCopy, false);
  Raster_Line(mDrawBitmap, r->R, r->T, r->R, r->B, c, 1.0f, kModeCopy, false);
  return true;
}

bool IGraphics::DrawVerticalLine(const IColor* color, int x, int y1, int y2) {
  Raster_Line(mDrawBitmap, ToDevice(x), ToDevice(y1), ToDevice(x), ToDevice(y2), color->Pack(),
              1.0f, kModeCopy, false);
  return true;
}

bool IGraphics::DrawHorizontalLine(const IColor* color, int y, int x1, int x2) {
  Raster_Line(mDrawBitmap, ToDevice(x1), ToDevice(y), ToDevice(x2), ToDevice(y), color->Pack(),
              1.0f, kModeCopy, false);
  return true;
}

static float Clamp01(float v) {
  return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}

bool IGraphics::DrawVerticalLine(const IColor* color, IRECT* r, float x) {
  int xi = r->L + static_cast<int>(static_cast<float>(r->W()) * Clamp01(x));
  return DrawVerticalLine(color, xi, r->T, r->B);
}

// y = 0 is the bottom edge.
bool IGraphics::DrawHorizontalLine(const IColor* color, IRECT* r, float y) {
  int yi = r->B - static_cast<int>(static_cast<float>(r->H()) * Clamp01(y));
  return DrawHorizontalLine(color, yi, r->L, r->R);
}

bool IGraphics::DrawRadialLine(const IColor* color, float cx, float cy, float angle, float rMin,
                               float rMax, const IChannelBlend* blend, bool antiAlias) {
  float sn = std::sin(angle), cs = std::cos(angle);
  return DrawLine(color, cx + sn * rMin, cy - cs * rMin, cx + sn * rMax, cy - cs * rMax, blend,
                  antiAlias);
}

IColor IGraphics::GetPoint(int x, int y) {
  return IColor::Unpack(Raster_GetPixel(mDrawBitmap, x, y));
}

void* IGraphics::GetBits() {
  return mDrawBitmap ? mDrawBitmap->getBits() : nullptr;
}

// ---- Run-time bitmaps held by the process-wide cache ----

IBitmap IGraphics::RegisterRuntimeBitmap(Raster_IBitmap* data, int nStates) {
  IBitmap b(data, data->getWidth(), data->getHeight(), nStates, false);
  RetainBitmap(&b);
  return b;
}

IBitmap IGraphics::ScaleBitmap(IBitmap* src, int w, int h) {
  Raster_MemBitmap* dest = new Raster_MemBitmap(w, h, 4);
  Raster_ScaledBlit(dest, src->mData, 0, 0, w, h, 0.0f, 0.0f, static_cast<float>(src->W),
                    static_cast<float>(src->H), 1.0f, kModeBilinear);
  return RegisterRuntimeBitmap(dest, src->N);
}

IBitmap IGraphics::CropBitmap(IBitmap* src, IRECT* r) {
  Raster_MemBitmap* dest = new Raster_MemBitmap(r->W(), r->H(), 4);
  Raster_Blit(dest, src->mData, 0, 0, r->L, r->T, r->W(), r->H(), 1.0f, kModeCopy);
  return RegisterRuntimeBitmap(dest, src->N);
}
