#include "Vantrose.h"

#include <cmath>
#include <new>

#include "DenormalGuard.h"
#include "VantroseEditor.h"

namespace {

bool AllFinite(const double* x, int n) {
  for (int i = 0; i < n; ++i) {
    if (!std::isfinite(x[i])) return false;
  }
  return true;
}

}  // namespace

using namespace VantroseIdentity;

Vantrose::Vantrose(IPluginInstanceInfo instanceInfo)
    : IPluginAU(instanceInfo, kNumParams, kChannelIO, 1, kEffectName, kProductName, kMfrName,
                kVendorVersion, kUniqueID, kMfrID, 0, false, false, false, 0) {
  InitParameters();
  AttachGraphics(MakeVantroseEditor(this));
  MakeDefaultPreset("-", 1);
}

Vantrose::~Vantrose() = default;

// The switches first, then each knob followed at once by its shape.  Parameter
// 14 (the oversampling switch) is deliberately left uninitialised.
void Vantrose::InitParameters() {
  GetParam(kBell)->InitInt("Bell", 0, 0, 1, "", "");
  GetParam(kHPLP)->InitInt("HPLP", 0, 0, 1, "", "");
  GetParam(kBY)->InitInt("BY", 1, 0, 1, "", "");

  struct Knob {
    int idx;
    const char* name;
    double defaultVal, minVal, maxVal, shape;
  };
  static const Knob kKnobs[] = {
      {kLGain, "LGain", 0.5, 0.0, 1.0, 1.0},   {kLFreq, "LFreq", 0.725, 0.1, 0.983, 0.5},
      {kLMGain, "LMGain", 0.5, 0.0, 1.0, 1.0}, {kLMFreq, "LMFreq", 0.725, 0.1, 0.983, 0.5},
      {kHMGain, "HMGain", 0.5, 0.0, 1.0, 1.0}, {kHMFreq, "HMFreq", 0.725, 0.1, 0.983, 0.5},
      {kHGain, "HGain", 0.5, 0.0, 1.0, 1.0},   {kHFreq, "HFreq", 0.725, 0.1, 0.983, 0.5},
      {kLP, "LP", 1.0, 0.0, 1.0, 0.2},         {kHP, "HP", 0.0, 0.0, 1.0, 0.5},
      {kGain, "Gain", 0.0, -12.0, 12.0, 1.0},
  };
  for (const Knob& k : kKnobs) {
    IParam* param = GetParam(k.idx);
    param->InitDouble(k.name, k.defaultVal, k.minVal, k.maxVal, 0.01, "%", "", 1.0);
    param->SetShape(k.shape);
  }
}

void Vantrose::OnParamChange(int paramIdx) {
  RecursiveMutex::ScopedLock lock(mMutex);
  IParam* param = GetParam(paramIdx);
  if (!param) return;
  double value = param->GetValue();
  switch (paramIdx) {
    case kLGain:
      mLGain = value;
      break;
    case kLFreq:
      mLFreq = value;
      break;
    case kLMGain:
      mLMGain = value;
      break;
    case kLMFreq:
      mLMFreq = value;
      break;
    case kHMGain:
      mHMGain = value;
      break;
    case kHMFreq:
      mHMFreq = value;
      break;
    case kHGain:
      mHGain = value;
      break;
    case kHFreq:
      mHFreq = value;
      break;
    case kHP:
      mHP = value;
      break;
    case kLP:
      mLP = value;
      break;
    case kGain:
      mGain = std::pow(10.0, value / 20.0);
      break;
    case kOver:
      mSatFactor = param->GetInt() != 0 ? 16 : 4;
      break;
    default:
      break;  // the switches are read from their parameters while rendering
  }
}

void Vantrose::Reset() {
  RecursiveMutex::ScopedLock lock(mMutex);
  mChain.ClearSaturation();
}

#ifdef VANTROSE_LV2
void Vantrose::OnActivate(bool active) {
  RecursiveMutex::ScopedLock lock(mMutex);
  if (active) mChain = VantroseChain();
}
#endif

ChainControls Vantrose::Controls() const {
  ChainControls c;
  c.fs = GetSampleRate();
  c.lGain = mLGain;
  c.lFreq = mLFreq;
  c.lmGain = mLMGain;
  c.lmFreq = mLMFreq;
  c.hmGain = mHMGain;
  c.hmFreq = mHMFreq;
  c.hGain = mHGain;
  c.hFreq = mHFreq;
  c.hp = mHP;
  c.lp = mLP;
  c.gain = mGain;
  c.satFactor = mSatFactor;
  // The switches are read as their values truncated toward zero.
  c.bell = GetParam(kBell)->GetInt();
  c.hplp = GetParam(kHPLP)->GetInt();
  c.by = GetParam(kBY)->GetInt();
  return c;
}

// Audio thread: called by the framework with the plug-in lock held; allocates nothing.
void Vantrose::ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) {
  const ChainControls c = Controls();
  mChain.BeginBlock(c);
  if (nFrames <= 0) return;
  // Decaying filter tails must not crawl through subnormal arithmetic.
  DenormalGuard noSubnormals;
  // An overflow in an earlier block costs that block, not the rest of the session.
  mChain.ClearNonFiniteState();
  if (AllFinite(inputs[0], nFrames) && AllFinite(inputs[1], nFrames)) {
    mChain.Render(c, inputs, outputs, nFrames);
  } else {
    RenderWithoutNonFinite(c, inputs, outputs, nFrames);
  }
}

// An infinite or NaN input sample would stay in the band filters' state for good and
// silence the instance until it is reloaded, so such samples enter the chain as 0.
// Finite samples run exactly as in the normal path; in bypass the host still gets
// its own input back untouched.  Audio thread: stack buffers only.
void Vantrose::RenderWithoutNonFinite(const ChainControls& c, double** inputs, double** outputs,
                                      int nFrames) {
  constexpr int kRun = 64;
  double safe[2][kRun], rendered[2][kRun];
  double* safeIn[2] = {safe[0], safe[1]};
  double* renderedOut[2] = {rendered[0], rendered[1]};
  const bool passInput = c.by != 1;
  for (int pos = 0; pos < nFrames; pos += kRun) {
    const int n = nFrames - pos < kRun ? nFrames - pos : kRun;
    for (int ch = 0; ch < 2; ++ch) {
      for (int i = 0; i < n; ++i) {
        const double x = inputs[ch][pos + i];
        safe[ch][i] = std::isfinite(x) ? x : 0.0;
      }
    }
    mChain.Render(c, safeIn, renderedOut, n);
    for (int ch = 0; ch < 2; ++ch) {
      for (int i = 0; i < n; ++i) {
        outputs[ch][pos + i] = passInput ? inputs[ch][pos + i] : rendered[ch][i];
      }
    }
  }
}

double Vantrose::BandValue(int paramIdx) const {
  const double copies[] = {mLGain,  mLFreq, mLMGain, mLMFreq, mHMGain,
                           mHMFreq, mHGain, mHFreq,  mHP,     mLP};
  return paramIdx >= 0 && paramIdx <= kLP ? copies[paramIdx] : 0.0;
}

IPluginAU* MakePlug(void* memory) {
  static RecursiveMutex sMakePlugMutex;
  RecursiveMutex::ScopedLock lock(sMakePlugMutex);
  IPluginInstanceInfo info;
  info.mBundleID = kBundleID;
  info.mCocoaViewFactoryClassName = kViewFactoryClass;
  if (memory) return new (memory) Vantrose(info);
  return new Vantrose(info);
}

// ---- Oversampler ----

void StOversampler4x::up4(double v) {
  for (int k = 0; k <= 26; ++k)
    h[k] = h[k + 4];
  x7 = x6;
  x6 = x5;
  x5 = x4;
  x4 = x3;
  x3 = x2;
  x2 = x1;
  x1 = x0;
  x0 = 4.0 * v;
  h[27] =
      ((((((x1 * k11 + x0 * k15) + x2 * k7) + x3 * k3) + x4 * k1) + x5 * k5) + x6 * k9) + x7 * k13;
  h[28] = (x3 + x4) * k2 + ((x2 + x5) * k6 + ((x1 + x6) * k10 + (x7 + x0) * k14));
  h[29] =
      ((((((x1 * k9 + x0 * k13) + x2 * k5) + x3 * k1) + x4 * k3) + x5 * k7) + x6 * k11) + x7 * k15;
  h[30] = x3 * k0;
}

double StOversampler4x::decimate() const {
  double s = (h[29] + h[1]) * k14;
  s += (h[30] + h[0]) * k15;
  s += (h[28] + h[2]) * k13;
  s += (h[26] + h[4]) * k11;
  s += (h[25] + h[5]) * k10;
  s += (h[24] + h[6]) * k9;
  s += (h[22] + h[8]) * k7;
  s += (h[21] + h[9]) * k6;
  s += (h[20] + h[10]) * k5;
  s += (h[18] + h[12]) * k3;
  s += (h[17] + h[13]) * k2;
  s += (h[16] + h[14]) * k1;
  s += h[15] * k0;
  return s;
}
