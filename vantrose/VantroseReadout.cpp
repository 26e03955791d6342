#include "VantroseReadout.h"

#include <cctype>
#include <cmath>
#include <cstdio>

#include "IPluginBase.h"
#include "VantroseControls.h"
#include "VantroseParams.h"

namespace VantroseReadout {

namespace {

using P = VantroseParams;

double RateOr(double fs) {
  return fs > 0.0 ? fs : kDefaultRate;
}

double Value(const IPluginBase& plug, int idx) {
  return plug.GetParam(idx)->GetValue();
}

// The physical value of knob idx under the given controls.
double Measure(const ChainControls& c, double outputDb, int idx) {
  const Calibration cal(c);
  switch (idx) {
    case P::kLGain:
      return cal.Low().gainDb;
    case P::kLFreq:
      return cal.Low().hz;
    case P::kLMGain:
      return cal.LowMid().gainDb;
    case P::kLMFreq:
      return cal.LowMid().hz;
    case P::kHMGain:
      return cal.HighMid().gainDb;
    case P::kHMFreq:
      return cal.HighMid().hz;
    case P::kHGain:
      return cal.High().gainDb;
    case P::kHFreq:
      return cal.High().hz;
    case P::kHP:
      return cal.HighPassHz();
    case P::kLP:
      return cal.LowPassHz();
    default:
      return outputDb;
  }
}

// The chain's control fed by knob idx.
double* ControlOf(ChainControls& c, int idx) {
  double* const controls[] = {&c.lGain, &c.lFreq, &c.lmGain, &c.lmFreq, &c.hmGain, &c.hmFreq,
                              &c.hGain, &c.hFreq, &c.hp,     &c.lp,     &c.gain};
  return controls[idx];
}

// A decimal number with an optional sign, independent of the process's locale; *end
// is set past it.  False when there are no digits.
bool ReadNumber(const std::string& s, size_t* pos, double* out) {
  size_t i = *pos;
  double sign = 1.0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) sign = s[i++] == '-' ? -1.0 : 1.0;
  double v = 0.0, scale = 1.0;
  bool digits = false, point = false;
  for (; i < s.size(); ++i) {
    const char ch = s[i];
    if (std::isdigit(static_cast<unsigned char>(ch))) {
      digits = true;
      if (point) {
        scale /= 10.0;
        v += (ch - '0') * scale;
      } else {
        v = v * 10.0 + (ch - '0');
      }
    } else if ((ch == '.' || ch == ',') && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (!digits) return false;
  *pos = i;
  *out = sign * v;
  return true;
}

std::string Lower(const std::string& s) {
  std::string out;
  for (char ch : s) {
    if (!std::isspace(static_cast<unsigned char>(ch)))
      out += static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  }
  return out;
}

// The typed text as a value in the knob's unit; false if it is not one.
bool ParseValue(Unit unit, int idx, const std::string& text, double* out) {
  std::string s = Lower(text);
  // The read-outs of the pass filters carry their name; typing it back is allowed.
  const char* label = idx == P::kHP ? "hp" : idx == P::kLP ? "lp" : nullptr;
  if (label && s.compare(0, 2, label) == 0) s.erase(0, 2);
  size_t pos = 0;
  double v = 0.0;
  if (!ReadNumber(s, &pos, &v)) return false;
  const std::string suffix = s.substr(pos);
  if (unit == Unit::kDb) {
    if (!suffix.empty() && suffix != "db") return false;
  } else if (suffix == "k" || suffix == "khz") {
    v *= 1000.0;
  } else if (!suffix.empty() && suffix != "hz") {
    return false;
  }
  if (!std::isfinite(v) || (unit == Unit::kHz && v <= 0.0)) return false;
  *out = v;
  return true;
}

}  // namespace

ChainControls ControlsOf(const IPluginBase& plug, double fs) {
  return ChainControlsOf(plug, RateOr(fs), ParamSource::kValues);
}

bool IsKnob(int paramIdx) {
  return paramIdx >= P::kLGain && paramIdx <= P::kGain;
}

Unit UnitOf(int paramIdx) {
  switch (paramIdx) {
    case P::kLFreq:
    case P::kLMFreq:
    case P::kHMFreq:
    case P::kHFreq:
    case P::kHP:
    case P::kLP:
      return Unit::kHz;
    default:
      return Unit::kDb;
  }
}

double ValueReading(const IPluginBase& plug, int paramIdx, double fs, double value) {
  if (paramIdx == P::kGain) return value;
  ChainControls c = ControlsOf(plug, fs);
  *ControlOf(c, paramIdx) = value;
  return Measure(c, Value(plug, P::kGain), paramIdx);
}

double KnobValue(const IPluginBase& plug, int paramIdx, double fs, double position) {
  return ValueReading(plug, paramIdx, fs, plug.GetParam(paramIdx)->GetNonNormalized(position));
}

std::string FormatValue(Unit unit, double value) {
  char text[32];
  if (unit == Unit::kDb) {
    // Rounded first, so that a hair below zero prints as 0.0, not −0.0.
    const double tenths = std::round(value * 10.0) / 10.0;
    if (tenths == 0.0) return "0.0 dB";
    std::snprintf(text, sizeof text, "%+.1f dB", tenths);
  } else if (value < 999.5) {
    std::snprintf(text, sizeof text, "%.0f Hz", value);
  } else if (value < 9995.0) {
    std::snprintf(text, sizeof text, "%.2f kHz", value / 1000.0);
  } else {
    std::snprintf(text, sizeof text, "%.1f kHz", value / 1000.0);
  }
  return text;
}

std::string Text(const IPluginBase& plug, int paramIdx, double fs) {
  const IParam* param = plug.GetParam(paramIdx);
  if (!param) return "";
  const bool on = param->GetInt() != 0;
  switch (paramIdx) {
    case P::kBell:
      return on ? "Bell" : "Shelf";
    case P::kHPLP:
      return on ? "Filters on" : "Filters off";
    case P::kBY:
      return on ? "Active" : "Bypassed";
    case P::kOver:
      return on ? "16x" : "4x";
    default:
      break;
  }
  if (!IsKnob(paramIdx)) return "";
  const bool pass = paramIdx == P::kHP || paramIdx == P::kLP;
  if (pass && plug.GetParam(P::kHPLP)->GetInt() != 1) return "off";
  const std::string value =
      FormatValue(UnitOf(paramIdx), ValueReading(plug, paramIdx, fs, param->GetValue()));
  if (!pass) return value;
  return (paramIdx == P::kHP ? "HP " : "LP ") + value;
}

std::string RangeText(const IPluginBase& plug, int paramIdx, double fs) {
  if (!IsKnob(paramIdx)) return "";
  const Unit unit = UnitOf(paramIdx);
  const double a = KnobValue(plug, paramIdx, fs, 0.0), b = KnobValue(plug, paramIdx, fs, 1.0);
  return FormatValue(unit, std::fmin(a, b)) + " to " + FormatValue(unit, std::fmax(a, b));
}

Typed ParseTyped(const IPluginBase& plug, int paramIdx, double fs, const std::string& text,
                 double* position) {
  if (!IsKnob(paramIdx)) return Typed::kGarbage;
  const Unit unit = UnitOf(paramIdx);
  double target = 0.0;
  if (!ParseValue(unit, paramIdx, text, &target)) return Typed::kGarbage;
  auto at = [&](double pos) { return KnobValue(plug, paramIdx, fs, pos); };
  double lo = 0.0, hi = 1.0;
  const double vLo = at(lo), vHi = at(hi);
  const bool rising = vHi >= vLo;
  // A typed value may be the rounded read-out of an end: half the last printed digit.
  const double slack = unit == Unit::kDb ? 0.05 : 0.005 * target;
  if (target < std::fmin(vLo, vHi) - slack || target > std::fmax(vLo, vHi) + slack)
    return Typed::kUnreachable;
  for (int i = 0; i < 48; ++i) {
    const double mid = 0.5 * (lo + hi);
    if ((at(mid) < target) == rising) {
      lo = mid;
    } else {
      hi = mid;
    }
  }
  double best = std::fabs(at(lo) - target) <= std::fabs(at(hi) - target) ? lo : hi;
  // The default position wins where it reads the same: typing "0" into a gain knob
  // gives exactly flat, not a position a hair away from it.
  const IParam* param = plug.GetParam(paramIdx);
  const double home = param->GetNormalized(param->GetDefault());
  if (FormatValue(unit, at(home)) == FormatValue(unit, target)) best = home;
  *position = best;
  return Typed::kApplied;
}

}  // namespace VantroseReadout
