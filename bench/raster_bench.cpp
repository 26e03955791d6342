// Drawing costs of the editor's panel (774 x 237): the background copy, filmstrip
// knob frames with source alpha, captions, and a whole redraw.  A plain memcpy of the
// panel's pixels is the baseline of the copy.

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "GdiText.h"
#include "Raster_Blit.h"
#include "Raster_CachedFont.h"
#include "Raster_Fill.h"
#include "Raster_MemBitmap.h"
#include "Raster_SysBitmap.h"

namespace {

constexpr int kPanelW = 774, kPanelH = 237;
constexpr int kFrames = 31, kKnob = 60;
const char kCaption[] = "LMFreq 1.25 kHz +3dB";  // 20 characters

std::unique_ptr<Raster_MemBitmap> Background() {
  auto bmp = std::make_unique<Raster_MemBitmap>(kPanelW, kPanelH, 4);
  for (int y = 0; y < kPanelH; ++y)
    for (int x = 0; x < kPanelW; ++x)
      bmp->getBits()[y * bmp->getRowSpan() + x] = 0xFF000000u | (x * 0x10301 + y * 0x20105);
  return bmp;
}

// A knob filmstrip: 31 frames stacked vertically, an opaque disc with soft edges on a
// transparent ground.
std::unique_ptr<Raster_MemBitmap> Filmstrip() {
  auto bmp = std::make_unique<Raster_MemBitmap>(kKnob, kKnob * kFrames, 4);
  for (int y = 0; y < kKnob * kFrames; ++y)
    for (int x = 0; x < kKnob; ++x) {
      const int dx = x - kKnob / 2, dy = y % kKnob - kKnob / 2, d2 = dx * dx + dy * dy;
      const int r2 = (kKnob / 2 - 2) * (kKnob / 2 - 2);
      const unsigned int a = d2 < r2 - 60 ? 255 : d2 < r2 ? 128 : 0;
      bmp->getBits()[y * bmp->getRowSpan() + x] = a << 24 | 0x505860u;
    }
  return bmp;
}

std::unique_ptr<Raster_CachedFont> CaptionFont(int flags) {
  auto font = std::make_unique<Raster_CachedFont>();
  font->SetFromHFont(CreateFont(10, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Monaco"),
                     flags | RASTER_FONT_FLAG_OWNS_HFONT);
  font->SetTextColor(0xFFE0E0E0u);
  return font;
}

void BM_PanelMemcpyBaseline(benchmark::State& state) {
  auto src = Background();
  Raster_SysBitmap dst(kPanelW, kPanelH);
  for (auto _ : state) {
    for (int y = 0; y < kPanelH; ++y)
      std::memcpy(dst.getBits() + y * dst.getRowSpan(), src->getBits() + y * src->getRowSpan(),
                  kPanelW * 4);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_PanelMemcpyBaseline)->Unit(benchmark::kMicrosecond);

void BM_PanelCopyBlit(benchmark::State& state) {
  auto src = Background();
  Raster_SysBitmap dst(kPanelW, kPanelH);
  for (auto _ : state) {
    Raster_Blit(&dst, src.get(), 0, 0, nullptr, 1.0f, 0);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_PanelCopyBlit)->Unit(benchmark::kMicrosecond);

void BM_PanelHalfBlit(benchmark::State& state) {
  auto src = Background();
  Raster_SysBitmap dst(kPanelW, kPanelH);
  for (auto _ : state) {
    Raster_Blit(&dst, src.get(), 0, 0, nullptr, 0.5f, 0);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_PanelHalfBlit)->Unit(benchmark::kMicrosecond);

void BM_FilmstripFrameSourceAlpha(benchmark::State& state) {
  auto strip = Filmstrip();
  Raster_SysBitmap dst(kPanelW, kPanelH);
  int frame = 0;
  for (auto _ : state) {
    const RECT r{0, frame * kKnob, kKnob, (frame + 1) * kKnob};
    Raster_Blit(&dst, strip.get(), 100, 80, &r, 1.0f, RASTER_MODE_ALPHA);
    frame = (frame + 1) % kFrames;
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_FilmstripFrameSourceAlpha)->Unit(benchmark::kMicrosecond);

void BM_Caption(benchmark::State& state) {
  auto font = CaptionFont(static_cast<int>(state.range(0)));
  Raster_SysBitmap dst(kPanelW, kPanelH);
  for (auto _ : state) {
    RECT r{300, 200, 500, 220};
    benchmark::DoNotOptimize(font->DrawText(&dst, kCaption, -1, &r, DT_SINGLELINE | DT_CENTER));
  }
  state.SetLabel(state.range(0) ? "native" : "glyph cache");
}
BENCHMARK(BM_Caption)->Arg(RASTER_FONT_FLAG_USE_NATIVE)->Arg(0)->Unit(benchmark::kMicrosecond);

// Background, eleven knobs, four two-state switches and four captions.
void BM_FullPanelRedraw(benchmark::State& state) {
  auto bg = Background();
  auto knob = Filmstrip();
  auto font = CaptionFont(RASTER_FONT_FLAG_USE_NATIVE);
  Raster_SysBitmap dst(kPanelW, kPanelH);
  int frame = 0;
  for (auto _ : state) {
    Raster_Blit(&dst, bg.get(), 0, 0, nullptr, 1.0f, 0);
    for (int k = 0; k < 15; ++k) {
      const int f = k < 11 ? frame : frame % 2;
      const RECT r{0, f * kKnob, kKnob, (f + 1) * kKnob};
      Raster_Blit(&dst, knob.get(), 10 + k * 50, k % 2 ? 20 : 120, &r, 1.0f, RASTER_MODE_ALPHA);
    }
    for (int c = 0; c < 4; ++c) {
      RECT r{20 + c * 180, 210, 180 + c * 180, 230};
      font->DrawText(&dst, kCaption, -1, &r, DT_SINGLELINE | DT_CENTER);
    }
    frame = (frame + 1) % kFrames;
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_FullPanelRedraw)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
