#pragma once

// The effect's identity as LV2 hosts see it: one plug-in per channel configuration,
// the state property, the UI and the bundle's file names.
#include "LV2Product.h"

namespace VantroseLV2 {

#define VANTROSE_LV2_URI "https://kelvorin.com/lv2/vantrose"

constexpr LV2PluginKind kKinds[] = {
    {VANTROSE_LV2_URI "#stereo", "Vantrose Stereo", 2},
    {VANTROSE_LV2_URI "#mono", "Vantrose Mono", 1},
};
constexpr int kNumKinds = 2;

constexpr LV2UnnamedParam kUnnamedParams[] = {{14, "over", "OVER"}};

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
};

}  // namespace VantroseLV2
