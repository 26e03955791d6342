#include "LV2TestHost.h"

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>

#include <cstring>

URIDMap::URIDMap() {
  mMap = {this, MapProc};
  mUnmap = {this, UnmapProc};
  mMapFeature = {LV2_URID__map, &mMap};
  mUnmapFeature = {LV2_URID__unmap, &mUnmap};
}

LV2_URID URIDMap::Map(const char* uri) {
  for (size_t i = 0; i < mURIs.size(); ++i) {
    if (mURIs[i] == uri) return static_cast<LV2_URID>(i + 1);
  }
  mURIs.push_back(uri);
  return static_cast<LV2_URID>(mURIs.size());
}

const char* URIDMap::Unmap(LV2_URID id) const {
  return id >= 1 && id <= mURIs.size() ? mURIs[id - 1].c_str() : nullptr;
}

LV2_URID URIDMap::MapProc(LV2_URID_Map_Handle handle, const char* uri) {
  return static_cast<URIDMap*>(handle)->Map(uri);
}

const char* URIDMap::UnmapProc(LV2_URID_Unmap_Handle handle, LV2_URID id) {
  return static_cast<URIDMap*>(handle)->Unmap(id);
}

LilvWorld* TestWorld() {
  static LilvWorld* sWorld = [] {
    LilvWorld* world = lilv_world_new();
    LilvNode* bundle = lilv_new_file_uri(world, nullptr, VANTROSE_LV2_BUNDLE_DIR);
    lilv_world_load_bundle(world, bundle);
    lilv_node_free(bundle);
    return world;
  }();
  return sWorld;
}

LilvNode* NewURI(const char* uri) {
  return lilv_new_uri(TestWorld(), uri);
}

const LilvPlugin* TestPlugin(const char* uri) {
  LilvNode* node = NewURI(uri);
  const LilvPlugin* plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(TestWorld()), node);
  lilv_node_free(node);
  return plugin;
}

LV2Instance::LV2Instance(const char* uri, double rate, int maxBlock, Features features)
    : mMaxBlock(maxBlock) {
  mPlugin = TestPlugin(uri);
  if (!mPlugin) return;
  if (features != Features::kNone) {
    mFeatureList.push_back(mMap.MapFeature());
    mFeatureList.push_back(mMap.UnmapFeature());
  }
  if (features == Features::kMapAndOptions) {
    LV2_URID intType = mMap.Map(LV2_ATOM__Int);
    mOptions.push_back({LV2_OPTIONS_INSTANCE, 0, mMap.Map(LV2_BUF_SIZE__maxBlockLength),
                        sizeof(int32_t), intType, &mMaxBlock});
    mOptions.push_back({LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr});
    mOptionsFeature = {LV2_OPTIONS__options, mOptions.data()};
    mFeatureList.push_back(&mOptionsFeature);
  }
  mFeatureList.push_back(nullptr);
  mInstance = lilv_plugin_instantiate(mPlugin, rate, mFeatureList.data());
  if (!mInstance) return;

  LilvNode* audio = NewURI(LV2_CORE__AudioPort);
  LilvNode* input = NewURI(LV2_CORE__InputPort);
  mNChannels = static_cast<int>(lilv_plugin_get_num_ports_of_class(mPlugin, audio, input, nullptr));
  lilv_node_free(audio);
  lilv_node_free(input);
  int nControls = static_cast<int>(lilv_plugin_get_num_ports(mPlugin)) - 2 * mNChannels;
  controls.assign(nControls, 0.0f);
  std::vector<float> defaults(lilv_plugin_get_num_ports(mPlugin));
  lilv_plugin_get_port_ranges_float(mPlugin, nullptr, nullptr, defaults.data());
  for (int i = 0; i < nControls; ++i) {
    controls[i] = defaults[i];
    lilv_instance_connect_port(mInstance, i, &controls[i]);
  }
  mIn.assign(mNChannels, std::vector<float>());
  mOut.assign(mNChannels, std::vector<float>());
  lilv_instance_activate(mInstance);
}

LV2Instance::~LV2Instance() {
  if (!mInstance) return;
  lilv_instance_deactivate(mInstance);
  lilv_instance_free(mInstance);
}

const LV2_State_Interface* LV2Instance::StateInterface() const {
  return static_cast<const LV2_State_Interface*>(
      lilv_instance_get_extension_data(mInstance, LV2_STATE__interface));
}

void LV2Instance::Run(const std::vector<std::vector<float>>& in,
                      std::vector<std::vector<float>>& out, int nFrames) {
  const uint32_t nControls = static_cast<uint32_t>(controls.size());
  out.resize(mNChannels);
  for (int c = 0; c < mNChannels; ++c) {
    mIn[c].assign(in[c].begin(), in[c].begin() + nFrames);
    mOut[c].assign(nFrames, -7.0f);
    lilv_instance_connect_port(mInstance, nControls + c, mIn[c].data());
    lilv_instance_connect_port(mInstance, nControls + mNChannels + c, mOut[c].data());
  }
  lilv_instance_run(mInstance, static_cast<uint32_t>(nFrames));
  for (int c = 0; c < mNChannels; ++c)
    out[c] = mOut[c];
}
