// Silence on silence without the chain.  Once every stage's state is exactly +0.0, a
// frame of +0.0 input leaves it so wherever each recursion's sum meets one +0.0 term
// (the filters, the biquads) or ends in the flush (the saturation filters), and every
// frame of such a block then gives the same decimated value times the output gain.
// Whether that holds under this block's coefficients is not assumed: the first frame
// runs through the chain and must leave the state all +0.0.
#include <cstdint>
#include <cstring>

#include "RenderPaths.h"
#include "VantroseChain.h"

namespace {

uint64_t Bits(double v) {
  uint64_t b;
  std::memcpy(&b, &v, sizeof b);
  return b;
}

// The bits of n values ORed: zero exactly when all of them are +0.0.
uint64_t BitsOf(const double* v, int n) {
  uint64_t any = 0;
  for (int i = 0; i < n; ++i)
    any |= Bits(v[i]);
  return any;
}

uint64_t BitsOf(const ThirdOrderFields& f) {
  const double state[] = {f.input, f.output, f.x1, f.x2, f.x3, f.y1, f.y2, f.y3};
  return BitsOf(state, 8);
}

uint64_t BitsOf(const StOversampler4x& o) {
  const double x[] = {o.x0, o.x1, o.x2, o.x3, o.x4, o.x5, o.x6, o.x7};
  return BitsOf(o.h, 31) | BitsOf(x, 8);
}

}  // namespace

bool VantroseChain::StateIsSilent() const {
  uint64_t any = BitsOf(mLowOut, 2) | BitsOf(mPreOut, 2) | BitsOf(mSatHistory, 44) |
                 BitsOf(mSatOut, 2) | BitsOf(mSatIn, 2);
  const double biquads[] = {mShelfBiquad.z1, mShelfBiquad.z2, mBellBiquad.z1, mBellBiquad.z2};
  any |= BitsOf(biquads, 4);
  for (int ch = 0; ch < 2; ++ch) {
    any |= BitsOf(mLowShelf[ch]) | BitsOf(mLowBell[ch]) | BitsOf(mLowMid[ch]) |
           BitsOf(mHighMid[ch]) | BitsOf(mHigh[ch]) | BitsOf(mHighPass[ch]) | BitsOf(mLowPass[ch]) |
           BitsOf(mOversampler[ch]);
  }
  return any == 0;
}

// Audio thread: no allocation, no locks, no I/O.
bool VantroseChain::RenderSilence(const RenderPathKernels& kernels, const ChainControls& c,
                                  double** inputs, double** outputs, int nFrames) {
  // The first frame alone settles most blocks of signal.
  if ((Bits(inputs[0][0]) | Bits(inputs[1][0])) != 0) return false;
  if ((BitsOf(inputs[0], nFrames) | BitsOf(inputs[1], nFrames)) != 0 || !StateIsSilent()) {
    return false;
  }
  kernels.render(*this, c, inputs, outputs, 1);
  if (!StateIsSilent()) {
    // This block's coefficients turn silence into a signed zero somewhere: the chain
    // runs the rest.
    if (nFrames > 1) {
      double* in[2] = {inputs[0] + 1, inputs[1] + 1};
      double* out[2] = {outputs[0] + 1, outputs[1] + 1};
      kernels.render(*this, c, in, out, nFrames - 1);
    }
    return true;
  }
  if (c.by != 1) {
    // Bypass passes the input, +0.0.
    for (int ch = 0; ch < 2; ++ch)
      std::memset(outputs[ch] + 1, 0, sizeof(double) * (nFrames - 1));
    return true;
  }
  const double decL = mOversampler[0].decimate(), decR = mOversampler[1].decimate();
  OnePoleSmoother& g = mGainSmoother;
  for (int i = 1; i < nFrames; ++i) {
    if (Bits(g.z * g.b1 + c.gain * g.a0) == Bits(g.z)) {
      // The gain has settled: every step from here gives z again.
      const double outL = g.z * decL, outR = g.z * decR;
      for (; i < nFrames; ++i) {
        outputs[0][i] = outL;
        outputs[1][i] = outR;
      }
      break;
    }
    outputs[0][i] = g.Step(c.gain) * decL;
    outputs[1][i] = g.Step(c.gain) * decR;
  }
  return true;
}
