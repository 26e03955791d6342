#pragma once

// The base this wrapper gives an effect, under the name every wrapper uses: an effect
// built against this folder's include path derives from the Audio Unit wrapper.
#include "IPluginAU.h"

using IPluginWrapper = IPluginAU;

// Audio Unit hosts reset a unit explicitly; activation keeps the chain's state.
constexpr bool kActivationRestartsEffect = false;

// The Audio Unit reports the latency the effect declares at construction.
constexpr bool kWrapperReportsLatency = false;

// Audio Unit hosts may call from several threads at once: the effect's callbacks take
// the plug-in lock again, as every wrapper entry does.
using EffectLock = RecursiveMutex::ScopedLock;
