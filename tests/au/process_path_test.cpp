#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "AUHost.h"
#include "EffectSetup.h"
#include "StateFile.h"
#include "VantroseComponent.h"
#include "au-utilities.h"

namespace {

// Noise in planar blocks, with a short last block, through one path or the other.
struct Job {
  int channels;
  double rate;
  int block;
  std::vector<ParamSetting> settings;
};

std::vector<float> Noise(int n) {
  std::mt19937 rng(11);
  std::uniform_real_distribution<float> d(-1.0f, 1.0f);
  std::vector<float> v(static_cast<size_t>(n));
  for (float& x : v)
    x = d(rng);
  return v;
}

constexpr int kFrames = 5000;

// The effect driven directly through its float path: the reference.
std::vector<float> Direct(const Job& run, const std::vector<float>& in) {
  std::unique_ptr<Vantrose> fx =
      MakeConfiguredEffect(run.rate, run.block, run.channels, run.settings);
  std::vector<float> out(in.size());
  for (int pos = 0; pos < kFrames; pos += run.block) {
    int n = std::min(run.block, kFrames - pos);
    float* ins[2] = {const_cast<float*>(&in[pos]), const_cast<float*>(&in[kFrames + pos])};
    float* outs[2] = {&out[pos], &out[kFrames + pos]};
    ProcessFloatBlock(*fx, ins, outs, run.channels, n);
  }
  return out;
}

// The same through the Audio Unit as the process command drives it.
std::vector<float> ThroughUnit(const Job& run, const std::vector<float>& in) {
  AUHost host(VantroseComponent::RegisterFactory());
  EXPECT_EQ(
      host.Configure(run.rate, static_cast<UInt32>(run.channels), static_cast<UInt32>(run.block)),
      noErr);
  for (const ParamSetting& s : run.settings)
    EXPECT_EQ(host.SetParameter(static_cast<UInt32>(s.idx), static_cast<float>(s.value)), noErr);
  EXPECT_EQ(host.Initialize(), noErr);
  std::vector<float> out(in.size());
  for (int pos = 0; pos < kFrames; pos += run.block) {
    int n = std::min(run.block, kFrames - pos);
    const float* ins[2] = {&in[pos], &in[kFrames + pos]};
    float* outs[2] = {&out[pos], &out[kFrames + pos]};
    EXPECT_EQ(host.Render(ins, outs, static_cast<UInt32>(run.channels), static_cast<UInt32>(n)),
              noErr);
  }
  return out;
}

class ProcessPath : public ::testing::TestWithParam<Job> {};

TEST_P(ProcessPath, UnitOutputIsBitIdenticalToTheFloatPath) {
  std::vector<float> in = Noise(2 * kFrames);
  const Job& run = GetParam();
  if (run.channels == 1) std::fill(in.begin() + kFrames, in.end(), 0.0f);
  std::vector<float> direct = Direct(run, in), unit = ThroughUnit(run, in);
  std::vector<float> a(direct.begin(), direct.begin() + kFrames * run.channels);
  std::vector<float> b(unit.begin(), unit.begin() + kFrames * run.channels);
  EXPECT_EQ(a, b);
  // "BY" at 0 passes the input through; every other setting changes the sound.
  bool passesThrough = !run.settings.empty() && run.settings[0].idx == 13;
  EXPECT_EQ(a == std::vector<float>(in.begin(), in.begin() + kFrames * run.channels),
            passesThrough);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, ProcessPath,
    ::testing::Values(Job{2, 44100.0, 512, {}}, Job{1, 48000.0, 256, {{10, 4.37}, {0, 0.81}}},
                      Job{2, 96000.0, 1024, {{11, 1}, {12, 1}, {8, 0.3}, {14, 1}}},
                      Job{2, 44100.0, 137, {{13, 0}, {1, 0.2}}}));

std::string TempPath(const char* name) {
  return std::string(::testing::TempDir()) + std::to_string(getpid()) + "_" + name;
}

TEST(StateFile, RoundTripsTheClassInfo) {
  AUHost host(VantroseComponent::RegisterFactory());
  host.SetParameter(10, -3.25f);
  CFPropertyListRef state = nullptr;
  UInt32 size = sizeof state;
  ASSERT_EQ(AudioUnitGetProperty(host.Get(), kAudioUnitProperty_ClassInfo, 0, 0, &state, &size),
            noErr);
  std::string path = TempPath("state.aupreset"), error;
  ASSERT_TRUE(WriteStateFile(path.c_str(), state, &error)) << error;
  CFPropertyListRef back = ReadStateFile(path.c_str(), &error);
  ASSERT_NE(back, nullptr) << error;
  ByteChunk a, b;
  EXPECT_TRUE(GetDataFromDict(static_cast<CFDictionaryRef>(state), "data", &a));
  EXPECT_TRUE(GetDataFromDict(static_cast<CFDictionaryRef>(back), "data", &b));
  EXPECT_TRUE(a.IsEqual(b));
  host.SetParameter(10, 0.0f);
  EXPECT_EQ(
      AudioUnitSetProperty(host.Get(), kAudioUnitProperty_ClassInfo, 0, 0, &back, sizeof back),
      noErr);
  EXPECT_EQ(host.GetParameter(10), -3.25f);
  CFRelease(state);
  CFRelease(back);
}

TEST(StateFile, MalformedFilesAreNamedAndRefused) {
  const char* bad[] = {
      "",
      "<plist><array></array></plist>",
      "<plist><dict><key>type</key><integer>12x</integer></dict></plist>",
      "<plist><dict><key>data</key><data>AB*C</data></dict></plist>",
      "<plist><dict><key>name</key><string>a &bogus; b</string></dict></plist>",
      "<plist><dict><key>name</key><string>unterminated",
  };
  std::string path = TempPath("bad.aupreset"), error;
  for (const char* text : bad) {
    SCOPED_TRACE(text);
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fputs(text, f);
    std::fclose(f);
    EXPECT_EQ(ReadStateFile(path.c_str(), &error), nullptr);
    EXPECT_NE(error.find(path), std::string::npos);
  }
  EXPECT_EQ(ReadStateFile(TempPath("missing.aupreset").c_str(), &error), nullptr);
}

}  // namespace
