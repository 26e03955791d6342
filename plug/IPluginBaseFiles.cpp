// Program (.fxp) and bank (.fxb) files: writing them, and loading them all or
// nothing: a file is checked whole before anything is applied, and a chunk whose
// state can't be read whole is undone.
#include <cmath>
#include <cstring>

#include "IPluginBase.h"

namespace {

void CopyPreset(const IPreset& from, IPreset* to) {
  to->mInitialized = from.mInitialized;
  std::memcpy(to->mName, from.mName, sizeof(to->mName));
  to->mChunk.Clear();
  to->mChunk.AppendChunk(&from.mChunk);
}

// A copy of every preset, to undo a bank chunk that could not be read whole.
bool BackUpPresets(const PtrList<IPreset>& presets, PtrList<IPreset>* backup) {
  for (int i = 0; i < presets.GetSize(); ++i) {
    IPreset* copy = new IPreset();
    CopyPreset(*presets.Get(i), copy);
    if (copy->mChunk.Size() != presets.Get(i)->mChunk.Size() || !backup->Add(copy)) {
      delete copy;
      return false;
    }
  }
  return true;
}

// The chunk a file announces, on its own: the state is read from it and from
// nothing after it.  The parser has checked that it lies inside the file.
bool CopyFileChunk(const ByteChunk& file, int pos, int size, ByteChunk* out) {
  return out->AppendBytes(file.GetBytes() + pos, size) == size;
}

}  // namespace

bool IPluginBase::MakeProgramFile(ByteChunk* out) {
  RecursiveMutex::ScopedLock lock(mMutex);
  out->Clear();
  const IPreset* current = mPresets.Get(mCurrentPresetIdx);
  const char* name = current ? current->mName : "";
  int version = GetEffectVersion(true);
  if (DoesStateChunks()) {
    ByteChunk state;
    InitChunkWithIPluginVer(&state);
    if (state.Size() == 0 || !SerializeState(&state)) return false;
    int fileSize = kFxProgramHeaderSize + 4 + state.Size();
    AppendFxProgramHeader(out, fileSize, kFxProgramChunkMagic, GetUniqueID(), version, NParams(),
                          name);
    AppendBE32(out, state.Size());
    return out->AppendChunk(&state) == fileSize;
  }
  AppendFxProgramHeader(out, 0, kFxProgramMagic, GetUniqueID(), version, NParams(), name);
  for (int i = 0; i < NParams(); ++i) {
    AppendBEFloat(out, static_cast<float>(GetParam(i)->GetNormalized()));
  }
  return out->Size() == kFxProgramHeaderSize + 4 * NParams();
}

bool IPluginBase::MakeBankFile(ByteChunk* out) {
  RecursiveMutex::ScopedLock lock(mMutex);
  out->Clear();
  bool chunks = DoesStateChunks();
  ByteChunk presets;
  if (chunks) {
    InitChunkWithIPluginVer(&presets);
    if (presets.Size() == 0 || !SerializePresets(&presets)) return false;
  }
  AppendBE32(out, kFxChunkMagic);
  AppendBE32(out, chunks ? kFxBankHeaderSize + 4 + presets.Size() : 0);
  AppendBE32(out, chunks ? kFxBankChunkMagic : kFxBankMagic);
  AppendBE32(out, kFxBankVersion);
  AppendBE32(out, GetUniqueID());
  AppendBE32(out, GetEffectVersion(true));
  AppendBE32(out, NPresets());
  AppendBE32(out, mCurrentPresetIdx);
  const char reserved[kFxBankReservedSize] = {};
  out->AppendBytes(reserved, kFxBankReservedSize);
  if (chunks) {
    AppendBE32(out, presets.Size());
    return out->AppendChunk(&presets) == kFxBankHeaderSize + 4 + presets.Size();
  }
  // Each program's values come from its preset's chunk, read as one double per
  // parameter; a chunk that runs out gives 0.0 for the rest.
  for (int k = 0; k < NPresets(); ++k) {
    const IPreset* preset = mPresets.Get(k);
    AppendFxProgramHeader(out, 0, kFxProgramMagic, GetUniqueID(), GetEffectVersion(true), NParams(),
                          preset->mName);
    int pos = 0;
    for (int i = 0; i < NParams(); ++i) {
      double v = 0.0;
      pos = preset->mChunk.Read(&v, pos);
      if (std::isnan(v)) v = 0.0;
      AppendBEFloat(out, static_cast<float>(GetParam(i)->GetNormalized(v)));
    }
  }
  long long expected = kFxBankHeaderSize +
                       static_cast<long long>(NPresets()) * (kFxProgramHeaderSize + 4 * NParams());
  return out->Size() == expected;
}

bool IPluginBase::SaveProgramAsFXP(StrBuf* path) {
  ByteChunk data;
  if (!path || !*path->Get() || !MakeProgramFile(&data)) return false;
  return WriteFxFile(path->Get(), data) == kFxOK;
}

bool IPluginBase::SaveBankAsFXB(StrBuf* path) {
  ByteChunk data;
  if (!path || !*path->Get() || !MakeBankFile(&data)) return false;
  return WriteFxFile(path->Get(), data) == kFxOK;
}

bool IPluginBase::LoadProgramFromFXP(StrBuf* path) {
  ByteChunk file;
  if (!path || ReadFxFile(path->Get(), &file) != kFxOK) return false;
  return LoadProgramFile(&file) == kFxOK;
}

bool IPluginBase::LoadBankFromFXB(StrBuf* path) {
  ByteChunk file;
  if (!path || ReadFxFile(path->Get(), &file) != kFxOK) return false;
  return LoadBankFile(&file) == kFxOK;
}

// Normalised values (already checked to be numbers) into the parameters.
void IPluginBase::ApplyProgramValues(ByteChunk* file, const FxProgramInfo& program) {
  for (int i = 0; i < NParams(); ++i) {
    GetParam(i)->SetNormalized(FxProgramValue(*file, program, i));
  }
}

EFxError IPluginBase::LoadProgramChunk(ByteChunk* file, const FxProgramInfo& program) {
  ByteChunk chunk;
  if (!CopyFileChunk(*file, program.mDataPos, program.mChunkSize, &chunk)) return kFxNoMemory;
  int pos = 0;
  GetIPluginVerFromChunk(&chunk, &pos);
  if (pos < 0) return kFxBadState;
  ByteChunk before;
  bool haveBefore = SerializeState(&before);
  if (UnserializeState(&chunk, pos) < 0) {
    if (haveBefore) UnserializeState(&before, 0);
    return kFxBadState;
  }
  return kFxOK;
}

EFxError IPluginBase::LoadProgramFile(ByteChunk* file) {
  FxProgramInfo program;
  EFxError err = ParseFxProgramHeader(*file, 0, &program);
  if (err != kFxOK) return err;
  if (program.mPluginID != GetUniqueID()) return kFxForeignPlugin;
  if (program.mFxMagic == kFxProgramChunkMagic && !DoesStateChunks()) {
    return kFxChunksNotSupported;
  }
  err = ParseFxProgramData(*file, NParams(), &program);
  if (err != kFxOK) return err;

  RecursiveMutex::ScopedLock lock(mMutex);
  if (program.mFxMagic == kFxProgramChunkMagic) {
    err = LoadProgramChunk(file, program);
    if (err != kFxOK) return err;
  } else {
    ApplyProgramValues(file, program);
  }
  ModifyCurrentPreset(program.mName);
  // Without a current preset to restore, the parameters are announced directly.
  if (!RestorePreset(mCurrentPresetIdx)) {
    OnParamReset();
    RedrawParamControls();
  }
  InformHostOfProgramChange();
  return kFxOK;
}

EFxError IPluginBase::LoadBankChunk(ByteChunk* file, const FxBankInfo& bank) {
  ByteChunk chunk;
  if (!CopyFileChunk(*file, bank.mDataPos, bank.mChunkSize, &chunk)) return kFxNoMemory;
  int pos = 0;
  GetIPluginVerFromChunk(&chunk, &pos);
  if (pos < 0) return kFxBadState;
  PtrList<IPreset> backup;
  ByteChunk before;
  if (!BackUpPresets(mPresets, &backup) || !SerializeState(&before)) {
    backup.Empty(true);
    return kFxNoMemory;
  }
  int currentIdx = mCurrentPresetIdx;
  EFxError err = kFxOK;
  if (UnserializePresets(&chunk, pos) < 0) {
    for (int i = 0; i < backup.GetSize(); ++i)
      CopyPreset(*backup.Get(i), mPresets.Get(i));
    UnserializeState(&before, 0);
    mCurrentPresetIdx = currentIdx;
    RedrawParamControls();
    err = kFxBadState;
  }
  backup.Empty(true);
  return err;
}

// Program k goes into preset k; programs beyond the preset list are not loaded.
void IPluginBase::LoadBankPrograms(ByteChunk* file, const FxBankInfo& bank) {
  for (int k = 0; k < bank.mNumPrograms && k < NPresets(); ++k) {
    FxProgramInfo program;
    ParseFxProgram(*file, bank.mDataPos + k * bank.mProgramSize, NParams(), &program);
    // A preset whose old chunk can't be restored is about to be overwritten anyway.
    if (!RestorePreset(k)) mCurrentPresetIdx = k;
    ApplyProgramValues(file, program);
    ModifyCurrentPreset(program.mName);
  }
  if (!RestorePreset(bank.mCurrentProgram)) {
    OnParamReset();
    RedrawParamControls();
  }
}

EFxError IPluginBase::LoadBankFile(ByteChunk* file) {
  FxBankInfo bank;
  EFxError err = ParseFxBankHeader(*file, &bank);
  if (err != kFxOK) return err;
  if (bank.mPluginID != GetUniqueID()) return kFxForeignPlugin;
  if (bank.mFxMagic == kFxBankChunkMagic && !DoesStateChunks()) return kFxChunksNotSupported;
  err = ParseFxBankData(*file, NParams(), &bank);
  if (err != kFxOK) return err;

  RecursiveMutex::ScopedLock lock(mMutex);
  if (bank.mFxMagic == kFxBankChunkMagic) {
    err = LoadBankChunk(file, bank);
    if (err != kFxOK) return err;
  } else {
    LoadBankPrograms(file, bank);
  }
  InformHostOfProgramChange();
  return kFxOK;
}
