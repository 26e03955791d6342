// Block-start recovery of the chain's recursive state.  Input that is finite but
// absurdly loud can overflow a stage (the shared biquads convert to float); an
// infinite or NaN state would then poison every later sample.  A stage whose state is
// not all finite restarts from silence; finite state is never touched, so output that
// was finite stays bit-identical.
#include <cmath>

#include "VantroseChain.h"

namespace {

bool AllFinite(const double* v, int n) {
  for (int i = 0; i < n; ++i) {
    if (!std::isfinite(v[i])) return false;
  }
  return true;
}

// The samples and histories of a direct-form filter; its coefficients are kept.
template <class F>
int ClearDirectForm(F& f) {
  const double state[] = {f.input, f.output, f.x1, f.x2, f.x3, f.y1, f.y2, f.y3};
  if (AllFinite(state, 8)) return 0;
  f.input = f.output = 0.0;
  f.x1 = f.x2 = f.x3 = 0.0;
  f.y1 = f.y2 = f.y3 = 0.0;
  return 1;
}

int ClearBiquad(Biquad& q) {
  const double state[] = {q.z1, q.z2};
  if (AllFinite(state, 2)) return 0;
  q.z1 = q.z2 = 0.0;
  return 1;
}

int ClearOversampler(StOversampler4x& o) {
  const double x[] = {o.x0, o.x1, o.x2, o.x3, o.x4, o.x5, o.x6, o.x7};
  if (AllFinite(o.h, 31) && AllFinite(x, 8)) return 0;
  o = StOversampler4x{};
  return 1;
}

int ClearValue(double& v) {
  if (std::isfinite(v)) return 0;
  v = 0.0;
  return 1;
}

}  // namespace

int VantroseChain::ClearNonFiniteState() {
  int cleared = ClearBiquad(mShelfBiquad) + ClearBiquad(mBellBiquad);
  for (int ch = 0; ch < 2; ++ch) {
    cleared += ClearDirectForm(mHighPass[ch]) + ClearDirectForm(mLowPass[ch]) +
               ClearDirectForm(mLowShelf[ch]) + ClearDirectForm(mLowBell[ch]) +
               ClearDirectForm(mLowMid[ch]) + ClearDirectForm(mHighMid[ch]) +
               ClearDirectForm(mHigh[ch]) + ClearOversampler(mOversampler[ch]);
    for (int filter = 0; filter < 2; ++filter) {
      double* history = SatHistory(ch, filter);
      if (!AllFinite(history, 11)) {
        for (int k = 0; k < 11; ++k)
          history[k] = 0.0;
        ++cleared;
      }
    }
    cleared += ClearValue(mSatIn[ch]) + ClearValue(mSatOut[ch]) + ClearValue(mPreOut[ch]) +
               ClearValue(mLowOut[ch]);
  }
  return cleared;
}
