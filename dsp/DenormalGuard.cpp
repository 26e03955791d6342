#include "DenormalGuard.h"

#if defined(__SSE2__)
#include <xmmintrin.h>
// MXCSR: flush-to-zero (bit 15) and denormals-are-zero (bit 6).
constexpr unsigned kFlushBits = 0x8040;
DenormalGuard::DenormalGuard() : mSaved(_mm_getcsr()) {
  _mm_setcsr(static_cast<unsigned>(mSaved) | kFlushBits);
}
DenormalGuard::~DenormalGuard() {
  _mm_setcsr(static_cast<unsigned>(mSaved));
}
#elif defined(__aarch64__)
// FPCR: flush-to-zero (bit 24) covers both results and operands.
DenormalGuard::DenormalGuard() {
  unsigned long long fpcr;
  __asm__ volatile("mrs %0, fpcr" : "=r"(fpcr));
  mSaved = fpcr;
  fpcr |= 1ull << 24;
  __asm__ volatile("msr fpcr, %0" : : "r"(fpcr));
}
DenormalGuard::~DenormalGuard() {
  __asm__ volatile("msr fpcr, %0" : : "r"(mSaved));
}
#else
DenormalGuard::DenormalGuard() {}
DenormalGuard::~DenormalGuard() {}
#endif
