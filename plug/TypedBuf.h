#pragma once

#include "HeapBuf.h"

// A HeapBuf seen as an array of one plain (trivially copyable) type.
template <class T>
class TypedBuf {
 public:
  explicit TypedBuf(int granularity = 4096) : mBuf(granularity) {}

  T* Get() const { return static_cast<T*>(mBuf.Get()); }
  int GetSize() const { return mBuf.GetSize() / static_cast<int>(sizeof(T)); }
  int GetBytes() const { return mBuf.GetSize(); }

  // Resizes to n elements; on a failed allocation the old contents and size stay.
  T* Resize(int n, bool allowShrink = true) {
    if (n < 0) n = 0;
    if (static_cast<long long>(n) * sizeof(T) > 0x7fffffffLL) return nullptr;
    return static_cast<T*>(mBuf.Resize(n * static_cast<int>(sizeof(T)), allowShrink));
  }

  // Appends one element; returns false (and changes nothing) when growing failed.
  bool Add(const T& value) {
    int n = GetSize();
    Resize(n + 1, false);
    if (GetSize() != n + 1) return false;
    Get()[n] = value;
    return true;
  }

 private:
  HeapBuf mBuf;
};
