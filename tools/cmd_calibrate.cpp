// vantrose calibrate: what every knob means in physical units, position by position,
// from the effect's own filter coefficients; the other controls at their defaults.
#include <cstdio>
#include <memory>
#include <string>

#include "Commands.h"
#include "EffectSetup.h"
#include "SampleRateRange.h"
#include "Vantrose.h"
#include "VantroseReadout.h"

namespace {

const char kUsage[] =
    "usage: vantrose calibrate [--rate R]\n"
    "  --rate R   sample rate in Hz (default 48000)\n";

int UsageError(const std::string& message) {
  std::fprintf(stderr, "vantrose calibrate: %s\n%s", message.c_str(), kUsage);
  return kExitUsage;
}

constexpr int kSteps = 20;  // positions 0, 0.05 ... 1

}  // namespace

int RunCalibrate(int argc, char** argv) {
  double rate = VantroseReadout::kDefaultRate;
  for (int i = 0; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--rate") {
      if (i + 1 >= argc) return UsageError("--rate needs a value");
      if (!ParseNumber(argv[++i], &rate) || !IsSupportedSampleRate(rate))
        return UsageError("--rate takes a sample rate from " + RateRangeText());
    } else {
      return UsageError("unexpected argument '" + a + "'");
    }
  }

  std::unique_ptr<Vantrose> fx(static_cast<Vantrose*>(MakePlug(nullptr)));
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
