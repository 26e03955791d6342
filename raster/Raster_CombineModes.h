#pragma once

// The per-mode pixel functions.  Each combines a colour (r, g, b, a: 0..255) into one
// destination pixel, given as its four bytes (blue, green, red, alpha), under the
// integer weight w (256 = full strength).  They are small and inline so that every
// blit loop instantiated with one of them resolves the mode once per call.

namespace raster_detail {

inline int Clamp255(int v) {
  return v < 0 ? 0 : (v > 255 ? 255 : v);
}

inline int CopyChannel(int t, int s, int w) {
  return s + (t - s) * (256 - w) / 256;
}
inline int AddChannel(int t, int s, int w) {
  return Clamp255(t + s * w / 256);
}
inline int DodgeChannel(int t, int s, int w) {
  const int q = s * w / 256;
  return q < 255 ? Clamp255(t * 256 / (256 - q)) : Clamp255(t * 256);
}
inline int MulChannel(int t, int s, int w) {
  return ((s * w + (256 - w) * 256) * t) >> 16;
}
inline int OverlayChannel(int t, int s, int w) {
  const int v = s * w, r = (256 - w) * 128;
  const int u = ((32768 - v - r) * t / 256 + v + r) * t;
  if (u > 8388607) return 255;
  if (u < 0) return 0;
  return u >> 15;
}

// Weight scaled by the source's own alpha.
inline int SourceAlphaWeight(int w, int a) {
  return w * (a + 1) / 256;
}

// Hue (0..383), saturation and value adjust of the destination colour; defined in
// Raster_Combine.cpp.
void HSVAdjust(unsigned char* dest, int r, int g, int b, int a, int w);

}  // namespace raster_detail

// Stores the colour unchanged.
struct CombinePixelsClobberNoClamp {
  static inline void doPix(unsigned char* d, int r, int g, int b, int a, int) {
    d[0] = static_cast<unsigned char>(b);
    d[1] = static_cast<unsigned char>(g);
    d[2] = static_cast<unsigned char>(r);
    d[3] = static_cast<unsigned char>(a);
  }
};

struct CombinePixelsCopyNoClamp {
  static inline void doPix(unsigned char* d, int r, int g, int b, int a, int w) {
    using raster_detail::CopyChannel;
    d[0] = static_cast<unsigned char>(CopyChannel(d[0], b, w));
    d[1] = static_cast<unsigned char>(CopyChannel(d[1], g, w));
    d[2] = static_cast<unsigned char>(CopyChannel(d[2], r, w));
    d[3] = static_cast<unsigned char>(CopyChannel(d[3], a, w));
  }
};

// For colours that may lie outside 0..255.
struct CombinePixelsCopyClamp {
  static inline void doPix(unsigned char* d, int r, int g, int b, int a, int w) {
    using raster_detail::Clamp255;
    using raster_detail::CopyChannel;
    d[0] = static_cast<unsigned char>(Clamp255(CopyChannel(d[0], b, w)));
    d[1] = static_cast<unsigned char>(Clamp255(CopyChannel(d[1], g, w)));
    d[2] = static_cast<unsigned char>(Clamp255(CopyChannel(d[2], r, w)));
    d[3] = static_cast<unsigned char>(Clamp255(CopyChannel(d[3], a, w)));
  }
};

struct CombinePixelsAdd {
  static inline void doPix(unsigned char* d, int r, int g, int b, int a, int w) {
    using raster_detail::AddChannel;
    d[0] = static_cast<unsigned char>(AddChannel(d[0], b, w));
    d[1] = static_cast<unsigned char>(AddChannel(d[1], g, w));
    d[2] = static_cast<unsigned char>(AddChannel(d[2], r, w));
    d[3] = static_cast<unsigned char>(AddChannel(d[3], a, w));
  }
};

struct CombinePixelsColorDodge {
  static inline void doPix(unsigned char* d, int r, int g, int b, int a, int w) {
    using raster_detail::DodgeChannel;
    d[0] = static_cast<unsigned char>(DodgeChannel(d[0], b, w));
    d[1] = static_cast<unsigned char>(DodgeChannel(d[1], g, w));
    d[2] = static_cast<unsigned char>(DodgeChannel(d[2], r, w));
    d[3] = static_cast<unsigned char>(DodgeChannel(d[3], a, w));
  }
};

struct CombinePixelsMulNoClamp {
  static inline void doPix(unsigned char* d, int r, int g, int b, int a, int w) {
    using raster_detail::MulChannel;
    d[0] = static_cast<unsigned char>(MulChannel(d[0], b, w));
    d[1] = static_cast<unsigned char>(MulChannel(d[1], g, w));
    d[2] = static_cast<unsigned char>(MulChannel(d[2], r, w));
    d[3] = static_cast<unsigned char>(MulChannel(d[3], a, w));
  }
};

struct CombinePixelsMulClamp {
  static inline void doPix(unsigned char* d, int r, int g, int b, int a, int w) {
    using raster_detail::Clamp255;
    using raster_detail::MulChannel;
    d[0] = static_cast<unsigned char>(Clamp255(MulChannel(d[0], b, w)));
    d[1] = static_cast<unsigned char>(Clamp255(MulChannel(d[1], g, w)));
    d[2] = static_cast<unsigned char>(Clamp255(MulChannel(d[2], r, w)));
    d[3] = static_cast<unsigned char>(Clamp255(MulChannel(d[3], a, w)));
  }
};

struct CombinePixelsOverlay {
  static inline void doPix(unsigned char* d, int r, int g, int b, int a, int w) {
    using raster_detail::OverlayChannel;
    d[0] = static_cast<unsigned char>(OverlayChannel(d[0], b, w));
    d[1] = static_cast<unsigned char>(OverlayChannel(d[1], g, w));
    d[2] = static_cast<unsigned char>(OverlayChannel(d[2], r, w));
    d[3] = static_cast<unsigned char>(OverlayChannel(d[3], a, w));
  }
};

struct CombinePixelsHSVAdjust {
  static inline void doPix(unsigned char* d, int r, int g, int b, int a, int w) {
    raster_detail::HSVAdjust(d, r, g, b, a, w);
  }
};

// Blend by the source alpha alone, ignoring the weight (used at full weight).
struct CombinePixelsCopySourceAlphaIgnoreAlphaParmNoClamp {
  static inline void doPix(unsigned char* d, int r, int g, int b, int a, int) {
    if (a == 0) return;
    if (a == 255) {
      CombinePixelsClobberNoClamp::doPix(d, r, g, b, 255, 256);
      return;
    }
    const int k = 255 - a;
    d[0] = static_cast<unsigned char>(b + (d[0] - b) * k / 256);
    d[1] = static_cast<unsigned char>(g + (d[1] - g) * k / 256);
    d[2] = static_cast<unsigned char>(r + (d[2] - r) * k / 256);
    const int na = a + d[3];
    d[3] = static_cast<unsigned char>(na > 255 ? 255 : na);
  }
};

struct CombinePixelsCopySourceAlphaNoClamp {
  static inline void doPix(unsigned char* d, int r, int g, int b, int a, int w) {
    if (a == 0) return;
    using raster_detail::CopyChannel;
    const int sw = raster_detail::SourceAlphaWeight(w, a);
    d[0] = static_cast<unsigned char>(CopyChannel(d[0], b, sw));
    d[1] = static_cast<unsigned char>(CopyChannel(d[1], g, sw));
    d[2] = static_cast<unsigned char>(CopyChannel(d[2], r, sw));
    const int na = d[3] + sw;
    d[3] = static_cast<unsigned char>(na > 255 ? 255 : na);
  }
};

struct CombinePixelsAddSourceAlpha {
  static inline void doPix(unsigned char* d, int r, int g, int b, int a, int w) {
    if (a == 0) return;
    CombinePixelsAdd::doPix(d, r, g, b, a, raster_detail::SourceAlphaWeight(w, a));
  }
};

struct CombinePixelsColorDodgeSourceAlpha {
  static inline void doPix(unsigned char* d, int r, int g, int b, int a, int w) {
    CombinePixelsColorDodge::doPix(d, r, g, b, a, raster_detail::SourceAlphaWeight(w, a));
  }
};

struct CombinePixelsMulSourceAlphaNoClamp {
  static inline void doPix(unsigned char* d, int r, int g, int b, int a, int w) {
    if (a == 0) return;
    CombinePixelsMulNoClamp::doPix(d, r, g, b, a, raster_detail::SourceAlphaWeight(w, a));
  }
};

struct CombinePixelsOverlaySourceAlpha {
  static inline void doPix(unsigned char* d, int r, int g, int b, int a, int w) {
    CombinePixelsOverlay::doPix(d, r, g, b, a, raster_detail::SourceAlphaWeight(w, a));
  }
};

struct CombinePixelsHSVAdjustSourceAlpha {
  static inline void doPix(unsigned char* d, int r, int g, int b, int a, int w) {
    raster_detail::HSVAdjust(d, r, g, b, a, raster_detail::SourceAlphaWeight(w, a));
  }
};

// The 50 % mix of the half-weight fast paths: half of each byte, rounded down, summed.
struct CombinePixelsHalfMix {
  static inline void doPix(unsigned char* d, int r, int g, int b, int a, int) {
    d[0] = static_cast<unsigned char>((d[0] >> 1) + (b >> 1));
    d[1] = static_cast<unsigned char>((d[1] >> 1) + (g >> 1));
    d[2] = static_cast<unsigned char>((d[2] >> 1) + (r >> 1));
    d[3] = static_cast<unsigned char>((d[3] >> 1) + (a >> 1));
  }
};
