// Any bytes through the PNG memory loader: a bitmap or null, never a crash or a leak.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "Raster_MemBitmap.h"
#include "Raster_PNG.h"

namespace {

// Images of more than 2^18 pixels are refused or decoded by the same code as small
// ones; skipping them keeps each run fast and its memory bounded.
bool DeclaresHugeImage(const uint8_t* data, size_t size) {
  if (size < 24 || std::memcmp(data + 12, "IHDR", 4) != 0) return false;
  auto be32 = [](const uint8_t* p) {
    return static_cast<uint64_t>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
  };
  return be32(data + 16) * be32(data + 20) > (1u << 18);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 24) || DeclaresHugeImage(data, size)) return 0;
  const int len = static_cast<int>(size);
  delete Raster_LoadPNGFromMemory(data, len, nullptr);
  Raster_MemBitmap given(3, 3);
  Raster_IBitmap* loaded = Raster_LoadPNGFromMemory(data, len, &given);
  if (loaded && loaded != &given) __builtin_trap();
  return 0;
}
