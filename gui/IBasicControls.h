#pragma once

#include "IControl.h"

// The basic controls the editor core itself attaches: a colour panel and a bitmap.

// A solid colour filling the control's rectangle.
class IPanelControl : public IControl {
 public:
  IPanelControl(IPluginBase* plug, IRECT rect, const IColor* color,
                int blendMethod = IChannelBlend::BlendDefault);
  bool Draw(IGraphics* graphics) override;

 protected:
  IColor mColor;
};

// One frame of a filmstrip, chosen from the value.
class IBitmapControl : public IControl {
 public:
  IBitmapControl(IPluginBase* plug, int x, int y, int paramIdx, const IBitmap* bitmap,
                 int blendMethod = IChannelBlend::BlendDefault);
  bool Draw(IGraphics* graphics) override;

 protected:
  IBitmap mBitmap;
};

// Frame number (1..N) that shows a normalised value.
int FrameFromValue(double value, int nFrames);
