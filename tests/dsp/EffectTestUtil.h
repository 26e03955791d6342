#pragma once

// Helpers for the tests of the whole effect: a configured instance and block-wise runs.
#include <memory>

#include "ChainTestUtil.h"
#include "Vantrose.h"

namespace chaintest {

// A fresh effect at rate fs with the block size set, every parameter pushed through
// OnParamChange as a host's initialisation does.
std::unique_ptr<Vantrose> MakeEffect(double fs, int blockSize);
// Sets a parameter in its own units (clamped) and tells the effect.
void SetEffectParam(Vantrose& fx, int idx, double value);

// Runs the effect's double path over the whole signal in blocks of blockSize frames.
Stereo RunEffect(Vantrose& fx, const Stereo& in, int blockSize);

}  // namespace chaintest
