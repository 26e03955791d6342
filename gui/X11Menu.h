#pragma once

#include <string>
#include <vector>

#include "IGraphicsStructs.h"

// A popup menu of the X11 view, drawn over the panel as the text entry is: a
// column of items at the click, kept inside the panel.  A click on an item
// chooses it; any other click, or Escape, dismisses the menu.  Holds no window
// resources; positions are panel units.
class X11Menu {
 public:
  static constexpr int kItemHeight = 18;
  static constexpr int kWidth = 104;

  void Open(const std::vector<std::string>& items, int checked, int x, int y, int panelW,
            int panelH);
  bool IsOpen() const { return !mItems.empty(); }
  void Close() { mItems.clear(); }
  // The item at (x, y), or -1 outside the menu.
  int ItemAt(int x, int y) const;
  int NItems() const { return static_cast<int>(mItems.size()); }
  const std::string& Item(int i) const { return mItems[static_cast<size_t>(i)]; }
  int Checked() const { return mChecked; }
  const IRECT& Rect() const { return mRect; }
  IRECT ItemRect(int i) const;

 private:
  std::vector<std::string> mItems;
  int mChecked = -1;
  IRECT mRect;
};
