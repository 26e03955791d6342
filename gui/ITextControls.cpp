#include "ITextControls.h"

#include <cstring>

#include "IBitmapMonoText.h"
#include "IGraphics.h"
#include "IParam.h"
#include "IPluginBase.h"

ITextControl::ITextControl(IPluginBase* plug, IRECT rect, const IText* text, const char* str)
    : IControl(plug, rect) {
  if (text) mText = *text;
  mStr.Set(str);
}

bool ITextControl::Draw(IGraphics* graphics) {
  const char* s = mStr.Get();
  if (!*s) return true;
  return graphics->DrawIText(&mText, s, &mRECT);
}

void ITextControl::SetTextFromPlug(const char* str) {
  if (std::strcmp(mStr.Get(), str ? str : "") != 0) {
    SetDirty(false);
    mStr.Set(str);
  }
}

ICaptionControl::ICaptionControl(IPluginBase* plug, IRECT rect, int paramIdx, const IText* text,
                                 bool showParamLabel)
    : ITextControl(plug, rect, text), mShowParamLabel(showParamLabel) {
  mParamIdx = paramIdx;
}

bool ICaptionControl::Draw(IGraphics* graphics) {
  IParam* param = GetParam();
  if (param) {
    char display[MAX_PARAM_DISPLAY_LEN];
    param->GetDisplayForHost(param->GetValue(), false, display, true);
    mStr.Set(display);
    if (mShowParamLabel) {
      mStr.Append(" ");
      mStr.Append(param->GetLabelForHost());
    }
  }
  return ITextControl::Draw(graphics);
}

void ICaptionControl::OnMouseDown(int, int, IMouseMod* mod) {
  if (mod && (mod->L || mod->R)) PromptUserInput();
}

void ICaptionControl::OnMouseDblClick(int, int, IMouseMod*) {
  PromptUserInput();
}

IURLControl::IURLControl(IPluginBase* plug, IRECT rect, const char* url, const char* backupURL,
                         const char* errMsgOnFailure)
    : IControl(plug, rect) {
  std::memset(mURL, 0, sizeof mURL);
  std::memset(mBackupURL, 0, sizeof mBackupURL);
  std::memset(mErrMsg, 0, sizeof mErrMsg);
  if (url && *url) CopyBounded(mURL, url, MAX_URL_LEN);
  if (backupURL && *backupURL) CopyBounded(mBackupURL, backupURL, MAX_URL_LEN);
  if (errMsgOnFailure && *errMsgOnFailure)
    CopyBounded(mErrMsg, errMsgOnFailure, MAX_NET_ERR_MSG_LEN);
}

void IURLControl::OnMouseDown(int, int, IMouseMod*) {
  IGraphics* gui = GetGUI();
  if (!gui) return;
  if (*mURL && gui->OpenURL(mURL, mErrMsg, nullptr, nullptr)) return;
  if (*mBackupURL) gui->OpenURL(mBackupURL, mErrMsg, nullptr, nullptr);
}

IFileSelectorControl::IFileSelectorControl(IPluginBase* plug, IRECT rect, int paramIdx,
                                           const IBitmap* bitmap, EFileAction action,
                                           const char* dir, const char* extensions)
    : IControl(plug, rect, paramIdx),
      mBitmap(bitmap ? *bitmap : IBitmap()),
      mDir(dir),
      mExtensions(extensions),
      mFileAction(action) {}

void IFileSelectorControl::OnMouseDown(int, int, IMouseMod*) {
  IGraphics* gui = GetGUI();
  if (!gui) return;
  mState = kFSSelecting;
  SetDirty(false);
  char extensions[1024];
  CopyBounded(extensions, mExtensions.Get(), sizeof extensions);
  gui->PromptForFile(&mFile, mFileAction, &mDir, extensions);
  mValue += 1.0;
  if (mValue > 1.0) mValue = 0.0;
  mState = kFSDone;
  SetDirty(true);
}

bool IFileSelectorControl::Draw(IGraphics* graphics) {
  if (mState != kFSSelecting) return true;
  return graphics->DrawBitmap(&mBitmap, &mRECT, 0, 0, &mBlend);
}

// A finished selection makes the control dirty once more, so its new value is drawn.
bool IFileSelectorControl::IsDirty() {
  if (mDirty) return true;
  if (mState == kFSDone) {
    mState = kFSNone;
    return true;
  }
  return false;
}

IBitmapTextControl::IBitmapTextControl(IPluginBase* plug, IRECT rect, const IBitmap* fontBitmap,
                                       const char* str, const IText* text, int charWidth,
                                       int charHeight, int charOffset, bool multiLine, bool vCenter)
    : IControl(plug, rect),
      mStr(str),
      mCharWidth(charWidth),
      mCharHeight(charHeight),
      mCharOffset(charOffset),
      mFontBitmap(fontBitmap ? *fontBitmap : IBitmap()),
      mMultiLine(multiLine),
      mVCentre(vCenter) {
  if (text) mText = *text;
}

bool IBitmapTextControl::Draw(IGraphics* graphics) {
  const char* s = mStr.Get();
  if (!*s) return true;
  DrawBitmapedText(graphics, &mFontBitmap, &mRECT, &mText, &mBlend, s, mVCentre, mMultiLine,
                   mCharWidth, mCharHeight, mCharOffset);
  return true;
}

void IBitmapTextControl::SetTextFromPlug(const char* str) {
  if (std::strcmp(mStr.Get(), str ? str : "") != 0) {
    SetDirty(false);
    mStr.Set(str);
  }
}
