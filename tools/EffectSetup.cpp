#include "EffectSetup.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "SampleRateRange.h"

bool ParseNumber(const char* text, double* out) {
  if (!text || !*text) return false;
  char* end = nullptr;
  errno = 0;
  const double v = std::strtod(text, &end);
  if (*end != '\0' || errno == ERANGE || std::isnan(v)) return false;
  *out = v;
  return true;
}

bool ParseInt(const char* text, int* out) {
  if (!text || !*text) return false;
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(text, &end, 10);
  if (*end != '\0' || errno == ERANGE || v < -2147483647L || v > 2147483647L) return false;
  *out = static_cast<int>(v);
  return true;
}

namespace {

// A parameter by its name, or by its index written as digits.
int FindParam(const IPluginBase& plug, const std::string& name) {
  for (int i = 0; i < plug.NParams(); ++i) {
    if (*plug.GetParam(i)->GetNameForHost() && name == plug.GetParam(i)->GetNameForHost()) {
      return i;
    }
  }
  int idx;
  if (name.find_first_not_of("0123456789") == std::string::npos && ParseInt(name.c_str(), &idx) &&
      idx < plug.NParams()) {
    return idx;
  }
  return -1;
}

std::string ParamLabel(const IPluginBase& plug, int idx) {
  const char* name = plug.GetParam(idx)->GetNameForHost();
  return *name ? name : std::to_string(idx);
}

}  // namespace

bool ParseParamSetting(const IPluginBase& plug, const char* text, ParamSetting* out,
                       std::string* error) {
  const char* eq = std::strchr(text, '=');
  if (!eq || eq == text) {
    *error = std::string("expected NAME=VALUE, got '") + text + "'";
    return false;
  }
  const std::string name(text, eq - text);
  const int idx = FindParam(plug, name);
  if (idx < 0) {
    *error = "unknown parameter '" + name + "' (names: ";
    for (int i = 0; i < plug.NParams(); ++i) {
      *error += (i ? ", " : "") + ParamLabel(plug, i);
    }
    *error += "; or an index 0 to " + std::to_string(plug.NParams() - 1) + ")";
    return false;
  }
  double value;
  if (!ParseNumber(eq + 1, &value)) {
    *error = "value of " + name + " is not a number: '" + std::string(eq + 1) + "'";
    return false;
  }
  // A host's parameter call carries single precision: a value is in range when its
  // single-precision rounding is, and is then stored rounded and clamped.
  const IParam* p = plug.GetParam(idx);
  const float stored = static_cast<float>(value);
  if (!(stored >= static_cast<float>(p->GetMin()) && stored <= static_cast<float>(p->GetMax()))) {
    char msg[200];
    std::snprintf(msg, sizeof msg, "value %.40s of %s is outside its range %g to %g", eq + 1,
                  ParamLabel(plug, idx).c_str(), p->GetMin(), p->GetMax());
    *error = msg;
    return false;
  }
  *out = {idx, value};
  return true;
}

std::string RateRangeText() {
  char text[64];
  std::snprintf(text, sizeof text, "%.0f to %.0f Hz", kMinSampleRate, kMaxSampleRate);
  return text;
}

std::unique_ptr<Vantrose> MakeConfiguredEffect(double fs, int blockSize, int channels,
                                               const std::vector<ParamSetting>& settings) {
  std::unique_ptr<Vantrose> fx(static_cast<Vantrose*>(MakePlug(nullptr)));
  RecursiveMutex::ScopedLock lock(fx->Mutex());
  fx->SetSampleRate(fs);
  fx->SetBlockSize(blockSize);
  fx->SetInputChannelConnections(0, channels, true);
  fx->SetInputChannelConnections(channels, 2 - channels, false);
  fx->SetOutputChannelConnections(0, channels, true);
  fx->SetOutputChannelConnections(channels, 2 - channels, false);
  // A host's parameter value is a single-precision float; the wrapper clamps it.
  for (const ParamSetting& s : settings) {
    fx->GetParam(s.idx)->SetValue(static_cast<float>(s.value));
  }
  for (int i = 0; i < fx->NParams(); ++i)
    fx->OnParamChange(i);
  return fx;
}

// Audio thread: the float path a host's render call takes.
void ProcessFloatBlock(Vantrose& fx, float* const* in, float* const* out, int channels,
                       int nFrames) {
  RecursiveMutex::ScopedLock lock(fx.Mutex());
  fx.AttachInputBuffers(0, channels, const_cast<float**>(in), nFrames);
  fx.AttachOutputBuffers(0, channels, const_cast<float**>(out));
  fx.ProcessBuffers(0.0f, nFrames);
}

std::string DescribeSettings(const IPluginBase& plug, const std::vector<ParamSetting>& settings) {
  if (settings.empty()) return "defaults";
  std::string s;
  for (const ParamSetting& p : settings) {
    char value[32];
    std::snprintf(value, sizeof value, "%g", p.value);
    s += (s.empty() ? "" : " ") + ParamLabel(plug, p.idx) + "=" + value;
  }
  return s;
}

double LevelMeter::PeakDb() const {
  return peak > 0 ? 20.0 * std::log10(peak) : -INFINITY;
}

double LevelMeter::RmsDb() const {
  if (count == 0 || sumSquares <= 0) return -INFINITY;
  return 10.0 * std::log10(sumSquares / count);
}
