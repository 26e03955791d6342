// Arbitrary bytes as a program file, loaded by a plug-in with and without chunk
// support.  A refused file must change nothing; a loaded one must leave the
// parameters in range.
#include <cstddef>
#include <cstdint>

#include "FuzzChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return FuzzFileLoad(data, size, &IPluginBase::LoadProgramFile);
}
