#pragma once

// The effect's identity as LV2 hosts see it: one plug-in per channel configuration,
// the state property and the bundle's file names.  The Turtle generator and the
// plug-in binary both read these, so the bundle's description and code agree.
namespace VantroseLV2 {

struct PluginKind {
  const char* uri;
  const char* name;
  int nChannels;
};

#define VANTROSE_LV2_URI "https://kelvorin.com/lv2/vantrose"

constexpr PluginKind kKinds[] = {
    {VANTROSE_LV2_URI "#stereo", "Vantrose Stereo", 2},
    {VANTROSE_LV2_URI "#mono", "Vantrose Mono", 1},
};
constexpr int kNumKinds = 2;

// The state chunk is saved under this key, as an atom chunk.
constexpr const char* kStateChunkURI = VANTROSE_LV2_URI "#stateChunk";
// Presets are named <plug-in URI> + this suffix + their index.
constexpr const char* kPresetSuffix = "-preset";

// Parameters without a name of their own get a stable port symbol and name here.
struct UnnamedParam {
  int paramIdx;
  const char* symbol;
  const char* name;
};
constexpr UnnamedParam kUnnamedParams[] = {{14, "over", "OVER"}};

// The editor, one LV2 UI for both plug-ins, in a binary of its own.
constexpr const char* kUIURI = VANTROSE_LV2_URI "#ui";
constexpr const char* kUIBinaryName = "vantrose_ui.so";

constexpr const char* kBinaryName = "vantrose.so";
constexpr const char* kBundleName = "vantrose.lv2";

}  // namespace VantroseLV2
