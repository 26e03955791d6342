// vantrose snapshot's renderer: settings and gestures change what is drawn and
// what the effect holds.
// VANTROSE_REGENERATE_GOLDEN=1 rewrites the read-out golden images from the current code.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "PanelSnapshot.h"
#include "Raster_MemBitmap.h"
#include "Raster_PNG.h"
#include "Raster_PNGWrite.h"
#include "VantroseReadout.h"

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

bool Regenerating() {
  const char* regen = std::getenv("VANTROSE_REGENERATE_GOLDEN");
  return regen && *regen == '1';
}

// Rows from top down of image against the golden image of that name, within the
// tolerance of font rendering; rewritten instead when regenerating.
void ExpectGolden(Raster_IBitmap* image, const char* name, int top = 0) {
  const std::string golden =
      std::string(VANTROSE_SOURCE_DIR) + "/tests/gui/golden/" + name + ".png";
  if (Regenerating()) {
    ASSERT_TRUE(Raster_WritePNG(golden.c_str(), image));
    return;
  }
  std::unique_ptr<Raster_IBitmap> want(Raster_LoadPNG(golden.c_str(), nullptr));
  ASSERT_NE(want, nullptr) << "missing " << golden;
  ASSERT_EQ(want->getHeight(), image->getHeight());
  ASSERT_EQ(want->getWidth(), image->getWidth());
  int worst = 0;
  for (int y = top; y < image->getHeight(); ++y) {
    for (int x = 0; x < image->getWidth(); ++x) {
      const unsigned int p = image->getBits()[y * image->getRowSpan() + x];
      const unsigned int q = want->getBits()[y * want->getRowSpan() + x];
      for (int sh = 0; sh < 24; sh += 8) {
        worst = std::max(
            worst, std::abs(static_cast<int>((p >> sh) & 255) - static_cast<int>((q >> sh) & 255)));
      }
    }
  }
  EXPECT_LE(worst, 24) << "largest channel difference from " << golden;
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
// image is named (with both sizes a scaled strip may have: frames stacked or side by
// side), and a scale other than 1, 1.5 and 2 is refused.  The copied strips, side by
// side as drawn, pass.
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
               {1.5f, "1.5x/LG.png is 10 x 10 pixels, not 81 x 2511 or 2511 x 81"},
               {1.25f, "the scale is 1, 1.5 or 2"}};
  for (const auto& c : cases) {
    PanelSnapshotRequest r;
    r.scale = c.scale;
    r.outPath = dir + "/out.png";
    std::vector<double> values;
    error.clear();
    EXPECT_FALSE(RenderPanelSnapshot(r, &values, &error)) << c.scale;
    EXPECT_NE(error.find(c.named), std::string::npos) << error;
    if (c.scale == 1.5f) {
      EXPECT_EQ(error.find("; "), std::string::npos) << error;
    }
  }
  for (const char* name : kAll) {
    std::remove((dir + "/" + name + ".png").c_str());
    std::remove((dir + "/1.5x/" + name + ".png").c_str());
  }
  rmdir((dir + "/1.5x").c_str());
  rmdir(dir.c_str());
  EXPECT_TRUE(RegisterPanelArtwork(VANTROSE_SOURCE_DIR, &error)) << error;
}

// A control hovered until its read-out shows, against a golden image: the read-out
// appears beside the control, inside the panel and clear of its caption, and every
// other pixel is the plain panel's.
TEST(PanelSnapshot, HoverShowsTheReadoutBesideTheControl) {
  const struct {
    const char* golden;
    int x, y;                    // where the pointer rests
    int capL, capT, capR, capB;  // the control's printed caption
    std::vector<ParamSetting> settings;
  } kCases[] = {
      {"hover_gain", 275, 138, 258, 165, 292, 178, {{0, 0.8}}},  // LGain: "+3.8 dB"
      {"hover_freq", 312, 75, 297, 102, 327, 115, {}},           // LFreq: "141 Hz"
      {"hover_switch", 208, 46, 193, 57, 223, 71, {{11, 1}}},    // Bell: "Bell"
  };
  std::string error;
  ASSERT_TRUE(RegisterPanelArtwork(VANTROSE_SOURCE_DIR, &error)) << error;
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.golden);
    std::vector<double> values;
    PanelSnapshotRequest plain;
    plain.settings = c.settings;
    plain.outPath = ::testing::TempDir() + std::to_string(getpid()) + "_plain.png";
    std::unique_ptr<Raster_IBitmap> a = Render(plain, &values);
    PanelSnapshotRequest hover = plain;
    hover.outPath = ::testing::TempDir() + std::to_string(getpid()) + "_hover.png";
    hover.gestures.push_back(PanelGesture{PanelGesture::kHover, c.x, c.y});
    std::unique_ptr<Raster_IBitmap> b = Render(hover, &values);
    ASSERT_TRUE(a && b);
    int l = 774, t = 237, r = -1, bottom = -1;
    for (int y = 0; y < 237; ++y) {
      for (int x = 0; x < 774; ++x) {
        if (DifferingPixels(a.get(), b.get(), x, y, x + 1, y + 1) == 0) continue;
        l = std::min(l, x), t = std::min(t, y), r = std::max(r, x + 1),
        bottom = std::max(bottom, y + 1);
      }
    }
    ASSERT_GT(r, l) << "no read-out drawn";
    EXPECT_LE(r - l, 90);
    EXPECT_LE(bottom - t, 24);
    EXPECT_TRUE(l > c.x && l < c.x + 50) << "read-out at x " << l << ", not beside the control";
    EXPECT_FALSE(l < c.capR && c.capL < r && t < c.capB && c.capT < bottom) << "covers the caption";
    ExpectGolden(b.get(), c.golden);
    std::remove(plain.outPath.c_str());
    std::remove(hover.outPath.c_str());
  }
}

// The curve open below the panel, against a golden image; the panel above it is the
// plain panel's, pixel for pixel.
TEST(PanelSnapshot, CurveOpensBelowThePanel) {
  std::string error;
  ASSERT_TRUE(RegisterPanelArtwork(VANTROSE_SOURCE_DIR, &error)) << error;
  std::vector<double> values;
  PanelSnapshotRequest plain;
  plain.settings = {{0, 0.8}, {2, 0.2}, {6, 0.9}, {12, 1}, {8, 0.3}};
  plain.outPath = ::testing::TempDir() + std::to_string(getpid()) + "_plain.png";
  std::unique_ptr<Raster_IBitmap> a = Render(plain, &values);
  PanelSnapshotRequest curve = plain;
  curve.curve = true;
  curve.outPath = ::testing::TempDir() + std::to_string(getpid()) + "_curve.png";
  std::unique_ptr<Raster_IBitmap> b = Render(curve, &values);
  ASSERT_TRUE(a && b);
  ASSERT_EQ(b->getHeight(), 237 + 160);
  EXPECT_EQ(DifferingPixels(a.get(), b.get(), 0, 0, 774, 237), 0);
  ExpectGolden(b.get(), "curve_open", 237);
  std::remove(plain.outPath.c_str());
  std::remove(curve.outPath.c_str());
}

// A value typed into LFreq sets the knob where its read-out names that value, and the
// read-out shows it; garbage changes nothing.
TEST(PanelSnapshot, TypedValueSetsTheKnob) {
  std::string error;
  ASSERT_TRUE(RegisterPanelArtwork(VANTROSE_SOURCE_DIR, &error)) << error;
  std::unique_ptr<Vantrose> probe(static_cast<Vantrose*>(MakePlug(nullptr)));
  std::vector<double> values;
  PanelSnapshotRequest typed;
  typed.outPath = ::testing::TempDir() + std::to_string(getpid()) + "_typed.png";
  typed.gestures.push_back(PanelGesture{PanelGesture::kType, 312, 75});
  typed.gestures.back().text = "100 Hz";
  typed.gestures.push_back(PanelGesture{PanelGesture::kHover, 312, 75});
  std::unique_ptr<Raster_IBitmap> image = Render(typed, &values);
  ASSERT_NE(image, nullptr);
  EXPECT_NEAR(VantroseReadout::ValueReading(*probe, 1, 44100.0, values[1]), 100.0, 1.0);
  ExpectGolden(image.get(), "type_freq");
  typed.gestures = {PanelGesture{PanelGesture::kType, 312, 75}};
  typed.gestures.back().text = "loud";
  Render(typed, &values);
  EXPECT_EQ(values[1], probe->GetParam(1)->GetValue());
  std::remove(typed.outPath.c_str());
}

}  // namespace
