#include "AppKit.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

NSRect NSUnionRect(const NSRect& a, const NSRect& b) {
  if (NSIsEmptyRect(a)) return b;
  if (NSIsEmptyRect(b)) return a;
  double l = std::min(a.origin.x, b.origin.x), t = std::min(a.origin.y, b.origin.y);
  double r = std::max(a.origin.x + a.size.width, b.origin.x + b.size.width);
  double u = std::max(a.origin.y + a.size.height, b.origin.y + b.size.height);
  return NSMakeRect(l, t, r - l, u - t);
}

// ---- Events ----

static NSPoint sMouseLocation;

NSEvent NSEvent::MouseEvent(NSEventType type, double x, double y, unsigned long flags,
                            int clickCount) {
  NSEvent e;
  e.type = type;
  e.locationInWindow = NSMakePoint(x, y);
  e.modifierFlags = flags;
  e.clickCount = clickCount;
  return e;
}

NSEvent NSEvent::ScrollEvent(double x, double y, double deltaY, unsigned long flags) {
  NSEvent e = MouseEvent(NSScrollWheel, x, y, flags, 0);
  e.deltaY = deltaY;
  return e;
}

NSEvent NSEvent::KeyEvent(unsigned short keyCode, const char* characters) {
  NSEvent e;
  e.type = NSKeyDown;
  e.keyCode = keyCode;
  e.charactersIgnoringModifiers = characters ? characters : "";
  return e;
}

NSPoint NSEvent::mouseLocation() {
  return sMouseLocation;
}

void NSEvent::setMouseLocation(NSPoint p) {
  sMouseLocation = p;
}

// ---- Responders and views ----

std::vector<unsigned short>& NSResponder::unhandledKeys() {
  static std::vector<unsigned short> keys;
  return keys;
}

void NSResponder::keyDown(NSEvent* event) {
  if (mNextResponder) {
    mNextResponder->keyDown(event);
  } else if (event) {
    unhandledKeys().push_back(event->keyCode);
  }
}

BOOL NSResponder::tryToPerform(const char*, NSMenuItem*) {
  return NO;
}

NSView::~NSView() {
  if (mSuperview) {
    auto& siblings = mSuperview->mSubviews;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  }
  for (NSView* child : mSubviews)
    child->mSuperview = nullptr;
}

NSView* NSView::initWithFrame(NSRect frame) {
  mFrame = frame;
  return this;
}

void NSView::setFrameSize(NSSize size) {
  mFrame.size = size;
}

void NSView::addSubview(NSView* view) {
  if (!view || view == this) return;
  if (view->mSuperview) view->removeFromSuperview();
  mSubviews.push_back(view);
  view->mSuperview = this;
  view->setNextResponder(this);
  if (window()) view->viewDidMoveToWindow();
}

void NSView::removeFromSuperview() {
  if (!mSuperview) return;
  NSWindow* w = window();
  if (w && w->firstResponder() == this) w->makeFirstResponder(nullptr);
  auto& siblings = mSuperview->mSubviews;
  siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  mSuperview = nullptr;
  setNextResponder(nullptr);
}

NSWindow* NSView::window() const {
  const NSView* v = this;
  while (v->mSuperview)
    v = v->mSuperview;
  return v->mWindow;
}

NSPoint NSView::convertPointFromView(NSPoint p, NSView* view) const {
  NSPoint base = view ? view->convertPointToBase(p) : p;
  for (const NSView* v = this; v; v = v->mSuperview) {
    base.x -= v->mFrame.origin.x;
    base.y -= v->mFrame.origin.y;
  }
  return base;
}

NSPoint NSView::convertPointToBase(NSPoint p) const {
  for (const NSView* v = this; v; v = v->mSuperview) {
    p.x += v->mFrame.origin.x;
    p.y += v->mFrame.origin.y;
  }
  return p;
}

void NSView::setNeedsDisplay(BOOL flag) {
  if (flag) {
    setNeedsDisplayInRect(bounds());
  } else {
    mNeedsDisplay = false;
    mInvalid = NSRect();
  }
}

void NSView::setNeedsDisplayInRect(NSRect r) {
  mInvalid = mNeedsDisplay ? NSUnionRect(mInvalid, r) : r;
  mNeedsDisplay = true;
}

void NSView::displayIfNeeded() {
  if (!mNeedsDisplay) return;
  NSRect r = mInvalid;
  mNeedsDisplay = false;
  mInvalid = NSRect();
  NSWindow* w = window();
  NSGraphicsContext* previous = NSGraphicsContext::currentContext();
  NSGraphicsContext context(w ? w->screen() : nullptr, NO);
  NSGraphicsContext::setCurrentContext(w ? &context : nullptr);
  drawRect(r);
  NSGraphicsContext::setCurrentContext(previous);
}

void NSView::addToolTipRect(NSRect r, NSView* owner) {
  mToolTips.push_back(NSTrackingToolTip{r, owner});
}

static NSGraphicsContext* sCurrentContext = nullptr;

NSGraphicsContext* NSGraphicsContext::currentContext() {
  return sCurrentContext;
}

void NSGraphicsContext::setCurrentContext(NSGraphicsContext* context) {
  sCurrentContext = context;
}

NSGraphicsContext* NSGraphicsContext::graphicsContextWithGraphicsPort(CGContextRef port,
                                                                      BOOL flipped) {
  static NSGraphicsContext sWrapped;
  sWrapped = NSGraphicsContext(port, flipped);
  return port ? &sWrapped : nullptr;
}

// ---- Windows ----

static int sNextWindowNumber = 1;

NSWindow::NSWindow() : mContentView(new NSView()), mNumber(sNextWindowNumber++) {
  mContentView->mWindow = this;
  mContentView->setNextResponder(this);
}

NSWindow::~NSWindow() {
  for (NSView* v : std::vector<NSView*>(mContentView->subviews()))
    v->removeFromSuperview();
}

NSWindow* NSWindow::initWithWindowRef(void*) {
  return this;
}

NSWindow* NSWindow::initWithContentRect(NSRect rect, unsigned long, int, BOOL) {
  mFrame = rect;
  mContentView->initWithFrame(NSMakeRect(0, 0, rect.size.width, rect.size.height));
  mScreen.width = static_cast<int>(rect.size.width);
  mScreen.height = static_cast<int>(rect.size.height);
  mScreen.pixels.assign(static_cast<size_t>(mScreen.width) * mScreen.height, 0);
  return this;
}

void NSWindow::setBackingScaleFactor(double scale) {
  mScale = scale > 0.0 ? scale : 1.0;
  mScreen.scale = mScale;
  mScreen.width = static_cast<int>(std::floor(mFrame.size.width * mScale + 0.5));
  mScreen.height = static_cast<int>(std::floor(mFrame.size.height * mScale + 0.5));
  mScreen.pixels.assign(static_cast<size_t>(mScreen.width) * mScreen.height, 0);
}

BOOL NSWindow::makeFirstResponder(NSResponder* responder) {
  if (responder && !responder->acceptsFirstResponder()) return NO;
  mFirstResponder = responder;
  return YES;
}

void NSWindow::removeChildWindow(NSWindow* child) {
  mChildren.erase(std::remove(mChildren.begin(), mChildren.end(), child), mChildren.end());
}

// ---- Timers ----

const char* const NSRunLoopCommonModes = "kCFRunLoopCommonModes";

NSTimer* NSTimer::scheduledTimerWithTimeInterval(double interval,
                                                 std::function<void(NSTimer*)> fire, bool repeats) {
  NSTimer* t = new NSTimer();
  t->mInterval = interval > 0.0001 ? interval : 0.0001;
  t->mRepeats = repeats;
  t->mFire = std::move(fire);
  return t;
}

void NSTimer::invalidate() {
  mValid = false;
  mFire = nullptr;
}

NSRunLoop* NSRunLoop::currentRunLoop() {
  static NSRunLoop sLoop;
  return &sLoop;
}

void NSRunLoop::addTimer(NSTimer* timer, const char*) {
  if (!timer) return;
  timer->mNext = mNow + timer->mInterval;
  mTimers.emplace_back(timer);
}

int NSRunLoop::nTimers() const {
  int n = 0;
  for (const auto& t : mTimers)
    n += t->mValid ? 1 : 0;
  return n;
}

void NSRunLoop::runForSeconds(double seconds) {
  double end = mNow + seconds;
  for (;;) {
    NSTimer* due = nullptr;
    for (auto& t : mTimers) {
      if (t->mValid && t->mNext <= end + 1e-9 && (!due || t->mNext < due->mNext)) due = t.get();
    }
    if (!due) break;
    mNow = due->mNext;
    due->mNext += due->mInterval;
    if (!due->mRepeats) due->mValid = false;
    if (due->mFire) {
      std::function<void(NSTimer*)> fire = due->mFire;
      fire(due);
    }
  }
  mNow = end;
  mTimers.erase(std::remove_if(mTimers.begin(), mTimers.end(),
                               [](const std::unique_ptr<NSTimer>& t) { return !t->mValid; }),
                mTimers.end());
}

// ---- Menus ----

NSMenuItem::NSMenuItem(const char* title, const char* action)
    : mTitle(title ? title : ""), mAction(action ? action : "") {}

NSMenuItem* NSMenuItem::separatorItem() {
  NSMenuItem* item = new NSMenuItem("", "");
  item->mSeparator = true;
  return item;
}

void NSMenuItem::setSubmenu(NSMenu* menu) {
  mSubmenu.reset(menu);
}

NSMenu::NSMenu(const char* title) : mTitle(title ? title : "") {}

NSMenu::~NSMenu() {
  for (NSMenuItem* item : mItems)
    delete item;
}

NSMenuItem* NSMenu::addItemWithTitle(const char* title, const char* action, const char*) {
  NSMenuItem* item = new NSMenuItem(title, action);
  addItem(item);
  return item;
}

void NSMenu::addItem(NSMenuItem* item) {
  if (!item) return;
  item->mMenu = this;
  mItems.push_back(item);
}

NSMenuItem* NSMenu::itemAtIndex(int i) const {
  return i >= 0 && i < numberOfItems() ? mItems[i] : nullptr;
}

int NSMenu::indexOfItem(const NSMenuItem* item) const {
  for (int i = 0; i < numberOfItems(); ++i) {
    if (mItems[i] == item) return i;
  }
  return -1;
}

static std::vector<int> sMenuScript;

void NSMenu::scriptNextChoice(std::vector<int> path) {
  sMenuScript = std::move(path);
}

NSEvent& NSMenu::lastPopUpEvent() {
  static NSEvent sEvent;
  return sEvent;
}

// Follows the scripted path through submenus; a disabled item, a separator or
// a path that leads nowhere dismisses the menu like a click outside it.
void NSMenu::popUpContextMenu(NSMenu* menu, NSEvent* event, NSView* view) {
  if (event) lastPopUpEvent() = *event;
  std::vector<int> path;
  path.swap(sMenuScript);
  NSMenuItem* item = nullptr;
  for (size_t i = 0; menu && i < path.size(); ++i) {
    item = menu->itemAtIndex(path[i]);
    if (!item) return;
    menu = i + 1 < path.size() ? item->submenu() : nullptr;
    if (i + 1 < path.size() && !menu) return;
  }
  if (!item || item->isSeparatorItem() || !item->isEnabled() || item->submenu()) return;
  if (view && !item->action().empty()) view->tryToPerform(item->action().c_str(), item);
}

// ---- Text entry ----

NSCharacterSet* NSCharacterSet::characterSetWithCharactersInString(const char* chars) {
  NSCharacterSet* set = new NSCharacterSet();
  for (const char* c = chars; c && *c; ++c)
    set->mChars.insert(*c);
  return set;
}

NSColor NSColor::colorWithCalibratedRed(double r, double g, double b, double a) {
  NSColor c;
  c.r = r, c.g = g, c.b = b, c.a = a;
  return c;
}

NSTextField* NSTextField::initWithFrame(NSRect frame) {
  NSView::initWithFrame(frame);
  return this;
}

NSTextField::~NSTextField() {
  delete mFormatter;
}

void NSTextField::setFont(const char* name, double size) {
  mFontName = name ? name : "";
  mFontSize = size;
}

void NSTextField::setFormatter(NSFormatter* formatter) {
  if (formatter == mFormatter) return;
  delete mFormatter;
  mFormatter = formatter;
}

bool NSTextField::typeCharacter(char c) {
  std::string candidate = mText + c;
  std::string edited, error;
  if (mFormatter && !mFormatter->isPartialStringValid(candidate, &edited, &error)) return false;
  mText = candidate;
  return true;
}

int NSTextField::typeText(const char* text) {
  int accepted = 0;
  for (const char* c = text; c && *c; ++c)
    accepted += typeCharacter(*c) ? 1 : 0;
  return accepted;
}

void NSTextField::deleteBackward() {
  if (!mText.empty()) mText.pop_back();
}

void NSTextField::endEditing() {
  if (mDelegate) mDelegate->controlTextDidEndEditing(this);
}

// ---- Pasteboard, bundles, URLs, workspace ----

const char* const NSStringPboardType = "NSStringPboardType";

NSPasteboard* NSPasteboard::generalPasteboard() {
  static NSPasteboard sBoard;
  return &sBoard;
}

const char* NSPasteboard::stringForType(const char*) const {
  return mHas ? mText.c_str() : nullptr;
}

static std::map<std::string, NSBundle>& Bundles() {
  static std::map<std::string, NSBundle> sBundles;
  return sBundles;
}

NSBundle* NSBundle::bundleWithIdentifier(const char* identifier) {
  if (!identifier) return nullptr;
  auto it = Bundles().find(identifier);
  return it == Bundles().end() ? nullptr : &it->second;
}

NSBundle* NSBundle::mainBundle() {
  return bundleWithIdentifier("main");
}

void NSBundle::registerBundle(const char* identifier, const char* folder) {
  if (!identifier || !folder) return;
  NSBundle& b = Bundles()[identifier];
  b.mIdentifier = identifier;
  b.mFolder = folder;
}

void NSBundle::unregisterBundle(const char* identifier) {
  if (identifier) Bundles().erase(identifier);
}

static bool IsFile(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string NSBundle::pathForResource(const char* name, const char* type) const {
  if (!name || !*name) return "";
  std::string file = std::string(name) + (type && *type ? std::string(".") + type : "");
  for (const char* sub : {"/resources/img/", "/resources/", "/"}) {
    std::string path = mFolder + sub + file;
    if (IsFile(path)) return path;
  }
  return "";
}

std::string NSBundle::executablePath() const {
  return mFolder + "/" + mIdentifier;
}

std::unique_ptr<NSURL> NSURL::URLWithString(const char* text) {
  if (!text || !*text) return nullptr;
  for (const char* c = text; *c; ++c) {
    if (static_cast<unsigned char>(*c) <= ' ') return nullptr;
  }
  std::unique_ptr<NSURL> url(new NSURL());
  url->mText = text;
  return url;
}

std::unique_ptr<NSURL> NSURL::fileURLWithPath(const char* path) {
  if (!path || !*path) return nullptr;
  std::unique_ptr<NSURL> url(new NSURL());
  url->mText = std::string("file://") + path;
  return url;
}

NSWorkspace* NSWorkspace::sharedWorkspace() {
  static NSWorkspace sWorkspace;
  return &sWorkspace;
}

BOOL NSWorkspace::openURL(const NSURL* url) {
  if (!url) return NO;
  mOpened.push_back(url->absoluteString());
  if (mHandler) return mHandler(url->absoluteString()) ? YES : NO;
  return YES;
}

// ---- File panels ----

static int sPanelResult = NSCancelButton;
static std::string sPanelPath;

void NSSavePanel::scriptNextResult(int result, const char* path) {
  sPanelResult = result;
  sPanelPath = path ? path : "";
}

int NSSavePanel::runModalForDirectory(const char*, const char*) {
  int result = sPanelResult;
  mResult = result == NSOKButton ? sPanelPath : "";
  sPanelResult = NSCancelButton;
  sPanelPath.clear();
  return result;
}

// ---- Foundation helpers ----

BOOL NSApplicationLoad() {
  return YES;
}

std::string NSHomeDirectory() {
  const char* home = std::getenv("HOME");
  return home && *home ? home : "/tmp";
}

std::vector<std::string> NSSearchPathForDirectoriesInDomains(NSSearchPathDirectory dir,
                                                             NSSearchPathDomainMask domain,
                                                             BOOL expandTilde) {
  std::string root = domain == NSUserDomainMask ? (expandTilde ? NSHomeDirectory() : "~") : "";
  if (dir == NSDesktopDirectory) return {root + "/Desktop"};
  if (dir == NSApplicationSupportDirectory) return {root + "/Library/Application Support"};
  return {};
}

// ---- Core Graphics ----

CGColorSpaceRef CGColorSpaceCreateDeviceRGB() {
  return new CGColorSpace();
}

void CGColorSpaceRelease(CGColorSpaceRef space) {
  delete space;
}

int CMGetSystemProfile(CMProfileRef* profile) {
  if (profile) *profile = nullptr;
  return -1;
}

void CMCloseProfile(CMProfileRef) {}

CGColorSpaceRef CGColorSpaceCreateWithPlatformColorSpace(void* profile) {
  if (!profile) return nullptr;
  CGColorSpace* space = new CGColorSpace();
  space->deviceRGB = false;
  return space;
}

CGImageRef CGImageCreate(int width, int height, int bitsPerComponent, int bitsPerPixel,
                         int bytesPerRow, CGColorSpaceRef space, unsigned int bitmapInfo,
                         const void* data, size_t dataSize) {
  if (!data || !space || width <= 0 || height <= 0 || bitsPerComponent != 8 || bitsPerPixel != 32 ||
      bytesPerRow < width * 4 || dataSize < static_cast<size_t>(bytesPerRow) * height) {
    return nullptr;
  }
  CGImage* image = new CGImage();
  image->data = static_cast<const unsigned char*>(data);
  image->width = width;
  image->height = height;
  image->bytesPerRow = bytesPerRow;
  image->bitmapInfo = bitmapInfo;
  return image;
}

void CGImageRelease(CGImageRef image) {
  delete image;
}

// Little-endian 32-bit pixels with the first (alpha) byte skipped: the screen
// takes red, green and blue only.
void CGContextDrawImage(CGContextRef context, NSRect rect, CGImageRef image) {
  if (!context || !image) return;
  context->imagesDrawn++;
  int x0 = static_cast<int>(rect.origin.x * context->scale);
  int y0 = static_cast<int>(rect.origin.y * context->scale);
  for (int y = 0; y < image->height; ++y) {
    int sy = y0 + y;
    if (sy < 0 || sy >= context->height) continue;
    const unsigned int* row = reinterpret_cast<const unsigned int*>(
        image->data + static_cast<size_t>(y) * image->bytesPerRow);
    for (int x = 0; x < image->width; ++x) {
      int sx = x0 + x;
      if (sx < 0 || sx >= context->width) continue;
      context->pixels[static_cast<size_t>(sy) * context->width + sx] = row[x] & 0x00FFFFFFu;
    }
  }
}

static bool sCursorHidden = false;

int CGMainDisplayHeight() {
  return 1080;
}

bool CGDisplayHideCursor() {
  sCursorHidden = true;
  return true;
}

bool CGDisplayShowCursor() {
  sCursorHidden = false;
  return true;
}

bool CGDisplayMoveCursorToPoint(double x, double y) {
  NSEvent::setMouseLocation(NSMakePoint(x, CGMainDisplayHeight() - y));
  return true;
}

int GestaltSystemVersion() {
  return 0x1070;
}

static int sAlertResponse = 0;

int CFUserNotificationDisplayAlert(const char*, const char*, const char*, const char*,
                                   const char*) {
  int r = sAlertResponse;
  sAlertResponse = 0;
  return r;
}

void ScriptNextAlertResponse(int response) {
  sAlertResponse = response;
}
