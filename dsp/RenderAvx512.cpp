// The fast render for AVX-512 (F, VL, DQ): four-lane registers, thirty-two of them.
#define VANTROSE_KERNEL_TARGET __attribute__((target("avx512f,avx512vl,avx512dq")))
#include "RenderKernel.h"

const RenderPathKernels& Avx512Kernels() {
  return kKernels;
}
