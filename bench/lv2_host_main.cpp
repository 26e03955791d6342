// vantrose_lv2_host: measures LV2 plug-ins on a whole file held in memory.
//   pink OUT SECONDS [CHANNELS] 44.1 kHz pink noise (stereo by default), float WAV, fixed seed
//   compare A B                 exit 0 when the two files' samples are identical bits
//   list URI                    the plug-in's control inputs
//   run URI IN [--block N] [--set SYMBOL=VALUE]... [--out OUT]
//                               blocks of N frames (default 512); a plug-in with fewer
//                               inputs than the file has channels runs as several
//                               instances side by side; prints the realtime factor of
//                               the CPU time spent in run() alone
#include <lv2/core/lv2.h>
#include <sndfile.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "LV2Host.h"

namespace {

// What one reading of the thread's CPU clock costs on average.
long long ClockOverheadNanoseconds() {
  constexpr int kPairs = 20000;
  long long total = 0;
  for (int i = 0; i < kPairs; ++i) {
    long long t0 = ThreadNanoseconds();
    total += ThreadNanoseconds() - t0;
  }
  return total / kPairs;
}

// Prints every control input of plugin: symbol, name, minimum, maximum, default.
void ListControls(const LV2World& world, const LilvPlugin* plugin) {
  const uint32_t n = lilv_plugin_get_num_ports(plugin);
  std::vector<float> mins(n), maxs(n), defs(n);
  lilv_plugin_get_port_ranges_float(plugin, mins.data(), maxs.data(), defs.data());
  for (uint32_t i = 0; i < n; ++i) {
    const LilvPort* port = lilv_plugin_get_port_by_index(plugin, i);
    if (!world.PortIs(plugin, port, LV2_CORE__ControlPort) ||
        !world.PortIs(plugin, port, LV2_CORE__InputPort)) {
      continue;
    }
    LilvNode* name = lilv_port_get_name(plugin, port);
    std::printf("  %-16s %-28s %10g %10g %10g\n",
                lilv_node_as_string(lilv_port_get_symbol(plugin, port)),
                name ? lilv_node_as_string(name) : "", mins[i], maxs[i], defs[i]);
    lilv_node_free(name);
  }
}

struct Audio {
  int rate = 0;
  int channels = 0;
  std::vector<std::vector<float>> planar;
  long frames() const { return planar.empty() ? 0 : static_cast<long>(planar[0].size()); }
};

bool ReadAudio(const char* path, Audio* out) {
  SF_INFO info = {};
  SNDFILE* f = sf_open(path, SFM_READ, &info);
  if (!f) {
    std::fprintf(stderr, "can't read %s: %s\n", path, sf_strerror(nullptr));
    return false;
  }
  std::vector<float> interleaved(static_cast<size_t>(info.frames) * info.channels);
  sf_count_t got = sf_readf_float(f, interleaved.data(), info.frames);
  sf_close(f);
  out->rate = info.samplerate;
  out->channels = info.channels;
  out->planar.assign(info.channels, std::vector<float>(static_cast<size_t>(got)));
  for (sf_count_t s = 0; s < got; ++s) {
    for (int c = 0; c < info.channels; ++c)
      out->planar[c][s] = interleaved[s * info.channels + c];
  }
  return true;
}

bool WriteAudio(const char* path, const Audio& audio) {
  SF_INFO info = {};
  info.samplerate = audio.rate;
  info.channels = audio.channels;
  info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  SNDFILE* f = sf_open(path, SFM_WRITE, &info);
  if (!f) {
    std::fprintf(stderr, "can't write %s: %s\n", path, sf_strerror(nullptr));
    return false;
  }
  std::vector<float> interleaved(static_cast<size_t>(audio.frames()) * audio.channels);
  for (long s = 0; s < audio.frames(); ++s) {
    for (int c = 0; c < audio.channels; ++c)
      interleaved[s * audio.channels + c] = audio.planar[c][s];
  }
  bool ok = sf_writef_float(f, interleaved.data(), audio.frames()) == audio.frames();
  return sf_close(f) == 0 && ok;
}

// White noise from a fixed-seed generator through three one-pole low-passes in
// parallel, which together fall at 3 dB per octave across the audio band.
int Pink(int argc, char** argv) {
  if (argc != 2 && argc != 3) return 2;
  double seconds = std::atof(argv[1]);
  Audio audio;
  audio.rate = 44100;
  audio.channels = argc == 3 ? std::atoi(argv[2]) : 2;
  if (!(seconds > 0.0 && seconds <= 3600.0) || audio.channels < 1 || audio.channels > 8) return 2;
  audio.planar.assign(audio.channels,
                      std::vector<float>(static_cast<size_t>(seconds * audio.rate)));
  unsigned seed = 0x2545F491u;
  for (int c = 0; c < audio.channels; ++c) {
    double b0 = 0.0, b1 = 0.0, b2 = 0.0;
    for (float& out : audio.planar[c]) {
      seed = seed * 1664525u + 1013904223u;
      double white = static_cast<double>(seed >> 8) / 8388608.0 - 1.0;
      b0 = 0.99765 * b0 + white * 0.0990460;
      b1 = 0.96300 * b1 + white * 0.2965164;
      b2 = 0.57000 * b2 + white * 1.0526913;
      out = static_cast<float>(0.1 * (b0 + b1 + b2 + white * 0.1848));
    }
  }
  return WriteAudio(argv[0], audio) ? 0 : 1;
}

int Compare(int argc, char** argv) {
  Audio a, b;
  if (argc != 2 || !ReadAudio(argv[0], &a) || !ReadAudio(argv[1], &b)) return 2;
  if (a.channels != b.channels || a.frames() != b.frames()) {
    std::printf("differ: %d x %ld frames against %d x %ld\n", a.channels, a.frames(), b.channels,
                b.frames());
    return 1;
  }
  long differing = 0, first = -1;
  for (int c = 0; c < a.channels; ++c) {
    for (long s = 0; s < a.frames(); ++s) {
      if (std::memcmp(&a.planar[c][s], &b.planar[c][s], sizeof(float)) == 0) continue;
      if (first < 0) first = s;
      ++differing;
    }
  }
  if (differing == 0) {
    std::printf("identical: %d x %ld samples, bit for bit\n", a.channels, a.frames());
    return 0;
  }
  std::printf("differ: %ld samples, first at frame %ld\n", differing, first);
  return 1;
}

int List(int argc, char** argv) {
  if (argc != 1) return 2;
  LV2World world;
  const LilvPlugin* plugin = world.Find(argv[0]);
  if (!plugin) {
    std::fprintf(stderr, "no plug-in %s\n", argv[0]);
    return 1;
  }
  std::printf("%s\n", argv[0]);
  ListControls(world, plugin);
  return 0;
}

struct RunArgs {
  const char* uri = nullptr;
  const char* in = nullptr;
  const char* out = nullptr;
  int block = 512;
  std::vector<std::pair<std::string, float>> sets;
};

bool ParseRun(int argc, char** argv, RunArgs* a) {
  if (argc < 2) return false;
  a->uri = argv[0];
  a->in = argv[1];
  for (int i = 2; i + 1 < argc; i += 2) {
    std::string opt = argv[i], val = argv[i + 1];
    if (opt == "--block") {
      a->block = std::atoi(val.c_str());
    } else if (opt == "--out") {
      a->out = argv[i + 1];
    } else if (opt == "--set" && val.find('=') != std::string::npos) {
      size_t eq = val.find('=');
      a->sets.push_back({val.substr(0, eq), std::strtof(val.c_str() + eq + 1, nullptr)});
    } else {
      return false;
    }
  }
  return (argc % 2) == 0 && a->block > 0;
}

int Run(int argc, char** argv) {
  RunArgs args;
  if (!ParseRun(argc, argv, &args)) return 2;
  Audio in;
  if (!ReadAudio(args.in, &in)) return 1;
  LV2World world;
  if (!world.Find(args.uri)) {
    std::fprintf(stderr, "no plug-in %s (is it installed, or LV2_PATH set?)\n", args.uri);
    return 1;
  }
  std::vector<std::unique_ptr<LV2Instance>> fx;
  int perInstance = 0;
  for (int ch = 0; ch < in.channels; ch += perInstance) {
    fx.emplace_back(new LV2Instance(world, args.uri, in.rate, args.block, Features::kAll));
    if (!fx.back()->Ok() || fx.back()->NAudioIn() < 1 || fx.back()->NAudioOut() < 1) {
      std::fprintf(stderr, "can't instantiate %s\n", args.uri);
      return 1;
    }
    perInstance = fx.back()->NAudioIn() < in.channels ? fx.back()->NAudioIn() : in.channels;
    for (const auto& s : args.sets) {
      if (!fx.back()->Set(s.first, s.second)) {
        std::fprintf(stderr, "%s has no control '%s'\n", args.uri, s.first.c_str());
        return 1;
      }
    }
  }
  Audio out = in;
  const long long overhead = ClockOverheadNanoseconds();
  long long ns = 0, calls = 0;
  for (long pos = 0; pos < in.frames(); pos += args.block) {
    int n = static_cast<int>(in.frames() - pos < args.block ? in.frames() - pos : args.block);
    for (size_t k = 0; k < fx.size(); ++k) {
      int first = static_cast<int>(k) * perInstance;
      for (int c = 0; c < fx[k]->NAudioIn(); ++c) {
        int ch = first + c < in.channels ? first + c : first;
        std::memcpy(fx[k]->AudioIn(c), in.planar[ch].data() + pos, sizeof(float) * n);
      }
      ns += fx[k]->Run(n);
      ++calls;
      for (int c = 0; c < perInstance && c < fx[k]->NAudioOut(); ++c)
        std::memcpy(out.planar[first + c].data() + pos, fx[k]->AudioOut(c), sizeof(float) * n);
    }
  }
  double audioSeconds = static_cast<double>(in.frames()) / in.rate;
  ns -= overhead * calls;
  double runSeconds = ns * 1e-9;
  std::printf(
      "%s: %.1f s of audio, %zu instance(s), blocks of %d, %.3f s CPU in run(): %.1fx realtime\n",
      args.uri, audioSeconds, fx.size(), args.block, runSeconds,
      runSeconds > 0 ? audioSeconds / runSeconds : 0.0);
  if (args.out && !WriteAudio(args.out, out)) return 1;
  return 0;
}

int Usage() {
  std::fprintf(stderr,
               "usage: vantrose_lv2_host pink OUT SECONDS [CHANNELS] | compare A B | list URI |\n"
               "       run URI IN [--block N] [--set SYMBOL=VALUE]... [--out OUT]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  std::string cmd = argv[1];
  int status = 2;
  if (cmd == "pink") status = Pink(argc - 2, argv + 2);
  if (cmd == "compare") status = Compare(argc - 2, argv + 2);
  if (cmd == "list") status = List(argc - 2, argv + 2);
  if (cmd == "run") status = Run(argc - 2, argv + 2);
  return status == 2 ? Usage() : status;
}
