// The per-sample signal chain written plainly, step by step in the defining order.  It
// is the yardstick for the fast path in VantroseRender.cpp, which must match it bit for
// bit, and the baseline of the benchmarks.
#include "VantroseChain.h"
#include "flush.h"
#include "shape.h"

namespace {

constexpr double kSatDrive = 17.78279410038923;        // +25 dB into the saturation stage
constexpr double kSatReturn = 3.1622776601683795e-05;  // −90 dB back into the signal

// One tenth-order recursion step: the products accumulated in index order, flushed,
// pushed into the eleven-slot history (newest first).
double SatFilterStep(const BesselFilterCoeffs& c, double* hist, double u) {
  double s = c.c[0] * u;
  for (int k = 1; k <= 10; ++k)
    s += c.c[k] * hist[k - 1];
  const double y = flush(s);
  for (int k = 10; k >= 1; --k)
    hist[k] = hist[k - 1];
  hist[0] = y;
  return y;
}

}  // namespace

// Audio thread: no allocation, no locks, no I/O.
void VantroseChain::RenderReference(const ChainControls& c, double** inputs, double** outputs,
                                    int nFrames) {
  const double fs = c.fs;
  const int N = c.satFactor;
  for (int i = 0; i < nFrames; ++i) {
    const double x[2] = {inputs[0][i], inputs[1][i]};
    for (int ch = 0; ch < 2; ++ch)
      mSatIn[ch] = x[ch] * kSatDrive;
    // Saturation: N sub-steps per sample on a zero-stuffed input; only the first
    // sub-step's output is kept, the others advance the two filters.
    for (int ch = 0; ch < 2; ++ch) {
      for (int j = 0; j < N; ++j) {
        const double y =
            SatFilterStep(mSatCoeffs[ch], SatHistory(ch, 0), j == 0 ? mSatIn[ch] : 0.0);
        const double s = shape(N * y);
        const double z = SatFilterStep(mSatCoeffs[ch], SatHistory(ch, 1), s);
        if (j == 0) mSatOut[ch] = z;
      }
    }
    // Saturation mixed back at −90 dB, through the pass filters when engaged.
    if (c.hplp == 0) {
      for (int ch = 0; ch < 2; ++ch)
        mPreOut[ch] = mSatOut[ch] * kSatReturn + x[ch];
    } else if (c.hplp == 1) {
      for (int ch = 0; ch < 2; ++ch) {
        mPreOut[ch] = mLowPass[ch].Process(mHighPass[ch].Process(mSatOut[ch] * kSatReturn + x[ch]));
      }
    }
    // The biquads pass their input unchanged but for single-precision rounding.
    mShelfBiquad.setBiquad(4, ((fs * 0.5) / fs) * 0.5, 0.4, 0.0);
    mBellBiquad.setBiquad(4, ((fs * 0.5) / fs) * 0.5, 0.4, 0.0);
    if (c.bell == 1) {
      for (int ch = 0; ch < 2; ++ch) {
        const float w = mBellBiquad.process(static_cast<float>(mPreOut[ch]));
        mLowOut[ch] = mLowBell[ch].Process(w);
      }
    } else if (c.bell == 0) {
      for (int ch = 0; ch < 2; ++ch) {
        const float w = mShelfBiquad.process(static_cast<float>(mPreOut[ch]));
        mLowOut[ch] = mLowShelf[ch].Process(w);
      }
    }
    // The three bands at eight times the rate: two rounds of four interpolated values.
    for (int round = 0; round < 2; ++round) {
      for (int ch = 0; ch < 2; ++ch) {
        StOversampler4x& o = mOversampler[ch];
        o.up4(mLowOut[ch]);
        for (int p = 27; p <= 30; ++p) {
          o.h[p] = mHighMid[ch].Process(mLowMid[ch].Process(mHigh[ch].Process(o.h[p])));
        }
      }
    }
    if (c.by == 1) {
      outputs[0][i] = mGainSmoother.Step(c.gain) * mOversampler[0].decimate();
      outputs[1][i] = mGainSmoother.Step(c.gain) * mOversampler[1].decimate();
    } else {
      // Bypass: every stage above has run.  Any value but 1 passes the input too, so
      // the host never receives stale buffer contents.
      outputs[0][i] = x[0];
      outputs[1][i] = x[1];
    }
  }
}
