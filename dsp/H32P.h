#pragma once

#include "Recurrence.h"

// High band: a third-order bell section (BellSection.h), centre about 861 Hz to
// 11.8 kHz, about ±12 dB.  Runs at eight times the host rate, ahead of the mid bands:
// Calc once per block, Process once per oversampled sample.
class H32P : public RecurrenceFilter<3> {
 public:
  // Recomputes a0..a3 and b0..b3 for the rate fs, the gain position g (0 full cut,
  // 0.5 flat, 1 full boost) and the frequency positions d, e (0.017 to 0.9, smaller is
  // higher; d the earlier smoother output).  Histories, input and output are kept.
  void Calc(double fs, double g, double d, double e);
};
