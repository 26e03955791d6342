// The older Component Manager route: one entry that dispatches on the selector
// in the call record and unpacks the call's arguments from it.
#include <new>

#include "IPluginAU.h"

namespace {

template <class T>
T Arg(const ComponentParameters* params, int i) {
  return FromComponentParam<T>(params, i);
}

ComponentResult Open(ComponentParameters* params) {
  AudioComponentInstance ci = Arg<AudioComponentInstance>(params, 0);
  IPluginAU* plug = nullptr;
  try {
    plug = static_cast<IPluginAU*>(MakePlug(nullptr));
  } catch (...) {
    return memFullErr;
  }
  if (!plug) return memFullErr;
  plug->HostSpecificInit();
  plug->PruneUninitializedPresets();
  plug->SetInstance(ci);
  SetComponentInstanceStorage(ci, plug);
  return noErr;
}

ComponentResult Close(IPluginAU* plug) {
  delete plug;
  return noErr;
}

ComponentResult CanDo(SInt16 selector) {
  switch (selector) {
    case kAudioUnitInitializeSelect:
    case kAudioUnitUninitializeSelect:
    case kAudioUnitGetPropertyInfoSelect:
    case kAudioUnitGetPropertySelect:
    case kAudioUnitSetPropertySelect:
    case kAudioUnitGetParameterSelect:
    case kAudioUnitSetParameterSelect:
    case kAudioUnitResetSelect:
    case kAudioUnitAddPropertyListenerSelect:
    case kAudioUnitRemovePropertyListenerSelect:
    case kAudioUnitRenderSelect:
    case kAudioUnitAddRenderNotifySelect:
    case kAudioUnitRemoveRenderNotifySelect:
    case kAudioUnitScheduleParametersSelect:
      return 1;
    default:
      return 0;
  }
}

ComponentResult Property(IPluginAU* plug, const ComponentParameters* p) {
  AudioUnitPropertyID id = Arg<AudioUnitPropertyID>(p, 0);
  AudioUnitScope scope = Arg<AudioUnitScope>(p, 1);
  AudioUnitElement elem = Arg<AudioUnitElement>(p, 2);
  switch (p->what) {
    case kAudioUnitGetPropertyInfoSelect:
      return plug->DoGetPropertyInfo(id, scope, elem, Arg<UInt32*>(p, 3), Arg<Boolean*>(p, 4));
    case kAudioUnitGetPropertySelect:
      return plug->DoGetProperty(id, scope, elem, Arg<void*>(p, 3), Arg<UInt32*>(p, 4));
    default:
      return plug->DoSetProperty(id, scope, elem, Arg<const void*>(p, 3), Arg<UInt32>(p, 4));
  }
}

ComponentResult Parameter(IPluginAU* plug, const ComponentParameters* p) {
  AudioUnitParameterID id = Arg<AudioUnitParameterID>(p, 0);
  AudioUnitScope scope = Arg<AudioUnitScope>(p, 1);
  AudioUnitElement elem = Arg<AudioUnitElement>(p, 2);
  if (p->what == kAudioUnitGetParameterSelect)
    return plug->DoGetParameter(id, scope, elem, Arg<AudioUnitParameterValue*>(p, 3));
  return plug->SetParamProc(id, scope, elem, Arg<AudioUnitParameterValue>(p, 3));
}

ComponentResult Listener(IPluginAU* plug, const ComponentParameters* p) {
  AudioUnitPropertyID id = Arg<AudioUnitPropertyID>(p, 0);
  AudioUnitPropertyListenerProc proc = Arg<AudioUnitPropertyListenerProc>(p, 1);
  switch (p->what) {
    case kAudioUnitAddPropertyListenerSelect:
      return plug->DoAddPropertyListener(id, proc, Arg<void*>(p, 2));
    case kAudioUnitRemovePropertyListenerSelect:
      return plug->DoRemovePropertyListener(id, proc);
    default:
      return plug->DoRemovePropertyListenerWithUserData(id, proc, Arg<void*>(p, 2));
  }
}

// (status, data1, data2, sample offset) or (data, length).
ComponentResult Midi(IPluginAU* plug, const ComponentParameters* p) {
  RecursiveMutex::ScopedLock lock(plug->Mutex());
  if (p->what == kMusicDeviceMIDIEventSelect) {
    IMidiMsg msg(Arg<int>(p, 3), Arg<unsigned char>(p, 0), Arg<unsigned char>(p, 1),
                 Arg<unsigned char>(p, 2));
    plug->ProcessMidiMsg(&msg);
  } else {
    ISysEx sysex(0, Arg<const unsigned char*>(p, 0), Arg<int>(p, 1));
    if (sysex.mData && sysex.mSize > 0) plug->ProcessSysEx(&sysex);
  }
  return noErr;
}

// Note selectors build a message that an effect does not deliver.
ComponentResult StartNote(const ComponentParameters* p) {
  // (instrument id, group id, out note instance id, offset, params)
  UInt32* noteID = Arg<UInt32*>(p, 2);
  struct NoteParams {
    UInt32 argCount;
    Float32 pitch;
    Float32 velocity;
  };
  const NoteParams* note = Arg<const NoteParams*>(p, 4);
  if (noteID && note) *noteID = static_cast<UInt32>(TruncToInt(note->pitch));
  return noErr;
}

}  // namespace

ComponentResult IPluginAU::IPluginAUEntry(ComponentParameters* params, void* storage) {
  if (!params) return kAudio_ParamError;
  SInt16 select = params->what;
  if (select == kComponentOpenSelect) return Open(params);
  IPluginAU* plug = static_cast<IPluginAU*>(storage);
  if (select == kComponentCanDoSelect) return CanDo(Arg<SInt16>(params, 0));
  if (!plug) return badComponentInstance;
  switch (select) {
    case kComponentCloseSelect:
      plug->ClearConnections();
      return Close(plug);
    case kComponentVersionSelect:
      return plug->GetEffectVersion(false);
    case kAudioUnitInitializeSelect:
      return plug->DoInitialize();
    case kAudioUnitUninitializeSelect:
      return plug->DoUninitialize();
    case kAudioUnitGetPropertyInfoSelect:
    case kAudioUnitGetPropertySelect:
    case kAudioUnitSetPropertySelect:
      return Property(plug, params);
    case kAudioUnitGetParameterSelect:
    case kAudioUnitSetParameterSelect:
      return Parameter(plug, params);
    case kAudioUnitResetSelect:
      return plug->DoReset();
    case kAudioUnitAddPropertyListenerSelect:
    case kAudioUnitRemovePropertyListenerSelect:
    case kAudioUnitRemovePropertyListenerWithUserDataSelect:
      return Listener(plug, params);
    case kAudioUnitRenderSelect:
      return plug->DoRender(Arg<AudioUnitRenderActionFlags*>(params, 0),
                            Arg<const AudioTimeStamp*>(params, 1), Arg<UInt32>(params, 2),
                            Arg<UInt32>(params, 3), Arg<AudioBufferList*>(params, 4));
    case kAudioUnitAddRenderNotifySelect:
      return plug->DoAddRenderNotify(Arg<AURenderCallback>(params, 0), Arg<void*>(params, 1));
    case kAudioUnitRemoveRenderNotifySelect:
      return plug->DoRemoveRenderNotify(Arg<AURenderCallback>(params, 0));
    case kAudioUnitScheduleParametersSelect:
      return plug->DoScheduleParameters(Arg<const AudioUnitParameterEvent*>(params, 0),
                                        Arg<UInt32>(params, 1));
    case kMusicDeviceMIDIEventSelect:
    case kMusicDeviceSysExSelect:
      return plug->DoesMIDI() ? Midi(plug, params) : badComponentSelector;
    case kMusicDevicePrepareInstrumentSelect:
    case kMusicDeviceReleaseInstrumentSelect:
      return noErr;
    case kMusicDeviceStartNoteSelect:
      return StartNote(params);
    case kMusicDeviceStopNoteSelect:
      return noErr;
    default:
      return badComponentSelector;
  }
}
