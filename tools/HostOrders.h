#pragma once

// Host call orders that real hosts use, each checked against a unit configured in the
// plain order (rate, formats, maximum frames, input, initialise): every render must
// match it bit for bit.
#include <string>
#include <vector>

#include "AudioUnit.h"

struct HostOrderCheck {
  std::string what;
  bool ok;
  std::string figures;
};

// One check per order on mono and on stereo units of the component.
std::vector<HostOrderCheck> CheckHostOrders(AudioComponent component, unsigned seed);
