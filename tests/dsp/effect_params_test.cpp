#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#include "Vantrose.h"

namespace {

std::unique_ptr<Vantrose> MakeEffect() {
  return std::unique_ptr<Vantrose>(static_cast<Vantrose*>(MakePlug(nullptr)));
}

struct ParamRow {
  int idx;
  const char* name;
  EParamKind kind;
  double defaultVal, minVal, maxVal, step, shape;
  const char* label;
};

const ParamRow kTable[] = {
    {Vantrose::kLGain, "LGain", kParamDouble, 0.5, 0, 1, 0.01, 1.0, "%"},
    {Vantrose::kLFreq, "LFreq", kParamDouble, 0.725, 0.1, 0.983, 0.01, 0.5, "%"},
    {Vantrose::kLMGain, "LMGain", kParamDouble, 0.5, 0, 1, 0.01, 1.0, "%"},
    {Vantrose::kLMFreq, "LMFreq", kParamDouble, 0.725, 0.1, 0.983, 0.01, 0.5, "%"},
    {Vantrose::kHMGain, "HMGain", kParamDouble, 0.5, 0, 1, 0.01, 1.0, "%"},
    {Vantrose::kHMFreq, "HMFreq", kParamDouble, 0.725, 0.1, 0.983, 0.01, 0.5, "%"},
    {Vantrose::kHGain, "HGain", kParamDouble, 0.5, 0, 1, 0.01, 1.0, "%"},
    {Vantrose::kHFreq, "HFreq", kParamDouble, 0.725, 0.1, 0.983, 0.01, 0.5, "%"},
    {Vantrose::kHP, "HP", kParamDouble, 0, 0, 1, 0.01, 0.5, "%"},
    {Vantrose::kLP, "LP", kParamDouble, 1, 0, 1, 0.01, 0.2, "%"},
    {Vantrose::kGain, "Gain", kParamDouble, 0, -12, 12, 0.01, 1.0, "%"},
    {Vantrose::kBell, "Bell", kParamInt, 0, 0, 1, 1, 1.0, ""},
    {Vantrose::kHPLP, "HPLP", kParamInt, 0, 0, 1, 1, 1.0, ""},
    {Vantrose::kBY, "BY", kParamInt, 1, 0, 1, 1, 1.0, ""},
    {Vantrose::kOver, "", kParamNone, 0, 0, 1, 1, 1.0, ""},
};

TEST(EffectParams, TableMatchesTheEffect) {
  auto fx = MakeEffect();
  ASSERT_EQ(fx->NParams(), 15);
  for (const ParamRow& row : kTable) {
    SCOPED_TRACE(row.idx);
    const IParam* p = fx->GetParam(row.idx);
    ASSERT_NE(p, nullptr);
    EXPECT_STREQ(p->GetNameForHost(), row.name);
    EXPECT_EQ(p->GetKind(), row.kind);
    EXPECT_EQ(p->GetValue(), row.defaultVal);
    EXPECT_EQ(p->GetDefault(), row.defaultVal);
    EXPECT_EQ(p->GetMin(), row.minVal);
    EXPECT_EQ(p->GetMax(), row.maxVal);
    EXPECT_EQ(p->GetStep(), row.step);
    EXPECT_EQ(p->GetShape(), row.shape);
    EXPECT_STREQ(p->GetLabelForHost(), row.label);
    EXPECT_EQ(p->GetPrecision(), row.kind == kParamDouble ? 2 : 0);
  }
  EXPECT_EQ(fx->GetParam(15), nullptr);
  EXPECT_EQ(fx->GetParam(-1), nullptr);
}

TEST(EffectParams, Identity) {
  auto fx = MakeEffect();
  EXPECT_STREQ(fx->GetEffectName(), "Vantrose");
  EXPECT_STREQ(fx->GetProductName(), "");
  EXPECT_STREQ(fx->GetMfrName(), "Kelvorin");
  EXPECT_EQ(fx->GetUniqueID(), 0x566E7431);  // 'Vnt1'
  EXPECT_EQ(fx->GetMfrID(), 0x4B6C766E);     // 'Klvn'
  EXPECT_EQ(fx->GetEffectVersion(true), 30000);
  EXPECT_EQ(fx->GetAPI(), kAPIAU);
  EXPECT_EQ(fx->GetLatency(), 0);
  EXPECT_FALSE(fx->DoesMIDI());
  EXPECT_FALSE(fx->DoesStateChunks());
  EXPECT_FALSE(fx->IsInst());
  EXPECT_TRUE(fx->LegalIO(1, 1));
  EXPECT_TRUE(fx->LegalIO(2, 2));
  EXPECT_FALSE(fx->LegalIO(1, 2));
  EXPECT_FALSE(fx->LegalIO(2, 1));
  EXPECT_STREQ(fx->GetCocoaViewFactoryClassName(), "Vantrose_View");
  EXPECT_EQ(std::strncmp(fx->GetBundleID(), "com.kelvorin.audiounit.", 23), 0);
}

TEST(EffectParams, MembersStartAtOneUntilTheHostInitialises) {
  auto fx = MakeEffect();
  for (int i = Vantrose::kLGain; i <= Vantrose::kLP; ++i)
    EXPECT_EQ(fx->BandValue(i), 1.0);
  EXPECT_EQ(fx->OutputGain(), 1.0);
  EXPECT_EQ(fx->SatFactor(), 4);
  fx->OnParamReset();
  EXPECT_EQ(fx->BandValue(Vantrose::kLFreq), 0.725);
  EXPECT_EQ(fx->BandValue(Vantrose::kHP), 0.0);
  EXPECT_EQ(fx->OutputGain(), 1.0);
}

TEST(EffectParams, OutputGainIsDecibelsToLinear) {
  auto fx = MakeEffect();
  fx->GetParam(Vantrose::kGain)->SetValue(-12.0);
  fx->OnParamChange(Vantrose::kGain);
  EXPECT_EQ(fx->OutputGain(), std::pow(10.0, -0.6));
  EXPECT_NEAR(fx->OutputGain(), 0.2512, 1e-4);
  fx->GetParam(Vantrose::kGain)->SetValue(0.0);
  fx->OnParamChange(Vantrose::kGain);
  EXPECT_EQ(fx->OutputGain(), 1.0);
}

TEST(EffectParams, OversamplingSwitchTruncates) {
  auto fx = MakeEffect();
  IParam* over = fx->GetParam(Vantrose::kOver);
  over->SetValue(0.99);
  fx->OnParamChange(Vantrose::kOver);
  EXPECT_EQ(fx->SatFactor(), 4);
  over->SetValue(1.0);
  fx->OnParamChange(Vantrose::kOver);
  EXPECT_EQ(fx->SatFactor(), 16);
  // From the editor the uninitialised switch is stepped like an int: 0 or 1.
  over->SetNormalized(0.4);
  EXPECT_EQ(over->GetValue(), 0.0);
  over->SetNormalized(0.5);
  EXPECT_EQ(over->GetValue(), 1.0);
}

TEST(EffectParams, SwitchesAndUnknownIndicesChangeNoMember) {
  auto fx = MakeEffect();
  fx->OnParamReset();
  for (int idx : {int(Vantrose::kBell), int(Vantrose::kHPLP), int(Vantrose::kBY), 99, -3}) {
    if (IParam* p = fx->GetParam(idx)) p->SetValue(1.0);
    fx->OnParamChange(idx);
  }
  EXPECT_EQ(fx->BandValue(Vantrose::kLGain), 0.5);
  EXPECT_EQ(fx->OutputGain(), 1.0);
  EXPECT_EQ(fx->SatFactor(), 4);
}

TEST(EffectParams, DefaultPresetHoldsTheDefaults) {
  auto fx = MakeEffect();
  ASSERT_EQ(fx->NPresets(), 1);
  const IPreset* preset = fx->GetPreset(0);
  EXPECT_TRUE(preset->mInitialized);
  EXPECT_STREQ(preset->mName, "-");
  ASSERT_EQ(preset->mChunk.Size(), 15 * 8);
  for (const ParamRow& row : kTable) {
    double v;
    preset->mChunk.Read(&v, row.idx * 8);
    EXPECT_EQ(v, row.defaultVal) << row.idx;
  }
}

TEST(EffectParams, MakePlugConstructsInPlaceAndFromManyThreads) {
  alignas(Vantrose) unsigned char storage[sizeof(Vantrose)];
  IPluginBase* inPlace = MakePlug(storage);
  EXPECT_EQ(static_cast<void*>(inPlace), static_cast<void*>(storage));
  EXPECT_EQ(inPlace->NParams(), 15);
  inPlace->~IPluginBase();

  std::vector<std::unique_ptr<IPluginBase>> made(8);
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t) {
    threads.emplace_back([&made, t] { made[t].reset(MakePlug(nullptr)); });
  }
  for (std::thread& th : threads)
    th.join();
  for (auto& plug : made) {
    ASSERT_NE(plug, nullptr);
    EXPECT_EQ(plug->NParams(), 15);
    EXPECT_STREQ(plug->GetParam(Vantrose::kGain)->GetNameForHost(), "Gain");
  }
}

TEST(EffectParams, DisplayTextsAsAHostSeesThem) {
  auto fx = MakeEffect();
  char text[MAX_PARAM_DISPLAY_LEN];
  fx->GetParam(Vantrose::kLFreq)->GetDisplayForHost(text);
  EXPECT_STREQ(text, "0.72");  // 0.725 is just below the half in binary
  fx->GetParam(Vantrose::kGain)->GetDisplayForHost(-11.999, false, text);
  EXPECT_STREQ(text, "-12.00");
  fx->GetParam(Vantrose::kBY)->GetDisplayForHost(text);
  EXPECT_STREQ(text, "1");
}

}  // namespace
