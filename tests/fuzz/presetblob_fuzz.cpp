// A preset blob: the first two bytes give the chunk size (0 to 4095), the rest is
// the Base64 text.  The chunk must be exactly that size, and restoring it either
// works or leaves the parameters as they were.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2 || size > (1 << 16)) return 0;
  int chunkSize = ((data[0] << 8) | data[1]) & 0x0FFF;
  std::string text(reinterpret_cast<const char*>(data + 2), size - 2);

  StatePlug plug(false, 1);
  plug.MakePresetFromBlob("blob", text.c_str(), chunkSize);
  Require(plug.GetPreset(0)->mInitialized && plug.GetPreset(0)->mChunk.Size() == chunkSize);
  plug.GetParam(StatePlug::kGain)->SetValue(5.0);
  std::string before = Snapshot(plug);
  if (!plug.RestorePreset(0)) Require(Snapshot(plug) == before);
  RequireSaneState(plug);
  return 0;
}
