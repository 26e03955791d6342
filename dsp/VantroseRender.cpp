// The per-sample signal chain, fast path.  It performs exactly the operations of the
// plain chain (VantroseReference.cpp) in the same order for each channel, so its output
// is bit-identical; what differs is around them: the two channels run in the two lanes
// of a vector, every state lives in locals for the whole block, the saturation stage
// is unrolled for its factor, the band oversampler writes into a linear buffer instead
// of shifting its history, and the biquad settings, which give the same coefficients
// every sample, are applied once per block.
#include <cfloat>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "FilterPair.h"
#include "ShaperTables.h"
#include "VantroseChain.h"
#include "shape.h"

namespace {

typedef long long Mask2 __attribute__((vector_size(16)));

constexpr double kSatDrive = 17.78279410038923;
constexpr double kSatReturn = 3.1622776601683795e-05;

inline Lanes2 Splat(double v) {
  return Lanes2{v, v};
}

// flush() on both lanes: keeps 2^-54 <= |v| <= DBL_MAX, else +0.0.
inline Lanes2 FlushLanes(Lanes2 v) {
  const Lanes2 a = (Lanes2)((Mask2)v & Mask2{0x7FFFFFFFFFFFFFFFLL, 0x7FFFFFFFFFFFFFFFLL});
  const Mask2 keep = (a >= Splat(0x1p-54)) & (a <= Splat(DBL_MAX));
  return (Lanes2)((Mask2)v & keep);
}

// shape() on both lanes.  The negative table is the exact negation of the positive one,
// so its interpolation is the exact negation too: the positive table and the sign of v
// give the same bits.  a < 199 interpolates, up to the 32-bit limit clamps, beyond
// (where the index conversion yields the most negative integer) gives zero.
#if defined(__SSE2__)
// One index conversion, one two-entry load per lane, the interpolation in vector form,
// then the clamp and zero cases by mask.
inline Lanes2 ShapeLanes(Lanes2 v) {
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
  return (Lanes2)_mm_or_pd(magnitude, _mm_and_pd(sign, vv));
}
#else
inline double ShapeLane(double v) {
  const double a = std::fabs(v) * kShaperTableScale;
  double r;
  if (a < 199.0) {
    const int k = static_cast<int>(a);
    const double f = a - k;
    r = (1.0 - f) * static_cast<double>(vuz553u_table.entry[k]) +
        f * static_cast<double>(vuz553u_table.entry[k + 1]);
  } else {
    r = a < 2147483648.0 ? kShaperClamp : 0.0;
  }
  return std::copysign(r, v);
}

inline Lanes2 ShapeLanes(Lanes2 v) {
  return Lanes2{ShapeLane(v[0]), ShapeLane(v[1])};
}
#endif

#define VANTROSE_INLINE inline __attribute__((always_inline))

// Accumulates c2·h[1] .. c10·h[9] onto s (which holds the sum up to the c1 term) in
// index order, flushes, and pushes the result into the history h (newest first).
VANTROSE_INLINE Lanes2 SatRecur(const Lanes2* c, Lanes2* h, Lanes2 s) {
#pragma GCC unroll 10
  for (int k = 2; k <= 10; ++k)
    s += c[k] * h[k - 1];
  const Lanes2 y = FlushLanes(s);
#pragma GCC unroll 10
  for (int k = 10; k >= 1; --k)
    h[k] = h[k - 1];
  h[0] = y;
  return y;
}

// The saturation stage of both channels over a run of samples: two tenth-order
// recursions around the shaper, N sub-steps per sample, histories in locals for the
// whole run.  With a zero-stuffed input the c0 term is a zero that cannot change the
// flushed sum, so the later sub-steps start from c1·h[0].
template <int N>
void SaturateRun(VantroseChain& ch, const double* inL, const double* inR, int n, Lanes2* satOut) {
  Lanes2 c[11], up[11], down[11];
  for (int k = 0; k < 11; ++k) {
    c[k] = Lanes2{ch.mSatCoeffs[0].c[k], ch.mSatCoeffs[1].c[k]};
    up[k] = Lanes2{ch.SatHistory(0, 0)[k], ch.SatHistory(1, 0)[k]};
    down[k] = Lanes2{ch.SatHistory(0, 1)[k], ch.SatHistory(1, 1)[k]};
  }
  for (int i = 0; i < n; ++i) {
    const Lanes2 in = Lanes2{inL[i], inR[i]} * kSatDrive;
    Lanes2 y = SatRecur(c, up, c[0] * in + c[1] * up[0]);
    satOut[i] = SatRecur(c, down, c[0] * ShapeLanes(Splat(N) * y) + c[1] * down[0]);
#pragma GCC unroll 16
    for (int j = 1; j < N; ++j) {
      y = SatRecur(c, up, c[1] * up[0]);
      SatRecur(c, down, c[0] * ShapeLanes(Splat(N) * y) + c[1] * down[0]);
    }
  }
  for (int k = 0; k < 11; ++k) {
    for (int lane = 0; lane < 2; ++lane) {
      ch.SatHistory(lane, 0)[k] = up[k][lane];
      ch.SatHistory(lane, 1)[k] = down[k][lane];
    }
  }
  if (n > 0) {
    ch.mSatIn[0] = inL[n - 1] * kSatDrive;
    ch.mSatIn[1] = inR[n - 1] * kSatDrive;
    ch.mSatOut[0] = satOut[n - 1][0];
    ch.mSatOut[1] = satOut[n - 1][1];
  }
}

// The band oversamplers of both channels over a linear buffer: each round appends its
// four values, the decimating sum reads the last 31, and only a block's last 31 values
// return to the objects' histories.
struct OversamplerLanes {
  static constexpr int kChunkFrames = 64;
  Lanes2 buf[31 + 8 * kChunkFrames];
  int end = 31;  // one past the newest value
  Lanes2 x0, x1, x2, x3, x4, x5, x6, x7;

  void Load(const StOversampler4x (&o)[2]) {
    for (int k = 0; k < 31; ++k)
      buf[k] = Lanes2{o[0].h[k], o[1].h[k]};
    end = 31;
    x0 = Lanes2{o[0].x0, o[1].x0};
    x1 = Lanes2{o[0].x1, o[1].x1};
    x2 = Lanes2{o[0].x2, o[1].x2};
    x3 = Lanes2{o[0].x3, o[1].x3};
    x4 = Lanes2{o[0].x4, o[1].x4};
    x5 = Lanes2{o[0].x5, o[1].x5};
    x6 = Lanes2{o[0].x6, o[1].x6};
    x7 = Lanes2{o[0].x7, o[1].x7};
  }
  void Store(StOversampler4x (&o)[2]) const {
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
  void MakeRoom() {
    if (end + 8 <= static_cast<int>(sizeof buf / sizeof buf[0])) return;
    for (int k = 0; k < 31; ++k)
      buf[k] = buf[end - 31 + k];
    end = 31;
  }

  // up4 on both lanes: appends the four interpolated values, returns where they start.
  Lanes2* Up4(Lanes2 v) {
    Lanes2* h = buf + end;
    Interpolate4x(*this, v, h);
    end += 4;
    return h;
  }

  // decimate on both lanes over the newest 31 values.
  Lanes2 Decimate() const {
    using O = StOversampler4x;
    const Lanes2* h = buf + end - 31;
    Lanes2 s = (h[29] + h[1]) * O::k14;
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
  explicit SharedBiquad(const Biquad& q)
      : a0(q.a0), a1(q.a1), a2(q.a2), b1(q.b1), b2(q.b2), z1(q.z1), z2(q.z2) {}
  void Store(Biquad& q) const {
    q.z1 = z1;
    q.z2 = z2;
  }
  float Process(float in) {
    const double x = in;
    const double out = x * a0 + z1;
    z1 = (x * a1 + z2) - b1 * out;
    z2 = x * a2 - b2 * out;
    return static_cast<float>(out);
  }
  Lanes2 Process(Lanes2 v) {
    const float l = Process(static_cast<float>(v[0]));
    const float r = Process(static_cast<float>(v[1]));
    return Lanes2{l, r};
  }
};

// The stages after the saturation over a run of samples: pass filters, biquad and low
// band at the host rate, the three bands at eight times the rate, decimation and output
// gain.  Every filter of both channels is held in locals for the run.
void FilterRun(VantroseChain& ch, const ChainControls& c, const double* inL, const double* inR,
               const Lanes2* satOut, double* outL, double* outR, int n, OversamplerLanes& over) {
  ThirdOrderPair highPass, lowBell, high, lowMid, highMid;
  SecondOrderPair lowPass, lowShelf;
  highPass.Load(ch.mHighPass[0], ch.mHighPass[1]);
  lowPass.Load(ch.mLowPass[0], ch.mLowPass[1]);
  lowShelf.Load(ch.mLowShelf[0], ch.mLowShelf[1]);
  lowBell.Load(ch.mLowBell[0], ch.mLowBell[1]);
  high.Load(ch.mHigh[0], ch.mHigh[1]);
  lowMid.Load(ch.mLowMid[0], ch.mLowMid[1]);
  highMid.Load(ch.mHighMid[0], ch.mHighMid[1]);
  SharedBiquad shelf(ch.mShelfBiquad), bell(ch.mBellBiquad);
  Lanes2 preOut = {ch.mPreOut[0], ch.mPreOut[1]};
  Lanes2 lowOut = {ch.mLowOut[0], ch.mLowOut[1]};
  double gainZ = ch.mGainSmoother.z;
  const double gainA0 = ch.mGainSmoother.a0, gainB1 = ch.mGainSmoother.b1;

  for (int i = 0; i < n; ++i) {
    const Lanes2 x = {inL[i], inR[i]};
    if (c.hplp == 0) {
      preOut = satOut[i] * kSatReturn + x;
    } else if (c.hplp == 1) {
      preOut = lowPass.Step(highPass.Step(satOut[i] * kSatReturn + x));
    }
    if (c.bell == 1) {
      lowOut = lowBell.Step(bell.Process(preOut));
    } else if (c.bell == 0) {
      lowOut = lowShelf.Step(shelf.Process(preOut));
    }
    over.MakeRoom();
#pragma GCC unroll 2
    for (int round = 0; round < 2; ++round) {
      Lanes2* h = over.Up4(lowOut);
#pragma GCC unroll 4
      for (int p = 0; p < 4; ++p)
        h[p] = highMid.Step(lowMid.Step(high.Step(h[p])));
    }
    if (c.by == 1) {
      const Lanes2 dec = over.Decimate();
      const double gL = gainZ * gainB1 + c.gain * gainA0;
      const double gR = gL * gainB1 + c.gain * gainA0;
      gainZ = gR;
      outL[i] = gL * dec[0];
      outR[i] = gR * dec[1];
    } else {
      // Bypass (any value but 1): the input passes, the stages above have run.
      outL[i] = x[0];
      outR[i] = x[1];
    }
  }

  highPass.Store(ch.mHighPass[0], ch.mHighPass[1]);
  lowPass.Store(ch.mLowPass[0], ch.mLowPass[1]);
  lowShelf.Store(ch.mLowShelf[0], ch.mLowShelf[1]);
  lowBell.Store(ch.mLowBell[0], ch.mLowBell[1]);
  high.Store(ch.mHigh[0], ch.mHigh[1]);
  lowMid.Store(ch.mLowMid[0], ch.mLowMid[1]);
  highMid.Store(ch.mHighMid[0], ch.mHighMid[1]);
  shelf.Store(ch.mShelfBiquad);
  bell.Store(ch.mBellBiquad);
  for (int lane = 0; lane < 2; ++lane) {
    ch.mPreOut[lane] = preOut[lane];
    ch.mLowOut[lane] = lowOut[lane];
  }
  ch.mGainSmoother.z = gainZ;
}

}  // namespace

// Audio thread: no allocation, no locks, no I/O.  Works through the block in runs of
// a few dozen samples: first the saturation stage for the run, then the rest.
void VantroseChain::Render(const ChainControls& c, double** inputs, double** outputs, int nFrames) {
  if (c.satFactor != 4 && c.satFactor != 16) {
    RenderReference(c, inputs, outputs, nFrames);
    return;
  }
  if (nFrames <= 0) return;
  // The per-sample biquad settings yield the same coefficients every time.
  const double fc = ((c.fs * 0.5) / c.fs) * 0.5;
  mShelfBiquad.setBiquad(4, fc, 0.4, 0.0);
  mBellBiquad.setBiquad(4, fc, 0.4, 0.0);
  OversamplerLanes over;
  over.Load(mOversampler);
  constexpr int kRun = OversamplerLanes::kChunkFrames;
  Lanes2 satOut[kRun];
  for (int pos = 0; pos < nFrames; pos += kRun) {
    const int n = nFrames - pos < kRun ? nFrames - pos : kRun;
    const double* inL = inputs[0] + pos;
    const double* inR = inputs[1] + pos;
    if (c.satFactor == 16) {
      SaturateRun<16>(*this, inL, inR, n, satOut);
    } else {
      SaturateRun<4>(*this, inL, inR, n, satOut);
    }
    FilterRun(*this, c, inL, inR, satOut, outputs[0] + pos, outputs[1] + pos, n, over);
  }
  over.Store(mOversampler);
}
