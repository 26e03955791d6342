// The LV2 effect's audio thread beside the host's other threads: run() never waits for
// a lock, and state save on another thread during run() reads only values the
// parameters really held.  scripts/run.sh tsan runs these under ThreadSanitizer.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <future>
#include <memory>
#include <thread>
#include <vector>

#include "IPluginLV2.h"
#include "VantroseParams.h"

namespace {

using P = VantroseParams;
constexpr int kFrames = 64;

// One stereo instance as a host sets it up, its control ports at the defaults.
struct Instance {
  Instance() : plug(static_cast<IPluginLV2*>(MakePlug(nullptr))) {
    EXPECT_TRUE(plug->Configure(2, 48000.0, 512));
    for (int i = 0; i < P::kNumParams; ++i) {
      controls[i] = static_cast<float>(plug->GetParam(i)->GetValue());
      plug->ConnectPort(i, &controls[i]);
    }
    for (int c = 0; c < 2; ++c) {
      in[c].assign(kFrames, 0.25f * (c + 1));
      out[c].assign(kFrames, 0.0f);
      plug->ConnectPort(P::kNumParams + c, in[c].data());
      plug->ConnectPort(P::kNumParams + 2 + c, out[c].data());
    }
    plug->Activate();
  }
  std::unique_ptr<IPluginLV2> plug;
  float controls[P::kNumParams] = {};
  std::vector<float> in[2], out[2];
};

// Values the moving controls take, each well inside its parameter's range.
struct Moving {
  int param;
  float a, b;
} const kMoving[] = {{P::kLGain, 0.25f, 0.75f},
                     {P::kHFreq, 0.1f, 0.9f},
                     {P::kGain, -6.0f, 6.0f},
                     {P::kBell, 0.0f, 1.0f},
                     {P::kOver, 0.0f, 1.0f}};

std::vector<double> Values(const ByteChunk& chunk) {
  std::vector<double> v(chunk.Size() / sizeof(double));
  std::memcpy(v.data(), chunk.GetBytes(), v.size() * sizeof(double));
  return v;
}

// Another thread holds the plug-in lock (as a wrapper entry on the host's main thread
// would) while blocks render with moving controls: run() finishes all the same.
TEST(LV2AudioThread, RunNeverWaitsForThePluginLock) {
  Instance x;
  std::promise<void> held;
  std::atomic<bool> release{false};
  std::thread holder([&] {
    RecursiveMutex::ScopedLock lock(x.plug->Mutex());
    held.set_value();
    while (!release.load())
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
  });
  held.get_future().wait();
  std::future<void> blocks = std::async(std::launch::async, [&] {
    for (int b = 0; b < 8; ++b) {
      for (const Moving& m : kMoving)
        x.controls[m.param] = b % 2 ? m.a : m.b;
      x.plug->Run(kFrames);
    }
  });
  const bool finished = blocks.wait_for(std::chrono::seconds(20)) == std::future_status::ready;
  release.store(true);
  holder.join();
  blocks.wait();
  EXPECT_TRUE(finished) << "run() waited for a lock another thread held";
}

// Save runs beside run() while every block moves the controls.  Each saved value is one
// the parameter held; once the audio stops, save gives the base's own chunk to the bit,
// and after a restore the restored chunk.
TEST(LV2AudioThread, SaveBesideRunReadsValuesTheParametersHeld) {
  Instance x;
  const std::vector<double> defaults = [&] {
    ByteChunk c;
    EXPECT_TRUE(x.plug->SaveStateChunk(&c));
    return Values(c);
  }();
  ASSERT_EQ(defaults.size(), static_cast<size_t>(P::kNumParams));
  std::atomic<bool> stop{false};
  std::atomic<int> saves{0}, strange{0};
  std::thread saver([&] {
    while (!stop.load()) {
      ByteChunk c;
      if (!x.plug->SaveStateChunk(&c)) ++strange;
      std::vector<double> v = Values(c);
      for (int i = 0; i < P::kNumParams && v.size() == defaults.size(); ++i) {
        bool known = v[i] == defaults[i];
        for (const Moving& m : kMoving) {
          if (m.param == i) known = known || v[i] == m.a || v[i] == m.b;
        }
        if (!known) ++strange;
      }
      ++saves;
    }
  });
  for (int b = 0; b < 3000 || saves.load() < 20; ++b) {
    for (const Moving& m : kMoving)
      x.controls[m.param] = (b / (1 + m.param % 3)) % 2 ? m.a : m.b;
    x.plug->Run(kFrames);
  }
  stop.store(true);
  saver.join();
  EXPECT_EQ(strange.load(), 0);

  ByteChunk saved, base;
  ASSERT_TRUE(x.plug->SaveStateChunk(&saved));
  ASSERT_TRUE(x.plug->SerializeState(&base));
  EXPECT_EQ(Values(saved), Values(base));
  std::vector<double> restored = defaults;
  restored[P::kLFreq] = 0.3;
  restored[P::kHPLP] = 1.0;
  ASSERT_TRUE(x.plug->RestoreStateChunk(restored.data(), restored.size() * sizeof(double)));
  ASSERT_TRUE(x.plug->SaveStateChunk(&saved));
  EXPECT_EQ(Values(saved), restored);
}

}  // namespace
