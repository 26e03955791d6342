#pragma once

// A small stand-in for the AppKit, Foundation and Core Graphics pieces the
// editor's view glue uses, under their own names.  Views have frames,
// subviews and a window with a first responder; timers live on a run loop
// that the caller advances explicitly; menus return a choice scripted by the
// caller; text fields run their formatter on every keystroke and tell their
// delegate when editing ends.  Everything runs on one thread.

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

typedef signed char BOOL;
#define YES ((BOOL)1)
#define NO ((BOOL)0)

struct NSPoint {
  double x = 0.0, y = 0.0;
};
struct NSSize {
  double width = 0.0, height = 0.0;
};
struct NSRect {
  NSPoint origin;
  NSSize size;
};
inline NSPoint NSMakePoint(double x, double y) {
  NSPoint p;
  p.x = x;
  p.y = y;
  return p;
}
inline NSRect NSMakeRect(double x, double y, double w, double h) {
  NSRect r;
  r.origin = NSMakePoint(x, y);
  r.size.width = w;
  r.size.height = h;
  return r;
}
NSRect NSUnionRect(const NSRect& a, const NSRect& b);
inline bool NSIsEmptyRect(const NSRect& r) {
  return r.size.width <= 0.0 || r.size.height <= 0.0;
}

// Modifier flag bits of an event.
enum : unsigned long {
  NSShiftKeyMask = 0x20000,
  NSControlKeyMask = 0x40000,
  NSAlternateKeyMask = 0x80000,
  NSCommandKeyMask = 0x100000
};

enum NSEventType {
  NSLeftMouseDown = 1,
  NSLeftMouseUp = 2,
  NSRightMouseDown = 3,
  NSRightMouseUp = 4,
  NSMouseMoved = 5,
  NSLeftMouseDragged = 6,
  NSRightMouseDragged = 7,
  NSKeyDown = 10,
  NSApplicationDefined = 15,
  NSScrollWheel = 22
};

class NSEvent {
 public:
  NSEventType type = NSLeftMouseDown;
  NSPoint locationInWindow;
  int clickCount = 1;
  unsigned long modifierFlags = 0;
  double deltaY = 0.0;
  unsigned short keyCode = 0;
  std::string charactersIgnoringModifiers;
  int windowNumber = 0;

  static NSEvent MouseEvent(NSEventType type, double x, double y, unsigned long flags = 0,
                            int clickCount = 1);
  static NSEvent ScrollEvent(double x, double y, double deltaY, unsigned long flags = 0);
  static NSEvent KeyEvent(unsigned short keyCode, const char* characters);
  // The pointer's screen position, origin bottom-left.
  static NSPoint mouseLocation();
  static void setMouseLocation(NSPoint p);
};

class NSWindow;
class NSView;
class NSMenuItem;
class NSTextField;

// Anything that takes events; an event not handled goes up the responder chain.
class NSResponder {
 public:
  virtual ~NSResponder() = default;
  NSResponder* nextResponder() const { return mNextResponder; }
  void setNextResponder(NSResponder* r) { mNextResponder = r; }
  virtual BOOL acceptsFirstResponder() { return NO; }
  virtual void keyDown(NSEvent* event);
  // Target-action dispatch: handles the named action and returns YES, or NO.
  virtual BOOL tryToPerform(const char* action, NSMenuItem* sender);
  // Keys that reached the end of the chain, in order: what the host would get.
  static std::vector<unsigned short>& unhandledKeys();

 private:
  NSResponder* mNextResponder = nullptr;
};

struct NSTrackingToolTip {
  NSRect rect;
  NSView* owner;
};

class NSView : public NSResponder {
 public:
  NSView() = default;
  ~NSView() override;
  virtual NSView* initWithFrame(NSRect frame);

  NSRect frame() const { return mFrame; }
  NSRect bounds() const { return NSMakeRect(0, 0, mFrame.size.width, mFrame.size.height); }
  void setFrameSize(NSSize size);
  NSView* superview() const { return mSuperview; }
  const std::vector<NSView*>& subviews() const { return mSubviews; }
  // The view does not own its subviews; the code that made them does.
  void addSubview(NSView* view);
  virtual void removeFromSuperview();
  NSWindow* window() const;
  virtual void viewDidMoveToWindow() {}
  virtual BOOL isOpaque() { return NO; }
  virtual BOOL acceptsFirstMouse(NSEvent*) { return NO; }

  // From window coordinates (view nil) into this view's coordinates.
  NSPoint convertPointFromView(NSPoint p, NSView* view) const;
  NSPoint convertPointToBase(NSPoint p) const;

  void setNeedsDisplay(BOOL flag);
  void setNeedsDisplayInRect(NSRect r);
  BOOL needsDisplay() const { return mNeedsDisplay; }
  NSRect invalidRect() const { return mInvalid; }
  // Draws the invalid region through drawRect: inside the window's graphics context.
  void displayIfNeeded();
  virtual void drawRect(NSRect) {}

  virtual void mouseDown(NSEvent*) {}
  virtual void mouseUp(NSEvent*) {}
  virtual void mouseDragged(NSEvent*) {}
  virtual void rightMouseDown(NSEvent*) {}
  virtual void rightMouseUp(NSEvent*) {}
  virtual void rightMouseDragged(NSEvent*) {}
  virtual void mouseMoved(NSEvent*) {}
  virtual void scrollWheel(NSEvent*) {}

  void addToolTipRect(NSRect r, NSView* owner);
  void removeAllToolTips() { mToolTips.clear(); }
  const std::vector<NSTrackingToolTip>& toolTips() const { return mToolTips; }

 protected:
  NSWindow* mWindow = nullptr;  // set on the content view of a window

 private:
  friend class NSWindow;
  NSRect mFrame;
  NSView* mSuperview = nullptr;
  std::vector<NSView*> mSubviews;
  bool mNeedsDisplay = false;
  NSRect mInvalid;
  std::vector<NSTrackingToolTip> mToolTips;
};

// A 32-bit screen that images are drawn onto; pixels 0x00RRGGBB, origin top-left.
// It has scale device pixels per point: drawing rectangles are points.
struct CGContext {
  int width = 0, height = 0;
  double scale = 1.0;
  std::vector<unsigned int> pixels;
  int imagesDrawn = 0;
};
typedef CGContext* CGContextRef;

class NSGraphicsContext {
 public:
  static NSGraphicsContext* currentContext();
  static void setCurrentContext(NSGraphicsContext* context);
  static NSGraphicsContext* graphicsContextWithGraphicsPort(CGContextRef port, BOOL flipped);
  CGContextRef graphicsPort() const { return mPort; }
  BOOL isFlipped() const { return mFlipped; }

  explicit NSGraphicsContext(CGContextRef port = nullptr, BOOL flipped = NO)
      : mPort(port), mFlipped(flipped) {}

 private:
  CGContextRef mPort;
  BOOL mFlipped;
};

class NSWindow : public NSResponder {
 public:
  NSWindow();
  ~NSWindow() override;
  NSWindow* initWithWindowRef(void* windowRef);
  NSWindow* initWithContentRect(NSRect rect, unsigned long style, int backing, BOOL defer);

  NSView* contentView() const { return mContentView.get(); }
  NSResponder* firstResponder() const { return mFirstResponder; }
  BOOL makeFirstResponder(NSResponder* responder);
  void makeKeyAndOrderFront(void*) { mKey = true; }
  bool isKeyWindow() const { return mKey; }
  void setAcceptsMouseMovedEvents(BOOL on) { mAcceptsMouseMoved = on; }
  BOOL acceptsMouseMovedEvents() const { return mAcceptsMouseMoved; }
  virtual BOOL canBecomeKeyWindow() { return YES; }
  double backingScaleFactor() const { return mScale; }
  // The screen gets scale pixels per point of the window's content.
  void setBackingScaleFactor(double scale);
  int windowNumber() const { return mNumber; }
  NSRect frame() const { return mFrame; }
  void addChildWindow(NSWindow* child) { mChildren.push_back(child); }
  void removeChildWindow(NSWindow* child);
  const std::vector<NSWindow*>& childWindows() const { return mChildren; }
  void orderOut(void*) { mVisible = false; }
  void orderFront(void*) { mVisible = true; }
  void close() { mVisible = false; }
  void display() {}
  // The screen of this window and the graphics context drawing goes into.
  CGContext* screen() { return &mScreen; }

 private:
  std::unique_ptr<NSView> mContentView;
  NSResponder* mFirstResponder = nullptr;
  NSRect mFrame;
  bool mKey = false, mVisible = false;
  BOOL mAcceptsMouseMoved = NO;
  double mScale = 1.0;
  int mNumber;
  std::vector<NSWindow*> mChildren;
  CGContext mScreen;
};

// Repeating timers fire when the run loop is advanced past their time.
class NSTimer {
 public:
  static NSTimer* scheduledTimerWithTimeInterval(double interval,
                                                 std::function<void(NSTimer*)> fire, bool repeats);
  void invalidate();
  bool isValid() const { return mValid; }
  double timeInterval() const { return mInterval; }

 private:
  friend class NSRunLoop;
  double mInterval = 0.0, mNext = 0.0;
  bool mValid = true, mRepeats = true;
  std::function<void(NSTimer*)> mFire;
};

class NSRunLoop {
 public:
  static NSRunLoop* currentRunLoop();
  // Takes ownership of the timer; invalidated timers are freed as the loop runs.
  void addTimer(NSTimer* timer, const char* mode);
  // Advances the loop's clock, firing every timer that falls due, in time order.
  void runForSeconds(double seconds);
  double now() const { return mNow; }
  int nTimers() const;

 private:
  double mNow = 0.0;
  std::vector<std::unique_ptr<NSTimer>> mTimers;
};
extern const char* const NSRunLoopCommonModes;

class NSMenu;

class NSMenuItem {
 public:
  NSMenuItem(const char* title, const char* action);
  static NSMenuItem* separatorItem();
  const std::string& title() const { return mTitle; }
  const std::string& action() const { return mAction; }
  bool isSeparatorItem() const { return mSeparator; }
  void setSubmenu(NSMenu* menu);
  NSMenu* submenu() const { return mSubmenu.get(); }
  NSMenu* menu() const { return mMenu; }
  void setIndentationLevel(int level) { mIndent = level; }
  int indentationLevel() const { return mIndent; }
  void setState(int state) { mState = state; }
  int state() const { return mState; }
  void setEnabled(BOOL on) { mEnabled = on; }
  BOOL isEnabled() const { return mEnabled; }

 private:
  friend class NSMenu;
  std::string mTitle, mAction;
  bool mSeparator = false;
  std::unique_ptr<NSMenu> mSubmenu;
  NSMenu* mMenu = nullptr;
  int mIndent = 0, mState = 0;
  BOOL mEnabled = YES;
};
enum { NSOffState = 0, NSOnState = 1 };

class NSMenu {
 public:
  explicit NSMenu(const char* title = "");
  virtual ~NSMenu();
  void setAutoenablesItems(BOOL on) { mAutoenables = on; }
  NSMenuItem* addItemWithTitle(const char* title, const char* action, const char* keyEquivalent);
  void addItem(NSMenuItem* item);
  int numberOfItems() const { return static_cast<int>(mItems.size()); }
  NSMenuItem* itemAtIndex(int i) const;
  int indexOfItem(const NSMenuItem* item) const;

  // Shows the menu; the scripted choice (a path of item indices into nested
  // menus) is sent to view as the item's action.  An empty script dismisses it.
  static void popUpContextMenu(NSMenu* menu, NSEvent* event, NSView* view);
  static void scriptNextChoice(std::vector<int> path);
  static NSEvent& lastPopUpEvent();

 private:
  std::string mTitle;
  BOOL mAutoenables = YES;
  std::vector<NSMenuItem*> mItems;  // owned
};

class NSCharacterSet {
 public:
  static NSCharacterSet* characterSetWithCharactersInString(const char* chars);
  bool characterIsMember(char c) const { return mChars.count(c) != 0; }

 private:
  std::set<char> mChars;
};

// Decides whether a partly typed string may stand.
class NSFormatter {
 public:
  virtual ~NSFormatter() = default;
  virtual BOOL isPartialStringValid(const std::string& partial, std::string* newEditing,
                                    std::string* error) = 0;
};

enum NSTextAlignment {
  NSLeftTextAlignment = 0,
  NSRightTextAlignment = 1,
  NSCenterTextAlignment = 2
};

struct NSColor {
  double r = 0, g = 0, b = 0, a = 1;
  static NSColor colorWithCalibratedRed(double r, double g, double b, double a);
};

// Sent to a text field's delegate when editing ends (Return or losing focus).
class NSTextFieldDelegate {
 public:
  virtual ~NSTextFieldDelegate() = default;
  virtual void controlTextDidEndEditing(NSTextField* field) = 0;
};

class NSTextField : public NSView {
 public:
  NSTextField* initWithFrame(NSRect frame) override;
  ~NSTextField() override;
  void setFont(const char* name, double size);
  const std::string& fontName() const { return mFontName; }
  double fontSize() const { return mFontSize; }
  void setAlignment(NSTextAlignment a) { mAlignment = a; }
  NSTextAlignment alignment() const { return mAlignment; }
  void setFormatter(NSFormatter* formatter);  // takes ownership
  NSFormatter* formatter() const { return mFormatter; }
  void setStringValue(const char* text) { mText = text ? text : ""; }
  const std::string& stringValue() const { return mText; }
  void setTextColor(NSColor c) { mTextColor = c; }
  void setBackgroundColor(NSColor c) { mBackColor = c; }
  NSColor textColor() const { return mTextColor; }
  NSColor backgroundColor() const { return mBackColor; }
  void setDelegate(NSTextFieldDelegate* d) { mDelegate = d; }
  NSTextFieldDelegate* delegate() const { return mDelegate; }
  void setBordered(BOOL) {}
  void setFocusRingType(int) {}
  void setTruncatesTail(BOOL) {}
  BOOL acceptsFirstResponder() override { return YES; }

  // One keystroke: accepted when the formatter allows the resulting text.
  bool typeCharacter(char c);
  // Returns the number of characters the field accepted.
  int typeText(const char* text);
  void deleteBackward();
  // Return pressed: editing ends and the delegate is told.
  void endEditing();

 private:
  std::string mText, mFontName;
  double mFontSize = 0.0;
  NSTextAlignment mAlignment = NSLeftTextAlignment;
  NSFormatter* mFormatter = nullptr;
  NSColor mTextColor, mBackColor;
  NSTextFieldDelegate* mDelegate = nullptr;
};

class NSPasteboard {
 public:
  static NSPasteboard* generalPasteboard();
  void setString(const char* text) { mHas = text != nullptr, mText = text ? text : ""; }
  void clearContents() { mHas = false, mText.clear(); }
  // Null when no plain string is on the pasteboard.
  const char* stringForType(const char* type) const;

 private:
  bool mHas = false;
  std::string mText;
};
extern const char* const NSStringPboardType;

// Bundles are found by identifier; each identifier maps to a folder whose
// resources are searched in resources/img/, then resources/, then the folder.
class NSBundle {
 public:
  static NSBundle* bundleWithIdentifier(const char* identifier);
  static NSBundle* mainBundle();
  static void registerBundle(const char* identifier, const char* folder);
  static void unregisterBundle(const char* identifier);
  std::string pathForResource(const char* name, const char* type) const;
  std::string bundlePath() const { return mFolder; }
  std::string executablePath() const;
  const std::string& bundleIdentifier() const { return mIdentifier; }

 private:
  std::string mIdentifier, mFolder;
};

class NSURL {
 public:
  // Null for text that is not a well-formed URL (empty, or with spaces or controls).
  static std::unique_ptr<NSURL> URLWithString(const char* text);
  static std::unique_ptr<NSURL> fileURLWithPath(const char* path);
  const std::string& absoluteString() const { return mText; }

 private:
  std::string mText;
};

// Records every URL it is asked to open and, when a handler is set, passes it on.
class NSWorkspace {
 public:
  static NSWorkspace* sharedWorkspace();
  BOOL openURL(const NSURL* url);
  std::vector<std::string>& openedURLs() { return mOpened; }
  void setHandler(std::function<bool(const std::string&)> handler) { mHandler = handler; }

 private:
  std::vector<std::string> mOpened;
  std::function<bool(const std::string&)> mHandler;
};

// File panels return a scripted result: OK with a path, or cancelled.
class NSSavePanel {
 public:
  virtual ~NSSavePanel() = default;
  void setAllowedFileTypes(std::vector<std::string> types) { mTypes = std::move(types); }
  void setAllowsOtherFileTypes(BOOL on) { mOthers = on; }
  int runModalForDirectory(const char* dir, const char* file);
  const std::string& filename() const { return mResult; }
  static void scriptNextResult(int result, const char* path);

 protected:
  std::vector<std::string> mTypes;
  BOOL mOthers = YES;
  std::string mResult;
};
class NSOpenPanel : public NSSavePanel {
 public:
  void setCanChooseFiles(BOOL) {}
  void setCanChooseDirectories(BOOL) {}
  void setResolvesAliases(BOOL) {}
};
enum { NSOKButton = 1, NSCancelButton = 0 };

// Foundation helpers.
// Scope of autoreleased objects; nothing to drain here.
class NSAutoreleasePool {
 public:
  NSAutoreleasePool() {}
  ~NSAutoreleasePool() {}
};
BOOL NSApplicationLoad();
std::string NSHomeDirectory();
enum NSSearchPathDirectory { NSDesktopDirectory = 12, NSApplicationSupportDirectory = 14 };
enum NSSearchPathDomainMask { NSUserDomainMask = 1, NSLocalDomainMask = 2, NSSystemDomainMask = 8 };
std::vector<std::string> NSSearchPathForDirectoriesInDomains(NSSearchPathDirectory dir,
                                                             NSSearchPathDomainMask domain,
                                                             BOOL expandTilde);

// Core Graphics images over caller memory, and the display.
struct CGColorSpace {
  bool deviceRGB = true;
};
typedef CGColorSpace* CGColorSpaceRef;
CGColorSpaceRef CGColorSpaceCreateDeviceRGB();
// The display's colour profile; this stand-in has none and reports an error.
typedef struct OpaqueCMProfile* CMProfileRef;
int CMGetSystemProfile(CMProfileRef* profile);
void CMCloseProfile(CMProfileRef profile);
// Null for a null profile.
CGColorSpaceRef CGColorSpaceCreateWithPlatformColorSpace(void* profile);
void CGColorSpaceRelease(CGColorSpaceRef space);

struct CGImage {
  const unsigned char* data = nullptr;
  int width = 0, height = 0, bytesPerRow = 0;
  unsigned int bitmapInfo = 0;
};
typedef CGImage* CGImageRef;
// Null unless the memory covers height rows of bytesPerRow and 32-bit pixels.
CGImageRef CGImageCreate(int width, int height, int bitsPerComponent, int bitsPerPixel,
                         int bytesPerRow, CGColorSpaceRef space, unsigned int bitmapInfo,
                         const void* data, size_t dataSize);
void CGImageRelease(CGImageRef image);
// Copies the image onto the context's screen at (x, y, w, h), top-left origin.
void CGContextDrawImage(CGContextRef context, NSRect rect, CGImageRef image);
enum : unsigned int { kCGBitmapByteOrder32Little = 0x2000, kCGImageAlphaNoneSkipFirst = 6 };

// The display: cursor visibility and size.
int CGMainDisplayHeight();
bool CGDisplayHideCursor();
bool CGDisplayShowCursor();
bool CGDisplayMoveCursorToPoint(double x, double y);

// The system version as packed decimal digits (0x1070 for 10.7.0).
int GestaltSystemVersion();

// A modal alert; returns the scripted button (0 default, 1 alternate, 2 other).
int CFUserNotificationDisplayAlert(const char* header, const char* message,
                                   const char* defaultButton, const char* alternateButton,
                                   const char* otherButton);
void ScriptNextAlertResponse(int response);
