// The LV2 UI entry points: the effect's panel in an X11 window, embedded in the host's
// window through ui:parent, or top-level through the show interface.  Every callback
// runs on the host's UI thread.
#include <lv2/atom/atom.h>
#include <lv2/options/options.h>
#include <lv2/parameters/parameters.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "EditorScale.h"
#include "IGraphicsX11.h"
#include "IPluginLV2UI.h"
#include "VantroseCurveStrip.h"
#include "VantroseEditor.h"
#include "VantroseIdentity.h"
#include "VantroseLV2.h"
#include "VantroseLayout.h"
#include "VantroseParams.h"

namespace {

// One open UI: the parameters, the panel on them, and whether the host embeds it.
struct VantroseUI {
  IPluginLV2UI plug{VantroseParams::kNumParams,  VantroseIdentity::kEffectName,
                    VantroseIdentity::kMfrName,  VantroseIdentity::kVendorVersion,
                    VantroseIdentity::kUniqueID, VantroseIdentity::kMfrID};
  IGraphicsX11* graphics = nullptr;  // owned by plug
  void* parent = nullptr;
};

VantroseUI* UI(LV2UI_Handle handle) {
  return static_cast<VantroseUI*>(handle);
}

const void* FindFeature(const LV2_Feature* const* features, const char* uri) {
  if (!features) return nullptr;
  for (; *features; ++features) {
    if ((*features)->URI && std::strcmp((*features)->URI, uri) == 0) return (*features)->data;
  }
  return nullptr;
}

// The host's sample rate from its options (param:sampleRate as an atom:Float), or 0
// when it offers none; the read-outs and the curve then assume a rate of their own.
double HostSampleRate(const LV2_Feature* const* features) {
  const auto* options =
      static_cast<const LV2_Options_Option*>(FindFeature(features, LV2_OPTIONS__options));
  const auto* map = static_cast<const LV2_URID_Map*>(FindFeature(features, LV2_URID__map));
  if (!options || !map || !map->map) return 0.0;
  const LV2_URID rate = map->map(map->handle, LV2_PARAMETERS__sampleRate);
  const LV2_URID atomFloat = map->map(map->handle, LV2_ATOM__Float);
  for (const LV2_Options_Option* o = options; o->key != 0; ++o) {
    if (o->key == rate && o->type == atomFloat && o->size == sizeof(float) && o->value) {
      float v = 0.0f;
      std::memcpy(&v, o->value, sizeof v);
      if (v > 0.0f && v < 1e7f) return v;
    }
  }
  return 0.0;
}

bool KnownPlugin(const char* uri) {
  for (const LV2PluginKind& k : VantroseLV2::kKinds) {
    if (uri && std::strcmp(uri, k.uri) == 0) return true;
  }
  return false;
}

// The host's ui:scaleFactor among its options, or 0.
float HostScale(const LV2_Feature* const* features) {
  const auto* map = static_cast<const LV2_URID_Map*>(FindFeature(features, LV2_URID__map));
  const auto* options =
      static_cast<const LV2_Options_Option*>(FindFeature(features, LV2_OPTIONS__options));
  if (!map || !map->map || !options) return 0.0f;
  LV2_URID key = map->map(map->handle, LV2_UI__scaleFactor);
  LV2_URID floatType = map->map(map->handle, LV2_ATOM__Float);
  for (const LV2_Options_Option* o = options; o->key; ++o) {
    if (o->key == key && o->type == floatType && o->size == sizeof(float) && o->value)
      return *static_cast<const float*>(o->value);
  }
  return 0.0f;
}

std::string ConfigPath() {
  std::string folder = VantroseIdentity::kEffectName;
  for (char& c : folder)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return EditorConfigPath(folder.c_str());
}

// The user's choice, then the host's, then the desktop's; a scale whose artwork the
// bundle lacks falls back to 1.
float ChooseScale(const LV2_Feature* const* features, const char* bundlePath) {
  EScaleSource source = kScaleDefault;
  float scale = ChooseEditorScale(LoadSavedScale(ConfigPath()), HostScale(features),
                                  ScaleFromXResources(XResourceString().c_str()),
                                  ScaleFromGdkScale(std::getenv("GDK_SCALE")), &source);
  const char* folder = scale == 1.5f ? "1.5x" : "2x";
  if (scale != 1.0f &&
      FindResourceImage(bundlePath, VantroseLayout::kBackgroundFile, folder).empty()) {
    std::fprintf(stderr, "Vantrose UI: no %s artwork in %s; drawing at 100 %%\n", folder,
                 bundlePath);
    return 1.0f;
  }
  std::fprintf(stderr, "Vantrose UI: %d %% from %s\n", static_cast<int>(scale * 100.0f + 0.5f),
               ScaleSourceName(source));
  return scale;
}

// A size chosen in the panel's menu is kept for next time, and the host is asked
// for the room.
void OnScaleChosen(void* data, float scale) {
  VantroseUI* ui = static_cast<VantroseUI*>(data);
  std::string path = ConfigPath();
  if (!SaveScale(path, scale))
    std::fprintf(stderr, "Vantrose UI: can't save the size in %s\n", path.c_str());
  ui->plug.ResizeGraphics(ui->graphics->DeviceWidth(), ui->graphics->DeviceHeight());
}

VantroseUI* MakeUI(const char* bundlePath, const LV2UIHost& host) {
  VantroseUI* ui = new (std::nothrow) VantroseUI();
  if (!ui) return nullptr;
  InitVantroseParams(&ui->plug);
  ui->plug.SetUIHost(host);
  // The response curve open or closed as the user last left it.
  ui->graphics = new IGraphicsX11(&ui->plug, VantroseLayout::kWidth,
                                  VantroseCurve::EditorHeight(VantroseCurve::ReadPreference()), 0);
  // The artwork is installed in the bundle, wherever the host found it.
  ui->graphics->SetResourceDir(bundlePath);
  if (FindResourceImage(bundlePath, VantroseLayout::kBackgroundFile).empty())
    std::fprintf(stderr, "Vantrose UI: no artwork (resources/img/*.png) in %s\n", bundlePath);
  AttachVantroseControls(ui->graphics, &ui->plug);
  ui->plug.AttachGraphics(ui->graphics);
  return ui;
}

// Without ui:parent there is no window until the host calls show.
LV2UI_Handle Instantiate(const LV2UI_Descriptor*, const char* pluginURI, const char* bundlePath,
                         LV2UI_Write_Function write, LV2UI_Controller controller,
                         LV2UI_Widget* widget, const LV2_Feature* const* features) {
  if (!KnownPlugin(pluginURI) || !bundlePath || !write) return nullptr;
  LV2UIHost host;
  host.write = write;
  host.controller = controller;
  host.touch = static_cast<const LV2UI_Touch*>(FindFeature(features, LV2_UI__touch));
  host.resize = static_cast<const LV2UI_Resize*>(FindFeature(features, LV2_UI__resize));
  VantroseUI* ui = MakeUI(bundlePath, host);
  if (!ui) return nullptr;
  ui->graphics->SetScale(ChooseScale(features, bundlePath));
  ui->graphics->EnableScaleMenu(true);
  ui->graphics->SetScaleListener(OnScaleChosen, ui);
  ui->plug.SetSampleRate(HostSampleRate(features));
  ui->parent = const_cast<void*>(FindFeature(features, LV2_UI__parent));
  if (widget) *widget = nullptr;
  if (ui->parent) {
    void* window = ui->graphics->OpenWindow(ui->parent);
    if (!window) {
      std::fprintf(stderr, "Vantrose UI: no panel in the host's window: %s\n",
                   ui->graphics->OpenError().c_str());
      delete ui;
      return nullptr;
    }
    if (widget) *widget = window;
  }
  ui->plug.ResizeGraphics(ui->graphics->DeviceWidth(), ui->graphics->DeviceHeight());
  return ui;
}

// The window closes while the UI's parameters still reach the host, so that a drag
// in progress ends with a touch release.
void Cleanup(LV2UI_Handle handle) {
  VantroseUI* ui = UI(handle);
  ui->graphics->CloseWindow();
  delete ui;
}

void PortEvent(LV2UI_Handle handle, uint32_t port, uint32_t size, uint32_t format,
               const void* buffer) {
  UI(handle)->plug.PortEvent(port, size, format, buffer);
}

// Handles the window's events; false, with the window closed, once it is gone for
// good: closed by the user (top-level) or lost with the host's window (embedded).
bool Pump(VantroseUI* ui) {
  if (ui->graphics->Idle()) return true;
  ui->graphics->CloseWindow();
  return false;
}

// Non-zero once a top-level window was closed by the user or the host's window is
// gone, as the interface asks, so that the host can close the UI.
int Idle(LV2UI_Handle handle) {
  VantroseUI* ui = UI(handle);
  if (!ui->graphics->WindowIsOpen()) return ui->parent ? 1 : 0;
  return Pump(ui) ? 0 : 1;
}

// An embedded panel is shown while the host's window lives; it is never made again.
int Show(LV2UI_Handle handle) {
  VantroseUI* ui = UI(handle);
  if (ui->parent) return ui->graphics->WindowIsOpen() && Pump(ui) ? 0 : 1;
  if (ui->graphics->WindowIsOpen()) return 0;
  return ui->graphics->OpenWindow(nullptr) ? 0 : 1;
}

int Hide(LV2UI_Handle handle) {
  VantroseUI* ui = UI(handle);
  if (!ui->parent) ui->graphics->CloseWindow();
  return 0;
}

const LV2UI_Idle_Interface kIdle = {Idle};
const LV2UI_Show_Interface kShow = {Show, Hide};

const void* ExtensionData(const char* uri) {
  if (!uri) return nullptr;
  if (std::strcmp(uri, LV2_UI__idleInterface) == 0) return &kIdle;
  if (std::strcmp(uri, LV2_UI__showInterface) == 0) return &kShow;
  return nullptr;
}

const LV2UI_Descriptor kDescriptor = {VantroseLV2::kProduct.uiURI, Instantiate, Cleanup, PortEvent,
                                      ExtensionData};

}  // namespace

LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) {
  return index == 0 ? &kDescriptor : nullptr;
}
