// The steps the fast render is built from, shared by its register layouts: vector
// types, the flush and the shaper on lanes, one step of a saturation filter, and the
// frame schedule of the saturation stage.  Included through RenderKernel.h only, once
// per instruction set; everything here has internal linkage, so no code built for a
// wider set can stand in for baseline code.  Target attributes never name fma: with
// -ffp-contract=off every multiply and add stays a separate, rounded operation, exactly
// as in the plain chain.
#pragma once

#include <emmintrin.h>

#include <cfloat>
#ifndef VANTROSE_KERNEL_PAIRS
#include <immintrin.h>
#endif

#include "ShaperTables.h"
#include "shape.h"

#ifndef VANTROSE_KERNEL_TARGET
#error "define VANTROSE_KERNEL_TARGET before including the render kernel"
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

// flush() on two lanes by compare and mask: keeps 2^-54 <= |v| <= DBL_MAX, else +0.0
// (a NaN fails both comparisons).  Floating-point logic throughout, so the value does
// not cross to the integer units and back on the recursion.
VANTROSE_KERNEL V2 FlushLanes(V2 v) {
  const __m128d vv = (__m128d)v;
  const __m128d a = _mm_and_pd(vv, _mm_castsi128_pd(_mm_set1_epi64x(kAbsBits)));
  const __m128d keep =
      _mm_and_pd(_mm_cmpge_pd(a, _mm_set1_pd(0x1p-54)), _mm_cmple_pd(a, _mm_set1_pd(DBL_MAX)));
  return (V2)_mm_and_pd(vv, keep);
}

#ifndef VANTROSE_KERNEL_PAIRS
VANTROSE_KERNEL V2 Low(V4 v) {
  return V2{v[0], v[1]};
}

VANTROSE_KERNEL V2 High(V4 v) {
  return V2{v[2], v[3]};
}

// The same on four lanes.
VANTROSE_KERNEL V4 FlushLanes(V4 v) {
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

// One step of saturation filters, one per lane: the plain chain's sum
// c0·u + c1·h[0] + ... + c10·h[9] in that order, the flush, and the history (newest
// first) moved on by one.
template <class V>
VANTROSE_KERNEL V TenthOrderStep(const V* c, V (&h)[11], V u) {
  // The coefficients come from memory at every step, as operands of the multiplies:
  // held in registers they would push the histories out, and the newest output would
  // make a round trip through memory on the recursion.
  asm("" : "+r"(c));
  V s = c[0] * u;
#pragma GCC unroll 10
  for (int k = 1; k <= 10; ++k)
    s += c[k] * h[k - 1];
  const V y = FlushLanes(s);
#pragma GCC unroll 10
  for (int k = 10; k >= 1; --k)
    h[k] = h[k - 1];
  h[0] = y;
  return y;
}

// The frame schedule of the saturation stage, whatever its register layout.  The
// down-filters run one frame behind the up-filters: sub-step j of frame f advances the
// up-filters by sub-step j of f and the down-filters by sub-step j of f − 1, whose shaped
// input was made a whole frame earlier, so the shaper sits off either recursion.
// Layout provides StepBoth(up, down, &upOut, &downOut) and a Snapshot of its histories
// with Save, RestoreUp and RestoreDown.
template <class Layout, int N>
struct SatSchedule {
  V2 shaped[N];  // shape(N·y) of the previous frame's up-filter outputs, by sub-step
  // Set by each frame before use; zeroed so that no build sees an indeterminate read.
  V2 upIn{}, firstDown{};

  VANTROSE_KERNEL Layout& Self() { return static_cast<Layout&>(*this); }
  VANTROSE_KERNEL void ClearShaped() {
    for (int j = 0; j < N; ++j)
      shaped[j] = V2{0.0, 0.0};
  }

  // Sub-step j of a frame: the up-filters take the frame's input (times the drive) at
  // j = 0 and zero after it; the down-filters' first output is the saturation output of
  // the previous frame.
  VANTROSE_KERNEL void SubStep(int j) {
    V2 y, z;
    Self().StepBoth(j == 0 ? upIn : V2{0.0, 0.0}, shaped[j], y, z);
    shaped[j] = Shape2(Splat2(N) * y);
    if (j == 0) firstDown = z;
  }

  // One whole frame; returns the saturation output of the previous frame.
  VANTROSE_KERNEL V2 Frame(V2 in) {
    upIn = in;
#pragma GCC unroll 16
    for (int j = 0; j < N; ++j)
      SubStep(j);
    return firstDown;
  }

  // The first frame of a block: the down-filters have no previous frame yet, so they
  // are put back as they were.
  VANTROSE_KERNEL void FirstFrame(V2 in) {
    const typename Layout::Snapshot saved = Self().Save();
    Frame(in);
    Self().RestoreDown(saved);
  }

  // After the last frame: the down-filters catch up, the up-filters are put back.
  VANTROSE_KERNEL V2 LastFrame() {
    const typename Layout::Snapshot saved = Self().Save();
    const V2 out = Frame(V2{0.0, 0.0});
    Self().RestoreUp(saved);
    return out;
  }
};

}  // namespace
