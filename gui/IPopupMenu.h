#pragma once

#include "PtrList.h"
#include "StrBuf.h"

class IPopupMenu;

// One entry of a popup menu; a submenu is referred to, not owned.
class IPopupMenuItem {
 public:
  enum Flags { kNoFlags = 0, kDisabled = 1, kTitle = 2, kChecked = 4, kSeparator = 8 };

  explicit IPopupMenuItem(const char* text, int flags = kNoFlags, IPopupMenu* submenu = nullptr)
      : mText(text), mSubmenu(submenu), mFlags(flags) {}

  const char* GetText() const { return mText.Get(); }
  IPopupMenu* GetSubmenu() const { return mSubmenu; }
  int GetFlags() const { return mFlags; }
  bool GetEnabled() const { return !(mFlags & kDisabled); }
  bool GetChecked() const { return (mFlags & kChecked) != 0; }
  bool GetIsTitle() const { return (mFlags & kTitle) != 0; }
  bool GetIsSeparator() const { return (mFlags & kSeparator) != 0; }
  void SetChecked(bool checked) { mFlags = checked ? (mFlags | kChecked) : (mFlags & ~kChecked); }

 private:
  StrBuf mText;
  IPopupMenu* mSubmenu;
  int mFlags;
};

// A menu of items; it owns its items but not their submenus.
class IPopupMenu {
 public:
  IPopupMenu() = default;
  ~IPopupMenu() { mMenuItems.Empty(true); }
  IPopupMenu(const IPopupMenu&) = delete;
  IPopupMenu& operator=(const IPopupMenu&) = delete;

  IPopupMenuItem* AddItem(IPopupMenuItem* item, int index = -1);
  IPopupMenuItem* AddItem(const char* text, int index = -1, int flags = IPopupMenuItem::kNoFlags);
  IPopupMenuItem* AddItem(const char* text, int index, IPopupMenu* submenu);
  IPopupMenuItem* AddItem(const char* text, IPopupMenu* submenu);
  IPopupMenuItem* AddSeparator(int index = -1);

  // Numbering before each title: 0 none, 1 "%1d: ", 2 "%02d: ", 3 "%03d: ".
  void SetPrefix(int prefix);
  int GetPrefix() const { return mPrefix; }
  int GetNItems() const { return mMenuItems.GetSize(); }
  IPopupMenuItem* GetItem(int index) const { return mMenuItems.Get(index); }
  const char* GetItemText(int index) const;
  bool CheckItem(int index, bool checked);
  void CheckItemAlone(int index);
  bool IsItemChecked(int index) const;
  int GetChosenItemIdx() const { return mChosenItemIdx; }
  void SetChosenItemIdx(int index) { mChosenItemIdx = index; }

 private:
  int mPrefix = 0;
  int mChosenItemIdx = -1;
  PtrList<IPopupMenuItem> mMenuItems;
};
