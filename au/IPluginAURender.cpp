// Buses, input connections, channel checks and the render call.
#include <cstring>

#include "IPluginAU.h"
#include "Log.h"

// ---- Buses and channel bookkeeping ----

IPluginAU::BusChannels* IPluginAU::GetBus(AudioUnitScope scope, AudioUnitElement idx) const {
  if (idx > 0x7FFFFFFF) return nullptr;
  switch (scope) {
    case kAudioUnitScope_Global:
    case kAudioUnitScope_Output:
      return mOutBuses.Get(static_cast<int>(idx));
    case kAudioUnitScope_Input:
      return mInBuses.Get(static_cast<int>(idx));
    default:
      return nullptr;
  }
}

int IPluginAU::NHostChannelsConnected(const PtrList<BusChannels>& buses, int excludeIdx) const {
  bool anySet = false;
  int n = 0;
  for (int i = 0; i < buses.GetSize(); ++i) {
    int nHost = buses.Get(i)->mNHostChannels;
    if (i == excludeIdx || nHost < 0) continue;
    anySet = true;
    n += nHost;
  }
  return anySet ? n : -1;
}

// -1 stands for "not set" and matches any count.
bool IPluginAU::CheckLegalIO(AudioUnitScope scope, int busIdx, int nChannels) const {
  int nIn, nOut;
  if (scope == kAudioUnitScope_Input) {
    int others = NHostChannelsConnected(mInBuses, busIdx);
    nIn = (others > 0 ? others : 0) + nChannels;
    nOut = mActive ? NHostChannelsConnected(mOutBuses) : -1;
  } else {
    int others = NHostChannelsConnected(mOutBuses, busIdx);
    nIn = mActive ? NHostChannelsConnected(mInBuses) : -1;
    nOut = (others > 0 ? others : 0) + nChannels;
  }
  return LegalIO(nIn, nOut);
}

bool IPluginAU::CheckLegalIO() const {
  int nIn = NHostChannelsConnected(mInBuses), nOut = NHostChannelsConnected(mOutBuses);
  return (nIn == 0 && nOut == 0) || LegalIO(nIn, nOut);
}

namespace {
const char* InputTypeName(IPluginAU::EAUInputType type) {
  static const char* const kNames[] = {"NotConnected", "DirectFastProc", "DirectNoFastProc",
                                       "RenderCallback"};
  return kNames[type];
}
}  // namespace

void IPluginAU::AssessInputConnections() {
  RecursiveMutex::ScopedLock lock(mMutex);
  SetInputChannelConnections(0, NInChannels(), false);
  for (int i = 0; i < NInBuses(); ++i) {
    BusChannels* bus = mInBuses.Get(i);
    InputBusConnection* conn = mInBusConnections.Get(i);
    if (conn->mUpstreamRenderProc && conn->mUpstreamObj) {
      conn->mInputType = eDirectFastProc;
    } else if (conn->mUpstreamUnit) {
      conn->mInputType = eDirectNoFastProc;
    } else if (conn->mUpstreamRenderCallback.inputProc) {
      conn->mInputType = eRenderCallback;
    } else {
      conn->mInputType = eNotConnected;
    }
    Trace(__FUNCTION__, __LINE__, "%d:%s", i, InputTypeName(conn->mInputType));
    bus->mConnected = conn->mInputType != eNotConnected;
    if (!bus->mConnected) continue;
    if (bus->mNHostChannels < 0) {
      bus->mNHostChannels = bus->mNPlugChannels;
      Trace(__FUNCTION__, __LINE__, "AssumeChannels:%d", bus->mNPlugChannels);
    }
    int nHost =
        bus->mNHostChannels < bus->mNPlugChannels ? bus->mNHostChannels : bus->mNPlugChannels;
    SetInputChannelConnections(bus->mPlugChannelStartIdx, nHost, true);
    SetInputChannelConnections(bus->mPlugChannelStartIdx + nHost, bus->mNPlugChannels - nHost,
                               false);
  }
}

// Sizes the float scratch for n frames; on a failed allocation everything keeps the old size.
void IPluginAU::SetBlockSize(int blockSize) {
  if (blockSize < 0) return;
  RecursiveMutex::ScopedLock lock(mMutex);
  int inFloats = blockSize * NInChannels(), outFloats = blockSize * NOutChannels();
  int oldIn = mInScratchBuf.GetSize(), oldOut = mOutScratchBuf.GetSize();
  mInScratchBuf.Resize(inFloats);
  mOutScratchBuf.Resize(outFloats);
  if (mInScratchBuf.GetSize() != inFloats || mOutScratchBuf.GetSize() != outFloats) {
    mInScratchBuf.Resize(oldIn);
    mOutScratchBuf.Resize(oldOut);
    return;
  }
  if (inFloats > 0) std::memset(mInScratchBuf.Get(), 0, sizeof(float) * inFloats);
  if (outFloats > 0) std::memset(mOutScratchBuf.Get(), 0, sizeof(float) * outFloats);
  IPluginBase::SetBlockSize(blockSize);
}

void IPluginAU::SetLatency(int samples) {
  RecursiveMutex::ScopedLock lock(mMutex);
  InformListeners(kAudioUnitProperty_Latency, kAudioUnitScope_Global);
  IPluginBase::SetLatency(samples);
}

float* IPluginAU::OutputScratch(int plugChannel, int nFrames) const {
  return mOutScratchBuf.Get() + static_cast<size_t>(plugChannel) * static_cast<size_t>(nFrames);
}

// ---- Render ----
// Audio thread: nothing below allocates, does I/O or takes a lock but the plug-in's.

OSStatus IPluginAU::DoRender(AudioUnitRenderActionFlags* flags, const AudioTimeStamp* timestamp,
                             UInt32 outputBusIdx, UInt32 nFrames, AudioBufferList* ioData) {
  RecursiveMutex::ScopedLock lock(mMutex);
  return RenderProc(this, flags, timestamp, outputBusIdx, nFrames, ioData);
}

void IPluginAU::CallRenderNotifications(AudioUnitRenderActionFlags flags,
                                        const AudioTimeStamp* timestamp, UInt32 outputBusIdx,
                                        UInt32 nFrames, AudioBufferList* ioData) {
  for (int i = 0; i < mRenderNotify.GetSize(); ++i) {
    const RenderNotify* n = mRenderNotify.Get(i);
    AudioUnitRenderActionFlags f = flags;
    n->mFunc(n->mUserData, &f, timestamp, outputBusIdx, nFrames, ioData);
  }
}

OSStatus IPluginAU::PullInputBus(int busIdx, AudioUnitRenderActionFlags*,
                                 const AudioTimeStamp* timestamp, UInt32 nFrames) {
  const BusChannels* bus = mInBuses.Get(busIdx);
  const InputBusConnection* conn = mInBusConnections.Get(busIdx);
  AudioBufferList* list = mInBufferLists.Get(busIdx);
  if (!list) return kAudio_ParamError;
  UInt32 nCh = static_cast<UInt32>(bus->mNHostChannels < bus->mNPlugChannels ? bus->mNHostChannels
                                                                             : bus->mNPlugChannels);
  list->mNumberBuffers = nCh;
  for (UInt32 c = 0; c < nCh; ++c)
    list->mBuffers[c] = {1, nFrames * 4, nullptr};
  float* scratch = mInScratchBuf.Get() + static_cast<size_t>(bus->mPlugChannelStartIdx) * nFrames;
  AudioUnitRenderActionFlags pullFlags = 0;
  OSStatus status = noErr;
  switch (conn->mInputType) {
    case eDirectFastProc:
      status = conn->mUpstreamRenderProc(conn->mUpstreamObj, &pullFlags, timestamp,
                                         static_cast<UInt32>(conn->mUpstreamBusIdx), nFrames, list);
      break;
    case eDirectNoFastProc:
      status = AudioUnitRender(conn->mUpstreamUnit, &pullFlags, timestamp,
                               static_cast<UInt32>(conn->mUpstreamBusIdx), nFrames, list);
      break;
    case eRenderCallback:
      for (UInt32 c = 0; c < nCh; ++c)
        list->mBuffers[c].mData = scratch + c * nFrames;
      status = conn->mUpstreamRenderCallback.inputProc(
          conn->mUpstreamRenderCallback.inputProcRefCon, &pullFlags, timestamp,
          static_cast<UInt32>(busIdx), nFrames, list);
      break;
    default:
      return noErr;
  }
  if (status != noErr) return status;
  // A buffer the upstream left empty or too short is read as silence.
  for (UInt32 c = 0; c < nCh; ++c) {
    AudioBuffer& b = list->mBuffers[c];
    float* data = static_cast<float*>(b.mData);
    if (c >= list->mNumberBuffers || !data || b.mDataByteSize < nFrames * 4) {
      data = scratch + c * nFrames;
      std::memset(data, 0, sizeof(float) * nFrames);
    }
    AttachInputBuffers(bus->mPlugChannelStartIdx + static_cast<int>(c), 1, &data,
                       static_cast<int>(nFrames));
  }
  list->mNumberBuffers = nCh;
  return noErr;
}

OSStatus IPluginAU::PullInputs(AudioUnitRenderActionFlags* flags, const AudioTimeStamp* timestamp,
                               UInt32 nFrames) {
  for (int i = 0; i < NInBuses(); ++i) {
    if (!mInBuses.Get(i)->mConnected) continue;
    OSStatus status = PullInputBus(i, flags, timestamp, nFrames);
    if (status != noErr) return status;
  }
  mLastRenderSampleTime = timestamp->mSampleTime;
  return noErr;
}

// A bus whose host channel count is not set takes all of its plug channels.  Runs on
// every call: a call with fewer buffers disconnects channels that the next full call
// must connect again.
void IPluginAU::ConnectOutputBus(int busIdx, int nBuffers) {
  BusChannels* bus = mOutBuses.Get(busIdx);
  int nHost = bus->mNHostChannels < 0 ? bus->mNPlugChannels : bus->mNHostChannels;
  int n = nHost < nBuffers ? nHost : nBuffers;
  SetOutputChannelConnections(bus->mPlugChannelStartIdx, n, true);
  SetOutputChannelConnections(bus->mPlugChannelStartIdx + n, bus->mNPlugChannels - n, false);
  bus->mConnected = true;
}

// The last bus of the leading run of connected output buses, or -1.
int IPluginAU::LastConnectedOutputBus() const {
  int last = -1;
  for (int i = 0; i < NOutBuses() && mOutBuses.Get(i)->mConnected; ++i)
    last = i;
  return last;
}

OSStatus IPluginAU::RenderProc(void* p, AudioUnitRenderActionFlags* flags,
                               const AudioTimeStamp* timestamp, UInt32 outputBusIdx, UInt32 nFrames,
                               AudioBufferList* ioData) {
  IPluginAU* plug = static_cast<IPluginAU*>(p);
  if (!timestamp || !(timestamp->mFlags & kAudioTimeStampSampleTimeValid) ||
      outputBusIdx >= static_cast<UInt32>(plug->NOutBuses()) ||
      nFrames > static_cast<UInt32>(plug->GetBlockSize())) {
    return kAudioUnitErr_InvalidPropertyValue;
  }
  BusChannels* outBus = plug->mOutBuses.Get(static_cast<int>(outputBusIdx));
  if (!ioData || ioData->mNumberBuffers > static_cast<UInt32>(outBus->mNPlugChannels))
    return kAudioUnitErr_InvalidPropertyValue;
  for (UInt32 i = 0; i < ioData->mNumberBuffers; ++i) {
    const AudioBuffer& b = ioData->mBuffers[i];
    if (b.mData && b.mDataByteSize < nFrames * 4) return kAudioUnitErr_InvalidPropertyValue;
  }
  // An effect with nothing on its main input has nothing to render: hosts expect this
  // refusal, and the buffers stay as they are.
  if (plug->NInBuses() > 0 && !plug->mInBuses.Get(0)->mConnected) return kAudioUnitErr_NoConnection;

  plug->CallRenderNotifications(kAudioUnitRenderAction_PreRender, timestamp, outputBusIdx, nFrames,
                                ioData);
  if (timestamp->mSampleTime != plug->mLastRenderSampleTime) {
    OSStatus status = plug->PullInputs(flags, timestamp, nFrames);
    if (status != noErr) return status;
  }

  int busIdx = static_cast<int>(outputBusIdx);
  int nBuffers = static_cast<int>(ioData->mNumberBuffers);
  plug->ConnectOutputBus(busIdx, nBuffers);
  for (int i = 0; i < nBuffers; ++i) {
    AudioBuffer& b = ioData->mBuffers[i];
    int ch = outBus->mPlugChannelStartIdx + i;
    if (!b.mData) {
      b.mData = plug->OutputScratch(ch, static_cast<int>(nFrames));
      b.mDataByteSize = nFrames * 4;
    }
    float* data = static_cast<float*>(b.mData);
    plug->AttachOutputBuffers(ch, 1, &data);
  }

  if (busIdx == plug->LastConnectedOutputBus()) {
    int nOutBuses = plug->NOutBuses();
    if (busIdx + 1 < nOutBuses) {
      int first = 2 * (busIdx + 1);
      plug->SetOutputChannelConnections(first, 2 * nOutBuses - first, false);
    }
    if (plug->IsBypassed()) {
      plug->PassThroughBuffers(0.0f, static_cast<int>(nFrames));
    } else {
      plug->ProcessBuffers(0.0f, static_cast<int>(nFrames));
    }
  }

  plug->CallRenderNotifications(kAudioUnitRenderAction_PostRender, timestamp, outputBusIdx, nFrames,
                                ioData);
  return noErr;
}
