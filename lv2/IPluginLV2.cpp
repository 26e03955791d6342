#include "IPluginLV2.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <new>

#include "SampleRateRange.h"

static_assert(std::atomic<double>::is_always_lock_free, "save must never make the audio wait");

IPluginLV2::IPluginLV2(IPluginInstanceInfo, int nParams, const char* channelIOStr, int nPresets,
                       const char* effectName, const char* productName, const char* mfrName,
                       int vendorVersion, int uniqueID, int mfrID, int latency, bool plugDoesMidi,
                       bool plugDoesChunks, bool plugIsInst, int)
    : IPluginBase(nParams, channelIOStr, nPresets, effectName, productName, mfrName, vendorVersion,
                  uniqueID, mfrID, latency, plugDoesMidi, plugDoesChunks, plugIsInst, kAPILV2) {
  mLastControls.Resize(nParams);
  mSavedValues.reset(new (std::nothrow) std::atomic<double>[nParams > 0 ? nParams : 1]());
}

IPluginLV2::~IPluginLV2() = default;

void IPluginLV2::GetTimeSig(int* numerator, int* denominator) {
  *numerator = 4;
  *denominator = 4;
}

// LV2 hosts without the time extension report no transport: only the position counted here.
void IPluginLV2::GetTime(ITimeInfo* timeInfo) {
  timeInfo->mSamplePos = mSamplePos;
}

bool IPluginLV2::Configure(int nChannels, double sampleRate, int maxBlockSize) {
  RecursiveMutex::ScopedLock lock(mMutex);
  if (nChannels <= 0 || nChannels > NInChannels() || nChannels > NOutChannels() ||
      !LegalIO(nChannels, nChannels) || !IsSupportedSampleRate(sampleRate) || maxBlockSize <= 0 ||
      maxBlockSize > kLV2MaxBlockSize || mLastControls.GetSize() != NParams() || !mSavedValues) {
    return false;
  }
  int nPorts = NParams() + 2 * nChannels;
  mPorts.Resize(nPorts);
  mIn.Resize(nChannels);
  mOut.Resize(nChannels);
  if (mPorts.GetSize() != nPorts || mIn.GetSize() != nChannels || mOut.GetSize() != nChannels)
    return false;
  std::memset(mPorts.Get(), 0, sizeof(float*) * nPorts);
  SetBlockSize(maxBlockSize);
  if (GetBlockSize() != maxBlockSize) return false;
  mNChannels = nChannels;
  SyncFromParams();
  SetSampleRate(sampleRate);
  SetInputChannelConnections(0, NInChannels(), false);
  SetOutputChannelConnections(0, NOutChannels(), false);
  SetInputChannelConnections(0, nChannels, true);
  SetOutputChannelConnections(0, nChannels, true);
  PruneUninitializedPresets();
  return true;
}

void IPluginLV2::ConnectPort(uint32_t port, void* data) {
  if (mNChannels > 0 && port == static_cast<uint32_t>(LatencyPort())) {
    mLatencyOut = static_cast<float*>(data);
    return;
  }
  if (port >= static_cast<uint32_t>(mPorts.GetSize())) return;
  mPorts.Get()[port] = static_cast<float*>(data);
}

// Like the other wrappers' initialisation: every member copy refreshed, the saturation
// histories cleared, then the effect told, so that a re-activated instance starts
// afresh.
void IPluginLV2::Activate() {
  RecursiveMutex::ScopedLock lock(mMutex);
  OnParamReset();
  Reset();
  mSamplePos = 0.0;
  OnActivate(true);
}

void IPluginLV2::Deactivate() {
  RecursiveMutex::ScopedLock lock(mMutex);
  OnActivate(false);
}

// A port holds a float: one at the float nearest the parameter's value means no
// change, so a host's default leaves the exact default in place.  Save reads the
// values from here on.
void IPluginLV2::SyncFromParams() {
  for (int i = 0; i < NParams() && i < mLastControls.GetSize(); ++i) {
    const double v = GetParam(i)->GetValue();
    mLastControls.Get()[i] = static_cast<float>(v);
    mSavedValues[i].store(v, std::memory_order_relaxed);
  }
}

float IPluginLV2::LastControlValue(int paramIdx) const {
  if (paramIdx < 0 || paramIdx >= mLastControls.GetSize())
    return std::numeric_limits<float>::quiet_NaN();
  return mLastControls.Get()[paramIdx];
}

// Audio thread.  Each port is read once per block; one whose value differs from the
// one last seen is a host parameter change: stored clamped, then OnParamChange, and
// the stored value handed to save.  NaN is refused, as the other wrappers refuse it;
// an unconnected port leaves its parameter alone.  No editor lives in this binary.
void IPluginLV2::ApplyControls() {
  float* const* ports = mPorts.Get();
  float* last = mLastControls.Get();
  for (int i = 0; i < NParams(); ++i) {
    const float* port = ports[i];
    if (!port) continue;
    float v = *port;
    if (std::isnan(v) || std::memcmp(&v, &last[i], sizeof v) == 0) continue;
    last[i] = v;
    IParam* param = GetParam(i);
    param->SetValue(v);
    OnParamChange(i);
    mSavedValues[i].store(param->GetValue(), std::memory_order_relaxed);
  }
}

// Audio thread: one piece of at most the block size through the base's float path.
void IPluginLV2::ProcessPiece(uint32_t offset, int nFrames) {
  float* const* ports = mPorts.Get();
  for (int c = 0; c < mNChannels; ++c) {
    mIn.Get()[c] = ports[NParams() + c] + offset;
    mOut.Get()[c] = ports[NParams() + mNChannels + c] + offset;
  }
  AttachInputBuffers(0, mNChannels, mIn.Get(), nFrames);
  AttachOutputBuffers(0, mNChannels, mOut.Get());
  if (IsBypassed()) {
    PassThroughBuffers(0.0f, nFrames);
  } else {
    ProcessBuffers(0.0f, nFrames);
  }
}

// Audio thread: no allocation, no I/O, no lock.
void IPluginLV2::Run(uint32_t nFrames) {
  if (mNChannels == 0) return;
  if (mLatencyOut) *mLatencyOut = static_cast<float>(GetLatency());
  ApplyControls();
  float* const* ports = mPorts.Get();
  for (int p = NParams(); p < NPorts(); ++p) {
    if (!ports[p]) return;  // a host must connect every audio port before running
  }
  const uint32_t block = static_cast<uint32_t>(GetBlockSize());
  uint32_t done = 0;
  do {
    uint32_t n = nFrames - done < block ? nFrames - done : block;
    ProcessPiece(done, static_cast<int>(n));
    done += n;
  } while (done < nFrames);
  mSamplePos += nFrames;
}

// State save, possibly beside Run: the same doubles the base's chunk holds, in index
// order, read from the values the audio thread handed over, never from the parameters.
bool IPluginLV2::SaveStateChunk(ByteChunk* chunk) {
  chunk->Clear();
  if (!mSavedValues) return false;
  for (int i = 0; i < NParams(); ++i) {
    const int before = chunk->Size();
    const double v = mSavedValues[i].load(std::memory_order_relaxed);
    if (chunk->Append(v) != before + static_cast<int>(sizeof(double))) return false;
  }
  return true;
}

bool IPluginLV2::RestoreStateChunk(const void* data, size_t size) {
  const size_t need = static_cast<size_t>(NParams()) * sizeof(double);
  if (!data || size < need || size > 0x7fffffff) return false;
  ByteChunk chunk;
  if (chunk.AppendBytes(data, static_cast<int>(need)) != static_cast<int>(need)) return false;
  for (int i = 0; i < NParams(); ++i) {
    double v = 0.0;
    chunk.Read(&v, i * static_cast<int>(sizeof(double)));
    if (!std::isfinite(v)) return false;
  }
  RecursiveMutex::ScopedLock lock(mMutex);
  if (UnserializeState(&chunk, 0) != static_cast<int>(need)) return false;
  // Ports that agree with the restored values leave them exact; a port the host
  // moves afterwards still applies.
  SyncFromParams();
  return true;
}
