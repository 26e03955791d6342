#pragma once

// Memory drawing contexts: a 32-bit pixel buffer (alpha, red, green, blue from the
// top byte down, rows top to bottom) with a selected font, text and background
// colours, a background mode and a stack of clip rectangles.

#include "GdiTypes.h"

// A context of w x h pixels, cleared to 0; null when the size is not positive or too
// large to address.  The reference context is accepted for compatibility and unused.
HDC Gdi_CreateMemContext(HDC reference, int w, int h);
// The context's pixel memory: h rows of w pixels, one after another; null for null.
void* Gdi_GetCtxFrameBuffer(HDC ctx);
void Gdi_DeleteGfxContext(HDC ctx);

// Selects a font into the context and returns the previously selected one.
HGDIOBJ SelectObject(HDC ctx, HGDIOBJ obj);
COLORREF SetTextColor(HDC ctx, COLORREF color);
COLORREF SetBkColor(HDC ctx, COLORREF color);
// TRANSPARENT or OPAQUE; returns the previous mode, 0 for a null context or bad mode.
int SetBkMode(HDC ctx, int mode);

// Clip rectangles: push saves the current clip, set replaces it (null: whole
// context), pop restores the last pushed one.  Drawing never leaves the context.
void Gdi_PushClipRegion(HDC ctx);
void Gdi_SetClipRegion(HDC ctx, const RECT* r);
void Gdi_PopClipRegion(HDC ctx);
// The clip in force, always within the context.
RECT Gdi_GetClipRegion(HDC ctx);
