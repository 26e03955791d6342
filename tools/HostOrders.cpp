#include "HostOrders.h"

#include <cstdio>
#include <random>

#include "AUHost.h"

namespace {

constexpr double kRate = 48000.0;
constexpr UInt32 kFrames = 512;
constexpr int kBlocks = 8;

// Per block, per channel: what the unit wrote; empty where the call had no buffer.
typedef std::vector<std::vector<float>> Takes;

OSStatus RenderSilence(AUHost& host, UInt32 nCh, UInt32 nFrames) {
  std::vector<std::vector<float>> in(nCh, std::vector<float>(nFrames)), out = in;
  std::vector<const float*> inPtrs;
  std::vector<float*> outPtrs;
  for (UInt32 c = 0; c < nCh; ++c) {
    inPtrs.push_back(in[c].data());
    outPtrs.push_back(out[c].data());
  }
  return host.Render(inPtrs.data(), outPtrs.data(), nCh, nFrames);
}

// kBlocks blocks of noise; block narrowBlock gets one output buffer fewer.
OSStatus RenderNoise(AUHost& host, UInt32 nCh, unsigned seed, int narrowBlock, Takes* takes) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<float> noise(-1.0f, 1.0f);
  std::vector<std::vector<float>> in(nCh, std::vector<float>(kFrames));
  for (int b = 0; b < kBlocks; ++b) {
    std::vector<const float*> inPtrs;
    std::vector<float*> outPtrs;
    std::vector<std::vector<float>> out(nCh, std::vector<float>(kFrames));
    for (UInt32 c = 0; c < nCh; ++c) {
      for (float& x : in[c])
        x = noise(rng);
      inPtrs.push_back(in[c].data());
      outPtrs.push_back(out[c].data());
    }
    UInt32 nBuffers = b == narrowBlock ? nCh - 1 : nCh;
    OSStatus status = host.Render(inPtrs.data(), outPtrs.data(), nBuffers, kFrames);
    if (status != noErr) return status;
    for (UInt32 c = 0; c < nCh; ++c)
      takes->push_back(c < nBuffers ? out[c] : std::vector<float>());
  }
  return noErr;
}

OSStatus Plain(AUHost& host, UInt32 nCh, UInt32 maxFrames) {
  OSStatus status = host.Configure(kRate, nCh, maxFrames);
  return status == noErr ? host.Initialize() : status;
}

OSStatus SetFormats(AUHost& host, UInt32 nCh) {
  OSStatus status = host.SetFormat(kAudioUnitScope_Output, nCh, kRate);
  return status == noErr ? host.SetFormat(kAudioUnitScope_Input, nCh, kRate) : status;
}

struct Order {
  const char* what;
  // Brings a freshly opened unit to rendering; prelude is the silence it rendered on
  // the way, which the plain unit renders too.
  OSStatus (*setup)(AUHost& host, UInt32 nCh);
  UInt32 prelude;
  int narrowBlock;
};

const Order kOrders[] = {
    {"maximum frames raised after connecting",
     [](AUHost& h, UInt32 nCh) {
       OSStatus status = h.Configure(kRate, nCh, kFrames);
       if (status == noErr) status = h.SetUInt32(kAudioUnitProperty_MaximumFramesPerSlice, 4096);
       return status == noErr ? h.Initialize() : status;
     },
     0, -1},
    {"rendered at 1024, re-initialised with a maximum of 8192",
     [](AUHost& h, UInt32 nCh) {
       OSStatus status = Plain(h, nCh, 1024);
       if (status == noErr) status = RenderSilence(h, nCh, 1024);
       if (status == noErr) status = AudioUnitUninitialize(h.Get());
       if (status == noErr) status = h.SetUInt32(kAudioUnitProperty_MaximumFramesPerSlice, 8192);
       return status == noErr ? h.Initialize() : status;
     },
     1024, -1},
    {"rendered in the other format, re-initialised in this one",
     [](AUHost& h, UInt32 nCh) {
       OSStatus status = Plain(h, 3 - nCh, 1024);
       if (status == noErr) status = RenderSilence(h, 3 - nCh, 1024);
       if (status == noErr) status = AudioUnitUninitialize(h.Get());
       if (status == noErr) status = SetFormats(h, nCh);
       return status == noErr ? h.Initialize() : status;
     },
     1024, -1},
    {"render with nothing connected refused untouched, then connected",
     [](AUHost& h, UInt32 nCh) {
       OSStatus status = h.Initialize();
       std::vector<float> out[2] = {std::vector<float>(kFrames, 0.5f),
                                    std::vector<float>(kFrames, 0.5f)};
       float* outPtrs[2] = {out[0].data(), out[1].data()};
       if (status == noErr) status = h.Render(nullptr, outPtrs, 2, kFrames);
       bool untouched = out[0] == std::vector<float>(kFrames, 0.5f) && out[1] == out[0];
       if (status != kAudioUnitErr_NoConnection || !untouched)
         return status == noErr ? OSStatus(-1) : status;
       status = AudioUnitUninitialize(h.Get());
       return status == noErr ? Plain(h, nCh, kFrames) : status;
     },
     0, -1},
    {"a narrower buffer list, then the full one",
     [](AUHost& h, UInt32 nCh) { return Plain(h, nCh, kFrames); }, 0, 1},
};

}  // namespace

std::vector<HostOrderCheck> CheckHostOrders(AudioComponent component, unsigned seed) {
  std::vector<HostOrderCheck> checks;
  for (UInt32 nCh : {1u, 2u}) {
    for (const Order& order : kOrders) {
      AUHost plain(component), host(component);
      Takes expected, got;
      OSStatus status = Plain(plain, nCh, order.prelude > kFrames ? order.prelude : kFrames);
      if (status == noErr && order.prelude > 0) status = RenderSilence(plain, nCh, order.prelude);
      if (status == noErr) status = RenderNoise(plain, nCh, seed, -1, &expected);
      OSStatus orderStatus = order.setup(host, nCh);
      if (orderStatus == noErr) orderStatus = RenderNoise(host, nCh, seed, order.narrowBlock, &got);
      size_t compared = 0, differing = 0;
      for (size_t k = 0; k < got.size() && k < expected.size(); ++k) {
        if (got[k].empty()) continue;
        compared += got[k].size();
        differing += got[k] != expected[k];
      }
      bool ok = status == noErr && orderStatus == noErr && got.size() == expected.size() &&
                compared > 0 && differing == 0;
      char what[128], figures[160];
      std::snprintf(what, sizeof what, "%s: %s", nCh == 1 ? "mono" : "stereo", order.what);
      std::snprintf(figures, sizeof figures,
                    "status %d, %d blocks, %zu samples compared, bit-identical: %s",
                    static_cast<int>(orderStatus), kBlocks, compared, ok ? "yes" : "no");
      checks.push_back({what, ok, figures});
    }
  }
  return checks;
}
