#pragma once

#include "VantroseChain.h"

// The chain benchmarks' common case: 512-frame blocks at 44.1 kHz with every band,
// the pass filters and the saturation stage at work.
constexpr int kBlock = 512;

inline ChainControls BenchControls(int satFactor) {
  ChainControls c;
  c.fs = 44100.0;
  c.lGain = 0.7;
  c.lFreq = 0.725;
  c.lmGain = 0.4;
  c.lmFreq = 0.725;
  c.hmGain = 0.6;
  c.hmFreq = 0.725;
  c.hGain = 0.3;
  c.hFreq = 0.725;
  c.hp = 0.2;
  c.lp = 0.8;
  c.gain = 1.0;
  c.satFactor = satFactor;
  c.hplp = 1;
  return c;
}
