#pragma once

#include "Recurrence.h"

// High band: a third-order bell section (BellSection.h), centre about 861 Hz to
// 11.8 kHz, about ±12 dB.  Runs at eight times the host rate, ahead of the mid bands:
// Calc once per block, Process once per oversampled sample.
class H32P {
 public:
  // Recomputes a0..a3 and b0..b3 for the rate fs, the gain position g (0 full cut,
  // 0.5 flat, 1 full boost) and the frequency positions d, e (0.017 to 0.9, smaller is
  // higher; d the earlier smoother output).  Histories, input and output are kept.
  void Calc(double fs, double g, double d, double e);

  // Audio thread: one sample through the recurrence; no allocation, no branches.
  double Process(double x) { return StepThirdOrder(*this, x); }

  double input = 0.0;                             // the sample most recently passed to Process
  double output = 0.0;                            // the value most recently returned
  double x1 = 0.0, x2 = 0.0, x3 = 0.0;            // previous inputs, most recent first
  double y1 = 0.0, y2 = 0.0, y3 = 0.0;            // previous outputs, most recent first
  double a0 = 0.0, a1 = 0.0, a2 = 0.0, a3 = 0.0;  // denominator
  double b0 = 0.0, b1 = 0.0, b2 = 0.0, b3 = 0.0;  // numerator
};
