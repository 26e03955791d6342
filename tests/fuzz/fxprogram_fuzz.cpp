// Arbitrary bytes as a program file, loaded by a plug-in with and without chunk
// support.  A refused file must change nothing; a loaded one must leave the
// parameters in range.
#include <cstddef>
#include <cstdint>

#include "FuzzChecks.h"

namespace {

void LoadInto(StatePlug* plug, ByteChunk* file) {
  plug->MakePreset("before", 1.0, 0.5, 2, 1, 1);
  std::string before = Snapshot(*plug);
  EFxError err = plug->LoadProgramFile(file);
  if (err != kFxOK) Require(Snapshot(*plug) == before && plug->mProgramChanges == 0);
  RequireSaneState(*plug);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1 << 20)) return 0;
  ByteChunk file;
  ChunkFromInput(data, size, &file);
  StatePlug chunks(true), params(false);
  LoadInto(&chunks, &file);
  LoadInto(&params, &file);
  return 0;
}
