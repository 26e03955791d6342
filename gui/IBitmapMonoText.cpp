#include "IBitmapMonoText.h"

#include <cstring>

#include "IGraphics.h"

void DrawBitmapedText(IGraphics* graphics, IBitmap* fontBitmap, const IRECT* r, const IText* text,
                      const IChannelBlend* blend, const char* s, bool vCentre, bool multiLine,
                      int cw, int ch, int gap) {
  if (!s || !*s || cw <= 0) return;
  int n = static_cast<int>(std::strlen(s));
  int y = r->T;
  if (vCentre) y += (r->B - ch - r->T) / 2;
  int x = r->L;
  if (text->mAlign == IText::AlignRight) x = r->R - n * cw;
  if (text->mAlign == IText::AlignCentre) x = r->L + (r->R - r->L - n * cw) / 2;

  int avail = r->R - r->L;
  int perLine = n, lines = 1;
  if (multiLine && avail < n * cw) {
    perLine = avail / cw;
    lines = perLine > 0 ? n * cw / avail + 1 : 0;
  } else if (!multiLine) {
    perLine = avail / cw;
  }
  if (perLine <= 0) return;

  int pos = 0;
  for (int m = 0; m < lines && pos < n; ++m) {
    for (int p = 0; p < perLine && pos < n; ++p, ++pos) {
      int frame = static_cast<unsigned char>(s[pos]) - 31;
      int left = x + p * (cw + gap), top = y + m * ch;
      IRECT dest(left, top, left + cw, top + ch);
      graphics->DrawBitmap(fontBitmap, &dest, frame, blend);
    }
  }
}
