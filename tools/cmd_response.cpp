// vantrose response: the magnitude response of the whole effect at given settings,
// measured by running the effect itself once its smoothers have settled.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "Commands.h"
#include "EffectSetup.h"
#include "OutputPath.h"
#include "Response.h"
#include "ResponsePlot.h"
#include "SampleRateRange.h"

namespace {

struct ResponseArgs {
  double rate = 44100.0;
  bool csv = false, compare = false, json = false;
  std::string png;
  std::vector<ParamSetting> settings;
};

CommandApp ResponseApp(ResponseArgs* a) {
  CommandApp app = NewCommandApp(
      "response", "the effect's magnitude response, measured by running the effect itself");
  AddRateOption(*app, &a->rate);
  AddSetOption(*app, &a->settings);
  CLI::Option* csv = app->add_flag("--csv", a->csv, "print hz,db lines only");
  app->add_flag("--json", a->json, "print one JSON document: rate_hz, settings, points of hz, db")
      ->excludes(csv);
  CLI::Option* png =
      app->add_option("--png", a->png, "also draw the response as a picture")
          ->type_name("OUT.png")
          ->check(CLI::Validator(
              [](std::string& v) { return v.empty() ? std::string("needs a file name") : ""; }, "",
              "file name"));
  app->add_flag("--compare", a->compare, "with --png: the defaults' response faintly beneath")
      ->needs(png);
  return app;
}

}  // namespace

CommandApp ResponseCommandLine() {
  static ResponseArgs unused;
  return ResponseApp(&unused);
}

int RunResponse(int argc, char** argv) {
  ResponseArgs args;
  const int code = ParseCommandLine(*ResponseApp(&args), argc, argv);
  if (code >= 0) return code;
  const double rate = args.rate;
  const std::vector<ParamSetting>& settings = args.settings;
  const std::string& png = args.png;
  std::string pathError;
  if (!png.empty() && !CheckOutputPath(png, &pathError)) {
    std::fprintf(stderr, "vantrose response: --png: %s\n", pathError.c_str());
    return kExitUsage;
  }

  std::unique_ptr<Vantrose> fx = MakeConfiguredEffect(rate, 512, 2, settings);
  const double top = std::min(20000.0, 0.49 * rate);
  const std::vector<ResponsePoint> points = MeasureResponse(*fx, LogFrequencies(20.0, top, 12));
  if (!png.empty()) {
    std::string error;
    if (!WriteResponsePlot(MakeResponsePlot(*fx, rate, settings, points, args.compare), png,
                           &error)) {
      std::fprintf(stderr, "vantrose response: %s\n", error.c_str());
      return kExitUsage;
    }
  }
  if (args.json) {
    nlohmann::json doc = {{"rate_hz", rate},
                          {"settings", DescribeSettings(*fx, settings)},
                          {"points_per_octave", 12}};
    if (!png.empty()) doc["plot"] = png;
    nlohmann::json& list = doc["points"] = nlohmann::json::array();
    for (const ResponsePoint& p : points)
      list.push_back({{"hz", p.hz}, {"db", p.db}});
    std::printf("%s\n", doc.dump(2).c_str());
    return 0;
  }
  if (args.csv) {
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
