#include <gtest/gtest.h>

#include <cmath>

#include "RasterTestUtil.h"
#include "Raster_Blit.h"
#include "Raster_Fill.h"

namespace {

// Blitting the whole 4 x 4 numbered source to (dx, dy) of an 8 x 8 zero bitmap:
// every destination pixel is the source pixel it covers, or untouched.
class BlitClipTest : public ::testing::TestWithParam<std::pair<int, int>> {};

TEST_P(BlitClipTest, DrawsOnlyTheVisiblePartAtItsOffset) {
  const int dx = GetParam().first, dy = GetParam().second;
  auto src = MakeNumbered(4, 4);
  auto dst = MakeBitmap(8, 8);
  Raster_Blit(dst.get(), src.get(), dx, dy, nullptr, 1.0f, 0);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      const int sx = x - dx, sy = y - dy;
      const bool covered = sx >= 0 && sy >= 0 && sx < 4 && sy < 4;
      EXPECT_EQ(At(*dst, x, y), covered ? At(*src, sx, sy) : 0u) << x << "," << y;
    }
}

INSTANTIATE_TEST_SUITE_P(EveryEdge, BlitClipTest,
                         ::testing::Values(std::pair<int, int>{0, 0}, std::pair<int, int>{2, 3},
                                           std::pair<int, int>{-2, 0}, std::pair<int, int>{0, -3},
                                           std::pair<int, int>{-3, -1}, std::pair<int, int>{6, 5},
                                           std::pair<int, int>{7, 7}, std::pair<int, int>{-4, 0},
                                           std::pair<int, int>{8, 0},
                                           std::pair<int, int>{-100000, 3},
                                           std::pair<int, int>{2147483647, 0}));

TEST(Blit, RegionStartingLeftOfAndAboveTheSourceMovesTheDestination) {
  auto src = MakeNumbered(4, 4);
  auto dst = MakeBitmap(8, 8);
  const RECT r{-1, -2, 3, 3};
  Raster_Blit(dst.get(), src.get(), 2, 2, &r, 1.0f, 0);
  EXPECT_EQ(At(*dst, 3, 4), At(*src, 0, 0));
  EXPECT_EQ(At(*dst, 5, 6), At(*src, 2, 2));
  EXPECT_EQ(At(*dst, 6, 6), 0u);
  EXPECT_EQ(At(*dst, 2, 2), 0u);
  EXPECT_EQ(CountNonZero(*dst), 9);
}

TEST(Blit, SubRegionFormAndOversizedRegion) {
  auto src = MakeNumbered(6, 6);
  auto dst = MakeBitmap(8, 8);
  Raster_Blit(dst.get(), src.get(), 0, 0, 2, 3, 100, 2, 1.0f, 0);
  EXPECT_EQ(At(*dst, 0, 0), At(*src, 2, 3));
  EXPECT_EQ(At(*dst, 3, 1), At(*src, 5, 4));
  EXPECT_EQ(CountNonZero(*dst), 4 * 2);
  Raster_Blit(dst.get(), src.get(), 0, 0, 2147483000, 0, 2147483000, 2, 1.0f, 0);
  EXPECT_EQ(CountNonZero(*dst), 4 * 2);
}

TEST(Blit, HalfWeightCopyHalvesEveryByteRoundingDown) {
  auto src = MakeBitmap(2, 1, 0x01FF0180u);
  auto dst = MakeBitmap(2, 1, 0x0101FF80u);
  Raster_Blit(dst.get(), src.get(), 0, 0, nullptr, 0.5f, 0);
  EXPECT_EQ(At(*dst, 0, 0), 0x007F7F80u);
}

TEST(Blit, SourceAlphaAtFullWeight) {
  auto src = MakeBitmap(3, 1);
  Set(*src, 0, 0, 0x00FFFFFFu);
  Set(*src, 1, 0, 0xFF102030u);
  Set(*src, 2, 0, 0x80FF0000u);
  auto dst = MakeBitmap(3, 1, 0x40404040u);
  Raster_Blit(dst.get(), src.get(), 0, 0, nullptr, 1.0f, 0x10000);
  EXPECT_EQ(At(*dst, 0, 0), 0x40404040u);
  EXPECT_EQ(At(*dst, 1, 0), 0xFF102030u);
  EXPECT_EQ(At(*dst, 2, 0), Raster_CombinePixels(0x40404040u, 0x80FF0000u, 1.0f, 0x10000));
  EXPECT_EQ(At(*dst, 2, 0) >> 24, 0xC0u);
}

// Every mode of a partial-weight blit matches the single-pixel combine.
class BlitModeTest : public ::testing::TestWithParam<int> {};

TEST_P(BlitModeTest, MatchesCombinePixels) {
  const int mode = GetParam();
  auto src = MakeBitmap(16, 1), dst = MakeBitmap(16, 1);
  for (int x = 0; x < 16; ++x) {
    Set(*src, x, 0, 0x11000000u * (x & 15) | (0x0F1D37u * (x + 1) & 0xFFFFFF));
    Set(*dst, x, 0, 0x9A5C3E21u + 0x01030507u * x);
  }
  auto expected = MakeBitmap(16, 1);
  for (int x = 0; x < 16; ++x)
    Set(*expected, x, 0, Raster_CombinePixels(At(*dst, x, 0), At(*src, x, 0), 0.7f, mode));
  Raster_Blit(dst.get(), src.get(), 0, 0, nullptr, 0.7f, mode);
  for (int x = 0; x < 16; ++x)
    EXPECT_EQ(At(*dst, x, 0), At(*expected, x, 0)) << x;
}

INSTANTIATE_TEST_SUITE_P(AllModes, BlitModeTest,
                         ::testing::Values(0, 1, 2, 3, 4, 5, 0x10000, 0x10001, 0x10002, 0x10003,
                                           0x10004, 0x10005, 6, 0x10040));

TEST(Blit, ChannelCopyMovesOneByte) {
  auto src = MakeBitmap(2, 2, 0x11223344u);
  auto dst = MakeBitmap(2, 2, 0xAABBCCDDu);
  Raster_Blit(dst.get(), src.get(), 0, 0, nullptr, 1.0f, RASTER_BLIT_CHANNEL_COPY(2, 3));
  EXPECT_EQ(At(*dst, 1, 1), 0x22BBCCDDu);
  Raster_Blit(dst.get(), src.get(), 0, 0, nullptr, 1.0f, RASTER_BLIT_CHANNEL_COPY(0, 1));
  EXPECT_EQ(At(*dst, 0, 0), 0x22BB44DDu);
}

TEST(Blit, NullOrEmptyBitmapsAndZeroWeightDoNothing) {
  auto src = MakeNumbered(4, 4);
  auto dst = MakeBitmap(4, 4);
  Raster_MemBitmap empty;
  Raster_Blit(nullptr, src.get(), 0, 0, nullptr, 1.0f, 0);
  Raster_Blit(dst.get(), nullptr, 0, 0, nullptr, 1.0f, 0);
  Raster_Blit(dst.get(), &empty, 0, 0, nullptr, 1.0f, 0);
  Raster_Blit(&empty, src.get(), 0, 0, nullptr, 1.0f, 0);
  Raster_Blit(dst.get(), src.get(), 0, 0, nullptr, 0.0f, 0);
  Raster_Blit(dst.get(), src.get(), 0, 0, nullptr, 1.0f / 1024, 0);
  EXPECT_EQ(CountNonZero(*dst), 0);
}

TEST(Copy, TakesTheSourcesSize) {
  auto src = MakeNumbered(5, 3);
  Raster_MemBitmap dst(1, 1);
  Raster_Copy(&dst, src.get());
  ASSERT_EQ(dst.getWidth(), 5);
  ASSERT_EQ(dst.getHeight(), 3);
  EXPECT_EQ(At(dst, 4, 2), At(*src, 4, 2));
}

TEST(ScaledBlit, SameSizeIsAPlainBlitAtTheRoundedOrigin) {
  auto src = MakeNumbered(8, 8);
  auto a = MakeBitmap(8, 8), b = MakeBitmap(8, 8);
  Raster_ScaledBlit(a.get(), src.get(), 1, 1, 5, 5, 1.6f, 2.2f, 5.0f, 5.0f, 1.0f, 0);
  Raster_Blit(b.get(), src.get(), 1, 1, 2, 2, 5, 5, 1.0f, 0);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      EXPECT_EQ(At(*a, x, y), At(*b, x, y)) << x << "," << y;
}

TEST(ScaledBlit, NearestDoublingAndMirroring) {
  auto src = MakeNumbered(3, 2);
  auto dst = MakeBitmap(6, 4);
  Raster_ScaledBlit(dst.get(), src.get(), 0, 0, 6, 4, 0, 0, 3, 2, 1.0f, 0);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x)
      EXPECT_EQ(At(*dst, x, y), At(*src, x / 2, y / 2));
  auto mirrored = MakeBitmap(3, 2);
  Raster_ScaledBlit(mirrored.get(), src.get(), 3, 0, -3, 2, 0, 0, 3, 2, 1.0f, 0);
  for (int x = 0; x < 3; ++x)
    EXPECT_EQ(At(*mirrored, x, 1), At(*src, 2 - x, 1));
}

TEST(ScaledBlit, NegativeOriginAdvancesTheSource) {
  auto src = MakeNumbered(4, 4);
  auto dst = MakeBitmap(8, 8);
  Raster_ScaledBlit(dst.get(), src.get(), -2, -4, 8, 8, 0, 0, 4, 4, 1.0f, 0);
  EXPECT_EQ(At(*dst, 0, 0), At(*src, 1, 2));
  EXPECT_EQ(At(*dst, 5, 3), At(*src, 3, 3));
  EXPECT_EQ(At(*dst, 6, 4), 0u);
}

TEST(ScaledBlit, BilinearEnlargementInterpolatesBetweenEdges) {
  auto src = MakeBitmap(2, 1);
  Set(*src, 0, 0, 0xFF000000u);
  Set(*src, 1, 0, 0xFF0000F0u);
  auto dst = MakeBitmap(8, 1);
  Raster_ScaledBlit(dst.get(), src.get(), 0, 0, 8, 1, 0, 0, 2, 1, 1.0f,
                    RASTER_MODE_FILTER_BILINEAR);
  EXPECT_EQ(At(*dst, 0, 0), 0xFF000000u);
  EXPECT_EQ(At(*dst, 7, 0), 0xFF0000F0u);
  for (int x = 1; x < 8; ++x)
    EXPECT_GE(At(*dst, x, 0) & 0xFF, At(*dst, x - 1, 0) & 0xFF);
  EXPECT_GT(At(*dst, 3, 0) & 0xFF, 0u);
  EXPECT_LT(At(*dst, 3, 0) & 0xFF, 0xF0u);
}

TEST(ScaledBlit, FilteredReductionAveragesCoveredPixels) {
  auto src = MakeBitmap(4, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      Set(*src, x, y, 0xFF000000u | ((x + y) % 2 ? 0xC8u : 0x10u));
  auto dst = MakeBitmap(2, 2);
  Raster_ScaledBlit(dst.get(), src.get(), 0, 0, 2, 2, 0, 0, 4, 4, 1.0f,
                    RASTER_MODE_FILTER_BILINEAR);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 2; ++x)
      EXPECT_EQ(At(*dst, x, y), 0xFF00006Cu);
}

TEST(RotatedBlit, NoTurnAtEqualSizeReproducesBlit) {
  auto src = MakeNumbered(7, 5);
  auto a = MakeBitmap(9, 9), b = MakeBitmap(9, 9);
  Raster_RotatedBlit(a.get(), src.get(), -1, 3, 7, 5, 0, 0, 7, 5, 0.0f, false, 1.0f, 0, 0, 0);
  Raster_Blit(b.get(), src.get(), -1, 3, nullptr, 1.0f, 0);
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 9; ++x)
      EXPECT_EQ(At(*a, x, y), At(*b, x, y)) << x << "," << y;
}

TEST(RotatedBlit, SamplesOutsideTheAreaLeaveTheDestination) {
  auto src = MakeNumbered(8, 8);
  auto dst = MakeBitmap(8, 8, 0x12345678u);
  // Clipped to the 4 x 4 source rectangle at (2, 2), offset by two source pixels:
  // half of each row and column falls outside it.
  Raster_RotatedBlit(dst.get(), src.get(), 0, 0, 4, 4, 2, 2, 4, 4, 0.0f, true, 1.0f, 0, 2, 2);
  EXPECT_EQ(At(*dst, 0, 0), At(*src, 4, 4));
  EXPECT_EQ(At(*dst, 1, 1), At(*src, 5, 5));
  EXPECT_EQ(At(*dst, 2, 0), 0x12345678u);
  EXPECT_EQ(At(*dst, 0, 3), 0x12345678u);
}

TEST(RotatedBlit, HalfTurnOfASymmetricImageWithBilinearFilter) {
  auto src = MakeBitmap(6, 6, 0xFF202020u);
  Raster_FillRect(src.get(), 2, 2, 2, 2, 0xFFE0E0E0u, 1.0f, 0);
  auto dst = MakeBitmap(6, 6);
  Raster_RotatedBlit(dst.get(), src.get(), 0, 0, 6, 6, 0, 0, 6, 6, 3.14159265f, true, 1.0f,
                     RASTER_MODE_FILTER_BILINEAR, 0, 0);
  // Sampling at pixel corners, column i reads source column 6 - i: the bright centre
  // lands at 3..4, the dark border stays dark and column 0 reads outside the source.
  EXPECT_GT(At(*dst, 3, 3) & 0xFF, 0xA0u);
  EXPECT_LT(At(*dst, 5, 5) & 0xFF, 0x40u);
  EXPECT_EQ(At(*dst, 0, 0), 0u);
}

TEST(ScaledAndRotatedBlit, NonFiniteOrFarSourceRectanglesDrawNothingUnsafe) {
  auto src = MakeNumbered(4, 4);
  auto dst = MakeBitmap(4, 4);
  const float inf = __builtin_inff(), nan = __builtin_nanf("");
  for (float v : {inf, -inf, nan, 1e30f, -1e30f}) {
    Raster_ScaledBlit(dst.get(), src.get(), 0, 0, 4, 4, v, 0, 4, 4, 1.0f, 0);
    Raster_ScaledBlit(dst.get(), src.get(), 0, 0, 3, 3, 0, 0, v, 4, 1.0f,
                      RASTER_MODE_FILTER_BILINEAR);
    Raster_RotatedBlit(dst.get(), src.get(), 0, 0, 4, 4, 0, 0, 4, 4, v, false, 1.0f, 0, 0, 0);
    Raster_RotatedBlit(dst.get(), src.get(), 0, 0, 4, 4, v, 0, 4, v, 0, true, 1.0f, 0x100, 0, 0);
  }
  // Only the +-1e30 source widths can sample at all; the rest leave no pixel drawn.
  Raster_ScaledBlit(dst.get(), src.get(), -2147483647, 0, 2147483647, 4, 0, 0, 4, 4, 1.0f, 0);
}

}  // namespace
