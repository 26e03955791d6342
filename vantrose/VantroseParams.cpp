#include "VantroseParams.h"

#include "IPluginBase.h"

// The switches first, then each knob followed at once by its shape.  Parameter
// 14 (the oversampling switch) is deliberately left uninitialised.
void InitVantroseParams(IPluginBase* plug) {
  using P = VantroseParams;
  plug->GetParam(P::kBell)->InitInt("Bell", 0, 0, 1, "", "");
  plug->GetParam(P::kHPLP)->InitInt("HPLP", 0, 0, 1, "", "");
  plug->GetParam(P::kBY)->InitInt("BY", 1, 0, 1, "", "");

  struct Knob {
    int idx;
    const char* name;
    double defaultVal, minVal, maxVal, shape;
  };
  static const Knob kKnobs[] = {
      {P::kLGain, "LGain", 0.5, 0.0, 1.0, 1.0},   {P::kLFreq, "LFreq", 0.725, 0.1, 0.983, 0.5},
      {P::kLMGain, "LMGain", 0.5, 0.0, 1.0, 1.0}, {P::kLMFreq, "LMFreq", 0.725, 0.1, 0.983, 0.5},
      {P::kHMGain, "HMGain", 0.5, 0.0, 1.0, 1.0}, {P::kHMFreq, "HMFreq", 0.725, 0.1, 0.983, 0.5},
      {P::kHGain, "HGain", 0.5, 0.0, 1.0, 1.0},   {P::kHFreq, "HFreq", 0.725, 0.1, 0.983, 0.5},
      {P::kLP, "LP", 1.0, 0.0, 1.0, 0.2},         {P::kHP, "HP", 0.0, 0.0, 1.0, 0.5},
      {P::kGain, "Gain", 0.0, -12.0, 12.0, 1.0},
  };
  for (const Knob& k : kKnobs) {
    IParam* param = plug->GetParam(k.idx);
    param->InitDouble(k.name, k.defaultVal, k.minVal, k.maxVal, 0.01, "%", "", 1.0);
    param->SetShape(k.shape);
  }
}
