#pragma once

#include "HeapBuf.h"

// A growable zero-terminated string.  An unset string reads as "".
class StrBuf {
 public:
  StrBuf() : mBuf(128) {}
  explicit StrBuf(const char* text) : mBuf(128) { Set(text); }

  StrBuf(const StrBuf&) = delete;
  StrBuf& operator=(const StrBuf&) = delete;

  const char* Get() const;
  int GetLength() const;

  // Copies text (null gives ""); at most maxLen characters when maxLen >= 0.
  // Returns false when memory ran out, leaving the old string.
  bool Set(const char* text, int maxLen = -1);
  bool Append(const char* text);

 private:
  HeapBuf mBuf;
};
