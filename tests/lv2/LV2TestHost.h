#pragma once

// A small LV2 host on lilv for the bundle's tests: the bundle loaded from the build
// folder, a URI map, the options a host offers, and instances with their own port
// buffers.

#include <lilv/lilv.h>
#include <lv2/options/options.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <string>
#include <vector>

constexpr const char* kStereoURI = "https://kelvorin.com/lv2/vantrose#stereo";
constexpr const char* kMonoURI = "https://kelvorin.com/lv2/vantrose#mono";

// URIs to ids and back, as a host's urid:map and urid:unmap.
class URIDMap {
 public:
  URIDMap();
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

// The process's lilv world with only the bundle under test loaded.
LilvWorld* TestWorld();
const LilvPlugin* TestPlugin(const char* uri);
// A node for uri, owned by the caller.
LilvNode* NewURI(const char* uri);

// Which host features an instance is given.
enum class Features { kNone, kMapOnly, kMapAndOptions };

// One instance with a float per control port and a buffer per audio port.
class LV2Instance {
 public:
  LV2Instance(const char* uri, double rate, int maxBlock, Features features);
  ~LV2Instance();
  LV2Instance(const LV2Instance&) = delete;
  LV2Instance& operator=(const LV2Instance&) = delete;

  bool Ok() const { return mInstance != nullptr; }
  LilvInstance* Get() const { return mInstance; }
  const LilvPlugin* Plugin() const { return mPlugin; }
  int NChannels() const { return mNChannels; }
  int NControls() const { return static_cast<int>(controls.size()); }
  URIDMap& Map() { return mMap; }
  const LV2_Feature* const* FeatureList() const { return mFeatureList.data(); }
  const LV2_State_Interface* StateInterface() const;

  // in and out hold one planar buffer per channel of at least nFrames.
  void Run(const std::vector<std::vector<float>>& in, std::vector<std::vector<float>>& out,
           int nFrames);

  std::vector<float> controls;  // the control ports' values, set by the host (the test)

 private:
  const LilvPlugin* mPlugin = nullptr;
  LilvInstance* mInstance = nullptr;
  int mNChannels = 0;
  URIDMap mMap;
  int32_t mMaxBlock = 0;
  std::vector<LV2_Options_Option> mOptions;
  LV2_Feature mOptionsFeature;
  std::vector<const LV2_Feature*> mFeatureList;
  std::vector<std::vector<float>> mIn, mOut;
};
