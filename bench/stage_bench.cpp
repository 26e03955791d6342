// Cost of the render's stages per stereo frame, on every vector path this processor
// runs, against the plain chain measured in the same run: the saturation stage alone,
// the stages after it alone, and the whole block render, whose figure falls below
// the sum of the two where their recursions overlap.  TSC ticks, best of the runs.
// Beside them the bound, timed in the same run: the two recursions whose order of
// operations is fixed, each as a dependent chain on this machine.
//   stage_bench [rounds] [blocks]
#include <x86intrin.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "BenchSettings.h"
#include "DenormalGuard.h"
#include "RenderPaths.h"
#include "VantroseChain.h"

// The saturation step as the baseline kernel writes it, for its chain's latency.
#define VANTROSE_KERNEL_TARGET
#define VANTROSE_KERNEL_PAIRS
#include "RenderSteps.h"

namespace {

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

// One figure of the table: a stage on a path, its chain, and its best ticks per frame.
struct Figure {
  Stage stage;
  SimdPath path;
  VantroseChain chain;
  double best = 1e300;
};

// Ticks per frame of `blocks` blocks, each block's coefficient refresh untimed.
double Measure(Figure& f, const ChainControls& c, Block& b, int blocks) {
  const RenderPathKernels& k = KernelsFor(f.path);
  unsigned long long ticks = 0;
  for (int i = 0; i < blocks; ++i) {
    f.chain.BeginBlock(c);
    const unsigned long long t0 = __rdtsc();
    switch (f.stage) {
      case Stage::kPlain:
        f.chain.RenderReference(c, b.ins, b.outs, kBlock);
        break;
      case Stage::kWhole:
        k.render(f.chain, c, b.ins, b.outs, kBlock);
        break;
      case Stage::kSaturation:
        k.saturation(f.chain, c, b.ins, kBlock);
        break;
      case Stage::kBands:
        k.bands(f.chain, c, b.ins, b.outs, kBlock);
        break;
    }
    ticks += __rdtsc() - t0;
  }
  return double(ticks) / (double(blocks) * kBlock);
}

// One band section's eight steps a frame, written as the chain writes them (one
// channel's high band through its recurrence); the inputs do not depend on the outputs,
// so only the y1 -> y chain binds.  Ticks per frame.
__attribute__((noinline)) double BandChainTicks(H32P f, const Block& b, double* sink) {
  const double* in = b.in[0].data();
  double acc = 0.0;
  const unsigned long long t0 = __rdtsc();
  for (int i = 0; i < kBlock; ++i) {
    for (int s = 0; s < 8; ++s)
      acc += f.Process(in[i] * s);
  }
  const unsigned long long t = __rdtsc() - t0;
  *sink += acc;
  return double(t) / kBlock;
}

// The saturation up-filters' sub-steps, both channels in two lanes as the kernels step
// them: N dependent sub-steps a frame, the input at the first.  Ticks per frame.
__attribute__((noinline)) double SatChainTicks(const BesselFilterCoeffs (&coeffs)[2], int factor,
                                               const Block& b, double* sink) {
  V2 c[11], h[11];
  for (int k = 0; k < 11; ++k) {
    c[k] = V2{coeffs[0].c[k], coeffs[1].c[k]};
    h[k] = V2{0.0, 0.0};
  }
  V2 acc = {0.0, 0.0};
  const unsigned long long t0 = __rdtsc();
  for (int i = 0; i < kBlock; ++i) {
    acc += TenthOrderStep(c, h, V2{b.in[0][i], b.in[1][i]} * kSatDrive);
    for (int j = 1; j < factor; ++j)
      TenthOrderStep(c, h, V2{0.0, 0.0});
  }
  const unsigned long long t = __rdtsc() - t0;
  *sink += acc[0] + acc[1];
  return double(t) / kBlock;
}

// The bound of one factor, best of the rounds: the larger of the two chains.
struct Bound {
  double band = 1e300, sat = 1e300;
  double Value() const { return band > sat ? band : sat; }
  void Measure(const VantroseChain& ch, int factor, const Block& b, double* sink) {
    const double t = BandChainTicks(ch.mHigh[0], b, sink);
    if (t < band) band = t;
    const double u = SatChainTicks(ch.mSatCoeffs, factor, b, sink);
    if (u < sat) sat = u;
  }
};

}  // namespace

// The figures take turns, round after round, and each keeps its best: a machine shared
// with other work then slows them all alike rather than some.
int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 30;
  const int blocks = argc > 2 ? std::atoi(argv[2]) : 10;
  std::printf(
      "TSC ticks per stereo frame, 44.1 kHz, blocks of %d, best of %d rounds of %d blocks\n",
      kBlock, rounds, blocks);
  std::printf(
      "(whole/plain: to the plain chain of the same factor; bound: the larger of one band\n"
      " section's 8-step chain and the saturation's sub-step chain times the factor)\n\n");
  std::printf("%-7s %6s %11s %11s %11s %11s %11s %11s\n", "path", "factor", "saturation",
              "after it", "sum", "whole", "whole/plain", "whole/bound");
  Block b;
  DenormalGuard noSubnormals;
  for (int factor : {4, 16}) {
    const ChainControls c = BenchControls(factor);
    std::vector<Figure> figures;
    figures.push_back({Stage::kPlain, SimdPath::kSse2, {}});
    for (int p = 0; p < kSimdPathCount; ++p) {
      const SimdPath path = static_cast<SimdPath>(p);
      if (!CpuSupports(path)) continue;
      for (Stage s : {Stage::kSaturation, Stage::kBands, Stage::kWhole})
        figures.push_back({s, path, {}});
    }
    VantroseChain bounded;
    bounded.BeginBlock(c);
    Bound bound;
    double sink = 0.0;
    for (int r = 0; r < rounds; ++r) {
      bound.Measure(bounded, factor, b, &sink);
      for (Figure& f : figures) {
        const double t = Measure(f, c, b, blocks);
        if (t < f.best) f.best = t;
      }
    }
    const double plain = figures[0].best, limit = bound.Value();
    std::printf("%-7s %6d %11.1f %11.1f %11s %11.1f %11.3f %11.3f\n", "bound", factor, bound.sat,
                bound.band, "", limit, limit / plain, 1.0);
    std::printf("%-7s %6d %11s %11s %11s %11.1f %11.3f %11.3f\n", "plain", factor, "", "", "",
                plain, 1.0, plain / limit);
    for (size_t i = 1; i + 2 < figures.size(); i += 3) {
      const double sat = figures[i].best, bands = figures[i + 1].best, whole = figures[i + 2].best;
      std::printf("%-7s %6d %11.1f %11.1f %11.1f %11.1f %11.3f %11.3f\n",
                  SimdPathName(figures[i].path), factor, sat, bands, sat + bands, whole,
                  whole / plain, whole / limit);
    }
    if (sink == 1.0) std::printf("\n");  // keeps the chains' results alive
  }
  return 0;
}
