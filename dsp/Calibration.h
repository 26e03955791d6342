#pragma once

#include <complex>
#include <vector>

#include "VantroseChain.h"

// What each control does in physical units, read from the filters' own coefficients:
// every section is set up as the chain sets it once its smoothers have settled on the
// given controls, and its transfer function is evaluated on the unit circle.  Nothing
// is run through the filters.  Not for the audio thread: construction evaluates the
// coefficients, the read-outs search over frequency.
//
// Definitions (gains in dB, frequencies in Hz at the host rate):
//   Low band, shelf: the gain at 20 Hz, and the corner where the dB gain is half of it.
//   Low band, bell: the extreme of the section's gain (peak when boosting, dip when
//     cutting) and the frequency where it lies.
//   Low-mid, high-mid and high bands: the same extreme of what the band adds to the
//     effect, which runs them between the oversampler's interpolation and decimation:
//     the band stage's response with the band as set over that with the band flat.
//     Near half the host rate the folded images make this differ from the section alone.
//   A band whose gain control sits at flat names the frequency it would act on: the
//     frequency is then evaluated at full boost.
//   High-pass, low-pass: the −3 dB frequency (below the high-pass's passband rise, above
//     the low-pass's one).
//   Output gain: 20·log10 of the linear gain.

struct BandReading {
  double gainDb;
  double hz;
};

// The frequencies of a curve at one rate with everything about them that does not
// depend on the controls (the oversampler's response at each folded image, the unit
// phasors), so that an editor recomputing its curve on every change pays only for
// the filter sections.
class CurvePlan {
 public:
  CurvePlan(double fs, const double* hz, int n);
  double Rate() const { return mFs; }
  int Size() const { return static_cast<int>(mPoints.size()); }

 private:
  friend class Calibration;
  struct Image {
    std::complex<double> fixed;  // hold · interpolator · decimator · e^(j7θ) / 8
    std::complex<double> z;      // e^(−jθ)
  };
  struct Point {
    std::complex<double> z;  // e^(−jw) at the host rate
    Image images[8];
  };
  double mFs;
  std::vector<Point> mPoints;
};

class Calibration {
 public:
  // Sections of the four bands (at their own rates) and both pass filters for c; the
  // switches and the output gain are taken from c as the chain reads them.
  explicit Calibration(const ChainControls& c);

  // The low band as selected by c.bell.
  BandReading Low() const;
  BandReading LowMid() const;
  BandReading HighMid() const;
  BandReading High() const;
  double HighPassHz() const;
  double LowPassHz() const;
  double OutputDb() const;

  // Magnitude in dB of the whole effect at hz (below half the host rate): the pass
  // filters when engaged, the low band, the oversampled bands with the oversampler's
  // own interpolation and decimation, and the output gain; unity in bypass.  The
  // saturation stage, whose level at −90 dB depends on the signal, is left out.
  double MagnitudeDb(double hz) const;
  // The same at n frequencies: db[i] for hz[i].
  void Curve(const double* hz, double* db, int n) const;
  // The same at a plan's frequencies (made for this rate): db[i] for point i.
  void Curve(const CurvePlan& plan, double* db) const;

  // Gains in dB at hz of the low section, of what each oversampled band adds to the
  // effect, and of both pass filters together.
  double LowDb(double hz) const;
  double LowMidDb(double hz) const;
  double HighMidDb(double hz) const;
  double HighDb(double hz) const;
  double PassDb(double hz) const;

  const ChainControls& Controls() const { return mControls; }

  // The gain position at which a band is flat.
  static constexpr double kFlatGain = 0.5;

 private:
  const ThirdOrderFields& LowSection() const;
  double StageBandDb(int band, const ThirdOrderFields& section, double hz) const;
  BandReading StageBand(int band, const ThirdOrderFields& set, const ThirdOrderFields& boost,
                        double g) const;

  ChainControls mControls;
  L32S mShelf, mShelfBoost;
  L32P mBell, mBellBoost;
  LM32P mLowMid, mLowMidBoost;
  HM32P mHighMid, mHighMidBoost;
  H32P mHigh, mHighBoost;
  ThirdOrderFields mFlat[3];  // the three oversampled bands at flat gain
  HPP32 mHighPass;
  LPP32 mLowPass;
};
