// Silence on a silent chain without running it, and the block edges of the render's
// skewed lanes: every vector path against the plain chain, outputs and state to the bit.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>

#include "ChainTestUtil.h"
#include "DenormalGuard.h"
#include "RenderPaths.h"

namespace {

using namespace chaintest;

const SimdPath kPaths[] = {SimdPath::kSse2, SimdPath::kAvx2, SimdPath::kAvx512};

ChainControls Controls(int satFactor, int step) {
  ChainControls c;
  c.fs = 48000.0;
  c.satFactor = satFactor;
  c.hplp = 1;
  c.lGain = 0.2 + 0.1 * (step % 5);
  c.lmFreq = 0.9 - 0.1 * (step % 7);
  c.hGain = 0.05 * (step % 9);
  c.gain = 0.5 + 0.25 * (step % 3);
  return c;
}

// Runs the fast and the plain chain side by side block by block and checks both after
// every block.  A block's controls can be edited before it runs.
struct SideBySide {
  SimdPath path;
  VantroseChain fast, plain;

  template <class Edit>
  void Block(const ChainControls& c, Stereo& in, size_t pos, int len, Edit edit) {
    double* ins[2] = {in.ch[0].data() + pos, in.ch[1].data() + pos};
    Stereo outFast(len), outPlain(len);
    double* of[2] = {outFast.ch[0].data(), outFast.ch[1].data()};
    double* op[2] = {outPlain.ch[0].data(), outPlain.ch[1].data()};
    fast.BeginBlock(c);
    plain.BeginBlock(c);
    edit(fast);
    edit(plain);
    fast.RenderOn(path, c, ins, of, len);
    plain.RenderReference(c, ins, op, len);
    std::string where;
    ASSERT_TRUE(SameState(fast, plain, &where)) << where << " after frame " << pos;
    for (int ch = 0; ch < 2; ++ch) {
      for (int i = 0; i < len; ++i) {
        ASSERT_TRUE(SameBits(outFast.ch[ch][i], outPlain.ch[ch][i]))
            << "channel " << ch << " frame " << pos + i << ": " << outFast.ch[ch][i] << " vs "
            << outPlain.ch[ch][i];
      }
    }
  }
  void Block(const ChainControls& c, Stereo& in, size_t pos, int len) {
    Block(c, in, pos, len, [](VantroseChain&) {});
  }
};

class SilenceOnSilence : public ::testing::TestWithParam<std::tuple<SimdPath, int>> {};

// From a silent state, silent blocks of changing sizes while every control and the output
// gain glide; a control changes on the first frame after the silence and signal resumes
// on it, then on the last frame of a block.  The silent blocks must be taken without the
// chain (the state stays silent) and still match it.
TEST_P(SilenceOnSilence, MatchesThePlainChainThroughSilenceAndItsEnd) {
  const SimdPath path = std::get<0>(GetParam());
  const int factor = std::get<1>(GetParam());
  if (!CpuSupports(path)) GTEST_SKIP() << "no " << SimdPathName(path) << " here";
  DenormalGuard noSubnormals;
  const int kSizes[] = {1, 512, 2, 3, 64, 4096, 5, 100};
  Stereo in(30000);
  SideBySide s{path, {}, {}};
  size_t pos = 0;
  int step = 0;
  for (; pos < 20000; ++step) {
    const int len = kSizes[step % 8];
    ASSERT_TRUE(s.fast.StateIsSilent()) << "before frame " << pos;
    s.Block(Controls(factor, step), in, pos, len);
    pos += len;
  }
  // The boundary: new controls and the first nonzero sample on the same frame.
  in.ch[1][pos] = 0.25;
  s.Block(Controls(factor, step + 3), in, pos, 7);
  pos += 7;
  EXPECT_FALSE(s.fast.StateIsSilent());
  // Silence again, then a block whose only nonzero sample is its last.
  s.Block(Controls(factor, step + 3), in, pos, 300);
  pos += 300;
  in.ch[0][pos + 99] = -1e-30;
  s.Block(Controls(factor, step + 3), in, pos, 100);
}

INSTANTIATE_TEST_SUITE_P(PathsFactors, SilenceOnSilence,
                         ::testing::Combine(::testing::ValuesIn(kPaths), ::testing::Values(4, 16)));

// Coefficients under which a silent state does not stay +0.0: a high-pass whose sum of
// zeros turns +0.0 or -0.0 with the signs in its history, and whose a0 is negative,
// writes zeros of changing sign from frame to frame.  The chain must run there, and a
// negative output gain turns the silent output into -0.0.
TEST(SilenceOnSilence, SignedZerosFromTheCoefficientsAndTheGainFollowTheChain) {
  DenormalGuard noSubnormals;
  for (SimdPath path : kPaths) {
    if (!CpuSupports(path)) continue;
    for (int factor : {4, 16}) {
      SCOPED_TRACE(std::string(SimdPathName(path)) + " factor " + std::to_string(factor));
      Stereo in(3000);
      SideBySide s{path, {}, {}};
      ChainControls c = Controls(factor, 0);
      c.gain = -0.5;
      s.Block(c, in, 0, 1000);
      s.Block(c, in, 1000, 1000, [](VantroseChain& ch) {
        HPP32& f = ch.mHighPass[0];
        f.b0 = f.b1 = f.b2 = f.b3 = f.a1 = f.a2 = f.a3 = -0.25;
        f.a0 = -0.75;
      });
      EXPECT_FALSE(s.fast.StateIsSilent());
      s.Block(c, in, 2000, 1000);
    }
  }
}

// The bands' lanes run skewed and catch up at the end of every block: blocks of one to
// nine frames, on a signal, put every block edge at every point of the skew.
TEST(LaneSkew, BlockEdgesAtEveryPointOfTheSkew) {
  for (SimdPath path : kPaths) {
    if (!CpuSupports(path)) continue;
    for (int factor : {4, 16}) {
      SCOPED_TRACE(std::string(SimdPathName(path)) + " factor " + std::to_string(factor));
      Stereo in = Noise(600, 0.7, 5);
      SideBySide s{path, {}, {}};
      size_t pos = 0;
      for (int step = 0; pos + 9 < in.size(); ++step) {
        const int len = 1 + step % 9;
        s.Block(Controls(factor, step / 9), in, pos, len);
        pos += len;
      }
    }
  }
}

}  // namespace
