// The class-info dictionary: the identity of the running component, the current
// preset's name and the state chunk under "data".
#include <cmath>
#include <cstring>

#include "IPluginAU.h"
#include "au-utilities.h"

namespace {

OSStatus RunningDescription(AudioComponentInstance ci, AudioComponentDescription* desc) {
  return AudioComponentGetDescription(AudioComponentInstanceGetComponent(ci), desc);
}

}  // namespace

OSStatus IPluginAU::GetState(CFPropertyListRef* out) {
  AudioComponentDescription desc;
  OSStatus status = RunningDescription(mCI, &desc);
  if (status != noErr) return status;
  CFMutableDictionaryRef dict = CFDictionaryCreateMutable(
      kCFAllocatorDefault, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
  if (!dict) return coreFoundationUnknownErr;
  SInt32 version = GetEffectVersion(false);
  SInt32 type = static_cast<SInt32>(desc.componentType);
  SInt32 subtype = static_cast<SInt32>(desc.componentSubType);
  SInt32 mfr = static_cast<SInt32>(desc.componentManufacturer);
  PutNumberInDict(dict, "version", &version, kCFNumberSInt32Type);
  PutNumberInDict(dict, "type", &type, kCFNumberSInt32Type);
  PutNumberInDict(dict, "subtype", &subtype, kCFNumberSInt32Type);
  PutNumberInDict(dict, "manufacturer", &mfr, kCFNumberSInt32Type);
  PutStrInDict(dict, "name", GetPresetName(GetCurrentPresetIdx()));
  ByteChunk chunk;
  if (SerializeState(&chunk)) PutDataInDict(dict, "data", &chunk);
  *out = dict;
  return noErr;
}

// Every value a restore would read must be a number: one NaN would silence the
// effect for good.
bool IPluginAU::StateValuesAreFinite(const ByteChunk& chunk) const {
  for (int i = 0, pos = 0; i < NParams(); ++i) {
    double v;
    pos = chunk.Read(&v, pos);
    if (pos < 0) break;
    if (std::isnan(v)) return false;
  }
  return true;
}

// The identity is checked before anything changes; the named preset is restored
// before the data is read, so a dictionary without usable data still selects it.
OSStatus IPluginAU::SetState(CFPropertyListRef plist) {
  AudioComponentDescription desc;
  OSStatus status = RunningDescription(mCI, &desc);
  if (status != noErr) return status;
  if (!plist || CFGetTypeID(plist) != CFDictionaryGetTypeID())
    return kAudioUnitErr_InvalidPropertyValue;
  CFDictionaryRef dict = static_cast<CFDictionaryRef>(plist);

  SInt32 version, type, subtype, mfr;
  char name[MAX_PRESET_NAME_LEN];
  CFStringRef nameKey = CFSTR("name");
  CFTypeRef nameValue = CFDictionaryGetValue(dict, nameKey);
  if (!GetNumberFromDict(dict, "version", &version) || !GetNumberFromDict(dict, "type", &type) ||
      !GetNumberFromDict(dict, "subtype", &subtype) ||
      !GetNumberFromDict(dict, "manufacturer", &mfr) || !nameValue ||
      CFGetTypeID(nameValue) != CFStringGetTypeID())
    return kAudioUnitErr_InvalidPropertyValue;
  if (static_cast<OSType>(type) != desc.componentType ||
      static_cast<OSType>(subtype) != desc.componentSubType ||
      static_cast<OSType>(mfr) != desc.componentManufacturer)
    return kAudioUnitErr_InvalidPropertyValue;
  // A name too long for any preset cannot select one.
  if (!GetStrFromDict(dict, "name", name, sizeof name)) name[0] = '\0';

  RestorePreset(name);

  ByteChunk chunk;
  if (!GetDataFromDict(dict, "data", &chunk)) return kAudioUnitErr_InvalidPropertyValue;
  if (chunk.Size() < static_cast<int>(sizeof(double)) || !StateValuesAreFinite(chunk))
    return kAudioUnitErr_InvalidPropertyValue;
  if (UnserializeState(&chunk, 0) == 0) return kAudioUnitErr_InvalidPropertyValue;
  RedrawParamControls();
  return noErr;
}
