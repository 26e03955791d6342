#include "LV2Host.h"

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/core/lv2.h>
#include <lv2/parameters/parameters.h>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <ctime>

namespace {

// Room for atom ports: a plug-in may write events of this many bytes per block.
constexpr size_t kAtomBytes = 1 << 16;

int LogVPrintf(LV2_Log_Handle, LV2_URID, const char* fmt, va_list ap) {
  return std::vfprintf(stderr, fmt, ap);
}

int LogPrintf(LV2_Log_Handle handle, LV2_URID type, const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  int n = LogVPrintf(handle, type, fmt, ap);
  va_end(ap);
  return n;
}

}  // namespace

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

LV2World::LV2World(const char* bundleDir) : mWorld(lilv_world_new()) {
  if (!bundleDir) {
    lilv_world_load_all(mWorld);
    return;
  }
  LilvNode* bundle = lilv_new_file_uri(mWorld, nullptr, bundleDir);
  lilv_world_load_bundle(mWorld, bundle);
  lilv_node_free(bundle);
}

LV2World::~LV2World() {
  lilv_world_free(mWorld);
}

const LilvPlugin* LV2World::Find(const char* uri) const {
  LilvNode* node = NewURI(uri);
  const LilvPlugin* p = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(mWorld), node);
  lilv_node_free(node);
  return p;
}

LilvNode* LV2World::NewURI(const char* uri) const {
  return lilv_new_uri(mWorld, uri);
}

bool LV2World::PortIs(const LilvPlugin* plugin, const LilvPort* port, const char* uri) const {
  LilvNode* node = NewURI(uri);
  bool is = lilv_port_is_a(plugin, port, node);
  lilv_node_free(node);
  return is;
}

LV2Instance::LV2Instance(const LV2World& world, const char* uri, double rate, int blockSize,
                         Features features)
    : mPlugin(world.Find(uri)), mBlockSize(blockSize), mRate(static_cast<float>(rate)) {
  if (!mPlugin) return;
  OfferFeatures(features, rate);
  mInstance = lilv_plugin_instantiate(mPlugin, rate, mFeatureList.data());
  if (!mInstance) return;
  ConnectPorts(world);
  lilv_instance_activate(mInstance);
}

LV2Instance::~LV2Instance() {
  if (!mInstance) return;
  lilv_instance_deactivate(mInstance);
  lilv_instance_free(mInstance);
}

void LV2Instance::OfferFeatures(Features features, double rate) {
  mRate = static_cast<float>(rate);
  if (features != Features::kNone) {
    mFeatures.push_back(*mMap.MapFeature());
    mFeatures.push_back(*mMap.UnmapFeature());
  }
  if (features == Features::kMapAndOptions || features == Features::kAll) {
    LV2_URID intType = mMap.Map(LV2_ATOM__Int);
    std::vector<const char*> keys = {LV2_BUF_SIZE__maxBlockLength};
    if (features == Features::kAll)
      keys.insert(keys.end(), {LV2_BUF_SIZE__minBlockLength, LV2_BUF_SIZE__nominalBlockLength});
    for (const char* key : keys) {
      mOptions.push_back(
          {LV2_OPTIONS_INSTANCE, 0, mMap.Map(key), sizeof(int32_t), intType, &mBlockSize});
    }
    if (features == Features::kAll) {
      mOptions.push_back({LV2_OPTIONS_INSTANCE, 0, mMap.Map(LV2_PARAMETERS__sampleRate),
                          sizeof(float), mMap.Map(LV2_ATOM__Float), &mRate});
    }
    mOptions.push_back({LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr});
    mFeatures.push_back({LV2_OPTIONS__options, mOptions.data()});
  }
  if (features == Features::kAll) {
    mLog = {this, LogPrintf, LogVPrintf};
    mFeatures.push_back({LV2_BUF_SIZE__boundedBlockLength, nullptr});
    mFeatures.push_back({LV2_LOG__log, &mLog});
  }
  for (const LV2_Feature& f : mFeatures)
    mFeatureList.push_back(&f);
  mFeatureList.push_back(nullptr);
}

void LV2Instance::ConnectPorts(const LV2World& world) {
  const uint32_t nPorts = lilv_plugin_get_num_ports(mPlugin);
  controls.assign(nPorts, 0.0f);
  lilv_plugin_get_port_ranges_float(mPlugin, nullptr, nullptr, controls.data());
  mBuffers.resize(nPorts);
  for (uint32_t i = 0; i < nPorts; ++i) {
    const LilvPort* port = lilv_plugin_get_port_by_index(mPlugin, i);
    bool input = world.PortIs(mPlugin, port, LV2_CORE__InputPort);
    std::vector<float>& buf = mBuffers[i];
    if (world.PortIs(mPlugin, port, LV2_CORE__ControlPort)) {
      if (std::isnan(controls[i])) controls[i] = 0.0f;
      mControls.push_back(i);
      lilv_instance_connect_port(mInstance, i, &controls[i]);
      continue;
    }
    if (world.PortIs(mPlugin, port, LV2_ATOM__AtomPort)) {
      buf.assign(kAtomBytes / sizeof(float), 0.0f);
      (input ? mAtomIn : mAtomOut).push_back(static_cast<int>(i));
    } else {
      buf.assign(mBlockSize, 0.0f);  // audio, CV or unknown: a silent block
      if (world.PortIs(mPlugin, port, LV2_CORE__AudioPort))
        (input ? mAudioIn : mAudioOut).push_back(static_cast<int>(i));
    }
    lilv_instance_connect_port(mInstance, i, buf.data());
  }
  mSequence = mMap.Map(LV2_ATOM__Sequence);
  mChunk = mMap.Map(LV2_ATOM__Chunk);
  mFrameTime = mMap.Map(LV2_ATOM__frameTime);
  ResetAtomPorts();
}

const LV2_State_Interface* LV2Instance::StateInterface() const {
  return static_cast<const LV2_State_Interface*>(
      lilv_instance_get_extension_data(mInstance, LV2_STATE__interface));
}

bool LV2Instance::Set(const std::string& symbol, float value) {
  for (uint32_t i = 0; i < mBuffers.size(); ++i) {
    const LilvPort* port = lilv_plugin_get_port_by_index(mPlugin, i);
    const LilvNode* sym = lilv_port_get_symbol(mPlugin, port);
    if (symbol == lilv_node_as_string(sym) &&
        std::find(mControls.begin(), mControls.end(), i) != mControls.end()) {
      controls[i] = value;
      return true;
    }
  }
  return false;
}

// Inputs: empty sequences.  Outputs: a chunk of the whole capacity for the plug-in to fill.
void LV2Instance::ResetAtomPorts() {
  for (int i : mAtomIn) {
    auto* seq = reinterpret_cast<LV2_Atom_Sequence*>(mBuffers[i].data());
    seq->atom.size = sizeof(LV2_Atom_Sequence_Body);
    seq->atom.type = mSequence;
    seq->body.unit = mFrameTime;
    seq->body.pad = 0;
  }
  for (int i : mAtomOut) {
    auto* atom = reinterpret_cast<LV2_Atom*>(mBuffers[i].data());
    atom->size = static_cast<uint32_t>(kAtomBytes - sizeof(LV2_Atom));
    atom->type = mChunk;
  }
}

long long LV2Instance::Run(int nFrames) {
  ResetAtomPorts();
  long long t0 = ThreadNanoseconds();
  lilv_instance_run(mInstance, static_cast<uint32_t>(nFrames));
  return ThreadNanoseconds() - t0;
}

void LV2Instance::Run(const std::vector<std::vector<float>>& in,
                      std::vector<std::vector<float>>& out, int nFrames) {
  for (int port : mAudioIn)
    mBuffers[port].resize(static_cast<size_t>(nFrames));
  for (int port : mAudioOut)
    mBuffers[port].assign(static_cast<size_t>(nFrames), -7.0f);  // unwritten samples show
  for (const std::vector<int>* ports : {&mAudioIn, &mAudioOut}) {
    for (int port : *ports)
      lilv_instance_connect_port(mInstance, static_cast<uint32_t>(port), mBuffers[port].data());
  }
  for (int c = 0; c < NAudioIn(); ++c)
    std::copy(in[c].begin(), in[c].begin() + nFrames, AudioIn(c));
  Run(nFrames);
  out.resize(NAudioOut());
  for (int c = 0; c < NAudioOut(); ++c)
    out[c].assign(AudioOut(c), AudioOut(c) + nFrames);
}

long long ThreadNanoseconds() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}
