// The biquad: the exact coefficients of the setting the effect uses, its pass-through
// with zero state, and each response type's defining gains.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>

#include "Biquad.h"

namespace {

// |H| at a frequency given as a fraction of the sampling rate; the a's feed forward.
double Gain(const Biquad& q, double f) {
  const std::complex<double> z1 = std::polar(1.0, -2.0 * M_PI * f), z2 = z1 * z1;
  return std::abs((q.a0 + q.a1 * z1 + q.a2 * z2) / (1.0 + q.b1 * z1 + q.b2 * z2));
}

double Db(double gain) {
  return 20.0 * std::log10(gain);
}

TEST(Biquad, DefaultIsAPassThrough) {
  Biquad q;
  EXPECT_EQ(q.type, 0);
  EXPECT_EQ(q.a0, 1.0);
  EXPECT_EQ(q.Fc, 0.5);
  EXPECT_EQ(q.Q, 0.707);
  for (float x : {0.25f, -1.5f, 3.0e-8f})
    EXPECT_EQ(q.process(x), x);
}

// The effect's setting: 0 dB peak at a quarter of the rate.  Its coefficients make
// a0 = 1, a1 = b1 and a2 = b2 exactly, so from zero state every sample comes back
// unchanged and the state stays zero.
TEST(Biquad, FlatPeakPassesSamplesUnchanged) {
  Biquad q;
  q.setBiquad(Biquad::kPeak, 0.25, 0.4, 0.0);
  EXPECT_EQ(q.a0, 1.0);
  EXPECT_EQ(q.a1, -9.868649107779171e-17);
  EXPECT_EQ(q.b1, -9.868649107779171e-17);
  EXPECT_EQ(q.a2, -0.11111111111111108);
  EXPECT_EQ(q.b2, -0.11111111111111108);
  for (float x : {1.0f, -0.3333333f, 1.0e-30f, 12345.678f, -0.0f, 0.1f}) {
    EXPECT_EQ(q.process(x), x);
    EXPECT_EQ(q.z1, 0.0);
    EXPECT_EQ(q.z2, 0.0);
  }
}

TEST(Biquad, UnknownTypeKeepsTheCoefficients) {
  Biquad q(Biquad::kLowpass, 0.1, 0.707, 0.0);
  const Biquad before = q;
  q.setType(7);
  q.setFc(0.3);
  EXPECT_EQ(q.a0, before.a0);
  EXPECT_EQ(q.a1, before.a1);
  EXPECT_EQ(q.a2, before.a2);
  EXPECT_EQ(q.b1, before.b1);
  EXPECT_EQ(q.b2, before.b2);
  EXPECT_EQ(q.Fc, 0.3);
}

// Low-pass at a quarter of the rate: K = tan(π/4) rounds just below 1, and the
// numerator is a0·(1, 2, 1).
TEST(Biquad, LowPassAtQuarterRate) {
  Biquad q(Biquad::kLowpass, 0.25, 0.707, 0.0);
  EXPECT_EQ(std::tan(0.25 * 3.141592653589793), 0.9999999999999999);
  EXPECT_EQ(q.a1, 2.0 * q.a0);
  EXPECT_EQ(q.a2, q.a0);
  EXPECT_NEAR(Gain(q, 0.0), 1.0, 1e-12);
  EXPECT_NEAR(Db(Gain(q, 0.25)), Db(0.707), 1e-9);
}

// The constructor clears the state; the setters leave it alone.
TEST(Biquad, SettersKeepTheState) {
  Biquad q(Biquad::kLowpass, 0.1, 0.707, 0.0);
  EXPECT_EQ(q.z1, 0.0);
  q.process(1.0f);
  const double z1 = q.z1, z2 = q.z2;
  q.setBiquad(Biquad::kHighpass, 0.2, 1.0, 3.0);
  q.setQ(2.0);
  q.setPeakGain(-4.0);
  EXPECT_EQ(q.z1, z1);
  EXPECT_EQ(q.z2, z2);
}

struct TypeCase {
  int type;
  double peakGain;
  double f;       // frequency to look at, fraction of the rate
  double gainDb;  // expected gain there
};

class BiquadTypes : public ::testing::TestWithParam<TypeCase> {};

// Each type's defining gain: pass bands at 0 dB, a band-pass and peak reaching their
// level at Fc, a notch nulling it, shelves reaching the full gain at their far end.
TEST_P(BiquadTypes, DefiningGain) {
  const TypeCase& c = GetParam();
  const Biquad q(c.type, 0.1, 0.9, c.peakGain);
  const double g = Gain(q, c.f);
  if (std::isinf(c.gainDb))
    EXPECT_LT(g, 1e-9);
  else
    EXPECT_NEAR(Db(g), c.gainDb, 1e-6);
}

INSTANTIATE_TEST_SUITE_P(
    Types, BiquadTypes,
    ::testing::Values(
        TypeCase{Biquad::kLowpass, 0, 0.0, 0}, TypeCase{Biquad::kLowpass, 0, 0.5, -HUGE_VAL},
        TypeCase{Biquad::kHighpass, 0, 0.5, 0}, TypeCase{Biquad::kHighpass, 0, 0.0, -HUGE_VAL},
        TypeCase{Biquad::kBandpass, 0, 0.1, 0}, TypeCase{Biquad::kNotch, 0, 0.1, -HUGE_VAL},
        TypeCase{Biquad::kNotch, 0, 0.0, 0}, TypeCase{Biquad::kPeak, 6, 0.1, 6},
        TypeCase{Biquad::kPeak, -6, 0.1, -6}, TypeCase{Biquad::kPeak, -6, 0.0, 0},
        TypeCase{Biquad::kLowshelf, 9, 0.0, 9}, TypeCase{Biquad::kLowshelf, -9, 0.0, -9},
        TypeCase{Biquad::kLowshelf, 9, 0.5, 0}, TypeCase{Biquad::kHighshelf, 9, 0.5, 9},
        TypeCase{Biquad::kHighshelf, -9, 0.5, -9}, TypeCase{Biquad::kHighshelf, -9, 0.0, 0}));

}  // namespace
