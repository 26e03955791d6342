#pragma once

#include <string>
#include <vector>

#include "IControl.h"
#include "IEditor.h"
#include "IGraphicsStructs.h"
#include "PtrList.h"
#include "StrBuf.h"

class IParam;
class IPluginBase;
class IPopupMenu;
class Raster_IBitmap;
class Raster_IFont;
class Raster_MemBitmap;
class Raster_SysBitmap;

// The editor's control manager.  It owns the ordered list of controls (index 0
// is drawn first and hit last), a window-sized draw bitmap and a scratch
// bitmap; it tracks what is dirty, runs the draw passes, routes mouse and key
// events, keeps parameters and controls in step, and offers the drawing
// operations controls use.  Everything that needs a window is left to a
// platform subclass.  Runs on the main thread, except SetParameterFromPlug,
// which only stores values and flags in the controls.
class IGraphics : public IEditor {
 public:
  IGraphics(IPluginBase* plug, int width, int height, int fps = 0);
  ~IGraphics() override;
  IGraphics(const IGraphics&) = delete;
  IGraphics& operator=(const IGraphics&) = delete;

  // ---- Called by the plug-in base through its own view of the editor ----
  void SetParameterFromPlug(int paramIdx, double value, bool normalized) override;
  void PrepDraw() override;

  // ---- Platform operations, in slot order ----
  virtual bool DrawScreen(IRECT* r) = 0;
  virtual bool MeasureIText(IText* text, char* str, IRECT* r);
  virtual void ForceEndUserEdit() = 0;
  virtual void Resize(int w, int h);
  virtual bool WindowIsOpen() { return GetWindow() != nullptr; }
  virtual const char* GetGUIAPI() { return ""; }
  virtual int ShowMessageBox(const char* text, const char* caption, int type) = 0;
  virtual IPopupMenu* CreateIPopupMenu(IPopupMenu* menu, IRECT* r) = 0;
  virtual void CreateTextEntry(IControl* control, IText* text, IRECT* r, const char* str,
                               IParam* param) = 0;
  virtual void HostPath(StrBuf* path) = 0;
  virtual void PluginPath(StrBuf* path) = 0;
  virtual void DesktopPath(StrBuf* path) = 0;
  virtual void AppSupportPath(StrBuf* path, bool isSystem = false) = 0;
  virtual void SandboxSafeAppSupportPath(StrBuf* path) = 0;
  virtual void PromptForFile(StrBuf* file, EFileAction action, StrBuf* dir, char* extensions) = 0;
  virtual bool PromptForColor(IColor* color, char* prompt) = 0;
  virtual bool OpenURL(const char* url, const char* windowTitle = nullptr,
                       const char* confirmMsg = nullptr, const char* errMsg = nullptr) = 0;
  void* OpenWindow(void* parentView) override = 0;
  using IEditor::OpenWindow;
  virtual void AttachSubWindow(void*) {}
  virtual void RemoveSubWindow() {}
  void CloseWindow() override = 0;
  virtual void* GetWindow() = 0;
  virtual bool GetTextFromClipboard(StrBuf* str) = 0;
  virtual void HideMouseCursor() {}
  virtual void ShowMouseCursor() {}
  virtual void UpdateTooltips() {}
  virtual Raster_IBitmap* OSLoadBitmap(int id, const char* name) = 0;
  // The image name drawn for a scale, from the folder of that scale ("1.5x", "2x");
  // null where the platform has none, and the 1x image is resampled instead.
  virtual Raster_IBitmap* OSLoadScaledBitmap(int, const char*, const char*) { return nullptr; }

  // ---- Scale: s device pixels per panel unit ----
  // Layout, control rectangles, dirty rectangles and mouse positions stay in panel
  // units; the draw bitmap, the images and text are at s.  s is one of 1, 1.5 and 2
  // (anything else goes to the nearest); a change reloads the images at the new
  // scale and redraws everything.
  virtual void SetScale(float scale);
  float GetScale() const { return mScale; }
  static float NearestScale(double scale);
  // The scales offered, and their menu items ("Size: 150 %").
  static constexpr int kNumScales = 3;
  static float ScaleAt(int i);
  static const char* ScaleMenuItem(int i);
  // The device pixel edge of a panel coordinate: v * s, halves rounded up.
  int ToDevice(int v) const;
  IRECT ToDevice(const IRECT& r) const;
  // The panel coordinate a device pixel lies in.
  int ToPanel(int v) const;
  int DeviceWidth() const { return ToDevice(mWidth); }
  int DeviceHeight() const { return ToDevice(mHeight); }
  // A right click on the background offers the scales in a menu; the choice goes to
  // ChooseScale.  Off unless the editor turns it on.
  void EnableScaleMenu(bool on) { mScaleMenu = on; }
  virtual void ShowScaleMenu(int x, int y);
  // The user's choice of scale: applies it, then tells the listener (which may
  // save it and ask the host for the new size).
  void ChooseScale(float scale);
  void SetScaleListener(void (*listener)(void* data, float scale), void* data) {
    mScaleListener = listener;
    mScaleListenerData = data;
  }

  // ---- Construction and layout ----
  void AttachBackground(int id, const char* name);
  void AttachPanelBackground(const IColor* color);
  int AttachControl(IControl* control);
  void AttachKeyCatcher(IControl* control);
  IBitmap LoadIBitmap(int id, const char* name, int nStates = 1, bool framesAreHorizontal = false);
  void RetainBitmap(IBitmap* bitmap);
  void ReleaseBitmap(IBitmap* bitmap);
  IBitmap ScaleBitmap(IBitmap* src, int w, int h);
  IBitmap CropBitmap(IBitmap* src, IRECT* r);

  // ---- Parameters and controls ----
  void SetControlFromPlug(int controlIdx, double normalizedValue);
  void SetParameterFromGUI(int paramIdx, double normalizedValue);
  void ClampControl(int paramIdx, double lo, double hi, bool normalized);
  void HideControl(int paramIdx, bool hide);
  void GrayOutControl(int paramIdx, bool gray);
  void SetAllControlsDirty();
  void SetStrictDrawing(bool strict);
  void AssignParamNameToolTips();
  void PromptUserInput(IControl* control, IParam* param, IRECT* r);
  void SetFromStringAfterPrompt(IControl* control, IParam* param, const char* text);

  // ---- Drawing into the draw bitmap ----
  bool IsDirty(IRECT* r);
  bool Draw(IRECT* r);
  bool DrawBitmap(IBitmap* bitmap, IRECT* dest, int srcX, int srcY,
                  const IChannelBlend* blend = nullptr);
  bool DrawBitmap(IBitmap* bitmap, IRECT* dest, int state = 1,
                  const IChannelBlend* blend = nullptr);
  bool DrawRotatedBitmap(IBitmap* bitmap, int destCtrX, int destCtrY, double angle,
                         int yOffsetZeroDeg = 0, const IChannelBlend* blend = nullptr);
  bool DrawRotatedMask(IBitmap* base, IBitmap* mask, IBitmap* top, int x, int y, double angle,
                       const IChannelBlend* blend = nullptr);
  bool DrawPoint(const IColor* color, float x, float y, const IChannelBlend* blend = nullptr,
                 bool antiAlias = false);
  bool ForcePixel(const IColor* color, int x, int y);
  bool DrawLine(const IColor* color, float x1, float y1, float x2, float y2,
                const IChannelBlend* blend = nullptr, bool antiAlias = false);
  bool DrawArc(const IColor* color, float cx, float cy, float r, float minAngle, float maxAngle,
               const IChannelBlend* blend = nullptr, bool antiAlias = false);
  bool DrawCircle(const IColor* color, float cx, float cy, float r,
                  const IChannelBlend* blend = nullptr, bool antiAlias = false);
  bool FillCircle(const IColor* color, int cx, int cy, float r,
                  const IChannelBlend* blend = nullptr, bool antiAlias = false);
  bool RoundRect(const IColor* color, IRECT* r, const IChannelBlend* blend, int cornerRadius,
                 bool antiAlias);
  bool FillRoundRect(const IColor* color, IRECT* r, const IChannelBlend* blend, int cornerRadius,
                     bool antiAlias);
  bool FillIRect(const IColor* color, IRECT* r, const IChannelBlend* blend = nullptr);
  bool FillTriangle(const IColor* color, int x1, int y1, int x2, int y2, int x3, int y3,
                    IChannelBlend* blend = nullptr);
  bool FillIConvexPolygon(const IColor* color, int* x, int* y, int n,
                          const IChannelBlend* blend = nullptr);
  bool DrawRect(const IColor* color, IRECT* r);
  bool DrawVerticalLine(const IColor* color, int x, int y1, int y2);
  bool DrawHorizontalLine(const IColor* color, int y, int x1, int x2);
  bool DrawVerticalLine(const IColor* color, IRECT* r, float x);
  bool DrawHorizontalLine(const IColor* color, IRECT* r, float y);
  bool DrawRadialLine(const IColor* color, float cx, float cy, float angle, float rMin, float rMax,
                      const IChannelBlend* blend = nullptr, bool antiAlias = false);
  // Device pixels of the draw bitmap.
  IColor GetPoint(int x, int y);
  void* GetBits();
  bool DrawIText(IText* text, const char* str, IRECT* r, bool measure = false);
  Raster_IFont* CacheFont(IText* text);

  // ---- Mouse and keyboard, in panel units ----
  int GetMouseControlIdx(int x, int y, bool mouseOver = false);
  void OnMouseDown(int x, int y, IMouseMod* mod);
  void OnMouseUp(int x, int y, IMouseMod* mod);
  void OnMouseDrag(int x, int y, IMouseMod* mod);
  bool OnMouseDblClick(int x, int y, IMouseMod* mod);
  void OnMouseWheel(int x, int y, IMouseMod* mod, int d);
  bool OnMouseOver(int x, int y, IMouseMod* mod);
  void OnMouseOut();
  bool OnKeyDown(int x, int y, int key);
  void OnGUIIdle();
  void ReleaseMouseCapture();
  // Ends the host gesture a press opened, if one is still open, and releases the
  // capture: for a second press during a drag, and for a window that closes or loses
  // its parent mid-drag, so that every begin the host heard gets its end.
  void EndMouseGesture();
  int GetParamIdxForPTAutomation(int x, int y);
  int GetLastClickedParamForPTAutomation();

  // ---- Accessors ----
  int Width() const { return mWidth; }
  int Height() const { return mHeight; }
  int FPS() const { return mFPS; }
  IPluginBase* GetPlug() const { return mPlug; }
  int NControls() const { return mControls.GetSize(); }
  IControl* GetControl(int idx) const { return mControls.Get(idx); }
  IControl* GetKeyCatcher() const { return mKeyCatcher; }
  int GetMouseCapture() const { return mMouseCapture; }
  // The parameter whose host gesture a press opened and no release has ended yet, or -1.
  int GetOpenGesture() const { return mGestureParam; }
  int GetMouseOver() const { return mMouseOver; }
  const IRECT& GetDrawRECT() const { return mDrawRECT; }
  bool GetStrictDrawing() const { return mStrict; }
  void HandleMouseOver(bool on) { mHandleMouseOver = on; }
  void EnableTooltips(bool on) { mEnableTooltips = on; }
  bool TooltipsEnabled() const { return mEnableTooltips; }
  Raster_SysBitmap* GetDrawBitmap() const { return mDrawBitmap; }

 protected:
  IBitmap RegisterRuntimeBitmap(Raster_IBitmap* data, int nStates);
  // The pixels drawn for bitmap at the current scale.
  Raster_IBitmap* DeviceImage(const IBitmap* bitmap);
  void LoadScaledImages();
  float S(float v) const { return v * mScale; }
  void DrawNonStrict();
  void DeleteBitmaps();

  PtrList<IControl> mControls;
  IPluginBase* mPlug;
  IRECT mDrawRECT;
  bool mCursorHidden = false;
  int mHiddenMousePointX = -1, mHiddenMousePointY = -1;
  Raster_SysBitmap* mDrawBitmap = nullptr;
  Raster_MemBitmap* mTmpBitmap = nullptr;
  int mWidth, mHeight, mFPS;
  int mMouseCapture = -1, mMouseOver = -1;
  int mMouseX = 0, mMouseY = 0;
  int mLastClickedParam = -1;
  int mGestureParam = -1;
  bool mHandleMouseOver = false;
  bool mStrict = true;
  bool mEnableTooltips = false;
  IControl* mKeyCatcher = nullptr;

  // Every image loaded by name, and what is drawn for it at the current scale: the
  // image of that scale, or one resampled from the 1x image.  The manager owns them.
  // frames counts the frames stacked top to bottom in the 1x image (1 for a strip
  // with its frames side by side): a scaled image may come with them side by side
  // instead, and is stacked as the 1x strip on loading.
  struct ScaledImage {
    Raster_IBitmap* base;
    int id;
    std::string name;
    int frames;
    Raster_IBitmap* scaled;
  };
  std::vector<ScaledImage> mScaledImages;
  float mScale = 1.0f;
  bool mScaleMenu = false;
  void (*mScaleListener)(void*, float) = nullptr;
  void* mScaleListenerData = nullptr;
};
