#include "IGraphicsCocoa.h"

#include <cstdio>
#include <cstdlib>

#include "IGraphics.h"
#include "IParam.h"
#include "IPopupMenu.h"

// ---- Menus ----

// Every item counts for the numbering, separators and submenus included.
IGraphicsNSMenu* IGraphicsNSMenu::initWithIPopupMenuAndReciever(IPopupMenu* menu,
                                                                NSView* receiver) {
  setAutoenablesItems(NO);
  static const char* const kPrefixFormats[] = {"", "%1d: ", "%02d: ", "%03d: "};
  for (int i = 0; i < menu->GetNItems(); ++i) {
    IPopupMenuItem* item = menu->GetItem(i);
    char prefix[16] = "";
    if (menu->GetPrefix() > 0)
      std::snprintf(prefix, sizeof prefix, kPrefixFormats[menu->GetPrefix()], i + 1);
    std::string title = std::string(prefix) + item->GetText();
    if (item->GetSubmenu()) {
      NSMenuItem* native = addItemWithTitle(title.c_str(), nullptr, "");
      IGraphicsNSMenu* sub = new IGraphicsNSMenu();
      native->setSubmenu(sub->initWithIPopupMenuAndReciever(item->GetSubmenu(), receiver));
    } else if (item->GetIsSeparator()) {
      addItem(NSMenuItem::separatorItem());
    } else {
      NSMenuItem* native = addItemWithTitle(title.c_str(), "OnMenuSelection:", "");
      if (item->GetIsTitle()) native->setIndentationLevel(1);
      native->setState(item->GetChecked() ? NSOnState : NSOffState);
      native->setEnabled(item->GetEnabled() ? YES : NO);
    }
  }
  mIPopupMenu = menu;
  return this;
}

BOOL IGraphicsMenuRcvr::tryToPerform(const char* action, NSMenuItem* sender) {
  if (std::string(action) != "OnMenuSelection:") return NO;
  OnMenuSelection(sender);
  return YES;
}

// ---- Formatter ----

BOOL CocoaFormatter::isPartialStringValid(const std::string& partial, std::string*, std::string*) {
  if (filterCharacterSet) {
    for (char c : partial) {
      if (!filterCharacterSet->characterIsMember(c)) return NO;
    }
  }
  if (maxLength && static_cast<int>(partial.size()) > maxLength) return NO;
  if (maxValue && std::atoi(partial.c_str()) > maxValue) return NO;
  return YES;
}

// ---- View ----

IGraphicsCocoa::~IGraphicsCocoa() {
  killTimer();
  endUserInput();
}

IGraphicsCocoa* IGraphicsCocoa::initWithIGraphics(IGraphics* graphics) {
  mGraphics = graphics;
  initWithFrame(NSMakeRect(0, 0, graphics->Width(), graphics->Height()));
  // Common modes: the timer also fires while menus track or the host runs a modal loop.
  mTimer = NSTimer::scheduledTimerWithTimeInterval(
      1.0 / graphics->FPS(), [this](NSTimer* t) { onTimer(t); }, true);
  NSRunLoop::currentRunLoop()->addTimer(mTimer, NSRunLoopCommonModes);
  return this;
}

// The window's backing scale becomes the editor's: its pixels per point.
void IGraphicsCocoa::viewDidMoveToWindow() {
  NSWindow* w = window();
  if (!w) return;
  if (mGraphics) mGraphics->SetScale(static_cast<float>(w->backingScaleFactor()));
  w->makeFirstResponder(this);
  w->setAcceptsMouseMovedEvents(YES);
}

NSRect IGraphicsCocoa::ToNSRect(const IGraphics* graphics, const IRECT& r) {
  int h = graphics->Height();
  return NSMakeRect(r.L, h - r.B - 1, r.R - r.L + 1, r.B - r.T + 1);
}

IRECT IGraphicsCocoa::ToIRECT(const IGraphics* graphics, const NSRect& r) {
  int h = graphics->Height();
  int x = static_cast<int>(r.origin.x), y = static_cast<int>(r.origin.y);
  int w = static_cast<int>(r.size.width), ht = static_cast<int>(r.size.height);
  return IRECT(x, h - y - ht, x + w, h - y);
}

void IGraphicsCocoa::drawRect(NSRect rect) {
  if (!mGraphics) return;
  IRECT r = ToIRECT(mGraphics, rect);
  mGraphics->Draw(&r);
}

// Polls the manager and invalidates the union of its dirty rectangles.
void IGraphicsCocoa::onTimer(NSTimer* timer) {
  if (timer != mTimer || !mGraphics) return;
  IRECT r;
  if (mGraphics->IsDirty(&r)) setNeedsDisplayInRect(ToNSRect(mGraphics, r));
}

void IGraphicsCocoa::getMouseXY(NSEvent* event, int* x, int* y) {
  if (!mGraphics) return;
  NSPoint p = convertPointFromView(event->locationInWindow, nullptr);
  *x = mPrevX = static_cast<int>(p.x) - 2;
  *y = mPrevY = mGraphics->Height() - static_cast<int>(p.y) - 3;
}

// Command-click stands for a right click.
IMouseMod IGraphicsCocoa::LeftMod(NSEvent* event) {
  unsigned long f = event->modifierFlags;
  return IMouseMod(true, (f & NSCommandKeyMask) != 0, (f & NSShiftKeyMask) != 0,
                   (f & NSControlKeyMask) != 0, (f & NSAlternateKeyMask) != 0);
}

IMouseMod IGraphicsCocoa::RightMod(NSEvent* event) {
  unsigned long f = event->modifierFlags;
  return IMouseMod(false, true, (f & NSShiftKeyMask) != 0, (f & NSControlKeyMask) != 0,
                   (f & NSAlternateKeyMask) != 0);
}

void IGraphicsCocoa::mouseDown(NSEvent* event) {
  if (!mGraphics) return;
  int x = 0, y = 0;
  getMouseXY(event, &x, &y);
  IMouseMod mod = LeftMod(event);
  if (event->clickCount > 1) {
    mGraphics->OnMouseDblClick(x, y, &mod);
  } else {
    mGraphics->OnMouseDown(x, y, &mod);
  }
}

void IGraphicsCocoa::mouseUp(NSEvent* event) {
  if (!mGraphics) return;
  int x = 0, y = 0;
  getMouseXY(event, &x, &y);
  IMouseMod mod = LeftMod(event);
  mGraphics->OnMouseUp(x, y, &mod);
}

void IGraphicsCocoa::mouseDragged(NSEvent* event) {
  if (!mGraphics) return;
  int x = 0, y = 0;
  getMouseXY(event, &x, &y);
  IMouseMod mod = LeftMod(event);
  if (!mTextFieldView) mGraphics->OnMouseDrag(x, y, &mod);
}

void IGraphicsCocoa::rightMouseDown(NSEvent* event) {
  if (!mGraphics) return;
  int x = 0, y = 0;
  getMouseXY(event, &x, &y);
  IMouseMod mod = RightMod(event);
  mGraphics->OnMouseDown(x, y, &mod);
}

void IGraphicsCocoa::rightMouseUp(NSEvent* event) {
  if (!mGraphics) return;
  int x = 0, y = 0;
  getMouseXY(event, &x, &y);
  IMouseMod mod = RightMod(event);
  mGraphics->OnMouseUp(x, y, &mod);
}

void IGraphicsCocoa::rightMouseDragged(NSEvent* event) {
  if (!mGraphics) return;
  int x = 0, y = 0;
  getMouseXY(event, &x, &y);
  IMouseMod mod = RightMod(event);
  if (!mTextFieldView) mGraphics->OnMouseDrag(x, y, &mod);
}

void IGraphicsCocoa::mouseMoved(NSEvent* event) {
  if (!mGraphics) return;
  int x = 0, y = 0;
  getMouseXY(event, &x, &y);
  IMouseMod mod = LeftMod(event);
  mGraphics->OnMouseOver(x, y, &mod);
}

// Scrolling closes an open text entry without applying it.
void IGraphicsCocoa::scrollWheel(NSEvent* event) {
  if (!mGraphics) return;
  if (mTextFieldView) endUserInput();
  int x = 0, y = 0;
  getMouseXY(event, &x, &y);
  IMouseMod mod = LeftMod(event);
  mGraphics->OnMouseWheel(x, y, &mod, static_cast<int>(event->deltaY));
}

int IGraphicsCocoa::KeyCode(NSEvent* event) {
  switch (event->keyCode) {
    case 123:
      return KeyLeft;
    case 124:
      return KeyRight;
    case 125:
      return KeyDown;
    case 126:
      return KeyUp;
    case 49:
      return KeySpace;
    default:
      break;
  }
  char c = event->charactersIgnoringModifiers[0];
  if (c >= '0' && c <= '9') return KeyDigit0 + (c - '0');
  if (c >= 'A' && c <= 'Z') return KeyA + (c - 'A');
  if (c >= 'a' && c <= 'z') return KeyA + (c - 'a');
  return -1;
}

// Keys go to the manager at the last mouse position; what it does not take
// goes up the responder chain to the host.
void IGraphicsCocoa::keyDown(NSEvent* event) {
  if (!mGraphics) return;
  if (event->charactersIgnoringModifiers.size() != 1) return;
  int code = KeyCode(event);
  if (code < 0 || !mGraphics->OnKeyDown(mPrevX, mPrevY, code)) NSResponder::keyDown(event);
}

void IGraphicsCocoa::killTimer() {
  if (mTimer) mTimer->invalidate();
  mTimer = nullptr;
}

// The host takes the view away: detach from the manager first so that its
// CloseWindow does not come back here.
void IGraphicsCocoa::removeFromSuperview() {
  endUserInput();
  if (mGraphics) {
    IGraphics* graphics = mGraphics;
    mGraphics = nullptr;
    graphics->CloseWindow();
  }
  NSView::removeFromSuperview();
}

// ---- Popup menus and text entry ----

IPopupMenu* IGraphicsCocoa::createIPopupMenu(IPopupMenu* menu, NSRect rect) {
  if (!menu) return nullptr;
  std::unique_ptr<IGraphicsMenuRcvr> receiver(new IGraphicsMenuRcvr());
  receiver->initWithFrame(rect);
  std::unique_ptr<IGraphicsNSMenu> native(new IGraphicsNSMenu());
  native->initWithIPopupMenuAndReciever(menu, receiver.get());

  NSPoint p = convertPointToBase(NSMakePoint(rect.origin.x, rect.origin.y - 4));
  NSWindow* w = window();
  double scale = w ? static_cast<float>(w->backingScaleFactor()) : 1.0;
  if (scale <= 0.0) scale = 1.0;
  NSEvent event = NSEvent::MouseEvent(NSApplicationDefined, p.x / scale, p.y / scale, 15, 0);
  event.windowNumber = w ? w->windowNumber() : 0;
  NSMenu::popUpContextMenu(native.get(), &event, receiver.get());

  NSMenuItem* item = receiver->MenuItem();
  if (!item) return nullptr;
  IGraphicsNSMenu* owner = dynamic_cast<IGraphicsNSMenu*>(item->menu());
  IPopupMenu* result = owner ? owner->AssociatedIPopupMenu() : nullptr;
  int index = owner ? owner->indexOfItem(item) : -1;
  if (!result || index < 0) return nullptr;
  result->SetChosenItemIdx(index);
  return result;
}

static NSColor ToNSColor(const IColor& c) {
  return NSColor::colorWithCalibratedRed(c.R / 255.0, c.G / 255.0, c.B / 255.0, c.A / 255.0);
}

void IGraphicsCocoa::createTextEntry(IControl* control, IParam* param, IText* text, const char* str,
                                     NSRect rect) {
  if (!control || mTextFieldView) return;
  mTextFieldView = new NSTextField();
  mTextFieldView->initWithFrame(rect);
  mTextFieldView->setFont(text->mFont, static_cast<int>(text->mSize * 0.9));
  switch (text->mAlign) {
    case IText::AlignLeft:
      mTextFieldView->setAlignment(NSLeftTextAlignment);
      break;
    case IText::AlignRight:
      mTextFieldView->setAlignment(NSRightTextAlignment);
      break;
    default:
      mTextFieldView->setAlignment(NSCenterTextAlignment);
      break;
  }
  if (param) {
    const char* chars = nullptr;
    switch (param->GetKind()) {
      case kParamBool:
      case kParamInt:
      case kParamEnum:
        chars = "0123456789-+";
        break;
      case kParamDouble:
        chars = "0123456789.-+";
        break;
      default:
        break;
    }
    CocoaFormatter* formatter = new CocoaFormatter();
    if (chars)
      formatter->setAcceptableCharacterSet(
          NSCharacterSet::characterSetWithCharactersInString(chars));
    formatter->setMaximumLength(control->GetTextEntryLength());
    mTextFieldView->setFormatter(formatter);
  }
  mTextFieldView->setTruncatesTail(YES);
  mTextFieldView->setTextColor(ToNSColor(text->mTextEntryFGColor));
  mTextFieldView->setBackgroundColor(ToNSColor(text->mTextEntryBGColor));
  mTextFieldView->setStringValue(str);
  mTextFieldView->setBordered(NO);
  mTextFieldView->setFocusRingType(1);
  mTextFieldView->setDelegate(this);
  addSubview(mTextFieldView);
  if (NSWindow* w = window()) {
    w->makeKeyAndOrderFront(nullptr);
    w->makeFirstResponder(mTextFieldView);
  }
  mEdParam = param;
  mEdControl = control;
}

void IGraphicsCocoa::controlTextDidEndEditing(NSTextField* field) {
  if (!field || field != mTextFieldView) return;
  std::string text = field->stringValue();
  if (mGraphics && mEdParam) {
    mGraphics->SetFromStringAfterPrompt(mEdControl, mEdParam, text.c_str());
  } else if (mEdControl) {
    mEdControl->TextFromTextEntry(text.c_str());
  }
  endUserInput();
  setNeedsDisplay(YES);
}

// Closes the entry without delivering its text.
void IGraphicsCocoa::endUserInput() {
  if (!mTextFieldView) return;
  mTextFieldView->setDelegate(nullptr);
  mTextFieldView->removeFromSuperview();
  if (NSWindow* w = window()) w->makeFirstResponder(this);
  delete mTextFieldView;
  mTextFieldView = nullptr;
  mEdControl = nullptr;
  mEdParam = nullptr;
}

const char* IGraphicsCocoa::viewStringForToolTip() {
  IControl* c = mGraphics ? mGraphics->GetControl(mGraphics->GetMouseOver()) : nullptr;
  return c ? c->GetTooltip() : "";
}

void IGraphicsCocoa::registerToolTip(IRECT r) {
  if (mGraphics) addToolTipRect(ToNSRect(mGraphics, r), this);
}
