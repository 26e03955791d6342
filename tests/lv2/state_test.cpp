// State through the LV2 state interface: the 120-byte chunk saved under its key, a
// round trip through lilv's own state files, and chunks that must change nothing.
#include <gtest/gtest.h>
#include <lv2/atom/atom.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "RenderScript.h"
#include "Vantrose.h"

namespace {

constexpr const char* kChunkKey = "https://kelvorin.com/lv2/vantrose#stateChunk";

// What one call of save() stored.
struct Stored {
  int calls = 0;
  uint32_t key = 0, type = 0, flags = 0;
  std::vector<unsigned char> bytes;
};

LV2_State_Status Store(LV2_State_Handle handle, uint32_t key, const void* value, size_t size,
                       uint32_t type, uint32_t flags) {
  Stored* s = static_cast<Stored*>(handle);
  ++s->calls;
  s->key = key;
  s->type = type;
  s->flags = flags;
  s->bytes.assign(static_cast<const unsigned char*>(value),
                  static_cast<const unsigned char*>(value) + size);
  return LV2_STATE_SUCCESS;
}

// What restore() is offered: one property, or none.
struct Offered {
  uint32_t key = 0, type = 0;
  std::vector<unsigned char> bytes;
  bool present = true;
};

const void* Retrieve(LV2_State_Handle handle, uint32_t key, size_t* size, uint32_t* type,
                     uint32_t* flags) {
  Offered* o = static_cast<Offered*>(handle);
  static const unsigned char kNoBytes = 0;
  if (!o->present || key != o->key) return nullptr;
  *size = o->bytes.size();
  *type = o->type;
  *flags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;
  return o->bytes.empty() ? &kNoBytes : o->bytes.data();
}

Stored Save(LV2Instance& fx, LV2_State_Status* status = nullptr) {
  Stored s;
  LV2_State_Status st =
      fx.StateInterface()->save(lilv_instance_get_handle(fx.Get()), Store, &s, 0, fx.FeatureList());
  if (status) *status = st;
  return s;
}

std::vector<double> Doubles(const std::vector<unsigned char>& bytes) {
  std::vector<double> v(bytes.size() / sizeof(double));
  std::memcpy(v.data(), bytes.data(), v.size() * sizeof(double));
  return v;
}

std::vector<unsigned char> Bytes(const std::vector<double>& values) {
  std::vector<unsigned char> b(values.size() * sizeof(double));
  std::memcpy(b.data(), values.data(), b.size());
  return b;
}

// An instance whose controls were set and applied by one block.
void SetAndApply(LV2Instance& fx, const std::vector<ControlChange>& changes) {
  for (const ControlChange& c : changes)
    fx.controls[c.param] = c.value;
  std::vector<std::vector<float>> out;
  fx.Run(TestSignal(fx.NChannels(), 16), out, 16);
}

const std::vector<ControlChange> kSettings = {{0, Vantrose::kLGain, 0.9f},
                                              {0, Vantrose::kGain, -3.25f},
                                              {0, Vantrose::kOver, 1.0f},
                                              {0, Vantrose::kBell, 1.0f},
                                              {0, Vantrose::kLP, 0.4f}};

TEST(LV2State, SavesTheParameterValuesAsOneChunk) {
  LV2Instance fx(BundleWorld(), kStereoURI, 44100.0, 512, Features::kMapOnly);
  ASSERT_TRUE(fx.Ok());
  SetAndApply(fx, kSettings);
  LV2_State_Status status;
  Stored s = Save(fx, &status);
  ASSERT_EQ(status, LV2_STATE_SUCCESS);
  EXPECT_EQ(s.calls, 1);
  EXPECT_EQ(s.key, fx.Map().Map(kChunkKey));
  EXPECT_EQ(s.type, fx.Map().Map(LV2_ATOM__Chunk));
  EXPECT_EQ(s.flags, static_cast<uint32_t>(LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE));
  ASSERT_EQ(s.bytes.size(), 120u);
  std::vector<double> v = Doubles(s.bytes);
  EXPECT_EQ(v[Vantrose::kLGain], static_cast<double>(0.9f));
  EXPECT_EQ(v[Vantrose::kLFreq], 0.725) << "a port left at its default keeps the exact default";
  EXPECT_EQ(v[Vantrose::kGain], -3.25);
  EXPECT_EQ(v[Vantrose::kBell], 1.0);
  EXPECT_EQ(v[Vantrose::kBY], 1.0);
  EXPECT_EQ(v[Vantrose::kOver], 1.0);
}

const void* PortValue(const char* symbol, void* data, uint32_t* size, uint32_t* type) {
  LV2Instance* fx = static_cast<LV2Instance*>(data);
  LilvNode* sym = lilv_new_string(TestWorld(), symbol);
  const LilvPort* port = lilv_plugin_get_port_by_symbol(fx->Plugin(), sym);
  lilv_node_free(sym);
  if (!port) return nullptr;
  *size = sizeof(float);
  *type = fx->Map().Map(LV2_ATOM__Float);
  return &fx->controls[lilv_port_get_index(fx->Plugin(), port)];
}

void SetPortValue(const char* symbol, void* data, const void* value, uint32_t size, uint32_t) {
  LV2Instance* fx = static_cast<LV2Instance*>(data);
  LilvNode* sym = lilv_new_string(TestWorld(), symbol);
  const LilvPort* port = lilv_plugin_get_port_by_symbol(fx->Plugin(), sym);
  lilv_node_free(sym);
  if (port && size == sizeof(float))
    fx->controls[lilv_port_get_index(fx->Plugin(), port)] = *static_cast<const float*>(value);
}

// Saved by lilv into Turtle text, read back and restored into a fresh instance, the
// state sounds exactly like an instance set up by hand.
TEST(LV2State, RoundTripThroughLilvStateText) {
  LV2Instance saved(BundleWorld(), kMonoURI, 44100.0, 512, Features::kMapOnly);
  ASSERT_TRUE(saved.Ok());
  SetAndApply(saved, kSettings);
  LV2_URID_Map* map = static_cast<LV2_URID_Map*>(saved.Map().MapFeature()->data);
  LV2_URID_Unmap* unmap = static_cast<LV2_URID_Unmap*>(saved.Map().UnmapFeature()->data);
  LilvState* state =
      lilv_state_new_from_instance(saved.Plugin(), saved.Get(), map, nullptr, nullptr, nullptr,
                                   nullptr, PortValue, &saved, 0, saved.FeatureList());
  ASSERT_NE(state, nullptr);
  char* text = lilv_state_to_string(TestWorld(), map, unmap, state, "urn:vantrose:test", nullptr);
  ASSERT_NE(text, nullptr);
  EXPECT_NE(std::string(text).find("stateChunk"), std::string::npos) << text;

  LV2Instance restored(BundleWorld(), kMonoURI, 44100.0, 512, Features::kMapOnly);
  ASSERT_TRUE(restored.Ok());
  LV2_URID_Map* map2 = static_cast<LV2_URID_Map*>(restored.Map().MapFeature()->data);
  LilvState* reread = lilv_state_new_from_string(TestWorld(), map2, text);
  ASSERT_NE(reread, nullptr);
  lilv_state_restore(reread, restored.Get(), SetPortValue, &restored, 0, restored.FeatureList());
  EXPECT_EQ(Doubles(Save(restored).bytes), Doubles(Save(saved).bytes));

  LV2Instance byHand(BundleWorld(), kMonoURI, 44100.0, 512, Features::kMapOnly);
  SetAndApply(byHand, kSettings);
  SetAndApply(restored, {});  // the same first block
  std::vector<std::vector<float>> in = TestSignal(1, 3000);
  EXPECT_EQ(RunLV2(restored, in, 512, {}), RunLV2(byHand, in, 512, {}));

  lilv_state_free(reread);
  lilv_free(text);
  lilv_state_free(state);
}

// Restoring needs only the state call's own URI map when instantiation had none;
// without any map, saving and restoring report the missing feature.
TEST(LV2State, MapFromTheStateCallOrNone) {
  LV2Instance fx(BundleWorld(), kStereoURI, 44100.0, 512, Features::kNone);
  ASSERT_TRUE(fx.Ok());
  LV2_State_Status status;
  Save(fx, &status);
  EXPECT_EQ(status, LV2_STATE_ERR_NO_FEATURE);

  URIDMap map;
  const LV2_Feature* features[] = {map.MapFeature(), nullptr};
  std::vector<double> values(15, 0.0);
  values[Vantrose::kGain] = 50.0;  // clamped to 12 on restore
  values[Vantrose::kLFreq] = 0.5;
  Offered offer{map.Map(kChunkKey), map.Map(LV2_ATOM__Chunk), Bytes(values)};
  LV2_Handle h = lilv_instance_get_handle(fx.Get());
  ASSERT_EQ(fx.StateInterface()->restore(h, Retrieve, &offer, 0, features), LV2_STATE_SUCCESS);
  Stored s;
  ASSERT_EQ(fx.StateInterface()->save(h, Store, &s, 0, features), LV2_STATE_SUCCESS);
  std::vector<double> v = Doubles(s.bytes);
  ASSERT_EQ(v.size(), 15u);
  EXPECT_EQ(v[Vantrose::kGain], 12.0);
  EXPECT_EQ(v[Vantrose::kLFreq], 0.5);
  EXPECT_EQ(v[Vantrose::kLGain], 0.0);
}

struct BadChunk {
  const char* what;
  size_t size;  // bytes offered
  int nanAt;    // a NaN at this index, or -1
  bool wrongType;
  bool present;
  LV2_State_Status expected;
};

class RestoreRefuses : public ::testing::TestWithParam<BadChunk> {};

// A chunk that can't be applied whole leaves every parameter as it was.
TEST_P(RestoreRefuses, AndChangesNothing) {
  const BadChunk& bad = GetParam();
  LV2Instance fx(BundleWorld(), kStereoURI, 44100.0, 512, Features::kMapOnly);
  ASSERT_TRUE(fx.Ok());
  SetAndApply(fx, kSettings);
  std::vector<unsigned char> before = Save(fx).bytes;

  std::vector<double> values(15, 0.25);
  if (bad.nanAt >= 0) values[bad.nanAt] = std::numeric_limits<double>::quiet_NaN();
  std::vector<unsigned char> bytes = Bytes(values);
  bytes.resize(bad.size);
  Offered offer{fx.Map().Map(kChunkKey),
                fx.Map().Map(bad.wrongType ? LV2_ATOM__String : LV2_ATOM__Chunk), bytes,
                bad.present};
  EXPECT_EQ(fx.StateInterface()->restore(lilv_instance_get_handle(fx.Get()), Retrieve, &offer, 0,
                                         fx.FeatureList()),
            bad.expected);
  EXPECT_EQ(Save(fx).bytes, before);
}

INSTANTIATE_TEST_SUITE_P(
    BadChunks, RestoreRefuses,
    ::testing::Values(BadChunk{"Short", 64, -1, false, true, LV2_STATE_ERR_UNKNOWN},
                      BadChunk{"Empty", 0, -1, false, true, LV2_STATE_ERR_UNKNOWN},
                      BadChunk{"NaN", 120, 9, false, true, LV2_STATE_ERR_UNKNOWN},
                      BadChunk{"WrongType", 120, -1, true, true, LV2_STATE_ERR_BAD_TYPE},
                      BadChunk{"Missing", 120, -1, false, false, LV2_STATE_ERR_NO_PROPERTY}),
    [](const ::testing::TestParamInfo<BadChunk>& info) { return std::string(info.param.what); });

// Trailing bytes after the fifteen values are ignored, as the base ignores them.
TEST(LV2State, TrailingBytesAreIgnored) {
  LV2Instance fx(BundleWorld(), kStereoURI, 44100.0, 512, Features::kMapOnly);
  ASSERT_TRUE(fx.Ok());
  std::vector<double> values(16, 0.5);
  values[Vantrose::kGain] = 3.0;
  Offered offer{fx.Map().Map(kChunkKey), fx.Map().Map(LV2_ATOM__Chunk), Bytes(values)};
  ASSERT_EQ(fx.StateInterface()->restore(lilv_instance_get_handle(fx.Get()), Retrieve, &offer, 0,
                                         fx.FeatureList()),
            LV2_STATE_SUCCESS);
  std::vector<double> v = Doubles(Save(fx).bytes);
  ASSERT_EQ(v.size(), 15u);
  EXPECT_EQ(v[Vantrose::kGain], 3.0);
}

// After a restore, ports that agree with the restored values (as floats) leave them
// exact; a port that disagrees, or that the host moves later, applies.
TEST(LV2State, PortsThatAgreeKeepExactRestoredValues) {
  LV2Instance fx(BundleWorld(), kStereoURI, 44100.0, 512, Features::kMapOnly);
  ASSERT_TRUE(fx.Ok());
  SetAndApply(fx, {{0, Vantrose::kLGain, 0.3f}});
  std::vector<double> values(15, 0.5);
  values[Vantrose::kLFreq] = 0.725;  // the port holds 0.725f, its float image
  values[Vantrose::kLGain] = 0.3;    // the port holds 0.3f
  Offered offer{fx.Map().Map(kChunkKey), fx.Map().Map(LV2_ATOM__Chunk), Bytes(values)};
  ASSERT_EQ(fx.StateInterface()->restore(lilv_instance_get_handle(fx.Get()), Retrieve, &offer, 0,
                                         fx.FeatureList()),
            LV2_STATE_SUCCESS);
  SetAndApply(fx, {{0, Vantrose::kHGain, 0.75f}});
  std::vector<double> v = Doubles(Save(fx).bytes);
  EXPECT_EQ(v[Vantrose::kLFreq], 0.725);
  EXPECT_EQ(v[Vantrose::kLGain], 0.3);
  EXPECT_EQ(v[Vantrose::kHGain], 0.75) << "a moved port still applies";
  EXPECT_EQ(v[Vantrose::kLMFreq], static_cast<double>(0.725f)) << "a disagreeing port wins";
}

}  // namespace
