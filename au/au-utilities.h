#pragma once

// Factory-preset records for the host's preset array, and helpers that put
// values into and take them out of a state dictionary under C-string keys.

#include "AudioUnit.h"
#include "ByteChunk.h"

// A reference-counted factory preset, allocated with a Core Foundation allocator.
struct CFAUPreset {
  AUPreset auPreset;
  CFAllocatorRef allocator;
  CFIndex retainCount;
};
typedef CFAUPreset* CFAUPresetRef;

// Null when allocation fails; the name is retained.
CFAUPresetRef CFAUPresetCreate(CFAllocatorRef allocator, SInt32 presetNumber,
                               CFStringRef presetName);
CFAUPresetRef CFAUPresetRetain(void* preset);
void CFAUPresetRelease(void* preset);

// Array callbacks: retain, release, description and equality of CFAUPreset records.
extern const CFArrayCallBacks kCFAUPresetArrayCallBacks;

// Each stores one value under a key made from a zero-terminated string.
void PutNumberInDict(CFMutableDictionaryRef dict, const char* key, void* number, CFNumberType type);
void PutStrInDict(CFMutableDictionaryRef dict, const char* key, const char* text);
void PutDataInDict(CFMutableDictionaryRef dict, const char* key, ByteChunk* chunk);

// Copies the string into out (outSize chars with the zero); false and "" when the
// key is absent, not a string, or the text does not fit.
bool GetStrFromDict(CFDictionaryRef dict, const char* key, char* out, int outSize);
// Resizes chunk to the data's length and copies it; false when absent or not data.
bool GetDataFromDict(CFDictionaryRef dict, const char* key, ByteChunk* chunk);
// Reads a signed 32-bit number; false when absent or not a number.
bool GetNumberFromDict(CFDictionaryRef dict, const char* key, SInt32* value);
