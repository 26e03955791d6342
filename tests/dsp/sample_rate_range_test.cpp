// Every rate the wrappers accept gives finite output that dies away after the input
// stops, at the settings that push the coefficient polynomials hardest.
#include <gtest/gtest.h>

#include <cmath>

#include "EffectTestUtil.h"
#include "SampleRateRange.h"

namespace {

using namespace chaintest;

TEST(SampleRateRange, FiniteAndDecayingAtTheEdgesForExtremeSettings) {
  for (double fs : {kMinSampleRate, 11025.0, kMaxSampleRate}) {
    for (bool top : {false, true}) {
      auto fx = MakeEffect(fs, 512);
      for (int i = 0; i < fx->NParams(); ++i) {
        if (i == Vantrose::kBY) continue;
        const IParam* p = fx->GetParam(i);
        SetEffectParam(*fx, i, top ? p->GetMax() : p->GetMin());
      }
      SetEffectParam(*fx, Vantrose::kHPLP, 1.0);
      // A tenth of a second of full-scale noise, then half a second of silence.
      const size_t n = static_cast<size_t>(fs / 10);
      Stereo in = Noise(6 * n, 1.0, 7);
      for (size_t i = n; i < 6 * n; ++i)
        in.ch[0][i] = in.ch[1][i] = 0.0;
      const Stereo out = RunEffect(*fx, in, 512);
      double tail = 0.0;
      for (int ch = 0; ch < 2; ++ch) {
        for (size_t i = 0; i < out.size(); ++i) {
          ASSERT_TRUE(std::isfinite(out.ch[ch][i])) << fs << " Hz, sample " << i;
          if (i >= 6 * n - 1024) tail = std::max(tail, std::fabs(out.ch[ch][i]));
        }
      }
      EXPECT_LT(tail, 1e-3) << fs << " Hz, " << (top ? "maximum" : "minimum") << " settings";
    }
  }
  EXPECT_FALSE(IsSupportedSampleRate(std::nan("")));
  EXPECT_FALSE(IsSupportedSampleRate(kMaxSampleRate * 1.0000001));
}

}  // namespace
