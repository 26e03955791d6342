#pragma once

#include "Recurrence.h"

// Low-pass filter (the HPLP switch on): a second-order analogue-modelled low-pass,
// −3 dB at about 169 Hz to 14 kHz, with a 1.2 dB rise just inside its passband.
// Runs at the host rate after the high-pass: Calc once per block, Process once per
// sample while the switch is on.  It keeps the third-order field layout and leaves x3,
// y3, a3 and b3 at zero.
class LPP32 {
 public:
  // Recomputes a0..a2 for the rate fs and the cutoff positions d, e (0 to 1, 1 the
  // lowest cutoff; d the earlier smoother output) and sets the fixed numerator
  // b0..b2.  Histories are kept.
  void Calc(double fs, double d, double e);

  // Audio thread: one sample through the recurrence; no allocation, no branches.
  double Process(double x) { return StepSecondOrder(*this, x); }

  double input = 0.0;                             // the sample most recently passed to Process
  double output = 0.0;                            // the value most recently returned
  double x1 = 0.0, x2 = 0.0, x3 = 0.0;            // previous inputs, most recent first
  double y1 = 0.0, y2 = 0.0, y3 = 0.0;            // previous outputs, most recent first
  double a0 = 0.0, a1 = 0.0, a2 = 0.0, a3 = 0.0;  // denominator
  double b0 = 0.0, b1 = 0.0, b2 = 0.0, b3 = 0.0;  // numerator
};
