// The manager at a scale: panel units to device pixels, images of the scale drawn
// frame by frame, resampling when a scale has no image, and the size menu.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>

#include "AppKit.h"
#include "EditorScale.h"
#include "GuiTestSupport.h"
#include "IBasicControls.h"
#include "IGraphicsCocoa.h"
#include "IPopupMenu.h"
#include "Raster_SysBitmap.h"

namespace {

// Images at 1.5x and 2x come from memory too: id k at scale s is (10 s) x (10 k s),
// row y coloured 0xFF00SS00 | y with SS the scale in tenths, so both the scale and
// the source row show in the pixels.  Id 7 has no scaled image.
class ScaledGraphics : public TestGraphics {
 public:
  explicit ScaledGraphics(IPluginBase* plug) : TestGraphics(plug) {}
  Raster_IBitmap* OSLoadScaledBitmap(int id, const char*, const char* folder) override {
    float s = std::string(folder) == "2x" ? 2.0f : 1.5f;
    if (id == 7) return nullptr;
    int w = static_cast<int>(10 * s), h = static_cast<int>(10 * id * s);
    Raster_MemBitmap* b = new Raster_MemBitmap(w, h, 4);
    unsigned int mark = static_cast<unsigned int>(s * 10) << 8;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        b->getBits()[y * b->getRowSpan() + x] = 0xFF000000u | mark | static_cast<unsigned>(y);
    return b;
  }
  IPopupMenu* CreateIPopupMenu(IPopupMenu* menu, IRECT*) override {
    ++menus;
    items.clear();
    for (int i = 0; i < menu->GetNItems(); ++i)
      items.push_back(std::string(menu->GetItemText(i)) +
                      (menu->GetItem(i)->GetChecked() ? " *" : ""));
    if (pick < 0) return nullptr;
    menu->SetChosenItemIdx(pick);
    return menu;
  }
  int menus = 0, pick = -1;
  std::vector<std::string> items;
};

TEST(EditorScale, NearestOfTheThreeScales) {
  struct {
    double in;
    float out;
  } cases[] = {{0.5, 1.0f},
               {1.0, 1.0f},
               {1.24, 1.0f},
               {1.25, 1.5f},
               {1.5, 1.5f},
               {1.74, 1.5f},
               {1.75, 2.0f},
               {2.0, 2.0f},
               {3.0, 2.0f},
               {-2.0, 1.0f},
               {std::numeric_limits<double>::quiet_NaN(), 1.0f}};
  for (const auto& c : cases)
    EXPECT_EQ(IGraphics::NearestScale(c.in), c.out) << c.in;
}

TEST(EditorScale, PanelUnitsToDevicePixelsAndBack) {
  TestPlug plug;
  ScaledGraphics gui(&plug);
  gui.SetScale(1.5f);
  struct {
    int panel, device;
  } cases[] = {{0, 0}, {1, 2}, {2, 3}, {285, 428}, {237, 356}, {774, 1161}};
  for (const auto& c : cases)
    EXPECT_EQ(gui.ToDevice(c.panel), c.device) << c.panel;
  EXPECT_EQ(gui.ToPanel(427), 284);
  EXPECT_EQ(gui.ToPanel(428), 285);
  gui.SetScale(2.0f);
  EXPECT_EQ(gui.ToDevice(IRECT(1, 2, 3, 4)), IRECT(2, 4, 6, 8));
  // A 216-pixel move in device pixels is 108 panel units from any start.
  for (int start : {0, 1, 101})
    EXPECT_EQ(gui.ToPanel(start + 216) - gui.ToPanel(start), 108) << start;
}

// Frame 2 of a three-frame image at panel (5, 5): device (10, 10) to (30, 30) shows
// rows 20..39 of the 2x image, which is 20 pixels a frame.
TEST(EditorScale, FramesOfTheScaledImageLandOnDevicePixels) {
  TestPlug plug;
  ScaledGraphics* gui = new ScaledGraphics(&plug);
  plug.AttachGraphics(gui);
  gui->SetScale(2.0f);
  IBitmap strip = gui->LoadIBitmap(kIdThreeFrames, "strip.png", 3);
  EXPECT_EQ(strip.W, 10);  // the control sees panel units
  EXPECT_EQ(strip.H, 30);
  EXPECT_EQ(gui->GetDrawBitmap()->getWidth(), 400);
  EXPECT_EQ(gui->GetDrawBitmap()->getHeight(), 200);
  gui->AttachControl(new IPanelControl(&plug, IRECT(190, 90, 200, 100), &COLOR_BLACK));
  IRECT all(0, 0, 200, 100), dest(5, 5, 15, 15);
  gui->Draw(&all);  // sets the draw rectangle
  gui->DrawBitmap(&strip, &dest, 2);
  EXPECT_EQ(gui->GetPoint(10, 10).Pack(), 0xFF001400u | 20);
  EXPECT_EQ(gui->GetPoint(29, 29).Pack(), 0xFF001400u | 39);
  EXPECT_EQ(gui->GetPoint(30, 30).Pack(), 0u);
  EXPECT_EQ(gui->GetPoint(9, 9).Pack(), 0u);
  // Back at 1x the same call draws the 1x image, 10 pixels a frame.
  gui->SetScale(1.0f);
  gui->Draw(&all);
  gui->DrawBitmap(&strip, &dest, 2);
  EXPECT_EQ(gui->GetPoint(5, 5).Pack(), 0xFF000000u | 10);
  EXPECT_EQ(gui->GetDrawBitmap()->getWidth(), 200);
}

TEST(EditorScale, AnImageWithoutItsScaleIsResampledToTheScaledSize) {
  TestPlug plug;
  ScaledGraphics* gui = new ScaledGraphics(&plug);
  plug.AttachGraphics(gui);
  gui->SetScale(1.5f);
  IBitmap plain = gui->LoadIBitmap(7, "plain.png", 1);
  gui->AttachControl(new IPanelControl(&plug, IRECT(190, 90, 200, 100), &COLOR_BLACK));
  IRECT all(0, 0, 200, 100), dest(0, 0, 10, 70);
  gui->Draw(&all);
  gui->DrawBitmap(&plain, &dest, 1);
  // 15 x 105 device pixels of the 1x image's colours, no scale mark.
  EXPECT_EQ(gui->GetPoint(14, 0).Pack() & 0xFFFFFF00u, 0xFF000000u);
  EXPECT_EQ(gui->GetPoint(15, 0).Pack(), 0u);
  EXPECT_NE(gui->GetPoint(0, 104).Pack(), 0u);
  EXPECT_EQ(gui->GetPoint(0, 105).Pack(), 0u);
}

// The 2x image of the three-frame strip (1x 10 x 30) in any size: 20 x 20 frames in
// rows as wide as the image, pixel (x, y) of the stacked strip coloured
// 0xFF..80.. | x << 16 | y, so a frame put in the wrong place shows.
class LaidOutGraphics : public TestGraphics {
 public:
  LaidOutGraphics(IPluginBase* plug, int w, int h) : TestGraphics(plug), mW(w), mH(h) {}
  Raster_IBitmap* OSLoadScaledBitmap(int, const char*, const char*) override {
    Raster_MemBitmap* b = new Raster_MemBitmap(mW, mH, 4);
    for (int y = 0; y < mH; ++y)
      for (int x = 0; x < mW; ++x) {
        int frame = (y / 20) * (mW / 20) + x / 20;
        b->getBits()[y * b->getRowSpan() + x] = Stacked(x % 20, frame * 20 + y % 20);
      }
    return b;
  }
  static unsigned int Stacked(int x, int y) {
    return 0xFF008000u | static_cast<unsigned>(x) << 16 | static_cast<unsigned>(y);
  }
  Raster_IBitmap* Drawn(const IBitmap* b) { return DeviceImage(b); }

 private:
  int mW, mH;
};

// A scaled strip with its frames stacked or side by side is drawn as the stacked one,
// pixel for pixel; any other size is refused and the 1x image resampled instead, as
// is a side-by-side image of a strip whose 1x frames are side by side already.
TEST(EditorScale, AScaledStripSideBySideIsStackedOnLoading) {
  struct {
    int w, h;
    bool horizontal, used;
  } cases[] = {{20, 60, false, true},  {60, 20, false, true},  {80, 20, false, false},
               {40, 40, false, false}, {60, 60, false, false}, {60, 20, true, false}};
  for (const auto& c : cases) {
    TestPlug plug;
    LaidOutGraphics* gui = new LaidOutGraphics(&plug, c.w, c.h);
    plug.AttachGraphics(gui);
    gui->SetScale(2.0f);
    IBitmap strip = gui->LoadIBitmap(kIdThreeFrames, "strip.png", 3, c.horizontal);
    Raster_IBitmap* drawn = gui->Drawn(&strip);
    ASSERT_EQ(drawn->getWidth(), 20);
    ASSERT_EQ(drawn->getHeight(), 60);
    int wrong = 0;
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 20; ++x)
        wrong += drawn->getBits()[y * drawn->getRowSpan() + x] != LaidOutGraphics::Stacked(x, y);
    EXPECT_EQ(wrong == 0, c.used) << c.w << " x " << c.h << (c.horizontal ? " (horizontal)" : "")
                                  << ": " << wrong << " pixels differ";
  }
}

// Only a right click on the background opens the menu, and only when it is on.
TEST(EditorScale, RightClickOnTheBackgroundOffersTheSizes) {
  TestPlug plug;
  ScaledGraphics* gui = new ScaledGraphics(&plug);
  plug.AttachGraphics(gui);
  gui->AttachBackground(kIdOneFrame, "bg.png");
  gui->AttachControl(new IPanelControl(&plug, IRECT(50, 50, 60, 60), &COLOR_BLACK));
  float heard = 0.0f;
  gui->SetScaleListener([](void* data, float s) { *static_cast<float*>(data) = s; }, &heard);
  IMouseMod right(false, true), left(true, false);
  gui->OnMouseDown(5, 5, &right);
  EXPECT_EQ(gui->menus, 0) << "the menu is off until the editor turns it on";
  gui->EnableScaleMenu(true);
  gui->OnMouseDown(5, 5, &left);
  gui->OnMouseDown(55, 55, &right);
  EXPECT_EQ(gui->menus, 0) << "left clicks and clicks on controls open no menu";
  gui->OnMouseDown(5, 5, &right);
  ASSERT_EQ(gui->menus, 1);
  EXPECT_EQ(gui->items, (std::vector<std::string>{"Size: 100 % *", "Size: 150 %", "Size: 200 %"}));
  EXPECT_EQ(heard, 0.0f) << "dismissed: nothing chosen";
  gui->pick = 2;
  gui->OnMouseDown(5, 5, &right);
  EXPECT_EQ(gui->GetScale(), 2.0f);
  EXPECT_EQ(heard, 2.0f);
  EXPECT_EQ(gui->items[2], "Size: 200 %");
}

// The window's backing scale becomes the editor's, and the screen gets its pixels.
TEST(EditorScale, TheWindowsBackingScaleSetsTheEditors) {
  struct {
    double backing;
    float scale;
  } cases[] = {{1.0, 1.0f}, {1.5, 1.5f}, {2.0, 2.0f}, {3.0, 2.0f}};
  for (const auto& c : cases) {
    TestPlug plug;
    ScaledGraphics* gui = new ScaledGraphics(&plug);
    plug.AttachGraphics(gui);
    gui->AttachControl(new IPanelControl(&plug, IRECT(0, 0, 200, 100), &COLOR_RED));
    NSWindow window;
    window.initWithContentRect(NSMakeRect(0, 0, 200, 100), 0, 2, NO);
    window.setBackingScaleFactor(c.backing);
    auto* view = static_cast<IGraphicsCocoa*>(gui->OpenWindow(window.contentView()));
    EXPECT_EQ(gui->GetScale(), c.scale) << c.backing;
    view->setNeedsDisplay(YES);
    view->displayIfNeeded();
    const CGContext& screen = *window.screen();
    int w = static_cast<int>(200 * c.backing), h = static_cast<int>(100 * c.backing);
    ASSERT_EQ(screen.width, w);
    // The editor's pixels fill as much of the screen as its scale covers.
    int edge = static_cast<int>(200 * c.scale) - 1;
    EXPECT_EQ(screen.pixels[static_cast<size_t>(h / 2) * w + edge], 0xFF0000u) << c.backing;
    gui->CloseWindow();
  }
}

}  // namespace

namespace {

TEST(EditorScaleChoice, DesktopSettingsGiveAScaleOrNone) {
  struct {
    const char* resources;
    float scale;
  } xft[] = {{"Xft.dpi:\t192\n", 2.0f},
             {"Xft.antialias:\t1\nXft.dpi:\t144\nXft.hinting:\t1\n", 1.5f},
             {"Xft.dpi: 96\nXft.dpi: 192\n", 2.0f},  // the last line counts
             {"Xft.dpi:\tlots\n", 0.0f},
             {"Xft.dpi:\t-96\n", 0.0f},
             {"Xft.dpix:\t192\n", 0.0f},
             {"", 0.0f},
             {nullptr, 0.0f}};
  for (const auto& c : xft)
    EXPECT_EQ(ScaleFromXResources(c.resources), c.scale) << (c.resources ? c.resources : "null");
  struct {
    const char* value;
    float scale;
  } gdk[] = {{"2", 2.0f}, {" 1.5", 1.5f}, {"2x", 0.0f}, {"0", 0.0f}, {"", 0.0f}, {nullptr, 0.0f}};
  for (const auto& c : gdk)
    EXPECT_EQ(ScaleFromGdkScale(c.value), c.scale) << (c.value ? c.value : "null");
}

// The saved choice, then the host, then Xft.dpi, then GDK_SCALE.
TEST(EditorScaleChoice, FirstSourceThatHasOneWinsRounded) {
  struct {
    float saved, host, xft, gdk;
    float scale;
    EScaleSource source;
  } cases[] = {{0, 0, 0, 0, 1.0f, kScaleDefault}, {1.5f, 2, 2, 2, 1.5f, kScaleSaved},
               {0, 1, 2, 2, 1.0f, kScaleHost},    {0, 0, 1.5f, 2, 1.5f, kScaleXftDpi},
               {0, 0, 0, 2, 2.0f, kScaleGdk},     {0, 0, 1.3f, 0, 1.5f, kScaleXftDpi},
               {0, 1.2f, 0, 0, 1.0f, kScaleHost}, {0, 3, 0, 0, 2.0f, kScaleHost}};
  for (const auto& c : cases) {
    EScaleSource source = kScaleDefault;
    EXPECT_EQ(ChooseEditorScale(c.saved, c.host, c.xft, c.gdk, &source), c.scale)
        << c.saved << " " << c.host << " " << c.xft << " " << c.gdk;
    EXPECT_EQ(source, c.source);
  }
}

TEST(EditorScaleChoice, TheChoiceIsSavedBesideTheFilesOtherLines) {
  std::string dir = ::testing::TempDir() + "scale_conf_" + std::to_string(getpid());
  const char* before = std::getenv("XDG_CONFIG_HOME");
  std::string saved = before ? before : "";
  setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
  std::string path = EditorConfigPath("product");
  if (before) {
    setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
  } else {
    unsetenv("XDG_CONFIG_HOME");
  }
  EXPECT_EQ(path, dir + "/product/editor.conf");
  EXPECT_EQ(LoadSavedScale(path), 0.0f) << "no file yet";
  ASSERT_TRUE(SaveScale(path, 1.5f)) << "the folders are made";
  EXPECT_EQ(LoadSavedScale(path), 1.5f);
  {
    std::ofstream add(path, std::ios::app);
    add << "other = kept\n";
  }
  ASSERT_TRUE(SaveScale(path, 2.0f));
  EXPECT_EQ(LoadSavedScale(path), 2.0f);
  std::ifstream in(path);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text, "other = kept\nscale = 2\n");
  EXPECT_FALSE(SaveScale("/proc/no/such/editor.conf", 2.0f));
  std::remove(path.c_str());
}

}  // namespace
