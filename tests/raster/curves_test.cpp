// Float and dashed lines, rectangles, Bézier curves and fills, and the clipping helpers.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <vector>

#include "RasterTestUtil.h"
#include "Raster_Fill.h"
#include "Raster_Primitives.h"

namespace {

constexpr unsigned int kWhite = 0xFFFFFFFFu;
constexpr unsigned int kOne = 0x01010101u;  // drawn in add mode, a pixel counts its visits

struct Pixel {
  int x, y;
};

std::vector<Pixel> Lit(Raster_IBitmap& bmp) {
  std::vector<Pixel> out;
  for (int y = 0; y < bmp.getHeight(); ++y)
    for (int x = 0; x < bmp.getWidth(); ++x)
      if (At(bmp, x, y)) out.push_back({x, y});
  return out;
}

int MaxByte(Raster_IBitmap& bmp) {
  int m = 0;
  for (const Pixel& p : Lit(bmp))
    m = std::max<int>(m, At(bmp, p.x, p.y) & 0xFF);
  return m;
}

// The lit pixels form one 8-connected piece: a flood fill from one of them clears all.
bool Connected(Raster_IBitmap& bmp) {
  const std::vector<Pixel> lit = Lit(bmp);
  if (lit.empty()) return false;
  auto left = MakeBitmap(bmp.getWidth(), bmp.getHeight());
  for (const Pixel& p : lit)
    Set(*left, p.x, p.y, 1);
  std::vector<Pixel> todo{lit[0]};
  Set(*left, lit[0].x, lit[0].y, 0);
  while (!todo.empty()) {
    const Pixel p = todo.back();
    todo.pop_back();
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx)
        if (Raster_GetPixel(left.get(), p.x + dx, p.y + dy)) {
          Set(*left, p.x + dx, p.y + dy, 0);
          todo.push_back({p.x + dx, p.y + dy});
        }
  }
  return CountNonZero(*left) == 0;
}

// No L-shaped corner: a pixel lit beside and above or below another is one a thin line
// does not need.
bool Thin(Raster_IBitmap& bmp) {
  for (const Pixel& p : Lit(bmp))
    for (int dx : {-1, 1})
      for (int dy : {-1, 1})
        if (Raster_GetPixel(&bmp, p.x + dx, p.y) && Raster_GetPixel(&bmp, p.x, p.y + dy))
          return false;
  return true;
}

// ---- Lines with float end points ----

struct FLineCase {
  float x1, y1, x2, y2;
  int ex1, ey1, ex2, ey2;  // the rounded end pixels
};

class FLineOctants : public ::testing::TestWithParam<FLineCase> {};

TEST_P(FLineOctants, EndPixelsAndOnePixelPerMajorStep) {
  const FLineCase c = GetParam();
  auto bmp = MakeBitmap(32, 32);
  Raster_FLine(bmp.get(), c.x1, c.y1, c.x2, c.y2, kOne, 1.0f, 1, false);
  EXPECT_EQ(At(*bmp, c.ex1, c.ey1), kOne);
  EXPECT_EQ(At(*bmp, c.ex2, c.ey2), kOne);
  const int steps = std::max(std::abs(c.ex2 - c.ex1), std::abs(c.ey2 - c.ey1));
  EXPECT_EQ(static_cast<int>(Lit(*bmp).size()), steps + 1);
  EXPECT_EQ(MaxByte(*bmp), 1);
  EXPECT_TRUE(Connected(*bmp));
  // Anti-aliased: one pixel's worth of weight per major step, in add mode.
  auto aa = MakeBitmap(32, 32);
  Raster_FLine(aa.get(), c.x1, c.y1, c.x2, c.y2, 0xFF0000FFu, 1.0f, 1, true);
  int sum = 0;
  for (const Pixel& p : Lit(*aa))
    sum += At(*aa, p.x, p.y) & 0xFF;
  EXPECT_NEAR(sum, 255 * (steps + 1), 2 * (steps + 1));
}

INSTANTIATE_TEST_SUITE_P(
    EveryOctant, FLineOctants,
    ::testing::Values(FLineCase{2.3f, 3.6f, 25.4f, 10.2f, 2, 4, 25, 10},    // east, shallow
                      FLineCase{3.2f, 2.4f, 10.6f, 27.7f, 3, 2, 11, 28},    // south, steep
                      FLineCase{25.4f, 3.1f, 18.2f, 28.9f, 25, 3, 18, 29},  // south-west
                      FLineCase{28.5f, 9.4f, 1.7f, 20.3f, 29, 9, 2, 20},    // west
                      FLineCase{27.1f, 28.2f, 4.4f, 19.6f, 27, 28, 4, 20},  // west, rising
                      FLineCase{20.2f, 29.3f, 14.4f, 1.2f, 20, 29, 14, 1},  // north
                      FLineCase{4.6f, 29.5f, 11.3f, 2.2f, 5, 30, 11, 2},    // north-east
                      FLineCase{1.2f, 26.4f, 30.3f, 15.1f, 1, 26, 30, 15},  // east, rising
                      FLineCase{7.4f, 7.6f, 7.4f, 7.6f, 7, 8, 7, 8}));      // a point

TEST(FLine, LinesSharingAnEndPointMeetInOnePixel) {
  // A fan of lines out of one fractional point: each ends exactly in its pixel.
  const float cx = 15.4f, cy = 14.6f;
  const float ends[][2] = {
      {2.2f, 3.7f}, {29.1f, 5.3f}, {27.6f, 28.4f}, {3.3f, 25.1f}, {15.4f, 1.2f}};
  for (const auto& e : ends) {
    auto bmp = MakeBitmap(32, 32);
    Raster_FLine(bmp.get(), e[0], e[1], cx, cy, kWhite, 1.0f, 0, false);
    EXPECT_EQ(At(*bmp, 15, 15), kWhite) << e[0] << "," << e[1];
    EXPECT_TRUE(Connected(*bmp));
  }
}

// ---- Dashed lines and rectangles ----

TEST(DashedLine, DashesFollowTheSolidLineFromTheFirstEndPoint) {
  struct Case {
    int x1, y1, x2, y2, dash, gap, lit;
  } cases[] = {{0, 0, 19, 0, 3, 2, 12},
               {19, 0, 0, 0, 3, 2, 12},
               {2, 1, 17, 9, 4, 4, 8},
               {5, 19, 1, 0, 1, 1, 10},
               {0, 0, 19, 19, 5, 0, 20}};
  for (const Case& c : cases) {
    auto solid = MakeBitmap(20, 20), dashed = MakeBitmap(20, 20);
    Raster_Line(solid.get(), c.x1, c.y1, c.x2, c.y2, kWhite, 1.0f, 0, false);
    Raster_DashedLine(dashed.get(), c.x1, c.y1, c.x2, c.y2, c.dash, c.gap, kWhite, 1.0f, 0, false);
    EXPECT_EQ(static_cast<int>(Lit(*dashed).size()), c.lit) << c.x1 << "," << c.y1;
    EXPECT_EQ(At(*dashed, c.x1, c.y1), kWhite);
    for (const Pixel& p : Lit(*dashed))
      EXPECT_EQ(At(*solid, p.x, p.y), kWhite);
  }
}

TEST(Rect, OutlineAndBorderedFillCombineEachPixelOnce) {
  struct Case {
    int x, y, w, h, outline;
  } cases[] = {
      {2, 3, 6, 4, 16}, {1, 1, 1, 5, 5}, {4, 2, 5, 1, 5}, {3, 3, 1, 1, 1}, {2, 2, 0, 5, 0}};
  for (const Case& c : cases) {
    auto bmp = MakeBitmap(12, 12);
    Raster_DrawRect(bmp.get(), c.x, c.y, c.w, c.h, kOne, 1.0f, 1);
    EXPECT_EQ(static_cast<int>(Lit(*bmp).size()), c.outline);
    if (c.outline) {
      EXPECT_EQ(MaxByte(*bmp), 1);
    }
    auto bordered = MakeBitmap(12, 12);
    Raster_BorderedRect(bordered.get(), c.x, c.y, c.w, c.h, 0x02020202u, kOne, 1.0f, 1);
    EXPECT_EQ(static_cast<int>(Lit(*bordered).size()), std::max(0, c.w) * std::max(0, c.h));
    for (const Pixel& p : Lit(*bordered))
      EXPECT_EQ(At(*bordered, p.x, p.y), At(*bmp, p.x, p.y) ? kOne : 0x02020202u);
  }
}

// ---- Bézier curves ----

// Control points in halves of pixels: halving at t = 1/2 is exact, and each curve's
// middle point is a whole pixel.
struct CurveCase {
  int n;  // 3 quadratic, 4 cubic
  float p[8];
};

const CurveCase kCurves[] = {
    {4, {2, 30, 10, 2, 30, 50, 38, 6}}, {4, {2, 40, 42, 40, 0, 2, 40, 2}},
    {4, {1, 1, 9, 1, 33, 5, 41, 5}},    {4, {20, 2, 21, 14, 19, 30, 20, 42}},
    {3, {2, 2, 40, 4, 6, 42}},          {3, {38, 40, 2, 20, 38, 2}},
    {4, {6, 36, 6, 36, 36, 6, 36, 6}},  {3, {4, 20, 20, 20, 36, 20}}};

void Draw(Raster_IBitmap* bmp, const CurveCase& c, float dx, float dy, unsigned int color, int mode,
          bool aa) {
  const float* p = c.p;
  if (c.n == 3)
    Raster_DrawQBezier(bmp, p[0] + dx, p[1] + dy, p[2] + dx, p[3] + dy, p[4] + dx, p[5] + dy, color,
                       1.0f, mode, aa);
  else
    Raster_DrawCBezier(bmp, p[0] + dx, p[1] + dy, p[2] + dx, p[3] + dy, p[4] + dx, p[5] + dy,
                       p[6] + dx, p[7] + dy, color, 1.0f, mode, aa);
}

// The two halves of a curve, split at t = 1/2.
void Halves(const CurveCase& c, CurveCase* a, CurveCase* b) {
  float row[8];
  std::copy(c.p, c.p + 8, row);
  *a = *b = CurveCase{c.n, {}};
  for (int level = 0; level < c.n; ++level) {
    a->p[2 * level] = row[0], a->p[2 * level + 1] = row[1];
    const int last = c.n - 1 - level;
    b->p[2 * last] = row[2 * last], b->p[2 * last + 1] = row[2 * last + 1];
    for (int i = 0; i < last; ++i)
      row[2 * i] = (row[2 * i] + row[2 * i + 2]) / 2,
              row[2 * i + 1] = (row[2 * i + 1] + row[2 * i + 3]) / 2;
  }
}

class CurveTest : public ::testing::TestWithParam<CurveCase> {};

TEST_P(CurveTest, ConnectedWithoutRepeatsAndThroughBothEnds) {
  const CurveCase c = GetParam();
  auto bmp = MakeBitmap(44, 44);
  Draw(bmp.get(), c, 0, 0, kOne, 1, false);
  EXPECT_TRUE(Connected(*bmp));
  EXPECT_TRUE(Thin(*bmp));
  EXPECT_EQ(MaxByte(*bmp), 1) << "a pixel combined twice";
  EXPECT_EQ(At(*bmp, static_cast<int>(c.p[0]), static_cast<int>(c.p[1])), kOne);
  EXPECT_EQ(At(*bmp, static_cast<int>(c.p[2 * c.n - 2]), static_cast<int>(c.p[2 * c.n - 1])), kOne);
}

TEST_P(CurveTest, DrawnInPiecesEqualsTheWhole) {
  const CurveCase c = GetParam();
  CurveCase a, b;
  Halves(c, &a, &b);
  auto whole = MakeBitmap(44, 44), pieces = MakeBitmap(44, 44);
  Draw(whole.get(), c, 0, 0, kWhite, 0, false);
  Draw(pieces.get(), a, 0, 0, kWhite, 0, false);
  Draw(pieces.get(), b, 0, 0, kWhite, 0, false);
  for (int y = 0; y < 44; ++y)
    for (int x = 0; x < 44; ++x)
      ASSERT_EQ(At(*whole, x, y), At(*pieces, x, y)) << x << "," << y;
  // Anti-aliased pieces, added up, join without a doubled seam.
  auto smooth = MakeBitmap(44, 44), smoothPieces = MakeBitmap(44, 44);
  Draw(smooth.get(), c, 0, 0, 0xFF0000FFu, 1, true);
  Draw(smoothPieces.get(), a, 0, 0, 0xFF0000FFu, 1, true);
  Draw(smoothPieces.get(), b, 0, 0, 0xFF0000FFu, 1, true);
  int worst = 0;
  for (int y = 0; y < 44; ++y)
    for (int x = 0; x < 44; ++x)
      worst = std::max(worst, std::abs(static_cast<int>(At(*smooth, x, y) & 0xFF) -
                                       static_cast<int>(At(*smoothPieces, x, y) & 0xFF)));
  EXPECT_LE(worst, 8) << "largest difference (a doubled seam adds up to 255)";
}

INSTANTIATE_TEST_SUITE_P(Curves, CurveTest, ::testing::ValuesIn(kCurves));

TEST(FillCBezier, ShapesSharingAnEdgeCoverEachPixelOnce) {
  // Above and below one curve, and the two halves of the area below it; end points on
  // pixel centres test the rule for crossings at a vertex.
  const float p[8] = {1, 20.5f, 10, -10, 30, 50, 39, 12.5f};
  auto bmp = MakeBitmap(40, 40);
  Raster_FillCBezier(bmp.get(), p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7], 0, kOne, 1.0f, 1);
  Raster_FillCBezier(bmp.get(), p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7], 40, kOne, 1.0f, 1);
  for (int y = 0; y < 40; ++y)
    for (int x = 1; x < 39; ++x)
      ASSERT_EQ(At(*bmp, x, y), kOne) << x << "," << y;
  CurveCase a, b;
  Halves(CurveCase{4, {1, 20.5f, 10, -10, 30, 50, 39, 12.5f}}, &a, &b);
  auto whole = MakeBitmap(40, 40), split = MakeBitmap(40, 40);
  Raster_FillCBezier(whole.get(), p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7], 38, kOne, 1.0f,
                     1);
  for (const CurveCase* h : {&a, &b})
    Raster_FillCBezier(split.get(), h->p[0], h->p[1], h->p[2], h->p[3], h->p[4], h->p[5], h->p[6],
                       h->p[7], 38, kOne, 1.0f, 1);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x)
      ASSERT_EQ(At(*whole, x, y), At(*split, x, y)) << x << "," << y;
}

// ---- Clipping ----

// Drawing into a small bitmap equals drawing into a larger one and cropping, for
// shapes crossing every edge and corner.
using Drawing = std::function<void(Raster_IBitmap*, float dx, float dy)>;

class ClipEqualsCrop : public ::testing::TestWithParam<Drawing> {};

TEST_P(ClipEqualsCrop, AtEveryEdgeAndCorner) {
  constexpr int kW = 24, kH = 18, kMargin = 40;
  auto big = MakeBitmap(kW + 2 * kMargin, kH + 2 * kMargin);
  auto small = MakeBitmap(kW, kH);
  GetParam()(big.get(), kMargin, kMargin);
  GetParam()(small.get(), 0, 0);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x)
      ASSERT_EQ(At(*small, x, y), At(*big, x + kMargin, y + kMargin)) << x << "," << y;
}

// Each drawing runs across the bitmap's four edges and through its corners.
const Drawing kClipped[] = {
    [](Raster_IBitmap* b, float dx, float dy) {
      for (bool aa : {false, true}) {
        Raster_Line(b, -9 + dx, -7 + dy, 30 + dx, 25 + dy, kOne, 1.0f, 1, aa);
        Raster_Line(b, 30 + dx, -3 + dy, -5 + dx, 21 + dy, kOne, 1.0f, 1, aa);
      }
    },
    [](Raster_IBitmap* b, float dx, float dy) {
      for (bool aa : {false, true}) {
        Raster_FLine(b, -9.3f + dx, -7.6f + dy, 30.2f + dx, 25.1f + dy, kOne, 1.0f, 1, aa);
        Raster_FLine(b, 11.5f + dx, -20.2f + dy, 4.4f + dx, 33.8f + dy, kOne, 1.0f, 1, aa);
      }
    },
    [](Raster_IBitmap* b, float dx, float dy) {
      Raster_DashedLine(b, -9 + dx, 25 + dy, 30 + dx, -7 + dy, 3, 2, kOne, 1.0f, 1, false);
      Raster_DashedLine(b, 5 + dx, -12 + dy, 9 + dx, 30 + dy, 2, 3, kOne, 1.0f, 1, true);
    },
    [](Raster_IBitmap* b, float dx, float dy) {
      Raster_DrawRect(b, -3 + dx, -2 + dy, 30, 10, kOne, 1.0f, 1);
      Raster_BorderedRect(b, 10 + dx, 8 + dy, 20, 20, 0x02020202u, kOne, 1.0f, 1);
    },
    [](Raster_IBitmap* b, float dx, float dy) {
      for (bool aa : {false, true}) {
        Raster_DrawCBezier(b, -10 + dx, 5 + dy, 10 + dx, -30 + dy, 20 + dx, 50 + dy, 35 + dx,
                           -4 + dy, kOne, 1.0f, 1, aa);
        Raster_DrawQBezier(b, -6 + dx, 22 + dy, 12 + dx, -20 + dy, 30 + dx, 24 + dy, kOne, 1.0f, 1,
                           aa);
      }
    },
    [](Raster_IBitmap* b, float dx, float dy) {
      Raster_FillCBezier(b, -10 + dx, 5 + dy, 10 + dx, -30 + dy, 20 + dx, 50 + dy, 35 + dx, -4 + dy,
                         30 + dy, kOne, 1.0f, 1);
    },
};

INSTANTIATE_TEST_SUITE_P(Primitives, ClipEqualsCrop, ::testing::ValuesIn(kClipped));

TEST(Clip, IntegerLinesKeepTheirPixelsInsideTheRectangle) {
  const RECT r{3, 2, 17, 12};
  struct Case {
    int x1, y1, x2, y2;
    bool visible;
  } cases[] = {{-5, -4, 25, 20, true}, {25, 20, -5, -4, true}, {0, 11, 30, 1, true},
               {8, -10, 12, 30, true}, {-5, 7, 40, 7, true},   {0, 0, 2, 30, false},
               {5, 5, 5, 5, true},     {20, 20, 30, 25, false}};
  for (const Case& c : cases) {
    int x1 = c.x1, y1 = c.y1, x2 = c.x2, y2 = c.y2;
    ASSERT_EQ(Raster_ClipLine(&x1, &y1, &x2, &y2, &r), c.visible) << c.x1 << "," << c.y1;
    if (!c.visible) continue;
    // The clipped ends are pixels of the original line, inside, in the original order.
    auto bmp = MakeBitmap(64, 64);
    Raster_Line(bmp.get(), c.x1 + 20, c.y1 + 20, c.x2 + 20, c.y2 + 20, kWhite, 1.0f, 0, false);
    for (const Pixel& e : {Pixel{x1, y1}, Pixel{x2, y2}}) {
      EXPECT_EQ(At(*bmp, e.x + 20, e.y + 20), kWhite);
      EXPECT_TRUE(e.x >= r.left && e.x < r.right && e.y >= r.top && e.y < r.bottom);
    }
    EXPECT_LE(std::abs(x1 - c.x1) + std::abs(y1 - c.y1), std::abs(x2 - c.x1) + std::abs(y2 - c.y1));
  }
}

TEST(Clip, FloatLinesEndOnTheRectangle) {
  float x1 = -10, y1 = 5, x2 = 30, y2 = 15;
  ASSERT_TRUE(Raster_ClipFLine(&x1, &y1, &x2, &y2, 0, 0, 20, 20));
  EXPECT_FLOAT_EQ(x1, 0);
  EXPECT_FLOAT_EQ(y1, 7.5f);
  EXPECT_FLOAT_EQ(x2, 20);
  EXPECT_FLOAT_EQ(y2, 12.5f);
  const float inf = std::numeric_limits<float>::infinity(), nan = std::nanf("");
  const float rejected[][4] = {{-10, -1, 30, -2}, {nan, 1, 2, 3}, {-inf, 1, 2, 3}, {25, 5, 30, 6}};
  for (const auto& l : rejected) {
    float a = l[0], b = l[1], c = l[2], d = l[3];
    EXPECT_FALSE(Raster_ClipFLine(&a, &b, &c, &d, 0, 0, 20, 20)) << l[0] << "," << l[1];
  }
}

TEST(Clip, NonFiniteAndHugeCoordinatesDrawNothingOrClipSafely) {
  const float inf = std::numeric_limits<float>::infinity(), nan = std::nanf(""), big = 3e38f;
  auto bmp = MakeBitmap(16, 16);
  Raster_FLine(bmp.get(), nan, 1, 5, 5, kWhite, 1.0f, 0, true);
  Raster_FLine(bmp.get(), 1, 1, inf, 5, kWhite, 1.0f, 0, false);
  Raster_DrawCBezier(bmp.get(), 1, 1, nan, 2, 3, 3, 9, 9, kWhite, 1.0f, 0, true);
  Raster_DrawQBezier(bmp.get(), 1, 1, 4, inf, 9, 9, kWhite, 1.0f, 0, false);
  Raster_FillCBezier(bmp.get(), 1, 1, 2, 2, 3, 3, 9, 9, nan, kWhite, 1.0f, 0);
  EXPECT_EQ(CountNonZero(*bmp), 0);
  Raster_FLine(bmp.get(), -big, 8, big, 8, kWhite, 1.0f, 0, false);
  Raster_DrawCBezier(bmp.get(), -big, -big, big, -big, -big, big, big, big, kWhite, 1.0f, 0, true);
  Raster_DrawQBezier(bmp.get(), -big, 4, 8, 4, big, 4, kWhite, 1.0f, 0, false);
  Raster_FillCBezier(bmp.get(), -big, 12, 0, 12, 9, 12, big, 12, 16, kWhite, 1.0f, 0);
  Raster_DrawRect(bmp.get(), -2147483647, -2147483647, 2147483647, 2147483647, kWhite, 1.0f, 0);
  EXPECT_EQ(At(*bmp, 5, 8), kWhite);
  EXPECT_EQ(At(*bmp, 5, 13), kWhite);
}

}  // namespace
