#pragma once

#include "IGraphicsStructs.h"

class IGraphics;

// Draws s from a bitmap font whose frame 1 is the space character (code 32),
// cw x ch pixels per character with gap pixels between characters.
void DrawBitmapedText(IGraphics* graphics, IBitmap* fontBitmap, const IRECT* r, const IText* text,
                      const IChannelBlend* blend, const char* s, bool vCentre, bool multiLine,
                      int cw, int ch, int gap);
