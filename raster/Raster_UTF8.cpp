#include "Raster_UTF8.h"

namespace {

// True when the n bytes after the first are continuation bytes within reach.
bool Continues(const unsigned char* s, int avail, int n) {
  for (int i = 1; i <= n; ++i)
    if ((avail >= 0 && i >= avail) || s[i] < 0x80 || s[i] > 0xBF) return false;
  return true;
}

}  // namespace

int Raster_DecodeUTF8(const unsigned char* s, int avail, unsigned short* code) {
  const unsigned char c = s[0];
  if (c >= 0xC2 && c <= 0xDF && Continues(s, avail, 1)) {
    *code = static_cast<unsigned short>((c & 0x1F) << 6 | (s[1] & 0x3F));
    return 2;
  }
  if (c >= 0xE0 && c <= 0xEF && Continues(s, avail, 2)) {
    *code = static_cast<unsigned short>((c & 0x0F) << 12 | (s[1] & 0x3F) << 6 | (s[2] & 0x3F));
    return 3;
  }
  if (c >= 0xF0 && c <= 0xF4 && Continues(s, avail, 3)) {
    *code = ' ';
    return 4;
  }
  *code = c;
  return 1;
}

int Raster_EncodeUTF8(unsigned short code, char out[4]) {
  if (code < 0x80) {
    out[0] = static_cast<char>(code);
    return 1;
  }
  if (code < 0x800) {
    out[0] = static_cast<char>(0xC0 | (code >> 6));
    out[1] = static_cast<char>(0x80 | (code & 0x3F));
    return 2;
  }
  out[0] = static_cast<char>(0xE0 | (code >> 12));
  out[1] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
  out[2] = static_cast<char>(0x80 | (code & 0x3F));
  return 3;
}
