#pragma once

// Small records of the editor: rectangles, colours, text styles, blends,
// image handles and mouse modifiers.

class Raster_IBitmap;
class Raster_IFont;

// Integer rectangle in editor pixels; right and bottom are exclusive.
struct IRECT {
  int L = 0, T = 0, R = 0, B = 0;

  IRECT() = default;
  IRECT(int l, int t, int r, int b) : L(l), T(t), R(r), B(b) {}

  int W() const { return R - L; }
  int H() const { return B - T; }
  bool Empty() const { return L == 0 && T == 0 && R == 0 && B == 0; }
  void Clear() { L = T = R = B = 0; }
  bool operator==(const IRECT& o) const { return L == o.L && T == o.T && R == o.R && B == o.B; }
  bool operator!=(const IRECT& o) const { return !(*this == o); }

  bool Contains(int x, int y) const { return !Empty() && x >= L && x < R && y >= T && y < B; }
  // Not symmetric: a rectangle whose right or bottom edge touches b's left or
  // top edge counts as intersecting b.
  bool Intersects(const IRECT& b) const {
    return !Empty() && !b.Empty() && R >= b.L && L < b.R && B >= b.T && T < b.B;
  }
  IRECT Intersect(const IRECT& b) const {
    if (!Intersects(b)) return IRECT();
    return IRECT(L > b.L ? L : b.L, T > b.T ? T : b.T, R < b.R ? R : b.R, B < b.B ? B : b.B);
  }
  IRECT Union(const IRECT& b) const {
    if (Empty()) return b;
    if (b.Empty()) return *this;
    return IRECT(L < b.L ? L : b.L, T < b.T ? T : b.T, R > b.R ? R : b.R, B > b.B ? B : b.B);
  }
};

struct IColor {
  int A = 255, R = 0, G = 0, B = 0;

  IColor() = default;
  IColor(int a, int r, int g, int b) : A(a), R(r), G(g), B(b) {}
  bool operator==(const IColor& o) const { return A == o.A && R == o.R && G == o.G && B == o.B; }
  bool operator!=(const IColor& o) const { return !(*this == o); }

  // The raster library's pixel: alpha, red, green, blue from the top byte down.
  unsigned int Pack() const {
    return (static_cast<unsigned int>(A & 255) << 24) | (static_cast<unsigned int>(R & 255) << 16) |
           (static_cast<unsigned int>(G & 255) << 8) | static_cast<unsigned int>(B & 255);
  }
  static IColor Unpack(unsigned int p) {
    return IColor(static_cast<int>(p >> 24), static_cast<int>((p >> 16) & 255),
                  static_cast<int>((p >> 8) & 255), static_cast<int>(p & 255));
  }
};

const IColor COLOR_TRANSPARENT(0, 0, 0, 0);
const IColor COLOR_BLACK(255, 0, 0, 0);
const IColor COLOR_GRAY(255, 127, 127, 127);
const IColor COLOR_WHITE(255, 255, 255, 255);
const IColor COLOR_RED(255, 255, 0, 0);
const IColor COLOR_GREEN(255, 0, 255, 0);
const IColor COLOR_BLUE(255, 0, 0, 255);
const IColor COLOR_YELLOW(255, 255, 255, 0);
const IColor COLOR_ORANGE(255, 255, 127, 0);
const IColor DEFAULT_TEXT_COLOR = COLOR_BLACK;
const IColor DEFAULT_TEXT_ENTRY_BGCOLOR = COLOR_WHITE;
const IColor DEFAULT_TEXT_ENTRY_FGCOLOR = COLOR_BLACK;

enum { MAX_FONT_NAME_LEN = 32 };
constexpr const char* DEFAULT_FONT = "Monaco";
constexpr int DEFAULT_TEXT_SIZE = 10;

// A text style.  The cached font is filled in by the editor's font cache and
// belongs to it.
struct IText {
  enum EStyle { StyleNormal = 0, StyleBold = 1, StyleItalic = 2 };
  enum EAlign { AlignLeft = 0, AlignCentre = 1, AlignRight = 2 };
  enum EQuality {
    QualityDefault = 0,
    QualityNoAntialias = 1,
    QualityAntialias = 2,
    QualityClear = 3
  };

  char mFont[MAX_FONT_NAME_LEN];
  int mSize;
  IColor mColor;
  IColor mTextEntryBGColor;
  IColor mTextEntryFGColor;
  EStyle mStyle;
  EAlign mAlign;
  int mOrientation;
  EQuality mQuality;
  Raster_IFont* mCached = nullptr;

  IText(int size = DEFAULT_TEXT_SIZE, const IColor* color = nullptr, const char* font = nullptr,
        EStyle style = StyleNormal, EAlign align = AlignCentre, int orientation = 0,
        EQuality quality = QualityDefault, const IColor* entryBG = nullptr,
        const IColor* entryFG = nullptr);
  explicit IText(const IColor* color);
};

struct IChannelBlend {
  enum EBlendMethod { BlendDefault = 0, BlendOpaque = 1, BlendAdd = 2, BlendDodge = 3 };
  int mMethod;
  float mWeight;

  explicit IChannelBlend(int method = BlendDefault, float weight = 1.0f)
      : mMethod(method), mWeight(weight) {}
};

// A loaded image; the raster bitmap belongs to the process-wide bitmap cache.
struct IBitmap {
  Raster_IBitmap* mData = nullptr;
  int W = 0, H = 0, N = 1;
  bool mFramesAreHorizontal = false;

  IBitmap() = default;
  IBitmap(Raster_IBitmap* data, int w, int h, int n = 1, bool framesAreHorizontal = false)
      : mData(data), W(w), H(h), N(n), mFramesAreHorizontal(framesAreHorizontal) {}

  // Size of one frame.
  int frameWidth() const { return mFramesAreHorizontal && N > 0 ? W / N : W; }
  int frameHeight() const { return !mFramesAreHorizontal && N > 0 ? H / N : H; }
};

struct IMouseMod {
  bool L, R, S, C, A;
  explicit IMouseMod(bool l = false, bool r = false, bool s = false, bool c = false, bool a = false)
      : L(l), R(r), S(s), C(c), A(a) {}
};

enum EDirection { DirVertical = 0, DirHorizontal = 1 };
enum EFileAction { FileOpen = 0, FileSave = 1 };

// Editor key codes delivered to OnKeyDown.
enum EKey {
  KeySpace = 0,
  KeyUp = 1,
  KeyDown = 2,
  KeyLeft = 3,
  KeyRight = 4,
  KeyDigit0 = 5,
  KeyDigit9 = 14,
  KeyA = 15,
  KeyZ = 40
};
