// Reference-counted objects behind the Core Foundation calls.  Every object
// derives from CFObject; a constant string is immortal (its count never drops).
#include "CoreFoundation.h"

#include <atomic>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <map>
#include <mutex>
#include <new>
#include <string>
#include <utility>
#include <vector>

namespace {

enum ETypeID : CFTypeID {
  kStringTypeID = 7,
  kNumberTypeID = 22,
  kDataTypeID = 20,
  kDictionaryTypeID = 18,
  kArrayTypeID = 19,
  kURLTypeID = 29,
  kBundleTypeID = 31
};

std::atomic<long> gLiveObjects{0};

}  // namespace

struct CFObject {
  explicit CFObject(CFTypeID type) : mType(type) { ++gLiveObjects; }
  virtual ~CFObject() { --gLiveObjects; }
  CFTypeID mType;
  std::atomic<long> mRefs{1};
  bool mImmortal = false;
};

struct CFStringImpl : CFObject {
  explicit CFStringImpl(std::string s) : CFObject(kStringTypeID), mText(std::move(s)) {}
  std::string mText;
};

struct CFNumberImpl : CFObject {
  CFNumberImpl() : CFObject(kNumberTypeID) {}
  bool mIsFloat = false;
  SInt64 mInt = 0;
  double mFloat = 0.0;
};

struct CFDataImpl : CFObject {
  CFDataImpl(const UInt8* bytes, CFIndex n) : CFObject(kDataTypeID), mBytes(bytes, bytes + n) {}
  std::vector<UInt8> mBytes;
};

struct CFDictionaryImpl : CFObject {
  CFDictionaryImpl() : CFObject(kDictionaryTypeID) {}
  ~CFDictionaryImpl() override {
    for (auto& kv : mEntries) {
      CFRelease(kv.first);
      CFRelease(kv.second);
    }
  }
  std::vector<std::pair<CFTypeRef, CFTypeRef>> mEntries;
};

struct CFArrayImpl : CFObject {
  CFArrayImpl(CFAllocatorRef alloc, const CFArrayCallBacks* cb)
      : CFObject(kArrayTypeID), mAlloc(alloc) {
    if (cb) mCallBacks = *cb;
  }
  ~CFArrayImpl() override {
    if (!mCallBacks.release) return;
    for (const void* v : mValues)
      mCallBacks.release(mAlloc, v);
  }
  CFAllocatorRef mAlloc;
  CFArrayCallBacks mCallBacks = {0, nullptr, nullptr, nullptr, nullptr};
  std::vector<const void*> mValues;
};

struct CFURLImpl : CFObject {
  explicit CFURLImpl(std::string path) : CFObject(kURLTypeID), mPath(std::move(path)) {}
  std::string mPath;
};

struct CFBundleImpl : CFObject {
  CFBundleImpl(std::string id, std::string path)
      : CFObject(kBundleTypeID), mIdentifier(std::move(id)), mPath(std::move(path)) {
    mImmortal = true;
  }
  std::string mIdentifier;
  std::string mPath;
};

struct CFAllocatorImpl {
  bool mAllocates;
};

namespace {
const CFAllocatorImpl kNullAllocatorImpl = {false};

const CFObject* Obj(CFTypeRef cf) {
  return static_cast<const CFObject*>(cf);
}
CFObject* MutObj(CFTypeRef cf) {
  return const_cast<CFObject*>(Obj(cf));
}

template <class T>
const T* As(CFTypeRef cf, CFTypeID type) {
  return cf && Obj(cf)->mType == type ? static_cast<const T*>(Obj(cf)) : nullptr;
}

const void* RetainCallBack(CFAllocatorRef, const void* v) {
  return CFRetain(v);
}
void ReleaseCallBack(CFAllocatorRef, const void* v) {
  CFRelease(v);
}
Boolean EqualCallBack(const void* a, const void* b) {
  return CFEqual(a, b);
}
}  // namespace

const CFAllocatorRef kCFAllocatorDefault = nullptr;
const CFAllocatorRef kCFAllocatorNull = &kNullAllocatorImpl;
const CFDictionaryKeyCallBacks kCFTypeDictionaryKeyCallBacks = {
    0, RetainCallBack, ReleaseCallBack, CFCopyDescription, EqualCallBack, nullptr};
const CFDictionaryValueCallBacks kCFTypeDictionaryValueCallBacks = {
    0, RetainCallBack, ReleaseCallBack, CFCopyDescription, EqualCallBack};
const CFArrayCallBacks kCFTypeArrayCallBacks = {0, RetainCallBack, ReleaseCallBack,
                                                CFCopyDescription, EqualCallBack};

void* CFAllocatorAllocate(CFAllocatorRef allocator, CFIndex size, CFOptionFlags) {
  if ((allocator && !allocator->mAllocates) || size <= 0) return nullptr;
  return std::malloc(static_cast<size_t>(size));
}

void CFAllocatorDeallocate(CFAllocatorRef allocator, void* ptr) {
  if (!allocator || allocator->mAllocates) std::free(ptr);
}

// ---- Any object ----

CFTypeRef CFRetain(CFTypeRef cf) {
  if (cf && !Obj(cf)->mImmortal) ++MutObj(cf)->mRefs;
  return cf;
}

void CFRelease(CFTypeRef cf) {
  if (!cf || Obj(cf)->mImmortal) return;
  if (--MutObj(cf)->mRefs == 0) delete MutObj(cf);
}

CFIndex CFGetRetainCount(CFTypeRef cf) {
  return cf ? Obj(cf)->mRefs.load() : 0;
}

CFTypeID CFGetTypeID(CFTypeRef cf) {
  return cf ? Obj(cf)->mType : 0;
}

Boolean CFEqual(CFTypeRef a, CFTypeRef b) {
  if (a == b) return true;
  if (!a || !b || CFGetTypeID(a) != CFGetTypeID(b)) return false;
  switch (CFGetTypeID(a)) {
    case kStringTypeID:
      return static_cast<const CFStringImpl*>(a)->mText ==
             static_cast<const CFStringImpl*>(b)->mText;
    case kDataTypeID:
      return static_cast<const CFDataImpl*>(a)->mBytes == static_cast<const CFDataImpl*>(b)->mBytes;
    case kNumberTypeID: {
      double x = 0.0, y = 0.0;
      CFNumberGetValue(static_cast<CFNumberRef>(a), kCFNumberFloat64Type, &x);
      CFNumberGetValue(static_cast<CFNumberRef>(b), kCFNumberFloat64Type, &y);
      return x == y;
    }
    default:
      return false;
  }
}

CFStringRef CFCopyDescription(CFTypeRef cf) {
  if (!cf) return nullptr;
  switch (CFGetTypeID(cf)) {
    case kStringTypeID:
      return static_cast<CFStringRef>(CFRetain(cf));
    case kNumberTypeID: {
      const CFNumberImpl* n = static_cast<const CFNumberImpl*>(cf);
      char text[64];
      if (n->mIsFloat)
        std::snprintf(text, sizeof text, "%g", n->mFloat);
      else
        std::snprintf(text, sizeof text, "%lld", static_cast<long long>(n->mInt));
      return CFStringCreateWithCString(nullptr, text, kCFStringEncodingUTF8);
    }
    case kArrayTypeID: {
      const CFArrayImpl* a = static_cast<const CFArrayImpl*>(cf);
      std::string text = "(";
      for (size_t i = 0; i < a->mValues.size(); ++i) {
        if (i) text += ", ";
        CFStringRef d =
            a->mCallBacks.copyDescription ? a->mCallBacks.copyDescription(a->mValues[i]) : nullptr;
        text += d ? d->mText : "?";
        CFRelease(d);
      }
      return CFStringCreateWithCString(nullptr, (text + ")").c_str(), kCFStringEncodingUTF8);
    }
    default:
      return CFStringCreateWithCString(nullptr, "<CFType>", kCFStringEncodingUTF8);
  }
}

// ---- Strings ----

CFTypeID CFStringGetTypeID() {
  return kStringTypeID;
}

CFStringRef CFStringCreateWithCString(CFAllocatorRef alloc, const char* cStr, CFStringEncoding) {
  if (!cStr || (alloc && !alloc->mAllocates)) return nullptr;
  return new (std::nothrow) CFStringImpl(cStr);
}

namespace {
void AppendFormatted(std::string& out, const char* conversion, va_list* args, char conv) {
  char piece[128];
  switch (conv) {
    case 'd':
    case 'i':
      std::snprintf(piece, sizeof piece, conversion, va_arg(*args, int));
      break;
    case 'u':
      std::snprintf(piece, sizeof piece, conversion, va_arg(*args, unsigned));
      break;
    case 'f':
      std::snprintf(piece, sizeof piece, conversion, va_arg(*args, double));
      break;
    case 's': {
      const char* s = va_arg(*args, const char*);
      out += s ? s : "(null)";
      return;
    }
    case '@': {
      CFStringRef d = CFCopyDescription(va_arg(*args, CFTypeRef));
      out += d ? d->mText : "(null)";
      CFRelease(d);
      return;
    }
    default:
      return;
  }
  out += piece;
}
}  // namespace

CFStringRef CFStringCreateWithFormat(CFAllocatorRef alloc, CFTypeRef, CFStringRef format, ...) {
  if (!format) return nullptr;
  const std::string& fmt = format->mText;
  std::string out;
  va_list args;
  va_start(args, format);
  for (size_t i = 0; i < fmt.size(); ++i) {
    if (fmt[i] != '%') {
      out += fmt[i];
      continue;
    }
    size_t j = i + 1;
    while (j < fmt.size() && std::strchr("0123456789.-+ ", fmt[j]))
      ++j;
    if (j >= fmt.size()) break;
    if (fmt[j] == '%') {
      out += '%';
    } else {
      AppendFormatted(out, fmt.substr(i, j - i + 1).c_str(), &args, fmt[j]);
    }
    i = j;
  }
  va_end(args);
  return CFStringCreateWithCString(alloc, out.c_str(), kCFStringEncodingUTF8);
}

CFIndex CFStringGetLength(CFStringRef str) {
  return str ? static_cast<CFIndex>(str->mText.size()) : 0;
}

Boolean CFStringGetCString(CFStringRef str, char* buffer, CFIndex bufferSize, CFStringEncoding) {
  if (!str || !buffer || bufferSize <= 0) return false;
  if (static_cast<CFIndex>(str->mText.size()) >= bufferSize) return false;
  std::memcpy(buffer, str->mText.c_str(), str->mText.size() + 1);
  return true;
}

const char* CFStringGetCStringPtr(CFStringRef str, CFStringEncoding) {
  return str ? str->mText.c_str() : nullptr;
}

double CFStringGetDoubleValue(CFStringRef str) {
  if (!str) return 0.0;
  return std::strtod(str->mText.c_str(), nullptr);
}

CFStringRef CFStringMakeConstantString(const char* cStr) {
  static std::mutex sMutex;
  static std::map<std::string, CFStringImpl*>* sTable = new std::map<std::string, CFStringImpl*>;
  std::lock_guard<std::mutex> lock(sMutex);
  auto it = sTable->find(cStr);
  if (it != sTable->end()) return it->second;
  CFStringImpl* s = new CFStringImpl(cStr);
  s->mImmortal = true;
  --gLiveObjects;  // constants are not counted as live objects
  (*sTable)[cStr] = s;
  return s;
}

// ---- Numbers ----

CFTypeID CFNumberGetTypeID() {
  return kNumberTypeID;
}

CFNumberRef CFNumberCreate(CFAllocatorRef alloc, CFNumberType type, const void* valuePtr) {
  if (!valuePtr || (alloc && !alloc->mAllocates)) return nullptr;
  CFNumberImpl* n = new (std::nothrow) CFNumberImpl();
  if (!n) return nullptr;
  switch (type) {
    case kCFNumberSInt8Type:
      n->mInt = *static_cast<const SInt8*>(valuePtr);
      break;
    case kCFNumberSInt16Type:
      n->mInt = *static_cast<const SInt16*>(valuePtr);
      break;
    case kCFNumberSInt32Type:
    case kCFNumberIntType:
      n->mInt = *static_cast<const SInt32*>(valuePtr);
      break;
    case kCFNumberSInt64Type:
      n->mInt = *static_cast<const SInt64*>(valuePtr);
      break;
    case kCFNumberFloat32Type:
      n->mIsFloat = true;
      n->mFloat = *static_cast<const Float32*>(valuePtr);
      break;
    case kCFNumberFloat64Type:
    case kCFNumberDoubleType:
      n->mIsFloat = true;
      n->mFloat = *static_cast<const Float64*>(valuePtr);
      break;
    default:
      delete n;
      return nullptr;
  }
  return n;
}

namespace {
// Converts a stored number to an integer type of the given range; false when lossy.
template <class T>
Boolean StoreInt(const CFNumberImpl* n, void* valuePtr) {
  double lo = static_cast<double>(std::numeric_limits<T>::min());
  double hi = static_cast<double>(std::numeric_limits<T>::max());
  T v;
  bool exact;
  if (n->mIsFloat) {
    double f = n->mFloat;
    bool inRange = f >= lo && f <= hi;  // false for NaN
    v = inRange ? static_cast<T>(f) : T(0);
    exact = inRange && static_cast<double>(v) == f;
  } else {
    bool inRange = n->mInt >= static_cast<SInt64>(std::numeric_limits<T>::min()) &&
                   n->mInt <= static_cast<SInt64>(std::numeric_limits<T>::max());
    v = static_cast<T>(n->mInt);
    exact = inRange;
  }
  std::memcpy(valuePtr, &v, sizeof v);
  return exact;
}
}  // namespace

Boolean CFNumberGetValue(CFNumberRef number, CFNumberType type, void* valuePtr) {
  if (!number || !valuePtr || number->mType != kNumberTypeID) return false;
  double f = number->mIsFloat ? number->mFloat : static_cast<double>(number->mInt);
  switch (type) {
    case kCFNumberSInt8Type:
      return StoreInt<SInt8>(number, valuePtr);
    case kCFNumberSInt16Type:
      return StoreInt<SInt16>(number, valuePtr);
    case kCFNumberSInt32Type:
    case kCFNumberIntType:
      return StoreInt<SInt32>(number, valuePtr);
    case kCFNumberSInt64Type:
      return StoreInt<SInt64>(number, valuePtr);
    case kCFNumberFloat32Type: {
      Float32 v = static_cast<Float32>(f);
      std::memcpy(valuePtr, &v, sizeof v);
      return static_cast<double>(v) == f || std::isnan(f);
    }
    case kCFNumberFloat64Type:
    case kCFNumberDoubleType:
      std::memcpy(valuePtr, &f, sizeof f);
      return true;
    default:
      return false;
  }
}

// ---- Data ----

CFTypeID CFDataGetTypeID() {
  return kDataTypeID;
}

CFDataRef CFDataCreate(CFAllocatorRef alloc, const UInt8* bytes, CFIndex length) {
  if (length < 0 || (length > 0 && !bytes) || (alloc && !alloc->mAllocates)) return nullptr;
  return new (std::nothrow) CFDataImpl(bytes, length);
}

CFIndex CFDataGetLength(CFDataRef data) {
  return data ? static_cast<CFIndex>(data->mBytes.size()) : 0;
}

const UInt8* CFDataGetBytePtr(CFDataRef data) {
  return data ? data->mBytes.data() : nullptr;
}

// ---- Dictionaries ----

CFTypeID CFDictionaryGetTypeID() {
  return kDictionaryTypeID;
}

CFDictionaryRef CFDictionaryCreate(CFAllocatorRef alloc, const void** keys, const void** values,
                                   CFIndex count, const CFDictionaryKeyCallBacks* kcb,
                                   const CFDictionaryValueCallBacks* vcb) {
  CFMutableDictionaryRef d = CFDictionaryCreateMutable(alloc, count, kcb, vcb);
  for (CFIndex i = 0; d && i < count; ++i)
    CFDictionarySetValue(d, keys[i], values[i]);
  return d;
}

CFMutableDictionaryRef CFDictionaryCreateMutable(CFAllocatorRef alloc, CFIndex,
                                                 const CFDictionaryKeyCallBacks*,
                                                 const CFDictionaryValueCallBacks*) {
  if (alloc && !alloc->mAllocates) return nullptr;
  return new (std::nothrow) CFDictionaryImpl();
}

CFIndex CFDictionaryGetCount(CFDictionaryRef dict) {
  const CFDictionaryImpl* d = As<CFDictionaryImpl>(dict, kDictionaryTypeID);
  return d ? static_cast<CFIndex>(d->mEntries.size()) : 0;
}

const void* CFDictionaryGetValue(CFDictionaryRef dict, const void* key) {
  const void* value = nullptr;
  CFDictionaryGetValueIfPresent(dict, key, &value);
  return value;
}

Boolean CFDictionaryGetValueIfPresent(CFDictionaryRef dict, const void* key, const void** value) {
  const CFDictionaryImpl* d = As<CFDictionaryImpl>(dict, kDictionaryTypeID);
  if (!d) return false;
  for (const auto& kv : d->mEntries) {
    if (CFEqual(kv.first, key)) {
      if (value) *value = kv.second;
      return true;
    }
  }
  return false;
}

void CFDictionarySetValue(CFMutableDictionaryRef dict, const void* key, const void* value) {
  if (!dict || dict->mType != kDictionaryTypeID || !key || !value) return;
  CFRetain(value);
  for (auto& kv : dict->mEntries) {
    if (CFEqual(kv.first, key)) {
      CFRelease(kv.second);
      kv.second = value;
      return;
    }
  }
  dict->mEntries.emplace_back(CFRetain(key), value);
}

void CFDictionaryRemoveValue(CFMutableDictionaryRef dict, const void* key) {
  if (!dict || dict->mType != kDictionaryTypeID) return;
  for (size_t i = 0; i < dict->mEntries.size(); ++i) {
    if (CFEqual(dict->mEntries[i].first, key)) {
      CFRelease(dict->mEntries[i].first);
      CFRelease(dict->mEntries[i].second);
      dict->mEntries.erase(dict->mEntries.begin() + static_cast<long>(i));
      return;
    }
  }
}

// ---- Arrays ----

CFTypeID CFArrayGetTypeID() {
  return kArrayTypeID;
}

CFArrayRef CFArrayCreate(CFAllocatorRef alloc, const void** values, CFIndex count,
                         const CFArrayCallBacks* callBacks) {
  CFMutableArrayRef a = CFArrayCreateMutable(alloc, count, callBacks);
  for (CFIndex i = 0; a && i < count; ++i)
    CFArrayAppendValue(a, values[i]);
  return a;
}

CFMutableArrayRef CFArrayCreateMutable(CFAllocatorRef alloc, CFIndex,
                                       const CFArrayCallBacks* callBacks) {
  if (alloc && !alloc->mAllocates) return nullptr;
  return new (std::nothrow) CFArrayImpl(alloc, callBacks);
}

void CFArrayAppendValue(CFMutableArrayRef array, const void* value) {
  if (!array || array->mType != kArrayTypeID) return;
  if (array->mCallBacks.retain) value = array->mCallBacks.retain(array->mAlloc, value);
  array->mValues.push_back(value);
}

CFIndex CFArrayGetCount(CFArrayRef array) {
  const CFArrayImpl* a = As<CFArrayImpl>(array, kArrayTypeID);
  return a ? static_cast<CFIndex>(a->mValues.size()) : 0;
}

const void* CFArrayGetValueAtIndex(CFArrayRef array, CFIndex idx) {
  const CFArrayImpl* a = As<CFArrayImpl>(array, kArrayTypeID);
  if (!a || idx < 0 || idx >= static_cast<CFIndex>(a->mValues.size())) return nullptr;
  return a->mValues[static_cast<size_t>(idx)];
}

// ---- URLs and bundles ----

CFTypeID CFURLGetTypeID() {
  return kURLTypeID;
}

CFURLRef CFURLCreateWithFileSystemPath(CFAllocatorRef alloc, CFStringRef path, CFIndex, Boolean) {
  if (!path || (alloc && !alloc->mAllocates)) return nullptr;
  return new (std::nothrow) CFURLImpl(path->mText);
}

CFStringRef CFURLCopyFileSystemPath(CFURLRef url, CFIndex) {
  return url ? CFStringCreateWithCString(nullptr, url->mPath.c_str(), kCFStringEncodingUTF8)
             : nullptr;
}

namespace {
struct BundleTable {
  std::mutex mMutex;
  CFBundleImpl* mMain = nullptr;
  std::vector<CFBundleImpl*> mLoaded;
};
// Bundles live for the whole process, as the system's do.
BundleTable& Bundles() {
  static BundleTable* sTable = new BundleTable;
  return *sTable;
}
}  // namespace

CFBundleRef CFBundleGetMainBundle() {
  BundleTable& t = Bundles();
  std::lock_guard<std::mutex> lock(t.mMutex);
  if (!t.mMain) {
    t.mMain = new CFBundleImpl("", "");
    --gLiveObjects;
  }
  return t.mMain;
}

CFBundleRef CFBundleGetBundleWithIdentifier(CFStringRef bundleID) {
  if (!bundleID) return nullptr;
  BundleTable& t = Bundles();
  std::lock_guard<std::mutex> lock(t.mMutex);
  for (CFBundleImpl* b : t.mLoaded) {
    if (b->mIdentifier == bundleID->mText) return b;
  }
  return nullptr;
}

CFStringRef CFBundleGetIdentifier(CFBundleRef bundle) {
  if (!bundle || bundle->mIdentifier.empty()) return nullptr;
  return CFStringMakeConstantString(bundle->mIdentifier.c_str());
}

CFURLRef CFBundleCopyBundleURL(CFBundleRef bundle) {
  return bundle ? new (std::nothrow) CFURLImpl(bundle->mPath) : nullptr;
}

namespace cfstandin {

void SetMainBundleIdentifier(const char* identifier) {
  CFBundleImpl* main = CFBundleGetMainBundle();
  std::lock_guard<std::mutex> lock(Bundles().mMutex);
  main->mIdentifier = identifier ? identifier : "";
}

void RegisterBundle(const char* identifier, const char* path) {
  if (!identifier) return;
  BundleTable& t = Bundles();
  std::lock_guard<std::mutex> lock(t.mMutex);
  for (CFBundleImpl* b : t.mLoaded) {
    if (b->mIdentifier == identifier) {
      b->mPath = path ? path : "";
      return;
    }
  }
  t.mLoaded.push_back(new CFBundleImpl(identifier, path ? path : ""));
  --gLiveObjects;
}

long LiveObjectCount() {
  return gLiveObjects.load();
}

}  // namespace cfstandin
