#include "Vantrose.h"

#include <cmath>
#include <new>

#include "DenormalGuard.h"
#include "IEditor.h"
#include "VantroseControls.h"
#include "VantroseEditorFactory.h"
#include "VantroseLatency.h"

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
    : IPluginWrapper(instanceInfo, kNumParams, kChannelIO, 1, kEffectName, kProductName, kMfrName,
                     kVendorVersion, kUniqueID, kMfrID, 0, false, false, false, 0) {
  InitVantroseParams(this);
  ActiveSimdChoice();  // chosen now, so the audio thread never makes the choice
  AttachGraphics(MakeVantroseEditor(this));
  MakeDefaultPreset("-", 1);
}

Vantrose::~Vantrose() = default;

void Vantrose::OnParamChange(int paramIdx) {
  EffectLock lock(mMutex);
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
  EffectLock lock(mMutex);
  mChain.ClearSaturation();
}

void Vantrose::OnActivate(bool active) {
  EffectLock lock(mMutex);
  if (active && kActivationRestartsEffect) mChain = VantroseChain();
  // Measured once, where the wrapper reports it: a few milliseconds of work.
  if (active && kWrapperReportsLatency && !mLatencyMeasured) {
    SetLatency(ChainLatency(ChainControlsOf(*this, GetSampleRate(), ParamSource::kDefaults)));
    mLatencyMeasured = true;
  }
}

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

// Audio thread: called by the framework with the plug-in lock held (or none, where the
// wrapper takes none); allocates nothing.
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

IPluginBase* MakePlug(void* memory) {
  static RecursiveMutex sMakePlugMutex;
  RecursiveMutex::ScopedLock lock(sMakePlugMutex);
  IPluginInstanceInfo info;
  info.mBundleID = kBundleID;
  info.mCocoaViewFactoryClassName = kViewFactoryClass;
  if (memory) return new (memory) Vantrose(info);
  return new Vantrose(info);
}
