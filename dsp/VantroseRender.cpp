// The per-sample signal chain, fast path: the plain chain's operations (see
// VantroseReference.cpp) in the same order for each channel, so its output is
// bit-identical, run by the widest vector path the processor offers (RenderKernel.h).
#include "RenderPaths.h"
#include "SimdDispatch.h"
#include "VantroseChain.h"

// Audio thread: no allocation, no locks, no I/O.
void VantroseChain::Render(const ChainControls& c, double** inputs, double** outputs, int nFrames) {
  RenderOn(ActiveSimdPath(), c, inputs, outputs, nFrames);
}

void VantroseChain::RenderOn(SimdPath path, const ChainControls& c, double** inputs,
                             double** outputs, int nFrames) {
  if (c.satFactor != 4 && c.satFactor != 16) {
    RenderReference(c, inputs, outputs, nFrames);
    return;
  }
  if (nFrames <= 0) return;
  // The per-sample biquad settings yield the same coefficients every time.
  const double fc = ((c.fs * 0.5) / c.fs) * 0.5;
  mShelfBiquad.setBiquad(4, fc, 0.4, 0.0);
  mBellBiquad.setBiquad(4, fc, 0.4, 0.0);
  const RenderPathKernels& kernels = KernelsFor(path);
  if (RenderSilence(kernels, c, inputs, outputs, nFrames)) return;
  kernels.render(*this, c, inputs, outputs, nFrames);
}

const RenderPathKernels& KernelsFor(SimdPath path) {
  switch (path) {
    case SimdPath::kAvx512:
      return Avx512Kernels();
    case SimdPath::kAvx2:
      return Avx2Kernels();
    case SimdPath::kSse2:
      break;
  }
  return Sse2Kernels();
}
