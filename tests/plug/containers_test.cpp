#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <thread>

#include "HeapBuf.h"
#include "PtrList.h"
#include "RecursiveMutex.h"
#include "StrBuf.h"
#include "TypedBuf.h"

namespace {

// Allocation sizes over a growth sequence with the default 4096-byte granularity:
// every allocation plus 96 fills whole pages, and the extra part is at least a page.
TEST(HeapBuf, GrowthFollowsPageRounding) {
  struct Step {
    int size;
    int alloc;
  };
  const Step steps[] = {
      {1, 8096},            // 1 + 4096 extra, rounded so that alloc + 96 = 8192
      {8096, 8096},         // fits: no reallocation
      {8097, 16288},        // 8097 + 4096 = 12193; 12193 + 96 needs a fourth page
      {100000, 151456},     // extra 50000 -> 49152 (12 pages); 149152 + 96 -> 151552
      {20000000, 24194976}  // extra capped at 4 MiB
  };
  HeapBuf buf;
  for (const Step& s : steps) {
    SCOPED_TRACE(s.size);
    ASSERT_NE(buf.Resize(s.size, false), nullptr);
    EXPECT_EQ(buf.GetSize(), s.size);
    EXPECT_EQ(buf.GetAllocSize(), s.alloc);
    EXPECT_EQ((buf.GetAllocSize() + 96) % 4096, 0);
  }
}

TEST(HeapBuf, SmallGranularityAddsHalfOrOneGranule) {
  EXPECT_EQ(HeapBuf::GrowAllocSize(10, 128), 138);
  EXPECT_EQ(HeapBuf::GrowAllocSize(1000, 128), 1500);
}

TEST(HeapBuf, ShrinksOnlyWellBelowTheAllocation) {
  HeapBuf buf;
  buf.Resize(100000);
  int alloc = buf.GetAllocSize();  // 151456
  buf.Resize(80000);               // above min(alloc / 2, alloc - 4 granules): kept
  EXPECT_EQ(buf.GetAllocSize(), alloc);
  buf.Resize(50000, false);  // shrinking not allowed
  EXPECT_EQ(buf.GetAllocSize(), alloc);
  std::memset(buf.Get(), 0x5a, 50000);
  buf.Resize(1000);  // well below: reallocates smaller, keeping the contents
  EXPECT_LT(buf.GetAllocSize(), alloc);
  EXPECT_EQ(buf.GetSize(), 1000);
  EXPECT_EQ(static_cast<unsigned char*>(buf.Get())[999], 0x5a);
}

TEST(HeapBuf, SizeZeroFreesTheBlock) {
  HeapBuf buf;
  buf.Resize(10);
  EXPECT_EQ(buf.Resize(0), nullptr);
  EXPECT_EQ(buf.Get(), nullptr);
  EXPECT_EQ(buf.GetSize(), 0);
  EXPECT_EQ(buf.GetAllocSize(), 0);
}

TEST(TypedBuf, ImpossibleSizeLeavesContentsAndSize) {
  TypedBuf<double> buf;
  buf.Resize(3);
  buf.Get()[2] = 7.5;
  EXPECT_EQ(buf.Resize(INT_MAX), nullptr);  // would overflow the byte count
  EXPECT_EQ(buf.GetSize(), 3);
  EXPECT_EQ(buf.Get()[2], 7.5);
}

TEST(TypedBuf, AddAppendsInOrder) {
  TypedBuf<int> buf(16);
  for (int i = 0; i < 1000; ++i)
    ASSERT_TRUE(buf.Add(i * 3));
  ASSERT_EQ(buf.GetSize(), 1000);
  for (int i = 0; i < 1000; ++i)
    ASSERT_EQ(buf.Get()[i], i * 3);
}

struct Counted {
  explicit Counted(int* deaths) : mDeaths(deaths) {}
  ~Counted() { ++*mDeaths; }
  int* mDeaths;
};

TEST(PtrList, OutOfRangeGetIsNullAndInsertClamps) {
  PtrList<int> list;
  int a = 1, b = 2, c = 3, d = 4;
  EXPECT_EQ(list.Get(0), nullptr);
  list.Add(&a);
  list.Insert(-5, &b);  // clamped to the front
  list.Insert(99, &c);  // clamped to the end
  list.Insert(1, &d);
  ASSERT_EQ(list.GetSize(), 4);
  EXPECT_EQ(list.Get(0), &b);
  EXPECT_EQ(list.Get(1), &d);
  EXPECT_EQ(list.Get(2), &a);
  EXPECT_EQ(list.Get(3), &c);
  EXPECT_EQ(list.Get(4), nullptr);
  EXPECT_EQ(list.Get(-1), nullptr);
  EXPECT_EQ(list.Find(&a), 2);
  list.Delete(7);  // ignored
  list.Delete(1);
  EXPECT_EQ(list.Get(1), &a);
}

TEST(PtrList, DeletesObjectsOnlyWhenAsked) {
  int deaths = 0;
  PtrList<Counted> list;
  Counted keep(&deaths);
  list.Add(&keep);
  list.Delete(0, false);
  EXPECT_EQ(deaths, 0);
  for (int i = 0; i < 5; ++i)
    list.Add(new Counted(&deaths));
  list.Delete(0, true);
  EXPECT_EQ(deaths, 1);
  list.Empty(true);
  EXPECT_EQ(deaths, 5);
  EXPECT_EQ(list.GetSize(), 0);
}

TEST(StrBuf, UnsetReadsEmptyAndSetCopies) {
  StrBuf s;
  EXPECT_STREQ(s.Get(), "");
  EXPECT_EQ(s.GetLength(), 0);
  s.Set("output");
  s.Append(" 2");
  EXPECT_STREQ(s.Get(), "output 2");
  s.Set(nullptr);
  EXPECT_STREQ(s.Get(), "");
  s.Set("abcdef", 3);
  EXPECT_STREQ(s.Get(), "abc");
}

TEST(RecursiveMutex, SameThreadReentersOtherThreadWaits) {
  RecursiveMutex m;
  RecursiveMutex::ScopedLock outer(m);
  {
    RecursiveMutex::ScopedLock inner(m);  // would deadlock if not recursive
  }
  bool otherGotIt = true;
  std::thread other([&] { otherGotIt = m.TryEnter(); });
  other.join();
  EXPECT_FALSE(otherGotIt);
}

}  // namespace
