// The signal chain on its own: the fast path against the plain one on every vector path,
// extreme values and unexpected switch values.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <tuple>

#include "ChainTestUtil.h"

namespace {

using namespace chaintest;

ChainControls Controls(double fs, int satFactor) {
  ChainControls c;
  c.fs = fs;
  c.lGain = 0.5;
  c.lFreq = 0.725;
  c.lmGain = 0.5;
  c.lmFreq = 0.725;
  c.hmGain = 0.5;
  c.hmFreq = 0.725;
  c.hGain = 0.5;
  c.hFreq = 0.725;
  c.hp = 0.0;
  c.lp = 1.0;
  c.gain = 1.0;
  c.satFactor = satFactor;
  return c;
}

// Settings that differ from block to block, so that switches and controls move.
ChainControls BlockControls(double fs, int satFactor, int block) {
  ChainControls c = Controls(fs, satFactor);
  const int k = block % 7;
  c.lGain = 0.1 * k + 0.2;
  c.lFreq = 0.983 - 0.12 * k;
  c.lmGain = 1.0 - 0.13 * k;
  c.hmFreq = 0.1 + 0.11 * k;
  c.hGain = 0.05 * k;
  c.hFreq = 0.5 + 0.06 * k;
  c.hp = 0.1 * k;
  c.lp = 1.0 - 0.09 * k;
  c.gain = std::pow(10.0, (k - 3) / 20.0);
  c.bell = (block / 3) % 2;
  c.hplp = (block / 2) % 2;
  c.by = block % 11 == 5 ? 0 : 1;
  c.satFactor = block % 13 == 12 ? 20 - satFactor : satFactor;
  return c;
}

struct IdentityCase {
  int satFactor;
  int blockSize;  // 0: sizes around the render's 64-frame runs, changing every block
  bool sweep;
  bool monoRight;  // right channel silent, as a mono connection delivers it
};

const SimdPath kPaths[] = {SimdPath::kSse2, SimdPath::kAvx2, SimdPath::kAvx512};

// Names the vector paths this processor lets the identity tests check, so that a green
// run on an older processor is not taken for full coverage.
class VectorPathsReport : public ::testing::Environment {
 public:
  void SetUp() override {
    std::string ran, skipped;
    for (SimdPath p : kPaths)
      (CpuSupports(p) ? ran : skipped) += std::string(" ") + SimdPathName(p);
    std::printf("vector paths checked bit for bit:%s%s%s\n", ran.c_str(),
                skipped.empty() ? "" : "; skipped, not on this processor:", skipped.c_str());
  }
};
::testing::Environment* const kVectorPathsReport =
    ::testing::AddGlobalTestEnvironment(new VectorPathsReport);

int BlockSize(const IdentityCase& p, int block) {
  static const int kSizes[] = {1, 63, 64, 65, 127, 128, 129, 2, 4096, 200, 3};
  return p.blockSize > 0 ? p.blockSize : kSizes[block % 11];
}

class FastPathIdentity : public ::testing::TestWithParam<std::tuple<SimdPath, IdentityCase>> {};

// Every vector path must reproduce the plain chain to the bit, outputs and every state.
TEST_P(FastPathIdentity, MatchesThePlainChainBitForBit) {
  const SimdPath path = std::get<0>(GetParam());
  const IdentityCase p = std::get<1>(GetParam());
  if (!CpuSupports(path)) GTEST_SKIP() << "no " << SimdPathName(path) << " here";
  const double fs = 44100.0;
  const size_t n = 24000;
  Stereo in = p.sweep ? Sweep(n, fs, 20.0, 20000.0, 0.8) : Noise(n, 0.9, 11);
  if (p.monoRight) std::fill(in.ch[1].begin(), in.ch[1].end(), 0.0);
  VantroseChain fast;
  VantroseChain plain = fast;
  Stereo outFast(n), outPlain(n);
  int block = 0;
  for (size_t pos = 0; pos < n; pos += BlockSize(p, block), ++block) {
    const int len = static_cast<int>(std::min<size_t>(BlockSize(p, block), n - pos));
    const ChainControls c = BlockControls(fs, p.satFactor, block);
    double* ins[2] = {in.ch[0].data() + pos, in.ch[1].data() + pos};
    double* of[2] = {outFast.ch[0].data() + pos, outFast.ch[1].data() + pos};
    double* op[2] = {outPlain.ch[0].data() + pos, outPlain.ch[1].data() + pos};
    fast.BeginBlock(c);
    fast.RenderOn(path, c, ins, of, len);
    plain.BeginBlock(c);
    plain.RenderReference(c, ins, op, len);
    std::string where;
    ASSERT_TRUE(SameState(fast, plain, &where)) << "state " << where << " after block " << block;
  }
  for (int ch = 0; ch < 2; ++ch) {
    for (size_t i = 0; i < n; ++i) {
      ASSERT_TRUE(SameBits(outFast.ch[ch][i], outPlain.ch[ch][i]))
          << "channel " << ch << " sample " << i << ": " << outFast.ch[ch][i] << " vs "
          << outPlain.ch[ch][i];
    }
  }
}

INSTANTIATE_TEST_SUITE_P(FactorsBlocksSignals, FastPathIdentity,
                         ::testing::Combine(::testing::ValuesIn(kPaths),
                                            ::testing::Values(IdentityCase{4, 512, false, false},
                                                              IdentityCase{16, 512, false, false},
                                                              IdentityCase{4, 1, true, false},
                                                              IdentityCase{16, 37, true, false},
                                                              IdentityCase{4, 64, true, true},
                                                              IdentityCase{16, 1000, false, true},
                                                              IdentityCase{4, 4096, true, false},
                                                              IdentityCase{4, 0, false, false},
                                                              IdentityCase{16, 0, true, true})));

// Far beyond full scale the shaper clamps and then, past its index range, gives zero;
// subnormal, zero and signed-zero inputs take their own paths through the flush.  The
// fast path must follow the plain chain through all of them.
TEST(FastPathIdentityExtremes, MatchesThePlainChainOnExtremeValues) {
  const double kValues[] = {1e7, -3e8, 1e300, -1e-310, 0.0, -0.0, 1.5, -0.04, 5e-20, 2e6};
  for (int run = 0; run < 2 * kSimdPathCount; ++run) {
    const SimdPath path = static_cast<SimdPath>(run / 2);
    const int factor = run % 2 ? 16 : 4;
    if (!CpuSupports(path)) continue;
    const size_t n = 600;
    Stereo in(n);
    for (size_t i = 0; i < n; ++i) {
      in.ch[0][i] = kValues[i % 10] * (1.0 + 0.001 * i);
      in.ch[1][i] = kValues[(i * 7 + 3) % 10];
    }
    VantroseChain fast;
    VantroseChain plain = fast;
    Stereo outFast(n), outPlain(n);
    for (size_t pos = 0; pos < n; pos += 100) {
      const ChainControls c = BlockControls(48000.0, factor, static_cast<int>(pos / 100));
      double* ins[2] = {in.ch[0].data() + pos, in.ch[1].data() + pos};
      double* of[2] = {outFast.ch[0].data() + pos, outFast.ch[1].data() + pos};
      double* op[2] = {outPlain.ch[0].data() + pos, outPlain.ch[1].data() + pos};
      fast.BeginBlock(c);
      fast.RenderOn(path, c, ins, of, 100);
      plain.BeginBlock(c);
      plain.RenderReference(c, ins, op, 100);
      ASSERT_TRUE(SameBits(fast.mSatHistory, plain.mSatHistory)) << SimdPathName(path) << factor;
      ASSERT_TRUE(SameBits(fast.mSatOut, plain.mSatOut)) << SimdPathName(path) << factor;
    }
    for (int ch = 0; ch < 2; ++ch) {
      for (size_t i = 0; i < n; ++i) {
        const double a = outFast.ch[ch][i], b = outPlain.ch[ch][i];
        ASSERT_TRUE(SameBits(a, b) || (std::isnan(a) && std::isnan(b)))
            << SimdPathName(path) << " factor " << factor << " " << ch << " " << i;
      }
    }
  }
}

// A switch value other than 0 or 1 (a host can store one through an out-of-range
// normalised value) holds the pass and low band stages at their last results, and the
// processing switch then passes the input through rather than leaving the output
// buffers unwritten.  Both paths agree.
TEST(SignalChain, UnexpectedSwitchValuesHoldStagesAndPassTheInput) {
  const Stereo in = Noise(300, 0.5, 8);
  VantroseChain fast;
  ChainControls c = Controls(44100.0, 4);
  double* ins[2] = {const_cast<double*>(in.ch[0].data()), const_cast<double*>(in.ch[1].data())};
  Stereo warm(300);
  double* w[2] = {warm.ch[0].data(), warm.ch[1].data()};
  fast.BeginBlock(c);
  fast.Render(c, ins, w, 300);
  VantroseChain plain = fast;
  const double preOut = fast.mPreOut[0], lowOut = fast.mLowOut[1];
  c.hplp = 2;
  c.bell = -1;
  c.by = -1;
  Stereo outFast(300), outPlain(300);
  std::fill(outFast.ch[0].begin(), outFast.ch[0].end(), 99.0);
  double* of[2] = {outFast.ch[0].data(), outFast.ch[1].data()};
  double* op[2] = {outPlain.ch[0].data(), outPlain.ch[1].data()};
  fast.BeginBlock(c);
  fast.Render(c, ins, of, 300);
  plain.BeginBlock(c);
  plain.RenderReference(c, ins, op, 300);
  EXPECT_EQ(fast.mPreOut[0], preOut);
  EXPECT_EQ(fast.mLowOut[1], lowOut);
  for (int ch = 0; ch < 2; ++ch) {
    for (size_t i = 0; i < in.size(); ++i) {
      ASSERT_TRUE(SameBits(outFast.ch[ch][i], in.ch[ch][i])) << i;
      ASSERT_TRUE(SameBits(outPlain.ch[ch][i], in.ch[ch][i])) << i;
    }
  }
  std::string where;
  EXPECT_TRUE(SameState(fast, plain, &where)) << where;
}

}  // namespace
