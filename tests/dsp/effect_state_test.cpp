// The effect's own state: its 120-byte chunk, its one default preset "-", and its
// program files, across fresh instances.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "StatePlug.h"
#include "Vantrose.h"

namespace {

std::unique_ptr<Vantrose> MakeEffect() {
  return std::unique_ptr<Vantrose>(static_cast<Vantrose*>(MakePlug(nullptr)));
}

const std::vector<double> kDefaults = {0.5, 0.725, 0.5, 0.725, 0.5, 0.725, 0.5, 0.725,
                                       0.0, 1.0,   0.0, 0.0,   0.0, 1.0,   0.0};

std::vector<double> Values(const ByteChunk& c) {
  std::vector<double> v(static_cast<size_t>(c.Size()) / 8);
  for (size_t i = 0; i < v.size(); ++i)
    c.Read(&v[i], static_cast<int>(8 * i));
  return v;
}

TEST(EffectState, DefaultsTravelAsFifteenDoublesIn120Bytes) {
  auto effect = MakeEffect();
  ByteChunk c;
  ASSERT_TRUE(effect->SerializeState(&c));
  ASSERT_EQ(c.Size(), 120);
  EXPECT_EQ(Values(c), kDefaults);
}

TEST(EffectState, TheOneDefaultPresetIsNamedDashAndHoldsTheDefaults) {
  auto effect = MakeEffect();
  ASSERT_EQ(effect->NPresets(), 1);
  EXPECT_STREQ(effect->GetPresetName(0), "-");
  EXPECT_TRUE(effect->GetPreset(0)->mInitialized);
  EXPECT_EQ(Values(effect->GetPreset(0)->mChunk), kDefaults);
  effect->GetParam(Vantrose::kGain)->SetValue(6.0);
  ASSERT_TRUE(effect->RestorePreset("-"));
  EXPECT_EQ(effect->GetParam(Vantrose::kGain)->GetValue(), 0.0);
  EXPECT_EQ(effect->OutputGain(), 1.0);
}

TEST(EffectState, ChunkRoundTripsIntoAFreshInstanceAndReachesTheMembers) {
  auto a = MakeEffect();
  const double values[] = {0.1, 0.9, 0.3, 0.2, 0.77, 0.5, 0.0, 0.983, 0.25, 0.6, -6.5, 1, 1, 0, 1};
  for (int i = 0; i < Vantrose::kNumParams; ++i)
    a->GetParam(i)->SetValue(values[i]);
  ByteChunk c;
  a->SerializeState(&c);
  auto b = MakeEffect();
  EXPECT_EQ(b->UnserializeState(&c, 0), 120);
  for (int i = 0; i < Vantrose::kNumParams; ++i) {
    EXPECT_EQ(b->GetParam(i)->GetValue(), values[i]) << i;
  }
  EXPECT_EQ(b->BandValue(Vantrose::kHMGain), 0.77);
  EXPECT_EQ(b->SatFactor(), 16);
}

TEST(EffectState, A64ByteChunkRestoresEightAndZeroesTheNinth) {
  auto effect = MakeEffect();
  ByteChunk c;
  for (int i = 0; i < 8; ++i)
    c.Append(0.3);
  // Change parameters 9..14 behind the effect's back: the announcement after the
  // read must still reach every member.
  effect->GetParam(Vantrose::kLP)->SetValue(0.4);
  effect->GetParam(Vantrose::kGain)->SetValue(12.0);
  effect->GetParam(Vantrose::kOver)->SetValue(1.0);
  EXPECT_EQ(effect->UnserializeState(&c, 0), -1);
  for (int i = 0; i < 8; ++i)
    EXPECT_EQ(effect->GetParam(i)->GetValue(), 0.3) << i;
  EXPECT_EQ(effect->GetParam(Vantrose::kHP)->GetValue(), 0.0);
  EXPECT_EQ(effect->GetParam(Vantrose::kLP)->GetValue(), 0.4);
  EXPECT_EQ(effect->GetParam(Vantrose::kGain)->GetValue(), 12.0);
  EXPECT_EQ(effect->BandValue(Vantrose::kLP), 0.4);
  EXPECT_NEAR(effect->OutputGain(), 3.9810717, 1e-7);
  EXPECT_EQ(effect->SatFactor(), 16);
}

TEST(EffectState, TrailingBytesAreIgnored) {
  auto effect = MakeEffect();
  ByteChunk c;
  effect->SerializeState(&c);
  c.Append(42);
  EXPECT_EQ(effect->UnserializeState(&c, 0), 120);
}

TEST(EffectProgramFile, IsParameterFormAndRoundTripsIntoAFreshInstance) {
  auto a = MakeEffect();
  a->GetParam(Vantrose::kGain)->SetValue(-3.0);
  a->GetParam(Vantrose::kBell)->SetValue(1.0);
  a->ModifyCurrentPreset("warm");
  ByteChunk file;
  ASSERT_TRUE(a->MakeProgramFile(&file));
  ASSERT_EQ(file.Size(), 56 + 4 * 15);
  auto b = MakeEffect();
  ASSERT_EQ(b->LoadProgramFile(&file), kFxOK);
  EXPECT_STREQ(b->GetPresetName(0), "warm");
  EXPECT_EQ(b->GetParam(Vantrose::kBell)->GetValue(), 1.0);
  EXPECT_NEAR(b->GetParam(Vantrose::kGain)->GetValue(), -3.0, 1e-5);
  EXPECT_NEAR(b->OutputGain(), 0.70794578, 1e-6);
}

TEST(EffectProgramFile, ChunkFormAndForeignFilesAreRefused) {
  StatePlug chunky(true, 1, VantroseIdentity::kUniqueID);
  ByteChunk file;
  chunky.MakeProgramFile(&file);
  auto effect = MakeEffect();
  std::string before = Snapshot(*effect);
  EXPECT_EQ(effect->LoadProgramFile(&file), kFxChunksNotSupported);
  StatePlug other;
  other.MakeProgramFile(&file);
  EXPECT_EQ(effect->LoadProgramFile(&file), kFxForeignPlugin);
  EXPECT_EQ(Snapshot(*effect), before);
}

}  // namespace
