// vantrose demo: the embedded default.  Synthesises a short stereo track, runs it
// through the effect at a few contrasting settings, writes every version as a WAV
// file with a snapshot of the editor panel, and prints what each setting did.
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "AudioFile.h"
#include "Commands.h"
#include "EffectSetup.h"
#include "PanelSnapshot.h"
#include "Response.h"
#include "ResponsePlot.h"

namespace {

CommandApp DemoApp(std::string* dir) {
  CommandApp app = NewCommandApp(
      "demo", "synthesise a test track and process it at a few settings, with pictures");
  app->add_option("--out", *dir, "the folder for the files")
      ->type_name("DIR")
      ->capture_default_str();
  return app;
}

constexpr int kRate = 44100;
constexpr double kSeconds = 4.0;
constexpr int kBlock = 512;

struct DemoSetting {
  const char* file;
  const char* what;
  const char* sets[6];
};

const DemoSetting kSettings[] = {
    {"1-flat", "all bands centred: only the saturation stage and the filters' colour", {}},
    {"2-low-shelf", "low shelf boost, output 6 dB down", {"LGain=0.85", "LFreq=0.725", "Gain=-6"}},
    {"3-bell-hp-lp",
     "low bell, high-pass and low-pass engaged, high-mid cut",
     {"Bell=1", "LGain=0.8", "HPLP=1", "HP=0.3", "LP=0.95", "HMGain=0.3"}},
    {"4-bright-16x",
     "high band lift, low-mid dip, -3 dB out, saturation at 16x",
     {"HGain=0.9", "HFreq=0.6", "LMGain=0.35", "Gain=-3", "14=1"}},
    {"5-bypass", "processing switched off", {"BY=0"}},
};

const double kFigureHz[] = {30, 100, 300, 1000, 3000, 10000, 16000};

// A deterministic test track: kick and snare transients, a bass line, hi-hat ticks
// and a quiet noise bed; planar stereo, peaking at -6 dBFS.
void Synthesise(std::vector<float>& left, std::vector<float>& right) {
  const int n = static_cast<int>(kRate * kSeconds);
  left.assign(n, 0.0f);
  right.assign(n, 0.0f);
  std::mt19937 rng(2024);
  std::uniform_real_distribution<double> noise(-1.0, 1.0);
  const double bassNotes[] = {55.0, 65.41, 73.42, 82.41, 55.0, 49.0, 55.0, 73.42};
  double prevNoise = 0.0, bassPhase = 0.0;
  for (int i = 0; i < n; ++i) {
    const double t = double(i) / kRate;
    const double beat = std::fmod(t, 0.5);
    const double kick = 0.6 * std::exp(-beat * 18.0) *
                        std::sin(2 * M_PI * (45.0 + 90.0 * std::exp(-beat * 40.0)) * beat);
    const double backbeat = std::fmod(t + 0.5, 1.0);
    const double w = noise(rng);
    const double snare = backbeat < 0.5 ? 0.35 * std::exp(-backbeat * 30.0) * w : 0.0;
    const double tick = std::fmod(t, 0.125);
    const double hat = 0.12 * std::exp(-tick * 120.0) * (w - prevNoise);
    prevNoise = w;
    const double note = bassNotes[static_cast<int>(t / 0.5) % 8];
    bassPhase += note / kRate;
    const double env =
        std::min(1.0, std::fmod(t, 0.5) * 200.0) * std::exp(-std::fmod(t, 0.5) * 2.0);
    double bass = 0.0;
    for (int h = 1; h <= 6; ++h)
      bass += std::sin(2 * M_PI * h * bassPhase) / h;
    bass *= 0.18 * env;
    const double bed = 0.01 * noise(rng);
    left[i] = static_cast<float>(kick + 0.6 * snare + 0.4 * hat + bass + bed);
    right[i] = static_cast<float>(kick + 0.4 * snare + 0.9 * hat + bass + 0.01 * noise(rng));
  }
  // Peak at -6 dBFS, leaving headroom for the boosts of the demo's settings.
  float peak = 0.0f;
  for (int i = 0; i < n; ++i)
    peak = std::max(peak, std::max(std::fabs(left[i]), std::fabs(right[i])));
  const float scale = peak > 0.0f ? static_cast<float>(0.5011872336272722 / peak) : 1.0f;
  for (int i = 0; i < n; ++i) {
    left[i] *= scale;
    right[i] *= scale;
  }
}

bool WritePlanar(const std::string& path, const std::vector<float>& l, const std::vector<float>& r,
                 std::string* error) {
  std::vector<float> interleaved(2 * l.size());
  for (size_t i = 0; i < l.size(); ++i) {
    interleaved[2 * i] = l[i];
    interleaved[2 * i + 1] = r[i];
  }
  return WriteWav(path, interleaved.data(), static_cast<long long>(l.size()), kRate, 2, error);
}

double LevelDb(const std::vector<float>& l, const std::vector<float>& r, bool peak) {
  LevelMeter m;
  for (size_t i = 0; i < l.size(); ++i) {
    m.Add(l[i]);
    m.Add(r[i]);
  }
  return peak ? m.PeakDb() : m.RmsDb();
}

}  // namespace

CommandApp DemoCommandLine() {
  static std::string unused;
  return DemoApp(&unused);
}

int RunDemo(int argc, char** argv) {
  std::string dir = "vantrose-demo";
  const int code = ParseCommandLine(*DemoApp(&dir), argc, argv);
  if (code >= 0) return code;
  if (mkdir(dir.c_str(), 0755) != 0 && errno != EEXIST) {
    std::fprintf(stderr, "vantrose demo: can't create folder '%s': %s\n", dir.c_str(),
                 std::strerror(errno));
    return kExitUsage;
  }

  // The panel artwork, before the first effect is built; without it the demo
  // still runs, only without the panel snapshots.
  std::string error;
  const bool panels = RegisterPanelArtwork("", &error);
  std::vector<float> inL, inR;
  Synthesise(inL, inR);
  if (!WritePlanar(dir + "/0-input.wav", inL, inR, &error)) {
    std::fprintf(stderr, "vantrose demo: %s\n", error.c_str());
    return kExitUsage;
  }
  std::printf(
      "Vantrose demo: a %.0f s stereo test track at %d Hz (kick, snare, hi-hat, bass,\n"
      "noise) through the equaliser at %zu settings.  Files in %s/\n\n",
      kSeconds, kRate, sizeof kSettings / sizeof kSettings[0], dir.c_str());
  std::printf("  0-input.wav                      peak %6.2f dBFS  RMS %6.2f dBFS\n\n",
              LevelDb(inL, inR, true), LevelDb(inL, inR, false));

  std::vector<float> outL(inL.size()), outR(inR.size());
  // Each setting's response is plotted over the defaults' one.
  const std::vector<double> plotHz = LogFrequencies(20.0, 20000.0, 12);
  std::unique_ptr<Vantrose> flat = MakeConfiguredEffect(kRate, kBlock, 2, {});
  const std::vector<ResponsePoint> defaults = MeasureResponse(*flat, plotHz);
  for (const DemoSetting& d : kSettings) {
    std::unique_ptr<Vantrose> probe(static_cast<Vantrose*>(MakePlug(nullptr)));
    std::vector<ParamSetting> settings;
    for (const char* s : d.sets) {
      ParamSetting p;
      if (!s) break;
      if (!ParseParamSetting(*probe, s, &p, &error)) return kExitUsage;
      settings.push_back(p);
    }
    std::unique_ptr<Vantrose> fx = MakeConfiguredEffect(kRate, kBlock, 2, settings);
    for (size_t pos = 0; pos < inL.size(); pos += kBlock) {
      const int n = static_cast<int>(std::min<size_t>(kBlock, inL.size() - pos));
      float* ins[2] = {inL.data() + pos, inR.data() + pos};
      float* outs[2] = {outL.data() + pos, outR.data() + pos};
      ProcessFloatBlock(*fx, ins, outs, 2, n);
    }
    const std::string file = std::string(d.file) + ".wav";
    if (!WritePlanar(dir + "/" + file, outL, outR, &error)) {
      std::fprintf(stderr, "vantrose demo: %s\n", error.c_str());
      return kExitUsage;
    }
    std::printf("  %-32s peak %6.2f dBFS  RMS %6.2f dBFS\n", file.c_str(),
                LevelDb(outL, outR, true), LevelDb(outL, outR, false));
    if (panels) {
      PanelSnapshotRequest shot;
      shot.settings = settings;
      shot.outPath = dir + "/" + d.file + ".png";
      std::vector<double> values;
      if (RenderPanelSnapshot(shot, &values, &error)) {
        std::printf("    panel: %s.png\n", d.file);
      } else {
        std::printf("    panel: not drawn (%s)\n", error.c_str());
      }
    }
    std::unique_ptr<Vantrose> plotted = MakeConfiguredEffect(kRate, kBlock, 2, settings);
    ResponsePlot plot =
        MakeResponsePlot(*plotted, kRate, settings, MeasureResponse(*plotted, plotHz), false);
    plot.reference = defaults;
    const std::string plotFile = std::string(d.file) + "-response.png";
    if (WriteResponsePlot(plot, dir + "/" + plotFile, &error)) {
      std::printf("    response plot: %s\n", plotFile.c_str());
    } else {
      std::printf("    response plot: not drawn (%s)\n", error.c_str());
    }
    std::printf("    %s\n    settings: %s\n    response:", d.what,
                DescribeSettings(*fx, settings).c_str());
    std::unique_ptr<Vantrose> meter = MakeConfiguredEffect(kRate, kBlock, 2, settings);
    const std::vector<double> hz(std::begin(kFigureHz), std::end(kFigureHz));
    for (const ResponsePoint& p : MeasureResponse(*meter, hz)) {
      std::printf("  %g Hz %+.1f", p.hz, p.db);
    }
    std::printf(" dB\n\n");
  }
  std::printf("Try: build/vantrose process %s/0-input.wav out.wav --set LGain=1\n", dir.c_str());
  return 0;
}
