#pragma once

// Shared by the audio commands: parameter settings from the command line, an effect
// configured as a host would configure it, and runs through its float path.
#include <memory>
#include <string>
#include <vector>

#include "Vantrose.h"

// One --set NAME=VALUE: a parameter index and a value in the parameter's own units.
struct ParamSetting {
  int idx;
  double value;
};

// Parses NAME=VALUE, NAME being a parameter's name or its index.  A value outside the
// parameter's range, an unknown name or a malformed text fail with a message in *error.
bool ParseParamSetting(const IPluginBase& plug, const char* text, ParamSetting* out,
                       std::string* error);

// The sample rates the effect takes, for messages: "8000 to 768000 Hz".
std::string RateRangeText();

// Parses the whole of text as a number; false for anything else.
bool ParseNumber(const char* text, double* out);
bool ParseInt(const char* text, int* out);

// The effect at rate fs for 1 or 2 channels and the given block size, with the
// settings stored as a host's parameter call stores them (rounded to single precision,
// then clamped) and OnParamChange called for every parameter, as initialisation does.
std::unique_ptr<Vantrose> MakeConfiguredEffect(double fs, int blockSize, int channels,
                                               const std::vector<ParamSetting>& settings);

// Runs nFrames (at most the block size) through the effect's float path under its lock:
// in and out hold one planar buffer per channel.
void ProcessFloatBlock(Vantrose& fx, float* const* in, float* const* out, int channels,
                       int nFrames);

// The settings as "NAME=VALUE ..." for messages ("defaults" when empty).
std::string DescribeSettings(const IPluginBase& plug, const std::vector<ParamSetting>& settings);

// Peak and mean-square level of one channel, accumulated sample by sample.
struct LevelMeter {
  double peak = 0.0;
  double sumSquares = 0.0;
  long long count = 0;

  void Add(double v) {
    const double a = v < 0 ? -v : v;
    if (a > peak) peak = a;
    sumSquares += v * v;
    ++count;
  }
  double PeakDb() const;
  double RmsDb() const;
};
