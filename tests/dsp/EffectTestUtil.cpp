#include "EffectTestUtil.h"

#include <algorithm>

namespace chaintest {

std::unique_ptr<Vantrose> MakeEffect(double fs, int blockSize) {
  std::unique_ptr<Vantrose> fx(static_cast<Vantrose*>(MakePlug(nullptr)));
  fx->SetSampleRate(fs);
  fx->SetBlockSize(blockSize);
  fx->SetInputChannelConnections(0, 2, true);
  fx->SetOutputChannelConnections(0, 2, true);
  for (int i = 0; i < fx->NParams(); ++i)
    fx->OnParamChange(i);
  return fx;
}

void SetEffectParam(Vantrose& fx, int idx, double value) {
  fx.GetParam(idx)->SetValue(value);
  fx.OnParamChange(idx);
}

Stereo RunEffect(Vantrose& fx, const Stereo& in, int blockSize) {
  Stereo out(in.size());
  for (size_t pos = 0; pos < in.size(); pos += blockSize) {
    const int n = static_cast<int>(std::min<size_t>(blockSize, in.size() - pos));
    double* ins[2] = {const_cast<double*>(in.ch[0].data()) + pos,
                      const_cast<double*>(in.ch[1].data()) + pos};
    double* outs[2] = {out.ch[0].data() + pos, out.ch[1].data() + pos};
    fx.ProcessDoubleReplacing(ins, outs, n);
  }
  return out;
}

}  // namespace chaintest
