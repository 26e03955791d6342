// Cost of the render's stages per stereo frame, on every vector path this processor
// runs, against the plain chain measured in the same run: the saturation stage alone,
// the stages after it alone, and the whole block render, whose figure falls below
// the sum of the two where their recursions overlap.  TSC ticks, best of the runs.
//   stage_bench [runs] [blocks]
#include <x86intrin.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "DenormalGuard.h"
#include "RenderPaths.h"

namespace {

constexpr int kBlock = 512;

ChainControls BenchControls(int satFactor) {
  ChainControls c;
  c.fs = 44100.0;
  c.lGain = 0.7;
  c.lmGain = 0.4;
  c.hmGain = 0.6;
  c.hGain = 0.3;
  c.hp = 0.2;
  c.lp = 0.8;
  c.satFactor = satFactor;
  c.hplp = 1;
  return c;
}

struct Block {
  std::vector<double> in[2], out[2];
  double* ins[2];
  double* outs[2];
  Block() {
    std::mt19937 rng(1);
    std::uniform_real_distribution<double> u(-0.5, 0.5);
    for (int ch = 0; ch < 2; ++ch) {
      in[ch].resize(kBlock);
      out[ch].resize(kBlock);
      for (double& v : in[ch])
        v = u(rng);
      ins[ch] = in[ch].data();
      outs[ch] = out[ch].data();
    }
  }
};

enum class Stage { kPlain, kWhole, kSaturation, kBands };

// Best ticks per frame over runs of `blocks` blocks, each block's coefficient refresh
// outside the timed part.
double Measure(Stage stage, const RenderPathKernels& k, int factor, int runs, int blocks) {
  const ChainControls c = BenchControls(factor);
  Block b;
  VantroseChain chain;
  DenormalGuard noSubnormals;
  double best = 1e300;
  for (int r = 0; r < runs; ++r) {
    unsigned long long ticks = 0;
    for (int i = 0; i < blocks; ++i) {
      chain.BeginBlock(c);
      const unsigned long long t0 = __rdtsc();
      switch (stage) {
        case Stage::kPlain:
          chain.RenderReference(c, b.ins, b.outs, kBlock);
          break;
        case Stage::kWhole:
          k.render(chain, c, b.ins, b.outs, kBlock);
          break;
        case Stage::kSaturation:
          k.saturation(chain, c, b.ins, kBlock);
          break;
        case Stage::kBands:
          k.bands(chain, c, b.ins, b.outs, kBlock);
          break;
      }
      ticks += __rdtsc() - t0;
    }
    const double perFrame = double(ticks) / (double(blocks) * kBlock);
    if (perFrame < best) best = perFrame;
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::atoi(argv[1]) : 5;
  const int blocks = argc > 2 ? std::atoi(argv[2]) : 200;
  std::printf("TSC ticks per stereo frame, 44.1 kHz, blocks of %d, best of %d runs of %d blocks\n",
              kBlock, runs, blocks);
  std::printf("(ratios: to the plain chain of the same factor)\n\n");
  std::printf("%-7s %6s %11s %11s %11s %11s %9s\n", "path", "factor", "saturation", "after it",
              "sum", "whole", "whole/plain");
  for (int factor : {4, 16}) {
    const double plain = Measure(Stage::kPlain, Sse2Kernels(), factor, runs, blocks);
    std::printf("%-7s %6d %11s %11s %11s %11.0f %9.3f\n", "plain", factor, "", "", "", plain, 1.0);
    for (int p = 0; p < kSimdPathCount; ++p) {
      const SimdPath path = static_cast<SimdPath>(p);
      if (!CpuSupports(path)) continue;
      const RenderPathKernels& k = KernelsFor(path);
      const double sat = Measure(Stage::kSaturation, k, factor, runs, blocks);
      const double bands = Measure(Stage::kBands, k, factor, runs, blocks);
      const double whole = Measure(Stage::kWhole, k, factor, runs, blocks);
      std::printf("%-7s %6d %11.1f %11.1f %11.1f %11.1f %9.3f\n", SimdPathName(path), factor, sat,
                  bands, sat + bands, whole, whole / plain);
    }
  }
  return 0;
}
