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
