#pragma once

#include <cstdint>

// A waveshaper curve as single-precision samples: a four-word header the render path
// does not read, then entry k = the shaper's output for the input k / scale.
struct ShaperTable {
  float zero;     // 0.0
  float limit;    // ±0.8333330154418945, the header's notion of the curve's end
  float scale;    // 142.14300537109375 entries per unit of input
  int32_t count;  // 200
  float entry[200];
};

// The saturation curve (inputs 0 to 1.4) and its exact negation.
extern const ShaperTable vuz553u_table;
extern const ShaperTable vuz553u_neg_table;
