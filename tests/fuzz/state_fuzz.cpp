// Arbitrary bytes as a state chunk and as a serialised preset list.  What loads must
// leave every parameter in range and serialise back to a list that loads whole.
#include <cstddef>
#include <cstdint>

#include "FuzzChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1 << 20)) return 0;
  ByteChunk chunk;
  ChunkFromInput(data, size, &chunk);

  StatePlug state;
  int pos = state.UnserializeState(&chunk, 0);
  Require(pos == -1 || pos == 8 * StatePlug::kNumParams);
  RequireSaneState(state);

  StatePlug presets;
  int end = presets.UnserializePresets(&chunk, 0);
  Require(end >= -1);
  RequireSaneState(presets);

  ByteChunk again;
  Require(presets.SerializePresets(&again));
  StatePlug copy;
  Require(copy.UnserializePresets(&again, 0) == again.Size());
  for (int i = 0; i < presets.NPresets(); ++i) {
    Require(std::strcmp(copy.GetPresetName(i), presets.GetPresetName(i)) == 0);
  }
  return 0;
}
