// Choosing the render's vector path: names, the VANTROSE_SIMD request and its refusal.
#include <gtest/gtest.h>

#include "SimdDispatch.h"

namespace {

TEST(SimdDispatch, NamesReadBackAndOthersAreRejected) {
  for (int p = 0; p < kSimdPathCount; ++p) {
    SimdPath read = SimdPath::kSse2;
    ASSERT_TRUE(ParseSimdPath(SimdPathName(static_cast<SimdPath>(p)), &read));
    EXPECT_EQ(read, static_cast<SimdPath>(p));
  }
  SimdPath untouched = SimdPath::kAvx2;
  for (const char* bad : {"", "SSE2", "avx", "avx512f", " avx2", "avx2 "})
    EXPECT_FALSE(ParseSimdPath(bad, &untouched)) << bad;
  EXPECT_EQ(untouched, SimdPath::kAvx2);
}

TEST(SimdDispatch, BestPathIsTheWidestTheProcessorRuns) {
  const SimdPath best = BestSimdPath();
  EXPECT_TRUE(CpuSupports(SimdPath::kSse2));
  EXPECT_TRUE(CpuSupports(best));
  for (int p = static_cast<int>(best) + 1; p < kSimdPathCount; ++p)
    EXPECT_FALSE(CpuSupports(static_cast<SimdPath>(p)));
}

// No request takes the best path; a request is honoured exactly when the processor has
// the path, and otherwise refused with a message naming the request.
TEST(SimdDispatch, RequestsAreHonouredOrRefusedWithAReason) {
  for (const char* none : {static_cast<const char*>(nullptr), ""}) {
    const SimdChoice c = ChooseSimdPath(none);
    EXPECT_FALSE(c.refused);
    EXPECT_EQ(c.path, BestSimdPath());
  }
  for (int p = 0; p < kSimdPathCount; ++p) {
    const SimdPath path = static_cast<SimdPath>(p);
    const SimdChoice c = ChooseSimdPath(SimdPathName(path));
    EXPECT_EQ(c.refused, !CpuSupports(path)) << SimdPathName(path);
    EXPECT_EQ(c.path, c.refused ? BestSimdPath() : path);
    if (c.refused) {
      EXPECT_NE(c.message.find("lacks"), std::string::npos) << c.message;
    }
  }
  const SimdChoice unknown = ChooseSimdPath("neon");
  EXPECT_TRUE(unknown.refused);
  EXPECT_EQ(unknown.path, BestSimdPath());
  EXPECT_NE(unknown.message.find("VANTROSE_SIMD=neon"), std::string::npos) << unknown.message;
  // A request with terminal escapes comes back escaped, and a long one cut.
  const SimdChoice hostile = ChooseSimdPath("\x1b]0;x\x07\xff");
  EXPECT_NE(hostile.message.find("VANTROSE_SIMD=\\x1B]0;x\\x07\\xFF "), std::string::npos)
      << hostile.message;
  EXPECT_EQ(ChooseSimdPath(std::string(1000, 'a').c_str()).message.find(std::string(65, 'a')),
            std::string::npos);
}

}  // namespace
