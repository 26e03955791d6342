#pragma once

#include "TypedBuf.h"

// Standard Base64 ("A-Z a-z 0-9 + /", "=" padding) for preset blobs.

// Decodes text into out, most significant bits first, storing at most size bytes.
// The first character outside the alphabet ("=" included) or the end of the text
// stops decoding; characters past the first size bytes are read but not stored.
// Returns the number of bytes stored.
int Base64Decode(const char* text, unsigned char* out, int size);

// Encodes n bytes as zero-terminated text in out (grown as needed, no fixed limit).
// Returns false when out could not grow.
bool Base64Encode(const unsigned char* data, int n, TypedBuf<char>* out);
