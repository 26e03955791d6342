// The property interface: sizes and writability, the values a host reads, and
// the changes it makes.  Every call here runs with the plug-in lock held.
#include <cmath>
#include <cstring>

#include "IPluginAU.h"
#include "au-utilities.h"

namespace {

bool IsGlobal(AudioUnitScope scope) {
  return scope == kAudioUnitScope_Global;
}

CFStringRef NewString(const char* text) {
  return CFStringCreateWithCString(kCFAllocatorDefault, text ? text : "", kCFStringEncodingUTF8);
}

template <class T>
void Put(void* data, const T& value) {
  std::memcpy(data, &value, sizeof value);
}

}  // namespace

// ---- Host entries: the lock and the size checks around the property calls ----

OSStatus IPluginAU::DoGetPropertyInfo(AudioUnitPropertyID id, AudioUnitScope scope,
                                      AudioUnitElement elem, UInt32* size, Boolean* writable) {
  RecursiveMutex::ScopedLock lock(mMutex);
  UInt32 dataSize = 0;
  Boolean canWrite = false;
  OSStatus status = GetProperty(id, scope, elem, &dataSize, &canWrite, nullptr);
  if (size) *size = dataSize;
  if (writable) *writable = canWrite;
  return status;
}

OSStatus IPluginAU::DoGetProperty(AudioUnitPropertyID id, AudioUnitScope scope,
                                  AudioUnitElement elem, void* data, UInt32* size) {
  RecursiveMutex::ScopedLock lock(mMutex);
  if (!size) return kAudio_ParamError;
  Boolean writable = false;
  return GetProperty(id, scope, elem, size, &writable, data);
}

OSStatus IPluginAU::DoSetProperty(AudioUnitPropertyID id, AudioUnitScope scope,
                                  AudioUnitElement elem, const void* data, UInt32 size) {
  RecursiveMutex::ScopedLock lock(mMutex);
  return SetProperty(id, scope, elem, &size, data);
}

// ---- Queries ----

OSStatus IPluginAU::GetProperty(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement elem,
                                UInt32* size, Boolean* writable, void* data) {
  UInt32 available = data ? *size : 0;
  Boolean canWrite = false;
  OSStatus status = PropertyInfo(id, scope, elem, size, &canWrite, data != nullptr);
  if (writable) *writable = canWrite;
  if (status != noErr || !data) return status;
  // Data is written only where the caller gave room for the whole property.
  if (available < *size) return kAudioUnitErr_InvalidPropertyValue;
  return PropertyData(id, scope, elem, data);
}

OSStatus IPluginAU::PropertyInfo(AudioUnitPropertyID id, AudioUnitScope scope,
                                 AudioUnitElement elem, UInt32* size, Boolean* writable,
                                 bool hasData) {
  *size = 0;
  *writable = false;
  switch (id) {
    case kAudioUnitProperty_ClassInfo:
      *size = sizeof(CFPropertyListRef);
      *writable = true;
      return noErr;
    case kAudioUnitProperty_MakeConnection:
      if (scope != kAudioUnitScope_Global && scope != kAudioUnitScope_Input)
        return kAudioUnitErr_InvalidProperty;
      *size = sizeof(AudioUnitConnection);
      *writable = true;
      return noErr;
    case kAudioUnitProperty_SampleRate:
      *size = sizeof(Float64);
      *writable = true;
      return noErr;
    case kAudioUnitProperty_ParameterList:
      *size = IsGlobal(scope) ? sizeof(AudioUnitParameterID) * NParams() : 0;
      return noErr;
    case kAudioUnitProperty_ParameterInfo:
      if (!IsGlobal(scope)) return kAudioUnitErr_InvalidProperty;
      if (elem >= static_cast<UInt32>(NParams())) return kAudioUnitErr_InvalidElement;
      *size = sizeof(AudioUnitParameterInfo);
      return noErr;
    case kAudioUnitProperty_FastDispatch:
      return kAudioUnitErr_InvalidElement;
    case kAudioUnitProperty_StreamFormat:
      if (!GetBus(scope, elem)) return kAudioUnitErr_InvalidProperty;
      *size = sizeof(AudioStreamBasicDescription);
      *writable = true;
      return noErr;
    case kAudioUnitProperty_ElementCount:
      *size = sizeof(UInt32);
      return noErr;
    case kAudioUnitProperty_Latency:
      if (!IsGlobal(scope)) return kAudioUnitErr_InvalidProperty;
      *size = sizeof(Float64);
      return noErr;
    case kAudioUnitProperty_SupportedNumChannels:
      if (!IsGlobal(scope)) return kAudioUnitErr_InvalidProperty;
      *size = 2 * sizeof(SInt16) * NChannelIO();
      return noErr;
    case kAudioUnitProperty_MaximumFramesPerSlice:
      if (!IsGlobal(scope)) return kAudioUnitErr_InvalidProperty;
      *size = sizeof(UInt32);
      *writable = true;
      return noErr;
    case kAudioUnitProperty_ParameterValueStrings: {
      if (!IsGlobal(scope)) return kAudioUnitErr_InvalidProperty;
      const IParam* param = elem < 0x80000000u ? GetParam(static_cast<int>(elem)) : nullptr;
      if (!param) return kAudioUnitErr_InvalidElement;
      if (param->GetNDisplayTexts() == 0) return kAudioUnitErr_InvalidProperty;
      *size = sizeof(CFArrayRef);
      return noErr;
    }
    case kAudioUnitProperty_GetUIComponentList:
      if (!mGraphics) return kAudioUnitErr_InvalidProperty;
      *size = sizeof(AudioComponentDescription);
      return noErr;
    case kAudioUnitProperty_AudioChannelLayout:
      return kAudioUnitErr_InvalidPropertyValue;
    case kAudioUnitProperty_TailTime:
      if (!IsGlobal(scope)) return kAudioUnitErr_InvalidProperty;
      *size = sizeof(Float64);
      *writable = GetTailSize() > 0;
      return noErr;
    case kAudioUnitProperty_BypassEffect:
      if (!IsGlobal(scope)) return kAudioUnitErr_InvalidProperty;
      *size = sizeof(UInt32);
      *writable = true;
      return noErr;
    case kAudioUnitProperty_LastRenderError:
      if (!IsGlobal(scope)) return kAudioUnitErr_InvalidProperty;
      *size = sizeof(OSStatus);
      return noErr;
    case kAudioUnitProperty_SetRenderCallback:
      if ((scope != kAudioUnitScope_Global && scope != kAudioUnitScope_Input) ||
          elem >= static_cast<UInt32>(NInBuses()))
        return kAudioUnitErr_InvalidProperty;
      *size = sizeof(AURenderCallbackStruct);
      *writable = true;
      return noErr;
    case kAudioUnitProperty_FactoryPresets:
      *size = sizeof(CFArrayRef);
      return noErr;
    case kAudioUnitProperty_HostCallbacks:
      if (!IsGlobal(scope)) return kAudioUnitErr_InvalidProperty;
      *size = sizeof(HostCallbackInfo);
      *writable = true;
      return noErr;
    case kAudioUnitProperty_CurrentPreset:
    case kAudioUnitProperty_PresentPreset:
      *size = sizeof(AUPreset);
      *writable = true;
      return noErr;
    case kAudioUnitProperty_ElementName:
      *size = sizeof(CFStringRef);
      return hasData ? OSStatus(noErr) : OSStatus(kAudioUnitErr_InvalidProperty);
    case kAudioUnitProperty_CocoaUI: {
      SInt32 version = 0;
      if (!mGraphics || Gestalt(gestaltSystemVersion, &version) != noErr || version < 0x1050)
        return kAudioUnitErr_InvalidProperty;
      *size = sizeof(AudioUnitCocoaViewInfo);
      return noErr;
    }
    case kAudioUnitProperty_SupportedChannelLayoutTags:
      if (!IsInst() || NOutBuses() < 2) return kAudioUnitErr_InvalidProperty;
      *size = sizeof(AudioChannelLayoutTag);
      return noErr;
    case kAudioUnitProperty_ParameterStringFromValue:
      *size = sizeof(AudioUnitParameterStringFromValue);
      return noErr;
    case kAudioUnitProperty_ParameterIDName:
    case kAudioUnitProperty_ParameterClumpName:
      *size = sizeof(AudioUnitParameterNameInfo);
      return noErr;
    case kAudioUnitProperty_ParameterValueFromString:
      *size = sizeof(AudioUnitParameterValueFromString);
      return noErr;
    case kIPlugObjectPropertyID:
      *size = sizeof(IPluginAU*);
      return noErr;
    case kMusicDeviceProperty_InstrumentCount:
      if (!IsGlobal(scope) || !IsInst()) return kAudioUnitErr_InvalidProperty;
      *size = sizeof(UInt32);
      *writable = true;
      return noErr;
    default:
      return kAudioUnitErr_InvalidProperty;
  }
}

OSStatus IPluginAU::PropertyData(AudioUnitPropertyID id, AudioUnitScope scope,
                                 AudioUnitElement elem, void* data) {
  switch (id) {
    case kAudioUnitProperty_ClassInfo:
      return GetState(static_cast<CFPropertyListRef*>(data));
    case kAudioUnitProperty_MakeConnection:
      Put(data, AudioUnitConnection{nullptr, 0, 0});  // write-only: reads as empty
      return noErr;
    case kAudioUnitProperty_SampleRate:
      Put(data, Float64(GetSampleRate()));
      return noErr;
    case kAudioUnitProperty_ParameterList:
      for (int i = 0; IsGlobal(scope) && i < NParams(); ++i)
        static_cast<AudioUnitParameterID*>(data)[i] = static_cast<AudioUnitParameterID>(i);
      return noErr;
    case kAudioUnitProperty_ParameterInfo:
      return GetParameterInfo(elem, static_cast<AudioUnitParameterInfo*>(data));
    case kAudioUnitProperty_StreamFormat:
      return GetStreamFormat(scope, elem, static_cast<AudioStreamBasicDescription*>(data));
    case kAudioUnitProperty_ElementCount: {
      UInt32 n = 0;
      if (scope == kAudioUnitScope_Global) n = 1;
      if (scope == kAudioUnitScope_Input) n = static_cast<UInt32>(NInBuses());
      if (scope == kAudioUnitScope_Output) n = static_cast<UInt32>(NOutBuses());
      Put(data, n);
      return noErr;
    }
    case kAudioUnitProperty_Latency:
      Put(data, Float64(GetLatency() / GetSampleRate()));
      return noErr;
    case kAudioUnitProperty_SupportedNumChannels:
      for (int i = 0; i < NChannelIO(); ++i) {
        int nIn = 0, nOut = 0;
        GetChannelIO(i, &nIn, &nOut);
        static_cast<SInt16*>(data)[2 * i] = static_cast<SInt16>(nIn);
        static_cast<SInt16*>(data)[2 * i + 1] = static_cast<SInt16>(nOut);
      }
      return noErr;
    case kAudioUnitProperty_MaximumFramesPerSlice:
      Put(data, UInt32(GetBlockSize()));
      return noErr;
    case kAudioUnitProperty_ParameterValueStrings:
      return GetParamValueStrings(elem, static_cast<CFArrayRef*>(data));
    case kAudioUnitProperty_GetUIComponentList:
      Put(data, AudioComponentDescription{kAudioUnitCarbonViewComponentType,
                                          static_cast<OSType>(GetUniqueID()),
                                          static_cast<OSType>(GetMfrID()), 0, 0});
      return noErr;
    case kAudioUnitProperty_TailTime:
      Put(data, Float64(GetTailSize() / GetSampleRate()));
      return noErr;
    case kAudioUnitProperty_BypassEffect:
      Put(data, UInt32(IsBypassed() ? 1 : 0));
      return noErr;
    case kAudioUnitProperty_LastRenderError:
      Put(data, OSStatus(noErr));
      return noErr;
    case kAudioUnitProperty_SetRenderCallback:
      Put(data, AURenderCallbackStruct{nullptr, nullptr});  // write-only: reads as empty
      return noErr;
    case kAudioUnitProperty_FactoryPresets:
      return GetFactoryPresets(static_cast<CFArrayRef*>(data));
    case kAudioUnitProperty_HostCallbacks:
      Put(data, HostCallbackInfo{nullptr, nullptr, nullptr, nullptr});  // write-only
      return noErr;
    case kAudioUnitProperty_CurrentPreset:
    case kAudioUnitProperty_PresentPreset:
      Put(data, AUPreset{GetCurrentPresetIdx(), NewString(GetPresetName(GetCurrentPresetIdx()))});
      return noErr;
    case kAudioUnitProperty_ElementName:
      return GetElementName(scope, elem, static_cast<CFStringRef*>(data));
    case kAudioUnitProperty_CocoaUI:
      return GetCocoaUI(static_cast<AudioUnitCocoaViewInfo*>(data));
    case kAudioUnitProperty_SupportedChannelLayoutTags: {
      const BusChannels* bus = GetBus(scope, elem);
      if (!bus) return kAudioUnitErr_InvalidElement;
      AudioChannelLayoutTag tag = bus->mNPlugChannels == 1   ? kAudioChannelLayoutTag_Mono
                                  : bus->mNPlugChannels == 2 ? kAudioChannelLayoutTag_Stereo
                                                             : kAudioChannelLayoutTag_Unknown;
      Put(data, tag);
      return noErr;
    }
    case kAudioUnitProperty_ParameterStringFromValue:
      if (!IsGlobal(scope)) return kAudioUnitErr_InvalidScope;
      return GetStringFromValue(static_cast<AudioUnitParameterStringFromValue*>(data));
    case kAudioUnitProperty_ParameterIDName:
    case kAudioUnitProperty_ParameterClumpName:
      return GetNameProperty(id, scope, static_cast<AudioUnitParameterNameInfo*>(data));
    case kAudioUnitProperty_ParameterValueFromString:
      if (!IsGlobal(scope)) return kAudioUnitErr_InvalidScope;
      return GetValueFromString(static_cast<AudioUnitParameterValueFromString*>(data));
    case kIPlugObjectPropertyID:
      Put(data, this);
      return noErr;
    case kMusicDeviceProperty_InstrumentCount:
      Put(data, UInt32(0));
      return noErr;
    default:
      return kAudioUnitErr_InvalidProperty;
  }
}

OSStatus IPluginAU::GetStreamFormat(AudioUnitScope scope, AudioUnitElement elem,
                                    AudioStreamBasicDescription* out) {
  const BusChannels* bus = GetBus(scope, elem);
  if (!bus) return kAudioUnitErr_InvalidProperty;
  UInt32 nCh =
      static_cast<UInt32>(bus->mNHostChannels < 0 ? bus->mNPlugChannels : bus->mNHostChannels);
  AudioStreamBasicDescription format = {};
  format.mSampleRate = GetSampleRate();
  format.mFormatID = kAudioFormatLinearPCM;
  format.mFormatFlags = kAudioFormatFlagsNativeFloatPacked | kAudioFormatFlagIsNonInterleaved;
  format.mBytesPerPacket = 4;
  format.mFramesPerPacket = 1;
  format.mBytesPerFrame = 4;
  format.mChannelsPerFrame = nCh;
  format.mBitsPerChannel = 32;
  Put(out, format);
  return noErr;
}

int IPluginAU::FindParamGroup(const char* group) {
  for (int i = 0; i < mParamGroups.GetSize(); ++i) {
    if (std::strcmp(mParamGroups.Get(i), group) == 0) return i;
  }
  return mParamGroups.Add(group) ? mParamGroups.GetSize() - 1 : -1;
}

OSStatus IPluginAU::GetParameterInfo(AudioUnitElement elem, AudioUnitParameterInfo* out) {
  const IParam* param = GetParam(static_cast<int>(elem));
  AudioUnitParameterInfo info;
  std::memset(&info, 0, sizeof info);
  info.flags = kAudioUnitParameterFlag_IsReadable | kAudioUnitParameterFlag_HasCFNameString |
               kAudioUnitParameterFlag_CFNameRelease;
  if (param->GetCanAutomate()) info.flags |= kAudioUnitParameterFlag_IsWritable;
  if (param->GetIsMeta()) info.flags |= kAudioUnitParameterFlag_IsElementMeta;
  info.cfNameString = NewString(param->GetNameForHost());
  CopyBounded(info.name, param->GetNameForHost(), sizeof info.name);
  switch (param->GetKind()) {
    case kParamInt:
    case kParamEnum:
      info.unit = kAudioUnitParameterUnit_Indexed;
      break;
    case kParamBool:
      info.unit = kAudioUnitParameterUnit_Boolean;
      break;
    default:
      if (*param->GetLabelForHost()) {
        info.unit = kAudioUnitParameterUnit_CustomUnit;
        // A constant string: the host does not release the unit name.
        info.unitName = CFSTR(param->GetLabelForHost());
      } else {
        info.unit = kAudioUnitParameterUnit_Generic;
      }
  }
  double minVal = 0.0, maxVal = 0.0;
  param->GetBounds(&minVal, &maxVal);
  info.minValue = static_cast<AudioUnitParameterValue>(minVal);
  info.maxValue = static_cast<AudioUnitParameterValue>(maxVal);
  info.defaultValue = static_cast<AudioUnitParameterValue>(param->GetValue());
  const char* group = param->GetParamGroupForHost();
  if (*group) {
    int pos = FindParamGroup(group);
    if (pos >= 0) {
      info.flags |= kAudioUnitParameterFlag_HasClump;
      info.clumpID = static_cast<UInt32>(pos + 1);
    }
  }
  Put(out, info);
  return noErr;
}

OSStatus IPluginAU::GetParamValueStrings(AudioUnitElement elem, CFArrayRef* out) {
  const IParam* param = GetParam(static_cast<int>(elem));
  int n = param->GetNDisplayTexts();
  CFMutableArrayRef array = CFArrayCreateMutable(kCFAllocatorDefault, n, &kCFTypeArrayCallBacks);
  if (!array) return coreFoundationUnknownErr;
  for (int i = 0; i < n; ++i) {
    CFStringRef text = NewString(param->GetDisplayTextAtIdx(i));
    CFArrayAppendValue(array, text);
    CFRelease(text);
  }
  *out = array;
  return noErr;
}

OSStatus IPluginAU::GetFactoryPresets(CFArrayRef* out) {
  CFMutableArrayRef presets =
      CFArrayCreateMutable(kCFAllocatorDefault, NPresets(), &kCFAUPresetArrayCallBacks);
  if (!presets) return coreFoundationUnknownErr;
  for (int i = 0; i < NPresets(); ++i) {
    CFStringRef name = NewString(GetPresetName(i));
    CFAUPresetRef preset = CFAUPresetCreate(kCFAllocatorDefault, i, name);
    if (preset) {
      CFArrayAppendValue(presets, preset);
      CFAUPresetRelease(preset);
    }
    CFRelease(name);
  }
  *out = presets;
  return noErr;
}

OSStatus IPluginAU::GetElementName(AudioUnitScope scope, AudioUnitElement elem, CFStringRef* out) {
  switch (scope) {
    case kAudioUnitScope_Output:
      if (elem >= static_cast<UInt32>(NOutBuses())) return kAudioUnitErr_InvalidElement;
      *out = NewString(GetOutputBusLabel(static_cast<int>(elem)));
      return noErr;
    case kAudioUnitScope_Input:
      if (elem > 1) return kAudioUnitErr_InvalidElement;
      *out = NewString(GetInputBusLabel(static_cast<int>(elem)));
      return noErr;
    case kAudioUnitScope_Global:
      return kAudioUnitErr_InvalidScope;
    default:
      return kAudioUnitErr_InvalidProperty;
  }
}

OSStatus IPluginAU::GetCocoaUI(AudioUnitCocoaViewInfo* out) {
  CFStringRef bundleID = NewString(GetBundleID());
  CFBundleRef bundle = CFBundleGetBundleWithIdentifier(bundleID);
  CFRelease(bundleID);
  CFURLRef url = bundle ? CFBundleCopyBundleURL(bundle) : nullptr;
  if (!url) return kAudioUnitErr_InvalidProperty;
  AudioUnitCocoaViewInfo info = {url, {NewString(GetCocoaViewFactoryClassName())}};
  Put(out, info);
  return noErr;
}

OSStatus IPluginAU::GetStringFromValue(AudioUnitParameterStringFromValue* io) {
  const IParam* param =
      io->inParamID < 0x80000000u ? GetParam(static_cast<int>(io->inParamID)) : nullptr;
  if (!param) return kAudioUnitErr_InvalidParameter;
  // A null value pointer asks for the current value.
  double value = io->inValue ? static_cast<double>(*io->inValue) : param->GetValue();
  param->GetDisplayForHost(value, false, mParamValueString);
  io->outString = NewString(mParamValueString);
  return noErr;
}

OSStatus IPluginAU::GetValueFromString(AudioUnitParameterValueFromString* io) {
  const IParam* param =
      io->inParamID < 0x80000000u ? GetParam(static_cast<int>(io->inParamID)) : nullptr;
  if (!param) return kAudioUnitErr_InvalidParameter;
  if (!io->inString) return kAudioUnitErr_InvalidPropertyValue;
  if (param->GetNDisplayTexts() > 0) {
    char text[MAX_PARAM_DISPLAY_LEN];
    int value = 0;
    if (!CFStringGetCString(io->inString, text, sizeof text, kCFStringEncodingUTF8) ||
        !param->MapDisplayText(text, &value))
      return kAudioUnitErr_InvalidPropertyValue;
    io->outValue = static_cast<AudioUnitParameterValue>(value);
    return noErr;
  }
  double value = CFStringGetDoubleValue(io->inString);
  if (param->GetNegateDisplay()) value = -value;
  io->outValue = static_cast<AudioUnitParameterValue>(value);
  return noErr;
}

OSStatus IPluginAU::GetNameProperty(AudioUnitPropertyID id, AudioUnitScope scope,
                                    AudioUnitParameterNameInfo* info) {
  if (!IsGlobal(scope)) return kAudioUnitErr_InvalidScope;
  const char* name = nullptr;
  if (id == kAudioUnitProperty_ParameterIDName) {
    const IParam* param =
        info->inID < 0x80000000u ? GetParam(static_cast<int>(info->inID)) : nullptr;
    if (!param) return kAudioUnitErr_InvalidParameter;
    name = param->GetNameForHost();
  } else {
    // Clump ids count the plug-in's parameter groups from 1.
    if (info->inID < 1 || info->inID > static_cast<UInt32>(mParamGroups.GetSize()))
      return kAudioUnitErr_PropertyNotInUse;
    info->outName = NewString(mParamGroups.Get(static_cast<int>(info->inID) - 1));
    return noErr;
  }
  char text[MAX_PARAM_NAME_LEN];
  int maxLen = MAX_PARAM_NAME_LEN - 1;
  if (info->inDesiredLength != kAudioUnitParameterName_Full && info->inDesiredLength >= 0 &&
      info->inDesiredLength < maxLen)
    maxLen = info->inDesiredLength;
  CopyBounded(text, name, maxLen + 1);
  info->outName = NewString(text);
  return noErr;
}
