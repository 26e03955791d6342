#pragma once

#include "IGraphicsStructs.h"
#include "StrBuf.h"
#include "TypedBuf.h"

class IGraphics;
class IParam;
class IPluginBase;

// One rectangular, self-drawing, mouse-driven element of the editor.  It holds
// a normalised value 0..1 bound to one parameter by index, a clamp range, and
// the dirty and redraw-pending flags that drive the manager's draw pass.
class IControl {
 public:
  struct AuxParam {
    double mValue;
    int mParamIdx;
  };

  IControl(IPluginBase* plug, IRECT rect, int paramIdx = -1,
           int blendMethod = IChannelBlend::BlendDefault);
  virtual ~IControl() = default;
  IControl(const IControl&) = delete;
  IControl& operator=(const IControl&) = delete;

  virtual void OnMouseDown(int x, int y, IMouseMod* mod);
  virtual void OnMouseUp(int, int, IMouseMod*) {}
  virtual void OnMouseDrag(int, int, int, int, IMouseMod*) {}
  virtual void OnMouseDblClick(int x, int y, IMouseMod* mod);
  virtual void OnMouseWheel(int, int, IMouseMod*, int) {}
  virtual bool OnKeyDown(int, int, int) { return false; }
  virtual void OnMouseOver(int, int, IMouseMod*) {}
  virtual void OnMouseOut() {}
  virtual bool Draw(IGraphics* graphics) = 0;
  virtual void SetValueFromPlug(double value);
  virtual void SetValueFromUserInput(double value);
  virtual void TextFromTextEntry(const char*) {}
  virtual void Hide(bool hide);
  virtual void GrayOut(bool gray);
  virtual bool IsHit(int x, int y);
  virtual void SetDirty(bool pushParamToPlug = true);
  virtual void SetClean();
  virtual bool IsDirty() { return mDirty; }
  virtual void OnGUIIdle() {}
  virtual void SetAuxParamValueFromPlug(int auxIndex, double value);

  void PromptUserInput();
  void PromptUserInput(IRECT* r);
  void AddAuxParam(int paramIdx);
  int AuxParamIdx(int paramIdx) const;
  AuxParam* GetAuxParam(int i) { return mAuxParams.Get() + i; }
  int NAuxParams() const { return mAuxParams.GetSize(); }
  void SetAllAuxParamsFromGUI();

  // Simple accessors and setters for the owner.
  int ParamIdx() const { return mParamIdx; }
  double GetValue() const { return mValue; }
  void SetValue(double value) { mValue = value; }
  double GetDefaultValue() const { return mDefaultValue; }
  void Clamp(double lo, double hi) {
    mClampLo = lo;
    mClampHi = hi;
  }
  const IRECT& GetRECT() const { return mRECT; }
  const IRECT& GetTargetRECT() const { return mTargetRECT; }
  void SetTargetArea(const IRECT& r) { mTargetRECT = r; }
  bool IsHidden() const { return mHide; }
  bool IsGrayed() const { return mGrayed; }
  bool IsRedrawPending() const { return mRedraw; }
  bool GetMOWhenGrayed() const { return mMOWhenGrayed; }
  void SetMOWhenGrayed(bool on) { mMOWhenGrayed = on; }
  bool MouseDblAsSingleClick() const { return mDblAsSingleClick; }
  void SetMouseDblAsSingleClick(bool on) { mDblAsSingleClick = on; }
  void DisablePrompt(bool disable) { mDisablePrompt = disable; }
  bool IsPromptDisabled() const { return mDisablePrompt; }
  void SetValDisplayControl(IControl* c) { mValDisplayControl = c; }
  void SetNameDisplayControl(IControl* c) { mNameDisplayControl = c; }
  void SetTooltip(const char* text) { mTooltip.Set(text); }
  const char* GetTooltip() const { return mTooltip.Get(); }
  IText* GetText() { return &mText; }
  void SetText(const IText& text) { mText = text; }
  int GetTextEntryLength() const { return mTextEntryLength; }
  void SetTextEntryLength(int len) { mTextEntryLength = len; }
  const IChannelBlend* GetBlend() const { return &mBlend; }
  IPluginBase* GetPlug() const { return mPlug; }

  // The text a display control shows; text controls override it.
  virtual const char* GetDisplayText() const { return ""; }
  virtual void SetDisplayText(const char*) {}

 protected:
  IParam* GetParam() const;
  IGraphics* GetGUI() const;
  // Sends newText to a display control when it differs from what it shows.
  static void UpdateDisplayControl(IControl* display, const char* newText);

  int mTextEntryLength = 7;
  IText mText;
  IPluginBase* mPlug;
  IRECT mRECT, mTargetRECT;
  int mParamIdx;
  TypedBuf<AuxParam> mAuxParams;
  double mValue = 0.0;
  double mDefaultValue = -1.0;
  double mClampLo = 0.0, mClampHi = 1.0;
  bool mDirty = true;
  bool mHide = false;
  bool mGrayed = false;
  bool mRedraw = false;
  bool mDisablePrompt = true;
  bool mDblAsSingleClick = false;
  bool mMOWhenGrayed = false;
  IChannelBlend mBlend;
  IControl* mValDisplayControl = nullptr;
  IControl* mNameDisplayControl = nullptr;
  StrBuf mTooltip;
};
