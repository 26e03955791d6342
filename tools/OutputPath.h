#pragma once

// Checks and writes for the files the command line creates: an output name is
// judged before any work is done, and a file appears under its final name only
// once it is complete, through a temporary created exclusively beside it.
#include <string>

// False, with a message, for an empty name, a name ending in '/', a folder that
// does not exist, or an existing entry that is not a regular file (a folder, a
// symbolic link, a device node, ...).
bool CheckOutputPath(const std::string& path, std::string* error);

// True when a and b name the same file: the same device and inode where both
// exist, otherwise the same name within the same (resolved) folder.
bool SameFile(const std::string& a, const std::string& b);

// Creates an empty temporary file exclusively in the folder of path, with the
// permissions a new file gets; returns its descriptor (-1 with a message) and
// its name in *tempPath.
int CreateTempBeside(const std::string& path, std::string* tempPath, std::string* error);

// Moves a finished temporary over path, after checking path once more.
bool MoveIntoPlace(const std::string& tempPath, const std::string& path, std::string* error);

// Writes the whole of text to path through a temporary; leaves no file (and any
// earlier file under that name untouched) when it fails.
bool WriteWholeFile(const std::string& path, const std::string& text, std::string* error);
