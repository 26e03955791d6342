#include <gtest/gtest.h>

#include <cstdint>

#include "GdiContext.h"
#include "Raster_MemBitmap.h"
#include "Raster_SysBitmap.h"

namespace {

TEST(MemBitmap, RowSpanFollowsLineAlignment) {
  struct Case {
    unsigned int align;
    int span;
  };
  for (const Case& c : {Case{4, 12}, Case{0, 10}, Case{1, 10}, Case{3, 10}, Case{8, 16},
                        Case{12, 12}, Case{64, 16}}) {
    Raster_MemBitmap bmp(10, 5, c.align);
    EXPECT_EQ(bmp.getRowSpan(), c.span) << "alignment " << c.align;
  }
}

TEST(MemBitmap, AllocatesRowsAndAlignsPixels) {
  Raster_MemBitmap bmp(10, 5);
  EXPECT_EQ(bmp.getWidth(), 10);
  EXPECT_EQ(bmp.getHeight(), 5);
  EXPECT_EQ(bmp.getAllocatedSize(), 5 * 12 * 4);
  ASSERT_NE(bmp.getBits(), nullptr);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(bmp.getBits()) % 64, 0u);
  // The whole last row is writable (checked by the sanitizer build).
  bmp.getBits()[4 * 12 + 11] = 1;
  EXPECT_FALSE(bmp.isFlipped());
  EXPECT_EQ(bmp.getDC(), nullptr);
}

TEST(MemBitmap, ShrinkKeepsBufferAndGrowAddsHeadroom) {
  Raster_MemBitmap bmp(100, 100);
  unsigned int* bits = bmp.getBits();
  EXPECT_FALSE(bmp.resize(100, 100));
  EXPECT_TRUE(bmp.resize(40, 30));
  EXPECT_EQ(bmp.getBits(), bits);
  EXPECT_EQ(bmp.getAllocatedSize(), 100 * 100 * 4);
  EXPECT_TRUE(bmp.resize(200, 100));
  EXPECT_EQ(bmp.getAllocatedSize(), 200 * 100 * 4 / 4 * 5);
  EXPECT_TRUE(bmp.resize(220, 100));  // within the headroom: no reallocation
  EXPECT_EQ(bmp.getAllocatedSize(), 200 * 100 * 4 / 4 * 5);
}

TEST(MemBitmap, EmptyOrUnaddressableSizesLeaveNoPixels) {
  Raster_MemBitmap empty;
  EXPECT_EQ(empty.getBits(), nullptr);
  EXPECT_EQ(empty.getWidth(), 0);
  for (auto size : {std::pair<int, int>{0, 5}, {5, -1}, {100000, 100000}, {2147483647, 1}}) {
    Raster_MemBitmap bmp(8, 8);
    EXPECT_TRUE(bmp.resize(size.first, size.second));
    EXPECT_EQ(bmp.getBits(), nullptr);
    EXPECT_EQ(bmp.getWidth(), 0);
    EXPECT_EQ(bmp.getHeight(), 0);
    EXPECT_EQ(bmp.getRowSpan(), 0);
  }
}

TEST(SysBitmap, PixelsAreTheContextsFrameBuffer) {
  Raster_SysBitmap bmp(10, 5);
  ASSERT_NE(bmp.getDC(), nullptr);
  EXPECT_EQ(bmp.getRowSpan(), 12);
  EXPECT_EQ(bmp.getBits(), Gdi_GetCtxFrameBuffer(bmp.getDC()));
  EXPECT_EQ(bmp.getBits()[0], 0u);
  bmp.getBits()[4 * 12 + 11] = 1;
}

TEST(SysBitmap, ShrinkKeepsContextGrowReplacesIt) {
  Raster_SysBitmap bmp(64, 32);
  HDC dc = bmp.getDC();
  EXPECT_FALSE(bmp.resize(64, 32));
  EXPECT_TRUE(bmp.resize(20, 10));
  EXPECT_EQ(bmp.getDC(), dc);
  EXPECT_EQ(bmp.getWidth(), 20);
  EXPECT_EQ(bmp.getRowSpan(), 64);
  EXPECT_TRUE(bmp.resize(65, 10));
  EXPECT_EQ(bmp.getRowSpan(), 68);
  ASSERT_NE(bmp.getBits(), nullptr);
}

TEST(SysBitmap, BadSizesGiveNoPixels) {
  Raster_SysBitmap bmp(8, 8);
  EXPECT_FALSE(bmp.resize(0, 8));
  EXPECT_EQ(bmp.getBits(), nullptr);
  EXPECT_EQ(bmp.getDC(), nullptr);
  EXPECT_FALSE(bmp.resize(2147483645, 1));
  // Too large to allocate: the bitmap says it changed and stays empty.
  EXPECT_TRUE(bmp.resize(2000000000, 2000000000));
  EXPECT_EQ(bmp.getWidth(), 0);
  EXPECT_EQ(bmp.getBits(), nullptr);
}

}  // namespace
