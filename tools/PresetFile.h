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

// The text as it may reach a terminal: valid UTF-8 as it is, but control characters
// (C0, DEL and C1) and every byte of an invalid UTF-8 sequence shown as \xNN.
std::string PrintableName(const char* text);
