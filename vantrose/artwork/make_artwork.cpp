// vantrose_artwork OUTDIR: draws the editor's sixteen PNG images: the 774 x 237
// background, four two-frame switches and eleven 31-frame knobs, frames from minimum
// to maximum.  Each is drawn at every editor scale: 1x in OUTDIR, frames stacked
// vertically; 1.5x and 2x in OUTDIR/1.5x and OUTDIR/2x, frames side by side.

#include <sys/stat.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "Canvas.h"
#include "Raster_MemBitmap.h"
#include "Raster_PNGWrite.h"
#include "VantroseLayout.h"

using namespace VantroseLayout;

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kSweepMin = -0.75f * kPi;  // knob travel: 7:30 to 4:30
constexpr float kSweepMax = 0.75f * kPi;

const RGBA kAccent = Rgb(0xF2A33A);
const RGBA kAccentDim = Rgb(0x5A4526);
const RGBA kInk = Rgb(0xD8D4CC);
const RGBA kInkDim = Rgb(0x8C8880);

// Screw centres: this far in from the sides, and from the top and bottom.
constexpr float kScrewInset = 10.0f;
constexpr float kScrewTop = 47.0f;

bool IsBipolar(int paramIdx) {
  return paramIdx == 0 || paramIdx == 2 || paramIdx == 4 || paramIdx == 6 || paramIdx == 10;
}

// Small deterministic noise for the brushed finish.
float Hash(int x, int y) {
  unsigned int h =
      static_cast<unsigned int>(x) * 374761393u + static_cast<unsigned int>(y) * 668265263u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return ((h ^ (h >> 16)) & 0xFFFF) / 65535.0f;
}

// One knob frame: a dark ribbed cap with a value arc in its track and a pointer.
void DrawKnobFrame(Canvas& c, float value, bool bipolar) {
  float cx = kKnobSize / 2.0f, cy = kKnobSize / 2.0f;
  float angle = kSweepMin + value * (kSweepMax - kSweepMin);
  c.Arc(cx, cy, 22.5f, 3.0f, kSweepMin, kSweepMax, Rgb(0x101113));
  float from = bipolar ? 0.0f : kSweepMin;
  if (std::fabs(angle - from) > 0.01f) c.Arc(cx, cy, 22.5f, 3.0f, from, angle, kAccent);
  c.Fill(cx, cy + 1.5f, 18.5f, Rgb(0x000000, 0.45f));  // drop shadow
  c.Paint([=](float x, float y) { return std::hypot(x - cx, y - cy) - 18.0f; },
          [=](float x, float y) {
            float t = (y - (cy - 18.0f)) / 36.0f;
            RGBA top = Rgb(0x4A4C52), bottom = Rgb(0x1E1F23);
            RGBA base = Mix(top, bottom, t);
            float a = std::atan2(x - cx, -(y - cy));
            float rib = 0.5f + 0.5f * std::cos(a * 24.0f);  // knurled rim
            float r = std::hypot(x - cx, y - cy);
            return r > 15.0f ? Mix(base, Rgb(0x5C5F66), 0.25f * rib) : base;
          });
  c.Paint(
      [=](float x, float y) { return std::hypot(x - cx, y - cy) - 13.5f; },
      [=](float, float y) { return Mix(Rgb(0x3A3C42), Rgb(0x26272B), (y - cy + 13.5f) / 27.0f); });
  c.Ring(cx, cy, 13.5f, 1.0f, Rgb(0x62656C, 0.6f));
  float sn = std::sin(angle), cs = std::cos(angle);
  c.Line(cx + sn * 4.0f, cy - cs * 4.0f, cx + sn * 16.0f, cy - cs * 16.0f, 2.4f, Rgb(0xF4F1EA));
}

// A filmstrip of frames w x h panel units, drawn by draw(canvas, k) for frame k.  At 1x
// the frames are stacked top to bottom.  At the other scales they stand side by side,
// first frame on the left: each image row then holds that row of every frame, so the
// PNG compressor finds a frame's likeness in its neighbour a frame's width back.
// Stacked, a 2x knob frame (108 x 108, 46.6 KB) is longer than the compressor's 32 KB
// window and the frames share nothing.  The editor stacks such strips again on loading.
template <typename DrawFrame>
void DrawStrip(const std::string& path, int w, int h, int frames, float scale,
               const DrawFrame& draw) {
  const bool sideBySide = scale != 1.0f;
  Canvas probe(w, h, scale);
  Raster_MemBitmap strip(probe.Width() * (sideBySide ? frames : 1),
                         probe.Height() * (sideBySide ? 1 : frames), 4);
  for (int k = 0; k < frames; ++k) {
    Canvas frame(w, h, scale);
    draw(frame, k);
    frame.ToBitmap(&strip, sideBySide ? k * frame.Width() : 0, sideBySide ? 0 : k * frame.Height());
  }
  Raster_WritePNG(path.c_str(), &strip);
}

void DrawKnob(const std::string& path, bool bipolar, float scale) {
  DrawStrip(path, kKnobSize, kKnobSize, kKnobFrames, scale, [bipolar](Canvas& c, int k) {
    DrawKnobFrame(c, static_cast<float>(k) / (kKnobFrames - 1), bipolar);
  });
}

// A rounded push button with a lamp: dark when off, lit amber when on.
void DrawSwitchFrame(Canvas& c, bool on) {
  float w = kSwitchWidth, h = kSwitchHeight;
  c.RoundRect(0.5f, 1.5f, w - 0.5f, h - 0.0f, 4.0f, Rgb(0x000000, 0.5f));
  c.Paint(
      [=](float x, float y) {
        float qx = std::fabs(x - w / 2) - (w / 2 - 1.0f - 4.0f);
        float qy = std::fabs(y - (h - 1) / 2) - ((h - 1) / 2 - 1.0f - 4.0f);
        return std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f)) +
               std::min(std::max(qx, qy), 0.0f) - 4.0f;
      },
      [=](float, float y) {
        return Mix(Rgb(on ? 0x45474D : 0x3E4046), Rgb(on ? 0x2A2B30 : 0x24252A), y / h);
      });
  float lx = w / 2, ly = (h - 1) / 2;
  if (on) c.Fill(lx, ly, 7.0f, Rgb(0xF2A33A, 0.25f));
  c.RoundRect(lx - 9, ly - 2.5f, lx + 9, ly + 2.5f, 2.5f, on ? kAccent : Rgb(0x17181B));
  if (on) c.RoundRect(lx - 7, ly - 1.2f, lx + 7, ly + 0.2f, 0.7f, Rgb(0xFFE2B0, 0.8f));
}

void DrawSwitch(const std::string& path, float scale) {
  DrawStrip(path, kSwitchWidth, kSwitchHeight, kSwitchFrames, scale,
            [](Canvas& c, int k) { DrawSwitchFrame(c, k == 1); });
}

// Where the editor puts a control's image at the canvas's scale, in panel units: its
// panel position on the pixel grid, as the editor rounds it.
float Snap(const Canvas& c, int v) {
  return c.ScaledPixel(static_cast<float>(v)) / c.Scale();
}

// Scale marks around a knob's sweep, with end labels.
void DrawKnobScale(Canvas& c, const ControlPlace& p) {
  float cx = Snap(c, p.x) + kKnobSize / 2.0f, cy = Snap(c, p.y) + kKnobSize / 2.0f;
  for (int i = 0; i <= 10; ++i) {
    float a = kSweepMin + i * (kSweepMax - kSweepMin) / 10.0f;
    bool major = i == 0 || i == 5 || i == 10;
    float r0 = 25.0f, r1 = major ? 28.5f : 27.0f;
    c.Line(cx + std::sin(a) * r0, cy - std::cos(a) * r0, cx + std::sin(a) * r1,
           cy - std::cos(a) * r1, major ? 1.3f : 0.9f, major ? kInk : kInkDim);
  }
  c.Text(p.caption, cx, p.y + kKnobSize + 1.0f, 9, false, kInk, 1, 0.3f);
  if (IsBipolar(p.paramIdx)) {
    c.Text("-", cx - 23.0f, cy + 17.0f, 9, false, kInkDim, 1);
    c.Text("+", cx + 23.0f, cy + 17.0f, 9, false, kInkDim, 1);
  }
}

void DrawBackground(const std::string& path, float scale) {
  Canvas c(kWidth, kHeight, scale);
  c.Paint([](float, float) { return -10.0f; },
          [](float x, float y) {
            RGBA base = Mix(Rgb(0x34363B), Rgb(0x1F2024), y / kHeight);
            float grain = Hash(static_cast<int>(x) / 3, static_cast<int>(y)) - 0.5f;
            return Mix(base, Rgb(grain > 0 ? 0xFFFFFF : 0x000000), std::fabs(grain) * 0.05f);
          });
  // Bevelled edge and four screws, mirrored left to right and top to bottom, in the
  // side strips beside the plates: the oversampling switch fills the bottom-left corner.
  c.Line(0, 0.5f, kWidth, 0.5f, 1.0f, Rgb(0xFFFFFF, 0.12f));
  c.Line(0, kHeight - 0.5f, kWidth, kHeight - 0.5f, 1.0f, Rgb(0x000000, 0.6f));
  for (float sx : {kScrewInset, kWidth - kScrewInset}) {
    for (float sy : {kScrewTop, kHeight - 1.0f - kScrewTop}) {
      c.Fill(sx, sy, 4.0f, Rgb(0x141518));
      c.Fill(sx, sy - 0.4f, 3.2f, Rgb(0x55575D));
      c.Line(sx - 2.2f, sy - 0.4f, sx + 2.2f, sy - 0.4f, 1.0f, Rgb(0x1A1B1E));
    }
  }
  // Recessed plates: the filters, the equaliser, and a bay in the bottom-left corner,
  // open to the panel's edges, that holds the oversampling switch and its caption.
  c.RoundRect(53, 16, 229, 192, 6.0f, Rgb(0x000000, 0.18f));
  c.RoundRect(241, 16, 701, 192, 6.0f, Rgb(0x000000, 0.18f));
  c.RoundRect(-8, 202, 118, kHeight + 8.0f, 6.0f, Rgb(0x000000, 0.18f));
  c.Text("FILTERS", 141, 19, 9, true, kAccent, 1, 1.2f);
  struct Title {
    float x;
    const char* text;
  } titles[] = {{293, "LOW"}, {389, "LOW MID"}, {484, "HIGH MID"}, {580, "HIGH"}, {649, "OUTPUT"}};
  for (const Title& t : titles)
    c.Text(t.text, t.x, 19, 9, true, kAccent, 1, 1.2f);
  for (float x : {341.0f, 436.5f, 531.5f, 627.0f}) {
    c.Line(x, 20, x, 30, 1.0f, Rgb(0xFFFFFF, 0.10f));
  }
  for (int i = 0; i < kNumControls; ++i) {
    const ControlPlace& p = kControls[i];
    if (p.kind == kKnob) {
      DrawKnobScale(c, p);
    } else {
      float sx = Snap(c, p.x), sy = Snap(c, p.y);
      c.RoundRect(sx - 1.0f, sy - 1.0f, sx + kSwitchWidth + 1.0f, sy + kSwitchHeight + 1.0f, 5.0f,
                  Rgb(0x000000, 0.35f));
      float tx = p.x + kSwitchWidth / 2.0f;
      if (p.y + kSwitchHeight + 12 < kHeight) {
        c.Text(p.caption, tx, p.y + kSwitchHeight + 2.0f, 9, false, kInk, 1, 0.3f);
      } else {
        c.Text("OVERSAMPLE", p.x + kSwitchWidth + 6.0f, p.y + 5.0f, 9, false, kInk, 0, 0.3f);
      }
    }
  }
  // Product name over the link area, its right edge clear of the screws' strip.
  const float nameRight = kWidth - 2 * kScrewInset;
  c.Text("VANTROSE", nameRight, kLinkT + 2.0f, 20, true, Rgb(0xECE8E0), 2, 3.0f);
  c.Text("FOUR-BAND ANALOGUE EQUALISER", nameRight, kLinkT + 26.0f, 8, false, kInkDim, 2, 1.0f);
  c.Line(kLinkL + 8.0f, kLinkT + 24.5f, nameRight, kLinkT + 24.5f, 1.0f, Rgb(0xF2A33A, 0.5f));

  Raster_MemBitmap bmp(c.Width(), c.Height(), 4);
  c.ToBitmap(&bmp);
  // The background is opaque.
  for (int y = 0; y < c.Height(); ++y)
    for (int x = 0; x < c.Width(); ++x)
      bmp.getBits()[y * bmp.getRowSpan() + x] |= 0xFF000000u;
  Raster_WritePNG(path.c_str(), &bmp);
}

std::string BaseName(const char* file) {
  std::string s(file);
  size_t slash = s.find_last_of('/');
  return slash == std::string::npos ? s : s.substr(slash + 1);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: vantrose_artwork OUTDIR\n");
    return 2;
  }
  struct Scale {
    float factor;
    const char* folder;
  } scales[] = {{1.0f, ""}, {1.5f, "/1.5x"}, {2.0f, "/2x"}};
  for (const Scale& s : scales) {
    std::string dir = std::string(argv[1]) + s.folder;
    if (mkdir(dir.c_str(), 0755) != 0 && errno != EEXIST) {
      std::fprintf(stderr, "vantrose_artwork: can't make %s: %s\n", dir.c_str(),
                   std::strerror(errno));
      return 1;
    }
    DrawBackground(dir + "/" + BaseName(kBackgroundFile), s.factor);
    for (int i = 0; i < kNumControls; ++i) {
      const ControlPlace& p = kControls[i];
      std::string path = dir + "/" + BaseName(p.file);
      if (p.kind == kKnob) {
        DrawKnob(path, IsBipolar(p.paramIdx), s.factor);
      } else {
        DrawSwitch(path, s.factor);
      }
    }
    std::printf("wrote %d images to %s\n", kNumControls + 1, dir.c_str());
  }
  return 0;
}
