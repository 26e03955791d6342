// The per-sample signal chain, fast path.
#include "Vantrose.h"

// Audio thread: no allocation, no locks, no I/O.
void VantroseChain::Render(const ChainControls& c, double** inputs, double** outputs, int nFrames) {
  RenderReference(c, inputs, outputs, nFrames);
}
