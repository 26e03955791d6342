// The saturation stage in four-lane registers, for instruction sets with four doubles
// to a register: lanes 0 and 1 hold the left and right up-filters, lanes 2 and 3 the
// down-filters one frame behind, so one step advances all four recursions.
#pragma once

#include "RenderSteps.h"
#include "VantroseChain.h"

namespace {

template <int N>
struct SatLanes : SatSchedule<SatLanes<N>, N> {
  // The coefficients, read from an object of their own: where stores into other
  // buffers might change them, they are read from memory at each use rather than held
  // in registers, which then hold the histories.
  struct Coeffs {
    V4 v[11];
  };
  const V4* c = nullptr;
  V4 h[11];  // newest first

  VANTROSE_KERNEL void Load(const VantroseChain& ch, Coeffs& store) {
    c = store.v;
    const double* upL = ch.mSatHistory;
    const double* downL = ch.mSatHistory + 11;
    const double* upR = ch.mSatHistory + 22;
    const double* downR = ch.mSatHistory + 33;
    for (int k = 0; k < 11; ++k) {
      const double cl = ch.mSatCoeffs[0].c[k], cr = ch.mSatCoeffs[1].c[k];
      store.v[k] = V4{cl, cr, cl, cr};
      h[k] = V4{upL[k], upR[k], downL[k], downR[k]};
    }
    this->ClearShaped();
  }
  VANTROSE_KERNEL void Store(VantroseChain& ch) const {
    for (int k = 0; k < 11; ++k) {
      ch.mSatHistory[k] = h[k][0];
      ch.mSatHistory[11 + k] = h[k][2];
      ch.mSatHistory[22 + k] = h[k][1];
      ch.mSatHistory[33 + k] = h[k][3];
    }
  }

  VANTROSE_KERNEL void StepBoth(V2 up, V2 down, V2& upOut, V2& downOut) {
    const V4 y = TenthOrderStep(c, h, V4{up[0], up[1], down[0], down[1]});
    upOut = Low(y);
    downOut = High(y);
  }

  struct Snapshot {
    V4 h[11];
  };
  VANTROSE_KERNEL Snapshot Save() const {
    Snapshot s;
    for (int k = 0; k < 11; ++k)
      s.h[k] = h[k];
    return s;
  }
  VANTROSE_KERNEL void RestoreUp(const Snapshot& s) {
    for (int k = 0; k < 11; ++k)
      h[k] = V4{s.h[k][0], s.h[k][1], h[k][2], h[k][3]};
  }
  VANTROSE_KERNEL void RestoreDown(const Snapshot& s) {
    for (int k = 0; k < 11; ++k)
      h[k] = V4{h[k][0], h[k][1], s.h[k][2], s.h[k][3]};
  }
};

}  // namespace
