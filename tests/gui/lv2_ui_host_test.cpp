// The LV2 UI binary as a careless host drives it, on a private X server: a parent that
// is no window, a touch feature without a function, and a drag cut short by cleanup,
// by the host's window going away or by a second button.  The host must survive, keep
// its own X error handler, and hear an end for every gesture begin.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <lv2/ui/ui.h>
#include <unistd.h>

// After the test framework: Xlib's macros (None, Bool) would clash with its names.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

const char kBundle[] = VANTROSE_LV2_BUNDLE_DIR;
const char kPlugin[] = "https://kelvorin.com/lv2/vantrose#stereo";

int gHostErrors = 0;
int CountHostError(Display*, XErrorEvent*) {
  ++gHostErrors;
  return 0;
}

// A host with an X connection of its own, its own container window, and a log of the
// touches the UI reports.
class LV2UIHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X server: run under with-xvfb.sh";
    lib = dlopen((std::string(kBundle) + "vantrose_ui.so").c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib, nullptr) << dlerror();
    auto entry = reinterpret_cast<LV2UI_DescriptorFunction>(dlsym(lib, "lv2ui_descriptor"));
    ASSERT_NE(entry, nullptr);
    desc = entry(0);
    idle = static_cast<const LV2UI_Idle_Interface*>(desc->extension_data(LV2_UI__idleInterface));
    show = static_cast<const LV2UI_Show_Interface*>(desc->extension_data(LV2_UI__showInterface));
    dpy = XOpenDisplay(nullptr);
    ASSERT_NE(dpy, nullptr);
    hostWindow = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 800, 300, 0, 0, 0);
    XMapWindow(dpy, hostWindow);
    XSync(dpy, False);
  }
  void TearDown() override {
    if (ui) desc->cleanup(ui);
    if (dpy) {
      if (hostWindow) XDestroyWindow(dpy, hostWindow);
      XCloseDisplay(dpy);
    }
    if (lib) dlclose(lib);
  }

  static void Write(LV2UI_Controller, uint32_t, uint32_t, uint32_t, const void*) {}
  static void Touch(LV2UI_Feature_Handle self, uint32_t port, bool grabbed) {
    static_cast<LV2UIHostTest*>(self)->touches.push_back((grabbed ? "grab " : "release ") +
                                                         std::to_string(port));
  }

  // Instantiates embedded in parent, with the given touch feature (or none).
  LV2UI_Handle Instantiate(Window parent, const LV2UI_Touch* touch) {
    LV2_Feature parentFeature = {LV2_UI__parent, reinterpret_cast<void*>(parent)};
    LV2_Feature touchFeature = {LV2_UI__touch, const_cast<LV2UI_Touch*>(touch)};
    const LV2_Feature* features[] = {&parentFeature, touch ? &touchFeature : nullptr, nullptr};
    LV2UI_Widget widget = nullptr;
    return desc->instantiate(desc, kPlugin, kBundle, Write, this, &widget, features);
  }
  // Embedded in the host's window with a working touch feature, and on the screen.
  void Embed() {
    ui = Instantiate(hostWindow, &touch);
    ASSERT_NE(ui, nullptr);
    Pump();
  }
  // The host's side of an event loop turn, then the UI's idle call.
  int Pump() {
    int result = 0;
    for (int i = 0; i < 4; ++i) {
      XSync(dpy, False);
      usleep(3000);
      if (ui) result = idle->idle(ui);
    }
    return result;
  }
  // The pointer to (x, y) in the host's window (the panel sits at its origin).
  void Move(int x, int y) {
    int rx = 0, ry = 0;
    Window child = 0;
    XTranslateCoordinates(dpy, hostWindow, DefaultRootWindow(dpy), x, y, &rx, &ry, &child);
    XTestFakeMotionEvent(dpy, DefaultScreen(dpy), rx, ry, CurrentTime);
    Pump();
  }
  void Button(unsigned int button, bool press) {
    XTestFakeButtonEvent(dpy, button, press ? True : False, CurrentTime);
    Pump();
  }

  void* lib = nullptr;
  const LV2UI_Descriptor* desc = nullptr;
  const LV2UI_Idle_Interface* idle = nullptr;
  const LV2UI_Show_Interface* show = nullptr;
  Display* dpy = nullptr;
  Window hostWindow = 0;
  LV2UI_Handle ui = nullptr;
  LV2UI_Touch touch{this, Touch};
  std::vector<std::string> touches;
};

// A parent that is no live window fails instantiation with a message; the X error stays
// with the UI, whether the host runs Xlib's default handler (which would end it) or
// its own, which stays in place and hears nothing.
TEST_F(LV2UIHostTest, ParentThatIsNoWindowFailsCleanly) {
  Window gone = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 10, 10, 0, 0, 0);
  XDestroyWindow(dpy, gone);
  XSync(dpy, False);
  for (bool hostHandler : {false, true}) {
    SCOPED_TRACE(hostHandler ? "host's own handler" : "Xlib's default handler");
    gHostErrors = 0;
    if (hostHandler) XSetErrorHandler(CountHostError);
    ::testing::internal::CaptureStderr();
    LV2UI_Handle h = Instantiate(gone, &touch);
    std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(h, nullptr);
    if (h) desc->cleanup(h);
    EXPECT_NE(err.find("not a live window"), std::string::npos) << err;
    XSync(dpy, False);
    if (hostHandler) {
      EXPECT_EQ(XSetErrorHandler(nullptr), &CountHostError);
      EXPECT_EQ(gHostErrors, 0);
    }
  }
}

// The host's window goes while the panel is embedded: the host keeps running the UI's
// calls, which now report that the UI can be closed.
TEST_F(LV2UIHostTest, LostParentMakesIdleAndShowReportIt) {
  Embed();
  EXPECT_EQ(show->show(ui), 0);
  XDestroyWindow(dpy, hostWindow);
  hostWindow = 0;
  XSync(dpy, False);
  float v = 0.8f;
  desc->port_event(ui, 0, sizeof v, 0, &v);
  EXPECT_NE(show->show(ui), 0);
  desc->port_event(ui, 1, sizeof v, 0, &v);
  EXPECT_NE(idle->idle(ui), 0);
  EXPECT_NE(show->show(ui), 0);
}

// A drag on the LGain knob (centre 275, 138) cut short three ways; a touch feature
// without a function is a host that hears no gestures, not a crash.
TEST_F(LV2UIHostTest, EveryTouchBeginGetsItsEnd) {
  enum Cut { kCleanup, kParentLost, kSecondButton, kNullTouch };
  struct Case {
    const char* name;
    Cut cut;
    std::vector<std::string> want;
  } cases[] = {
      {"cleanup during the drag", kCleanup, {"grab 0", "release 0"}},
      {"host window lost during the drag", kParentLost, {"grab 0", "release 0"}},
      // The right button on the 16x switch at (0, 209) ends the knob's gesture first.
      {"second button during the drag",
       kSecondButton,
       {"grab 0", "release 0", "grab 14", "release 14"}},
      {"touch feature without a function", kNullTouch, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    touches.clear();
    LV2UI_Touch nullTouch{this, nullptr};
    ui = Instantiate(hostWindow, c.cut == kNullTouch ? &nullTouch : &touch);
    ASSERT_NE(ui, nullptr);
    Pump();
    Move(275, 138);
    Button(1, true);
    Move(275, 120);
    switch (c.cut) {
      case kCleanup:
        desc->cleanup(ui);
        ui = nullptr;
        break;
      case kParentLost:
        XDestroyWindow(dpy, hostWindow);
        hostWindow = 0;
        EXPECT_NE(Pump(), 0);
        break;
      case kSecondButton:
        Move(20, 220);
        Button(3, true);
        Button(1, false);
        Button(3, false);
        break;
      case kNullTouch:
        Button(1, false);
        break;
    }
    if (c.cut == kParentLost || c.cut == kCleanup) Button(1, false);
    EXPECT_EQ(touches, c.want);
    if (ui) desc->cleanup(ui);
    ui = nullptr;
    if (!hostWindow) {
      hostWindow = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 800, 300, 0, 0, 0);
      XMapWindow(dpy, hostWindow);
      XSync(dpy, False);
    }
  }
}

}  // namespace
