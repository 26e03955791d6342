// The control classes: values, frames, mouse gestures, dirty flags.

#include <gtest/gtest.h>

#include "AppKit.h"
#include "GuiTestSupport.h"
#include "IKnobControls.h"
#include "ISwitchControls.h"
#include "ITextControls.h"

namespace {

class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gui = new TestGraphics(&plug);
    plug.AttachGraphics(gui);
  }
  IBitmap Load(int id, int frames) { return gui->LoadIBitmap(id, "mem.png", frames); }

  TestPlug plug;
  TestGraphics* gui = nullptr;  // owned by the plug
  IMouseMod left{true};
};

struct FrameCase {
  double value;
  int frames, expected;
};

class FrameFromValueTest : public ::testing::TestWithParam<FrameCase> {};

TEST_P(FrameFromValueTest, PicksTheNearestFrame) {
  EXPECT_EQ(FrameFromValue(GetParam().value, GetParam().frames), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Knob31AndEdges, FrameFromValueTest,
                         ::testing::Values(FrameCase{0.0, 31, 1}, FrameCase{0.5, 31, 16},
                                           FrameCase{1.0, 31, 31}, FrameCase{0.9999, 31, 31},
                                           FrameCase{-0.5, 31, 1}, FrameCase{7.0, 31, 31},
                                           FrameCase{0.7, 1, 1}, FrameCase{0.49, 2, 1},
                                           FrameCase{0.5, 2, 2}));

TEST_F(ControlsTest, TwoFrameSwitchCyclesAndThreeFrameSwitchStepsByHalves) {
  IBitmap two = Load(kIdTwoFrames, 2), three = Load(kIdThreeFrames, 3);
  ISwitchControl sw2(&plug, 0, 0, 1, &two), sw3(&plug, 20, 0, 2, &three);
  EXPECT_EQ(sw2.GetRECT(), IRECT(0, 0, 10, 10));
  std::vector<double> seen2, seen3;
  for (int i = 0; i < 3; ++i) {
    sw2.OnMouseDown(1, 1, &left);
    seen2.push_back(sw2.GetValue());
  }
  for (int i = 0; i < 4; ++i) {
    sw3.OnMouseDown(21, 1, &left);
    seen3.push_back(sw3.GetValue());
  }
  EXPECT_EQ(seen2, (std::vector<double>{1.0, 0.0, 1.0}));
  EXPECT_EQ(seen3, (std::vector<double>{0.5, 1.0, 0.0, 0.5}));
  // A double click on a switch is one more step.
  sw2.OnMouseDblClick(1, 1, &left);
  EXPECT_EQ(sw2.GetValue(), 0.0);
  EXPECT_EQ(plug.GetParam(1)->GetValue(), 0.0);
}

// Every frame is reached before the wrap, also where the summed steps pass 1 by a
// rounding error (ten or more frames).
TEST_F(ControlsTest, SwitchReachesItsLastFrameBeforeWrapping) {
  for (int frames : {2, 3, 10, 11, 16, 31}) {
    IBitmap bitmap(nullptr, 10, 10 * frames, frames);
    ISwitchControl sw(&plug, 0, 0, 1, &bitmap);
    for (int click = 1; click < frames; ++click)
      sw.OnMouseDown(1, 1, &left);
    EXPECT_EQ(FrameFromValue(sw.GetValue(), frames), frames) << frames << " frames";
    sw.OnMouseDown(1, 1, &left);
    EXPECT_EQ(sw.GetValue(), 0.0) << frames << " frames";
  }
}

TEST_F(ControlsTest, KnobDragFollowsGearingAndClampsAtTheEnds) {
  TestKnob knob(&plug, IRECT(0, 0, 54, 54), 0, DirVertical, 4.0);
  knob.OnMouseDrag(0, 0, 0, -216, &left);
  EXPECT_DOUBLE_EQ(knob.GetValue(), 1.0);
  knob.OnMouseDrag(0, 0, 0, -100, &left);  // beyond the top
  EXPECT_EQ(knob.GetValue(), 1.0);
  knob.OnMouseDrag(0, 0, 0, 54, &left);  // moves back at once
  EXPECT_DOUBLE_EQ(knob.GetValue(), 0.75);
  IMouseMod shift(true, false, true);
  knob.OnMouseDrag(0, 0, 0, 216, &shift);
  EXPECT_NEAR(knob.GetValue(), 0.65, 1e-12);
  EXPECT_NEAR(plug.GetParam(0)->GetValue(), 65.0, 1e-9);
  IMouseMod control(true, false, false, true);  // control is as fine as shift
  knob.OnMouseDrag(0, 0, 0, 216, &control);
  EXPECT_NEAR(knob.GetValue(), 0.55, 1e-12);

  TestKnob horizontal(&plug, IRECT(0, 0, 40, 10), 0, DirHorizontal, 1.0);
  horizontal.OnMouseDrag(0, 0, 10, -30, &left);
  EXPECT_DOUBLE_EQ(horizontal.GetValue(), 0.25);
}

TEST_F(ControlsTest, WheelStepsAreHundredthsOrThousandthsWithShiftOrControl) {
  TestKnob knob(&plug, IRECT(0, 0, 10, 10), 0);
  knob.OnMouseWheel(0, 0, &left, 3);
  EXPECT_NEAR(knob.GetValue(), 0.03, 1e-12);
  IMouseMod ctrl(true, false, false, true);
  knob.OnMouseWheel(0, 0, &ctrl, -2);
  EXPECT_NEAR(knob.GetValue(), 0.028, 1e-12);
  knob.OnMouseWheel(0, 0, &left, -10);
  EXPECT_EQ(knob.GetValue(), 0.0);
}

TEST_F(ControlsTest, FirstValueFromPlugBecomesTheDoubleClickDefault) {
  TestKnob knob(&plug, IRECT(0, 0, 10, 10), 0);
  knob.OnMouseDblClick(0, 0, &left);  // no default yet: nothing happens
  EXPECT_EQ(knob.GetValue(), 0.0);
  knob.SetClean();
  knob.SetValueFromPlug(0.3);
  EXPECT_EQ(knob.GetDefaultValue(), 0.3);
  EXPECT_EQ(knob.GetValue(), 0.3);
  EXPECT_FALSE(knob.IsDirty());  // the first value changes no flags
  knob.SetValueFromPlug(0.4);
  EXPECT_TRUE(knob.IsDirty());
  EXPECT_TRUE(knob.IsRedrawPending());
  plug.events.clear();
  knob.OnMouseDblClick(0, 0, &left);
  EXPECT_EQ(knob.GetValue(), 0.3);
  EXPECT_NEAR(plug.GetParam(0)->GetValue(), 30.0, 1e-9);
  EXPECT_EQ(plug.events, (std::vector<std::string>{"inform 0", "change 0"}));
}

TEST_F(ControlsTest, ValueChangesAndHidingStayDirtyForTwoPasses) {
  TestKnob knob(&plug, IRECT(0, 0, 10, 10), 0);
  knob.SetClean();
  EXPECT_FALSE(knob.IsDirty());
  knob.SetDirty(false);
  knob.SetClean();
  EXPECT_FALSE(knob.IsDirty());  // a plain SetDirty lasts one pass
  knob.Hide(true);
  knob.SetClean();
  EXPECT_TRUE(knob.IsDirty());
  knob.SetClean();
  EXPECT_FALSE(knob.IsDirty());
  knob.SetValueFromUserInput(0.5);
  knob.SetClean();
  EXPECT_TRUE(knob.IsDirty());

  knob.GrayOut(true);
  EXPECT_EQ(knob.GetBlend()->mWeight, 0.25f);
  knob.GrayOut(false);
  EXPECT_EQ(knob.GetBlend()->mWeight, 1.0f);
}

TEST_F(ControlsTest, ClampRangeLimitsEveryGesture) {
  TestKnob knob(&plug, IRECT(0, 0, 10, 100), 0, DirVertical, 1.0);
  knob.Clamp(0.2, 0.6);
  knob.OnMouseDrag(0, 0, 0, -1000, &left);
  EXPECT_EQ(knob.GetValue(), 0.6);
  knob.OnMouseDrag(0, 0, 0, 1000, &left);
  EXPECT_EQ(knob.GetValue(), 0.2);
}

TEST_F(ControlsTest, InvisibleSwitchTogglesAroundOneHalf) {
  IInvisibleSwitchControl sw(&plug, IRECT(0, 0, 5, 5), 1);
  sw.SetValue(0.4);
  sw.OnMouseDown(0, 0, &left);
  EXPECT_EQ(sw.GetValue(), 1.0);
  sw.SetValue(0.5);
  sw.OnMouseDown(0, 0, &left);
  EXPECT_EQ(sw.GetValue(), 0.0);
}

TEST_F(ControlsTest, ContactControlSpringsBackOnRelease) {
  IBitmap two = Load(kIdTwoFrames, 2);
  IContactControl button(&plug, 0, 0, 1, &two);
  button.OnMouseDown(1, 1, &left);
  EXPECT_EQ(button.GetValue(), 1.0);
  button.OnMouseUp(1, 1, &left);
  EXPECT_EQ(button.GetValue(), 0.0);
}

TEST_F(ControlsTest, FramesAndRadioButtonsMapClicksToPositions) {
  IBitmap three = Load(kIdThreeFrames, 3);  // 10 x 30, frames 10 x 10
  ISwitchFramesControl frames(&plug, 0, 0, 3, &three);
  ASSERT_EQ(frames.NFrameRects(), 3);
  EXPECT_EQ(frames.FrameRect(2), IRECT(0, 6, 10, 9));  // 10 / 3 per frame, truncated
  EXPECT_FALSE(frames.IsPromptDisabled());
  frames.OnMouseDown(5, 7, &left);
  EXPECT_EQ(frames.GetValue(), 1.0);

  IBitmap two = Load(kIdTwoFrames, 2);
  IRadioButtonsControl radio(&plug, IRECT(0, 0, 50, 10), 2, 3, &two, DirHorizontal);
  EXPECT_EQ(radio.ButtonRect(0), IRECT(0, 0, 10, 10));
  EXPECT_EQ(radio.ButtonRect(1), IRECT(20, 0, 30, 10));
  EXPECT_EQ(radio.ButtonRect(2), IRECT(40, 0, 50, 10));
  radio.OnMouseDown(25, 5, &left);
  EXPECT_EQ(radio.GetValue(), 0.5);
  IRadioButtonsControl reversed(&plug, IRECT(0, 0, 10, 50), 2, 3, &two, DirVertical, true);
  EXPECT_EQ(reversed.ButtonRect(0), IRECT(0, 30, 10, 40));
  EXPECT_EQ(reversed.ButtonRect(1), IRECT(0, 10, 10, 20));
}

TEST_F(ControlsTest, FaderSnapsTheHandleToThePointer) {
  IBitmap one = Load(kIdOneFrame, 1);  // 10 x 10 handle
  IFaderControl fader(&plug, 0, 0, 110, 0, &one, DirVertical, true);
  EXPECT_EQ(fader.GetRECT(), IRECT(0, 0, 10, 110));
  fader.OnMouseDown(5, 55, &left);  // 1 - (55 - 5) / 100
  EXPECT_DOUBLE_EQ(fader.GetValue(), 0.5);
  EXPECT_EQ(fader.GetHandleRECT(), IRECT(0, 50, 10, 60));
  EXPECT_TRUE(fader.IsHit(5, 55));
  EXPECT_FALSE(fader.IsHit(5, 5));  // only the handle takes the mouse
  fader.OnMouseDrag(5, -40, 0, 0, &left);
  EXPECT_EQ(fader.GetValue(), 1.0);
}

TEST_F(ControlsTest, RightClickPromptsOnlyWhenTheOwnerAllowsIt) {
  IBitmap two = Load(kIdTwoFrames, 2);
  ISwitchControl sw(&plug, 0, 0, 1, &two);
  IMouseMod right(false, true);
  sw.SetClean();
  sw.OnMouseDown(1, 1, &right);  // a switch steps on any press
  EXPECT_FALSE(sw.IsRedrawPending());

  TestKnob knob(&plug, IRECT(0, 0, 10, 10), 0);
  knob.OnMouseDown(1, 1, &right);
  EXPECT_FALSE(knob.IsRedrawPending());  // prompts disabled: no prompt, no move
  EXPECT_EQ(knob.GetValue(), 0.0);
}

TEST_F(ControlsTest, UrlControlTriesTheBackupOnlyWhenNeeded) {
  gui->OpenWindow(nullptr);
  std::vector<std::string>& opened = NSWorkspace::sharedWorkspace()->openedURLs();
  opened.clear();
  IURLControl both(&plug, IRECT(0, 0, 5, 5), "https://example.org/a", "https://example.org/b");
  both.OnMouseDown(0, 0, &left);
  IURLControl backupOnly(&plug, IRECT(0, 0, 5, 5), "", "https://example.org/c");
  backupOnly.OnMouseDown(0, 0, &left);
  EXPECT_EQ(opened, (std::vector<std::string>{"https://example.org/a", "https://example.org/c"}));

  std::string longURL = "https://example.org/" + std::string(400, 'x');
  IURLControl cut(&plug, IRECT(0, 0, 5, 5), longURL.c_str());
  EXPECT_EQ(std::string(cut.GetURL()).size(), 255u);
}

TEST_F(ControlsTest, TextControlsRedrawOnlyWhenTheTextChanges) {
  IText style;
  ITextControl text(&plug, IRECT(0, 0, 50, 10), &style, "abc");
  text.SetClean();
  text.SetTextFromPlug("abc");
  EXPECT_FALSE(text.IsDirty());
  text.SetTextFromPlug("abd");
  EXPECT_TRUE(text.IsDirty());
  EXPECT_STREQ(text.GetDisplayText(), "abd");
}

TEST_F(ControlsTest, ValueAndNameDisplaysFollowUserChanges) {
  IText style;
  ITextControl value(&plug, IRECT(0, 0, 50, 10), &style), name(&plug, IRECT(0, 0, 50, 10), &style);
  TestKnob knob(&plug, IRECT(0, 0, 10, 10), 0);
  knob.SetValDisplayControl(&value);
  knob.SetNameDisplayControl(&name);
  knob.SetValueFromUserInput(0.25);
  EXPECT_STREQ(value.GetDisplayText(), "25.0 dB");
  EXPECT_STREQ(name.GetDisplayText(), "Level");
}

TEST_F(ControlsTest, AuxiliaryParametersTrackTheirOwnValues) {
  TestKnob knob(&plug, IRECT(0, 0, 10, 10), 0);
  knob.AddAuxParam(2);
  knob.AddAuxParam(3);
  EXPECT_EQ(knob.AuxParamIdx(3), 1);
  EXPECT_EQ(knob.AuxParamIdx(1), -1);
  knob.SetClean();
  knob.SetAuxParamValueFromPlug(1, 0.5);
  EXPECT_TRUE(knob.IsRedrawPending());
  knob.SetAuxParamValueFromPlug(7, 0.5);  // no such entry: ignored
  knob.SetAllAuxParamsFromGUI();
  EXPECT_EQ(plug.GetParam(3)->GetValue(), 1.0);
}

}  // namespace
