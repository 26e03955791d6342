#pragma once

// Sets the processor to flush subnormal results to zero and to read subnormal operands
// as zero for its lifetime, and restores the previous mode afterwards.  A decaying
// filter tail would otherwise crawl through subnormal numbers at many times the cost
// of normal arithmetic.  Signals that produce no subnormal values are unaffected.
class DenormalGuard {
 public:
  DenormalGuard();
  ~DenormalGuard();
  DenormalGuard(const DenormalGuard&) = delete;
  DenormalGuard& operator=(const DenormalGuard&) = delete;

 private:
  unsigned long long mSaved = 0;
};
