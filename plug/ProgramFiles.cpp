#include "ProgramFiles.h"

#include <cmath>
#include <cstdio>
#include <cstring>

const char* FxErrorStr(EFxError error) {
  switch (error) {
    case kFxOK:
      return "ok";
    case kFxCantOpen:
      return "the file can't be opened";
    case kFxCantWrite:
      return "the file can't be written whole";
    case kFxTooLarge:
      return "the file is too large to be a program or bank file";
    case kFxTooShort:
      return "the file is shorter than its header";
    case kFxNotFxFile:
      return "not a program or bank file (no \"CcnK\" magic)";
    case kFxBadVersion:
      return "unsupported program format version";
    case kFxForeignPlugin:
      return "the file belongs to another plug-in";
    case kFxNotAProgram:
      return "not a program: unknown program magic";
    case kFxNotABank:
      return "not a bank: unknown bank magic";
    case kFxChunksNotSupported:
      return "chunk-form file, but this plug-in does not load chunks";
    case kFxTruncated:
      return "the file is shorter than the values it announces";
    case kFxBadValue:
      return "a parameter value is not a number";
    case kFxBadProgram:
      return "a program in the bank is malformed or has another parameter count";
    case kFxBadState:
      return "the state in the file's chunk can't be read whole";
    case kFxNoMemory:
      return "out of memory";
  }
  return "unknown error";
}

namespace {

unsigned SwapToBE(unsigned v) {
  return ((v & 0xFFu) << 24) | ((v & 0xFF00u) << 8) | ((v >> 8) & 0xFF00u) | (v >> 24);
}

// Whether n bytes from pos lie wholly inside the chunk.
bool Holds(const ByteChunk& file, int pos, long long n) {
  return pos >= 0 && n >= 0 && static_cast<long long>(pos) + n <= file.Size();
}

}  // namespace

int AppendBE32(ByteChunk* chunk, int value) {
  unsigned be = SwapToBE(static_cast<unsigned>(value));
  return chunk->AppendBytes(&be, 4);
}

int AppendBEFloat(ByteChunk* chunk, float value) {
  unsigned bits;
  std::memcpy(&bits, &value, 4);
  return AppendBE32(chunk, static_cast<int>(bits));
}

int ReadBE32(const ByteChunk& chunk, int* value, int pos) {
  unsigned be;
  pos = chunk.ReadBytes(&be, 4, pos);
  if (pos >= 0) *value = static_cast<int>(SwapToBE(be));
  return pos;
}

int ReadBEFloat(const ByteChunk& chunk, float* value, int pos) {
  int bits;
  pos = ReadBE32(chunk, &bits, pos);
  if (pos >= 0) std::memcpy(value, &bits, 4);
  return pos;
}

// A name longer than the field loses whole UTF-8 characters: a cut that would split
// one backs up to its lead byte (a sequence has at most three continuation bytes).
int AppendFxName(ByteChunk* chunk, const char* name) {
  char field[kFxNameLen] = {};
  if (name) {
    size_t n = strnlen(name, kFxNameLen - 1);
    for (int k = 0; k < 3 && n > 0 && (static_cast<unsigned char>(name[n]) & 0xC0) == 0x80; ++k)
      --n;
    std::memcpy(field, name, n);
  }
  return chunk->AppendBytes(field, kFxNameLen);
}

int AppendFxProgramHeader(ByteChunk* chunk, int byteSize, int fxMagic, int pluginID,
                          int pluginVersion, int numParams, const char* name) {
  AppendBE32(chunk, kFxChunkMagic);
  AppendBE32(chunk, byteSize);
  AppendBE32(chunk, fxMagic);
  AppendBE32(chunk, kFxProgramVersion);
  AppendBE32(chunk, pluginID);
  AppendBE32(chunk, pluginVersion);
  AppendBE32(chunk, numParams);
  return AppendFxName(chunk, name);
}

void InitChunkWithIPluginVer(ByteChunk* chunk) {
  chunk->Clear();
  chunk->Append(kIPlugChunkMagic);
  chunk->Append(kIPlugChunkVersion);
}

int GetIPluginVerFromChunk(ByteChunk* chunk, int* pos) {
  int magic = 0, version = 0;
  if (chunk->Read(&magic, *pos) < 0 || magic != kIPlugChunkMagic) return 0;
  int end = chunk->Read(&version, *pos + 4);
  if (end < 0) {
    *pos = -1;
    return 0;
  }
  *pos = end;
  return version;
}

// A file that does not start with the magic is no program or bank file at all,
// however short; one that does must hold the whole fixed header.
static EFxError CheckFxStart(const ByteChunk& file, int pos, int headerSize) {
  int chunkMagic = 0;
  if (ReadBE32(file, &chunkMagic, pos) >= 0 && chunkMagic != kFxChunkMagic) return kFxNotFxFile;
  return Holds(file, pos, headerSize) ? kFxOK : kFxTooShort;
}

EFxError ParseFxProgramHeader(const ByteChunk& file, int pos, FxProgramInfo* info) {
  EFxError err = CheckFxStart(file, pos, kFxProgramHeaderSize);
  if (err != kFxOK) return err;
  ReadBE32(file, &info->mByteSize, pos + 4);
  ReadBE32(file, &info->mFxMagic, pos + 8);
  ReadBE32(file, &info->mFormatVersion, pos + 12);
  ReadBE32(file, &info->mPluginID, pos + 16);
  ReadBE32(file, &info->mPluginVersion, pos + 20);
  ReadBE32(file, &info->mNumParams, pos + 24);
  // The name field is read up to its first zero, at most 28 characters.
  const char* name = reinterpret_cast<const char*>(file.GetBytes() + pos + 28);
  size_t nameLen = strnlen(name, kFxNameLen);
  std::memcpy(info->mName, name, nameLen);
  info->mName[nameLen] = '\0';
  info->mDataPos = pos + kFxProgramHeaderSize;
  return info->mFormatVersion == kFxProgramVersion ? kFxOK : kFxBadVersion;
}

EFxError ParseFxProgramData(const ByteChunk& file, int nParams, FxProgramInfo* info) {
  int dataPos = info->mDataPos;
  if (info->mFxMagic == kFxProgramChunkMagic) {
    if (ReadBE32(file, &info->mChunkSize, dataPos) < 0) return kFxTruncated;
    info->mDataPos = dataPos + 4;
    return Holds(file, info->mDataPos, info->mChunkSize) ? kFxOK : kFxTruncated;
  }
  if (info->mFxMagic != kFxProgramMagic) return kFxNotAProgram;
  if (nParams < 0 || !Holds(file, dataPos, 4LL * nParams)) return kFxTruncated;
  for (int i = 0; i < nParams; ++i) {
    float v = 0.0f;
    ReadBEFloat(file, &v, dataPos + 4 * i);
    if (std::isnan(v)) return kFxBadValue;
  }
  return kFxOK;
}

EFxError ParseFxProgram(const ByteChunk& file, int pos, int nParams, FxProgramInfo* info) {
  EFxError err = ParseFxProgramHeader(file, pos, info);
  return err != kFxOK ? err : ParseFxProgramData(file, nParams, info);
}

EFxError ParseFxBankHeader(const ByteChunk& file, FxBankInfo* info) {
  EFxError err = CheckFxStart(file, 0, kFxBankHeaderSize);
  if (err != kFxOK) return err;
  ReadBE32(file, &info->mByteSize, 4);
  ReadBE32(file, &info->mFxMagic, 8);
  ReadBE32(file, &info->mFormatVersion, 12);
  ReadBE32(file, &info->mPluginID, 16);
  ReadBE32(file, &info->mPluginVersion, 20);
  ReadBE32(file, &info->mNumPrograms, 24);
  ReadBE32(file, &info->mCurrentProgram, 28);
  info->mDataPos = kFxBankHeaderSize;
  return kFxOK;
}

EFxError ParseFxBankData(const ByteChunk& file, int nParams, FxBankInfo* info) {
  if (info->mFxMagic == kFxBankChunkMagic) {
    if (ReadBE32(file, &info->mChunkSize, kFxBankHeaderSize) < 0) return kFxTruncated;
    info->mDataPos = kFxBankHeaderSize + 4;
    return Holds(file, info->mDataPos, info->mChunkSize) ? kFxOK : kFxTruncated;
  }
  if (info->mFxMagic != kFxBankMagic) return kFxNotABank;
  if (nParams < 0) return kFxBadProgram;
  info->mDataPos = kFxBankHeaderSize;
  info->mProgramSize = kFxProgramHeaderSize + 4 * nParams;
  if (info->mNumPrograms < 0 ||
      !Holds(file, info->mDataPos,
             static_cast<long long>(info->mProgramSize) * info->mNumPrograms)) {
    return kFxTruncated;
  }
  for (int k = 0; k < info->mNumPrograms; ++k) {
    FxProgramInfo program;
    EFxError err = ParseFxProgram(file, info->mDataPos + k * info->mProgramSize, nParams, &program);
    if (err == kFxBadValue) return err;
    if (err != kFxOK || program.mFxMagic != kFxProgramMagic || program.mNumParams != nParams) {
      return kFxBadProgram;
    }
  }
  return kFxOK;
}

EFxError ParseFxBank(const ByteChunk& file, int nParams, FxBankInfo* info) {
  EFxError err = ParseFxBankHeader(file, info);
  return err != kFxOK ? err : ParseFxBankData(file, nParams, info);
}

double FxProgramValue(const ByteChunk& file, const FxProgramInfo& info, int i) {
  float v = 0.0f;
  ReadBEFloat(file, &v, info.mDataPos + 4 * i);
  double n = static_cast<double>(v);
  return n < 0.0 ? 0.0 : (n > 1.0 ? 1.0 : n);
}

EFxError ReadFxFile(const char* path, ByteChunk* out) {
  out->Clear();
  if (!path || !*path) return kFxCantOpen;
  FILE* f = std::fopen(path, "rb");
  if (!f) return kFxCantOpen;
  EFxError result = kFxOK;
  unsigned char block[16384];
  for (;;) {
    size_t n = std::fread(block, 1, sizeof(block), f);
    if (n == 0) break;
    if (out->Size() + static_cast<long long>(n) > kFxMaxFileSize) {
      result = kFxTooLarge;
      break;
    }
    int before = out->Size();
    if (out->AppendBytes(block, static_cast<int>(n)) != before + static_cast<int>(n)) {
      result = kFxNoMemory;
      break;
    }
  }
  if (result == kFxOK && std::ferror(f)) result = kFxCantOpen;
  std::fclose(f);
  if (result != kFxOK) out->Clear();
  return result;
}

EFxError WriteFxFile(const char* path, const ByteChunk& data) {
  if (!path || !*path) return kFxCantOpen;
  FILE* f = std::fopen(path, "wb");
  if (!f) return kFxCantOpen;
  size_t n = static_cast<size_t>(data.Size());
  bool ok = n == 0 || std::fwrite(data.GetBytes(), 1, n, f) == n;
  if (std::fclose(f) != 0) ok = false;
  return ok ? kFxOK : kFxCantWrite;
}
