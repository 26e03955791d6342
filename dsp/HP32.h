#pragma once

#include "Recurrence.h"

// High-pass filter (the HPLP switch on): a third-order analogue-modelled high-pass,
// −3 dB at about 25 Hz to 3.1 kHz, with a 1.2 dB rise just inside its passband.
// Runs at the host rate ahead of the low-pass: Calc once per block, Process once per
// sample while the switch is on.
class HPP32 : public RecurrenceFilter<3> {
 public:
  // Recomputes a0..a3 and b0..b3 for the rate fs and the cutoff positions d, e (0 to 1,
  // 1 the lowest cutoff; d the earlier smoother output).  Histories are kept.
  void Calc(double fs, double d, double e);
};
