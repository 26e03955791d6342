#include "IPopupMenu.h"

// -1 appends, other negative indices insert first, indices past the end append.
IPopupMenuItem* IPopupMenu::AddItem(IPopupMenuItem* item, int index) {
  if (!item) return nullptr;
  int n = mMenuItems.GetSize();
  IPopupMenuItem* added =
      (index == -1 || index >= n) ? mMenuItems.Add(item) : mMenuItems.Insert(index, item);
  if (!added) delete item;  // the list could not grow: the menu still owns what it was given
  return added;
}

IPopupMenuItem* IPopupMenu::AddItem(const char* text, int index, int flags) {
  return AddItem(new IPopupMenuItem(text, flags), index);
}

IPopupMenuItem* IPopupMenu::AddItem(const char* text, int index, IPopupMenu* submenu) {
  return AddItem(new IPopupMenuItem(text, IPopupMenuItem::kNoFlags, submenu), index);
}

IPopupMenuItem* IPopupMenu::AddItem(const char* text, IPopupMenu* submenu) {
  return AddItem(text, -1, submenu);
}

IPopupMenuItem* IPopupMenu::AddSeparator(int index) {
  return AddItem(new IPopupMenuItem("", IPopupMenuItem::kSeparator), index);
}

void IPopupMenu::SetPrefix(int prefix) {
  if (prefix >= 0 && prefix <= 3) mPrefix = prefix;
}

const char* IPopupMenu::GetItemText(int index) const {
  IPopupMenuItem* item = mMenuItems.Get(index);
  return item ? item->GetText() : "";
}

bool IPopupMenu::CheckItem(int index, bool checked) {
  IPopupMenuItem* item = mMenuItems.Get(index);
  if (!item) return false;
  item->SetChecked(checked);
  return true;
}

void IPopupMenu::CheckItemAlone(int index) {
  for (int i = 0; i < mMenuItems.GetSize(); ++i)
    mMenuItems.Get(i)->SetChecked(i == index);
}

bool IPopupMenu::IsItemChecked(int index) const {
  IPopupMenuItem* item = mMenuItems.Get(index);
  return item && item->GetChecked();
}
