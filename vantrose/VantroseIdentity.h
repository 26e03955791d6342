#pragma once

#include "IPluginStructs.h"

// The effect's identity as handed to the framework.
namespace VantroseIdentity {
constexpr const char* kEffectName = "Vantrose";
constexpr const char* kProductName = "";
constexpr const char* kMfrName = "Kelvorin";
constexpr int kVendorVersion = 0x00030000;
constexpr int kUniqueID = FourCC('V', 'n', 't', '1');
constexpr int kMfrID = FourCC('K', 'l', 'v', 'n');
constexpr const char* kChannelIO = "1-1 2-2";
constexpr const char* kBundleID = "com.kelvorin.audiounit.Vantrose";
constexpr const char* kViewFactoryClass = "Vantrose_View";
}  // namespace VantroseIdentity
