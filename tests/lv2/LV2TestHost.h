#pragma once

// The shared LV2 host on the bundle under test, loaded from the build folder.

#include "LV2Host.h"

constexpr const char* kStereoURI = "https://kelvorin.com/lv2/vantrose#stereo";
constexpr const char* kMonoURI = "https://kelvorin.com/lv2/vantrose#mono";

// The process's world with only the bundle under test loaded.
inline const LV2World& BundleWorld() {
  static const LV2World sWorld(VANTROSE_LV2_BUNDLE_DIR);
  return sWorld;
}
inline LilvWorld* TestWorld() {
  return BundleWorld().Get();
}
inline const LilvPlugin* TestPlugin(const char* uri) {
  return BundleWorld().Find(uri);
}
// A node for uri, owned by the caller.
inline LilvNode* NewURI(const char* uri) {
  return BundleWorld().NewURI(uri);
}
