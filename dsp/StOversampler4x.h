#pragma once

// Four-times polyphase interpolator of the band stage.  Its history of interpolated
// values doubles as the delay line of the 31-tap decimating filter, so the effect
// filters the four new values in place and then decimates over the same history.
// The effect zeroes it at construction; it runs every sample for the effect's life.
struct StOversampler4x {
  // The symmetric 31-tap low-pass kernel by distance from the centre; k4, k8 and k12
  // are zero and take no part in either sum.
  static constexpr double k0 = 0.2511859632599724;
  static constexpr double k1 = 0.2245335588462797;
  static constexpr double k2 = 0.15538007457109065;
  static constexpr double k3 = 0.0706496448477984;
  static constexpr double k5 = -0.03769151644963085;
  static constexpr double k6 = -0.040914779384992654;
  static constexpr double k7 = -0.022456715627743595;
  static constexpr double k9 = 0.013578369569319975;
  static constexpr double k10 = 0.014777623526947411;
  static constexpr double k11 = 0.00795714816545856;
  static constexpr double k13 = -0.004355356208146785;
  static constexpr double k14 = -0.004570244176216314;
  static constexpr double k15 = -0.00248078931015061;

  double h[31];  // values at four times the rate, oldest first; h[27..30] the newest four
  double x7, x6, x5, x4, x3, x2, x1, x0;  // the last eight inputs times 4, x0 the newest

  // Audio thread: shifts the history by four and interpolates v into h[27] to h[30].
  void up4(double v);
  // Audio thread: the decimating sum over the whole history, centred on h[15].
  double decimate() const;
};

// One step of the four-times interpolator, written once for a channel (State and T
// double) and for lanes of channels (a vector type): shifts the last eight inputs
// x7..x0 of s, takes v times 4 as the newest and writes the four interpolated values
// to out[0..3].  Audio thread: no allocation, no branches.
template <class State, class T>
inline void Interpolate4x(State& s, T v, T* out) {
  using O = StOversampler4x;
  s.x7 = s.x6;
  s.x6 = s.x5;
  s.x5 = s.x4;
  s.x4 = s.x3;
  s.x3 = s.x2;
  s.x2 = s.x1;
  s.x1 = s.x0;
  s.x0 = v * 4.0;
  const T x0 = s.x0, x1 = s.x1, x2 = s.x2, x3 = s.x3, x4 = s.x4, x5 = s.x5, x6 = s.x6, x7 = s.x7;
  out[0] =
      ((((((x1 * O::k11 + x0 * O::k15) + x2 * O::k7) + x3 * O::k3) + x4 * O::k1) + x5 * O::k5) +
       x6 * O::k9) +
      x7 * O::k13;
  out[1] = (x3 + x4) * O::k2 + ((x2 + x5) * O::k6 + ((x1 + x6) * O::k10 + (x7 + x0) * O::k14));
  out[2] = ((((((x1 * O::k9 + x0 * O::k13) + x2 * O::k5) + x3 * O::k1) + x4 * O::k3) + x5 * O::k7) +
            x6 * O::k11) +
           x7 * O::k15;
  out[3] = x3 * O::k0;
}
