// vantrose bench: the cost of the effect in TSC cycles per stereo frame and its
// realtime factor, for both rates and both saturation factors, against the plain
// chain measured in the same run; --silence: the cost of a long silent tail.
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <x86intrin.h>
#endif

#include <nlohmann/json.hpp>

#include "Commands.h"
#include "DenormalGuard.h"
#include "EffectSetup.h"
#include "SimdDispatch.h"

namespace {

constexpr int kBlock = 512;

uint64_t Ticks() {
#if defined(__x86_64__) || defined(__i386__)
  return __rdtsc();
#else
  return std::chrono::steady_clock::now().time_since_epoch().count();
#endif
}

double ThreadCpuSeconds() {
  timespec ts;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return ts.tv_sec + ts.tv_nsec * 1e-9;
}

struct Cost {
  double ticksPerFrame;
  double realtime;  // seconds of audio per CPU second
};

Cost Better(const Cost& a, const Cost& b) {
  return a.ticksPerFrame <= b.ticksPerFrame ? a : b;
}

// Stereo noise at about −10 dBFS, one block's worth per channel, reused cyclically.
struct Signal {
  std::vector<float> left, right;
  explicit Signal(size_t n) : left(n), right(n) {
    std::mt19937 rng(1);
    std::uniform_real_distribution<float> u(-0.5f, 0.5f);
    for (size_t i = 0; i < n; ++i) {
      left[i] = u(rng);
      right[i] = u(rng);
    }
  }
};

// Settings that engage every stage: pass filters on, controls off centre.
std::vector<ParamSetting> BenchSettings(bool over) {
  return {{Vantrose::kHPLP, 1},     {Vantrose::kLGain, 0.7},
          {Vantrose::kLMGain, 0.4}, {Vantrose::kHMGain, 0.6},
          {Vantrose::kHGain, 0.3},  {Vantrose::kHP, 0.2},
          {Vantrose::kLP, 0.8},     {Vantrose::kOver, over ? 1.0 : 0.0}};
}

// Per-block tick counts of one run.  On a shared machine a block now and then loses
// the processor to another thread; blocks that took over four times the run's median
// count as interrupted and are left out of the cycle figure (CPU time is immune).
class RunTimer {
 public:
  explicit RunTimer(long long frames) { mTicks.reserve(frames / kBlock + 1); }
  void Start() {
    mCpu0 = ThreadCpuSeconds();
    mLast = Ticks();
  }
  void BlockDone() {
    const uint64_t now = Ticks();
    mTicks.push_back(now - mLast);
    mLast = now;
  }
  Cost Finish(double audioSeconds) {
    const double cpu = ThreadCpuSeconds() - mCpu0;
    std::vector<uint64_t> sorted = mTicks;
    std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 2, sorted.end());
    const uint64_t limit = 4 * sorted[sorted.size() / 2];
    double sum = 0.0;
    long long blocks = 0;
    for (uint64_t t : mTicks) {
      if (t > limit) continue;
      sum += double(t);
      ++blocks;
    }
    return {sum / (double(blocks) * kBlock), audioSeconds / cpu};
  }

 private:
  std::vector<uint64_t> mTicks;
  double mCpu0 = 0.0;
  uint64_t mLast = 0;
};

// The effect through its float path, as a host drives it.
Cost RunEffect(Vantrose& fx, const Signal& sig, double fs, double seconds) {
  // At least one block, so that the shortest runs still give a figure.
  const long long frames =
      std::max<long long>(kBlock, static_cast<long long>(fs * seconds) / kBlock * kBlock);
  std::vector<float> outL(kBlock), outR(kBlock);
  float* outs[2] = {outL.data(), outR.data()};
  const size_t period = sig.left.size() / kBlock * kBlock;
  RunTimer timer(frames);
  timer.Start();
  for (long long pos = 0; pos < frames; pos += kBlock) {
    const size_t at = static_cast<size_t>(pos) % period;
    float* ins[2] = {const_cast<float*>(sig.left.data()) + at,
                     const_cast<float*>(sig.right.data()) + at};
    ProcessFloatBlock(fx, ins, outs, 2, kBlock);
    timer.BlockDone();
  }
  return timer.Finish(frames / fs);
}

// The plain chain on the same signal in double precision, for the ratio.
Cost RunPlainChain(Vantrose& fx, const Signal& sig, double fs, double seconds) {
  // At least one block, so that the shortest runs still give a figure.
  const long long frames =
      std::max<long long>(kBlock, static_cast<long long>(fs * seconds) / kBlock * kBlock);
  std::vector<double> inL(kBlock), inR(kBlock), outL(kBlock), outR(kBlock);
  double* ins[2] = {inL.data(), inR.data()};
  double* outs[2] = {outL.data(), outR.data()};
  VantroseChain chain = fx.Chain();
  const ChainControls c = fx.Controls();
  const size_t period = sig.left.size() / kBlock * kBlock;
  RunTimer timer(frames);
  timer.Start();
  for (long long pos = 0; pos < frames; pos += kBlock) {
    const size_t at = static_cast<size_t>(pos) % period;
    for (int i = 0; i < kBlock; ++i) {
      inL[i] = sig.left[at + i];
      inR[i] = sig.right[at + i];
    }
    DenormalGuard noSubnormals;
    chain.BeginBlock(c);
    chain.RenderReference(c, ins, outs, kBlock);
    timer.BlockDone();
  }
  return timer.Finish(frames / fs);
}

struct BenchOptions {
  int runs = 5;
  double seconds = 10.0;
  bool silence = false;
  bool json = false;
};

CommandApp BenchApp(BenchOptions* o) {
  CommandApp app = NewCommandApp("bench", "cycles per stereo frame and realtime factor");
  app->add_option("--runs", o->runs, "runs per figure, the best counts, 1 to 100")
      ->check(CLI::Range(1, 100))
      ->type_name("N")
      ->capture_default_str();
  app->add_option("--seconds", o->seconds, "seconds of audio per run, 0.01 to 3600")
      ->check(CLI::Range(0.01, 3600.0))
      ->type_name("S")
      ->capture_default_str();
  app->add_flag("--silence", o->silence,
                "a loud burst, then 120 s of silence: cost of the last 10 s");
  app->add_flag("--json", o->json, "print one JSON document with the same figures");
  return app;
}

int RunFigures(const BenchOptions& o) {
  const Signal sig(1 << 16);
  if (!o.json) {
    std::printf(
        "Render path %s.  Stereo, blocks of %d, every stage engaged; best of %d runs\n"
        "of %g s of audio.\n",
        SimdPathName(ActiveSimdPath()), kBlock, o.runs, o.seconds);
    std::printf(
        "Cycles are TSC ticks per stereo frame (blocks interrupted by other threads left\n"
        "out); realtime = seconds of audio per second of this thread's CPU time.\n\n");
    std::printf("%8s %7s %14s %10s %16s %9s\n", "rate", "factor", "cycles/frame", "realtime",
                "plain chain", "speed-up");
  }
  nlohmann::json rows = nlohmann::json::array();
  for (double fs : {44100.0, 96000.0}) {
    for (bool over : {false, true}) {
      auto fx = MakeConfiguredEffect(fs, kBlock, 2, BenchSettings(over));
      RunEffect(*fx, sig, fs, 0.5);  // smoothers settle, caches warm
      Cost best = {1e300, 0}, plain = {1e300, 0};
      for (int r = 0; r < o.runs; ++r) {
        best = Better(best, RunEffect(*fx, sig, fs, o.seconds));
        plain = Better(plain, RunPlainChain(*fx, sig, fs, o.seconds));
      }
      if (o.json) {
        rows.push_back({{"rate_hz", fs},
                        {"oversampling_factor", over ? 16 : 4},
                        {"cycles_per_frame", best.ticksPerFrame},
                        {"realtime_factor", best.realtime},
                        {"plain_chain_cycles_per_frame", plain.ticksPerFrame},
                        {"speed_up", plain.ticksPerFrame / best.ticksPerFrame}});
        continue;
      }
      std::printf("%8.0f %7d %14.0f %9.1fx %16.0f %8.2fx\n", fs, over ? 16 : 4, best.ticksPerFrame,
                  best.realtime, plain.ticksPerFrame, plain.ticksPerFrame / best.ticksPerFrame);
      std::fflush(stdout);
    }
  }
  if (o.json) {
    const nlohmann::json doc = {{"render_path", SimdPathName(ActiveSimdPath())},
                                {"block_frames", kBlock},
                                {"runs", o.runs},
                                {"seconds_per_run", o.seconds},
                                {"figures", rows}};
    std::printf("%s\n", doc.dump(2).c_str());
  }
  return 0;
}

// A second of loud noise, then 120 s of digital silence in 10 s pieces: the filter
// tails decay toward zero, the classic place for subnormal arithmetic to cost extra.
int RunSilence(const BenchOptions& o) {
  const double fs = 44100.0;
  const Signal loud(1 << 16);
  Signal quiet(1 << 16), burst(1 << 16);
  for (size_t i = 0; i < loud.left.size(); ++i) {
    quiet.left[i] = quiet.right[i] = 0.0f;
    burst.left[i] = loud.left[i] * 2.0f;
    burst.right[i] = loud.right[i] * 2.0f;
  }
  if (!o.json) {
    std::printf("Render path %s.\n", SimdPathName(ActiveSimdPath()));
    std::printf(
        "44100 Hz stereo: steady noise, then a 1 s burst at full scale followed by 120 s of\n"
        "silence in twelve 10 s pieces.  Cost relative to the steady state; the pieces by\n"
        "CPU time, the last one also in TSC cycles per frame.\n\n");
  }
  nlohmann::json rows = nlohmann::json::array();
  for (bool over : {false, true}) {
    auto fx = MakeConfiguredEffect(fs, kBlock, 2, BenchSettings(over));
    RunEffect(*fx, loud, fs, 0.5);
    Cost steady = {1e300, 0};
    for (int r = 0; r < o.runs; ++r)
      steady = Better(steady, RunEffect(*fx, loud, fs, 10.0));
    RunEffect(*fx, burst, fs, 1.0);
    if (!o.json) std::printf("factor %2d, pieces:", over ? 16 : 4);
    Cost last = {0, 0};
    nlohmann::json pieces = nlohmann::json::array();
    for (int piece = 0; piece < 12; ++piece) {
      last = RunEffect(*fx, quiet, fs, 10.0);
      pieces.push_back(steady.realtime / last.realtime);
      if (o.json) continue;
      std::printf(" %.2f", steady.realtime / last.realtime);
      std::fflush(stdout);
    }
    if (o.json) {
      rows.push_back({{"oversampling_factor", over ? 16 : 4},
                      {"piece_cost_relative_to_steady", pieces},
                      {"steady_cycles_per_frame", steady.ticksPerFrame},
                      {"last_silence_cycles_per_frame", last.ticksPerFrame},
                      {"last_silence_relative", last.ticksPerFrame / steady.ticksPerFrame}});
      continue;
    }
    std::printf("\n  steady %.0f cycles/frame, last 10 s of silence %.0f cycles/frame: %.2fx\n\n",
                steady.ticksPerFrame, last.ticksPerFrame,
                last.ticksPerFrame / steady.ticksPerFrame);
  }
  if (o.json) {
    const nlohmann::json doc = {
        {"render_path", SimdPathName(ActiveSimdPath())}, {"rate_hz", fs}, {"silence", rows}};
    std::printf("%s\n", doc.dump(2).c_str());
  }
  return 0;
}

}  // namespace

CommandApp BenchCommandLine() {
  static BenchOptions unused;
  return BenchApp(&unused);
}

int RunBench(int argc, char** argv) {
  BenchOptions o;
  const int code = ParseCommandLine(*BenchApp(&o), argc, argv);
  if (code >= 0) return code;
  return o.silence ? RunSilence(o) : RunFigures(o);
}
