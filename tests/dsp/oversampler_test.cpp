// The band stage's four-times interpolator and its decimating sum.
#include <gtest/gtest.h>

#include <cmath>

#include "StOversampler4x.h"

namespace {

using O = StOversampler4x;

// The kernel by distance from the centre, zero taps included.
const double kTap[16] = {O::k0, O::k1, O::k2,  O::k3,  0.0, O::k5,  O::k6,  O::k7,
                         0.0,   O::k9, O::k10, O::k11, 0.0, O::k13, O::k14, O::k15};

// An impulse comes out as four times the 31-tap kernel (one trailing zero phase): this
// pins every phase to its taps and the time order h[27], h[28], h[29], h[30].
TEST(StOversampler4x, ImpulseGivesFourTimesTheKernel) {
  O o = {};
  double out[32];
  for (int call = 0; call < 8; ++call) {
    o.up4(call == 0 ? 1.0 : 0.0);
    for (int p = 0; p < 4; ++p)
      out[call * 4 + p] = o.h[27 + p];
  }
  for (int n = 0; n < 31; ++n)
    EXPECT_EQ(out[n], 4.0 * kTap[std::abs(n - 15)]) << "value " << n;
  EXPECT_EQ(out[31], 0.0);
  // The history keeps the older values in order.
  for (int n = 0; n < 31; ++n)
    EXPECT_EQ(o.h[n], out[n + 1]) << "history " << n;
}

TEST(StOversampler4x, ConstantInputSettlesToThePhaseSums) {
  O o = {};
  for (int i = 0; i < 8; ++i)
    o.up4(1.0);
  EXPECT_NEAR(o.h[27], 0.99894, 1e-5);
  EXPECT_NEAR(o.h[28], 0.99738, 1e-5);
  EXPECT_NEAR(o.h[29], 0.99894, 1e-5);
  EXPECT_NEAR(o.h[30], 1.00474, 1e-5);
  EXPECT_NEAR(o.h[27], o.h[29], 1e-15) << "the two outer phases mirror each other";
}

TEST(StOversampler4x, DecimateOfOnesIsUnity) {
  O o = {};
  for (double& v : o.h)
    v = 1.0;
  EXPECT_NEAR(o.decimate(), 1.0, 1e-12);
}

// A single one at position p picks out the tap at distance |p − 15| exactly.
class DecimateTap : public ::testing::TestWithParam<int> {};

TEST_P(DecimateTap, PicksTheTapAtItsDistance) {
  const int p = GetParam();
  O o = {};
  o.h[p] = 1.0;
  EXPECT_EQ(o.decimate(), kTap[std::abs(p - 15)]);
}

INSTANTIATE_TEST_SUITE_P(AllPositions, DecimateTap, ::testing::Range(0, 31));

// Interpolating a low tone and decimating it again gives the tone back: the kernel
// passes the band below a quarter of the oversampled rate.
TEST(StOversampler4x, InterpolateThenDecimateKeepsALowTone) {
  O o = {};
  double maxErr = 0.0;
  for (int i = 0; i < 400; ++i) {
    const double x = std::sin(2 * M_PI * 0.01 * i);
    o.up4(x);
    if (i >= 40) {
      // h[30] lags the input by three samples and the sum is centred on h[15], another
      // fifteen values (3.75 inputs) back.
      const double delayed = std::sin(2 * M_PI * 0.01 * (i - 6.75));
      maxErr = std::max(maxErr, std::fabs(o.decimate() - delayed));
    }
  }
  EXPECT_LT(maxErr, 0.01);
}

}  // namespace
