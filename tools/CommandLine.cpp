#include "CommandLine.h"

#include <cstdio>

#include "Commands.h"
#include "SampleRateRange.h"
#include "Vantrose.h"

CommandApp NewCommandApp(const std::string& name, const std::string& description) {
  auto app = std::make_unique<CLI::App>(description, "vantrose " + name);
  app->get_formatter()->column_width(30);
  app->get_formatter()->label("REQUIRED", "");
  return app;
}

int ParseCommandLine(CLI::App& app, int argc, char** argv) {
  std::vector<std::string> args(argv, argv + argc);
  std::reverse(args.begin(), args.end());  // the order CLI11 takes them in
  try {
    app.parse(args);
  } catch (const CLI::CallForHelp&) {
    std::printf("%s", app.help().c_str());
    return 0;
  } catch (const CLI::ParseError& e) {
    std::fprintf(stderr, "%s: %s\nRun '%s --help' for the options.\n", app.get_name().c_str(),
                 e.what(), app.get_name().c_str());
    return kExitUsage;
  }
  return -1;
}

CLI::Option* AddSetOption(CLI::App& app, std::vector<ParamSetting>* settings) {
  // Checked against a throwaway instance: names, indices and ranges are the effect's.
  auto parse = [settings](const std::vector<std::string>& values) {
    static std::unique_ptr<Vantrose> probe(static_cast<Vantrose*>(MakePlug(nullptr)));
    for (const std::string& text : values) {
      ParamSetting s;
      std::string error;
      if (!ParseParamSetting(*probe, text.c_str(), &s, &error))
        throw CLI::ValidationError("--set", error);
      settings->push_back(s);
    }
    return true;
  };
  return app
      .add_option("--set", CLI::callback_t(parse),
                  "a parameter by name or index, in its own units (repeatable)")
      ->type_name("NAME=VALUE")
      ->type_size(1)
      ->expected(1)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
}

std::vector<std::string> OptionNames(const CLI::App& app) {
  std::vector<std::string> names;
  for (const CLI::Option* o : app.get_options()) {
    for (const std::string& n : o->get_lnames())
      names.push_back("--" + n);
  }
  return names;
}

CLI::Option* AddRateOption(CLI::App& app, double* rate) {
  return app.add_option("--rate", *rate, "sample rate in Hz, " + RateRangeText())
      ->type_name("R")
      ->capture_default_str()
      ->check(CLI::Validator(
          [](std::string& v) {
            double r = 0;
            return ParseNumber(v.c_str(), &r) && IsSupportedSampleRate(r)
                       ? std::string()
                       : "value " + v + " is not a sample rate from " + RateRangeText();
          },
          "", "sample rate"));
}
