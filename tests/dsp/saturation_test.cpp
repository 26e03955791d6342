// The saturation stage's building blocks: the flush, the shaper and its tables, the
// smoother and the Bessel coefficients.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>

#include "OnePoleSmoother.h"
#include "ShaperTables.h"
#include "besselfilter.h"
#include "flush.h"
#include "shape.h"

namespace {

uint64_t Bits(double v) {
  uint64_t b;
  std::memcpy(&b, &v, sizeof b);
  return b;
}

double FromBits(uint64_t b) {
  double v;
  std::memcpy(&v, &b, sizeof v);
  return v;
}

const double kFlushFloor = std::ldexp(1.0, -54);

TEST(Flush, KeepsTwoToMinus54AndAboveAndZeroesTheRest) {
  EXPECT_EQ(flush(kFlushFloor), kFlushFloor);
  EXPECT_EQ(flush(-kFlushFloor), -kFlushFloor);
  EXPECT_EQ(flush(std::nextafter(kFlushFloor, 0.0)), 0.0);
  EXPECT_EQ(flush(DBL_MAX), DBL_MAX);
  EXPECT_EQ(flush(-1.0), -1.0);
  EXPECT_EQ(Bits(flush(-0.0)), Bits(0.0)) << "negative zero becomes +0.0";
  EXPECT_EQ(Bits(flush(DBL_MIN / 4)), Bits(0.0)) << "subnormal";
  EXPECT_EQ(Bits(flush(INFINITY)), Bits(0.0));
  EXPECT_EQ(Bits(flush(-INFINITY)), Bits(0.0));
  EXPECT_EQ(Bits(flush(std::nan(""))), Bits(0.0));
  EXPECT_EQ(Bits(flush(-std::nan(""))), Bits(0.0));
}

// Over random bit patterns the exponent trick agrees with the plain rule.
TEST(Flush, AgreesWithMagnitudeRuleOnRandomBitPatterns) {
  std::mt19937_64 rng(7);
  for (int i = 0; i < 200000; ++i) {
    const double v = FromBits(rng());
    const double a = std::fabs(v);
    const double expected = (a >= kFlushFloor && a <= DBL_MAX) ? v : 0.0;
    ASSERT_EQ(Bits(flush(v)), Bits(expected)) << v;
  }
}

TEST(ShaperTables, NegativeTableIsTheExactNegation) {
  EXPECT_EQ(vuz553u_table.count, 200);
  EXPECT_EQ(vuz553u_neg_table.count, 200);
  EXPECT_EQ(vuz553u_table.scale, 142.14300537109375f);
  EXPECT_EQ(vuz553u_table.limit, 0.8333330154418945f);
  EXPECT_EQ(vuz553u_neg_table.limit, -0.8333330154418945f);
  for (int k = 0; k < 200; ++k) {
    uint32_t pos, neg;
    std::memcpy(&pos, &vuz553u_table.entry[k], 4);
    std::memcpy(&neg, &vuz553u_neg_table.entry[k], 4);
    ASSERT_EQ(pos ^ 0x80000000u, neg) << "entry " << k;
  }
}

TEST(ShaperTables, CurveIsMonotoneAndEndsAtTheClamp) {
  for (int k = 1; k < 200; ++k)
    ASSERT_GT(vuz553u_table.entry[k], vuz553u_table.entry[k - 1]);
  EXPECT_EQ(static_cast<double>(vuz553u_table.entry[199]), kShaperClamp);
  // Slope about 0.599 near zero, about 0.592 at the top.
  EXPECT_NEAR(vuz553u_table.entry[1] * kShaperTableScale, 0.599, 0.001);
  EXPECT_NEAR((vuz553u_table.entry[199] - vuz553u_table.entry[198]) * kShaperTableScale, 0.592,
              0.001);
}

TEST(Shape, InterpolatesBetweenNeighbouringEntries) {
  const double a = 0.5 * kShaperTableScale;
  ASSERT_EQ(static_cast<int>(a), 71);
  const double f = a - 71;
  const double expected =
      (1.0 - f) * static_cast<double>(0.29851717f) + f * static_cast<double>(0.3027118f);
  EXPECT_EQ(shape(0.5), expected);
  EXPECT_EQ(Bits(shape(-0.5)), Bits(-shape(0.5)));
  // On a grid point the entry itself comes out.
  EXPECT_EQ(shape(10 / kShaperTableScale), static_cast<double>(vuz553u_table.entry[10]));
}

TEST(Shape, ClampsBeyondTheTableAndKeepsTheSign) {
  EXPECT_EQ(shape(2.0), 0.8333333134651184);
  EXPECT_EQ(shape(-2.0), -0.8333333134651184);
  EXPECT_EQ(shape(199 / kShaperTableScale), kShaperClamp);
  EXPECT_LT(shape(std::nextafter(199 / kShaperTableScale, 0.0)), kShaperClamp);
  EXPECT_EQ(Bits(shape(0.0)), Bits(0.0));
  EXPECT_EQ(Bits(shape(-0.0)), Bits(-0.0));
}

// Past the range of a 32-bit index the conversion yields the most negative integer and
// the shaper gives zero, the same on every processor.
TEST(Shape, IndexBeyondIntRangeGivesZero) {
  EXPECT_EQ(ShaperIndex(2147483647.5), 2147483647);
  EXPECT_EQ(ShaperIndex(2147483648.0), INT32_MIN);
  EXPECT_EQ(ShaperIndex(INFINITY), INT32_MIN);
  EXPECT_EQ(ShaperIndex(std::nan("")), INT32_MIN);
  EXPECT_EQ(shape(1e8), 0.0);
  EXPECT_EQ(Bits(shape(-1e8)), Bits(-0.0));
  EXPECT_EQ(shape(INFINITY), 0.0);
}

TEST(Shape, IsMonotoneOverTheWholeTable) {
  double prev = shape(0.0);
  for (int i = 1; i <= 20000; ++i) {
    const double v = shape(i * (1.5 / 20000));
    ASSERT_GE(v, prev) << i;
    prev = v;
  }
}

TEST(OnePoleSmoother, StartsAtZeroAndGlidesTowardTheTarget) {
  OnePoleSmoother s;
  EXPECT_EQ(s.Step(0.7), 0.7) << "a fresh smoother (a0 = 1, b1 = 0) jumps to the target";
  s = OnePoleSmoother();
  s.SetPole(OnePoleSmoother::Pole(1000.0, 44100.0));
  EXPECT_EQ(s.b1, std::exp((1000.0 / 44100.0) * -6.283185307179586));
  EXPECT_EQ(s.a0, 1.0 - s.b1);
  double z = 0.0;
  for (int i = 0; i < 10; ++i)
    z = s.Step(1.0);
  EXPECT_NEAR(z, 1.0 - std::pow(s.b1, 10), 1e-12);
}

struct BesselCase {
  double w;
  double gain, a1, a10;
  double gainAtW;  // dB
};

class BesselCoefficients : public ::testing::TestWithParam<BesselCase> {};

// |H(e^jθ)| of gain / (1 − Σ ak·z^−k).
double BesselMagnitudeDb(const BesselFilterCoeffs& c, double frac) {
  double re = 1.0, im = 0.0;
  for (int k = 1; k <= 10; ++k) {
    re -= c.c[k] * std::cos(2 * M_PI * frac * k);
    im += c.c[k] * std::sin(2 * M_PI * frac * k);
  }
  return 20 * std::log10(c.c[0] / std::hypot(re, im));
}

TEST_P(BesselCoefficients, MatchKnownValuesAndResponse) {
  const BesselCase& p = GetParam();
  BesselFilterCoeffs c;
  c.Calc(p.w);
  EXPECT_EQ(c.c[0], p.gain);
  EXPECT_EQ(c.c[1], p.a1);
  EXPECT_EQ(c.c[10], p.a10);
  EXPECT_NEAR(BesselMagnitudeDb(c, p.w), p.gainAtW, 0.05);
}

INSTANTIATE_TEST_SUITE_P(SaturationCutoffs, BesselCoefficients,
                         ::testing::Values(BesselCase{0.05, 0.0015785202278916655, 5.54170194951284,
                                                      -0.008133933422253188, -2.65},
                                           BesselCase{0.0125, 8.996895450863744e-09,
                                                      8.812662109678133, -0.3003137059539538,
                                                      -3.0}));

TEST(BesselCoefficientsResponse, StopbandAtAQuarterOfTheRate) {
  BesselFilterCoeffs c;
  c.Calc(0.05);
  EXPECT_NEAR(BesselMagnitudeDb(c, 0.25), -66.0, 1.0);
}

class BesselUnityAtDc : public ::testing::TestWithParam<double> {};

TEST_P(BesselUnityAtDc, GainOverOneMinusFeedbackIsOne) {
  BesselFilterCoeffs c;
  c.Calc(GetParam());
  double den = 1.0;
  for (int k = 1; k <= 10; ++k)
    den -= c.c[k];
  EXPECT_NEAR(c.c[0] / den, 1.0, 1e-6 * (1 + 1e-9 / c.c[0]));
}

INSTANTIATE_TEST_SUITE_P(Cutoffs, BesselUnityAtDc,
                         ::testing::Values(0.0125, 0.05, 0.1, 0.2, 0.3, 0.45));

}  // namespace
