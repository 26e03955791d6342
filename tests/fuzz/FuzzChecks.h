#pragma once

// Checks the loader fuzzers make after every input: a failure stops the run at once.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>

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

// The file fuzzers' one step: the bytes as a file, loaded by load into a plug-in with
// and one without chunk support, each holding a preset of its own first.  A refused
// file must change nothing, presets included; any outcome leaves the state sane.
inline int FuzzFileLoad(const uint8_t* data, size_t size,
                        EFxError (IPluginBase::*load)(ByteChunk*)) {
  if (size > (1 << 20)) return 0;
  ByteChunk file;
  ChunkFromInput(data, size, &file);
  StatePlug chunks(true), params(false);
  for (StatePlug* plug : {&chunks, &params}) {
    plug->MakePreset("before", 1.0, 0.5, 2, 1, 1);
    const std::string before = Snapshot(*plug);
    if ((plug->*load)(&file) != kFxOK) {
      Require(Snapshot(*plug) == before && plug->mProgramChanges == 0);
    }
    RequireSaneState(*plug);
  }
  return 0;
}
