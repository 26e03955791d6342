#include "IGraphicsX11.h"

#include <X11/Xlib.h>
#include <spawn.h>
#include <strings.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "IPluginBase.h"
#include "Raster_PNG.h"
#include "X11View.h"

extern char** environ;

namespace {

bool IsFile(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string HomeDir() {
  const char* home = std::getenv("HOME");
  return home ? home : "";
}

}  // namespace

std::string FindResourceImage(const std::string& dir, const char* name, const char* scaleFolder) {
  if (!name || dir.empty()) return "";
  const char* dot = std::strrchr(name, '.');
  if (!dot || strcasecmp(dot + 1, "png") != 0) return "";
  const char* slash = std::strrchr(name, '/');
  std::string base = slash ? slash + 1 : name;
  if (scaleFolder && *scaleFolder) base = std::string(scaleFolder) + "/" + base;
  for (const std::string& folder : {dir, dir + "/resources/img"}) {
    if (IsFile(folder + "/" + base)) return folder + "/" + base;
  }
  return "";
}

std::string XResourceString() {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return "";
  const char* resources = XResourceManagerString(display);
  std::string copy = resources ? resources : "";
  XCloseDisplay(display);
  return copy;
}

IGraphicsX11::IGraphicsX11(IPluginBase* plug, int w, int h, int fps) : IGraphics(plug, w, h, fps) {}

// The plug-in base deletes its editor while it is itself being destroyed, so the
// window closes here without calling back into the plug-in.
IGraphicsX11::~IGraphicsX11() {
  CloseView(false);
}

// The draw pass ends here: an open text entry is drawn over the panel, then the
// region goes to the window.
bool IGraphicsX11::DrawScreen(IRECT* r) {
  if (!mView) return false;
  IRECT area = r ? *r : IRECT(0, 0, mWidth, mHeight);
  if (mTextEntry.IsOpen()) {
    DrawTextEntry();
    area = area.Union(mTextEntry.Rect());
  }
  if (mMenu.IsOpen()) {
    DrawMenu();
    area = area.Union(mMenu.Rect());
  }
  mView->Put(ToDevice(area));
  mView->Flush();
  return true;
}

void IGraphicsX11::DrawTextEntry() {
  IRECT saved = mDrawRECT;
  IRECT r = mTextEntry.Rect();
  mDrawRECT = r;
  IText& style = mTextEntry.Style();
  FillIRect(&style.mTextEntryBGColor, &r);
  IText fg = style;
  fg.mColor = style.mTextEntryFGColor;
  fg.mCached = nullptr;
  std::string shown = mTextEntry.Text() + "|";  // the caret at the end
  DrawIText(&fg, shown.c_str(), &r);
  mDrawRECT = saved;
}

// A dark column with a light frame; the current choice in the accent colour.
void IGraphicsX11::DrawMenu() {
  IRECT saved = mDrawRECT;
  IRECT r = mMenu.Rect();
  mDrawRECT = r;
  const IColor back(255, 30, 31, 35), frame(255, 140, 136, 128), ink(255, 216, 212, 204),
      accent(255, 242, 163, 58);
  FillIRect(&back, &r);
  for (int i = 0; i < mMenu.NItems(); ++i) {
    IRECT item = mMenu.ItemRect(i);
    IText text(12, i == mMenu.Checked() ? &accent : &ink, nullptr, IText::StyleNormal,
               IText::AlignLeft);
    IRECT textRect(item.L + 8, item.T + 2, item.R - 4, item.B);
    DrawIText(&text, mMenu.Item(i).c_str(), &textRect);
  }
  IRECT edge(r.L, r.T, r.R - 1, r.B - 1);
  DrawRect(&frame, &edge);
  mDrawRECT = saved;
}

void IGraphicsX11::ShowScaleMenu(int x, int y) {
  if (!mView) return;
  std::vector<std::string> items;
  int checked = -1;
  for (int i = 0; i < kNumScales; ++i) {
    items.push_back(ScaleMenuItem(i));
    if (ScaleAt(i) == GetScale()) checked = i;
  }
  ReleaseMouseCapture();
  mMenu.Open(items, checked, x, y, mWidth, mHeight);
  IRECT r = mMenu.Rect();
  DrawScreen(&r);
}

void IGraphicsX11::CloseMenu() {
  if (!mMenu.IsOpen()) return;
  mMenu.Close();
  SetAllControlsDirty();
}

void IGraphicsX11::MenuClick(int x, int y) {
  int item = mMenu.ItemAt(x, y);
  CloseMenu();
  if (item >= 0) ChooseScale(ScaleAt(item));
}

void IGraphicsX11::SetScale(float scale) {
  float before = GetScale();
  IGraphics::SetScale(scale);
  if (!mView || GetScale() == before) return;
  mView->Resize(DeviceWidth(), DeviceHeight());
  IRECT all(0, 0, mWidth, mHeight);
  Draw(&all);
}

void IGraphicsX11::ForceEndUserEdit() {
  if (!mTextEntry.IsOpen()) return;
  mTextEntry.Close();
  if (mView) mView->ReturnKeyboard();
  SetAllControlsDirty();
}

void IGraphicsX11::Resize(int w, int h) {
  if (w == mWidth && h == mHeight) return;
  IGraphics::Resize(w, h);
  if (mView) mView->Resize(DeviceWidth(), DeviceHeight());
}

// No dialogs of its own: the text goes to the terminal, and no button is chosen.
int IGraphicsX11::ShowMessageBox(const char* text, const char* caption, int) {
  const char* name = GetPlug() ? GetPlug()->GetEffectName() : "";
  std::fprintf(stderr, "%s: %s\n", caption ? caption : name, text ? text : "");
  return 0;
}

// Popup menus need a toolkit; without one the menu counts as dismissed.
IPopupMenu* IGraphicsX11::CreateIPopupMenu(IPopupMenu*, IRECT*) {
  ReleaseMouseCapture();
  return nullptr;
}

void IGraphicsX11::CreateTextEntry(IControl* control, IText* text, IRECT* r, const char* str,
                                   IParam* param) {
  if (!mView || !control || !text || !r || mTextEntry.IsOpen()) return;
  mTextEntry.Open(control, param, *text, str, *r);
  mView->TakeKeyboard();
  DrawScreen(r);
}

void IGraphicsX11::HostPath(StrBuf* path) {
  char exe[4096];
  ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
  if (n <= 0) return;
  exe[n] = '\0';
  path->Set(exe);
}

void IGraphicsX11::PluginPath(StrBuf* path) {
  if (!mResourceDir.empty()) path->Set((mResourceDir + "/").c_str());
}

void IGraphicsX11::DesktopPath(StrBuf* path) {
  path->Set((HomeDir() + "/Desktop").c_str());
}

void IGraphicsX11::AppSupportPath(StrBuf* path, bool isSystem) {
  if (isSystem) {
    path->Set("/usr/share");
    return;
  }
  const char* data = std::getenv("XDG_DATA_HOME");
  path->Set(data && *data ? data : (HomeDir() + "/.local/share").c_str());
}

void IGraphicsX11::SandboxSafeAppSupportPath(StrBuf* path) {
  path->Set((HomeDir() + "/Music").c_str());
}

// No file dialog on this platform: nothing is chosen.
void IGraphicsX11::PromptForFile(StrBuf* file, EFileAction, StrBuf*, char*) {
  file->Set("");
}

// The desktop's handler opens the address in the background: the host waits only
// for a shell that starts it, and the address is an argument, never shell text.
bool IGraphicsX11::OpenURL(const char* url, const char*, const char*, const char*) {
  if (!url || !*url) return true;
  char* argv[] = {const_cast<char*>("sh"),
                  const_cast<char*>("-c"),
                  const_cast<char*>("xdg-open \"$1\" >/dev/null 2>&1 &"),
                  const_cast<char*>("sh"),
                  const_cast<char*>(url),
                  nullptr};
  pid_t pid = 0;
  if (posix_spawn(&pid, "/bin/sh", nullptr, nullptr, argv, environ) != 0) return false;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void* IGraphicsX11::OpenWindow(void* parentView) {
  CloseWindow();
  unsigned long parent = static_cast<unsigned long>(reinterpret_cast<uintptr_t>(parentView));
  mOpenError.clear();
  mView.reset(X11View::Open(this, parent, &mOpenError));
  if (!mView) return nullptr;
  // The whole panel once, so the first exposure has something to show.
  IRECT all(0, 0, mWidth, mHeight);
  Draw(&all);
  return GetWindow();
}

void IGraphicsX11::CloseWindow() {
  CloseView(true);
}

// A drag still in progress ends with the window: the host hears the gesture's end.
void IGraphicsX11::CloseView(bool informPlug) {
  if (!mView) return;
  ShowMouseCursor();
  mTextEntry.Close();
  mMenu.Close();
  if (informPlug) {
    EndMouseGesture();
  } else {
    ReleaseMouseCapture();
  }
  mView.reset();
}

void* IGraphicsX11::GetWindow() {
  return mView ? reinterpret_cast<void*>(static_cast<uintptr_t>(mView->GetXWindow())) : nullptr;
}

bool IGraphicsX11::GetTextFromClipboard(StrBuf* str) {
  str->Set("");
  return false;
}

void IGraphicsX11::HideMouseCursor() {
  if (mCursorHidden || !mView) return;
  int x = 0, y = 0;
  if (!mView->HideCursor(&x, &y)) return;
  mCursorHidden = true;
  mHiddenMousePointX = x;
  mHiddenMousePointY = y;
}

void IGraphicsX11::ShowMouseCursor() {
  if (!mCursorHidden || !mView) return;
  mView->ShowCursor(mHiddenMousePointX, mHiddenMousePointY);
  mCursorHidden = false;
}

Raster_IBitmap* IGraphicsX11::OSLoadBitmap(int, const char* name) {
  std::string path = FindResourceImage(mResourceDir, name);
  return path.empty() ? nullptr : Raster_LoadPNG(path.c_str(), nullptr);
}

Raster_IBitmap* IGraphicsX11::OSLoadScaledBitmap(int, const char* name, const char* folder) {
  std::string path = FindResourceImage(mResourceDir, name, folder);
  return path.empty() ? nullptr : Raster_LoadPNG(path.c_str(), nullptr);
}

bool IGraphicsX11::Idle() {
  if (!mView) return false;
  bool open = mView->HandleEvents();
  // The window went with the host's: a drag in progress can have no release now.
  if (mView->IsDestroyed()) EndMouseGesture();
  IRECT r;
  if (mView && IsDirty(&r)) Draw(&r);
  if (mView) mView->Flush();
  return open;
}
