#include "Raster_MemBitmap.h"

#include <climits>
#include <cstdlib>

namespace {

constexpr int kSpareBytes = 63;  // room to align the pixels to 64 bytes

int AlignMask(unsigned int linealign) {
  if (linealign < 2) return 0;
  const unsigned int lowest = linealign & (~linealign + 1);
  return static_cast<int>(lowest > 16 ? 16 : lowest) - 1;
}

}  // namespace

Raster_MemBitmap::Raster_MemBitmap(int w, int h, unsigned int linealign)
    : m_linealign(AlignMask(linealign)) {
  if (w > 0 && h > 0) resize(w, h);
}

Raster_MemBitmap::~Raster_MemBitmap() {
  std::free(m_fb);
}

unsigned int* Raster_MemBitmap::getBits() {
  if (!m_fb) return nullptr;
  const uintptr_t p = (reinterpret_cast<uintptr_t>(m_fb) + 63) & ~static_cast<uintptr_t>(63);
  return reinterpret_cast<unsigned int*>(p);
}

bool Raster_MemBitmap::resize(int w, int h) {
  if (w == m_w && h == m_h) return false;
  m_w = w;
  m_h = h;
  // Computed wide: a size past INT_MAX is refused instead of wrapping to a small buffer.
  const long long span = w > 0 ? (static_cast<long long>(w) + m_linealign) & ~m_linealign : 0;
  const long long size = h > 0 ? static_cast<long long>(h) * span * 4 : 0;
  if (w > 0 && h > 0 && size > 0 && size <= INT_MAX - kSpareBytes) {
    if (m_fb && m_allocsize >= size) return true;
    if (m_fb) {
      long long grown = size / 4 * 5 + kSpareBytes;
      if (grown > INT_MAX) grown = size + kSpareBytes;
      void* p = std::realloc(m_fb, static_cast<size_t>(grown));
      if (p) {
        m_fb = p;
        m_allocsize = static_cast<int>(grown - kSpareBytes);
        return true;
      }
      std::free(m_fb);
      m_fb = nullptr;
      m_allocsize = 0;
    }
    m_fb = std::malloc(static_cast<size_t>(size + kSpareBytes));
    if (m_fb) {
      m_allocsize = static_cast<int>(size);
      return true;
    }
  } else {
    std::free(m_fb);
    m_fb = nullptr;
    m_allocsize = 0;
  }
  m_w = m_h = 0;
  return true;
}
