// The signal chain end to end: the fast path against the plain one, the switches,
// bypass, empty blocks, Reset, bad samples and the band responses through the effect.
#include <gtest/gtest.h>

#include <cmath>
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

// Bypass passes the input bit for bit while every stage keeps running, so the states
// match an effect that processed all along (the output-gain smoother only steps when
// processing).
TEST(SignalChain, BypassPassesInputWhileStatesAdvance) {
  auto bypassed = MakeEffect(44100.0, 256);
  auto active = MakeEffect(44100.0, 256);
  SetEffectParam(*bypassed, Vantrose::kBY, 0);
  const Stereo in = Noise(4096, 0.5, 3);
  const Stereo out = RunEffect(*bypassed, in, 256);
  RunEffect(*active, in, 256);
  for (int ch = 0; ch < 2; ++ch) {
    for (size_t i = 0; i < in.size(); ++i)
      ASSERT_TRUE(SameBits(out.ch[ch][i], in.ch[ch][i]));
  }
  VantroseChain a = bypassed->Chain(), b = active->Chain();
  a.mGainSmoother = b.mGainSmoother;
  std::string where;
  EXPECT_TRUE(SameState(a, b, &where)) << where;
  EXPECT_EQ(bypassed->Chain().mGainSmoother.z, 0.0);
}

// Steps of a fresh smoother (z = 0) toward a fixed target.
double SmootherAfter(const OnePoleSmoother& coeffs, double target, int steps) {
  OnePoleSmoother s = coeffs;
  s.z = 0.0;
  for (int i = 0; i < steps; ++i)
    s.Step(target);
  return s.z;
}

TEST(SignalChain, EmptyBlockStepsSmoothersAndRefreshesCoefficients) {
  auto fx = MakeEffect(48000.0, 64);
  double sentinel = 123.0;
  double* ins[2] = {&sentinel, &sentinel};
  double* outs[2] = {&sentinel, &sentinel};
  fx->ProcessDoubleReplacing(ins, outs, 0);
  fx->ProcessDoubleReplacing(ins, outs, -5);
  EXPECT_EQ(sentinel, 123.0) << "an empty block writes no sample";
  const VantroseChain& ch = fx->Chain();
  const double lFreq = 1.0 - fx->BandValue(Vantrose::kLFreq);
  EXPECT_EQ(ch.mLGainSmoother.z, SmootherAfter(ch.mLGainSmoother, 0.5, 8));
  EXPECT_EQ(ch.mLFreqSmoother.z, SmootherAfter(ch.mLFreqSmoother, lFreq, 16));
  EXPECT_EQ(ch.mLMGainSmoother.z, SmootherAfter(ch.mLMGainSmoother, 0.5, 4));
  EXPECT_EQ(ch.mHFreqSmoother.z, SmootherAfter(ch.mHFreqSmoother, lFreq, 8));
  EXPECT_EQ(ch.mHPSmoother.z, SmootherAfter(ch.mHPSmoother, 1.0, 8));
  EXPECT_EQ(ch.mLPSmoother.z, SmootherAfter(ch.mLPSmoother, 0.0, 8));
  EXPECT_EQ(ch.mGainSmoother.z, 0.0) << "the output smoother steps per sample only";
  EXPECT_EQ(ch.mLPSmoother.b1, std::exp((1000.0 / 48000.0) * -6.283185307179586));
  EXPECT_EQ(ch.mGainSmoother.b1, std::exp((100.0 / 48000.0) * -6.283185307179586));
  // Every filter has coefficients, the unselected bell and the idle pass filters too.
  EXPECT_NE(ch.mLowBell[1].a0, 0.0);
  EXPECT_NE(ch.mHighPass[1].a0, 0.0);
  EXPECT_NE(ch.mLowPass[0].a0, 0.0);
  EXPECT_EQ(ch.mSatCoeffs[1].c[0], 0.0015785202278916655);
}

TEST(SignalChain, ResetClearsOnlyTheSaturationHistories) {
  auto fx = MakeEffect(44100.0, 128);
  RunEffect(*fx, Noise(2000, 0.5, 5), 128);
  VantroseChain before = fx->Chain();
  fx->Reset();
  for (double v : fx->Chain().mSatHistory)
    ASSERT_EQ(v, 0.0);
  bool anyNonZero = false;
  for (double v : before.mSatHistory)
    anyNonZero = anyNonZero || v != 0.0;
  EXPECT_TRUE(anyNonZero);
  std::fill(std::begin(before.mSatHistory), std::end(before.mSatHistory), 0.0);
  std::string where;
  EXPECT_TRUE(SameState(before, fx->Chain(), &where)) << where;
}

struct SwitchCase {
  int idx;
  double hostValue;  // stored unrounded, as a host's parameter call stores it
  double actsAs;
};

class SwitchTruncation : public ::testing::TestWithParam<SwitchCase> {};

TEST_P(SwitchTruncation, FractionalValuesActAsTheirIntegerPart) {
  const SwitchCase p = GetParam();
  auto fractional = MakeEffect(44100.0, 256);
  auto whole = MakeEffect(44100.0, 256);
  SetEffectParam(*fractional, p.idx, p.hostValue);
  SetEffectParam(*whole, p.idx, p.actsAs);
  const Stereo in = Noise(2048, 0.5, 9);
  const Stereo a = RunEffect(*fractional, in, 256), b = RunEffect(*whole, in, 256);
  for (int ch = 0; ch < 2; ++ch) {
    for (size_t i = 0; i < in.size(); ++i)
      ASSERT_TRUE(SameBits(a.ch[ch][i], b.ch[ch][i])) << i;
  }
}

INSTANTIATE_TEST_SUITE_P(Switches, SwitchTruncation,
                         ::testing::Values(SwitchCase{Vantrose::kBell, 0.5, 0},
                                           SwitchCase{Vantrose::kHPLP, 0.999, 0},
                                           SwitchCase{Vantrose::kBY, 0.5, 0},
                                           SwitchCase{Vantrose::kOver, 0.99, 0}));

// An infinity or NaN in the input is flushed after the first saturation filter and
// never enters either history; the stage then runs on normally.
TEST(SignalChain, NonFiniteInputNeverReachesSaturationHistories) {
  auto fx = MakeEffect(44100.0, 64);
  Stereo in = Noise(640, 0.5, 2);
  in.ch[0][10] = INFINITY;
  in.ch[1][20] = -INFINITY;
  in.ch[0][30] = std::nan("");
  in.ch[1][31] = std::nan("");
  for (size_t pos = 0; pos < in.size(); pos += 64) {
    double* ins[2] = {in.ch[0].data() + pos, in.ch[1].data() + pos};
    double out[2][64];
    double* outs[2] = {out[0], out[1]};
    fx->ProcessDoubleReplacing(ins, outs, 64);
    for (double v : fx->Chain().mSatHistory)
      ASSERT_TRUE(std::isfinite(v)) << pos;
    for (double v : fx->Chain().mSatOut)
      ASSERT_TRUE(std::isfinite(v)) << pos;
  }
}

// A non-finite input sample enters the chain as silence: the effect keeps working,
// exactly as if the host had sent 0 there, and in bypass the input comes back as it was.
TEST(SignalChain, NonFiniteInputActsAsSilenceAndBypassReturnsIt) {
  Stereo bad = Noise(1000, 0.5, 5);
  Stereo zeroed = bad;
  for (size_t i : {10u, 200u, 201u, 777u}) {
    bad.ch[i % 2][i] = i == 200 ? std::nan("") : (i == 777 ? -INFINITY : INFINITY);
    zeroed.ch[i % 2][i] = 0.0;
  }
  for (int by : {1, 0}) {
    auto a = MakeEffect(44100.0, 100);
    auto b = MakeEffect(44100.0, 100);
    SetEffectParam(*a, Vantrose::kBY, by);
    SetEffectParam(*b, Vantrose::kBY, by);
    Stereo outBad = RunEffect(*a, bad, 100);
    Stereo outZeroed = RunEffect(*b, zeroed, 100);
    std::string where;
    EXPECT_TRUE(SameState(a->Chain(), b->Chain(), &where)) << where;
    for (int ch = 0; ch < 2; ++ch) {
      for (size_t i = 0; i < bad.size(); ++i) {
        const double expected = by ? outZeroed.ch[ch][i] : bad.ch[ch][i];
        ASSERT_TRUE(SameBits(outBad.ch[ch][i], expected)) << by << " " << ch << " " << i;
      }
    }
  }
}

// Mono: the framework hands the effect a zeroed scratch input for the second channel;
// the first channel's output equals a stereo run with a silent right channel.
TEST(SignalChain, MonoConnectionMatchesStereoWithSilentRight) {
  const int block = 128;
  auto mono = MakeEffect(44100.0, block);
  mono->SetInputChannelConnections(1, 1, false);
  mono->SetOutputChannelConnections(1, 1, false);
  auto stereo = MakeEffect(44100.0, block);
  Stereo in = Noise(1024, 0.5, 4);
  std::fill(in.ch[1].begin(), in.ch[1].end(), 0.0);
  for (double& v : in.ch[0])
    v = static_cast<float>(v);
  const Stereo ref = RunEffect(*stereo, in, block);
  std::vector<float> inF(in.ch[0].begin(), in.ch[0].end()), outF(in.size());
  for (size_t pos = 0; pos < in.size(); pos += block) {
    float* ins[1] = {inF.data() + pos};
    float* outs[1] = {outF.data() + pos};
    mono->AttachInputBuffers(0, 1, ins, block);
    mono->AttachOutputBuffers(0, 1, outs);
    mono->ProcessBuffers(0.0f, block);
  }
  for (size_t i = 0; i < in.size(); ++i) {
    ASSERT_EQ(outF[i], static_cast<float>(ref.ch[0][i])) << i;
  }
}

// Steady-state gain in dB of the whole effect for a sine at f, left channel.
double EffectGainDb(Vantrose& fx, double f) {
  const double fs = fx.GetSampleRate();
  const size_t n = static_cast<size_t>(fs * 0.4);
  Stereo in(n);
  for (size_t i = 0; i < n; ++i)
    in.ch[0][i] = in.ch[1][i] = 0.1 * std::sin(2 * M_PI * f * i / fs);
  const Stereo out = RunEffect(fx, in, 512);
  double pin = 0.0, pout = 0.0;
  for (size_t i = n / 2; i < n; ++i) {
    pin += in.ch[0][i] * in.ch[0][i];
    pout += out.ch[0][i] * out.ch[0][i];
  }
  return 10.0 * std::log10(pout / pin);
}

struct BandCase {
  int gainIdx, bellSwitch;
  double freqHz, expectedDb, tolDb;
};

class BandThroughEffect : public ::testing::TestWithParam<BandCase> {};

// Each band control reaches its filter: a full boost shows the filter's figure in the
// whole effect (the other bands flat within a few tenths of a dB).
TEST_P(BandThroughEffect, FullBoostShowsTheBandsFigure) {
  const BandCase p = GetParam();
  auto fx = MakeEffect(44100.0, 512);
  SetEffectParam(*fx, p.gainIdx, 1.0);
  SetEffectParam(*fx, Vantrose::kBell, p.bellSwitch);
  EXPECT_NEAR(EffectGainDb(*fx, p.freqHz), p.expectedDb, p.tolDb);
}

INSTANTIATE_TEST_SUITE_P(Bands, BandThroughEffect,
                         ::testing::Values(BandCase{Vantrose::kLGain, 0, 100.0, 10.0, 0.6},
                                           BandCase{Vantrose::kLGain, 0, 1000.0, 0.5, 0.5},
                                           BandCase{Vantrose::kLGain, 1, 120.0, 12.15, 0.5},
                                           BandCase{Vantrose::kLMGain, 0, 605.0, 11.35, 0.5},
                                           BandCase{Vantrose::kHMGain, 0, 1200.0, 12.15, 0.5}));

TEST(SignalChain, OutputGainAndFlatSettings) {
  auto fx = MakeEffect(44100.0, 512);
  EXPECT_NEAR(EffectGainDb(*fx, 1000.0), 0.0, 0.4);
  SetEffectParam(*fx, Vantrose::kGain, -12.0);
  EXPECT_NEAR(EffectGainDb(*fx, 1000.0), -12.0, 0.4);
}

}  // namespace
