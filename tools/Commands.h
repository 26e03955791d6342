#pragma once

// Subcommands of the vantrose command-line program.  Each declares its command line
// once (XxxCommandLine, for help, completion and the manual) and runs from the
// arguments after its own name, returning the process exit code: 0 for success, 2
// for bad usage or input, 1 for a failed validation.
#include "CommandLine.h"

int RunInfo(int argc, char** argv);
int RunDemo(int argc, char** argv);
int RunProcess(int argc, char** argv);
int RunResponse(int argc, char** argv);
int RunBench(int argc, char** argv);
int RunPreset(int argc, char** argv);
int RunValidate(int argc, char** argv);
int RunSnapshot(int argc, char** argv);
int RunCalibrate(int argc, char** argv);

CommandApp InfoCommandLine();
CommandApp DemoCommandLine();
CommandApp ProcessCommandLine();
CommandApp ResponseCommandLine();
CommandApp CalibrateCommandLine();
CommandApp BenchCommandLine();
CommandApp PresetCommandLine();
CommandApp ValidateCommandLine();
CommandApp SnapshotCommandLine();

struct CommandEntry {
  const char* name;
  int (*run)(int argc, char** argv);
  CommandApp (*commandLine)();
};
// Every command, in the order the usage lists them.
constexpr int kNumCommands = 9;
extern const CommandEntry kCommandTable[kNumCommands];

// The whole program: the commands, --help, help [COMMAND], --version and the
// completion helper behind the bash completion script.
int VantroseMain(int argc, char** argv);

// Exit code for bad arguments or unusable input.
constexpr int kExitUsage = 2;
