#include "Base64.h"

namespace {

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int Base64Value(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

}  // namespace

int Base64Decode(const char* text, unsigned char* out, int size) {
  unsigned pending = 0;  // only the bits not yet emitted are kept
  int nBits = 0, written = 0;
  for (const char* p = text; p && *p; ++p) {
    int v = Base64Value(*p);
    if (v < 0) break;
    pending = (pending << 6) | static_cast<unsigned>(v);
    nBits += 6;
    if (nBits >= 8) {
      nBits -= 8;
      if (written < size) out[written++] = static_cast<unsigned char>(pending >> nBits);
      pending &= (1u << nBits) - 1;
    }
  }
  return written;
}

bool Base64Encode(const unsigned char* data, int n, TypedBuf<char>* out) {
  if (n > 0x5FFFFFF0) return false;  // the text would not fit an int
  int length = n > 0 ? (n + 2) / 3 * 4 : 0;
  out->Resize(length + 1);
  if (out->GetSize() != length + 1) return false;
  char* text = out->Get();
  unsigned pending = 0;
  int nBits = 0, k = 0;
  for (int i = 0; i < n; ++i) {
    pending = (pending << 8) | data[i];
    nBits += 8;
    while (nBits >= 6) {
      nBits -= 6;
      text[k++] = kAlphabet[(pending >> nBits) & 63];
    }
    pending &= (1u << nBits) - 1;
  }
  if (nBits == 2) {
    text[k++] = kAlphabet[(pending << 4) & 63];
    text[k++] = '=';
    text[k++] = '=';
  } else if (nBits == 4) {
    text[k++] = kAlphabet[(pending << 2) & 63];
    text[k++] = '=';
  }
  text[k] = '\0';
  return true;
}
