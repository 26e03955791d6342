#include "Canvas.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "GdiContext.h"
#include "GdiText.h"
#include "Raster_IBitmap.h"
#include "Raster_SysBitmap.h"

RGBA Rgb(int hex, float alpha) {
  RGBA c;
  c.r = ((hex >> 16) & 255) / 255.0f;
  c.g = ((hex >> 8) & 255) / 255.0f;
  c.b = (hex & 255) / 255.0f;
  c.a = alpha;
  return c;
}

RGBA Mix(const RGBA& a, const RGBA& b, float t) {
  RGBA c;
  c.r = a.r + (b.r - a.r) * t;
  c.g = a.g + (b.g - a.g) * t;
  c.b = a.b + (b.b - a.b) * t;
  c.a = a.a + (b.a - a.a) * t;
  return c;
}

Canvas::Canvas(int w, int h, float scale)
    : mW(static_cast<int>(std::floor(w * scale + 0.5f))),
      mH(static_cast<int>(std::floor(h * scale + 0.5f))),
      mS(scale),
      mPixels(static_cast<size_t>(mW) * mH) {}

int Canvas::ScaledPixel(float v) const {
  return static_cast<int>(std::floor(v * mS + 0.5f));
}

void Canvas::Blend(int x, int y, const RGBA& c, float coverage) {
  if (x < 0 || y < 0 || x >= mW || y >= mH) return;
  float a = c.a * std::min(1.0f, std::max(0.0f, coverage));
  if (a <= 0.0f) return;
  RGBA& d = At(x, y);
  float outA = a + d.a * (1.0f - a);
  if (outA <= 0.0f) return;
  d.r = (c.r * a + d.r * d.a * (1.0f - a)) / outA;
  d.g = (c.g * a + d.g * d.a * (1.0f - a)) / outA;
  d.b = (c.b * a + d.b * d.a * (1.0f - a)) / outA;
  d.a = outA;
}

// Coverage from the signed distance at the pixel centre: a ramp one pixel wide
// at the canvas's own scale.
void Canvas::Paint(const std::function<float(float, float)>& dist,
                   const std::function<RGBA(float, float)>& colour, float x0, float y0, float x1,
                   float y1) {
  int px0 = static_cast<int>(std::floor(x0 * mS)), py0 = static_cast<int>(std::floor(y0 * mS));
  int px1 = x1 < 0 ? mW : static_cast<int>(std::ceil(x1 * mS));
  int py1 = y1 < 0 ? mH : static_cast<int>(std::ceil(y1 * mS));
  for (int y = std::max(0, py0); y < std::min(mH, py1); ++y) {
    for (int x = std::max(0, px0); x < std::min(mW, px1); ++x) {
      float px = (x + 0.5f) / mS, py = (y + 0.5f) / mS;
      float cov = 0.5f - dist(px, py) * mS;
      if (cov > 0.0f) Blend(x, y, colour(px, py), cov);
    }
  }
}

static float Lo(float v) {
  return std::floor(v) - 2;
}
static float Hi(float v) {
  return std::ceil(v) + 2;
}

void Canvas::Fill(float cx, float cy, float r, const RGBA& c) {
  Paint([=](float x, float y) { return std::hypot(x - cx, y - cy) - r; },
        [=](float, float) { return c; }, Lo(cx - r), Lo(cy - r), Hi(cx + r), Hi(cy + r));
}

void Canvas::Ring(float cx, float cy, float r, float width, const RGBA& c) {
  Paint([=](float x, float y) { return std::fabs(std::hypot(x - cx, y - cy) - r) - width / 2; },
        [=](float, float) { return c; }, Lo(cx - r - width), Lo(cy - r - width), Hi(cx + r + width),
        Hi(cy + r + width));
}

static float SegmentDistance(float px, float py, float x0, float y0, float x1, float y1) {
  float dx = x1 - x0, dy = y1 - y0;
  float len2 = dx * dx + dy * dy;
  float t = len2 > 0 ? ((px - x0) * dx + (py - y0) * dy) / len2 : 0.0f;
  t = std::min(1.0f, std::max(0.0f, t));
  return std::hypot(px - (x0 + t * dx), py - (y0 + t * dy));
}

// Round caps: the distance to the arc's centre line, clamped to its end points.
void Canvas::Arc(float cx, float cy, float r, float width, float a0, float a1, const RGBA& c) {
  if (a1 < a0) std::swap(a0, a1);
  auto dist = [=](float x, float y) {
    float ang = std::atan2(x - cx, -(y - cy));
    if (ang >= a0 && ang <= a1) return std::fabs(std::hypot(x - cx, y - cy) - r) - width / 2;
    float ex0 = cx + r * std::sin(a0), ey0 = cy - r * std::cos(a0);
    float ex1 = cx + r * std::sin(a1), ey1 = cy - r * std::cos(a1);
    return std::min(std::hypot(x - ex0, y - ey0), std::hypot(x - ex1, y - ey1)) - width / 2;
  };
  Paint(
      dist, [=](float, float) { return c; }, Lo(cx - r - width), Lo(cy - r - width),
      Hi(cx + r + width), Hi(cy + r + width));
}

void Canvas::Line(float x0, float y0, float x1, float y1, float width, const RGBA& c) {
  Paint([=](float x, float y) { return SegmentDistance(x, y, x0, y0, x1, y1) - width / 2; },
        [=](float, float) { return c; }, Lo(std::min(x0, x1) - width), Lo(std::min(y0, y1) - width),
        Hi(std::max(x0, x1) + width), Hi(std::max(y0, y1) + width));
}

void Canvas::RoundRect(float l, float t, float r, float b, float radius, const RGBA& c) {
  auto dist = [=](float x, float y) {
    float qx = std::fabs(x - (l + r) / 2) - ((r - l) / 2 - radius);
    float qy = std::fabs(y - (t + b) / 2) - ((b - t) / 2 - radius);
    float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f) - radius;
  };
  Paint(
      dist, [=](float, float) { return c; }, Lo(l), Lo(t), Hi(r), Hi(b));
}

// The system draws white text onto a cleared context; its red channel is the
// coverage.  Letter spacing adds tracking after each character; each character
// sits at its exact pen position, rounded once, so the face's spacing is kept.
void Canvas::Text(const char* s, float x, float y, int panelSize, bool bold, const RGBA& c,
                  int align, float tracking) {
  int size = static_cast<int>(std::lround(panelSize * mS));
  x *= mS;
  y *= mS;
  tracking *= mS;
  HFONT font = CreateFont(size, 0, 0, 0, bold ? 700 : 400, 0, 0, 0, 0, 0, 0, 4, 0, "DejaVu Sans");
  if (!font) return;
  int n = static_cast<int>(std::strlen(s));
  Raster_SysBitmap scratch(8 * size * (n + 1) + 16, 2 * size + 8);
  HDC dc = scratch.getDC();
  HGDIOBJ old = SelectObject(dc, font);
  SetTextColor(dc, RGB(255, 255, 255));
  SetBkMode(dc, TRANSPARENT);
  // Pen positions in pixels, as the system moves its pen through the string.
  std::vector<float> at(n + 1, 0.0f);
  GdiPenStep step;
  bool wholePixels = true;
  for (int i = 0; i < n; ++i) {
    GdiCharPlacement c = {};
    Gdi_GetCharPlacement(dc, static_cast<unsigned char>(s[i]), &c);
    wholePixels = wholePixels && c.advance64 % 64 == 0;
    step.Place(c);
    at[i] = (step.pen64 - c.advance64) / 64.0f;
    at[i + 1] = step.pen64 / 64.0f;
  }
  // Small text hinted to whole-pixel advances gets whole-pixel letter spacing, so
  // every gap grows alike.
  if (wholePixels) tracking = std::round(tracking);
  float total = at[n] + tracking * (n - 1);
  float start = align == 1 ? x - total / 2 : (align == 2 ? x - total : x);
  for (int i = 0; i < n; ++i) {
    std::memset(scratch.getBits(), 0,
                sizeof(unsigned int) * scratch.getRowSpan() * scratch.getHeight());
    float pen = start + at[i] + tracking * i;
    int left = static_cast<int>(std::lround(pen));
    RECT r = {4, 4, scratch.getWidth(), scratch.getHeight()};
    Gdi_DrawText(dc, s + i, 1, &r, DT_NOPREFIX | DT_SINGLELINE | DT_NOCLIP);
    int ox = left - 4, oy = static_cast<int>(std::floor(y)) - 4;
    for (int sy = 0; sy < scratch.getHeight(); ++sy) {
      for (int sx = 0; sx < 4 * size + 8 && sx < scratch.getWidth(); ++sx) {
        unsigned int p = scratch.getBits()[sy * scratch.getRowSpan() + sx];
        float cov = ((p >> 16) & 255) / 255.0f;
        if (cov > 0.0f) Blend(ox + sx, oy + sy, c, cov);
      }
    }
  }
  SelectObject(dc, old);
  DeleteObject(font);
}

void Canvas::ToBitmap(Raster_IBitmap* bmp, int dstX, int dstY) const {
  unsigned int* bits = bmp->getBits();
  int span = bmp->getRowSpan();
  auto q = [](float v) {
    int i = static_cast<int>(std::lround(std::min(1.0f, std::max(0.0f, v)) * 255.0f));
    return static_cast<unsigned int>(i);
  };
  for (int y = 0; y < mH && y + dstY < bmp->getHeight(); ++y) {
    for (int x = 0; x < mW && x + dstX < bmp->getWidth(); ++x) {
      const RGBA& p = mPixels[static_cast<size_t>(y) * mW + x];
      bits[(y + dstY) * span + x + dstX] = (q(p.a) << 24) | (q(p.r) << 16) | (q(p.g) << 8) | q(p.b);
    }
  }
}
