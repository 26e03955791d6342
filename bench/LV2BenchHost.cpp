#include "LV2BenchHost.h"

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/core/lv2.h>
#include <lv2/parameters/parameters.h>

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace {

// Room for atom ports: a plug-in may write events of this many bytes per block.
constexpr size_t kAtomBytes = 1 << 16;

bool PortIs(LilvWorld* world, const LilvPlugin* plugin, const LilvPort* port, const char* uri) {
  LilvNode* node = lilv_new_uri(world, uri);
  bool is = lilv_port_is_a(plugin, port, node);
  lilv_node_free(node);
  return is;
}

}  // namespace

BenchHost::BenchHost(int blockSize) : mWorld(lilv_world_new()), mBlockSize(blockSize) {
  lilv_world_load_all(mWorld);
  mMap = {this, MapProc};
  mUnmap = {this, UnmapProc};
  mLog = {this, LogPrintf, LogVPrintf};
  LV2_URID intType = Map(LV2_ATOM__Int), floatType = Map(LV2_ATOM__Float);
  for (const char* key : {LV2_BUF_SIZE__maxBlockLength, LV2_BUF_SIZE__minBlockLength,
                          LV2_BUF_SIZE__nominalBlockLength}) {
    mOptions.push_back({LV2_OPTIONS_INSTANCE, 0, Map(key), sizeof(int32_t), intType, &mBlockSize});
  }
  mOptions.push_back(
      {LV2_OPTIONS_INSTANCE, 0, Map(LV2_PARAMETERS__sampleRate), sizeof(float), floatType, &mRate});
  mOptions.push_back({LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr});
  mFeatures = {{LV2_URID__map, &mMap},
               {LV2_URID__unmap, &mUnmap},
               {LV2_OPTIONS__options, mOptions.data()},
               {LV2_BUF_SIZE__boundedBlockLength, nullptr},
               {LV2_LOG__log, &mLog}};
  for (const LV2_Feature& f : mFeatures)
    mFeatureList.push_back(&f);
  mFeatureList.push_back(nullptr);
}

BenchHost::~BenchHost() {
  lilv_world_free(mWorld);
}

const LilvPlugin* BenchHost::Find(const char* uri) const {
  LilvNode* node = lilv_new_uri(mWorld, uri);
  const LilvPlugin* p = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(mWorld), node);
  lilv_node_free(node);
  return p;
}

LV2_URID BenchHost::Map(const char* uri) {
  for (size_t i = 0; i < mURIs.size(); ++i) {
    if (mURIs[i] == uri) return static_cast<LV2_URID>(i + 1);
  }
  mURIs.push_back(uri);
  return static_cast<LV2_URID>(mURIs.size());
}

LV2_URID BenchHost::MapProc(LV2_URID_Map_Handle handle, const char* uri) {
  return static_cast<BenchHost*>(handle)->Map(uri);
}

const char* BenchHost::UnmapProc(LV2_URID_Unmap_Handle handle, LV2_URID id) {
  const BenchHost* host = static_cast<BenchHost*>(handle);
  return id >= 1 && id <= host->mURIs.size() ? host->mURIs[id - 1].c_str() : nullptr;
}

int BenchHost::LogPrintf(LV2_Log_Handle handle, LV2_URID type, const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  int n = LogVPrintf(handle, type, fmt, ap);
  va_end(ap);
  return n;
}

int BenchHost::LogVPrintf(LV2_Log_Handle, LV2_URID, const char* fmt, va_list ap) {
  return std::vfprintf(stderr, fmt, ap);
}

BenchInstance::BenchInstance(BenchHost& host, const LilvPlugin* plugin, double rate)
    : mPlugin(plugin) {
  host.SetSampleRate(static_cast<float>(rate));
  mSequence = host.Map(LV2_ATOM__Sequence);
  mChunk = host.Map(LV2_ATOM__Chunk);
  mFrames = host.Map(LV2_ATOM__frameTime);
  mInstance = lilv_plugin_instantiate(plugin, rate, host.Features());
  if (!mInstance) return;
  LilvWorld* world = host.World();
  const uint32_t nPorts = lilv_plugin_get_num_ports(plugin);
  std::vector<float> defaults(nPorts);
  lilv_plugin_get_port_ranges_float(plugin, nullptr, nullptr, defaults.data());
  mBuffers.resize(nPorts);
  for (uint32_t i = 0; i < nPorts; ++i) {
    const LilvPort* port = lilv_plugin_get_port_by_index(plugin, i);
    bool input = PortIs(world, plugin, port, LV2_CORE__InputPort);
    std::vector<float>& buf = mBuffers[i];
    if (PortIs(world, plugin, port, LV2_CORE__ControlPort)) {
      buf.assign(1, std::isnan(defaults[i]) ? 0.0f : defaults[i]);
    } else if (PortIs(world, plugin, port, LV2_ATOM__AtomPort)) {
      buf.assign(kAtomBytes / sizeof(float), 0.0f);
      (input ? mAtomIn : mAtomOut).push_back(static_cast<int>(i));
    } else {
      buf.assign(host.BlockSize(), 0.0f);  // audio, CV or unknown: a silent block
      if (PortIs(world, plugin, port, LV2_CORE__AudioPort))
        (input ? mAudioIn : mAudioOut).push_back(&buf);
    }
    lilv_instance_connect_port(mInstance, i, buf.data());
  }
  ResetAtomPorts();
  lilv_instance_activate(mInstance);
}

BenchInstance::~BenchInstance() {
  if (!mInstance) return;
  lilv_instance_deactivate(mInstance);
  lilv_instance_free(mInstance);
}

bool BenchInstance::Set(const std::string& symbol, float value) {
  for (uint32_t i = 0; i < mBuffers.size(); ++i) {
    const LilvPort* port = lilv_plugin_get_port_by_index(mPlugin, i);
    const LilvNode* sym = lilv_port_get_symbol(mPlugin, port);
    if (symbol == lilv_node_as_string(sym) && mBuffers[i].size() == 1) {
      mBuffers[i][0] = value;
      return true;
    }
  }
  return false;
}

// Inputs: empty sequences.  Outputs: a chunk of the whole capacity for the plug-in to fill.
void BenchInstance::ResetAtomPorts() {
  for (int i : mAtomIn) {
    auto* seq = reinterpret_cast<LV2_Atom_Sequence*>(mBuffers[i].data());
    seq->atom.size = sizeof(LV2_Atom_Sequence_Body);
    seq->atom.type = mSequence;
    seq->body.unit = mFrames;
    seq->body.pad = 0;
  }
  for (int i : mAtomOut) {
    auto* atom = reinterpret_cast<LV2_Atom*>(mBuffers[i].data());
    atom->size = static_cast<uint32_t>(kAtomBytes - sizeof(LV2_Atom));
    atom->type = mChunk;
  }
}

long long ThreadNanoseconds() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

long long ClockOverheadNanoseconds() {
  constexpr int kPairs = 20000;
  long long total = 0;
  for (int i = 0; i < kPairs; ++i) {
    long long t0 = ThreadNanoseconds();
    total += ThreadNanoseconds() - t0;
  }
  return total / kPairs;
}

long long BenchInstance::Run(int nFrames) {
  ResetAtomPorts();
  long long t0 = ThreadNanoseconds();
  lilv_instance_run(mInstance, static_cast<uint32_t>(nFrames));
  return ThreadNanoseconds() - t0;
}

void ListControls(BenchHost& host, const LilvPlugin* plugin) {
  LilvWorld* world = host.World();
  const uint32_t n = lilv_plugin_get_num_ports(plugin);
  std::vector<float> mins(n), maxs(n), defs(n);
  lilv_plugin_get_port_ranges_float(plugin, mins.data(), maxs.data(), defs.data());
  for (uint32_t i = 0; i < n; ++i) {
    const LilvPort* port = lilv_plugin_get_port_by_index(plugin, i);
    if (!PortIs(world, plugin, port, LV2_CORE__ControlPort) ||
        !PortIs(world, plugin, port, LV2_CORE__InputPort)) {
      continue;
    }
    LilvNode* name = lilv_port_get_name(plugin, port);
    std::printf("  %-16s %-28s %10g %10g %10g\n",
                lilv_node_as_string(lilv_port_get_symbol(plugin, port)),
                name ? lilv_node_as_string(name) : "", mins[i], maxs[i], defs[i]);
    lilv_node_free(name);
  }
}
