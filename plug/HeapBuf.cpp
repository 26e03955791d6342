#include "HeapBuf.h"

#include <climits>
#include <cstdlib>

namespace {
const long long kPage = 4096;
const long long kAllocatorOverhead = 96;
const long long kMaxExtra = 4LL * 1024 * 1024;
}  // namespace

HeapBuf::~HeapBuf() {
  std::free(mBuf);
}

long long HeapBuf::GrowAllocSize(int newSize, int granularity) {
  long long extra = newSize / 2;
  if (extra < granularity) extra = granularity;
  if (granularity < kPage) return newSize + extra;

  extra &= ~(kPage - 1);
  if (extra < kPage) extra = kPage;
  if (extra > kMaxExtra) extra = kMaxExtra;
  long long total = newSize + extra;
  // Round up so that the allocation plus the allocator's header fills whole pages.
  return ((total + kAllocatorOverhead + kPage - 1) / kPage) * kPage - kAllocatorOverhead;
}

bool HeapBuf::Reallocate(long long allocSize, int newSize) {
  if (allocSize > INT_MAX) allocSize = newSize;
  void* p = std::realloc(mBuf, static_cast<size_t>(allocSize));
  if (!p && allocSize > newSize) {
    allocSize = newSize;
    p = std::realloc(mBuf, static_cast<size_t>(allocSize));
  }
  if (!p) return false;
  mBuf = p;
  mAlloc = static_cast<int>(allocSize);
  return true;
}

void* HeapBuf::Resize(int newSize, bool allowShrink) {
  if (newSize < 0) return mBuf;
  if (newSize == 0) {
    std::free(mBuf);
    mBuf = nullptr;
    mSize = mAlloc = 0;
    return nullptr;
  }
  bool grow = newSize > mAlloc;
  long long shrinkBelow = mAlloc / 2;
  long long fourGranules = static_cast<long long>(mAlloc) - 4LL * mGranularity;
  if (fourGranules < shrinkBelow) shrinkBelow = fourGranules;
  bool shrink = allowShrink && newSize < shrinkBelow;

  if (grow && !Reallocate(GrowAllocSize(newSize, mGranularity), newSize)) return nullptr;
  // A failed shrink keeps the larger block, which still holds newSize bytes.
  if (shrink) Reallocate(GrowAllocSize(newSize, mGranularity), newSize);
  mSize = newSize;
  return mBuf;
}
