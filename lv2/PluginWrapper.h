#pragma once

// The base this wrapper gives an effect, under the name every wrapper uses: an effect
// built against this folder's include path derives from the LV2 wrapper.
#include "IPluginLV2.h"

using IPluginWrapper = IPluginLV2;

// LV2 hosts expect activation to forget every trace of earlier audio.
constexpr bool kActivationRestartsEffect = true;

// LV2 hosts learn the effect's delay from its latency port, so the effect measures it.
constexpr bool kWrapperReportsLatency = true;

// LV2 keeps run() apart from every call but state save, which reads the wrapper's own
// copies of the values: the effect's callbacks, which run() reaches, take no lock.
struct EffectLock {
  explicit EffectLock(RecursiveMutex&) {}
};
