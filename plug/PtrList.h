#pragma once

#include "TypedBuf.h"

// An array of pointers.  The owner decides whether the entries are owned: the
// deleting operations delete the objects only when asked to.
template <class T>
class PtrList {
 public:
  PtrList() = default;
  PtrList(const PtrList&) = delete;
  PtrList& operator=(const PtrList&) = delete;

  int GetSize() const { return mList.GetSize(); }
  T** GetList() const { return mList.Get(); }

  // Null for an index outside the list.
  T* Get(int i) const { return (i >= 0 && i < GetSize()) ? mList.Get()[i] : nullptr; }

  // Appends p; returns p, or null when the list could not grow.
  T* Add(T* p) { return mList.Add(p) ? p : nullptr; }

  // Inserts p at idx clamped into 0..size; returns p, or null when the list could not grow.
  T* Insert(int idx, T* p) {
    int n = GetSize();
    if (idx < 0) idx = 0;
    if (idx > n) idx = n;
    mList.Resize(n + 1, false);
    if (GetSize() != n + 1) return nullptr;
    T** list = mList.Get();
    for (int i = n; i > idx; --i)
      list[i] = list[i - 1];
    list[idx] = p;
    return p;
  }

  // Removes entry idx (ignored outside the list), deleting the object when asked.
  void Delete(int idx, bool deleteObject = false) {
    int n = GetSize();
    if (idx < 0 || idx >= n) return;
    T** list = mList.Get();
    T* p = list[idx];
    for (int i = idx; i < n - 1; ++i)
      list[i] = list[i + 1];
    mList.Resize(n - 1);
    if (deleteObject) delete p;
  }

  int Find(const T* p) const {
    for (int i = 0; i < GetSize(); ++i) {
      if (mList.Get()[i] == p) return i;
    }
    return -1;
  }

  // Removes every entry from the last to the first, deleting the objects when asked.
  void Empty(bool deleteObjects = false) {
    for (int i = GetSize() - 1; i >= 0; --i)
      Delete(i, deleteObjects);
  }

 private:
  TypedBuf<T*> mList;
};
