#pragma once

#include "IControl.h"

// A handle bitmap moved along a track of the given length; it follows the mouse.
class IFaderControl : public IControl {
 public:
  IFaderControl(IPluginBase* plug, int x, int y, int len, int paramIdx, const IBitmap* bitmap,
                EDirection direction = DirVertical, bool onlyHandle = false);
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* mod) override;
  void OnMouseWheel(int x, int y, IMouseMod* mod, int d) override;
  bool Draw(IGraphics* graphics) override;
  bool IsHit(int x, int y) override;
  virtual void SnapToMouse(int x, int y);

  // Where the handle sits for value v; a negative v means the current value.
  IRECT GetHandleRECT(double v = -1.0) const;
  int GetLength() const { return mLen; }
  int GetHandleHeadroom() const { return mHandleHeadroom; }

 protected:
  int mLen, mHandleHeadroom;
  IBitmap mBitmap;
  EDirection mDirection;
  bool mOnlyHandle;
};

// Wheel steps: 0.01 each, 0.001 with shift or control.
void WheelStep(double* value, IMouseMod* mod, int d);

// A rotary control moved by vertical or horizontal drags with a gearing.
class IKnobControl : public IControl {
 public:
  IKnobControl(IPluginBase* plug, IRECT rect, int paramIdx, EDirection direction = DirVertical,
               double gearing = 4.0, int blendMethod = IChannelBlend::BlendDefault);
  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* mod) override;
  void OnMouseWheel(int x, int y, IMouseMod* mod, int d) override;
  void SetGearing(double gearing) { mGearing = gearing; }
  double GetGearing() const { return mGearing; }

 protected:
  EDirection mDirection;
  double mGearing;
};

// A line from an inner to an outer radius; angles in radians, 0 straight up.
class IKnobLineControl : public IKnobControl {
 public:
  IKnobLineControl(IPluginBase* plug, IRECT rect, int paramIdx, const IColor* color,
                   double innerRadius = 0.0, double outerRadius = 0.0,
                   double minAngle = -0.75 * 3.141592653589793,
                   double maxAngle = 0.75 * 3.141592653589793, EDirection direction = DirVertical,
                   double gearing = 4.0);
  bool Draw(IGraphics* graphics) override;

 protected:
  IColor mColor;
  float mMinAngle, mMaxAngle, mInnerRadius, mOuterRadius;
};

// One bitmap turned about the control's centre.
class IKnobRotaterControl : public IKnobControl {
 public:
  IKnobRotaterControl(IPluginBase* plug, int x, int y, int paramIdx, const IBitmap* bitmap,
                      double minAngle = -0.75 * 3.141592653589793,
                      double maxAngle = 0.75 * 3.141592653589793, int yOffsetZeroDeg = 0,
                      EDirection direction = DirVertical, double gearing = 4.0);
  bool Draw(IGraphics* graphics) override;

 protected:
  IBitmap mBitmap;
  double mMinAngle, mMaxAngle;
  int mYOffset;
};

// A filmstrip knob: one frame chosen from the value.
class IKnobMultiControl : public IKnobControl {
 public:
  IKnobMultiControl(IPluginBase* plug, int x, int y, int paramIdx, const IBitmap* bitmap,
                    EDirection direction = DirVertical, double gearing = 4.0);
  bool Draw(IGraphics* graphics) override;

 protected:
  IBitmap mBitmap;
};

// A base image with a mask and a top image turned over it; angles in degrees.
class IKnobRotatingMaskControl : public IKnobControl {
 public:
  IKnobRotatingMaskControl(IPluginBase* plug, int x, int y, int paramIdx, const IBitmap* base,
                           const IBitmap* mask, const IBitmap* top, double minAngle = -135.0,
                           double maxAngle = 135.0, EDirection direction = DirVertical,
                           double gearing = 4.0);
  bool Draw(IGraphics* graphics) override;

 protected:
  IBitmap mBase, mMask, mTop;
  double mMinAngle, mMaxAngle;
};
