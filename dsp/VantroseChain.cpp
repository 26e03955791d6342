// Block-rate work of the signal chain: smoother coefficients and the coefficient refresh
// of every filter from smoothed controls.
#include <cstring>
#include <initializer_list>

#include "VantroseChain.h"

namespace {

constexpr double kBandSmoothingHz = 1000.0;
constexpr double kOutputSmoothingHz = 100.0;
constexpr double kBandOversampling = 8.0;
constexpr double kSatCutoff = 0.2;  // of the saturation stage's oversampled rate

// Two successive smoother outputs toward one minus a frequency control: d, then e.
struct Positions {
  double d, e;
};
Positions StepPositions(OnePoleSmoother& s, double control) {
  const double d = s.Step(1.0 - control);
  const double e = s.Step(1.0 - control);
  return {d, e};
}

// One band filter's refresh: the gain smoother steps once, then the frequency smoother
// twice; every call steps afresh.
template <class Filter>
void CalcBand(Filter& f, double fs, OnePoleSmoother& gain, double gainTarget, OnePoleSmoother& freq,
              double freqControl) {
  const double g = gain.Step(gainTarget);
  const Positions p = StepPositions(freq, freqControl);
  f.Calc(fs, g, p.d, p.e);
}

template <class Filter>
void CalcPass(Filter& f, double fs, OnePoleSmoother& s, double control) {
  const Positions p = StepPositions(s, control);
  f.Calc(fs, p.d, p.e);
}

}  // namespace

void VantroseChain::BeginBlock(const ChainControls& c) {
  const double fs = c.fs;
  const double m = OnePoleSmoother::Pole(kBandSmoothingHz, fs);
  for (OnePoleSmoother* s :
       {&mLPSmoother, &mHPSmoother, &mLGainSmoother, &mLFreqSmoother, &mLMGainSmoother,
        &mLMFreqSmoother, &mHMGainSmoother, &mHMFreqSmoother, &mHGainSmoother, &mHFreqSmoother}) {
    s->SetPole(m);
  }
  mGainSmoother.SetPole(OnePoleSmoother::Pole(kOutputSmoothingHz, fs));

  for (L32S& f : mLowShelf)
    CalcBand(f, fs, mLGainSmoother, c.lGain, mLFreqSmoother, c.lFreq);
  for (L32P& f : mLowBell)
    CalcBand(f, fs, mLGainSmoother, c.lGain, mLFreqSmoother, c.lFreq);
  const double bandFs = kBandOversampling * fs;
  for (LM32P& f : mLowMid) {
    CalcBand(f, bandFs, mLMGainSmoother, c.lmGain, mLMFreqSmoother, c.lmFreq);
  }
  for (HM32P& f : mHighMid) {
    CalcBand(f, bandFs, mHMGainSmoother, c.hmGain, mHMFreqSmoother, c.hmFreq);
  }
  for (H32P& f : mHigh)
    CalcBand(f, bandFs, mHGainSmoother, c.hGain, mHFreqSmoother, c.hFreq);
  for (HPP32& f : mHighPass)
    CalcPass(f, fs, mHPSmoother, c.hp);
  for (LPP32& f : mLowPass)
    CalcPass(f, fs, mLPSmoother, c.lp);

  for (BesselFilterCoeffs& sat : mSatCoeffs)
    sat.Calc(kSatCutoff / c.satFactor);
}

void VantroseChain::ClearSaturation() {
  std::memset(mSatHistory, 0, sizeof mSatHistory);
}
