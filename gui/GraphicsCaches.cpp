#include "GraphicsCaches.h"

#include <cstring>

#include "GdiText.h"
#include "IParam.h"
#include "Raster_CachedFont.h"
#include "Raster_IBitmap.h"

BitmapStorage s_bitmapCache;
FontStorage s_fontCache;

BitmapStorage::~BitmapStorage() {
  std::lock_guard<std::mutex> lock(mMutex);
  for (int i = mEntries.GetSize() - 1; i >= 0; --i) {
    delete mEntries.Get(i)->bitmap;
    mEntries.Delete(i, true);
  }
}

Raster_IBitmap* BitmapStorage::Find(int id) {
  std::lock_guard<std::mutex> lock(mMutex);
  for (int i = 0; i < mEntries.GetSize(); ++i) {
    if (mEntries.Get(i)->id == id) return mEntries.Get(i)->bitmap;
  }
  return nullptr;
}

void BitmapStorage::Add(Raster_IBitmap* bitmap, int id) {
  if (!bitmap) return;
  std::lock_guard<std::mutex> lock(mMutex);
  if (!mEntries.Add(new Entry{id, bitmap})) delete bitmap;
}

void BitmapStorage::Remove(Raster_IBitmap* bitmap) {
  std::lock_guard<std::mutex> lock(mMutex);
  for (int i = 0; i < mEntries.GetSize(); ++i) {
    if (mEntries.Get(i)->bitmap == bitmap) {
      delete bitmap;
      mEntries.Delete(i, true);
      return;
    }
  }
}

int BitmapStorage::Size() {
  std::lock_guard<std::mutex> lock(mMutex);
  return mEntries.GetSize();
}

FontStorage::~FontStorage() {
  std::lock_guard<std::mutex> lock(mMutex);
  for (int i = mEntries.GetSize() - 1; i >= 0; --i) {
    delete mEntries.Get(i)->font;
    mEntries.Delete(i, true);
  }
}

Raster_IFont* FontStorage::Find(const IText* text) {
  std::lock_guard<std::mutex> lock(mMutex);
  for (int i = 0; i < mEntries.GetSize(); ++i) {
    Entry* e = mEntries.Get(i);
    if (e->size == text->mSize && e->orientation == text->mOrientation &&
        e->style == text->mStyle && std::strcmp(e->face, text->mFont) == 0) {
      return e->font;
    }
  }
  return nullptr;
}

void FontStorage::Add(Raster_IFont* font, const IText* text) {
  if (!font) return;
  Entry* e = new Entry{text->mSize, text->mOrientation, text->mStyle, {}, font};
  CopyBounded(e->face, text->mFont, MAX_FONT_NAME_LEN);
  std::lock_guard<std::mutex> lock(mMutex);
  if (!mEntries.Add(e)) {
    delete e->font;
    delete e;
  }
}

int FontStorage::Size() {
  std::lock_guard<std::mutex> lock(mMutex);
  return mEntries.GetSize();
}
