// Two channels stepped in the lanes of a FilterPair must give, bit for bit, what each
// channel's own filter object gives, and leave the objects in the same state.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "FilterPair.h"
#include "H32P.h"
#include "HM32P.h"
#include "HP32.h"
#include "L32P.h"
#include "L32S.h"
#include "LM32P.h"
#include "LP32.h"

namespace {

template <class F>
void CalcChannel(F& f, int ch) {
  f.Calc(352800.0, 0.2 + 0.6 * ch, 0.3 + 0.1 * ch, 0.32);
}
void CalcChannel(HPP32& f, int ch) {
  f.Calc(44100.0, 0.3 + 0.4 * ch, 0.31);
}
void CalcChannel(LPP32& f, int ch) {
  f.Calc(44100.0, 0.3 + 0.4 * ch, 0.31);
}

template <class F>
struct PairOf {
  using Type = ThirdOrderPair;
};
template <>
struct PairOf<L32S> {
  using Type = SecondOrderPair;
};
template <>
struct PairOf<LPP32> {
  using Type = SecondOrderPair;
};

// Noise with a few awkward values: tiny, huge, zero of both signs.
std::vector<double> Input(int ch) {
  std::vector<double> v(2000);
  unsigned s = 7u + unsigned(ch);
  for (double& x : v) {
    s = s * 1664525u + 1013904223u;
    x = (s >> 8) / double(1u << 24) - 0.5;
  }
  v[100] = 1e-310;
  v[101] = -0.0;
  v[500] = 1e200;
  v[900] = 0.0;
  return v;
}

bool SameBits(double a, double b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

template <class F>
class FilterPairTest : public ::testing::Test {};

using PairClasses = ::testing::Types<L32S, L32P, LM32P, HM32P, H32P, HPP32, LPP32>;
TYPED_TEST_SUITE(FilterPairTest, PairClasses);

TYPED_TEST(FilterPairTest, LanesMatchEachChannelBitForBit) {
  TypeParam alone[2], paired[2];
  for (int ch = 0; ch < 2; ++ch) {
    CalcChannel(alone[ch], ch);
    CalcChannel(paired[ch], ch);
  }
  const std::vector<double> in[2] = {Input(0), Input(1)};
  typename PairOf<TypeParam>::Type pair;
  // Two blocks, so that Store and a fresh Load carry the state across the seam.
  for (size_t start : {size_t(0), in[0].size() / 2}) {
    pair.Load(paired[0], paired[1]);
    for (size_t i = start; i < start + in[0].size() / 2; ++i) {
      const Lanes2 y = pair.Step(Lanes2{in[0][i], in[1][i]});
      for (int ch = 0; ch < 2; ++ch)
        ASSERT_TRUE(SameBits(y[ch], alone[ch].Process(in[ch][i]))) << "sample " << i;
    }
    pair.Store(paired[0], paired[1]);
  }
  for (int ch = 0; ch < 2; ++ch)
    EXPECT_EQ(std::memcmp(&paired[ch], &alone[ch], sizeof(TypeParam)), 0) << "channel " << ch;
}

}  // namespace
