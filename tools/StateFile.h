#pragma once

// A unit's class-info state as a property-list file: one dictionary of integers,
// strings and data (Base64), the form hosts keep saved unit states in.
#include <string>
#include <vector>

#include "CoreFoundation.h"

// The dictionary as property-list text; "" when state is not a dictionary.
std::string StateText(CFPropertyListRef state);
// Writes the dictionary (see WriteWholeFile for inputs); false with a message in
// *error when it can't.
bool WriteStateFile(const char* path, CFPropertyListRef state, std::string* error,
                    const std::vector<std::string>& inputs = {});
// Reads property-list text in the form StateText writes; null with a message in
// *error when it is malformed.  The caller releases the result.
CFPropertyListRef ParseStateText(const std::string& text, std::string* error);
// Reads a dictionary written by WriteStateFile (or a host in the same form); null with
// a message in *error for a missing, unreadable or malformed file.  The caller releases it.
CFPropertyListRef ReadStateFile(const char* path, std::string* error);
