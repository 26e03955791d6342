#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <string>

#include "IParam.h"

namespace {

std::string Display(const IParam& p, double value, bool normalized = false, bool texts = true) {
  char out[MAX_PARAM_DISPLAY_LEN];
  p.GetDisplayForHost(value, normalized, out, texts);
  return out;
}

TEST(IParam, FreshParameterIsAnUnnamedSteppedSwitch) {
  IParam p;
  EXPECT_EQ(p.GetKind(), kParamNone);
  EXPECT_STREQ(p.GetNameForHost(), "");
  EXPECT_EQ(p.GetMin(), 0.0);
  EXPECT_EQ(p.GetMax(), 1.0);
  p.SetNormalized(0.4);
  EXPECT_EQ(p.GetValue(), 0.0);
  p.SetNormalized(0.5);
  EXPECT_EQ(p.GetValue(), 1.0);
  EXPECT_EQ(Display(p, 1.0), "1");
}

TEST(IParam, InitialisersKeepTheirRangeInvariants) {
  IParam i1, e1, e2, e5, d;
  i1.InitInt("x", 0, 0, 0);
  EXPECT_EQ(i1.GetMax(), 1.0);
  e1.InitEnum("e", 0, 1);
  e2.InitEnum("e", 0, 2);
  e5.InitEnum("e", 0, 5);
  EXPECT_EQ(e1.GetMax(), 1.0);
  EXPECT_EQ(e2.GetMax(), 1.0);
  EXPECT_EQ(e5.GetMax(), 4.0);
  EXPECT_EQ(e5.GetNDisplayTexts(), 0);
  d.InitDouble("d", 0.0, 2.0, 2.1, 0.5);
  EXPECT_EQ(d.GetMax(), 2.5);
}

TEST(IParam, FirstInitialisationFixesTheKind) {
  IParam p;
  p.InitInt("i", 0, 0, 5);
  p.InitDouble("d", 0.0, 0.0, 1.0, 0.1);
  EXPECT_EQ(p.GetKind(), kParamInt);
  EXPECT_STREQ(p.GetNameForHost(), "d");
  EXPECT_EQ(p.GetStep(), 0.1);
}

TEST(IParam, ShapeZeroIsIgnored) {
  IParam p;
  p.InitDouble("d", 0.0, 0.0, 1.0, 0.01, "", "", 0.0);
  EXPECT_EQ(p.GetShape(), 1.0);
  p.SetShape(0.5);
  EXPECT_EQ(p.GetShape(), 0.5);
  p.SetShape(0.0);
  EXPECT_EQ(p.GetShape(), 0.5);
}

class PrecisionTest : public ::testing::TestWithParam<std::pair<double, int>> {};

TEST_P(PrecisionTest, DecimalsFollowTheStep) {
  IParam p;
  p.InitDouble("d", 0.0, 0.0, 10.0, GetParam().first);
  EXPECT_EQ(p.GetPrecision(), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Steps, PrecisionTest,
                         ::testing::Values(std::make_pair(1.0, 0), std::make_pair(0.5, 1),
                                           std::make_pair(0.1, 1), std::make_pair(0.2, 1),
                                           std::make_pair(0.01, 2), std::make_pair(0.25, 2),
                                           std::make_pair(0.05, 2), std::make_pair(0.001, 3),
                                           std::make_pair(0.125, 3), std::make_pair(0.000001, 6),
                                           std::make_pair(1e-9, 6)));

class ShapeRoundTrip : public ::testing::TestWithParam<double> {};

TEST_P(ShapeRoundTrip, NormalisationInvertsAcrossTheRange) {
  IParam p;
  p.InitDouble("f", 0.1, 0.1, 0.983, 0.01, "%", "", GetParam());
  for (int i = 0; i <= 20; ++i) {
    double n = i / 20.0;
    double v = p.GetNonNormalized(n);
    EXPECT_NEAR(p.GetNormalized(v), n, 1e-12) << n;
  }
  // The value follows normalised^shape: with a shape below one, mid-travel lies above
  // the linear midpoint.
  EXPECT_GT(p.GetNonNormalized(0.5), 0.1 + (0.983 - 0.1) * 0.5);
  EXPECT_EQ(p.GetNonNormalized(0.5), 0.1 + (0.983 - 0.1) * std::pow(0.5, GetParam()));
}

INSTANTIATE_TEST_SUITE_P(EffectShapes, ShapeRoundTrip, ::testing::Values(0.5, 0.2));

TEST(IParam, NormalisedOutsideTheRangeClampsToTheEnds) {
  IParam p;
  p.InitDouble("g", 0.0, -12.0, 12.0, 0.01);
  EXPECT_EQ(p.GetNormalized(-40.0), 0.0);
  EXPECT_EQ(p.GetNormalized(40.0), 1.0);
}

TEST(IParam, SetNormalizedStepsHalvesUpAndClampsOnlyAbove) {
  IParam i;
  i.InitInt("i", 0, 0, 10);
  i.SetNormalized(0.55);
  EXPECT_EQ(i.GetValue(), 6.0);
  IParam d;
  d.InitDouble("d", 0.0, 0.0, 10.0, 1.0);
  d.SetNormalized(0.55);
  EXPECT_EQ(d.GetValue(), 5.5);  // doubles are not stepped
  d.SetNormalized(1.2);
  EXPECT_EQ(d.GetValue(), 10.0);
  IParam lin;
  lin.InitDouble("l", 0.0, 0.0, 1.0, 0.01);
  lin.SetNormalized(-0.5);
  EXPECT_EQ(lin.GetValue(), -0.5);  // no lower clamp
}

TEST(IParam, SetValueClampsBothWays) {
  IParam p;
  p.InitDouble("g", 0.0, -12.0, 12.0, 0.01);
  p.SetValue(-100.0);
  EXPECT_EQ(p.GetValue(), -12.0);
  p.SetValue(100.0);
  EXPECT_EQ(p.GetValue(), 12.0);
}

TEST(IParam, DisplayRoundsDoublesAndTruncatesIntegers) {
  IParam d;
  d.InitDouble("d", 0.0, -10.0, 10.0, 0.01);
  EXPECT_EQ(Display(d, 0.256), "0.26");
  IParam i;
  i.InitDouble("i", 0.0, -10.0, 10.0, 1.0);
  EXPECT_EQ(Display(i, -2.7), "-2");
  EXPECT_EQ(Display(i, 1e300), "2147483647");  // saturates instead of overflowing
  IParam n;
  n.InitDouble("n", 0.0, 0.0, 10.0, 0.01);
  EXPECT_EQ(Display(n, 1.0, true), "10.00");
}

TEST(IParam, NegatedDisplay) {
  IParam p;
  p.InitDouble("d", 0.0, -10.0, 10.0, 0.01);
  p.SetNegateDisplay(true);
  EXPECT_EQ(Display(p, 0.0), "-0.00");
  EXPECT_EQ(Display(p, 3.0), "-3.00");
}

TEST(IParam, HugeValuesNeverOverrunTheOutput) {
  IParam p;
  p.InitDouble("d", 0.0, -1e308, 1e308, 0.000001);
  char out[MAX_PARAM_DISPLAY_LEN + 8];
  std::memset(out, 'X', sizeof(out));
  p.GetDisplayForHost(1e300, false, out);
  EXPECT_EQ(std::strlen(out), static_cast<size_t>(MAX_PARAM_DISPLAY_LEN - 1));
  EXPECT_EQ(out[MAX_PARAM_DISPLAY_LEN], 'X');
}

TEST(IParam, BoolDisplayTextsAndLabels) {
  IParam b;
  b.InitBool("b", false, "lbl");
  EXPECT_EQ(Display(b, 0.0), "off");
  EXPECT_EQ(Display(b, 0.999), "off");
  EXPECT_EQ(Display(b, 1.0), "on");
  EXPECT_EQ(Display(b, 1.0, false, false), "1");
  EXPECT_STREQ(b.GetLabelForHost(), "");
  b.InitBool("b", false);  // a second init appends again; lookups find the first
  EXPECT_EQ(b.GetNDisplayTexts(), 4);
  EXPECT_STREQ(b.GetDisplayText(1), "on");
  IParam d;
  d.InitDouble("d", 0.5, 0.0, 1.0, 0.01, "%");
  EXPECT_STREQ(d.GetLabelForHost(), "%");
}

TEST(IParam, DisplayTextTableLookups) {
  IParam e;
  e.InitEnum("mode", 0, 3);
  e.SetDisplayText(0, "Shelf");
  e.SetDisplayText(2, "Bell");
  int value = -1;
  EXPECT_STREQ(e.GetDisplayTextAtIdx(1, &value), "Bell");
  EXPECT_EQ(value, 2);
  value = -1;
  EXPECT_STREQ(e.GetDisplayTextAtIdx(2, &value), "");  // outside the table
  EXPECT_STREQ(e.GetDisplayTextAtIdx(-1, &value), "");
  EXPECT_EQ(value, -1);
  EXPECT_TRUE(e.MapDisplayText("Bell", &value));
  EXPECT_EQ(value, 2);
  value = 9;
  EXPECT_FALSE(e.MapDisplayText("bell", &value));  // case-sensitive
  EXPECT_EQ(value, 9);
  EXPECT_STREQ(e.GetDisplayText(1), "");
}

TEST(IParam, LongTextsAreCutToTheirFields) {
  IParam p;
  std::string longName(100, 'n');
  p.InitDouble(longName.c_str(), 0.0, 0.0, 1.0, 0.01, longName.c_str(), longName.c_str());
  p.SetDisplayText(0, longName.c_str());
  EXPECT_EQ(std::strlen(p.GetNameForHost()), 31u);
  EXPECT_EQ(std::strlen(p.GetParamGroupForHost()), 31u);
  EXPECT_EQ(std::strlen(p.GetDisplayText(0)), 31u);
}

TEST(IParam, DecibelsToAmplitude) {
  IParam g;
  g.InitDouble("g", 0.0, -12.0, 12.0, 0.01);
  EXPECT_EQ(g.DBToAmp(), 1.0);
  g.SetValue(-6.0);
  EXPECT_NEAR(g.DBToAmp(), 0.501, 0.001);
}

TEST(IParam, TruncationIsSafeForAnyDouble) {
  EXPECT_EQ(TruncToInt(-2.7), -2);
  EXPECT_EQ(TruncToInt(0.99), 0);
  EXPECT_EQ(TruncToInt(NAN), 0);
  EXPECT_EQ(TruncToInt(1e20), INT_MAX);
  EXPECT_EQ(TruncToInt(-1e20), INT_MIN);
}

}  // namespace
