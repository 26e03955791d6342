// The response plot: its dB scale, the command's picture option, and a golden image
// of the low shelf at full boost over the defaults.
// VANTROSE_REGENERATE_GOLDEN=1 rewrites the golden image from the current code.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "Commands.h"
#include "Raster_MemBitmap.h"
#include "Raster_PNG.h"
#include "Raster_PNGWrite.h"
#include "ResponsePlot.h"

namespace {

TEST(ResponsePlot, ScaleHoldsEveryPointInWholeSteps) {
  struct Case {
    double lowestDb, highestDb;
    PlotScale scale;
  } cases[] = {{-3, 15, {-18, 18, 6}},   {-18, 18, {-18, 18, 6}}, {-1, 20.5, {-18, 24, 6}},
               {-40, 2, {-42, 18, 6}},   {-80, 6, {-84, 24, 12}}, {-130, 0, {-144, 24, 24}},
               {-700, 0, {-720, 48, 48}}};
  for (const Case& c : cases) {
    ResponsePlot plot;
    plot.curve = {{20, c.lowestDb}, {1000, 0}};
    plot.reference = {{20, 0}, {20000, c.highestDb}};
    const PlotScale s = PlotScaleFor(plot);
    EXPECT_EQ(s.lowDb, c.scale.lowDb) << c.lowestDb << " " << c.highestDb;
    EXPECT_EQ(s.highDb, c.scale.highDb) << c.lowestDb << " " << c.highestDb;
    EXPECT_EQ(s.stepDb, c.scale.stepDb) << c.lowestDb << " " << c.highestDb;
  }
}

int Call(std::vector<std::string> args) {
  std::vector<char*> argv;
  for (std::string& a : args)
    argv.push_back(&a[0]);
  return RunResponse(static_cast<int>(argv.size()), argv.data());
}

TEST(ResponsePlot, CommandWritesThePictureOrNothing) {
  char dir[] = "/tmp/vantrose-plot-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  const std::string png = std::string(dir) + "/plot.png";
  ASSERT_EQ(Call({"--png", png, "--set", "LGain=1", "--compare"}), 0);
  std::unique_ptr<Raster_IBitmap> bmp(Raster_LoadPNG(png.c_str(), nullptr));
  ASSERT_NE(bmp, nullptr);
  EXPECT_GE(bmp->getWidth(), 800);
  EXPECT_GE(bmp->getHeight(), 400);
  std::remove(png.c_str());
  EXPECT_EQ(Call({"--compare"}), kExitUsage);
  EXPECT_EQ(Call({"--png"}), kExitUsage);
  const std::string missing = std::string(dir) + "/no/such/folder/plot.png";
  EXPECT_EQ(Call({"--png", missing}), kExitUsage);
  EXPECT_NE(access(missing.c_str(), F_OK), 0);
  rmdir(dir);
}

std::string GoldenPath() {
  return std::string(VANTROSE_SOURCE_DIR) + "/tests/tools/golden/response_low_shelf.png";
}

TEST(ResponsePlot, LowShelfMatchesTheGoldenImage) {
  std::vector<ParamSetting> settings = {{Vantrose::kLGain, 1.0}, {Vantrose::kLFreq, 0.725}};
  std::unique_ptr<Vantrose> fx = MakeConfiguredEffect(44100.0, 512, 2, settings);
  const auto points = MeasureResponse(*fx, LogFrequencies(20.0, 20000.0, 12));
  const ResponsePlot plot = MakeResponsePlot(*fx, 44100.0, settings, points, true);
  Raster_MemBitmap shot(plot.width, plot.height, 4);
  ASSERT_TRUE(DrawResponsePlot(plot, &shot));
  const char* regen = std::getenv("VANTROSE_REGENERATE_GOLDEN");
  if (regen && *regen == '1') {
    ASSERT_TRUE(Raster_WritePNG(GoldenPath().c_str(), &shot));
    GTEST_SKIP() << "golden image rewritten";
  }
  std::unique_ptr<Raster_IBitmap> golden(Raster_LoadPNG(GoldenPath().c_str(), nullptr));
  ASSERT_NE(golden, nullptr) << "missing " << GoldenPath();
  ASSERT_EQ(golden->getWidth(), shot.getWidth());
  ASSERT_EQ(golden->getHeight(), shot.getHeight());
  long long total = 0;
  int worst = 0;
  for (int y = 0; y < shot.getHeight(); ++y)
    for (int x = 0; x < shot.getWidth(); ++x) {
      const unsigned int a = shot.getBits()[y * shot.getRowSpan() + x];
      const unsigned int b = golden->getBits()[y * golden->getRowSpan() + x];
      for (int s = 0; s < 32; s += 8) {
        const int d = std::abs(static_cast<int>((a >> s) & 255) - static_cast<int>((b >> s) & 255));
        total += d;
        worst = std::max(worst, d);
      }
    }
  EXPECT_LT(static_cast<double>(total) / (4.0 * shot.getWidth() * shot.getHeight()), 0.5)
      << "mean channel difference";
  EXPECT_LE(worst, 24) << "largest channel difference";
}

}  // namespace
