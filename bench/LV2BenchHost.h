#pragma once

// A small block-based LV2 host on lilv for measuring plug-ins: it offers the URI map,
// the options (block lengths and rate), bounded block lengths and a log, connects every
// port (audio, control, atom, anything else to a silent buffer) and times only the
// run() calls, in thread CPU time.

#include <lilv/lilv.h>
#include <lv2/log/log.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

#include <string>
#include <vector>

class BenchHost {
 public:
  explicit BenchHost(int blockSize);
  ~BenchHost();
  BenchHost(const BenchHost&) = delete;
  BenchHost& operator=(const BenchHost&) = delete;

  // The installed plug-in with this URI (LV2_PATH applies), or null.
  const LilvPlugin* Find(const char* uri) const;
  LilvWorld* World() const { return mWorld; }
  const LV2_Feature* const* Features() const { return mFeatureList.data(); }
  int BlockSize() const { return mBlockSize; }
  LV2_URID Map(const char* uri);
  void SetSampleRate(float rate) { mRate = rate; }

 private:
  static LV2_URID MapProc(LV2_URID_Map_Handle handle, const char* uri);
  static const char* UnmapProc(LV2_URID_Unmap_Handle handle, LV2_URID id);
  static int LogPrintf(LV2_Log_Handle handle, LV2_URID type, const char* fmt, ...);
  static int LogVPrintf(LV2_Log_Handle handle, LV2_URID type, const char* fmt, va_list ap);

  LilvWorld* mWorld;
  int32_t mBlockSize;
  float mRate = 44100.0f;
  std::vector<std::string> mURIs;
  LV2_URID_Map mMap;
  LV2_URID_Unmap mUnmap;
  LV2_Log_Log mLog;
  std::vector<LV2_Options_Option> mOptions;
  std::vector<LV2_Feature> mFeatures;
  std::vector<const LV2_Feature*> mFeatureList;
};

// One plug-in instance with a buffer for every port.  Its audio inputs and outputs are
// taken in port order; control inputs start at their defaults.
class BenchInstance {
 public:
  BenchInstance(BenchHost& host, const LilvPlugin* plugin, double rate);
  ~BenchInstance();
  BenchInstance(const BenchInstance&) = delete;
  BenchInstance& operator=(const BenchInstance&) = delete;

  bool Ok() const { return mInstance != nullptr; }
  int NAudioIn() const { return static_cast<int>(mAudioIn.size()); }
  int NAudioOut() const { return static_cast<int>(mAudioOut.size()); }
  // Sets a control input by symbol; false when there is none.
  bool Set(const std::string& symbol, float value);
  // Buffers of the block size for the audio ports, in port order.
  float* AudioIn(int i) { return mAudioIn[i]->data(); }
  float* AudioOut(int i) { return mAudioOut[i]->data(); }
  // Runs one block; returns the CPU time of this thread in the run() call, in
  // nanoseconds, so that other processes' load does not count.
  long long Run(int nFrames);

 private:
  void ResetAtomPorts();

  const LilvPlugin* mPlugin;
  LilvInstance* mInstance = nullptr;
  std::vector<std::vector<float>> mBuffers;  // one per port
  std::vector<std::vector<float>*> mAudioIn, mAudioOut;
  std::vector<int> mAtomIn, mAtomOut;
  LV2_URID mSequence = 0, mChunk = 0, mFrames = 0;
};

// This thread's CPU time, and what one reading of it costs on average.
long long ThreadNanoseconds();
long long ClockOverheadNanoseconds();

// Prints every control input of plugin: symbol, name, minimum, maximum, default.
void ListControls(BenchHost& host, const LilvPlugin* plugin);
