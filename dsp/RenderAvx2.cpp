// The fast render for AVX2: the saturation stage's four lanes in one register, the
// bands' eight in two.  The eight-lane values never cross a call (see RenderSse2.cpp).
#define VANTROSE_KERNEL_TARGET __attribute__((target("avx2")))
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wpsabi"
#endif
#include "RenderKernel.h"

const RenderPathKernels& Avx2Kernels() {
  return kKernels;
}
