#pragma once

#include <string>

// The vector instruction sets the render can use.  SSE2 runs on every x86-64; the
// wider paths are chosen at run time when the processor offers them.  Every path
// performs the plain chain's operations in its order, so all give the same bits.
enum class SimdPath { kSse2 = 0, kAvx2 = 1, kAvx512 = 2 };
constexpr int kSimdPathCount = 3;

// "sse2", "avx2", "avx512".
const char* SimdPathName(SimdPath path);
// Reads a name as SimdPathName writes it; false for anything else.
bool ParseSimdPath(const std::string& name, SimdPath* path);
// Whether this processor (and its operating system) can run the path.
bool CpuSupports(SimdPath path);
// The widest path this processor runs.
SimdPath BestSimdPath();

// The path chosen for a request (the VANTROSE_SIMD value, or null for none): the best
// path when there is no request; the requested one when the processor has it.  A
// request for an unknown path or one the processor lacks is refused: message says
// why, and path is the best one, for callers that carry on (a plug-in in a host).
struct SimdChoice {
  SimdPath path = SimdPath::kSse2;
  bool refused = false;
  std::string message;
};
SimdChoice ChooseSimdPath(const char* request);

// The process-wide choice from VANTROSE_SIMD, made on first use (the effect's
// constructor makes it, so the audio thread never does).  A refusal is reported once on
// standard error and rendering carries on along the best path.
const SimdChoice& ActiveSimdChoice();
inline SimdPath ActiveSimdPath() {
  return ActiveSimdChoice().path;
}
