// The third-order bell sections: centre frequencies and gains, flatness at half
// gain and the inverting gain at 0 Hz, measured from the coefficients.
#include <gtest/gtest.h>

#include <ostream>

#include "FilterResponse.h"
#include "H32P.h"
#include "HM32P.h"
#include "L32P.h"
#include "LM32P.h"

namespace {

constexpr double kHostRate = 44100.0;
constexpr double kMidRate = 352800.0;  // eight times the host rate, as the mid bands run

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

std::ostream& operator<<(std::ostream& os, const Figure& f) {
  return os << f.name << " g=" << f.g << " d=" << f.d;
}

class BellFigures : public ::testing::TestWithParam<Figure> {};

TEST_P(BellFigures, CentreAndGain) {
  const Figure& f = GetParam();
  const Coeffs c = f.coeffs(f.fs, f.g, f.d, f.d);
  const Extremum x = FindExtremum(c, f.fs, 10.0, 20000.0, f.g < 0.5);
  EXPECT_NEAR(x.hz, f.hz, f.hz * f.hzTol);
  EXPECT_NEAR(x.db, f.db, 0.01);
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

INSTANTIATE_TEST_SUITE_P(
    LowBell, BellFigures,
    ::testing::Values(Figure{"L32P", BellCoeffs<L32P>, kHostRate, 1, 0.275, 120, 0.005, 12.15},
                      Figure{"L32P", BellCoeffs<L32P>, kHostRate, 0, 0.9, 41, 0.005, -12.15},
                      Figure{"L32P", BellCoeffs<L32P>, kHostRate, 1, 0.017, 597, 0.005, 12.15}));

// The high band's boost and cut are not mirror images at the top of its range.
INSTANTIATE_TEST_SUITE_P(
    HighBand, BellFigures,
    ::testing::Values(Figure{"H32P", BellCoeffs<H32P>, kMidRate, 1, 0.9, 861, 0.005, 11.98},
                      Figure{"H32P", BellCoeffs<H32P>, kMidRate, 0, 0.9, 867, 0.005, -11.98},
                      Figure{"H32P", BellCoeffs<H32P>, kMidRate, 1, 0.275, 2500, 0.005, 11.98},
                      Figure{"H32P", BellCoeffs<H32P>, kMidRate, 0, 0.275, 2560, 0.005, -11.98},
                      Figure{"H32P", BellCoeffs<H32P>, kMidRate, 1, 0.017, 11800, 0.005, 11.89},
                      Figure{"H32P", BellCoeffs<H32P>, kMidRate, 0, 0.017, 13300, 0.005, -12.02}));

struct Flatness {
  const char* name;
  CoeffsFn coeffs;
  double fs, hiHz, maxDb;
};

std::ostream& operator<<(std::ostream& os, const Flatness& f) {
  return os << f.name;
}

class BellFlatAtHalfGain : public ::testing::TestWithParam<Flatness> {};

// At g = 0.5 the band must leave the audio band alone at every frequency position, and
// at 0 Hz it passes the signal inverted with a gain of 0.99998 whatever the settings.
TEST_P(BellFlatAtHalfGain, FlatAndInvertingAtDc) {
  const Flatness& p = GetParam();
  for (double d : {0.017, 0.061, 0.1, 0.275, 0.5, 0.9}) {
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
                      Flatness{"HM32P", BellCoeffs<HM32P>, kMidRate, 20000.0, 0.35},
                      Flatness{"L32P", BellCoeffs<L32P>, kHostRate, 10000.0, 0.35},
                      // within 0.27 dB at positions 0.017, 0.275 and 0.9, 0.33 dB near 0.06
                      Flatness{"H32P", BellCoeffs<H32P>, kMidRate, 20000.0, 0.35}));

}  // namespace
