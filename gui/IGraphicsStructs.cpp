#include "IGraphicsStructs.h"

#include "IParam.h"

IText::IText(int size, const IColor* color, const char* font, EStyle style, EAlign align,
             int orientation, EQuality quality, const IColor* entryBG, const IColor* entryFG)
    : mSize(size),
      mColor(color ? *color : DEFAULT_TEXT_COLOR),
      mTextEntryBGColor(entryBG ? *entryBG : DEFAULT_TEXT_ENTRY_BGCOLOR),
      mTextEntryFGColor(entryFG ? *entryFG : DEFAULT_TEXT_ENTRY_FGCOLOR),
      mStyle(style),
      mAlign(align),
      mOrientation(orientation),
      mQuality(quality) {
  CopyBounded(mFont, font ? font : DEFAULT_FONT, MAX_FONT_NAME_LEN);
}

IText::IText(const IColor* color) : IText(DEFAULT_TEXT_SIZE, color) {}
