// ByteChunk and the state chunk: layout, reads at the edges, short and long chunks.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "ByteChunk.h"
#include "StatePlug.h"

namespace {

std::vector<unsigned char> Bytes(const ByteChunk& c) {
  return std::vector<unsigned char>(c.GetBytes(), c.GetBytes() + c.Size());
}

void Fill(ByteChunk* c, const std::vector<double>& values) {
  for (double v : values) {
    c->Append(v);
  }
}

TEST(ByteChunk, AppendsValuesLittleEndianAsTheyLieInMemory) {
  ByteChunk c;
  EXPECT_EQ(c.Append(0x01020304), 4);
  EXPECT_EQ(c.Append(1.0), 12);
  EXPECT_EQ(c.Append(true), 13);
  EXPECT_EQ(c.Append(false), 14);
  std::vector<unsigned char> expected = {0x04, 0x03, 0x02, 0x01, 0,    0,    0,
                                         0,    0,    0,    0xF0, 0x3F, 0x01, 0x00};
  EXPECT_EQ(Bytes(c), expected);
}

TEST(ByteChunk, ReadsBackAndRefusesReadsPastTheEnd) {
  ByteChunk c;
  c.Append(-7);
  c.Append(2.5);
  c.Append(true);
  int i = 0;
  double d = 0.0;
  bool b = false;
  EXPECT_EQ(c.Read(&i, 0), 4);
  EXPECT_EQ(c.Read(&d, 4), 12);
  EXPECT_EQ(c.Read(&b, 12), 13);
  EXPECT_EQ(i, -7);
  EXPECT_EQ(d, 2.5);
  EXPECT_TRUE(b);

  // A value that would pass the end, or a negative position, fails and leaves
  // the destination alone.
  d = 99.0;
  EXPECT_EQ(c.Read(&d, 6), -1);
  EXPECT_EQ(c.Read(&d, -1), -1);
  EXPECT_EQ(c.Read(&b, 13), -1);
  EXPECT_EQ(d, 99.0);
  EXPECT_TRUE(b);
}

TEST(ByteChunk, BoolIsTrueForAnyNonZeroByte) {
  ByteChunk c;
  unsigned char raw = 0x80;
  c.AppendBytes(&raw, 1);
  bool b = false;
  EXPECT_EQ(c.Read(&b, 0), 1);
  EXPECT_TRUE(b);
}

TEST(ByteChunk, StringsRoundTripAndStopAtAZeroByte) {
  ByteChunk c;
  EXPECT_EQ(c.AppendString("preset one"), 14);
  c.Append(5);
  c.AppendBytes("ab\0cd", 5);
  char out[32] = "stale";
  EXPECT_EQ(c.ReadString(out, sizeof(out), 0), 14);
  EXPECT_STREQ(out, "preset one");
  EXPECT_EQ(c.ReadString(out, sizeof(out), 14), 23);
  EXPECT_STREQ(out, "ab");
}

TEST(ByteChunk, StringLengthOfZeroOrLessGivesEmptyTextAndItsEnd) {
  ByteChunk c;
  c.Append(0);
  c.Append(-2);
  c.Append(0);
  char out[8] = "stale";
  EXPECT_EQ(c.ReadString(out, sizeof(out), 0), 4);
  EXPECT_STREQ(out, "");
  std::strcpy(out, "stale");
  // The end is position + 4 + length, even when the length is negative.
  EXPECT_EQ(c.ReadString(out, sizeof(out), 4), 6);
  EXPECT_STREQ(out, "");
}

TEST(ByteChunk, StringPastTheEndReturnsItsEndAndLeavesTheText) {
  ByteChunk c;
  c.Append(100);
  c.AppendBytes("short", 5);
  char out[8] = "stale";
  EXPECT_EQ(c.ReadString(out, sizeof(out), 0), 104);
  EXPECT_STREQ(out, "stale");
  int next = 0;
  EXPECT_EQ(c.Read(&next, 104), -1);
  EXPECT_EQ(c.ReadString(out, sizeof(out), 7), -1);  // not even a length there
}

TEST(ByteChunk, StringIsCutToTheOutputBuffer) {
  ByteChunk c;
  c.AppendString("a name far longer than eight");
  char out[8 + 1] = {};
  out[8] = 'X';  // canary just past the buffer handed to ReadString
  EXPECT_EQ(c.ReadString(out, 8, 0), 32);
  EXPECT_STREQ(out, "a name ");
  EXPECT_EQ(out[8], 'X');
}

TEST(ByteChunk, ChunksAppendAndCompare) {
  ByteChunk a, b;
  Fill(&a, {1.0, 2.0});
  EXPECT_FALSE(a.IsEqual(b));
  EXPECT_EQ(b.AppendChunk(&a), 16);
  EXPECT_TRUE(a.IsEqual(b));
  b.Clear();
  EXPECT_EQ(b.Size(), 0);
  EXPECT_TRUE(b.IsEqual(ByteChunk()));
}

// ---- The state chunk ----

TEST(StateChunk, IsOneDoublePerParameterInIndexOrder) {
  StatePlug plug;
  plug.SetValues({-3.5, 0.5, 2.0, 0.0, 1.0});
  ByteChunk c;
  ASSERT_TRUE(plug.SerializeState(&c));
  ByteChunk expected;
  Fill(&expected, {-3.5, 0.5, 2.0, 0.0, 1.0});
  EXPECT_TRUE(c.IsEqual(expected));
}

TEST(StateChunk, RoundTripsExactlyIntoAFreshInstance) {
  StatePlug a;
  a.SetValues({7.123456789012345, 0.31415926535, 4.0, 1.0, 2.0});
  ByteChunk c;
  a.SerializeState(&c);
  StatePlug b;
  EXPECT_EQ(b.UnserializeState(&c, 0), 40);
  for (int i = 0; i < StatePlug::kNumParams; ++i)
    EXPECT_EQ(b.Value(i), a.Value(i)) << i;
  EXPECT_EQ(b.mParamChanges, StatePlug::kNumParams);
}

TEST(StateChunk, ClampsValuesIntoEachRangeAndTakesNaNAsZero) {
  StatePlug plug;
  double nan = std::numeric_limits<double>::quiet_NaN();
  double inf = std::numeric_limits<double>::infinity();
  ByteChunk c;
  Fill(&c, {-100.0, inf, nan, 5.0, -inf});
  EXPECT_EQ(plug.UnserializeState(&c, 0), 40);
  EXPECT_EQ(plug.Value(StatePlug::kGain), -12.0);
  EXPECT_EQ(plug.Value(StatePlug::kFreq), 0.983);
  EXPECT_EQ(plug.Value(StatePlug::kMode), 0.0);
  EXPECT_EQ(plug.Value(StatePlug::kOn), 1.0);
  EXPECT_EQ(plug.Value(StatePlug::kType), 0.0);
}

TEST(StateChunk, ShortChunkSetsTheParameterItRanOutAtAndKeepsTheRest) {
  StatePlug plug;
  plug.SetValues({1.0, 0.5, 3.0, 1.0, 2.0});
  ByteChunk c;
  Fill(&c, {2.0});
  c.AppendBytes("\0\0\0", 3);  // a partial second value
  EXPECT_EQ(plug.UnserializeState(&c, 0), -1);
  EXPECT_EQ(plug.Value(StatePlug::kGain), 2.0);
  EXPECT_EQ(plug.Value(StatePlug::kFreq), 0.1);  // 0.0 clamped into 0.1..0.983
  EXPECT_EQ(plug.Value(StatePlug::kMode), 3.0);
  EXPECT_EQ(plug.Value(StatePlug::kOn), 1.0);
  EXPECT_EQ(plug.Value(StatePlug::kType), 2.0);
  EXPECT_EQ(plug.mParamChanges, StatePlug::kNumParams);  // every parameter is announced
}

TEST(StateChunk, ExtraBytesAreIgnoredAndAStartPositionIsHonoured) {
  StatePlug plug;
  ByteChunk state;
  Fill(&state, {1.0, 0.2, 2.0, 0.0, 1.0});
  ByteChunk c;
  c.Append(12345);
  c.AppendChunk(&state);
  c.Append(3.0);
  EXPECT_EQ(plug.UnserializeState(&c, 4), 44);
  EXPECT_EQ(plug.Value(StatePlug::kGain), 1.0);
  EXPECT_EQ(plug.Value(StatePlug::kType), 1.0);
}

TEST(StateChunk, CompareStateIgnoresDifferencesBeyondSinglePrecision) {
  StatePlug plug;
  plug.SetValues({1.0, 0.5, 2.0, 1.0, 0.0});
  std::vector<double> stored = {99.0, 1.0 + 1e-12, 0.5 + 1e-9, 2.0, 1.0, 0.0};
  const unsigned char* data = reinterpret_cast<const unsigned char*>(stored.data());
  EXPECT_TRUE(plug.CompareState(data, 1));
  EXPECT_FALSE(plug.CompareState(data, 0));
  stored[2] = 0.5001;
  EXPECT_FALSE(plug.CompareState(data, 1));
}

}  // namespace
