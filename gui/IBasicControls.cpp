#include "IBasicControls.h"

#include "IGraphics.h"
#include "IParam.h"

IPanelControl::IPanelControl(IPluginBase* plug, IRECT rect, const IColor* color, int blendMethod)
    : IControl(plug, rect, -1, blendMethod), mColor(color ? *color : COLOR_BLACK) {}

bool IPanelControl::Draw(IGraphics* graphics) {
  graphics->FillIRect(&mColor, &mRECT, &mBlend);
  return true;
}

static IRECT FrameRectAt(int x, int y, const IBitmap* bitmap) {
  return bitmap ? IRECT(x, y, x + bitmap->frameWidth(), y + bitmap->frameHeight())
                : IRECT(x, y, x, y);
}

IBitmapControl::IBitmapControl(IPluginBase* plug, int x, int y, int paramIdx, const IBitmap* bitmap,
                               int blendMethod)
    : IControl(plug, FrameRectAt(x, y, bitmap), paramIdx, blendMethod),
      mBitmap(bitmap ? *bitmap : IBitmap()) {}

int FrameFromValue(double value, int nFrames) {
  if (nFrames < 2) return 1;
  int k = TruncToInt(static_cast<double>(nFrames - 1) * value + 0.5);
  if (k < 0) return 1;
  if (k >= nFrames) return nFrames;
  return k + 1;
}

bool IBitmapControl::Draw(IGraphics* graphics) {
  return graphics->DrawBitmap(&mBitmap, &mRECT, FrameFromValue(mValue, mBitmap.N), &mBlend);
}
