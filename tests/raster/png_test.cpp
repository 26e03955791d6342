#include <gtest/gtest.h>
#include <unistd.h>

#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "RasterTestUtil.h"
#include "Raster_ImageLoader.h"
#include "Raster_PNG.h"
#include "Raster_PNGWrite.h"

namespace {

constexpr int kW = 5, kH = 3;

// Packs samples (each at most 16 bits) into PNG rows of the given depth.
std::vector<unsigned char> PackRows(int width, int height, int channels, int depth,
                                    const std::function<int(int x, int y, int c)>& sample) {
  const size_t rowBytes = (static_cast<size_t>(width) * channels * depth + 7) / 8;
  std::vector<unsigned char> rows(rowBytes * height, 0);
  for (int y = 0; y < height; ++y) {
    unsigned char* row = &rows[rowBytes * y];
    int bit = 0;
    for (int x = 0; x < width; ++x)
      for (int c = 0; c < channels; ++c, bit += depth) {
        const int v = sample(x, y, c);
        if (depth == 16) {
          row[bit / 8] = static_cast<unsigned char>(v >> 8);
          row[bit / 8 + 1] = static_cast<unsigned char>(v);
        } else {
          row[bit / 8] |= static_cast<unsigned char>(v << (8 - depth - bit % 8));
        }
      }
  }
  return rows;
}

struct PngCase {
  const char* name;
  int colorType, depth;
  std::vector<unsigned short> trns;
  std::function<int(int, int, int)> sample;
  std::function<unsigned int(int, int)> expected;
};

int Channels(int colorType) {
  return colorType == 2 ? 3 : colorType == 4 ? 2 : colorType == 6 ? 4 : 1;
}

std::vector<unsigned char> Encode(const PngCase& c, bool interlaced = false) {
  Raster_PNGImage image;
  image.width = kW;
  image.height = kH;
  image.colorType = c.colorType;
  image.bitDepth = c.depth;
  image.interlaced = interlaced;
  image.rows = PackRows(kW, kH, Channels(c.colorType), c.depth, c.sample);
  if (c.colorType == 3)
    for (int i = 0; i < (1 << c.depth); ++i)
      image.palette.insert(image.palette.end(),
                           {static_cast<unsigned char>(i * 10), static_cast<unsigned char>(255 - i),
                            static_cast<unsigned char>(i * 3)});
  image.trns = c.trns;
  std::vector<unsigned char> bytes;
  EXPECT_TRUE(Raster_EncodePNG(image, &bytes)) << c.name;
  return bytes;
}

unsigned int Argb(int a, int r, int g, int b) {
  return static_cast<unsigned int>(a) << 24 | r << 16 | g << 8 | b;
}
unsigned int Grey(int a, int v) {
  return Argb(a, v, v, v);
}
unsigned int PaletteColour(int a, int i) {
  return Argb(a, i * 10, 255 - i, i * 3);
}

int Index(int x, int y) {
  return x + y * kW;
}

std::vector<PngCase> Cases() {
  return {
      {"grey1",
       0,
       1,
       {},
       [](int x, int y, int) { return (x + y) & 1; },
       [](int x, int y) { return Grey(255, (x + y) & 1 ? 255 : 0); }},
      {"grey2",
       0,
       2,
       {},
       [](int x, int y, int) { return Index(x, y) & 3; },
       [](int x, int y) { return Grey(255, (Index(x, y) & 3) * 85); }},
      {"grey4",
       0,
       4,
       {},
       [](int x, int y, int) { return Index(x, y); },
       [](int x, int y) { return Grey(255, Index(x, y) * 17); }},
      {"grey8",
       0,
       8,
       {},
       [](int x, int y, int) { return Index(x, y) * 16; },
       [](int x, int y) { return Grey(255, Index(x, y) * 16); }},
      {"grey16",
       0,
       16,
       {},
       [](int x, int y, int) { return Index(x, y) * 0x1111 + 0xFF; },
       [](int x, int y) { return Grey(255, (Index(x, y) * 0x1111 + 0xFF) >> 8); }},
      {"grey8 transparent colour",
       0,
       8,
       {64},
       [](int x, int, int) { return x * 32; },
       [](int x, int) { return Grey(x == 2 ? 0 : 255, x * 32); }},
      {"grey alpha8",
       4,
       8,
       {},
       [](int x, int y, int c) { return c ? 250 - Index(x, y) * 10 : Index(x, y); },
       [](int x, int y) { return Grey(250 - Index(x, y) * 10, Index(x, y)); }},
      {"grey alpha16",
       4,
       16,
       {},
       [](int x, int, int c) { return c ? 0xABCD : x * 0x1010; },
       [](int x, int) { return Grey(0xAB, x * 0x10); }},
      {"palette8",
       3,
       8,
       {},
       [](int x, int y, int) { return Index(x, y); },
       [](int x, int y) { return PaletteColour(255, Index(x, y)); }},
      {"palette4 tRNS",
       3,
       4,
       {0, 128, 255},
       [](int x, int y, int) { return Index(x, y) % 5; },
       [](int x, int y) {
         const int i = Index(x, y) % 5;
         return PaletteColour(i == 0 ? 0 : i == 1 ? 128 : 255, i);
       }},
      {"palette2",
       3,
       2,
       {},
       [](int x, int, int) { return x & 3; },
       [](int x, int) { return PaletteColour(255, x & 3); }},
      {"palette1 tRNS",
       3,
       1,
       {7},
       [](int, int y, int) { return y & 1; },
       [](int, int y) { return PaletteColour(y & 1 ? 255 : 7, y & 1); }},
      {"rgb8",
       2,
       8,
       {},
       [](int x, int y, int c) { return c == 0   ? x * 50
                                        : c == 1 ? y * 100
                                                 : 77; },
       [](int x, int y) { return Argb(255, x * 50, y * 100, 77); }},
      {"rgb8 transparent colour",
       2,
       8,
       {50, 100, 77},
       [](int x, int y, int c) { return c == 0   ? x * 50
                                        : c == 1 ? y * 100
                                                 : 77; },
       [](int x, int y) { return Argb(x == 1 && y == 1 ? 0 : 255, x * 50, y * 100, 77); }},
      {"rgb16",
       2,
       16,
       {},
       [](int x, int, int c) { return (x * 40 + c) << 8 | 0xEE; },
       [](int x, int) { return Argb(255, x * 40, x * 40 + 1, x * 40 + 2); }},
      {"rgba8",
       6,
       8,
       {},
       [](int x, int y, int c) { return c == 3 ? Index(x, y) * 17 : 10 * c + x; },
       [](int x, int y) { return Argb(Index(x, y) * 17, x, 10 + x, 20 + x); }},
      {"rgba16",
       6,
       16,
       {},
       [](int x, int y, int c) { return (c * 60 + Index(x, y)) << 8 | 0x99; },
       [](int x, int y) {
         return Argb(180 + Index(x, y), Index(x, y), 60 + Index(x, y), 120 + Index(x, y));
       }},
  };
}

class PngDecodeTest : public ::testing::TestWithParam<PngCase> {};

void ExpectPixels(Raster_IBitmap* bmp, const PngCase& c) {
  ASSERT_NE(bmp, nullptr) << c.name;
  ASSERT_EQ(bmp->getWidth(), kW);
  ASSERT_EQ(bmp->getHeight(), kH);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x)
      EXPECT_EQ(At(*bmp, x, y), c.expected(x, y)) << c.name << " at " << x << "," << y;
}

TEST_P(PngDecodeTest, EveryColourTypeBecomesArgbPixels) {
  const std::vector<unsigned char> bytes = Encode(GetParam());
  std::unique_ptr<Raster_IBitmap> bmp(
      Raster_LoadPNGFromMemory(bytes.data(), static_cast<int>(bytes.size()), nullptr));
  ExpectPixels(bmp.get(), GetParam());
}

TEST_P(PngDecodeTest, InterlacedImagesDecodeAlike) {
  const std::vector<unsigned char> bytes = Encode(GetParam(), true);
  std::unique_ptr<Raster_IBitmap> bmp(
      Raster_LoadPNGFromMemory(bytes.data(), static_cast<int>(bytes.size()), nullptr));
  ExpectPixels(bmp.get(), GetParam());
}

INSTANTIATE_TEST_SUITE_P(AllTypes, PngDecodeTest, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<PngCase>& info) {
                           std::string name = info.param.name;
                           for (char& ch : name)
                             if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           return name;
                         });

std::vector<unsigned char> SamplePng() {
  return Encode(Cases()[12]);
}

// Rewrites the IHDR size fields and their CRC so that only the size is wrong.
std::vector<unsigned char> WithSize(std::vector<unsigned char> png, unsigned int w,
                                    unsigned int h) {
  for (int i = 0; i < 4; ++i) {
    png[16 + i] = static_cast<unsigned char>(w >> (24 - 8 * i));
    png[20 + i] = static_cast<unsigned char>(h >> (24 - 8 * i));
  }
  const uLong crc = crc32(crc32(0, nullptr, 0), &png[12], 17);
  for (int i = 0; i < 4; ++i)
    png[29 + i] = static_cast<unsigned char>(crc >> (24 - 8 * i));
  return png;
}

Raster_IBitmap* Load(const std::vector<unsigned char>& bytes, Raster_IBitmap* bmp = nullptr) {
  return Raster_LoadPNGFromMemory(bytes.data(), static_cast<int>(bytes.size()), bmp);
}

TEST(PngMemory, ShortOrForeignDataIsRefused) {
  const std::vector<unsigned char> png = SamplePng();
  EXPECT_EQ(Raster_LoadPNGFromMemory(png.data(), 7, nullptr), nullptr);
  EXPECT_EQ(Raster_LoadPNGFromMemory(nullptr, 100, nullptr), nullptr);
  EXPECT_EQ(Raster_LoadPNGFromMemory(png.data(), -1, nullptr), nullptr);
  std::vector<unsigned char> foreign = png;
  foreign[1] = 'Q';
  EXPECT_EQ(Load(foreign), nullptr);
  EXPECT_EQ(Raster_LoadPNGFromMemory(png.data(), 8, nullptr), nullptr);
}

TEST(PngMemory, EveryTruncationFailsCleanlyOrGivesTheWholeImage) {
  const std::vector<unsigned char> png = SamplePng();
  for (size_t n = 8; n < png.size(); ++n) {
    std::unique_ptr<Raster_IBitmap> bmp(
        Raster_LoadPNGFromMemory(png.data(), static_cast<int>(n), nullptr));
    if (bmp) {
      EXPECT_EQ(bmp->getWidth(), kW) << n;
    }
  }
}

TEST(PngMemory, CorruptBytesGiveNull) {
  std::vector<unsigned char> badCrc = SamplePng();
  badCrc[30] ^= 0x55;  // the IHDR checksum
  EXPECT_EQ(Load(badCrc), nullptr);
  std::vector<unsigned char> badData = SamplePng();
  for (size_t i = 41; i < badData.size() - 12; ++i)
    badData[i] ^= 0xA5;  // inside IDAT
  EXPECT_EQ(Load(badData), nullptr);
}

TEST(PngMemory, DimensionsPastTheBitmapsSizeAreRefused) {
  const std::vector<unsigned char> huge = WithSize(SamplePng(), 100000, 100000);
  EXPECT_EQ(Load(huge), nullptr);
  Raster_MemBitmap given(4, 4);
  EXPECT_EQ(Load(huge, &given), nullptr);
  EXPECT_EQ(Load(WithSize(SamplePng(), 0, 3)), nullptr);
  EXPECT_EQ(Load(WithSize(SamplePng(), 0x80000000u, 1)), nullptr);
}

TEST(PngMemory, GivenBitmapIsResizedAndReused) {
  const std::vector<unsigned char> png = SamplePng();
  Raster_MemBitmap bmp(kW, kH);
  unsigned int* bits = bmp.getBits();
  EXPECT_EQ(Load(png, &bmp), &bmp);
  EXPECT_EQ(bmp.getBits(), bits);
  EXPECT_EQ(At(bmp, 4, 2), Argb(255, 200, 200, 77));
  Raster_MemBitmap small(1, 1);
  EXPECT_EQ(Load(png, &small), &small);
  EXPECT_EQ(small.getWidth(), kW);
}

class PngFileTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const std::vector<unsigned char>& bytes) {
    const std::string path = ::testing::TempDir() + std::to_string(getpid()) + "_" + name;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    EXPECT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return path;
  }
};

TEST_F(PngFileTest, LoadsFromFileAndRefusesMissingOrBadFiles) {
  const std::string good = Write("raster_good.png", SamplePng());
  std::unique_ptr<Raster_IBitmap> bmp(Raster_LoadPNG(good.c_str(), nullptr));
  ASSERT_NE(bmp, nullptr);
  EXPECT_EQ(At(*bmp, 1, 1), Argb(255, 50, 100, 77));
  EXPECT_EQ(
      Raster_LoadPNG(
          (::testing::TempDir() + std::to_string(getpid()) + "_" + "raster_missing.png").c_str(),
          nullptr),
      nullptr);
  EXPECT_EQ(Raster_LoadPNG(nullptr, nullptr), nullptr);
  std::vector<unsigned char> truncated = SamplePng();
  truncated.resize(40);
  EXPECT_EQ(Raster_LoadPNG(Write("raster_short.png", truncated).c_str(), nullptr), nullptr);
}

TEST_F(PngFileTest, WriterRoundTripsABitmap) {
  auto src = MakeNumbered(7, 4);
  Set(*src, 3, 2, 0x80FF8040u);
  const std::string path =
      ::testing::TempDir() + std::to_string(getpid()) + "_" + "raster_roundtrip.png";
  ASSERT_TRUE(Raster_WritePNG(path.c_str(), src.get()));
  std::unique_ptr<Raster_IBitmap> back(Raster_LoadPNG(path.c_str(), nullptr));
  ASSERT_NE(back, nullptr);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 7; ++x)
      EXPECT_EQ(At(*back, x, y), At(*src, x, y));
  Raster_MemBitmap empty;
  EXPECT_FALSE(Raster_WritePNG(path.c_str(), &empty));
}

TEST_F(PngFileTest, LoaderListChecksTheExtension) {
  Raster_ImageLoader* loader = nullptr;
  for (Raster_ImageLoader* l = Raster_ImageLoader_list; l; l = l->_next)
    if (l == Raster_GetPNGLoader()) loader = l;
  ASSERT_NE(loader, nullptr);
  const std::vector<unsigned char> png = SamplePng();
  for (const char* name : {"a.png", "b.PNG", "c.pNg", "d.x.png"}) {
    std::unique_ptr<Raster_IBitmap> bmp(loader->loadfunc(Write(name, png).c_str(), true, nullptr));
    EXPECT_NE(bmp, nullptr) << name;
  }
  for (const char* name : {"e.png.bak", "f", "g.pngx", "h.jpg"})
    EXPECT_EQ(loader->loadfunc(Write(name, png).c_str(), true, nullptr), nullptr) << name;
  EXPECT_EQ(loader->loadfunc("dir.png/file", true, nullptr), nullptr);
  std::unique_ptr<Raster_IBitmap> unchecked(
      loader->loadfunc(Write("i.dat", png).c_str(), false, nullptr));
  EXPECT_NE(unchecked, nullptr);
  const char* ext = loader->get_extlist();
  EXPECT_STREQ(ext, "PNG files (*.PNG)");
  EXPECT_STREQ(ext + std::strlen(ext) + 1, "*.PNG");
  EXPECT_STREQ(ext + std::strlen(ext) + 1 + 6, "");
}

TEST(PngResource, NamedAndCompiledResources) {
  EXPECT_EQ(Raster_LoadPNGFromNamedResource(std::string(401, 'a').c_str(), nullptr), nullptr);
  EXPECT_EQ(Raster_LoadPNGFromNamedResource("no-such-image.png", nullptr), nullptr);
  EXPECT_EQ(Raster_LoadPNGFromNamedResource(nullptr, nullptr), nullptr);
  EXPECT_EQ(Raster_LoadPNGFromResource(nullptr, "BG.png", nullptr), nullptr);
}

}  // namespace
