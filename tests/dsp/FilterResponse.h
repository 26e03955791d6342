#pragma once

#include <cmath>
#include <complex>
#include <vector>

// Frequency response of H(z) = Σ b[n]·z^-n / Σ a[n]·z^-n, measured from a filter's own
// coefficients, and a sine run through its Process.  Shared by the filter tests.
struct Coeffs {
  std::vector<double> b, a;
};

// Coefficients of any of the band or pass filters, after one Calc.
template <class F>
Coeffs ThirdOrderCoeffs(const F& f) {
  return {{f.b0, f.b1, f.b2, f.b3}, {f.a0, f.a1, f.a2, f.a3}};
}
template <class F>
Coeffs SecondOrderCoeffs(const F& f) {
  return {{f.b0, f.b1, f.b2}, {f.a0, f.a1, f.a2}};
}

inline std::complex<double> Response(const Coeffs& c, double hz, double fs) {
  const double w = 2.0 * M_PI * hz / fs;
  std::complex<double> num = 0.0, den = 0.0;
  for (size_t n = 0; n < c.b.size(); ++n)
    num += c.b[n] * std::polar(1.0, -w * double(n));
  for (size_t n = 0; n < c.a.size(); ++n)
    den += c.a[n] * std::polar(1.0, -w * double(n));
  return num / den;
}

inline double GainDb(const Coeffs& c, double hz, double fs) {
  return 20.0 * std::log10(std::abs(Response(c, hz, fs)));
}

// Signed gain at 0 Hz: Σb / Σa.
inline double GainAtDc(const Coeffs& c) {
  double num = 0.0, den = 0.0;
  for (double v : c.b)
    num += v;
  for (double v : c.a)
    den += v;
  return num / den;
}

// Signed gain at half the rate: Σ(−1)^n b[n] / Σ(−1)^n a[n].
inline double GainAtNyquist(const Coeffs& c) {
  double num = 0.0, den = 0.0;
  for (size_t n = 0; n < c.b.size(); ++n)
    num += (n % 2 ? -c.b[n] : c.b[n]);
  for (size_t n = 0; n < c.a.size(); ++n)
    den += (n % 2 ? -c.a[n] : c.a[n]);
  return num / den;
}

struct Extremum {
  double hz, db;
};

// Largest (or, with lowest, smallest) gain between loHz and hiHz: a log-spaced scan,
// then golden-section refinement around the best grid point.
inline Extremum FindExtremum(const Coeffs& c, double fs, double loHz, double hiHz,
                             bool lowest = false) {
  const int kSteps = 2000;
  const double sign = lowest ? -1.0 : 1.0;
  const double ratio = std::log(hiHz / loHz) / kSteps;
  int best = 0;
  for (int i = 1; i <= kSteps; ++i) {
    if (sign * GainDb(c, loHz * std::exp(ratio * i), fs) >
        sign * GainDb(c, loHz * std::exp(ratio * best), fs))
      best = i;
  }
  double lo = std::log(loHz) + ratio * std::max(best - 1, 0);
  double hi = std::log(loHz) + ratio * std::min(best + 1, kSteps);
  const double phi = (std::sqrt(5.0) - 1.0) / 2.0;
  for (int it = 0; it < 100; ++it) {
    const double m1 = hi - phi * (hi - lo), m2 = lo + phi * (hi - lo);
    if (sign * GainDb(c, std::exp(m1), fs) > sign * GainDb(c, std::exp(m2), fs))
      hi = m2;
    else
      lo = m1;
  }
  const double hz = std::exp((lo + hi) / 2.0);
  return {hz, GainDb(c, hz, fs)};
}

// Largest deviation from 0 dB between loHz and hiHz (log-spaced scan).
inline double MaxDeviationDb(const Coeffs& c, double fs, double loHz, double hiHz) {
  double worst = 0.0;
  for (int i = 0; i <= 400; ++i) {
    const double hz = loHz * std::pow(hiHz / loHz, i / 400.0);
    worst = std::max(worst, std::fabs(GainDb(c, hz, fs)));
  }
  return worst;
}

// Frequency at which the gain crosses levelDb between loHz and hiHz (bisection on a
// log scale; the gain must be monotone there).
inline double CrossingHz(const Coeffs& c, double fs, double levelDb, double loHz, double hiHz) {
  double lo = std::log(loHz), hi = std::log(hiHz);
  const bool rising = GainDb(c, hiHz, fs) > GainDb(c, loHz, fs);
  for (int it = 0; it < 100; ++it) {
    const double mid = (lo + hi) / 2.0;
    const bool above = GainDb(c, std::exp(mid), fs) > levelDb;
    if (above == rising)
      hi = mid;
    else
      lo = mid;
  }
  return std::exp((lo + hi) / 2.0);
}

// Runs a unit sine through a filter's Process and returns the largest |output| over the
// second half of the run, in dB: the steady-state gain at hz, as the recurrence sees it.
template <class F>
double SineGainDb(F& f, double hz, double fs, int samples) {
  double peak = 0.0;
  for (int n = 0; n < samples; ++n) {
    const double y = f.Process(std::sin(2.0 * M_PI * hz * n / fs));
    if (n >= samples / 2) peak = std::max(peak, std::fabs(y));
  }
  return 20.0 * std::log10(peak);
}
