#pragma once

// The effect class on the signal chain.  It is compiled once per wrapper: the include
// path of the wrapper it is built with decides what IPluginWrapper is.
#include "PluginWrapper.h"
#include "VantroseChain.h"
#include "VantroseIdentity.h"
#include "VantroseParams.h"

// The four-band equaliser: its identity, fifteen parameters and the member
// copies of them that the audio path reads.
class Vantrose : public IPluginWrapper, public VantroseParams {
 public:
  explicit Vantrose(IPluginInstanceInfo instanceInfo);
  ~Vantrose() override;

  // Clears the saturation histories; takes the wrapper's EffectLock (the plug-in lock,
  // or none where the wrapper's threading needs none).
  void Reset() override;
  // Copies a changed parameter into its member; takes the wrapper's EffectLock.
  void OnParamChange(int paramIdx) override;
  // Renders one block: coefficient refresh, then the per-sample chain.  Called with the
  // plug-in lock held, or by a wrapper that takes none.  Audio thread: no allocation,
  // no I/O.
  void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) override;

  // Member copies, readable for tests and tools.
  double BandValue(int paramIdx) const;
  double OutputGain() const { return mGain; }
  int SatFactor() const { return mSatFactor; }
  // The settings the next block will run with.
  ChainControls Controls() const;
  // The signal chain's state, for tests and measurements.
  const VantroseChain& Chain() const { return mChain; }

 private:
  // Where the wrapper's hosts expect it, activation restarts the whole chain as built
  // (smoothers from zero, empty filter histories); takes the wrapper's EffectLock.
  void OnActivate(bool active) override;
  void RenderWithoutNonFinite(const ChainControls& c, double** inputs, double** outputs,
                              int nFrames);

  double mLGain = 1.0, mLFreq = 1.0, mLMGain = 1.0, mLMFreq = 1.0, mHMGain = 1.0;
  double mHMFreq = 1.0, mHGain = 1.0, mHFreq = 1.0, mHP = 1.0, mLP = 1.0;
  double mGain = 1.0;  // linear output gain, 10^(Gain / 20)
  int mSatFactor = 4;  // oversampling of the saturation stage: 4, or 16
  bool mLatencyMeasured = false;
  VantroseChain mChain;
};
