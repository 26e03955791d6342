#include "IGraphicsMac.h"

#include <strings.h>

#include <cmath>
#include <cstring>
#include <string>

#include "IGraphicsCocoa.h"
#include "IPluginBase.h"
#include "Raster_PNG.h"
#include "Raster_SysBitmap.h"

IGraphicsMac::IGraphicsMac(IPluginBase* plug, int w, int h, int fps) : IGraphics(plug, w, h, fps) {
  NSApplicationLoad();
}

IGraphicsMac::~IGraphicsMac() {
  RemoveSubWindow();
  CloseView(false);
  for (IGraphicsCocoa* v : mClosedViews)
    delete v;
  CGColorSpaceRelease(mColorSpace);
}

// The display's own profile from 10.7 on, else (or without one) device RGB.
CGColorSpace* IGraphicsMac::MakeColorSpace() {
  CGColorSpaceRef space = nullptr;
  if (GetUserOSVersion() >= 0x1070) {
    CMProfileRef profile = nullptr;
    if (CMGetSystemProfile(&profile) == 0) {
      space = CGColorSpaceCreateWithPlatformColorSpace(profile);
      CMCloseProfile(profile);
    }
  }
  return space ? space : CGColorSpaceCreateDeviceRGB();
}

// The whole bitmap goes over every time; the window limits drawing to what
// was invalidated.
bool IGraphicsMac::DrawScreen(IRECT*) {
  if (!mView) return false;
  NSGraphicsContext* current = NSGraphicsContext::currentContext();
  if (!current) return false;
  NSGraphicsContext* wrapped =
      NSGraphicsContext::graphicsContextWithGraphicsPort(current->graphicsPort(), YES);
  CGContextRef context = wrapped ? wrapped->graphicsPort() : nullptr;
  if (!context) return false;
  if (!mColorSpace) mColorSpace = MakeColorSpace();
  if (!mDrawBitmap || !mDrawBitmap->getBits()) return true;
  int span = mDrawBitmap->getRowSpan();
  size_t bytes = static_cast<size_t>(span) * mDrawBitmap->getHeight() * 4;
  CGImageRef image = CGImageCreate(DeviceWidth(), DeviceHeight(), 8, 32, span * 4, mColorSpace,
                                   kCGBitmapByteOrder32Little | kCGImageAlphaNoneSkipFirst,
                                   mDrawBitmap->getBits(), bytes);
  if (!image) return true;
  CGContextDrawImage(context, NSMakeRect(0, 0, mWidth, mHeight), image);
  CGImageRelease(image);
  return true;
}

bool IGraphicsMac::MeasureIText(IText* text, char* str, IRECT* r) {
  NSAutoreleasePool pool;
  return DrawIText(text, str, r, true);
}

void IGraphicsMac::ForceEndUserEdit() {
  if (mView) mView->endUserInput();
}

void IGraphicsMac::Resize(int w, int h) {
  if (w == mWidth && h == mHeight) return;
  IGraphics::Resize(w, h);
  if (mView) {
    NSSize size;
    size.width = w;
    size.height = h;
    mView->setFrameSize(size);
  }
}

// Buttons by type: 4 yes/no, 3 yes/no/cancel, 1 OK/cancel, else OK.  The
// answer maps to 1 (default), 7 (alternate), 2 (other) or 0.
int IGraphicsMac::ShowMessageBox(const char* text, const char* caption, int type) {
  const char* def = nullptr;
  const char* alt = nullptr;
  const char* other = nullptr;
  if (type == 4) def = "Yes", alt = "No";
  if (type == 3) def = "Yes", alt = "No", other = "Cancel";
  if (type == 1) alt = "Cancel";
  switch (CFUserNotificationDisplayAlert(caption, text, def, alt, other)) {
    case 0:
      return 1;
    case 1:
      return 7;
    case 2:
      return 2;
    default:
      return 0;
  }
}

IPopupMenu* IGraphicsMac::CreateIPopupMenu(IPopupMenu* menu, IRECT* r) {
  ReleaseMouseCapture();
  if (!mView || !r) return nullptr;
  return mView->createIPopupMenu(menu, IGraphicsCocoa::ToNSRect(this, *r));
}

void IGraphicsMac::CreateTextEntry(IControl* control, IText* text, IRECT* r, const char* str,
                                   IParam* param) {
  if (!mView || !text || !r) return;
  mView->createTextEntry(control, param, text, str, IGraphicsCocoa::ToNSRect(this, *r));
}

void IGraphicsMac::HostPath(StrBuf* path) {
  NSBundle* bundle = NSBundle::bundleWithIdentifier(mBundleID.Get());
  if (!bundle) return;
  std::string exe = bundle->executablePath();
  if (!exe.empty()) path->Set(exe.c_str());
}

void IGraphicsMac::PluginPath(StrBuf* path) {
  NSBundle* bundle = NSBundle::bundleWithIdentifier(mBundleID.Get());
  if (!bundle) return;
  std::string p = bundle->bundlePath();
  size_t slash = p.find_last_of('/');
  p = (slash == std::string::npos ? std::string() : p.substr(0, slash)) + "/";
  path->Set(p.c_str());
}

void IGraphicsMac::DesktopPath(StrBuf* path) {
  auto dirs = NSSearchPathForDirectoriesInDomains(NSDesktopDirectory, NSUserDomainMask, YES);
  if (!dirs.empty()) path->Set(dirs[0].c_str());
}

void IGraphicsMac::AppSupportPath(StrBuf* path, bool isSystem) {
  auto dirs = NSSearchPathForDirectoriesInDomains(
      NSApplicationSupportDirectory, isSystem ? NSSystemDomainMask : NSUserDomainMask, YES);
  if (!dirs.empty()) path->Set(dirs[0].c_str());
}

void IGraphicsMac::SandboxSafeAppSupportPath(StrBuf* path) {
  path->Set((NSHomeDirectory() + "/Music").c_str());
}

void IGraphicsMac::PromptForFile(StrBuf* file, EFileAction action, StrBuf* dir, char* extensions) {
  if (!mView) {
    file->Set("");
    return;
  }
  std::string defaultName = file->Get();
  if (!*dir->Get()) dir->Set("~/Desktop");
  std::string startDir = dir->Get();
  file->Set("");
  std::vector<std::string> types;
  std::string exts = extensions ? extensions : "";
  for (size_t start = 0; start <= exts.size();) {
    size_t space = exts.find(' ', start);
    if (space == std::string::npos) space = exts.size();
    if (space > start) types.push_back(exts.substr(start, space - start));
    start = space + 1;
  }
  std::unique_ptr<NSSavePanel> panel(action == FileSave ? new NSSavePanel() : new NSOpenPanel());
  panel->setAllowedFileTypes(types);
  if (action == FileSave) panel->setAllowsOtherFileTypes(NO);
  if (panel->runModalForDirectory(startDir.c_str(), defaultName.c_str()) != NSOKButton) return;
  std::string chosen = panel->filename();
  file->Set(chosen.c_str());
  size_t slash = chosen.find_last_of('/');
  std::string folder = slash == std::string::npos ? std::string() : chosen.substr(0, slash);
  dir->Set((folder + "/").c_str());
}

// Text holding "http" is a web address, anything else a local path.  A text
// that cannot be made into a URL counts as opened.
bool IGraphicsMac::OpenURL(const char* url, const char*, const char*, const char*) {
  if (!url) return true;
  std::unique_ptr<NSURL> u =
      std::strstr(url, "http") ? NSURL::URLWithString(url) : NSURL::fileURLWithPath(url);
  if (!u) return true;
  return NSWorkspace::sharedWorkspace()->openURL(u.get()) == YES;
}

void* IGraphicsMac::OpenWindow(void* parentView) {
  return OpenCocoaWindow(parentView);
}

void* IGraphicsMac::OpenCocoaWindow(void* parentView) {
  CloseWindow();
  mView = new IGraphicsCocoa();
  mView->initWithIGraphics(this);
  if (parentView) static_cast<NSView*>(parentView)->addSubview(mView);
  UpdateTooltips();
  return mView;
}

// Hosts that hand over a Carbon window get a borderless child window holding the view.
void IGraphicsMac::AttachSubWindow(void* hostWindowRef) {
  NSAutoreleasePool pool;
  NSWindow* host = new NSWindow();
  host->initWithWindowRef(hostWindowRef);
  NSRect hostFrame = host->frame();
  double offset =
      hostFrame.size.width > mWidth ? std::floor((hostFrame.size.width - mWidth) * 0.5) : 0.0;
  CustomCocoaWindow* child = new CustomCocoaWindow();
  child->initWithContentRect(
      NSMakeRect(hostFrame.origin.x + offset, hostFrame.origin.y, mWidth, mHeight), 0, 2, NO);
  OpenWindow(child->contentView());
  host->addChildWindow(child);
  host->orderFront(nullptr);
  host->display();
  child->orderFront(nullptr);
  mHostWindow = host;
  mSubWindow = child;
}

void IGraphicsMac::RemoveSubWindow() {
  if (!mHostWindow) return;
  NSWindow* child = mHostWindow->childWindows().empty() ? nullptr : mHostWindow->childWindows()[0];
  CloseWindow();
  if (child) {
    child->orderOut(nullptr);
    child->close();
    mHostWindow->removeChildWindow(child);
  }
  mHostWindow->orderOut(nullptr);
  mHostWindow->close();
  delete mSubWindow;
  delete mHostWindow;
  mSubWindow = nullptr;
  mHostWindow = nullptr;
}

// A host closing the view in the middle of a drag still gets the gesture's end.
void IGraphicsMac::CloseWindow() {
  CloseView(true);
}

// The plug-in base deletes its editor while it is itself being destroyed: then the view
// closes without calling back into the plug-in.
void IGraphicsMac::CloseView(bool informPlug) {
  if (!mView) return;
  if (informPlug) {
    EndMouseGesture();
  } else {
    ReleaseMouseCapture();
  }
  IGraphicsCocoa* view = mView;
  mView = nullptr;
  view->removeAllToolTips();
  view->killTimer();
  if (view->graphics()) {
    view->detachGraphics();
    view->removeFromSuperview();
  }
  ReleaseClosedViews();
  mClosedViews.push_back(view);
}

// Frees the views closed before the one closing now, once their host has taken them
// out of its window.  The newest closed view may still be on the call stack: it waits.
void IGraphicsMac::ReleaseClosedViews() {
  size_t kept = 0;
  for (IGraphicsCocoa* v : mClosedViews) {
    if (v->superview()) {
      mClosedViews[kept++] = v;
    } else {
      delete v;
    }
  }
  mClosedViews.resize(kept);
}

void* IGraphicsMac::GetWindow() {
  return mView;
}

bool IGraphicsMac::GetTextFromClipboard(StrBuf* str) {
  const char* text = NSPasteboard::generalPasteboard()->stringForType(NSStringPboardType);
  str->Set(text ? text : "");
  return text != nullptr;
}

void IGraphicsMac::HideMouseCursor() {
  if (mCursorHidden) return;
  if (CGDisplayHideCursor()) {
    mCursorHidden = true;
    NSPoint p = NSEvent::mouseLocation();
    mHiddenMousePointX = static_cast<int>(p.x);
    mHiddenMousePointY = CGMainDisplayHeight() - static_cast<int>(p.y);
  }
}

void IGraphicsMac::ShowMouseCursor() {
  if (!mCursorHidden) return;
  CGDisplayMoveCursorToPoint(mHiddenMousePointX, mHiddenMousePointY);
  if (CGDisplayShowCursor()) mCursorHidden = false;
}

void IGraphicsMac::UpdateTooltips() {
  if (!mView || !mEnableTooltips) return;
  NSAutoreleasePool pool;
  mView->removeAllToolTips();
  for (int i = 0; i < NControls(); ++i) {
    IControl* c = GetControl(i);
    if (!c->IsHidden() && !c->GetTargetRECT().Empty()) mView->registerToolTip(c->GetTargetRECT());
  }
}

Raster_IBitmap* IGraphicsMac::OSLoadBitmap(int, const char* name) {
  return LoadImgFromResourceOSX(mBundleID.Get(), name);
}

Raster_IBitmap* IGraphicsMac::OSLoadScaledBitmap(int, const char* name, const char* folder) {
  return LoadImgFromResourceOSX(mBundleID.Get(), name, folder);
}

int IGraphicsMac::GetUserOSVersion() {
  return GestaltSystemVersion();
}

Raster_IBitmap* LoadImgFromResourceOSX(const char* bundleID, const char* name, const char* folder) {
  if (!name) return nullptr;
  NSAutoreleasePool pool;
  const char* dot = std::strrchr(name, '.');
  if (!dot || strcasecmp(dot + 1, "png") != 0) return nullptr;
  NSBundle* bundle = NSBundle::bundleWithIdentifier(bundleID);
  if (!bundle) return nullptr;
  const char* slash = std::strrchr(name, '/');
  const char* base = slash ? slash + 1 : name;
  std::string resource(base, static_cast<size_t>(dot > base ? dot - base : 0));
  if (folder && *folder) resource = std::string(folder) + "/" + resource;
  std::string path = bundle->pathForResource(resource.c_str(), "png");
  if (path.empty()) return nullptr;
  return Raster_LoadPNG(path.c_str(), nullptr);
}
