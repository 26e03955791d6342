// Call orders real hosts use that once left channel slots on freed or missing memory,
// or a channel unwritten.  The test unit doubles its input on both channels.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AUTestHost.h"

namespace {

void Plain(AUHost& u, UInt32 nCh, UInt32 maxFrames) {
  u.SetFormat(kAudioUnitScope_Output, nCh);
  u.SetFormat(kAudioUnitScope_Input, nCh);
  u.SetUInt32(kAudioUnitProperty_MaximumFramesPerSlice, maxFrames);
  u.ConnectInput();
  AudioUnitInitialize(u.Get());
}

void RenderOnce(AUHost& u, UInt32 nBuffers, UInt32 frames) {
  std::vector<std::vector<float>> out(nBuffers);
  u.Render(out, frames, 0.0);
}

struct HostOrder {
  const char* name;
  UInt32 nCh, frames;  // of the render that is checked
  void (*setup)(AUHost&);
};

const HostOrder kOrders[] = {
    {"MaxFramesAfterConnectingMono", 1, 4096,
     [](AUHost& u) {
       u.SetFormat(kAudioUnitScope_Output, 1);
       u.SetFormat(kAudioUnitScope_Input, 1);
       u.ConnectInput();
       u.SetUInt32(kAudioUnitProperty_MaximumFramesPerSlice, 4096);
       AudioUnitInitialize(u.Get());
     }},
    {"ReinitialisedWithLargerMaxMono", 1, 8192,
     [](AUHost& u) {
       Plain(u, 1, 1024);
       RenderOnce(u, 1, 1024);
       AudioUnitUninitialize(u.Get());
       u.SetUInt32(kAudioUnitProperty_MaximumFramesPerSlice, 8192);
       AudioUnitInitialize(u.Get());
     }},
    {"StereoThenMono", 1, 256,
     [](AUHost& u) {
       Plain(u, 2, 512);
       RenderOnce(u, 2, 512);
       AudioUnitUninitialize(u.Get());
       u.SetFormat(kAudioUnitScope_Output, 1);
       u.SetFormat(kAudioUnitScope_Input, 1);
       u.SetUInt32(kAudioUnitProperty_MaximumFramesPerSlice, 256);
       AudioUnitInitialize(u.Get());
     }},
    {"MonoThenStereo", 2, 300,
     [](AUHost& u) {
       Plain(u, 1, 300);
       RenderOnce(u, 1, 300);
       AudioUnitUninitialize(u.Get());
       u.SetFormat(kAudioUnitScope_Input, 2);
       u.SetFormat(kAudioUnitScope_Output, 2);
       AudioUnitInitialize(u.Get());
     }},
    {"NarrowerBufferListThenFull", 2, 128,
     [](AUHost& u) {
       Plain(u, 2, 512);
       RenderOnce(u, 1, 128);
     }},
};

class HostOrders : public ::testing::TestWithParam<HostOrder> {};

TEST_P(HostOrders, EveryChannelRendersFromValidMemory) {
  const HostOrder& order = GetParam();
  AUHost unit(TestAUComponent());
  order.setup(unit);
  unit.input = {std::vector<float>(order.frames, 0.25f), std::vector<float>(order.frames, -0.5f)};
  std::vector<std::vector<float>> out(order.nCh);
  ASSERT_EQ(unit.Render(out, order.frames, 1e6), noErr);
  const float expected[] = {0.5f, -1.0f};
  for (UInt32 c = 0; c < order.nCh; ++c)
    EXPECT_EQ(out[c], std::vector<float>(order.frames, expected[c])) << "channel " << c;
  EXPECT_TRUE(static_cast<TestAU*>(unit.Plug())->slotsOnScratch);
}

INSTANTIATE_TEST_SUITE_P(Orders, HostOrders, ::testing::ValuesIn(kOrders),
                         [](const ::testing::TestParamInfo<HostOrder>& info) {
                           return std::string(info.param.name);
                         });

TEST(HostOrdersNoInput, RenderWithNothingConnectedIsRefusedUntouched) {
  for (AudioComponent c : {TestAUComponent(), EffectComponent(Route::kFactory)}) {
    AUHost unit(c);
    ASSERT_EQ(AudioUnitInitialize(unit.Get()), noErr);
    std::vector<std::vector<float>> out(2);
    EXPECT_EQ(unit.Render(out, 64, 0.0), kAudioUnitErr_NoConnection);
    EXPECT_EQ(out[1], std::vector<float>(64, -7.0f));
    // Connected, then disconnected again by an empty callback.
    ASSERT_EQ(unit.ConnectInput(), noErr);
    EXPECT_EQ(unit.Render(out, 64, 64.0), noErr);
    AURenderCallbackStruct none = {nullptr, nullptr};
    AudioUnitSetProperty(unit.Get(), kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input, 0,
                         &none, sizeof none);
    EXPECT_EQ(unit.Render(out, 64, 128.0), kAudioUnitErr_NoConnection);
    EXPECT_EQ(out[0], std::vector<float>(64, -7.0f));
    EXPECT_EQ(unit.pulls, 1);
  }
}

// A refused input format leaves the input bus at zero channels, which no pair allows.
TEST(HostOrdersNoInput, InitializeRefusesAnOutputWithoutInput) {
  AUHost unit(TestAUComponent());
  ASSERT_EQ(unit.SetFormat(kAudioUnitScope_Output, 2), noErr);
  ASSERT_NE(unit.SetFormat(kAudioUnitScope_Input, 3), noErr);
  EXPECT_NE(AudioUnitInitialize(unit.Get()), noErr);
}

}  // namespace
