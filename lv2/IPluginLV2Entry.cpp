// The LV2 entry points of a product built on this wrapper: the descriptor table, the instance
// callbacks and the state interface.  Each callback states its LV2 threading class.
#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/core/lv2.h>
#include <lv2/options/options.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <cstring>
#include <new>

#include "IPluginLV2.h"
#include "LV2Product.h"

namespace {

IPluginLV2* Plug(LV2_Handle instance) {
  return static_cast<IPluginLV2*>(instance);
}

const void* FindFeature(const LV2_Feature* const* features, const char* uri) {
  if (!features) return nullptr;
  for (; *features; ++features) {
    if ((*features)->URI && std::strcmp((*features)->URI, uri) == 0) return (*features)->data;
  }
  return nullptr;
}

const LV2_URID_Map* FindMap(const LV2_Feature* const* features) {
  const LV2_URID_Map* map = static_cast<const LV2_URID_Map*>(FindFeature(features, LV2_URID__map));
  return map && map->map ? map : nullptr;
}

LV2StateURIDs MapStateURIDs(const LV2_URID_Map* map) {
  LV2StateURIDs ids;
  if (map) {
    ids.mChunkKey = map->map(map->handle, GetLV2Product().stateChunkURI);
    ids.mChunkType = map->map(map->handle, LV2_ATOM__Chunk);
  }
  return ids;
}

// The block size to allocate for: the host's maximum block length from its options,
// kept between the default and the largest accepted, or the default when it gives none.
int MaxBlockLength(const LV2_Feature* const* features, const LV2_URID_Map* map) {
  const LV2_Options_Option* opt =
      static_cast<const LV2_Options_Option*>(FindFeature(features, LV2_OPTIONS__options));
  if (!opt || !map) return kLV2DefaultBlockSize;
  LV2_URID maxKey = map->map(map->handle, LV2_BUF_SIZE__maxBlockLength);
  LV2_URID intType = map->map(map->handle, LV2_ATOM__Int);
  for (; opt->key != 0 || opt->value; ++opt) {
    if (opt->key != maxKey || opt->type != intType || opt->size != sizeof(int32_t) || !opt->value) {
      continue;
    }
    int32_t n = *static_cast<const int32_t*>(opt->value);
    if (n < kLV2DefaultBlockSize) return kLV2DefaultBlockSize;
    return n < kLV2MaxBlockSize ? n : kLV2MaxBlockSize;  // Run splits longer blocks
  }
  return kLV2DefaultBlockSize;
}

// Instantiation class: no host feature is required.
LV2_Handle Instantiate(const LV2_Descriptor* descriptor, double sampleRate, const char*,
                       const LV2_Feature* const* features) {
  int nChannels = 0;
  const LV2Product& product = GetLV2Product();
  for (int i = 0; i < product.nKinds; ++i) {
    const LV2PluginKind& k = product.kinds[i];
    if (descriptor && std::strcmp(descriptor->URI, k.uri) == 0) nChannels = k.nChannels;
  }
  if (nChannels == 0) return nullptr;
  IPluginLV2* plug = nullptr;
  try {
    plug = static_cast<IPluginLV2*>(MakePlug(nullptr));
  } catch (...) {
    return nullptr;
  }
  const LV2_URID_Map* map = FindMap(features);
  if (!plug->Configure(nChannels, sampleRate, MaxBlockLength(features, map))) {
    delete plug;
    return nullptr;
  }
  plug->SetStateURIDs(MapStateURIDs(map));
  return plug;
}

// Instantiation class for the others below, except Run (audio class).
void ConnectPort(LV2_Handle instance, uint32_t port, void* data) {
  Plug(instance)->ConnectPort(port, data);
}
void Activate(LV2_Handle instance) {
  Plug(instance)->Activate();
}
void Run(LV2_Handle instance, uint32_t nFrames) {
  Plug(instance)->Run(nFrames);
}
void Deactivate(LV2_Handle instance) {
  Plug(instance)->Deactivate();
}
void Cleanup(LV2_Handle instance) {
  delete Plug(instance);
}

// The ids for state: those mapped at instantiation, else from the call's own map.
LV2StateURIDs StateIDs(IPluginLV2* plug, const LV2_Feature* const* features) {
  if (plug->StateURIDs().mChunkKey != 0) return plug->StateURIDs();
  return MapStateURIDs(FindMap(features));
}

// State class (may run beside the audio thread): the chunk is taken under the plug-in lock.
LV2_State_Status SaveState(LV2_Handle instance, LV2_State_Store_Function store,
                           LV2_State_Handle handle, uint32_t, const LV2_Feature* const* features) {
  IPluginLV2* plug = Plug(instance);
  LV2StateURIDs ids = StateIDs(plug, features);
  if (ids.mChunkKey == 0 || ids.mChunkType == 0) return LV2_STATE_ERR_NO_FEATURE;
  ByteChunk chunk;
  if (!plug->SaveStateChunk(&chunk)) return LV2_STATE_ERR_UNKNOWN;
  return store(handle, ids.mChunkKey, chunk.GetBytes(), static_cast<size_t>(chunk.Size()),
               ids.mChunkType, LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
}

// Instantiation class.  A missing, mistyped, short or non-finite chunk changes nothing.
LV2_State_Status RestoreState(LV2_Handle instance, LV2_State_Retrieve_Function retrieve,
                              LV2_State_Handle handle, uint32_t,
                              const LV2_Feature* const* features) {
  IPluginLV2* plug = Plug(instance);
  LV2StateURIDs ids = StateIDs(plug, features);
  if (ids.mChunkKey == 0 || ids.mChunkType == 0) return LV2_STATE_ERR_NO_FEATURE;
  size_t size = 0;
  uint32_t type = 0, flags = 0;
  const void* data = retrieve(handle, ids.mChunkKey, &size, &type, &flags);
  if (!data) return LV2_STATE_ERR_NO_PROPERTY;
  if (type != ids.mChunkType) return LV2_STATE_ERR_BAD_TYPE;
  return plug->RestoreStateChunk(data, size) ? LV2_STATE_SUCCESS : LV2_STATE_ERR_UNKNOWN;
}

const LV2_State_Interface kStateInterface = {SaveState, RestoreState};

// Discovery class.
const void* ExtensionData(const char* uri) {
  if (uri && std::strcmp(uri, LV2_STATE__interface) == 0) return &kStateInterface;
  return nullptr;
}

// One descriptor per plug-in of the product, made on first use; the table lives as long
// as the binary.
constexpr int kMaxKinds = 8;

const LV2_Descriptor* Descriptors(int* count) {
  static LV2_Descriptor table[kMaxKinds];
  static const int n = [] {
    const LV2Product& product = GetLV2Product();
    int k = product.nKinds < kMaxKinds ? product.nKinds : kMaxKinds;
    for (int i = 0; i < k; ++i) {
      table[i] = {product.kinds[i].uri, Instantiate, ConnectPort,  Activate, Run,
                  Deactivate,           Cleanup,     ExtensionData};
    }
    return k;
  }();
  *count = n;
  return table;
}

}  // namespace

// Discovery class: the plug-ins of this binary, by index.
LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) {
  int count = 0;
  const LV2_Descriptor* table = Descriptors(&count);
  return index < static_cast<uint32_t>(count) ? &table[index] : nullptr;
}
