#pragma once

#include <cstddef>
#include <vector>

#include "CocoaClassNames.h"
#include "IGraphics.h"
#include "StrBuf.h"

class IGraphicsCocoa;
class NSWindow;
struct CGColorSpace;

// The manager on the macOS window system: puts the draw bitmap on the screen,
// opens and closes the native view, runs menus and text fields through it,
// and loads the editor's images from the plug-in bundle by base name.
class IGraphicsMac : public IGraphics {
 public:
  IGraphicsMac(IPluginBase* plug, int w, int h, int fps = 0);
  ~IGraphicsMac() override;

  bool DrawScreen(IRECT* r) override;
  bool MeasureIText(IText* text, char* str, IRECT* r) override;
  void ForceEndUserEdit() override;
  void Resize(int w, int h) override;
  bool WindowIsOpen() override { return mView != nullptr; }
  const char* GetGUIAPI() override { return "Cocoa GUI"; }
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
  void* OpenWindow(void* parentView) override;
  using IGraphics::OpenWindow;
  void* OpenCocoaWindow(void* parentView);
  void AttachSubWindow(void* hostWindowRef) override;
  void RemoveSubWindow() override;
  void CloseWindow() override;
  void* GetWindow() override;
  bool GetTextFromClipboard(StrBuf* str) override;
  void HideMouseCursor() override;
  void ShowMouseCursor() override;
  void UpdateTooltips() override;
  Raster_IBitmap* OSLoadBitmap(int id, const char* name) override;
  Raster_IBitmap* OSLoadScaledBitmap(int id, const char* name, const char* folder) override;

  void SetBundleID(const char* id) { mBundleID.Set(id); }
  const char* GetBundleID() const { return mBundleID.Get(); }
  IGraphicsCocoa* GetView() const { return mView; }
  int GetUserOSVersion();
  // Closed views not yet freed: the last one closed, and any a host still shows.
  size_t NClosedViews() const { return mClosedViews.size(); }

 private:
  void CloseView(bool informPlug);
  CGColorSpace* MakeColorSpace();
  void ReleaseClosedViews();

  IGraphicsCocoa* mView = nullptr;
  StrBuf mBundleID;
  CGColorSpace* mColorSpace = nullptr;
  NSWindow* mHostWindow = nullptr;
  // Views this manager made and closed, kept while a closing view may still be on
  // the call stack or in a host's window.
  std::vector<IGraphicsCocoa*> mClosedViews;
  NSWindow* mSubWindow = nullptr;
};

// An image from the bundle's resources, found by the base name of name (in the
// scale's subfolder when folder is given); only PNG files are handled.  Null when
// anything is missing.
Raster_IBitmap* LoadImgFromResourceOSX(const char* bundleID, const char* name,
                                       const char* folder = nullptr);
