#include <gtest/gtest.h>

#include <vector>

#include "AUEvents.h"
#include "AUTestHost.h"
#include "Hosts.h"
#include "IPluginAU.h"

namespace {

struct FakeTransport {
  Float64 beat = 0.0, tempo = 0.0, sample = 0.0;
  Boolean playing = false, cycling = false;
  Float32 num = 0.0f;
  UInt32 denom = 0;

  static OSStatus BeatAndTempo(void* ud, Float64* beat, Float64* tempo) {
    *beat = static_cast<FakeTransport*>(ud)->beat;
    *tempo = static_cast<FakeTransport*>(ud)->tempo;
    return noErr;
  }
  static OSStatus Musical(void* ud, UInt32* toNext, Float32* num, UInt32* denom, Float64* down) {
    *toNext = 0;
    *num = static_cast<FakeTransport*>(ud)->num;
    *denom = static_cast<FakeTransport*>(ud)->denom;
    *down = 8.0;
    return noErr;
  }
  static OSStatus Transport(void* ud, Boolean* playing, Boolean* changed, Float64* sample,
                            Boolean* cycling, Float64* start, Float64* end) {
    FakeTransport* t = static_cast<FakeTransport*>(ud);
    *playing = t->playing;
    *changed = false;
    *sample = t->sample;
    *cycling = t->cycling;
    *start = 4.0;
    *end = 0.0;
    return noErr;
  }
};

class HostInfo : public ::testing::Test {
 protected:
  void Install() {
    HostCallbackInfo info = {&transport, FakeTransport::BeatAndTempo, FakeTransport::Musical,
                             FakeTransport::Transport};
    ASSERT_EQ(AudioUnitSetProperty(unit.Get(), kAudioUnitProperty_HostCallbacks,
                                   kAudioUnitScope_Global, 0, &info, sizeof info),
              noErr);
  }
  AUHost unit{TestAUComponent()};
  FakeTransport transport;
};

TEST_F(HostInfo, WithoutCallbacksNothingIsReported) {
  IPluginAU* plug = unit.Plug();
  EXPECT_EQ(plug->GetTempo(), 120.0);
  EXPECT_EQ(plug->GetSamplePos(), 0);
  ITimeInfo info;
  info.mTempo = 77.0;
  info.mSamplePos = 5.0;
  info.mNumerator = 7;
  plug->GetTime(&info);
  EXPECT_EQ(info.mTempo, 77.0);
  EXPECT_EQ(info.mSamplePos, 5.0);
  EXPECT_EQ(info.mNumerator, 7);
  int num = 3, denom = 8;
  plug->GetTimeSig(&num, &denom);
  EXPECT_EQ(num, 3);
  EXPECT_EQ(denom, 8);
}

TEST_F(HostInfo, TempoKeepsTheLastPositiveReport) {
  Install();
  IPluginAU* plug = unit.Plug();
  EXPECT_EQ(plug->GetTempo(), 120.0);  // the host reports 0 so far
  transport.tempo = 98.5;
  EXPECT_EQ(plug->GetTempo(), 98.5);
  transport.tempo = 0.0;
  EXPECT_EQ(plug->GetTempo(), 98.5);
  EXPECT_EQ(plug->GetSamplesPerBeat(), 44100.0 * 60.0 / 98.5);
}

TEST_F(HostInfo, TimeInfoFromAllThreeCallbacks) {
  Install();
  transport = {2.5, 140.0, 1000.4, true, true, 6.9f, 8};
  IPluginAU* plug = unit.Plug();
  EXPECT_EQ(plug->GetSamplePos(), 1000);
  ITimeInfo info;
  info.mCycleEnd = -3.0;
  plug->GetTime(&info);
  EXPECT_EQ(info.mTempo, 140.0);
  EXPECT_EQ(info.mPPQPos, 2.5);
  EXPECT_EQ(info.mSamplePos, 1000.4);
  EXPECT_EQ(info.mCycleStart, 4.0);
  EXPECT_EQ(info.mCycleEnd, -3.0);  // the host reported 0: kept
  EXPECT_EQ(info.mLastBar, 8.0);
  EXPECT_EQ(info.mNumerator, 6);
  EXPECT_EQ(info.mDenominator, 8);
  EXPECT_TRUE(info.mTransportIsRunning);
  EXPECT_TRUE(info.mTransportLoopEnabled);
}

TEST_F(HostInfo, ListenersHearOfAChangeBeforeItIsMade) {
  static double rateSeen = 0.0;
  static IPluginAU* plug = nullptr;
  plug = unit.Plug();
  AudioUnitAddPropertyListener(
      unit.Get(), kAudioUnitProperty_SampleRate,
      [](void*, AudioUnit, AudioUnitPropertyID, AudioUnitScope, AudioUnitElement) {
        rateSeen = plug->GetSampleRate();
      },
      nullptr);
  Float64 rate = 96000.0;
  AudioUnitSetProperty(unit.Get(), kAudioUnitProperty_SampleRate, kAudioUnitScope_Global, 0, &rate,
                       sizeof rate);
  EXPECT_EQ(rateSeen, 44100.0);
  EXPECT_EQ(plug->GetSampleRate(), 96000.0);
}

TEST_F(HostInfo, ProgramAndLatencyChangesCallTheirListeners) {
  static std::vector<AudioUnitPropertyID> heard;
  heard.clear();
  AudioUnitPropertyListenerProc proc = [](void*, AudioUnit, AudioUnitPropertyID id, AudioUnitScope,
                                          AudioUnitElement) { heard.push_back(id); };
  AudioUnitAddPropertyListener(unit.Get(), kAudioUnitProperty_PresentPreset, proc, nullptr);
  AudioUnitAddPropertyListener(unit.Get(), kAudioUnitProperty_Latency, proc, nullptr);
  unit.Plug()->InformHostOfProgramChange();
  unit.Plug()->SetLatency(64);
  EXPECT_EQ(heard, (std::vector<AudioUnitPropertyID>{36, 12}));
  EXPECT_EQ(unit.Plug()->GetLatency(), 64);
  Float64 seconds = 0.0;
  UInt32 size = sizeof seconds;
  AudioUnitGetProperty(unit.Get(), kAudioUnitProperty_Latency, kAudioUnitScope_Global, 0, &seconds,
                       &size);
  EXPECT_EQ(seconds, 64.0 / 44100.0);
}

TEST_F(HostInfo, EditorGesturesBecomeParameterEvents) {
  struct Event {
    AudioUnitEventType type;
    AudioUnitParameterID id;
    float value;
  };
  static std::vector<Event> events;
  events.clear();
  AUEventListenerRef listener = nullptr;
  AUEventListenerCreate(
      [](void*, void*, const AudioUnitEvent* e, UInt64, AudioUnitParameterValue v) {
        events.push_back({e->mEventType, e->mArgument.mParameter.mParameterID, v});
      },
      nullptr, nullptr, nullptr, 0.0f, 0.0f, &listener);
  for (AudioUnitEventType t : {0u, 1u, 2u}) {
    AudioUnitEvent reg = {};
    reg.mEventType = t;
    reg.mArgument.mParameter = {unit.Get(), kAUParameterListener_AnyParameter, 0, 0};
    AUEventListenerAddEventType(listener, nullptr, &reg);
  }
  IPluginAU* plug = unit.Plug();
  plug->BeginInformHostOfParamChange(0);
  plug->SetParameterFromGUI(0, 0.75);  // -12 + 24 * 0.75 = 6 dB
  plug->EndInformHostOfParamChange(0);
  AUListenerDispose(listener);
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[0].type, kAudioUnitEvent_BeginParameterChangeGesture);
  EXPECT_EQ(events[1].type, kAudioUnitEvent_ParameterValueChange);
  EXPECT_EQ(events[1].value, 6.0f);  // read back from the unit
  EXPECT_EQ(events[2].type, kAudioUnitEvent_EndParameterChangeGesture);
  EXPECT_EQ(events[2].id, 0u);
}

TEST(HostIdentity, ComesFromTheRunningApplicationsBundle) {
  cfstandin::SetMainBundleIdentifier("com.example.Reaper");
  AUHost unit(TestAUComponent());
  EXPECT_EQ(unit.Plug()->GetHost(), kHostReaper);
  cfstandin::SetMainBundleIdentifier("");
  AUHost other(TestAUComponent());
  EXPECT_EQ(other.Plug()->GetHost(), kHostUnknown);
}

}  // namespace
