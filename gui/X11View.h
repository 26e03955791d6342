#pragma once

#include <string>

#include "IGraphicsStructs.h"

struct _XDisplay;
union _XEvent;
class IGraphicsX11;

// The editor's X11 window, on a display connection of its own so that it needs
// nothing from the host's toolkit.  It puts regions of the draw bitmap on the
// window and turns button, motion, wheel and key events into the manager's
// calls: window pixels divided by the manager's scale give panel units; button 1 is the left button
// (with the Super key held it also counts as a right click), button 3 the right, buttons 4 and 5
// one wheel step up or down; Shift, Control and Alt set the modifiers.  Keys the panel does not
// take go on to the host's window.
class X11View {
 public:
  // A window of the manager's size inside parent, or top-level when parent is
  // 0, on the display named by DISPLAY.  Null, with the reason in *why, when that
  // display can't be opened or parent is not a live window; the X error that tells
  // so stays on this view's connection.
  static X11View* Open(IGraphicsX11* graphics, unsigned long parent, std::string* why = nullptr);
  ~X11View();
  X11View(const X11View&) = delete;
  X11View& operator=(const X11View&) = delete;

  _XDisplay* GetDisplay() const { return mDisplay; }
  unsigned long GetXWindow() const { return mWindow; }

  // Handles every pending event; false once a top-level window was asked to close or
  // the window is gone (an embedded one goes with the host's window).
  bool HandleEvents();
  bool IsDestroyed() const { return mDestroyed; }
  // X errors that requests of this view met and kept from the host's handler (requests
  // to a window that went away before the view heard of it).
  int TrappedErrors() const { return mTrappedErrors; }
  void HandleEvent(_XEvent* e);
  // Puts the rectangle r (device pixels) of the draw bitmap on the window.
  void Put(const IRECT& r);
  void Resize(int w, int h);
  void Flush();
  // Makes the pointer invisible over the window; its screen position in *x, *y.
  bool HideCursor(int* x, int* y);
  // Moves the pointer to the screen position x, y and makes it visible again.
  void ShowCursor(int x, int y);
  // Keys go to this window while a text entry is open, then back where they went.
  void TakeKeyboard();
  void ReturnKeyboard();

  // The editor's modifiers for an event of button (0 for motion) with modifier state.
  static IMouseMod ModFor(int button, unsigned int state);
  // The editor's key code for a key symbol, or -1.
  static int KeyCode(unsigned long keysym);
  // Two presses of button 1 at most this far apart in time and space make a double click.
  static constexpr unsigned long kDoubleClickMs = 400;
  static constexpr int kDoubleClickDistance = 4;

 private:
  X11View(IGraphicsX11* graphics, _XDisplay* display);
  bool Create(unsigned long parent);
  void SetFixedSize(int w, int h);
  void OnButtonPress(int button, int x, int y, unsigned int state, unsigned long time);
  void OnButtonRelease(int button, int x, int y, unsigned int state);
  void OnMotion(int x, int y, unsigned int state);
  void OnKey(_XEvent* e);
  bool Forward(_XEvent* e);
  bool PutDirect(const IRECT& r);
  void PutConverted(const IRECT& r);
  void SetSizeHints(int w, int h);

  IGraphicsX11* mGraphics;
  _XDisplay* mDisplay;
  unsigned long mWindow = 0;
  unsigned long mBlankCursor = 0;
  unsigned long mDeleteAtom = 0;
  unsigned long mSavedFocus = 0;
  int mSavedRevert = 0;
  bool mHasFocus = false;
  void* mGC = nullptr;
  bool mTopLevel = false;
  unsigned long mParent = 0;
  bool mForwarded[256] = {};  // keys whose press went on to the host
  bool mCloseRequested = false;
  bool mDestroyed = false;
  int mTrappedErrors = 0;
  bool mDirectFormat = false;  // the server takes the bitmap's pixels as they are
  int mPrevX = 0, mPrevY = 0;
  unsigned long mLastPressTime = 0;
  int mLastPressX = -1000, mLastPressY = -1000;
  bool mSwallowRelease = false;  // the press went to the menu
  bool mPressPending = false;    // the last press of button 1 may start a double click
};
