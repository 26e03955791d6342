#include "IPluginBase.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "Hosts.h"
#include "IEditor.h"

IPluginBase::IPluginBase(int nParams, const char* channelIOStr, int nPresets,
                         const char* effectName, const char* productName, const char* mfrName,
                         int vendorVersion, int uniqueID, int mfrID, int latency, bool plugDoesMidi,
                         bool plugDoesChunks, bool plugIsInst, EAPI plugAPI)
    : mUniqueID(uniqueID),
      mMfrID(mfrID),
      mVersion(vendorVersion),
      mAPI(plugAPI),
      mStateChunks(plugDoesChunks),
      mIsInst(plugIsInst),
      mDoesMIDI(plugDoesMidi),
      mLatency(latency) {
  for (int i = 0; i < nParams; ++i)
    mParams.Add(new IParam());
  for (int i = 0; i < nPresets; ++i)
    mPresets.Add(new IPreset());
  ParseChannelIO(channelIOStr);
  CopyBounded(mEffectName, effectName, MAX_EFFECT_NAME_LEN);
  CopyBounded(mProductName, productName, MAX_EFFECT_NAME_LEN);
  CopyBounded(mMfrName, mfrName, MAX_EFFECT_NAME_LEN);
}

// Reads "%d-%d" pairs separated by spaces, e.g. "1-1 2-2", and makes one channel
// record per channel up to the highest counts seen.
void IPluginBase::ParseChannelIO(const char* channelIOStr) {
  int nInputs = 0, nOutputs = 0;
  for (const char* s = channelIOStr; s; s = std::strchr(s, ' ')) {
    if (*s == ' ') ++s;
    int nIn = 0, nOut = 0;
    std::sscanf(s, "%d-%d", &nIn, &nOut);
    mChannelIO.Add(new ChannelIO{nIn, nOut});
    if (nIn > nInputs) nInputs = nIn;
    if (nOut > nOutputs) nOutputs = nOut;
  }
  mInData.Resize(nInputs);
  mOutData.Resize(nOutputs);
  for (int i = 0; i < nInputs; ++i) {
    InChannel* ch = new InChannel();
    ch->mSrc = mInData.Get() + i;
    *ch->mSrc = nullptr;
    mInChannels.Add(ch);
  }
  for (int i = 0; i < nOutputs; ++i) {
    OutChannel* ch = new OutChannel();
    ch->mDest = mOutData.Get() + i;
    *ch->mDest = nullptr;
    mOutChannels.Add(ch);
  }
}

IPluginBase::~IPluginBase() {
  // The editor goes first: its controls refer to the parameters.
  delete mGraphics;
  mGraphics = nullptr;
  mParams.Empty(true);
  mPresets.Empty(true);
  mInChannels.Empty(true);
  mOutChannels.Empty(true);
  mChannelIO.Empty(true);
  mInputBusLabels.Empty(true);
  mOutputBusLabels.Empty(true);
}

void IPluginBase::Reset() {
  RecursiveMutex::ScopedLock lock(mMutex);
}

void IPluginBase::OnParamChange(int) {
  RecursiveMutex::ScopedLock lock(mMutex);
}

void IPluginBase::OnActivate(bool) {
  RecursiveMutex::ScopedLock lock(mMutex);
}

// The default process operation: input i to output i, remaining outputs silent.
void IPluginBase::ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) {
  int nIn = NInChannels(), nOut = NOutChannels();
  size_t bytes = sizeof(double) * static_cast<size_t>(nFrames > 0 ? nFrames : 0);
  for (int i = 0; i < nOut; ++i) {
    if (!outputs[i]) continue;
    if (i < nIn && inputs[i]) {
      if (inputs[i] != outputs[i]) std::memmove(outputs[i], inputs[i], bytes);
    } else {
      std::memset(outputs[i], 0, bytes);
    }
  }
}

void IPluginBase::ProcessMidiMsg(IMidiMsg* msg) {
  SendMidiMsg(msg);
}

bool IPluginBase::MidiNoteName(int, char* name) {
  if (name) *name = '\0';
  return false;
}

void IPluginBase::SetParameterFromGUI(int idx, double normalizedValue) {
  RecursiveMutex::ScopedLock lock(mMutex);
  IParam* param = GetParam(idx);
  if (!param) return;
  param->SetNormalized(normalizedValue);
  InformHostOfParamChange(idx, normalizedValue);
  OnParamChange(idx);
}

bool IPluginBase::SetParameterFromHost(int idx, double value) {
  RecursiveMutex::ScopedLock lock(mMutex);
  IParam* param = GetParam(idx);
  if (!param || std::isnan(value)) return false;
  param->SetValue(value);
  if (mGraphics) mGraphics->SetParameterFromPlug(idx, param->GetValue(), false);
  OnParamChange(idx);
  return true;
}

void IPluginBase::AttachGraphics(IEditor* graphics) {
  if (!graphics) return;
  RecursiveMutex::ScopedLock lock(mMutex);
  for (int i = 0; i < NParams(); ++i) {
    graphics->SetParameterFromPlug(i, GetParam(i)->GetNormalized(), true);
  }
  graphics->PrepDraw();
  mGraphics = graphics;
}

void IPluginBase::RedrawParamControls() {
  if (!mGraphics) return;
  for (int i = 0; i < NParams(); ++i) {
    mGraphics->SetParameterFromPlug(i, GetParam(i)->GetValue(), false);
  }
}

// Resizes and zeroes every scratch buffer and points every channel slot at its own
// buffer.  Should memory run out, the stored block
// size is the smallest buffer actually obtained, so the render path never passes
// the end of one; a wrapper sees the shortfall in GetBlockSize().
void IPluginBase::SetBlockSize(int blockSize) {
  if (blockSize == mBlockSize || blockSize < 0) return;
  int obtained = blockSize;
  auto resizeAndZero = [&obtained, blockSize](TypedBuf<double>& buf) {
    buf.Resize(blockSize);
    if (buf.GetSize() < obtained) obtained = buf.GetSize();
    if (buf.GetSize() > 0) std::memset(buf.Get(), 0, sizeof(double) * buf.GetSize());
  };
  for (int i = 0; i < NInChannels(); ++i)
    resizeAndZero(mInChannels.Get(i)->mScratchBuf);
  for (int i = 0; i < NOutChannels(); ++i)
    resizeAndZero(mOutChannels.Get(i)->mScratchBuf);
  mBlockSize = obtained;
  PointSlotsAtScratch();
}

// ---- Identity and versions ----

void GetVersionParts(int version, int* major, int* minor, int* patch) {
  unsigned v = static_cast<unsigned>(version);
  *major = static_cast<int>(v >> 16);
  *minor = static_cast<int>((v >> 8) & 0xff);
  *patch = static_cast<int>(v & 0xff);
}

int GetDecimalVersion(int version) {
  int major, minor, patch;
  GetVersionParts(version, &major, &minor, &patch);
  return major * 10000 + minor * 100 + patch;
}

void GetVersionStr(int version, char* out) {
  int major, minor, patch;
  GetVersionParts(version, &major, &minor, &patch);
  std::snprintf(out, MAX_VERSION_STR_LEN, "v%d.%d.%d", major, minor, patch);
}

int IPluginBase::GetEffectVersion(bool decimal) const {
  return decimal ? GetDecimalVersion(mVersion) : mVersion;
}

void IPluginBase::GetEffectVersionStr(char* out) const {
  GetVersionStr(mVersion, out);
}

int IPluginBase::GetHostVersion(bool decimal) {
  GetHost();
  return decimal ? GetDecimalVersion(mHostVersion) : mHostVersion;
}

void IPluginBase::GetHostVersionStr(char* out) {
  GetHost();
  GetVersionStr(mHostVersion, out);
}

void IPluginBase::SetHost(const char* name, int version) {
  mHost = LookUpHost(name);
  mHostVersion = version;
}

const char* IPluginBase::GetAPIString() {
  switch (GetAPI()) {
    case kAPIVST2:
      return "VST2";
    case kAPIVST3:
      return "VST3";
    case kAPIAU:
      return "AU";
    case kAPIRTAS:
      return "RTAS";
    case kAPIAAX:
      return "AAX";
    case kAPISA:
      return "Standalone";
    case kAPILV2:
      return "LV2";
  }
  return "";
}

double IPluginBase::GetSamplesPerBeat() {
  double tempo = GetTempo();
  return tempo > 0.0 ? mSampleRate * 60.0 / tempo : 0.0;
}

// ---- Parameters ----

void IPluginBase::OnParamReset() {
  for (int i = 0; i < NParams(); ++i)
    OnParamChange(i);
}

void IPluginBase::DirtyParameters() {
  RecursiveMutex::ScopedLock lock(mMutex);
  for (int i = 0; i < NParams(); ++i)
    InformHostOfParamChange(i, GetParam(i)->GetNormalized());
}
