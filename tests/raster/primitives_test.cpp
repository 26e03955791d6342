#include <gtest/gtest.h>

#include <cmath>

#include "RasterTestUtil.h"
#include "Raster_Primitives.h"

namespace {

constexpr unsigned int kWhite = 0xFFFFFFFFu;

TEST(Line, HorizontalAndVerticalRunsIncludeBothEnds) {
  auto bmp = MakeBitmap(10, 10);
  Raster_Line(bmp.get(), 7, 2, 2, 2, kWhite, 1.0f, 0, false);
  Raster_Line(bmp.get(), 4, 9, 4, 5, kWhite, 1.0f, 0, true);
  EXPECT_EQ(CountNonZero(*bmp), 6 + 5);
  EXPECT_EQ(At(*bmp, 2, 2), kWhite);
  EXPECT_EQ(At(*bmp, 7, 2), kWhite);
  EXPECT_EQ(At(*bmp, 4, 5), kWhite);
}

TEST(Line, RunsAtQuarterWeightUseTheFillMix) {
  auto bmp = MakeBitmap(4, 1);
  Raster_Line(bmp.get(), 0, 0, 3, 0, kWhite, 0.25f, 0, false);
  EXPECT_EQ(At(*bmp, 3, 0), 0x3F3F3F3Fu);
}

TEST(Line, SlopedLinesHaveOnePixelPerMajorStep) {
  auto bmp = MakeBitmap(20, 20);
  Raster_Line(bmp.get(), 1, 2, 15, 7, kWhite, 1.0f, 0, false);
  EXPECT_EQ(CountNonZero(*bmp), 15);
  EXPECT_EQ(At(*bmp, 1, 2), kWhite);
  EXPECT_EQ(At(*bmp, 15, 7), kWhite);
  auto diag = MakeBitmap(6, 6);
  Raster_Line(diag.get(), 5, 0, 0, 5, kWhite, 1.0f, 0, true);
  for (int i = 0; i < 6; ++i)
    EXPECT_EQ(At(*diag, 5 - i, i), kWhite);
  EXPECT_EQ(CountNonZero(*diag), 6);
}

TEST(Line, AntiAliasedCoverageSumsToOnePixelPerColumn) {
  auto bmp = MakeBitmap(20, 10);
  Raster_Line(bmp.get(), 0, 1, 19, 8, 0xFF0000FFu, 1.0f, 1, true);
  for (int x = 0; x < 20; ++x) {
    int sum = 0;
    for (int y = 0; y < 10; ++y)
      sum += At(*bmp, x, y) & 0xFF;
    EXPECT_NEAR(sum, 255, 2) << "column " << x;
  }
}

TEST(Line, ClipsFarEndPointsAndSkipsLinesOutside) {
  auto bmp = MakeBitmap(8, 8);
  Raster_Line(bmp.get(), -2000000000, 3, 2000000000, 3, kWhite, 1.0f, 0, false);
  Raster_Line(bmp.get(), -2000000000, -2000000000, 2000000000, 2000000000, kWhite, 1.0f, 0, true);
  Raster_Line(bmp.get(), -2147483647 - 1, 2147483647, 2147483647, -2147483647 - 1, kWhite, 1.0f, 0,
              true);
  EXPECT_EQ(At(*bmp, 0, 3), kWhite);
  EXPECT_EQ(At(*bmp, 7, 3), kWhite);
  EXPECT_EQ(At(*bmp, 5, 5), kWhite);
  const int drawn = CountNonZero(*bmp);
  Raster_Line(bmp.get(), -5, -1, -1, -9, kWhite, 1.0f, 0, true);
  Raster_Line(bmp.get(), 9, 0, 20, 7, kWhite, 1.0f, 0, false);
  EXPECT_EQ(CountNonZero(*bmp), drawn);
}

TEST(Circle, FilledDiscCoversTheIntegerPointsWithinTheRadius) {
  auto bmp = MakeBitmap(11, 11);
  Raster_FillCircle(bmp.get(), 5, 5, 3, kWhite, 1.0f, 0, false);
  EXPECT_EQ(CountNonZero(*bmp), 29);
  EXPECT_EQ(At(*bmp, 5, 2), kWhite);
  EXPECT_EQ(At(*bmp, 5, 1), 0u);
  EXPECT_EQ(At(*bmp, 7, 7), kWhite);
  EXPECT_EQ(At(*bmp, 8, 7), 0u);
}

TEST(Circle, OutlineStaysOnTheRadiusAndIsSymmetric) {
  auto bmp = MakeBitmap(21, 21);
  Raster_Circle(bmp.get(), 10, 10, 7, kWhite, 1.0f, 0, false);
  EXPECT_GT(CountNonZero(*bmp), 30);
  for (int y = 0; y < 21; ++y)
    for (int x = 0; x < 21; ++x) {
      const bool on = At(*bmp, x, y) != 0;
      EXPECT_EQ(on, At(*bmp, 20 - x, y) != 0);
      EXPECT_EQ(on, At(*bmp, y, x) != 0);
      if (on) {
        EXPECT_LE(std::fabs(std::hypot(x - 10, y - 10) - 7), 0.5);
      }
    }
}

TEST(Circle, ArcKeepsToItsAngles) {
  auto bmp = MakeBitmap(21, 21);
  // From straight up, a quarter turn clockwise: the top-right quadrant.
  Raster_Arc(bmp.get(), 10, 10, 8, 0.0f, 1.5707964f, kWhite, 1.0f, 0, true);
  EXPECT_GT(CountNonZero(*bmp), 10);
  for (int y = 0; y < 21; ++y)
    for (int x = 0; x < 21; ++x)
      if (At(*bmp, x, y)) {
        EXPECT_TRUE(x >= 10 && y <= 10) << x << "," << y;
      }
}

TEST(RoundRect, EdgesAndCornersAreEachDrawnOnce) {
  auto bmp = MakeBitmap(20, 12);
  Raster_RoundRect(bmp.get(), 1, 1, 16, 9, 3, 0xFF404040u, 0.5f, 1, true);
  EXPECT_EQ(At(*bmp, 1, 1), 0u);
  EXPECT_EQ(At(*bmp, 8, 1) & 0xFF, 0x20u);
  EXPECT_EQ(At(*bmp, 1, 5) & 0xFF, 0x20u);
  EXPECT_EQ(At(*bmp, 16, 5) & 0xFF, 0x20u);
  EXPECT_EQ(At(*bmp, 8, 9) & 0xFF, 0x20u);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 20; ++x)
      EXPECT_LE(At(*bmp, x, y) & 0xFF, 0x20u) << x << "," << y;
}

TEST(Polygon, FillsPixelCentresInside) {
  auto bmp = MakeBitmap(12, 12);
  const int xs[4] = {0, 10, 10, 0}, ys[4] = {0, 0, 10, 10};
  Raster_FillConvexPolygon(bmp.get(), xs, ys, 4, kWhite, 1.0f, 0);
  EXPECT_EQ(CountNonZero(*bmp), 100);
  auto tri = MakeBitmap(12, 12);
  Raster_FillTriangle(tri.get(), 0, 0, 10, 0, 0, 10, kWhite, 1.0f, 0);
  EXPECT_EQ(CountNonZero(*tri), 45);
  EXPECT_EQ(At(*tri, 0, 8), kWhite);
  EXPECT_EQ(At(*tri, 0, 9), 0u);
}

TEST(Polygon, ClipsAndRefusesDegenerateInput) {
  auto bmp = MakeBitmap(8, 8);
  Raster_FillTriangle(bmp.get(), -100, -100, 100, -100, 0, 100, kWhite, 1.0f, 0);
  EXPECT_GT(CountNonZero(*bmp), 40);
  auto empty = MakeBitmap(8, 8);
  const int xs[2] = {0, 5}, ys[2] = {0, 5};
  Raster_FillConvexPolygon(empty.get(), xs, ys, 2, kWhite, 1.0f, 0);
  Raster_FillConvexPolygon(empty.get(), nullptr, ys, 3, kWhite, 1.0f, 0);
  Raster_FillTrapezoid(empty.get(), 0, 5, 3, 0, 5, 3, kWhite, 1.0f, 0);
  EXPECT_EQ(CountNonZero(*empty), 0);
}

}  // namespace

namespace {

// Coordinates far outside any bitmap, infinities and NaN draw nothing and do not trip
// the sanitizers.
TEST(Primitives, FarAndNonFiniteCoordinates) {
  auto bmp = MakeBitmap(8, 8);
  const float far = 1e30f, inf = __builtin_inff(), nan = __builtin_nanf("");
  for (float v : {far, -far, inf, nan}) {
    Raster_Circle(bmp.get(), v, 4, 3, kWhite, 1.0f, 0, true);
    Raster_Circle(bmp.get(), 4, 4, v, kWhite, 1.0f, 0, false);
    Raster_FillCircle(bmp.get(), 4, v, 3, kWhite, 1.0f, 0, true);
    Raster_Arc(bmp.get(), 4, 4, v, 0.0f, 1.0f, kWhite, 1.0f, 0, true);
    Raster_RoundRect(bmp.get(), v, v, 4, 4, 2, kWhite, 1.0f, 0, true);
  }
  // A radius reaching past the bitmap on every side draws nothing.
  EXPECT_EQ(CountNonZero(*bmp), 0);
  // An arc spanning a turn or more is the whole circle.
  auto arc = MakeBitmap(8, 8), circle = MakeBitmap(8, 8);
  Raster_Arc(arc.get(), 4, 4, 3, 0.0f, far, kWhite, 1.0f, 0, true);
  Raster_Circle(circle.get(), 4, 4, 3, kWhite, 1.0f, 0, true);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      EXPECT_EQ(At(*arc, x, y), At(*circle, x, y));
  // Edges longer than any bitmap are walked only where they cross it.
  Raster_RoundRect(bmp.get(), 0, 0, 4, far, 0, kWhite, 1.0f, 0, false);
  EXPECT_EQ(CountNonZero(*bmp), 4 + 2 * 7);
}

}  // namespace
