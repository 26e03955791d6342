#include "RenderScript.h"

#include <cmath>
#include <cstring>

std::vector<std::vector<float>> TestSignal(int nChannels, int nFrames) {
  std::vector<std::vector<float>> out(nChannels, std::vector<float>(nFrames));
  unsigned noise = 12345u;
  for (int c = 0; c < nChannels; ++c) {
    for (int s = 0; s < nFrames; ++s) {
      noise = noise * 1664525u + 1013904223u;
      double n = static_cast<double>(noise >> 8) / 16777216.0 - 0.5;
      out[c][s] = static_cast<float>(0.4 * std::sin(0.031 * s * (c + 1)) +
                                     0.3 * std::sin(0.47 * s + c) + 0.2 * n);
    }
  }
  return out;
}

AUReference::AUReference(int nChannels, double rate, int blockSize) : mNChannels(nChannels) {
  if (!mUnit.Get()) return;
  if (mUnit.SetFormat(kAudioUnitScope_Output, nChannels, rate) != noErr ||
      mUnit.SetFormat(kAudioUnitScope_Input, nChannels, rate) != noErr ||
      mUnit.SetUInt32(kAudioUnitProperty_MaximumFramesPerSlice, blockSize) != noErr ||
      mUnit.ConnectInput() != noErr) {
    return;
  }
  mOk = AudioUnitInitialize(mUnit.Get()) == noErr;
}

void AUReference::SetParam(int idx, float value) {
  AudioUnitSetParameter(mUnit.Get(), static_cast<AudioUnitParameterID>(idx), kAudioUnitScope_Global,
                        0, value, 0);
}

void AUReference::Render(const std::vector<std::vector<float>>& in, int offset, int nFrames,
                         std::vector<std::vector<float>>& out) {
  mUnit.input.assign(mNChannels, std::vector<float>());
  for (int c = 0; c < mNChannels; ++c)
    mUnit.input[c].assign(in[c].begin() + offset, in[c].begin() + offset + nFrames);
  out.assign(mNChannels, std::vector<float>());
  if (mUnit.Render(out, static_cast<UInt32>(nFrames), mSampleTime) != noErr) out.clear();
  mSampleTime += nFrames;
}

namespace {

template <class Apply, class Block>
std::vector<std::vector<float>> RunScript(const std::vector<std::vector<float>>& in, int blockSize,
                                          const std::vector<ControlChange>& script, Apply apply,
                                          Block block) {
  const int nChannels = static_cast<int>(in.size());
  const int nFrames = static_cast<int>(in[0].size());
  std::vector<std::vector<float>> result(nChannels), out;
  for (int b = 0, offset = 0; offset < nFrames; ++b, offset += blockSize) {
    for (const ControlChange& change : script) {
      if (change.frame / blockSize == b) apply(change);
    }
    int n = nFrames - offset < blockSize ? nFrames - offset : blockSize;
    block(offset, n, out);
    if (static_cast<int>(out.size()) != nChannels) return {};
    for (int c = 0; c < nChannels; ++c)
      result[c].insert(result[c].end(), out[c].begin(), out[c].begin() + n);
  }
  return result;
}

}  // namespace

std::vector<std::vector<float>> RunLV2(LV2Instance& fx, const std::vector<std::vector<float>>& in,
                                       int blockSize, const std::vector<ControlChange>& script) {
  std::vector<std::vector<float>> piece(in.size());
  return RunScript(
      in, blockSize, script, [&](const ControlChange& c) { fx.controls[c.param] = c.value; },
      [&](int offset, int n, std::vector<std::vector<float>>& out) {
        for (size_t c = 0; c < in.size(); ++c)
          piece[c].assign(in[c].begin() + offset, in[c].begin() + offset + n);
        fx.Run(piece, out, n);
      });
}

std::vector<std::vector<float>> RunAU(AUReference& fx, const std::vector<std::vector<float>>& in,
                                      int blockSize, const std::vector<ControlChange>& script) {
  return RunScript(
      in, blockSize, script, [&](const ControlChange& c) { fx.SetParam(c.param, c.value); },
      [&](int offset, int n, std::vector<std::vector<float>>& out) {
        fx.Render(in, offset, n, out);
      });
}

long FirstDifference(const std::vector<float>& a, const std::vector<float>& b) {
  if (a.size() != b.size()) return 0;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::memcmp(&a[i], &b[i], sizeof(float)) != 0) return static_cast<long>(i);
  }
  return -1;
}
