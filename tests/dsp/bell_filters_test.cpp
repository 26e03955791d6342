// The third-order bell sections: response figures measured from the coefficients,
// the recurrence against those coefficients, and bit-exact coefficient values.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "FilterResponse.h"
#include "HM32P.h"
#include "LM32P.h"

namespace {

constexpr double kMidRate = 352800.0;  // eight times 44.1 kHz, as the mid bands run

template <class F>
Coeffs BellCoeffs(double fs, double g, double d, double e) {
  F f;
  f.Calc(fs, g, d, e);
  return ThirdOrderCoeffs(f);
}

using CoeffsFn = Coeffs (*)(double fs, double g, double d, double e);

struct Figure {
  const char* name;
  CoeffsFn coeffs;
  double fs, g, d;
  double hz, hzTol;  // centre frequency and its relative tolerance
  double db;         // gain at the centre, to ±0.01 dB
};

class BellFigures : public ::testing::TestWithParam<Figure> {};

TEST_P(BellFigures, CentreAndGain) {
  const Figure& f = GetParam();
  const Coeffs c = f.coeffs(f.fs, f.g, f.d, f.d);
  const Extremum x = FindExtremum(c, f.fs, 10.0, 40000.0, f.g < 0.5);
  EXPECT_NEAR(x.hz, f.hz, f.hz * f.hzTol) << f.name << " g=" << f.g << " d=" << f.d;
  EXPECT_NEAR(x.db, f.db, 0.01) << f.name << " g=" << f.g << " d=" << f.d;
}

INSTANTIATE_TEST_SUITE_P(
    MidBands, BellFigures,
    ::testing::Values(Figure{"LM32P", BellCoeffs<LM32P>, kMidRate, 1, 0.275, 604, 0.005, 11.35},
                      Figure{"LM32P", BellCoeffs<LM32P>, kMidRate, 0, 0.275, 608, 0.005, -11.35},
                      Figure{"LM32P", BellCoeffs<LM32P>, kMidRate, 1, 0.9, 207, 0.005, 11.35},
                      Figure{"LM32P", BellCoeffs<LM32P>, kMidRate, 0, 0.017, 3000, 0.03, -11.35},
                      Figure{"HM32P", BellCoeffs<HM32P>, kMidRate, 1, 0.275, 1196, 0.005, 12.15},
                      Figure{"HM32P", BellCoeffs<HM32P>, kMidRate, 0, 0.275, 1210, 0.005, -12.15},
                      Figure{"HM32P", BellCoeffs<HM32P>, kMidRate, 0, 0.9, 410, 0.005, -12.15},
                      Figure{"HM32P", BellCoeffs<HM32P>, kMidRate, 0, 0.017, 6000, 0.03, -12.15}));

struct Flatness {
  const char* name;
  CoeffsFn coeffs;
  double fs, hiHz, maxDb;
};

class BellFlatAtHalfGain : public ::testing::TestWithParam<Flatness> {};

// At g = 0.5 the band must leave the audio band alone at every frequency position, and
// at 0 Hz it passes the signal inverted with a gain of 0.99998 whatever the settings.
TEST_P(BellFlatAtHalfGain, FlatAndInvertingAtDc) {
  const Flatness& p = GetParam();
  for (double d : {0.017, 0.1, 0.275, 0.5, 0.9}) {
    const Coeffs c = p.coeffs(p.fs, 0.5, d, d);
    EXPECT_LE(MaxDeviationDb(c, p.fs, 10.0, p.hiHz), p.maxDb) << p.name << " d=" << d;
    for (double g : {0.0, 0.3, 1.0})
      for (double e : {0.017, 0.5, 0.9})
        EXPECT_NEAR(GainAtDc(p.coeffs(p.fs, g, d, e)), -0.99998, 5e-6)
            << p.name << " g=" << g << " d=" << d << " e=" << e;
  }
}

INSTANTIATE_TEST_SUITE_P(
    MidBands, BellFlatAtHalfGain,
    ::testing::Values(Flatness{"LM32P", BellCoeffs<LM32P>, kMidRate, 20000.0, 0.35},
                      Flatness{"HM32P", BellCoeffs<HM32P>, kMidRate, 20000.0, 0.35}));

template <class F>
class BellSection : public ::testing::Test {};

using BellClasses = ::testing::Types<LM32P, HM32P>;
TYPED_TEST_SUITE(BellSection, BellClasses);

TYPED_TEST(BellSection, FirstTwoSamplesFollowTheCoefficients) {
  TypeParam f;
  f.Calc(kMidRate, 0.8, 0.3, 0.31);
  const double y0 = f.Process(1.0);
  EXPECT_EQ(y0, f.b0 / f.a0);
  EXPECT_EQ(f.Process(0.0), (f.b1 - f.a1 * y0) / f.a0);
  EXPECT_EQ(f.input, 0.0);
  EXPECT_EQ(f.x1, 0.0);
  EXPECT_EQ(f.x2, 1.0);
  EXPECT_EQ(f.y2, y0);
}

// A control change replaces only the coefficients: the filter continues from its
// history, and the same arguments give bit-identical coefficients.
TYPED_TEST(BellSection, CalcKeepsHistoryAndRepeatsExactly) {
  TypeParam f;
  f.Calc(kMidRate, 0.2, 0.5, 0.5);
  for (int n = 0; n < 10; ++n)
    f.Process(n % 3 - 1.0);
  const TypeParam before = f;
  f.Calc(kMidRate, 0.9, 0.1, 0.12);
  f.Calc(kMidRate, 0.2, 0.5, 0.5);
  EXPECT_EQ(std::memcmp(&f, &before, sizeof f), 0);
}

// The recurrence must realise the transfer function of its coefficients: a steady
// sine at the centre comes out with the gain measured from them.
TYPED_TEST(BellSection, SineThroughProcessMatchesResponse) {
  for (double g : {0.0, 1.0}) {
    TypeParam f;
    f.Calc(kMidRate, g, 0.275, 0.275);
    const Coeffs c = ThirdOrderCoeffs(f);
    const Extremum x = FindExtremum(c, kMidRate, 10.0, 40000.0, g < 0.5);
    EXPECT_NEAR(SineGainDb(f, x.hz, kMidRate, 40000), x.db, 0.002) << "g=" << g;
  }
}

// Bit-exact coefficients at one setting, pinned so that a change in the evaluation
// order shows up.  VANTROSE_PRINT_COEFFS=1 prints the current values for this table.
struct Pinned {
  const char* name;
  CoeffsFn coeffs;
  double fs, g, d, e;
  double b[4], a[4];
};

const Pinned kPinned[] = {
    {"LM32P",
     BellCoeffs<LM32P>,
     kMidRate,
     0.7,
     0.3,
     0.31,
     {-0x1.2f31a37d7bd3ap+4, 0x1.26f5cab038479p+4, 0x1.2f2a2603f32c7p+4, -0x1.26fd4829c0eecp+4},
     {0x1.023a50183ebabp+5, -0x1.d29ce3a1aa68bp+5, 0x1.48ba5b1fb8a46p+4, 0x1.60671be74a453p+2}},
    {"HM32P",
     BellCoeffs<HM32P>,
     kMidRate,
     0.7,
     0.3,
     0.31,
     {-0x1.223cfea005c9cp+4, 0x1.122a45e921a3ap+4, 0x1.2221307c86316p+4, -0x1.1246140ca13c1p+4},
     {0x1.eda9386a6d0c3p+4, -0x1.b8e56f955478ep+5, 0x1.3110564853d19p+4, 0x1.4d23b41f2c2a6p+2}},
};

TEST(BellSectionPinned, CoefficientsAreBitExact) {
  const bool print = std::getenv("VANTROSE_PRINT_COEFFS") != nullptr;
  for (const Pinned& p : kPinned) {
    const Coeffs c = p.coeffs(p.fs, p.g, p.d, p.e);
    if (print) {
      std::printf("    {\"%s\", ..., {%a, %a, %a, %a},\n     {%a, %a, %a, %a}},\n", p.name, c.b[0],
                  c.b[1], c.b[2], c.b[3], c.a[0], c.a[1], c.a[2], c.a[3]);
      continue;
    }
    for (int n = 0; n < 4; ++n) {
      EXPECT_EQ(c.b[n], p.b[n]) << p.name << " b" << n;
      EXPECT_EQ(c.a[n], p.a[n]) << p.name << " a" << n;
    }
  }
}

}  // namespace
