#pragma once

#include <string>

#include "IGraphicsStructs.h"

class IControl;
class IGraphics;
class IParam;

// In-place text entry of the X11 view: the text typed over a control's
// rectangle, filtered as the parameter's kind allows, then applied to the
// control.  Holds no window resources; the manager draws it over the panel.
class X11TextEntry {
 public:
  enum EResult { kKeep, kCommit, kCancel };

  void Open(IControl* control, IParam* param, const IText& text, const char* str,
            const IRECT& rect);
  bool IsOpen() const { return mControl != nullptr; }
  // One key: keysym as X11 names it, typed the characters it produced.
  // Return commits, Escape cancels, BackSpace deletes, other characters are
  // appended when the parameter's kind and the control's length allow them.
  EResult OnKey(unsigned long keysym, const char* typed);
  // Applies the text as the control's new value, then closes.
  void Commit(IGraphics* graphics);
  void Close();

  const std::string& Text() const { return mStr; }
  const IRECT& Rect() const { return mRect; }
  IText& Style() { return mText; }

 private:
  bool Accepts(char c) const;

  IControl* mControl = nullptr;
  IParam* mParam = nullptr;
  IText mText;
  std::string mStr;
  IRECT mRect;
};
