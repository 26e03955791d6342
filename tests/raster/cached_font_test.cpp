#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "GdiContext.h"
#include "GdiText.h"
#include "RasterTestUtil.h"
#include "Raster_CachedFont.h"
#include "Raster_Fill.h"
#include "Raster_PNGWrite.h"
#include "Raster_SysBitmap.h"
#include "Raster_UTF8.h"

namespace {

struct Utf8Case {
  const char* bytes;
  int avail;
  unsigned short code;
  int used;
};

TEST(Utf8, DecodingRules) {
  for (const Utf8Case& c :
       {Utf8Case{"\xE2\x82\xAC", -1, 0x20AC, 3}, Utf8Case{"\xC3\x41", -1, 0xC3, 1},
        Utf8Case{"\xC3\xA9", -1, 0xE9, 2}, Utf8Case{"\xF0\x9F\x8E\xB5", -1, ' ', 4},
        Utf8Case{"\xE2\x82\xAC", 2, 0xE2, 1}, Utf8Case{"\xC3\xA9", 1, 0xC3, 1},
        Utf8Case{"\xC0\x80", -1, 0xC0, 1}, Utf8Case{"\xF5\x80\x80\x80", -1, 0xF5, 1},
        Utf8Case{"\xF0\x9F\x8E", -1, 0xF0, 1}, Utf8Case{"A", -1, 'A', 1},
        Utf8Case{"\x80", -1, 0x80, 1}}) {
    unsigned short code = 0;
    EXPECT_EQ(Raster_DecodeUTF8(reinterpret_cast<const unsigned char*>(c.bytes), c.avail, &code),
              c.used)
        << c.bytes;
    EXPECT_EQ(code, c.code);
  }
}

TEST(Utf8, EveryCodeSurvivesEncodingAndDecoding) {
  for (int c = 1; c <= 0xFFFF; ++c) {
    char buf[4];
    const int n = Raster_EncodeUTF8(static_cast<unsigned short>(c), buf);
    unsigned short back = 0;
    ASSERT_EQ(Raster_DecodeUTF8(reinterpret_cast<unsigned char*>(buf), n, &back), n) << c;
    ASSERT_EQ(back, c);
  }
}

HFONT MakeFont(int height, const char* face = "DejaVu Sans") {
  return CreateFont(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, face);
}

// A font owning its system font, with the given flags.
std::unique_ptr<Raster_CachedFont> MakeCachedFont(int flags, int height = 16) {
  auto font = std::make_unique<Raster_CachedFont>();
  font->SetFromHFont(MakeFont(height), flags | RASTER_FONT_FLAG_OWNS_HFONT);
  return font;
}

RECT Ink(Raster_IBitmap& bmp, unsigned int background = 0) {
  RECT box{bmp.getWidth(), bmp.getHeight(), -1, -1};
  for (int y = 0; y < bmp.getHeight(); ++y)
    for (int x = 0; x < bmp.getWidth(); ++x)
      if (At(bmp, x, y) != background) {
        box.left = std::min(box.left, x), box.top = std::min(box.top, y);
        box.right = std::max(box.right, x + 1), box.bottom = std::max(box.bottom, y + 1);
      }
  return box;
}

RECT Measure(Raster_CachedFont& font, const char* text, unsigned flags = DT_SINGLELINE) {
  RECT r{0, 0, 0, 0};
  font.DrawText(nullptr, text, -1, &r, flags | DT_CALCRECT);
  return r;
}

TEST(CachedFont, TakesTheFontsLineHeight) {
  auto font = MakeCachedFont(0);
  ASSERT_NE(font->GetHFont(), nullptr);
  EXPECT_NEAR(font->GetLineHeight(), 16, 1);
  EXPECT_EQ(font->SetTextColor(0xFF112233u), 0u);
  EXPECT_EQ(font->GetTextColor(), 0xFF112233u);
  EXPECT_EQ(font->SetBkColor(1), 0xFFFFFFFFu);
  EXPECT_EQ(font->SetEffectColor(2), 0xFFFFFFFFu);
  EXPECT_EQ(font->SetBkMode(1), 0);
}

TEST(CachedFont, NativeAndGlyphCacheWaysAgreeOnExtents) {
  auto native = MakeCachedFont(RASTER_FONT_FLAG_USE_NATIVE);
  auto cached = MakeCachedFont(0);
  for (const char* text :
       {"Hello, World", "LFreq 1.2 kHz", "x", "-12.0 dB", "caf\xC3\xA9 \xE2\x82\xAC"}) {
    const RECT a = Measure(*native, text), b = Measure(*cached, text);
    EXPECT_NEAR(a.right, b.right, 1) << text;
    EXPECT_EQ(a.bottom, b.bottom) << text;
    EXPECT_GT(a.right, 0) << text;
  }
  const RECT offset = [&] {
    RECT r{5, 7, 0, 0};
    cached->DrawText(nullptr, "ab", -1, &r, DT_CALCRECT);
    return r;
  }();
  EXPECT_EQ(offset.right, 5 + Measure(*cached, "ab").right);
  EXPECT_EQ(offset.bottom, 7 + cached->GetLineHeight());
}

TEST(CachedFont, LineBreaksCarriageReturnsAndSpacing) {
  auto font = MakeCachedFont(0);
  const int lh = font->GetLineHeight();
  EXPECT_EQ(Measure(*font, "a\nb").right, Measure(*font, "a b").right);
  EXPECT_EQ(Measure(*font, "a\rb").right, Measure(*font, "ab").right);
  EXPECT_EQ(Measure(*font, "a\nbb", 0).bottom, 2 * lh);
  EXPECT_EQ(Measure(*font, "a\nbb", 0).right, Measure(*font, "bb").right);
  font->SetLineSpacingAdjust(3);
  EXPECT_EQ(Measure(*font, "a\nb\nc", 0).bottom, 3 * lh + 6);
  EXPECT_EQ(Measure(*font, "").right, 0);
}

// Draws "Text" in green into a black bitmap through the given font and target.
class CachedFontDrawTest : public ::testing::TestWithParam<int> {};

TEST_P(CachedFontDrawTest, TextColourLandsInsideTheRectangleOnly) {
  auto font = MakeCachedFont(GetParam() == 0 ? 0 : RASTER_FONT_FLAG_USE_NATIVE);
  font->SetTextColor(0xFF00FF00u);
  std::unique_ptr<Raster_IBitmap> bmp;
  if (GetParam() == 2)
    bmp = std::make_unique<Raster_SysBitmap>(120, 40);
  else
    bmp = MakeBitmap(120, 40);
  RECT r{10, 5, 50, 30};
  EXPECT_GT(font->DrawText(bmp.get(), "Text that overflows", -1, &r, DT_SINGLELINE), 0);
  const RECT ink = Ink(*bmp);
  // Drawing natively without a context widens the copied region left by the glyph
  // margin (2 pixels at this size) so that a first glyph's overhang is kept.
  EXPECT_GE(ink.left, GetParam() == 1 ? 8 : 10);
  EXPECT_GE(ink.top, 5);
  EXPECT_LE(ink.right, 50);
  EXPECT_LE(ink.bottom, 30);
  int solid = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 120; ++x) {
      solid += At(*bmp, x, y) == 0xFF00FF00u;
      EXPECT_EQ(At(*bmp, x, y) & 0xFF00FF, 0u);  // green only
    }
  EXPECT_GT(solid, 5);
}

INSTANTIATE_TEST_SUITE_P(CacheNativeAndNativeWithContext, CachedFontDrawTest,
                         ::testing::Values(0, 1, 2));

// Small sizes are hinted to whole pixels with side-bearing corrections, larger ones
// advance by fractions: both ways place every glyph alike.
class GlyphCacheMatchesSystem : public ::testing::TestWithParam<int> {};

TEST_P(GlyphCacheMatchesSystem, SamePixels) {
  auto native = MakeCachedFont(RASTER_FONT_FLAG_USE_NATIVE, GetParam());
  auto cached = MakeCachedFont(0, GetParam());
  Raster_SysBitmap a(320, 40);
  auto b = MakeBitmap(320, 40);
  for (Raster_CachedFont* f : {native.get(), cached.get()})
    f->SetTextColor(0xFFFFFFFFu);
  for (const char* text : {"Wavy jig: 0.75 dB", "LMGain HMFreq illicit"}) {
    Raster_Clear(&a, 0);
    Raster_Clear(b.get(), 0);
    RECT r{3, 4, 320, 40};
    native->DrawText(&a, text, -1, &r, DT_SINGLELINE);
    cached->DrawText(b.get(), text, -1, &r, DT_SINGLELINE);
    int maxDiff = 0;
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 320; ++x)
        maxDiff = std::max(maxDiff, std::abs(static_cast<int>(At(a, x, y) & 0xFF) -
                                             static_cast<int>(At(*b, x, y) & 0xFF)));
    EXPECT_LE(maxDiff, 2) << text;
    EXPECT_GT(Ink(*b).right, 6 * GetParam()) << text;
  }
}

INSTANTIATE_TEST_SUITE_P(Sizes, GlyphCacheMatchesSystem, ::testing::Values(9, 16, 24));

TEST(CachedFont, AdvancesAddUpBeforeRounding) {
  // Twenty narrow letters are as wide as twenty exact advances, rounded once.
  auto font = MakeCachedFont(0, 24);
  Raster_SysBitmap probe(8, 8);
  HGDIOBJ old = SelectObject(probe.getDC(), font->GetHFont());
  GdiCharPlacement i = {};
  ASSERT_TRUE(Gdi_GetCharPlacement(probe.getDC(), 'i', &i));
  ASSERT_NE(i.advance64 % 64, 0) << "a whole-pixel advance cannot tell";
  EXPECT_EQ(Measure(*font, "iiiiiiiiiiiiiiiiiiii").right, (20 * i.advance64 + 32) >> 6);
  SelectObject(probe.getDC(), old);
}

TEST(GdiPenStep, CorrectsByAPixelWhereHintingMovedTheEdgesMoreThanHalfAPixel) {
  struct Case {
    int prevRsb, lsb, expected;  // the second character's pen from a first advancing 5 px
  } cases[] = {{0, 0, 5},  {32, 0, 5},   {33, 0, 4},  {0, 31, 5},
               {0, 32, 6}, {20, -20, 4}, {-20, 20, 6}};
  for (const Case& c : cases) {
    GdiPenStep pen;
    EXPECT_EQ(pen.Place(GdiCharPlacement{320, -40, c.prevRsb}), 0);  // the first: no correction
    EXPECT_EQ(pen.Place(GdiCharPlacement{64, c.lsb, 0}), c.expected) << c.prevRsb << " " << c.lsb;
  }
}

TEST(CachedFont, AlignmentFlagsMoveTheText) {
  auto font = MakeCachedFont(0);
  font->SetTextColor(0xFFFFFFFFu);
  auto bmp = MakeBitmap(200, 50);
  RECT r{0, 0, 200, 50};
  font->DrawText(bmp.get(), "Mid", -1, &r, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
  const RECT ink = Ink(*bmp);
  EXPECT_NEAR((ink.left + ink.right) / 2, 100, 3);
  EXPECT_NEAR((ink.top + ink.bottom) / 2, 25, 4);
  auto right = MakeBitmap(200, 50);
  font->DrawText(right.get(), "Mid", -1, &r, DT_SINGLELINE | DT_RIGHT | DT_BOTTOM);
  EXPECT_GE(Ink(*right).left, 200 - Measure(*font, "Mid").right - 1);
  EXPECT_GT(Ink(*right).top, 25);
}

TEST(CachedFont, ForegroundAlphaTakesTheGlyphCacheAndScalesTheWeight) {
  auto font = MakeCachedFont(RASTER_FONT_FLAG_USE_NATIVE);
  font->SetTextColor(0x80FF0000u);
  auto bmp = MakeBitmap(80, 30);
  RECT r{0, 0, 80, 30};
  font->DrawText(bmp.get(), "HH", -1, &r, DT_SINGLELINE | RASTER_FONT_DRAW_USEFGALPHA);
  unsigned int maxRed = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 80; ++x)
      maxRed = std::max(maxRed, (At(*bmp, x, y) >> 16) & 0xFF);
  EXPECT_GE(maxRed, 120u);
  EXPECT_LE(maxRed, 130u);
  font->SetTextColor(0x00FF0000u);
  auto none = MakeBitmap(80, 30);
  EXPECT_EQ(font->DrawText(none.get(), "HH", -1, &r, DT_SINGLELINE | RASTER_FONT_DRAW_USEFGALPHA),
            0);
  EXPECT_EQ(CountNonZero(*none), 0);
}

TEST(CachedFont, HugeFontsAreNeverCached) {
  auto font = MakeCachedFont(0, 2000);
  ASSERT_GE(font->GetLineHeight(), 1024);
  const RECT size = Measure(*font, "I");
  EXPECT_EQ(size.bottom, font->GetLineHeight());
  auto bmp = MakeBitmap(40, 40);
  RECT r{0, 0, 40, 40};
  font->DrawText(bmp.get(), "I", -1, &r, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
  EXPECT_FALSE(font->DrawGlyph(bmp.get(), 'I', 0, 0, nullptr));
}

TEST(CachedFont, PreRenderedFontsSkipCharactersOutsideTheirCache) {
  auto font = MakeCachedFont(RASTER_FONT_FLAG_PRECALCALL);
  auto bmp = MakeBitmap(10, 10);
  EXPECT_TRUE(font->DrawGlyph(bmp.get(), 'A', 0, 0, nullptr));
  EXPECT_EQ(Measure(*font, "\xC3\xA9").right, 0);
  EXPECT_EQ(Measure(*font, "A\xC3\xA9").right, Measure(*font, "A").right);
  EXPECT_FALSE(font->DrawGlyph(bmp.get(), 0xE9, 0, 0, nullptr));
  RECT outside{20, 20, 30, 30};
  EXPECT_FALSE(font->DrawGlyph(bmp.get(), 'A', 0, 0, &outside));
}

TEST(CachedFont, MonochromeAndOutlineMasks) {
  auto mono = MakeCachedFont(RASTER_FONT_FLAG_MONO);
  mono->SetTextColor(0xFFFFFFFFu);
  auto bmp = MakeBitmap(60, 30);
  RECT r{0, 0, 60, 30};
  mono->DrawText(bmp.get(), "Mono", -1, &r, DT_SINGLELINE);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 60; ++x)
      EXPECT_TRUE(At(*bmp, x, y) == 0 || At(*bmp, x, y) == 0xFFFFFFFFu);
  EXPECT_GT(CountNonZero(*bmp), 20);

  auto outline = MakeCachedFont(RASTER_FONT_FLAG_OUTLINE);
  outline->SetTextColor(0xFFFFFFFFu);
  outline->SetEffectColor(0xFF0000FFu);
  auto out = MakeBitmap(60, 30);
  outline->DrawText(out.get(), "O", -1, &r, DT_SINGLELINE);
  int text = 0, edge = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 60; ++x)
      text += At(*out, x, y) == 0xFFFFFFFFu, edge += At(*out, x, y) == 0xFF0000FFu;
  EXPECT_GT(text, 10);
  EXPECT_GT(edge, 10);
}

TEST(CachedFont, VerticalTextRunsDownward) {
  auto font = MakeCachedFont(RASTER_FONT_FLAG_VERTICAL);
  const RECT size = Measure(*font, "Down");
  EXPECT_EQ(size.right, font->GetLineHeight());
  EXPECT_GT(size.bottom, 2 * size.right);
  font->SetTextColor(0xFFFFFFFFu);
  auto bmp = MakeBitmap(40, 100);
  RECT r{0, 0, 40, 100};
  font->DrawText(bmp.get(), "Down", -1, &r, 0);
  const RECT ink = Ink(*bmp);
  EXPECT_GT(ink.bottom - ink.top, 2 * (ink.right - ink.left));
}

TEST(CachedFont, OpaqueBackgroundAndAddMode) {
  auto font = MakeCachedFont(0);
  font->SetBkMode(1);
  font->SetBkColor(0xFF202020u);
  font->SetTextColor(0xFF000000u);
  auto bmp = MakeBitmap(40, 30);
  RECT r{0, 0, 40, 30};
  font->DrawText(bmp.get(), "  ", -1, &r, DT_SINGLELINE);
  EXPECT_EQ(At(*bmp, 3, 3), 0xFF202020u);
  font->SetBkMode(0);
  font->SetTextColor(0xFF404040u);
  font->SetCombineMode(RASTER_MODE_ADD, 1.0f);
  // Full blocks cover whole pixels: each pass adds the whole colour.
  font->DrawText(bmp.get(), "\xE2\x96\x88", -1, &r, DT_SINGLELINE);
  font->DrawText(bmp.get(), "\xE2\x96\x88", -1, &r, DT_SINGLELINE);
  unsigned int brightest = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x)
      brightest = std::max(brightest, At(*bmp, x, y) & 0xFF);
  EXPECT_EQ(brightest, 0x20u + 2 * 0x40u);
}

TEST(CachedFont, NullArguments) {
  auto font = MakeCachedFont(0);
  RECT r{0, 0, 10, 10};
  EXPECT_EQ(font->DrawText(nullptr, "x", -1, &r, 0), 0);
  auto bmp = MakeBitmap(10, 10);
  EXPECT_EQ(font->DrawText(bmp.get(), nullptr, -1, &r, 0), 0);
  EXPECT_EQ(font->DrawText(bmp.get(), "x", -1, nullptr, 0), 0);
  Raster_MemBitmap empty;
  EXPECT_EQ(font->DrawText(&empty, "x", -1, &r, 0), 0);
  EXPECT_FALSE(font->DrawGlyph(nullptr, 'x', 0, 0, nullptr));
  Raster_CachedFont blank;
  EXPECT_EQ(blank.DrawText(bmp.get(), "x", -1, &r, 0), 0);
  EXPECT_EQ(Measure(blank, "x").right, 0);
}

// With VANTROSE_TEXT_PNG set, writes a sample of both ways in two sizes and colours
// to that path for a look by eye.
TEST(CachedFont, SampleForTheEye) {
  const char* path = std::getenv("VANTROSE_TEXT_PNG");
  Raster_SysBitmap bmp(420, 130);
  Raster_FillRect(&bmp, 0, 0, 420, 130, 0xFF2B2F36u, 1.0f, 0);
  Raster_FillRect(&bmp, 0, 65, 420, 65, 0xFFE8E4DAu, 1.0f, 0);
  struct Line {
    int flags, size;
    unsigned int color;
    int y;
    const char* text;
  };
  for (const Line& l :
       {Line{RASTER_FONT_FLAG_USE_NATIVE, 10, 0xFFFFFFFFu, 4,
             "LFreq 120 Hz  HMGain +4.5 dB (native 10)"},
        Line{0, 16, 0xFFFFB040u, 20, "Bell  HPLP  Gain -12.0 dB (cache 16)"},
        Line{RASTER_FONT_FLAG_USE_NATIVE, 16, 0xFF40C0FFu, 42,
             "Vantrose \xE2\x82\xAC caf\xC3\xA9 (native 16)"},
        Line{0, 10, 0xFF000000u, 70, "The quick brown fox jumps over the lazy dog (cache 10)"},
        Line{RASTER_FONT_FLAG_USE_NATIVE, 16, 0xFFB00020u, 88, "OVER x16  0.75 dB (native 16)"},
        Line{0, 16, 0xFF0050A0u, 108, "Monaco falls back: 0123456789"}}) {
    auto font = std::make_unique<Raster_CachedFont>();
    font->SetFromHFont(MakeFont(l.size, l.y == 108 ? "Monaco" : "DejaVu Sans"),
                       l.flags | RASTER_FONT_FLAG_OWNS_HFONT);
    font->SetTextColor(l.color);
    RECT r{6, l.y, 414, l.y + 20};
    EXPECT_GT(font->DrawText(&bmp, l.text, -1, &r, DT_SINGLELINE), 0) << l.text;
  }
  if (path) {
    EXPECT_TRUE(Raster_WritePNG(path, &bmp));
  }
}

}  // namespace
