// The panel's draw passes, as the redraw timer runs them: the whole panel (the
// first frame after the view opens) and the pass after one knob moved.  The
// budget is one frame of 40 ms at 25 frames per second.

#include <benchmark/benchmark.h>

#include <memory>

#include "AppKit.h"
#include "IGraphicsMac.h"
#include "Vantrose.h"

namespace {

struct Panel {
  Panel() {
    NSBundle::registerBundle(VantroseIdentity::kBundleID, VANTROSE_SOURCE_DIR);
    fx.reset(static_cast<Vantrose*>(MakePlug(nullptr)));
    gui = static_cast<IGraphicsMac*>(fx->GetGUI());
  }
  std::unique_ptr<Vantrose> fx;
  IGraphicsMac* gui;
};

void FullPanelPass(benchmark::State& state) {
  Panel p;
  IRECT all(0, 0, p.gui->Width(), p.gui->Height());
  for (auto _ : state) {
    p.gui->SetAllControlsDirty();
    IRECT r;
    p.gui->IsDirty(&r);
    p.gui->Draw(&r);
    benchmark::DoNotOptimize(p.gui->GetBits());
  }
  state.counters["pixels"] = all.W() * all.H();
}

// The LFreq knob moves by one step each pass; the pass covers its rectangle.
void OneKnobPass(benchmark::State& state) {
  Panel p;
  IRECT all(0, 0, p.gui->Width(), p.gui->Height());
  p.gui->Draw(&all);
  IControl* knob = p.gui->GetControl(6);
  double v = 0.0;
  for (auto _ : state) {
    v = v >= 1.0 ? 0.0 : v + 1.0 / 30.0;
    knob->SetValueFromPlug(v);
    IRECT r;
    p.gui->IsDirty(&r);
    p.gui->Draw(&r);
    benchmark::DoNotOptimize(p.gui->GetBits());
  }
}

BENCHMARK(FullPanelPass)->Unit(benchmark::kMicrosecond);
BENCHMARK(OneKnobPass)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
