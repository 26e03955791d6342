#pragma once

#include "TypedBuf.h"

// A growable byte buffer with typed appends and reads at an explicit position.
// Values are stored as they lie in memory (little-endian on every target we build for).
// A read that would pass the end returns -1 and leaves its destination alone.
class ByteChunk {
 public:
  ByteChunk() = default;

  template <class T>
  int Put(const T* value) {
    return AppendBytes(value, static_cast<int>(sizeof(T)));
  }
  int Append(int value) { return Put(&value); }
  int Append(double value) { return Put(&value); }
  int Append(bool value) {
    unsigned char b = value ? 1 : 0;
    return Put(&b);
  }
  // Appends n raw bytes and returns the new size (unchanged when memory ran out).
  int AppendBytes(const void* data, int n);
  // Appends the text's length as a 4-byte int, then its characters without the zero.
  int AppendString(const char* text);
  int AppendChunk(const ByteChunk* other);

  template <class T>
  int Get(T* value, int pos) const {
    return ReadBytes(value, static_cast<int>(sizeof(T)), pos);
  }
  int Read(int* value, int pos) const { return Get(value, pos); }
  int Read(double* value, int pos) const { return Get(value, pos); }
  int Read(bool* value, int pos) const;
  // Copies n bytes at pos into data; returns pos + n, or -1 when they are not all there.
  int ReadBytes(void* data, int n, int pos) const;
  // Reads a length-prefixed string into out (at most outSize chars with the zero);
  // returns the position after it, even when that lies past the end.
  int ReadString(char* out, int outSize, int pos) const;

  int Size() const { return mBytes.GetSize(); }
  int Resize(int n);
  void Clear() { mBytes.Resize(0); }
  unsigned char* GetBytes() const { return mBytes.Get(); }
  bool IsEqual(const ByteChunk& other) const;

 private:
  TypedBuf<unsigned char> mBytes;
};
