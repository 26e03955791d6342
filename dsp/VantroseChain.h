#pragma once

#include "Biquad.h"
#include "H32P.h"
#include "HM32P.h"
#include "HP32.h"
#include "L32P.h"
#include "L32S.h"
#include "LM32P.h"
#include "LP32.h"
#include "OnePoleSmoother.h"
#include "SimdDispatch.h"
#include "StOversampler4x.h"
#include "besselfilter.h"

struct RenderPathKernels;

// What the signal chain reads from the effect for one block: the rate, the member
// copies of the parameters and the three switches truncated toward zero.  The plug-in
// lock is held for the whole block, so none of it changes inside a block.
struct ChainControls {
  double fs = 44100.0;
  double lGain = 1.0, lFreq = 1.0, lmGain = 1.0, lmFreq = 1.0, hmGain = 1.0, hmFreq = 1.0;
  double hGain = 1.0, hFreq = 1.0, hp = 1.0, lp = 1.0;
  double gain = 1.0;  // linear output gain
  int satFactor = 4;  // 4 or 16
  int bell = 0, hplp = 0, by = 1;
};

// The signal chain's state: smoothers, band and pass filters, the saturation stage and
// the band oversamplers.  Index 0 of each pair is the left (or mono) channel, 1 the
// right.  A plain value, so a copy can be run alongside and compared.
struct VantroseChain {
  // Ten band smoothers at 1 kHz and the output-gain smoother at 100 Hz; start at zero.
  OnePoleSmoother mLPSmoother, mHPSmoother, mLGainSmoother, mLFreqSmoother;
  OnePoleSmoother mLMGainSmoother, mLMFreqSmoother, mHMGainSmoother, mHMFreqSmoother;
  OnePoleSmoother mHGainSmoother, mHFreqSmoother, mGainSmoother;

  double mLowOut[2] = {};  // result of the low band stage
  double mPreOut[2] = {};  // result of the pass-filter stage
  L32S mLowShelf[2];
  L32P mLowBell[2];
  LM32P mLowMid[2];
  HM32P mHighMid[2];
  H32P mHigh[2];
  HPP32 mHighPass[2];
  LPP32 mLowPass[2];

  // Saturation stage: per channel a tenth-order low-pass before and after the shaper.
  BesselFilterCoeffs mSatCoeffs[2];
  // Filter outputs, newest first, eleven slots per filter (the newest ten feed back):
  // SatHistory(ch, 0) the upsampling filter, SatHistory(ch, 1) the downsampling one.
  double mSatHistory[44] = {};
  double mSatOut[2] = {};
  double mSatIn[2] = {};

  StOversampler4x mOversampler[2] = {};
  // Declared shelf first so that the bell's biquad is destroyed first.
  Biquad mShelfBiquad, mBellBiquad;

  double* SatHistory(int ch, int filter) { return mSatHistory + (2 * ch + filter) * 11; }

  // Block start: smoother coefficients, then every filter's coefficients from smoothed
  // controls.  Runs also for an empty block.
  void BeginBlock(const ChainControls& c);
  // Audio thread: the per-sample chain over nFrames samples of both channels, with the
  // two channels in parallel lanes and the state held in registers across the block,
  // on the vector path chosen for this process (ActiveSimdPath).
  void Render(const ChainControls& c, double** inputs, double** outputs, int nFrames);
  // Render on a given vector path, which the processor must support (CpuSupports).
  void RenderOn(SimdPath path, const ChainControls& c, double** inputs, double** outputs,
                int nFrames);
  // The same chain written plainly, one channel and one step at a time: the yardstick
  // that Render must match bit for bit.
  void RenderReference(const ChainControls& c, double** inputs, double** outputs, int nFrames);
  // True when the state of every stage is exactly +0.0 (smoothers and coefficients
  // are not state here).
  bool StateIsSilent() const;
  // Renders a block of +0.0 input on a silent state without running the chain for more
  // than its first frame, bit for bit as the chain would; returns false, having done
  // nothing, where input or state is not silent.
  bool RenderSilence(const RenderPathKernels& kernels, const ChainControls& c, double** inputs,
                     double** outputs, int nFrames);
  // Zeroes the saturation histories and nothing else.
  void ClearSaturation();
  // Block start: restarts from silence every recursive stage whose state is not all
  // finite, leaving the others untouched.  Returns the number of stages cleared.
  int ClearNonFiniteState();
};
