#include "OnePoleSmoother.h"

#include <cmath>

double OnePoleSmoother::Pole(double f, double fs) {
  return std::exp((f / fs) * kMinusTwoPi);
}
