#pragma once

#include "ByteChunk.h"
#include "PtrList.h"

// A preset name holds at most 255 characters and the terminating zero.
enum { MAX_PRESET_NAME_LEN = 256 };

// One preset slot: a name and the state chunk it was filled with.
struct IPreset {
  IPreset();

  bool mInitialized = false;
  char mName[MAX_PRESET_NAME_LEN];
  ByteChunk mChunk;
};

// The first preset in list order that was never filled, or null when all were.
IPreset* GetNextUninitializedPreset(const PtrList<IPreset>* presets);

// Writes "user preset N" into out (MAX_PRESET_NAME_LEN chars), N being 1 plus the
// number of presets whose name contains "user preset".
void MakeDefaultUserPresetName(const PtrList<IPreset>* presets, char* out);
