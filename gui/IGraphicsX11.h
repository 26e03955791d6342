#pragma once

#include <memory>
#include <string>

#include "IGraphics.h"
#include "X11Menu.h"
#include "X11TextEntry.h"

class X11View;

// The manager on the X Window System: it shows the draw bitmap in an X11 window
// (embedded in a host's window or top-level), turns the window's events into the
// manager's mouse and key calls, runs in-place text entry, and loads the
// editor's images from a resource folder.  Everything runs on the thread that
// calls Idle, which is the host's UI thread.
class IGraphicsX11 : public IGraphics {
 public:
  IGraphicsX11(IPluginBase* plug, int w, int h, int fps = 0);
  ~IGraphicsX11() override;

  // The folder that holds the artwork: the PNG files directly in it, or in its
  // resources/img/.  Images are found by base name, as in a bundle.
  void SetResourceDir(const char* dir) { mResourceDir = dir ? dir : ""; }
  const std::string& GetResourceDir() const { return mResourceDir; }

  bool DrawScreen(IRECT* r) override;
  void ForceEndUserEdit() override;
  void Resize(int w, int h) override;
  bool WindowIsOpen() override { return mView != nullptr; }
  const char* GetGUIAPI() override { return "X11 GUI"; }
  int ShowMessageBox(const char* text, const char* caption, int type) override;
  IPopupMenu* CreateIPopupMenu(IPopupMenu* menu, IRECT* r) override;
  void CreateTextEntry(IControl* control, IText* text, IRECT* r, const char* str,
                       IParam* param) override;
  void HostPath(StrBuf* path) override;
  void PluginPath(StrBuf* path) override;
  void DesktopPath(StrBuf* path) override;
  void AppSupportPath(StrBuf* path, bool isSystem = false) override;
  void SandboxSafeAppSupportPath(StrBuf* path) override;
  void PromptForFile(StrBuf* file, EFileAction action, StrBuf* dir, char* extensions) override;
  bool PromptForColor(IColor*, char*) override { return false; }
  bool OpenURL(const char* url, const char* windowTitle = nullptr, const char* confirmMsg = nullptr,
               const char* errMsg = nullptr) override;
  // parentView is the X11 window id of the host's container, or null for a
  // top-level window.  Returns the new window's id, or null when no display opens or
  // parentView is not a live window (OpenError says which).
  void* OpenWindow(void* parentView) override;
  const std::string& OpenError() const { return mOpenError; }
  using IGraphics::OpenWindow;
  void CloseWindow() override;
  void* GetWindow() override;
  bool GetTextFromClipboard(StrBuf* str) override;
  void HideMouseCursor() override;
  void ShowMouseCursor() override;
  Raster_IBitmap* OSLoadBitmap(int id, const char* name) override;
  // From the scale's folder beside the 1x images (resources/img/2x/BG.png).
  Raster_IBitmap* OSLoadScaledBitmap(int id, const char* name, const char* folder) override;
  // The window follows the new scale's size.
  void SetScale(float scale) override;
  // The menu opens over the panel; the click that follows decides.
  void ShowScaleMenu(int x, int y) override;
  // A press (panel units) while the menu is open: chooses the item under it or
  // dismisses the menu.
  void MenuClick(int x, int y);
  void CloseMenu();
  X11Menu& Menu() { return mMenu; }

  // The host's idle call: handles the window's pending events, then redraws the
  // union of the dirty controls.  False once the user closed a top-level window or
  // an embedded one went with the host's window; a drag then ends for the host.
  bool Idle();
  X11View* GetView() const { return mView.get(); }
  X11TextEntry& TextEntry() { return mTextEntry; }

 private:
  void DrawTextEntry();
  void CloseView(bool informPlug);
  void DrawMenu();

  std::unique_ptr<X11View> mView;
  std::string mOpenError;
  std::string mResourceDir;
  X11TextEntry mTextEntry;
  X11Menu mMenu;
};

// The image file for name (its base name, PNG only) in dir or dir/resources/img/, or
// in their subfolder scaleFolder when one is given; empty when there is none.
std::string FindResourceImage(const std::string& dir, const char* name,
                              const char* scaleFolder = nullptr);

// The X resource manager string of the display DISPLAY names (what xrdb loaded),
// or empty when there is none or no display opens.
std::string XResourceString();
