#pragma once

// Lines, curves and filled shapes in one colour.  Each takes the colour, a weight and a
// mode (Raster_Combine.h) and clips every pixel to the bitmap.  Pixel centres lie on
// whole coordinates for lines and circles and at half-pixel offsets for polygons, so a
// polygon with corners (0, 0) and (10, 10) fills exactly 10 x 10 pixels.

#include "GdiTypes.h"
#include "Raster_Combine.h"
#include "Raster_IBitmap.h"

// Both end points inclusive; anti-aliased by the distance to the ideal line.
void Raster_Line(Raster_IBitmap* dest, int x1, int y1, int x2, int y2, unsigned int color,
                 float alpha, int mode, bool aa);
// Float end points, pixel centres on whole coordinates: every whole step of the major
// axis between the rounded ends; plain lines end exactly at the rounded end points.
void Raster_FLine(Raster_IBitmap* dest, float x1, float y1, float x2, float y2, unsigned int color,
                  float alpha, int mode, bool aa);
// The pixels of Raster_Line in dashes of `dash` pixels and gaps of `gap` along the major
// axis, starting with a dash at (x1, y1); a gap below 1 draws a solid line.
void Raster_DashedLine(Raster_IBitmap* dest, int x1, int y1, int x2, int y2, int dash, int gap,
                       unsigned int color, float alpha, int mode, bool aa);
// One-pixel outline of the w x h rectangle at (x, y), each pixel combined once.
void Raster_DrawRect(Raster_IBitmap* dest, int x, int y, int w, int h, unsigned int color,
                     float alpha, int mode);
// The outline in borderColor and the inside in fillColor, each pixel combined once.
void Raster_BorderedRect(Raster_IBitmap* dest, int x, int y, int w, int h, unsigned int fillColor,
                         unsigned int borderColor, float alpha, int mode);
// Quadratic and cubic Bézier curves through both end points: one pixel per step with
// no gaps or repeated pixels, or anti-aliased by the distance to the curve.
void Raster_DrawQBezier(Raster_IBitmap* dest, float x1, float y1, float cx, float cy, float x2,
                        float y2, unsigned int color, float alpha, int mode, bool aa);
void Raster_DrawCBezier(Raster_IBitmap* dest, float x1, float y1, float c1x, float c1y, float c2x,
                        float c2y, float x2, float y2, unsigned int color, float alpha, int mode,
                        bool aa);
// Fills the area between a cubic curve and the horizontal line y = baseY, sampled at
// pixel centres like the polygons: shapes sharing an edge leave no gap and no overlap.
void Raster_FillCBezier(Raster_IBitmap* dest, float x1, float y1, float c1x, float c1y, float c2x,
                        float c2y, float x2, float y2, float baseY, unsigned int color, float alpha,
                        int mode);
// Cuts a line to the pixels of clip (right and bottom exclusive): the new end points are
// the first and last pixels Raster_Line would set inside it, in the same order.  False
// when none is.
bool Raster_ClipLine(int* x1, int* y1, int* x2, int* y2, const RECT* clip);
// Cuts a line with float end points to the rectangle [left, right] x [top, bottom];
// false when it misses it or a coordinate is not finite.
bool Raster_ClipFLine(float* x1, float* y1, float* x2, float* y2, float left, float top,
                      float right, float bottom);
// Arc of a circle from minAngle to maxAngle, radians, 0 pointing up, clockwise.
void Raster_Arc(Raster_IBitmap* dest, float cx, float cy, float r, float minAngle, float maxAngle,
                unsigned int color, float alpha, int mode, bool aa);
void Raster_Circle(Raster_IBitmap* dest, float cx, float cy, float r, unsigned int color,
                   float alpha, int mode, bool aa);
void Raster_FillCircle(Raster_IBitmap* dest, float cx, float cy, float r, unsigned int color,
                       float alpha, int mode, bool aa);
// Outline of the w x h rectangle at (x, y) with quarter-circle corners.
void Raster_RoundRect(Raster_IBitmap* dest, float x, float y, float w, float h, int cornerradius,
                      unsigned int color, float alpha, int mode, bool aa);
// The quadrilateral with top edge x1l..x1r at y1 and bottom edge x2l..x2r at y2.
void Raster_FillTrapezoid(Raster_IBitmap* dest, int x1l, int x1r, int y1, int x2l, int x2r, int y2,
                          unsigned int color, float alpha, int mode);
void Raster_FillTriangle(Raster_IBitmap* dest, int x1, int y1, int x2, int y2, int x3, int y3,
                         unsigned int color, float alpha, int mode);
void Raster_FillConvexPolygon(Raster_IBitmap* dest, const int* x, const int* y, int npoints,
                              unsigned int color, float alpha, int mode);
