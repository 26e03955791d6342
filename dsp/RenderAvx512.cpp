// The fast render for AVX-512 (F, VL, DQ): four-lane registers, thirty-two of them, and
// the bands' eight lanes in one.
#define VANTROSE_KERNEL_TARGET __attribute__((target("avx512f,avx512vl,avx512dq")))
#define VANTROSE_KERNEL_EIGHT
#include "RenderKernel.h"

const RenderPathKernels& Avx512Kernels() {
  return kKernels;
}
