#pragma once

// Program and bank files on the command line: reading one for the effect and saying
// plainly what is wrong with a file the effect refuses.
#include <string>
#include <vector>

#include "EffectSetup.h"

// Reads a program file as the effect would load it, then gives every parameter's
// resulting value as a setting, in index order.  False, with a message naming the
// file and the fault, for a file the effect refuses; nothing else is changed.
bool ProgramFileSettings(const char* path, std::vector<ParamSetting>* settings, std::string* error);

// "'Vnt1' (0x566E7431)" for a four-character code.
std::string FourCCText(int code);

// The text with control characters (bytes below 0x20, and 0x7F) shown as \xNN, for
// printing names read from files.
std::string PrintableName(const char* text);
