// The effect's panel opened by a host: its layout, whole gestures through the
// native view reaching the effect and the host's event listeners, and a
// golden image of the panel at its default settings.
//
// VANTROSE_REGENERATE_GOLDEN=1 rewrites the golden image from the current code.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "AUEvents.h"
#include "AUTestHost.h"
#include "AppKit.h"
#include "EffectSetup.h"
#include "IGraphicsCocoa.h"
#include "IGraphicsMac.h"
#include "Raster_MemBitmap.h"
#include "Raster_PNG.h"
#include "Raster_PNGWrite.h"
#include "Response.h"
#include "Vantrose.h"
#include "VantroseCurveStrip.h"
#include "VantroseLayout.h"
#include "VantroseReadoutOverlay.h"

namespace {

using namespace VantroseLayout;

struct HostEvent {
  AudioUnitEventType type;
  AudioUnitParameterID id;
};
std::vector<HostEvent> gEvents;

// A host with the effect's editor open in a window; it listens to every
// parameter event of the unit.
class PanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The editor's preferences in a folder of the test's own, empty at the start.
    configDir = ::testing::TempDir() + "vantrose_config_" + std::to_string(getpid());
    setenv("XDG_CONFIG_HOME", configDir.c_str(), 1);
    std::remove((configDir + "/vantrose/editor.conf").c_str());
    NSBundle::registerBundle(VantroseIdentity::kBundleID, VANTROSE_SOURCE_DIR);
    unit = std::make_unique<AUHost>(EffectComponent(Route::kFactory));
    fx = static_cast<Vantrose*>(unit->Plug());
    gui = static_cast<IGraphicsMac*>(fx->GetGUI());
    ASSERT_NE(gui, nullptr);
    window.initWithContentRect(NSMakeRect(0, 0, kWidth, kHeight), 0, 2, NO);
    view = static_cast<IGraphicsCocoa*>(gui->OpenWindow(window.contentView()));
    Overlay();
    gEvents.clear();
    AUEventListenerCreate(
        [](void*, void*, const AudioUnitEvent* e, UInt64, AudioUnitParameterValue) {
          gEvents.push_back({e->mEventType, e->mArgument.mParameter.mParameterID});
        },
        nullptr, nullptr, nullptr, 0.0f, 0.0f, &listener);
    for (AudioUnitEventType t : {0u, 1u, 2u}) {
      AudioUnitEvent reg = {};
      reg.mEventType = t;
      reg.mArgument.mParameter = {unit->Get(), kAUParameterListener_AnyParameter, 0, 0};
      AUEventListenerAddEventType(listener, nullptr, &reg);
    }
  }
  // The panel's read-out, on the run loop's clock.
  VantroseReadoutOverlay* Overlay() {
    for (int i = 0; i < gui->NControls(); ++i) {
      if (auto* o = dynamic_cast<VantroseReadoutOverlay*>(gui->GetControl(i))) {
        o->SetClock([] { return NSRunLoop::currentRunLoop()->now(); });
        return o;
      }
    }
    return nullptr;
  }
  void TearDown() override {
    AUListenerDispose(listener);
    if (gui) gui->CloseWindow();
  }

  // Mouse events at editor pixels, converted to window points as the view expects.
  NSEvent At(NSEventType type, int x, int y, int clicks = 1, unsigned long flags = 0) {
    return NSEvent::MouseEvent(type, x + 2, gui->Height() - y - 3, flags, clicks);
  }
  void Click(int x, int y, int clicks = 1) {
    NSEvent down = At(NSLeftMouseDown, x, y, clicks), up = At(NSLeftMouseUp, x, y, clicks);
    view->mouseDown(&down);
    view->mouseUp(&up);
  }
  void Drag(int x, int y, int dy, int step) {
    NSEvent down = At(NSLeftMouseDown, x, y);
    view->mouseDown(&down);
    for (int moved = step; step != 0 && std::abs(moved) <= std::abs(dy); moved += step) {
      NSEvent drag = At(NSLeftMouseDragged, x, y + moved);
      view->mouseDragged(&drag);
    }
    NSEvent up = At(NSLeftMouseUp, x, y + dy);
    view->mouseUp(&up);
  }
  // Runs frames of the redraw timer and draws what they invalidated.
  void Frames(int n) {
    for (int i = 0; i < n; ++i) {
      NSRunLoop::currentRunLoop()->runForSeconds(0.04);
      view->displayIfNeeded();
    }
  }
  double Normalized(int paramIdx) { return fx->GetParam(paramIdx)->GetNormalized(); }
  std::vector<AudioUnitEventType> EventTypes() {
    std::vector<AudioUnitEventType> types;
    for (const HostEvent& e : gEvents)
      types.push_back(e.type);
    return types;
  }

  std::unique_ptr<AUHost> unit;
  Vantrose* fx = nullptr;
  IGraphicsMac* gui = nullptr;
  NSWindow window;
  IGraphicsCocoa* view = nullptr;
  AUEventListenerRef listener = nullptr;
  std::string configDir;
};

TEST_F(PanelTest, LayoutHasTheBackgroundFifteenControlsAndTheLinkInsideThePanel) {
  EXPECT_EQ(gui->Width(), 774);
  EXPECT_EQ(gui->Height(), 237);
  ASSERT_EQ(gui->NControls(), 19);
  // The read-out comes last, over everything, hidden while nothing shows.
  EXPECT_NE(Overlay(), nullptr);
  EXPECT_TRUE(gui->GetControl(18)->IsHidden());
  EXPECT_EQ(gui->GetControl(0)->GetRECT(), IRECT(0, 0, 774, 237));
  EXPECT_EQ(gui->GetControl(1)->GetRECT(), IRECT(188, 35, 228, 57));
  EXPECT_EQ(gui->GetControl(4)->GetRECT(), IRECT(0, 209, 40, 231));
  EXPECT_EQ(gui->GetControl(6)->GetRECT(), IRECT(285, 48, 339, 102));
  EXPECT_EQ(gui->GetControl(15)->ParamIdx(), 10);
  IRECT panel(0, 0, kWidth, kHeight);
  for (int i = 1; i < gui->NControls() - 1; ++i) {
    IRECT r = gui->GetControl(i)->GetRECT();
    EXPECT_EQ(r.Intersect(panel), r) << "control " << i << " leaves the panel";
    for (int j = 1; j < i; ++j) {
      IRECT o = gui->GetControl(j)->GetRECT();
      bool overlap = r.L < o.R && o.L < r.R && r.T < o.B && o.T < r.B;
      EXPECT_FALSE(overlap) << "controls " << j << " and " << i << " overlap";
    }
  }
}

TEST_F(PanelTest, KnobDragThroughTheViewMovesLFreqByTheGearingRule) {
  double start = Normalized(Vantrose::kLFreq);
  Drag(312, 75, -54, -3);  // up by the knob's height: a quarter of the range
  double expected = start + 54.0 / 54.0 / 4.0;
  EXPECT_NEAR(Normalized(Vantrose::kLFreq), expected, 1e-12);
  double value = 0.1 + 0.883 * std::pow(expected, 0.5);
  EXPECT_NEAR(fx->GetParam(Vantrose::kLFreq)->GetValue(), value, 1e-12);
  EXPECT_EQ(fx->BandValue(Vantrose::kLFreq), fx->GetParam(Vantrose::kLFreq)->GetValue());
  std::vector<AudioUnitEventType> types = EventTypes();
  ASSERT_EQ(types.size(), 20u);  // begin, 18 steps of 3 pixels, end
  EXPECT_EQ(types.front(), kAudioUnitEvent_BeginParameterChangeGesture);
  EXPECT_EQ(types[1], kAudioUnitEvent_ParameterValueChange);
  EXPECT_EQ(types.back(), kAudioUnitEvent_EndParameterChangeGesture);
  for (const HostEvent& e : gEvents)
    EXPECT_EQ(e.id, static_cast<AudioUnitParameterID>(1));
}

TEST_F(PanelTest, ShiftDragIsTenTimesFinerAndTheEndsClamp) {
  NSEvent down = At(NSLeftMouseDown, 275, 138, 1, NSShiftKeyMask);
  view->mouseDown(&down);
  NSEvent drag = At(NSLeftMouseDragged, 275, 138 - 216, 1, NSShiftKeyMask);
  view->mouseDragged(&drag);
  EXPECT_NEAR(Normalized(Vantrose::kLGain), 0.6, 1e-12);
  NSEvent far = At(NSLeftMouseDragged, 275, 138 - 5000);
  view->mouseDragged(&far);
  EXPECT_EQ(Normalized(Vantrose::kLGain), 1.0);
  NSEvent back = At(NSLeftMouseDragged, 275, 138 - 5000 + 54);
  view->mouseDragged(&back);  // moves at once on the way back
  EXPECT_NEAR(Normalized(Vantrose::kLGain), 0.75, 1e-12);
  NSEvent up = At(NSLeftMouseUp, 275, 0);
  view->mouseUp(&up);
}

TEST_F(PanelTest, OversamplingSwitchClickedThreeTimes) {
  std::vector<double> seen;
  std::vector<int> factors;
  for (int i = 0; i < 3; ++i) {
    Click(20, 220);
    seen.push_back(fx->GetParam(Vantrose::kOver)->GetValue());
    factors.push_back(fx->SatFactor());
  }
  EXPECT_EQ(seen, (std::vector<double>{1.0, 0.0, 1.0}));
  EXPECT_EQ(factors, (std::vector<int>{16, 4, 16}));
  EXPECT_EQ(EventTypes().size(), 9u);  // begin, value, end per click
}

TEST_F(PanelTest, DoubleClickRestoresTheFirstValueTheKnobReceived) {
  Drag(649, 138, 40, 4);  // the output gain, downward
  EXPECT_NEAR(fx->GetParam(Vantrose::kGain)->GetValue(), -12.0 + 24.0 * (0.5 - 40.0 / 216.0), 1e-9);
  NSEvent first = At(NSLeftMouseDown, 649, 138), up = At(NSLeftMouseUp, 649, 138);
  NSEvent second = At(NSLeftMouseDown, 649, 138, 2);
  view->mouseDown(&first);
  view->mouseUp(&up);
  view->mouseDown(&second);
  view->mouseUp(&up);
  EXPECT_EQ(fx->GetParam(Vantrose::kGain)->GetValue(), 0.0);
}

TEST_F(PanelTest, WheelStepAndRightClickOnAKnob) {
  double start = Normalized(Vantrose::kHP);
  NSEvent wheel = NSEvent::ScrollEvent(60 + 27 + 2, kHeight - (114 + 27) - 3, 2.4);
  view->scrollWheel(&wheel);
  EXPECT_NEAR(Normalized(Vantrose::kHP), start + 0.02, 1e-12);
  NSEvent right = At(NSRightMouseDown, 87, 141);
  view->rightMouseDown(&right);
  // A right click opens the text entry holding the read-out, and changes nothing.
  ASSERT_NE(view->textField(), nullptr);
  EXPECT_EQ(view->textField()->stringValue(), "off");  // HP while the filters are off
  EXPECT_NEAR(Normalized(Vantrose::kHP), start + 0.02, 1e-12);
}

TEST_F(PanelTest, HostAutomationMovesTheKnobAndDirtiesOnlyIt) {
  Frames(3);
  ASSERT_EQ(AudioUnitSetParameter(unit->Get(), Vantrose::kGain, kAudioUnitScope_Global, 0, 6.0f, 0),
            noErr);
  EXPECT_EQ(gui->GetControl(15)->GetValue(), 0.75);
  IRECT dirty;
  ASSERT_TRUE(gui->IsDirty(&dirty));
  EXPECT_EQ(dirty, IRECT(622, 111, 676, 165));
  EXPECT_TRUE(gEvents.empty());  // a host change is not echoed back to the host
}

TEST_F(PanelTest, LinkOpensTheProductPage) {
  std::vector<std::string>& opened = NSWorkspace::sharedWorkspace()->openedURLs();
  opened.clear();
  Click((kLinkL + kLinkR) / 2, (kNameB + kLinkB) / 2);  // the tagline
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0], kProductURL);
}

// A click on the product name opens the curve below the panel and the editor grows (the
// view, which the host follows); every plotted point is the effect's measured response;
// the choice is the user's preference, not the plug-in's state; closing gives back
// exactly the panel.
TEST_F(PanelTest, ProductNameOpensTheResponseCurve) {
  ASSERT_EQ(
      AudioUnitSetParameter(unit->Get(), Vantrose::kLMGain, kAudioUnitScope_Global, 0, 0.9f, 0),
      noErr);
  ASSERT_EQ(AudioUnitSetParameter(unit->Get(), Vantrose::kHPLP, kAudioUnitScope_Global, 0, 1.0f, 0),
            noErr);
  Frames(3);
  const std::vector<unsigned int> closed = window.screen()->pixels;
  ByteChunk stateBefore, stateAfter;
  ASSERT_TRUE(fx->SerializeState(&stateBefore));
  NSWorkspace::sharedWorkspace()->openedURLs().clear();
  Click((kLinkL + kLinkR) / 2, (kLinkT + kNameB) / 2);
  EXPECT_TRUE(NSWorkspace::sharedWorkspace()->openedURLs().empty()) << "the name is no link";
  ASSERT_EQ(gui->Height(), kHeight + VantroseCurve::kHeight);
  EXPECT_EQ(view->frame().size.height, kHeight + VantroseCurve::kHeight);
  EXPECT_TRUE(VantroseCurve::ReadPreference());
  ASSERT_TRUE(fx->SerializeState(&stateAfter));
  EXPECT_TRUE(stateBefore.IsEqual(stateAfter)) << "the curve's choice went into the state";
  const VantroseCurveStrip* strip = nullptr;
  for (int i = 0; i < gui->NControls(); ++i) {
    if (auto* s = dynamic_cast<const VantroseCurveStrip*>(gui->GetControl(i))) strip = s;
  }
  ASSERT_NE(strip, nullptr);
  Frames(2);
  // The strip's points against the effect run on an impulse at the same rate.
  std::unique_ptr<Vantrose> probe =
      MakeConfiguredEffect(strip->Rate(), 512, 2, {{Vantrose::kLMGain, 0.9}, {Vantrose::kHPLP, 1}});
  const std::vector<ResponsePoint> measured = MeasureResponse(*probe, strip->Hz());
  ASSERT_EQ(measured.size(), strip->Db().size());
  for (size_t i = 0; i < measured.size(); ++i)
    ASSERT_NEAR(strip->Db()[i], measured[i].db, 0.1) << "at " << measured[i].hz << " Hz";
  // A host change reaches the curve within a frame.
  const double before = strip->Db()[strip->Db().size() / 2];
  ASSERT_EQ(AudioUnitSetParameter(unit->Get(), Vantrose::kGain, kAudioUnitScope_Global, 0, 6.0f, 0),
            noErr);
  Frames(1);
  EXPECT_NEAR(strip->Db()[strip->Db().size() / 2], before + 6.0, 1e-6);
  ASSERT_EQ(AudioUnitSetParameter(unit->Get(), Vantrose::kGain, kAudioUnitScope_Global, 0, 0.0f, 0),
            noErr);
  Click((kLinkL + kLinkR) / 2, (kLinkT + kNameB) / 2);
  EXPECT_EQ(gui->Height(), kHeight);
  EXPECT_FALSE(VantroseCurve::ReadPreference());
  Frames(3);
  EXPECT_EQ(window.screen()->pixels, closed);
}

// ---- Golden image ----

std::string GoldenPath() {
  return std::string(VANTROSE_SOURCE_DIR) + "/tests/gui/golden/panel_default.png";
}

TEST_F(PanelTest, DefaultPanelMatchesTheGoldenImage) {
  Frames(3);
  const CGContext& screen = *window.screen();
  Raster_MemBitmap shot(screen.width, screen.height, 4);
  for (int y = 0; y < screen.height; ++y)
    for (int x = 0; x < screen.width; ++x)
      shot.getBits()[y * shot.getRowSpan() + x] = 0xFF000000u | screen.pixels[y * screen.width + x];
  const char* regen = std::getenv("VANTROSE_REGENERATE_GOLDEN");
  if (regen && *regen == '1') {
    ASSERT_TRUE(Raster_WritePNG(GoldenPath().c_str(), &shot));
    GTEST_SKIP() << "golden image rewritten";
  }
  std::unique_ptr<Raster_IBitmap> golden(Raster_LoadPNG(GoldenPath().c_str(), nullptr));
  ASSERT_NE(golden, nullptr) << "missing " << GoldenPath();
  ASSERT_EQ(golden->getWidth(), screen.width);
  ASSERT_EQ(golden->getHeight(), screen.height);
  long long total = 0;
  int worst = 0;
  for (int y = 0; y < screen.height; ++y) {
    for (int x = 0; x < screen.width; ++x) {
      unsigned int a = shot.getBits()[y * shot.getRowSpan() + x];
      unsigned int b = golden->getBits()[y * golden->getRowSpan() + x];
      for (int s = 0; s < 24; s += 8) {
        int d = std::abs(static_cast<int>((a >> s) & 255) - static_cast<int>((b >> s) & 255));
        total += d;
        worst = std::max(worst, d);
      }
    }
  }
  double mean = static_cast<double>(total) / (3.0 * screen.width * screen.height);
  EXPECT_LT(mean, 0.5) << "mean channel difference";
  EXPECT_LE(worst, 24) << "largest channel difference";
}

// The knob follows the drag, its read-out shows beside it and goes once the drag has
// ended a while, leaving every pixel but the knob's as it was.
TEST_F(PanelTest, DrawnKnobFollowsADrag) {
  Frames(3);
  std::vector<unsigned int> before = window.screen()->pixels;
  Drag(312, 75, -54, -6);
  Frames(2);
  ASSERT_TRUE(Overlay()->Showing());
  const IRECT bubble = Overlay()->Bubble();
  for (bool gone : {false, true}) {
    SCOPED_TRACE(gone ? "read-out gone" : "read-out shown");
    if (gone) Frames(static_cast<int>(VantroseReadoutOverlay::kLinger / 0.04) + 3);
    const std::vector<unsigned int>& after = window.screen()->pixels;
    int changedInKnob = 0, changedInReadout = 0, changedElsewhere = 0;
    IRECT knob(285, 48, 339, 102);
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        if (before[y * kWidth + x] == after[y * kWidth + x]) continue;
        if (knob.Contains(x, y)) {
          ++changedInKnob;
        } else {
          (bubble.Contains(x, y) ? changedInReadout : changedElsewhere)++;
        }
      }
    }
    EXPECT_GT(changedInKnob, 50);
    EXPECT_EQ(changedElsewhere, 0);
    EXPECT_EQ(changedInReadout > 0, !gone);
  }
}

}  // namespace
