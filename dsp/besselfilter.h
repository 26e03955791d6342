#pragma once

// Coefficients of a tenth-order all-pole Bessel low-pass: the analogue prototype's
// poles carried to the sampled domain by the matched z-transform, the gain set for
// unity at 0 Hz.  The filter they define is
//   y[n] = gain·x[n] + a1·y[n−1] + … + a10·y[n−10];
// the class holds no filter state.  The effect recomputes it once per block.
struct BesselFilterCoeffs {
  // c[0] is the gain, c[1] to c[10] the feedback coefficients a1 to a10 (a1 weighs
  // the most recent output).
  double c[11] = {};

  // w: the −3 dB frequency as a fraction of the rate the filter runs at (0 < w < 0.5).
  void Calc(double w);
};
