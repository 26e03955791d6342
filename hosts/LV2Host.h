#pragma once

// The one LV2 host of the tests and the benchmarks, on lilv: a world (every installed
// plug-in, or one bundle), a URI map, the features a host offers, and instances with a
// buffer for every port whose run() calls are timed in thread CPU time.

#include <lilv/lilv.h>
#include <lv2/log/log.h>
#include <lv2/options/options.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <string>
#include <vector>

// URIs to ids and back, as a host's urid:map and urid:unmap.
class URIDMap {
 public:
  URIDMap();
  URIDMap(const URIDMap&) = delete;
  URIDMap& operator=(const URIDMap&) = delete;
  LV2_URID Map(const char* uri);
  const char* Unmap(LV2_URID id) const;
  LV2_Feature* MapFeature() { return &mMapFeature; }
  LV2_Feature* UnmapFeature() { return &mUnmapFeature; }

 private:
  static LV2_URID MapProc(LV2_URID_Map_Handle handle, const char* uri);
  static const char* UnmapProc(LV2_URID_Unmap_Handle handle, LV2_URID id);
  std::vector<std::string> mURIs;
  LV2_URID_Map mMap;
  LV2_URID_Unmap mUnmap;
  LV2_Feature mMapFeature, mUnmapFeature;
};

// A lilv world holding the bundle in bundleDir, or every installed plug-in (LV2_PATH
// applies) when bundleDir is null.
class LV2World {
 public:
  explicit LV2World(const char* bundleDir = nullptr);
  ~LV2World();
  LV2World(const LV2World&) = delete;
  LV2World& operator=(const LV2World&) = delete;

  LilvWorld* Get() const { return mWorld; }
  // The plug-in with this URI, or null.
  const LilvPlugin* Find(const char* uri) const;
  // A node for uri, owned by the caller.
  LilvNode* NewURI(const char* uri) const;
  bool PortIs(const LilvPlugin* plugin, const LilvPort* port, const char* uri) const;

 private:
  LilvWorld* mWorld;
};

// Which host features an instance is given: none; the URI map; the map and the maximum
// block length; or everything a measuring host offers (every block length and the rate
// as options, bounded block lengths, a log to stderr).
enum class Features { kNone, kMapOnly, kMapAndOptions, kAll };

// One instance with a buffer for every port: a float per control port (starting at its
// default), a block per audio or unknown port, an event buffer per atom port.
class LV2Instance {
 public:
  LV2Instance(const LV2World& world, const char* uri, double rate, int blockSize,
              Features features);
  ~LV2Instance();
  LV2Instance(const LV2Instance&) = delete;
  LV2Instance& operator=(const LV2Instance&) = delete;

  bool Ok() const { return mInstance != nullptr; }
  LilvInstance* Get() const { return mInstance; }
  const LilvPlugin* Plugin() const { return mPlugin; }
  int NChannels() const { return NAudioIn(); }
  int NAudioIn() const { return static_cast<int>(mAudioIn.size()); }
  int NAudioOut() const { return static_cast<int>(mAudioOut.size()); }
  URIDMap& Map() { return mMap; }
  const LV2_Feature* const* FeatureList() const { return mFeatureList.data(); }
  const LV2_State_Interface* StateInterface() const;

  // Sets a control input by symbol; false when there is none.
  bool Set(const std::string& symbol, float value);
  // Buffers of the block size for the audio ports, in port order.
  float* AudioIn(int i) { return mBuffers[mAudioIn[i]].data(); }
  float* AudioOut(int i) { return mBuffers[mAudioOut[i]].data(); }
  // Runs one block on the audio buffers; returns the CPU time of this thread in the
  // run() call, in nanoseconds, so that other processes' load does not count.
  long long Run(int nFrames);
  // in and out hold one planar buffer per channel of at least nFrames; the audio
  // buffers grow to nFrames when needed.
  void Run(const std::vector<std::vector<float>>& in, std::vector<std::vector<float>>& out,
           int nFrames);

  // The control ports' values by port index, set by the host; other entries are unused.
  std::vector<float> controls;

 private:
  void OfferFeatures(Features features, double rate);
  void ConnectPorts(const LV2World& world);
  void ResetAtomPorts();

  const LilvPlugin* mPlugin = nullptr;
  LilvInstance* mInstance = nullptr;
  URIDMap mMap;
  int32_t mBlockSize = 0;
  float mRate = 0.0f;
  LV2_Log_Log mLog;
  std::vector<LV2_Options_Option> mOptions;
  std::vector<LV2_Feature> mFeatures;
  std::vector<const LV2_Feature*> mFeatureList;
  std::vector<std::vector<float>> mBuffers;  // one per port but the control ports
  std::vector<uint32_t> mControls;
  std::vector<int> mAudioIn, mAudioOut, mAtomIn, mAtomOut;
  LV2_URID mSequence = 0, mChunk = 0, mFrameTime = 0;
};

// This thread's CPU time in nanoseconds.
long long ThreadNanoseconds();
