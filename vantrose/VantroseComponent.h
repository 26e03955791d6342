#pragma once

// The effect as a component: its exported entry points and its registration with
// the component registry (what the bundle's property list does on the real system).

#include "AudioUnit.h"

extern "C" {
ComponentResult Vantrose_Entry(ComponentParameters* params, void* storage);
void* Vantrose_Factory(const AudioComponentDescription* desc);
}

namespace VantroseComponent {
// The registered description: effect type, subtype 'Vnt1', manufacturer 'Klvn'.
AudioComponentDescription Description();
// Registers the factory route (once per process) and returns the component.
AudioComponent RegisterFactory();
// Registers the older selector route (once per process) and returns the component.
AudioComponent RegisterEntry();
// Makes the effect's bundle, at folder, findable by its identifier.
void RegisterBundle(const char* folder);
}  // namespace VantroseComponent
