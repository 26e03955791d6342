// Cost per sample of each filter's Process, of the effect's band stage for one stereo
// frame, and of the biquad with and without its per-sample coefficient update.  The
// baseline is a one-pole smoother over the same block, measured in the same run.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "Biquad.h"
#include "FilterPair.h"
#include "H32P.h"
#include "HM32P.h"
#include "HP32.h"
#include "L32P.h"
#include "L32S.h"
#include "LM32P.h"
#include "LP32.h"

namespace {

constexpr int kBlock = 512;

std::vector<double> Noise() {
  std::vector<double> v(kBlock);
  unsigned s = 1;
  for (double& x : v) {
    s = s * 1664525u + 1013904223u;
    x = (s >> 8) / double(1u << 24) - 0.5;
  }
  return v;
}

template <class F>
void CalcTypical(F& f, double fs) {
  f.Calc(fs, 0.7, 0.3, 0.3);
}
void CalcTypical(HPP32& f, double fs) {
  f.Calc(fs, 0.3, 0.3);
}
void CalcTypical(LPP32& f, double fs) {
  f.Calc(fs, 0.3, 0.3);
}

// Baseline: the cheapest recursive filter, a one-pole smoother step per sample.
void BM_OnePole(benchmark::State& state) {
  const std::vector<double> in = Noise();
  std::vector<double> out(kBlock);
  const double b1 = std::exp(-2.0 * M_PI * 1000.0 / 352800.0), a0 = 1.0 - b1;
  double z = 0.0;
  for (auto _ : state) {
    for (int i = 0; i < kBlock; ++i)
      out[i] = z = z * b1 + in[i] * a0;
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kBlock);
}
BENCHMARK(BM_OnePole);

template <class F>
void BM_Process(benchmark::State& state) {
  const std::vector<double> in = Noise();
  std::vector<double> out(kBlock);
  F f;
  CalcTypical(f, 352800.0);
  for (auto _ : state) {
    for (int i = 0; i < kBlock; ++i)
      out[i] = f.Process(in[i]);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kBlock);
}
BENCHMARK(BM_Process<L32S>);
BENCHMARK(BM_Process<L32P>);
BENCHMARK(BM_Process<LM32P>);
BENCHMARK(BM_Process<HM32P>);
BENCHMARK(BM_Process<H32P>);
BENCHMARK(BM_Process<HPP32>);
BENCHMARK(BM_Process<LPP32>);

// The band stage as the effect runs it: per host frame and channel, eight values
// through the high, low-mid and high-mid sections; left and right in turn.  One item
// is one stereo host frame.
void BM_BandStageStereoFrame(benchmark::State& state) {
  const std::vector<double> in = Noise();
  H32P high[2];
  LM32P lowMid[2];
  HM32P highMid[2];
  for (int ch = 0; ch < 2; ++ch) {
    CalcTypical(high[ch], 352800.0);
    CalcTypical(lowMid[ch], 352800.0);
    CalcTypical(highMid[ch], 352800.0);
  }
  double sink = 0.0;
  for (auto _ : state) {
    for (int i = 0; i < kBlock; ++i) {
      for (int round = 0; round < 2; ++round)
        for (int ch = 0; ch < 2; ++ch)
          for (int k = 0; k < 4; ++k)
            sink += highMid[ch].Process(lowMid[ch].Process(high[ch].Process(in[i])));
    }
    benchmark::DoNotOptimize(sink);
  }
  state.SetItemsProcessed(state.iterations() * kBlock);
}
BENCHMARK(BM_BandStageStereoFrame);

// The same band stage with each class's left and right filters in the lanes of one
// FilterPair, state held in registers across the block; bit-identical output.
void BM_BandStageStereoFramePaired(benchmark::State& state) {
  const std::vector<double> in = Noise();
  H32P high[2];
  LM32P lowMid[2];
  HM32P highMid[2];
  for (int ch = 0; ch < 2; ++ch) {
    CalcTypical(high[ch], 352800.0);
    CalcTypical(lowMid[ch], 352800.0);
    CalcTypical(highMid[ch], 352800.0);
  }
  Lanes2 sink = {0.0, 0.0};
  for (auto _ : state) {
    ThirdOrderPair h, lm, hm;
    h.Load(high[0], high[1]);
    lm.Load(lowMid[0], lowMid[1]);
    hm.Load(highMid[0], highMid[1]);
    for (int i = 0; i < kBlock; ++i) {
      for (int round = 0; round < 2; ++round)
        for (int k = 0; k < 4; ++k)
          sink += hm.Step(lm.Step(h.Step(Lanes2{in[i], in[i]})));
    }
    h.Store(high[0], high[1]);
    lm.Store(lowMid[0], lowMid[1]);
    hm.Store(highMid[0], highMid[1]);
    benchmark::DoNotOptimize(sink);
  }
  state.SetItemsProcessed(state.iterations() * kBlock);
}
BENCHMARK(BM_BandStageStereoFramePaired);

// The biquad as the low band's front runs it: both channels through one object.
void BM_BiquadProcess(benchmark::State& state) {
  const std::vector<double> in = Noise();
  Biquad q;
  q.setBiquad(Biquad::kPeak, 0.25, 0.4, 0.0);
  float sink = 0.0f;
  for (auto _ : state) {
    for (int i = 0; i < kBlock; ++i)
      sink += q.process(q.process(float(in[i])));
    benchmark::DoNotOptimize(sink);
  }
  state.SetItemsProcessed(state.iterations() * kBlock);
}
BENCHMARK(BM_BiquadProcess);

// The same with the coefficient update in front of every frame (pow and tan).
void BM_BiquadSetAndProcess(benchmark::State& state) {
  const std::vector<double> in = Noise();
  Biquad q;
  float sink = 0.0f;
  for (auto _ : state) {
    for (int i = 0; i < kBlock; ++i) {
      q.setBiquad(Biquad::kPeak, 0.25, 0.4, 0.0);
      sink += q.process(q.process(float(in[i])));
    }
    benchmark::DoNotOptimize(sink);
  }
  state.SetItemsProcessed(state.iterations() * kBlock);
}
BENCHMARK(BM_BiquadSetAndProcess);

// Coefficient evaluation, once per block per object.
template <class F>
void BM_Calc(benchmark::State& state) {
  F f;
  double fs = 352800.0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(fs);
    CalcTypical(f, fs);
    benchmark::DoNotOptimize(f);
  }
}
BENCHMARK(BM_Calc<L32S>);
BENCHMARK(BM_Calc<LM32P>);
BENCHMARK(BM_Calc<HPP32>);
BENCHMARK(BM_Calc<LPP32>);

}  // namespace

BENCHMARK_MAIN();
