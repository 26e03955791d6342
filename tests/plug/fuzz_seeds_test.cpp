// The loader fuzzers' seed corpora are files made by the save operations.  This
// test checks that every committed seed still loads; run it with
// VANTROSE_WRITE_FUZZ_SEEDS=1 to write the seeds afresh first.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "Base64.h"
#include "ProgramFiles.h"
#include "StatePlug.h"

namespace {

const std::string kCorpus = std::string(VANTROSE_SOURCE_DIR) + "/tests/fuzz/corpus/";

void Dress(StatePlug* plug) {
  plug->MakePreset("bright", 4.5, 0.9, 3, 1, 2);
  plug->MakePreset("dark", -7.25, 0.15, 0, 0, 1);
  plug->RestorePreset(1);
}

struct Seed {
  const char* file;  // under the corpus folder
  std::function<void(ByteChunk*)> make;
  std::function<bool(ByteChunk*)> loads;
};

void ProgramFile(bool chunks, ByteChunk* out) {
  StatePlug plug(chunks);
  Dress(&plug);
  plug.MakeProgramFile(out);
}

void BankFile(bool chunks, int nPresets, ByteChunk* out) {
  StatePlug plug(chunks, nPresets);
  if (nPresets) Dress(&plug);
  plug.MakeBankFile(out);
}

bool LoadsProgram(bool chunks, ByteChunk* file) {
  StatePlug plug(chunks);
  return plug.LoadProgramFile(file) == kFxOK;
}

bool LoadsBank(bool chunks, ByteChunk* file) {
  StatePlug plug(chunks);
  return plug.LoadBankFile(file) == kFxOK;
}

const Seed kSeeds[] = {
    {"state/state.bin",
     [](ByteChunk* out) {
       StatePlug plug;
       Dress(&plug);
       plug.SerializeState(out);
     },
     [](ByteChunk* c) { return StatePlug().UnserializeState(c, 0) == c->Size(); }},
    {"state/presets.bin",
     [](ByteChunk* out) {
       StatePlug plug;
       Dress(&plug);
       plug.SerializePresets(out);
     },
     [](ByteChunk* c) { return StatePlug().UnserializePresets(c, 0) == c->Size(); }},
    {"fxprogram/param.fxp", [](ByteChunk* out) { ProgramFile(false, out); },
     [](ByteChunk* c) { return LoadsProgram(false, c) && LoadsProgram(true, c); }},
    {"fxprogram/chunk.fxp", [](ByteChunk* out) { ProgramFile(true, out); },
     [](ByteChunk* c) { return LoadsProgram(true, c); }},
    {"fxbank/param.fxb", [](ByteChunk* out) { BankFile(false, 3, out); },
     [](ByteChunk* c) { return LoadsBank(false, c) && LoadsBank(true, c); }},
    {"fxbank/chunk.fxb", [](ByteChunk* out) { BankFile(true, 3, out); },
     [](ByteChunk* c) { return LoadsBank(true, c); }},
    {"fxbank/empty.fxb", [](ByteChunk* out) { BankFile(false, 0, out); },
     [](ByteChunk* c) { return LoadsBank(false, c); }},
    // Two bytes of chunk size, then the state chunk as Base64.
    {"presetblob/state.txt",
     [](ByteChunk* out) {
       StatePlug plug;
       Dress(&plug);
       ByteChunk state;
       plug.SerializeState(&state);
       TypedBuf<char> text;
       Base64Encode(state.GetBytes(), state.Size(), &text);
       unsigned char size[2] = {0, static_cast<unsigned char>(state.Size())};
       out->AppendBytes(size, 2);
       out->AppendBytes(text.Get(), static_cast<int>(std::strlen(text.Get())));
     },
     [](ByteChunk* c) {
       std::string text(reinterpret_cast<const char*>(c->GetBytes()) + 2, c->Size() - 2);
       StatePlug plug(false, 1);
       plug.MakePresetFromBlob("seed", text.c_str(), c->GetBytes()[1]);
       return plug.RestorePreset(0) && plug.Value(StatePlug::kGain) == -7.25;
     }},
};

TEST(FuzzSeeds, EveryCommittedSeedLoads) {
  bool write = std::getenv("VANTROSE_WRITE_FUZZ_SEEDS") != nullptr;
  for (const Seed& seed : kSeeds) {
    std::string path = kCorpus + seed.file;
    if (write) {
      ByteChunk made;
      seed.make(&made);
      ASSERT_EQ(WriteFxFile(path.c_str(), made), kFxOK) << path;
    }
    ByteChunk file;
    ASSERT_EQ(ReadFxFile(path.c_str(), &file), kFxOK) << path;
    EXPECT_TRUE(seed.loads(&file)) << path;
  }
}

}  // namespace
