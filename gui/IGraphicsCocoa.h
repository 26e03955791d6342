#pragma once

// The native classes of the editor: the view that hosts the draw bitmap and
// turns native events into the manager's calls, the menu classes that show an
// IPopupMenu, and the formatter that filters typed values.

#include <memory>

#include "AppKit.h"
#include "CocoaClassNames.h"
#include "IGraphicsStructs.h"

class IControl;
class IGraphics;
class IParam;
class IPopupMenu;

// A native menu built from an IPopupMenu (and one per submenu).
class IGraphicsNSMenu : public NSMenu {
 public:
  IGraphicsNSMenu* initWithIPopupMenuAndReciever(IPopupMenu* menu, NSView* receiver);
  IPopupMenu* AssociatedIPopupMenu() const { return mIPopupMenu; }

 private:
  IPopupMenu* mIPopupMenu = nullptr;
};

// An invisible view that receives the chosen menu item.
class IGraphicsMenuRcvr : public NSView {
 public:
  BOOL tryToPerform(const char* action, NSMenuItem* sender) override;
  void OnMenuSelection(NSMenuItem* item) { nsMenuItem = item; }
  NSMenuItem* MenuItem() const { return nsMenuItem; }

 private:
  NSMenuItem* nsMenuItem = nullptr;
};

// Refuses keystrokes that would put a character outside the set into the
// text, make it longer than the maximum length, or its value above the maximum.
class CocoaFormatter : public NSFormatter {
 public:
  BOOL isPartialStringValid(const std::string& partial, std::string* newEditing,
                            std::string* error) override;
  void setAcceptableCharacterSet(NSCharacterSet* set) { filterCharacterSet.reset(set); }
  void setMaximumLength(int len) { maxLength = len; }
  void setMaximumValue(int value) { maxValue = value; }

 private:
  std::unique_ptr<NSCharacterSet> filterCharacterSet;
  int maxLength = 0;
  int maxValue = 0;
};

// The editor's native view.  Coordinates: the view's origin is bottom-left
// with y up; the editor's is top-left with y down.
class IGraphicsCocoa : public NSView, public NSTextFieldDelegate {
 public:
  IGraphicsCocoa() = default;
  ~IGraphicsCocoa() override;
  IGraphicsCocoa* initWithIGraphics(IGraphics* graphics);

  BOOL isOpaque() override { return mGraphics ? YES : NO; }
  BOOL acceptsFirstResponder() override { return YES; }
  BOOL acceptsFirstMouse(NSEvent*) override { return YES; }
  void viewDidMoveToWindow() override;
  void drawRect(NSRect rect) override;
  void onTimer(NSTimer* timer);
  void getMouseXY(NSEvent* event, int* x, int* y);

  void mouseDown(NSEvent* event) override;
  void mouseUp(NSEvent* event) override;
  void mouseDragged(NSEvent* event) override;
  void rightMouseDown(NSEvent* event) override;
  void rightMouseUp(NSEvent* event) override;
  void rightMouseDragged(NSEvent* event) override;
  void mouseMoved(NSEvent* event) override;
  void scrollWheel(NSEvent* event) override;
  void keyDown(NSEvent* event) override;

  void killTimer();
  void removeFromSuperview() override;

  void controlTextDidEndEditing(NSTextField* field) override;
  IPopupMenu* createIPopupMenu(IPopupMenu* menu, NSRect rect);
  void createTextEntry(IControl* control, IParam* param, IText* text, const char* str, NSRect rect);
  void endUserInput();

  const char* viewStringForToolTip();
  void registerToolTip(IRECT r);

  IGraphics* graphics() const { return mGraphics; }
  NSTimer* timer() const { return mTimer; }
  NSTextField* textField() const { return mTextFieldView; }
  void detachGraphics() { mGraphics = nullptr; }

  // Editor rectangle to view rectangle, and back.
  static NSRect ToNSRect(const IGraphics* graphics, const IRECT& r);
  static IRECT ToIRECT(const IGraphics* graphics, const NSRect& r);
  // The editor's key code for a key event, or -1.
  static int KeyCode(NSEvent* event);

 private:
  IMouseMod LeftMod(NSEvent* event);
  IMouseMod RightMod(NSEvent* event);

  IGraphics* mGraphics = nullptr;
  NSTimer* mTimer = nullptr;
  int mPrevX = 0, mPrevY = 0;
  NSTextField* mTextFieldView = nullptr;
  IParam* mEdParam = nullptr;
  IControl* mEdControl = nullptr;
};

// A borderless window that can still take the keyboard.
class CustomCocoaWindow : public NSWindow {
 public:
  BOOL canBecomeKeyWindow() override { return YES; }
};
