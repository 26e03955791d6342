#pragma once

// A floating-point RGBA canvas for drawing the editor's artwork: shapes are
// given as signed distances, so every edge gets exact anti-aliased coverage,
// and layers are composited with the "over" operator.

#include <functional>
#include <vector>

class Raster_IBitmap;

struct RGBA {
  float r = 0, g = 0, b = 0, a = 0;
};

RGBA Rgb(int hex, float alpha = 1.0f);
RGBA Mix(const RGBA& a, const RGBA& b, float t);

class Canvas {
 public:
  // w x h panel units at scale s: ScaledPixel(w) x ScaledPixel(h) pixels.
  Canvas(int w, int h, float scale = 1.0f);
  int Width() const { return mW; }
  int Height() const { return mH; }
  float Scale() const { return mS; }
  // The pixel edge a panel coordinate falls on: v * s, halves rounded up.
  int ScaledPixel(float v) const;
  RGBA& At(int x, int y) { return mPixels[static_cast<size_t>(y) * mW + x]; }

  // Composites colour over pixel (x, y) (in pixels) with the given coverage.
  void Blend(int x, int y, const RGBA& c, float coverage);
  // Paints every pixel whose centre is inside the shape: dist(x, y) is the
  // signed distance to the edge (negative inside); colour(x, y) the paint; both
  // take panel units, and the bounds x0..y1 are panel units too.
  void Paint(const std::function<float(float, float)>& dist,
             const std::function<RGBA(float, float)>& colour, float x0 = 0, float y0 = 0,
             float x1 = -1, float y1 = -1);
  void Fill(float cx, float cy, float r, const RGBA& c);
  void Ring(float cx, float cy, float r, float width, const RGBA& c);
  // An arc of the given width between two angles (radians, 0 up, clockwise).
  void Arc(float cx, float cy, float r, float width, float a0, float a1, const RGBA& c);
  void Line(float x0, float y0, float x1, float y1, float width, const RGBA& c);
  void RoundRect(float l, float t, float r, float b, float radius, const RGBA& c);
  // Text in a system face, size in panel units (s x size pixels); align 0 left,
  // 1 centre, 2 right of x.
  void Text(const char* s, float x, float y, int size, bool bold, const RGBA& c, int align,
            float tracking = 0.0f);
  // Copies the canvas into a bitmap with its top-left corner at (dstX, dstY)
  // (straight alpha, 8 bits); what falls outside the bitmap is left out.
  void ToBitmap(Raster_IBitmap* bmp, int dstX = 0, int dstY = 0) const;

 private:
  int mW, mH;
  float mS;
  std::vector<RGBA> mPixels;
};
