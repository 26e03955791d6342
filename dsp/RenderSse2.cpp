// The fast render for the baseline every x86-64 runs.
#define VANTROSE_KERNEL_TARGET
#define VANTROSE_KERNEL_PAIRS
// The four-lane values never cross a call here (the kernel functions they pass through
// are inlined and internal), so the note that they would travel differently without
// AVX is moot.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wpsabi"
#endif
#include "RenderKernel.h"

const RenderPathKernels& Sse2Kernels() {
  return kKernels;
}
