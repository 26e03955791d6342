// Presets: filling, restoring by index and name, pruning, serialising, Base64 blobs
// and the source-text dumps.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "Base64.h"
#include "StatePlug.h"

namespace {

std::vector<double> ChunkValues(const ByteChunk& c) {
  std::vector<double> values;
  double v;
  for (int pos = 0; (pos = c.Read(&v, pos)) > 0;)
    values.push_back(v);
  return values;
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string TempPath(const char* name) {
  return ::testing::TempDir() + std::to_string(getpid()) + "_" + "vantrose_presets_" + name;
}

TEST(Presets, SlotsStartFreeAndNamedEmpty) {
  StatePlug plug;
  ASSERT_EQ(plug.NPresets(), 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_FALSE(plug.GetPreset(i)->mInitialized);
    EXPECT_STREQ(plug.GetPresetName(i), "empty");
  }
  EXPECT_STREQ(plug.GetPresetName(3), "");
  EXPECT_STREQ(plug.GetPresetName(-1), "");
}

TEST(Presets, DefaultPresetHoldsTheCurrentStateUntilTheSlotsRunOut) {
  StatePlug plug(false, 2);
  plug.MakeDefaultPreset(nullptr, 1);
  EXPECT_STREQ(plug.GetPresetName(0), "Empty");
  EXPECT_EQ(ChunkValues(plug.GetPreset(0)->mChunk), (std::vector<double>{0.0, 0.725, 1, 1, 0}));
  plug.MakeDefaultPreset("-", 3);  // one free slot left: the rest does nothing
  EXPECT_STREQ(plug.GetPresetName(1), "-");
  EXPECT_TRUE(plug.GetPreset(1)->mInitialized);
  EXPECT_EQ(plug.NPresets(), 2);
}

TEST(Presets, EnsureDefaultPresetFillsEveryFreeSlot) {
  StatePlug plug;
  plug.MakeDefaultPreset("first", 1);
  plug.EnsureDefaultPreset();
  EXPECT_STREQ(plug.GetPresetName(0), "first");
  EXPECT_STREQ(plug.GetPresetName(1), "Empty");
  EXPECT_STREQ(plug.GetPresetName(2), "Empty");
  EXPECT_TRUE(plug.GetPreset(2)->mInitialized);
}

TEST(Presets, MakePresetReadsIntsForSteppedKindsAndLeavesTheParameters) {
  StatePlug plug;
  plug.MakePreset("made", -6.5, 0.3, 4, 0, 2);
  const IPreset* preset = plug.GetPreset(0);
  EXPECT_TRUE(preset->mInitialized);
  EXPECT_STREQ(preset->mName, "made");
  EXPECT_EQ(ChunkValues(preset->mChunk), (std::vector<double>{-6.5, 0.3, 4, 0, 2}));
  for (int i = 0; i < StatePlug::kNumParams; ++i) {
    EXPECT_EQ(plug.Value(i), plug.GetParam(i)->GetDefault());
  }
}

TEST(Presets, NamedParamsFillOnlyTheNamedOnes) {
  StatePlug plug;
  plug.MakePresetFromNamedParams("named", 2, StatePlug::kMode, 3, StatePlug::kGain, 6.0);
  EXPECT_EQ(ChunkValues(plug.GetPreset(0)->mChunk), (std::vector<double>{6.0, 0.725, 3, 1, 0}));
}

TEST(Presets, NamedParamsGivenTheSentinelTakeTheCurrentValue) {
  StatePlug plug;
  plug.MakePresetFromNamedParams("sentinel", 1, StatePlug::kGain, 9.999e-08);
  EXPECT_EQ(ChunkValues(plug.GetPreset(0)->mChunk)[0], 0.0);
}

TEST(Presets, NamedParamsStopAtAnIndexOutsideTheList) {
  StatePlug plug;
  plug.MakePresetFromNamedParams("bad index", 3, StatePlug::kGain, 1.0, 99, 5.0, StatePlug::kMode,
                                 4);
  // The pair after the bad index is not read either: its value's type is unknown.
  EXPECT_EQ(ChunkValues(plug.GetPreset(0)->mChunk), (std::vector<double>{1.0, 0.725, 1, 1, 0}));
}

TEST(Presets, ChunkPresetCopiesTheBytes) {
  StatePlug plug;
  ByteChunk c;
  c.Append(1.5);
  plug.MakePresetFromChunk("from chunk", &c);
  EXPECT_TRUE(plug.GetPreset(0)->mChunk.IsEqual(c));
}

// ---- Base64 ----

struct Base64Case {
  const char* bytes;
  const char* text;
};

class Base64Known : public ::testing::TestWithParam<Base64Case> {};

TEST_P(Base64Known, EncodesAndDecodesTheStandardVectors) {
  const Base64Case& c = GetParam();
  int n = static_cast<int>(std::strlen(c.bytes));
  TypedBuf<char> text;
  ASSERT_TRUE(Base64Encode(reinterpret_cast<const unsigned char*>(c.bytes), n, &text));
  EXPECT_STREQ(text.Get(), c.text);
  std::vector<unsigned char> out(static_cast<size_t>(n) + 1, 0xEE);
  EXPECT_EQ(Base64Decode(c.text, out.data(), n), n);
  EXPECT_EQ(std::string(out.begin(), out.begin() + n), c.bytes);
  EXPECT_EQ(out[static_cast<size_t>(n)], 0xEE);
}

INSTANTIATE_TEST_SUITE_P(Rfc, Base64Known,
                         ::testing::Values(Base64Case{"", ""}, Base64Case{"f", "Zg=="},
                                           Base64Case{"fo", "Zm8="}, Base64Case{"foo", "Zm9v"},
                                           Base64Case{"foob", "Zm9vYg=="},
                                           Base64Case{"fooba", "Zm9vYmE="},
                                           Base64Case{"foobar", "Zm9vYmFy"}));

TEST(Base64, AllByteValuesRoundTrip) {
  std::vector<unsigned char> bytes(256 * 3 + 1);
  for (size_t i = 0; i < bytes.size(); ++i)
    bytes[i] = static_cast<unsigned char>(i * 7 + 3);
  TypedBuf<char> text;
  ASSERT_TRUE(Base64Encode(bytes.data(), static_cast<int>(bytes.size()), &text));
  std::vector<unsigned char> back(bytes.size());
  EXPECT_EQ(Base64Decode(text.Get(), back.data(), static_cast<int>(back.size())),
            static_cast<int>(bytes.size()));
  EXPECT_EQ(back, bytes);
}

TEST(Base64, DecodingStopsAtTheFirstForeignCharacterAndNeverPassesSize) {
  unsigned char out[4] = {9, 9, 9, 9};
  EXPECT_EQ(Base64Decode("TWFu!TWFu", out, 4), 3);  // "Man"
  EXPECT_EQ(out[3], 9);
  EXPECT_EQ(Base64Decode("TWFuTWFu", out, 2), 2);  // the rest is read, not stored
  EXPECT_EQ(out[2], 'n');
  EXPECT_EQ(Base64Decode(nullptr, out, 4), 0);
}

TEST(Presets, BlobIsDecodedIntoExactlySizeZeroFilledBytes) {
  StatePlug plug;
  plug.MakePresetFromBlob("three", "AAAA", 3);
  plug.MakePresetFromBlob("five", "AAAA", 5);
  plug.MakePresetFromBlob("short", "TWFu", 2);
  EXPECT_EQ(plug.GetPreset(0)->mChunk.Size(), 3);
  EXPECT_EQ(plug.GetPreset(1)->mChunk.Size(), 5);
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(plug.GetPreset(1)->mChunk.GetBytes()[i], 0) << i;
  ASSERT_EQ(plug.GetPreset(2)->mChunk.Size(), 2);
  EXPECT_EQ(plug.GetPreset(2)->mChunk.GetBytes()[1], 'a');
}

// ---- Restoring ----

TEST(Presets, RestoreByIndexAppliesTheChunkAndAnnouncesIt) {
  StatePlug plug;
  plug.MakePreset("a", 3.0, 0.2, 2, 0, 1);
  plug.MakePreset("b", -3.0, 0.9, 4, 1, 2);
  plug.mParamChanges = 0;
  ASSERT_TRUE(plug.RestorePreset(1));
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 1);
  EXPECT_EQ(plug.Value(StatePlug::kGain), -3.0);
  EXPECT_EQ(plug.Value(StatePlug::kType), 2.0);
  EXPECT_EQ(plug.mParamChanges, StatePlug::kNumParams);
  EXPECT_EQ(plug.mPresetsChanged, 1);
  EXPECT_EQ(plug.mRedraws, 1);
  ASSERT_TRUE(plug.RestorePreset("a"));
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 0);
  EXPECT_EQ(plug.Value(StatePlug::kGain), 3.0);
}

TEST(Presets, RestoreRefusesBadIndicesAndNamesWithoutAChange) {
  StatePlug plug;
  plug.MakePreset("a", 3.0, 0.2, 2, 0, 1);
  std::string before = Snapshot(plug);
  EXPECT_FALSE(plug.RestorePreset(-1));
  EXPECT_FALSE(plug.RestorePreset(3));
  EXPECT_FALSE(plug.RestorePreset(""));
  EXPECT_FALSE(plug.RestorePreset(static_cast<const char*>(nullptr)));
  EXPECT_FALSE(plug.RestorePreset("A"));  // names match exactly
  EXPECT_EQ(Snapshot(plug), before);
  EXPECT_EQ(plug.mPresetsChanged, 0);
  EXPECT_EQ(plug.mRedraws, 0);
}

TEST(Presets, RestoringANeverFilledSlotNamesItAndStoresTheCurrentValues) {
  StatePlug plug(false, 4);
  plug.GetParam(StatePlug::kGain)->SetValue(4.5);
  ASSERT_TRUE(plug.RestorePreset(0));
  EXPECT_STREQ(plug.GetPresetName(0), "user preset 1");
  EXPECT_EQ(ChunkValues(plug.GetPreset(0)->mChunk)[0], 4.5);

  // Every name containing "user preset" counts, wherever it appears.
  std::strcpy(plug.GetPreset(1)->mName, "my user preset");
  ASSERT_TRUE(plug.RestorePreset(2));
  EXPECT_STREQ(plug.GetPresetName(2), "user preset 3");
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 2);
}

TEST(Presets, RestoringAShortChunkFailsAndLeavesTheParameters) {
  StatePlug plug;
  plug.MakePresetFromBlob("three bytes", "AAAA", 3);
  plug.SetValues({5.0, 0.5, 3.0, 0.0, 2.0});
  std::string before = Snapshot(plug);
  EXPECT_FALSE(plug.RestorePreset(0));
  EXPECT_EQ(Snapshot(plug), before);
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 0);
  EXPECT_EQ(plug.mRedraws, 0);
}

TEST(Presets, ModifyCurrentPresetStoresTheStateAndRenames) {
  StatePlug plug;
  plug.MakeDefaultPreset("one", 1);
  plug.GetParam(StatePlug::kGain)->SetValue(-1.0);
  plug.ModifyCurrentPreset("");  // an empty name keeps the old one
  EXPECT_STREQ(plug.GetPresetName(0), "one");
  EXPECT_EQ(ChunkValues(plug.GetPreset(0)->mChunk)[0], -1.0);
  std::string longName(300, 'n');
  plug.ModifyCurrentPreset(longName.c_str());
  EXPECT_EQ(std::strlen(plug.GetPresetName(0)), 255u);
}

TEST(Presets, ModifyingAFreeSlotFillsIt) {
  StatePlug plug;
  plug.GetParam(StatePlug::kGain)->SetValue(2.0);
  plug.ModifyCurrentPreset("kept");
  EXPECT_TRUE(plug.GetPreset(0)->mInitialized);
  // Restoring it must not rename it "user preset 1".
  ASSERT_TRUE(plug.RestorePreset(0));
  EXPECT_STREQ(plug.GetPresetName(0), "kept");
}

TEST(Presets, PruningKeepsTheFilledOnesInOrder) {
  StatePlug plug(false, 5);
  plug.MakeDefaultPreset("a", 1);
  plug.RestorePreset(2);  // fills slot 2 as "user preset 1"
  plug.GetPreset(4)->mInitialized = true;
  plug.PruneUninitializedPresets();
  ASSERT_EQ(plug.NPresets(), 3);
  EXPECT_STREQ(plug.GetPresetName(0), "a");
  EXPECT_STREQ(plug.GetPresetName(1), "user preset 1");
  EXPECT_STREQ(plug.GetPresetName(2), "empty");
}

// ---- Serialised preset lists ----

TEST(Presets, SerialisedPresetsRoundTripIntoAFreshInstance) {
  StatePlug a;
  a.MakePreset("low", -6.0, 0.2, 0, 0, 0);
  a.MakePreset("high", 6.0, 0.9, 4, 1, 2);
  ByteChunk c;
  ASSERT_TRUE(a.SerializePresets(&c));
  // name, flag, 40-byte state for the two filled; name and flag for the free one
  EXPECT_EQ(c.Size(), (4 + 3 + 1 + 40) + (4 + 4 + 1 + 40) + (4 + 5 + 1));

  StatePlug b;
  EXPECT_EQ(b.UnserializePresets(&c, 0), c.Size());
  for (int i = 0; i < 3; ++i) {
    EXPECT_STREQ(b.GetPresetName(i), a.GetPresetName(i));
    EXPECT_EQ(b.GetPreset(i)->mInitialized, a.GetPreset(i)->mInitialized);
    EXPECT_TRUE(b.GetPreset(i)->mChunk.IsEqual(a.GetPreset(i)->mChunk)) << i;
  }
  // It ends by restoring the current preset (0, "low").
  EXPECT_EQ(b.Value(StatePlug::kGain), -6.0);
}

TEST(Presets, ShortPresetListLeavesTheUnreadPresetsAlone) {
  StatePlug a;
  a.MakePreset("low", -6.0, 0.2, 0, 0, 0);
  a.MakePreset("high", 6.0, 0.9, 4, 1, 2);
  ByteChunk full;
  a.SerializePresets(&full);
  ByteChunk cut;
  cut.AppendBytes(full.GetBytes(), 4 + 3 + 1 + 40 + 2);  // second name's length cut short

  StatePlug b;
  b.MakeDefaultPreset("mine", 3);
  EXPECT_EQ(b.UnserializePresets(&cut, 0), -1);
  EXPECT_STREQ(b.GetPresetName(0), "low");
  // No stale name is copied into the preset at which the list ran out.
  EXPECT_STREQ(b.GetPresetName(1), "mine");
  EXPECT_STREQ(b.GetPresetName(2), "mine");
}

TEST(Presets, PresetWhoseStateRunsOutIsLeftAsItWas) {
  StatePlug a;
  a.MakePreset("low", -6.0, 0.2, 0, 0, 0);
  ByteChunk full;
  a.SerializePresets(&full);
  ByteChunk cut;
  cut.AppendBytes(full.GetBytes(), 4 + 3 + 1 + 20);  // half of the first state

  StatePlug b(false, 3);
  b.MakePreset("mine", 1.0, 0.5, 2, 1, 1);
  ByteChunk mine;
  mine.AppendChunk(&b.GetPreset(0)->mChunk);
  EXPECT_EQ(b.UnserializePresets(&cut, 0), -1);
  EXPECT_STREQ(b.GetPresetName(0), "mine");
  EXPECT_TRUE(b.GetPreset(0)->mChunk.IsEqual(mine));
  EXPECT_FALSE(b.GetPreset(1)->mInitialized);
  // Whatever it holds still serialises into a list that reads back whole.
  ByteChunk again;
  ASSERT_TRUE(b.SerializePresets(&again));
  StatePlug c(false, 3);
  EXPECT_EQ(c.UnserializePresets(&again, 0), again.Size());
}

// ---- Dumps ----

TEST(PresetDumps, SourceCodeListsEveryParameter) {
  StatePlug plug;
  plug.SetValues({-2.5, 0.5, 3.0, 1.0, 2.0});
  const char* names[] = {"kGain", "kFreq", "kMode", "kOn", nullptr};
  std::string path = TempPath("src.txt");
  ASSERT_TRUE(plug.DumpPresetSrcCode(path.c_str(), names));
  EXPECT_EQ(ReadText(path),
            "  MakePresetFromNamedParams(\"name\", 5,\n    kGain, -2.500000,\n    kFreq, "
            "0.500000,\n    kMode, 3,\n    kOn, true,\n    4, 2);\n");
  std::remove(path.c_str());
}

TEST(PresetDumps, PresetBlobIsTheCurrentChunkInBase64Once) {
  StatePlug plug;
  plug.MakePresetFromBlob("x", "Zm9vYmE=", 5);
  std::string path = TempPath("blob.txt");
  ASSERT_TRUE(plug.DumpPresetBlob(path.c_str()));
  EXPECT_EQ(ReadText(path), "MakePresetFromBlob(\"name\", \"Zm9vYmE=\", 5);\n");
  std::remove(path.c_str());
}

TEST(PresetDumps, BankBlobOfALargeChunkRoundTripsAndQuotesNames) {
  StatePlug a(false, 2);
  ByteChunk big;
  for (int i = 0; i < 2000; ++i)
    big.Append(static_cast<bool>(i % 3));
  a.MakePresetFromChunk("say \"hi\"", &big);
  std::string path = TempPath("bank.txt");
  ASSERT_TRUE(a.DumpBankBlob(path.c_str()));
  std::string text = ReadText(path);
  std::remove(path.c_str());

  std::string first = text.substr(0, text.find('\n'));
  std::string head = "MakePresetFromBlob(\"say \\\"hi\\\"\", \"";
  ASSERT_EQ(first.compare(0, head.size(), head), 0) << first;
  std::string blob = first.substr(head.size(), first.find('"', head.size()) - head.size());
  EXPECT_EQ(first.substr(head.size() + blob.size()), "\", 2000);");
  StatePlug b(false, 1);
  b.MakePresetFromBlob("back", blob.c_str(), 2000);
  EXPECT_TRUE(b.GetPreset(0)->mChunk.IsEqual(big));
  EXPECT_EQ(text.substr(text.find('\n') + 1), "MakePresetFromBlob(\"empty\", \"\", 0);\n");
}

TEST(PresetDumps, UnopenablePathWritesNothing) {
  StatePlug plug;
  plug.MakeDefaultPreset("-", 1);
  const char* path = "/nonexistent-dir/dump.txt";
  EXPECT_FALSE(plug.DumpPresetSrcCode(path, nullptr));
  EXPECT_FALSE(plug.DumpPresetBlob(path));
  EXPECT_FALSE(plug.DumpBankBlob(path));
}

}  // namespace
