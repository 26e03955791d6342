#include "StrBuf.h"

#include <cstring>

const char* StrBuf::Get() const {
  const char* s = static_cast<const char*>(mBuf.Get());
  return s ? s : "";
}

int StrBuf::GetLength() const {
  return static_cast<int>(std::strlen(Get()));
}

bool StrBuf::Set(const char* text, int maxLen) {
  if (!text) text = "";
  size_t n = std::strlen(text);
  if (maxLen >= 0 && n > static_cast<size_t>(maxLen)) n = static_cast<size_t>(maxLen);
  if (n >= 0x7fffffff) return false;
  int need = static_cast<int>(n) + 1;
  mBuf.Resize(need);
  if (mBuf.GetSize() != need) return false;
  char* s = static_cast<char*>(mBuf.Get());
  std::memmove(s, text, n);
  s[n] = '\0';
  return true;
}

bool StrBuf::Append(const char* text) {
  if (!text || !*text) return true;
  int len = GetLength();
  size_t add = std::strlen(text);
  if (static_cast<long long>(len) + add + 1 > 0x7fffffffLL) return false;
  int need = len + static_cast<int>(add) + 1;
  mBuf.Resize(need, false);
  if (mBuf.GetSize() != need) return false;
  char* s = static_cast<char*>(mBuf.Get());
  std::memcpy(s + len, text, add + 1);
  return true;
}
