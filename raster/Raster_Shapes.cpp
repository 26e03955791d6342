#include <algorithm>
#include <cmath>

#include "Raster_Primitives.h"
#include "Raster_SolidOps.h"

using raster_detail::PixelView;

namespace {

constexpr double kTwoPi = 6.283185307179586;

// Runs shape(view, plot) with plot(x, y, coverage 0..256) bound to the mode's pixel
// function: anti-aliased drawing blends by coverage, plain drawing sets every pixel
// that is at least half covered.
template <class Shape>
void Paint(Raster_IBitmap* dest, unsigned int color, float alpha, int mode, bool aa,
           Shape&& shape) {
  const PixelView v = raster_detail::ViewOf(dest);
  const int w = Raster_AlphaToWeight(alpha);
  if (v.Empty() || w == 0) return;
  auto inside = [&v](int x, int y) { return x >= 0 && y >= 0 && x < v.w && y < v.h; };
  if (aa) {
    raster_detail::WithCoverageOp(mode, w, color, [&](auto op) {
      shape(v, [&](int x, int y, int c) {
        if (c > 0 && inside(x, y)) op(v.Row(y) + x, c);
      });
    });
  } else {
    raster_detail::WithSolidOp(mode, w, color, [&](auto op) {
      shape(v, [&](int x, int y, int c) {
        if (c >= 128 && inside(x, y)) op(v.Row(y) + x);
      });
    });
  }
}

// Converts after limiting to +-2^30, so far-off coordinates cannot overflow an int.
int ToInt(double d) {
  return static_cast<int>(std::max(-1073741824.0, std::min(1073741824.0, d)));
}

int Coverage(double c) {
  return !(c > 0) ? 0 : (c >= 1 ? 256 : static_cast<int>(c * 256.0));
}

// Circles with a non-finite centre or radius draw nothing.
bool Finite(double cx, double cy, double r) {
  return std::isfinite(cx) && std::isfinite(cy) && std::isfinite(r) && r >= 0;
}

// Rows and columns of the view that a disc of radius `reach` about (cx, cy) touches.
struct Box {
  int x0, x1, y0, y1;  // inclusive
};
Box BoundsOf(const PixelView& v, double cx, double cy, double reach) {
  const double lim = 1e9;
  auto clampi = [lim](double d, int lo, int hi) {
    d = std::max(-lim, std::min(lim, d));
    return static_cast<int>(std::max<double>(lo, std::min<double>(hi, d)));
  };
  return Box{clampi(std::floor(cx - reach), 0, v.w - 1), clampi(std::ceil(cx + reach), -1, v.w - 1),
             clampi(std::floor(cy - reach), 0, v.h - 1),
             clampi(std::ceil(cy + reach), -1, v.h - 1)};
}

// Clockwise angle from straight up of the point (dx, dy) relative to the centre,
// tested against [minAngle, minAngle + span].
bool InArc(double dx, double dy, double minAngle, double span) {
  if (span >= kTwoPi) return true;
  double rel = std::fmod(std::atan2(dx, -dy) - minAngle, kTwoPi);
  if (rel < 0) rel += kTwoPi;
  return rel <= span;
}

// Ring of width one pixel centred on the circle; `keep` filters by position.
template <class Keep, class Plot>
void Ring(const PixelView& v, double cx, double cy, double r, Keep&& keep, Plot&& plot) {
  if (!Finite(cx, cy, r)) return;
  const Box b = BoundsOf(v, cx, cy, r + 1.0);
  for (int y = b.y0; y <= b.y1; ++y) {
    const double dy = y - cy;
    if (std::fabs(dy) > r + 1.0) continue;
    const double outer = std::sqrt((r + 1.0) * (r + 1.0) - dy * dy);
    const double inner =
        r > 1.0 && std::fabs(dy) < r - 1.0 ? std::sqrt((r - 1) * (r - 1) - dy * dy) : -1;
    const int xa = std::max(b.x0, ToInt(std::floor(cx - outer)));
    const int xb = std::min(b.x1, ToInt(std::ceil(cx + outer)));
    const int ha = inner < 0 ? xb : ToInt(std::ceil(cx - inner));
    const int hb = inner < 0 ? xb + 1 : ToInt(std::floor(cx + inner));
    for (int x = xa; x <= xb; ++x) {
      if (x > ha && x < hb) x = hb;
      const double dx = x - cx;
      const int c = Coverage(1.0 - std::fabs(std::sqrt(dx * dx + dy * dy) - r));
      if (c > 0 && keep(dx, dy, x, y)) plot(x, y, c);
    }
  }
}

template <class Plot>
void Disc(const PixelView& v, double cx, double cy, double r, Plot&& plot) {
  if (!Finite(cx, cy, r)) return;
  const Box b = BoundsOf(v, cx, cy, r + 1.0);
  for (int y = b.y0; y <= b.y1; ++y) {
    const double dy = y - cy;
    for (int x = b.x0; x <= b.x1; ++x) {
      const double dx = x - cx;
      plot(x, y, Coverage(r + 0.5 - std::sqrt(dx * dx + dy * dy)));
    }
  }
}

// Scanline fill sampling pixel centres at half-pixel offsets: row y is covered where
// y + 0.5 lies within an edge's vertical extent, between the leftmost and rightmost
// crossings.
template <class Span>
void Polygon(const PixelView& v, const int* xs, const int* ys, int n, Span&& span) {
  if (!xs || !ys || n < 3) return;
  const int ymin = std::max(0, *std::min_element(ys, ys + n));
  const int ymax = std::min(v.h, *std::max_element(ys, ys + n));
  for (int y = ymin; y < ymax; ++y) {
    const double yc = y + 0.5;
    double lo = 1e18, hi = -1e18;
    for (int i = 0; i < n; ++i) {
      const double xa = xs[i], ya = ys[i], xb = xs[(i + 1) % n], yb = ys[(i + 1) % n];
      if (ya == yb || yc < std::min(ya, yb) || yc >= std::max(ya, yb)) continue;
      const double x = xa + (yc - ya) * (xb - xa) / (yb - ya);
      lo = std::min(lo, x), hi = std::max(hi, x);
    }
    if (hi < lo) continue;
    const double left = std::max(0.0, std::ceil(lo - 0.5)),
                 right = std::min<double>(v.w, std::ceil(hi - 0.5));
    if (right > left) span(y, static_cast<int>(left), static_cast<int>(right));
  }
}

void FillPolygon(Raster_IBitmap* dest, const int* xs, const int* ys, int n, unsigned int color,
                 float alpha, int mode) {
  const PixelView v = raster_detail::ViewOf(dest);
  const int w = Raster_AlphaToWeight(alpha);
  if (v.Empty() || w == 0) return;
  raster_detail::WithSolidOp(mode, w, color, [&](auto op) {
    Polygon(v, xs, ys, n, [&](int y, int x0, int x1) {
      unsigned int* row = v.Row(y);
      for (int x = x0; x < x1; ++x)
        op(row + x);
    });
  });
}

auto AllPositions = [](double, double, int, int) { return true; };

}  // namespace

void Raster_Circle(Raster_IBitmap* dest, float cx, float cy, float r, unsigned int color,
                   float alpha, int mode, bool aa) {
  Paint(dest, color, alpha, mode, aa,
        [&](const PixelView& v, auto plot) { Ring(v, cx, cy, r, AllPositions, plot); });
}

void Raster_Arc(Raster_IBitmap* dest, float cx, float cy, float r, float minAngle, float maxAngle,
                unsigned int color, float alpha, int mode, bool aa) {
  double lo = minAngle, span = static_cast<double>(maxAngle) - minAngle;
  if (span < 0) lo = maxAngle, span = -span;
  Paint(dest, color, alpha, mode, aa, [&](const PixelView& v, auto plot) {
    Ring(
        v, cx, cy, r, [&](double dx, double dy, int, int) { return InArc(dx, dy, lo, span); },
        plot);
  });
}

void Raster_FillCircle(Raster_IBitmap* dest, float cx, float cy, float r, unsigned int color,
                       float alpha, int mode, bool aa) {
  Paint(dest, color, alpha, mode, aa,
        [&](const PixelView& v, auto plot) { Disc(v, cx, cy, r, plot); });
}

void Raster_RoundRect(Raster_IBitmap* dest, float x, float y, float w, float h, int cornerradius,
                      unsigned int color, float alpha, int mode, bool aa) {
  const int left = ToInt(std::round(x)), top = ToInt(std::round(y));
  const int right = left + ToInt(std::round(w)) - 1;
  const int bottom = top + ToInt(std::round(h)) - 1;
  if (right < left || bottom < top) return;
  const int cr = std::max(0, std::min(cornerradius, std::min(right - left, bottom - top) / 2));
  Paint(dest, color, alpha, mode, aa, [&](const PixelView& v, auto plot) {
    // Straight edges, walked only where they cross the bitmap.
    for (int px = std::max(left + cr, 0); px <= std::min(right - cr, v.w - 1); ++px) {
      plot(px, top, 256);
      if (bottom != top) plot(px, bottom, 256);
    }
    for (int py = std::max(top + cr, 0); py <= std::min(bottom - cr, v.h - 1); ++py) {
      if (cr == 0 && (py == top || py == bottom)) continue;
      plot(left, py, 256);
      if (right != left) plot(right, py, 256);
    }
    if (cr == 0) return;
    // Each corner keeps the quadrant outside the straight edges.
    const int cxs[2] = {left + cr, right - cr}, cys[2] = {top + cr, bottom - cr};
    for (int i = 0; i < 2; ++i)
      for (int j = 0; j < 2; ++j) {
        const int ccx = cxs[i], ccy = cys[j];
        Ring(
            v, ccx, ccy, cr,
            [&](double, double, int px, int py) {
              return (i == 0 ? px < ccx : px > ccx) && (j == 0 ? py < ccy : py > ccy);
            },
            plot);
      }
  });
}

void Raster_FillTrapezoid(Raster_IBitmap* dest, int x1l, int x1r, int y1, int x2l, int x2r, int y2,
                          unsigned int color, float alpha, int mode) {
  const int xs[4] = {x1l, x1r, x2r, x2l}, ys[4] = {y1, y1, y2, y2};
  FillPolygon(dest, xs, ys, 4, color, alpha, mode);
}

void Raster_FillTriangle(Raster_IBitmap* dest, int x1, int y1, int x2, int y2, int x3, int y3,
                         unsigned int color, float alpha, int mode) {
  const int xs[3] = {x1, x2, x3}, ys[3] = {y1, y2, y3};
  FillPolygon(dest, xs, ys, 3, color, alpha, mode);
}

void Raster_FillConvexPolygon(Raster_IBitmap* dest, const int* x, const int* y, int npoints,
                              unsigned int color, float alpha, int mode) {
  FillPolygon(dest, x, y, npoints, color, alpha, mode);
}
