// The wrapper and the Turtle generator on a small plug-in of their own: how parameters
// of every kind become control ports, and what a configuration may not be.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>

#include "IPluginLV2.h"
#include "LV2Product.h"
#include "TurtleWriter.h"

// The wrapper's description of the product it is built into: here a test product of
// its own, stereo and mono, with one unnamed parameter it names itself.
namespace {
constexpr LV2PluginKind kTestKinds[] = {{"urn:test:plug#stereo", "Test Stereo", 2},
                                        {"urn:test:plug#mono", "Test Mono", 1}};
constexpr LV2UnnamedParam kTestUnnamed[] = {{9, "nine", "Nine"}};
constexpr LV2Product kTestProduct = {kTestKinds,
                                     2,
                                     "urn:test:plug#state",
                                     "-preset",
                                     kTestUnnamed,
                                     1,
                                     "urn:test:plug#ui",
                                     "test_ui.so",
                                     "test.so",
                                     "test.lv2",
                                     "test.ttl",
                                     nullptr,
                                     0,
                                     nullptr,
                                     0,
                                     nullptr,
                                     0,
                                     nullptr,
                                     nullptr,
                                     false};
}  // namespace

const LV2Product& GetLV2Product() {
  return kTestProduct;
}

namespace {

// Four parameters of the four kinds, plus one left uninitialised, on "1-1 2-2".
class TestLV2 : public IPluginLV2 {
 public:
  TestLV2()
      : IPluginLV2(IPluginInstanceInfo(), 5, "1-1 2-2", 1, "Test", "", "Maker", 0x00010203,
                   FourCC('T', 'e', 's', 't'), FourCC('K', 'l', 'v', 'n'), 0, false, false, false,
                   0) {
    GetParam(0)->InitDouble("Out Gain (dB)", -6.0, -24.0, 6.0, 0.5, "dB", "");
    GetParam(1)->InitBool("On", true);
    GetParam(2)->InitEnum("2nd Mode", 1, 5, "", "");
    GetParam(3)->InitInt("Steps", 3, 1, 8, "st", "");
    MakeDefaultPreset("first", 1);
  }
};

TEST(LV2ControlPort, EachKindOfParameter) {
  TestLV2 plug;
  LV2ControlPort gain = ControlPortForParam(plug, 0);
  EXPECT_EQ(gain.symbol, "outgaindb") << "lower case, only [a-z0-9_]";
  EXPECT_EQ(gain.name, "Out Gain (dB)");
  EXPECT_EQ(gain.defaultValue, -6.0);
  EXPECT_EQ(gain.minimum, -24.0);
  EXPECT_EQ(gain.maximum, 6.0);
  EXPECT_FALSE(gain.integer);
  EXPECT_FALSE(gain.toggled);
  EXPECT_EQ(gain.label, "dB");
  EXPECT_EQ(gain.precision, 1);

  LV2ControlPort on = ControlPortForParam(plug, 1);
  EXPECT_TRUE(on.integer);
  EXPECT_TRUE(on.toggled);
  EXPECT_EQ(on.defaultValue, 1.0);

  LV2ControlPort mode = ControlPortForParam(plug, 2);
  EXPECT_EQ(mode.symbol, "p2ndmode") << "a symbol never starts with a digit";
  EXPECT_TRUE(mode.integer);
  EXPECT_FALSE(mode.toggled) << "five entries: 0..4";
  EXPECT_EQ(mode.maximum, 4.0);

  LV2ControlPort steps = ControlPortForParam(plug, 3);
  EXPECT_TRUE(steps.integer);
  EXPECT_FALSE(steps.toggled);
  EXPECT_EQ(steps.minimum, 1.0);

  LV2ControlPort unnamed = ControlPortForParam(plug, 4);
  EXPECT_EQ(unnamed.symbol, "param4") << "no name and not in the effect's own table";
  EXPECT_TRUE(unnamed.toggled) << "an uninitialised parameter steps like a 0..1 switch";
}

TEST(LV2Turtle, PortsPresetsAndEscapes) {
  TestLV2 plug;
  std::string plugins = PluginsTurtle(plug);
  EXPECT_NE(plugins.find("lv2:symbol \"outgaindb\""), std::string::npos);
  EXPECT_NE(plugins.find("units:render \"%.1f dB\""), std::string::npos) << plugins;
  EXPECT_NE(plugins.find("lv2:minimum -24.0"), std::string::npos) << "decimals, not integers";
  EXPECT_NE(plugins.find("lv2:index 5 ;\n    lv2:symbol \"in_l\""), std::string::npos);
  EXPECT_NE(plugins.find("lv2:index 5 ;\n    lv2:symbol \"in\""), std::string::npos)
      << "the mono plug-in's ports follow the same five controls";
  std::string presets = PresetsTurtle(plug);
  EXPECT_NE(presets.find("rdfs:label \"first\""), std::string::npos);
  EXPECT_NE(presets.find("lv2:symbol \"steps\" ;\n    pset:value 3.0"), std::string::npos);

  IPreset* preset = plug.GetPreset(0);
  std::snprintf(preset->mName, sizeof preset->mName, "say \"hi\"\\");
  preset->mChunk.Resize(8 * 2);  // two values left: the others are simply not listed
  presets = PresetsTurtle(plug);
  EXPECT_NE(presets.find("rdfs:label \"say \\\"hi\\\"\\\\\""), std::string::npos) << presets;
  EXPECT_NE(presets.find("lv2:symbol \"on\""), std::string::npos);
  EXPECT_EQ(presets.find("lv2:symbol \"p2ndmode\""), std::string::npos);
}

struct BadConfig {
  const char* what;
  int nChannels;
  double rate;
  int block;
};

class ConfigureRefuses : public ::testing::TestWithParam<BadConfig> {};

TEST_P(ConfigureRefuses, AndLeavesNoPorts) {
  TestLV2 plug;
  EXPECT_FALSE(plug.Configure(GetParam().nChannels, GetParam().rate, GetParam().block));
  EXPECT_EQ(plug.NChannels(), 0);
  plug.Run(64);  // nothing configured: nothing to do, nothing touched
}

INSTANTIATE_TEST_SUITE_P(
    Bad, ConfigureRefuses,
    ::testing::Values(BadConfig{"ThreeChannels", 3, 44100.0, 512},
                      BadConfig{"NoChannels", 0, 44100.0, 512}, BadConfig{"ZeroRate", 2, 0.0, 512},
                      BadConfig{"NaNRate", 2, std::numeric_limits<double>::quiet_NaN(), 512},
                      BadConfig{"InfiniteRate", 2, std::numeric_limits<double>::infinity(), 512},
                      BadConfig{"RateBelowRange", 1, 7999.0, 512},
                      BadConfig{"RateAboveRange", 2, 768001.0, 512},
                      BadConfig{"ZeroBlock", 2, 44100.0, 0},
                      BadConfig{"HugeBlock", 2, 44100.0, kLV2MaxBlockSize + 1}),
    [](const ::testing::TestParamInfo<BadConfig>& info) { return std::string(info.param.what); });

TEST(ConfigureAccepts, BothConfigurationsWithTheirPorts) {
  TestLV2 stereo, mono;
  ASSERT_TRUE(stereo.Configure(2, 48000.0, 256));
  ASSERT_TRUE(mono.Configure(1, 96000.0, kLV2MaxBlockSize));
  EXPECT_EQ(stereo.NPorts(), 5 + 4);
  EXPECT_EQ(mono.NPorts(), 5 + 2);
  EXPECT_EQ(stereo.GetSampleRate(), 48000.0);
  EXPECT_EQ(stereo.GetBlockSize(), 256);
  EXPECT_EQ(stereo.GetAPI(), kAPILV2);
  EXPECT_STREQ(stereo.GetAPIString(), "LV2");
  EXPECT_TRUE(mono.IsOutChannelConnected(0));
  EXPECT_FALSE(mono.IsOutChannelConnected(1));
  EXPECT_EQ(stereo.LastControlValue(0), -6.0f) << "the parameter's value, as a port float";
  EXPECT_TRUE(std::isnan(stereo.LastControlValue(5)));
}

}  // namespace
