// The render path allocates nothing: a counting global allocator around render calls.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "EffectTestUtil.h"

// GCC sees the free inside the replaced operator delete and flags the pairing.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

namespace {
std::atomic<long> gAllocations{0};
}

void* operator new(std::size_t size) {
  ++gAllocations;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
  return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  ++gAllocations;
  return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
  return operator new(size, tag);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
  std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
  std::free(p);
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete[](void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
  std::free(p);
}

namespace {

using namespace chaintest;

TEST(RenderPath, AllocatesNothing) {
  const long probe = gAllocations.load();
  delete new std::vector<int>(3);
  ASSERT_EQ(gAllocations.load() - probe, 2) << "the counting allocator is in place";
  const int block = 256;
  for (int over : {0, 1}) {
    auto fx = MakeEffect(96000.0, block);
    SetEffectParam(*fx, Vantrose::kOver, over);
    SetEffectParam(*fx, Vantrose::kHPLP, 1);
    std::vector<float> in(2 * block, 0.25f), out(2 * block);
    float* ins[2] = {in.data(), in.data() + block};
    float* outs[2] = {out.data(), out.data() + block};
    const long before = gAllocations.load();
    for (int i = 0; i < 8; ++i) {
      RecursiveMutex::ScopedLock lock(fx->Mutex());
      fx->AttachInputBuffers(0, 2, ins, block);
      fx->AttachOutputBuffers(0, 2, outs);
      fx->ProcessBuffers(0.0f, block);
    }
    EXPECT_EQ(gAllocations.load() - before, 0) << "factor " << (over ? 16 : 4);
  }
}

}  // namespace
