// Any bytes through the PNG memory loader: a bitmap or null, never a crash or a leak.
//
// Two things keep the fuzzer deep and fast.  Each input is decoded as given and then
// once more with every chunk's CRC made right, so that a mutation inside a chunk
// reaches the code that parses it instead of stopping at the checksum.  And inputs
// that would only be slow are skipped before decoding: images of more than 2^14
// pixels (large ones run the same code as small ones), and chunks that claim far more
// bytes than the input holds (the loader reads zeros past the end, so libpng would
// churn through megabytes of them).
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "Raster_MemBitmap.h"
#include "Raster_PNG.h"

namespace {

constexpr uint64_t kMaxPixels = 1u << 14;
constexpr size_t kMaxOverrun = 4096;
constexpr size_t kSignature = 8;

uint32_t BE32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
         static_cast<uint32_t>(p[2]) << 8 | p[3];
}

// False for an input not worth decoding; otherwise *fixed is the input with the CRC of
// every whole chunk recomputed.
bool Prepare(const uint8_t* data, size_t size, std::vector<uint8_t>* fixed) {
  fixed->assign(data, data + size);
  for (size_t pos = kSignature; pos + 8 <= size;) {
    const uint64_t length = BE32(data + pos);
    const uint8_t* type = data + pos + 4;
    if (pos + 12 + length > size + kMaxOverrun) return false;
    if (std::memcmp(type, "IHDR", 4) == 0 && length >= 8 && pos + 16 <= size) {
      const uint64_t width = BE32(data + pos + 8);
      const uint64_t height = pos + 20 <= size ? BE32(data + pos + 12) : 0;
      if (width * height > kMaxPixels) return false;
    }
    if (pos + 12 + length > size) break;
    const uint32_t crc =
        static_cast<uint32_t>(crc32(0, type, static_cast<uInt>(4 + length)));  // type and data
    uint8_t* at = fixed->data() + pos + 8 + length;
    at[0] = static_cast<uint8_t>(crc >> 24);
    at[1] = static_cast<uint8_t>(crc >> 16);
    at[2] = static_cast<uint8_t>(crc >> 8);
    at[3] = static_cast<uint8_t>(crc);
    pos += 12 + length;
  }
  return true;
}

void Load(const uint8_t* data, size_t size) {
  const int len = static_cast<int>(size);
  delete Raster_LoadPNGFromMemory(data, len, nullptr);
  Raster_MemBitmap given(3, 3);
  Raster_IBitmap* loaded = Raster_LoadPNGFromMemory(data, len, &given);
  if (loaded && loaded != &given) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> fixed;
  if (size > (1u << 16) || !Prepare(data, size, &fixed)) return 0;
  Load(data, size);
  // libFuzzer also tries the empty input, where there is nothing to compare.
  if (size > 0 && std::memcmp(fixed.data(), data, size) != 0) Load(fixed.data(), size);
  return 0;
}
