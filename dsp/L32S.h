#pragma once

#include "Recurrence.h"

// Low band, shelf (the Bell switch off): a second-order low shelf of the same design as
// the bell sections, up to about ±16.2 dB below a corner of about 46 Hz to 670 Hz.
// Runs at the host rate: Calc once per block, Process once per sample while selected.
// It keeps the bell section's field layout and leaves x3, y3, a3 and b3 at zero.
class L32S : public RecurrenceFilter<2> {
 public:
  // Recomputes a0..a2 and b0..b2 for the rate fs, the gain position g (0 full cut,
  // 0.5 flat, 1 full boost) and the frequency positions d, e (0.017 to 0.9, smaller is
  // higher; d the earlier smoother output).  Histories, input and output are kept.
  void Calc(double fs, double g, double d, double e);
};
