#pragma once

#include "ByteChunk.h"
#include "IPluginStructs.h"

// Program (.fxp) and bank (.fxb) exchange files.  Their records are big-endian
// 32-bit ints and floats; a program or bank is stored either as normalised
// parameter values or as one opaque chunk that starts with the framework header.

constexpr int kFxChunkMagic = FourCC('C', 'c', 'n', 'K');
constexpr int kFxProgramMagic = FourCC('F', 'x', 'C', 'k');       // program, parameter form
constexpr int kFxProgramChunkMagic = FourCC('F', 'P', 'C', 'h');  // program, chunk form
constexpr int kFxBankMagic = FourCC('F', 'x', 'B', 'k');          // bank, parameter form
constexpr int kFxBankChunkMagic = FourCC('F', 'B', 'C', 'h');     // bank, chunk form

enum {
  kFxNameLen = 28,            // a name field, terminating zero included
  kFxProgramHeaderSize = 56,  // up to the values or the chunk size
  kFxBankHeaderSize = 156,    // up to the programs or the chunk size
  kFxBankReservedSize = 124,
  kFxProgramVersion = 1,
  kFxBankVersion = 2,
  kFxMaxFileSize = 64 << 20,  // no program or bank comes near this
};

// The framework chunk header: "tffp" as a little-endian int, then version 1.0.0.
constexpr int kIPlugChunkMagic = 0x70666674;
constexpr int kIPlugChunkVersion = 0x00010000;

// Why a program or bank file was refused.
enum EFxError {
  kFxOK = 0,
  kFxCantOpen,
  kFxCantWrite,
  kFxTooLarge,
  kFxTooShort,
  kFxNotFxFile,
  kFxBadVersion,
  kFxForeignPlugin,
  kFxNotAProgram,
  kFxNotABank,
  kFxChunksNotSupported,
  kFxTruncated,
  kFxBadValue,
  kFxBadProgram,
  kFxBadState,
  kFxNoMemory,
};

// One line of text saying what is wrong, for messages to the user.
const char* FxErrorStr(EFxError error);

// What a program record holds; filled by ParseFxProgram.
struct FxProgramInfo {
  int mFxMagic = 0;  // kFxProgramMagic or kFxProgramChunkMagic
  int mByteSize = 0;
  int mFormatVersion = 0;
  int mPluginID = 0;
  int mPluginVersion = 0;  // decimal form, as written
  int mNumParams = 0;      // as announced
  char mName[kFxNameLen + 1] = {};
  int mDataPos = 0;    // parameter form: first value; chunk form: first chunk byte
  int mChunkSize = 0;  // chunk form only
};

// What a bank file holds; filled by ParseFxBank.
struct FxBankInfo {
  int mFxMagic = 0;  // kFxBankMagic or kFxBankChunkMagic
  int mByteSize = 0;
  int mFormatVersion = 0;
  int mPluginID = 0;
  int mPluginVersion = 0;
  int mNumPrograms = 0;
  int mCurrentProgram = 0;
  int mDataPos = 0;      // parameter form: first program record; chunk form: first chunk byte
  int mChunkSize = 0;    // chunk form only
  int mProgramSize = 0;  // parameter form: bytes per program record
};

// Big-endian appends and reads.  A read returns the position after the value, or
// -1 (destination untouched) when the value does not lie wholly inside the chunk.
int AppendBE32(ByteChunk* chunk, int value);
int AppendBEFloat(ByteChunk* chunk, float value);
int ReadBE32(const ByteChunk& chunk, int* value, int pos);
int ReadBEFloat(const ByteChunk& chunk, float* value, int pos);
// Appends a name in a 28-byte zero-filled field, cut to at most 27 bytes at a UTF-8
// character boundary.
int AppendFxName(ByteChunk* chunk, const char* name);
// Appends a parameter-form program header (everything before the values).
int AppendFxProgramHeader(ByteChunk* chunk, int byteSize, int fxMagic, int pluginID,
                          int pluginVersion, int numParams, const char* name);

// Clears the chunk and writes the framework header into it.
void InitChunkWithIPluginVer(ByteChunk* chunk);
// At *pos: the header's version, advancing *pos past it; 0 and *pos untouched when
// no header starts there; 0 and *pos = -1 when a header starts but is cut short.
int GetIPluginVerFromChunk(ByteChunk* chunk, int* pos);

// Checks a program record at pos: its header, and then its nParams values (each a
// number) or its announced chunk, against the chunk's size.  Plug-in ID and
// parameter count are left to the caller.  The two halves can be called apart:
// the header first (format version 1), then the data.
EFxError ParseFxProgram(const ByteChunk& file, int pos, int nParams, FxProgramInfo* info);
EFxError ParseFxProgramHeader(const ByteChunk& file, int pos, FxProgramInfo* info);
EFxError ParseFxProgramData(const ByteChunk& file, int nParams, FxProgramInfo* info);

// Checks a bank file: its header, and its chunk or every program record (each in
// parameter form with nParams values), against the file's size.  The bank's own
// format version is not checked.
EFxError ParseFxBank(const ByteChunk& file, int nParams, FxBankInfo* info);
EFxError ParseFxBankHeader(const ByteChunk& file, FxBankInfo* info);
EFxError ParseFxBankData(const ByteChunk& file, int nParams, FxBankInfo* info);

// The value of parameter i of a parameter-form record that ParseFxProgram accepted,
// held to the normalised range 0..1.
double FxProgramValue(const ByteChunk& file, const FxProgramInfo& info, int i);

// Reads a whole file (at most kFxMaxFileSize bytes) into out.
EFxError ReadFxFile(const char* path, ByteChunk* out);
// Writes the chunk to path; kFxCantOpen or kFxCantWrite when that fails.
EFxError WriteFxFile(const char* path, const ByteChunk& data);
