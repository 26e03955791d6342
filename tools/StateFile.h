#pragma once

// A unit's class-info state as a property-list file: one dictionary of integers,
// strings and data (Base64), the form hosts keep saved unit states in.
#include <string>

#include "CoreFoundation.h"

// Writes the dictionary; false with a message in *error when it can't.
bool WriteStateFile(const char* path, CFPropertyListRef state, std::string* error);
// Reads a dictionary written by WriteStateFile (or a host in the same form); null with
// a message in *error for a missing, unreadable or malformed file.  The caller releases it.
CFPropertyListRef ReadStateFile(const char* path, std::string* error);
