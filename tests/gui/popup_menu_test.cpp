// Popup menus: the item list, the native menu built from it, and choices.

#include <gtest/gtest.h>

#include "GuiTestSupport.h"
#include "IGraphicsCocoa.h"
#include "IKnobControls.h"
#include "IPopupMenu.h"

namespace {

std::vector<std::string> Texts(const IPopupMenu& m) {
  std::vector<std::string> out;
  for (int i = 0; i < m.GetNItems(); ++i)
    out.push_back(m.GetItemText(i));
  return out;
}

TEST(PopupMenuTest, InsertionIndicesClampAsDocumented) {
  IPopupMenu m;
  m.AddItem("a");
  m.AddItem("b");
  m.AddItem("c");
  m.AddItem("first", 0);
  m.AddItem("last", 10);
  m.AddItem("front", -5);
  m.AddSeparator(2);
  EXPECT_EQ(Texts(m), (std::vector<std::string>{"front", "first", "", "a", "b", "c", "last"}));
  EXPECT_TRUE(m.GetItem(2)->GetIsSeparator());
  EXPECT_EQ(m.GetItem(7), nullptr);
  EXPECT_EQ(m.GetItem(-1), nullptr);
}

TEST(PopupMenuTest, CheckingItems) {
  IPopupMenu m;
  for (const char* t : {"a", "b", "c"})
    m.AddItem(t, -1, IPopupMenuItem::kChecked);
  m.CheckItemAlone(1);
  EXPECT_FALSE(m.IsItemChecked(0));
  EXPECT_TRUE(m.IsItemChecked(1));
  EXPECT_FALSE(m.IsItemChecked(2));
  EXPECT_FALSE(m.CheckItem(3, true));
  EXPECT_FALSE(m.IsItemChecked(-1));
}

TEST(PopupMenuTest, PrefixNumbersEveryItemInTheNativeMenu) {
  IPopupMenu m, sub;
  m.AddItem("w");
  m.AddSeparator();
  m.AddItem("x", -1, IPopupMenuItem::kTitle | IPopupMenuItem::kDisabled | IPopupMenuItem::kChecked);
  m.AddItem("y", &sub);
  m.SetPrefix(2);
  m.SetPrefix(4);
  m.SetPrefix(-1);
  EXPECT_EQ(m.GetPrefix(), 2);
  IGraphicsMenuRcvr receiver;
  IGraphicsNSMenu native;
  native.initWithIPopupMenuAndReciever(&m, &receiver);
  ASSERT_EQ(native.numberOfItems(), 4);
  EXPECT_EQ(native.itemAtIndex(0)->title(), "01: w");
  EXPECT_TRUE(native.itemAtIndex(1)->isSeparatorItem());
  EXPECT_EQ(native.itemAtIndex(2)->title(), "03: x");
  EXPECT_EQ(native.itemAtIndex(2)->indentationLevel(), 1);
  EXPECT_EQ(native.itemAtIndex(2)->state(), NSOnState);
  EXPECT_FALSE(native.itemAtIndex(2)->isEnabled());
  EXPECT_EQ(native.itemAtIndex(3)->title(), "04: y");
  EXPECT_NE(native.itemAtIndex(3)->submenu(), nullptr);
  EXPECT_EQ(native.AssociatedIPopupMenu(), &m);
}

class MenuChoiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gui = new TestGraphics(&plug);
    plug.AttachGraphics(gui);
    gui->OpenWindow(nullptr);
  }
  TestPlug plug;
  TestGraphics* gui = nullptr;
  IRECT r{10, 10, 20, 20};
};

TEST_F(MenuChoiceTest, SubmenuChoiceReturnsTheSubmenuWithItsOwnIndex) {
  IPopupMenu top, sub;
  top.AddItem("one");
  top.AddItem("more", &sub);
  for (const char* t : {"s0", "s1", "s2"})
    sub.AddItem(t);
  NSMenu::scriptNextChoice({1, 2});
  EXPECT_EQ(gui->CreateIPopupMenu(&top, &r), &sub);
  EXPECT_EQ(sub.GetChosenItemIdx(), 2);
  EXPECT_EQ(top.GetChosenItemIdx(), -1);
}

TEST_F(MenuChoiceTest, DismissedOrDisabledChoicesReturnNull) {
  IPopupMenu m;
  m.AddItem("a");
  m.AddItem("b", -1, IPopupMenuItem::kDisabled);
  NSMenu::scriptNextChoice({});
  EXPECT_EQ(gui->CreateIPopupMenu(&m, &r), nullptr);
  NSMenu::scriptNextChoice({1});
  EXPECT_EQ(gui->CreateIPopupMenu(&m, &r), nullptr);
  NSMenu::scriptNextChoice({0});
  EXPECT_EQ(gui->CreateIPopupMenu(&m, &r), &m);
  gui->CloseWindow();
  NSMenu::scriptNextChoice({0});
  EXPECT_EQ(gui->CreateIPopupMenu(&m, &r), nullptr);  // no view, no menu
  NSMenu::scriptNextChoice({});
}

TEST_F(MenuChoiceTest, PromptOffersDisplayTextsAndAppliesTheChoice) {
  TestKnob* knob = new TestKnob(&plug, IRECT(0, 0, 10, 10), 3);
  gui->AttachControl(knob);
  knob->DisablePrompt(false);
  NSMenu::scriptNextChoice({2});
  IMouseMod right(false, true);
  knob->OnMouseDown(1, 1, &right);
  EXPECT_EQ(knob->GetValue(), 1.0);
  EXPECT_EQ(plug.GetParam(3)->GetValue(), 2.0);
  EXPECT_TRUE(knob->IsRedrawPending());
  NSMenu::scriptNextChoice({});
  knob->OnMouseDown(1, 1, &right);  // dismissed: unchanged
  EXPECT_EQ(plug.GetParam(3)->GetValue(), 2.0);
}

}  // namespace
