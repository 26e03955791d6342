// The low shelf L32S: shelf depth and corner, the flat setting, the top of the band and
// its inverting gain at 0 Hz, measured from the coefficients at 44.1 kHz.
#include <gtest/gtest.h>

#include <ostream>

#include "FilterResponse.h"
#include "L32S.h"

namespace {

constexpr double kFs = 44100.0;

Coeffs Shelf(double g, double d, double e) {
  L32S f;
  f.Calc(kFs, g, d, e);
  return SecondOrderCoeffs(f);
}

struct ShelfFigure {
  double g, d;
  double lowDb;   // gain below the shelf, to ±0.05 dB
  double halfHz;  // where half the shelf gain in dB is reached, to ±1 %
};

std::ostream& operator<<(std::ostream& os, const ShelfFigure& f) {
  return os << "g=" << f.g << " d=" << f.d;
}

class LowShelfFigures : public ::testing::TestWithParam<ShelfFigure> {};

TEST_P(LowShelfFigures, DepthAndCorner) {
  const ShelfFigure& p = GetParam();
  const Coeffs c = Shelf(p.g, p.d, p.d);
  const double low = GainDb(c, 1.0, kFs);
  EXPECT_NEAR(low, p.lowDb, 0.05);
  EXPECT_NEAR(CrossingHz(c, kFs, low / 2.0, 1.0, 15000.0), p.halfHz, p.halfHz * 0.01);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, LowShelfFigures,
    ::testing::Values(ShelfFigure{0, 0.9, -16.2, 46}, ShelfFigure{0, 0.275, -16.2, 136},
                      ShelfFigure{0, 0.017, -16.2, 670}, ShelfFigure{0.25, 0.9, -2.9, 88},
                      ShelfFigure{0.25, 0.275, -2.9, 258}, ShelfFigure{0.25, 0.017, -2.9, 1280},
                      ShelfFigure{0.75, 0.275, 2.9, 257}, ShelfFigure{0.75, 0.017, 2.9, 1270},
                      ShelfFigure{1, 0.9, 16.2, 46}, ShelfFigure{1, 0.275, 16.2, 135},
                      ShelfFigure{1, 0.017, 16.2, 670}));

TEST(LowShelf, FullBoostAtMidPositionFollowsItsCurve) {
  const Coeffs c = Shelf(1.0, 0.275, 0.275);
  EXPECT_NEAR(GainDb(c, 10.0, kFs), 16.0, 0.05);
  EXPECT_NEAR(GainDb(c, 100.0, kFs), 10.0, 0.05);
  EXPECT_NEAR(GainDb(c, 500.0, kFs), 1.6, 0.05);
  EXPECT_NEAR(GainDb(c, 1000.0, kFs), 0.5, 0.05);
}

// Flat at g = 0.5 for any pair of positions, the smoother's two outputs need not agree.
TEST(LowShelf, HalfGainIsFlatForEveryPosition) {
  for (double d : {0.017, 0.1, 0.275, 0.5, 0.9})
    for (double e : {0.017, 0.275, 0.9})
      EXPECT_LE(MaxDeviationDb(Shelf(0.5, d, e), kFs, 10.0, 10000.0), 0.05)
          << "d=" << d << " e=" << e;
}

// Above the shelf: unity within 0.5 dB to 10 kHz, about −1.35 dB at 20 kHz.
TEST(LowShelf, TopOfTheBand) {
  for (double g : {0.0, 0.25, 0.5, 0.75, 1.0})
    for (double d : {0.017, 0.275, 0.9}) {
      const Coeffs c = Shelf(g, d, d);
      EXPECT_LE(std::fabs(GainDb(c, 10000.0, kFs)), 0.5) << "g=" << g << " d=" << d;
      EXPECT_NEAR(GainDb(c, 20000.0, kFs), -1.35, 0.05) << "g=" << g << " d=" << d;
    }
}

// The shelf inverts polarity; its gain at 0 Hz depends on g alone while d = e.
TEST(LowShelf, InvertingGainAtDc) {
  for (double d : {0.017, 0.1, 0.275, 0.5, 0.9}) {
    EXPECT_NEAR(GainAtDc(Shelf(1.0, d, d)), -6.4309, 5e-5) << "d=" << d;
    EXPECT_NEAR(GainAtDc(Shelf(0.5, d, d)), -0.99997, 5e-6) << "d=" << d;
    EXPECT_NEAR(GainAtDc(Shelf(0.0, d, d)), -0.15548, 5e-6) << "d=" << d;
  }
}

}  // namespace
