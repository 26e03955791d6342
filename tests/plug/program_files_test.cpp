// Program and bank files: exact layouts, round trips in both forms, and files that
// are foreign, truncated or malformed, which must change nothing.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "ProgramFiles.h"
#include "StatePlug.h"

namespace {

std::vector<unsigned char> Bytes(const ByteChunk& c, int from, int n) {
  return std::vector<unsigned char>(c.GetBytes() + from, c.GetBytes() + from + n);
}

std::vector<unsigned char> BE(int v) {
  unsigned u = static_cast<unsigned>(v);
  return {static_cast<unsigned char>(u >> 24), static_cast<unsigned char>(u >> 16),
          static_cast<unsigned char>(u >> 8), static_cast<unsigned char>(u)};
}

std::vector<unsigned char> Text(const char* s) {
  return std::vector<unsigned char>(s, s + std::strlen(s));
}

void PutBE32(ByteChunk* c, int pos, int value) {
  ByteChunk be;
  AppendBE32(&be, value);
  std::memcpy(c->GetBytes() + pos, be.GetBytes(), 4);
}

void Prefix(const ByteChunk& c, int n, ByteChunk* out) {
  out->Clear();
  out->AppendBytes(c.GetBytes(), n);
}

// A plug-in with distinct values and named presets, so that a load shows.
void Dress(StatePlug* plug) {
  plug->MakePreset("bright", 4.5, 0.9, 3, 1, 2);
  plug->MakePreset("dark", -7.25, 0.15, 0, 0, 1);
  plug->RestorePreset(1);
}

// The value SetNormalized gives for a parameter's value sent through a float.
double ThroughFloat(const IParam* p, double value) {
  double n = static_cast<float>(p->GetNormalized(value));
  double v = p->GetMin() + (p->GetMax() - p->GetMin()) * std::pow(n, p->GetShape());
  if (p->GetKind() != kParamDouble) v = std::floor(v / p->GetStep() + 0.5) * p->GetStep();
  return std::min(v, p->GetMax());
}

TEST(ProgramFile, ParameterFormHeaderIsBigEndianWithTheNameCutTo27) {
  StatePlug plug;
  plug.MakeDefaultPreset("a name of forty characters for the field", 1);
  ByteChunk file;
  ASSERT_TRUE(plug.MakeProgramFile(&file));
  ASSERT_EQ(file.Size(), 56 + 4 * StatePlug::kNumParams);
  EXPECT_EQ(Bytes(file, 0, 4), Text("CcnK"));
  EXPECT_EQ(Bytes(file, 4, 4), BE(0));
  EXPECT_EQ(Bytes(file, 8, 4), Text("FxCk"));
  EXPECT_EQ(Bytes(file, 12, 4), BE(1));
  EXPECT_EQ(Bytes(file, 16, 4), Text("StPl"));
  EXPECT_EQ(Bytes(file, 20, 4), BE(10203));
  EXPECT_EQ(Bytes(file, 24, 4), BE(StatePlug::kNumParams));
  std::vector<unsigned char> name = Text("a name of forty characters ");
  name.push_back(0);
  EXPECT_EQ(Bytes(file, 28, 28), name);
  // Gain 0 in -12..12 is normalised 0.5: 0x3F000000.
  EXPECT_EQ(Bytes(file, 56, 4), BE(0x3F000000));
}

// A cut never splits a UTF-8 character: two-, three- and four-byte characters
// straddling the 27th byte are dropped whole; one ending exactly there is kept.
TEST(ProgramFile, LongNamesAreCutAtACharacterBoundary) {
  const struct {
    std::string name, kept;
  } cases[] = {
      {std::string(26, 'a') + "\xC3\xA9", std::string(26, 'a')},
      {std::string(25, 'a') + "\xE2\x82\xAC", std::string(25, 'a')},
      {std::string(24, 'a') + "\xF0\x9F\x98\x80", std::string(24, 'a')},
      {std::string(25, 'a') + "\xC3\xA9" + "zz", std::string(25, 'a') + "\xC3\xA9"},
  };
  for (const auto& c : cases) {
    ByteChunk field;
    AppendFxName(&field, c.name.c_str());
    ASSERT_EQ(field.Size(), kFxNameLen);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(field.GetBytes())), c.kept) << c.name;
  }
}

TEST(ProgramFile, ChunkFormHoldsTheFrameworkHeaderThenTheState) {
  StatePlug plug(true, 0);
  ByteChunk file;
  ASSERT_TRUE(plug.MakeProgramFile(&file));
  int chunkSize = 8 + 8 * StatePlug::kNumParams;
  ASSERT_EQ(file.Size(), 60 + chunkSize);
  EXPECT_EQ(Bytes(file, 4, 4), BE(60 + chunkSize));
  EXPECT_EQ(Bytes(file, 8, 4), Text("FPCh"));
  EXPECT_EQ(Bytes(file, 28, 28), std::vector<unsigned char>(28, 0));  // no presets: no name
  EXPECT_EQ(Bytes(file, 56, 4), BE(chunkSize));
  EXPECT_EQ(Bytes(file, 60, 8), (std::vector<unsigned char>{'t', 'f', 'f', 'p', 0, 0, 1, 0}));
  double gain = -1.0;
  file.Read(&gain, 68);
  EXPECT_EQ(gain, 0.0);
}

TEST(ProgramFile, ParameterFormRoundTripsThroughFloats) {
  StatePlug a;
  Dress(&a);
  ByteChunk file;
  a.MakeProgramFile(&file);
  StatePlug b;
  b.MakeDefaultPreset("-", 1);
  ASSERT_EQ(b.LoadProgramFile(&file), kFxOK);
  for (int i = 0; i < StatePlug::kNumParams; ++i) {
    EXPECT_EQ(b.Value(i), ThroughFloat(a.GetParam(i), a.Value(i))) << i;
  }
  EXPECT_EQ(b.Value(StatePlug::kMode), 0.0);
  EXPECT_STREQ(b.GetPresetName(0), "dark");
  EXPECT_EQ(b.mProgramChanges, 1);
  EXPECT_GE(b.mParamChanges, StatePlug::kNumParams);
}

TEST(ProgramFile, ChunkFormRoundTripsExactly) {
  StatePlug a(true);
  Dress(&a);
  a.GetParam(StatePlug::kGain)->SetValue(1.0 / 3.0);
  ByteChunk file;
  a.MakeProgramFile(&file);
  StatePlug b(true);
  ASSERT_EQ(b.LoadProgramFile(&file), kFxOK);
  for (int i = 0; i < StatePlug::kNumParams; ++i)
    EXPECT_EQ(b.Value(i), a.Value(i)) << i;
  EXPECT_STREQ(b.GetPresetName(0), "dark");
  EXPECT_TRUE(b.GetPreset(0)->mInitialized);
}

TEST(ProgramFile, ChunkWithoutTheFrameworkHeaderLoads) {
  StatePlug a(true);
  a.SetValues({2.0, 0.4, 2.0, 0.0, 1.0});
  ByteChunk state;
  a.SerializeState(&state);
  ByteChunk file;
  AppendFxProgramHeader(&file, 60 + state.Size(), kFxProgramChunkMagic, StatePlug::kID, 10203,
                        StatePlug::kNumParams, "bare");
  AppendBE32(&file, state.Size());
  file.AppendChunk(&state);
  StatePlug b(true);
  ASSERT_EQ(b.LoadProgramFile(&file), kFxOK);
  for (int i = 0; i < StatePlug::kNumParams; ++i)
    EXPECT_EQ(b.Value(i), a.Value(i)) << i;
  EXPECT_STREQ(b.GetPresetName(0), "bare");
}

TEST(ProgramFile, LoadsIntoAPlugInWithoutPresetsAndAnnouncesTheValues) {
  StatePlug a;
  a.SetValues({6.0, 0.5, 2.0, 0.0, 1.0});
  ByteChunk file;
  a.MakeProgramFile(&file);
  StatePlug b(false, 0);
  ASSERT_EQ(b.LoadProgramFile(&file), kFxOK);
  EXPECT_EQ(b.Value(StatePlug::kGain), 6.0);
  EXPECT_EQ(b.mParamChanges, StatePlug::kNumParams);
  EXPECT_EQ(b.mProgramChanges, 1);
  EXPECT_EQ(b.mRedraws, 1);  // the editor shows the loaded values
}

TEST(ProgramFile, FullWidthNameIsReadWithoutATerminator) {
  StatePlug a;
  ByteChunk file;
  a.MakeProgramFile(&file);
  std::memset(file.GetBytes() + 28, 'x', 28);
  FxProgramInfo info;
  ASSERT_EQ(ParseFxProgram(file, 0, StatePlug::kNumParams, &info), kFxOK);
  EXPECT_EQ(std::string(info.mName), std::string(28, 'x'));
}

TEST(ProgramFile, OutOfRangeValuesAreHeldToTheNormalisedRange) {
  StatePlug a;
  ByteChunk file;
  a.MakeProgramFile(&file);
  ByteChunk minus;
  AppendBEFloat(&minus, -3.0f);
  std::memcpy(file.GetBytes() + 56 + 4 * StatePlug::kFreq, minus.GetBytes(), 4);
  ByteChunk plus;
  AppendBEFloat(&plus, std::numeric_limits<float>::infinity());
  std::memcpy(file.GetBytes() + 56 + 4 * StatePlug::kGain, plus.GetBytes(), 4);
  StatePlug b;
  ASSERT_EQ(b.LoadProgramFile(&file), kFxOK);
  EXPECT_EQ(b.Value(StatePlug::kFreq), 0.1);  // a shape of 0.5 would turn -3 into NaN
  EXPECT_EQ(b.Value(StatePlug::kGain), 12.0);
}

struct BadProgram {
  const char* what;
  int offset;  // where to write value (-1: nothing)
  int value;
  bool chunks;  // the loading plug-in does chunks
  bool chunkFile;
  EFxError expected;
};

class RejectedProgram : public ::testing::TestWithParam<BadProgram> {};

TEST_P(RejectedProgram, ChangesNothing) {
  const BadProgram& c = GetParam();
  StatePlug writer(c.chunkFile);
  writer.SetValues({9.0, 0.9, 4.0, 0.0, 2.0});
  ByteChunk file;
  writer.MakeProgramFile(&file);
  if (c.offset >= 0) PutBE32(&file, c.offset, c.value);

  StatePlug plug(c.chunks);
  Dress(&plug);
  std::string before = Snapshot(plug);
  plug.mParamChanges = 0;
  EXPECT_EQ(plug.LoadProgramFile(&file), c.expected) << c.what;
  EXPECT_EQ(Snapshot(plug), before) << c.what;
  EXPECT_EQ(plug.mProgramChanges, 0) << c.what;
}

const float kNaN = std::numeric_limits<float>::quiet_NaN();
int NaNBits() {
  int bits;
  std::memcpy(&bits, &kNaN, 4);
  return bits;
}

INSTANTIATE_TEST_SUITE_P(
    Files, RejectedProgram,
    ::testing::Values(
        BadProgram{"foreign id", 16, FourCC('O', 't', 'h', 'r'), false, false, kFxForeignPlugin},
        BadProgram{"foreign id, chunk", 16, 1, true, true, kFxForeignPlugin},
        BadProgram{"chunk form without chunk support", -1, 0, false, true, kFxChunksNotSupported},
        BadProgram{"not CcnK", 0, FourCC('R', 'I', 'F', 'F'), false, false, kFxNotFxFile},
        BadProgram{"format version 2", 12, 2, false, false, kFxBadVersion},
        BadProgram{"bank magic", 8, kFxBankMagic, false, false, kFxNotAProgram},
        BadProgram{"unknown magic", 8, FourCC('F', 'x', 'Z', 'z'), false, false, kFxNotAProgram},
        BadProgram{"NaN value", 56 + 4 * StatePlug::kMode, NaNBits(), false, false, kFxBadValue},
        BadProgram{"chunk size past the end", 56, 1000, true, true, kFxTruncated},
        BadProgram{"negative chunk size", 56, -8, true, true, kFxTruncated},
        // The announced size fits, but the state inside it is two values short.
        BadProgram{"state cut inside the chunk", 56, 8 + 24, true, true, kFxBadState}));

// A file cut anywhere short of its end is refused whole, in either form.
class TruncatedProgram : public ::testing::TestWithParam<bool> {};

TEST_P(TruncatedProgram, AtEveryLengthChangesNothing) {
  bool chunks = GetParam();
  StatePlug writer(chunks);
  writer.SetValues({9.0, 0.9, 4.0, 0.0, 2.0});
  ByteChunk file;
  writer.MakeProgramFile(&file);
  StatePlug plug(chunks);
  Dress(&plug);
  std::string before = Snapshot(plug);
  for (int n = 0; n < file.Size(); ++n) {
    ByteChunk cut;
    Prefix(file, n, &cut);
    EXPECT_NE(plug.LoadProgramFile(&cut), kFxOK) << n;
    ASSERT_EQ(Snapshot(plug), before) << n;
  }
  EXPECT_EQ(plug.mProgramChanges, 0);
}

INSTANTIATE_TEST_SUITE_P(BothForms, TruncatedProgram, ::testing::Bool());

TEST(ProgramFile, StateThatRunsOutInsideTheFileIsUndone) {
  StatePlug writer(true);
  writer.SetValues({9.0, 0.9, 4.0, 0.0, 2.0});
  ByteChunk file;
  writer.MakeProgramFile(&file);
  // Announce and keep only the header and two values: the file is whole, its state is not.
  int chunkSize = 8 + 16;
  ByteChunk cut;
  Prefix(file, 60 + chunkSize, &cut);
  PutBE32(&cut, 56, chunkSize);
  StatePlug plug(true);
  Dress(&plug);
  std::string before = Snapshot(plug);
  EXPECT_EQ(plug.LoadProgramFile(&cut), kFxBadState);
  EXPECT_EQ(Snapshot(plug), before);
  EXPECT_EQ(plug.Value(StatePlug::kGain), -7.25);
}

TEST(ProgramFile, SavesAndLoadsThroughPaths) {
  std::string path = ::testing::TempDir() + std::to_string(getpid()) + "_" + "vantrose_program.fxp";
  StatePlug a;
  Dress(&a);
  StrBuf p(path.c_str());
  ASSERT_TRUE(a.SaveProgramAsFXP(&p));
  StatePlug b;
  b.MakeDefaultPreset("-", 1);
  ASSERT_TRUE(b.LoadProgramFromFXP(&p));
  EXPECT_STREQ(b.GetPresetName(0), "dark");
  std::remove(path.c_str());

  StrBuf empty(""), missing("/nonexistent-dir/x.fxp");
  EXPECT_FALSE(a.SaveProgramAsFXP(&empty));
  EXPECT_FALSE(a.SaveProgramAsFXP(&missing));
  EXPECT_FALSE(b.LoadProgramFromFXP(&empty));
  EXPECT_FALSE(b.LoadProgramFromFXP(&missing));
  EXPECT_FALSE(b.LoadProgramFromFXP(nullptr));
}

// ---- Banks ----

void ExpectSamePresets(const StatePlug& a, const StatePlug& b, bool exact) {
  ASSERT_EQ(a.NPresets(), b.NPresets());
  for (int k = 0; k < a.NPresets(); ++k) {
    EXPECT_STREQ(b.GetPresetName(k), a.GetPresetName(k)) << k;
    const ByteChunk& ca = a.GetPreset(k)->mChunk;
    const ByteChunk& cb = b.GetPreset(k)->mChunk;
    for (int i = 0; i < StatePlug::kNumParams; ++i) {
      double va = -99.0, vb = -99.0;  // both stay so when a chunk is empty
      ca.Read(&va, 8 * i);
      cb.Read(&vb, 8 * i);
      EXPECT_EQ(vb, exact ? va : ThroughFloat(a.GetParam(i), va)) << k << "/" << i;
    }
  }
}

TEST(BankFile, ParameterFormRoundTripsEveryPreset) {
  StatePlug a;
  Dress(&a);
  ByteChunk file;
  ASSERT_TRUE(a.MakeBankFile(&file));
  EXPECT_EQ(file.Size(), 156 + 3 * (56 + 4 * StatePlug::kNumParams));
  EXPECT_EQ(Bytes(file, 8, 4), Text("FxBk"));
  EXPECT_EQ(Bytes(file, 12, 4), BE(2));
  EXPECT_EQ(Bytes(file, 24, 8), (std::vector<unsigned char>{0, 0, 0, 3, 0, 0, 0, 1}));
  EXPECT_EQ(Bytes(file, 156 + 8, 4), Text("FxCk"));

  StatePlug b;
  ASSERT_EQ(b.LoadBankFile(&file), kFxOK);
  // The free third slot was written as all-zero values and comes back filled.
  StatePlug expected;
  Dress(&expected);
  ByteChunk zeros;
  for (int i = 0; i < StatePlug::kNumParams; ++i)
    zeros.Append(0.0);
  expected.GetPreset(2)->mChunk.AppendChunk(&zeros);
  ExpectSamePresets(expected, b, false);
  EXPECT_EQ(b.GetCurrentPresetIdx(), 1);
  EXPECT_EQ(b.Value(StatePlug::kGain), ThroughFloat(a.GetParam(0), -7.25));
  EXPECT_EQ(b.mProgramChanges, 1);
}

TEST(BankFile, ChunkFormRoundTripsExactly) {
  StatePlug a(true);
  Dress(&a);
  ByteChunk file;
  ASSERT_TRUE(a.MakeBankFile(&file));
  EXPECT_EQ(Bytes(file, 8, 4), Text("FBCh"));
  int chunkSize = file.Size() - 160;
  EXPECT_EQ(Bytes(file, 4, 4), BE(file.Size()));
  EXPECT_EQ(Bytes(file, 156, 4), BE(chunkSize));
  StatePlug b(true);
  ASSERT_EQ(b.LoadBankFile(&file), kFxOK);
  ExpectSamePresets(a, b, true);
  EXPECT_FALSE(b.GetPreset(2)->mInitialized);
  EXPECT_EQ(b.mProgramChanges, 1);
}

TEST(BankFile, ZeroProgramsRestoresTheFilesCurrentProgram) {
  StatePlug a(false, 0);
  ByteChunk file;
  a.MakeBankFile(&file);
  PutBE32(&file, 28, 1);
  StatePlug b;
  Dress(&b);
  b.RestorePreset(0);
  ASSERT_EQ(b.LoadBankFile(&file), kFxOK);
  EXPECT_EQ(b.GetCurrentPresetIdx(), 1);
  EXPECT_EQ(b.Value(StatePlug::kGain), -7.25);
}

TEST(BankFile, ProgramsBeyondThePresetListAreNotLoaded) {
  StatePlug a(false, 4);
  a.MakePreset("p0", 1.0, 0.2, 1, 0, 0);
  a.MakePreset("p1", 2.0, 0.3, 2, 0, 0);
  a.MakePreset("p2", 3.0, 0.4, 3, 0, 0);
  a.MakePreset("p3", 4.0, 0.5, 4, 0, 0);
  ByteChunk file;
  a.MakeBankFile(&file);
  StatePlug b(false, 2);
  ASSERT_EQ(b.LoadBankFile(&file), kFxOK);
  EXPECT_STREQ(b.GetPresetName(0), "p0");
  EXPECT_STREQ(b.GetPresetName(1), "p1");
  double gain = 0.0;
  b.GetPreset(1)->mChunk.Read(&gain, 0);
  EXPECT_EQ(gain, ThroughFloat(a.GetParam(0), 2.0));  // not overwritten by p2 or p3
}

struct BadBank {
  const char* what;
  int offset;
  int value;
  bool chunks;
  EFxError expected;
};

class RejectedBank : public ::testing::TestWithParam<BadBank> {};

TEST_P(RejectedBank, ChangesNothing) {
  const BadBank& c = GetParam();
  StatePlug writer(c.chunks);
  Dress(&writer);
  ByteChunk file;
  writer.MakeBankFile(&file);
  PutBE32(&file, c.offset, c.value);
  StatePlug plug(c.chunks);
  plug.MakeDefaultPreset("mine", 3);
  std::string before = Snapshot(plug);
  plug.mParamChanges = 0;
  EXPECT_EQ(plug.LoadBankFile(&file), c.expected) << c.what;
  EXPECT_EQ(Snapshot(plug), before) << c.what;
  EXPECT_EQ(plug.mProgramChanges, 0) << c.what;
}

// The bank's programs start at 156 and are 56 + 20 bytes each; the last one is at 308.
INSTANTIATE_TEST_SUITE_P(
    Files, RejectedBank,
    ::testing::Values(BadBank{"foreign id", 16, 7, false, kFxForeignPlugin},
                      BadBank{"unknown bank magic", 8, kFxProgramMagic, false, kFxNotABank},
                      BadBank{"more programs than the file holds", 24, 4, false, kFxTruncated},
                      BadBank{"negative program count", 24, -1, false, kFxTruncated},
                      BadBank{"last program's parameter count", 308 + 24, 4, false, kFxBadProgram},
                      BadBank{"last program's magic", 308 + 8, kFxProgramChunkMagic, false,
                              kFxBadProgram},
                      BadBank{"last program's version", 308 + 12, 3, false, kFxBadProgram},
                      BadBank{"NaN in the last program", 308 + 56, NaNBits(), false, kFxBadValue},
                      BadBank{"chunk size past the end", 156, 100000, true, kFxTruncated}));

TEST(BankFile, ChunkFormRefusedWithoutChunkSupport) {
  StatePlug writer(true);
  ByteChunk file;
  writer.MakeBankFile(&file);
  StatePlug plug(false);
  EXPECT_EQ(plug.LoadBankFile(&file), kFxChunksNotSupported);
}

class TruncatedBank : public ::testing::TestWithParam<bool> {};

TEST_P(TruncatedBank, AtEveryLengthChangesNothing) {
  bool chunks = GetParam();
  StatePlug writer(chunks);
  Dress(&writer);
  ByteChunk file;
  writer.MakeBankFile(&file);
  StatePlug plug(chunks);
  plug.MakeDefaultPreset("mine", 3);
  std::string before = Snapshot(plug);
  for (int n = 0; n < file.Size(); ++n) {
    ByteChunk cut;
    Prefix(file, n, &cut);
    EXPECT_NE(plug.LoadBankFile(&cut), kFxOK) << n;
    ASSERT_EQ(Snapshot(plug), before) << n;
  }
}

INSTANTIATE_TEST_SUITE_P(BothForms, TruncatedBank, ::testing::Bool());

TEST(BankFile, PresetListThatRunsOutInsideTheChunkIsUndone) {
  StatePlug writer(true);
  Dress(&writer);
  ByteChunk file;
  writer.MakeBankFile(&file);
  int chunkSize = 8 + 30;  // the header and part of the first preset
  ByteChunk cut;
  Prefix(file, 160 + chunkSize, &cut);
  PutBE32(&cut, 156, chunkSize);
  StatePlug plug(true);
  plug.MakeDefaultPreset("mine", 3);
  plug.GetParam(StatePlug::kGain)->SetValue(3.0);
  std::string before = Snapshot(plug);
  EXPECT_EQ(plug.LoadBankFile(&cut), kFxBadState);
  EXPECT_EQ(Snapshot(plug), before);
}

TEST(BankFile, SavesAndLoadsThroughPaths) {
  std::string path = ::testing::TempDir() + std::to_string(getpid()) + "_" + "vantrose_bank.fxb";
  StatePlug a(true);
  Dress(&a);
  StrBuf p(path.c_str());
  ASSERT_TRUE(a.SaveBankAsFXB(&p));
  StatePlug b(true);
  ASSERT_TRUE(b.LoadBankFromFXB(&p));
  ExpectSamePresets(a, b, true);
  std::remove(path.c_str());
  StrBuf empty("");
  EXPECT_FALSE(a.SaveBankAsFXB(&empty));
  EXPECT_FALSE(b.LoadBankFromFXB(&empty));
}

// ---- Framework chunk header ----

TEST(FrameworkChunkHeader, IsFoundOnlyWhereItStartsAndWhole) {
  ByteChunk c;
  InitChunkWithIPluginVer(&c);
  int pos = 0;
  EXPECT_EQ(GetIPluginVerFromChunk(&c, &pos), 0x00010000);
  EXPECT_EQ(pos, 8);
  pos = 1;
  EXPECT_EQ(GetIPluginVerFromChunk(&c, &pos), 0);
  EXPECT_EQ(pos, 1);
  ByteChunk cut;
  Prefix(c, 6, &cut);
  pos = 0;
  EXPECT_EQ(GetIPluginVerFromChunk(&cut, &pos), 0);
  EXPECT_EQ(pos, -1);
  c.Append(1.0);
  InitChunkWithIPluginVer(&c);  // clears first
  EXPECT_EQ(c.Size(), 8);
}

}  // namespace
