// The three bands at eight times the rate packed into the lanes of one eight-lane
// register, for instruction sets that have them:
//   lanes 0, 1  the high band, left and right, on oversampled value s;
//   lanes 2, 3  the low-mid band on value s − 2, the high band's output of two steps ago;
//   lanes 4, 5  the high-mid band on value s − 4, the low-mid band's output likewise;
//   lanes 6, 7  idle: a0 = 1 and everything else zero, so they hold +0.0 throughout.
// One step then advances all six recursions with one division.  A stage's input was made
// two steps before it is used, so the lane shift stays off every band's own y1 -> y
// chain.  Each lane performs the plain chain's operations in its order, and no operation
// mixes lanes but the shift, so every band's values are the plain chain's bits.
//
// The skew puts the high-mid band four steps behind: a frame's output is decimated one
// frame late, and a block ends with four steps that let the lagging bands catch up.  At
// a block's start and end, the lanes with nothing to do are stepped and then put back.
#pragma once

#include "RenderBands.h"
#include "RenderSteps.h"
#include "VantroseChain.h"

namespace {

// The eight lanes in one register.
typedef double V8 __attribute__((vector_size(64)));
typedef long long M8 __attribute__((vector_size(64)));

VANTROSE_KERNEL V8 Eight(double l0, double l1, double l2, double l3, double l4, double l5,
                         double l6, double l7) {
  return V8{l0, l1, l2, l3, l4, l5, l6, l7};
}
VANTROSE_KERNEL double Lane(V8 v, int k) {
  return v[k];
}
// Lanes 0 and 1 from in, 2 to 5 from lanes 0 to 3 of v, 6 and 7 zero.
VANTROSE_KERNEL V8 ShiftIn(V8 v, V2 in) {
  const V8 fresh = V8{in[0], in[1], 0.0, 0.0, 0.0, 0.0, 0.0, 0.0};
#if defined(__clang__)
  return __builtin_shufflevector(v, fresh, 8, 9, 0, 1, 2, 3, 10, 11);
#else
  return __builtin_shuffle(v, fresh, M8{8, 9, 0, 1, 2, 3, 10, 11});
#endif
}
// Lanes of now where their band's flag is set, of before elsewhere.
template <bool kHigh, bool kLowMid, bool kHighMid>
VANTROSE_KERNEL V8 Keep(V8 now, V8 before) {
  constexpr long long h = kHigh ? -1 : 0, l = kLowMid ? -1 : 0, m = kHighMid ? -1 : 0;
  return M8{h, h, l, l, m, m, -1, -1} ? now : before;
}

struct BandLanes {
  // The six filters' fields, lane by lane as above.
  RecurrenceLanes<V8> f;
  V8 last1, last2;  // the step outputs of one and two steps ago
  OversamplerLanes over;
  OutputGain gain;
  V2 pendingX{};  // the input of the frame whose output is not yet made

  // One field of the six filters, lane by lane; idle for the idle lanes.
  VANTROSE_KERNEL static V8 Gather(const ThirdOrderFields* const (&f)[6],
                                   double ThirdOrderFields::*field, double idle) {
    return Eight(f[0]->*field, f[1]->*field, f[2]->*field, f[3]->*field, f[4]->*field, f[5]->*field,
                 idle, idle);
  }

  VANTROSE_KERNEL void Load(const VantroseChain& ch, OversamplerLanes::Buffer& buffer) {
    using F = ThirdOrderFields;
    const F* const from[6] = {&ch.mHigh[0],   &ch.mHigh[1],    &ch.mLowMid[0],
                              &ch.mLowMid[1], &ch.mHighMid[0], &ch.mHighMid[1]};
    f.x1 = Gather(from, &F::x1, 0.0);
    f.x2 = Gather(from, &F::x2, 0.0);
    f.x3 = Gather(from, &F::x3, 0.0);
    f.y1 = Gather(from, &F::y1, 0.0);
    f.y2 = Gather(from, &F::y2, 0.0);
    f.y3 = Gather(from, &F::y3, 0.0);
    f.a0 = Gather(from, &F::a0, 1.0);
    f.a1 = Gather(from, &F::a1, 0.0);
    f.a2 = Gather(from, &F::a2, 0.0);
    f.a3 = Gather(from, &F::a3, 0.0);
    f.b0 = Gather(from, &F::b0, 0.0);
    f.b1 = Gather(from, &F::b1, 0.0);
    f.b2 = Gather(from, &F::b2, 0.0);
    f.b3 = Gather(from, &F::b3, 0.0);
    last1 = Eight(0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0);
    last2 = last1;
    over.Load(ch.mOversampler, buffer);
    gain.Load(ch);
  }
  // After a step, input and output are x1 and y1.
  VANTROSE_KERNEL void StoreLane(ThirdOrderFields& to, int lane) const {
    to.input = Lane(f.x1, lane);
    to.output = Lane(f.y1, lane);
    to.x1 = Lane(f.x1, lane);
    to.x2 = Lane(f.x2, lane);
    to.x3 = Lane(f.x3, lane);
    to.y1 = Lane(f.y1, lane);
    to.y2 = Lane(f.y2, lane);
    to.y3 = Lane(f.y3, lane);
  }
  VANTROSE_KERNEL void Store(VantroseChain& ch) const {
    for (int c = 0; c < 2; ++c) {
      StoreLane(ch.mHigh[c], c);
      StoreLane(ch.mLowMid[c], 2 + c);
      StoreLane(ch.mHighMid[c], 4 + c);
    }
    over.Store(ch.mOversampler);
    gain.Store(ch);
  }

  // One step: the high band takes in, the other bands their stage's output of two
  // steps ago.  Bands whose flag is false keep their state.  Returns the high-mid
  // band's output.
  template <bool kHigh, bool kLowMid, bool kHighMid>
  VANTROSE_KERNEL V2 Step(V2 in) {
    const V8 x = ShiftIn(last2, in);
    const RecurrenceLanes<V8> before = f;
    const V8 y = f.Third(x);
    if (!(kHigh && kLowMid && kHighMid)) {
      f.x3 = Keep<kHigh, kLowMid, kHighMid>(f.x3, before.x3);
      f.x2 = Keep<kHigh, kLowMid, kHighMid>(f.x2, before.x2);
      f.x1 = Keep<kHigh, kLowMid, kHighMid>(f.x1, before.x1);
      f.y3 = Keep<kHigh, kLowMid, kHighMid>(f.y3, before.y3);
      f.y2 = Keep<kHigh, kLowMid, kHighMid>(f.y2, before.y2);
      f.y1 = Keep<kHigh, kLowMid, kHighMid>(f.y1, before.y1);
    }
    last2 = last1;
    last1 = y;
    return V2{Lane(y, 4), Lane(y, 5)};
  }

  // Step p of a frame on value h[p % 4] of its round; the high-mid band's output goes
  // four values back.  The first frame of a block starts the lagging bands late.
  template <int p, bool kFirst, class... Weave>
  VANTROSE_KERNEL void FrameStep(V2* h, Weave&... weave) {
    constexpr bool lowMid = !kFirst || p >= 2, highMid = !kFirst || p >= 4;
    const V2 out = Step<true, lowMid, highMid>(h[p % 4]);
    if (highMid) h[p % 4 - 4] = out;
    (weave.template At<p>(), ...);
  }

  template <bool kFirst, class... Weave>
  VANTROSE_KERNEL void Steps(V2 low, Weave&... weave) {
    over.MakeRoom();
    V2* h = over.Up4(low);
    FrameStep<0, kFirst>(h, weave...);
    FrameStep<1, kFirst>(h, weave...);
    FrameStep<2, kFirst>(h, weave...);
    FrameStep<3, kFirst>(h, weave...);
    h = over.Up4(low);
    FrameStep<4, kFirst>(h, weave...);
    FrameStep<5, kFirst>(h, weave...);
    FrameStep<6, kFirst>(h, weave...);
    FrameStep<7, kFirst>(h, weave...);
  }

  // Frame i, whose low band gave low and whose input is x: its eight steps, then the
  // output of frame i − 1, whose values the steps have just completed.
  template <class... Weave>
  VANTROSE_KERNEL void Frame(const ChainControls& c, V2 low, V2 x, double** outputs, int i,
                             Weave&... weave) {
    if (i == 0) {
      Steps<true>(low, weave...);
    } else {
      Steps<false>(low, weave...);
      gain.Emit(c, over, 8, pendingX, outputs, i - 1);
    }
    pendingX = x;
  }

  // The same for a frame other than a block's first.
  template <class... Weave>
  VANTROSE_KERNEL void Later(const ChainControls& c, V2 low, V2 x, double** outputs, int i,
                             Weave&... weave) {
    Steps<false>(low, weave...);
    gain.Emit(c, over, 8, pendingX, outputs, i - 1);
    pendingX = x;
  }

  // After a block's last frame: the low-mid band's last two values and the high-mid
  // band's last four, then the last frame's output.
  VANTROSE_KERNEL void Finish(const ChainControls& c, double** outputs, int nFrames) {
    V2* h = over.buf + over.end;
    h[-4] = Step<false, true, true>(V2{0.0, 0.0});
    h[-3] = Step<false, true, true>(V2{0.0, 0.0});
    h[-2] = Step<false, false, true>(V2{0.0, 0.0});
    h[-1] = Step<false, false, true>(V2{0.0, 0.0});
    gain.Emit(c, over, 0, pendingX, outputs, nFrames - 1);
  }
};

}  // namespace
