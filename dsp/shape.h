#pragma once

// The saturation curve: a table lookup with linear interpolation between the entries
// of vuz553u_table (or its negation for a set sign bit), clamped at 0.8333333134651184
// beyond the table.  The result carries the sign of v.
double shape(double v);

// Scale of the shaper tables: entries per unit of input.
constexpr double kShaperTableScale = 142.14300537109375;
// The shaper's output beyond the table: the last entry's magnitude.
constexpr double kShaperClamp = 0.8333333134651184;

// v × scale truncated toward zero to a 32-bit integer, where a value too large for that
// conversion (or a NaN) gives the most negative integer, as the processor's conversion does.
int ShaperIndex(double a);
