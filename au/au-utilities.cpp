#include "au-utilities.h"

#include <cstring>

CFAUPresetRef CFAUPresetCreate(CFAllocatorRef allocator, SInt32 presetNumber,
                               CFStringRef presetName) {
  void* mem = CFAllocatorAllocate(allocator, sizeof(CFAUPreset), 0);
  if (!mem) return nullptr;
  CFAUPreset* preset = static_cast<CFAUPreset*>(mem);
  preset->auPreset.presetNumber = presetNumber;
  preset->auPreset.presetName =
      presetName ? static_cast<CFStringRef>(CFRetain(presetName)) : nullptr;
  preset->allocator = allocator;
  preset->retainCount = 1;
  return preset;
}

CFAUPresetRef CFAUPresetRetain(void* p) {
  CFAUPreset* preset = static_cast<CFAUPreset*>(p);
  if (!preset) return nullptr;
  if (preset->auPreset.presetName) CFRetain(preset->auPreset.presetName);
  ++preset->retainCount;
  return preset;
}

// Each release drops one reference of the name; the last one frees the record.
void CFAUPresetRelease(void* p) {
  CFAUPreset* preset = static_cast<CFAUPreset*>(p);
  if (!preset || preset->retainCount <= 0) return;
  if (preset->auPreset.presetName) CFRelease(preset->auPreset.presetName);
  if (preset->retainCount == 1) {
    CFAllocatorRef allocator = preset->allocator;
    std::memset(preset, 0, sizeof(CFAUPreset));
    CFAllocatorDeallocate(allocator, preset);
    return;
  }
  --preset->retainCount;
}

namespace {
const void* PresetArrayRetain(CFAllocatorRef, const void* p) {
  return CFAUPresetRetain(const_cast<void*>(p));
}
void PresetArrayRelease(CFAllocatorRef, const void* p) {
  CFAUPresetRelease(const_cast<void*>(p));
}
CFStringRef PresetArrayDescription(const void* p) {
  const CFAUPreset* preset = static_cast<const CFAUPreset*>(p);
  return CFStringCreateWithFormat(
      kCFAllocatorDefault, nullptr, CFSTR("AUPreset:\npreset number = %d\npreset name = %@"),
      static_cast<int>(preset->auPreset.presetNumber), preset->auPreset.presetName);
}
Boolean PresetArrayEqual(const void* a, const void* b) {
  const CFAUPreset* x = static_cast<const CFAUPreset*>(a);
  const CFAUPreset* y = static_cast<const CFAUPreset*>(b);
  return x->auPreset.presetNumber == y->auPreset.presetNumber &&
         CFEqual(x->auPreset.presetName, y->auPreset.presetName);
}

// A key from a zero-terminated string; the caller releases it.
CFStringRef MakeKey(const char* key) {
  return CFStringCreateWithCString(kCFAllocatorDefault, key, kCFStringEncodingUTF8);
}

// The value under key when it is of the given type, else null.
CFTypeRef GetTyped(CFDictionaryRef dict, const char* key, CFTypeID type) {
  CFStringRef k = MakeKey(key);
  CFTypeRef value = k ? CFDictionaryGetValue(dict, k) : nullptr;
  CFRelease(k);
  return value && CFGetTypeID(value) == type ? value : nullptr;
}

// Stores value under key and drops the caller's reference to it.
void PutAndRelease(CFMutableDictionaryRef dict, const char* key, CFTypeRef value) {
  CFStringRef k = MakeKey(key);
  if (k && value) CFDictionarySetValue(dict, k, value);
  CFRelease(k);
  CFRelease(value);
}
}  // namespace

const CFArrayCallBacks kCFAUPresetArrayCallBacks = {0, PresetArrayRetain, PresetArrayRelease,
                                                    PresetArrayDescription, PresetArrayEqual};

void PutNumberInDict(CFMutableDictionaryRef dict, const char* key, void* number,
                     CFNumberType type) {
  PutAndRelease(dict, key, CFNumberCreate(kCFAllocatorDefault, type, number));
}

void PutStrInDict(CFMutableDictionaryRef dict, const char* key, const char* text) {
  PutAndRelease(dict, key,
                CFStringCreateWithCString(kCFAllocatorDefault, text, kCFStringEncodingUTF8));
}

void PutDataInDict(CFMutableDictionaryRef dict, const char* key, ByteChunk* chunk) {
  PutAndRelease(dict, key, CFDataCreate(kCFAllocatorDefault, chunk->GetBytes(), chunk->Size()));
}

bool GetStrFromDict(CFDictionaryRef dict, const char* key, char* out, int outSize) {
  if (outSize <= 0) return false;
  out[0] = '\0';
  CFStringRef str = static_cast<CFStringRef>(GetTyped(dict, key, CFStringGetTypeID()));
  if (!str) return false;
  if (!CFStringGetCString(str, out, outSize, kCFStringEncodingUTF8)) {
    out[0] = '\0';
    return false;
  }
  return true;
}

bool GetDataFromDict(CFDictionaryRef dict, const char* key, ByteChunk* chunk) {
  CFDataRef data = static_cast<CFDataRef>(GetTyped(dict, key, CFDataGetTypeID()));
  if (!data || CFDataGetLength(data) > 0x7FFFFFFF) return false;
  int n = static_cast<int>(CFDataGetLength(data));
  if (chunk->Resize(n) != n) return false;
  if (n > 0) std::memcpy(chunk->GetBytes(), CFDataGetBytePtr(data), static_cast<size_t>(n));
  return true;
}

bool GetNumberFromDict(CFDictionaryRef dict, const char* key, SInt32* value) {
  CFNumberRef number = static_cast<CFNumberRef>(GetTyped(dict, key, CFNumberGetTypeID()));
  return number && CFNumberGetValue(number, kCFNumberSInt32Type, value);
}
