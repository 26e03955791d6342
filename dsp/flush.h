#pragma once

#include <cstdint>
#include <cstring>

// Replaces every value of magnitude below 2^-54, every infinity and every NaN by +0.0
// and keeps all other values.  It judges the upper 32 bits of the double: the exponent
// (with the sign carried out) must reach that of 2^-54 and must not be all ones.
// Audio thread: no allocation, no branches beyond the select.
inline double flush(double v) {
  uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  const uint32_t h = static_cast<uint32_t>(bits >> 32);
  return ((h + 0x00100000u) & 0x7FE00000u) < 0x3CA00000u ? 0.0 : v;
}
