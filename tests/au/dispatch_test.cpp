#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "AUTestHost.h"
#include "IPluginAU.h"

namespace {

class EffectRoutes : public ::testing::TestWithParam<Route> {
 protected:
  AUHost unit{EffectComponent(GetParam())};
};

TEST_P(EffectRoutes, ParametersGoThroughTheHostCalls) {
  ASSERT_NE(unit.Get(), nullptr);
  AudioUnit u = unit.Get();
  UInt32 size = 0;
  Boolean writable = true;
  ASSERT_EQ(AudioUnitGetPropertyInfo(u, kAudioUnitProperty_ParameterList, kAudioUnitScope_Global, 0,
                                     &size, &writable),
            noErr);
  EXPECT_EQ(size, 15u * 4u);
  EXPECT_FALSE(writable);

  AudioUnitParameterValue v = 0.0f;
  EXPECT_EQ(AudioUnitSetParameter(u, 10, kAudioUnitScope_Global, 0, 3.5f, 0), noErr);
  EXPECT_EQ(AudioUnitGetParameter(u, 10, kAudioUnitScope_Global, 0, &v), noErr);
  EXPECT_EQ(v, 3.5f);
  // Beyond the maximum the maximum is stored.
  EXPECT_EQ(AudioUnitSetParameter(u, 10, kAudioUnitScope_Global, 0, 40.0f, 0), noErr);
  AudioUnitGetParameter(u, 10, kAudioUnitScope_Global, 0, &v);
  EXPECT_EQ(v, 12.0f);
  // The host may store any value of the unrounded switch 14.
  EXPECT_EQ(AudioUnitSetParameter(u, 14, kAudioUnitScope_Global, 0, 0.99f, 0), noErr);
  AudioUnitGetParameter(u, 14, kAudioUnitScope_Global, 0, &v);
  EXPECT_EQ(v, 0.99f);
}

TEST_P(EffectRoutes, BadParameterCallsAreRefusedAndChangeNothing) {
  AudioUnit u = unit.Get();
  AudioUnitParameterValue v = 0.0f;
  EXPECT_EQ(AudioUnitSetParameter(u, 15, kAudioUnitScope_Global, 0, 1.0f, 0),
            kAudioUnitErr_InvalidParameter);
  EXPECT_EQ(AudioUnitGetParameter(u, 0xFFFFFFFF, kAudioUnitScope_Global, 0, &v),
            kAudioUnitErr_InvalidParameter);
  EXPECT_EQ(AudioUnitSetParameter(u, 10, kAudioUnitScope_Input, 0, 1.0f, 0),
            kAudioUnitErr_InvalidProperty);
  EXPECT_EQ(AudioUnitGetParameter(u, 10, kAudioUnitScope_Output, 0, &v),
            kAudioUnitErr_InvalidProperty);
  EXPECT_EQ(AudioUnitSetParameter(u, 10, kAudioUnitScope_Global, 0,
                                  std::numeric_limits<float>::quiet_NaN(), 0),
            kAudioUnitErr_InvalidParameterValue);
  EXPECT_EQ(AudioUnitGetParameter(u, 10, kAudioUnitScope_Global, 0, &v), noErr);
  EXPECT_EQ(v, 0.0f);
}

TEST_P(EffectRoutes, InitializeAcceptsOnlyLegalChannelCounts) {
  struct Case {
    UInt32 in, out;
    OSStatus init;
  };
  // Input 1 with output 2 is set while inactive (the output side is then a wildcard).
  for (const Case& c : {Case{1, 2, badComponentSelector}, Case{1, 1, noErr}, Case{2, 2, noErr}}) {
    AUHost h(EffectComponent(GetParam()));
    SCOPED_TRACE(c.in * 10 + c.out);
    EXPECT_EQ(h.SetFormat(kAudioUnitScope_Output, c.out), noErr);
    EXPECT_EQ(h.SetFormat(kAudioUnitScope_Input, c.in), noErr);
    EXPECT_EQ(AudioUnitInitialize(h.Get()), c.init);
    EXPECT_EQ(h.Plug()->IsActive(), c.init == noErr);
  }
}

TEST_P(EffectRoutes, ScheduledImmediateEventsApplyUntilTheFirstFailure) {
  AudioUnitParameterEvent events[3] = {};
  events[0].parameter = 10;
  events[0].eventType = kParameterEvent_Immediate;
  events[0].eventValues.immediate.value = -6.0f;
  events[1].parameter = 99;  // no such parameter
  events[1].eventType = kParameterEvent_Immediate;
  events[2].parameter = 0;
  events[2].eventType = kParameterEvent_Immediate;
  events[2].eventValues.immediate.value = 0.25f;
  EXPECT_EQ(AudioUnitScheduleParameters(unit.Get(), events, 3), kAudioUnitErr_InvalidParameter);
  AudioUnitParameterValue gain = 0.0f, lgain = 0.0f;
  AudioUnitGetParameter(unit.Get(), 10, kAudioUnitScope_Global, 0, &gain);
  AudioUnitGetParameter(unit.Get(), 0, kAudioUnitScope_Global, 0, &lgain);
  EXPECT_EQ(gain, -6.0f);
  EXPECT_EQ(lgain, 0.5f);
  // A ramp is ignored.
  events[0].eventType = kParameterEvent_Ramped;
  events[0].eventValues.ramp.endValue = 6.0f;
  EXPECT_EQ(AudioUnitScheduleParameters(unit.Get(), events, 1), noErr);
  AudioUnitGetParameter(unit.Get(), 10, kAudioUnitScope_Global, 0, &gain);
  EXPECT_EQ(gain, -6.0f);
}

TEST_P(EffectRoutes, SameListenerTwiceIsCalledOnce) {
  int calls = 0;
  AudioUnitPropertyListenerProc proc = [](void* ref, AudioUnit, AudioUnitPropertyID, AudioUnitScope,
                                          AudioUnitElement) { ++*static_cast<int*>(ref); };
  EXPECT_EQ(AudioUnitAddPropertyListener(unit.Get(), kAudioUnitProperty_BypassEffect, proc, &calls),
            noErr);
  EXPECT_EQ(AudioUnitAddPropertyListener(unit.Get(), kAudioUnitProperty_BypassEffect, proc, &calls),
            noErr);
  unit.SetUInt32(kAudioUnitProperty_BypassEffect, 1);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(AudioUnitRemovePropertyListenerWithUserData(unit.Get(), kAudioUnitProperty_BypassEffect,
                                                        proc, &calls),
            noErr);
  unit.SetUInt32(kAudioUnitProperty_BypassEffect, 0);
  EXPECT_EQ(calls, 1);
  // Two functions on one property are two listeners.
  AudioUnitPropertyListenerProc other = [](void* ref, AudioUnit, AudioUnitPropertyID,
                                           AudioUnitScope,
                                           AudioUnitElement) { *static_cast<int*>(ref) += 10; };
  AudioUnitAddPropertyListener(unit.Get(), kAudioUnitProperty_BypassEffect, proc, &calls);
  AudioUnitAddPropertyListener(unit.Get(), kAudioUnitProperty_BypassEffect, other, &calls);
  unit.SetUInt32(kAudioUnitProperty_BypassEffect, 1);
  EXPECT_EQ(calls, 12);
  // A listener or notification without a function would be called later: refused now.
  EXPECT_EQ(AudioUnitAddPropertyListener(unit.Get(), 21, nullptr, &calls), kAudio_ParamError);
  EXPECT_EQ(AudioUnitAddRenderNotify(unit.Get(), nullptr, nullptr), kAudio_ParamError);
}

INSTANTIATE_TEST_SUITE_P(BothRoutes, EffectRoutes,
                         ::testing::Values(Route::kFactory, Route::kEntry));

TEST(Dispatch, FactoryLookupAndEntryCanDoDifferOnlyWhereDocumented) {
  EXPECT_EQ(IPluginAUFactory::Lookup(8), nullptr);
  EXPECT_EQ(IPluginAUFactory::Lookup(0x101), nullptr);
  EXPECT_NE(IPluginAUFactory::Lookup(18), nullptr);
  AUHost entry(EffectComponent(Route::kEntry));
  for (SInt16 s : {1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 14, 15, 16, 17})
    EXPECT_TRUE(AudioComponentInstanceCanDo(entry.Get(), s)) << s;
  for (SInt16 s : {8, 12, 13, 18, 0x101})
    EXPECT_FALSE(AudioComponentInstanceCanDo(entry.Get(), s)) << s;
}

TEST(Dispatch, EntryAnswersVersionAndUnknownSelectors) {
  AUHost entry(EffectComponent(Route::kEntry));
  ComponentParameters p = {};
  p.what = kComponentVersionSelect;
  void* storage = entry.Plug();
  EXPECT_EQ(IPluginAU::IPluginAUEntry(&p, storage), 0x00030000);
  p.what = 12;
  EXPECT_EQ(IPluginAU::IPluginAUEntry(&p, storage), badComponentSelector);
  p.what = kMusicDeviceMIDIEventSelect;  // not a MIDI effect
  EXPECT_EQ(IPluginAU::IPluginAUEntry(&p, storage), badComponentSelector);
  p.what = kMusicDevicePrepareInstrumentSelect;
  EXPECT_EQ(IPluginAU::IPluginAUEntry(&p, storage), noErr);
}

TEST(Dispatch, InitializeResetsEveryParameterBeforeActivating) {
  AUHost unit(TestAUComponent());
  TestAU* plug = static_cast<TestAU*>(unit.Plug());
  plug->calls.clear();
  ASSERT_EQ(AudioUnitInitialize(unit.Get()), noErr);
  EXPECT_EQ(plug->calls, (std::vector<int>{0, 1, 2, TestAU::kActivated}));
  plug->calls.clear();
  EXPECT_EQ(AudioUnitUninitialize(unit.Get()), noErr);
  EXPECT_EQ(plug->calls, (std::vector<int>{TestAU::kDeactivated}));
  EXPECT_FALSE(plug->IsActive());
}

}  // namespace
