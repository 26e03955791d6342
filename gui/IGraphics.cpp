#include "IGraphics.h"

#include <cstdlib>
#include <cstring>

#include "IBasicControls.h"
#include "IParam.h"
#include "IPluginBase.h"
#include "IPopupMenu.h"
#include "Raster_IBitmap.h"

IGraphics::IGraphics(IPluginBase* plug, int width, int height, int fps)
    : mPlug(plug), mWidth(width), mHeight(height), mFPS(fps > 0 ? fps : 25) {}

// The key catcher, then the controls from the last to the first, then the bitmaps.
IGraphics::~IGraphics() {
  delete mKeyCatcher;
  mKeyCatcher = nullptr;
  mControls.Empty(true);
  DeleteBitmaps();
  for (ScaledImage& e : mScaledImages)
    delete e.scaled;
}

void IGraphics::AttachBackground(int id, const char* name) {
  IBitmap bg = LoadIBitmap(id, name, 1);
  IControl* c = new IBitmapControl(mPlug, 0, 0, -1, &bg, IChannelBlend::BlendOpaque);
  if (!mControls.Insert(0, c)) delete c;
}

void IGraphics::AttachPanelBackground(const IColor* color) {
  IControl* c = new IPanelControl(mPlug, IRECT(0, 0, mWidth, mHeight), color);
  if (!mControls.Insert(0, c)) delete c;
}

// Takes ownership; -1 (and the control deleted) when the list cannot grow.
int IGraphics::AttachControl(IControl* control) {
  if (!control) return -1;
  if (!mControls.Add(control)) {
    delete control;
    return -1;
  }
  return mControls.GetSize() - 1;
}

void IGraphics::AttachKeyCatcher(IControl* control) {
  if (control == mKeyCatcher) return;
  delete mKeyCatcher;
  mKeyCatcher = control;
}

// ---- Parameters and controls ----

void IGraphics::SetParameterFromPlug(int paramIdx, double value, bool normalized) {
  if (!normalized) {
    IParam* param = mPlug ? mPlug->GetParam(paramIdx) : nullptr;
    if (!param) return;  // nothing to normalise against
    value = param->GetNormalized(value);
  }
  for (int i = 0; i < mControls.GetSize(); ++i) {
    IControl* c = mControls.Get(i);
    if (c->ParamIdx() == paramIdx) c->SetValueFromPlug(value);
    int aux = c->AuxParamIdx(paramIdx);
    if (aux >= 0) c->SetAuxParamValueFromPlug(aux, value);
  }
}

void IGraphics::SetControlFromPlug(int controlIdx, double normalizedValue) {
  IControl* c = mControls.Get(controlIdx);
  if (c) c->SetValueFromPlug(normalizedValue);
}

void IGraphics::SetParameterFromGUI(int paramIdx, double normalizedValue) {
  for (int i = 0; i < mControls.GetSize(); ++i) {
    IControl* c = mControls.Get(i);
    if (c->ParamIdx() == paramIdx) c->SetValueFromUserInput(normalizedValue);
  }
}

void IGraphics::ClampControl(int paramIdx, double lo, double hi, bool normalized) {
  if (!normalized) {
    IParam* param = mPlug ? mPlug->GetParam(paramIdx) : nullptr;
    if (!param) return;
    lo = param->GetNormalized(lo);
    hi = param->GetNormalized(hi);
  }
  for (int i = 0; i < mControls.GetSize(); ++i) {
    IControl* c = mControls.Get(i);
    if (c->ParamIdx() == paramIdx) c->Clamp(lo, hi);
  }
}

void IGraphics::HideControl(int paramIdx, bool hide) {
  for (int i = 0; i < mControls.GetSize(); ++i) {
    IControl* c = mControls.Get(i);
    if (c->ParamIdx() == paramIdx) c->Hide(hide);
  }
}

void IGraphics::GrayOutControl(int paramIdx, bool gray) {
  for (int i = 0; i < mControls.GetSize(); ++i) {
    IControl* c = mControls.Get(i);
    if (c->ParamIdx() == paramIdx) c->GrayOut(gray);
  }
}

void IGraphics::SetAllControlsDirty() {
  for (int i = 0; i < mControls.GetSize(); ++i)
    mControls.Get(i)->SetDirty(false);
}

void IGraphics::SetStrictDrawing(bool strict) {
  mStrict = strict;
  SetAllControlsDirty();
}

void IGraphics::AssignParamNameToolTips() {
  for (int i = 0; i < mControls.GetSize(); ++i) {
    IControl* c = mControls.Get(i);
    IParam* param = mPlug && c->ParamIdx() >= 0 ? mPlug->GetParam(c->ParamIdx()) : nullptr;
    if (param) c->SetTooltip(param->GetNameForHost());
  }
}

// Display texts are offered as a menu, anything else as a text field.
void IGraphics::PromptUserInput(IControl* control, IParam* param, IRECT* r) {
  if (!control || !param || !r) return;
  EParamKind kind = param->GetKind();
  if (kind == kParamEnum || (kind == kParamBool && param->GetNDisplayTexts() > 0)) {
    char current[MAX_PARAM_DISPLAY_LEN];
    param->GetDisplayForHost(param->GetValue(), false, current, true);
    IPopupMenu menu;
    for (int i = 0; i < param->GetNDisplayTexts(); ++i) {
      const char* text = param->GetDisplayText(i);
      int flags = std::strcmp(text, current) == 0 ? IPopupMenuItem::kChecked : 0;
      menu.AddItem(text, -1, flags);
    }
    if (CreateIPopupMenu(&menu, r)) {
      control->SetValueFromUserInput(param->GetNormalized(menu.GetChosenItemIdx()));
    }
    return;
  }
  char current[MAX_PARAM_DISPLAY_LEN];
  param->GetDisplayForHost(param->GetValue(), false, current, false);
  CreateTextEntry(control, control->GetText(), r, current, param);
}

void IGraphics::SetFromStringAfterPrompt(IControl* control, IParam* param, const char* text) {
  if (!param || !control) return;
  double value;
  EParamKind kind = param->GetKind();
  if (kind == kParamBool || kind == kParamEnum) {
    int v = 0;
    param->MapDisplayText(text ? text : "", &v);
    value = v;
  } else {
    value = std::strtod(text ? text : "", nullptr);
    if (param->GetNegateDisplay()) value = -value;
  }
  control->SetValueFromUserInput(param->GetNormalized(value));
}

// ---- Dirty tracking and the draw passes ----

bool IGraphics::IsDirty(IRECT* r) {
  bool dirty = false;
  for (int i = 0; i < mControls.GetSize(); ++i) {
    IControl* c = mControls.Get(i);
    if (c->IsDirty()) {
      *r = r->Union(c->GetRECT());
      dirty = true;
    }
  }
  return dirty;
}

// Strict drawing redraws everything that meets r and cleans every control.
bool IGraphics::Draw(IRECT* r) {
  int n = mControls.GetSize();
  if (n == 0) return true;
  if (mStrict) {
    mDrawRECT = *r;
    for (int i = 0; i < n; ++i) {
      IControl* c = mControls.Get(i);
      if (!c->IsHidden() && r->Intersects(c->GetRECT())) c->Draw(this);
      c->SetClean();
    }
  } else {
    DrawNonStrict();
  }
  return DrawScreen(r);
}

// Redraws each dirty control with whatever lies under it; a dirty background
// redraws everything.
void IGraphics::DrawNonStrict() {
  int n = mControls.GetSize();
  IControl* bg = mControls.Get(0);
  if (bg->IsDirty()) {
    mDrawRECT = bg->GetRECT();
    for (int j = 0; j < n; ++j) {
      IControl* c = mControls.Get(j);
      if (j == 0 || !c->IsHidden()) {
        c->Draw(this);
        c->SetClean();
      }
    }
    return;
  }
  for (int i = 1; i < n; ++i) {
    IControl* dirty = mControls.Get(i);
    if (!dirty->IsDirty()) continue;
    mDrawRECT = dirty->GetRECT();
    for (int j = 0; j < n; ++j) {
      IControl* c = mControls.Get(j);
      if (!c->IsHidden() && (j == i || c->GetRECT().Intersects(mDrawRECT))) c->Draw(this);
    }
    dirty->SetClean();
  }
}

// ---- Mouse and keyboard ----

int IGraphics::GetMouseControlIdx(int x, int y, bool mouseOver) {
  if (mMouseCapture >= 0) return mMouseCapture;
  for (int i = mControls.GetSize() - 1; i >= 0; --i) {
    IControl* c = mControls.Get(i);
    if (c->IsHidden()) continue;
    bool grayOk = !c->IsGrayed() || (mouseOver && c->GetMOWhenGrayed());
    if (grayOk && c->IsHit(x, y)) return i;
  }
  return -1;
}

// A press on a bound control opens a host gesture that the release closes.  The
// gesture is recorded, so that its end names the parameter its begin named even when
// the release finds another control, and a press that comes first ends it.
void IGraphics::OnMouseDown(int x, int y, IMouseMod* mod) {
  EndMouseGesture();
  int k = GetMouseControlIdx(x, y);
  if (k < 0) return;
  if (k == 0 && mScaleMenu && mod && mod->R) {
    ShowScaleMenu(x, y);
    return;
  }
  IControl* c = mControls.Get(k);
  mMouseCapture = k;
  mMouseX = x;
  mMouseY = y;
  if (c->ParamIdx() >= 0 && mPlug) {
    mGestureParam = c->ParamIdx();
    mPlug->BeginInformHostOfParamChange(mGestureParam);
  }
  c->OnMouseDown(x, y, mod);
}

void IGraphics::OnMouseUp(int x, int y, IMouseMod* mod) {
  int k = GetMouseControlIdx(x, y);
  ReleaseMouseCapture();
  IControl* c = mControls.Get(k);
  if (c) c->OnMouseUp(x, y, mod);
  EndMouseGesture();
}

void IGraphics::OnMouseDrag(int x, int y, IMouseMod* mod) {
  IControl* c = mControls.Get(mMouseCapture);
  if (!c) return;
  int dX = x - mMouseX, dY = y - mMouseY;
  if (dX == 0 && dY == 0) return;
  mMouseX = x;
  mMouseY = y;
  c->OnMouseDrag(x, y, dX, dY, mod);
}

bool IGraphics::OnMouseDblClick(int x, int y, IMouseMod* mod) {
  EndMouseGesture();
  int k = GetMouseControlIdx(x, y);
  IControl* c = mControls.Get(k);
  if (!c) return false;
  if (c->MouseDblAsSingleClick()) {
    mMouseCapture = k;
    mMouseX = x;
    mMouseY = y;
    c->OnMouseDown(x, y, mod);
    return true;
  }
  c->OnMouseDblClick(x, y, mod);
  return false;
}

void IGraphics::OnMouseWheel(int x, int y, IMouseMod* mod, int d) {
  IControl* c = mControls.Get(GetMouseControlIdx(x, y));
  if (c) c->OnMouseWheel(x, y, mod, d);
}

bool IGraphics::OnMouseOver(int x, int y, IMouseMod* mod) {
  if (!mHandleMouseOver) return false;
  int k = GetMouseControlIdx(x, y, true);
  IControl* c = mControls.Get(k);
  if (c) {
    mMouseX = x;
    mMouseY = y;
    c->OnMouseOver(x, y, mod);
    IControl* previous = mControls.Get(mMouseOver);
    if (previous && mMouseOver != k) previous->OnMouseOut();
    mMouseOver = k;
  }
  return mHandleMouseOver;
}

void IGraphics::OnMouseOut() {
  for (int i = 0; i < mControls.GetSize(); ++i)
    mControls.Get(i)->OnMouseOut();
  mMouseOver = -1;
}

// Keys over the background or over nothing go to the key catcher.
bool IGraphics::OnKeyDown(int x, int y, int key) {
  int k = GetMouseControlIdx(x, y);
  if (k > 0) return mControls.Get(k)->OnKeyDown(x, y, key);
  return mKeyCatcher ? mKeyCatcher->OnKeyDown(x, y, key) : false;
}

void IGraphics::OnGUIIdle() {
  for (int i = 0; i < mControls.GetSize(); ++i)
    mControls.Get(i)->OnGUIIdle();
}

void IGraphics::ReleaseMouseCapture() {
  mMouseCapture = mMouseX = mMouseY = -1;
}

void IGraphics::EndMouseGesture() {
  ReleaseMouseCapture();
  const int idx = mGestureParam;
  mGestureParam = -1;  // first, so a plug-in that calls back in ends nothing twice
  if (idx >= 0 && mPlug) mPlug->EndInformHostOfParamChange(idx);
}

int IGraphics::GetParamIdxForPTAutomation(int x, int y) {
  int k = GetMouseControlIdx(x, y);
  mLastClickedParam = k > 0 ? mControls.Get(k)->ParamIdx() : -1;
  return mLastClickedParam;
}

int IGraphics::GetLastClickedParamForPTAutomation() {
  int idx = mLastClickedParam;
  mLastClickedParam = -1;
  return idx;
}

// ---- Scale menu ----

float IGraphics::ScaleAt(int i) {
  constexpr float kScales[kNumScales] = {1.0f, 1.5f, 2.0f};
  return i >= 0 && i < kNumScales ? kScales[i] : 1.0f;
}

const char* IGraphics::ScaleMenuItem(int i) {
  const char* const kItems[kNumScales] = {"Size: 100 %", "Size: 150 %", "Size: 200 %"};
  return i >= 0 && i < kNumScales ? kItems[i] : "";
}

// Through the platform's popup menu, which returns once the user chose or dismissed it.
void IGraphics::ShowScaleMenu(int x, int y) {
  IPopupMenu menu;
  for (int i = 0; i < kNumScales; ++i)
    menu.AddItem(ScaleMenuItem(i), -1, ScaleAt(i) == mScale ? IPopupMenuItem::kChecked : 0);
  IRECT r(x, y, x + 1, y + 1);
  IPopupMenu* chosen = CreateIPopupMenu(&menu, &r);
  int idx = chosen ? chosen->GetChosenItemIdx() : -1;
  if (idx >= 0 && idx < kNumScales) ChooseScale(ScaleAt(idx));
}

// ---- Resize ----

// The caller builds a new layout afterwards; the key catcher stays.
void IGraphics::Resize(int w, int h) {
  mWidth = w;
  mHeight = h;
  EndMouseGesture();
  mControls.Empty(true);
  PrepDraw();
  // The host sizes its window in pixels: the editor's size at its scale.
  if (mPlug) mPlug->ResizeGraphics(DeviceWidth(), DeviceHeight());
}
