#pragma once

#include "IBasicControls.h"

// Each press steps to the next frame's value, wrapping past 1 to 0.
class ISwitchControl : public IBitmapControl {
 public:
  ISwitchControl(IPluginBase* plug, int x, int y, int paramIdx, const IBitmap* bitmap,
                 int blendMethod = IChannelBlend::BlendDefault);
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  void OnMouseDblClick(int x, int y, IMouseMod* mod) override;
};

// A press opens the parameter's value prompt.
class ISwitchPopUpControl : public ISwitchControl {
 public:
  using ISwitchControl::ISwitchControl;
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
};

// One click area per frame; a press selects the frame under the pointer.
class ISwitchFramesControl : public ISwitchControl {
 public:
  ISwitchFramesControl(IPluginBase* plug, int x, int y, int paramIdx, const IBitmap* bitmap,
                       bool imagesAreHorizontal = false,
                       int blendMethod = IChannelBlend::BlendDefault);
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  int NFrameRects() const { return mRECTs.GetSize(); }
  IRECT FrameRect(int i) const { return mRECTs.Get()[i]; }

 protected:
  TypedBuf<IRECT> mRECTs;
};

// A momentary button: back to 0 on release.
class IContactControl : public ISwitchControl {
 public:
  using ISwitchControl::ISwitchControl;
  void OnMouseUp(int x, int y, IMouseMod* mod) override;
};

// Drawn (and hit over its whole rectangle) only while on; while off it takes
// the mouse in its target area only.
class IBitmapOverlayControl : public ISwitchControl {
 public:
  IBitmapOverlayControl(IPluginBase* plug, int x, int y, int paramIdx, const IBitmap* bitmap,
                        IRECT targetArea, int blendMethod = IChannelBlend::BlendDefault);
  bool Draw(IGraphics* graphics) override;

 protected:
  IRECT mTargetArea;
};

// An invisible on/off area.
class IInvisibleSwitchControl : public IControl {
 public:
  IInvisibleSwitchControl(IPluginBase* plug, IRECT rect, int paramIdx);
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  bool Draw(IGraphics*) override { return true; }
};

// n buttons drawn from a two-frame (off, on) image; one of them is active.
class IRadioButtonsControl : public IControl {
 public:
  IRadioButtonsControl(IPluginBase* plug, IRECT rect, int paramIdx, int nButtons,
                       const IBitmap* bitmap, EDirection direction = DirVertical,
                       bool reverse = false);
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  bool Draw(IGraphics* graphics) override;
  int NButtons() const { return mRECTs.GetSize(); }
  IRECT ButtonRect(int i) const { return mRECTs.Get()[i]; }

 protected:
  TypedBuf<IRECT> mRECTs;
  IBitmap mBitmap;
};
