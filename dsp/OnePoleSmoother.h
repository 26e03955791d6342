#pragma once

// A one-pole low-pass that glides a control toward its target: each step sets
// z = z·b1 + target·a0.  Its coefficients come from a frequency f at rate fs as
// b1 = exp((f / fs)·−2π), a0 = 1 − b1; the effect rewrites them every block.
struct OnePoleSmoother {
  double a0 = 1.0;
  double b1 = 0.0;
  double z = 0.0;

  // −2π as the double the coefficient formula uses.
  static constexpr double kMinusTwoPi = -6.283185307179586;

  // The feedback coefficient for frequency f (Hz) at rate fs.
  static double Pole(double f, double fs);

  void SetPole(double m) {
    b1 = m;
    a0 = 1.0 - m;
  }

  // Audio thread: advances the smoother once and returns its new output.
  double Step(double target) {
    z = z * b1 + target * a0;
    return z;
  }
};
