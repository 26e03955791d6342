// The native view: coordinates, modifiers, key codes, the redraw timer, text
// entry and image lookup, driven through the AppKit stand-in.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <cstdio>

#include "GuiTestSupport.h"
#include "IGraphicsCocoa.h"
#include "IKnobControls.h"
#include "IPopupMenu.h"
#include "ITextControls.h"
#include "Raster_PNGWrite.h"

namespace {

// Records what reaches the manager from the view.
class LogControl : public IControl {
 public:
  LogControl(IPluginBase* plug, IRECT r, int paramIdx, std::vector<std::string>* log)
      : IControl(plug, r, paramIdx), mLog(log) {}
  bool Draw(IGraphics*) override { return true; }
  static std::string Mod(IMouseMod* m) {
    return std::string(m->L ? "L" : "") + (m->R ? "R" : "") + (m->S ? "S" : "") +
           (m->C ? "C" : "") + (m->A ? "A" : "");
  }
  void OnMouseDown(int x, int y, IMouseMod* m) override {
    mLog->push_back("down " + std::to_string(x) + "," + std::to_string(y) + " " + Mod(m));
  }
  void OnMouseDblClick(int, int, IMouseMod*) override { mLog->push_back("dbl"); }
  void OnMouseWheel(int, int, IMouseMod*, int d) override {
    mLog->push_back("wheel " + std::to_string(d));
  }
  bool OnKeyDown(int, int, int key) override {
    mLog->push_back("key " + std::to_string(key));
    return key != KeySpace;  // space is left to the host
  }
  void TextFromTextEntry(const char* text) override {
    mLog->push_back(std::string("text ") + text);
  }

 private:
  std::vector<std::string>* mLog;
};

class ViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gui = new TestGraphics(&plug, 774, 237);
    gui->AttachControl(new LogControl(&plug, IRECT(0, 0, 774, 237), -1, &log));
    plug.AttachGraphics(gui);
    window.initWithContentRect(NSMakeRect(0, 0, 774, 237), 0, 2, NO);
    view = static_cast<IGraphicsCocoa*>(gui->OpenWindow(window.contentView()));
  }
  void TearDown() override { gui->CloseWindow(); }

  TestPlug plug;
  TestGraphics* gui = nullptr;
  NSWindow window;
  IGraphicsCocoa* view = nullptr;
  std::vector<std::string> log;
};

// A host that closes the view during a drag is told the gesture ended, once.
TEST_F(ViewTest, ClosingDuringADragEndsTheGesture) {
  gui->AttachControl(new LogControl(&plug, IRECT(0, 0, 100, 100), 0, &log));
  NSEvent press = NSEvent::MouseEvent(NSLeftMouseDown, 50, 200);
  view->mouseDown(&press);
  ASSERT_EQ(plug.events, (std::vector<std::string>{"begin 0"}));
  gui->CloseWindow();
  gui->CloseWindow();
  EXPECT_EQ(plug.events, (std::vector<std::string>{"begin 0", "end 0"}));
}

TEST_F(ViewTest, RectanglesConvertBetweenViewAndEditor) {
  NSRect v = IGraphicsCocoa::ToNSRect(gui, IRECT(10, 20, 30, 40));
  EXPECT_EQ(v.origin.x, 10);
  EXPECT_EQ(v.origin.y, 196);
  EXPECT_EQ(v.size.width, 21);
  EXPECT_EQ(v.size.height, 21);
  EXPECT_EQ(IGraphicsCocoa::ToIRECT(gui, NSMakeRect(10.9, 196.5, 21.2, 21.9)),
            IRECT(10, 20, 31, 41));
}

TEST_F(ViewTest, ClicksArriveInEditorPixelsWithTheirModifiers) {
  NSEvent click = NSEvent::MouseEvent(NSLeftMouseDown, 100.7, 50.2);
  view->mouseDown(&click);
  NSEvent cmd = NSEvent::MouseEvent(NSLeftMouseDown, 12, 225, NSCommandKeyMask | NSShiftKeyMask);
  view->mouseDown(&cmd);
  NSEvent right =
      NSEvent::MouseEvent(NSRightMouseDown, 12, 225, NSAlternateKeyMask | NSControlKeyMask, 2);
  view->rightMouseDown(&right);
  NSEvent second = NSEvent::MouseEvent(NSLeftMouseDown, 12, 225, 0, 2);
  view->mouseDown(&second);
  EXPECT_EQ(log,
            (std::vector<std::string>{"down 98,184 L", "down 10,9 LRS", "down 10,9 RCA", "dbl"}));
}

TEST_F(ViewTest, WheelDeltasTruncateTowardZero) {
  for (double d : {0.7, -2.9, 3.0}) {
    NSEvent e = NSEvent::ScrollEvent(50, 50, d);
    view->scrollWheel(&e);
  }
  EXPECT_EQ(log, (std::vector<std::string>{"wheel 0", "wheel -2", "wheel 3"}));
}

struct KeyCase {
  unsigned short keyCode;
  const char* chars;
  int code;
};

class KeyMapTest : public ::testing::TestWithParam<KeyCase> {};

TEST_P(KeyMapTest, MapsToEditorCodes) {
  NSEvent e = NSEvent::KeyEvent(GetParam().keyCode, GetParam().chars);
  EXPECT_EQ(IGraphicsCocoa::KeyCode(&e), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(ArrowsSpaceDigitsLetters, KeyMapTest,
                         ::testing::Values(KeyCase{123, "x", KeyLeft}, KeyCase{124, "x", KeyRight},
                                           KeyCase{125, "x", KeyDown}, KeyCase{126, "x", KeyUp},
                                           KeyCase{49, " ", KeySpace}, KeyCase{29, "0", KeyDigit0},
                                           KeyCase{25, "9", KeyDigit9}, KeyCase{0, "a", KeyA},
                                           KeyCase{0, "A", KeyA}, KeyCase{6, "z", KeyZ},
                                           KeyCase{6, "Z", KeyZ}, KeyCase{27, "-", -1},
                                           KeyCase{36, "\r", -1}));

TEST_F(ViewTest, KeysTheEditorDoesNotTakeGoToTheNextResponder) {
  NSResponder::unhandledKeys().clear();
  gui->AttachControl(new LogControl(&plug, IRECT(20, 20, 80, 80), -1, &log));
  NSEvent move = NSEvent::MouseEvent(NSMouseMoved, 40, 184);  // editor (38, 50)
  view->mouseMoved(&move);
  NSEvent a = NSEvent::KeyEvent(0, "a"), space = NSEvent::KeyEvent(49, " ");
  NSEvent minus = NSEvent::KeyEvent(27, "-"), two = NSEvent::KeyEvent(0, "ab");
  for (NSEvent* e : {&a, &space, &minus, &two})
    view->keyDown(e);
  EXPECT_EQ(log, (std::vector<std::string>{"key 15", "key 0"}));
  EXPECT_EQ(NSResponder::unhandledKeys(), (std::vector<unsigned short>{49, 27}));
}

TEST_F(ViewTest, TimerInvalidatesTheDirtyRegionAndDrawingReachesTheScreen) {
  EXPECT_EQ(view->timer()->timeInterval(), 0.04);
  EXPECT_EQ(view->window(), &window);
  EXPECT_EQ(window.firstResponder(), view);
  gui->GetControl(0)->SetDirty(false);
  NSRunLoop::currentRunLoop()->runForSeconds(0.041);
  ASSERT_TRUE(view->needsDisplay());
  EXPECT_EQ(view->invalidRect().size.width, 775);
  int before = gui->screens;
  view->displayIfNeeded();
  EXPECT_EQ(gui->screens, before + 1);
  EXPECT_EQ(window.screen()->imagesDrawn, 1);
  NSRunLoop::currentRunLoop()->runForSeconds(0.1);
  EXPECT_FALSE(view->needsDisplay());
}

TEST_F(ViewTest, TextEntryFiltersCharactersAndLength) {
  TestKnob* knob = new TestKnob(&plug, IRECT(10, 10, 50, 50), 0);
  gui->AttachControl(knob);
  IRECT r(10, 10, 50, 26);
  gui->CreateTextEntry(knob, knob->GetText(), &r, "", plug.GetParam(0));
  NSTextField* field = view->textField();
  ASSERT_NE(field, nullptr);
  EXPECT_EQ(field->fontSize(), 9);
  EXPECT_EQ(window.firstResponder(), field);
  EXPECT_FALSE(field->typeCharacter('a'));
  EXPECT_FALSE(field->typeCharacter(','));
  EXPECT_EQ(field->typeText("-+1.2.34"), 7);  // the eighth character is refused
  EXPECT_EQ(field->stringValue(), "-+1.2.3");
  // A second entry cannot open while one is open.
  gui->CreateTextEntry(knob, knob->GetText(), &r, "", plug.GetParam(2));
  EXPECT_EQ(view->textField(), field);
  field->setStringValue("75");
  field->endEditing();
  EXPECT_EQ(view->textField(), nullptr);
  EXPECT_NEAR(plug.GetParam(0)->GetValue(), 75.0, 1e-9);
  EXPECT_EQ(window.firstResponder(), view);

  gui->CreateTextEntry(knob, knob->GetText(), &r, "", plug.GetParam(2));
  EXPECT_FALSE(view->textField()->typeCharacter('.'));  // integers take no decimal point
  view->textField()->setStringValue("9");
  NSEvent wheel = NSEvent::ScrollEvent(20, 200, 1.0);
  view->scrollWheel(&wheel);  // closes the entry without applying it
  EXPECT_EQ(view->textField(), nullptr);
  EXPECT_EQ(plug.GetParam(2)->GetValue(), 5.0);
}

TEST_F(ViewTest, TextEntryWithoutParameterGoesToTheControl) {
  IRECT r(0, 0, 40, 16);
  gui->CreateTextEntry(gui->GetControl(0), gui->GetControl(0)->GetText(), &r, "", nullptr);
  view->textField()->typeText("any text, 123");
  view->textField()->endEditing();
  EXPECT_EQ(log.back(), "text any text, 123");
}

TEST_F(ViewTest, DragsPauseWhileATextEntryIsOpen) {
  TestKnob* knob = new TestKnob(&plug, IRECT(100, 100, 150, 150), 0);
  gui->AttachControl(knob);
  IRECT r(0, 0, 40, 16);
  NSEvent down = NSEvent::MouseEvent(NSLeftMouseDown, 122, 110);
  view->mouseDown(&down);
  gui->CreateTextEntry(knob, knob->GetText(), &r, "", plug.GetParam(0));
  double before = knob->GetValue();
  NSEvent drag = NSEvent::MouseEvent(NSLeftMouseDragged, 122, 140);
  view->mouseDragged(&drag);
  EXPECT_EQ(knob->GetValue(), before);
  gui->ForceEndUserEdit();
  EXPECT_EQ(view->textField(), nullptr);
}

TEST_F(ViewTest, HostRemovingTheViewDetachesItFromTheManager) {
  view->removeFromSuperview();
  EXPECT_EQ(gui->GetWindow(), nullptr);
  EXPECT_EQ(view->graphics(), nullptr);
  EXPECT_FALSE(view->timer());
  NSEvent click = NSEvent::MouseEvent(NSLeftMouseDown, 10, 10);
  view->mouseDown(&click);  // a detached view does nothing
  EXPECT_TRUE(log.empty());
}

// Whether the manager or the host closes it, a closed view is freed by the next close.
TEST_F(ViewTest, OpeningAndClosingAThousandTimesKeepsAtMostOneClosedView) {
  for (int i = 0; i < 1000; ++i) {
    auto* v = static_cast<IGraphicsCocoa*>(gui->OpenWindow(window.contentView()));
    if (i % 2) {
      v->removeFromSuperview();
    } else {
      gui->CloseWindow();
    }
    ASSERT_LE(gui->NClosedViews(), 1u) << i;
  }
  EXPECT_TRUE(window.contentView()->subviews().empty());
}

TEST(ImageLookupTest, FindsPngResourcesByBaseName) {
  char folder[] = "/tmp/vantrose_bundle_XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  std::string resources = std::string(folder) + "/resources", img = resources + "/img";
  ASSERT_EQ(mkdir(resources.c_str(), 0755), 0);
  ASSERT_EQ(mkdir(img.c_str(), 0755), 0);
  Raster_MemBitmap red(1, 1, 4);
  red.getBits()[0] = 0xFFFF0000u;
  ASSERT_TRUE(Raster_WritePNG((img + "/BG.png").c_str(), &red));
  NSBundle::registerBundle("com.example.test", folder);
  Raster_IBitmap* bg = LoadImgFromResourceOSX("com.example.test", "resources/img/BG.png");
  ASSERT_NE(bg, nullptr);
  EXPECT_EQ(bg->getWidth(), 1);
  EXPECT_EQ(bg->getBits()[0], 0xFFFF0000u);
  delete bg;
  EXPECT_EQ(LoadImgFromResourceOSX("com.example.test", "resources/img/BG.jpg"), nullptr);
  EXPECT_EQ(LoadImgFromResourceOSX("com.example.test", "resources/img/NONE.png"), nullptr);
  EXPECT_EQ(LoadImgFromResourceOSX("com.example.other", "BG.png"), nullptr);
  EXPECT_EQ(LoadImgFromResourceOSX("com.example.test", nullptr), nullptr);
  NSBundle::unregisterBundle("com.example.test");
  std::remove((img + "/BG.png").c_str());
  rmdir(img.c_str());
  rmdir(resources.c_str());
  rmdir(folder);
}

TEST(OpenURLTest, WebAddressesAndLocalPaths) {
  TestPlug plug;
  TestGraphics gui(&plug);
  std::vector<std::string>& opened = NSWorkspace::sharedWorkspace()->openedURLs();
  opened.clear();
  EXPECT_TRUE(gui.OpenURL("https://example.org/x"));
  EXPECT_TRUE(gui.OpenURL("/tmp/manual.pdf"));
  EXPECT_TRUE(gui.OpenURL("http://bad address"));  // no URL object: reported as opened
  EXPECT_EQ(opened, (std::vector<std::string>{"https://example.org/x", "file:///tmp/manual.pdf"}));
}

}  // namespace

namespace {

TEST_F(ViewTest, FileSelectorRunsTheDialogAndRemembersTheFolder) {
  IFileSelectorControl* files =
      new IFileSelectorControl(&plug, IRECT(0, 0, 20, 20), -1, nullptr, FileOpen, "", "wav aif");
  gui->AttachControl(files);
  NSSavePanel::scriptNextResult(NSOKButton, "/music/take 1.wav");
  IMouseMod left(true);
  files->OnMouseDown(1, 1, &left);
  StrBuf chosen;
  files->GetLastSelectedFileForPlug(&chosen);
  EXPECT_STREQ(chosen.Get(), "/music/take 1.wav");
  EXPECT_EQ(files->GetState(), IFileSelectorControl::kFSDone);
  files->SetClean();
  files->SetClean();
  EXPECT_TRUE(files->IsDirty());  // a finished dialog redraws once more
  EXPECT_FALSE(files->IsDirty());
  StrBuf file("keep.wav"), dir;
  gui->PromptForFile(&file, FileSave, &dir, const_cast<char*>("wav"));  // cancelled
  EXPECT_STREQ(file.Get(), "");
  EXPECT_STREQ(dir.Get(), "~/Desktop");
}

TEST_F(ViewTest, MessageBoxesClipboardAndPaths) {
  ScriptNextAlertResponse(1);
  EXPECT_EQ(gui->ShowMessageBox("Save?", "Vantrose", 4), 7);
  ScriptNextAlertResponse(2);
  EXPECT_EQ(gui->ShowMessageBox("Save?", "Vantrose", 3), 2);
  EXPECT_EQ(gui->ShowMessageBox("Done", "Vantrose", 0), 1);
  StrBuf text;
  NSPasteboard::generalPasteboard()->clearContents();
  EXPECT_FALSE(gui->GetTextFromClipboard(&text));
  NSPasteboard::generalPasteboard()->setString("12.5");
  EXPECT_TRUE(gui->GetTextFromClipboard(&text));
  EXPECT_STREQ(text.Get(), "12.5");
  NSBundle::registerBundle("com.example.paths", "/opt/plugins/Vantrose.component");
  gui->SetBundleID("com.example.paths");
  StrBuf path;
  gui->PluginPath(&path);
  EXPECT_STREQ(path.Get(), "/opt/plugins/");
  gui->SetBundleID("com.example.none");
  gui->PluginPath(&path);  // no such bundle: unchanged
  EXPECT_STREQ(path.Get(), "/opt/plugins/");
  NSBundle::unregisterBundle("com.example.paths");
}

TEST(SubWindowTest, HostWindowGetsABorderlessChildHoldingTheView) {
  TestPlug plug;
  TestGraphics* gui = new TestGraphics(&plug);
  plug.AttachGraphics(gui);
  gui->AttachSubWindow(nullptr);
  ASSERT_NE(gui->GetWindow(), nullptr);
  EXPECT_NE(static_cast<NSView*>(gui->GetWindow())->window(), nullptr);
  gui->RemoveSubWindow();
  EXPECT_EQ(gui->GetWindow(), nullptr);
}

}  // namespace

namespace {

TEST_F(ViewTest, PopupMenuOpensBelowTheControlInBackingPixels) {
  window.setBackingScaleFactor(2.0);
  IPopupMenu menu;
  menu.AddItem("a");
  IRECT r(10, 20, 30, 40);  // view origin (10, 196)
  NSMenu::scriptNextChoice({0});
  EXPECT_EQ(gui->CreateIPopupMenu(&menu, &r), &menu);
  const NSEvent& e = NSMenu::lastPopUpEvent();
  EXPECT_EQ(e.type, NSApplicationDefined);
  EXPECT_EQ(e.modifierFlags, 15u);
  EXPECT_EQ(e.locationInWindow.x, 5.0);
  EXPECT_EQ(e.locationInWindow.y, 96.0);
  EXPECT_EQ(e.windowNumber, window.windowNumber());
}

TEST_F(ViewTest, ResizeToANewSizeEmptiesTheLayoutAndResizesTheView) {
  gui->Resize(774, 237);
  EXPECT_EQ(gui->NControls(), 1);
  gui->Resize(800, 300);
  EXPECT_EQ(gui->NControls(), 0);
  EXPECT_EQ(view->frame().size.width, 800);
  EXPECT_EQ(view->frame().size.height, 300);
}

}  // namespace

namespace {

TEST_F(ViewTest, TooltipsAndTheHiddenCursor) {
  gui->GetControl(0)->SetTooltip("panel");
  gui->UpdateTooltips();
  EXPECT_TRUE(view->toolTips().empty());  // tooltips are off unless enabled
  gui->EnableTooltips(true);
  gui->UpdateTooltips();
  ASSERT_EQ(view->toolTips().size(), 1u);
  EXPECT_EQ(view->toolTips()[0].rect.size.width, 775);
  gui->HandleMouseOver(true);
  NSEvent move = NSEvent::MouseEvent(NSMouseMoved, 40, 184);
  view->mouseMoved(&move);
  EXPECT_STREQ(view->viewStringForToolTip(), "panel");

  NSEvent::setMouseLocation(NSMakePoint(300, 1000));
  gui->HideMouseCursor();
  NSEvent::setMouseLocation(NSMakePoint(0, 0));
  gui->ShowMouseCursor();
  EXPECT_EQ(NSEvent::mouseLocation().x, 300);  // put back where it was hidden
  EXPECT_EQ(NSEvent::mouseLocation().y, 1000);
}

}  // namespace
