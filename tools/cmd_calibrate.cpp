// vantrose calibrate: what every knob means in physical units, position by position,
// from the effect's own filter coefficients; the other controls at their defaults.
#include <cstdio>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "Commands.h"
#include "Vantrose.h"
#include "VantroseReadout.h"

namespace {

constexpr int kSteps = 20;  // positions 0, 0.05 ... 1

struct CalibrateArgs {
  double rate = VantroseReadout::kDefaultRate;
  bool json = false;
};

CommandApp CalibrateApp(CalibrateArgs* a) {
  CommandApp app = NewCommandApp(
      "calibrate", "every knob's value in dB or Hz at positions 0, 0.05 ... 1, from the filters");
  AddRateOption(*app, &a->rate);
  app->add_flag("--json", a->json,
                "print one JSON document: rate_hz, and per knob its unit and values by position");
  return app;
}

// The knob's value at each position, as numbers (JSON) or as the read-outs print them.
nlohmann::json KnobJson(const IPluginBase& fx, int idx, double rate) {
  const VantroseReadout::Unit unit = VantroseReadout::UnitOf(idx);
  nlohmann::json values = nlohmann::json::array();
  for (int step = 0; step <= kSteps; ++step) {
    const double pos = double(step) / kSteps;
    values.push_back({{"position", pos},
                      {unit == VantroseReadout::Unit::kDb ? "db" : "hz",
                       VantroseReadout::KnobValue(fx, idx, rate, pos)}});
  }
  return {{"name", fx.GetParam(idx)->GetNameForHost()},
          {"index", idx},
          {"unit", unit == VantroseReadout::Unit::kDb ? "dB" : "Hz"},
          {"values", values}};
}

}  // namespace

CommandApp CalibrateCommandLine() {
  static CalibrateArgs unused;
  return CalibrateApp(&unused);
}

int RunCalibrate(int argc, char** argv) {
  CalibrateArgs args;
  const int code = ParseCommandLine(*CalibrateApp(&args), argc, argv);
  if (code >= 0) return code;
  const double rate = args.rate;
  std::unique_ptr<Vantrose> fx(static_cast<Vantrose*>(MakePlug(nullptr)));
  if (args.json) {
    nlohmann::json doc = {{"rate_hz", rate}, {"knobs", nlohmann::json::array()}};
    for (int idx = 0; idx < fx->NParams(); ++idx) {
      if (VantroseReadout::IsKnob(idx)) doc["knobs"].push_back(KnobJson(*fx, idx, rate));
    }
    std::printf("%s\n", doc.dump(2).c_str());
    return 0;
  }
  std::printf("Vantrose calibration at %g Hz, other controls at their defaults\n", rate);
  std::printf("(a frequency whose band is flat is read at the band's full boost)\n\n");
  std::printf("%5s", "pos");
  for (int idx = 0; idx < fx->NParams(); ++idx) {
    if (VantroseReadout::IsKnob(idx)) std::printf(" %9s", fx->GetParam(idx)->GetNameForHost());
  }
  std::printf("\n");
  for (int step = 0; step <= kSteps; ++step) {
    const double pos = double(step) / kSteps;
    std::printf("%5.2f", pos);
    for (int idx = 0; idx < fx->NParams(); ++idx) {
      if (!VantroseReadout::IsKnob(idx)) continue;
      const double v = VantroseReadout::KnobValue(*fx, idx, rate, pos);
      std::printf(" %9s", VantroseReadout::FormatValue(VantroseReadout::UnitOf(idx), v).c_str());
    }
    std::printf("\n");
  }
  return 0;
}
