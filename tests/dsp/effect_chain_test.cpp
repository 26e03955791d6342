// The signal chain inside the effect: bypass, empty blocks, Reset, switch values as a
// host stores them, bad samples, mono connections and the band responses.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "EffectTestUtil.h"

namespace {

using namespace chaintest;

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
