#pragma once

#include "IControl.h"

// A line of text in a text style.
class ITextControl : public IControl {
 public:
  ITextControl(IPluginBase* plug, IRECT rect, const IText* text, const char* str = "");
  bool Draw(IGraphics* graphics) override;
  // Marks the control dirty only when the text changes.
  void SetTextFromPlug(const char* str);
  const char* GetDisplayText() const override { return mStr.Get(); }
  void SetDisplayText(const char* str) override { mStr.Set(str); }

 protected:
  StrBuf mStr;
};

// Shows its parameter's display value, optionally followed by the unit label.
class ICaptionControl : public ITextControl {
 public:
  ICaptionControl(IPluginBase* plug, IRECT rect, int paramIdx, const IText* text,
                  bool showParamLabel = true);
  bool Draw(IGraphics* graphics) override;
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  void OnMouseDblClick(int x, int y, IMouseMod* mod) override;

 protected:
  bool mShowParamLabel;
};

enum { MAX_URL_LEN = 256, MAX_NET_ERR_MSG_LEN = 1024 };

// An invisible hot spot that opens a web page, or a backup page when that fails.
class IURLControl : public IControl {
 public:
  IURLControl(IPluginBase* plug, IRECT rect, const char* url, const char* backupURL = nullptr,
              const char* errMsgOnFailure = nullptr);
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  bool Draw(IGraphics*) override { return true; }
  const char* GetURL() const { return mURL; }

 protected:
  char mURL[MAX_URL_LEN];
  char mBackupURL[MAX_URL_LEN];
  char mErrMsg[MAX_NET_ERR_MSG_LEN];
};

// Opens a file dialog; shows its bitmap while the dialog is open.
class IFileSelectorControl : public IControl {
 public:
  enum EFileSelectorState { kFSNone = 0, kFSSelecting = 1, kFSDone = 2 };

  IFileSelectorControl(IPluginBase* plug, IRECT rect, int paramIdx, const IBitmap* bitmap,
                       EFileAction action, const char* dir = "", const char* extensions = "");
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  bool Draw(IGraphics* graphics) override;
  bool IsDirty() override;
  void GetLastSelectedFileForPlug(StrBuf* out) { out->Set(mFile.Get()); }
  void SetLastSelectedFileFromPlug(const char* file) { mFile.Set(file); }
  EFileSelectorState GetState() const { return mState; }

 protected:
  IBitmap mBitmap;
  StrBuf mDir, mFile, mExtensions;
  EFileAction mFileAction;
  EFileSelectorState mState = kFSNone;
};

// Text drawn from a bitmap font: one frame per character from the space on.
class IBitmapTextControl : public IControl {
 public:
  IBitmapTextControl(IPluginBase* plug, IRECT rect, const IBitmap* fontBitmap, const char* str = "",
                     const IText* text = nullptr, int charWidth = 6, int charHeight = 12,
                     int charOffset = 0, bool multiLine = false, bool vCenter = true);
  bool Draw(IGraphics* graphics) override;
  void SetTextFromPlug(const char* str);
  const char* GetDisplayText() const override { return mStr.Get(); }
  void SetDisplayText(const char* str) override { mStr.Set(str); }

 protected:
  StrBuf mStr;
  int mCharWidth, mCharHeight, mCharOffset;
  IBitmap mFontBitmap;
  bool mMultiLine, mVCentre;
};
