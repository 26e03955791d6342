// The vantrose program: command dispatch, help, version and the completion helper.
#include <ft2build.h>
#include FT_FREETYPE_H
#include <png.h>
#include <sndfile.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "Commands.h"
#include "IPluginBase.h"
#include "SimdDispatch.h"
#include "VantroseIdentity.h"

const CommandEntry kCommandTable[kNumCommands] = {
    {"info", RunInfo, InfoCommandLine},
    {"demo", RunDemo, DemoCommandLine},
    {"process", RunProcess, ProcessCommandLine},
    {"response", RunResponse, ResponseCommandLine},
    {"calibrate", RunCalibrate, CalibrateCommandLine},
    {"bench", RunBench, BenchCommandLine},
    {"preset", RunPreset, PresetCommandLine},
    {"validate", RunValidate, ValidateCommandLine},
    {"snapshot", RunSnapshot, SnapshotCommandLine},
};

namespace {

const CommandEntry* Find(const char* name) {
  for (const CommandEntry& c : kCommandTable) {
    if (std::strcmp(c.name, name) == 0) return &c;
  }
  return nullptr;
}

// The list of commands, each with the description its command line declares.
std::string Usage() {
  std::string text =
      "Usage: vantrose COMMAND [OPTIONS] [ARGUMENTS]\n"
      "       vantrose help [COMMAND] | --help | --version\n\n"
      "The Vantrose equaliser from the command line: process sound files, measure and\n"
      "draw its response, benchmark it, validate its Audio Unit, snapshot its panel.\n\n"
      "Commands:\n";
  for (const CommandEntry& c : kCommandTable) {
    char line[160];
    std::snprintf(line, sizeof line, "  %-10s %s\n", c.name,
                  c.commandLine()->get_description().c_str());
    text += line;
  }
  text +=
      "\nRun 'vantrose COMMAND --help' (or 'vantrose help COMMAND') for its options.\n"
      "Exit status: 0 success, 1 a failed validation, 2 bad usage or input.\n";
  return text;
}

std::string VersionNumber() {
  const int v = VantroseIdentity::kVendorVersion;
  return std::to_string(v >> 16) + "." + std::to_string((v >> 8) & 0xFF) + "." +
         std::to_string(v & 0xFF);
}

int PrintVersion() {
  std::printf("vantrose %s\n", VersionNumber().c_str());
  const SimdChoice simd = ChooseSimdPath(std::getenv("VANTROSE_SIMD"));
  std::printf("vector path: %s%s (this processor offers", SimdPathName(simd.path),
              simd.refused ? ", VANTROSE_SIMD refused" : "");
  for (int p = 0; p < kSimdPathCount; ++p) {
    if (CpuSupports(static_cast<SimdPath>(p)))
      std::printf(" %s", SimdPathName(static_cast<SimdPath>(p)));
  }
  FT_Library ft = nullptr;
  FT_Int major = 0, minor = 0, patch = 0;
  if (FT_Init_FreeType(&ft) == 0) {
    FT_Library_Version(ft, &major, &minor, &patch);
    FT_Done_FreeType(ft);
  }
  std::printf(")\nlibpng %s, %s, FreeType %d.%d.%d\n", png_get_libpng_ver(nullptr),
              sf_version_string(), major, minor, patch);
  return 0;
}

// The candidates for the word being completed, one a line, given the words before it:
// commands first, then the command's options, parameter names after --set.
int Complete(int argc, char** argv) {
  if (argc == 0) {
    for (const CommandEntry& c : kCommandTable)
      std::printf("%s\n", c.name);
    std::printf("help\n--help\n--version\n");
    return 0;
  }
  const CommandEntry* c = Find(argv[0]);
  if (!c && std::strcmp(argv[0], "help") == 0 && argc == 1) return Complete(0, argv);
  if (!c) return 0;
  if (std::strcmp(argv[argc - 1], "--set") == 0) {
    std::unique_ptr<IPluginBase> probe(MakePlug(nullptr));
    for (int i = 0; i < probe->NParams(); ++i) {
      const char* name = probe->GetParam(i)->GetNameForHost();
      std::printf("%s=\n", *name ? name : std::to_string(i).c_str());
    }
    return 0;
  }
  CommandApp app = c->commandLine();
  CLI::App* scope = app.get();
  for (int i = 1; i < argc; ++i) {
    for (CLI::App* sub : scope->get_subcommands({})) {
      if (sub->get_name() == argv[i]) scope = sub;
    }
  }
  for (CLI::App* sub : scope->get_subcommands({}))
    std::printf("%s\n", sub->get_name().c_str());
  for (const std::string& o : OptionNames(*scope))
    std::printf("%s\n", o.c_str());
  return 0;
}

}  // namespace

int VantroseMain(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "%s", Usage().c_str());
    return kExitUsage;
  }
  const std::string first = argv[1];
  if (first == "--help" || first == "-h" || (first == "help" && argc == 2)) {
    std::printf("%s", Usage().c_str());
    return 0;
  }
  if (first == "--version") return PrintVersion();
  if (first == "__complete") return Complete(argc - 2, argv + 2);
  if (first == "help") {
    const CommandEntry* c = Find(argv[2]);
    if (!c || argc > 3) {
      std::fprintf(stderr, "vantrose help: no command '%s'\n%s", argv[argc > 3 ? 3 : 2],
                   Usage().c_str());
      return kExitUsage;
    }
    std::printf("%s", c->commandLine()->help().c_str());
    return 0;
  }
  const CommandEntry* c = Find(first.c_str());
  if (!c) {
    std::fprintf(stderr, "vantrose: unknown command '%s'\n%s", first.c_str(), Usage().c_str());
    return kExitUsage;
  }
  // A VANTROSE_SIMD request this processor cannot honour is refused rather than
  // measured or processed on another path.
  const SimdChoice simd = ChooseSimdPath(std::getenv("VANTROSE_SIMD"));
  if (simd.refused) {
    std::fprintf(stderr, "vantrose: refused: %s\n", simd.message.c_str());
    return kExitUsage;
  }
  return c->run(argc - 2, argv + 2);
}
