#pragma once

#include <mutex>

#include "IGraphicsStructs.h"
#include "PtrList.h"

class Raster_IBitmap;
class Raster_IFont;

// Every image loaded by any editor of the process, keyed by resource id (-1
// for images made at run time).  The cache owns the images; each lookup,
// insertion or removal holds the mutex for its own duration.
class BitmapStorage {
 public:
  BitmapStorage() = default;
  ~BitmapStorage();
  BitmapStorage(const BitmapStorage&) = delete;
  BitmapStorage& operator=(const BitmapStorage&) = delete;

  Raster_IBitmap* Find(int id);
  void Add(Raster_IBitmap* bitmap, int id = -1);
  // Removes the entry holding bitmap and deletes the bitmap.
  void Remove(Raster_IBitmap* bitmap);
  int Size();

 private:
  struct Entry {
    int id;
    Raster_IBitmap* bitmap;
  };
  PtrList<Entry> mEntries;
  std::mutex mMutex;
};

// Every font made for a text style, keyed by size, orientation, style and face
// name; colour, alignment and quality do not count.  The cache owns the fonts.
class FontStorage {
 public:
  FontStorage() = default;
  ~FontStorage();
  FontStorage(const FontStorage&) = delete;
  FontStorage& operator=(const FontStorage&) = delete;

  Raster_IFont* Find(const IText* text);
  void Add(Raster_IFont* font, const IText* text);
  int Size();

 private:
  struct Entry {
    int size, orientation, style;
    char face[MAX_FONT_NAME_LEN];
    Raster_IFont* font;
  };
  PtrList<Entry> mEntries;
  std::mutex mMutex;
};

extern BitmapStorage s_bitmapCache;
extern FontStorage s_fontCache;
