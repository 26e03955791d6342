#pragma once

#include "SimdDispatch.h"
#include "VantroseChain.h"

// The fast render of one vector path (RenderKernel.h compiled for its instruction set),
// with its two halves apart for stage timing.  Each expects a factor of 4 or 16 and at
// least one frame, and must only run where CpuSupports says its path is available.
// Audio thread: no allocation, no locks, no I/O.
struct RenderPathKernels {
  // The whole per-sample chain over a block.
  void (*render)(VantroseChain& ch, const ChainControls& c, double** inputs, double** outputs,
                 int nFrames);
  // The saturation stage alone, as render runs it.
  void (*saturation)(VantroseChain& ch, const ChainControls& c, double** inputs, int nFrames);
  // The stages after the saturation alone, on a silent saturation output.
  void (*bands)(VantroseChain& ch, const ChainControls& c, double** inputs, double** outputs,
                int nFrames);
};

const RenderPathKernels& Sse2Kernels();
const RenderPathKernels& Avx2Kernels();
const RenderPathKernels& Avx512Kernels();
// The kernels of a path.
const RenderPathKernels& KernelsFor(SimdPath path);
