#pragma once

// Helpers shared by the signal-chain tests: test signals and a comparison of two chain
// states to the bit.
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "VantroseChain.h"

namespace chaintest {

// Stereo test signal as two channel vectors.
struct Stereo {
  std::vector<double> ch[2];
  explicit Stereo(size_t n = 0) : ch{std::vector<double>(n), std::vector<double>(n)} {}
  size_t size() const { return ch[0].size(); }
};

// Uniform noise in ±level, different per channel.
inline Stereo Noise(size_t n, double level, unsigned seed) {
  Stereo s(n);
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> u(-level, level);
  for (size_t i = 0; i < n; ++i) {
    s.ch[0][i] = u(rng);
    s.ch[1][i] = u(rng);
  }
  return s;
}

// Exponential sine sweep from f0 to f1 Hz, the right channel a quarter period later.
Stereo Sweep(size_t n, double fs, double f0, double f1, double level);

// True when the two chains hold bit-identical state; names the first difference.
bool SameState(const VantroseChain& a, const VantroseChain& b, std::string* where);

template <class T>
bool SameBits(const T& a, const T& b) {
  return std::memcmp(&a, &b, sizeof(T)) == 0;
}

}  // namespace chaintest
