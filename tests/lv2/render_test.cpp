// The LV2 plug-in renders exactly what the Audio Unit build renders for the same
// blocks and control changes, and handles what a host may get wrong.
#include <gtest/gtest.h>

#include <algorithm>

#include <cmath>
#include <limits>
#include <string>

#include "RenderScript.h"
#include "Vantrose.h"

namespace {

constexpr double kRate = 48000.0;

// Every band active, then the switches, the pass filters, output gain, oversampling,
// the bypass switch and out-of-range values, spread over the run.
std::vector<ControlChange> FullScript() {
  return {{0, Vantrose::kLGain, 0.8f},    {0, Vantrose::kLMGain, 0.3f},
          {0, Vantrose::kHMGain, 0.7f},   {0, Vantrose::kHGain, 0.65f},
          {700, Vantrose::kBell, 1.0f},   {700, Vantrose::kHPLP, 1.0f},
          {700, Vantrose::kHP, 0.3f},     {700, Vantrose::kLP, 0.6f},
          {1500, Vantrose::kGain, -6.5f}, {1500, Vantrose::kOver, 1.0f},
          {2600, Vantrose::kLFreq, 0.2f}, {2600, Vantrose::kHFreq, 0.9f},
          {2600, Vantrose::kBY, 0.0f},    {3400, Vantrose::kBY, 1.0f},
          {3400, Vantrose::kGain, 30.0f}, {3400, Vantrose::kLMFreq, 0.05f},
          {4500, Vantrose::kOver, 0.0f},  {4500, Vantrose::kBell, 0.5f},
          {4500, Vantrose::kHMFreq, 0.4f}};
}

struct RenderCase {
  const char* uri;
  int nChannels;
  int blockSize;
  int nFrames;
};

class SameAsAudioUnit : public ::testing::TestWithParam<RenderCase> {};

TEST_P(SameAsAudioUnit, BitForBitWithControlChangesBetweenBlocks) {
  const RenderCase& rc = GetParam();
  LV2Instance lv2(BundleWorld(), rc.uri, kRate, rc.blockSize, Features::kMapAndOptions);
  ASSERT_TRUE(lv2.Ok());
  ASSERT_EQ(lv2.NChannels(), rc.nChannels);
  AUReference au(rc.nChannels, kRate, rc.blockSize);
  ASSERT_TRUE(au.Ok());
  std::vector<std::vector<float>> in = TestSignal(rc.nChannels, rc.nFrames);
  std::vector<std::vector<float>> a = RunLV2(lv2, in, rc.blockSize, FullScript());
  std::vector<std::vector<float>> b = RunAU(au, in, rc.blockSize, FullScript());
  ASSERT_EQ(a.size(), static_cast<size_t>(rc.nChannels));
  ASSERT_EQ(b.size(), a.size());
  for (int c = 0; c < rc.nChannels; ++c) {
    long at = FirstDifference(a[c], b[c]);
    EXPECT_EQ(at, -1) << "channel " << c << " first differs at frame " << at;
  }
  EXPECT_NE(a[0], in[0]) << "the effect must have processed the signal";
}

// Block sizes of one frame (as lv2apply runs), a power of two and an odd size that
// leaves a short last block; the script's change times fall inside blocks.
INSTANTIATE_TEST_SUITE_P(Blocks, SameAsAudioUnit,
                         ::testing::Values(RenderCase{kStereoURI, 2, 1, 5000},
                                           RenderCase{kStereoURI, 2, 64, 6000},
                                           RenderCase{kStereoURI, 2, 509, 6000},
                                           RenderCase{kMonoURI, 1, 1, 5000},
                                           RenderCase{kMonoURI, 1, 256, 6000}),
                         [](const ::testing::TestParamInfo<RenderCase>& info) {
                           return std::string(info.param.nChannels == 2 ? "Stereo" : "Mono") +
                                  "Block" + std::to_string(info.param.blockSize);
                         });

// A host that offers nothing and runs a block longer than the plug-in allocated for:
// the plug-in splits it into pieces of its block size, as a host would deliver them.
TEST(LV2Render, WithoutFeaturesLongBlocksMatchTheSameBlocksInPieces) {
  LV2Instance lv2(BundleWorld(), kStereoURI, 44100.0, 0, Features::kNone);
  ASSERT_TRUE(lv2.Ok());
  AUReference au(2, 44100.0, 4096);
  ASSERT_TRUE(au.Ok());
  std::vector<std::vector<float>> in = TestSignal(2, 10000);
  std::vector<std::vector<float>> a = RunLV2(lv2, in, 10000, {});
  std::vector<std::vector<float>> b = RunAU(au, in, 4096, {});
  ASSERT_EQ(a.size(), 2u);
  ASSERT_EQ(b.size(), 2u);
  EXPECT_EQ(FirstDifference(a[0], b[0]), -1);
  EXPECT_EQ(FirstDifference(a[1], b[1]), -1);
}

// Deactivating and activating again forgets the earlier audio: what follows is what
// a fresh instance renders.
TEST(LV2Render, ReactivationStartsAfresh) {
  std::vector<std::vector<float>> first = TestSignal(2, 3000);
  std::vector<std::vector<float>> second = TestSignal(2, 2048);
  for (auto& ch : second)
    std::reverse(ch.begin(), ch.end());
  LV2Instance reused(BundleWorld(), kStereoURI, kRate, 512, Features::kMapAndOptions);
  ASSERT_TRUE(reused.Ok());
  RunLV2(reused, first, 512, {{0, Vantrose::kLGain, 0.9f}});
  lilv_instance_deactivate(reused.Get());
  lilv_instance_activate(reused.Get());
  LV2Instance fresh(BundleWorld(), kStereoURI, kRate, 512, Features::kMapAndOptions);
  ASSERT_TRUE(fresh.Ok());
  fresh.controls[Vantrose::kLGain] = 0.9f;
  EXPECT_EQ(RunLV2(reused, second, 512, {}), RunLV2(fresh, second, 512, {}));
}

// A value beyond the range acts as the bound; NaN is refused and the last value stays.
TEST(LV2Render, ControlsAreClampedAndNaNIsIgnored) {
  std::vector<std::vector<float>> in = TestSignal(2, 2048);
  auto run = [&](std::vector<ControlChange> script) {
    LV2Instance fx(BundleWorld(), kStereoURI, kRate, 512, Features::kMapAndOptions);
    EXPECT_TRUE(fx.Ok());
    return RunLV2(fx, in, 512, script);
  };
  const float nan = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(run({{0, Vantrose::kGain, 40.0f}}), run({{0, Vantrose::kGain, 12.0f}}));
  EXPECT_EQ(run({{0, Vantrose::kLMGain, -3.0f}}), run({{0, Vantrose::kLMGain, 0.0f}}));
  EXPECT_EQ(run({{0, Vantrose::kLGain, 0.9f}, {600, Vantrose::kLGain, nan}}),
            run({{0, Vantrose::kLGain, 0.9f}}));
}

// Ports a host should never use: an index past the last port, and audio ports left
// unconnected.  Neither may touch memory the plug-in was not given.
TEST(LV2Render, BadPortUseIsHarmless) {
  LV2Instance fx(BundleWorld(), kStereoURI, kRate, 256, Features::kNone);
  ASSERT_TRUE(fx.Ok());
  float stray = 1.0f;
  lilv_instance_connect_port(fx.Get(), 20, &stray);  // past the latency output
  lilv_instance_connect_port(fx.Get(), 0xFFFFFFFFu, &stray);
  lilv_instance_run(fx.Get(), 64);  // audio ports never connected
  EXPECT_EQ(stray, 1.0f);
  std::vector<std::vector<float>> out;
  fx.Run(TestSignal(2, 64), out, 64);
  ASSERT_EQ(out.size(), 2u);
  EXPECT_NE(out[0][0], -7.0f) << "once connected, it renders";
}

}  // namespace
