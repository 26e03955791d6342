#include "ChainTestUtil.h"

#include <cmath>
#include <string>

namespace chaintest {

Stereo Sweep(size_t n, double fs, double f0, double f1, double level) {
  Stereo s(n);
  const double k = std::log(f1 / f0);
  const double T = n / fs;
  for (size_t i = 0; i < n; ++i) {
    const double t = i / fs;
    const double phase = 2 * M_PI * f0 * T / k * (std::exp(t / T * k) - 1.0);
    s.ch[0][i] = level * std::sin(phase);
    s.ch[1][i] = level * std::cos(phase);
  }
  return s;
}

namespace {

template <class F>
bool SameFilter(const F& a, const F& b) {
  return SameBits(a, b);
}

bool SameBiquad(const Biquad& a, const Biquad& b) {
  const double da[] = {a.a0, a.a1, a.a2, a.b1, a.b2, a.Fc, a.Q, a.peakGain, a.z1, a.z2};
  const double db[] = {b.a0, b.a1, b.a2, b.b1, b.b2, b.Fc, b.Q, b.peakGain, b.z1, b.z2};
  return a.type == b.type && SameBits(da, db);
}

}  // namespace

bool SameState(const VantroseChain& a, const VantroseChain& b, std::string* where) {
  static OnePoleSmoother VantroseChain::*const kSmoothers[] = {
      &VantroseChain::mLPSmoother,     &VantroseChain::mHPSmoother,
      &VantroseChain::mLGainSmoother,  &VantroseChain::mLFreqSmoother,
      &VantroseChain::mLMGainSmoother, &VantroseChain::mLMFreqSmoother,
      &VantroseChain::mHMGainSmoother, &VantroseChain::mHMFreqSmoother,
      &VantroseChain::mHGainSmoother,  &VantroseChain::mHFreqSmoother,
      &VantroseChain::mGainSmoother};
  bool smoothers = true;
  for (auto m : kSmoothers)
    smoothers = smoothers && SameBits(a.*m, b.*m);
  struct Check {
    const char* name;
    bool same;
  };
  const Check checks[] = {
      {"smoothers", smoothers},
      {"mLowOut", SameBits(a.mLowOut, b.mLowOut)},
      {"mPreOut", SameBits(a.mPreOut, b.mPreOut)},
      {"mLowShelf", SameFilter(a.mLowShelf, b.mLowShelf)},
      {"mLowBell", SameFilter(a.mLowBell, b.mLowBell)},
      {"mLowMid", SameFilter(a.mLowMid, b.mLowMid)},
      {"mHighMid", SameFilter(a.mHighMid, b.mHighMid)},
      {"mHigh", SameFilter(a.mHigh, b.mHigh)},
      {"mHighPass", SameFilter(a.mHighPass, b.mHighPass)},
      {"mLowPass", SameFilter(a.mLowPass, b.mLowPass)},
      {"mSatCoeffs", SameBits(a.mSatCoeffs, b.mSatCoeffs)},
      {"mSatHistory", SameBits(a.mSatHistory, b.mSatHistory)},
      {"mSatOut", SameBits(a.mSatOut, b.mSatOut)},
      {"mSatIn", SameBits(a.mSatIn, b.mSatIn)},
      {"mOversampler", SameBits(a.mOversampler, b.mOversampler)},
      {"mShelfBiquad", SameBiquad(a.mShelfBiquad, b.mShelfBiquad)},
      {"mBellBiquad", SameBiquad(a.mBellBiquad, b.mBellBiquad)},
  };
  for (const Check& c : checks) {
    if (!c.same) {
      if (where) *where = c.name;
      return false;
    }
  }
  return true;
}

}  // namespace chaintest
