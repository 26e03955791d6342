// The calibration read from the filters' coefficients against the effect itself: every
// read-out and every point of the curve agree with the impulse response measured by
// running the effect, over a table of settings at three rates.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "Calibration.h"
#include "EffectSetup.h"
#include "Response.h"

namespace {

using P = VantroseParams;

constexpr double kDbTolerance = 0.05;
constexpr double kHzTolerance = 0.01;    // relative
constexpr double kCurveTolerance = 0.1;  // dB

// One row of the table: the settings and the knob whose read-out is checked (a band's
// gain knob checks the band's gain and frequency).
struct Case {
  const char* name;
  std::vector<ParamSetting> settings;
  int knob;
};

const Case kCases[] = {
    {"shelf boost", {{P::kLGain, 0.8}, {P::kLFreq, 0.5}}, P::kLGain},
    {"shelf cut high", {{P::kLGain, 0.1}, {P::kLFreq, 0.9}}, P::kLGain},
    {"bell boost", {{P::kBell, 1}, {P::kLGain, 1.0}, {P::kLFreq, 0.3}}, P::kLGain},
    {"bell cut", {{P::kBell, 1}, {P::kLGain, 0.2}, {P::kLFreq, 0.983}}, P::kLGain},
    {"low-mid boost low", {{P::kLMGain, 1.0}, {P::kLMFreq, 0.1}}, P::kLMGain},
    {"low-mid cut high", {{P::kLMGain, 0.15}, {P::kLMFreq, 0.983}}, P::kLMGain},
    {"high-mid boost", {{P::kHMGain, 0.85}, {P::kHMFreq, 0.6}}, P::kHMGain},
    {"high-mid cut", {{P::kHMGain, 0.0}, {P::kHMFreq, 0.2}}, P::kHMGain},
    {"high boost top", {{P::kHGain, 1.0}, {P::kHFreq, 0.983}}, P::kHGain},
    {"high cut", {{P::kHGain, 0.3}, {P::kHFreq, 0.4}, {P::kLMGain, 0.9}}, P::kHGain},
    {"high-pass", {{P::kHPLP, 1}, {P::kHP, 0.3}}, P::kHP},
    {"high-pass top", {{P::kHPLP, 1}, {P::kHP, 0.9}, {P::kLP, 1.0}}, P::kHP},
    {"low-pass", {{P::kHPLP, 1}, {P::kLP, 0.6}}, P::kLP},
    {"low-pass bottom", {{P::kHPLP, 1}, {P::kLP, 0.2}}, P::kLP},
    {"output and all bands",
     {{P::kGain, -7.5},
      {P::kLGain, 0.7},
      {P::kLMGain, 0.3},
      {P::kHMGain, 0.6},
      {P::kHGain, 0.9},
      {P::kOver, 1}},
     P::kGain},
};

const double kRates[] = {44100.0, 48000.0, 96000.0};

// The worst disagreements over the table, printed once at the end.
struct Worst {
  double db = 0.0, hz = 0.0, curve = 0.0;
  void Db(double a, double b) { db = std::max(db, std::fabs(a - b)); }
  void Hz(double measured, double readout) {
    hz = std::max(hz, std::fabs(measured / readout - 1.0));
  }
} worst;

class WorstReport : public ::testing::Environment {
  void TearDown() override {
    std::printf(
        "worst disagreement with the measured response: read-outs %.4f dB, %.3f %% in "
        "frequency; curve %.4f dB\n",
        worst.db, 100.0 * worst.hz, worst.curve);
  }
};
const auto* const kReport = ::testing::AddGlobalTestEnvironment(new WorstReport);

std::vector<double> Measure(double fs, const std::vector<ParamSetting>& settings,
                            const std::vector<double>& hz) {
  std::unique_ptr<Vantrose> fx = MakeConfiguredEffect(fs, 512, 2, settings);
  std::vector<double> db;
  for (const ResponsePoint& p : MeasureResponse(*fx, hz))
    db.push_back(p.db);
  return db;
}

// The settings with the knob's own stage taken out: a band at flat gain, the pass
// filters switched off, the output at 0 dB.
std::vector<ParamSetting> Without(std::vector<ParamSetting> s, int knob) {
  for (ParamSetting& p : s) {
    if (knob == P::kHP || knob == P::kLP) {
      if (p.idx == P::kHPLP) p.value = 0;
    } else if (p.idx == knob) {
      p.value = knob == P::kGain ? 0.0 : 0.5;
    }
  }
  return s;
}

// The knob's stage alone, in dB, at each of hz: the effect with it less the effect
// without it.
std::vector<double> StageDb(double fs, const Case& c, const std::vector<double>& hz) {
  const std::vector<double> with = Measure(fs, c.settings, hz);
  const std::vector<double> without = Measure(fs, Without(c.settings, c.knob), hz);
  std::vector<double> db(hz.size());
  for (size_t i = 0; i < hz.size(); ++i)
    db[i] = with[i] - without[i];
  return db;
}

// hz·(1 + k/1000) for k in −120..120: a fine grid around a read-out.
std::vector<double> Around(double hz) {
  std::vector<double> out;
  for (int k = -120; k <= 120; ++k)
    out.push_back(hz * (1.0 + k / 1000.0));
  return out;
}

// Where db first crosses target along the grid, interpolated; NaN if it does not.
double CrossingHz(const std::vector<double>& hz, const std::vector<double>& db, double target) {
  for (size_t i = 1; i < hz.size(); ++i) {
    if ((db[i - 1] < target) != (db[i] < target))
      return hz[i - 1] + (hz[i] - hz[i - 1]) * (target - db[i - 1]) / (db[i] - db[i - 1]);
  }
  return std::nan("");
}

class CalibrationAgreement : public ::testing::TestWithParam<std::tuple<Case, double>> {};

TEST_P(CalibrationAgreement, ReadoutsMatchTheMeasuredResponse) {
  const Case& c = std::get<0>(GetParam());
  const double fs = std::get<1>(GetParam());
  SCOPED_TRACE(std::string(c.name) + " at " + std::to_string(fs) + " Hz");
  std::unique_ptr<Vantrose> fx = MakeConfiguredEffect(fs, 512, 2, c.settings);
  const Calibration cal(fx->Controls());

  if (c.knob == P::kGain) {
    const std::vector<double> at1k = StageDb(fs, c, {1000.0});
    EXPECT_NEAR(cal.OutputDb(), at1k[0], kDbTolerance);
    worst.Db(cal.OutputDb(), at1k[0]);
  } else if (c.knob == P::kHP || c.knob == P::kLP) {
    const double readout = c.knob == P::kHP ? cal.HighPassHz() : cal.LowPassHz();
    const std::vector<double> hz = Around(readout);
    const double measured = CrossingHz(hz, StageDb(fs, c, hz), -3.0);
    EXPECT_NEAR(measured / readout, 1.0, kHzTolerance) << "read-out " << readout << " Hz";
    worst.Hz(measured, readout);
  } else {
    const BandReading r = c.knob == P::kLGain    ? cal.Low()
                          : c.knob == P::kLMGain ? cal.LowMid()
                          : c.knob == P::kHMGain ? cal.HighMid()
                                                 : cal.High();
    const bool shelf = c.knob == P::kLGain && fx->GetParam(P::kBell)->GetInt() == 0;
    std::vector<double> hz = Around(r.hz);
    std::vector<double> db = StageDb(fs, c, hz);
    if (shelf) {
      const double at20 = StageDb(fs, c, {20.0})[0];
      EXPECT_NEAR(r.gainDb, at20, kDbTolerance);
      const double measured = CrossingHz(hz, db, 0.5 * at20);
      EXPECT_NEAR(measured / r.hz, 1.0, kHzTolerance) << "read-out " << r.hz << " Hz";
      worst.Db(r.gainDb, at20);
      worst.Hz(measured, r.hz);
    } else {
      const double sign = r.gainDb < 0 ? -1.0 : 1.0;
      size_t best = 0;
      for (size_t i = 0; i < hz.size(); ++i) {
        if (sign * db[i] > sign * db[best]) best = i;
      }
      EXPECT_GT(best, 0u);
      EXPECT_LT(best, hz.size() - 1);
      EXPECT_NEAR(hz[best] / r.hz, 1.0, kHzTolerance) << "read-out " << r.hz << " Hz";
      EXPECT_NEAR(r.gainDb, db[hz.size() / 2], kDbTolerance);
      worst.Db(r.gainDb, db[hz.size() / 2]);
      worst.Hz(hz[best], r.hz);
    }
  }

  // The whole curve, twelve points per octave.
  const std::vector<double> hz = LogFrequencies(20.0, std::min(20000.0, 0.49 * fs), 12);
  const std::vector<double> measured = Measure(fs, c.settings, hz);
  std::vector<double> curve(hz.size());
  cal.Curve(hz.data(), curve.data(), static_cast<int>(hz.size()));
  for (size_t i = 0; i < hz.size(); ++i) {
    EXPECT_NEAR(curve[i], measured[i], kCurveTolerance) << "at " << hz[i] << " Hz";
    worst.curve = std::max(worst.curve, std::fabs(curve[i] - measured[i]));
  }
}

INSTANTIATE_TEST_SUITE_P(Table, CalibrationAgreement,
                         ::testing::Combine(::testing::ValuesIn(kCases),
                                            ::testing::ValuesIn(kRates)));

}  // namespace
