#include "Raster_PNG.h"

#include <png.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "Raster_ImageLoader.h"
#include "Raster_MemBitmap.h"

namespace {

constexpr const char* kLibraryVersion = "1.6.19";

// Errors end the decode through the jump armed in Decode; warnings are not reported.
void OnError(png_structp png, png_const_charp) {
  png_longjmp(png, 1);
}
void OnWarning(png_structp, png_const_charp) {}

struct MemorySource {
  const unsigned char* data;
  size_t len;
  size_t pos;
};

// A request past the end yields zero bytes rather than an error; libpng then fails on
// the chunk it cannot parse.
void ReadFromMemory(png_structp png, png_bytep out, size_t n) {
  MemorySource* src = static_cast<MemorySource*>(png_get_io_ptr(png));
  std::memset(out, 0, n);
  const size_t avail = src->len - src->pos;
  const size_t take = n < avail ? n : avail;
  std::memcpy(out, src->data + src->pos, take);
  src->pos += take;
}

void RequestTransformations(png_structp png, png_infop info, int bitDepth, int colorType) {
  if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
  int alphaType = colorType;
  if (png_get_valid(png, info, PNG_INFO_tRNS)) {
    png_set_tRNS_to_alpha(png);
    alphaType |= PNG_COLOR_MASK_ALPHA;
  }
  if (bitDepth == 16) png_set_strip_16(png);
  if (bitDepth < 8) png_set_packing(png);
  if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
    png_set_gray_to_rgb(png);
  if (alphaType & PNG_COLOR_MASK_ALPHA)
    png_set_swap_alpha(png);
  else
    png_set_filler(png, 0xFF, PNG_FILLER_BEFORE);
}

// Decoded bytes alpha, red, green, blue become the pixel value.
void ReorderPixels(Raster_IBitmap* bmp) {
  const int w = bmp->getWidth(), h = bmp->getHeight(), span = bmp->getRowSpan();
  for (int y = 0; y < h; ++y) {
    unsigned char* p =
        reinterpret_cast<unsigned char*>(bmp->getBits() + static_cast<size_t>(y) * span);
    for (int x = 0; x < w; ++x, p += 4) {
      const unsigned int v = static_cast<unsigned int>(p[0]) << 24 |
                             static_cast<unsigned int>(p[1]) << 16 |
                             static_cast<unsigned int>(p[2]) << 8 | p[3];
      std::memcpy(p, &v, 4);
    }
  }
}

// Reads the image from a libpng reader whose input is set up.  Returns the target or
// null; on failure frees what it made, never the caller's bitmap.
Raster_IBitmap* Decode(png_structp png, png_infop info, Raster_IBitmap* bmp) {
  Raster_IBitmap* volatile made = nullptr;
  png_bytep* volatile rows = nullptr;
  if (setjmp(png_jmpbuf(png))) {
    std::free(rows);
    delete made;
    return nullptr;
  }
  png_read_info(png, info);
  png_uint_32 width = 0, height = 0;
  int bitDepth = 0, colorType = 0;
  png_get_IHDR(png, info, &width, &height, &bitDepth, &colorType, nullptr, nullptr, nullptr);
  RequestTransformations(png, info, bitDepth, colorType);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (width > INT_MAX || height > INT_MAX) return nullptr;

  Raster_IBitmap* target = bmp;
  if (target) {
    target->resize(static_cast<int>(width), static_cast<int>(height));
  } else {
    target = made =
        new (std::nothrow) Raster_MemBitmap(static_cast<int>(width), static_cast<int>(height), 4);
    if (!made) return nullptr;
  }
  // The row check guards the bitmap against a decoder that would produce more bytes
  // per row than four per pixel.
  if (target->getWidth() != static_cast<int>(width) ||
      target->getHeight() != static_cast<int>(height) || !target->getBits() ||
      png_get_rowbytes(png, info) > static_cast<size_t>(target->getRowSpan()) * 4) {
    delete made;
    return nullptr;
  }
  rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * height));
  if (!rows) {
    delete made;
    return nullptr;
  }
  const ptrdiff_t span = target->getRowSpan();
  unsigned int* first =
      target->isFlipped() ? target->getBits() + span * (height - 1) : target->getBits();
  const ptrdiff_t step = target->isFlipped() ? -span : span;
  for (png_uint_32 y = 0; y < height; ++y)
    rows[y] = reinterpret_cast<png_bytep>(first + step * y);
  png_read_image(png, rows);
  std::free(rows);
  ReorderPixels(target);
  return target;
}

// Runs Decode on a fresh libpng reader; `attach` sets its input.
template <class Attach>
Raster_IBitmap* DecodeWith(Raster_IBitmap* bmp, Attach&& attach) {
  png_structp png = png_create_read_struct(kLibraryVersion, nullptr, OnError, OnWarning);
  if (!png) return nullptr;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return nullptr;
  }
  attach(png);
  Raster_IBitmap* result = Decode(png, info, bmp);
  png_destroy_read_struct(&png, &info, nullptr);
  return result;
}

bool HasPNGExtension(const char* filename) {
  const char* end = filename + std::strlen(filename);
  const char* p = end;
  while (p > filename && p[-1] != '.' && p[-1] != '/' && p[-1] != '\\')
    --p;
  if (p == filename || p[-1] != '.') return false;
  return strcasecmp(p - 1, ".png") == 0;
}

class Raster_PNGLoader : public Raster_ImageLoader {
 public:
  Raster_IBitmap* loadfunc(const char* filename, bool checkFileName, Raster_IBitmap* bmp) override {
    if (!filename || (checkFileName && !HasPNGExtension(filename))) return nullptr;
    return Raster_LoadPNG(filename, bmp);
  }
  const char* get_extlist() override { return "PNG files (*.PNG)\0*.PNG\0"; }
};

Raster_PNGLoader s_pngLoader;

// The main bundle: three levels above the running program.
bool MainBundlePath(char* buf, size_t size) {
  const ssize_t n = readlink("/proc/self/exe", buf, size - 1);
  if (n <= 0 || static_cast<size_t>(n) >= size - 1) return false;
  buf[n] = '\0';
  for (int level = 0; level < 3; ++level) {
    char* slash = std::strrchr(buf, '/');
    if (!slash) return false;
    *slash = '\0';
  }
  return true;
}

}  // namespace

Raster_IBitmap* Raster_LoadPNG(const char* filename, Raster_IBitmap* bmp) {
  if (!filename) return nullptr;
  std::FILE* f = std::fopen(filename, "rb");
  if (!f) return nullptr;
  Raster_IBitmap* result = DecodeWith(bmp, [f](png_structp png) { png_init_io(png, f); });
  std::fclose(f);
  return result;
}

Raster_IBitmap* Raster_LoadPNGFromMemory(const void* data, int len, Raster_IBitmap* bmp) {
  if (!data || len < 8 || png_sig_cmp(static_cast<png_const_bytep>(data), 0, 8) != 0)
    return nullptr;
  MemorySource src{static_cast<const unsigned char*>(data), static_cast<size_t>(len), 0};
  return DecodeWith(bmp, [&src](png_structp png) { png_set_read_fn(png, &src, ReadFromMemory); });
}

Raster_IBitmap* Raster_LoadPNGFromNamedResource(const char* name, Raster_IBitmap* bmp) {
  if (!name || std::strlen(name) > 400) return nullptr;
  char bundle[1536];
  if (!MainBundlePath(bundle, sizeof(bundle))) return nullptr;
  const std::string path = std::string(bundle) + "/Contents/Resources/" + name;
  return Raster_LoadPNG(path.c_str(), bmp);
}

Raster_IBitmap* Raster_LoadPNGFromResource(void*, const char*, Raster_IBitmap*) {
  return nullptr;
}

Raster_ImageLoader* Raster_GetPNGLoader() {
  return &s_pngLoader;
}
