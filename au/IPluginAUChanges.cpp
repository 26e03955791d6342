// Property changes from the host.  Listeners hear of a change before it is
// made; a rejected value changes nothing beyond what the notes below say.

#include "Hosts.h"
#include "IPluginAU.h"
#include "SampleRateRange.h"

namespace {

// The value a property's data must hold, or null when it is missing or short.
template <class T>
const T* Value(const UInt32* size, const void* data) {
  return data && size && *size >= sizeof(T) ? static_cast<const T*>(data) : nullptr;
}

}  // namespace

OSStatus IPluginAU::SetProperty(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement elem,
                                UInt32* size, const void* data) {
  InformListeners(id, scope);
  switch (id) {
    case kAudioUnitProperty_ClassInfo: {
      const CFPropertyListRef* dict = Value<CFPropertyListRef>(size, data);
      return dict ? SetState(*dict) : kAudioUnitErr_InvalidPropertyValue;
    }
    case kAudioUnitProperty_MakeConnection:
      return SetConnection(scope, Value<AudioUnitConnection>(size, data));
    case kAudioUnitProperty_SampleRate: {
      const Float64* rate = Value<Float64>(size, data);
      if (!rate || !IsSupportedSampleRate(*rate)) return kAudioUnitErr_InvalidPropertyValue;
      SetSampleRate(*rate);
      Reset();
      return noErr;
    }
    case kAudioUnitProperty_StreamFormat:
      return SetStreamFormat(scope, elem, Value<AudioStreamBasicDescription>(size, data));
    case kAudioUnitProperty_MaximumFramesPerSlice: {
      const UInt32* frames = Value<UInt32>(size, data);
      if (!frames || *frames < 1 || *frames > kMaxAUBlockSize)
        return kAudioUnitErr_InvalidPropertyValue;
      SetBlockSize(static_cast<int>(*frames));
      if (GetBlockSize() != static_cast<int>(*frames)) return memFullErr;
      Reset();
      return noErr;
    }
    case kAudioUnitProperty_BypassEffect: {
      const UInt32* bypass = Value<UInt32>(size, data);
      if (!bypass) return kAudioUnitErr_InvalidPropertyValue;
      SetBypassed(*bypass != 0);
      OnActivate(!IsBypassed());
      Reset();
      return noErr;
    }
    case kAudioUnitProperty_SetRenderCallback:
      return SetRenderCallback(scope, elem, Value<AURenderCallbackStruct>(size, data));
    case kAudioUnitProperty_HostCallbacks: {
      if (scope != kAudioUnitScope_Global) return kAudioUnitErr_InvalidProperty;
      const HostCallbackInfo* callbacks = Value<HostCallbackInfo>(size, data);
      if (!callbacks) return kAudioUnitErr_InvalidPropertyValue;
      mHostCallbacks = *callbacks;
      return noErr;
    }
    case kAudioUnitProperty_CurrentPreset:
    case kAudioUnitProperty_PresentPreset: {
      const AUPreset* preset = Value<AUPreset>(size, data);
      if (!preset) return kAudioUnitErr_InvalidPropertyValue;
      // A negative number names a user preset the host keeps itself.
      if (!RestorePreset(preset->presetNumber) && preset->presetNumber >= 0)
        return kAudioUnitErr_InvalidPropertyValue;
      return noErr;
    }
    case kAudioUnitProperty_OfflineRender: {
      const UInt32* offline = Value<UInt32>(size, data);
      if (!offline) return kAudioUnitErr_InvalidPropertyValue;
      mIsOffline = *offline != 0;
      return noErr;
    }
    case kAudioUnitProperty_AUHostIdentifier:
      return SetHostIdentifier(Value<AUHostVersionIdentifier>(size, data));
    default:
      return kAudioUnitErr_InvalidProperty;
  }
}

// The source's output format goes to our input bus; the source's fast render entry is
// used when it offers one.  The bus's old connection is cleared first in every case.
OSStatus IPluginAU::SetConnection(AudioUnitScope scope, const AudioUnitConnection* conn) {
  if (!conn) return kAudioUnitErr_InvalidPropertyValue;
  if ((scope != kAudioUnitScope_Global && scope != kAudioUnitScope_Input) ||
      conn->destInputNumber >= static_cast<UInt32>(NInBuses()))
    return kAudioUnitErr_InvalidProperty;
  int busIdx = static_cast<int>(conn->destInputNumber);
  InputBusConnection* record = mInBusConnections.Get(busIdx);
  *record = InputBusConnection();
  OSStatus result = noErr;
  if (conn->sourceAudioUnit) {
    AudioStreamBasicDescription format;
    UInt32 size = sizeof format;
    OSStatus status =
        AudioUnitGetProperty(conn->sourceAudioUnit, kAudioUnitProperty_StreamFormat,
                             kAudioUnitScope_Output, conn->sourceOutputNumber, &format, &size);
    if (status == noErr) {
      status = SetProperty(kAudioUnitProperty_StreamFormat, kAudioUnitScope_Input,
                           conn->destInputNumber, &size, &format);
    }
    if (status == noErr) {
      record->mUpstreamUnit = conn->sourceAudioUnit;
      record->mUpstreamBusIdx = static_cast<int>(conn->sourceOutputNumber);
      AudioUnitRenderProc render = nullptr;
      UInt32 procSize = sizeof render;
      if (AudioUnitGetProperty(conn->sourceAudioUnit, kAudioUnitProperty_FastDispatch,
                               kAudioUnitScope_Global, kAudioUnitRenderSelect, &render,
                               &procSize) == noErr) {
        record->mUpstreamRenderProc = render;
        record->mUpstreamObj = GetComponentInstanceStorage(conn->sourceAudioUnit);
      }
    } else {
      result = kAudioUnitErr_InvalidProperty;
    }
  }
  AssessInputConnections();
  return result;
}

OSStatus IPluginAU::SetStreamFormat(AudioUnitScope scope, AudioUnitElement elem,
                                    const AudioStreamBasicDescription* format) {
  BusChannels* bus = GetBus(scope, elem);
  if (!bus) return kAudioUnitErr_InvalidProperty;
  if (!format) return kAudioUnitErr_InvalidPropertyValue;
  // A rate of 0 leaves the unit's rate as it is; any other must be one the effect is built for.
  if (format->mSampleRate != 0.0 && !IsSupportedSampleRate(format->mSampleRate))
    return kAudioUnitErr_FormatNotSupported;
  bus->mNHostChannels = 0;
  UInt32 nCh = format->mChannelsPerFrame;
  // A bus never takes more channels than it has plug channels for.
  bool accepted = nCh > 0 && nCh <= static_cast<UInt32>(bus->mNPlugChannels) &&
                  CheckLegalIO(scope, static_cast<int>(elem), static_cast<int>(nCh)) &&
                  (format->mFormatFlags & kAudioFormatFlagsNativeFloatPacked) &&
                  format->mFormatID == kAudioFormatLinearPCM;
  if (accepted) {
    bus->mNHostChannels = static_cast<int>(nCh);
    if (format->mSampleRate != 0.0) SetSampleRate(format->mSampleRate);
  }
  AssessInputConnections();
  return accepted ? OSStatus(noErr) : OSStatus(kAudioUnitErr_InvalidProperty);
}

OSStatus IPluginAU::SetRenderCallback(AudioUnitScope scope, AudioUnitElement elem,
                                      const AURenderCallbackStruct* callback) {
  if (scope != kAudioUnitScope_Input || elem >= static_cast<UInt32>(NInBuses()))
    return kAudioUnitErr_InvalidProperty;
  if (!callback) return kAudioUnitErr_InvalidPropertyValue;
  InputBusConnection* record = mInBusConnections.Get(static_cast<int>(elem));
  *record = InputBusConnection();
  if (callback->inputProc) record->mUpstreamRenderCallback = *callback;
  AssessInputConnections();
  return noErr;
}

// Version: major * 65536 + minor * 256 + bug-fix revision.
OSStatus IPluginAU::SetHostIdentifier(const AUHostVersionIdentifier* id) {
  if (!id) return kAudioUnitErr_InvalidPropertyValue;
  char name[MAX_HOST_NAME_LEN + 1] = "";
  if (id->hostName && !CFStringGetCString(id->hostName, name, sizeof name, kCFStringEncodingUTF8))
    CopyBounded(name, CFStringGetCStringPtr(id->hostName, kCFStringEncodingUTF8), sizeof name);
  const NumVersion& v = id->hostVersion;
  int version = v.majorRev * 65536 + (v.minorAndBugRev / 16) * 256 + (v.minorAndBugRev % 16);
  SetHost(name, version);
  OnHostIdentified();
  return noErr;
}
