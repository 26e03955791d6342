// The saturation stage in pairs of two-lane registers, for instruction sets with two
// doubles to a register: the up- and down-filters share one set of coefficient
// registers and step as two independent recursions, each with both channels.
#pragma once

#include "RenderSteps.h"
#include "VantroseChain.h"

namespace {

template <int N>
struct SatPairs : SatSchedule<SatPairs<N>, N> {
  // The coefficients, read from an object of their own: where stores into other
  // buffers might change them, they are read from memory at each use rather than held
  // in registers, which then hold the histories.
  struct Coeffs {
    V2 v[11];
  };
  const V2* c = nullptr;
  V2 up[11], down[11];  // newest first

  VANTROSE_KERNEL void Load(const VantroseChain& ch, Coeffs& store) {
    c = store.v;
    const double* h = ch.mSatHistory;  // left up, left down, right up, right down
    for (int k = 0; k < 11; ++k) {
      store.v[k] = V2{ch.mSatCoeffs[0].c[k], ch.mSatCoeffs[1].c[k]};
      up[k] = V2{h[k], h[22 + k]};
      down[k] = V2{h[11 + k], h[33 + k]};
    }
    this->ClearShaped();
  }
  VANTROSE_KERNEL void Store(VantroseChain& ch) const {
    for (int k = 0; k < 11; ++k) {
      ch.mSatHistory[k] = up[k][0];
      ch.mSatHistory[11 + k] = down[k][0];
      ch.mSatHistory[22 + k] = up[k][1];
      ch.mSatHistory[33 + k] = down[k][1];
    }
  }

  VANTROSE_KERNEL void StepBoth(V2 upIn, V2 downIn, V2& upOut, V2& downOut) {
    upOut = TenthOrderStep(c, up, upIn);
    downOut = TenthOrderStep(c, down, downIn);
  }

  struct Snapshot {
    V2 up[11], down[11];
  };
  VANTROSE_KERNEL Snapshot Save() const {
    Snapshot s;
    for (int k = 0; k < 11; ++k) {
      s.up[k] = up[k];
      s.down[k] = down[k];
    }
    return s;
  }
  VANTROSE_KERNEL void RestoreUp(const Snapshot& s) {
    for (int k = 0; k < 11; ++k)
      up[k] = s.up[k];
  }
  VANTROSE_KERNEL void RestoreDown(const Snapshot& s) {
    for (int k = 0; k < 11; ++k)
      down[k] = s.down[k];
  }
};

}  // namespace
