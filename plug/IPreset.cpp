#include "IPreset.h"

#include <cstdio>
#include <cstring>

IPreset::IPreset() {
  std::memset(mName, 0, sizeof(mName));
  std::strcpy(mName, "empty");
}

IPreset* GetNextUninitializedPreset(const PtrList<IPreset>* presets) {
  for (int i = 0; i < presets->GetSize(); ++i) {
    IPreset* preset = presets->Get(i);
    if (!preset->mInitialized) return preset;
  }
  return nullptr;
}

void MakeDefaultUserPresetName(const PtrList<IPreset>* presets, char* out) {
  static const char kUserPreset[] = "user preset";
  int n = 0;
  for (int i = 0; i < presets->GetSize(); ++i) {
    if (std::strstr(presets->Get(i)->mName, kUserPreset)) ++n;
  }
  std::snprintf(out, MAX_PRESET_NAME_LEN, "%s %d", kUserPreset, n + 1);
}
