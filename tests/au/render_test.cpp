#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "AUTestHost.h"
#include "IPluginAU.h"

namespace {

// A stereo TestAU at 512 frames, initialised, with input from the host's callback.
class Render : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(unit.SetFormat(kAudioUnitScope_Output, 2), noErr);
    ASSERT_EQ(unit.SetFormat(kAudioUnitScope_Input, 2), noErr);
    ASSERT_EQ(unit.SetUInt32(kAudioUnitProperty_MaximumFramesPerSlice, 512), noErr);
    ASSERT_EQ(unit.ConnectInput(), noErr);
    ASSERT_EQ(AudioUnitInitialize(unit.Get()), noErr);
    unit.input = {std::vector<float>(512, 0.25f), std::vector<float>(512, -0.5f)};
  }
  TestAU* Plug() { return static_cast<TestAU*>(unit.Plug()); }

  AUHost unit{TestAUComponent()};
  std::vector<std::vector<float>> out = std::vector<std::vector<float>>(2);
};

TEST_F(Render, PullsInputOncePerSampleTime) {
  ASSERT_EQ(unit.Render(out, 64, 0.0), noErr);
  EXPECT_EQ(unit.pulls, 1);
  EXPECT_EQ(out[0][63], 0.5f);
  EXPECT_EQ(out[1][0], -1.0f);
  unit.input[0].assign(512, 1.0f);
  ASSERT_EQ(unit.Render(out, 64, 0.0), noErr);  // same time: the inputs already pulled
  EXPECT_EQ(unit.pulls, 1);
  EXPECT_EQ(out[0][0], 0.5f);
  ASSERT_EQ(unit.Render(out, 64, 64.0), noErr);
  EXPECT_EQ(unit.pulls, 2);
  EXPECT_EQ(out[0][0], 2.0f);
  EXPECT_EQ(Plug()->GetInputConnection(0)->mInputType, IPluginAU::eRenderCallback);
}

TEST_F(Render, NullOutputBuffersGetTheWrappersScratch) {
  std::vector<unsigned char> storage;
  AudioBufferList* list = MakeBufferList(storage, 2);
  list->mBuffers[0] = {1, 0, nullptr};
  list->mBuffers[1] = {1, 0, nullptr};
  AudioTimeStamp ts = SampleTime(0.0);
  AudioUnitRenderActionFlags flags = 0;
  ASSERT_EQ(AudioUnitRender(unit.Get(), &flags, &ts, 0, 32, list), noErr);
  for (int c = 0; c < 2; ++c) {
    EXPECT_EQ(list->mBuffers[c].mData, Plug()->OutputScratch(c, 32));
    EXPECT_EQ(list->mBuffers[c].mDataByteSize, 128u);
  }
  EXPECT_EQ(static_cast<float*>(list->mBuffers[1].mData)[31], -1.0f);
}

TEST_F(Render, BypassPassesTheInputWithoutProcessing) {
  ASSERT_EQ(unit.SetUInt32(kAudioUnitProperty_BypassEffect, 1), noErr);
  int processed = Plug()->processed;
  ASSERT_EQ(unit.Render(out, 100, 0.0), noErr);
  EXPECT_EQ(out[0], std::vector<float>(100, 0.25f));
  EXPECT_EQ(out[1], std::vector<float>(100, -0.5f));
  EXPECT_EQ(Plug()->processed, processed);
}

TEST_F(Render, RefusedCallsTouchNothing) {
  EXPECT_EQ(unit.Render(out, 513, 0.0), kAudioUnitErr_InvalidPropertyValue);
  EXPECT_EQ(out[0][0], -7.0f);
  std::vector<std::vector<float>> three(3);
  EXPECT_EQ(unit.Render(three, 64, 0.0), kAudioUnitErr_InvalidPropertyValue);
  EXPECT_EQ(three[2][0], -7.0f);

  std::vector<float> buf(64, -7.0f);
  std::vector<unsigned char> storage;
  AudioBufferList* list = MakeBufferList(storage, 1);
  list->mBuffers[0] = {1, 64, buf.data()};  // 16 frames of room for 64
  AudioTimeStamp ts = SampleTime(0.0);
  EXPECT_EQ(AudioUnitRender(unit.Get(), nullptr, &ts, 0, 64, list),
            kAudioUnitErr_InvalidPropertyValue);
  list->mBuffers[0].mDataByteSize = 256;
  EXPECT_EQ(AudioUnitRender(unit.Get(), nullptr, &ts, 1, 64, list),
            kAudioUnitErr_InvalidPropertyValue);
  ts.mFlags = 0;
  EXPECT_EQ(AudioUnitRender(unit.Get(), nullptr, &ts, 0, 64, list),
            kAudioUnitErr_InvalidPropertyValue);
  EXPECT_EQ(AudioUnitRender(unit.Get(), nullptr, nullptr, 0, 64, list),
            kAudioUnitErr_InvalidPropertyValue);
  EXPECT_EQ(buf[0], -7.0f);
  EXPECT_EQ(unit.pulls, 0);
  EXPECT_EQ(Plug()->processed, 0);
}

TEST_F(Render, NotificationsBracketEachRender) {
  static std::vector<AudioUnitRenderActionFlags> seen;
  seen.clear();
  AURenderCallback notify = [](void*, AudioUnitRenderActionFlags* flags, const AudioTimeStamp*,
                               UInt32, UInt32, AudioBufferList*) -> OSStatus {
    seen.push_back(*flags);
    return noErr;
  };
  ASSERT_EQ(AudioUnitAddRenderNotify(unit.Get(), notify, nullptr), noErr);
  unit.Render(out, 16, 0.0);
  EXPECT_EQ(seen, (std::vector<AudioUnitRenderActionFlags>{4, 8}));
  ASSERT_EQ(AudioUnitRemoveRenderNotify(unit.Get(), notify, nullptr), noErr);
  unit.Render(out, 16, 16.0);
  EXPECT_EQ(seen.size(), 2u);
}

TEST_F(Render, UpstreamFailurePassesThroughAndLeavesOutputs) {
  AURenderCallbackStruct failing = {
      [](void*, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32, UInt32,
         AudioBufferList*) -> OSStatus { return -1234; },
      nullptr};
  ASSERT_EQ(AudioUnitSetProperty(unit.Get(), kAudioUnitProperty_SetRenderCallback,
                                 kAudioUnitScope_Input, 0, &failing, sizeof failing),
            noErr);
  EXPECT_EQ(unit.Render(out, 16, 0.0), -1234);
  EXPECT_EQ(out[0][0], -7.0f);
}

TEST(RenderChannels, OutputWithoutAHostFormatUsesAllItsChannels) {
  AUHost unit(TestAUComponent());
  unit.ConnectInput();  // no stream format set on either side
  ASSERT_EQ(AudioUnitInitialize(unit.Get()), noErr);
  unit.input = {std::vector<float>(16, 0.5f), std::vector<float>(16, 0.25f)};
  std::vector<std::vector<float>> out(2);
  ASSERT_EQ(unit.Render(out, 16, 0.0), noErr);
  EXPECT_EQ(out[0], std::vector<float>(16, 1.0f));
  EXPECT_EQ(out[1], std::vector<float>(16, 0.5f));
}

TEST(RenderChannels, AnInputBufferLeftEmptyReadsAsSilence) {
  AUHost unit(TestAUComponent());
  AURenderCallbackStruct empty = {[](void*, AudioUnitRenderActionFlags*, const AudioTimeStamp*,
                                     UInt32, UInt32, AudioBufferList* io) -> OSStatus {
                                    static_cast<float*>(io->mBuffers[0].mData)[0] = 9.0f;
                                    io->mBuffers[1].mData = nullptr;
                                    io->mBuffers[0].mDataByteSize =
                                        4;  // one frame of room for sixteen
                                    return noErr;
                                  },
                                  nullptr};
  ASSERT_EQ(AudioUnitSetProperty(unit.Get(), kAudioUnitProperty_SetRenderCallback,
                                 kAudioUnitScope_Input, 0, &empty, sizeof empty),
            noErr);
  std::vector<std::vector<float>> out(2);
  ASSERT_EQ(unit.Render(out, 16, 0.0), noErr);
  EXPECT_EQ(out[0], std::vector<float>(16, 0.0f));
  EXPECT_EQ(out[1], std::vector<float>(16, 0.0f));
}

TEST(RenderChannels, MonoInputIsRefusedWhileActiveWithStereoOutput) {
  AUHost unit(TestAUComponent());
  ASSERT_EQ(unit.SetFormat(kAudioUnitScope_Output, 2), noErr);
  ASSERT_EQ(unit.SetFormat(kAudioUnitScope_Input, 2), noErr);
  ASSERT_EQ(AudioUnitInitialize(unit.Get()), noErr);
  EXPECT_EQ(unit.SetFormat(kAudioUnitScope_Input, 1), kAudioUnitErr_InvalidProperty);
  AudioUnitUninitialize(unit.Get());
  EXPECT_EQ(unit.SetFormat(kAudioUnitScope_Input, 1), noErr);  // output side is a wildcard
}

TEST(RenderChannels, MonoRenderUsesOneChannel) {
  AUHost unit(TestAUComponent());
  unit.SetFormat(kAudioUnitScope_Output, 1);
  unit.SetFormat(kAudioUnitScope_Input, 1);
  unit.ConnectInput();
  ASSERT_EQ(AudioUnitInitialize(unit.Get()), noErr);
  unit.input = {std::vector<float>(64, 0.125f)};
  std::vector<std::vector<float>> out(1);
  ASSERT_EQ(unit.Render(out, 64, 0.0), noErr);
  EXPECT_EQ(out[0], std::vector<float>(64, 0.25f));
}

// ---- Upstream units ----

TEST(RenderUpstream, PullsFromAConnectedUnitWithoutFastDispatch) {
  AUHost source(TestAUComponent()), dest(TestAUComponent());
  source.ConnectInput();
  source.input = {std::vector<float>(32, 0.25f), std::vector<float>(32, 0.5f)};
  AudioUnitConnection conn = {source.Get(), 0, 0};
  ASSERT_EQ(AudioUnitSetProperty(dest.Get(), kAudioUnitProperty_MakeConnection,
                                 kAudioUnitScope_Input, 0, &conn, sizeof conn),
            noErr);
  EXPECT_EQ(dest.Plug()->GetInputConnection(0)->mInputType, IPluginAU::eDirectNoFastProc);
  std::vector<std::vector<float>> out(2);
  ASSERT_EQ(dest.Render(out, 32, 0.0), noErr);
  EXPECT_EQ(out[0][0], 1.0f);
  EXPECT_EQ(out[1][31], 2.0f);
  conn.destInputNumber = 1;
  EXPECT_EQ(AudioUnitSetProperty(dest.Get(), kAudioUnitProperty_MakeConnection,
                                 kAudioUnitScope_Input, 0, &conn, sizeof conn),
            kAudioUnitErr_InvalidProperty);
}

// An entry-route source that offers a fast render entry and writes a constant.
struct FastSource {
  static OSStatus Render(void* storage, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32,
                         UInt32 nFrames, AudioBufferList* io) {
    static float buf[2][64];
    ++*static_cast<int*>(storage);
    for (UInt32 c = 0; c < io->mNumberBuffers; ++c) {
      for (UInt32 s = 0; s < nFrames; ++s)
        buf[c][s] = 0.75f;
      io->mBuffers[c].mData = buf[c];
    }
    return noErr;
  }
  static ComponentResult Entry(ComponentParameters* p, void*) {
    static int renders = 0;
    switch (p->what) {
      case kComponentOpenSelect:
        SetComponentInstanceStorage(FromComponentParam<AudioComponentInstance>(p, 0), &renders);
        return noErr;
      case kComponentCloseSelect:
        return noErr;
      case kAudioUnitGetPropertySelect: {
        AudioUnitPropertyID id = FromComponentParam<AudioUnitPropertyID>(p, 0);
        void* data = FromComponentParam<void*>(p, 3);
        if (id == kAudioUnitProperty_StreamFormat) {
          AudioStreamBasicDescription f = {44100.0, kAudioFormatLinearPCM, 0x29, 4, 1, 4, 2, 32, 0};
          std::memcpy(data, &f, sizeof f);
          return noErr;
        }
        if (id == kAudioUnitProperty_FastDispatch) {
          AudioUnitRenderProc proc = Render;
          std::memcpy(data, &proc, sizeof proc);
          return noErr;
        }
        return kAudioUnitErr_InvalidProperty;
      }
      default:
        return badComponentSelector;
    }
  }
};

TEST(RenderUpstream, UsesTheSourcesFastRenderEntry) {
  AudioComponentDescription desc = {FourCC('f', 'a', 's', 't'), 1, 1, 0, 0};
  static AudioComponent c = RegisterComponentEntry(&desc, FastSource::Entry, "fast", 1);
  AUHost source(c), dest(TestAUComponent());
  AudioUnitConnection conn = {source.Get(), 0, 0};
  ASSERT_EQ(AudioUnitSetProperty(dest.Get(), kAudioUnitProperty_MakeConnection,
                                 kAudioUnitScope_Input, 0, &conn, sizeof conn),
            noErr);
  EXPECT_EQ(dest.Plug()->GetInputConnection(0)->mInputType, IPluginAU::eDirectFastProc);
  std::vector<std::vector<float>> out(2);
  ASSERT_EQ(dest.Render(out, 64, 0.0), noErr);
  EXPECT_EQ(out[1][63], 1.5f);
  EXPECT_EQ(*static_cast<int*>(GetComponentInstanceStorage(source.Get())), 1);
}

}  // namespace
