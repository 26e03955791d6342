#pragma once

// The command line's arguments through one library: each command declares its options
// (types, ranges, defaults) once on a CLI::App, and the usage text, the checks and the
// messages all come from those declarations.
#include <CLI/CLI.hpp>

#include <memory>
#include <string>
#include <vector>

#include "EffectSetup.h"

using CommandApp = std::unique_ptr<CLI::App>;

// An app named "vantrose NAME" with the house formatting: --help, usage from the
// declarations, wide enough columns for the option names.
CommandApp NewCommandApp(const std::string& name, const std::string& description);

// Parses the arguments after the command's name.  Returns -1 when the command should
// run; otherwise the exit code after printing: 0 for --help (usage to stdout), 2 for
// a bad invocation (a message naming the option and the value, to stderr).
int ParseCommandLine(CLI::App& app, int argc, char** argv);

// Declares the repeatable --set NAME=VALUE, each checked against the effect's
// parameters while parsing; *settings receives them in order.
CLI::Option* AddSetOption(CLI::App& app, std::vector<ParamSetting>* settings);

// Declares --rate R, a sample rate in Hz checked against the supported range.
CLI::Option* AddRateOption(CLI::App& app, double* rate);

// The option names a command declares (--help included), for completion and tests.
std::vector<std::string> OptionNames(const CLI::App& app);
