#pragma once

// The chain's settings as the effect reads its parameters: the band and pass knobs as
// they are, the output gain from dB to linear, the switches truncated toward zero.
// The read-outs take the parameters' values; the latency measurement their defaults.
#include <cmath>

#include "IPluginBase.h"
#include "VantroseChain.h"
#include "VantroseParams.h"

enum class ParamSource { kValues, kDefaults };

inline ChainControls ChainControlsOf(const IPluginBase& plug, double fs, ParamSource from) {
  using P = VantroseParams;
  auto value = [&](int idx) {
    const IParam* p = plug.GetParam(idx);
    return from == ParamSource::kDefaults ? p->GetDefault() : p->GetValue();
  };
  auto flag = [&](int idx) {
    return from == ParamSource::kDefaults ? static_cast<int>(plug.GetParam(idx)->GetDefault())
                                          : plug.GetParam(idx)->GetInt();
  };
  ChainControls c;
  c.fs = fs;
  double* bands[] = {&c.lGain,  &c.lFreq, &c.lmGain, &c.lmFreq, &c.hmGain,
                     &c.hmFreq, &c.hGain, &c.hFreq,  &c.hp,     &c.lp};
  for (int idx = P::kLGain; idx <= P::kLP; ++idx)
    *bands[idx] = value(idx);
  c.gain = std::pow(10.0, value(P::kGain) / 20.0);
  c.satFactor = flag(P::kOver) != 0 ? 16 : 4;
  c.bell = flag(P::kBell);
  c.hplp = flag(P::kHPLP);
  c.by = flag(P::kBY);
  return c;
}
