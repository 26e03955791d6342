#pragma once

// The library's image loaders, in a singly linked list to which each loader prepends
// itself during static initialisation.

#include "Raster_IBitmap.h"

class Raster_ImageLoader {
 public:
  Raster_ImageLoader();
  virtual ~Raster_ImageLoader() {}
  Raster_ImageLoader(const Raster_ImageLoader&) = delete;
  Raster_ImageLoader& operator=(const Raster_ImageLoader&) = delete;

  // Loads the file into bmp (null: a new bitmap the caller owns); with checkFileName
  // set, refuses a file whose extension is not the loader's.  Null on failure.
  virtual Raster_IBitmap* loadfunc(const char* filename, bool checkFileName,
                                   Raster_IBitmap* bmp) = 0;
  // File-type filter pairs, each string NUL-terminated, the list ended by an empty one.
  virtual const char* get_extlist() = 0;

  Raster_ImageLoader* _next;
};

extern Raster_ImageLoader* Raster_ImageLoader_list;
