#pragma once

// The base this wrapper gives an effect, under the name every wrapper uses: an effect
// built against this folder's include path derives from the Audio Unit wrapper.
#include "IPluginAU.h"

using IPluginWrapper = IPluginAU;

// Audio Unit hosts reset a unit explicitly; activation keeps the chain's state.
constexpr bool kActivationRestartsEffect = false;
