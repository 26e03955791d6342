#pragma once

// A deterministic signal and a script of control changes, run through both the LV2
// plug-in (via lilv) and the Audio Unit build of the effect (via its render call).

#include <vector>

#include "AUTestHost.h"
#include "LV2TestHost.h"

// One control change, applied before the block that holds frame `frame`.
struct ControlChange {
  int frame;
  int param;
  float value;
};

// nChannels planar channels of nFrames: two sines and a little noise, distinct per channel.
std::vector<std::vector<float>> TestSignal(int nChannels, int nFrames);

// The effect through the Audio Unit wrapper, opened, formatted, initialised and fed by
// the host's render callback; parameters are set only by the script, as a host sets
// only what the user moves.
class AUReference {
 public:
  AUReference(int nChannels, double rate, int blockSize);
  bool Ok() const { return mOk; }
  void SetParam(int idx, float value);
  void Render(const std::vector<std::vector<float>>& in, int offset, int nFrames,
              std::vector<std::vector<float>>& out);

 private:
  AUHost mUnit{EffectComponent(Route::kFactory)};
  int mNChannels;
  double mSampleTime = 0.0;
  bool mOk = false;
};

// Runs signal through the LV2 instance in blocks of blockSize, applying the script;
// returns the output per channel.
std::vector<std::vector<float>> RunLV2(LV2Instance& fx, const std::vector<std::vector<float>>& in,
                                       int blockSize, const std::vector<ControlChange>& script);
std::vector<std::vector<float>> RunAU(AUReference& fx, const std::vector<std::vector<float>>& in,
                                      int blockSize, const std::vector<ControlChange>& script);

// Index of the first sample whose bits differ, or -1.
long FirstDifference(const std::vector<float>& a, const std::vector<float>& b);
