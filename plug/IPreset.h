#pragma once

#include "ByteChunk.h"

enum { MAX_PRESET_NAME_LEN = 256 };

// One preset slot: a name and the state chunk it was filled with.
struct IPreset {
  IPreset();

  bool mInitialized = false;
  char mName[MAX_PRESET_NAME_LEN];
  ByteChunk mChunk;
};
