#pragma once

// The sample rates the effect is built for.  Its filter coefficients are fixed
// polynomials in the rate (up to the cube, with the upper bands at eight times the
// rate); from 8 kHz to 768 kHz every setting gives finite, decaying responses.
// The command line and both plug-in wrappers refuse any rate outside this range.

constexpr double kMinSampleRate = 8000.0;
constexpr double kMaxSampleRate = 768000.0;

// False for NaN and infinities as well as for finite rates outside the range.
inline bool IsSupportedSampleRate(double fs) {
  return fs >= kMinSampleRate && fs <= kMaxSampleRate;
}
