// The fast render for AVX2: the saturation stage's four lanes in one register, the
// bands' eight in two.
#define VANTROSE_KERNEL_TARGET __attribute__((target("avx2")))
#include "RenderKernel.h"

const RenderPathKernels& Avx2Kernels() {
  return kKernels;
}
