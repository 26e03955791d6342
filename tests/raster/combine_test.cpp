#include <gtest/gtest.h>

#include "Raster_Combine.h"
#include "Raster_CombineModes.h"

namespace {

// One channel combined in every byte: the colour (s, s, s, s) onto (t, t, t, t).
unsigned int Grey(int v) {
  return 0x01010101u * static_cast<unsigned int>(v);
}

struct ModeCase {
  const char* name;
  int mode;
  int t, s;
  float alpha;
  int expected;
};

class CombineModeTest : public ::testing::TestWithParam<ModeCase> {};

TEST_P(CombineModeTest, EveryChannelFollowsTheIntegerRule) {
  const ModeCase& c = GetParam();
  EXPECT_EQ(Raster_CombinePixels(Grey(c.t), Grey(c.s), c.alpha, c.mode), Grey(c.expected))
      << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    KnownValues, CombineModeTest,
    ::testing::Values(
        // (0 - 255) * 128 / 256 = -127.5 truncates toward zero.
        ModeCase{"copy half", 0, 0, 255, 0.5f, 128}, ModeCase{"copy full", 0, 7, 200, 1.0f, 200},
        ModeCase{"copy quarter", 0, 200, 0, 0.25f, 150},
        ModeCase{"add saturates", 1, 100, 200, 1.0f, 255},
        ModeCase{"add half", 1, 100, 100, 0.5f, 150},
        ModeCase{"dodge full lifts", 2, 1, 255, 1.0f, 255},
        ModeCase{"dodge keeps zero", 2, 0, 255, 1.0f, 0},
        ModeCase{"dodge partial", 2, 100, 128, 1.0f, 200},
        ModeCase{"multiply", 3, 200, 128, 1.0f, 100}, ModeCase{"multiply none", 3, 200, 0, 1.0f, 0},
        ModeCase{"overlay neutral", 4, 77, 128, 1.0f, 77},
        ModeCase{"overlay light", 4, 128, 255, 1.0f, 191},
        ModeCase{"overlay dark", 4, 128, 0, 1.0f, 64},
        ModeCase{"unknown mode", 6, 10, 200, 1.0f, 10},
        ModeCase{"zero weight", 0, 10, 200, 0.0f, 10},
        ModeCase{"weight below one step", 1, 10, 200, 1.0f / 512, 10},
        ModeCase{"NaN weight", 0, 10, 200, __builtin_nanf(""), 10}),
    [](const ::testing::TestParamInfo<ModeCase>& info) { return std::to_string(info.index); });

TEST(CombineWeight, FloatWeightTruncatesToSteps) {
  EXPECT_EQ(Raster_AlphaToWeight(0.5f), 128);
  EXPECT_EQ(Raster_AlphaToWeight(1.0f), 256);
  EXPECT_EQ(Raster_AlphaToWeight(0.3f), 76);
  EXPECT_EQ(Raster_AlphaToWeight(1.0f / 512), 0);
  EXPECT_EQ(Raster_AlphaToWeight(-1.0f), 0);
  EXPECT_EQ(Raster_AlphaToWeight(3.0f), 256);
}

TEST(CombineSourceAlpha, TransparentSourceLeavesDestinationWhole) {
  for (float alpha : {1.0f, 0.5f})
    for (int mode : {0x10000, 0x10001, 0x10003})
      EXPECT_EQ(Raster_CombinePixels(0x40112233u, 0x00FFFFFFu, alpha, mode), 0x40112233u)
          << "mode " << mode << " alpha " << alpha;
}

TEST(CombineSourceAlpha, FullWeightBlendsBySourceAlphaAlone) {
  EXPECT_EQ(Raster_CombinePixels(0x10203040u, 0xFF0A0B0Cu, 1.0f, 0x10000), 0xFF0A0B0Cu);
  // 128 alpha: colour s + (t - s) * 127 / 256, alpha min(255, 128 + 200).
  const unsigned int out =
      Raster_CombinePixels(0xC8000000u | 0x00FF00u, 0x80FF0000u, 1.0f, 0x10000);
  EXPECT_EQ(out >> 24, 255u);
  EXPECT_EQ((out >> 16) & 0xFF, 255u + (0 - 255) * 127 / 256);
  EXPECT_EQ((out >> 8) & 0xFF, 0u + (255 - 0) * 127 / 256);
}

TEST(CombineSourceAlpha, PartialWeightScalesBySourceAlpha) {
  // w' = 128 * (255 + 1) / 256 = 128; colour follows copy at 128, alpha = min(255, 0 + 128).
  const unsigned int out = Raster_CombinePixels(0x00000000u, 0xFFFF0000u, 0.5f, 0x10000);
  EXPECT_EQ(out, 0x80800000u);
  // add using source alpha at w' = 256 * 64 / 256 = 64: 100 + 200 * 64 / 256 = 150.
  const unsigned int add = Raster_CombinePixels(0xFF646464u, 0x3FC8C8C8u, 1.0f, 0x10001);
  EXPECT_EQ(add & 0xFFFFFF, 0x969696u);
}

TEST(CombineHSV, NeutralSourceKeepsColourAndTakesSourceAlpha) {
  for (unsigned int dest : {0xFF123456u, 0x80FF0000u, 0x00808080u, 0xFFFFFFFFu})
    EXPECT_EQ(Raster_CombinePixels(dest, 0x7F808080u, 1.0f, 5), (dest & 0xFFFFFF) | 0x7F000000u);
}

TEST(CombineHSV, ValueAndSaturationShifts) {
  // Blue 64 lowers value by 256 * (64 - 128) / 128 = 128: grey 200 becomes 72.
  EXPECT_EQ(Raster_CombinePixels(0xFFC8C8C8u, 0xFF808040u, 1.0f, 5), 0xFF484848u);
  // Green 0 removes all saturation: a pure red becomes grey at its value.
  EXPECT_EQ(Raster_CombinePixels(0xFFFF0000u, 0xFF800080u, 1.0f, 5), 0xFFFFFFFFu);
  // Red 171 shifts the hue by 171 + 85 - 192 = 64, one sector: red becomes yellow.
  EXPECT_EQ(Raster_CombinePixels(0xFFFF0000u, 0xFFAB8080u, 1.0f, 5), 0xFFFFFF00u);
}

TEST(CombinePixels2, ClampVariantKeepsOutOfRangeColoursInRange) {
  unsigned int p = 0xFF808080u;
  Raster_CombinePixels2Clamp(&p, 400, -50, 128, 255, 256, 0);
  EXPECT_EQ(p, 0xFFFF0080u);
  unsigned int q = 0xFF808080u;
  Raster_CombinePixels2(&q, 255, 0, 0, 255, 128, 0);
  EXPECT_EQ(q, 0xFFC04040u);
  unsigned int untouched = 0x12345678u;
  Raster_CombinePixels2(&untouched, 255, 255, 255, 0, 256, 0x10000);
  EXPECT_EQ(untouched, 0x12345678u);
}

}  // namespace
