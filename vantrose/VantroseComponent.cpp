#include "VantroseComponent.h"

#include <cstring>

#include "IPluginAU.h"
#include "Vantrose.h"

namespace {

// Builds the effect in the factory block's storage.  A failed construction leaves
// the storage's first word zero so that Close does not destroy it.
OSStatus Construct(void* storage, AudioComponentInstance) {
  try {
    if (MakePlug(storage) == static_cast<IPluginBase*>(static_cast<IPluginAU*>(storage)))
      return noErr;
  } catch (...) {
  }
  std::memset(storage, 0, sizeof(void*));
  return memFullErr;
}

AudioComponentPlugInInterface* Factory(const AudioComponentDescription* desc) {
  return static_cast<AudioComponentPlugInInterface*>(Vantrose_Factory(desc));
}

}  // namespace

extern "C" ComponentResult Vantrose_Entry(ComponentParameters* params, void* storage) {
  return IPluginAU::IPluginAUEntry(params, storage);
}

extern "C" void* Vantrose_Factory(const AudioComponentDescription*) {
  return IPluginAUFactory::NewBlock(sizeof(Vantrose), Construct);
}

namespace VantroseComponent {

AudioComponentDescription Description() {
  return {kAudioUnitType_Effect, static_cast<OSType>(VantroseIdentity::kUniqueID),
          static_cast<OSType>(VantroseIdentity::kMfrID), 0, 0};
}

AudioComponent RegisterFactory() {
  static AudioComponent sComponent = [] {
    AudioComponentDescription desc = Description();
    return AudioComponentRegister(&desc, "Kelvorin: Vantrose", VantroseIdentity::kVendorVersion,
                                  Factory);
  }();
  return sComponent;
}

AudioComponent RegisterEntry() {
  static AudioComponent sComponent = [] {
    AudioComponentDescription desc = Description();
    return RegisterComponentEntry(&desc, Vantrose_Entry, "Kelvorin: Vantrose",
                                  VantroseIdentity::kVendorVersion);
  }();
  return sComponent;
}

void RegisterBundle(const char* folder) {
  cfstandin::RegisterBundle(VantroseIdentity::kBundleID, folder);
}

}  // namespace VantroseComponent
