// The panel at 150 % and 200 %: golden images of both, the 200 % panel against the
// 100 % one after a 2 x 2 box filter, and the 200 % panel drawn rather than
// enlarged from 100 % (by repeating pixels, or bilinear as the editor resamples an
// image missing at its scale).
//
// VANTROSE_REGENERATE_GOLDEN=1 rewrites the golden images from the current code.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>

#include "PanelSnapshot.h"
#include "Raster_Blit.h"
#include "Raster_MemBitmap.h"
#include "Raster_PNG.h"
#include "Raster_PNGWrite.h"

namespace {

using Image = std::unique_ptr<Raster_IBitmap>;

int Channel(Raster_IBitmap* b, int x, int y, int shift) {
  return static_cast<int>((b->getBits()[y * b->getRowSpan() + x] >> shift) & 255);
}

Image Snapshot(float scale) {
  std::string error;
  EXPECT_TRUE(RegisterPanelArtwork(VANTROSE_SOURCE_DIR, &error)) << error;
  PanelSnapshotRequest request;
  request.scale = scale;
  request.outPath = ::testing::TempDir() + std::to_string(getpid()) + "_panel_scaled.png";
  std::vector<double> values;
  EXPECT_TRUE(RenderPanelSnapshot(request, &values, &error)) << error;
  Image image(Raster_LoadPNG(request.outPath.c_str(), nullptr));
  std::remove(request.outPath.c_str());
  return image;
}

std::string Golden(const char* name) {
  return std::string(VANTROSE_SOURCE_DIR) + "/tests/gui/golden/" + name;
}

struct ScaleCase {
  float scale;
  int width, height;
  const char* golden;
};

class ScaledPanel : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(ScaledPanel, MatchesItsGoldenImage) {
  const ScaleCase& c = GetParam();
  Image shot = Snapshot(c.scale);
  ASSERT_NE(shot, nullptr);
  ASSERT_EQ(shot->getWidth(), c.width);
  ASSERT_EQ(shot->getHeight(), c.height);
  const char* regen = std::getenv("VANTROSE_REGENERATE_GOLDEN");
  if (regen && *regen == '1') {
    ASSERT_TRUE(Raster_WritePNG(Golden(c.golden).c_str(), shot.get()));
    GTEST_SKIP() << "golden image rewritten";
  }
  Image golden(Raster_LoadPNG(Golden(c.golden).c_str(), nullptr));
  ASSERT_NE(golden, nullptr) << "missing " << Golden(c.golden);
  ASSERT_EQ(golden->getWidth(), c.width);
  ASSERT_EQ(golden->getHeight(), c.height);
  long long total = 0;
  int worst = 0;
  for (int y = 0; y < c.height; ++y) {
    for (int x = 0; x < c.width; ++x) {
      for (int s = 0; s < 24; s += 8) {
        int d = std::abs(Channel(shot.get(), x, y, s) - Channel(golden.get(), x, y, s));
        total += d;
        worst = std::max(worst, d);
      }
    }
  }
  EXPECT_LT(static_cast<double>(total) / (3.0 * c.width * c.height), 0.5) << "mean difference";
  EXPECT_LE(worst, 24) << "largest channel difference";
}

INSTANTIATE_TEST_SUITE_P(Scales, ScaledPanel,
                         ::testing::Values(ScaleCase{1.5f, 1161, 356, "panel_default_1.5x.png"},
                                           ScaleCase{2.0f, 1548, 474, "panel_default_2x.png"}),
                         [](const ::testing::TestParamInfo<ScaleCase>& info) {
                           return std::string(info.param.scale == 2.0f ? "Twice" : "OneAndAHalf");
                         });

// Edges of the 100 % panel: pixels whose colour steps by more than 48 levels in
// some channel to the right or below.
bool IsEdge(Raster_IBitmap* one, int x, int y) {
  for (int s = 0; s < 24; s += 8) {
    int v = Channel(one, x, y, s);
    if (std::abs(v - Channel(one, x + 1, y, s)) > 48) return true;
    if (std::abs(v - Channel(one, x, y + 1, s)) > 48) return true;
  }
  return false;
}

TEST(ScaledPanelDrawing, TwiceTheSizeBoxFilteredIsTheOneTimesPanelAndIsNotEnlarged) {
  Image one = Snapshot(1.0f), two = Snapshot(2.0f);
  ASSERT_NE(one, nullptr);
  ASSERT_NE(two, nullptr);
  const int w = one->getWidth(), h = one->getHeight();
  ASSERT_EQ(two->getWidth(), 2 * w);
  ASSERT_EQ(two->getHeight(), 2 * h);
  Raster_MemBitmap bilinear(2 * w, 2 * h, 4);
  Raster_ScaledBlit(&bilinear, one.get(), 0, 0, 2 * w, 2 * h, 0.0f, 0.0f, static_cast<float>(w),
                    static_cast<float>(h), 1.0f, 0x100);
  long long total[3] = {0, 0, 0}, unlikeBilinear = 0;
  int edges = 0, edgesWithDetail = 0;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const bool edge = x + 1 < w && y + 1 < h && IsEdge(one.get(), x, y);
      bool detail = false;
      for (int c = 0; c < 3; ++c) {
        const int s = 8 * c;
        int sum = 0;
        for (int k = 0; k < 4; ++k) {
          int px = 2 * x + (k & 1), py = 2 * y + (k >> 1);
          int v = Channel(two.get(), px, py, s);
          sum += v;
          detail = detail || v != Channel(two.get(), 2 * x, 2 * y, s);
          if (edge) unlikeBilinear += std::abs(v - Channel(&bilinear, px, py, s));
        }
        total[c] += std::abs((sum + 2) / 4 - Channel(one.get(), x, y, s));
      }
      edges += edge;
      edgesWithDetail += edge && detail;
    }
  }
  for (int c = 0; c < 3; ++c) {
    double mean = static_cast<double>(total[c]) / (static_cast<double>(w) * h);
    std::printf("box-filtered 2x against 1x, channel %d: mean abs difference %.3f\n", c, mean);
    EXPECT_LT(mean, 4.0) << "channel " << c;
  }
  ASSERT_GT(edges, 1000);
  double unlike = static_cast<double>(unlikeBilinear) / (12.0 * edges);
  std::printf(
      "1x edge pixels %d; their 2 x 2 blocks not uniform at 2x: %.1f %%; "
      "mean difference there from bilinear 1x: %.2f\n",
      edges, 100.0 * edgesWithDetail / edges, unlike);
  EXPECT_GT(edgesWithDetail, edges / 2) << "most edge blocks must hold detail of their own";
  EXPECT_GT(unlike, 6.0) << "edges no sharper than the 1x panel enlarged";
}

}  // namespace
