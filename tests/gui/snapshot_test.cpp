// vantrose snapshot's renderer: settings and gestures change what is drawn and
// what the effect holds.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include "PanelSnapshot.h"
#include "Raster_MemBitmap.h"
#include "Raster_PNG.h"
#include "Raster_PNGWrite.h"

namespace {

std::unique_ptr<Raster_IBitmap> Render(const PanelSnapshotRequest& r, std::vector<double>* values) {
  std::string error;
  EXPECT_TRUE(RenderPanelSnapshot(r, values, &error)) << error;
  return std::unique_ptr<Raster_IBitmap>(Raster_LoadPNG(r.outPath.c_str(), nullptr));
}

int DifferingPixels(Raster_IBitmap* a, Raster_IBitmap* b, int l, int t, int r, int bottom) {
  int n = 0;
  for (int y = t; y < bottom; ++y)
    for (int x = l; x < r; ++x)
      n += a->getBits()[y * a->getRowSpan() + x] != b->getBits()[y * b->getRowSpan() + x];
  return n;
}

TEST(PanelSnapshot, DragAndSettingsShowInTheImageAndTheValues) {
  std::string error;
  ASSERT_TRUE(RegisterPanelArtwork(VANTROSE_SOURCE_DIR, &error)) << error;
  PanelSnapshotRequest plain;
  plain.outPath = ::testing::TempDir() + std::to_string(getpid()) + "_" + "panel_plain.png";
  std::vector<double> before, after;
  std::unique_ptr<Raster_IBitmap> a = Render(plain, &before);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->getWidth(), 774);
  EXPECT_EQ(a->getHeight(), 237);

  PanelSnapshotRequest moved;
  moved.outPath = ::testing::TempDir() + std::to_string(getpid()) + "_" + "panel_moved.png";
  moved.gestures.push_back(PanelGesture{PanelGesture::kDrag, 312, 75, 0, -54});
  moved.settings.push_back(ParamSetting{10, 6.0});
  std::unique_ptr<Raster_IBitmap> b = Render(moved, &after);
  ASSERT_NE(b, nullptr);
  EXPECT_NEAR(after[1],
              0.1 + 0.883 * std::sqrt(((0.725 - 0.1) / 0.883) * ((0.725 - 0.1) / 0.883) + 0.25),
              1e-9);
  EXPECT_EQ(after[10], 6.0);
  EXPECT_GT(DifferingPixels(a.get(), b.get(), 285, 48, 339, 102), 50);   // LFreq
  EXPECT_GT(DifferingPixels(a.get(), b.get(), 622, 111, 676, 165), 50);  // Gain
  EXPECT_EQ(DifferingPixels(a.get(), b.get(), 0, 0, 240, 237), 0);
  std::remove(plain.outPath.c_str());
  std::remove(moved.outPath.c_str());
}

TEST(PanelSnapshot, MissingArtworkAndUnwritableOutputAreReported) {
  std::string error;
  EXPECT_FALSE(RegisterPanelArtwork("/nonexistent/folder", &error));
  EXPECT_NE(error.find("no BG.png"), std::string::npos);
  ASSERT_TRUE(RegisterPanelArtwork(VANTROSE_SOURCE_DIR, &error));
  PanelSnapshotRequest r;
  r.outPath = "/nonexistent/folder/out.png";
  std::vector<double> values;
  EXPECT_FALSE(RenderPanelSnapshot(r, &values, &error));
  EXPECT_NE(error.find("can't write"), std::string::npos);
}

// Each image that is missing, unreadable or the wrong size is named, and only those.
TEST(PanelSnapshot, BadArtworkIsNamedImageByImage) {
  const std::string dir = ::testing::TempDir() + "vantrose_art_" + std::to_string(getpid());
  ASSERT_EQ(mkdir(dir.c_str(), 0755), 0);
  const std::string src = std::string(VANTROSE_SOURCE_DIR) + "/resources/img/";
  const char* const kAllButOver[] = {"BG",  "BELL", "HPLP", "BY", "LG", "LF", "LMG", "LMF",
                                     "HMG", "HMF",  "HG",   "HF", "HP", "LP", "GAIN"};
  for (const char* name : kAllButOver) {
    std::unique_ptr<Raster_IBitmap> image(Raster_LoadPNG((src + name + ".png").c_str(), nullptr));
    ASSERT_TRUE(image && Raster_WritePNG((dir + "/" + name + ".png").c_str(), image.get()));
  }
  Raster_MemBitmap tiny(10, 10, 4);
  ASSERT_TRUE(Raster_WritePNG((dir + "/LG.png").c_str(), &tiny));
  std::FILE* f = std::fopen((dir + "/BG.png").c_str(), "wb");
  std::fputs("\x89PNG but not really", f);
  std::fclose(f);
  std::string error;
  EXPECT_FALSE(RegisterPanelArtwork(dir, &error));
  for (const char* named : {"BG.png is not a readable PNG",
                            "LG.png is 10 x 10 pixels, not 54 x 1674", "OVER.png is missing"}) {
    EXPECT_NE(error.find(named), std::string::npos) << error;
  }
  EXPECT_EQ(error.find("HG.png"), std::string::npos) << error;
  for (const char* name : kAllButOver) {
    std::remove((dir + "/" + name + ".png").c_str());
  }
  rmdir(dir.c_str());
  EXPECT_TRUE(RegisterPanelArtwork(VANTROSE_SOURCE_DIR, &error)) << error;
}

// A scale is drawn from its own artwork or not at all: a missing or wrongly sized scaled
// image is named, and a scale other than 1, 1.5 and 2 is refused.
TEST(PanelSnapshot, ScaledArtworkMustBeThere) {
  const std::string dir = ::testing::TempDir() + "vantrose_scaled_" + std::to_string(getpid());
  ASSERT_EQ(mkdir(dir.c_str(), 0755), 0);
  ASSERT_EQ(mkdir((dir + "/1.5x").c_str(), 0755), 0);
  const std::string src = std::string(VANTROSE_SOURCE_DIR) + "/resources/img/";
  const char* const kAll[] = {"BG",  "BELL", "HPLP", "BY", "OVER", "LG", "LF", "LMG",
                              "LMF", "HMG",  "HMF",  "HG", "HF",   "HP", "LP", "GAIN"};
  for (const char* name : kAll) {
    for (const char* sub : {"", "1.5x/"}) {
      std::unique_ptr<Raster_IBitmap> image(
          Raster_LoadPNG((src + sub + name + ".png").c_str(), nullptr));
      ASSERT_TRUE(image && Raster_WritePNG((dir + "/" + sub + name + ".png").c_str(), image.get()));
    }
  }
  Raster_MemBitmap tiny(10, 10, 4);
  ASSERT_TRUE(Raster_WritePNG((dir + "/1.5x/LG.png").c_str(), &tiny));
  std::string error;
  ASSERT_TRUE(RegisterPanelArtwork(dir, &error)) << error;
  struct {
    float scale;
    const char* named;
  } cases[] = {{2.0f, "2x/BG.png is missing"},
               {1.5f, "1.5x/LG.png is 10 x 10 pixels, not 81 x 2511"},
               {1.25f, "the scale is 1, 1.5 or 2"}};
  for (const auto& c : cases) {
    PanelSnapshotRequest r;
    r.scale = c.scale;
    r.outPath = dir + "/out.png";
    std::vector<double> values;
    error.clear();
    EXPECT_FALSE(RenderPanelSnapshot(r, &values, &error)) << c.scale;
    EXPECT_NE(error.find(c.named), std::string::npos) << error;
  }
  for (const char* name : kAll) {
    std::remove((dir + "/" + name + ".png").c_str());
    std::remove((dir + "/1.5x/" + name + ".png").c_str());
  }
  rmdir((dir + "/1.5x").c_str());
  rmdir(dir.c_str());
  EXPECT_TRUE(RegisterPanelArtwork(VANTROSE_SOURCE_DIR, &error)) << error;
}

}  // namespace
