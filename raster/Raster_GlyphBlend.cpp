#include "Raster_GlyphBlend.h"

#include <algorithm>

using raster_detail::PixelView;

namespace {

struct Colour {
  int r, g, b;
  explicit Colour(unsigned int p)
      : r(static_cast<int>((p >> 16) & 0xFF)),
        g(static_cast<int>((p >> 8) & 0xFF)),
        b(static_cast<int>(p & 0xFF)) {}
};

// Copy: each channel moves toward the colour, alpha toward 255, keeping k/256 of
// the distance.
inline void CopyKeep(unsigned char* d, const Colour& c, int k) {
  d[0] = static_cast<unsigned char>(c.b + (d[0] - c.b) * k / 256);
  d[1] = static_cast<unsigned char>(c.g + (d[1] - c.g) * k / 256);
  d[2] = static_cast<unsigned char>(c.r + (d[2] - c.r) * k / 256);
  d[3] = static_cast<unsigned char>(255 + (d[3] - 255) * k / 256);
}

struct CopyOp {
  static void Coverage(unsigned char* d, const Colour& c, int v, int w) {
    CopyKeep(d, c, w == 256 ? 255 - v : 256 - std::min(w * v / 256, 256));
  }
  static void Solid(unsigned char* d, const Colour& c, int w) { CopyKeep(d, c, 256 - w); }
};

// The other modes: the pixel function at weight w, scaled by coverage.
template <class Pix>
struct ModeOp {
  static void Coverage(unsigned char* d, const Colour& c, int v, int w) {
    const int cw = w * v / 255;
    if (cw > 0) Pix::doPix(d, c.r, c.g, c.b, 255, cw);
  }
  static void Solid(unsigned char* d, const Colour& c, int w) {
    Pix::doPix(d, c.r, c.g, c.b, 255, w);
  }
};

// Zero coverage leaves the pixel as it is: the cell around a glyph stays untouched.
template <Raster_MaskKind Kind, class Op>
void Blend(const PixelView& v, const Raster_GlyphBlit& g) {
  const Colour text(g.textColor), effect(g.effectColor);
  for (int y = 0; y < g.h; ++y) {
    const unsigned char* m = g.mask + static_cast<ptrdiff_t>(y) * g.maskSpan;
    unsigned char* d = v.Pixel(g.dx, g.dy + y);
    for (int x = 0; x < g.w; ++x, d += 4) {
      const int cov = m[x];
      if (cov == 0) continue;
      if (Kind == Raster_MaskKind::kNormal)
        Op::Coverage(d, text, cov, g.weight);
      else if (Kind == Raster_MaskKind::kMono || cov == 255)
        Op::Solid(d, text, g.weight);
      else if (cov == 128)
        Op::Solid(d, effect, g.weight);
    }
  }
}

// Full-weight copy of monochrome and effect masks stores the colours outright.
template <Raster_MaskKind Kind>
void Store(const PixelView& v, const Raster_GlyphBlit& g) {
  const unsigned int text = g.textColor | 0xFF000000u, effect = g.effectColor | 0xFF000000u;
  for (int y = 0; y < g.h; ++y) {
    const unsigned char* m = g.mask + static_cast<ptrdiff_t>(y) * g.maskSpan;
    unsigned int* d = v.Row(g.dy + y) + g.dx;
    for (int x = 0; x < g.w; ++x) {
      if (m[x] == 255 || (Kind == Raster_MaskKind::kMono && m[x]))
        d[x] = text;
      else if (Kind == Raster_MaskKind::kEffect && m[x] == 128)
        d[x] = effect;
    }
  }
}

template <Raster_MaskKind Kind>
void BlendKind(const PixelView& v, const Raster_GlyphBlit& g, int mode) {
  switch (mode & 0xFF) {
    case 0:
      if (Kind != Raster_MaskKind::kNormal && g.weight >= 256)
        Store<Kind>(v, g);
      else
        Blend<Kind, CopyOp>(v, g);
      break;
    case 1:
      Blend<Kind, ModeOp<CombinePixelsAdd>>(v, g);
      break;
    case 2:
      Blend<Kind, ModeOp<CombinePixelsColorDodge>>(v, g);
      break;
    case 3:
      Blend<Kind, ModeOp<CombinePixelsMulNoClamp>>(v, g);
      break;
    case 4:
      Blend<Kind, ModeOp<CombinePixelsOverlay>>(v, g);
      break;
    case 5:
      Blend<Kind, ModeOp<CombinePixelsHSVAdjust>>(v, g);
      break;
    default:
      break;
  }
}

}  // namespace

void Raster_BlendGlyph(const PixelView& dest, const Raster_GlyphBlit& g, Raster_MaskKind kind,
                       int mode) {
  if (dest.Empty() || !g.mask || g.w <= 0 || g.h <= 0 || g.weight <= 0) return;
  switch (kind) {
    case Raster_MaskKind::kNormal:
      BlendKind<Raster_MaskKind::kNormal>(dest, g, mode);
      break;
    case Raster_MaskKind::kMono:
      BlendKind<Raster_MaskKind::kMono>(dest, g, mode);
      break;
    case Raster_MaskKind::kEffect:
      BlendKind<Raster_MaskKind::kEffect>(dest, g, mode);
      break;
  }
}
