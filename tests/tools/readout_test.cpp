// Read-out texts and typed values of the effect's controls.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "Vantrose.h"
#include "VantroseReadout.h"

namespace {

using P = VantroseParams;
using namespace VantroseReadout;

std::unique_ptr<Vantrose> Effect() {
  return std::unique_ptr<Vantrose>(static_cast<Vantrose*>(MakePlug(nullptr)));
}

TEST(Readout, FormatsValuesAsThePanelPrintsThem) {
  const struct {
    Unit unit;
    double value;
    const char* text;
  } kCases[] = {
      {Unit::kDb, 4.26, "+4.3 dB"},    {Unit::kDb, -2.5, "-2.5 dB"},
      {Unit::kDb, -0.0003, "0.0 dB"},  {Unit::kDb, 0.04, "0.0 dB"},
      {Unit::kHz, 45.2, "45 Hz"},      {Unit::kHz, 356.4, "356 Hz"},
      {Unit::kHz, 999.4, "999 Hz"},    {Unit::kHz, 999.6, "1.00 kHz"},
      {Unit::kHz, 1254.0, "1.25 kHz"}, {Unit::kHz, 9994.0, "9.99 kHz"},
      {Unit::kHz, 9996.0, "10.0 kHz"}, {Unit::kHz, 12520.0, "12.5 kHz"},
  };
  for (const auto& c : kCases)
    EXPECT_EQ(FormatValue(c.unit, c.value), c.text) << c.value;
}

TEST(Readout, TextsOfSwitchesAndPassFilters) {
  std::unique_ptr<Vantrose> fx = Effect();
  EXPECT_EQ(Text(*fx, P::kBell, 48000.0), "Shelf");
  EXPECT_EQ(Text(*fx, P::kOver, 48000.0), "4x");
  EXPECT_EQ(Text(*fx, P::kHP, 48000.0), "off");
  EXPECT_EQ(Text(*fx, P::kGain, 48000.0), "0.0 dB");
  fx->GetParam(P::kBell)->SetValue(1);
  fx->GetParam(P::kOver)->SetValue(1);
  fx->GetParam(P::kHPLP)->SetValue(1);
  fx->GetParam(P::kBY)->SetValue(0);
  EXPECT_EQ(Text(*fx, P::kBell, 48000.0), "Bell");
  EXPECT_EQ(Text(*fx, P::kOver, 48000.0), "16x");
  EXPECT_EQ(Text(*fx, P::kBY, 48000.0), "Bypassed");
  EXPECT_EQ(Text(*fx, P::kHP, 48000.0), "HP 25 Hz");  // the knob at its lowest
  EXPECT_EQ(Text(*fx, P::kLP, 48000.0), "LP 14.6 kHz");
  EXPECT_EQ(Text(*fx, P::kLGain, 48000.0), "0.0 dB");
}

// Each typed text sets the knob to a position whose read-out prints as expected, and
// the other knobs are left alone.
TEST(Readout, TypedValuesLandOnTheirReadout) {
  const struct {
    int idx;
    const char* typed;
    const char* readout;
  } kCases[] = {
      {P::kLFreq, "120 Hz", "120 Hz"},   {P::kLFreq, "120", "120 Hz"},
      {P::kHMFreq, "1.2k", "1.20 kHz"},  {P::kHFreq, "4.5 kHz", "4.50 kHz"},
      {P::kLMGain, "+3", "+3.0 dB"},     {P::kHGain, "-2.5 dB", "-2.5 dB"},
      {P::kLGain, "15.6dB", "+15.6 dB"}, {P::kLGain, " -9,5 ", "-9.5 dB"},
      {P::kGain, "-12", "-12.0 dB"},     {P::kHP, "HP 100 Hz", "100 Hz"},
      {P::kLP, "2000", "2.00 kHz"},
  };
  for (const auto& c : kCases) {
    std::unique_ptr<Vantrose> fx = Effect();
    double pos = -1.0;
    ASSERT_EQ(ParseTyped(*fx, c.idx, 48000.0, c.typed, &pos), Typed::kApplied) << c.typed;
    EXPECT_EQ(FormatValue(UnitOf(c.idx), KnobValue(*fx, c.idx, 48000.0, pos)), c.readout)
        << c.typed;
  }
}

// Typing "0" into a gain knob gives exactly its flat default position.
TEST(Readout, TypedZeroIsExactlyFlat) {
  std::unique_ptr<Vantrose> fx = Effect();
  for (int idx : {P::kLGain, P::kLMGain, P::kHMGain, P::kHGain, P::kGain}) {
    double pos = -1.0;
    ASSERT_EQ(ParseTyped(*fx, idx, 48000.0, "0", &pos), Typed::kApplied);
    EXPECT_EQ(pos, fx->GetParam(idx)->GetNormalized(fx->GetParam(idx)->GetDefault())) << idx;
  }
}

TEST(Readout, GarbageAndUnreachableValuesChangeNothing) {
  const struct {
    int idx;
    const char* typed;
    Typed result;
  } kCases[] = {
      {P::kLFreq, "", Typed::kGarbage},         {P::kLFreq, "abc", Typed::kGarbage},
      {P::kLFreq, "120 dB", Typed::kGarbage},   {P::kLGain, "3 Hz", Typed::kGarbage},
      {P::kLFreq, "-120", Typed::kGarbage},     {P::kLFreq, "1.2.3", Typed::kGarbage},
      {P::kBell, "1", Typed::kGarbage},         {P::kLFreq, "20 Hz", Typed::kUnreachable},
      {P::kLFreq, "5k", Typed::kUnreachable},   {P::kLGain, "+16", Typed::kUnreachable},
      {P::kGain, "-12.2", Typed::kUnreachable}, {P::kHFreq, "12.5k", Typed::kUnreachable},
  };
  for (const auto& c : kCases) {
    std::unique_ptr<Vantrose> fx = Effect();
    double pos = -1.0;
    EXPECT_EQ(ParseTyped(*fx, c.idx, 48000.0, c.typed, &pos), c.result) << c.typed;
    EXPECT_EQ(pos, -1.0) << c.typed;
  }
}

TEST(Readout, RangeTextNamesBothEnds) {
  std::unique_ptr<Vantrose> fx = Effect();
  EXPECT_EQ(RangeText(*fx, P::kLGain, 48000.0), "-15.6 dB to +15.6 dB");
  EXPECT_EQ(RangeText(*fx, P::kGain, 48000.0), "-12.0 dB to +12.0 dB");
  EXPECT_EQ(RangeText(*fx, P::kHP, 48000.0), "25 Hz to 3.15 kHz");
}

}  // namespace
