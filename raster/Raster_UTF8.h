#pragma once

// One character of the cached font's text: two- and three-byte UTF-8 sequences give
// their code (kept to 16 bits), a well-formed four-byte sequence is consumed and
// stands for a space, and any other byte stands for itself.  At most `avail` bytes
// are read (avail < 0: up to a terminating zero).  Returns the bytes consumed (1 to 4).
int Raster_DecodeUTF8(const unsigned char* s, int avail, unsigned short* code);

// Encodes a 16-bit code as one to three bytes; returns the byte count.
int Raster_EncodeUTF8(unsigned short code, char out[4]);
