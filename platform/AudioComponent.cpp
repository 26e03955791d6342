// The component registry and the routing of host calls to an instance: a
// factory-route instance is called through the method its Lookup returns, an
// entry-route instance through its selector entry with the call packed in order.
#include <mutex>
#include <new>
#include <string>
#include <vector>

#include "AudioUnit.h"

struct OpaqueAudioComponent {
  AudioComponentDescription mDesc;
  std::string mName;
  UInt32 mVersion;
  AudioComponentFactoryFunction mFactory;  // factory route, or
  ComponentRoutine mEntry;                 // the older selector route
};

struct ComponentInstanceRecord {
  OpaqueAudioComponent* mComponent;
  AudioComponentPlugInInterface* mPlugIn;  // factory route
  void* mStorage;                          // entry route: the instance storage
};

namespace {

struct Registry {
  std::mutex mMutex;
  std::vector<OpaqueAudioComponent*> mComponents;
};

// Registered components live for the whole process, as the system's do.
Registry& Components() {
  static Registry* sRegistry = new Registry;
  return *sRegistry;
}

AudioComponent Register(const AudioComponentDescription* desc, const char* name, UInt32 version,
                        AudioComponentFactoryFunction factory, ComponentRoutine entry) {
  if (!desc || (!factory && !entry)) return nullptr;
  Registry& r = Components();
  std::lock_guard<std::mutex> lock(r.mMutex);
  OpaqueAudioComponent* c =
      new OpaqueAudioComponent{*desc, name ? name : "", version, factory, entry};
  r.mComponents.push_back(c);
  return c;
}

bool Matches(const AudioComponentDescription& have, const AudioComponentDescription& want) {
  return (!want.componentType || want.componentType == have.componentType) &&
         (!want.componentSubType || want.componentSubType == have.componentSubType) &&
         (!want.componentManufacturer || want.componentManufacturer == have.componentManufacturer);
}

template <class... Args>
ComponentResult CallEntry(AudioComponentInstance instance, SInt16 selector, Args... args) {
  ComponentParameters params = {};
  params.what = selector;
  long slots[] = {0L, ToComponentParam(args)...};
  static_assert(sizeof...(Args) <= 8, "at most eight arguments");
  for (size_t i = 0; i < sizeof...(Args); ++i)
    params.params[i] = slots[i + 1];
  params.paramSize = static_cast<UInt8>(sizeof(long) * sizeof...(Args));
  return instance->mComponent->mEntry(&params, instance->mStorage);
}

// One host call: through the looked-up method, or packed for the selector entry.
template <class Proc, class... Args>
OSStatus Call(AudioUnit unit, SInt16 selector, Args... args) {
  if (!unit) return kAudio_ParamError;
  if (unit->mPlugIn) {
    AudioComponentMethod method = unit->mPlugIn->Lookup(selector);
    if (!method) return badComponentSelector;
    return reinterpret_cast<Proc>(method)(unit->mPlugIn, args...);
  }
  return CallEntry(unit, selector, args...);
}

}  // namespace

AudioComponent AudioComponentRegister(const AudioComponentDescription* desc, const char* name,
                                      UInt32 version, AudioComponentFactoryFunction factory) {
  return Register(desc, name, version, factory, nullptr);
}

AudioComponent RegisterComponentEntry(const ComponentDescription* desc, ComponentRoutine entry,
                                      const char* name, UInt32 version) {
  return Register(desc, name, version, nullptr, entry);
}

AudioComponent AudioComponentFindNext(AudioComponent inComponent,
                                      const AudioComponentDescription* desc) {
  Registry& r = Components();
  std::lock_guard<std::mutex> lock(r.mMutex);
  bool passed = inComponent == nullptr;
  for (OpaqueAudioComponent* c : r.mComponents) {
    if (passed && (!desc || Matches(c->mDesc, *desc))) return c;
    if (c == inComponent) passed = true;
  }
  return nullptr;
}

OSStatus AudioComponentGetDescription(AudioComponent component, AudioComponentDescription* out) {
  if (!component || !out) return kAudio_ParamError;
  *out = component->mDesc;
  return noErr;
}

OSStatus AudioComponentInstanceNew(AudioComponent component, AudioComponentInstance* out) {
  if (!component || !out) return kAudio_ParamError;
  *out = nullptr;
  ComponentInstanceRecord* instance =
      new (std::nothrow) ComponentInstanceRecord{component, nullptr, nullptr};
  if (!instance) return memFullErr;
  OSStatus status;
  if (component->mFactory) {
    instance->mPlugIn = component->mFactory(&component->mDesc);
    status = instance->mPlugIn ? instance->mPlugIn->Open(instance->mPlugIn, instance) : memFullErr;
    if (status != noErr && instance->mPlugIn) instance->mPlugIn->Close(instance->mPlugIn);
  } else {
    status = CallEntry(instance, kComponentOpenSelect, instance);
  }
  if (status != noErr) {
    delete instance;
    return status;
  }
  *out = instance;
  return noErr;
}

OSStatus AudioComponentInstanceDispose(AudioComponentInstance instance) {
  if (!instance) return kAudio_ParamError;
  OSStatus status = instance->mPlugIn ? instance->mPlugIn->Close(instance->mPlugIn)
                                      : CallEntry(instance, kComponentCloseSelect, instance);
  delete instance;
  return status;
}

AudioComponent AudioComponentInstanceGetComponent(AudioComponentInstance instance) {
  return instance ? instance->mComponent : nullptr;
}

Boolean AudioComponentInstanceCanDo(AudioComponentInstance instance, SInt16 selector) {
  if (!instance) return false;
  if (instance->mPlugIn) return instance->mPlugIn->Lookup(selector) != nullptr;
  return CallEntry(instance, kComponentCanDoSelect, static_cast<long>(selector)) == 1;
}

void SetComponentInstanceStorage(ComponentInstance instance, void* storage) {
  if (instance) instance->mStorage = storage;
}

void* GetComponentInstanceStorage(ComponentInstance instance) {
  return instance ? instance->mStorage : nullptr;
}

OSErr Gestalt(OSType selector, SInt32* response) {
  if (selector != gestaltSystemVersion || !response) return -5551;  // gestaltUndefSelectorErr
  *response = 0x1090;
  return noErr;
}

// ---- Host calls ----

OSStatus AudioUnitInitialize(AudioUnit unit) {
  return Call<AudioUnitInitializeProc>(unit, kAudioUnitInitializeSelect);
}

OSStatus AudioUnitUninitialize(AudioUnit unit) {
  return Call<AudioUnitUninitializeProc>(unit, kAudioUnitUninitializeSelect);
}

OSStatus AudioUnitGetPropertyInfo(AudioUnit unit, AudioUnitPropertyID prop, AudioUnitScope scope,
                                  AudioUnitElement elem, UInt32* outDataSize,
                                  Boolean* outWritable) {
  return Call<AudioUnitGetPropertyInfoProc>(unit, kAudioUnitGetPropertyInfoSelect, prop, scope,
                                            elem, outDataSize, outWritable);
}

OSStatus AudioUnitGetProperty(AudioUnit unit, AudioUnitPropertyID prop, AudioUnitScope scope,
                              AudioUnitElement elem, void* outData, UInt32* ioDataSize) {
  return Call<AudioUnitGetPropertyProc>(unit, kAudioUnitGetPropertySelect, prop, scope, elem,
                                        outData, ioDataSize);
}

OSStatus AudioUnitSetProperty(AudioUnit unit, AudioUnitPropertyID prop, AudioUnitScope scope,
                              AudioUnitElement elem, const void* inData, UInt32 inDataSize) {
  return Call<AudioUnitSetPropertyProc>(unit, kAudioUnitSetPropertySelect, prop, scope, elem,
                                        inData, inDataSize);
}

OSStatus AudioUnitGetParameter(AudioUnit unit, AudioUnitParameterID param, AudioUnitScope scope,
                               AudioUnitElement elem, AudioUnitParameterValue* outValue) {
  return Call<AudioUnitGetParameterProc>(unit, kAudioUnitGetParameterSelect, param, scope, elem,
                                         outValue);
}

OSStatus AudioUnitSetParameter(AudioUnit unit, AudioUnitParameterID param, AudioUnitScope scope,
                               AudioUnitElement elem, AudioUnitParameterValue value,
                               UInt32 bufferOffsetInFrames) {
  return Call<AudioUnitSetParameterProc>(unit, kAudioUnitSetParameterSelect, param, scope, elem,
                                         value, bufferOffsetInFrames);
}

OSStatus AudioUnitScheduleParameters(AudioUnit unit, const AudioUnitParameterEvent* events,
                                     UInt32 numEvents) {
  return Call<AudioUnitScheduleParametersProc>(unit, kAudioUnitScheduleParametersSelect, events,
                                               numEvents);
}

OSStatus AudioUnitReset(AudioUnit unit, AudioUnitScope scope, AudioUnitElement elem) {
  return Call<AudioUnitResetProc>(unit, kAudioUnitResetSelect, scope, elem);
}

OSStatus AudioUnitRender(AudioUnit unit, AudioUnitRenderActionFlags* ioActionFlags,
                         const AudioTimeStamp* inTimeStamp, UInt32 inOutputBusNumber,
                         UInt32 inNumberFrames, AudioBufferList* ioData) {
  return Call<AudioUnitRenderProc>(unit, kAudioUnitRenderSelect, ioActionFlags, inTimeStamp,
                                   inOutputBusNumber, inNumberFrames, ioData);
}

OSStatus AudioUnitAddPropertyListener(AudioUnit unit, AudioUnitPropertyID prop,
                                      AudioUnitPropertyListenerProc proc, void* userData) {
  return Call<AudioUnitAddPropertyListenerProc>(unit, kAudioUnitAddPropertyListenerSelect, prop,
                                                proc, userData);
}

OSStatus AudioUnitRemovePropertyListenerWithUserData(AudioUnit unit, AudioUnitPropertyID prop,
                                                     AudioUnitPropertyListenerProc proc,
                                                     void* userData) {
  return Call<AudioUnitRemovePropertyListenerWithUserDataProc>(
      unit, kAudioUnitRemovePropertyListenerWithUserDataSelect, prop, proc, userData);
}

OSStatus AudioUnitAddRenderNotify(AudioUnit unit, AURenderCallback proc, void* userData) {
  return Call<AudioUnitAddRenderNotifyProc>(unit, kAudioUnitAddRenderNotifySelect, proc, userData);
}

OSStatus AudioUnitRemoveRenderNotify(AudioUnit unit, AURenderCallback proc, void* userData) {
  return Call<AudioUnitRemoveRenderNotifyProc>(unit, kAudioUnitRemoveRenderNotifySelect, proc,
                                               userData);
}
