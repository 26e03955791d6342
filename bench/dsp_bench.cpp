// Cost of the effect's signal chain per block of 512 stereo frames at 44.1 kHz, for
// both saturation factors: the fast render path and the plain chain it must match,
// measured in the same run (items per second = stereo frames per second).
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "BenchSettings.h"
#include "DenormalGuard.h"
#include "VantroseChain.h"

namespace {

void RenderChain(benchmark::State& state, bool plain) {
  const ChainControls c = BenchControls(static_cast<int>(state.range(0)));
  std::vector<double> inL(kBlock), inR(kBlock), outL(kBlock), outR(kBlock);
  std::mt19937 rng(1);
  std::uniform_real_distribution<double> u(-0.5, 0.5);
  for (int i = 0; i < kBlock; ++i) {
    inL[i] = u(rng);
    inR[i] = u(rng);
  }
  double* ins[2] = {inL.data(), inR.data()};
  double* outs[2] = {outL.data(), outR.data()};
  VantroseChain chain;
  DenormalGuard noSubnormals;
  for (auto _ : state) {
    chain.BeginBlock(c);
    if (plain) {
      chain.RenderReference(c, ins, outs, kBlock);
    } else {
      chain.Render(c, ins, outs, kBlock);
    }
    benchmark::DoNotOptimize(outL.data());
    benchmark::DoNotOptimize(outR.data());
  }
  state.SetItemsProcessed(state.iterations() * kBlock);
}

void BM_PlainChain(benchmark::State& state) {
  RenderChain(state, true);
}
void BM_FastChain(benchmark::State& state) {
  RenderChain(state, false);
}

BENCHMARK(BM_PlainChain)->Arg(4)->Arg(16);
BENCHMARK(BM_FastChain)->Arg(4)->Arg(16);

}  // namespace

BENCHMARK_MAIN();
