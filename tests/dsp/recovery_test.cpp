// Finite input loud enough to overflow the chain (1e38 with the pass filters on) costs
// the blocks it falls in, not the rest of the session.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "EffectTestUtil.h"

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

}  // namespace
