#include "ISwitchControls.h"

#include "IGraphics.h"
#include "IParam.h"

ISwitchControl::ISwitchControl(IPluginBase* plug, int x, int y, int paramIdx, const IBitmap* bitmap,
                               int blendMethod)
    : IBitmapControl(plug, x, y, paramIdx, bitmap, blendMethod) {}

// The 1.001 margin absorbs rounding of the repeated sum.
void ISwitchControl::OnMouseDown(int, int, IMouseMod*) {
  if (mBitmap.N >= 2) {
    mValue += 1.0 / static_cast<double>(mBitmap.N - 1);
  } else {
    mValue += 1.0;
  }
  if (mValue > 1.001) mValue = 0.0;
  SetDirty(true);
}

void ISwitchControl::OnMouseDblClick(int x, int y, IMouseMod* mod) {
  OnMouseDown(x, y, mod);
}

void ISwitchPopUpControl::OnMouseDown(int, int, IMouseMod*) {
  PromptUserInput();
  SetDirty(true);
}

ISwitchFramesControl::ISwitchFramesControl(IPluginBase* plug, int x, int y, int paramIdx,
                                           const IBitmap* bitmap, bool imagesAreHorizontal,
                                           int blendMethod)
    : ISwitchControl(plug, x, y, paramIdx, bitmap, blendMethod) {
  mDisablePrompt = false;
  int n = mBitmap.N > 0 ? mBitmap.N : 1;
  for (int i = 0; i < n; ++i) {
    IRECT r;
    if (imagesAreHorizontal) {
      float w = static_cast<float>(mRECT.R - mRECT.L) / static_cast<float>(n);
      int left = mRECT.L + static_cast<int>(static_cast<float>(i) * w);
      r = IRECT(left, mRECT.T, static_cast<int>(static_cast<float>(left) + w), mRECT.B);
    } else {
      float h = static_cast<float>(mRECT.B - mRECT.T) / static_cast<float>(n);
      int top = mRECT.T + static_cast<int>(static_cast<float>(i) * h);
      r = IRECT(mRECT.L, top, mRECT.R, static_cast<int>(static_cast<float>(top) + h));
    }
    mRECTs.Add(r);
  }
}

void ISwitchFramesControl::OnMouseDown(int x, int y, IMouseMod*) {
  int n = mRECTs.GetSize();
  for (int i = 0; i < n; ++i) {
    if (mRECTs.Get()[i].Contains(x, y)) {
      mValue = n > 1 ? static_cast<double>(i) / static_cast<double>(n - 1) : 0.0;
      break;
    }
  }
  SetDirty(true);
}

void IContactControl::OnMouseUp(int, int, IMouseMod*) {
  mValue = 0.0;
  SetDirty(true);
}

IBitmapOverlayControl::IBitmapOverlayControl(IPluginBase* plug, int x, int y, int paramIdx,
                                             const IBitmap* bitmap, IRECT targetArea,
                                             int blendMethod)
    : ISwitchControl(plug, x, y, paramIdx, bitmap, blendMethod), mTargetArea(targetArea) {}

bool IBitmapOverlayControl::Draw(IGraphics* graphics) {
  if (mValue < 0.5) {
    mTargetRECT = mTargetArea;
    return true;
  }
  mTargetRECT = mRECT;
  return IBitmapControl::Draw(graphics);
}

IInvisibleSwitchControl::IInvisibleSwitchControl(IPluginBase* plug, IRECT rect, int paramIdx)
    : IControl(plug, rect, paramIdx, IChannelBlend::BlendOpaque) {}

void IInvisibleSwitchControl::OnMouseDown(int, int, IMouseMod*) {
  mValue = mValue < 0.5 ? 1.0 : 0.0;
  SetDirty(true);
}

IRadioButtonsControl::IRadioButtonsControl(IPluginBase* plug, IRECT rect, int paramIdx,
                                           int nButtons, const IBitmap* bitmap,
                                           EDirection direction, bool reverse)
    : IControl(plug, rect, paramIdx), mBitmap(bitmap ? *bitmap : IBitmap()) {
  int n = nButtons < 2 ? 2 : nButtons;
  int w = mBitmap.W;
  int h = mBitmap.N > 0 ? static_cast<int>(mBitmap.H / mBitmap.N) : mBitmap.H;
  int dX = static_cast<int>(static_cast<double>(rect.W() - n * w) / static_cast<double>(n - 1));
  int dY = static_cast<int>(static_cast<double>(rect.H() - n * h) / static_cast<double>(n - 1));
  int x = reverse ? rect.R - w - dX : rect.L;
  int y = reverse ? rect.B - h - dY : rect.T;
  for (int i = 0; i < n; ++i) {
    if (direction == DirHorizontal) {
      mRECTs.Add(IRECT(x, rect.T, x + w, rect.T + h));
      x += reverse ? -(w + dX) : w + dX;
    } else {
      mRECTs.Add(IRECT(rect.L, y, rect.L + w, y + h));
      y += reverse ? -(h + dY) : h + dY;
    }
  }
}

void IRadioButtonsControl::OnMouseDown(int x, int y, IMouseMod* mod) {
  if (mod && mod->R) {
    PromptUserInput();
    return;
  }
  int n = mRECTs.GetSize();
  for (int i = 0; i < n; ++i) {
    if (mRECTs.Get()[i].Contains(x, y)) {
      mValue = static_cast<double>(i) / static_cast<double>(n - 1);
      break;
    }
  }
  SetDirty(true);
}

bool IRadioButtonsControl::Draw(IGraphics* graphics) {
  int n = mRECTs.GetSize();
  int active = TruncToInt(static_cast<double>(n - 1) * mValue + 0.5);
  active = active < 0 ? 0 : (active > n - 1 ? n - 1 : active);
  for (int i = 0; i < n; ++i) {
    IRECT r = mRECTs.Get()[i];
    graphics->DrawBitmap(&mBitmap, &r, i == active ? 2 : 1, &mBlend);
  }
  return true;
}
