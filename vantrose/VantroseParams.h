#pragma once

class IPluginBase;

// The effect's fifteen parameters by index.  The effect class derives from this, so
// Vantrose::kLGain and VantroseParams::kLGain name the same index.
struct VantroseParams {
  enum EParams {
    kLGain = 0,
    kLFreq,
    kLMGain,
    kLMFreq,
    kHMGain,
    kHMFreq,
    kHGain,
    kHFreq,
    kHP,
    kLP,
    kGain,
    kBell,
    kHPLP,
    kBY,
    kOver,
    kNumParams
  };
};

// Names, ranges, shapes and defaults of the fifteen parameters on a base built with
// kNumParams of them.  Needs no signal chain, so an editor binary can use it too.
void InitVantroseParams(IPluginBase* plug);
