#pragma once

// The effect's identity as LV2 hosts see it: one plug-in per channel configuration,
// the state property, the UI and the bundle's file names, and what a host shows of
// each control: names, comments, groups, units, and the factory presets.
#include "LV2Product.h"

namespace VantroseLV2 {

#define VANTROSE_LV2_URI "https://kelvorin.com/lv2/vantrose"

constexpr LV2PluginKind kKinds[] = {
    {VANTROSE_LV2_URI "#stereo", "Vantrose Stereo", 2},
    {VANTROSE_LV2_URI "#mono", "Vantrose Mono", 1},
};
constexpr int kNumKinds = 2;

constexpr LV2UnnamedParam kUnnamedParams[] = {{14, "over", "OVER"}};

constexpr LV2PortGroup kGroups[] = {
    {"low", "Low band"},
    {"lowmid", "Low-mid band"},
    {"highmid", "High-mid band"},
    {"high", "High band"},
    {"filters", "High-pass and low-pass filters"},
    {"output", "Output"},
};

// In parameter order.  The knobs are positions 0..1 (no unit); their values in Hz and
// dB depend on the knob's law, which the editor's read-outs show.
constexpr LV2PortText kPortTexts[] = {
    {"Low Gain", "Boost or cut of the low band: a shelf, or a bell with Low Bell on.", "low", "",
     nullptr},
    {"Low Frequency", "Where the low band acts.", "low", "", nullptr},
    {"Low-Mid Gain", "Boost or cut of the low-mid bell.", "lowmid", "", nullptr},
    {"Low-Mid Frequency", "Centre of the low-mid bell.", "lowmid", "", nullptr},
    {"High-Mid Gain", "Boost or cut of the high-mid bell.", "highmid", "", nullptr},
    {"High-Mid Frequency", "Centre of the high-mid bell.", "highmid", "", nullptr},
    {"High Gain", "Boost or cut of the high shelf.", "high", "", nullptr},
    {"High Frequency", "Where the high shelf acts.", "high", "", nullptr},
    {"High-Pass", "Cutoff of the high-pass filter, active with Filters on.", "filters", "",
     nullptr},
    {"Low-Pass", "Cutoff of the low-pass filter, active with Filters on.", "filters", "", nullptr},
    {"Output Gain", "Gain after every band, in dB.", "output", "db", nullptr},
    {"Low Bell", "Turns the low band from a shelf into a bell.", "low", nullptr, nullptr},
    {"Filters", "Switches the high-pass and low-pass filters in.", "filters", nullptr, nullptr},
    {"Enabled", "Processing on; off passes the input through untouched.", "output", nullptr,
     "enabled"},
    {"Oversampling 16x", "Runs the saturation stage at 16 times the rate instead of 4.", "output",
     nullptr, nullptr},
};

// Factory presets, listed by hosts beside "-".  Parameter indices as in VantroseParams.
constexpr LV2FactoryPreset kPresets[] = {
    {"Warm Low End", {{0, 0.8}, {1, 0.6}}, 2},
    {"Kick Weight", {{11, 1.0}, {0, 0.78}, {1, 0.45}, {2, 0.4}, {3, 0.55}}, 5},
    {"Clear the Mud", {{2, 0.3}, {3, 0.5}}, 2},
    {"Vocal Presence", {{4, 0.7}, {5, 0.85}, {6, 0.6}, {7, 0.9}}, 4},
    {"Air and Sheen", {{6, 0.75}, {7, 0.95}, {14, 1.0}}, 3},
    {"Telephone", {{12, 1.0}, {8, 0.8}, {9, 0.3}, {10, 3.0}}, 4},
};

constexpr LV2Product kProduct = {
    kKinds,
    kNumKinds,
    VANTROSE_LV2_URI "#stateChunk",
    "-preset",
    kUnnamedParams,
    1,
    VANTROSE_LV2_URI "#ui",
    "vantrose_ui.so",
    "vantrose.so",
    "vantrose.lv2",
    "vantrose.ttl",
    kPortTexts,
    sizeof kPortTexts / sizeof kPortTexts[0],
    kGroups,
    sizeof kGroups / sizeof kGroups[0],
    kPresets,
    sizeof kPresets / sizeof kPresets[0],
    "https://www.kelvorin.com/vantrose",
    "https://www.kelvorin.com/vantrose/license",
    true,
};

}  // namespace VantroseLV2
