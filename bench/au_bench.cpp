// The cost of one 512-frame stereo block through the effect's Audio Unit (render
// call, input pulled through a render callback, float conversion) against the
// same block through the effect's float path called directly; the ratio is the
// wrapper's overhead.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "AUHost.h"
#include "EffectSetup.h"
#include "VantroseComponent.h"

namespace {

constexpr int kFrames = 512;

struct Noise {
  Noise() : left(kFrames), right(kFrames), outL(kFrames), outR(kFrames) {
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> d(-1.0f, 1.0f);
    for (int i = 0; i < kFrames; ++i) {
      left[i] = d(rng);
      right[i] = d(rng);
    }
  }
  std::vector<float> left, right, outL, outR;
};

void BM_FloatPathDirect(benchmark::State& state) {
  Noise n;
  std::unique_ptr<Vantrose> fx = MakeConfiguredEffect(44100.0, kFrames, 2, {});
  float* in[2] = {n.left.data(), n.right.data()};
  float* out[2] = {n.outL.data(), n.outR.data()};
  for (auto _ : state) {
    ProcessFloatBlock(*fx, in, out, 2, kFrames);
    benchmark::DoNotOptimize(n.outL.data());
  }
  state.SetItemsProcessed(state.iterations() * kFrames);
}
BENCHMARK(BM_FloatPathDirect);

void BM_AudioUnitRender(benchmark::State& state) {
  Noise n;
  AUHost host(VantroseComponent::RegisterFactory());
  host.Configure(44100.0, 2, kFrames);
  host.Initialize();
  const float* in[2] = {n.left.data(), n.right.data()};
  float* out[2] = {n.outL.data(), n.outR.data()};
  for (auto _ : state) {
    host.Render(in, out, 2, kFrames);
    benchmark::DoNotOptimize(n.outL.data());
  }
  state.SetItemsProcessed(state.iterations() * kFrames);
}
BENCHMARK(BM_AudioUnitRender);

}  // namespace

BENCHMARK_MAIN();
