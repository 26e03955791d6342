#include "Raster_PNGWrite.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>

namespace {

void OnError(png_structp png, png_const_charp) {
  png_longjmp(png, 1);
}
void OnWarning(png_structp, png_const_charp) {}

void AppendToVector(png_structp png, png_bytep data, size_t n) {
  auto* out = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + n);
}
void NoFlush(png_structp) {}

int Channels(int colorType) {
  switch (colorType) {
    case PNG_COLOR_TYPE_RGB:
      return 3;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
      return 2;
    case PNG_COLOR_TYPE_RGB_ALPHA:
      return 4;
    default:
      return 1;
  }
}

size_t RowBytes(const Raster_PNGImage& image) {
  return (static_cast<size_t>(image.width) * Channels(image.colorType) * image.bitDepth + 7) / 8;
}

void SetHeader(png_structp png, png_infop info, const Raster_PNGImage& image) {
  png_set_IHDR(png, info, static_cast<png_uint_32>(image.width),
               static_cast<png_uint_32>(image.height), image.bitDepth, image.colorType,
               image.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (image.colorType == PNG_COLOR_TYPE_PALETTE && !image.palette.empty()) {
    png_color entries[256];
    const int n = static_cast<int>(image.palette.size() / 3 > 256 ? 256 : image.palette.size() / 3);
    for (int i = 0; i < n; ++i)
      entries[i] =
          png_color{image.palette[3 * i], image.palette[3 * i + 1], image.palette[3 * i + 2]};
    png_set_PLTE(png, info, entries, n);
  }
  if (image.trns.empty()) return;
  if (image.colorType == PNG_COLOR_TYPE_PALETTE) {
    png_byte alpha[256];
    const int n = static_cast<int>(image.trns.size() > 256 ? 256 : image.trns.size());
    for (int i = 0; i < n; ++i)
      alpha[i] = static_cast<png_byte>(image.trns[i]);
    png_set_tRNS(png, info, alpha, n, nullptr);
  } else {
    png_color_16 colour = {};
    colour.gray = image.trns[0];
    if (image.trns.size() >= 3)
      colour.red = image.trns[0], colour.green = image.trns[1], colour.blue = image.trns[2];
    png_set_tRNS(png, info, nullptr, 0, &colour);
  }
}

// Writes through a libpng writer whose output is set up; false on any libpng error.
bool Encode(png_structp png, png_infop info, const Raster_PNGImage& image) {
  png_bytep* volatile rows = nullptr;
  if (setjmp(png_jmpbuf(png))) {
    std::free(rows);
    return false;
  }
  SetHeader(png, info, image);
  rows = static_cast<png_bytep*>(
      std::malloc(sizeof(png_bytep) * (image.height > 0 ? image.height : 1)));
  if (!rows) return false;
  const size_t rowBytes = RowBytes(image);
  for (int y = 0; y < image.height; ++y)
    rows[y] = const_cast<png_bytep>(image.rows.data() + rowBytes * y);
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, nullptr);
  std::free(rows);
  return true;
}

}  // namespace

bool Raster_EncodePNG(const Raster_PNGImage& image, std::vector<unsigned char>* out) {
  if (!out || image.width <= 0 || image.height <= 0 ||
      image.rows.size() < RowBytes(image) * static_cast<size_t>(image.height))
    return false;
  out->clear();
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  bool ok = false;
  if (info) {
    png_set_write_fn(png, out, AppendToVector, NoFlush);
    ok = Encode(png, info, image);
  }
  png_destroy_write_struct(&png, info ? &info : nullptr);
  return ok;
}

bool Raster_EncodePNG(Raster_IBitmap* bmp, std::vector<unsigned char>* out) {
  if (!bmp || !bmp->getBits()) return false;
  Raster_PNGImage image;
  image.width = bmp->getWidth();
  image.height = bmp->getHeight();
  image.rows.resize(static_cast<size_t>(image.width) * image.height * 4);
  unsigned char* p = image.rows.data();
  for (int y = 0; y < image.height; ++y) {
    const int row = bmp->isFlipped() ? image.height - 1 - y : y;
    const unsigned int* src = bmp->getBits() + static_cast<size_t>(row) * bmp->getRowSpan();
    for (int x = 0; x < image.width; ++x, p += 4) {
      p[0] = static_cast<unsigned char>(src[x] >> 16);
      p[1] = static_cast<unsigned char>(src[x] >> 8);
      p[2] = static_cast<unsigned char>(src[x]);
      p[3] = static_cast<unsigned char>(src[x] >> 24);
    }
  }
  return Raster_EncodePNG(image, out);
}

bool Raster_WritePNG(const char* filename, Raster_IBitmap* bmp) {
  std::vector<unsigned char> bytes;
  if (!filename || !Raster_EncodePNG(bmp, &bytes)) return false;
  std::FILE* f = std::fopen(filename, "wb");
  if (!f) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && written;
}
