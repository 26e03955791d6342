// vantrose: the command-line face of the effect.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "Commands.h"
#include "SimdDispatch.h"

namespace {

struct Command {
  const char* name;
  int (*run)(int argc, char** argv);
  const char* usage;
};

const Command kCommands[] = {
    {"info", RunInfo, "info                 list the effect's identity and parameters"},
    {"demo", RunDemo, "demo [--out DIR]     synthesise a test track, process it at a few settings"},
    {"process", RunProcess,
     "process IN OUT [--block N] [--preset FILE.fxp] [--set NAME=VALUE]...   run a sound file "
     "through the effect"},
    {"response", RunResponse,
     "response [--rate R] [--set NAME=VALUE]... [--csv]  the effect's magnitude response"},
    {"calibrate", RunCalibrate,
     "calibrate [--rate R]  every knob's value in dB or Hz at positions 0, 0.05 ... 1"},
    {"bench", RunBench, "bench [--silence]    cycles per stereo frame and realtime factor"},
    {"preset", RunPreset,
     "preset save FILE.fxp [--set NAME=VALUE]... [--name TEXT] | preset show FILE.fxp|FILE.fxb"},
    {"validate", RunValidate,
     "validate [--route factory|entry] [--section NAME] [--seed N]   host-side validation of the "
     "Audio Unit"},
    {"snapshot", RunSnapshot,
     "snapshot OUT.png [--set NAME=VALUE]... [--drag X,Y,DX,DY]... [--click X,Y]... "
     "[--dblclick X,Y]... [--hover X,Y]... [--type X,Y,TEXT]... [--curve]   the editor panel as "
     "a PNG"},
};

int Usage() {
  std::fprintf(stderr, "usage: vantrose <command> [options]\n\ncommands:\n");
  for (const Command& c : kCommands)
    std::fprintf(stderr, "  %s\n", c.usage);
  return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  // A VANTROSE_SIMD request this processor cannot honour is refused rather than
  // measured or processed on another path.
  const SimdChoice simd = ChooseSimdPath(std::getenv("VANTROSE_SIMD"));
  if (simd.refused) {
    std::fprintf(stderr, "vantrose: refused: %s\n", simd.message.c_str());
    return kExitUsage;
  }
  for (const Command& c : kCommands) {
    if (std::strcmp(argv[1], c.name) == 0) return c.run(argc - 2, argv + 2);
  }
  if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    Usage();
    return 0;
  }
  std::fprintf(stderr, "vantrose: unknown command '%s'\n", argv[1]);
  return Usage();
}
