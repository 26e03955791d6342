#include <algorithm>
#include <cmath>
#include <vector>

#include "Raster_Primitives.h"
#include "Raster_SolidOps.h"

using raster_detail::PixelView;

namespace {

struct Pt {
  double x, y;
};
bool operator==(const Pt& a, const Pt& b) {
  return a.x == b.x && a.y == b.y;
}

// A Bézier curve of N control points (3 quadratic, 4 cubic).
template <int N>
struct Curve {
  Pt p[N];
};

constexpr int kMaxDepth = 40;
constexpr double kStep = 0.5;        // drawn curves: control polygon at most this long
constexpr double kFlatness = 0.125;  // filled curves: control points this close to the chord

// De Casteljau halving; with dyadic coordinates it is exact, so a curve split at 1/2
// walks the same points as its two halves.
template <int N>
void Halve(const Curve<N>& c, Curve<N>* a, Curve<N>* b) {
  Pt row[N];
  std::copy(c.p, c.p + N, row);
  for (int level = 0; level < N; ++level) {
    a->p[level] = row[0];
    b->p[N - 1 - level] = row[N - 1 - level];
    for (int i = 0; i + 1 < N - level; ++i)
      row[i] = Pt{(row[i].x + row[i + 1].x) * 0.5, (row[i].y + row[i + 1].y) * 0.5};
  }
}

template <int N>
double HullLength(const Curve<N>& c) {
  double len = 0;
  for (int i = 0; i + 1 < N; ++i)
    len += std::hypot(c.p[i + 1].x - c.p[i].x, c.p[i + 1].y - c.p[i].y);
  return len;
}

template <int N>
double ChordDistance(const Curve<N>& c) {
  const double dx = c.p[N - 1].x - c.p[0].x, dy = c.p[N - 1].y - c.p[0].y;
  const double len = std::hypot(dx, dy);
  double worst = 0;
  for (int i = 1; i + 1 < N; ++i) {
    const double ex = c.p[i].x - c.p[0].x, ey = c.p[i].y - c.p[0].y;
    worst = std::max(worst, len > 0 ? std::fabs(ex * dy - ey * dx) / len : std::hypot(ex, ey));
  }
  return worst;
}

// v limited to [lo, hi], then an int.
int Within(double v, int lo, int hi) {
  return static_cast<int>(std::max<double>(lo, std::min<double>(hi, v)));
}

// The area the drawing can touch: the view widened by a margin.
struct Area {
  double l, t, r, b;
};

template <int N>
bool Touches(const Curve<N>& c, const Area& a) {
  double l = c.p[0].x, r = l, t = c.p[0].y, b = t;
  for (const Pt& q : c.p)
    l = std::min(l, q.x), r = std::max(r, q.x), t = std::min(t, q.y), b = std::max(b, q.y);
  return r >= a.l && l <= a.r && b >= a.t && t <= a.b;
}

template <int N>
bool FiniteCurve(const Curve<N>& c) {
  for (const Pt& q : c.p)
    if (!std::isfinite(q.x) || !std::isfinite(q.y)) return false;
  return true;
}

// Emits the curve as points in order, halving until each piece is short (drawing) or
// flat (filling).  Pieces outside the area are skipped: a drawn curve restarts after
// them (emit(point, true)), a filled one goes straight to their end.
template <int N, class Emit>
void Flatten(const Curve<N>& c, const Area& area, bool fill, int depth, bool* broken, Emit& emit) {
  const bool outside = !Touches(c, area);
  if (outside && fill) return emit(c.p[N - 1], false);
  if (outside) {
    *broken = true;
    return;
  }
  const bool done = fill ? ChordDistance(c) <= kFlatness : HullLength(c) <= kStep;
  if (done || depth >= kMaxDepth) {
    if (*broken) emit(c.p[0], true);
    *broken = false;
    return emit(c.p[N - 1], false);
  }
  Curve<N> a, b;
  Halve(c, &a, &b);
  Flatten(a, area, fill, depth + 1, broken, emit);
  Flatten(b, area, fill, depth + 1, broken, emit);
}

// The pixel cells a drawn curve passes, thinned to one pixel per step: a cell that
// only cuts the corner between two diagonal neighbours is dropped, unless the curve
// passes exactly through its centre (so pieces meeting there keep it, as the whole
// does).  Two cells are pending; earlier ones are final and plotted.
class PixelChain {
 public:
  template <class Plot>
  void Add(long long x, long long y, bool pinned, Plot& plot) {
    const Cell c{x, y, pinned};
    if (n_ > 0 && Same(c, p_[n_ - 1])) {
      p_[n_ - 1].pinned |= pinned;
    } else if (n_ == 2 && Same(c, p_[0]) && !p_[1].pinned) {
      n_ = 1;
      p_[0].pinned |= pinned;
    } else if (n_ == 2 && Touching(p_[0], c) && !p_[1].pinned) {
      p_[1] = c;
    } else if (n_ == 2) {
      plot(p_[0].x, p_[0].y);
      p_[0] = p_[1];
      p_[1] = c;
    } else {
      p_[n_++] = c;
    }
  }
  template <class Plot>
  void Finish(Plot& plot) {
    for (int i = 0; i < n_; ++i)
      plot(p_[i].x, p_[i].y);
    n_ = 0;
  }

 private:
  struct Cell {
    long long x, y;
    bool pinned;
  };
  static bool Same(const Cell& a, const Cell& b) { return a.x == b.x && a.y == b.y; }
  static bool Touching(const Cell& a, const Cell& b) {
    return std::llabs(a.x - b.x) <= 1 && std::llabs(a.y - b.y) <= 1;
  }
  Cell p_[2] = {};
  int n_ = 0;
};

// Pieces of a far-reaching curve can end far outside: positions are limited before
// they become integers.
long long Nearest(double v) {
  return static_cast<long long>(std::max(-1e15, std::min(1e15, std::floor(v + 0.5))));
}

template <int N, class Plot>
void ThinCurve(const PixelView& v, const Curve<N>& c, Plot&& plot) {
  const Area area{-3.0, -3.0, v.w + 2.0, v.h + 2.0};
  PixelChain chain;
  auto inside = [&](long long x, long long y) {
    if (x >= 0 && y >= 0 && x < v.w && y < v.h) plot(static_cast<int>(x), static_cast<int>(y));
  };
  auto emit = [&](const Pt& q, bool restart) {
    if (restart) chain.Finish(inside);
    const bool pinned =
        q == c.p[0] || q == c.p[N - 1] || (q.x == std::floor(q.x) && q.y == std::floor(q.y));
    chain.Add(Nearest(q.x), Nearest(q.y), pinned, inside);
  };
  bool broken = true;
  Flatten(c, area, false, 0, &broken, emit);
  chain.Finish(inside);
}

// Anti-aliased curves: each pixel's coverage is 1 minus its distance to the flattened
// curve, the largest over all pieces, gathered first so no pixel is blended twice.  The
// ends are cut square, the last point excluded, so curves continuing one another join
// without a doubled seam.
class CoverageBuffer {
 public:
  CoverageBuffer(int x0, int y0, int x1, int y1)
      : x0_(x0),
        y0_(y0),
        x1_(x1),
        y1_(y1),
        w_(x1 - x0 + 1),
        cover_(static_cast<size_t>(w_) * (y1 - y0 + 1), 0) {}

  // The segment a-b; `first` and `last` mark the curve's own ends.
  void Segment(const Pt& a, const Pt& b, bool first, bool last) {
    const double dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
    const int px0 = Within(std::floor(std::min(a.x, b.x)) - 1, x0_, x1_ + 1);
    const int px1 = Within(std::ceil(std::max(a.x, b.x)) + 1, x0_ - 1, x1_);
    const int py0 = Within(std::floor(std::min(a.y, b.y)) - 1, y0_, y1_ + 1);
    const int py1 = Within(std::ceil(std::max(a.y, b.y)) + 1, y0_ - 1, y1_);
    for (int y = py0; y <= py1; ++y)
      for (int x = px0; x <= px1; ++x) {
        const double s = len2 > 0 ? ((x - a.x) * dx + (y - a.y) * dy) / len2 : 0.0;
        if ((first && s < 0) || (last && len2 > 0 && s >= 1)) continue;
        const double sc = std::max(0.0, std::min(1.0, s));
        const double d = std::hypot(x - a.x - sc * dx, y - a.y - sc * dy);
        if (d >= 1.0) continue;
        unsigned short& cv = cover_[static_cast<size_t>(y - y0_) * w_ + (x - x0_)];
        cv = std::max(cv, static_cast<unsigned short>((1.0 - d) * 256.0));
      }
  }
  template <class Plot>
  void ForEach(Plot& plot) const {
    for (int y = y0_; y <= y1_; ++y)
      for (int x = x0_; x <= x1_; ++x)
        if (const int cv = cover_[static_cast<size_t>(y - y0_) * w_ + (x - x0_)]) plot(x, y, cv);
  }

 private:
  int x0_, y0_, x1_, y1_, w_;
  std::vector<unsigned short> cover_;
};

template <int N, class Plot>
void SmoothCurve(const PixelView& v, const Curve<N>& c, Plot&& plot) {
  double l = c.p[0].x, t = c.p[0].y, r = l, b = t;
  for (const Pt& q : c.p)
    l = std::min(l, q.x), r = std::max(r, q.x), t = std::min(t, q.y), b = std::max(b, q.y);
  const int x0 = static_cast<int>(std::max(0.0, std::floor(l) - 1));
  const int y0 = static_cast<int>(std::max(0.0, std::floor(t) - 1));
  const int x1 = static_cast<int>(std::min(v.w - 1.0, std::ceil(r) + 1));
  const int y1 = static_cast<int>(std::min(v.h - 1.0, std::ceil(b) + 1));
  if (x1 < x0 || y1 < y0) return;
  CoverageBuffer cover(x0, y0, x1, y1);
  Pt prev{0, 0};
  auto emit = [&](const Pt& q, bool restart) {
    if (!restart) cover.Segment(prev, q, prev == c.p[0], q == c.p[N - 1]);
    prev = q;
  };
  bool broken = true;
  Flatten(c, Area{-3.0, -3.0, v.w + 2.0, v.h + 2.0}, false, 0, &broken, emit);
  cover.ForEach(plot);
}

template <int N>
void DrawCurve(Raster_IBitmap* dest, const Curve<N>& c, unsigned int color, float alpha, int mode,
               bool aa) {
  const PixelView v = raster_detail::ViewOf(dest);
  const int w = Raster_AlphaToWeight(alpha);
  if (v.Empty() || w == 0 || !FiniteCurve(c)) return;
  if (aa) {
    raster_detail::WithCoverageOp(mode, w, color, [&](auto op) {
      SmoothCurve(v, c, [&](int x, int y, int cv) { op(v.Row(y) + x, cv); });
    });
  } else {
    raster_detail::WithSolidOp(
        mode, w, color, [&](auto op) { ThinCurve(v, c, [&](int x, int y) { op(v.Row(y) + x); }); });
  }
}

// Scanline fill of a closed polygon by the non-zero winding rule, sampling pixel
// centres at half-pixel offsets.  Each edge's crossing is computed from its end points
// taken top first, so shapes that share an edge split its pixels without gap or overlap.
template <class Span>
void FillWinding(const PixelView& v, const std::vector<Pt>& poly, Span&& span) {
  const size_t n = poly.size();
  if (n < 3) return;
  double top = poly[0].y, bottom = poly[0].y;
  for (const Pt& q : poly)
    top = std::min(top, q.y), bottom = std::max(bottom, q.y);
  const int y0 = static_cast<int>(std::max(0.0, std::floor(top)));
  const int y1 = static_cast<int>(std::min(v.h - 1.0, std::ceil(bottom)));
  std::vector<std::pair<double, int>> cross;
  for (int y = y0; y <= y1; ++y) {
    const double yc = y + 0.5;
    cross.clear();
    for (size_t i = 0; i < n; ++i) {
      Pt a = poly[i], b = poly[(i + 1) % n];
      if (a.y == b.y) continue;
      const int dir = a.y < b.y ? 1 : -1;
      if (dir < 0) std::swap(a, b);
      if (yc < a.y || yc >= b.y) continue;
      cross.emplace_back(a.x + (yc - a.y) * (b.x - a.x) / (b.y - a.y), dir);
    }
    std::sort(cross.begin(), cross.end());
    int winding = 0;
    for (size_t i = 0; i + 1 < cross.size(); ++i) {
      winding += cross[i].second;
      if (winding == 0) continue;
      const double l = std::max(0.0, std::ceil(cross[i].first - 0.5));
      const double r = std::min<double>(v.w, std::ceil(cross[i + 1].first - 0.5));
      if (r > l) span(y, static_cast<int>(l), static_cast<int>(r));
    }
  }
}

}  // namespace

void Raster_DrawQBezier(Raster_IBitmap* dest, float x1, float y1, float cx, float cy, float x2,
                        float y2, unsigned int color, float alpha, int mode, bool aa) {
  DrawCurve(dest, Curve<3>{{{x1, y1}, {cx, cy}, {x2, y2}}}, color, alpha, mode, aa);
}

void Raster_DrawCBezier(Raster_IBitmap* dest, float x1, float y1, float c1x, float c1y, float c2x,
                        float c2y, float x2, float y2, unsigned int color, float alpha, int mode,
                        bool aa) {
  DrawCurve(dest, Curve<4>{{{x1, y1}, {c1x, c1y}, {c2x, c2y}, {x2, y2}}}, color, alpha, mode, aa);
}

void Raster_FillCBezier(Raster_IBitmap* dest, float x1, float y1, float c1x, float c1y, float c2x,
                        float c2y, float x2, float y2, float baseY, unsigned int color, float alpha,
                        int mode) {
  const PixelView v = raster_detail::ViewOf(dest);
  const int w = Raster_AlphaToWeight(alpha);
  const Curve<4> c{{{x1, y1}, {c1x, c1y}, {c2x, c2y}, {x2, y2}}};
  if (v.Empty() || w == 0 || !FiniteCurve(c) || !std::isfinite(baseY)) return;
  std::vector<Pt> poly{c.p[0]};
  auto emit = [&](const Pt& q, bool restart) {
    if (!restart) poly.push_back(q);
  };
  bool broken = false;
  Flatten(c, Area{-1.0, -1.0, v.w + 1.0, v.h + 1.0}, true, 0, &broken, emit);
  poly.push_back(Pt{x2, baseY});
  poly.push_back(Pt{x1, baseY});
  raster_detail::WithSolidOp(mode, w, color, [&](auto op) {
    FillWinding(v, poly, [&](int y, int l, int r) {
      unsigned int* row = v.Row(y);
      for (int x = l; x < r; ++x)
        op(row + x);
    });
  });
}
