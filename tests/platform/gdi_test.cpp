#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <string>

#include "GdiContext.h"
#include "GdiText.h"

namespace {

HFONT MakeFont(const char* face, int height, int weight = FW_NORMAL, unsigned quality = 0) {
  return CreateFont(height, 0, 0, 0, weight, 0, 0, 0, 0, 0, 0, quality, 0, face);
}

// A context with a font selected, cleared to transparent black.
class GdiTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ctx = Gdi_CreateMemContext(nullptr, kW, kH);
    font = MakeFont("DejaVu Sans", 16);
    ASSERT_NE(ctx, nullptr);
    ASSERT_NE(font, nullptr);
    SelectObject(ctx, font);
    SetBkMode(ctx, TRANSPARENT);
    SetTextColor(ctx, RGB(255, 0, 0));
    pixels = static_cast<uint32_t*>(Gdi_GetCtxFrameBuffer(ctx));
  }
  void TearDown() override {
    SelectObject(ctx, nullptr);
    DeleteObject(font);
    Gdi_DeleteGfxContext(ctx);
  }
  RECT Measure(const char* text, unsigned flags = DT_SINGLELINE) {
    RECT r{0, 0, 0, 0};
    Gdi_DrawText(ctx, text, -1, &r, flags | DT_CALCRECT);
    return r;
  }
  // Bounding box of every pixel that is not transparent black.
  RECT Ink() {
    RECT box{kW, kH, -1, -1};
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x)
        if (pixels[y * kW + x]) {
          box.left = std::min(box.left, x), box.top = std::min(box.top, y);
          box.right = std::max(box.right, x + 1), box.bottom = std::max(box.bottom, y + 1);
        }
    return box;
  }
  static constexpr int kW = 200, kH = 60;
  HDC ctx = nullptr;
  HFONT font = nullptr;
  uint32_t* pixels = nullptr;
};

TEST_F(GdiTextTest, MetricsAndMeasuring) {
  TEXTMETRIC tm;
  ASSERT_TRUE(GetTextMetrics(ctx, &tm));
  EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
  EXPECT_NEAR(tm.tmHeight, 16, 1);
  const RECT hello = Measure("Hello");
  EXPECT_EQ(hello.bottom, tm.tmHeight);
  EXPECT_GT(hello.right, 25);
  EXPECT_LT(hello.right, 60);
  EXPECT_EQ(Measure("ab").right, Measure("a").right + Measure("b").right);
  const RECT two = Measure("Hello\nWorld!", 0);
  EXPECT_EQ(two.bottom, 2 * tm.tmHeight);
  EXPECT_EQ(two.right, Measure("World!").right);
  EXPECT_EQ(Measure("a\nb", DT_SINGLELINE).right, Measure("a b").right);
  RECT offset{10, 20, 0, 0};
  EXPECT_EQ(Gdi_DrawText(ctx, "Hello", 3, &offset, DT_CALCRECT), tm.tmHeight);
  EXPECT_EQ(offset.right, 10 + Measure("Hel").right);
  EXPECT_EQ(offset.bottom, 20 + tm.tmHeight);
  EXPECT_EQ(Measure("").right, 0);
}

TEST_F(GdiTextTest, DrawsTheTextColourInsideTheRectangleOnly) {
  RECT r{20, 10, 60, 40};
  EXPECT_GT(Gdi_DrawText(ctx, "Wide text that overflows", -1, &r, DT_SINGLELINE), 0);
  const RECT ink = Ink();
  EXPECT_GE(ink.left, 20);
  EXPECT_GE(ink.top, 10);
  EXPECT_LE(ink.right, 60);
  EXPECT_LE(ink.bottom, 40);
  int solid = 0;
  for (int i = 0; i < kW * kH; ++i)
    solid += pixels[i] == 0xFFFF0000u;
  EXPECT_GT(solid, 8);
  // Every inked pixel is the text colour at some coverage: red only.
  for (int i = 0; i < kW * kH; ++i)
    EXPECT_EQ(pixels[i] & 0xFFFF, 0u);
}

TEST_F(GdiTextTest, NoClipAndTheClipStack) {
  RECT r{20, 10, 40, 40};
  Gdi_DrawText(ctx, "Overflowing", -1, &r, DT_SINGLELINE | DT_NOCLIP);
  EXPECT_GT(Ink().right, 60);
  std::memset(pixels, 0, sizeof(uint32_t) * kW * kH);
  Gdi_PushClipRegion(ctx);
  const RECT clip{0, 0, 30, kH};
  Gdi_SetClipRegion(ctx, &clip);
  Gdi_DrawText(ctx, "Overflowing", -1, &r, DT_SINGLELINE | DT_NOCLIP);
  EXPECT_LE(Ink().right, 30);
  Gdi_PopClipRegion(ctx);
  EXPECT_EQ(Gdi_GetClipRegion(ctx).right, kW);
  Gdi_PopClipRegion(ctx);  // an empty stack changes nothing
  EXPECT_EQ(Gdi_GetClipRegion(ctx).right, kW);
  const RECT outside{-50, -50, 500, 500};
  Gdi_SetClipRegion(ctx, &outside);
  EXPECT_EQ(Gdi_GetClipRegion(ctx).left, 0);
  EXPECT_EQ(Gdi_GetClipRegion(ctx).bottom, kH);
}

TEST_F(GdiTextTest, AlignmentPlacesTheText) {
  const RECT size = Measure("Mid");
  RECT r{0, 0, kW, kH};
  Gdi_DrawText(ctx, "Mid", -1, &r, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
  RECT ink = Ink();
  EXPECT_NEAR((ink.left + ink.right) / 2, kW / 2, 3);
  EXPECT_NEAR((ink.top + ink.bottom) / 2, kH / 2, 4);
  std::memset(pixels, 0, sizeof(uint32_t) * kW * kH);
  Gdi_DrawText(ctx, "Mid", -1, &r, DT_SINGLELINE | DT_RIGHT | DT_BOTTOM);
  ink = Ink();
  EXPECT_GE(ink.left, kW - size.right - 1);
  EXPECT_GE(ink.top, kH - size.bottom);
}

TEST_F(GdiTextTest, OpaqueModeFillsTheTextCell) {
  SetBkMode(ctx, OPAQUE);
  EXPECT_EQ(SetBkColor(ctx, RGB(0, 0, 255)), RGB(255, 255, 255));
  RECT r{5, 5, 150, 50};
  Gdi_DrawText(ctx, "  ", -1, &r, DT_SINGLELINE);
  EXPECT_EQ(pixels[6 * kW + 6], 0xFF0000FFu);
  EXPECT_EQ(pixels[4 * kW + 6], 0u);
}

TEST_F(GdiTextTest, PrefixCharactersUnlessNoPrefix) {
  EXPECT_EQ(Measure("&File", DT_SINGLELINE).right,
            Measure("File", DT_SINGLELINE | DT_NOPREFIX).right);
  EXPECT_EQ(Measure("a&&b", DT_SINGLELINE).right,
            Measure("a&b", DT_SINGLELINE | DT_NOPREFIX).right);
  EXPECT_GT(Measure("&File", DT_SINGLELINE | DT_NOPREFIX).right,
            Measure("File", DT_SINGLELINE).right);
}

TEST_F(GdiTextTest, Utf8AndStrayBytes) {
  // U+00E9 as two bytes measures like the Latin-1 byte standing for itself.
  EXPECT_EQ(Measure("caf\xC3\xA9").right, Measure("caf\xE9").right);
  EXPECT_GT(Measure("\xE2\x82\xAC").right, 0);
  RECT r{0, 0, kW, kH};
  Gdi_DrawText(ctx, "\xF0\x9F\x8E\xB5\xC3", -1, &r, DT_SINGLELINE);
}

TEST(GdiFonts, MissingFaceFallsBackToMonospace) {
  HFONT font = MakeFont("Monaco", 12);
  ASSERT_NE(font, nullptr);
  EXPECT_NE(std::string(Gdi_GetFontFamily(font)).find("Mono"), std::string::npos)
      << Gdi_GetFontFamily(font);
  HDC ctx = Gdi_CreateMemContext(nullptr, 10, 10);
  EXPECT_EQ(SelectObject(ctx, font), nullptr);
  RECT i{0, 0, 0, 0}, w{0, 0, 0, 0};
  Gdi_DrawText(ctx, "iii", -1, &i, DT_CALCRECT);
  Gdi_DrawText(ctx, "WWW", -1, &w, DT_CALCRECT);
  EXPECT_EQ(i.right, w.right);
  EXPECT_EQ(SelectObject(ctx, nullptr), font);
  Gdi_DeleteGfxContext(ctx);
  DeleteObject(font);
}

TEST(GdiFonts, HeightsWeightsAndQuality) {
  HFONT small = MakeFont("DejaVu Sans", 10), em = MakeFont("DejaVu Sans", -20);
  HFONT bold = MakeFont("DejaVu Sans", 20, FW_BOLD), mono = MakeFont("DejaVu Sans", 20, 400, 3);
  HDC ctx = Gdi_CreateMemContext(nullptr, 120, 30);
  TEXTMETRIC tm;
  SelectObject(ctx, small);
  ASSERT_TRUE(GetTextMetrics(ctx, &tm));
  EXPECT_NEAR(tm.tmHeight, 10, 1);
  SelectObject(ctx, em);
  ASSERT_TRUE(GetTextMetrics(ctx, &tm));
  EXPECT_GT(tm.tmHeight, 20);
  EXPECT_EQ(tm.tmWeight, FW_NORMAL);
  SelectObject(ctx, bold);
  ASSERT_TRUE(GetTextMetrics(ctx, &tm));
  EXPECT_EQ(tm.tmWeight, FW_BOLD);
  EXPECT_NE(std::string(Gdi_GetFontFamily(bold)), "");

  // Non-antialiased text has only empty and full pixels.
  SelectObject(ctx, mono);
  SetTextColor(ctx, RGB(255, 255, 255));
  RECT r{0, 0, 120, 30};
  Gdi_DrawText(ctx, "Quality", -1, &r, DT_SINGLELINE);
  const uint32_t* px = static_cast<uint32_t*>(Gdi_GetCtxFrameBuffer(ctx));
  std::set<uint32_t> values(px, px + 120 * 30);
  EXPECT_EQ(values, (std::set<uint32_t>{0u, 0xFFFFFFFFu}));
  SelectObject(ctx, nullptr);
  Gdi_DeleteGfxContext(ctx);
  for (HFONT f : {small, em, bold, mono})
    EXPECT_TRUE(DeleteObject(f));
}

TEST(GdiContexts, NullAndBadArguments) {
  EXPECT_EQ(Gdi_CreateMemContext(nullptr, 0, 5), nullptr);
  EXPECT_EQ(Gdi_CreateMemContext(nullptr, 5, -1), nullptr);
  EXPECT_EQ(Gdi_CreateMemContext(nullptr, 2000000000, 2000000000), nullptr);
  EXPECT_EQ(Gdi_GetCtxFrameBuffer(nullptr), nullptr);
  Gdi_DeleteGfxContext(nullptr);
  EXPECT_FALSE(DeleteObject(nullptr));
  HDC ctx = Gdi_CreateMemContext(nullptr, 4, 4);
  RECT r{0, 0, 4, 4};
  EXPECT_EQ(Gdi_DrawText(ctx, "no font", -1, &r, 0), 0);
  EXPECT_EQ(Gdi_DrawText(nullptr, "x", -1, &r, 0), 0);
  TEXTMETRIC tm;
  EXPECT_FALSE(GetTextMetrics(ctx, &tm));
  EXPECT_EQ(SetBkMode(ctx, 7), 0);
  EXPECT_EQ(SetBkMode(ctx, TRANSPARENT), OPAQUE);
  Gdi_DeleteGfxContext(ctx);
}

}  // namespace
