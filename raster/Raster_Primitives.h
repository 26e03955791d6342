#pragma once

// Lines, curves and filled shapes in one colour.  Each takes the colour, a weight and a
// mode (Raster_Combine.h) and clips every pixel to the bitmap.  Pixel centres lie on
// whole coordinates for lines and circles and at half-pixel offsets for polygons, so a
// polygon with corners (0, 0) and (10, 10) fills exactly 10 x 10 pixels.

#include "Raster_Combine.h"
#include "Raster_IBitmap.h"

// Both end points inclusive; anti-aliased by the distance to the ideal line.
void Raster_Line(Raster_IBitmap* dest, int x1, int y1, int x2, int y2, unsigned int color,
                 float alpha, int mode, bool aa);
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
