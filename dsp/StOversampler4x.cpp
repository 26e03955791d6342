#include "StOversampler4x.h"

void StOversampler4x::up4(double v) {
  for (int k = 0; k <= 26; ++k)
    h[k] = h[k + 4];
  Interpolate4x(*this, v, h + 27);
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
