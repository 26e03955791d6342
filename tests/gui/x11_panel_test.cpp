// The panel in an X11 window on a private X server (run through scripts/with-xvfb.sh):
// what the window shows, read back from the server, against the offline snapshot, and
// pointer and key events sent through the server turning its controls, with the host
// hearing the edits as port writes and touches.
#include <gtest/gtest.h>
#include <unistd.h>

// After the test framework: Xlib's macros (None, Bool) would clash with its names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "IGraphicsX11.h"
#include "IPluginLV2UI.h"
#include "Raster_IBitmap.h"
#include "Raster_PNG.h"
#include "VantroseCurveStrip.h"
#include "VantroseEditor.h"
#include "VantroseLayout.h"
#include "VantroseParams.h"
#include "VantroseReadout.h"
#include "VantroseReadoutOverlay.h"
#include "X11View.h"

namespace {

using P = VantroseParams;
constexpr int kW = VantroseLayout::kWidth, kH = VantroseLayout::kHeight;

// The UI as the LV2 entry builds it, with the host's callbacks recorded as text.
struct PanelUI {
  PanelUI() {
    InitVantroseParams(&plug);
    host.write = Write;
    host.controller = this;
    touch.handle = this;
    touch.touch = Touch;
    host.touch = &touch;
    resize.handle = this;
    resize.ui_resize = Resize;
    host.resize = &resize;
    plug.SetUIHost(host);
    gui = new IGraphicsX11(&plug, kW, kH, 0);
    gui->SetResourceDir(VANTROSE_SOURCE_DIR "/resources/img");
    AttachVantroseControls(gui, &plug);
    plug.AttachGraphics(gui);
  }
  static void Write(void* self, uint32_t port, uint32_t size, uint32_t protocol, const void* buf) {
    float v = *static_cast<const float*>(buf);
    static_cast<PanelUI*>(self)->lastWrite[port] = v;
    if (size != sizeof(float) || protocol != 0) static_cast<PanelUI*>(self)->log.push_back("bad");
    static_cast<PanelUI*>(self)->Note("write " + std::to_string(port));
  }
  static int Resize(LV2UI_Feature_Handle self, int w, int h) {
    static_cast<PanelUI*>(self)->sizes.emplace_back(w, h);
    return 0;
  }
  static void Touch(void* self, uint32_t port, bool grabbed) {
    static_cast<PanelUI*>(self)->Note((grabbed ? "grab " : "release ") + std::to_string(port));
  }
  // Consecutive writes to one port are one entry, so a drag reads "grab, write, release".
  void Note(const std::string& s) {
    if (log.empty() || log.back() != s) log.push_back(s);
  }
  double Value(int idx) const { return plug.GetParam(idx)->GetValue(); }

  IPluginLV2UI plug{P::kNumParams, "Vantrose", "Kelvorin", 0x30000, 1, 2};
  LV2UIHost host;
  LV2UI_Touch touch{};
  LV2UI_Resize resize{};
  std::vector<std::pair<int, int>> sizes;  // what the editor asked the host for
  IGraphicsX11* gui = nullptr;
  std::vector<std::string> log;
  float lastWrite[P::kNumParams] = {};
};

std::vector<unsigned int> Pixels(XImage* image) {
  std::vector<unsigned int> out;
  for (int y = 0; y < image->height; ++y)
    for (int x = 0; x < image->width; ++x)
      out.push_back(static_cast<unsigned int>(XGetPixel(image, x, y)) & 0xFFFFFFu);
  return out;
}

class X11PanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X server: run under with-xvfb.sh";
    // The editor's preferences in a folder of the test's own, empty at the start.
    const std::string config =
        ::testing::TempDir() + "vantrose_x11_config_" + std::to_string(getpid());
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    std::remove((config + "/vantrose/editor.conf").c_str());
    dpy = XOpenDisplay(nullptr);
    ASSERT_NE(dpy, nullptr);
    ui.reset(new PanelUI());
  }
  void TearDown() override {
    ui.reset();
    if (dpy) XCloseDisplay(dpy);
  }
  // Opens the panel top-level and waits until the server shows it.
  void Open() {
    ASSERT_NE(ui->gui->OpenWindow(nullptr), nullptr);
    win = ui->gui->GetView()->GetXWindow();
    for (int i = 0; i < 200; ++i) {
      XWindowAttributes a;
      XGetWindowAttributes(dpy, win, &a);
      if (a.map_state == IsViewable) break;
      usleep(5000);
    }
    Pump();
    Window child = 0;
    XTranslateCoordinates(dpy, win, DefaultRootWindow(dpy), 0, 0, &originX, &originY, &child);
  }
  // Lets the view take every event the server has for it, and redraw.
  void Pump() {
    for (int i = 0; i < 6; ++i) {
      XSync(dpy, False);
      usleep(3000);
      ui->gui->Idle();
    }
  }
  std::vector<unsigned int> Shown(int w = kW, int h = kH) {
    XImage* image = XGetImage(dpy, win, 0, 0, w, h, AllPlanes, ZPixmap);
    EXPECT_NE(image, nullptr);
    if (!image) return {};
    std::vector<unsigned int> px = Pixels(image);
    XDestroyImage(image);
    return px;
  }
  void Move(int x, int y) {
    XTestFakeMotionEvent(dpy, DefaultScreen(dpy), originX + x, originY + y, CurrentTime);
    Pump();
  }
  void Button(unsigned int button, bool press) {
    XTestFakeButtonEvent(dpy, button, press ? True : False, CurrentTime);
    Pump();
  }
  void Key(KeySym sym, bool press) {
    XTestFakeKeyEvent(dpy, XKeysymToKeycode(dpy, sym), press ? True : False, CurrentTime);
    Pump();
  }
  VantroseReadoutOverlay* Overlay() {
    for (int i = 0; i < ui->gui->NControls(); ++i) {
      if (auto* o = dynamic_cast<VantroseReadoutOverlay*>(ui->gui->GetControl(i))) return o;
    }
    return nullptr;
  }
  void Drag(int x, int y, int dy) {
    Move(x, y);
    Button(1, true);
    for (int step = 1; step <= 8; ++step)
      Move(x, y + dy * step / 8);
    Button(1, false);
  }

  Display* dpy = nullptr;
  std::unique_ptr<PanelUI> ui;
  Window win = 0;
  int originX = 0, originY = 0;
};

// The window shows exactly the panel the offline snapshot draws for the same settings.
TEST_F(X11PanelTest, ShowsTheSnapshotsPixels) {
  struct Case {
    const char* args;
    std::vector<std::pair<int, double>> values;
  } cases[] = {
      {"", {}},
      {"--set LGain=0.2", {{P::kLGain, 0.2}}},
      {"--set Bell=1 --set HP=0.3 --set Gain=6", {{P::kBell, 1}, {P::kHP, 0.3}, {P::kGain, 6}}},
  };
  std::string png = ::testing::TempDir() + "x11_panel_" + std::to_string(getpid()) + ".png";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    std::string cmd = std::string(VANTROSE_BINARY) + " snapshot " + png + " " + c.args +
                      " --resources " VANTROSE_SOURCE_DIR " >/dev/null";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    std::unique_ptr<Raster_IBitmap> want(Raster_LoadPNG(png.c_str(), nullptr));
    ASSERT_TRUE(want && want->getWidth() == kW && want->getHeight() == kH);

    ui.reset(new PanelUI());
    for (const auto& v : c.values) {  // as a host's port events bring them
      float f = static_cast<float>(v.second);
      ui->plug.PortEvent(v.first, sizeof f, 0, &f);
    }
    Open();
    std::vector<unsigned int> shown = Shown();
    ASSERT_EQ(shown.size(), static_cast<size_t>(kW * kH));
    int differ = 0;
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x)
        differ += shown[y * kW + x] != (want->getBits()[y * want->getRowSpan() + x] & 0xFFFFFFu);
    EXPECT_EQ(differ, 0);
  }
  std::remove(png.c_str());
}

// At 200 % the window shows the snapshot at 200 %, pixel for pixel.
TEST_F(X11PanelTest, AtTwiceTheSizeShowsTheSnapshotsPixels) {
  std::string png = ::testing::TempDir() + "x11_panel_2x_" + std::to_string(getpid()) + ".png";
  std::string cmd = std::string(VANTROSE_BINARY) + " snapshot " + png +
                    " --scale 2 --set LGain=0.2 --resources " VANTROSE_SOURCE_DIR " >/dev/null";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  std::unique_ptr<Raster_IBitmap> want(Raster_LoadPNG(png.c_str(), nullptr));
  std::remove(png.c_str());
  ASSERT_TRUE(want && want->getWidth() == 2 * kW && want->getHeight() == 2 * kH);
  ui->gui->SetScale(2.0f);
  float v = 0.2f;
  ui->plug.PortEvent(P::kLGain, sizeof v, 0, &v);
  Open();
  XWindowAttributes a;
  XGetWindowAttributes(dpy, win, &a);
  EXPECT_EQ(a.width, 2 * kW);
  EXPECT_EQ(a.height, 2 * kH);
  std::vector<unsigned int> shown = Shown(2 * kW, 2 * kH);
  ASSERT_EQ(shown.size(), static_cast<size_t>(4 * kW * kH));
  int differ = 0;
  for (int y = 0; y < 2 * kH; ++y)
    for (int x = 0; x < 2 * kW; ++x)
      differ += shown[y * 2 * kW + x] != (want->getBits()[y * want->getRowSpan() + x] & 0xFFFFFFu);
  EXPECT_EQ(differ, 0);
}

// A drag of 2 d window pixels at 200 % turns the LGain knob as a drag of d does at 100 %.
TEST_F(X11PanelTest, AtTwiceTheSizeADragTurnsTheKnobAsHalfTheDistanceAtOnce) {
  for (int d : {-108, -40, 27}) {
    SCOPED_TRACE(d);
    ui.reset(new PanelUI());
    Open();
    Drag(275, 138, d);
    double once = ui->Value(P::kLGain);
    ui.reset(new PanelUI());
    ui->gui->SetScale(2.0f);
    Open();
    Drag(550, 276, 2 * d);
    EXPECT_NEAR(ui->Value(P::kLGain), once, 1e-9);
    EXPECT_NE(once, 0.5);
  }
}

// A right click on the background opens the size menu over the panel; a click on an item
// sets the scale and the window's size, a click elsewhere or Escape only closes the menu.
TEST_F(X11PanelTest, SizeMenuChangesTheScaleAndTheWindow) {
  struct Case {
    const char* name;
    int x, y;  // the second click, in window pixels at 200 %; -1: Escape instead
    float want;
  } cases[] = {
      {"100 %, the first item", 40, 40, 1.0f},
      {"150 %, the second item", 40, 60, 1.5f},
      {"a click beside the menu", 600, 300, 2.0f},
      {"Escape", -1, -1, 2.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ui.reset(new PanelUI());
    ui->gui->SetScale(2.0f);
    ui->gui->EnableScaleMenu(true);
    float heard = 0.0f;
    ui->gui->SetScaleListener([](void* data, float s) { *static_cast<float*>(data) = s; }, &heard);
    Open();
    Move(20, 20);  // the background, panel (10, 10): the menu's corner
    Button(3, true);
    Button(3, false);
    ASSERT_TRUE(ui->gui->Menu().IsOpen());
    EXPECT_EQ(ui->gui->Menu().Rect(),
              IRECT(10, 10, 10 + X11Menu::kWidth, 10 + 3 * X11Menu::kItemHeight));
    if (c.x < 0) {
      Key(XK_Escape, true);
      Key(XK_Escape, false);
    } else {
      Move(c.x, c.y);
      Button(1, true);
      Button(1, false);
    }
    EXPECT_FALSE(ui->gui->Menu().IsOpen());
    EXPECT_EQ(ui->gui->GetScale(), c.want);
    EXPECT_EQ(heard, c.want == 2.0f ? 0.0f : c.want);
    XWindowAttributes a;
    XGetWindowAttributes(dpy, win, &a);
    EXPECT_EQ(a.width, ui->gui->ToDevice(kW));
    EXPECT_EQ(a.height, ui->gui->ToDevice(kH));
    for (int i = 0; i < P::kNumParams; ++i)
      EXPECT_EQ(ui->lastWrite[i], 0.0f) << "port " << i;
  }
}

// Pointer gestures on the LGain knob (centre 275, 138; 54 pixels high, gearing 4).
TEST_F(X11PanelTest, PointerEventsTurnTheKnob) {
  const int x = 275, y = 138;
  struct Case {
    const char* name;
    KeySym modifier;  // held through the gesture, or NoSymbol
    int dragY;        // 0: no drag
    int wheel;        // button 4 or 5 pressed once, or 0
    bool dblclick;
    double want;
  } cases[] = {
      {"drag up a knob height", NoSymbol, -54, 0, false, 0.75},
      {"half a knob height", NoSymbol, -27, 0, false, 0.625},
      {"shift drag is ten times finer", XK_Shift_L, -54, 0, false, 0.525},
      {"control drag down", XK_Control_L, 54, 0, false, 0.475},
      {"wheel up", NoSymbol, 0, 4, false, 0.51},
      {"wheel down with shift", XK_Shift_L, 0, 5, false, 0.499},
      {"double click restores the default", NoSymbol, -54, 0, true, 0.5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ui.reset(new PanelUI());
    Open();
    std::vector<unsigned int> before = Shown();
    if (c.modifier != NoSymbol) Key(c.modifier, true);
    if (c.dragY) Drag(x, y, c.dragY);
    if (c.wheel) {
      Move(x, y);
      Button(c.wheel, true);
      Button(c.wheel, false);
    }
    if (c.modifier != NoSymbol) Key(c.modifier, false);
    if (c.dblclick) {
      usleep((X11View::kDoubleClickMs + 100) * 1000);  // not part of the drag's press
      for (int i = 0; i < 2; ++i) {
        Button(1, true);
        Button(1, false);
      }
    }
    EXPECT_NEAR(ui->Value(P::kLGain), c.want, 1e-9);
    EXPECT_FLOAT_EQ(ui->lastWrite[P::kLGain], static_cast<float>(c.want));
    for (int i = 0; i < P::kNumParams; ++i) {
      if (i != P::kLGain) {
        EXPECT_EQ(ui->lastWrite[i], 0.0f) << "port " << i;
      }
    }
    // Only the knob's own pixels change, and those of its read-out beside it.
    std::vector<unsigned int> after = Shown();
    const VantroseReadoutOverlay* overlay = Overlay();
    ASSERT_TRUE(overlay && overlay->Showing());
    const IRECT bubble = overlay->Bubble();
    int outside = 0, inside = 0, readout = 0;
    for (int py = 0; py < kH; ++py)
      for (int px = 0; px < kW; ++px) {
        bool differs = before[py * kW + px] != after[py * kW + px];
        bool inKnob = px >= 248 && px < 302 && py >= 111 && py < 165;
        if (bubble.Contains(px, py)) {
          readout += differs;
        } else {
          (inKnob ? inside : outside) += differs;
        }
      }
    EXPECT_EQ(outside, 0);
    EXPECT_GT(readout, 0);
    if (std::abs(c.want - 0.5) >= 0.1) {
      EXPECT_GT(inside, 0);
    }  // smaller steps may keep the frame
  }
}

// A drag is one gesture for the host, and the pointer comes back where it began.
TEST_F(X11PanelTest, DragIsOneTouchAndThePointerReturns) {
  Open();
  Drag(275, 138, -40);
  std::vector<std::string> want = {"grab 0", "write 0", "release 0"};
  EXPECT_EQ(ui->log, want);
  Window root = 0, child = 0;
  int rx = 0, ry = 0, wx = 0, wy = 0;
  unsigned int mask = 0;
  XQueryPointer(dpy, win, &root, &child, &rx, &ry, &wx, &wy, &mask);
  EXPECT_EQ(wx, 275);
  EXPECT_EQ(wy, 138);
}

// A switch toggles on a click; the host's port events move controls without writes back.
TEST_F(X11PanelTest, SwitchClicksAndHostChanges) {
  Open();
  Move(20, 220);  // the 16x switch at (0, 209)
  Button(1, true);
  Button(1, false);
  EXPECT_EQ(ui->Value(P::kOver), 1.0);
  EXPECT_EQ(ui->lastWrite[P::kOver], 1.0f);
  ui->log.clear();
  float v = 0.9f;
  EXPECT_TRUE(ui->plug.PortEvent(P::kLGain, sizeof v, 0, &v));
  EXPECT_FALSE(ui->plug.PortEvent(P::kLGain, sizeof v, 0, &v));  // an echo changes nothing
  EXPECT_FALSE(ui->plug.PortEvent(P::kNumParams, sizeof v, 0, &v));
  EXPECT_FALSE(ui->plug.PortEvent(P::kLGain, sizeof v, 1, &v));
  Pump();
  EXPECT_FLOAT_EQ(static_cast<float>(ui->Value(P::kLGain)), 0.9f);
  EXPECT_TRUE(ui->log.empty());
}

// Typed text reaches the parameter through the in-place entry: Return applies it,
// Escape drops it, characters a number can't hold are refused.
TEST_F(X11PanelTest, TextEntryTakesKeys) {
  struct Case {
    std::vector<KeySym> keys;
    double want;
  } cases[] = {
      {{XK_BackSpace, XK_x, XK_2, XK_5, XK_Return}, 0.25},
      {{XK_BackSpace, XK_9, XK_Escape}, 0.5},
  };
  for (const Case& c : cases) {
    ui.reset(new PanelUI());
    Open();
    IControl* knob = ui->gui->GetControl(5);
    IRECT r(255, 130, 295, 146);
    ui->gui->CreateTextEntry(knob, knob->GetText(), &r, "0.5", ui->plug.GetParam(P::kLGain));
    Move(275, 138);
    for (KeySym k : c.keys) {
      Key(k, true);
      Key(k, false);
    }
    EXPECT_FALSE(ui->gui->TextEntry().IsOpen());
    EXPECT_NEAR(ui->Value(P::kLGain), c.want, 1e-9);
  }
}

// Embedded in a host's window, the panel passes on the keys it does not take, press and
// release, so the host's shortcuts keep working with the pointer over it.
TEST_F(X11PanelTest, EmbeddedPanelPassesKeysToTheHost) {
  Window host = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 800, 300, 0, 0, 0);
  XSelectInput(dpy, host, KeyPressMask | KeyReleaseMask);
  XMapWindow(dpy, host);
  XSync(dpy, False);
  ASSERT_NE(ui->gui->OpenWindow(reinterpret_cast<void*>(host)), nullptr);
  win = ui->gui->GetView()->GetXWindow();
  Pump();
  Move(100, 100);
  Key(XK_space, true);
  Key(XK_space, false);
  std::vector<int> types;
  XEvent e;
  while (XCheckWindowEvent(dpy, host, KeyPressMask | KeyReleaseMask, &e)) {
    EXPECT_TRUE(e.xkey.send_event);
    EXPECT_EQ(e.xkey.keycode, XKeysymToKeycode(dpy, XK_space));
    types.push_back(e.type);
  }
  EXPECT_EQ(types, (std::vector<int>{KeyPress, KeyRelease}));
  ui.reset();
  XDestroyWindow(dpy, host);
}

// The host's window goes with the panel in it.  The view hears of it, and what comes
// after (a host's port event that moves a knob, the redraw) sends nothing to the window
// that is gone, so no X error arises, trapped or not.
TEST_F(X11PanelTest, HostWindowDestroyedUnderTheEmbeddedPanel) {
  Window host = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 800, 300, 0, 0, 0);
  XMapWindow(dpy, host);
  XSync(dpy, False);
  ASSERT_NE(ui->gui->OpenWindow(reinterpret_cast<void*>(host)), nullptr);
  Pump();
  XDestroyWindow(dpy, host);
  XSync(dpy, False);
  Pump();
  float v = 0.9f;
  EXPECT_TRUE(ui->plug.PortEvent(P::kLGain, sizeof v, 0, &v));
  Pump();
  ASSERT_NE(ui->gui->GetView(), nullptr);
  EXPECT_TRUE(ui->gui->GetView()->IsDestroyed());
  EXPECT_FALSE(ui->gui->Idle());
  EXPECT_EQ(ui->gui->GetView()->TrappedErrors(), 0);
}

// The link hands the address to the desktop's handler as one argument, never as shell text.
TEST(X11Link, OpensTheAddressWithTheDesktopHandler) {
  std::string dir = ::testing::TempDir() + "x11_link_" + std::to_string(getpid());
  std::string out = dir + "/opened";
  ASSERT_EQ(std::system(("mkdir -p " + dir).c_str()), 0);
  FILE* f = std::fopen((dir + "/xdg-open").c_str(), "w");
  ASSERT_NE(f, nullptr);
  std::fprintf(f, "#!/bin/sh\nprintf '%%s' \"$1\" > %s\n", out.c_str());
  std::fclose(f);
  ASSERT_EQ(std::system(("chmod +x " + dir + "/xdg-open").c_str()), 0);
  std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
  setenv("PATH", (dir + ":" + path).c_str(), 1);
  PanelUI ui;
  const std::string url = "https://example.com/a b;touch " + dir + "/injected";
  EXPECT_TRUE(ui.gui->OpenURL(url.c_str()));
  setenv("PATH", path.c_str(), 1);
  std::string got;
  for (int i = 0; i < 200 && got.empty(); ++i) {
    usleep(10000);
    if (FILE* r = std::fopen(out.c_str(), "r")) {
      char buf[256] = {0};
      got = std::fgets(buf, sizeof buf, r) ? buf : "";
      std::fclose(r);
    }
  }
  EXPECT_EQ(got, url);
  EXPECT_NE(access((dir + "/injected").c_str(), F_OK), 0);
  ASSERT_EQ(std::system(("rm -rf " + dir).c_str()), 0);
}

TEST(X11ViewMapping, ButtonsModifiersAndKeys) {
  struct Case {
    int button;
    unsigned int state;
    bool l, r, s, c, a;
  } cases[] = {
      {Button1, 0, true, false, false, false, false},
      {Button1, Mod4Mask, true, true, false, false, false},  // Super-click: also a right click
      {Button3, 0, false, true, false, false, false},
      {Button1, ShiftMask | ControlMask | Mod1Mask, true, false, true, true, true},
      {0, Button1Mask, true, false, false, false, false},
      {0, Button3Mask | ShiftMask, false, true, true, false, false},
  };
  for (const Case& c : cases) {
    IMouseMod m = X11View::ModFor(c.button, c.state);
    EXPECT_EQ(m.L, c.l);
    EXPECT_EQ(m.R, c.r);
    EXPECT_EQ(m.S, c.s);
    EXPECT_EQ(m.C, c.c);
    EXPECT_EQ(m.A, c.a);
  }
  EXPECT_EQ(X11View::KeyCode(XK_Up), KeyUp);
  EXPECT_EQ(X11View::KeyCode(XK_space), KeySpace);
  EXPECT_EQ(X11View::KeyCode(XK_7), KeyDigit0 + 7);
  EXPECT_EQ(X11View::KeyCode(XK_q), X11View::KeyCode(XK_Q));
  EXPECT_EQ(X11View::KeyCode(XK_z), KeyZ);
  EXPECT_EQ(X11View::KeyCode(XK_Return), -1);
}

TEST(X11Resources, FoundByBaseNameInTheFolderOrItsImageFolder) {
  const std::string root = VANTROSE_SOURCE_DIR;
  EXPECT_EQ(FindResourceImage(root, "resources/img/BG.png"), root + "/resources/img/BG.png");
  EXPECT_EQ(FindResourceImage(root + "/resources/img", "BG.png"), root + "/resources/img/BG.png");
  EXPECT_EQ(FindResourceImage(root, "resources/img/BG.jpg"), "");
  EXPECT_EQ(FindResourceImage(root, "resources/img/NONE.png"), "");
  EXPECT_EQ(FindResourceImage(root, "resources/img/BG.png", "2x"),
            root + "/resources/img/2x/BG.png");
  EXPECT_EQ(FindResourceImage(root, "resources/img/BG.png", "3x"), "");
}

}  // namespace

// The read-out: it waits for the pointer to rest, names the value in the panel, follows
// the host while hovered, and goes a while after the pointer leaves.  The overlay runs
// on a clock the test sets.
TEST_F(X11PanelTest, HoverShowsTheReadout) {
  Open();
  VantroseReadoutOverlay* overlay = Overlay();
  ASSERT_NE(overlay, nullptr);
  double now = 100.0;
  overlay->SetClock([&now] { return now; });
  const std::vector<unsigned int> before = Shown();
  Move(312, 75);  // LFreq
  EXPECT_FALSE(overlay->Showing()) << "shown before the pointer rested";
  now += VantroseReadoutOverlay::kHoverDelay + 0.01;
  Pump();
  ASSERT_TRUE(overlay->Showing());
  EXPECT_EQ(overlay->ShownText(), "141 Hz");
  EXPECT_NE(Shown(), before);
  float v = 0.3f;  // the host cuts the low band: the shelf's corner moves
  ui->plug.PortEvent(P::kLGain, sizeof v, 0, &v);
  Pump();
  EXPECT_NE(overlay->ShownText(), "141 Hz");
  EXPECT_EQ(overlay->ShownText(), VantroseReadout::Text(ui->plug, P::kLFreq, 0.0));
  v = 0.5f;
  ui->plug.PortEvent(P::kLGain, sizeof v, 0, &v);
  Move(20, 120);  // off the knob, onto the background
  now += VantroseReadoutOverlay::kLinger - 0.1;
  Pump();
  EXPECT_TRUE(overlay->Showing()) << "gone before its time";
  now += 0.2;
  Pump();
  EXPECT_FALSE(overlay->Showing());
  EXPECT_EQ(Shown(), before) << "the panel's pixels came back";
}

// Right click opens the entry holding the read-out; typed values land on the knob
// position whose read-out they name, as one gesture; refused ones change nothing.
TEST_F(X11PanelTest, TypedValuesSetTheKnob) {
  struct Case {
    int x, y, param;
    bool control;  // Control-click instead of the right button
    std::vector<KeySym> keys;
    const char* readout;  // after Return, or nullptr when nothing may change
  } cases[] = {
      {312, 75, P::kLFreq, false, {XK_1, XK_0, XK_0, XK_space, XK_H, XK_z, XK_Return}, "100 Hz"},
      {275, 138, P::kLGain, true, {XK_minus, XK_2, XK_period, XK_5, XK_Return}, "-2.5 dB"},
      {275, 138, P::kLGain, false, {XK_4, XK_0, XK_Return}, nullptr},
      {275, 138, P::kLGain, false, {XK_3, XK_Escape}, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.readout ? c.readout : "refused");
    ui.reset(new PanelUI());
    Open();
    Move(c.x, c.y);
    if (c.control) Key(XK_Control_L, true);
    Button(c.control ? 1 : 3, true);
    Button(c.control ? 1 : 3, false);
    if (c.control) Key(XK_Control_L, false);
    ASSERT_TRUE(ui->gui->TextEntry().IsOpen());
    EXPECT_EQ(ui->gui->TextEntry().Text(),
              VantroseReadout::Text(ui->plug, c.param, ui->plug.GetSampleRate()));
    for (int i = 0; i < 12; ++i) {
      Key(XK_BackSpace, true);
      Key(XK_BackSpace, false);
    }
    ui->log.clear();
    for (KeySym k : c.keys) {
      Key(k, true);
      Key(k, false);
    }
    EXPECT_FALSE(ui->gui->TextEntry().IsOpen());
    if (c.readout) {
      EXPECT_EQ(VantroseReadout::Text(ui->plug, c.param, ui->plug.GetSampleRate()), c.readout);
      const std::string p = std::to_string(c.param);
      EXPECT_EQ(ui->log, (std::vector<std::string>{"grab " + p, "write " + p, "release " + p}));
    } else {
      EXPECT_EQ(ui->Value(c.param), 0.5);
      EXPECT_TRUE(ui->log.empty());
    }
    if (c.keys.back() == XK_Return && !c.readout) {  // refused: the reachable range shows
      ASSERT_TRUE(Overlay()->Showing());
      EXPECT_EQ(Overlay()->ShownText(), "-15.6 dB to +15.6 dB");
    }
  }
}

// A click on the product name opens the curve: the window grows and the host is asked to
// follow through ui:resize; a second click closes it to exactly the panel.
TEST_F(X11PanelTest, ProductNameResizesThroughTheHost) {
  Open();
  EXPECT_EQ(ui->sizes.size(), 0u);
  const std::vector<unsigned int> before = Shown();
  for (int open : {1, 0}) {
    Move(683, 204);
    Button(1, true);
    Button(1, false);
    const int h = VantroseCurve::EditorHeight(open == 1);
    ASSERT_FALSE(ui->sizes.empty());
    EXPECT_EQ(ui->sizes.back(), std::make_pair(kW, h));
    EXPECT_EQ(ui->gui->Height(), h);
    XWindowAttributes a;
    for (int i = 0; i < 100; ++i) {
      Pump();
      XGetWindowAttributes(dpy, win, &a);
      if (a.height == h) break;
    }
    EXPECT_EQ(a.height, h);
    // Embedding hosts size their socket from the window's size hints.
    XSizeHints hints = {};
    long supplied = 0;
    ASSERT_TRUE(XGetWMNormalHints(dpy, win, &hints, &supplied));
    EXPECT_EQ(hints.min_height, h);
    EXPECT_EQ(hints.base_height, h);
    EXPECT_EQ(VantroseCurve::ReadPreference(), open == 1);
  }
  Move(20, 120);
  for (int i = 0; i < 3; ++i)
    Pump();
  EXPECT_EQ(Shown(), before);
}
