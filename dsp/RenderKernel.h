// The fast render, written once and compiled once per instruction set: each including
// file defines VANTROSE_KERNEL_TARGET (a target attribute, or nothing for the
// baseline) and then defines its entry point with RenderKernelBlock.  Everything here
// has internal linkage, so no code built for a wider set can stand in for baseline code.
// Target attributes never name fma: with -ffp-contract=off every multiply and add
// stays a separate, rounded operation, exactly as in the plain chain.
//
// What differs from the plain chain is only around its operations:
//  - the saturation stage runs both channels' up- and down-filters in one four-lane
//    register, the down-filter one frame behind, so the shaper sits off the recursion;
//  - the next run's saturation is woven into this run's band stage, so the two
//    independent recursions overlap;
//  - the other stages run both channels in the two lanes of a vector, state in locals.
#pragma once

#include <emmintrin.h>

#include <cfloat>

#include "RenderPaths.h"
#include "ShaperTables.h"
#include "VantroseChain.h"
#include "shape.h"

#ifndef VANTROSE_KERNEL_TARGET
#error "define VANTROSE_KERNEL_TARGET before including RenderKernel.h"
#endif

#define VANTROSE_KERNEL inline __attribute__((always_inline)) VANTROSE_KERNEL_TARGET

namespace {

typedef double V2 __attribute__((vector_size(16)));
typedef double V4 __attribute__((vector_size(32)));

constexpr double kSatDrive = 17.78279410038923;
constexpr double kSatReturn = 3.1622776601683795e-05;
constexpr long long kAbsBits = 0x7FFFFFFFFFFFFFFFLL;

VANTROSE_KERNEL V2 Splat2(double v) {
  return V2{v, v};
}

VANTROSE_KERNEL V4 Splat4(double v) {
  return V4{v, v, v, v};
}

#ifndef VANTROSE_KERNEL_PAIRS
#include <immintrin.h>

// flush() on four lanes by compare and mask: keeps 2^-54 <= |v| <= DBL_MAX, else +0.0
// (a NaN fails both comparisons).  Floating-point logic throughout, so the value does
// not cross to the integer units and back on the recursion.
VANTROSE_KERNEL V4 Flush4(V4 v) {
  const __m256d vv = (__m256d)v;
  const __m256d a = _mm256_and_pd(vv, _mm256_castsi256_pd(_mm256_set1_epi64x(kAbsBits)));
  const __m256d keep = _mm256_and_pd(_mm256_cmp_pd(a, _mm256_set1_pd(0x1p-54), _CMP_GE_OQ),
                                     _mm256_cmp_pd(a, _mm256_set1_pd(DBL_MAX), _CMP_LE_OQ));
  return (V4)_mm256_and_pd(vv, keep);
}
#endif

// shape() on two lanes.  The negative table is the exact negation of the positive one,
// so the positive table and the sign of v give the same bits.  a < 199 interpolates, up
// to the 32-bit limit clamps, beyond (where the index conversion yields the most
// negative integer) gives zero.
VANTROSE_KERNEL V2 Shape2(V2 v) {
  const __m128d vv = (__m128d)v;
  const __m128d sign = _mm_castsi128_pd(_mm_set1_epi64x(static_cast<long long>(1ULL << 63)));
  const __m128d a = _mm_mul_pd(_mm_andnot_pd(sign, vv), _mm_set1_pd(kShaperTableScale));
  // The index as a trunc of min(a, 198): equal to a's own index wherever it is used.
  const __m128i k = _mm_cvttpd_epi32(_mm_min_pd(a, _mm_set1_pd(198.0)));
  const __m128d f = _mm_sub_pd(a, _mm_cvtepi32_pd(k));
  const float* e = vuz553u_table.entry;
  const __m128i pairL = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(e + _mm_cvtsi128_si32(k)));
  const __m128i pairR = _mm_loadl_epi64(
      reinterpret_cast<const __m128i*>(e + _mm_cvtsi128_si32(_mm_shuffle_epi32(k, 1))));
  const __m128d entriesL = _mm_cvtps_pd(_mm_castsi128_ps(pairL));  // e[kL], e[kL + 1]
  const __m128d entriesR = _mm_cvtps_pd(_mm_castsi128_ps(pairR));
  const __m128d e0 = _mm_unpacklo_pd(entriesL, entriesR);
  const __m128d e1 = _mm_unpackhi_pd(entriesL, entriesR);
  const __m128d r = _mm_add_pd(_mm_mul_pd(_mm_sub_pd(_mm_set1_pd(1.0), f), e0), _mm_mul_pd(f, e1));
  const __m128d inTable = _mm_cmplt_pd(a, _mm_set1_pd(199.0));
  const __m128d inRange = _mm_cmplt_pd(a, _mm_set1_pd(2147483648.0));
  const __m128d clamp = _mm_and_pd(_mm_andnot_pd(inTable, inRange), _mm_set1_pd(kShaperClamp));
  const __m128d magnitude = _mm_or_pd(_mm_and_pd(inTable, r), clamp);
  return (V2)_mm_or_pd(magnitude, _mm_and_pd(sign, vv));
}

VANTROSE_KERNEL V2 Low(V4 v) {
  return V2{v[0], v[1]};
}

VANTROSE_KERNEL V2 High(V4 v) {
  return V2{v[2], v[3]};
}

#ifndef VANTROSE_KERNEL_PAIRS
// The saturation stage of both channels.  Lanes 0 and 1 hold the left and right
// up-filters, lanes 2 and 3 the down-filters one frame behind: a step advances the
// up-filters by sub-step j of frame f and the down-filters by sub-step j of frame f − 1,
// whose shaped input was made a whole frame earlier.  Each lane performs the plain
// chain's sum c0·u + c1·h[0] + ... + c10·h[9] in that order, then the flush.
template <int N>
struct SatLanes {
  V4 c[11];
  V4 h[11];      // newest first
  V2 shaped[N];  // shape(N·y) of the previous frame's up-filter outputs, by sub-step

  VANTROSE_KERNEL void Load(const VantroseChain& ch) {
    const double* upL = ch.mSatHistory;
    const double* downL = ch.mSatHistory + 11;
    const double* upR = ch.mSatHistory + 22;
    const double* downR = ch.mSatHistory + 33;
    for (int k = 0; k < 11; ++k) {
      const double cl = ch.mSatCoeffs[0].c[k], cr = ch.mSatCoeffs[1].c[k];
      c[k] = V4{cl, cr, cl, cr};
      h[k] = V4{upL[k], upR[k], downL[k], downR[k]};
    }
    for (int j = 0; j < N; ++j)
      shaped[j] = V2{0.0, 0.0};
  }
  VANTROSE_KERNEL void Store(VantroseChain& ch) const {
    for (int k = 0; k < 11; ++k) {
      ch.mSatHistory[k] = h[k][0];
      ch.mSatHistory[11 + k] = h[k][2];
      ch.mSatHistory[22 + k] = h[k][1];
      ch.mSatHistory[33 + k] = h[k][3];
    }
  }

  VANTROSE_KERNEL V4 Step(V4 u) {
    V4 s = c[0] * u;
#pragma GCC unroll 10
    for (int k = 1; k <= 10; ++k)
      s += c[k] * h[k - 1];
    const V4 y = Flush4(s);
#pragma GCC unroll 10
    for (int k = 10; k >= 1; --k)
      h[k] = h[k - 1];
    h[0] = y;
    return y;
  }

  // Set by each frame before use; zeroed so that no build sees an indeterminate read.
  V2 upIn{}, firstDown{};

  // Sub-step j of a frame: the up-filters take the frame's input (times the drive) at
  // j = 0 and zero after it; the down-filters' first output is the saturation output of
  // the previous frame.
  VANTROSE_KERNEL void SubStep(int j) {
    const V2 up = j == 0 ? upIn : V2{0.0, 0.0};
    const V4 y = Step(V4{up[0], up[1], shaped[j][0], shaped[j][1]});
    shaped[j] = Shape2(Splat2(N) * Low(y));
    if (j == 0) firstDown = High(y);
  }

  // One whole frame; returns the saturation output of the previous frame.
  VANTROSE_KERNEL V2 Frame(V2 in) {
    upIn = in;
#pragma GCC unroll 16
    for (int j = 0; j < N; ++j)
      SubStep(j);
    return firstDown;
  }

  // The first frame of a block: the down-filters have no previous frame yet, so their
  // lanes are put back as they were.
  VANTROSE_KERNEL void FirstFrame(V2 in) {
    V4 saved[11];
    for (int k = 0; k < 11; ++k)
      saved[k] = h[k];
    Frame(in);
    for (int k = 0; k < 11; ++k)
      h[k] = V4{h[k][0], h[k][1], saved[k][2], saved[k][3]};
  }

  // After the last frame: the down-filters catch up, the up-filters are put back.
  VANTROSE_KERNEL V2 LastFrame() {
    V4 saved[11];
    for (int k = 0; k < 11; ++k)
      saved[k] = h[k];
    const V2 out = Frame(V2{0.0, 0.0});
    for (int k = 0; k < 11; ++k)
      h[k] = V4{saved[k][0], saved[k][1], h[k][2], h[k][3]};
    return out;
  }
};
#endif

// flush() on two lanes by compare and mask, in floating-point logic.
VANTROSE_KERNEL V2 Flush2(V2 v) {
  const __m128d vv = (__m128d)v;
  const __m128d a = _mm_and_pd(vv, _mm_castsi128_pd(_mm_set1_epi64x(kAbsBits)));
  const __m128d keep =
      _mm_and_pd(_mm_cmpge_pd(a, _mm_set1_pd(0x1p-54)), _mm_cmple_pd(a, _mm_set1_pd(DBL_MAX)));
  return (V2)_mm_and_pd(vv, keep);
}

// The same stage and the same skew as SatLanes in pairs of two-lane registers, for
// instruction sets with two doubles to a register: the up- and down-filters share one
// set of coefficient registers and step as two independent recursions.
template <int N>
struct SatPairs {
  V2 c[11];
  V2 up[11], down[11];  // newest first
  V2 shaped[N];
  // Set by each frame before use; zeroed so that no build sees an indeterminate read.
  V2 upIn{}, firstDown{};

  VANTROSE_KERNEL void Load(const VantroseChain& ch) {
    const double* h = ch.mSatHistory;  // left up, left down, right up, right down
    for (int k = 0; k < 11; ++k) {
      c[k] = V2{ch.mSatCoeffs[0].c[k], ch.mSatCoeffs[1].c[k]};
      up[k] = V2{h[k], h[22 + k]};
      down[k] = V2{h[11 + k], h[33 + k]};
    }
    for (int j = 0; j < N; ++j)
      shaped[j] = V2{0.0, 0.0};
  }
  VANTROSE_KERNEL void Store(VantroseChain& ch) const {
    for (int k = 0; k < 11; ++k) {
      ch.mSatHistory[k] = up[k][0];
      ch.mSatHistory[11 + k] = down[k][0];
      ch.mSatHistory[22 + k] = up[k][1];
      ch.mSatHistory[33 + k] = down[k][1];
    }
  }

  VANTROSE_KERNEL V2 Step(V2* h, V2 u) {
    V2 s = c[0] * u;
#pragma GCC unroll 10
    for (int k = 1; k <= 10; ++k)
      s += c[k] * h[k - 1];
    const V2 y = Flush2(s);
#pragma GCC unroll 10
    for (int k = 10; k >= 1; --k)
      h[k] = h[k - 1];
    h[0] = y;
    return y;
  }

  VANTROSE_KERNEL void SubStep(int j) {
    const V2 y = Step(up, j == 0 ? upIn : V2{0.0, 0.0});
    const V2 z = Step(down, shaped[j]);
    shaped[j] = Shape2(Splat2(N) * y);
    if (j == 0) firstDown = z;
  }

  VANTROSE_KERNEL V2 Frame(V2 in) {
    upIn = in;
#pragma GCC unroll 16
    for (int j = 0; j < N; ++j)
      SubStep(j);
    return firstDown;
  }

  VANTROSE_KERNEL void FirstFrame(V2 in) {
    V2 saved[11];
    for (int k = 0; k < 11; ++k)
      saved[k] = down[k];
    Frame(in);
    for (int k = 0; k < 11; ++k)
      down[k] = saved[k];
  }

  VANTROSE_KERNEL V2 LastFrame() {
    V2 saved[11];
    for (int k = 0; k < 11; ++k)
      saved[k] = up[k];
    const V2 out = Frame(V2{0.0, 0.0});
    for (int k = 0; k < 11; ++k)
      up[k] = saved[k];
    return out;
  }
};

// The saturation layout of this instruction set.
#ifdef VANTROSE_KERNEL_PAIRS
template <int N>
using Saturation = SatPairs<N>;
#else
template <int N>
using Saturation = SatLanes<N>;
#endif

// A direct-form filter of one class for both channels, one channel per lane, with the
// operations of Recurrence.h in the same order.
struct FilterLanes {
  V2 input, output, x1, x2, x3, y1, y2, y3, a0, a1, a2, a3, b0, b1, b2, b3;

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
  VANTROSE_KERNEL V2 Third(V2 x) {
    input = x;
    const V2 y =
        ((((((b0 * x + b1 * x1) + b2 * x2) + b3 * x3) - a1 * y1) - a2 * y2) - a3 * y3) / a0;
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
  VANTROSE_KERNEL V2 Second(V2 x) {
    input = x;
    const V2 y = ((((b0 * x + b1 * x1) + b2 * x2) - a1 * y1) - a2 * y2) / a0;
    output = y;
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
    return y;
  }
};

// The band oversamplers of both channels over a linear buffer: each round appends its
// four values, the decimating sum reads the last 31, and only a block's last 31 values
// return to the objects' histories.
struct OversamplerLanes {
  static constexpr int kRoomFrames = 64;
  V2 buf[31 + 8 * kRoomFrames];
  int end = 31;  // one past the newest value
  V2 x0, x1, x2, x3, x4, x5, x6, x7;

  VANTROSE_KERNEL void Load(const StOversampler4x (&o)[2]) {
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
  // Moves the newest 31 values to the front once the buffer cannot take another frame.
  VANTROSE_KERNEL void MakeRoom() {
    if (end + 8 <= static_cast<int>(sizeof buf / sizeof buf[0])) return;
    for (int k = 0; k < 31; ++k)
      buf[k] = buf[end - 31 + k];
    end = 31;
  }

  // up4 on both lanes: appends the four interpolated values, returns where they start.
  VANTROSE_KERNEL V2* Up4(V2 v) {
    V2* h = buf + end;
    Interpolate4x(*this, v, h);
    end += 4;
    return h;
  }

  // decimate on both lanes over the newest 31 values.
  VANTROSE_KERNEL V2 Decimate() const {
    using O = StOversampler4x;
    const V2* h = buf + end - 31;
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

// Every stage after the saturation, for both channels, state in locals for a block.
struct BandStages {
  FilterLanes highPass, lowPass, lowShelf, lowBell, high, lowMid, highMid;
  SharedBiquad shelf, bell;
  OversamplerLanes over;
  V2 preOut, lowOut;
  double gainZ, gainA0, gainB1;

  VANTROSE_KERNEL void Load(const VantroseChain& ch) {
    highPass.Load(ch.mHighPass[0], ch.mHighPass[1]);
    lowPass.Load(ch.mLowPass[0], ch.mLowPass[1]);
    lowShelf.Load(ch.mLowShelf[0], ch.mLowShelf[1]);
    lowBell.Load(ch.mLowBell[0], ch.mLowBell[1]);
    high.Load(ch.mHigh[0], ch.mHigh[1]);
    lowMid.Load(ch.mLowMid[0], ch.mLowMid[1]);
    highMid.Load(ch.mHighMid[0], ch.mHighMid[1]);
    shelf.Load(ch.mShelfBiquad);
    bell.Load(ch.mBellBiquad);
    over.Load(ch.mOversampler);
    preOut = V2{ch.mPreOut[0], ch.mPreOut[1]};
    lowOut = V2{ch.mLowOut[0], ch.mLowOut[1]};
    gainZ = ch.mGainSmoother.z;
    gainA0 = ch.mGainSmoother.a0;
    gainB1 = ch.mGainSmoother.b1;
  }
  VANTROSE_KERNEL void Store(VantroseChain& ch) const {
    highPass.Store(ch.mHighPass[0], ch.mHighPass[1]);
    lowPass.Store(ch.mLowPass[0], ch.mLowPass[1]);
    lowShelf.Store(ch.mLowShelf[0], ch.mLowShelf[1]);
    lowBell.Store(ch.mLowBell[0], ch.mLowBell[1]);
    high.Store(ch.mHigh[0], ch.mHigh[1]);
    lowMid.Store(ch.mLowMid[0], ch.mLowMid[1]);
    highMid.Store(ch.mHighMid[0], ch.mHighMid[1]);
    shelf.Store(ch.mShelfBiquad);
    bell.Store(ch.mBellBiquad);
    over.Store(ch.mOversampler);
    for (int lane = 0; lane < 2; ++lane) {
      ch.mPreOut[lane] = preOut[lane];
      ch.mLowOut[lane] = lowOut[lane];
    }
    ch.mGainSmoother.z = gainZ;
  }

  // Pass filters, biquad and low band at the host rate for one frame; returns the low
  // band's output (kept from the last frame when no low band is selected).
  VANTROSE_KERNEL V2 HostRate(const ChainControls& c, V2 x, V2 sat) {
    if (c.hplp == 0) {
      preOut = sat * kSatReturn + x;
    } else if (c.hplp == 1) {
      preOut = lowPass.Second(highPass.Third(sat * kSatReturn + x));
    }
    if (c.bell == 1) {
      lowOut = lowBell.Third(bell.Process(preOut));
    } else if (c.bell == 0) {
      lowOut = lowShelf.Second(shelf.Process(preOut));
    }
    return lowOut;
  }

  // The three bands at eight times the rate, decimation and output gain for one frame
  // whose low band gave low.  weave.At<p>() runs after the p-th of the eight steps.
  template <class Weave>
  VANTROSE_KERNEL void Oversampled(const ChainControls& c, V2 low, V2 x, double* outL, double* outR,
                                   Weave& weave) {
    over.MakeRoom();
    V2* h = over.Up4(low);
    h[0] = highMid.Third(lowMid.Third(high.Third(h[0])));
    weave.template At<0>();
    h[1] = highMid.Third(lowMid.Third(high.Third(h[1])));
    weave.template At<1>();
    h[2] = highMid.Third(lowMid.Third(high.Third(h[2])));
    weave.template At<2>();
    h[3] = highMid.Third(lowMid.Third(high.Third(h[3])));
    weave.template At<3>();
    h = over.Up4(low);
    h[0] = highMid.Third(lowMid.Third(high.Third(h[0])));
    weave.template At<4>();
    h[1] = highMid.Third(lowMid.Third(high.Third(h[1])));
    weave.template At<5>();
    h[2] = highMid.Third(lowMid.Third(high.Third(h[2])));
    weave.template At<6>();
    h[3] = highMid.Third(lowMid.Third(high.Third(h[3])));
    weave.template At<7>();
    if (c.by == 1) {
      const V2 dec = over.Decimate();
      const double gL = gainZ * gainB1 + c.gain * gainA0;
      const double gR = gL * gainB1 + c.gain * gainA0;
      gainZ = gR;
      *outL = gL * dec[0];
      *outR = gR * dec[1];
    } else {
      // Bypass (any value but 1): the input passes, the stages above have run.
      *outL = x[0];
      *outR = x[1];
    }
  }
};

// Nothing woven into the band steps.
struct NoWeave {
  template <int p>
  VANTROSE_KERNEL void At() {}
};

// Feeds the saturation stage frame by frame: call m advances the up-filters by frame m
// and the down-filters by frame m − 1 (m = 0 .. nFrames), so frame i's saturation
// output comes from call i + 1 and lands in a small ring.  A regular frame can also be
// spread over the eight band steps of a frame (Weave, then At<0> .. At<7>, Finish).
template <int N>
struct SatFeed {
  static constexpr int kRing = 8;
  Saturation<N> sat;
  const double* inL;
  const double* inR;
  int nFrames;
  int m = 0;
  bool weaving = false;
  V2 out[kRing];

  VANTROSE_KERNEL void Next() {
    if (m == 0) {
      sat.FirstFrame(V2{inL[0], inR[0]} * kSatDrive);
    } else if (m < nFrames) {
      out[(m - 1) % kRing] = sat.Frame(V2{inL[m], inR[m]} * kSatDrive);
    } else {
      out[(m - 1) % kRing] = sat.LastFrame();
    }
    ++m;
  }
  // Runs the feed through call last.
  VANTROSE_KERNEL void Until(int last) {
    while (m <= last)
      Next();
  }

  // Starts a woven frame when call m is due by call last and is a regular frame;
  // otherwise a due first or last frame runs whole after the band steps (Finish).
  VANTROSE_KERNEL void Weave(int last) {
    weaving = m > 0 && m < nFrames && m <= last;
    if (weaving) sat.upIn = V2{inL[m], inR[m]} * kSatDrive;
  }
  template <int p>
  VANTROSE_KERNEL void At() {
    if (!weaving) return;
#pragma GCC unroll 16
    for (int j = p * N / 8; j < (p + 1) * N / 8; ++j)
      sat.SubStep(j);
  }
  VANTROSE_KERNEL void Finish(int last) {
    if (weaving) {
      out[(m - 1) % kRing] = sat.firstDown;
      ++m;
    } else if (m <= last) {
      Next();
    }
  }
};

// The block, three recursions in flight: the saturation runs two frames ahead of the
// host-rate stages, spread over the band steps of the frame before, and the host-rate
// stages run a frame ahead of the bands.
template <int N>
VANTROSE_KERNEL_TARGET __attribute__((noinline)) void RenderKernelBlock(
    VantroseChain& ch, const ChainControls& c, double** inputs, double** outputs, int nFrames) {
  using Feed = SatFeed<N>;
  constexpr int kLead = 2;
  Feed feed;
  feed.inL = inputs[0];
  feed.inR = inputs[1];
  feed.nFrames = nFrames;
  feed.sat.Load(ch);
  BandStages bands;
  bands.Load(ch);
  feed.Until(nFrames < kLead ? nFrames : kLead);
  V2 low = bands.HostRate(c, V2{feed.inL[0], feed.inR[0]}, feed.out[0]);
  for (int i = 0; i < nFrames; ++i) {
    const V2 x = {feed.inL[i], feed.inR[i]};
    const V2 lowNow = low;
    if (i + 1 < nFrames) {
      const V2 x1 = {feed.inL[i + 1], feed.inR[i + 1]};
      low = bands.HostRate(c, x1, feed.out[(i + 1) % Feed::kRing]);
    }
    feed.Weave(nFrames);
    bands.Oversampled(c, lowNow, x, outputs[0] + i, outputs[1] + i, feed);
    feed.Finish(nFrames);
  }
  feed.Until(nFrames);
  feed.sat.Store(ch);
  bands.Store(ch);
  const V2 lastOut = feed.out[(nFrames - 1) % Feed::kRing];
  ch.mSatIn[0] = feed.inL[nFrames - 1] * kSatDrive;
  ch.mSatIn[1] = feed.inR[nFrames - 1] * kSatDrive;
  ch.mSatOut[0] = lastOut[0];
  ch.mSatOut[1] = lastOut[1];
}

// The saturation stage alone over a block, for stage timing: as the block render runs
// it, without the stages after it.
template <int N>
VANTROSE_KERNEL_TARGET __attribute__((noinline)) void SaturationBlock(VantroseChain& ch,
                                                                      double** inputs,
                                                                      int nFrames) {
  SatFeed<N> feed;
  feed.inL = inputs[0];
  feed.inR = inputs[1];
  feed.nFrames = nFrames;
  feed.sat.Load(ch);
  feed.Until(nFrames);
  feed.sat.Store(ch);
}

// The stages after the saturation alone over a block, for stage timing: as the block
// render runs them, on a silent saturation output.
VANTROSE_KERNEL_TARGET __attribute__((noinline)) void BandBlock(VantroseChain& ch,
                                                                const ChainControls& c,
                                                                double** inputs, double** outputs,
                                                                int nFrames) {
  BandStages bands;
  bands.Load(ch);
  NoWeave none;
  for (int i = 0; i < nFrames; ++i) {
    const V2 x = {inputs[0][i], inputs[1][i]};
    const V2 low = bands.HostRate(c, x, V2{0.0, 0.0});
    bands.Oversampled(c, low, x, outputs[0] + i, outputs[1] + i, none);
  }
  bands.Store(ch);
}

// The path's entry points (RenderPaths.h): both saturation factors; the caller has
// checked that the factor is 4 or 16 and that the block is not empty.
VANTROSE_KERNEL_TARGET void KernelRender(VantroseChain& ch, const ChainControls& c, double** inputs,
                                         double** outputs, int nFrames) {
  if (c.satFactor == 16) {
    RenderKernelBlock<16>(ch, c, inputs, outputs, nFrames);
  } else {
    RenderKernelBlock<4>(ch, c, inputs, outputs, nFrames);
  }
}

VANTROSE_KERNEL_TARGET void KernelSaturation(VantroseChain& ch, const ChainControls& c,
                                             double** inputs, int nFrames) {
  if (c.satFactor == 16) {
    SaturationBlock<16>(ch, inputs, nFrames);
  } else {
    SaturationBlock<4>(ch, inputs, nFrames);
  }
}

constexpr RenderPathKernels kKernels = {KernelRender, KernelSaturation, BandBlock};

}  // namespace
