// The command line as a whole: help everywhere, bad invocations named and refused with
// status 2, JSON that agrees with the text, completion candidates and the manual page.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "Commands.h"

namespace {

struct Result {
  int code;
  std::string out, err;
};

Result Vantrose(std::vector<std::string> args) {
  args.insert(args.begin(), "vantrose");
  std::vector<char*> argv;
  for (std::string& a : args)
    argv.push_back(&a[0]);
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  const int code = VantroseMain(static_cast<int>(argv.size()), argv.data());
  std::fflush(stdout);
  return {code, ::testing::internal::GetCapturedStdout(), ::testing::internal::GetCapturedStderr()};
}

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(CommandLine, HelpEverywhereExitsZeroAndNamesTheOptions) {
  for (const std::vector<std::string>& top : {std::vector<std::string>{"--help"}, {"help"}}) {
    const Result r = Vantrose(top);
    EXPECT_EQ(r.code, 0);
    for (const CommandEntry& c : kCommandTable)
      EXPECT_TRUE(Has(r.out, std::string("  ") + c.name + " ")) << c.name << "\n" << r.out;
  }
  for (const CommandEntry& c : kCommandTable) {
    const CommandApp app = c.commandLine();
    std::vector<std::string> options = OptionNames(*app);
    for (const Result& r : {Vantrose({c.name, "--help"}), Vantrose({"help", c.name})}) {
      EXPECT_EQ(r.code, 0) << c.name << ": " << r.err;
      EXPECT_TRUE(Has(r.out, std::string("vantrose ") + c.name)) << r.out;
      for (const std::string& o : options)
        EXPECT_TRUE(Has(r.out, o)) << c.name << " " << o << "\n" << r.out;
    }
    for (const CLI::App* sub : app->get_subcommands({}))
      EXPECT_TRUE(Has(Vantrose({c.name, "--help"}).out, sub->get_name())) << sub->get_name();
    EXPECT_GT(options.size() + app->get_subcommands({}).size(), 1u) << c.name;
  }
  const Result save = Vantrose({"preset", "save", "--help"});
  EXPECT_EQ(save.code, 0);
  EXPECT_TRUE(Has(save.out, "--name") && Has(save.out, "--set")) << save.out;
}

TEST(CommandLine, BadInvocationsExitTwoNamingTheCulprit) {
  const struct {
    std::vector<std::string> args;
    const char* culprit;
  } cases[] = {
      {{"process", "a.wav", "b.wav", "--fast"}, "--fast"},             // unknown option
      {{"process", "a.wav", "b.wav", "--block"}, "--block"},           // missing value
      {{"process", "a.wav", "b.wav", "--block", "0"}, "0 not in"},     // out of range
      {{"process", "a.wav", "b.wav", "--block", "12x"}, "12x"},        // wrong type
      {{"process", "a.wav", "b.wav", "c.wav"}, "c.wav"},               // extra positional
      {{"process", "a.wav"}, "OUT"},                                   // missing positional
      {{"process", "a.wav", "b.wav", "--set", "Treble=1"}, "Treble"},  // unknown parameter
      {{"response", "--rate", "7999"}, "7999"},
      {{"response", "--rate", "inf"}, "inf"},
      {{"response", "--set", "Gain=loud"}, "loud"},
      {{"response", "--compare"}, "--png"},
      {{"response", "--csv", "--json"}, "--json"},
      {{"bench", "--runs", "0"}, "0 not in"},
      {{"bench", "--seconds", "x"}, "x"},
      {{"validate", "--route", "sideways"}, "sideways"},
      {{"validate", "--section", "nope"}, "nope"},
      {{"snapshot", "o.png", "--wheel", "300,75,1001"}, "300,75,1001"},
      {{"snapshot", "o.png", "--drag", "0,0,2147483647,0"}, "2147483647"},
      {{"preset", "load", "x"}, "load"},
      {{"preset", "save"}, "FILE"},
      {{"info", "extra"}, "extra"},
      {{"demo", "--out"}, "--out"},
      {{"nonsense"}, "nonsense"},
      {{"help", "nonsense"}, "nonsense"},
  };
  for (const auto& c : cases) {
    const Result r = Vantrose(c.args);
    EXPECT_EQ(r.code, kExitUsage) << c.args[0] << " " << c.culprit;
    EXPECT_TRUE(Has(r.err, c.culprit)) << c.culprit << ": " << r.err;
    EXPECT_EQ(r.out, "") << c.culprit;
  }
}

TEST(CommandLine, VersionNamesTheNumberThePathAndTheLibraries) {
  const Result r = Vantrose({"--version"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out.rfind("vantrose 3.0.0\n", 0), 0u) << r.out;
  for (const char* part : {"vector path: ", "libpng 1.6.", "libsndfile-1.", "FreeType 2."})
    EXPECT_TRUE(Has(r.out, part)) << part << "\n" << r.out;
}

TEST(CommandLine, JsonAgreesWithTheText) {
  const Result infoJson = Vantrose({"info", "--json"}), info = Vantrose({"info"});
  ASSERT_EQ(infoJson.code, 0);
  const nlohmann::json doc = nlohmann::json::parse(infoJson.out);
  ASSERT_EQ(doc["parameters"].size(), 15u);
  EXPECT_EQ(doc["unique_id"], "Vnt1");
  EXPECT_TRUE(Has(info.out, "15 parameters")) << info.out;
  for (const nlohmann::json& p : doc["parameters"]) {
    char row[64];
    std::snprintf(
        row, sizeof row, "%3d  %-7s", p["index"].get<int>(),
        p["name"].get<std::string>().empty() ? "(none)" : p["name"].get<std::string>().c_str());
    EXPECT_TRUE(Has(info.out, row)) << row;
  }

  const Result csv = Vantrose({"response", "--set", "LGain=0.9", "--csv"});
  const Result json = Vantrose({"response", "--set", "LGain=0.9", "--json"});
  ASSERT_EQ(json.code, 0) << json.err;
  const nlohmann::json response = nlohmann::json::parse(json.out);
  EXPECT_EQ(response["rate_hz"], 44100.0);
  std::istringstream lines(csv.out);
  std::string line;
  std::getline(lines, line);  // hz,db
  size_t n = 0;
  for (; std::getline(lines, line); ++n) {
    ASSERT_LT(n, response["points"].size());
    const nlohmann::json& p = response["points"][n];
    double hz = 0, db = 0;
    ASSERT_EQ(std::sscanf(line.c_str(), "%lf,%lf", &hz, &db), 2) << line;
    EXPECT_NEAR(p["hz"].get<double>(), hz, 0.005) << line;
    EXPECT_NEAR(p["db"].get<double>(), db, 0.0005) << line;
  }
  EXPECT_EQ(n, response["points"].size());
  EXPECT_GT(n, 100u);

  const Result bench = Vantrose({"bench", "--runs", "1", "--seconds", "0.01", "--json"});
  ASSERT_EQ(bench.code, 0) << bench.err;
  const nlohmann::json figures = nlohmann::json::parse(bench.out);
  ASSERT_EQ(figures["figures"].size(), 4u);
  EXPECT_EQ(figures["figures"][3]["rate_hz"], 96000.0);
  EXPECT_EQ(figures["figures"][3]["oversampling_factor"], 16);
  EXPECT_GT(figures["figures"][0]["cycles_per_frame"].get<double>(), 0.0);
}

TEST(CommandLine, CompletionOffersCommandsOptionsAndParameterNames) {
  const struct {
    std::vector<std::string> words;
    const char* offered;
  } cases[] = {
      {{}, "process\n"},
      {{}, "--version\n"},
      {{"process"}, "--save-state\n"},
      {{"process", "--set"}, "LGain=\n"},
      {{"snapshot", "--set"}, "HPLP=\n"},
      {{"preset"}, "save\n"},
      {{"preset", "save"}, "--name\n"},
      {{"help"}, "snapshot\n"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"__complete"};
    args.insert(args.end(), c.words.begin(), c.words.end());
    const Result r = Vantrose(args);
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(Has(r.out, c.offered)) << c.offered << "\n" << r.out;
  }
}

TEST(CommandLine, ManualPageNamesEveryCommandAndItsOptions) {
  std::ifstream f(VANTROSE_BINARY_DIR "/vantrose.1");
  ASSERT_TRUE(f.good());
  std::ostringstream s;
  s << f.rdbuf();
  const std::string page = s.str();
  EXPECT_TRUE(Has(page, ".TH VANTROSE \"1\"")) << page.substr(0, 200);
  for (const CommandEntry& c : kCommandTable) {
    EXPECT_TRUE(Has(page, std::string(".SS ") + c.name + "\n")) << c.name;
    for (const std::string& o : OptionNames(*c.commandLine()))
      EXPECT_TRUE(Has(page, "\\-\\-" + o.substr(2)) || Has(page, o)) << c.name << " " << o;
  }
}

}  // namespace
