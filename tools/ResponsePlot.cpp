#include "ResponsePlot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

#include <unistd.h>

#include "GdiText.h"
#include "OutputPath.h"
#include "Raster_Blit.h"
#include "Raster_CachedFont.h"
#include "Raster_Fill.h"
#include "Raster_MemBitmap.h"
#include "Raster_PNGWrite.h"
#include "Raster_Primitives.h"

namespace {

// The panel's colours.
constexpr unsigned int kTopColour = 0xFF34363Bu, kBottomColour = 0xFF1F2024u;
constexpr unsigned int kAccent = 0xFFF2A33Au, kInk = 0xFFD8D4CCu, kInkDim = 0xFF8C8880u;
constexpr unsigned int kBlack = 0xFF000000u;

constexpr double kLowHz = 20.0, kHighHz = 20000.0;

// The plotting area inside the picture, and the mapping of Hz and dB onto it.
struct Frame {
  int left, top, right, bottom;  // right and bottom exclusive
  PlotScale scale;

  double X(double hz) const {
    return left + std::log(hz / kLowHz) / std::log(kHighHz / kLowHz) * (right - 1 - left);
  }
  double Y(double db) const {
    return top + (scale.highDb - db) / (scale.highDb - scale.lowDb) * (bottom - 1 - top);
  }
};

unsigned int Mix(unsigned int a, unsigned int b, double t) {
  unsigned int out = 0xFF000000u;
  for (int s = 0; s < 24; s += 8) {
    const double ca = (a >> s) & 255, cb = (b >> s) & 255;
    out |= static_cast<unsigned int>(std::lround(ca + (cb - ca) * t)) << s;
  }
  return out;
}

// A font of the given cell height for labels, drawn from its glyph cache.
std::unique_ptr<Raster_CachedFont> MakeFont(int height, bool bold) {
  auto font = std::make_unique<Raster_CachedFont>();
  font->SetFromHFont(CreateFont(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, 0, 0, 0, 0, 0, 0,
                                ANTIALIASED_QUALITY, 0, "DejaVu Sans"),
                     RASTER_FONT_FLAG_OWNS_HFONT);
  return font;
}

int TextWidth(Raster_CachedFont& font, const char* text) {
  RECT r{0, 0, 0, 0};
  font.DrawText(nullptr, text, -1, &r, DT_SINGLELINE | DT_CALCRECT);
  return r.right;
}

// Text in a colour with its left, centre or right (align 0, 1, 2) at x; top at y.
int PutText(Raster_IBitmap* bmp, Raster_CachedFont& font, const char* text, int x, int y, int align,
            unsigned int colour) {
  const int w = TextWidth(font, text);
  const int left = align == 0 ? x : (align == 1 ? x - w / 2 : x - w);
  RECT r{left, y, left + w + 1, y + font.GetLineHeight()};
  font.SetTextColor(colour);
  font.DrawText(bmp, text, -1, &r, DT_SINGLELINE | DT_NOCLIP);
  return left + w;
}

void Widen(const std::vector<ResponsePoint>& points, double* low, double* high) {
  for (const ResponsePoint& p : points)
    if (std::isfinite(p.db)) *low = std::min(*low, p.db), *high = std::max(*high, p.db);
}

void FillBackground(Raster_IBitmap* bmp) {
  const int h = bmp->getHeight();
  for (int y = 0; y < h; ++y)
    Raster_FillRect(bmp, 0, y, bmp->getWidth(), 1, Mix(kTopColour, kBottomColour, double(y) / h),
                    1.0f, 0);
}

struct Mark {
  double hz;
  const char* label;
  bool decade;
};

// Decade lines solid, octave lines (ISO centres) dashed; labels that would touch a
// label already drawn are left out.
void DrawFrequencyGrid(Raster_IBitmap* bmp, const Frame& f, Raster_CachedFont& font) {
  static const Mark kMarks[] = {{20, "20", true},     {100, "100", true},   {1000, "1k", true},
                                {10000, "10k", true}, {20000, "20k", true}, {31.5, "31", false},
                                {63, "63", false},    {125, "125", false},  {250, "250", false},
                                {500, "500", false},  {2000, "2k", false},  {4000, "4k", false},
                                {8000, "8k", false},  {16000, "16k", false}};
  std::vector<std::pair<int, int>> taken;
  for (const Mark& m : kMarks) {
    const int x = static_cast<int>(std::lround(f.X(m.hz)));
    if (m.decade)
      Raster_Line(bmp, x, f.top, x, f.bottom - 1, kInkDim, 0.5f, 0, false);
    else
      Raster_DashedLine(bmp, x, f.top, x, f.bottom - 1, 2, 3, kInkDim, 0.5f, 0, false);
    const int w = TextWidth(font, m.label);
    const int l = x - w / 2 - 3, r = x + w / 2 + 3;
    if (std::any_of(taken.begin(), taken.end(),
                    [&](const std::pair<int, int>& t) { return l < t.second && r > t.first; }))
      continue;
    taken.emplace_back(l, r);
    PutText(bmp, font, m.label, x, f.bottom + 6, 1, m.decade ? kInk : kInkDim);
  }
  PutText(bmp, font, "Hz", f.right + 14, f.bottom + 6, 0, kInkDim);
}

// A line at each step of the scale, 0 dB brighter, labelled on the left.
void DrawLevelGrid(Raster_IBitmap* bmp, const Frame& f, Raster_CachedFont& font) {
  for (double db = f.scale.lowDb; db <= f.scale.highDb; db += f.scale.stepDb) {
    const int y = static_cast<int>(std::lround(f.Y(db)));
    if (db == 0)
      Raster_Line(bmp, f.left, y, f.right - 1, y, kInk, 0.5f, 0, false);
    else
      Raster_DashedLine(bmp, f.left, y, f.right - 1, y, 2, 3, kInkDim, 0.5f, 0, false);
    char label[16];
    std::snprintf(label, sizeof label, db > 0 ? "+%g" : "%g", db);
    PutText(bmp, font, label, f.left - 8, y - font.GetLineHeight() / 2, 2,
            db == 0 ? kInk : kInkDim);
  }
  PutText(bmp, font, "dB", f.left - 8, f.top - font.GetLineHeight() - 6, 2, kInkDim);
}

struct Cubic {
  float x1, y1, c1x, c1y, c2x, c2y, x2, y2;
};

// The points joined by cubic pieces through each of them (Catmull-Rom tangents).
template <class Piece>
void ForEachPiece(const Frame& f, const std::vector<ResponsePoint>& points, Piece&& piece) {
  const int n = static_cast<int>(points.size());
  auto x = [&](int i) { return f.X(points[std::max(0, std::min(n - 1, i))].hz); };
  auto y = [&](int i) { return f.Y(points[std::max(0, std::min(n - 1, i))].db); };
  for (int i = 0; i + 1 < n; ++i) {
    piece(Cubic{static_cast<float>(x(i)), static_cast<float>(y(i)),
                static_cast<float>(x(i) + (x(i + 1) - x(i - 1)) / 6),
                static_cast<float>(y(i) + (y(i + 1) - y(i - 1)) / 6),
                static_cast<float>(x(i + 1) - (x(i + 2) - x(i)) / 6),
                static_cast<float>(y(i + 1) - (y(i + 2) - y(i)) / 6), static_cast<float>(x(i + 1)),
                static_cast<float>(y(i + 1))});
  }
}

void DrawCubic(Raster_IBitmap* bmp, const Cubic& c, float dy, unsigned int colour, float alpha) {
  Raster_DrawCBezier(bmp, c.x1, c.y1 + dy, c.c1x, c.c1y + dy, c.c2x, c.c2y + dy, c.x2, c.y2 + dy,
                     colour, alpha, 0, true);
}

// Curves are drawn into a bitmap of the plotting area, so nothing spills over the axes.
void DrawCurves(Raster_IBitmap* bmp, const Frame& f, const ResponsePlot& plot) {
  Raster_MemBitmap area(f.right - f.left, f.bottom - f.top, 4);
  const RECT whole{f.left, f.top, f.right, f.bottom};
  Raster_Blit(&area, bmp, 0, 0, &whole, 1.0f, 0);
  Frame local = f;
  local.right -= f.left, local.bottom -= f.top, local.left = 0, local.top = 0;
  // The fill reaches the 0 dB grid line, which is drawn again over it.
  const int zero = static_cast<int>(std::lround(f.Y(0))) - f.top;
  ForEachPiece(local, plot.curve, [&](const Cubic& c) {
    Raster_FillCBezier(&area, c.x1, c.y1, c.c1x, c.c1y, c.c2x, c.c2y, c.x2, c.y2, zero + 0.5f,
                       kAccent, 0.16f, 0);
  });
  Raster_Line(&area, 0, zero, area.getWidth() - 1, zero, kInk, 0.5f, 0, false);
  ForEachPiece(local, plot.reference,
               [&](const Cubic& c) { DrawCubic(&area, c, 0, kInkDim, 0.8f); });
  // The curve twice, half a pixel apart: a line about 1.5 pixels thick.
  for (float dy : {-0.25f, 0.25f})
    ForEachPiece(local, plot.curve,
                 [&](const Cubic& c) { DrawCubic(&area, c, dy, kAccent, 1.0f); });
  const RECT all{0, 0, area.getWidth(), area.getHeight()};
  Raster_Blit(bmp, &area, f.left, f.top, &all, 1.0f, 0);
}

void DrawCaption(Raster_IBitmap* bmp, const ResponsePlot& plot, Raster_CachedFont& titleFont,
                 Raster_CachedFont& font) {
  const int x = PutText(bmp, titleFont, "VANTROSE", 18, 14, 0, kAccent);
  const int after = PutText(bmp, font, (" response  " + plot.title).c_str(), x + 6, 17, 0, kInk);
  PutText(bmp, font, plot.caption.c_str(), after + 14, 17, 0, kInkDim);
  if (plot.reference.empty()) return;
  // Legend, top right: the settings' curve and the defaults beneath.
  const int right = plot.width - 24;
  int l = right - TextWidth(font, "defaults");
  PutText(bmp, font, "defaults", right, 17, 2, kInkDim);
  Raster_FLine(bmp, l - 26.0f, 24.0f, l - 6.0f, 24.0f, kInkDim, 0.8f, 0, true);
  l -= 40;
  l -= TextWidth(font, "settings");
  PutText(bmp, font, "settings", l, 17, 0, kInk);
  Raster_FLine(bmp, l - 26.0f, 24.0f, l - 6.0f, 24.0f, kAccent, 1.0f, 0, true);
}

}  // namespace

PlotScale PlotScaleFor(const ResponsePlot& plot) {
  double low = -18.0, high = 18.0;
  Widen(plot.curve, &low, &high);
  Widen(plot.reference, &low, &high);
  // At most about a dozen grid lines.
  double step = 6.0;
  while ((high - low) / step > 12.0 && step < 48.0)
    step *= 2;
  return PlotScale{std::floor(low / step) * step, std::ceil(high / step) * step, step};
}

bool DrawResponsePlot(const ResponsePlot& plot, Raster_IBitmap* bmp) {
  if (!bmp || bmp->getWidth() != plot.width || bmp->getHeight() != plot.height ||
      plot.width < 400 || plot.height < 200)
    return false;
  auto titleFont = MakeFont(17, true);
  auto font = MakeFont(12, false);
  const Frame f{64, 56, plot.width - 36, plot.height - 40, PlotScaleFor(plot)};
  FillBackground(bmp);
  Raster_FillRect(bmp, f.left, f.top, f.right - f.left, f.bottom - f.top, kBlack, 0.25f, 0);
  DrawLevelGrid(bmp, f, *font);
  DrawFrequencyGrid(bmp, f, *font);
  DrawCurves(bmp, f, plot);
  Raster_DrawRect(bmp, f.left - 1, f.top - 1, f.right - f.left + 2, f.bottom - f.top + 2, kBlack,
                  0.5f, 0);
  DrawCaption(bmp, plot, *titleFont, *font);
  Raster_ClearRect(bmp, 0, 0, plot.width, plot.height, 0x00FFFFFFu, 0xFF000000u);  // opaque
  return true;
}

bool WriteResponsePlot(const ResponsePlot& plot, const std::string& path, std::string* error) {
  Raster_MemBitmap bmp(plot.width, plot.height, 4);
  if (!DrawResponsePlot(plot, &bmp)) {
    *error = "can't draw a plot of that size";
    return false;
  }
  std::vector<unsigned char> png;
  if (!Raster_EncodePNG(&bmp, &png)) {
    *error = "can't encode the plot as PNG";
    return false;
  }
  return WriteWholeFile(path, png.data(), png.size(), error);
}

ResponsePlot MakeResponsePlot(const IPluginBase& plug, double rate,
                              const std::vector<ParamSetting>& settings,
                              const std::vector<ResponsePoint>& points, bool compare) {
  ResponsePlot plot;
  plot.curve = points;
  char title[32];
  std::snprintf(title, sizeof title, "at %g Hz", rate);
  plot.title = title;
  plot.caption = DescribeSettings(plug, settings);
  if (compare) {
    std::vector<double> hz;
    for (const ResponsePoint& p : points)
      hz.push_back(p.hz);
    std::unique_ptr<Vantrose> defaults = MakeConfiguredEffect(rate, 512, 2, {});
    plot.reference = MeasureResponse(*defaults, hz);
  }
  return plot;
}
