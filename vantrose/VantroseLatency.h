#pragma once

#include "VantroseChain.h"

// The delay the effect adds, in whole samples: the group delay at 1 kHz of the chain at
// the given settings at 48 kHz, from its impulse response once the smoothers have
// settled, rounded.  The oversampling and decimating filters make almost all of it and
// scale with the rate, so in samples it is the same at every rate (an impulse peaks 3
// samples late from 8 to 192 kHz); the low bands' phase would only add a fraction of a
// sample that grows with the rate.  Hosts get the value at the default settings.
int ChainLatency(const ChainControls& c);

// The group delay, in samples, of the chain at the controls' settings and frequency hz.
double ChainGroupDelay(const ChainControls& c, double hz);
