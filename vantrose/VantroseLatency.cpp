#include "VantroseLatency.h"

#include <cmath>
#include <complex>
#include <memory>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;

// Runs n frames of silence (settle) then an impulse of n frames through a fresh chain and
// returns the left output of the impulse part.
std::vector<double> ImpulseResponse(const ChainControls& c, int settle, int n) {
  auto chain = std::make_unique<VantroseChain>();
  std::vector<double> in[2], out[2];
  for (int ch = 0; ch < 2; ++ch) {
    in[ch].assign(static_cast<size_t>(settle > n ? settle : n), 0.0);
    out[ch].assign(in[ch].size(), 0.0);
  }
  double* inputs[2] = {in[0].data(), in[1].data()};
  double* outputs[2] = {out[0].data(), out[1].data()};
  constexpr int kBlock = 512;
  auto run = [&](int frames) {
    for (int done = 0; done < frames; done += kBlock) {
      int m = frames - done < kBlock ? frames - done : kBlock;
      double* i2[2] = {inputs[0] + done, inputs[1] + done};
      double* o2[2] = {outputs[0] + done, outputs[1] + done};
      chain->BeginBlock(c);
      chain->Render(c, i2, o2, m);
    }
  };
  run(settle);
  for (int ch = 0; ch < 2; ++ch) {
    std::fill(in[ch].begin(), in[ch].end(), 0.0);
    in[ch][0] = 1.0;
  }
  run(n);
  out[0].resize(static_cast<size_t>(n));
  return out[0];
}

}  // namespace

double ChainGroupDelay(const ChainControls& c, double hz) {
  // Long enough for the smoothers (the output gain's settles in about 50 ms) and for the
  // response's tail at the lowest band.
  const int settle = static_cast<int>(std::ceil(c.fs * 0.25));
  const int n = static_cast<int>(std::ceil(c.fs * 0.1));
  std::vector<double> h = ImpulseResponse(c, settle, n);
  // tau = Re( sum(k h[k] e^-jwk) / sum(h[k] e^-jwk) ), the derivative of the phase.
  const double w = 2.0 * kPi * hz / c.fs;
  std::complex<double> H = 0.0, nH = 0.0;
  for (int k = 0; k < n; ++k) {
    std::complex<double> e = std::polar(h[static_cast<size_t>(k)], -w * k);
    H += e;
    nH += static_cast<double>(k) * e;
  }
  return std::abs(H) > 0.0 ? (nH / H).real() : 0.0;
}

int ChainLatency(const ChainControls& c) {
  ChainControls at48k = c;
  at48k.fs = 48000.0;
  return static_cast<int>(std::lround(ChainGroupDelay(at48k, 1000.0)));
}
