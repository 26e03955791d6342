#include "SimdDispatch.h"

#include <cstdio>
#include <cstdlib>

namespace {

const char* const kNames[kSimdPathCount] = {"sse2", "avx2", "avx512"};

// The environment's text as it may reach a terminal: printable ASCII as it is, every
// other byte as \xNN, at most 64 bytes of it.
std::string Printable(const char* text) {
  std::string out;
  size_t n = 0;
  for (const char* p = text; *p; ++p, ++n) {
    if (n == 64) return out + "...";
    const unsigned char c = static_cast<unsigned char>(*p);
    if (c >= 0x20 && c < 0x7F) {
      out += *p;
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
      out += escaped;
    }
  }
  return out;
}

}  // namespace

const char* SimdPathName(SimdPath path) {
  return kNames[static_cast<int>(path)];
}

bool ParseSimdPath(const std::string& name, SimdPath* path) {
  for (int i = 0; i < kSimdPathCount; ++i) {
    if (name == kNames[i]) {
      *path = static_cast<SimdPath>(i);
      return true;
    }
  }
  return false;
}

// __builtin_cpu_supports also checks that the operating system saves the wide registers.
bool CpuSupports(SimdPath path) {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_cpu_init();  // safe however early the first call comes
  switch (path) {
    case SimdPath::kSse2:
      return true;
    case SimdPath::kAvx2:
      return __builtin_cpu_supports("avx2");
    case SimdPath::kAvx512:
      return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl") &&
             __builtin_cpu_supports("avx512dq");
  }
  return false;
#else
  return path == SimdPath::kSse2;
#endif
}

SimdPath BestSimdPath() {
  for (int i = kSimdPathCount - 1; i > 0; --i) {
    if (CpuSupports(static_cast<SimdPath>(i))) return static_cast<SimdPath>(i);
  }
  return SimdPath::kSse2;
}

SimdChoice ChooseSimdPath(const char* request) {
  SimdChoice choice;
  choice.path = BestSimdPath();
  if (!request || !*request) return choice;
  SimdPath asked;
  if (!ParseSimdPath(request, &asked)) {
    choice.refused = true;
    choice.message =
        "VANTROSE_SIMD=" + Printable(request) + " is not a known path (sse2, avx2 or avx512)";
  } else if (!CpuSupports(asked)) {
    choice.refused = true;
    choice.message =
        std::string("VANTROSE_SIMD=") + request + ": this processor lacks " + SimdPathName(asked);
  } else {
    choice.path = asked;
  }
  return choice;
}

const SimdChoice& ActiveSimdChoice() {
  static const SimdChoice sChoice = [] {
    SimdChoice c = ChooseSimdPath(std::getenv("VANTROSE_SIMD"));
    if (c.refused) {
      std::fprintf(stderr, "Vantrose: %s; rendering on %s instead\n", c.message.c_str(),
                   SimdPathName(c.path));
    }
    return c;
  }();
  return sChoice;
}
