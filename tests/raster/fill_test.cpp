#include <gtest/gtest.h>

#include "RasterTestUtil.h"
#include "Raster_Fill.h"

namespace {

struct FillCase {
  float alpha;
  int mode;
  unsigned int color, dest, expected;
};

class FillRectTest : public ::testing::TestWithParam<FillCase> {};

TEST_P(FillRectTest, EveryPixelOfTheRectangle) {
  const FillCase& c = GetParam();
  auto bmp = MakeBitmap(4, 3, c.dest);
  Raster_FillRect(bmp.get(), 1, 1, 2, 2, c.color, c.alpha, c.mode);
  EXPECT_EQ(At(*bmp, 1, 1), c.expected);
  EXPECT_EQ(At(*bmp, 2, 2), c.expected);
  EXPECT_EQ(At(*bmp, 0, 0), c.dest);
  EXPECT_EQ(At(*bmp, 3, 2), c.dest);
}

INSTANTIATE_TEST_SUITE_P(
    KnownValues, FillRectTest,
    ::testing::Values(FillCase{1.0f, 0, 0x80FFFFFFu, 0u, 0x80FFFFFFu},  // stores all four bytes
                      FillCase{0.5f, 0, 0xFFFFFFFFu, 0x01010101u, 0x7F7F7F7Fu},  // half mix
                      FillCase{0.25f, 0, 0xFFFFFFFFu, 0u, 0x3F3F3F3Fu},  // quarter mix, not 0x40
                      FillCase{0.75f, 0, 0xFFFFFFFFu, 0u, 0xBEBEBEBEu},  // three-quarter mix
                      // w = 76 through the copy formula, 76 standing for the source alpha too.
                      FillCase{0.3f, 0, 0xFF808080u, 0u, 0x17262626u},
                      // Colour alpha 0x80 scales the weight to 128: the half mix.
                      FillCase{1.0f, 0x10000, 0x80FF0000u, 0u, 0x407F0000u},
                      FillCase{1.0f, 0x10000, 0x00FFFFFFu, 0x11111111u, 0x11111111u},
                      // Add with w as the source alpha: alpha 0 + 256 * 256 / 256 clamps to 255.
                      FillCase{1.0f, 1, 0x00640000u, 0x00100000u, 0xFF740000u},
                      FillCase{1.0f, 5, 0x00808080u, 0x10203040u,
                               0xFF203040u},  // HSV alpha stays in range
                      FillCase{1.0f, 9, 0xFFFFFFFFu, 0x10203040u, 0x10203040u},
                      FillCase{0.0f, 0, 0xFFFFFFFFu, 0x10203040u, 0x10203040u}));

TEST(FillRect, ClipsToTheBitmap) {
  auto bmp = MakeBitmap(5, 5);
  Raster_FillRect(bmp.get(), -3, -3, 5, 5, 0xFFFFFFFFu, 1.0f, 0);
  EXPECT_EQ(CountNonZero(*bmp), 4);
  Raster_FillRect(bmp.get(), 4, 4, 2147483647, 2147483647, 0xFFFFFFFFu, 1.0f, 0);
  EXPECT_EQ(CountNonZero(*bmp), 5);
  Raster_FillRect(bmp.get(), 5, 0, 3, 3, 0xFFFFFFFFu, 1.0f, 0);
  Raster_FillRect(bmp.get(), 0, 0, -3, 3, 0xFFFFFFFFu, 1.0f, 0);
  Raster_FillRect(nullptr, 0, 0, 3, 3, 0xFFFFFFFFu, 1.0f, 0);
  EXPECT_EQ(CountNonZero(*bmp), 5);
}

TEST(ClearRect, MaskAndOrBits) {
  auto bmp = MakeBitmap(3, 3, 0x12345678u);
  Raster_ClearRect(bmp.get(), 1, 0, 5, 2, 0x00FFFFFFu, 0xFF000000u);
  EXPECT_EQ(At(*bmp, 1, 0), 0xFF345678u);
  EXPECT_EQ(At(*bmp, 2, 1), 0xFF345678u);
  EXPECT_EQ(At(*bmp, 0, 0), 0x12345678u);
  EXPECT_EQ(At(*bmp, 1, 2), 0x12345678u);
}

TEST(Clear, EveryPixelButNotThePadding) {
  Raster_MemBitmap bmp(3, 2, 4);
  bmp.getBits()[3] = 0xDEADBEEFu;
  Raster_Clear(&bmp, 0xFF00FF00u);
  EXPECT_EQ(At(bmp, 2, 1), 0xFF00FF00u);
  EXPECT_EQ(bmp.getBits()[3], 0xDEADBEEFu);
}

TEST(Pixels, GetAndPutOutsideTheBitmap) {
  auto bmp = MakeBitmap(3, 2, 0x01020304u);
  for (auto p : {std::pair<int, int>{-1, 0}, {0, -1}, {3, 0}, {0, 2}, {-2147483647 - 1, 0}}) {
    EXPECT_EQ(Raster_GetPixel(bmp.get(), p.first, p.second), 0u);
    Raster_PutPixel(bmp.get(), p.first, p.second, 0xFFFFFFFFu, 1.0f, 0);
  }
  EXPECT_EQ(Raster_GetPixel(bmp.get(), 2, 1), 0x01020304u);
  EXPECT_EQ(Raster_GetPixel(nullptr, 0, 0), 0u);
  Raster_MemBitmap empty;
  EXPECT_EQ(Raster_GetPixel(&empty, 0, 0), 0u);
  Raster_PutPixel(bmp.get(), 1, 1, 0xFFFFFFFFu, 0.25f, 0);
  // colour / 4 + pixel / 4 + pixel / 2, each byte rounded down.
  EXPECT_EQ(Raster_GetPixel(bmp.get(), 1, 1), 0x3F404042u);
}

}  // namespace
