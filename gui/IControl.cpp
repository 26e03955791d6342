#include "IControl.h"

#include <cstdio>
#include <cstring>

#include "IGraphics.h"
#include "IParam.h"
#include "IPluginBase.h"

IControl::IControl(IPluginBase* plug, IRECT rect, int paramIdx, int blendMethod)
    : mPlug(plug), mRECT(rect), mTargetRECT(rect), mParamIdx(paramIdx), mBlend(blendMethod) {}

IParam* IControl::GetParam() const {
  return mPlug && mParamIdx >= 0 ? mPlug->GetParam(mParamIdx) : nullptr;
}

IGraphics* IControl::GetGUI() const {
  return mPlug ? dynamic_cast<IGraphics*>(mPlug->GetGUI()) : nullptr;
}

void IControl::OnMouseDown(int, int, IMouseMod* mod) {
  if (mod && mod->R) PromptUserInput();
}

void IControl::OnMouseDblClick(int, int, IMouseMod*) {
  if (mDefaultValue >= 0.0) {
    mValue = mDefaultValue;
    SetDirty(true);
  }
}

// The first value a control receives becomes its double-click default.
void IControl::SetValueFromPlug(double value) {
  if (mDefaultValue < 0.0) {
    mDefaultValue = mValue = value;
  }
  if (mValue != value) {
    mValue = value;
    SetDirty(false);
    mRedraw = true;
  }
}

void IControl::SetValueFromUserInput(double value) {
  if (mValue != value) {
    mValue = value;
    SetDirty(true);
    mRedraw = true;
  }
}

void IControl::Hide(bool hide) {
  mHide = hide;
  mRedraw = true;
  SetDirty(false);
}

void IControl::GrayOut(bool gray) {
  mGrayed = gray;
  mBlend.mWeight = gray ? 0.25f : 1.0f;
  SetDirty(false);
}

bool IControl::IsHit(int x, int y) {
  return mTargetRECT.Contains(x, y);
}

void IControl::UpdateDisplayControl(IControl* display, const char* newText) {
  if (std::strcmp(display->GetDisplayText(), newText) != 0) {
    display->SetDirty(false);
    display->SetDisplayText(newText);
  }
}

// Clamps the value; a user change is also pushed to the plug-in and shown in
// the value and name display controls.
void IControl::SetDirty(bool pushParamToPlug) {
  mValue = mValue < mClampLo ? mClampLo : (mClampHi < mValue ? mClampHi : mValue);
  mDirty = true;
  if (!pushParamToPlug || !mPlug || mParamIdx < 0) return;
  mPlug->SetParameterFromGUI(mParamIdx, mValue);
  IParam* param = GetParam();
  if (!param) return;
  if (mValDisplayControl) {
    char display[MAX_PARAM_DISPLAY_LEN + 1] = {};
    param->GetDisplayForHost(param->GetValue(), false, display, true, 33);
    char text[70];
    std::snprintf(text, sizeof text, "%.32s %.32s", display, param->GetLabelForHost());
    UpdateDisplayControl(mValDisplayControl, text);
  }
  if (mNameDisplayControl) UpdateDisplayControl(mNameDisplayControl, param->GetNameForHost());
}

void IControl::SetClean() {
  mDirty = mRedraw;
  mRedraw = false;
}

void IControl::SetAuxParamValueFromPlug(int auxIndex, double value) {
  if (auxIndex < 0 || auxIndex >= mAuxParams.GetSize()) return;
  AuxParam* aux = GetAuxParam(auxIndex);
  if (aux->mValue != value) {
    aux->mValue = value;
    SetDirty(false);
    mRedraw = true;
  }
}

// A centred 40 x 16 field for parameters without display texts.
void IControl::PromptUserInput() {
  IParam* param = GetParam();
  if (!param || mDisablePrompt) return;
  IGraphics* gui = GetGUI();
  if (!gui) return;
  if (param->GetNDisplayTexts()) {
    gui->PromptUserInput(this, param, &mRECT);
  } else {
    int cx = static_cast<int>(static_cast<float>(mRECT.L + mRECT.R) * 0.5f);
    int cy = static_cast<int>(static_cast<float>(mRECT.T + mRECT.B) * 0.5f);
    IRECT r(cx - 20, cy - 8, cx + 20, cy + 8);
    gui->PromptUserInput(this, param, &r);
  }
  mRedraw = true;
}

void IControl::PromptUserInput(IRECT* r) {
  IParam* param = GetParam();
  if (!param || mDisablePrompt) return;
  IGraphics* gui = GetGUI();
  if (!gui) return;
  gui->PromptUserInput(this, param, r);
  mRedraw = true;
}

void IControl::AddAuxParam(int paramIdx) {
  mAuxParams.Add(AuxParam{0.0, paramIdx});
}

int IControl::AuxParamIdx(int paramIdx) const {
  for (int i = 0; i < mAuxParams.GetSize(); ++i) {
    if (mAuxParams.Get()[i].mParamIdx == paramIdx) return i;
  }
  return -1;
}

void IControl::SetAllAuxParamsFromGUI() {
  if (!mPlug) return;
  for (int i = 0; i < mAuxParams.GetSize(); ++i) {
    const AuxParam& aux = mAuxParams.Get()[i];
    mPlug->SetParameterFromGUI(aux.mParamIdx, aux.mValue);
  }
}
