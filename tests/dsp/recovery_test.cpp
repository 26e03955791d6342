// Finite input loud enough to overflow the chain (1e38 with the pass filters on) costs
// the blocks it falls in, not the rest of the session.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>

#include "ChainTestUtil.h"

using namespace chaintest;

namespace {

bool Finite(const Stereo& s, size_t i) {
  return std::isfinite(s.ch[0][i]) && std::isfinite(s.ch[1][i]);
}

// Music, then a burst of full-scale square waves (3e38, which a float still holds), then
// music again: the output is finite again from the first block after the burst.
TEST(LoudBurst, OutputIsFiniteAgainWithinOneBlockOfTheBurstsEnd) {
  const double fs = 44100.0;
  const size_t burstStart = 44100, burstEnd = burstStart + 2000;
  for (int block : {64, 512}) {
    for (int bell : {0, 1}) {
      auto fx = MakeEffect(fs, block);
      SetEffectParam(*fx, Vantrose::kHPLP, 1);
      SetEffectParam(*fx, Vantrose::kBell, bell);
      Stereo in = Sweep(2 * burstStart, fs, 40.0, 12000.0, 0.5);
      for (size_t i = burstStart; i < burstEnd; ++i)
        in.ch[0][i] = in.ch[1][i] = (i / 30) % 2 ? 3e38 : -3e38;
      Stereo out = RunEffect(*fx, in, block);
      size_t firstFinite = out.size();  // from here on every frame is finite
      while (firstFinite > 0 && Finite(out, firstFinite - 1))
        --firstFinite;
      ASSERT_GT(firstFinite, burstStart) << "the burst did not overflow the chain";
      const size_t frames = firstFinite > burstEnd ? firstFinite - burstEnd : 0;
      EXPECT_LE(frames, static_cast<size_t>(block)) << "block " << block << ", bell " << bell;
      std::printf("block %d, bell %d: finite again %zu frames (%.2f ms) after the burst\n", block,
                  bell, frames, 1000.0 * frames / fs);
    }
  }
}

template <class F>
void ZeroFilter(F& f) {
  f.input = f.output = f.x1 = f.x2 = f.x3 = f.y1 = f.y2 = f.y3 = 0.0;
}

// Only a stage whose state is not finite is cleared, as a whole; the rest keeps its bits.
TEST(LoudBurst, ClearingTouchesOnlyTheStagesThatAreNotFinite) {
  auto fx = MakeEffect(44100.0, 256);
  SetEffectParam(*fx, Vantrose::kHPLP, 1);
  RunEffect(*fx, Noise(1024, 0.5, 9), 256);
  const VantroseChain settled = fx->Chain();
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
