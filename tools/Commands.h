#pragma once

// Subcommands of the vantrose command-line program.  Each takes the arguments
// after its own name and returns the process exit code (2 for bad usage or input).
int RunInfo(int argc, char** argv);
int RunDemo(int argc, char** argv);
int RunProcess(int argc, char** argv);
int RunResponse(int argc, char** argv);
int RunBench(int argc, char** argv);
int RunPreset(int argc, char** argv);
int RunValidate(int argc, char** argv);
int RunSnapshot(int argc, char** argv);
int RunCalibrate(int argc, char** argv);

// Exit code for bad arguments or unusable input.
constexpr int kExitUsage = 2;
