// vantrose response: the magnitude response of the whole effect at given settings,
// measured by running the effect itself once its smoothers have settled.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "Commands.h"
#include "EffectSetup.h"
#include "OutputPath.h"
#include "Response.h"
#include "ResponsePlot.h"
#include "SampleRateRange.h"

namespace {

const char kUsage[] =
    "usage: vantrose response [--rate R] [--set NAME=VALUE]... [--csv] [--png OUT.png "
    "[--compare]]\n"
    "  --rate R           sample rate in Hz (default 44100)\n"
    "  --set NAME=VALUE   a parameter by name or index, in its own units\n"
    "  --csv              print hz,db lines only\n"
    "  --png OUT.png      also draw the response as a picture\n"
    "  --compare          with --png: the defaults' response faintly beneath\n";

int UsageError(const std::string& message) {
  std::fprintf(stderr, "vantrose response: %s\n%s", message.c_str(), kUsage);
  return kExitUsage;
}

}  // namespace

int RunResponse(int argc, char** argv) {
  double rate = 44100.0;
  bool csv = false, compare = false;
  std::string png;
  std::vector<ParamSetting> settings;
  std::unique_ptr<Vantrose> probe(static_cast<Vantrose*>(MakePlug(nullptr)));
  for (int i = 0; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--csv") {
      csv = true;
    } else if (a == "--compare") {
      compare = true;
    } else if (a == "--png") {
      if (i + 1 >= argc || !*argv[i + 1]) return UsageError("--png needs a file name");
      png = argv[++i];
    } else if (a == "--rate" || a == "--set") {
      if (i + 1 >= argc) return UsageError(a + " needs a value");
      const char* v = argv[++i];
      std::string error;
      ParamSetting p;
      if (a == "--set") {
        if (!ParseParamSetting(*probe, v, &p, &error)) return UsageError(error);
        settings.push_back(p);
      } else if (!ParseNumber(v, &rate) || !IsSupportedSampleRate(rate)) {
        return UsageError("--rate takes a sample rate from " + RateRangeText());
      }
    } else {
      return UsageError("unexpected argument '" + a + "'");
    }
  }

  if (compare && png.empty()) return UsageError("--compare needs --png");
  std::string pathError;
  if (!png.empty() && !CheckOutputPath(png, &pathError)) return UsageError("--png: " + pathError);

  std::unique_ptr<Vantrose> fx = MakeConfiguredEffect(rate, 512, 2, settings);
  const double top = std::min(20000.0, 0.49 * rate);
  const std::vector<ResponsePoint> points = MeasureResponse(*fx, LogFrequencies(20.0, top, 12));
  if (!png.empty()) {
    std::string error;
    if (!WriteResponsePlot(MakeResponsePlot(*fx, rate, settings, points, compare), png, &error)) {
      std::fprintf(stderr, "vantrose response: %s\n", error.c_str());
      return kExitUsage;
    }
  }
  if (csv) {
    std::printf("hz,db\n");
    for (const ResponsePoint& p : points)
      std::printf("%.2f,%.3f\n", p.hz, p.db);
    return 0;
  }
  std::printf("Vantrose response at %g Hz, %s (12 points per octave)\n", rate,
              DescribeSettings(*fx, settings).c_str());
  if (isatty(1)) {
    std::printf("\n");
    PlotResponse(stdout, points);
    std::printf("\n");
  }
  if (!png.empty()) std::printf("plot: %s\n", png.c_str());
  std::printf("%10s %9s\n", "Hz", "dB");
  for (const ResponsePoint& p : points)
    std::printf("%10.1f %9.3f\n", p.hz, p.db);
  return 0;
}
