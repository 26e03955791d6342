#pragma once

#include <functional>
#include <string>

#include "IControl.h"
#include "IKnobControls.h"
#include "ISwitchControls.h"

class IGraphics;

// The panel's read-out: a small label beside a control naming what it is set to
// ("+4.3 dB", "356 Hz", "HP 45 Hz", "16x").  It appears after the pointer rests on a
// control for kHoverDelay, at once while a control is dragged, wheeled or typed into,
// and when the host moves the control under the pointer; it goes kLinger after the
// pointer leaves or the gesture ends.  It is the last control of the panel, drawn in
// the normal dirty-rectangle pass over whatever lies beneath, and hidden (so drawing
// nothing at all) while no read-out shows.  It never takes the mouse.
// UI thread only.
class VantroseReadoutOverlay : public IControl {
 public:
  static constexpr double kHoverDelay = 0.4;  // seconds
  static constexpr double kLinger = 1.2;
  static constexpr double kRangeShown = 2.0;  // the reachable range after a refused value

  explicit VantroseReadoutOverlay(IPluginBase* plug);

  // What the panel's controls report; c is the control itself.
  void Hover(const IControl* c);
  void Leave(const IControl* c);
  void GestureBegin(const IControl* c);
  void GestureEnd(const IControl* c);
  void HostChanged(const IControl* c);
  // Shows text (the reachable range of a refused typed value) beside c for kRangeShown.
  void ShowNote(const IControl* c, const std::string& text);

  // The clock in seconds; steady time unless a caller replaces it (tests, snapshots).
  void SetClock(std::function<double()> now) { mNow = std::move(now); }

  // The rectangle where the read-out for c, with the given text, would sit: beside c,
  // clear of the panel's printed labels where there is room, wholly inside the panel.
  IRECT PlaceFor(const IControl* c, const std::string& text);

  bool Showing() const { return mShown; }
  const std::string& ShownText() const { return mText; }
  const IRECT& Bubble() const { return mBubble; }
  // The read-out's text for c now.
  std::string TextFor(const IControl* c) const;

  bool Draw(IGraphics* graphics) override;
  // Polled by the manager every frame: runs the timers and follows parameter changes.
  bool IsDirty() override;
  void SetClean() override;
  bool IsHit(int, int) override { return false; }

 private:
  double Now() const { return mNow(); }
  void ShowNow();
  void HideNow();
  void Relayout(const std::string& text);
  bool ParamsChanged();

  std::function<double()> mNow;
  IText mStyle;
  const IControl* mTarget = nullptr;
  bool mHovered = false, mInGesture = false, mShown = false;
  double mShowAt = -1.0, mHideAt = -1.0, mNoteUntil = -1.0;
  std::string mText, mNote;
  IRECT mBubble;
  double mSeen[32] = {};  // the parameter values the text was made from
  double mSeenRate = 0.0;
};

// A filmstrip knob that reports to the read-out and takes typed values: a Control
// click (without a drag) or a right click opens the in-place text entry holding the
// read-out.
class VantroseKnob : public IKnobMultiControl {
 public:
  VantroseKnob(IPluginBase* plug, int x, int y, int paramIdx, const IBitmap* bitmap,
               VantroseReadoutOverlay* overlay);
  void SetOverlay(VantroseReadoutOverlay* overlay) { mOverlay = overlay; }
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  void OnMouseUp(int x, int y, IMouseMod* mod) override;
  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* mod) override;
  void OnMouseWheel(int x, int y, IMouseMod* mod, int d) override;
  void OnMouseDblClick(int x, int y, IMouseMod* mod) override;
  void OnMouseOver(int x, int y, IMouseMod* mod) override;
  void OnMouseOut() override;
  void SetValueFromPlug(double value) override;
  // The text typed into the entry: applied as one host gesture when it names a value the
  // knob reaches, otherwise nothing changes and the read-out shows the range.
  void TextFromTextEntry(const char* text) override;

 private:
  void OpenTextEntry();

  VantroseReadoutOverlay* mOverlay;
  bool mTypePending = false;  // a Control press that opens the entry unless it drags
};

// A switch that reports to the read-out.
class VantroseSwitch : public ISwitchControl {
 public:
  VantroseSwitch(IPluginBase* plug, int x, int y, int paramIdx, const IBitmap* bitmap,
                 VantroseReadoutOverlay* overlay);
  void SetOverlay(VantroseReadoutOverlay* overlay) { mOverlay = overlay; }
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  void OnMouseUp(int x, int y, IMouseMod* mod) override;
  void OnMouseOver(int x, int y, IMouseMod* mod) override;
  void OnMouseOut() override;
  void SetValueFromPlug(double value) override;

 private:
  VantroseReadoutOverlay* mOverlay;
};
