// Clearing after an overflow: only the chain's stages whose state is not finite restart.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <utility>

#include "ChainTestUtil.h"

using namespace chaintest;

namespace {

// A chain that has run on noise with the pass filters on, every stage holding state.
VantroseChain Settled() {
  ChainControls c;
  c.hplp = 1;
  VantroseChain chain;
  Stereo in = Noise(1024, 0.5, 9), out(1024);
  for (size_t pos = 0; pos < in.size(); pos += 256) {
    double* ins[2] = {in.ch[0].data() + pos, in.ch[1].data() + pos};
    double* outs[2] = {out.ch[0].data() + pos, out.ch[1].data() + pos};
    chain.BeginBlock(c);
    chain.Render(c, ins, outs, 256);
  }
  return chain;
}

template <class F>
void ZeroFilter(F& f) {
  f.input = f.output = f.x1 = f.x2 = f.x3 = f.y1 = f.y2 = f.y3 = 0.0;
}

// Only a stage whose state is not finite is cleared, as a whole; the rest keeps its bits.
TEST(LoudBurst, ClearingTouchesOnlyTheStagesThatAreNotFinite) {
  const VantroseChain settled = Settled();
  typedef std::function<void(VantroseChain&)> Edit;
  const double nan = std::nan("");
  const std::pair<Edit, Edit> cases[] = {
      // {poison one field, zero its stage}
      {[](VantroseChain& c) { c.mShelfBiquad.z2 = INFINITY; },
       [](VantroseChain& c) { c.mShelfBiquad.z1 = c.mShelfBiquad.z2 = 0.0; }},
      {[&](VantroseChain& c) { c.mHighPass[1].y3 = nan; },
       [](VantroseChain& c) { ZeroFilter(c.mHighPass[1]); }},
      {[](VantroseChain& c) { c.mLowPass[0].input = -INFINITY; },
       [](VantroseChain& c) { ZeroFilter(c.mLowPass[0]); }},
      {[&](VantroseChain& c) { c.mHigh[1].x2 = nan; },
       [](VantroseChain& c) { ZeroFilter(c.mHigh[1]); }},
      {[&](VantroseChain& c) { c.mOversampler[1].x7 = nan; },
       [](VantroseChain& c) { c.mOversampler[1] = StOversampler4x{}; }},
      {[&](VantroseChain& c) { c.SatHistory(1, 0)[10] = nan; },
       [](VantroseChain& c) { std::fill_n(c.SatHistory(1, 0), 11, 0.0); }},
      {[&](VantroseChain& c) { c.mLowOut[1] = nan; }, [](VantroseChain& c) { c.mLowOut[1] = 0.0; }},
  };
  VantroseChain chain = settled;
  EXPECT_EQ(chain.ClearNonFiniteState(), 0);
  std::string where;
  EXPECT_TRUE(SameState(chain, settled, &where)) << where;
  for (size_t k = 0; k < sizeof cases / sizeof cases[0]; ++k) {
    VantroseChain poisoned = settled, expected = settled;
    cases[k].first(poisoned);
    cases[k].second(expected);
    EXPECT_EQ(poisoned.ClearNonFiniteState(), 1) << k;
    EXPECT_TRUE(SameState(poisoned, expected, &where)) << k << ": " << where;
  }
}

}  // namespace
