#pragma once

// The part of Core Foundation that the Audio Unit wrapper and the host-side tools
// use: reference-counted strings, numbers, data, dictionaries, arrays, URLs and
// bundles.  Objects start with a retain count of 1; CFRelease frees at 0.

#include <cstddef>
#include <cstdint>

typedef unsigned char Boolean;
typedef uint8_t UInt8;
typedef int8_t SInt8;
typedef uint16_t UInt16;
typedef int16_t SInt16;
typedef uint32_t UInt32;
typedef int32_t SInt32;
typedef uint64_t UInt64;
typedef int64_t SInt64;
typedef float Float32;
typedef double Float64;
typedef SInt32 OSStatus;
typedef SInt16 OSErr;
typedef UInt32 OSType;

typedef long CFIndex;
typedef unsigned long CFTypeID;
typedef unsigned long CFOptionFlags;
typedef UInt32 CFStringEncoding;
typedef const void* CFTypeRef;
typedef CFTypeRef CFPropertyListRef;
typedef const struct CFStringImpl* CFStringRef;
typedef const struct CFNumberImpl* CFNumberRef;
typedef const struct CFDataImpl* CFDataRef;
typedef const struct CFDictionaryImpl* CFDictionaryRef;
typedef struct CFDictionaryImpl* CFMutableDictionaryRef;
typedef const struct CFArrayImpl* CFArrayRef;
typedef struct CFArrayImpl* CFMutableArrayRef;
typedef const struct CFURLImpl* CFURLRef;
typedef struct CFBundleImpl* CFBundleRef;
typedef const struct CFAllocatorImpl* CFAllocatorRef;

enum { noErr = 0, paramErr = -50, memFullErr = -108, coreFoundationUnknownErr = -4960 };

// ---- Allocators ----
// The default allocator uses the C heap; kCFAllocatorNull allocates nothing.
extern const CFAllocatorRef kCFAllocatorDefault;
extern const CFAllocatorRef kCFAllocatorNull;
void* CFAllocatorAllocate(CFAllocatorRef allocator, CFIndex size, CFOptionFlags hint);
void CFAllocatorDeallocate(CFAllocatorRef allocator, void* ptr);

// ---- Any object ----
CFTypeRef CFRetain(CFTypeRef cf);
void CFRelease(CFTypeRef cf);
CFIndex CFGetRetainCount(CFTypeRef cf);
CFTypeID CFGetTypeID(CFTypeRef cf);
Boolean CFEqual(CFTypeRef a, CFTypeRef b);
CFStringRef CFCopyDescription(CFTypeRef cf);

// ---- Strings ----
enum : CFStringEncoding {
  kCFStringEncodingMacRoman = 0,
  kCFStringEncodingASCII = 0x0600,
  kCFStringEncodingUTF8 = 0x08000100
};
CFTypeID CFStringGetTypeID();
CFStringRef CFStringCreateWithCString(CFAllocatorRef alloc, const char* cStr,
                                      CFStringEncoding encoding);
// Supports %d, %i, %u, %s, %f and %@ (an object's description).
CFStringRef CFStringCreateWithFormat(CFAllocatorRef alloc, CFTypeRef formatOptions,
                                     CFStringRef format, ...);
CFIndex CFStringGetLength(CFStringRef str);
// Copies the text with its terminating zero; false when it does not fit in bufferSize.
Boolean CFStringGetCString(CFStringRef str, char* buffer, CFIndex bufferSize,
                           CFStringEncoding encoding);
const char* CFStringGetCStringPtr(CFStringRef str, CFStringEncoding encoding);
// The leading decimal number of the text, 0 when there is none.
double CFStringGetDoubleValue(CFStringRef str);
// A constant, never-freed string for a literal.
CFStringRef CFStringMakeConstantString(const char* cStr);
#define CFSTR(s) CFStringMakeConstantString(s)

// ---- Numbers ----
typedef CFIndex CFNumberType;
enum : CFIndex {
  kCFNumberSInt8Type = 1,
  kCFNumberSInt16Type = 2,
  kCFNumberSInt32Type = 3,
  kCFNumberSInt64Type = 4,
  kCFNumberFloat32Type = 5,
  kCFNumberFloat64Type = 6,
  kCFNumberIntType = 9,
  kCFNumberDoubleType = 13
};
CFTypeID CFNumberGetTypeID();
CFNumberRef CFNumberCreate(CFAllocatorRef alloc, CFNumberType type, const void* valuePtr);
// Converts to the asked type; false (value still written) when the conversion lost information.
Boolean CFNumberGetValue(CFNumberRef number, CFNumberType type, void* valuePtr);

// ---- Data ----
CFTypeID CFDataGetTypeID();
CFDataRef CFDataCreate(CFAllocatorRef alloc, const UInt8* bytes, CFIndex length);
CFIndex CFDataGetLength(CFDataRef data);
const UInt8* CFDataGetBytePtr(CFDataRef data);

// ---- Dictionaries (keys compared with CFEqual, keys and values retained) ----
struct CFDictionaryKeyCallBacks {
  CFIndex version;
  const void* (*retain)(CFAllocatorRef, const void*);
  void (*release)(CFAllocatorRef, const void*);
  CFStringRef (*copyDescription)(const void*);
  Boolean (*equal)(const void*, const void*);
  CFIndex (*hash)(const void*);
};
struct CFDictionaryValueCallBacks {
  CFIndex version;
  const void* (*retain)(CFAllocatorRef, const void*);
  void (*release)(CFAllocatorRef, const void*);
  CFStringRef (*copyDescription)(const void*);
  Boolean (*equal)(const void*, const void*);
};
extern const CFDictionaryKeyCallBacks kCFTypeDictionaryKeyCallBacks;
extern const CFDictionaryValueCallBacks kCFTypeDictionaryValueCallBacks;
CFTypeID CFDictionaryGetTypeID();
CFDictionaryRef CFDictionaryCreate(CFAllocatorRef alloc, const void** keys, const void** values,
                                   CFIndex count, const CFDictionaryKeyCallBacks* keyCallBacks,
                                   const CFDictionaryValueCallBacks* valueCallBacks);
CFMutableDictionaryRef CFDictionaryCreateMutable(CFAllocatorRef alloc, CFIndex capacity,
                                                 const CFDictionaryKeyCallBacks* keyCallBacks,
                                                 const CFDictionaryValueCallBacks* valueCallBacks);
CFIndex CFDictionaryGetCount(CFDictionaryRef dict);
const void* CFDictionaryGetValue(CFDictionaryRef dict, const void* key);
Boolean CFDictionaryGetValueIfPresent(CFDictionaryRef dict, const void* key, const void** value);
void CFDictionarySetValue(CFMutableDictionaryRef dict, const void* key, const void* value);
void CFDictionaryRemoveValue(CFMutableDictionaryRef dict, const void* key);

// ---- Arrays: element retain, release, description and equality come from the callbacks ----
struct CFArrayCallBacks {
  CFIndex version;
  const void* (*retain)(CFAllocatorRef, const void*);
  void (*release)(CFAllocatorRef, const void*);
  CFStringRef (*copyDescription)(const void*);
  Boolean (*equal)(const void*, const void*);
};
extern const CFArrayCallBacks kCFTypeArrayCallBacks;
CFTypeID CFArrayGetTypeID();
CFArrayRef CFArrayCreate(CFAllocatorRef alloc, const void** values, CFIndex count,
                         const CFArrayCallBacks* callBacks);
CFMutableArrayRef CFArrayCreateMutable(CFAllocatorRef alloc, CFIndex capacity,
                                       const CFArrayCallBacks* callBacks);
void CFArrayAppendValue(CFMutableArrayRef array, const void* value);
CFIndex CFArrayGetCount(CFArrayRef array);
const void* CFArrayGetValueAtIndex(CFArrayRef array, CFIndex idx);

// ---- URLs and bundles ----
enum { kCFURLPOSIXPathStyle = 0 };
CFTypeID CFURLGetTypeID();
CFURLRef CFURLCreateWithFileSystemPath(CFAllocatorRef alloc, CFStringRef path, CFIndex pathStyle,
                                       Boolean isDirectory);
CFStringRef CFURLCopyFileSystemPath(CFURLRef url, CFIndex pathStyle);

// Bundles are owned by the system and live for the whole process.
CFBundleRef CFBundleGetMainBundle();
CFBundleRef CFBundleGetBundleWithIdentifier(CFStringRef bundleID);
CFStringRef CFBundleGetIdentifier(CFBundleRef bundle);
CFURLRef CFBundleCopyBundleURL(CFBundleRef bundle);

// What the system loader would otherwise provide: the running application's
// bundle identifier, the loaded bundles, and a count of live objects for leak checks.
namespace cfstandin {
void SetMainBundleIdentifier(const char* identifier);
void RegisterBundle(const char* identifier, const char* path);
long LiveObjectCount();
}  // namespace cfstandin
