#pragma once

// How a host gets the editor's view: the Cocoa view factory named by the
// plug-in's Cocoa UI property, and the older Carbon view component entry.

#include "AppKit.h"
#include "AudioUnit.h"
#include "Components.h"
#include "ProductNames.h"

class IPluginAU;

// The host's protocol for a Cocoa view factory.
class AUCocoaUIBase {
 public:
  virtual ~AUCocoaUIBase() = default;
  virtual unsigned interfaceVersion() = 0;
  // The view for the unit, or null; the host places it in its own window.
  virtual NSView* uiViewForAudioUnit(AudioUnit unit, NSSize preferredSize) = 0;
};

// The factory class, registered under the name "<product>_View" (PLUG_NAME's word).
#define AUViewFactory PLUG_JOIN(PLUG_NAME, _View)
#define AUViewEntry PLUG_JOIN(PLUG_NAME, _ViewEntry)

class AUViewFactory : public AUCocoaUIBase {
 public:
  AUViewFactory* init();
  unsigned interfaceVersion() override { return 0; }
  // Fetches the plug-in through its private object property and opens its
  // editor's window; the requested size is ignored.
  NSView* uiViewForAudioUnit(AudioUnit unit, NSSize preferredSize) override;
  const char* description() const { return PLUG_STR(PLUG_NAME) " View"; }
  IPluginAU* plug() const { return mPlug; }

 private:
  IPluginAU* mPlug = nullptr;
};

// Carbon view selector that creates the view.
enum : SInt16 { kAudioUnitCarbonViewCreateSelect = 769 };

// The Carbon view component: open, create view, close.
ComponentResult IPluginAUCarbonViewEntry(ComponentParameters* params, void* storage);
// The product's exported Carbon view entry, "<product>_ViewEntry".
extern "C" ComponentResult AUViewEntry(ComponentParameters* params, void* storage);
