#pragma once

// Checks the loader fuzzers make after every input: a failure stops the run at once.
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "StatePlug.h"

// A fault the sanitizers would not see on their own.
inline void Require(bool ok) {
  if (!ok) std::abort();
}

// Every parameter holds a number inside its range, and every preset name is
// terminated inside its field.
inline void RequireSaneState(const IPluginBase& plug) {
  for (int i = 0; i < plug.NParams(); ++i) {
    const IParam* p = plug.GetParam(i);
    double v = p->GetValue();
    Require(!std::isnan(v) && v >= p->GetMin() && v <= p->GetMax());
  }
  for (int i = 0; i < plug.NPresets(); ++i) {
    Require(std::memchr(plug.GetPreset(i)->mName, 0, MAX_PRESET_NAME_LEN) != nullptr);
  }
}

// The fuzzer's bytes as a chunk.
inline void ChunkFromInput(const uint8_t* data, size_t size, ByteChunk* out) {
  out->AppendBytes(data, static_cast<int>(size));
  Require(out->Size() == static_cast<int>(size));
}
