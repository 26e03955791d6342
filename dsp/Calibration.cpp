#include "Calibration.h"

#include <algorithm>
#include <cmath>
#include <complex>

namespace {

using Complex = std::complex<double>;

constexpr double kBandOversampling = 8.0;  // the three upper bands run at 8·fs
constexpr double kPi = 3.14159265358979323846;
constexpr double kBandTop = 40000.0;  // upper end of the oversampled bands' search

// H(z) of a band or pass filter at the unit phasor z1 = e^(−jw):
// Σ b[n]·z1ⁿ / Σ a[n]·z1ⁿ.
Complex SectionAt(const ThirdOrderFields& f, Complex z1) {
  const Complex z2 = z1 * z1, z3 = z2 * z1;
  const Complex num = f.b0 + f.b1 * z1 + f.b2 * z2 + f.b3 * z3;
  const Complex den = f.a0 + f.a1 * z1 + f.a2 * z2 + f.a3 * z3;
  return num / den;
}

double SectionDb(const ThirdOrderFields& f, double hz, double rate) {
  return 20.0 * std::log10(std::abs(SectionAt(f, std::polar(1.0, -2.0 * kPi * hz / rate))));
}

// A band section as the chain computes it once its smoothers have settled: the gain
// position g as given, both frequency positions at one minus the frequency control.
template <class Filter>
Filter SettledBand(double rate, double g, double freqControl) {
  Filter f;
  f.Calc(rate, g, 1.0 - freqControl, 1.0 - freqControl);
  return f;
}

template <class Filter>
Filter SettledPass(double rate, double control) {
  Filter f;
  f.Calc(rate, 1.0 - control, 1.0 - control);
  return f;
}

// The frequency inside (lo, hi) of the greatest local maximum of sign·db(hz): a scan
// of `steps` log-spaced intervals (at most kMaxSteps), then a golden-section search
// between the neighbours of the best.  NaN where the scan finds no maximum inside the
// range, only a slope to one end.  The bands are broad: a sixth of an octave between
// scan points finds their extremes.
constexpr int kMaxSteps = 256;
template <class Db>
double Extremum(const Db& db, double lo, double hi, double sign, int steps = kMaxSteps) {
  const int kSteps = std::min(steps, kMaxSteps);
  const double a = std::log(lo), b = std::log(hi);
  double v[kMaxSteps + 1];
  for (int k = 0; k <= kSteps; ++k)
    v[k] = sign * db(std::exp(a + (b - a) * k / kSteps));
  int best = -1;
  for (int k = 1; k < kSteps; ++k) {
    if (v[k] >= v[k - 1] && v[k] >= v[k + 1] && (best < 0 || v[k] > v[best])) best = k;
  }
  if (best < 0) return std::nan("");
  double x0 = a + (b - a) * (best - 1) / kSteps;
  double x1 = a + (b - a) * (best + 1) / kSteps;
  const double r = 0.6180339887498949;
  double c = x1 - r * (x1 - x0), d = x0 + r * (x1 - x0);
  double fc = sign * db(std::exp(c)), fd = sign * db(std::exp(d));
  for (int i = 0; i < 80 && x1 - x0 > 1e-8; ++i) {
    if (fc > fd) {
      x1 = d;
      d = c;
      fd = fc;
      c = x1 - r * (x1 - x0);
      fc = sign * db(std::exp(c));
    } else {
      x0 = c;
      c = d;
      fc = fd;
      d = x0 + r * (x1 - x0);
      fd = sign * db(std::exp(d));
    }
  }
  return std::exp(0.5 * (x0 + x1));
}

// The first frequency from `from` toward `to` (either direction) where db(hz) reaches
// target: a log-spaced scan for the crossing, then bisection.  `to` if there is none.
template <class Db>
double Crossing(const Db& db, double from, double to, double target) {
  constexpr int kSteps = 512;
  const double a = std::log(from), b = std::log(to);
  const bool startBelow = db(from) < target;
  double prev = a;
  for (int k = 1; k <= kSteps; ++k) {
    const double x = a + (b - a) * k / kSteps;
    if ((db(std::exp(x)) < target) != startBelow) {
      double lo = prev, hi = x;
      for (int i = 0; i < 60; ++i) {
        const double mid = 0.5 * (lo + hi);
        if ((db(std::exp(mid)) < target) == startBelow) {
          lo = mid;
        } else {
          hi = mid;
        }
      }
      return std::exp(0.5 * (lo + hi));
    }
    prev = x;
  }
  return to;
}

// Peak or dip of a band: its gain from setDb, the band as set, at the frequency of its
// extremum; that frequency from boostDb, the band at full boost, when the gain control
// sits at flat (or so near flat that the band shows no extremum of its own).
template <class SetDb, class BoostDb>
BandReading BellReading(const SetDb& setDb, const BoostDb& boostDb, double g, double lo, double hi,
                        int steps = kMaxSteps) {
  double hz = std::nan("");
  if (g != Calibration::kFlatGain)
    hz = Extremum(setDb, lo, hi, g < Calibration::kFlatGain ? -1 : 1, steps);
  if (std::isnan(hz)) hz = Extremum(boostDb, lo, hi, 1.0, steps);
  return {setDb(hz), hz};
}

// The oversampler's two filters at 8·fs as polynomials in z⁻¹.  The interpolator is
// taken as a filter on its input stuffed with three zeros per value: tap 4·i + p is four
// times the weight of the input i values back in output p.  The decimating kernel is
// the causal form of the symmetric 31-tap one, centred on tap 15.
struct OversamplerTaps {
  double interp[32];
  double decim[31];
  OversamplerTaps() {
    using O = StOversampler4x;
    const double weights[4][8] = {
        {O::k15, O::k11, O::k7, O::k3, O::k1, O::k5, O::k9, O::k13},
        {O::k14, O::k10, O::k6, O::k2, O::k2, O::k6, O::k10, O::k14},
        {O::k13, O::k9, O::k5, O::k1, O::k3, O::k7, O::k11, O::k15},
        {0.0, 0.0, 0.0, O::k0, 0.0, 0.0, 0.0, 0.0},
    };
    for (int t = 0; t < 32; ++t)
      interp[t] = 4.0 * weights[t % 4][t / 4];
    const double kernel[16] = {O::k0, O::k1, O::k2,  O::k3,  0.0, O::k5,  O::k6,  O::k7,
                               0.0,   O::k9, O::k10, O::k11, 0.0, O::k13, O::k14, O::k15};
    for (int t = 0; t < 31; ++t)
      decim[t] = kernel[t < 15 ? 15 - t : t - 15];
  }
};

// Σ c[t]·z^t for a unit phasor z, by running powers.
template <int N>
Complex Polynomial(const double (&c)[N], Complex z) {
  Complex sum = 0.0, power = 1.0;
  for (int t = 0; t < N; ++t) {
    sum += c[t] * power;
    power *= z;
  }
  return sum;
}

// The band stage between the oversampler's filters is linear and time-invariant at fs:
// output sample n is tap 8n + 7 of c = U ∗ G ∗ D on the input stuffed with seven zeros
// per sample, where U holds each input for two of the interpolator's inputs and
// interpolates, G is the three bands and D the decimating kernel.  Its response at w is
// (1/8)·Σₖ C(θₖ)·e^(j7θₖ), θₖ = (w + 2πk)/8: the images fold back coherently, which
// matters well below half the host rate.
// The part of image k of the band stage at w that the controls do not change, and the
// image's phasor.
void StageImage(double w, int k, Complex* fixed, Complex* z) {
  static const OversamplerTaps taps;
  const double theta = (w + 2.0 * kPi * k) / 8.0;
  *z = std::polar(1.0, -theta);
  const Complex z2 = *z * *z, z4 = z2 * z2;
  *fixed = (1.0 + z4) * Polynomial(taps.interp, *z) * Polynomial(taps.decim, *z) *
           std::polar(1.0, 7.0 * theta) / 8.0;
}

Complex BandStage(double w, const ThirdOrderFields* const bands[3]) {
  Complex sum = 0.0;
  for (int k = 0; k < 8; ++k) {
    Complex fixed, z;
    StageImage(w, k, &fixed, &z);
    for (int b = 0; b < 3; ++b)
      fixed *= SectionAt(*bands[b], z);
    sum += fixed;
  }
  return sum;
}

}  // namespace

Calibration::Calibration(const ChainControls& c) : mControls(c) {
  const double fs = c.fs, bandFs = kBandOversampling * c.fs;
  mShelf = SettledBand<L32S>(fs, c.lGain, c.lFreq);
  mShelfBoost = SettledBand<L32S>(fs, 1.0, c.lFreq);
  mBell = SettledBand<L32P>(fs, c.lGain, c.lFreq);
  mBellBoost = SettledBand<L32P>(fs, 1.0, c.lFreq);
  mLowMid = SettledBand<LM32P>(bandFs, c.lmGain, c.lmFreq);
  mLowMidBoost = SettledBand<LM32P>(bandFs, 1.0, c.lmFreq);
  mHighMid = SettledBand<HM32P>(bandFs, c.hmGain, c.hmFreq);
  mHighMidBoost = SettledBand<HM32P>(bandFs, 1.0, c.hmFreq);
  mHigh = SettledBand<H32P>(bandFs, c.hGain, c.hFreq);
  mHighBoost = SettledBand<H32P>(bandFs, 1.0, c.hFreq);
  mFlat[0] = SettledBand<LM32P>(bandFs, kFlatGain, c.lmFreq);
  mFlat[1] = SettledBand<HM32P>(bandFs, kFlatGain, c.hmFreq);
  mFlat[2] = SettledBand<H32P>(bandFs, kFlatGain, c.hFreq);
  mHighPass = SettledPass<HPP32>(fs, c.hp);
  mLowPass = SettledPass<LPP32>(fs, c.lp);
}

double Calibration::LowDb(double hz) const {
  return SectionDb(LowSection(), hz, mControls.fs);
}

const ThirdOrderFields& Calibration::LowSection() const {
  return mControls.bell == 1 ? static_cast<const ThirdOrderFields&>(mBell) : mShelf;
}

// What band b (0 low-mid, 1 high-mid, 2 high) adds to the band stage when it is the
// given section: the stage with it over the stage with the band at flat gain, the
// others as set.  (A flat band is not quite unity at the images it also filters.)
double Calibration::StageBandDb(int b, const ThirdOrderFields& section, double hz) const {
  const double w = 2.0 * kPi * hz / mControls.fs;
  const ThirdOrderFields* with[3] = {&mLowMid, &mHighMid, &mHigh};
  with[b] = &section;
  const ThirdOrderFields* without[3] = {&mLowMid, &mHighMid, &mHigh};
  without[b] = &mFlat[b];
  return 20.0 * std::log10(std::abs(BandStage(w, with)) / std::abs(BandStage(w, without)));
}

double Calibration::LowMidDb(double hz) const {
  return StageBandDb(0, mLowMid, hz);
}
double Calibration::HighMidDb(double hz) const {
  return StageBandDb(1, mHighMid, hz);
}
double Calibration::HighDb(double hz) const {
  return StageBandDb(2, mHigh, hz);
}
double Calibration::PassDb(double hz) const {
  return SectionDb(mHighPass, hz, mControls.fs) + SectionDb(mLowPass, hz, mControls.fs);
}

BandReading Calibration::Low() const {
  const double fs = mControls.fs;
  const double top = 0.45 * fs;
  const bool bell = mControls.bell == 1;
  const ThirdOrderFields& boost =
      bell ? static_cast<const ThirdOrderFields&>(mBellBoost) : mShelfBoost;
  auto setDb = [&](double hz) { return SectionDb(LowSection(), hz, fs); };
  auto boostDb = [&](double hz) { return SectionDb(boost, hz, fs); };
  if (bell) return BellReading(setDb, boostDb, mControls.lGain, 5.0, top);
  const double at20 = setDb(20.0);
  if (mControls.lGain == kFlatGain)
    return {at20, Crossing(boostDb, 20.0, top, 0.5 * boostDb(20.0))};
  return {at20, Crossing(setDb, 20.0, top, 0.5 * at20)};
}

BandReading Calibration::StageBand(int b, const ThirdOrderFields& set,
                                   const ThirdOrderFields& boost, double g) const {
  auto setDb = [&](double hz) { return StageBandDb(b, set, hz); };
  auto boostDb = [&](double hz) { return StageBandDb(b, boost, hz); };
  // Each point costs the band stage twice over eight images: a coarser scan.
  return BellReading(setDb, boostDb, g, 10.0, std::min(kBandTop, 0.45 * mControls.fs), 64);
}

BandReading Calibration::LowMid() const {
  return StageBand(0, mLowMid, mLowMidBoost, mControls.lmGain);
}
BandReading Calibration::HighMid() const {
  return StageBand(1, mHighMid, mHighMidBoost, mControls.hmGain);
}
BandReading Calibration::High() const {
  return StageBand(2, mHigh, mHighBoost, mControls.hGain);
}

double Calibration::HighPassHz() const {
  const double fs = mControls.fs;
  auto db = [&](double hz) { return SectionDb(mHighPass, hz, fs); };
  return Crossing(db, 1.0, 0.45 * fs, -3.0);
}

double Calibration::LowPassHz() const {
  const double fs = mControls.fs;
  auto db = [&](double hz) { return SectionDb(mLowPass, hz, fs); };
  return Crossing(db, 0.4999 * fs, 1.0, -3.0);
}

double Calibration::OutputDb() const {
  return 20.0 * std::log10(mControls.gain);
}

double Calibration::MagnitudeDb(double hz) const {
  double db = 0.0;
  Curve(&hz, &db, 1);
  return db;
}

CurvePlan::CurvePlan(double fs, const double* hz, int n) : mFs(fs), mPoints(n > 0 ? n : 0) {
  for (int i = 0; i < n; ++i) {
    const double w = 2.0 * kPi * hz[i] / fs;
    mPoints[i].z = std::polar(1.0, -w);
    for (int k = 0; k < 8; ++k)
      StageImage(w, k, &mPoints[i].images[k].fixed, &mPoints[i].images[k].z);
  }
}

void Calibration::Curve(const CurvePlan& plan, double* db) const {
  const ChainControls& c = mControls;
  for (int i = 0; i < plan.Size(); ++i) {
    if (c.by != 1) {
      db[i] = 0.0;
      continue;
    }
    const CurvePlan::Point& p = plan.mPoints[i];
    Complex h = 0.0;
    for (const CurvePlan::Image& image : p.images) {
      h += image.fixed * SectionAt(mLowMid, image.z) * SectionAt(mHighMid, image.z) *
           SectionAt(mHigh, image.z);
    }
    h *= SectionAt(LowSection(), p.z);
    if (c.hplp == 1) h *= SectionAt(mHighPass, p.z) * SectionAt(mLowPass, p.z);
    db[i] = 20.0 * std::log10(std::abs(h) * c.gain);
  }
}

void Calibration::Curve(const double* hz, double* db, int n) const {
  Curve(CurvePlan(mControls.fs, hz, n), db);
}
