#include "Raster_SysBitmap.h"

#include "GdiContext.h"

Raster_SysBitmap::Raster_SysBitmap(int w, int h) {
  resize(w, h);
}

Raster_SysBitmap::~Raster_SysBitmap() {
  if (m_dc) Gdi_DeleteGfxContext(m_dc);
}

bool Raster_SysBitmap::resize(int w, int h) {
  if (w == m_w && h == m_h) return false;
  if (m_bits && w > 0 && h > 0 && w <= m_allocw && h <= m_alloch) {
    m_w = w;
    m_h = h;
    return true;
  }
  if (m_dc) Gdi_DeleteGfxContext(m_dc);
  m_dc = nullptr;
  m_bits = nullptr;
  m_allocw = m_alloch = 0;
  m_w = m_h = 0;
  if (h <= 0 || w < 1 || w > 2147483644) return false;
  const int span = (w + 3) & ~3;
  m_dc = Gdi_CreateMemContext(nullptr, span, h);
  if (m_dc) m_bits = static_cast<unsigned int*>(Gdi_GetCtxFrameBuffer(m_dc));
  if (!m_bits) return true;
  m_allocw = span;
  m_alloch = h;
  m_w = w;
  m_h = h;
  return true;
}
