// A unit's own saved state, changed by the fuzzer's bytes (keys removed or given
// numbers, strings or data of its choosing), restored through the ClassInfo
// property.  Whatever the host hands over, the unit answers with success or
// kAudioUnitErr_InvalidPropertyValue, keeps every parameter in range and renders
// finite audio afterwards.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "AudioUnit.h"
#include "IPluginAU.h"
#include "VantroseComponent.h"

namespace {

void Require(bool ok) {
  if (!ok) std::abort();
}

const char* const kKeys[] = {"version", "type", "subtype", "manufacturer", "name", "data", "x"};

// Reads n bytes from the input, or fewer at its end.
struct Input {
  const uint8_t* data;
  size_t size, pos = 0;
  size_t Take(size_t n, const uint8_t** out) {
    n = n < size - pos ? n : size - pos;
    *out = data + pos;
    pos += n;
    return n;
  }
  uint8_t Byte() {
    const uint8_t* p;
    return Take(1, &p) ? *p : 0;
  }
};

CFTypeRef MakeValue(uint8_t kind, Input& in) {
  const uint8_t* p = nullptr;
  switch (kind % 3) {
    case 0: {
      SInt32 v = 0;
      size_t n = in.Take(4, &p);
      std::memcpy(&v, p, n);
      return CFNumberCreate(nullptr, kCFNumberSInt32Type, &v);
    }
    case 1: {
      size_t n = in.Take(in.Byte(), &p);
      char text[256];
      std::memcpy(text, p, n);
      text[n] = '\0';
      return CFStringCreateWithCString(nullptr, text, kCFStringEncodingUTF8);
    }
    default: {
      size_t len = in.Byte() | static_cast<size_t>(in.Byte()) << 8;
      size_t n = in.Take(len, &p);
      return CFDataCreate(nullptr, p, static_cast<CFIndex>(n));
    }
  }
}

void ApplyOps(CFMutableDictionaryRef dict, Input& in) {
  while (in.pos < in.size) {
    uint8_t op = in.Byte();
    CFStringRef key = CFSTR(kKeys[(op >> 2) % 7]);
    if ((op & 3) == 3) {
      CFDictionaryRemoveValue(dict, key);
      continue;
    }
    CFTypeRef value = MakeValue(op & 3, in);
    CFDictionarySetValue(dict, key, value);
    CFRelease(value);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1 << 20)) return 0;
  AudioUnit unit = nullptr;
  Require(AudioComponentInstanceNew(VantroseComponent::RegisterFactory(), &unit) == noErr);

  CFPropertyListRef saved = nullptr;
  UInt32 propSize = sizeof saved;
  Require(AudioUnitGetProperty(unit, kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0,
                               &saved, &propSize) == noErr);
  CFMutableDictionaryRef dict = CFDictionaryCreateMutable(nullptr, 0, nullptr, nullptr);
  for (const char* k : kKeys) {
    CFTypeRef v = CFDictionaryGetValue(static_cast<CFDictionaryRef>(saved), CFSTR(k));
    if (v) CFDictionarySetValue(dict, CFSTR(k), v);
  }
  CFRelease(saved);
  Input in{data, size};
  ApplyOps(dict, in);

  CFPropertyListRef state = dict;
  OSStatus status = AudioUnitSetProperty(unit, kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global,
                                         0, &state, sizeof state);
  Require(status == noErr || status == kAudioUnitErr_InvalidPropertyValue);
  CFRelease(dict);

  IPluginAU* plug = nullptr;
  propSize = sizeof plug;
  AudioUnitGetProperty(unit, kIPlugObjectPropertyID, kAudioUnitScope_Global, 0, &plug, &propSize);
  for (int i = 0; i < plug->NParams(); ++i) {
    double v = plug->GetParam(i)->GetValue();
    Require(!std::isnan(v) && v >= plug->GetParam(i)->GetMin() && v <= plug->GetParam(i)->GetMax());
  }

  // One block of a sine through the restored unit: finite output.
  Require(AudioUnitInitialize(unit) == noErr);
  float left[64], right[64];
  unsigned char storage[sizeof(AudioBufferList) + sizeof(AudioBuffer)];
  AudioBufferList* list = reinterpret_cast<AudioBufferList*>(storage);
  list->mNumberBuffers = 2;
  list->mBuffers[0] = {1, sizeof left, left};
  list->mBuffers[1] = {1, sizeof right, right};
  AURenderCallbackStruct input = {[](void*, AudioUnitRenderActionFlags*, const AudioTimeStamp*,
                                     UInt32, UInt32 n, AudioBufferList* io) -> OSStatus {
                                    for (UInt32 c = 0; c < io->mNumberBuffers; ++c)
                                      for (UInt32 s = 0; s < n; ++s)
                                        static_cast<float*>(io->mBuffers[c].mData)[s] =
                                            0.5f * std::sin(0.1f * s);
                                    return noErr;
                                  },
                                  nullptr};
  AudioUnitSetProperty(unit, kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input, 0, &input,
                       sizeof input);
  AudioTimeStamp ts = {};
  ts.mFlags = kAudioTimeStampSampleTimeValid;
  Require(AudioUnitRender(unit, nullptr, &ts, 0, 64, list) == noErr);
  for (int s = 0; s < 64; ++s)
    Require(std::isfinite(left[s]) && std::isfinite(right[s]));
  AudioComponentInstanceDispose(unit);
  return 0;
}
