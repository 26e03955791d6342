#include "Raster_ImageLoader.h"

// Constant-initialised, so it is null before any loader's constructor runs.
Raster_ImageLoader* Raster_ImageLoader_list = nullptr;

Raster_ImageLoader::Raster_ImageLoader() : _next(Raster_ImageLoader_list) {
  Raster_ImageLoader_list = this;
}
