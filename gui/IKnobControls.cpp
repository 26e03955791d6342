#include "IKnobControls.h"

#include <cmath>

#include "IBasicControls.h"
#include "IGraphics.h"

static IBitmap OrEmpty(const IBitmap* b) {
  return b ? *b : IBitmap();
}

IFaderControl::IFaderControl(IPluginBase* plug, int x, int y, int len, int paramIdx,
                             const IBitmap* bitmap, EDirection direction, bool onlyHandle)
    : IControl(plug, IRECT(), paramIdx),
      mLen(len),
      mBitmap(OrEmpty(bitmap)),
      mDirection(direction),
      mOnlyHandle(onlyHandle) {
  int w = mBitmap.W, h = mBitmap.frameHeight();
  if (direction == DirVertical) {
    mHandleHeadroom = h;
    mRECT = mTargetRECT = IRECT(x, y, x + w, y + len);
  } else {
    mHandleHeadroom = w;
    mRECT = mTargetRECT = IRECT(x, y, x + len, y + h);
  }
}

IRECT IFaderControl::GetHandleRECT(double v) const {
  if (v < 0.0) v = mValue;
  IRECT r(mRECT.L, mRECT.T, mRECT.L + mBitmap.W, mRECT.T + mBitmap.frameHeight());
  if (mDirection == DirVertical) {
    int offs = static_cast<int>((1.0 - v) * static_cast<double>(mLen - mHandleHeadroom));
    r.T += offs;
    r.B += offs;
  } else {
    int offs = static_cast<int>(v * static_cast<double>(mLen - mHandleHeadroom));
    r.L += offs;
    r.R += offs;
  }
  return r;
}

void IFaderControl::OnMouseDown(int x, int y, IMouseMod* mod) {
  if (mod && mod->R) {
    PromptUserInput();
    return;
  }
  SnapToMouse(x, y);
}

void IFaderControl::OnMouseDrag(int x, int y, int, int, IMouseMod*) {
  SnapToMouse(x, y);
}

void IFaderControl::OnMouseWheel(int, int, IMouseMod* mod, int d) {
  WheelStep(&mValue, mod, d);
  SetDirty(true);
}

// A track no longer than the handle has no travel: the value stays put.
void IFaderControl::SnapToMouse(int x, int y) {
  double travel = static_cast<double>(mLen - mHandleHeadroom);
  if (travel > 0.0) {
    if (mDirection == DirVertical) {
      mValue = 1.0 - static_cast<double>(y - mRECT.T - mHandleHeadroom / 2) / travel;
    } else {
      mValue = static_cast<double>(x - mRECT.L - mHandleHeadroom / 2) / travel;
    }
  }
  SetDirty(true);
}

bool IFaderControl::Draw(IGraphics* graphics) {
  IRECT r = GetHandleRECT();
  return graphics->DrawBitmap(&mBitmap, &r, 1, &mBlend);
}

bool IFaderControl::IsHit(int x, int y) {
  if (mOnlyHandle) return GetHandleRECT().Contains(x, y);
  return mTargetRECT.Contains(x, y);
}

void WheelStep(double* value, IMouseMod* mod, int d) {
  bool fine = mod && (mod->C || mod->S);
  *value += static_cast<double>(d) * (fine ? 0.001 : 0.01);
}

IKnobControl::IKnobControl(IPluginBase* plug, IRECT rect, int paramIdx, EDirection direction,
                           double gearing, int blendMethod)
    : IControl(plug, rect, paramIdx, blendMethod), mDirection(direction), mGearing(gearing) {}

// Upward drags raise a vertical knob; a drag of gearing times the knob's size
// sweeps the whole range, ten times finer with shift or control.
void IKnobControl::OnMouseDrag(int, int, int dX, int dY, IMouseMod* mod) {
  double gearing = mGearing;
  if (mod && (mod->C || mod->S)) gearing *= 10.0;
  int span = mDirection == DirVertical ? mRECT.T - mRECT.B : mRECT.R - mRECT.L;
  if (span != 0) {
    double d = mDirection == DirVertical ? dY : dX;
    mValue += d / static_cast<double>(span) / gearing;
  }
  SetDirty(true);
}

void IKnobControl::OnMouseWheel(int, int, IMouseMod* mod, int d) {
  WheelStep(&mValue, mod, d);
  SetDirty(true);
}

IKnobLineControl::IKnobLineControl(IPluginBase* plug, IRECT rect, int paramIdx, const IColor* color,
                                   double innerRadius, double outerRadius, double minAngle,
                                   double maxAngle, EDirection direction, double gearing)
    : IKnobControl(plug, rect, paramIdx, direction, gearing, IChannelBlend::BlendOpaque),
      mColor(color ? *color : COLOR_BLACK),
      mMinAngle(static_cast<float>(minAngle)),
      mMaxAngle(static_cast<float>(maxAngle)),
      mInnerRadius(static_cast<float>(innerRadius)),
      mOuterRadius(static_cast<float>(outerRadius)) {
  if (mOuterRadius == 0.0f) mOuterRadius = 0.5f * static_cast<float>(rect.W());
}

bool IKnobLineControl::Draw(IGraphics* graphics) {
  double a = mMinAngle + mValue * (mMaxAngle - mMinAngle);
  float sn = static_cast<float>(std::sin(a));
  float cs = static_cast<float>(std::cos(a));
  float cx = static_cast<float>(mRECT.L + mRECT.R) * 0.5f;
  float cy = static_cast<float>(mRECT.T + mRECT.B) * 0.5f;
  return graphics->DrawLine(&mColor, cx + mInnerRadius * sn, cy - mInnerRadius * cs,
                            cx + mOuterRadius * sn, cy - mOuterRadius * cs, &mBlend, true);
}

static IRECT BitmapRect(int x, int y, const IBitmap* b) {
  return b ? IRECT(x, y, x + b->frameWidth(), y + b->frameHeight()) : IRECT(x, y, x, y);
}

IKnobRotaterControl::IKnobRotaterControl(IPluginBase* plug, int x, int y, int paramIdx,
                                         const IBitmap* bitmap, double minAngle, double maxAngle,
                                         int yOffsetZeroDeg, EDirection direction, double gearing)
    : IKnobControl(plug, BitmapRect(x, y, bitmap), paramIdx, direction, gearing),
      mBitmap(OrEmpty(bitmap)),
      mMinAngle(minAngle),
      mMaxAngle(maxAngle),
      mYOffset(yOffsetZeroDeg) {}

bool IKnobRotaterControl::Draw(IGraphics* graphics) {
  int cx = (mRECT.L + mRECT.R) / 2, cy = (mRECT.T + mRECT.B) / 2;
  double angle = mMinAngle + mValue * (mMaxAngle - mMinAngle);
  return graphics->DrawRotatedBitmap(&mBitmap, cx, cy, angle, mYOffset, &mBlend);
}

IKnobMultiControl::IKnobMultiControl(IPluginBase* plug, int x, int y, int paramIdx,
                                     const IBitmap* bitmap, EDirection direction, double gearing)
    : IKnobControl(plug, BitmapRect(x, y, bitmap), paramIdx, direction, gearing),
      mBitmap(OrEmpty(bitmap)) {}

bool IKnobMultiControl::Draw(IGraphics* graphics) {
  return graphics->DrawBitmap(&mBitmap, &mRECT, FrameFromValue(mValue, mBitmap.N), &mBlend);
}

IKnobRotatingMaskControl::IKnobRotatingMaskControl(IPluginBase* plug, int x, int y, int paramIdx,
                                                   const IBitmap* base, const IBitmap* mask,
                                                   const IBitmap* top, double minAngle,
                                                   double maxAngle, EDirection direction,
                                                   double gearing)
    : IKnobControl(plug, BitmapRect(x, y, base), paramIdx, direction, gearing),
      mBase(OrEmpty(base)),
      mMask(OrEmpty(mask)),
      mTop(OrEmpty(top)),
      mMinAngle(minAngle),
      mMaxAngle(maxAngle) {}

bool IKnobRotatingMaskControl::Draw(IGraphics* graphics) {
  double angle = mMinAngle + mValue * (mMaxAngle - mMinAngle);
  return graphics->DrawRotatedMask(&mBase, &mMask, &mTop, mRECT.L, mRECT.T, angle, &mBlend);
}
