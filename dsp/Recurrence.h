#pragma once

// Direct-form recurrences shared by the band and pass filters.  Each filter class
// keeps its own plain fields (input, output, x1.., y1.., a0.., b0..); these step one
// sample through them, accumulating left to right and dividing by a0 at the end.
// The sample type is a template parameter so that FilterPair.h can run two channels'
// filters in the two lanes of a vector with exactly the same operations.
// Audio thread: no allocation, no locks, no branches.

// y = ((((((b0·x + b1·x1) + b2·x2) + b3·x3) − a1·y1) − a2·y2) − a3·y3) / a0
template <class Filter, class Sample>
inline Sample StepThirdOrder(Filter& f, Sample x) {
  f.input = x;
  const Sample y =
      ((((((f.b0 * x + f.b1 * f.x1) + f.b2 * f.x2) + f.b3 * f.x3) - f.a1 * f.y1) - f.a2 * f.y2) -
       f.a3 * f.y3) /
      f.a0;
  f.output = y;
  f.x3 = f.x2;
  f.x2 = f.x1;
  f.x1 = x;
  f.y3 = f.y2;
  f.y2 = f.y1;
  f.y1 = y;
  return y;
}

// y = ((((b0·x + b1·x1) + b2·x2) − a1·y1) − a2·y2) / a0
template <class Filter, class Sample>
inline Sample StepSecondOrder(Filter& f, Sample x) {
  f.input = x;
  const Sample y = ((((f.b0 * x + f.b1 * f.x1) + f.b2 * f.x2) - f.a1 * f.y1) - f.a2 * f.y2) / f.a0;
  f.output = y;
  f.x2 = f.x1;
  f.x1 = x;
  f.y2 = f.y1;
  f.y1 = y;
  return y;
}

// The fields of every band and pass filter, one layout for all of them; the
// second-order filters leave x3, y3, a3 and b3 at zero.
struct ThirdOrderFields {
  double input = 0.0;                             // the sample most recently passed to Process
  double output = 0.0;                            // the value most recently returned
  double x1 = 0.0, x2 = 0.0, x3 = 0.0;            // previous inputs, most recent first
  double y1 = 0.0, y2 = 0.0, y3 = 0.0;            // previous outputs, most recent first
  double a0 = 0.0, a1 = 0.0, a2 = 0.0, a3 = 0.0;  // denominator
  double b0 = 0.0, b1 = 0.0, b2 = 0.0, b3 = 0.0;  // numerator
};

// A filter on those fields whose recurrence has the given order, 2 or 3.
template <int Order>
struct RecurrenceFilter : ThirdOrderFields {
  // Audio thread: one sample through the recurrence; no allocation, no branches.
  double Process(double x) {
    if constexpr (Order == 3) {
      return StepThirdOrder(*this, x);
    } else {
      return StepSecondOrder(*this, x);
    }
  }
};
