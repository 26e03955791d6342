// The control manager: layout, dirty tracking, draw passes, hit testing,
// event routing, prompts, caches and bitmap drawing.

#include <gtest/gtest.h>

#include "GraphicsCaches.h"
#include "GuiTestSupport.h"
#include "IKnobControls.h"
#include "ISwitchControls.h"
#include "ITextControls.h"
#include "Raster_SysBitmap.h"

namespace {

// Records draws, presses and keys.
class ProbeControl : public IControl {
 public:
  ProbeControl(IPluginBase* plug, IRECT r, int paramIdx, std::vector<std::string>* log,
               const char* name)
      : IControl(plug, r, paramIdx), mLog(log), mName(name) {}
  bool Draw(IGraphics*) override {
    mLog->push_back(mName + " draw");
    return true;
  }
  void OnMouseDown(int x, int y, IMouseMod*) override {
    mLog->push_back(mName + " down " + std::to_string(x) + "," + std::to_string(y));
  }
  void OnMouseUp(int, int, IMouseMod*) override { mLog->push_back(mName + " up"); }
  void OnMouseDrag(int, int, int dX, int dY, IMouseMod*) override {
    mLog->push_back(mName + " drag " + std::to_string(dX) + "," + std::to_string(dY));
  }
  void OnMouseDblClick(int, int, IMouseMod*) override { mLog->push_back(mName + " dbl"); }
  bool OnKeyDown(int, int, int key) override {
    mLog->push_back(mName + " key " + std::to_string(key));
    return true;
  }

 private:
  std::vector<std::string>* mLog;
  std::string mName;
};

class GraphicsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gui = new TestGraphics(&plug);
    plug.AttachGraphics(gui);
  }
  ProbeControl* Probe(IRECT r, int param, const char* name) {
    return new ProbeControl(&plug, r, param, &log, name);
  }
  void CleanAll() {
    for (int i = 0; i < gui->NControls(); ++i) {
      gui->GetControl(i)->SetClean();
      gui->GetControl(i)->SetClean();
    }
  }

  TestPlug plug;
  TestGraphics* gui = nullptr;
  std::vector<std::string> log;
  IMouseMod left{true};
};

TEST(IRECTTest, IntersectionIsNotSymmetricAtTouchingEdges) {
  IRECT a(0, 0, 10, 10), b(10, 0, 20, 10);
  EXPECT_TRUE(a.Intersects(b));
  EXPECT_FALSE(b.Intersects(a));
  EXPECT_EQ(a.Intersect(b), IRECT(10, 0, 10, 10));
  EXPECT_TRUE(IRECT().Union(b) == b);
  EXPECT_EQ(a.Union(IRECT(5, -5, 7, 3)), IRECT(0, -5, 10, 10));
  EXPECT_FALSE(IRECT().Contains(0, 0));
  EXPECT_FALSE(a.Contains(10, 5));
}

TEST_F(GraphicsTest, BackgroundGoesFirstAndFrameRateDefaultsTo25) {
  EXPECT_EQ(gui->FPS(), 25);
  EXPECT_EQ(gui->AttachControl(Probe(IRECT(0, 0, 5, 5), -1, "a")), 0);
  gui->AttachBackground(kIdOneFrame, "bg.png");
  EXPECT_EQ(gui->NControls(), 2);
  EXPECT_EQ(gui->GetControl(0)->GetRECT(), IRECT(0, 0, 10, 10));
  EXPECT_EQ(gui->AttachControl(Probe(IRECT(0, 0, 5, 5), -1, "b")), 2);
  TestGraphics other(&plug, 10, 10, 30);
  EXPECT_EQ(other.FPS(), 30);
}

TEST_F(GraphicsTest, ImageCacheKeysOnTheIdAlone) {
  IBitmap a = gui->LoadIBitmap(kIdThreeFrames, "first.png", 3);
  IBitmap b = gui->LoadIBitmap(kIdThreeFrames, "second.png", 1);
  EXPECT_EQ(a.mData, b.mData);
  EXPECT_EQ(b.N, 1);
  TestGraphics other(&plug);
  EXPECT_EQ(other.LoadIBitmap(kIdThreeFrames, "third.png").mData, a.mData);
  EXPECT_TRUE(other.loads.empty());
}

TEST_F(GraphicsTest, MissingImageGivesAnEmptyImageThatDrawsNothing) {
  IBitmap missing = gui->LoadIBitmap(-7, "missing.png", 2);
  EXPECT_EQ(missing.mData, nullptr);
  EXPECT_EQ(missing.W, 0);
  EXPECT_EQ(missing.H, 0);
  ISwitchControl* sw = new ISwitchControl(&plug, 5, 5, 1, &missing);
  gui->AttachControl(sw);
  IRECT all(0, 0, 200, 100);
  EXPECT_TRUE(gui->Draw(&all));
  EXPECT_EQ(gui->GetPoint(5, 5), COLOR_TRANSPARENT);
  gui->LoadIBitmap(-7, "missing.png");
  EXPECT_EQ(gui->loads.size(), 2u);  // not cached: the next load tries again
}

TEST_F(GraphicsTest, DirtyRectangleIsTheUnionOfDirtyControls) {
  gui->AttachControl(Probe(IRECT(10, 10, 20, 20), -1, "a"));
  gui->AttachControl(Probe(IRECT(50, 5, 60, 15), -1, "b"));
  gui->AttachControl(Probe(IRECT(70, 70, 80, 80), -1, "c"));
  CleanAll();
  IRECT r(1, 2, 3, 4);
  EXPECT_FALSE(gui->IsDirty(&r));
  EXPECT_EQ(r, IRECT(1, 2, 3, 4));
  gui->GetControl(0)->SetDirty(false);
  gui->GetControl(1)->SetDirty(false);
  r.Clear();
  EXPECT_TRUE(gui->IsDirty(&r));
  EXPECT_EQ(r, IRECT(10, 5, 60, 20));
}

TEST_F(GraphicsTest, StrictPassDrawsWhatMeetsTheRectangleAndCleansEverything) {
  IRECT none;
  EXPECT_TRUE(gui->Draw(&none));
  EXPECT_EQ(gui->screens, 0);  // no controls: nothing goes to the screen

  gui->AttachControl(Probe(IRECT(0, 0, 10, 10), -1, "a"));
  gui->AttachControl(Probe(IRECT(50, 50, 60, 60), -1, "b"));
  gui->AttachControl(Probe(IRECT(5, 5, 15, 15), -1, "hidden"));
  gui->GetControl(2)->Hide(true);
  IRECT r(0, 0, 12, 12);
  gui->Draw(&r);
  EXPECT_EQ(log, (std::vector<std::string>{"a draw"}));
  EXPECT_EQ(gui->screens, 1);
  EXPECT_FALSE(gui->GetControl(1)->IsDirty());
  EXPECT_TRUE(gui->GetControl(2)->IsDirty());  // hidden: pending redraw carried over
  gui->Draw(&r);
  EXPECT_FALSE(gui->GetControl(2)->IsDirty());
  EXPECT_EQ(gui->GetDrawRECT(), r);
}

TEST_F(GraphicsTest, NonStrictPassRedrawsEachDirtyControlWithWhatLiesUnderIt) {
  gui->AttachControl(Probe(IRECT(0, 0, 100, 100), -1, "bg"));
  gui->AttachControl(Probe(IRECT(10, 10, 20, 20), -1, "a"));
  gui->AttachControl(Probe(IRECT(15, 15, 30, 30), -1, "b"));
  gui->AttachControl(Probe(IRECT(60, 60, 70, 70), -1, "c"));
  gui->SetStrictDrawing(false);
  CleanAll();
  gui->GetControl(2)->SetDirty(false);
  IRECT r(0, 0, 100, 100);
  gui->Draw(&r);
  EXPECT_EQ(log, (std::vector<std::string>{"bg draw", "a draw", "b draw"}));
  EXPECT_FALSE(gui->GetControl(2)->IsDirty());
}

TEST_F(GraphicsTest, HitTestingPrefersTheTopControlAndSkipsHiddenAndGreyed) {
  gui->AttachControl(Probe(IRECT(0, 0, 100, 100), -1, "bg"));
  gui->AttachControl(Probe(IRECT(10, 10, 30, 30), 0, "low"));
  gui->AttachControl(Probe(IRECT(20, 20, 40, 40), 2, "top"));
  EXPECT_EQ(gui->GetMouseControlIdx(25, 25), 2);
  gui->GrayOutControl(2, true);
  EXPECT_EQ(gui->GetMouseControlIdx(25, 25), 1);
  EXPECT_EQ(gui->GetMouseControlIdx(25, 25, true), 1);
  gui->GetControl(2)->SetMOWhenGrayed(true);
  EXPECT_EQ(gui->GetMouseControlIdx(25, 25, true), 2);
  gui->HideControl(0, true);
  EXPECT_EQ(gui->GetMouseControlIdx(15, 15), 0);
  EXPECT_EQ(gui->GetMouseControlIdx(150, 15), -1);
}

TEST_F(GraphicsTest, PressDragReleaseIsBracketedByHostGestures) {
  gui->AttachControl(Probe(IRECT(0, 0, 100, 100), -1, "bg"));
  gui->AttachControl(Probe(IRECT(10, 10, 30, 30), 0, "knob"));
  plug.events.clear();
  gui->OnMouseDrag(15, 15, &left);  // no press yet: ignored
  gui->OnMouseDown(15, 15, &left);
  gui->OnMouseDrag(15, 15, &left);  // zero movement: ignored
  gui->OnMouseDrag(50, 12, &left);  // outside the knob, still captured
  gui->OnMouseUp(60, 60, &left);
  EXPECT_EQ(log, (std::vector<std::string>{"knob down 15,15", "knob drag 35,-3", "knob up"}));
  EXPECT_EQ(plug.events, (std::vector<std::string>{"begin 0", "end 0"}));
  EXPECT_EQ(gui->GetMouseCapture(), -1);
  log.clear();
  gui->OnMouseDown(50, 50, &left);  // the background has no parameter
  gui->OnMouseUp(50, 50, &left);
  EXPECT_EQ(plug.events.size(), 2u);
}

// Every begin the host hears gets one end, and no end comes without its begin.
TEST_F(GraphicsTest, EveryHostGestureBeginGetsOneEnd) {
  gui->AttachControl(Probe(IRECT(0, 0, 100, 100), -1, "bg"));
  gui->AttachControl(Probe(IRECT(10, 10, 30, 30), 0, "knob"));
  gui->AttachControl(Probe(IRECT(40, 10, 60, 30), 2, "steps"));
  enum Step { kDownKnob, kDownSteps, kUp, kEnd };
  struct Case {
    const char* name;
    std::vector<Step> steps;
    std::vector<std::string> want;
  } cases[] = {
      {"a second press ends the first gesture",
       {kDownKnob, kDownSteps, kUp, kUp},
       {"begin 0", "end 0", "begin 2", "end 2"}},
      {"a release without a press", {kUp, kDownSteps, kUp, kUp}, {"begin 2", "end 2"}},
      {"the window goes mid-drag", {kDownKnob, kEnd, kUp, kEnd}, {"begin 0", "end 0"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    plug.events.clear();
    for (Step step : c.steps) {
      if (step == kDownKnob) gui->OnMouseDown(15, 15, &left);
      if (step == kDownSteps) gui->OnMouseDown(45, 15, &left);
      if (step == kUp) gui->OnMouseUp(15, 15, &left);
      if (step == kEnd) gui->EndMouseGesture();
    }
    EXPECT_EQ(plug.events, c.want);
    EXPECT_EQ(gui->GetOpenGesture(), -1);
    EXPECT_EQ(gui->GetMouseCapture(), -1);
  }
}

TEST_F(GraphicsTest, DoubleClickEitherPressesOrRestores) {
  gui->AttachControl(Probe(IRECT(0, 0, 10, 10), 0, "a"));
  EXPECT_FALSE(gui->OnMouseDblClick(5, 5, &left));
  gui->GetControl(0)->SetMouseDblAsSingleClick(true);
  plug.events.clear();
  EXPECT_TRUE(gui->OnMouseDblClick(5, 5, &left));
  EXPECT_EQ(gui->GetMouseCapture(), 0);
  EXPECT_EQ(log, (std::vector<std::string>{"a dbl", "a down 5,5"}));
  EXPECT_TRUE(plug.events.empty());  // no gesture begins on this path
}

TEST_F(GraphicsTest, KeysGoToTheControlOrTheKeyCatcher) {
  EXPECT_FALSE(gui->OnKeyDown(5, 5, KeyA));
  gui->AttachControl(Probe(IRECT(0, 0, 100, 100), -1, "bg"));
  gui->AttachControl(Probe(IRECT(10, 10, 20, 20), -1, "a"));
  EXPECT_FALSE(gui->OnKeyDown(50, 50, KeyA));
  gui->AttachKeyCatcher(Probe(IRECT(), -1, "catcher"));
  EXPECT_TRUE(gui->OnKeyDown(50, 50, KeyUp));
  EXPECT_TRUE(gui->OnKeyDown(15, 15, KeySpace));
  EXPECT_TRUE(gui->OnKeyDown(500, 500, KeyDown));
  EXPECT_EQ(log, (std::vector<std::string>{"catcher key 1", "a key 0", "catcher key 2"}));
}

TEST_F(GraphicsTest, MouseOverIsIgnoredUnlessEnabled) {
  gui->AttachControl(Probe(IRECT(0, 0, 10, 10), -1, "a"));
  EXPECT_FALSE(gui->OnMouseOver(5, 5, &left));
  EXPECT_EQ(gui->GetMouseOver(), -1);
  gui->HandleMouseOver(true);
  EXPECT_TRUE(gui->OnMouseOver(5, 5, &left));
  EXPECT_EQ(gui->GetMouseOver(), 0);
}

TEST_F(GraphicsTest, ParametersReachEveryBoundControlAndBadIndicesAreIgnored) {
  TestKnob* a = new TestKnob(&plug, IRECT(0, 0, 10, 10), 0);
  TestKnob* b = new TestKnob(&plug, IRECT(0, 0, 10, 10), 0);
  b->AddAuxParam(2);
  gui->AttachControl(a);
  gui->AttachControl(b);
  gui->SetParameterFromPlug(0, 25.0, false);
  EXPECT_EQ(a->GetValue(), 0.25);
  EXPECT_EQ(b->GetValue(), 0.25);
  gui->SetParameterFromPlug(2, 0.7, true);
  EXPECT_EQ(b->GetAuxParam(0)->mValue, 0.7);
  gui->SetParameterFromPlug(99, 1.0, false);  // not a parameter: nothing to do
  gui->SetControlFromPlug(5, 1.0);
  gui->SetControlFromPlug(-1, 1.0);
  gui->SetControlFromPlug(1, 0.5);
  EXPECT_EQ(b->GetValue(), 0.5);
  gui->ClampControl(0, 10.0, 20.0, false);
  gui->SetParameterFromGUI(0, 0.9);
  EXPECT_EQ(a->GetValue(), 0.2);
  EXPECT_NEAR(plug.GetParam(0)->GetValue(), 20.0, 1e-9);
  gui->AssignParamNameToolTips();
  EXPECT_STREQ(a->GetTooltip(), "Level");
}

TEST_F(GraphicsTest, TextAfterPromptIsParsedByParameterKind) {
  TestKnob* level = new TestKnob(&plug, IRECT(0, 0, 10, 10), 0);
  TestKnob* power = new TestKnob(&plug, IRECT(0, 0, 10, 10), 1);
  gui->AttachControl(level);
  gui->AttachControl(power);
  gui->SetFromStringAfterPrompt(level, plug.GetParam(0), "42.5xyz");
  EXPECT_NEAR(plug.GetParam(0)->GetValue(), 42.5, 1e-9);
  gui->SetFromStringAfterPrompt(level, plug.GetParam(0), "nothing");
  EXPECT_EQ(plug.GetParam(0)->GetValue(), 0.0);
  gui->SetFromStringAfterPrompt(level, plug.GetParam(0), "1e9");
  EXPECT_EQ(plug.GetParam(0)->GetValue(), 100.0);
  gui->SetFromStringAfterPrompt(power, plug.GetParam(1), "on");
  EXPECT_EQ(plug.GetParam(1)->GetValue(), 1.0);
  gui->SetFromStringAfterPrompt(power, plug.GetParam(1), "off");
  EXPECT_EQ(plug.GetParam(1)->GetValue(), 0.0);
  gui->SetFromStringAfterPrompt(power, nullptr, "on");  // ignored
}

TEST_F(GraphicsTest, ResizeEmptiesTheLayoutAndRemakesTheBitmaps) {
  gui->AttachControl(Probe(IRECT(0, 0, 10, 10), -1, "a"));
  gui->AttachKeyCatcher(Probe(IRECT(), -1, "catcher"));
  plug.events.clear();
  gui->Resize(200, 100);  // same size: nothing happens
  EXPECT_EQ(gui->NControls(), 1);
  gui->Resize(300, 120);
  EXPECT_EQ(gui->NControls(), 0);
  EXPECT_NE(gui->GetKeyCatcher(), nullptr);
  EXPECT_EQ(gui->GetDrawBitmap()->getWidth(), 300);
  EXPECT_EQ(plug.events, (std::vector<std::string>{"resize"}));
}

// ---- Bitmap drawing ----

class BitmapDrawTest : public GraphicsTest {
 protected:
  // Row of the source image that landed at editor row y.
  int SourceRowAt(int x, int y) { return static_cast<int>(gui->GetPoint(x, y).B); }
};

TEST_F(BitmapDrawTest, FramesAreChosenByState) {
  IBitmap knob = gui->LoadIBitmap(kIdKnob, "knob.png", 31);  // 31 frames of 10 x 10
  IRECT dest(0, 0, 10, 10);
  IRECT all(0, 0, 200, 100);
  gui->AttachPanelBackground(&COLOR_BLACK);
  gui->Draw(&all);  // sets the draw rectangle
  struct Case {
    int state, firstRow;
  } cases[] = {{1, 0}, {0, 0}, {-3, 0}, {2, 10}, {16, 150}, {31, 300}};
  for (const Case& c : cases) {
    gui->DrawBitmap(&knob, &dest, c.state, nullptr);
    EXPECT_EQ(SourceRowAt(3, 0), c.firstRow & 255) << "state " << c.state;
  }
}

TEST_F(BitmapDrawTest, DrawingClipsToTheDrawRectangle) {
  gui->AttachPanelBackground(&COLOR_BLACK);
  IRECT all(0, 0, 200, 100);
  gui->Draw(&all);
  IBitmap one = gui->LoadIBitmap(kIdOneFrame, "one.png");
  IRECT clip(0, 0, 20, 20);
  gui->Draw(&clip);
  IRECT touching(20, 0, 30, 10), partial(15, 15, 25, 25);
  gui->DrawBitmap(&one, &touching, 1, nullptr);
  EXPECT_EQ(gui->GetPoint(20, 5), COLOR_BLACK);
  gui->DrawBitmap(&one, &partial, 1, nullptr);
  EXPECT_EQ(gui->GetPoint(19, 19).B, 4);  // source row 4 lands at y = 19
  EXPECT_EQ(gui->GetPoint(20, 19), COLOR_BLACK);
}

TEST_F(BitmapDrawTest, ForcePixelWritesOnlyInsideTheBitmap) {
  IColor c(255, 1, 2, 3);
  EXPECT_TRUE(gui->ForcePixel(&c, 199, 99));
  EXPECT_EQ(gui->GetPoint(199, 99), c);
  EXPECT_FALSE(gui->ForcePixel(&c, 200, 0));
  EXPECT_FALSE(gui->ForcePixel(&c, -1, 0));
  EXPECT_FALSE(gui->ForcePixel(&c, 0, 100));
}

TEST_F(BitmapDrawTest, GreyedControlsDrawAtAQuarter) {
  IColor white = COLOR_WHITE;
  gui->AttachPanelBackground(&COLOR_BLACK);
  IPanelControl* panel =
      new IPanelControl(&plug, IRECT(0, 0, 10, 10), &white, IChannelBlend::BlendOpaque);
  gui->AttachControl(panel);
  panel->GrayOut(true);
  IRECT all(0, 0, 200, 100);
  gui->Draw(&all);
  EXPECT_EQ(gui->GetPoint(5, 5).R, 63);  // the quarter mix: 255 / 4
}

TEST_F(GraphicsTest, FontsAreSharedAcrossColoursButNotSizes) {
  IText black(12, &COLOR_BLACK), red(12, &COLOR_RED), big(20, &COLOR_BLACK);
  Raster_IFont* a = gui->CacheFont(&black);
  if (!a) GTEST_SKIP() << "no system font available";
  EXPECT_EQ(gui->CacheFont(&red), a);
  EXPECT_NE(gui->CacheFont(&big), a);
  EXPECT_EQ(black.mCached, a);
  IRECT r(10, 10, 110, 30);
  EXPECT_TRUE(gui->MeasureIText(&black, const_cast<char*>("Gain"), &r));
  EXPECT_GT(r.R - r.L, 0);
  EXPECT_TRUE(gui->DrawIText(&black, "", &r));
}

}  // namespace

namespace {

// Every drawing control class draws inside its own rectangle and nowhere else.
struct DrawCase {
  const char* name;
  IControl* (*make)(IPluginBase* plug, IGraphics* gui);
};

IBitmap Img(IGraphics* gui, int id, int frames) {
  return gui->LoadIBitmap(id, "mem.png", frames);
}

const DrawCase kDrawCases[] = {
    {"panel",
     [](IPluginBase* p, IGraphics*) -> IControl* {
       return new IPanelControl(p, IRECT(20, 20, 40, 30), &COLOR_RED);
     }},
    {"bitmap",
     [](IPluginBase* p, IGraphics* g) -> IControl* {
       IBitmap b = Img(g, kIdThreeFrames, 3);
       return new IBitmapControl(p, 20, 20, 0, &b);
     }},
    {"overlay",
     [](IPluginBase* p, IGraphics* g) -> IControl* {
       IBitmap b = Img(g, kIdTwoFrames, 2);
       IControl* c = new IBitmapOverlayControl(p, 20, 20, 1, &b, IRECT(20, 20, 25, 25));
       c->SetValue(1.0);
       return c;
     }},
    {"radio",
     [](IPluginBase* p, IGraphics* g) -> IControl* {
       IBitmap b = Img(g, kIdTwoFrames, 2);
       return new IRadioButtonsControl(p, IRECT(20, 20, 70, 30), 2, 3, &b, DirHorizontal);
     }},
    {"fader",
     [](IPluginBase* p, IGraphics* g) -> IControl* {
       IBitmap b = Img(g, kIdOneFrame, 1);
       return new IFaderControl(p, 20, 20, 50, 0, &b);
     }},
    {"knob line",
     [](IPluginBase* p, IGraphics*) -> IControl* {
       return new IKnobLineControl(p, IRECT(20, 20, 60, 60), 0, &COLOR_WHITE, 4.0, 0.0);
     }},
    {"knob rotater",
     [](IPluginBase* p, IGraphics* g) -> IControl* {
       IBitmap b = Img(g, kIdThreeFrames, 1);
       return new IKnobRotaterControl(p, 20, 20, 0, &b);
     }},
    {"knob multi",
     [](IPluginBase* p, IGraphics* g) -> IControl* {
       IBitmap b = Img(g, kIdKnob, 31);
       return new IKnobMultiControl(p, 20, 20, 0, &b);
     }},
    {"knob rotating mask",
     [](IPluginBase* p, IGraphics* g) -> IControl* {
       IBitmap b = Img(g, kIdOneFrame, 1);
       return new IKnobRotatingMaskControl(p, 20, 20, 0, &b, &b, &b);
     }},
    {"bitmap text",
     [](IPluginBase* p, IGraphics* g) -> IControl* {
       IBitmap font = Img(g, kIdKnob, 31);  // 31 frames: characters 32 to 62
       return new IBitmapTextControl(p, IRECT(20, 20, 80, 30), &font, "1 2=>", nullptr, 10, 10);
     }},
    {"caption",
     [](IPluginBase* p, IGraphics*) -> IControl* {
       IText white(12, &COLOR_WHITE);
       return new ICaptionControl(p, IRECT(20, 20, 120, 40), 0, &white);
     }},
};

class ControlDrawTest : public ::testing::TestWithParam<DrawCase> {};

TEST_P(ControlDrawTest, DrawsOnlyInsideItsRectangle) {
  TestPlug plug;
  TestGraphics* gui = new TestGraphics(&plug);
  plug.AttachGraphics(gui);
  gui->AttachPanelBackground(&COLOR_BLACK);
  IControl* c = GetParam().make(&plug, gui);
  gui->AttachControl(c);
  IRECT all(0, 0, 200, 100);
  gui->Draw(&all);
  const IRECT& r = c->GetRECT();
  int inside = 0, outside = 0;
  for (int y = 0; y < 100; ++y) {
    for (int x = 0; x < 200; ++x) {
      if (gui->GetPoint(x, y) == COLOR_BLACK) continue;
      (x >= r.L && x <= r.R && y >= r.T && y <= r.B ? inside : outside)++;
    }
  }
  EXPECT_GT(inside, 0) << GetParam().name;
  EXPECT_EQ(outside, 0) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(EveryDrawingClass, ControlDrawTest, ::testing::ValuesIn(kDrawCases));

}  // namespace
