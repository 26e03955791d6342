#pragma once

// Copying bitmap regions: plain, scaled and rotated.  Every blit clips to both
// bitmaps and combines pixels by weight and mode (Raster_Combine.h); a null bitmap
// makes it do nothing.

#include "GdiTypes.h"
#include "Raster_Combine.h"
#include "Raster_IBitmap.h"

// Low bytes 0xF0..0xFF of a blit mode copy one byte of each source pixel into one byte
// of the destination: source byte (mode & 3) into destination byte ((mode >> 2) & 3),
// byte 0 being blue and 3 alpha.
inline constexpr int RASTER_BLIT_CHANNEL_COPY(int fromByte, int toByte) {
  return 0xF0 | ((toByte & 3) << 2) | (fromByte & 3);
}

// The source region srcrect (null: the whole source) to (dstx, dsty) at its own size.
void Raster_Blit(Raster_IBitmap* dest, Raster_IBitmap* src, int dstx, int dsty, const RECT* srcrect,
                 float alpha, int mode);
void Raster_Blit(Raster_IBitmap* dest, Raster_IBitmap* src, int dstx, int dsty, int srcx, int srcy,
                 int srcw, int srch, float alpha, int mode);
// dest becomes a plain copy of src, taking its size.
void Raster_Copy(Raster_IBitmap* dest, Raster_IBitmap* src);

// Stretches the float source rectangle onto the destination rectangle: nearest pixel,
// or with RASTER_MODE_FILTER_BILINEAR four-neighbour blending when enlarging and an
// average of the covered pixels when shrinking.  Negative sizes mirror.
void Raster_ScaledBlit(Raster_IBitmap* dest, Raster_IBitmap* src, int dstx, int dsty, int dstw,
                       int dsth, float srcx, float srcy, float srcw, float srch, float alpha,
                       int mode);

// Scaled copy turned by angle (radians) about the destination rectangle's centre
// offset by (rotxcent, rotycent) in source units.  Destination pixels whose source
// position falls outside the sampling area are left untouched.
void Raster_RotatedBlit(Raster_IBitmap* dest, Raster_IBitmap* src, int dstx, int dsty, int dstw,
                        int dsth, float srcx, float srcy, float srcw, float srch, float angle,
                        bool cliptosourcerect, float alpha, int mode, float rotxcent,
                        float rotycent);
