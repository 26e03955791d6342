#pragma once

// Drawing-context, object and text types of the GDI layer, with the platform's own
// names and constant values.  Colours passed to the layer are COLORREFs: 0x00BBGGRR.

struct RECT {
  int left;
  int top;
  int right;
  int bottom;
};

typedef unsigned int COLORREF;

inline constexpr COLORREF RGB(int r, int g, int b) {
  return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
inline constexpr int GetRValue(COLORREF c) {
  return static_cast<int>(c & 0xFF);
}
inline constexpr int GetGValue(COLORREF c) {
  return static_cast<int>((c >> 8) & 0xFF);
}
inline constexpr int GetBValue(COLORREF c) {
  return static_cast<int>((c >> 16) & 0xFF);
}

struct GdiObject;   // a font (the only object kind this layer creates)
struct GdiContext;  // a memory drawing context
typedef GdiObject* HGDIOBJ;
typedef GdiObject* HFONT;
typedef GdiContext* HDC;

struct TEXTMETRIC {
  int tmHeight;  // ascent + descent, the line height
  int tmAscent;
  int tmDescent;
  int tmInternalLeading;
  int tmExternalLeading;
  int tmAveCharWidth;
  int tmMaxCharWidth;
  int tmWeight;
  int tmItalic;
};

// Gdi_DrawText format flags.
enum {
  DT_TOP = 0,
  DT_LEFT = 0,
  DT_CENTER = 0x1,
  DT_RIGHT = 0x2,
  DT_VCENTER = 0x4,
  DT_BOTTOM = 0x8,
  DT_SINGLELINE = 0x20,
  DT_NOCLIP = 0x100,
  DT_CALCRECT = 0x400,
  DT_NOPREFIX = 0x800,
};

// Background modes.
enum { TRANSPARENT = 1, OPAQUE = 2 };

// Font weights and output qualities.
enum { FW_DONTCARE = 0, FW_NORMAL = 400, FW_BOLD = 700 };
enum {
  DEFAULT_QUALITY = 0,
  DRAFT_QUALITY = 1,
  PROOF_QUALITY = 2,
  NONANTIALIASED_QUALITY = 3,
  ANTIALIASED_QUALITY = 4,
  CLEARTYPE_QUALITY = 5,
};
