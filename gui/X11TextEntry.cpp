#include "X11TextEntry.h"

#include <X11/keysym.h>

#include <cstring>

#include "IControl.h"
#include "IGraphics.h"
#include "IParam.h"

void X11TextEntry::Open(IControl* control, IParam* param, const IText& text, const char* str,
                        const IRECT& rect) {
  mControl = control;
  mParam = param;
  mText = text;
  mStr = str ? str : "";
  mRect = rect;
}

// Numbers only for numeric parameters, as many characters as the control takes.
bool X11TextEntry::Accepts(char c) const {
  if (static_cast<unsigned char>(c) < 32 || c == 127) return false;
  int max = mControl ? mControl->GetTextEntryLength() : 0;
  if (max > 0 && static_cast<int>(mStr.size()) >= max) return false;
  if (!mParam) return true;
  switch (mParam->GetKind()) {
    case kParamBool:
    case kParamInt:
    case kParamEnum:
      return std::strchr("0123456789-+", c) != nullptr;
    case kParamDouble:
      return std::strchr("0123456789.-+", c) != nullptr;
    default:
      return true;
  }
}

X11TextEntry::EResult X11TextEntry::OnKey(unsigned long keysym, const char* typed) {
  if (!IsOpen()) return kKeep;
  switch (keysym) {
    case XK_Return:
    case XK_KP_Enter:
      return kCommit;
    case XK_Escape:
      return kCancel;
    case XK_BackSpace:
      if (!mStr.empty()) mStr.pop_back();
      return kKeep;
    default:
      break;
  }
  for (const char* p = typed; p && *p; ++p) {
    if (Accepts(*p)) mStr += *p;
  }
  return kKeep;
}

void X11TextEntry::Commit(IGraphics* graphics) {
  if (!IsOpen()) return;
  IControl* control = mControl;
  IParam* param = mParam;
  std::string text = mStr;
  Close();
  if (param && graphics) {
    graphics->SetFromStringAfterPrompt(control, param, text.c_str());
  } else {
    control->TextFromTextEntry(text.c_str());
  }
}

void X11TextEntry::Close() {
  mControl = nullptr;
  mParam = nullptr;
  mStr.clear();
}
