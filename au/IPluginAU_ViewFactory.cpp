#include "IPluginAU_ViewFactory.h"

#include "IEditor.h"
#include "IPluginAU.h"

AUViewFactory* AUViewFactory::init() {
  mPlug = nullptr;
  return this;
}

NSView* AUViewFactory::uiViewForAudioUnit(AudioUnit unit, NSSize) {
  IPluginAU* plug = nullptr;
  UInt32 size = sizeof(plug);
  if (AudioUnitGetProperty(unit, kIPlugObjectPropertyID, kAudioUnitScope_Global, 0, &plug, &size) !=
      noErr) {
    return nullptr;
  }
  mPlug = plug;
  if (!plug || !plug->GetGUI()) return nullptr;
  NSView* view = static_cast<NSView*>(plug->GetGUI()->OpenWindow(nullptr));
  plug->OnGUIOpen();
  return view;
}

namespace {

// What the Carbon view component keeps per instance.
struct CarbonViewRecord {
  ComponentInstance instance;
  IPluginAU* plug;
};

}  // namespace

// Create-view arguments in call order: audio unit, window, parent control,
// location, size, then the control out-parameter.
ComponentResult IPluginAUCarbonViewEntry(ComponentParameters* params, void* storage) {
  if (!params) return badComponentSelector;
  CarbonViewRecord* record = static_cast<CarbonViewRecord*>(storage);
  switch (params->what) {
    case kComponentOpenSelect: {
      ComponentInstance ci = FromComponentParam<ComponentInstance>(params, 0);
      SetComponentInstanceStorage(ci, new CarbonViewRecord{ci, nullptr});
      return noErr;
    }
    case kAudioUnitCarbonViewCreateSelect: {
      if (!record) return badComponentInstance;
      AudioUnit unit = FromComponentParam<AudioUnit>(params, 0);
      void* window = FromComponentParam<void*>(params, 1);
      void** outControl = FromComponentParam<void**>(params, 5);
      record->plug = static_cast<IPluginAU*>(GetComponentInstanceStorage(unit));
      IEditor* gui = record->plug ? record->plug->GetGUI() : nullptr;
      if (!gui) return badComponentSelector;
      // Carbon windows do not exist here: the window-and-control form gives null.
      void* control = gui->OpenWindow(window, nullptr, 0, 0);
      if (outControl) *outControl = control;
      return noErr;
    }
    case kComponentCloseSelect:
      if (record && record->plug && record->plug->GetGUI()) record->plug->GetGUI()->CloseWindow();
      delete record;
      return noErr;
    default:
      return badComponentSelector;
  }
}

extern "C" ComponentResult AUViewEntry(ComponentParameters* params, void* storage) {
  return IPluginAUCarbonViewEntry(params, storage);
}
