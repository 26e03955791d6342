// vantrose_lv2_ttl DIR: writes the bundle's Turtle files into DIR from the effect's own
// parameter table and presets, so the description can never disagree with the code.
#include <cmath>
#include <cstdio>

#include "IPluginLV2.h"
#include "TurtleWriter.h"
#include "VantroseReadout.h"

namespace {

constexpr double kScaleRate = 48000.0;
const IPluginBase* gPlug = nullptr;

// The label a host shows for a round value: "50 Hz", "1 kHz", "+6 dB", "0 dB".
void RoundLabel(VantroseReadout::Unit unit, double v, char* out, size_t size) {
  if (unit == VantroseReadout::Unit::kDb) {
    std::snprintf(out, size, v == 0.0 ? "0 dB" : "%+g dB", v);
  } else if (v < 1000.0) {
    std::snprintf(out, size, "%g Hz", v);
  } else {
    std::snprintf(out, size, "%g kHz", v / 1000.0);
  }
}

// Scale points where a knob's read-out at 48 kHz is a round value, the other controls at
// their defaults: the knob position found by the read-outs' own bisection, kept only
// where the read-out there is that value (within 0.05 dB or 0.5 %).
int ScalePoints(int idx, LV2ScalePoint* out, int max) {
  if (!gPlug || !VantroseReadout::IsKnob(idx)) return 0;
  static const double kHz[] = {20,   30,   50,   100,  200,   300,   500,
                               1000, 2000, 3000, 5000, 10000, 15000, 20000};
  static const double kDb[] = {-15, -12, -9, -6, -3, 0, 3, 6, 9, 12, 15};
  const VantroseReadout::Unit unit = VantroseReadout::UnitOf(idx);
  const bool db = unit == VantroseReadout::Unit::kDb;
  const double* values = db ? kDb : kHz;
  const int n = db ? sizeof kDb / sizeof kDb[0] : sizeof kHz / sizeof kHz[0];
  int count = 0;
  for (int i = 0; i < n && count < max; ++i) {
    char typed[32];
    std::snprintf(typed, sizeof typed, db ? "%+g dB" : "%g Hz", values[i]);
    double position = 0.0;
    if (VantroseReadout::ParseTyped(*gPlug, idx, kScaleRate, typed, &position) !=
        VantroseReadout::Typed::kApplied)
      continue;
    const double value = gPlug->GetParam(idx)->GetNonNormalized(position);
    const double reading = VantroseReadout::ValueReading(*gPlug, idx, kScaleRate, value);
    const bool close =
        db ? std::fabs(reading - values[i]) <= 0.05 : std::fabs(reading / values[i] - 1.0) <= 0.005;
    if (!close) continue;
    out[count].value = value;
    RoundLabel(unit, values[i], out[count].label, sizeof out[count].label);
    ++count;
  }
  return count;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: vantrose_lv2_ttl <bundle directory>\n");
    return 2;
  }
  IPluginLV2* plug = static_cast<IPluginLV2*>(MakePlug(nullptr));
  plug->PruneUninitializedPresets();
  gPlug = plug;
  bool ok = WriteBundleTurtle(*plug, argv[1], ScalePoints);
  delete plug;
  if (!ok) {
    std::fprintf(stderr, "vantrose_lv2_ttl: can't write the Turtle files in %s\n", argv[1]);
    return 1;
  }
  return 0;
}
