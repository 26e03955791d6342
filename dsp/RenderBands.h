// The stages after the saturation in two-lane registers, one channel per lane, state in
// locals for a block: the pass filters, the biquads and the low band at the host rate,
// the band oversamplers and the three bands at eight times the rate, the decimation and
// the output gain.  Part of the render kernel (RenderKernel.h), compiled once per
// instruction set.
#pragma once

#include "RenderSteps.h"
#include "VantroseChain.h"

namespace {

// Direct-form filters in the lanes of a vector V, with the operations of Recurrence.h
// in the same order: one class for both channels in FilterLanes, or several filters in
// wider lanes.
template <class V>
struct RecurrenceLanes {
  V input, output, x1, x2, x3, y1, y2, y3, a0, a1, a2, a3, b0, b1, b2, b3;

  template <class F>
  VANTROSE_KERNEL void Load(const F& l, const F& r) {
    input = V2{l.input, r.input};
    output = V2{l.output, r.output};
    x1 = V2{l.x1, r.x1};
    x2 = V2{l.x2, r.x2};
    x3 = V2{l.x3, r.x3};
    y1 = V2{l.y1, r.y1};
    y2 = V2{l.y2, r.y2};
    y3 = V2{l.y3, r.y3};
    a0 = V2{l.a0, r.a0};
    a1 = V2{l.a1, r.a1};
    a2 = V2{l.a2, r.a2};
    a3 = V2{l.a3, r.a3};
    b0 = V2{l.b0, r.b0};
    b1 = V2{l.b1, r.b1};
    b2 = V2{l.b2, r.b2};
    b3 = V2{l.b3, r.b3};
  }
  template <class F>
  VANTROSE_KERNEL void Store(F& l, F& r) const {
    StoreLane(l, 0);
    StoreLane(r, 1);
  }
  template <class F>
  VANTROSE_KERNEL void StoreLane(F& f, int lane) const {
    f.input = input[lane];
    f.output = output[lane];
    f.x1 = x1[lane];
    f.x2 = x2[lane];
    f.x3 = x3[lane];
    f.y1 = y1[lane];
    f.y2 = y2[lane];
    f.y3 = y3[lane];
  }

  // y = ((((((b0·x + b1·x1) + b2·x2) + b3·x3) − a1·y1) − a2·y2) − a3·y3) / a0
  VANTROSE_KERNEL V Third(V x) {
    input = x;
    const V y = ((((((b0 * x + b1 * x1) + b2 * x2) + b3 * x3) - a1 * y1) - a2 * y2) - a3 * y3) / a0;
    output = y;
    x3 = x2;
    x2 = x1;
    x1 = x;
    y3 = y2;
    y2 = y1;
    y1 = y;
    return y;
  }
  // y = ((((b0·x + b1·x1) + b2·x2) − a1·y1) − a2·y2) / a0
  VANTROSE_KERNEL V Second(V x) {
    input = x;
    const V y = ((((b0 * x + b1 * x1) + b2 * x2) - a1 * y1) - a2 * y2) / a0;
    output = y;
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
    return y;
  }
};

using FilterLanes = RecurrenceLanes<V2>;

// The band oversamplers of both channels over a linear buffer: each round appends its
// four values, the decimating sum reads 31 of them ending at most a frame before the
// newest, and only a block's last 31 values return to the objects' histories.  The
// buffer is an object of its own, so that the bands' writes into it cannot be taken
// for writes to the recursions' state, which then stays in registers.
struct OversamplerLanes {
  static constexpr int kRoomFrames = 64;
  static constexpr int kKeep = 31 + 8;  // what the decimation of the frame before reads
  struct Buffer {
    V2 v[kKeep + 8 * kRoomFrames];
  };
  V2* buf = nullptr;
  int end = 31;  // one past the newest value
  V2 x0, x1, x2, x3, x4, x5, x6, x7;

  VANTROSE_KERNEL void Load(const StOversampler4x (&o)[2], Buffer& b) {
    buf = b.v;
    for (int k = 0; k < 31; ++k)
      buf[k] = V2{o[0].h[k], o[1].h[k]};
    end = 31;
    x0 = V2{o[0].x0, o[1].x0};
    x1 = V2{o[0].x1, o[1].x1};
    x2 = V2{o[0].x2, o[1].x2};
    x3 = V2{o[0].x3, o[1].x3};
    x4 = V2{o[0].x4, o[1].x4};
    x5 = V2{o[0].x5, o[1].x5};
    x6 = V2{o[0].x6, o[1].x6};
    x7 = V2{o[0].x7, o[1].x7};
  }
  VANTROSE_KERNEL void Store(StOversampler4x (&o)[2]) const {
    for (int lane = 0; lane < 2; ++lane) {
      for (int k = 0; k < 31; ++k)
        o[lane].h[k] = buf[end - 31 + k][lane];
      o[lane].x0 = x0[lane];
      o[lane].x1 = x1[lane];
      o[lane].x2 = x2[lane];
      o[lane].x3 = x3[lane];
      o[lane].x4 = x4[lane];
      o[lane].x5 = x5[lane];
      o[lane].x6 = x6[lane];
      o[lane].x7 = x7[lane];
    }
  }
  // Moves the newest kKeep values to the front once the buffer cannot take another frame.
  VANTROSE_KERNEL void MakeRoom() {
    if (end + 8 <= static_cast<int>(sizeof(Buffer) / sizeof(V2))) return;
    for (int k = 0; k < kKeep; ++k)
      buf[k] = buf[end - kKeep + k];
    end = kKeep;
  }

  // up4 on both lanes: appends the four interpolated values, returns where they start.
  VANTROSE_KERNEL V2* Up4(V2 v) {
    V2* h = buf + end;
    Interpolate4x(*this, v, h);
    end += 4;
    return h;
  }

  // decimate on both lanes over the 31 values that end lag values before the newest.
  VANTROSE_KERNEL V2 Decimate(int lag) const {
    using O = StOversampler4x;
    const V2* h = buf + end - lag - 31;
    V2 s = (h[29] + h[1]) * O::k14;
    s += (h[30] + h[0]) * O::k15;
    s += (h[28] + h[2]) * O::k13;
    s += (h[26] + h[4]) * O::k11;
    s += (h[25] + h[5]) * O::k10;
    s += (h[24] + h[6]) * O::k9;
    s += (h[22] + h[8]) * O::k7;
    s += (h[21] + h[9]) * O::k6;
    s += (h[20] + h[10]) * O::k5;
    s += (h[18] + h[12]) * O::k3;
    s += (h[17] + h[13]) * O::k2;
    s += (h[16] + h[14]) * O::k1;
    s += h[15] * O::k0;
    return s;
  }
};

// One step of a biquad shared by both channels, left then right: the state passes
// from the left sample to the right one, as in the plain chain.
struct SharedBiquad {
  double a0, a1, a2, b1, b2, z1, z2;
  VANTROSE_KERNEL void Load(const Biquad& q) {
    a0 = q.a0;
    a1 = q.a1;
    a2 = q.a2;
    b1 = q.b1;
    b2 = q.b2;
    z1 = q.z1;
    z2 = q.z2;
  }
  VANTROSE_KERNEL void Store(Biquad& q) const {
    q.z1 = z1;
    q.z2 = z2;
  }
  VANTROSE_KERNEL float Process(float in) {
    const double x = in;
    const double out = x * a0 + z1;
    z1 = (x * a1 + z2) - b1 * out;
    z2 = x * a2 - b2 * out;
    return static_cast<float>(out);
  }
  VANTROSE_KERNEL V2 Process(V2 v) {
    const float l = Process(static_cast<float>(v[0]));
    const float r = Process(static_cast<float>(v[1]));
    return V2{l, r};
  }
};

// The stages between the saturation and the bands at the host rate, for both channels.
struct HostStages {
  FilterLanes highPass, lowPass, lowShelf, lowBell;
  SharedBiquad shelf, bell;
  V2 preOut, lowOut;

  VANTROSE_KERNEL void Load(const VantroseChain& ch) {
    highPass.Load(ch.mHighPass[0], ch.mHighPass[1]);
    lowPass.Load(ch.mLowPass[0], ch.mLowPass[1]);
    lowShelf.Load(ch.mLowShelf[0], ch.mLowShelf[1]);
    lowBell.Load(ch.mLowBell[0], ch.mLowBell[1]);
    shelf.Load(ch.mShelfBiquad);
    bell.Load(ch.mBellBiquad);
    preOut = V2{ch.mPreOut[0], ch.mPreOut[1]};
    lowOut = V2{ch.mLowOut[0], ch.mLowOut[1]};
  }
  VANTROSE_KERNEL void Store(VantroseChain& ch) const {
    highPass.Store(ch.mHighPass[0], ch.mHighPass[1]);
    lowPass.Store(ch.mLowPass[0], ch.mLowPass[1]);
    lowShelf.Store(ch.mLowShelf[0], ch.mLowShelf[1]);
    lowBell.Store(ch.mLowBell[0], ch.mLowBell[1]);
    shelf.Store(ch.mShelfBiquad);
    bell.Store(ch.mBellBiquad);
    for (int lane = 0; lane < 2; ++lane) {
      ch.mPreOut[lane] = preOut[lane];
      ch.mLowOut[lane] = lowOut[lane];
    }
  }

  // Pass filters, biquad and low band for one frame; returns the low band's output
  // (kept from the last frame when no low band is selected).
  VANTROSE_KERNEL V2 Frame(const ChainControls& c, V2 x, V2 sat) {
    Begin(x, sat);
    Piece<0>(c);
    Piece<1>(c);
    Piece<2>(c);
    Piece<3>(c);
    return lowOut;
  }

  // The same frame in four pieces, one filter each, to be spread over other work so
  // that no piece waits long for the one before: Begin, then Piece<0> .. Piece<3>, after
  // which lowOut holds the frame's result.
  V2 in{}, passed{}, biquadOut{};
  VANTROSE_KERNEL void Begin(V2 x, V2 sat) { in = sat * kSatReturn + x; }

  // Woven over the eight band steps of a frame: when due, one piece every other step.
  const ChainControls* controls = nullptr;
  bool due = false;
  VANTROSE_KERNEL void Due(const ChainControls& c, bool isDue) {
    controls = &c;
    due = isDue;
  }
  template <int p>
  VANTROSE_KERNEL void At() {
    if (p % 2 == 0 && due) Piece<p / 2>(*controls);
  }
  // The same weave where the pieces are known to be due (controls set).
  struct Steady {
    HostStages& host;
    template <int p>
    VANTROSE_KERNEL void At() {
      if (p % 2 == 0) host.template Piece<p / 2>(*host.controls);
    }
  };
  template <int k>
  VANTROSE_KERNEL void Piece(const ChainControls& c) {
    if (k == 0) {
      if (c.hplp == 0) {
        preOut = in;
      } else if (c.hplp == 1) {
        passed = highPass.Third(in);
      }
    } else if (k == 1) {
      if (c.hplp == 1) preOut = lowPass.Second(passed);
    } else if (k == 2) {
      if (c.bell == 1) {
        biquadOut = bell.Process(preOut);
      } else if (c.bell == 0) {
        biquadOut = shelf.Process(preOut);
      }
    } else {
      if (c.bell == 1) {
        lowOut = lowBell.Third(biquadOut);
      } else if (c.bell == 0) {
        lowOut = lowShelf.Second(biquadOut);
      }
    }
  }
};

// The smoothed output gain on the decimated frames, or the input where bypassed.
struct OutputGain {
  double z, a0, b1;

  VANTROSE_KERNEL void Load(const VantroseChain& ch) {
    z = ch.mGainSmoother.z;
    a0 = ch.mGainSmoother.a0;
    b1 = ch.mGainSmoother.b1;
  }
  VANTROSE_KERNEL void Store(VantroseChain& ch) const { ch.mGainSmoother.z = z; }

  // Frame i's output: the decimation of the values that end lag before the newest.
  VANTROSE_KERNEL void Emit(const ChainControls& c, const OversamplerLanes& over, int lag, V2 x,
                            double** outputs, int i) {
    if (c.by == 1) {
      const V2 dec = over.Decimate(lag);
      const double gL = z * b1 + c.gain * a0;
      const double gR = gL * b1 + c.gain * a0;
      z = gR;
      outputs[0][i] = gL * dec[0];
      outputs[1][i] = gR * dec[1];
    } else {
      // Bypass (any value but 1): the input passes, the stages above have run.
      outputs[0][i] = x[0];
      outputs[1][i] = x[1];
    }
  }
};

// The three bands at eight times the rate in two-lane registers, one band after the
// other on each value, a frame's output as soon as its eight steps are done.
struct BandPairs {
  FilterLanes high, lowMid, highMid;
  OversamplerLanes over;
  OutputGain gain;

  VANTROSE_KERNEL void Load(const VantroseChain& ch, OversamplerLanes::Buffer& buffer) {
    high.Load(ch.mHigh[0], ch.mHigh[1]);
    lowMid.Load(ch.mLowMid[0], ch.mLowMid[1]);
    highMid.Load(ch.mHighMid[0], ch.mHighMid[1]);
    over.Load(ch.mOversampler, buffer);
    gain.Load(ch);
  }
  VANTROSE_KERNEL void Store(VantroseChain& ch) const {
    high.Store(ch.mHigh[0], ch.mHigh[1]);
    lowMid.Store(ch.mLowMid[0], ch.mLowMid[1]);
    highMid.Store(ch.mHighMid[0], ch.mHighMid[1]);
    over.Store(ch.mOversampler);
    gain.Store(ch);
  }

  template <int p, class... Weave>
  VANTROSE_KERNEL void Step(V2* h, Weave&... weave) {
    h[p % 4] = highMid.Third(lowMid.Third(high.Third(h[p % 4])));
    (weave.template At<p>(), ...);
  }

  // Frame i, whose low band gave low and whose input is x: its eight steps, then its
  // output.  Each weave's At<p>() runs after the p-th of the eight steps.
  template <class... Weave>
  VANTROSE_KERNEL void Frame(const ChainControls& c, V2 low, V2 x, double** outputs, int i,
                             Weave&... weave) {
    over.MakeRoom();
    V2* h = over.Up4(low);
    Step<0>(h, weave...);
    Step<1>(h, weave...);
    Step<2>(h, weave...);
    Step<3>(h, weave...);
    h = over.Up4(low);
    Step<4>(h, weave...);
    Step<5>(h, weave...);
    Step<6>(h, weave...);
    Step<7>(h, weave...);
    gain.Emit(c, over, 0, x, outputs, i);
  }
  // A frame other than a block's first: the same.
  template <class... Weave>
  VANTROSE_KERNEL void Later(const ChainControls& c, V2 low, V2 x, double** outputs, int i,
                             Weave&... weave) {
    Frame(c, low, x, outputs, i, weave...);
  }
  // Nothing is left in flight after a block's last frame.
  VANTROSE_KERNEL void Finish(const ChainControls&, double**, int) {}
};

}  // namespace
