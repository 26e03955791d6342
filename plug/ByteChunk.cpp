#include "ByteChunk.h"

#include <climits>
#include <cstring>

int ByteChunk::AppendBytes(const void* data, int n) {
  int size = Size();
  if (n <= 0 || !data || size > INT_MAX - n) return size;
  mBytes.Resize(size + n, false);
  if (Size() != size + n) return size;
  std::memcpy(mBytes.Get() + size, data, static_cast<size_t>(n));
  return Size();
}

int ByteChunk::AppendString(const char* text) {
  if (!text) text = "";
  size_t len = strlen(text);
  if (len > static_cast<size_t>(INT_MAX - 8)) return Size();
  int n = static_cast<int>(len);
  int before = Size();
  if (Append(n) == before) return before;
  return AppendBytes(text, n);
}

int ByteChunk::AppendChunk(const ByteChunk* other) {
  if (!other) return Size();
  return AppendBytes(other->GetBytes(), other->Size());
}

int ByteChunk::ReadBytes(void* data, int n, int pos) const {
  if (pos < 0 || n < 0 || pos > Size() - n) return -1;
  if (n > 0) std::memcpy(data, mBytes.Get() + pos, static_cast<size_t>(n));
  return pos + n;
}

int ByteChunk::Read(bool* value, int pos) const {
  unsigned char b = 0;
  pos = ReadBytes(&b, 1, pos);
  if (pos >= 0) *value = b != 0;
  return pos;
}

int ByteChunk::ReadString(char* out, int outSize, int pos) const {
  int len = 0;
  pos = Read(&len, pos);
  if (pos < 0) return -1;
  long long end = static_cast<long long>(pos) + len;
  if (end > INT_MAX) end = INT_MAX;
  if (end <= Size() && outSize > 0) {
    int n = len <= 0 ? 0 : len;
    const char* src = reinterpret_cast<const char*>(mBytes.Get() + pos);
    int copy = 0;
    while (copy < n && copy < outSize - 1 && src[copy] != '\0')
      ++copy;
    std::memcpy(out, src, static_cast<size_t>(copy));
    out[copy] = '\0';
  }
  return static_cast<int>(end);
}

int ByteChunk::Resize(int n) {
  mBytes.Resize(n);
  return Size();
}

bool ByteChunk::IsEqual(const ByteChunk& other) const {
  return Size() == other.Size() && (Size() == 0 || std::memcmp(GetBytes(), other.GetBytes(),
                                                               static_cast<size_t>(Size())) == 0);
}
