#pragma once

// What the wrapper's tests open with the shared AUHost: the effect through either entry
// route, and TestAU, a bare plug-in on the wrapper that records what the wrapper calls
// on it.

#include <vector>

#include "AUHost.h"
#include "AudioUnit.h"
#include "IPluginAU.h"

enum class Route { kFactory, kEntry };

// A pass-through plug-in with channel configurations "1-1 2-2" and three parameters.
class TestAU : public IPluginAU {
 public:
  explicit TestAU(IPluginInstanceInfo info);
  void OnParamChange(int idx) override { calls.push_back(idx); }
  void OnActivate(bool active) override { calls.push_back(active ? kActivated : kDeactivated); }
  void Reset() override { ++resets; }
  void ProcessDoubleReplacing(double** in, double** out, int nFrames) override;

  enum { kActivated = 100, kDeactivated = 101 };
  std::vector<int> calls;
  int resets = 0;
  int processed = 0;
  // False once a block found a channel slot off its own scratch buffer of the block size.
  bool slotsOnScratch = true;
};

// The TestAU component (factory route, subtype 'Test').
AudioComponent TestAUComponent();
// The effect's component through the given route.
AudioComponent EffectComponent(Route route);
