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
