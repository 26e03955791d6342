#pragma once

#include "Recurrence.h"

// The left and right filters of one class stepped together, one channel per lane of a
// two-double vector.  Each lane performs the same operations in the same order as the
// class's own Process, so every output is bit-identical to it; the pair only saves
// instructions and keeps the state in registers across a block.
//   Load(left, right) at block start, Step per sample, Store(left, right) at block end.
// The filter objects stay the owners of the state between blocks.

typedef double Lanes2 __attribute__((vector_size(16)));

// The fields of a direct-form filter, each holding the left value in lane 0 and the
// right value in lane 1.
struct DirectFormLanes {
  Lanes2 input, output;
  Lanes2 x1, x2, x3;
  Lanes2 y1, y2, y3;
  Lanes2 a0, a1, a2, a3;
  Lanes2 b0, b1, b2, b3;

  template <class F>
  void Load(const F& l, const F& r) {
    input = Lanes2{l.input, r.input};
    output = Lanes2{l.output, r.output};
    x1 = Lanes2{l.x1, r.x1};
    x2 = Lanes2{l.x2, r.x2};
    x3 = Lanes2{l.x3, r.x3};
    y1 = Lanes2{l.y1, r.y1};
    y2 = Lanes2{l.y2, r.y2};
    y3 = Lanes2{l.y3, r.y3};
    a0 = Lanes2{l.a0, r.a0};
    a1 = Lanes2{l.a1, r.a1};
    a2 = Lanes2{l.a2, r.a2};
    a3 = Lanes2{l.a3, r.a3};
    b0 = Lanes2{l.b0, r.b0};
    b1 = Lanes2{l.b1, r.b1};
    b2 = Lanes2{l.b2, r.b2};
    b3 = Lanes2{l.b3, r.b3};
  }

  // Writes the samples and histories back; the coefficients are the objects' own.
  template <class F>
  void Store(F& l, F& r) const {
    StoreLane(l, 0);
    StoreLane(r, 1);
  }

 private:
  template <class F>
  void StoreLane(F& f, int lane) const {
    f.input = input[lane];
    f.output = output[lane];
    f.x1 = x1[lane];
    f.x2 = x2[lane];
    f.x3 = x3[lane];
    f.y1 = y1[lane];
    f.y2 = y2[lane];
    f.y3 = y3[lane];
  }
};

// A pair of third-order filters (L32P, LM32P, HM32P, H32P, HPP32).
struct ThirdOrderPair : DirectFormLanes {
  // Audio thread: one sample per channel; no allocation, no branches.
  Lanes2 Step(Lanes2 x) { return StepThirdOrder(*this, x); }
};

// A pair of second-order filters (L32S, LPP32).
struct SecondOrderPair : DirectFormLanes {
  // Audio thread: one sample per channel; no allocation, no branches.
  Lanes2 Step(Lanes2 x) { return StepSecondOrder(*this, x); }
};
