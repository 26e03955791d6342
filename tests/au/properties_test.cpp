#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "AUTestHost.h"
#include "Hosts.h"
#include "IPluginAU.h"
#include "VantroseComponent.h"
#include "au-utilities.h"

namespace {

std::string Text(CFStringRef s) {
  const char* p = CFStringGetCStringPtr(s, kCFStringEncodingUTF8);
  return p ? p : "";
}

// Reads a property of a known size from the unit.
template <class T>
OSStatus Get(AudioUnit u, AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement elem,
             T* out) {
  UInt32 size = sizeof(T);
  return AudioUnitGetProperty(u, id, scope, elem, out, &size);
}

AudioUnitParameterInfo ParamInfo(AudioUnit u, AudioUnitElement idx) {
  AudioUnitParameterInfo info;
  std::memset(&info, 0x5A, sizeof info);
  EXPECT_EQ(Get(u, kAudioUnitProperty_ParameterInfo, kAudioUnitScope_Global, idx, &info), noErr);
  return info;
}

class EffectProperties : public ::testing::Test {
 protected:
  AUHost unit{EffectComponent(Route::kFactory)};
  AudioUnit u = unit.Get();
};

TEST_F(EffectProperties, ParameterInfoOfGainBellAndTheUnnamedSwitch) {
  AudioUnitSetParameter(u, 10, kAudioUnitScope_Global, 0, 3.0f, 0);
  AudioUnitParameterInfo gain = ParamInfo(u, 10);
  EXPECT_STREQ(gain.name, "Gain");
  EXPECT_EQ(Text(gain.cfNameString), "Gain");
  EXPECT_EQ(gain.unit, kAudioUnitParameterUnit_CustomUnit);
  EXPECT_EQ(Text(gain.unitName), "%");
  EXPECT_EQ(gain.minValue, -12.0f);
  EXPECT_EQ(gain.maxValue, 12.0f);
  EXPECT_EQ(gain.defaultValue, 3.0f);  // the current value
  EXPECT_EQ(gain.flags, 0xC8000010u);
  EXPECT_EQ(gain.clumpID, 0u);
  CFRelease(gain.cfNameString);

  AudioUnitParameterInfo bell = ParamInfo(u, 11);
  EXPECT_EQ(bell.unit, kAudioUnitParameterUnit_Indexed);
  EXPECT_EQ(bell.minValue, 0.0f);
  EXPECT_EQ(bell.maxValue, 1.0f);
  CFRelease(bell.cfNameString);

  AudioUnitParameterInfo over = ParamInfo(u, 14);
  EXPECT_STREQ(over.name, "");
  EXPECT_EQ(over.unit, kAudioUnitParameterUnit_Generic);
  EXPECT_EQ(over.unitName, nullptr);
  EXPECT_EQ(over.minValue, 0.0f);
  EXPECT_EQ(over.maxValue, 1.0f);
  CFRelease(over.cfNameString);

  AudioUnitParameterInfo none;
  EXPECT_EQ(Get(u, kAudioUnitProperty_ParameterInfo, kAudioUnitScope_Global, 15, &none),
            kAudioUnitErr_InvalidElement);
  EXPECT_EQ(Get(u, kAudioUnitProperty_ParameterInfo, kAudioUnitScope_Input, 0, &none),
            kAudioUnitErr_InvalidProperty);
}

TEST_F(EffectProperties, ElementNamesAndTheirErrors) {
  CFStringRef name = nullptr;
  struct Case {
    AudioUnitScope scope;
    AudioUnitElement elem;
    OSStatus status;
    const char* text;
  };
  const Case cases[] = {
      {kAudioUnitScope_Input, 0, noErr, "input"},
      {kAudioUnitScope_Input, 1, noErr, "aux input"},  // no second bus, but a label
      {kAudioUnitScope_Output, 0, noErr, "output"},
      {kAudioUnitScope_Input, 2, kAudioUnitErr_InvalidElement, nullptr},
      {kAudioUnitScope_Output, 1, kAudioUnitErr_InvalidElement, nullptr},
      {kAudioUnitScope_Global, 0, kAudioUnitErr_InvalidScope, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.scope * 10 + c.elem);
    name = nullptr;
    EXPECT_EQ(Get(u, kAudioUnitProperty_ElementName, c.scope, c.elem, &name), c.status);
    if (c.text) {
      EXPECT_EQ(Text(name), c.text);
      CFRelease(name);
    } else {
      EXPECT_EQ(name, nullptr);
    }
  }
  UInt32 size = 0;
  EXPECT_EQ(AudioUnitGetPropertyInfo(u, kAudioUnitProperty_ElementName, kAudioUnitScope_Input, 0,
                                     &size, nullptr),
            kAudioUnitErr_InvalidProperty);
}

TEST_F(EffectProperties, StreamFormatsDefaultAndRefusal) {
  AudioStreamBasicDescription f;
  ASSERT_EQ(Get(u, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output, 0, &f), noErr);
  EXPECT_EQ(f.mSampleRate, 44100.0);
  EXPECT_EQ(f.mFormatID, kAudioFormatLinearPCM);
  EXPECT_EQ(f.mFormatFlags, 0x29u);
  EXPECT_EQ(f.mBytesPerPacket, 4u);
  EXPECT_EQ(f.mFramesPerPacket, 1u);
  EXPECT_EQ(f.mBytesPerFrame, 4u);
  EXPECT_EQ(f.mChannelsPerFrame, 2u);
  EXPECT_EQ(f.mBitsPerChannel, 32u);
  EXPECT_EQ(Get(u, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Input, 1, &f),
            kAudioUnitErr_InvalidProperty);

  // Three channels: refused, and the bus's host count is left at 0.
  EXPECT_EQ(unit.SetFormat(kAudioUnitScope_Input, 3), kAudioUnitErr_InvalidProperty);
  EXPECT_EQ(unit.Plug()->GetBus(kAudioUnitScope_Input, 0)->mNHostChannels, 0);
  Get(u, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Input, 0, &f);
  EXPECT_EQ(f.mChannelsPerFrame, 0u);
  // A huge count must not wrap into the wildcard.
  EXPECT_EQ(unit.SetFormat(kAudioUnitScope_Output, 0xFFFFFFFFu), kAudioUnitErr_InvalidProperty);
  EXPECT_EQ(unit.SetFormat(kAudioUnitScope_Input, 1, 48000.0), noErr);
  // A rate outside the effect's range refuses the whole format and changes nothing.
  EXPECT_EQ(unit.SetFormat(kAudioUnitScope_Input, 2, 1.0e6), kAudioUnitErr_FormatNotSupported);
  EXPECT_EQ(unit.Plug()->GetBus(kAudioUnitScope_Input, 0)->mNHostChannels, 1);
  Float64 rate = 0.0;
  Get(u, kAudioUnitProperty_SampleRate, kAudioUnitScope_Global, 0, &rate);
  EXPECT_EQ(rate, 48000.0);

  SInt16 pairs[4] = {};
  ASSERT_EQ(Get(u, kAudioUnitProperty_SupportedNumChannels, kAudioUnitScope_Global, 0, &pairs),
            noErr);
  EXPECT_EQ(std::vector<SInt16>(pairs, pairs + 4), (std::vector<SInt16>{1, 1, 2, 2}));
}

TEST_F(EffectProperties, ShortOrMissingDataIsRefusedUntouched) {
  UInt32 small = 4;
  Float64 rate = -1.0;
  EXPECT_EQ(AudioUnitGetProperty(u, kAudioUnitProperty_SampleRate, kAudioUnitScope_Global, 0, &rate,
                                 &small),
            kAudioUnitErr_InvalidPropertyValue);
  EXPECT_EQ(rate, -1.0);
  EXPECT_EQ(AudioUnitGetProperty(u, kAudioUnitProperty_SampleRate, kAudioUnitScope_Global, 0, &rate,
                                 nullptr),
            kAudio_ParamError);
  Float64 newRate = 96000.0;
  EXPECT_EQ(AudioUnitSetProperty(u, kAudioUnitProperty_SampleRate, kAudioUnitScope_Global, 0,
                                 &newRate, 4),
            kAudioUnitErr_InvalidPropertyValue);
  EXPECT_EQ(
      AudioUnitSetProperty(u, kAudioUnitProperty_SampleRate, kAudioUnitScope_Global, 0, nullptr, 8),
      kAudioUnitErr_InvalidPropertyValue);
  for (Float64 bad : {0.0, -44100.0, std::numeric_limits<double>::quiet_NaN(), 7999.0, 768001.0}) {
    EXPECT_EQ(
        AudioUnitSetProperty(u, kAudioUnitProperty_SampleRate, kAudioUnitScope_Global, 0, &bad, 8),
        kAudioUnitErr_InvalidPropertyValue);
  }
  EXPECT_EQ(unit.SetUInt32(kAudioUnitProperty_MaximumFramesPerSlice, 0),
            kAudioUnitErr_InvalidPropertyValue);
  EXPECT_EQ(unit.Plug()->GetSampleRate(), 44100.0);
  EXPECT_EQ(unit.Plug()->GetBlockSize(), 1024);
  EXPECT_EQ(unit.SetUInt32(kAudioUnitProperty_TailTime, 1), kAudioUnitErr_InvalidProperty);
}

TEST_F(EffectProperties, WithItsEditorTheViewPropertiesAnswer) {
  AudioComponentDescription view;
  EXPECT_EQ(Get(u, kAudioUnitProperty_GetUIComponentList, kAudioUnitScope_Global, 0, &view), noErr);
  EXPECT_EQ(view.componentType, kAudioUnitCarbonViewComponentType);
  IPluginAU* plug = nullptr;
  EXPECT_EQ(Get(u, kIPlugObjectPropertyID, kAudioUnitScope_Global, 0, &plug), noErr);
  ASSERT_NE(plug, nullptr);
  EXPECT_NE(plug->GetGUI(), nullptr);

  // The Cocoa view is offered once the bundle it lives in can be found.
  AudioUnitCocoaViewInfo cocoa = {};
  EXPECT_EQ(Get(u, kAudioUnitProperty_CocoaUI, kAudioUnitScope_Global, 0, &cocoa),
            kAudioUnitErr_InvalidProperty);
  VantroseComponent::RegisterBundle("/opt/Vantrose.component");
  ASSERT_EQ(Get(u, kAudioUnitProperty_CocoaUI, kAudioUnitScope_Global, 0, &cocoa), noErr);
  EXPECT_EQ(Text(cocoa.mCocoaAUViewClass[0]), "Vantrose_View");
  CFStringRef path =
      CFURLCopyFileSystemPath(cocoa.mCocoaAUViewBundleLocation, kCFURLPOSIXPathStyle);
  EXPECT_EQ(Text(path), "/opt/Vantrose.component");
  CFRelease(path);
  CFRelease(cocoa.mCocoaAUViewBundleLocation);
  CFRelease(cocoa.mCocoaAUViewClass[0]);
}

TEST_F(EffectProperties, PresetsAndTheirNames) {
  CFArrayRef presets = nullptr;
  ASSERT_EQ(Get(u, kAudioUnitProperty_FactoryPresets, kAudioUnitScope_Global, 0, &presets), noErr);
  ASSERT_EQ(CFArrayGetCount(presets), 1);
  const AUPreset* p = static_cast<const AUPreset*>(CFArrayGetValueAtIndex(presets, 0));
  EXPECT_EQ(p->presetNumber, 0);
  EXPECT_EQ(Text(p->presetName), "-");
  CFRelease(presets);
  AUPreset current = {-5, nullptr};
  ASSERT_EQ(Get(u, kAudioUnitProperty_PresentPreset, kAudioUnitScope_Global, 0, &current), noErr);
  EXPECT_EQ(current.presetNumber, 0);
  EXPECT_EQ(Text(current.presetName), "-");
  CFRelease(current.presetName);
  AUPreset missing = {7, nullptr};
  EXPECT_EQ(AudioUnitSetProperty(u, kAudioUnitProperty_PresentPreset, kAudioUnitScope_Global, 0,
                                 &missing, sizeof missing),
            kAudioUnitErr_InvalidPropertyValue);
  AUPreset user = {-1, CFSTR("mine")};  // a host's own preset: nothing to restore
  EXPECT_EQ(AudioUnitSetProperty(u, kAudioUnitProperty_PresentPreset, kAudioUnitScope_Global, 0,
                                 &user, sizeof user),
            noErr);
}

TEST_F(EffectProperties, ValueStringsAndNames) {
  AudioUnitParameterValue three = 3.0f;
  AudioUnitParameterStringFromValue s = {10, &three, nullptr};
  ASSERT_EQ(Get(u, kAudioUnitProperty_ParameterStringFromValue, kAudioUnitScope_Global, 0, &s),
            noErr);
  EXPECT_EQ(Text(s.outString), "3.00");
  CFRelease(s.outString);
  s.inParamID = 15;
  EXPECT_EQ(Get(u, kAudioUnitProperty_ParameterStringFromValue, kAudioUnitScope_Global, 0, &s),
            kAudioUnitErr_InvalidParameter);

  AudioUnitParameterValueFromString v = {10, CFSTR("-4.5"), 0.0f};
  ASSERT_EQ(Get(u, kAudioUnitProperty_ParameterValueFromString, kAudioUnitScope_Global, 0, &v),
            noErr);
  EXPECT_EQ(v.outValue, -4.5f);

  AudioUnitParameterNameInfo n = {10, 2, nullptr};
  ASSERT_EQ(Get(u, kAudioUnitProperty_ParameterIDName, kAudioUnitScope_Global, 0, &n), noErr);
  EXPECT_EQ(Text(n.outName), "Ga");
  CFRelease(n.outName);
  n.inDesiredLength = kAudioUnitParameterName_Full;
  Get(u, kAudioUnitProperty_ParameterIDName, kAudioUnitScope_Global, 0, &n);
  EXPECT_EQ(Text(n.outName), "Gain");
  CFRelease(n.outName);
  n.inID = 99;
  EXPECT_EQ(Get(u, kAudioUnitProperty_ParameterIDName, kAudioUnitScope_Global, 0, &n),
            kAudioUnitErr_InvalidParameter);

  CFArrayRef strings = nullptr;
  UInt32 size = 99;
  EXPECT_EQ(AudioUnitGetProperty(u, kAudioUnitProperty_ParameterValueStrings,
                                 kAudioUnitScope_Global, 10, &strings, &size),
            kAudioUnitErr_InvalidProperty);
  EXPECT_EQ(size, 0u);
}

TEST(TestAUProperties, DisplayTextsClumpsAndResets) {
  AUHost unit(TestAUComponent());
  AudioUnit u = unit.Get();
  CFArrayRef strings = nullptr;
  ASSERT_EQ(Get(u, kAudioUnitProperty_ParameterValueStrings, kAudioUnitScope_Global, 1, &strings),
            noErr);
  ASSERT_EQ(CFArrayGetCount(strings), 3);
  EXPECT_EQ(Text(static_cast<CFStringRef>(CFArrayGetValueAtIndex(strings, 2))), "high");
  CFRelease(strings);

  AudioUnitParameterValueFromString v = {1, CFSTR("mid"), 0.0f};
  ASSERT_EQ(Get(u, kAudioUnitProperty_ParameterValueFromString, kAudioUnitScope_Global, 0, &v),
            noErr);
  EXPECT_EQ(v.outValue, 1.0f);
  v.inString = CFSTR("loud");
  EXPECT_EQ(Get(u, kAudioUnitProperty_ParameterValueFromString, kAudioUnitScope_Global, 0, &v),
            kAudioUnitErr_InvalidPropertyValue);

  // The group "Out" becomes clump 1 when the parameter's info is read.
  AudioUnitParameterInfo gain = ParamInfo(u, 0);
  EXPECT_EQ(gain.flags, 0xC8000010u | kAudioUnitParameterFlag_HasClump);
  EXPECT_EQ(gain.clumpID, 1u);
  EXPECT_EQ(Text(gain.unitName), "dB");
  CFRelease(gain.cfNameString);
  AudioUnitParameterNameInfo clump = {1, kAudioUnitParameterName_Full, nullptr};
  ASSERT_EQ(Get(u, kAudioUnitProperty_ParameterClumpName, kAudioUnitScope_Global, 0, &clump),
            noErr);
  EXPECT_EQ(Text(clump.outName), "Out");
  CFRelease(clump.outName);
  clump.inID = 0;
  EXPECT_EQ(Get(u, kAudioUnitProperty_ParameterClumpName, kAudioUnitScope_Global, 0, &clump),
            kAudioUnitErr_PropertyNotInUse);
  AudioUnitParameterInfo mode = ParamInfo(u, 1);
  EXPECT_EQ(mode.unit, kAudioUnitParameterUnit_Indexed);
  CFRelease(mode.cfNameString);
  AudioUnitParameterInfo on = ParamInfo(u, 2);
  EXPECT_EQ(on.unit, kAudioUnitParameterUnit_Boolean);
  CFRelease(on.cfNameString);

  // Sample rate, maximum frames and bypass each reset the effect.
  TestAU* plug = static_cast<TestAU*>(unit.Plug());
  int before = plug->resets;
  Float64 rate = 48000.0;
  AudioUnitSetProperty(u, kAudioUnitProperty_SampleRate, kAudioUnitScope_Global, 0, &rate, 8);
  unit.SetUInt32(kAudioUnitProperty_MaximumFramesPerSlice, 512);
  unit.SetUInt32(kAudioUnitProperty_BypassEffect, 1);
  EXPECT_EQ(plug->resets, before + 3);
  EXPECT_EQ(plug->GetBlockSize(), 512);
  EXPECT_TRUE(plug->IsBypassed());
}

TEST(TestAUProperties, HostIdentifierSetsTheHostAndItsVersion) {
  AUHost unit(TestAUComponent());
  AUHostVersionIdentifier id = {CFSTR("Logic Pro"), {0, 0x80, 0x21, 10}};
  ASSERT_EQ(AudioUnitSetProperty(unit.Get(), kAudioUnitProperty_AUHostIdentifier,
                                 kAudioUnitScope_Global, 0, &id, sizeof id),
            noErr);
  EXPECT_EQ(unit.Plug()->GetHost(), kHostLogic);
  EXPECT_EQ(unit.Plug()->GetHostVersion(false), 10 * 65536 + 2 * 256 + 1);
}

// ---- The class-info state ----

CFMutableDictionaryRef SavedState(AudioUnit u) {
  CFPropertyListRef state = nullptr;
  EXPECT_EQ(Get(u, kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0, &state), noErr);
  return static_cast<CFMutableDictionaryRef>(const_cast<void*>(state));
}

OSStatus Restore(AudioUnit u, CFTypeRef state) {
  return AudioUnitSetProperty(u, kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0, &state,
                              sizeof state);
}

float Param(AudioUnit u, AudioUnitParameterID id) {
  AudioUnitParameterValue v = 0.0f;
  AudioUnitGetParameter(u, id, kAudioUnitScope_Global, 0, &v);
  return v;
}

TEST_F(EffectProperties, ClassInfoHoldsIdentityNameAndChunk) {
  AudioUnitSetParameter(u, 10, kAudioUnitScope_Global, 0, 6.0f, 0);
  CFMutableDictionaryRef state = SavedState(u);
  SInt32 n = 0;
  EXPECT_TRUE(GetNumberFromDict(state, "version", &n));
  EXPECT_EQ(n, 0x00030000);
  EXPECT_TRUE(GetNumberFromDict(state, "type", &n));
  EXPECT_EQ(n, kAudioUnitType_Effect);
  EXPECT_TRUE(GetNumberFromDict(state, "subtype", &n));
  EXPECT_EQ(n, FourCC('V', 'n', 't', '1'));
  EXPECT_TRUE(GetNumberFromDict(state, "manufacturer", &n));
  EXPECT_EQ(n, FourCC('K', 'l', 'v', 'n'));
  char name[8];
  EXPECT_TRUE(GetStrFromDict(state, "name", name, sizeof name));
  EXPECT_STREQ(name, "-");
  ByteChunk chunk;
  ASSERT_TRUE(GetDataFromDict(state, "data", &chunk));
  ASSERT_EQ(chunk.Size(), 120);
  double gain = 0.0;
  chunk.Read(&gain, 10 * 8);
  EXPECT_EQ(gain, 6.0);

  AudioUnitSetParameter(u, 10, kAudioUnitScope_Global, 0, -2.0f, 0);
  EXPECT_EQ(Restore(u, state), noErr);
  EXPECT_EQ(Param(u, 10), 6.0f);
  CFRelease(state);
}

TEST_F(EffectProperties, ForeignOrBrokenStateChangesNothing) {
  CFMutableDictionaryRef good = SavedState(u);

  auto variant = [&](const char* key, CFTypeRef value) {
    CFMutableDictionaryRef d = CFDictionaryCreateMutable(nullptr, 0, nullptr, nullptr);
    for (const char* k : {"version", "type", "subtype", "manufacturer", "name", "data"}) {
      CFStringRef ks = CFStringCreateWithCString(nullptr, k, kCFStringEncodingUTF8);
      CFTypeRef v = CFDictionaryGetValue(good, ks);
      if (std::strcmp(k, key) == 0) v = value;
      if (v) CFDictionarySetValue(d, ks, v);
      CFRelease(ks);
    }
    return d;
  };
  SInt32 other = FourCC('O', 't', 'h', 'r');
  CFNumberRef otherNum = CFNumberCreate(nullptr, kCFNumberSInt32Type, &other);
  double nan = std::numeric_limits<double>::quiet_NaN();
  CFDataRef nanData = CFDataCreate(nullptr, reinterpret_cast<const UInt8*>(&nan), sizeof nan);
  CFDataRef shortData = CFDataCreate(nullptr, reinterpret_cast<const UInt8*>("abc"), 3);
  // Identity errors change nothing; data errors come after the named preset ("-",
  // the defaults) has been restored, and apply none of their values.
  struct Case {
    CFTypeRef state;
    float gainAfter;
  };
  const Case cases[] = {
      {variant("subtype", otherNum), 5.0f},   {variant("manufacturer", otherNum), 5.0f},
      {variant("type", CFSTR("aufx")), 5.0f}, {variant("version", nullptr), 5.0f},
      {variant("name", otherNum), 5.0f},      {CFSTR("not a dictionary"), 5.0f},
      {variant("data", nanData), 0.0f},       {variant("data", shortData), 0.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(&c - cases);
    AudioUnitSetParameter(u, 10, kAudioUnitScope_Global, 0, 5.0f, 0);
    EXPECT_EQ(Restore(u, c.state), kAudioUnitErr_InvalidPropertyValue);
    EXPECT_EQ(Param(u, 10), c.gainAfter);
    CFRelease(c.state);
  }
  CFRelease(otherNum);
  CFRelease(nanData);
  CFRelease(shortData);
  CFRelease(good);
}

TEST_F(EffectProperties, StateWithoutDataRestoresTheNamedPresetBeforeFailing) {
  CFMutableDictionaryRef state = SavedState(u);
  CFDictionaryRemoveValue(state, CFSTR("data"));
  AudioUnitSetParameter(u, 10, kAudioUnitScope_Global, 0, 5.0f, 0);
  AudioUnitSetParameter(u, 0, kAudioUnitScope_Global, 0, 0.9f, 0);
  EXPECT_EQ(Restore(u, state), kAudioUnitErr_InvalidPropertyValue);
  EXPECT_EQ(Param(u, 10), 0.0f);  // the preset "-" holds the defaults
  EXPECT_EQ(Param(u, 0), 0.5f);
  CFRelease(state);
}

}  // namespace
