// Presets: filling, restoring, pruning, serialising and dumping them as source text.
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "Base64.h"
#include "IPluginBase.h"

namespace {

// Bool, int and enum values travel through variable arguments as int.
bool TakesIntArg(const IParam* param) {
  EParamKind kind = param->GetKind();
  return kind == kParamBool || kind == kParamInt || kind == kParamEnum;
}

// Stands for "not given" in MakePresetFromNamedParams.
const double kUnsetValue = 9.999e-08;

// Writes text as the body of a C string literal.
void WriteQuoted(FILE* f, const char* text) {
  for (const char* p = text; *p; ++p) {
    unsigned char c = static_cast<unsigned char>(*p);
    if (c == '"' || c == '\\') {
      std::fprintf(f, "\\%c", c);
    } else if (c < 0x20 || c == 0x7F) {
      std::fprintf(f, "\\%03o", c);
    } else {
      std::fputc(c, f);
    }
  }
}

// One "MakePresetFromBlob(...)" line; the Base64 text grows with the chunk, so any
// chunk size can be dumped.
bool WriteBlobLine(FILE* f, const char* name, const ByteChunk& chunk) {
  TypedBuf<char> text;
  if (!Base64Encode(chunk.GetBytes(), chunk.Size(), &text)) return false;
  std::fputs("MakePresetFromBlob(\"", f);
  WriteQuoted(f, name);
  std::fprintf(f, "\", \"%s\", %i);\n", text.Get(), chunk.Size());
  return true;
}

bool CloseDump(FILE* f, bool ok) {
  if (std::ferror(f)) ok = false;
  if (std::fclose(f) != 0) ok = false;
  return ok;
}

}  // namespace

// The next free slot, marked, named (255 characters at most) and emptied.
IPreset* IPluginBase::NextFreePreset(const char* name) {
  IPreset* preset = GetNextUninitializedPreset(&mPresets);
  if (!preset) return nullptr;
  preset->mInitialized = true;
  CopyBounded(preset->mName, name ? name : "Empty", MAX_PRESET_NAME_LEN);
  preset->mChunk.Clear();
  return preset;
}

void IPluginBase::MakeDefaultPreset(const char* name, int nPresets) {
  for (int n = 0; n < nPresets; ++n) {
    IPreset* preset = NextFreePreset(name);
    if (!preset) return;
    SerializeState(&preset->mChunk);
  }
}

void IPluginBase::MakePreset(const char* name, ...) {
  IPreset* preset = NextFreePreset(name);
  if (!preset) return;
  va_list args;
  va_start(args, name);
  for (int i = 0; i < NParams(); ++i) {
    double v = TakesIntArg(GetParam(i)) ? va_arg(args, int) : va_arg(args, double);
    preset->mChunk.Append(v);
  }
  va_end(args);
}

// An index outside the parameter list ends the reading of pairs: the type of the
// value that follows it can't be known, so no further argument is read.
void IPluginBase::MakePresetFromNamedParams(const char* name, int count, ...) {
  TypedBuf<double> values;
  values.Resize(NParams());
  if (values.GetSize() != NParams()) return;
  IPreset* preset = NextFreePreset(name);
  if (!preset) return;
  for (int i = 0; i < NParams(); ++i)
    values.Get()[i] = kUnsetValue;

  va_list args;
  va_start(args, count);
  for (int k = 0; k < count; ++k) {
    int idx = va_arg(args, int);
    const IParam* param = GetParam(idx);
    if (!param) break;
    values.Get()[idx] = TakesIntArg(param) ? va_arg(args, int) : va_arg(args, double);
  }
  va_end(args);

  for (int i = 0; i < NParams(); ++i) {
    double v = values.Get()[i];
    preset->mChunk.Append(v == kUnsetValue ? GetParam(i)->GetValue() : v);
  }
}

void IPluginBase::MakePresetFromChunk(const char* name, const ByteChunk* chunk) {
  IPreset* preset = NextFreePreset(name);
  if (preset && chunk) preset->mChunk.AppendChunk(chunk);
}

void IPluginBase::MakePresetFromBlob(const char* name, const char* blob, int size) {
  ByteChunk chunk;
  if (size > 0) {
    if (chunk.Resize(size) != size) return;
    std::memset(chunk.GetBytes(), 0, static_cast<size_t>(size));
    Base64Decode(blob, chunk.GetBytes(), size);
  }
  MakePresetFromChunk(name, &chunk);
}

void IPluginBase::EnsureDefaultPreset() {
  MakeDefaultPreset("Empty", NPresets());
}

void IPluginBase::PruneUninitializedPresets() {
  for (int i = NPresets() - 1; i >= 0; --i) {
    if (!mPresets.Get(i)->mInitialized) mPresets.Delete(i, true);
  }
}

// A preset whose chunk can't be read whole gives false and leaves the parameters
// as they were; a never-filled slot is named "user preset N" and takes the
// current values.
bool IPluginBase::RestorePreset(int idx) {
  IPreset* preset = mPresets.Get(idx);
  if (!preset) return false;
  RecursiveMutex::ScopedLock lock(mMutex);
  if (preset->mInitialized) {
    ByteChunk before;
    bool haveBefore = SerializeState(&before);
    if (UnserializeState(&preset->mChunk, 0) <= 0) {
      if (haveBefore) UnserializeState(&before, 0);
      return false;
    }
  } else {
    preset->mInitialized = true;
    MakeDefaultUserPresetName(&mPresets, preset->mName);
    preset->mChunk.Clear();
    if (!SerializeState(&preset->mChunk)) return false;
  }
  mCurrentPresetIdx = idx;
  PresetsChangedByHost();
  RedrawParamControls();
  return true;
}

bool IPluginBase::RestorePreset(const char* name) {
  if (!name || !*name) return false;
  for (int i = 0; i < NPresets(); ++i) {
    if (std::strcmp(mPresets.Get(i)->mName, name) == 0) return RestorePreset(i);
  }
  return false;
}

const char* IPluginBase::GetPresetName(int idx) const {
  const IPreset* preset = mPresets.Get(idx);
  return preset ? preset->mName : "";
}

// The preset now holds a state, so it counts as filled even if it was a free slot.
void IPluginBase::ModifyCurrentPreset(const char* name) {
  IPreset* preset = mPresets.Get(mCurrentPresetIdx);
  if (!preset) return;
  preset->mChunk.Clear();
  SerializeState(&preset->mChunk);
  preset->mInitialized = true;
  if (name && *name) CopyBounded(preset->mName, name, MAX_PRESET_NAME_LEN);
}

// Per preset: its name as a length-prefixed string, the filled flag as one byte,
// then for a filled preset its state chunk with no length of its own.
bool IPluginBase::SerializePresets(ByteChunk* chunk) {
  for (int i = 0; i < NPresets(); ++i) {
    const IPreset* preset = mPresets.Get(i);
    int before = chunk->Size();
    int nameEnd = chunk->AppendString(preset->mName);
    if (nameEnd != before + 4 + static_cast<int>(std::strlen(preset->mName))) return false;
    if (chunk->Append(preset->mInitialized) != nameEnd + 1) return false;
    if (preset->mInitialized &&
        chunk->AppendChunk(&preset->mChunk) != nameEnd + 1 + preset->mChunk.Size()) {
      return false;
    }
  }
  return true;
}

// A preset is changed only once its name, flag and state have all been read, so a
// chunk that runs out leaves that preset and the ones after it as they were (the
// parameters may hold part of the state that ran out; the bank loader undoes that).
int IPluginBase::UnserializePresets(ByteChunk* chunk, int startPos) {
  char name[MAX_PRESET_NAME_LEN] = "";
  int pos = startPos;
  for (int i = 0; i < NPresets() && pos >= 0; ++i) {
    IPreset* preset = mPresets.Get(i);
    bool initialized = false;
    int next = chunk->ReadString(name, MAX_PRESET_NAME_LEN, pos);
    next = chunk->Read(&initialized, next);
    if (next >= 0 && initialized) next = UnserializeState(chunk, next);
    pos = next;
    if (pos < 0) break;
    CopyBounded(preset->mName, name, MAX_PRESET_NAME_LEN);
    preset->mInitialized = initialized;
    if (initialized) {
      preset->mChunk.Clear();
      SerializeState(&preset->mChunk);
    }
  }
  RestorePreset(mCurrentPresetIdx);
  return pos;
}

bool IPluginBase::DumpPresetSrcCode(const char* path, const char** paramNames) {
  FILE* f = path ? std::fopen(path, "w") : nullptr;
  if (!f) return false;
  std::fprintf(f, "  MakePresetFromNamedParams(\"name\", %d", NParams());
  for (int i = 0; i < NParams(); ++i) {
    const IParam* param = GetParam(i);
    char value[64];
    if (param->GetKind() == kParamBool) {
      std::snprintf(value, sizeof(value), "%s", param->GetValue() >= 0.5 ? "true" : "false");
    } else if (param->GetKind() == kParamInt || param->GetKind() == kParamEnum) {
      std::snprintf(value, sizeof(value), "%d", param->GetInt());
    } else {
      std::snprintf(value, sizeof(value), "%.6f", param->GetValue());
    }
    // A missing name is written as the parameter's index, which is valid source too.
    if (paramNames && paramNames[i]) {
      std::fprintf(f, ",\n    %s, %s", paramNames[i], value);
    } else {
      std::fprintf(f, ",\n    %d, %s", i, value);
    }
  }
  std::fputs(");\n", f);
  return CloseDump(f, true);
}

bool IPluginBase::DumpPresetBlob(const char* path) {
  const IPreset* preset = mPresets.Get(mCurrentPresetIdx);
  if (!preset) return false;
  FILE* f = path ? std::fopen(path, "w") : nullptr;
  if (!f) return false;
  return CloseDump(f, WriteBlobLine(f, "name", preset->mChunk));
}

bool IPluginBase::DumpBankBlob(const char* path) {
  FILE* f = path ? std::fopen(path, "w") : nullptr;
  if (!f) return false;
  bool ok = true;
  for (int i = 0; i < NPresets() && ok; ++i) {
    const IPreset* preset = mPresets.Get(i);
    ok = WriteBlobLine(f, preset->mName, preset->mChunk);
  }
  return CloseDump(f, ok);
}
