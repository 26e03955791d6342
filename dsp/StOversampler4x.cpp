#include "StOversampler4x.h"

void StOversampler4x::up4(double v) {
  for (int k = 0; k <= 26; ++k)
    h[k] = h[k + 4];
  x7 = x6;
  x6 = x5;
  x5 = x4;
  x4 = x3;
  x3 = x2;
  x2 = x1;
  x1 = x0;
  x0 = 4.0 * v;
  h[27] =
      ((((((x1 * k11 + x0 * k15) + x2 * k7) + x3 * k3) + x4 * k1) + x5 * k5) + x6 * k9) + x7 * k13;
  h[28] = (x3 + x4) * k2 + ((x2 + x5) * k6 + ((x1 + x6) * k10 + (x7 + x0) * k14));
  h[29] =
      ((((((x1 * k9 + x0 * k13) + x2 * k5) + x3 * k1) + x4 * k3) + x5 * k7) + x6 * k11) + x7 * k15;
  h[30] = x3 * k0;
}

double StOversampler4x::decimate() const {
  double s = (h[29] + h[1]) * k14;
  s += (h[30] + h[0]) * k15;
  s += (h[28] + h[2]) * k13;
  s += (h[26] + h[4]) * k11;
  s += (h[25] + h[5]) * k10;
  s += (h[24] + h[6]) * k9;
  s += (h[22] + h[8]) * k7;
  s += (h[21] + h[9]) * k6;
  s += (h[20] + h[10]) * k5;
  s += (h[18] + h[12]) * k3;
  s += (h[17] + h[13]) * k2;
  s += (h[16] + h[14]) * k1;
  s += h[15] * k0;
  return s;
}
