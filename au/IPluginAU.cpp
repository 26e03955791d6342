// Construction with buses, initialisation, parameters, listeners and the
// audio-component factory route.
#include "IPluginAU.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <new>

namespace {

IPluginAU::BusChannels* NewBus(int startIdx, int nChannels) {
  IPluginAU::BusChannels* bus = new IPluginAU::BusChannels();
  bus->mNPlugChannels = nChannels;
  bus->mPlugChannelStartIdx = startIdx;
  return bus;
}

}  // namespace

IPluginAU::IPluginAU(IPluginInstanceInfo instanceInfo, int nParams, const char* channelIOStr,
                     int nPresets, const char* effectName, const char* productName,
                     const char* mfrName, int vendorVersion, int uniqueID, int mfrID, int latency,
                     bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst, int plugScChans)
    : IPluginBase(nParams, channelIOStr, nPresets, effectName, productName, mfrName, vendorVersion,
                  uniqueID, mfrID, latency, plugDoesMidi, plugDoesChunks, plugIsInst, kAPIAU) {
  mBundleID.Set(instanceInfo.mBundleID);
  mCocoaViewFactoryClassName.Set(instanceInfo.mCocoaViewFactoryClassName);

  int nIn = NInChannels(), nOut = NOutChannels();
  if (nIn > 0) {
    if (plugScChans > 0 && plugScChans < nIn) {
      mInBuses.Add(NewBus(0, nIn - plugScChans));
      mInBuses.Add(NewBus(nIn - plugScChans, plugScChans));
      SetInputBusLabel(0, "main input");
      SetInputBusLabel(1, "aux input");
    } else {
      // The side-chain label is readable although no second bus exists.
      mInBuses.Add(NewBus(0, nIn));
      SetInputBusLabel(0, "input");
      SetInputBusLabel(1, "aux input");
    }
    for (int i = 0; i < NInBuses(); ++i) {
      mInBusConnections.Add(new InputBusConnection());
      size_t bytes = AudioBufferListSize(static_cast<UInt32>(mInBuses.Get(i)->mNPlugChannels));
      mInBufferLists.Add(static_cast<AudioBufferList*>(std::calloc(1, bytes)));
    }
  }
  if (plugIsInst) {
    for (int i = 0, bus = 1; i < nOut; i += 2, ++bus) {
      mOutBuses.Add(NewBus(i, nOut - i < 2 ? nOut - i : 2));
      char label[32];
      std::snprintf(label, sizeof label, "output %i", bus);
      SetOutputBusLabel(bus - 1, label);
    }
  } else if (nOut > 0) {
    mOutBuses.Add(NewBus(0, nOut));
    SetOutputBusLabel(0, "output");
  }
  // Scratch first, so that the slots the connection check points at are real buffers.
  SetBlockSize(1024);
  AssessInputConnections();
}

IPluginAU::~IPluginAU() {
  mRenderNotify.Empty(true);
  mInBuses.Empty(true);
  mOutBuses.Empty(true);
  mInBusConnections.Empty(true);
  mPropertyListeners.Empty(true);
  for (int i = 0; i < mInBufferLists.GetSize(); ++i)
    std::free(mInBufferLists.Get(i));
  mInBufferLists.Empty();
}

// Clears every connection record and forgets the host's channel counts.
void IPluginAU::ClearConnections() {
  RecursiveMutex::ScopedLock lock(mMutex);
  for (int i = 0; i < mInBusConnections.GetSize(); ++i)
    *mInBusConnections.Get(i) = InputBusConnection();
  for (int i = 0; i < NInBuses(); ++i) {
    mInBuses.Get(i)->mConnected = false;
    mInBuses.Get(i)->mNHostChannels = -1;
  }
  for (int i = 0; i < NOutBuses(); ++i) {
    mOutBuses.Get(i)->mConnected = false;
    mOutBuses.Get(i)->mNHostChannels = -1;
  }
}

// ---- Initialisation ----

OSStatus IPluginAU::DoInitialize() {
  RecursiveMutex::ScopedLock lock(mMutex);
  int nIn = NHostChannelsConnected(mInBuses), nOut = NHostChannelsConnected(mOutBuses);
  bool bothZero = nIn == 0 && nOut == 0;
  if (!bothZero && !LegalIO(nIn, nOut)) return badComponentSelector;
  mActive = true;
  OnParamReset();
  OnActivate(true);
  return noErr;
}

OSStatus IPluginAU::DoUninitialize() {
  RecursiveMutex::ScopedLock lock(mMutex);
  mActive = false;
  OnActivate(false);
  return noErr;
}

OSStatus IPluginAU::DoReset() {
  RecursiveMutex::ScopedLock lock(mMutex);
  Reset();
  return noErr;
}

// ---- Parameters ----

OSStatus IPluginAU::DoGetParameter(AudioUnitParameterID id, AudioUnitScope scope, AudioUnitElement,
                                   AudioUnitParameterValue* value) {
  RecursiveMutex::ScopedLock lock(mMutex);
  if (scope != kAudioUnitScope_Global) return kAudioUnitErr_InvalidProperty;
  IParam* param = GetParam(static_cast<int>(id));
  if (!param || id > 0x7FFFFFFF) return kAudioUnitErr_InvalidParameter;
  if (!value) return kAudio_ParamError;
  *value = static_cast<AudioUnitParameterValue>(param->GetValue());
  return noErr;
}

// Stores the host's value clamped to the parameter's range; the host is not told back.
OSStatus IPluginAU::SetParamProc(AudioUnitParameterID id, AudioUnitScope scope, AudioUnitElement,
                                 AudioUnitParameterValue value) {
  if (scope != kAudioUnitScope_Global) return kAudioUnitErr_InvalidProperty;
  RecursiveMutex::ScopedLock lock(mMutex);
  IParam* param = GetParam(static_cast<int>(id));
  if (!param || id > 0x7FFFFFFF) return kAudioUnitErr_InvalidParameter;
  if (!SetParameterFromHost(static_cast<int>(id), value))
    return kAudioUnitErr_InvalidParameterValue;
  return noErr;
}

// Immediate events apply at once; ramps are not supported and are ignored.
OSStatus IPluginAU::DoScheduleParameters(const AudioUnitParameterEvent* events, UInt32 nEvents) {
  RecursiveMutex::ScopedLock lock(mMutex);
  if (!events && nEvents > 0) return kAudio_ParamError;
  for (UInt32 i = 0; i < nEvents; ++i) {
    const AudioUnitParameterEvent& e = events[i];
    if (e.eventType != kParameterEvent_Immediate) continue;
    OSStatus status = SetParamProc(e.parameter, e.scope, e.element, e.eventValues.immediate.value);
    if (status != noErr) return status;
  }
  return noErr;
}

// ---- Property listeners and render notifications ----

OSStatus IPluginAU::DoAddPropertyListener(AudioUnitPropertyID id,
                                          AudioUnitPropertyListenerProc proc, void* userData) {
  RecursiveMutex::ScopedLock lock(mMutex);
  if (!proc) return kAudio_ParamError;
  for (int i = 0; i < mPropertyListeners.GetSize(); ++i) {
    const PropertyListener* l = mPropertyListeners.Get(i);
    if (l->mPropID == id && l->mListenerProc == proc) return noErr;
  }
  PropertyListener* listener = new (std::nothrow) PropertyListener{id, proc, userData};
  if (!listener || !mPropertyListeners.Add(listener)) {
    delete listener;
    return memFullErr;
  }
  return noErr;
}

OSStatus IPluginAU::DoRemovePropertyListener(AudioUnitPropertyID id,
                                             AudioUnitPropertyListenerProc proc) {
  RecursiveMutex::ScopedLock lock(mMutex);
  for (int i = 0; i < mPropertyListeners.GetSize(); ++i) {
    const PropertyListener* l = mPropertyListeners.Get(i);
    if (l->mPropID == id && l->mListenerProc == proc) {
      mPropertyListeners.Delete(i, true);
      break;
    }
  }
  return noErr;
}

OSStatus IPluginAU::DoRemovePropertyListenerWithUserData(AudioUnitPropertyID id,
                                                         AudioUnitPropertyListenerProc proc,
                                                         void* userData) {
  RecursiveMutex::ScopedLock lock(mMutex);
  for (int i = 0; i < mPropertyListeners.GetSize(); ++i) {
    const PropertyListener* l = mPropertyListeners.Get(i);
    if (l->mPropID == id && l->mListenerProc == proc && l->mProcArgs == userData) {
      mPropertyListeners.Delete(i, true);
      break;
    }
  }
  return noErr;
}

// Both take the plug-in lock, which the render walk of the list holds.
OSStatus IPluginAU::DoAddRenderNotify(AURenderCallback proc, void* userData) {
  RecursiveMutex::ScopedLock lock(mMutex);
  if (!proc) return kAudio_ParamError;
  RenderNotify* notify = new (std::nothrow) RenderNotify{proc, userData};
  if (!notify || !mRenderNotify.Add(notify)) {
    delete notify;
    return memFullErr;
  }
  return noErr;
}

OSStatus IPluginAU::DoRemoveRenderNotify(AURenderCallback proc) {
  RecursiveMutex::ScopedLock lock(mMutex);
  for (int i = 0; i < mRenderNotify.GetSize(); ++i) {
    if (mRenderNotify.Get(i)->mFunc == proc) {
      mRenderNotify.Delete(i, true);
      break;
    }
  }
  return noErr;
}

void IPluginAU::InformListeners(AudioUnitPropertyID id, AudioUnitScope scope) {
  for (int i = 0; i < mPropertyListeners.GetSize(); ++i) {
    const PropertyListener* l = mPropertyListeners.Get(i);
    if (l->mPropID == id) l->mListenerProc(l->mProcArgs, mCI, id, scope, 0);
  }
}

// ---- The audio-component factory route ----

namespace {

constexpr size_t kStorageAlign = alignof(std::max_align_t);

size_t StorageOffset() {
  return (sizeof(IPluginAUFactoryBlock) + kStorageAlign - 1) / kStorageAlign * kStorageAlign;
}

IPluginAUFactoryBlock* Block(void* self) {
  return static_cast<IPluginAUFactoryBlock*>(self);
}

OSStatus AUMethodInitialize(void* self) {
  return IPluginAUFactory::Plug(self)->DoInitialize();
}
OSStatus AUMethodUninitialize(void* self) {
  return IPluginAUFactory::Plug(self)->DoUninitialize();
}
OSStatus AUMethodGetPropertyInfo(void* self, AudioUnitPropertyID id, AudioUnitScope scope,
                                 AudioUnitElement elem, UInt32* size, Boolean* writable) {
  return IPluginAUFactory::Plug(self)->DoGetPropertyInfo(id, scope, elem, size, writable);
}
OSStatus AUMethodGetProperty(void* self, AudioUnitPropertyID id, AudioUnitScope scope,
                             AudioUnitElement elem, void* data, UInt32* size) {
  return IPluginAUFactory::Plug(self)->DoGetProperty(id, scope, elem, data, size);
}
OSStatus AUMethodSetProperty(void* self, AudioUnitPropertyID id, AudioUnitScope scope,
                             AudioUnitElement elem, const void* data, UInt32 size) {
  return IPluginAUFactory::Plug(self)->DoSetProperty(id, scope, elem, data, size);
}
OSStatus AUMethodGetParameter(void* self, AudioUnitParameterID id, AudioUnitScope scope,
                              AudioUnitElement elem, AudioUnitParameterValue* value) {
  return IPluginAUFactory::Plug(self)->DoGetParameter(id, scope, elem, value);
}
OSStatus AUMethodSetParameter(void* self, AudioUnitParameterID id, AudioUnitScope scope,
                              AudioUnitElement elem, AudioUnitParameterValue value, UInt32) {
  return IPluginAUFactory::Plug(self)->SetParamProc(id, scope, elem, value);
}
OSStatus AUMethodReset(void* self, AudioUnitScope, AudioUnitElement) {
  return IPluginAUFactory::Plug(self)->DoReset();
}
OSStatus AUMethodAddPropertyListener(void* self, AudioUnitPropertyID id,
                                     AudioUnitPropertyListenerProc proc, void* userData) {
  return IPluginAUFactory::Plug(self)->DoAddPropertyListener(id, proc, userData);
}
OSStatus AUMethodRemovePropertyListener(void* self, AudioUnitPropertyID id,
                                        AudioUnitPropertyListenerProc proc) {
  return IPluginAUFactory::Plug(self)->DoRemovePropertyListener(id, proc);
}
OSStatus AUMethodRemovePropertyListenerWithUserData(void* self, AudioUnitPropertyID id,
                                                    AudioUnitPropertyListenerProc proc,
                                                    void* userData) {
  return IPluginAUFactory::Plug(self)->DoRemovePropertyListenerWithUserData(id, proc, userData);
}
OSStatus AUMethodRender(void* self, AudioUnitRenderActionFlags* flags,
                        const AudioTimeStamp* timestamp, UInt32 bus, UInt32 nFrames,
                        AudioBufferList* ioData) {
  return IPluginAUFactory::Plug(self)->DoRender(flags, timestamp, bus, nFrames, ioData);
}
OSStatus AUMethodAddRenderNotify(void* self, AURenderCallback proc, void* userData) {
  return IPluginAUFactory::Plug(self)->DoAddRenderNotify(proc, userData);
}
OSStatus AUMethodRemoveRenderNotify(void* self, AURenderCallback proc, void*) {
  return IPluginAUFactory::Plug(self)->DoRemoveRenderNotify(proc);
}
OSStatus AUMethodScheduleParameters(void* self, const AudioUnitParameterEvent* events,
                                    UInt32 nEvents) {
  return IPluginAUFactory::Plug(self)->DoScheduleParameters(events, nEvents);
}

template <class F>
AudioComponentMethod Method(F f) {
  return reinterpret_cast<AudioComponentMethod>(f);
}

}  // namespace

AudioComponentPlugInInterface* IPluginAUFactory::NewBlock(
    size_t objectSize, OSStatus (*construct)(void* storage, AudioComponentInstance instance)) {
  void* mem = std::calloc(1, StorageOffset() + objectSize);
  if (!mem) return nullptr;
  IPluginAUFactoryBlock* block = Block(mem);
  block->mInterface.Open = Open;
  block->mInterface.Close = Close;
  block->mInterface.Lookup = Lookup;
  block->mInterface.reserved = nullptr;
  block->mConstruct = construct;
  block->mDestruct = Destruct;
  return &block->mInterface;
}

void* IPluginAUFactory::Storage(void* self) {
  return static_cast<char*>(self) + StorageOffset();
}

// The plug-in object is constructed at the start of the storage.
IPluginAU* IPluginAUFactory::Plug(void* self) {
  return static_cast<IPluginAU*>(Storage(self));
}

OSStatus IPluginAUFactory::Open(void* self, AudioComponentInstance instance) {
  OSStatus status = Block(self)->mConstruct(Storage(self), instance);
  if (status != noErr) return status;
  IPluginAU* plug = Plug(self);
  plug->SetInstance(instance);
  plug->HostSpecificInit();
  plug->PruneUninitializedPresets();
  return noErr;
}

// Destroys the plug-in object and frees the block.  The storage starts zeroed and
// a failed construction leaves its first word zero, so an object that was never
// built is not destroyed.
OSStatus IPluginAUFactory::Close(void* self) {
  if (*static_cast<void**>(Storage(self))) Block(self)->mDestruct(Storage(self));
  std::free(self);
  return noErr;
}

void IPluginAUFactory::Destruct(void* storage) {
  static_cast<IPluginAU*>(storage)->~IPluginAU();
}

AudioComponentMethod IPluginAUFactory::Lookup(SInt16 selector) {
  switch (selector) {
    case kAudioUnitInitializeSelect:
      return Method(AUMethodInitialize);
    case kAudioUnitUninitializeSelect:
      return Method(AUMethodUninitialize);
    case kAudioUnitGetPropertyInfoSelect:
      return Method(AUMethodGetPropertyInfo);
    case kAudioUnitGetPropertySelect:
      return Method(AUMethodGetProperty);
    case kAudioUnitSetPropertySelect:
      return Method(AUMethodSetProperty);
    case kAudioUnitGetParameterSelect:
      return Method(AUMethodGetParameter);
    case kAudioUnitSetParameterSelect:
      return Method(AUMethodSetParameter);
    case kAudioUnitResetSelect:
      return Method(AUMethodReset);
    case kAudioUnitAddPropertyListenerSelect:
      return Method(AUMethodAddPropertyListener);
    case kAudioUnitRemovePropertyListenerSelect:
      return Method(AUMethodRemovePropertyListener);
    case kAudioUnitRenderSelect:
      return Method(AUMethodRender);
    case kAudioUnitAddRenderNotifySelect:
      return Method(AUMethodAddRenderNotify);
    case kAudioUnitRemoveRenderNotifySelect:
      return Method(AUMethodRemoveRenderNotify);
    case kAudioUnitScheduleParametersSelect:
      return Method(AUMethodScheduleParameters);
    case kAudioUnitRemovePropertyListenerWithUserDataSelect:
      return Method(AUMethodRemovePropertyListenerWithUserData);
    default:
      return nullptr;
  }
}
