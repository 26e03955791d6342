#include "X11Menu.h"

#include <algorithm>

void X11Menu::Open(const std::vector<std::string>& items, int checked, int x, int y, int panelW,
                   int panelH) {
  mItems = items;
  mChecked = checked;
  int h = kItemHeight * static_cast<int>(items.size());
  int l = std::max(0, std::min(x, panelW - kWidth));
  int t = std::max(0, std::min(y, panelH - h));
  mRect = IRECT(l, t, l + kWidth, t + h);
}

int X11Menu::ItemAt(int x, int y) const {
  if (!IsOpen() || !mRect.Contains(x, y)) return -1;
  int i = (y - mRect.T) / kItemHeight;
  return i < NItems() ? i : -1;
}

IRECT X11Menu::ItemRect(int i) const {
  return IRECT(mRect.L, mRect.T + i * kItemHeight, mRect.R, mRect.T + (i + 1) * kItemHeight);
}
