#pragma once

// General second-order section with seven response types, set by a normalised
// frequency, a quality factor and a gain in dB.  Coefficients come from the bilinear
// transform on a prewarped frequency; the recurrence is transposed direct form II,
// single-precision samples in and out, double precision inside.
//   H(z) = (a0 + a1·z⁻¹ + a2·z⁻²) / (1 + b1·z⁻¹ + b2·z⁻²): the a's feed forward here.
class Biquad {
 public:
  enum {
    kLowpass = 0,
    kHighpass = 1,
    kBandpass = 2,
    kNotch = 3,
    kPeak = 4,
    kLowshelf = 5,
    kHighshelf = 6,
  };

  // A pass-through (a0 = 1); the coefficients are not computed from the settings.
  Biquad() = default;
  // Stores the settings, computes the coefficients and clears the state.
  Biquad(int type, double Fc, double Q, double peakGain);
  ~Biquad() {}

  // Each setter stores its setting and recomputes the coefficients; none of them
  // touches the state z1, z2.
  void setType(int type);
  void setQ(double Q);
  void setFc(double Fc);
  void setPeakGain(double peakGainDB);
  void setBiquad(int type, double Fc, double Q, double peakGain);

  // Recomputes a0, a1, a2, b1, b2 from the settings; an unknown type keeps them as
  // they are.  Calls pow and tan once each.
  void calcBiquad();

  // Audio thread: one sample through the recurrence; no allocation, no branches.
  float process(float in) {
    const double x = in;
    const double out = x * a0 + z1;
    z1 = (x * a1 + z2) - b1 * out;
    z2 = x * a2 - b2 * out;
    return static_cast<float>(out);
  }

  int type = kLowpass;
  double a0 = 1.0, a1 = 0.0, a2 = 0.0;  // feed-forward
  double b1 = 0.0, b2 = 0.0;            // feedback; the leading coefficient is 1
  double Fc = 0.5;                      // frequency as a fraction of the sampling rate
  double Q = 0.707;
  double peakGain = 0.0;  // dB, used by the peak and shelf types
  double z1 = 0.0, z2 = 0.0;
};
