#include "shape.h"

#include <climits>
#include <cmath>

#include "ShaperTables.h"

int ShaperIndex(double a) {
  if (!(a > -2147483649.0 && a < 2147483648.0)) return INT_MIN;
  return static_cast<int>(a);
}

// Audio thread: no allocation, no locks.
double shape(double v) {
  const double a = std::fabs(v) * kShaperTableScale;
  const int k = ShaperIndex(a);
  const ShaperTable& table = std::signbit(v) ? vuz553u_neg_table : vuz553u_table;
  double r;
  if (k < 0) {
    r = 0.0;
  } else if (k > 198) {
    r = kShaperClamp;
  } else {
    const double f = a - k;
    r = (1.0 - f) * static_cast<double>(table.entry[k]) +
        f * static_cast<double>(table.entry[k + 1]);
  }
  return std::copysign(std::fabs(r), v);
}
