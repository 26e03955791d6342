#include "X11View.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <atomic>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "IGraphicsX11.h"
#include "IKnobControls.h"
#include "IPluginBase.h"
#include "Raster_SysBitmap.h"

namespace {

GC AsGC(void* gc) {
  return static_cast<GC>(gc);
}

// Bit position and width of a colour mask, for servers whose pixels differ from ours.
void MaskShape(unsigned long mask, int* shift, int* bits) {
  *shift = 0;
  *bits = 0;
  if (!mask) return;
  while (!(mask & 1)) {
    mask >>= 1;
    ++*shift;
  }
  while (mask & 1) {
    mask >>= 1;
    ++*bits;
  }
}

unsigned long Channel(unsigned int value8, unsigned long mask) {
  int shift = 0, bits = 0;
  MaskShape(mask, &shift, &bits);
  unsigned long v = bits >= 8 ? value8 << (bits - 8) : value8 >> (8 - bits);
  return (v << shift) & mask;
}

bool LittleEndianHost() {
  const unsigned int one = 1;
  return *reinterpret_cast<const unsigned char*>(&one) == 1;
}

// True when the server stores 24-bit colour as 32-bit words with red, green and
// blue in the bytes our bitmap uses, so the bitmap can go over unchanged.
bool DirectFormat(Display* d, Visual* visual, int depth) {
  if (visual->red_mask != 0xff0000 || visual->green_mask != 0xff00 || visual->blue_mask != 0xff)
    return false;
  int n = 0;
  XPixmapFormatValues* formats = XListPixmapFormats(d, &n);
  bool ok = false;
  for (int i = 0; i < n; ++i) {
    if (formats[i].depth == depth) ok = formats[i].bits_per_pixel == 32;
  }
  if (formats) XFree(formats);
  return ok;
}

// Requests that may name windows the host has already destroyed (its container
// takes ours with it), or a parent that never was a window, must not end the host
// through Xlib's default handler.  Errors on this connection are counted (into *tally
// too, when given) and dropped; errors on any other connection (the host's own) go to
// the handler that was set before, as they would without the trap.  Traps nest; the
// outermost one puts the host's handler back.
class ErrorTrap {
 public:
  explicit ErrorTrap(Display* d, int* tally = nullptr)
      : mDisplay(d), mTally(tally), mOuter(sActive.load()) {
    mOld = XSetErrorHandler(OnError);
    sActive.store(this);
  }
  ~ErrorTrap() {
    XSync(mDisplay, False);
    sActive.store(mOuter);
    XSetErrorHandler(mOld);
    if (mTally) *mTally += mErrors;
  }
  ErrorTrap(const ErrorTrap&) = delete;
  ErrorTrap& operator=(const ErrorTrap&) = delete;

  // Whether any request on the connection since the trap was set has failed.
  bool Failed() {
    XSync(mDisplay, False);
    return mErrors > 0;
  }

 private:
  static int OnError(Display* d, XErrorEvent* e) {
    ErrorTrap* outermost = nullptr;
    for (ErrorTrap* t = sActive.load(); t; t = t->mOuter) {
      if (t->mDisplay == d) {
        ++t->mErrors;
        return 0;
      }
      outermost = t;
    }
    return outermost && outermost->mOld ? outermost->mOld(d, e) : 0;
  }

  static std::atomic<ErrorTrap*> sActive;
  Display* mDisplay;
  int* mTally;
  ErrorTrap* mOuter;
  XErrorHandler mOld = nullptr;
  int mErrors = 0;
};

std::atomic<ErrorTrap*> ErrorTrap::sActive{nullptr};

}  // namespace

X11View::X11View(IGraphicsX11* graphics, Display* display)
    : mGraphics(graphics), mDisplay(display) {}

X11View* X11View::Open(IGraphicsX11* graphics, unsigned long parent, std::string* why) {
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    if (why) *why = "cannot open the X display";
    return nullptr;
  }
  X11View* view = new X11View(graphics, display);
  bool made = false;
  {
    // A parent that is no live window fails here, on this connection only.
    ErrorTrap trap(display);
    made = view->Create(parent) && !trap.Failed();
  }
  if (!made) {
    if (why) {
      char text[96];
      std::snprintf(text, sizeof text, "window 0x%lx is not a live window", parent);
      *why = parent ? text : "cannot create a window";
    }
    delete view;
    return nullptr;
  }
  return view;
}

bool X11View::Create(unsigned long parent) {
  int screen = DefaultScreen(mDisplay);
  Visual* visual = DefaultVisual(mDisplay, screen);
  int depth = DefaultDepth(mDisplay, screen);
  mTopLevel = parent == 0;
  mParent = parent;
  XSetWindowAttributes attrs;
  attrs.background_pixel = BlackPixel(mDisplay, screen);
  attrs.border_pixel = 0;
  attrs.colormap = DefaultColormap(mDisplay, screen);
  attrs.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                     LeaveWindowMask | KeyPressMask | KeyReleaseMask | StructureNotifyMask;
  Window owner = mTopLevel ? RootWindow(mDisplay, screen) : parent;
  mWindow = XCreateWindow(mDisplay, owner, 0, 0, mGraphics->DeviceWidth(),
                          mGraphics->DeviceHeight(), 0, depth, InputOutput, visual,
                          CWBackPixel | CWBorderPixel | CWColormap | CWEventMask, &attrs);
  if (!mWindow) return false;
  // Titled and classed by the effect's name: "Name", class hint ("name", "Name").
  std::string name = mGraphics->GetPlug() ? mGraphics->GetPlug()->GetEffectName() : "";
  std::string instance = name;
  for (char& c : instance)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  XStoreName(mDisplay, mWindow, name.c_str());
  XClassHint cls = {&instance[0], &name[0]};
  XSetClassHint(mDisplay, mWindow, &cls);
  SetSizeHints(mGraphics->DeviceWidth(), mGraphics->DeviceHeight());
  if (mTopLevel) {
    Atom del = XInternAtom(mDisplay, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(mDisplay, mWindow, &del, 1);
    mDeleteAtom = del;
  }
  mGC = XCreateGC(mDisplay, mWindow, 0, nullptr);
  mDirectFormat = DirectFormat(mDisplay, visual, depth);
  static char noBits[1] = {0};
  Pixmap empty = XCreateBitmapFromData(mDisplay, mWindow, noBits, 1, 1);
  XColor black = {};
  mBlankCursor = XCreatePixmapCursor(mDisplay, empty, empty, &black, &black, 0, 0);
  XFreePixmap(mDisplay, empty);
  XMapWindow(mDisplay, mWindow);
  XFlush(mDisplay);
  return true;
}

// A fixed size, so embedding hosts and window managers keep the panel whole.
void X11View::SetSizeHints(int w, int h) {
  XSizeHints* hints = XAllocSizeHints();
  if (!hints) return;
  hints->flags = PMinSize | PMaxSize | PBaseSize;
  hints->min_width = hints->max_width = hints->base_width = w;
  hints->min_height = hints->max_height = hints->base_height = h;
  XSetWMNormalHints(mDisplay, mWindow, hints);
  XFree(hints);
}

X11View::~X11View() {
  {
    ErrorTrap trap(mDisplay, &mTrappedErrors);
    if (mHasFocus) ReturnKeyboard();
    if (mGC) XFreeGC(mDisplay, AsGC(mGC));
    if (mBlankCursor) XFreeCursor(mDisplay, mBlankCursor);
    if (mWindow && !mDestroyed) XDestroyWindow(mDisplay, mWindow);
  }
  XCloseDisplay(mDisplay);
}

bool X11View::HandleEvents() {
  while (XPending(mDisplay) > 0) {
    XEvent e;
    XNextEvent(mDisplay, &e);
    HandleEvent(&e);
  }
  return !mCloseRequested && !mDestroyed;
}

void X11View::HandleEvent(XEvent* e) {
  if (e->xany.window != mWindow) return;
  switch (e->type) {
    case Expose:
      Put(IRECT(e->xexpose.x, e->xexpose.y, e->xexpose.x + e->xexpose.width,
                e->xexpose.y + e->xexpose.height));
      break;
    case ButtonPress:
      OnButtonPress(e->xbutton.button, e->xbutton.x, e->xbutton.y, e->xbutton.state,
                    e->xbutton.time);
      break;
    case ButtonRelease:
      OnButtonRelease(e->xbutton.button, e->xbutton.x, e->xbutton.y, e->xbutton.state);
      break;
    case MotionNotify:
      // Only the latest position of a burst matters to a drag.
      while (XCheckTypedWindowEvent(mDisplay, mWindow, MotionNotify, e)) {
      }
      OnMotion(e->xmotion.x, e->xmotion.y, e->xmotion.state);
      break;
    case LeaveNotify:
      // The pointer left the panel (not a grab's leave during a drag).
      if (e->xcrossing.mode == NotifyNormal && !(e->xcrossing.state & (Button1Mask | Button3Mask)))
        mGraphics->OnMouseOut();
      break;
    case KeyPress:
      OnKey(e);
      break;
    case KeyRelease:
      if (mForwarded[e->xkey.keycode & 255]) {
        mForwarded[e->xkey.keycode & 255] = false;
        Forward(e);
      }
      break;
    case ClientMessage:
      if (mTopLevel && static_cast<unsigned long>(e->xclient.data.l[0]) == mDeleteAtom)
        mCloseRequested = true;
      break;
    case DestroyNotify:
      mDestroyed = true;
      break;
    default:
      break;
  }
}

// Super-click stands for a right click, as Command-click does on the Mac.
IMouseMod X11View::ModFor(int button, unsigned int state) {
  bool left = button == Button1 || (button == 0 && !(state & Button3Mask));
  bool right = !left || (state & Mod4Mask) != 0;
  return IMouseMod(left, right, (state & ShiftMask) != 0, (state & ControlMask) != 0,
                   (state & Mod1Mask) != 0);
}

void X11View::OnButtonPress(int button, int x, int y, unsigned int state, unsigned long time) {
  x = mGraphics->ToPanel(x);
  y = mGraphics->ToPanel(y);
  X11TextEntry& entry = mGraphics->TextEntry();
  // An open menu takes the press, and the release that ends it.
  if (mGraphics->Menu().IsOpen()) {
    mSwallowRelease = true;
    mGraphics->MenuClick(x, y);
    return;
  }
  mPrevX = x;
  mPrevY = y;
  if (button == Button4 || button == Button5) {
    // Scrolling closes an open text entry without applying it.
    if (entry.IsOpen()) mGraphics->ForceEndUserEdit();
    IMouseMod mod = ModFor(Button1, state);
    mGraphics->OnMouseWheel(x, y, &mod, button == Button4 ? 1 : -1);
    return;
  }
  if (button != Button1 && button != Button3) return;
  // A click beside the entry ends it, as losing the focus does.
  if (entry.IsOpen() && !entry.Rect().Contains(x, y)) {
    entry.Commit(mGraphics);
    ReturnKeyboard();
    mGraphics->SetAllControlsDirty();
  }
  IMouseMod mod = ModFor(button, state);
  if (button == Button3) {
    mGraphics->OnMouseDown(x, y, &mod);
    return;
  }
  bool dbl = mPressPending && time - mLastPressTime <= kDoubleClickMs &&
             std::abs(x - mLastPressX) <= kDoubleClickDistance &&
             std::abs(y - mLastPressY) <= kDoubleClickDistance;
  mPressPending = !dbl;
  mLastPressTime = time;
  mLastPressX = x;
  mLastPressY = y;
  if (dbl) {
    mGraphics->OnMouseDblClick(x, y, &mod);
    return;
  }
  mGraphics->OnMouseDown(x, y, &mod);
  // A knob drag hides the pointer; it comes back where the drag began.
  IControl* captured = mGraphics->GetControl(mGraphics->GetMouseCapture());
  if (dynamic_cast<IKnobControl*>(captured)) mGraphics->HideMouseCursor();
}

void X11View::OnButtonRelease(int button, int x, int y, unsigned int state) {
  if (button != Button1 && button != Button3) return;
  if (mSwallowRelease) {
    mSwallowRelease = false;
    return;
  }
  x = mGraphics->ToPanel(x);
  y = mGraphics->ToPanel(y);
  mPrevX = x;
  mPrevY = y;
  IMouseMod mod = ModFor(button, state);
  mGraphics->OnMouseUp(x, y, &mod);
  if (button == Button1) mGraphics->ShowMouseCursor();
}

void X11View::OnMotion(int x, int y, unsigned int state) {
  x = mGraphics->ToPanel(x);
  y = mGraphics->ToPanel(y);
  mPrevX = x;
  mPrevY = y;
  IMouseMod mod = ModFor(0, state);
  if (state & (Button1Mask | Button3Mask)) {
    if (!mGraphics->TextEntry().IsOpen()) mGraphics->OnMouseDrag(x, y, &mod);
  } else {
    mGraphics->OnMouseOver(x, y, &mod);
  }
}

int X11View::KeyCode(unsigned long keysym) {
  switch (keysym) {
    case XK_Left:
      return KeyLeft;
    case XK_Right:
      return KeyRight;
    case XK_Down:
      return KeyDown;
    case XK_Up:
      return KeyUp;
    case XK_space:
      return KeySpace;
    default:
      break;
  }
  if (keysym >= XK_0 && keysym <= XK_9) return KeyDigit0 + static_cast<int>(keysym - XK_0);
  if (keysym >= XK_A && keysym <= XK_Z) return KeyA + static_cast<int>(keysym - XK_A);
  if (keysym >= XK_a && keysym <= XK_z) return KeyA + static_cast<int>(keysym - XK_a);
  return -1;
}

// An open text entry takes every key; otherwise keys go to the manager at the
// last pointer position.
void X11View::OnKey(XEvent* e) {
  char typed[16] = {0};
  KeySym sym = NoSymbol;
  int n = XLookupString(&e->xkey, typed, sizeof typed - 1, &sym, nullptr);
  typed[n > 0 ? n : 0] = '\0';
  if (mGraphics->Menu().IsOpen() && sym == XK_Escape) {
    mGraphics->CloseMenu();
    IRECT all(0, 0, mGraphics->Width(), mGraphics->Height());
    mGraphics->Draw(&all);
    return;
  }
  X11TextEntry& entry = mGraphics->TextEntry();
  if (entry.IsOpen()) {
    X11TextEntry::EResult result = entry.OnKey(sym, typed);
    if (result == X11TextEntry::kCommit) entry.Commit(mGraphics);
    if (result == X11TextEntry::kCancel) entry.Close();
    if (result != X11TextEntry::kKeep) {
      ReturnKeyboard();
      mGraphics->SetAllControlsDirty();
    }
    IRECT r = entry.Rect();
    mGraphics->DrawScreen(&r);
    return;
  }
  int code = KeyCode(sym);
  if (code < 0 || !mGraphics->OnKeyDown(mPrevX, mPrevY, code)) {
    mForwarded[e->xkey.keycode & 255] = Forward(e);
  }
}

// A key the panel does not take goes on to the host's window, press and release, so
// that the host's shortcuts still work with the pointer over the panel.
bool X11View::Forward(XEvent* e) {
  if (mTopLevel || mDestroyed) return false;
  XEvent f = *e;
  f.xkey.window = mParent;
  f.xkey.subwindow = 0;
  ErrorTrap trap(mDisplay, &mTrappedErrors);
  XSendEvent(mDisplay, mParent, True, e->type == KeyPress ? KeyPressMask : KeyReleaseMask, &f);
  return true;
}

void X11View::Put(const IRECT& area) {
  IRECT r = area.Intersect(IRECT(0, 0, mGraphics->DeviceWidth(), mGraphics->DeviceHeight()));
  if (mDestroyed || r.W() <= 0 || r.H() <= 0 || !mGraphics->GetDrawBitmap()) return;
  ErrorTrap trap(mDisplay, &mTrappedErrors);
  if (!mDirectFormat || !PutDirect(r)) PutConverted(r);
}

// The draw bitmap's own memory, described to Xlib as an image in host byte order.
bool X11View::PutDirect(const IRECT& r) {
  Raster_SysBitmap* bmp = mGraphics->GetDrawBitmap();
  int screen = DefaultScreen(mDisplay);
  XImage* image =
      XCreateImage(mDisplay, DefaultVisual(mDisplay, screen), DefaultDepth(mDisplay, screen),
                   ZPixmap, 0, reinterpret_cast<char*>(bmp->getBits()), bmp->getWidth(),
                   bmp->getHeight(), 32, bmp->getRowSpan() * 4);
  if (!image) return false;
  image->byte_order = LittleEndianHost() ? LSBFirst : MSBFirst;
  XPutImage(mDisplay, mWindow, AsGC(mGC), image, r.L, r.T, r.L, r.T, r.W(), r.H());
  image->data = nullptr;  // the bitmap's memory stays the bitmap's
  XDestroyImage(image);
  return true;
}

// Any other visual: the region converted pixel by pixel.
void X11View::PutConverted(const IRECT& r) {
  Raster_SysBitmap* bmp = mGraphics->GetDrawBitmap();
  int screen = DefaultScreen(mDisplay);
  Visual* visual = DefaultVisual(mDisplay, screen);
  XImage* image = XCreateImage(mDisplay, visual, DefaultDepth(mDisplay, screen), ZPixmap, 0,
                               nullptr, r.W(), r.H(), 32, 0);
  if (!image) return;
  image->data = static_cast<char*>(std::calloc(static_cast<size_t>(image->bytes_per_line), r.H()));
  if (!image->data) {
    XDestroyImage(image);
    return;
  }
  for (int y = 0; y < r.H(); ++y) {
    const unsigned int* row = bmp->getBits() + static_cast<size_t>(r.T + y) * bmp->getRowSpan();
    for (int x = 0; x < r.W(); ++x) {
      unsigned int p = row[r.L + x];
      XPutPixel(image, x, y,
                Channel((p >> 16) & 255, visual->red_mask) |
                    Channel((p >> 8) & 255, visual->green_mask) |
                    Channel(p & 255, visual->blue_mask));
    }
  }
  XPutImage(mDisplay, mWindow, AsGC(mGC), image, 0, 0, r.L, r.T, r.W(), r.H());
  XDestroyImage(image);  // frees the converted pixels too
}

void X11View::Resize(int w, int h) {
  if (mDestroyed) return;
  ErrorTrap trap(mDisplay, &mTrappedErrors);
  SetSizeHints(w, h);
  XResizeWindow(mDisplay, mWindow, w, h);
}

void X11View::Flush() {
  XFlush(mDisplay);
}

bool X11View::HideCursor(int* x, int* y) {
  Window root = 0, child = 0;
  int wx = 0, wy = 0;
  unsigned int mask = 0;
  if (mDestroyed) return false;
  ErrorTrap trap(mDisplay, &mTrappedErrors);
  if (!XQueryPointer(mDisplay, mWindow, &root, &child, x, y, &wx, &wy, &mask)) return false;
  XDefineCursor(mDisplay, mWindow, mBlankCursor);
  XFlush(mDisplay);
  return true;
}

void X11View::ShowCursor(int x, int y) {
  if (mDestroyed) return;
  ErrorTrap trap(mDisplay, &mTrappedErrors);
  XWarpPointer(mDisplay, None, RootWindow(mDisplay, DefaultScreen(mDisplay)), 0, 0, 0, 0, x, y);
  XUndefineCursor(mDisplay, mWindow);
  XFlush(mDisplay);
}

void X11View::TakeKeyboard() {
  if (mHasFocus || mDestroyed) return;
  ErrorTrap trap(mDisplay, &mTrappedErrors);
  Window focus = 0;
  XGetInputFocus(mDisplay, &focus, &mSavedRevert);
  mSavedFocus = focus;
  XSetInputFocus(mDisplay, mWindow, RevertToParent, CurrentTime);
  mHasFocus = true;
}

void X11View::ReturnKeyboard() {
  if (!mHasFocus) return;
  mHasFocus = false;
  ErrorTrap trap(mDisplay, &mTrappedErrors);
  if (mSavedFocus != 0 && mSavedFocus != mWindow)
    XSetInputFocus(mDisplay, mSavedFocus, mSavedRevert, CurrentTime);
}
