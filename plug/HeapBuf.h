#pragma once

// A raw growable heap block.  Growth over-allocates so that repeated appends
// reallocate rarely; large blocks are sized so that the allocator's own header
// (assumed at most 96 bytes) and the block together fill whole 4096-byte pages.
class HeapBuf {
 public:
  explicit HeapBuf(int granularity = 4096) : mGranularity(granularity > 0 ? granularity : 1) {}
  ~HeapBuf();

  HeapBuf(const HeapBuf&) = delete;
  HeapBuf& operator=(const HeapBuf&) = delete;

  void* Get() const { return mBuf; }
  int GetSize() const { return mSize; }
  int GetAllocSize() const { return mAlloc; }
  int GetGranularity() const { return mGranularity; }

  // Sets the size to newSize bytes and returns the block.  Contents up to the
  // smaller of the two sizes are kept.  Size 0 frees the block.  A failed
  // allocation (or a size beyond what an int can hold) leaves the old contents
  // and size unchanged, so callers that grow check GetSize() afterwards.
  void* Resize(int newSize, bool allowShrink = true);

  // The allocation that growing to newSize asks for with this granularity.
  static long long GrowAllocSize(int newSize, int granularity);

 private:
  bool Reallocate(long long allocSize, int newSize);

  void* mBuf = nullptr;
  int mSize = 0;
  int mAlloc = 0;
  int mGranularity;
};
