#pragma once

#include "Recurrence.h"

// Low-pass filter (the HPLP switch on): a second-order analogue-modelled low-pass,
// −3 dB at about 169 Hz to 14 kHz, with a 1.2 dB rise just inside its passband.
// Runs at the host rate after the high-pass: Calc once per block, Process once per
// sample while the switch is on.  It keeps the third-order field layout and leaves x3,
// y3, a3 and b3 at zero.
class LPP32 : public RecurrenceFilter<2> {
 public:
  // Recomputes a0..a2 for the rate fs and the cutoff positions d, e (0 to 1, 1 the
  // lowest cutoff; d the earlier smoother output) and sets the fixed numerator
  // b0..b2.  Histories are kept.
  void Calc(double fs, double d, double e);
};
