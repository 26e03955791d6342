// Cost of recomputing the editor's response curve from the controls (the calibration's
// coefficients and the whole effect's magnitude at the strip's points), against one
// block of the signal chain in the same run.  The editor recomputes on every change.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "BenchSettings.h"
#include "Calibration.h"
#include "DenormalGuard.h"
#include "VantroseChain.h"

namespace {

constexpr int kCurvePoints = 360;  // one per two pixels across the strip

std::vector<double> StripFrequencies() {
  std::vector<double> hz(kCurvePoints);
  for (int i = 0; i < kCurvePoints; ++i)
    hz[i] = 20.0 * std::pow(1000.0, double(i) / (kCurvePoints - 1));
  return hz;
}

void BM_CurveRecompute(benchmark::State& state) {
  ChainControls c = BenchControls(4);
  c.hplp = 1;
  const std::vector<double> hz = StripFrequencies();
  std::vector<double> db(hz.size());
  const CurvePlan plan(c.fs, hz.data(), kCurvePoints);  // made once per rate
  for (auto _ : state) {
    const Calibration cal(c);
    cal.Curve(plan, db.data());
    benchmark::DoNotOptimize(db.data());
  }
  state.SetItemsProcessed(state.iterations() * kCurvePoints);
}
BENCHMARK(BM_CurveRecompute)->Unit(benchmark::kMicrosecond);

// The read-outs the strip marks and the panel shows: every band's gain and frequency
// and both pass filters' corners.
void BM_Readouts(benchmark::State& state) {
  ChainControls c = BenchControls(4);
  c.hplp = 1;
  for (auto _ : state) {
    const Calibration cal(c);
    double sum = cal.Low().hz + cal.LowMid().hz + cal.HighMid().hz + cal.High().hz;
    sum += cal.HighPassHz() + cal.LowPassHz();
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_Readouts)->Unit(benchmark::kMicrosecond);

// The baseline: one block of the fast chain at the same settings.
void BM_ChainBlock(benchmark::State& state) {
  const ChainControls c = BenchControls(4);
  std::vector<double> inL(kBlock, 0.1), inR(kBlock, -0.1), outL(kBlock), outR(kBlock);
  double* ins[2] = {inL.data(), inR.data()};
  double* outs[2] = {outL.data(), outR.data()};
  VantroseChain chain;
  DenormalGuard noSubnormals;
  for (auto _ : state) {
    chain.BeginBlock(c);
    chain.Render(c, ins, outs, kBlock);
    benchmark::DoNotOptimize(outL.data());
  }
  state.SetItemsProcessed(state.iterations() * kBlock);
}
BENCHMARK(BM_ChainBlock)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
