#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "AUEvents.h"
#include "AudioUnit.h"
#include "CoreFoundation.h"
#include "IPluginStructs.h"
#include "au-utilities.h"

namespace {

std::string Text(CFStringRef s) {
  const char* p = CFStringGetCStringPtr(s, kCFStringEncodingUTF8);
  return p ? p : "";
}

TEST(CoreFoundation, ObjectsAreFreedWhenTheLastReferenceGoes) {
  long before = cfstandin::LiveObjectCount();
  CFStringRef s = CFStringCreateWithCString(nullptr, "abc", kCFStringEncodingUTF8);
  CFRetain(s);
  EXPECT_EQ(CFGetRetainCount(s), 2);
  CFRelease(s);
  EXPECT_EQ(cfstandin::LiveObjectCount(), before + 1);
  CFRelease(s);
  EXPECT_EQ(cfstandin::LiveObjectCount(), before);
}

TEST(CoreFoundation, DictionaryRetainsAndReplacesValues) {
  long before = cfstandin::LiveObjectCount();
  CFMutableDictionaryRef d = CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks,
                                                       &kCFTypeDictionaryValueCallBacks);
  SInt32 one = 1, two = 2;
  PutNumberInDict(d, "n", &one, kCFNumberSInt32Type);
  PutNumberInDict(d, "n", &two, kCFNumberSInt32Type);
  PutStrInDict(d, "s", "text");
  EXPECT_EQ(CFDictionaryGetCount(d), 2);
  SInt32 n = 0;
  EXPECT_TRUE(GetNumberFromDict(d, "n", &n));
  EXPECT_EQ(n, 2);
  char text[8];
  EXPECT_TRUE(GetStrFromDict(d, "s", text, sizeof text));
  EXPECT_STREQ(text, "text");
  // Wrong type, absent key and a text that does not fit all fail with "".
  EXPECT_FALSE(GetStrFromDict(d, "n", text, sizeof text));
  EXPECT_STREQ(text, "");
  EXPECT_FALSE(GetNumberFromDict(d, "s", &n));
  EXPECT_FALSE(GetStrFromDict(d, "s", text, 4));
  ByteChunk chunk;
  EXPECT_FALSE(GetDataFromDict(d, "data", &chunk));
  CFRelease(d);
  EXPECT_EQ(cfstandin::LiveObjectCount(), before);
}

TEST(CoreFoundation, NumbersReportLossyConversions) {
  double half = 2.5, big = 1e12;
  CFNumberRef a = CFNumberCreate(nullptr, kCFNumberFloat64Type, &half);
  CFNumberRef b = CFNumberCreate(nullptr, kCFNumberFloat64Type, &big);
  SInt32 v = 0;
  EXPECT_FALSE(CFNumberGetValue(a, kCFNumberSInt32Type, &v));
  EXPECT_FALSE(CFNumberGetValue(b, kCFNumberSInt32Type, &v));
  double d = 0.0;
  EXPECT_TRUE(CFNumberGetValue(a, kCFNumberFloat64Type, &d));
  EXPECT_EQ(d, 2.5);
  CFRelease(a);
  CFRelease(b);
}

TEST(CoreFoundation, FormatAndDescriptions) {
  CFStringRef s =
      CFStringCreateWithFormat(nullptr, nullptr, CFSTR("%d-%@-%s %%"), 42, CFSTR("x"), "y");
  EXPECT_EQ(Text(s), "42-x-y %");
  CFRelease(s);
}

TEST(AUPreset, ArrayCallBacksRetainReleaseAndDescribe) {
  long before = cfstandin::LiveObjectCount();
  CFStringRef name = CFStringCreateWithCString(nullptr, "-", kCFStringEncodingUTF8);
  CFAUPresetRef p = CFAUPresetCreate(kCFAllocatorDefault, 3, name);
  CFRelease(name);
  CFMutableArrayRef a = CFArrayCreateMutable(nullptr, 1, &kCFAUPresetArrayCallBacks);
  CFArrayAppendValue(a, p);
  EXPECT_EQ(p->retainCount, 2);
  CFAUPresetRelease(p);
  EXPECT_EQ(p->retainCount, 1);
  CFStringRef d = kCFAUPresetArrayCallBacks.copyDescription(CFArrayGetValueAtIndex(a, 0));
  EXPECT_EQ(Text(d), "AUPreset:\npreset number = 3\npreset name = -");
  CFRelease(d);
  CFRelease(a);
  EXPECT_EQ(cfstandin::LiveObjectCount(), before);
  EXPECT_EQ(CFAUPresetCreate(kCFAllocatorNull, 0, nullptr), nullptr);
}

TEST(ComponentRegistry, FindsByDescriptionWithWildcards) {
  AudioComponentDescription desc = {FourCC('x', 't', 's', 't'), 1, 2, 0, 0};
  AudioComponent c = RegisterComponentEntry(
      &desc, [](ComponentParameters*, void*) -> ComponentResult { return badComponentSelector; },
      "x", 1);
  AudioComponentDescription want = {FourCC('x', 't', 's', 't'), 0, 0, 0, 0};
  EXPECT_EQ(AudioComponentFindNext(nullptr, &want), c);
  EXPECT_EQ(AudioComponentFindNext(c, &want), nullptr);
  AudioComponentInstance instance = nullptr;
  // The entry refuses to open: no instance is handed out.
  EXPECT_EQ(AudioComponentInstanceNew(c, &instance), badComponentSelector);
  EXPECT_EQ(instance, nullptr);
  EXPECT_EQ(AudioUnitInitialize(nullptr), kAudio_ParamError);
}

TEST(EventListeners, DeliverOnlyMatchingEvents) {
  struct Seen {
    int count = 0;
    AudioUnitEventType last = 99;
  } seen;
  AUEventListenerRef listener = nullptr;
  ASSERT_EQ(AUEventListenerCreate(
                [](void* ref, void*, const AudioUnitEvent* e, UInt64, AudioUnitParameterValue) {
                  Seen* s = static_cast<Seen*>(ref);
                  ++s->count;
                  s->last = e->mEventType;
                },
                &seen, nullptr, nullptr, 0.0f, 0.0f, &listener),
            noErr);
  AudioUnit unit = reinterpret_cast<AudioUnit>(&seen);  // never dereferenced for gestures
  AudioUnitEvent reg = {};
  reg.mEventType = kAudioUnitEvent_BeginParameterChangeGesture;
  reg.mArgument.mParameter = {unit, kAUParameterListener_AnyParameter, 0, 0};
  AUEventListenerAddEventType(listener, nullptr, &reg);
  AudioUnitEvent e = reg;
  e.mArgument.mParameter.mParameterID = 5;
  AUEventListenerNotify(nullptr, nullptr, &e);
  e.mEventType = kAudioUnitEvent_EndParameterChangeGesture;
  AUEventListenerNotify(nullptr, nullptr, &e);
  EXPECT_EQ(seen.count, 1);
  EXPECT_EQ(seen.last, kAudioUnitEvent_BeginParameterChangeGesture);
  EXPECT_EQ(AUListenerDispose(listener), noErr);
}

}  // namespace
