#include <algorithm>
#include <cmath>

#include "Raster_LineWalk.h"
#include "Raster_Primitives.h"

using raster_detail::MajorLine;

namespace {

// First major step in [lo, hi] at which pred holds, for pred false then true; hi + 1
// when it never holds.
template <class Pred>
long long FirstTrue(long long lo, long long hi, Pred&& pred) {
  while (lo <= hi) {
    const long long mid = lo + (hi - lo) / 2;
    if (pred(static_cast<int>(mid)))
      hi = mid - 1;
    else
      lo = mid + 1;
  }
  return lo;
}

}  // namespace

bool Raster_ClipLine(int* x1, int* y1, int* x2, int* y2, const RECT* clip) {
  if (!x1 || !y1 || !x2 || !y2 || !clip) return false;
  if (clip->right <= clip->left || clip->bottom <= clip->top) return false;
  if (*x1 == *x2 && *y1 == *y2)
    return *x1 >= clip->left && *x1 < clip->right && *y1 >= clip->top && *y1 < clip->bottom;
  const MajorLine l(*x1, *y1, *x2, *y2);
  const int majorLo = l.steep ? clip->top : clip->left;
  const int majorHi = (l.steep ? clip->bottom : clip->right) - 1;
  const long long minorLo = l.steep ? clip->left : clip->top;
  const long long minorHi = (l.steep ? clip->right : clip->bottom) - 1;
  const long long from = std::max(l.a, majorLo), to = std::min(l.b, majorHi);
  if (from > to) return false;
  // The minor position moves one way along the line: the visible steps are one run.
  const bool rising = l.dMinor >= 0;
  const long long first = FirstTrue(from, to, [&](int m) {
    const long long minor = l.PlainMinorAt(m);
    return rising ? minor >= minorLo : minor <= minorHi;
  });
  const long long past = FirstTrue(from, to, [&](int m) {
    const long long minor = l.PlainMinorAt(m);
    return rising ? minor > minorHi : minor < minorLo;
  });
  if (first >= past) return false;
  const int ma = static_cast<int>(first), mb = static_cast<int>(past - 1);
  const int na = static_cast<int>(l.PlainMinorAt(ma)), nb = static_cast<int>(l.PlainMinorAt(mb));
  // Back to x and y, in the caller's order of the end points.
  int ax = l.steep ? na : ma, ay = l.steep ? ma : na, bx = l.steep ? nb : mb,
      by = l.steep ? mb : nb;
  const bool reversed = l.steep ? *y1 > *y2 : *x1 > *x2;
  if (reversed) std::swap(ax, bx), std::swap(ay, by);
  *x1 = ax, *y1 = ay, *x2 = bx, *y2 = by;
  return true;
}

bool Raster_ClipFLine(float* x1, float* y1, float* x2, float* y2, float left, float top,
                      float right, float bottom) {
  if (!x1 || !y1 || !x2 || !y2) return false;
  const double ax = *x1, ay = *y1, dx = static_cast<double>(*x2) - ax,
               dy = static_cast<double>(*y2) - ay;
  if (!std::isfinite(dx) || !std::isfinite(dy) || !(left <= right) || !(top <= bottom))
    return false;
  // Liang-Barsky: the parameter interval inside each of the four half-planes.  Each
  // end remembers the edge that cut it: its coordinate there is the edge itself and the
  // other follows from the slope, which stays exact where t * d would cancel.
  double t0 = 0.0, t1 = 1.0;
  int edge0 = -1, edge1 = -1;
  const double bounds[4] = {left, right, top, bottom};
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {ax - left, right - ax, ay - top, bottom - ay};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0 && t > t0) t0 = t, edge0 = i;
    if (p[i] > 0 && t < t1) t1 = t, edge1 = i;
  }
  if (t0 > t1) return false;
  auto cut = [&](int edge, float* x, float* y) {
    if (edge < 0) return;
    const double e = bounds[edge];
    const double nx = edge < 2 ? e : ax + (e - ay) * (dx / dy);
    const double ny = edge < 2 ? ay + (e - ax) * (dy / dx) : e;
    *x = static_cast<float>(std::max<double>(left, std::min<double>(right, nx)));
    *y = static_cast<float>(std::max<double>(top, std::min<double>(bottom, ny)));
  };
  cut(edge0, x1, y1);
  cut(edge1, x2, y2);
  return true;
}
