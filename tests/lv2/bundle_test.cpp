// The bundle as an LV2 host reads it: both plug-ins, their features, the control ports
// against the effect's parameters, the audio ports and the default preset.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/options/options.h>
#include <lv2/presets/presets.h>
#include <lv2/ui/ui.h>
#include <lv2/units/units.h>
#include <lv2/urid/urid.h>
#include <math.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "LV2TestHost.h"
#include "TurtleWriter.h"
#include "Vantrose.h"
#include "VantroseReadout.h"

namespace {

struct Kind {
  const char* uri;
  const char* name;
  int nChannels;
};
const Kind kKinds[] = {{kStereoURI, "Vantrose Stereo", 2}, {kMonoURI, "Vantrose Mono", 1}};

const char* const kSymbols[] = {"lgain",  "lfreq", "lmgain", "lmfreq", "hmgain",
                                "hmfreq", "hgain", "hfreq",  "hp",     "lp",
                                "gain",   "bell",  "hplp",   "by",     "over"};

std::string NodeString(const LilvNode* node) {
  return node ? lilv_node_as_string(node) : std::string("(none)");
}

// The first value of predicate on port, as text.
std::string PortValue(const LilvPlugin* plugin, const LilvPort* port, const char* predicate) {
  LilvNode* pred = NewURI(predicate);
  LilvNodes* values = lilv_port_get_value(plugin, port, pred);
  std::string out = values ? NodeString(lilv_nodes_get_first(values)) : "(none)";
  lilv_nodes_free(values);
  lilv_node_free(pred);
  return out;
}

bool PortHas(const LilvPlugin* plugin, const LilvPort* port, const char* property) {
  LilvNode* node = NewURI(property);
  bool has = lilv_port_has_property(plugin, port, node);
  lilv_node_free(node);
  return has;
}

std::unique_ptr<IPluginBase> Effect() {
  return std::unique_ptr<IPluginBase>(MakePlug(nullptr));
}

class Bundle : public ::testing::TestWithParam<Kind> {};

TEST_P(Bundle, ListsThePluginWithItsFeatures) {
  const LilvPlugin* plugin = TestPlugin(GetParam().uri);
  ASSERT_NE(plugin, nullptr) << "not in " << VANTROSE_LV2_BUNDLE_DIR;
  EXPECT_TRUE(lilv_plugin_verify(plugin));
  LilvNode* name = lilv_plugin_get_name(plugin);
  EXPECT_EQ(NodeString(name), GetParam().name);
  lilv_node_free(name);

  LilvNodes* required = lilv_plugin_get_required_features(plugin);
  EXPECT_EQ(lilv_nodes_size(required), 0u) << "must run in a host that offers nothing";
  lilv_nodes_free(required);
  LilvNode* hardRT = NewURI(LV2_CORE__hardRTCapable);
  LilvNode* state = NewURI(LV2_STATE__interface);
  EXPECT_TRUE(lilv_plugin_has_feature(plugin, hardRT));
  EXPECT_TRUE(lilv_plugin_has_extension_data(plugin, state));
  lilv_node_free(hardRT);
  lilv_node_free(state);
}

TEST_P(Bundle, ControlPortsMirrorTheParameters) {
  const LilvPlugin* plugin = TestPlugin(GetParam().uri);
  ASSERT_NE(plugin, nullptr);
  std::unique_ptr<IPluginBase> fx = Effect();
  ASSERT_EQ(fx->NParams(), 15);
  ASSERT_EQ(lilv_plugin_get_num_ports(plugin), 15u + 2u * GetParam().nChannels + 1u)
      << "the controls, the audio, then the latency output";
  std::vector<float> mins(lilv_plugin_get_num_ports(plugin)), maxs(mins.size()), defs(mins.size());
  lilv_plugin_get_port_ranges_float(plugin, mins.data(), maxs.data(), defs.data());
  for (int i = 0; i < fx->NParams(); ++i) {
    SCOPED_TRACE(kSymbols[i]);
    const IParam* param = fx->GetParam(i);
    const LilvPort* port = lilv_plugin_get_port_by_index(plugin, i);
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(NodeString(lilv_port_get_symbol(plugin, port)), kSymbols[i]);
    LilvNode* control = NewURI(LV2_CORE__ControlPort);
    LilvNode* input = NewURI(LV2_CORE__InputPort);
    EXPECT_TRUE(lilv_port_is_a(plugin, port, control) && lilv_port_is_a(plugin, port, input));
    lilv_node_free(control);
    lilv_node_free(input);
    EXPECT_EQ(defs[i], static_cast<float>(param->GetDefault()));
    EXPECT_EQ(mins[i], static_cast<float>(param->GetMin()));
    EXPECT_EQ(maxs[i], static_cast<float>(param->GetMax()));
    bool isSwitch = i >= Vantrose::kBell;
    EXPECT_EQ(PortHas(plugin, port, LV2_CORE__integer), isSwitch);
    EXPECT_EQ(PortHas(plugin, port, LV2_CORE__toggled), isSwitch);
    // The knobs are positions, Output Gain is in dB, the switches have no unit.
    EXPECT_EQ(PortValue(plugin, port, LV2_UNITS__unit),
              i == Vantrose::kGain ? std::string(LV2_UNITS__db) : "(none)");
    EXPECT_NE(PortValue(plugin, port, "http://www.w3.org/2000/01/rdf-schema#comment"), "(none)");
    EXPECT_NE(PortValue(plugin, port, "http://lv2plug.in/ns/ext/port-groups#group"), "(none)");
    EXPECT_EQ(PortValue(plugin, port, LV2_CORE__designation),
              i == Vantrose::kBY ? std::string(LV2_CORE__enabled) : "(none)")
        << "the processing switch is the host's enable";
  }
  const char* const names[] = {"Low Gain",          "Low Frequency",  "Low-Mid Gain",
                               "Low-Mid Frequency", "High-Mid Gain",  "High-Mid Frequency",
                               "High Gain",         "High Frequency", "High-Pass",
                               "Low-Pass",          "Output Gain",    "Low Bell",
                               "Filters",           "Enabled",        "Oversampling 16x"};
  for (int i = 0; i < 15; ++i) {
    EXPECT_EQ(PortValue(plugin, lilv_plugin_get_port_by_index(plugin, i), LV2_CORE__name),
              names[i]);
  }
  EXPECT_EQ(mins[10], -12.0f);
  EXPECT_EQ(maxs[10], 12.0f);
  EXPECT_EQ(defs[13], 1.0f) << "BY engaged by default";
}

TEST_P(Bundle, AudioPortsFollowTheControls) {
  const LilvPlugin* plugin = TestPlugin(GetParam().uri);
  ASSERT_NE(plugin, nullptr);
  const int n = GetParam().nChannels;
  const char* const stereo[] = {"in_l", "in_r", "out_l", "out_r"};
  const char* const mono[] = {"in", "out"};
  LilvNode* audio = NewURI(LV2_CORE__AudioPort);
  LilvNode* output = NewURI(LV2_CORE__OutputPort);
  for (int k = 0; k < 2 * n; ++k) {
    const LilvPort* port = lilv_plugin_get_port_by_index(plugin, 15 + k);
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(NodeString(lilv_port_get_symbol(plugin, port)), n == 2 ? stereo[k] : mono[k]);
    EXPECT_TRUE(lilv_port_is_a(plugin, port, audio));
    EXPECT_EQ(lilv_port_is_a(plugin, port, output), k >= n);
  }
  lilv_node_free(audio);
  lilv_node_free(output);
}

void CollectPortValue(const char* symbol, void* data, const void* value, uint32_t size, uint32_t) {
  auto* values = static_cast<std::vector<std::pair<std::string, float>>*>(data);
  if (size == sizeof(float)) values->push_back({symbol, *static_cast<const float*>(value)});
}

TEST_P(Bundle, DefaultPresetHoldsTheDefaults) {
  const LilvPlugin* plugin = TestPlugin(GetParam().uri);
  ASSERT_NE(plugin, nullptr);
  LilvNode* presetClass = NewURI(LV2_PRESETS__Preset);
  LilvNodes* presets = lilv_plugin_get_related(plugin, presetClass);
  ASSERT_EQ(lilv_nodes_size(presets), 7u) << "\"-\" and six factory presets";
  URIDMap map;
  LV2_URID_Map* mapData = static_cast<LV2_URID_Map*>(map.MapFeature()->data);
  LilvState* state = nullptr;
  std::vector<std::string> labels;
  LILV_FOREACH(nodes, it, presets) {
    const LilvNode* preset = lilv_nodes_get(presets, it);
    lilv_world_load_resource(TestWorld(), preset);
    LilvState* s = lilv_state_new_from_world(TestWorld(), mapData, preset);
    ASSERT_NE(s, nullptr);
    labels.push_back(lilv_state_get_label(s));
    if (labels.back() == "-") {
      state = s;
    } else {
      lilv_state_free(s);
    }
  }
  std::sort(labels.begin(), labels.end());
  EXPECT_EQ(labels, (std::vector<std::string>{"-", "Air and Sheen", "Clear the Mud", "Kick Weight",
                                              "Telephone", "Vocal Presence", "Warm Low End"}));
  ASSERT_NE(state, nullptr);
  std::vector<std::pair<std::string, float>> values;
  lilv_state_emit_port_values(state, CollectPortValue, &values);
  std::unique_ptr<IPluginBase> fx = Effect();
  ASSERT_EQ(values.size(), 15u);
  for (const auto& v : values) {
    int idx = -1;
    for (int i = 0; i < 15; ++i) {
      if (v.first == kSymbols[i]) idx = i;
    }
    ASSERT_GE(idx, 0) << v.first;
    EXPECT_EQ(v.second, static_cast<float>(fx->GetParam(idx)->GetDefault())) << v.first;
  }
  lilv_state_free(state);
  lilv_nodes_free(presets);
  lilv_node_free(presetClass);
}

// One X11 UI for both plug-ins, from its own binary, which needs no host feature: without
// a parent window it makes none until shown, and it takes only this bundle's plug-ins.
TEST_P(Bundle, OffersTheX11UIFromItsOwnBinary) {
  const LilvPlugin* plugin = TestPlugin(GetParam().uri);
  ASSERT_NE(plugin, nullptr);
  LilvUIs* uis = lilv_plugin_get_uis(plugin);
  ASSERT_EQ(lilv_uis_size(uis), 1u);
  const LilvUI* ui = lilv_uis_get(uis, lilv_uis_begin(uis));
  EXPECT_EQ(NodeString(lilv_ui_get_uri(ui)), "https://kelvorin.com/lv2/vantrose#ui");
  LilvNode* x11 = NewURI(LV2_UI__X11UI);
  EXPECT_TRUE(lilv_ui_is_a(ui, x11));
  lilv_node_free(x11);
  char* path = lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_binary_uri(ui)), nullptr);
  void* lib = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(lib, nullptr) << dlerror();
  auto entry = reinterpret_cast<LV2UI_DescriptorFunction>(dlsym(lib, "lv2ui_descriptor"));
  ASSERT_NE(entry, nullptr);
  const LV2UI_Descriptor* d = entry(0);
  EXPECT_EQ(entry(1), nullptr);
  EXPECT_STREQ(d->URI, "https://kelvorin.com/lv2/vantrose#ui");
  EXPECT_NE(d->extension_data(LV2_UI__idleInterface), nullptr);
  EXPECT_NE(d->extension_data(LV2_UI__showInterface), nullptr);
  auto write = [](LV2UI_Controller, uint32_t, uint32_t, uint32_t, const void*) {};
  LV2UI_Widget widget = &widget;
  const LV2_Feature* none[] = {nullptr};
  EXPECT_EQ(d->instantiate(d, "urn:other", VANTROSE_LV2_BUNDLE_DIR, write, nullptr, &widget, none),
            nullptr);
  LV2UI_Handle h =
      d->instantiate(d, GetParam().uri, VANTROSE_LV2_BUNDLE_DIR, write, nullptr, &widget, none);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(widget, nullptr);
  float v = 0.3f;
  d->port_event(h, 0, sizeof v, 0, &v);
  auto idle = static_cast<const LV2UI_Idle_Interface*>(d->extension_data(LV2_UI__idleInterface));
  EXPECT_EQ(idle->idle(h), 0);
  d->cleanup(h);
  dlclose(lib);
  lilv_free(path);
  lilv_uis_free(uis);
}

// Scale points sit where a knob's own read-out (at 48 kHz, others at their defaults) is
// the round value they name, so a host's "100 Hz" is 100 Hz.
TEST_P(Bundle, ScalePointsReadAsTheirLabels) {
  const LilvPlugin* plugin = TestPlugin(GetParam().uri);
  ASSERT_NE(plugin, nullptr);
  std::unique_ptr<IPluginBase> fx = Effect();
  int labelled = 0;
  for (int i = 0; i < 15; ++i) {
    LilvScalePoints* points =
        lilv_port_get_scale_points(plugin, lilv_plugin_get_port_by_index(plugin, i));
    if (!VantroseReadout::IsKnob(i)) {
      EXPECT_EQ(points, nullptr) << "switch " << i;
      continue;
    }
    ASSERT_NE(points, nullptr) << "knob " << i;
    LILV_FOREACH(scale_points, it, points) {
      const LilvScalePoint* p = lilv_scale_points_get(points, it);
      const std::string label = lilv_node_as_string(lilv_scale_point_get_label(p));
      const double value = lilv_node_as_float(lilv_scale_point_get_value(p));
      const double reading = VantroseReadout::ValueReading(*fx, i, 48000.0, value);
      const double named = std::strtod(label.c_str(), nullptr) *
                           (label.find("kHz") != std::string::npos ? 1000.0 : 1.0);
      SCOPED_TRACE(label);
      if (VantroseReadout::UnitOf(i) == VantroseReadout::Unit::kDb) {
        EXPECT_NEAR(reading, named, 0.05);
      } else {
        EXPECT_NEAR(reading / named, 1.0, 0.01);
      }
      ++labelled;
    }
    lilv_scale_points_free(points);
  }
  EXPECT_GT(labelled, 40);
}

// The latency output: designated, optional, and where an impulse really comes out.
TEST_P(Bundle, ReportsWhereAnImpulseComesOut) {
  const LilvPlugin* plugin = TestPlugin(GetParam().uri);
  ASSERT_NE(plugin, nullptr);
  const uint32_t index = 15u + 2u * GetParam().nChannels;
  EXPECT_EQ(lilv_plugin_get_latency_port_index(plugin), index);
  const LilvPort* port = lilv_plugin_get_port_by_index(plugin, index);
  EXPECT_TRUE(PortHas(plugin, port, LV2_CORE__reportsLatency));
  EXPECT_TRUE(PortHas(plugin, port, LV2_CORE__connectionOptional)) << "added after release";
  for (double rate : {44100.0, 48000.0, 96000.0}) {
    for (float over : {0.0f, 1.0f}) {
      SCOPED_TRACE(testing::Message() << rate << " Hz, over " << over);
      LV2Instance fx(BundleWorld(), GetParam().uri, rate, 512, Features::kNone);
      ASSERT_TRUE(fx.Ok());
      fx.Set("over", over);
      lilv_instance_activate(fx.Get());
      const int n = GetParam().nChannels, settle = static_cast<int>(rate * 0.25);
      std::vector<std::vector<float>> in(n, std::vector<float>(settle, 0.0f)), out;
      fx.Run(in, out, settle);  // the smoothers settle
      for (auto& ch : in)
        ch.assign(512, 0.0f);
      for (auto& ch : in)
        ch[0] = 1.0f;
      fx.Run(in, out, 512);
      const float reported = fx.controls[index];
      int peak = 0;
      for (int i = 1; i < 512; ++i) {
        if (std::fabs(out[0][i]) > std::fabs(out[0][peak])) peak = i;
      }
      EXPECT_GT(reported, 0.0f);
      EXPECT_EQ(static_cast<float>(peak), reported);
    }
  }
}

// Sets an environment variable for the scope, or clears it (value null).
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : mName(name) {
    const char* old = std::getenv(name);
    mHad = old != nullptr;
    if (old) mOld = old;
    if (value) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (mHad) {
      setenv(mName.c_str(), mOld.c_str(), 1);
    } else {
      unsetenv(mName.c_str());
    }
  }

 private:
  std::string mName, mOld;
  bool mHad = false;
};

// The size the UI asks its host for at instantiation follows its choice of scale: the
// user's saved size, then the host's ui:scaleFactor, then GDK_SCALE (no X display here).
TEST(BundleUI, AsksForTheSizeOfTheScaleItChose) {
  std::string config = ::testing::TempDir() + "ui_scale_" + std::to_string(getpid());
  ScopedEnv noDisplay("DISPLAY", nullptr), xdg("XDG_CONFIG_HOME", config.c_str());
  std::string ui = std::string(VANTROSE_LV2_BUNDLE_DIR) + "vantrose_ui.so";
  void* lib = dlopen(ui.c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(lib, nullptr) << dlerror();
  auto entry = reinterpret_cast<LV2UI_DescriptorFunction>(dlsym(lib, "lv2ui_descriptor"));
  ASSERT_NE(entry, nullptr);
  const LV2UI_Descriptor* d = entry(0);

  static std::vector<std::string> uris;
  LV2_URID_Map map = {nullptr, [](LV2_URID_Map_Handle, const char* uri) -> LV2_URID {
                        for (size_t i = 0; i < uris.size(); ++i)
                          if (uris[i] == uri) return static_cast<LV2_URID>(i + 1);
                        uris.push_back(uri);
                        return static_cast<LV2_URID>(uris.size());
                      }};
  struct Size {
    int w = 0, h = 0;
  } asked;
  LV2UI_Resize resize = {&asked, [](LV2UI_Feature_Handle h, int w, int ht) {
                           static_cast<Size*>(h)->w = w;
                           static_cast<Size*>(h)->h = ht;
                           return 0;
                         }};
  struct Case {
    const char* name;
    const char* saved;  // editor.conf's text, or null for none
    float host;         // ui:scaleFactor, or 0 for none
    const char* gdk;
    int w, h;
  } cases[] = {
      {"nothing set", nullptr, 0.0f, nullptr, 774, 237},
      {"the host's 1.5", nullptr, 1.5f, "2", 1161, 356},
      {"the host's 1.3, rounded", nullptr, 1.3f, nullptr, 1161, 356},
      {"GDK_SCALE without the host", nullptr, 0.0f, "2", 1548, 474},
      {"the user's choice first", "scale = 1\n", 2.0f, "2", 774, 237},
      {"an unreadable choice is none", "scale = big\n", 2.0f, nullptr, 1548, 474},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string conf = config + "/vantrose/editor.conf";
    std::remove(conf.c_str());
    if (c.saved) {
      ASSERT_EQ(std::system(("mkdir -p " + config + "/vantrose").c_str()), 0);
      std::ofstream(conf) << c.saved;
    }
    ScopedEnv gdk("GDK_SCALE", c.gdk);
    LV2_URID floatType = map.map(nullptr, LV2_ATOM__Float);
    LV2_Options_Option options[] = {{LV2_OPTIONS_INSTANCE, 0, map.map(nullptr, LV2_UI__scaleFactor),
                                     sizeof(float), floatType, &c.host},
                                    {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr}};
    if (c.host == 0.0f) options[0] = options[1];
    LV2_Feature mapFeature = {LV2_URID__map, &map},
                optionsFeature = {LV2_OPTIONS__options, options},
                resizeFeature = {LV2_UI__resize, &resize};
    const LV2_Feature* features[] = {&mapFeature, &optionsFeature, &resizeFeature, nullptr};
    auto write = [](LV2UI_Controller, uint32_t, uint32_t, uint32_t, const void*) {};
    LV2UI_Widget widget = nullptr;
    asked = Size();
    LV2UI_Handle h =
        d->instantiate(d, kStereoURI, VANTROSE_LV2_BUNDLE_DIR, write, nullptr, &widget, features);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(asked.w, c.w);
    EXPECT_EQ(asked.h, c.h);
    d->cleanup(h);
  }
  std::remove((config + "/vantrose/editor.conf").c_str());
  rmdir((config + "/vantrose").c_str());
  rmdir(config.c_str());
  dlclose(lib);
}

INSTANTIATE_TEST_SUITE_P(BothPlugins, Bundle, ::testing::ValuesIn(kKinds),
                         [](const ::testing::TestParamInfo<Kind>& info) {
                           return std::string(info.param.nChannels == 2 ? "Stereo" : "Mono");
                         });

// Numbers in the Turtle read back as exactly the double they came from.
TEST(TurtleNumber, ShortestTextThatReadsBackExactly) {
  EXPECT_EQ(TurtleNumber(0.725), "0.725");
  EXPECT_EQ(TurtleNumber(-12.0), "-12.0");
  EXPECT_EQ(TurtleNumber(0.0), "0.0");
  EXPECT_EQ(TurtleNumber(1e-300), "1e-300");
  for (double v : {0.1, 0.983, 1.0 / 3.0, 12.345678901234567, -0.0001}) {
    EXPECT_EQ(std::stod(TurtleNumber(v)), v) << TurtleNumber(v);
  }
}

}  // namespace
