#pragma once

// The component registry: components are registered with a description and
// either a factory (the audio-component route) or a selector entry (the older
// Component Manager route); instances carry their storage.  Also Gestalt.

#include <cstring>
#include <type_traits>

#include "CoreFoundation.h"

typedef struct OpaqueAudioComponent* AudioComponent;
typedef struct ComponentInstanceRecord* AudioComponentInstance;
typedef AudioComponentInstance ComponentInstance;
typedef AudioComponent Component;
typedef SInt32 ComponentResult;

struct AudioComponentDescription {
  OSType componentType;
  OSType componentSubType;
  OSType componentManufacturer;
  UInt32 componentFlags;
  UInt32 componentFlagsMask;
};
static_assert(sizeof(AudioComponentDescription) == 20, "platform layout");
typedef AudioComponentDescription ComponentDescription;

// One selector call of the older route: the selector in `what`, then the call's
// arguments in call order, each widened to one long (floats keep their bits).
struct ComponentParameters {
  UInt8 flags;
  UInt8 paramSize;
  SInt16 what;
  UInt32 padding;
  long params[8];
};

// Slot conversions shared by the caller that packs a call and the entry that unpacks it.
template <class T>
long ToComponentParam(T value) {
  if constexpr (std::is_pointer_v<T>) {
    return reinterpret_cast<long>(value);
  } else if constexpr (std::is_floating_point_v<T>) {
    static_assert(sizeof(T) <= sizeof(long), "slot size");
    long slot = 0;
    std::memcpy(&slot, &value, sizeof value);
    return slot;
  } else {
    return static_cast<long>(value);
  }
}
template <class T>
T FromComponentParam(const ComponentParameters* params, int i) {
  long slot = params->params[i];
  if constexpr (std::is_pointer_v<T>) {
    return reinterpret_cast<T>(slot);
  } else if constexpr (std::is_floating_point_v<T>) {
    T value;
    std::memcpy(&value, &slot, sizeof value);
    return value;
  } else {
    return static_cast<T>(slot);
  }
}

typedef ComponentResult (*ComponentRoutine)(ComponentParameters* params, void* storage);

enum {
  kComponentOpenSelect = -1,
  kComponentCloseSelect = -2,
  kComponentCanDoSelect = -3,
  kComponentVersionSelect = -4
};

enum : OSStatus {
  badComponentInstance = static_cast<OSStatus>(0x80008001u),
  badComponentSelector = static_cast<OSStatus>(0x80008002u)
};

// Registers an entry-route component; the name is copied.
AudioComponent RegisterComponentEntry(const ComponentDescription* desc, ComponentRoutine entry,
                                      const char* name, UInt32 version);
void SetComponentInstanceStorage(ComponentInstance instance, void* storage);
void* GetComponentInstanceStorage(ComponentInstance instance);

enum : OSType { gestaltSystemVersion = 0x73797376 };  // 'sysv'
// The system version as 0xMMmp (this stand-in reports 10.9.0).
OSErr Gestalt(OSType selector, SInt32* response);
