// The high-pass HPP32 and low-pass LPP32: cutoffs, the rise inside the passband, their
// gains at 0 Hz and half the rate, measured from the coefficients at 44.1 kHz.
#include <gtest/gtest.h>

#include <ostream>

#include "FilterResponse.h"
#include "HP32.h"
#include "LP32.h"

namespace {

constexpr double kFs = 44100.0;

Coeffs HighPass(double d, double e) {
  HPP32 f;
  f.Calc(kFs, d, e);
  return ThirdOrderCoeffs(f);
}

Coeffs LowPass(double d, double e) {
  LPP32 f;
  f.Calc(kFs, d, e);
  return SecondOrderCoeffs(f);
}

struct Cutoff {
  double d;
  double highPassHz, lowPassHz;  // −3 dB points, to the two or three digits shown
};

std::ostream& operator<<(std::ostream& os, const Cutoff& c) {
  return os << "d=" << c.d;
}

class PassCutoffs : public ::testing::TestWithParam<Cutoff> {};

TEST_P(PassCutoffs, ThreeDecibelPoints) {
  const Cutoff& p = GetParam();
  const Coeffs hp = HighPass(p.d, p.d), lp = LowPass(p.d, p.d);
  const double hpPeak = FindExtremum(hp, kFs, 5.0, 20000.0).hz;
  const double lpPeak = FindExtremum(lp, kFs, 5.0, 20000.0).hz;
  EXPECT_NEAR(CrossingHz(hp, kFs, -3.0, 1.0, hpPeak), p.highPassHz, p.highPassHz * 0.02);
  EXPECT_NEAR(CrossingHz(lp, kFs, -3.0, lpPeak, 21000.0), p.lowPassHz, p.lowPassHz * 0.005);
}

INSTANTIATE_TEST_SUITE_P(Positions, PassCutoffs,
                         ::testing::Values(Cutoff{1.0, 25, 169}, Cutoff{0.5, 49, 334},
                                           Cutoff{0.2, 121, 816}, Cutoff{0.0, 3100, 14000}));

// Both rise about 1.2 dB just inside the passband: the high-pass near 1.8 times its
// cutoff, the low-pass near 0.55 times.
TEST(PassFilters, RiseInsideThePassband) {
  for (double d : {1.0, 0.5, 0.2}) {
    const Coeffs hp = HighPass(d, d), lp = LowPass(d, d);
    const Extremum hpPeak = FindExtremum(hp, kFs, 5.0, 20000.0);
    const Extremum lpPeak = FindExtremum(lp, kFs, 5.0, 20000.0);
    EXPECT_NEAR(hpPeak.db, 1.25, 0.02) << "d=" << d;
    EXPECT_NEAR(hpPeak.hz / CrossingHz(hp, kFs, -3.0, 1.0, hpPeak.hz), 1.8, 0.05) << "d=" << d;
    EXPECT_NEAR(lpPeak.db, 1.19, 0.01) << "d=" << d;
    EXPECT_NEAR(lpPeak.hz / CrossingHz(lp, kFs, -3.0, lpPeak.hz, 21000.0), 0.55, 0.02) << "d=" << d;
  }
  EXPECT_NEAR(FindExtremum(HighPass(1.0, 1.0), kFs, 5.0, 20000.0).hz, 45.0, 1.0);
  const Extremum top = FindExtremum(LowPass(0.0, 0.0), kFs, 5.0, 20000.0);
  EXPECT_NEAR(top.hz, 9900.0, 100.0);
  EXPECT_NEAR(top.db, 1.19, 0.01);
}

// Neither filter inverts: the low-pass passes 0 Hz at 0.99999, the high-pass passes
// half the rate at 0.49999 and the low-pass nothing there.
TEST(PassFilters, GainsAtTheEndsOfTheBand) {
  for (double d : {0.0, 0.2, 0.5, 0.8, 1.0}) {
    EXPECT_NEAR(GainAtDc(LowPass(d, d)), 0.99999, 5e-6) << "d=" << d;
    EXPECT_NEAR(GainAtNyquist(HighPass(d, d)), 0.49999, 5e-6) << "d=" << d;
    EXPECT_NEAR(GainAtNyquist(LowPass(d, d)), 0.0, 1e-12) << "d=" << d;
    EXPECT_NEAR(GainDb(HighPass(d, d), 8000.0 * (1.0 - d) + 2000.0, kFs), 0.0, 1.3)
        << "passband, d=" << d;
  }
}

// Well below the high-pass and well above the low-pass cutoff the slope is 12 dB per
// octave.
TEST(PassFilters, StopbandSlope) {
  const Coeffs hp = HighPass(0.5, 0.5), lp = LowPass(0.5, 0.5);
  EXPECT_NEAR(GainDb(hp, 6.0, kFs) - GainDb(hp, 3.0, kFs), 12.0, 0.5);
  EXPECT_NEAR(GainDb(lp, 4000.0, kFs) - GainDb(lp, 2000.0, kFs), -12.0, 0.5);
}

TEST(PassFilters, LowPassNumeratorIsFixed) {
  LPP32 f;
  f.Calc(kFs, 0.1, 0.2);
  const Coeffs first = SecondOrderCoeffs(f);
  f.Calc(96000.0, 0.9, 0.7);
  EXPECT_EQ(f.b0, 0.000293227446005978);
  EXPECT_EQ(f.b1, 0.000586454892011955);
  EXPECT_EQ(f.b2, 0.000293227446005978);
  EXPECT_EQ(first.b, SecondOrderCoeffs(f).b);
  EXPECT_EQ(f.a3, 0.0);
  EXPECT_EQ(f.b3, 0.0);
}

}  // namespace
