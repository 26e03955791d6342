// Behaviour every band and pass filter shares: the recurrence against its own
// coefficients, Calc leaving the histories alone, and bit-exact coefficient values.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "FilterResponse.h"
#include "H32P.h"
#include "HM32P.h"
#include "HP32.h"
#include "L32P.h"
#include "L32S.h"
#include "LM32P.h"
#include "LP32.h"

namespace {

// A typical setting per class (variant 0) and a different one (variant 1), the rate it
// runs at and a frequency inside its working range.
template <class F>
struct Setting {
  static constexpr double kFs = 352800.0;
  static constexpr double kProbeHz = 1000.0;
  static void Calc(F& f, int variant) {
    if (variant == 0)
      f.Calc(kFs, 0.8, 0.3, 0.31);
    else
      f.Calc(kFs, 0.15, 0.6, 0.58);
  }
};

template <>
struct Setting<L32S> {
  static constexpr double kFs = 44100.0;
  static constexpr double kProbeHz = 150.0;
  static void Calc(L32S& f, int variant) {
    if (variant == 0)
      f.Calc(kFs, 0.8, 0.3, 0.31);
    else
      f.Calc(kFs, 0.15, 0.6, 0.58);
  }
};

template <>
struct Setting<L32P> {
  static constexpr double kFs = 44100.0;
  static constexpr double kProbeHz = 150.0;
  static void Calc(L32P& f, int variant) {
    if (variant == 0)
      f.Calc(kFs, 0.8, 0.3, 0.31);
    else
      f.Calc(kFs, 0.15, 0.6, 0.58);
  }
};

template <>
struct Setting<HPP32> {
  static constexpr double kFs = 44100.0;
  static constexpr double kProbeHz = 120.0;
  static void Calc(HPP32& f, int variant) {
    if (variant == 0)
      f.Calc(kFs, 0.3, 0.31);
    else
      f.Calc(kFs, 0.9, 0.88);
  }
};

template <>
struct Setting<LPP32> {
  static constexpr double kFs = 44100.0;
  static constexpr double kProbeHz = 500.0;
  static void Calc(LPP32& f, int variant) {
    if (variant == 0)
      f.Calc(kFs, 0.3, 0.31);
    else
      f.Calc(kFs, 0.9, 0.88);
  }
};

template <class F>
class DirectFormFilter : public ::testing::Test {};

using FilterClasses = ::testing::Types<L32S, L32P, LM32P, HM32P, H32P, HPP32, LPP32>;
TYPED_TEST_SUITE(DirectFormFilter, FilterClasses);

TYPED_TEST(DirectFormFilter, StartsZeroed) {
  const TypeParam f;
  const TypeParam zero = [] {
    TypeParam z;
    std::memset(static_cast<void*>(&z), 0, sizeof z);
    return z;
  }();
  EXPECT_EQ(std::memcmp(&f, &zero, sizeof f), 0);
}

TYPED_TEST(DirectFormFilter, FirstTwoSamplesFollowTheCoefficients) {
  TypeParam f;
  Setting<TypeParam>::Calc(f, 0);
  const double y0 = f.Process(1.0);
  EXPECT_EQ(y0, f.b0 / f.a0);
  EXPECT_EQ(f.output, y0);
  EXPECT_EQ(f.Process(0.0), (f.b1 - f.a1 * y0) / f.a0);
  EXPECT_EQ(f.input, 0.0);
  EXPECT_EQ(f.x1, 0.0);
  EXPECT_EQ(f.x2, 1.0);
  EXPECT_EQ(f.y2, y0);
}

// A control change replaces only the coefficients: the filter continues from its
// history, and the same arguments give bit-identical coefficients.
TYPED_TEST(DirectFormFilter, CalcKeepsHistoryAndRepeatsExactly) {
  TypeParam f;
  Setting<TypeParam>::Calc(f, 0);
  for (int n = 0; n < 10; ++n)
    f.Process(n % 3 - 1.0);
  const TypeParam before = f;
  Setting<TypeParam>::Calc(f, 1);
  Setting<TypeParam>::Calc(f, 0);
  EXPECT_EQ(std::memcmp(&f, &before, sizeof f), 0);
}

// The recurrence must realise the transfer function of its coefficients: a steady
// sine comes out with the gain measured from them.
TYPED_TEST(DirectFormFilter, SineThroughProcessMatchesResponse) {
  const double fs = Setting<TypeParam>::kFs, hz = Setting<TypeParam>::kProbeHz;
  for (int variant : {0, 1}) {
    TypeParam f;
    Setting<TypeParam>::Calc(f, variant);
    const double expected = GainDb(ThirdOrderCoeffs(f), hz, fs);
    EXPECT_NEAR(SineGainDb(f, hz, fs, int(fs)), expected, 0.002) << "variant " << variant;
  }
}

// Bit-exact coefficients of variant 0, pinned so that any change in the evaluation
// order shows up.  VANTROSE_PRINT_COEFFS=1 prints the current values for this table.
template <class F>
Coeffs PinnedSetting() {
  F f;
  Setting<F>::Calc(f, 0);
  return ThirdOrderCoeffs(f);
}

struct Pinned {
  const char* name;
  Coeffs (*coeffs)();
  double b[4], a[4];
};

const Pinned kPinned[] = {
    {"L32S",
     PinnedSetting<L32S>,
     {-0x1.29c23704cb37ep-2, -0x1.781cf765d4aadp-7, 0x1.1e014f499c928p-2, 0x0p+0},
     {0x1.41e4bec086cb8p-2, -0x1.5fc8ed74b028bp-5, -0x1.06e07c9db8bf3p-2, 0x0p+0}},
    {"L32P",
     PinnedSetting<L32P>,
     {-0x1.336045f7df66ep-2, 0x1.24cfb76d19161p-2, 0x1.334d653328787p-2, -0x1.24e29831d0049p-2},
     {0x1.4b30882c02b29p-2, -0x1.781fb790f2527p-2, -0x1.c26e4a0fae879p-3, 0x1.0e4c1627b190bp-2}},
    {"LM32P",
     PinnedSetting<LM32P>,
     {-0x1.23104c99fcd9bp+4, 0x1.1aa4a8db3896fp+4, 0x1.23091e172b61dp+4, -0x1.1aabd75e0a0edp+4},
     {0x1.eea69ad1fedcbp+4, -0x1.bf868b5084ccbp+5, 0x1.3bba252402043p+4, 0x1.52eacf0dfccf3p+2}},
    {"HM32P",
     PinnedSetting<HM32P>,
     {-0x1.17018ae7d93e7p+4, 0x1.0687bb2b664efp+4, 0x1.16e6e1e65ad7cp+4, -0x1.06a2642ce4b5ap+4},
     {0x1.d83ebbf59980ap+4, -0x1.a6ffe0ff94a45p+5, 0x1.2596603000b3ap+4, 0x1.417fe089bce5cp+2}},
    {"H32P",
     PinnedSetting<H32P>,
     {-0x1.006d00244a93ep+4, 0x1.c2fee0e4a384dp+3, 0x1.00034e81d2834p+4, -0x1.c3d2442993a6p+3},
     {0x1.aea42f7cb7daep+4, -0x1.7963fe00c3c0ap+5, 0x1.f99dcd4611f6fp+3, 0x1.20a128ef230cbp+2}},
    {"HPP32",
     PinnedSetting<HPP32>,
     {0x1.36f6ba3c9dfd2p-2, -0x1.513b7ab335dd9p-2, -0x1.026d394f6e3c3p-2, 0x1.1cb1f9c6061cbp-2},
     {0x1.46c6616fef97dp-2, -0x1.76b898f38fb72p-2, -0x1.bb459b76bc0f3p-3, 0x1.0db51580e5d25p-2}},
    {"LPP32",
     PinnedSetting<LPP32>,
     {0x1.3378a4a777532p-12, 0x1.3378a4a777529p-11, 0x1.3378a4a777532p-12, 0x0p+0},
     {0x1.4c69cde746ef2p-2, -0x1.41df25b8dd7aep-1, 0x1.3887f6f89c9c2p-2, 0x0p+0}},
};

TEST(FilterCoefficients, AreBitExact) {
  const bool print = std::getenv("VANTROSE_PRINT_COEFFS") != nullptr;
  for (const Pinned& p : kPinned) {
    const Coeffs c = p.coeffs();
    if (print) {
      std::printf(
          "    {\"%s\", PinnedSetting<%s>,\n     {%a, %a, %a, %a},\n     {%a, %a, %a, %a}},\n",
          p.name, p.name, c.b[0], c.b[1], c.b[2], c.b[3], c.a[0], c.a[1], c.a[2], c.a[3]);
      continue;
    }
    for (int n = 0; n < 4; ++n) {
      EXPECT_EQ(c.b[n], p.b[n]) << p.name << " b" << n;
      EXPECT_EQ(c.a[n], p.a[n]) << p.name << " a" << n;
    }
  }
}

}  // namespace
