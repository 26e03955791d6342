// Channel configurations, connections and the buffer operations of the render path.
// Audio thread: these allocate nothing and take no lock; the scratch buffers are
// sized beforehand by SetBlockSize.
#include <cstring>

#include "IPluginBase.h"

bool IPluginBase::GetChannelIO(int idx, int* nIn, int* nOut) const {
  const ChannelIO* io = mChannelIO.Get(idx);
  if (!io) return false;
  *nIn = io->mIn;
  *nOut = io->mOut;
  return true;
}

// A negative count is a wildcard.
bool IPluginBase::LegalIO(int nIn, int nOut) const {
  for (int i = 0; i < NChannelIO(); ++i) {
    const ChannelIO* io = mChannelIO.Get(i);
    if ((nIn < 0 || nIn == io->mIn) && (nOut < 0 || nOut == io->mOut)) return true;
  }
  return false;
}

void IPluginBase::SetInputChannelConnections(int idx, int n, bool connected) {
  int end = idx + n < NInChannels() ? idx + n : NInChannels();
  for (int i = idx < 0 ? 0 : idx; i < end; ++i) {
    InChannel* ch = mInChannels.Get(i);
    ch->mConnected = connected;
    *ch->mSrc = ch->mScratchBuf.Get();
  }
}

void IPluginBase::SetOutputChannelConnections(int idx, int n, bool connected) {
  int end = idx + n < NOutChannels() ? idx + n : NOutChannels();
  for (int i = idx < 0 ? 0 : idx; i < end; ++i) {
    OutChannel* ch = mOutChannels.Get(i);
    ch->mConnected = connected;
    *ch->mDest = ch->mScratchBuf.Get();
  }
}

// A slot never keeps a pointer into a buffer that was reallocated or released: the
// render path reads and writes every channel, connected or not.
void IPluginBase::PointSlotsAtScratch() {
  for (int i = 0; i < NInChannels(); ++i) {
    InChannel* ch = mInChannels.Get(i);
    *ch->mSrc = ch->mScratchBuf.Get();
  }
  for (int i = 0; i < NOutChannels(); ++i) {
    OutChannel* ch = mOutChannels.Get(i);
    *ch->mDest = ch->mScratchBuf.Get();
  }
}

bool IPluginBase::IsInChannelConnected(int chIdx) const {
  const InChannel* ch = mInChannels.Get(chIdx);
  return ch && ch->mConnected;
}

bool IPluginBase::IsOutChannelConnected(int chIdx) const {
  const OutChannel* ch = mOutChannels.Get(chIdx);
  return ch && ch->mConnected;
}

int IPluginBase::ClampFrames(int nFrames) const {
  if (nFrames < 0) return 0;
  return nFrames < mBlockSize ? nFrames : mBlockSize;
}

// Unconnected channels do not consume a pointer of data.
void IPluginBase::AttachInputBuffers(int idx, int n, double** data, int) {
  int end = idx + n < NInChannels() ? idx + n : NInChannels();
  for (int i = idx < 0 ? 0 : idx; i < end; ++i) {
    InChannel* ch = mInChannels.Get(i);
    if (ch->mConnected) *ch->mSrc = *data++;
  }
}

void IPluginBase::AttachInputBuffers(int idx, int n, float** data, int nFrames) {
  nFrames = ClampFrames(nFrames);
  int end = idx + n < NInChannels() ? idx + n : NInChannels();
  for (int i = idx < 0 ? 0 : idx; i < end; ++i) {
    InChannel* ch = mInChannels.Get(i);
    if (!ch->mConnected) continue;
    const float* src = *data++;
    double* dst = ch->mScratchBuf.Get();
    for (int s = 0; s < nFrames; ++s)
      dst[s] = src[s];
    *ch->mSrc = dst;
  }
}

void IPluginBase::AttachOutputBuffers(int idx, int n, double** data) {
  int end = idx + n < NOutChannels() ? idx + n : NOutChannels();
  for (int i = idx < 0 ? 0 : idx; i < end; ++i) {
    OutChannel* ch = mOutChannels.Get(i);
    if (ch->mConnected) *ch->mDest = *data++;
  }
}

void IPluginBase::AttachOutputBuffers(int idx, int n, float** data) {
  int end = idx + n < NOutChannels() ? idx + n : NOutChannels();
  for (int i = idx < 0 ? 0 : idx; i < end; ++i) {
    OutChannel* ch = mOutChannels.Get(i);
    if (!ch->mConnected) continue;
    *ch->mDest = ch->mScratchBuf.Get();
    ch->mFDest = *data++;
  }
}

void IPluginBase::ConvertOutputsToFloat(int nFrames, bool accumulate) {
  for (int i = 0; i < NOutChannels(); ++i) {
    OutChannel* ch = mOutChannels.Get(i);
    if (!ch->mConnected || !ch->mFDest) continue;
    const double* src = *ch->mDest;
    float* dst = ch->mFDest;
    if (accumulate) {
      for (int s = 0; s < nFrames; ++s)
        dst[s] += static_cast<float>(src[s]);
    } else {
      for (int s = 0; s < nFrames; ++s)
        dst[s] = static_cast<float>(src[s]);
    }
  }
}

void IPluginBase::PassThroughBuffers(double, int nFrames) {
  IPluginBase::ProcessDoubleReplacing(mInData.Get(), mOutData.Get(), ClampFrames(nFrames));
}

void IPluginBase::PassThroughBuffers(float, int nFrames) {
  nFrames = ClampFrames(nFrames);
  PassThroughBuffers(0.0, nFrames);
  ConvertOutputsToFloat(nFrames, false);
}

void IPluginBase::ProcessBuffers(double, int nFrames) {
  ProcessDoubleReplacing(mInData.Get(), mOutData.Get(), ClampFrames(nFrames));
}

void IPluginBase::ProcessBuffers(float, int nFrames) {
  nFrames = ClampFrames(nFrames);
  ProcessBuffers(0.0, nFrames);
  ConvertOutputsToFloat(nFrames, false);
}

void IPluginBase::ProcessBuffersAccumulating(float, int nFrames) {
  nFrames = ClampFrames(nFrames);
  ProcessBuffers(0.0, nFrames);
  ConvertOutputsToFloat(nFrames, true);
}

void IPluginBase::ZeroScratchBuffers() {
  size_t bytes = sizeof(double) * static_cast<size_t>(mBlockSize);
  for (int i = 0; i < NInChannels(); ++i) {
    double* buf = mInChannels.Get(i)->mScratchBuf.Get();
    if (buf) std::memset(buf, 0, bytes);
  }
  for (int i = 0; i < NOutChannels(); ++i) {
    double* buf = mOutChannels.Get(i)->mScratchBuf.Get();
    if (buf) std::memset(buf, 0, bytes);
  }
}

// ---- Labels ----

void IPluginBase::SetInputLabel(int idx, const char* label) {
  if (InChannel* ch = mInChannels.Get(idx)) ch->mLabel.Set(label);
}

void IPluginBase::SetOutputLabel(int idx, const char* label) {
  if (OutChannel* ch = mOutChannels.Get(idx)) ch->mLabel.Set(label);
}

const char* IPluginBase::GetInputLabel(int idx) const {
  const InChannel* ch = mInChannels.Get(idx);
  return ch ? ch->mLabel.Get() : "";
}

const char* IPluginBase::GetOutputLabel(int idx) const {
  const OutChannel* ch = mOutChannels.Get(idx);
  return ch ? ch->mLabel.Get() : "";
}

namespace {
void ReplaceLabel(PtrList<StrBuf>& labels, int idx, const char* text) {
  labels.Delete(idx, true);
  StrBuf* label = new StrBuf(text);
  if (!labels.Insert(idx, label)) delete label;
}
}  // namespace

// Only the main input (0) and the side-chain input (1) have bus labels.
void IPluginBase::SetInputBusLabel(int idx, const char* label) {
  if (idx == 0 || idx == 1) ReplaceLabel(mInputBusLabels, idx, label);
}

void IPluginBase::SetOutputBusLabel(int idx, const char* label) {
  if (idx >= 0) ReplaceLabel(mOutputBusLabels, idx, label);
}

const char* IPluginBase::GetInputBusLabel(int idx) const {
  const StrBuf* label = mInputBusLabels.Get(idx);
  return label ? label->Get() : "";
}

const char* IPluginBase::GetOutputBusLabel(int idx) const {
  const StrBuf* label = mOutputBusLabels.Get(idx);
  return label ? label->Get() : "";
}
