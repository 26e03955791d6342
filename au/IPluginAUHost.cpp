// Telling the host about parameter and program changes, the host's transport
// and tempo, and identifying the host.  The notifications take no lock of their
// own: they run on whichever thread changed the parameter.
#include "AUEvents.h"
#include "IPluginAU.h"
#include "Log.h"

void IPluginAU::SendAUEvent(UInt32 type, AudioComponentInstance instance, int idx) {
  AudioUnitEvent event = {};
  event.mEventType = type;
  event.mArgument.mParameter.mAudioUnit = instance;
  event.mArgument.mParameter.mParameterID = static_cast<AudioUnitParameterID>(idx);
  event.mArgument.mParameter.mScope = kAudioUnitScope_Global;
  event.mArgument.mParameter.mElement = 0;
  AUEventListenerNotify(nullptr, nullptr, &event);
}

void IPluginAU::BeginInformHostOfParamChange(int idx) {
  Trace(__FUNCTION__, __LINE__, "%d", idx);
  SendAUEvent(kAudioUnitEvent_BeginParameterChangeGesture, mCI, idx);
}

// Listeners read the value back from the unit.
void IPluginAU::InformHostOfParamChange(int idx, double normalizedValue) {
  Trace(__FUNCTION__, __LINE__, "%d:%f", idx, normalizedValue);
  SendAUEvent(kAudioUnitEvent_ParameterValueChange, mCI, idx);
}

void IPluginAU::EndInformHostOfParamChange(int idx) {
  Trace(__FUNCTION__, __LINE__, "%d", idx);
  SendAUEvent(kAudioUnitEvent_EndParameterChangeGesture, mCI, idx);
}

void IPluginAU::InformHostOfProgramChange() {
  RecursiveMutex::ScopedLock lock(mMutex);  // the listener list may change on another thread
  InformListeners(kAudioUnitProperty_PresentPreset, kAudioUnitScope_Global);
}

int IPluginAU::GetSamplePos() {
  if (!mHostCallbacks.transportStateProc) return 0;
  Boolean playing = false, changed = false, cycling = false;
  Float64 sample = 0.0, cycleStart = 0.0, cycleEnd = 0.0;
  mHostCallbacks.transportStateProc(mHostCallbacks.hostUserData, &playing, &changed, &sample,
                                    &cycling, &cycleStart, &cycleEnd);
  return TruncToInt(sample + 0.5);
}

// The last positive tempo the host reported (120 until it reports one).
double IPluginAU::GetTempo() {
  if (mHostCallbacks.beatAndTempoProc) {
    Float64 beat = 0.0, tempo = 0.0;
    mHostCallbacks.beatAndTempoProc(mHostCallbacks.hostUserData, &beat, &tempo);
    if (tempo > 0.0) mTempo = tempo;
  }
  return mTempo;
}

void IPluginAU::GetTimeSig(int* numerator, int* denominator) {
  if (!mHostCallbacks.musicalTimeLocationProc) return;
  UInt32 toNextBeat = 0, denom = 0;
  Float32 num = 0.0f;
  Float64 downBeat = 0.0;
  mHostCallbacks.musicalTimeLocationProc(mHostCallbacks.hostUserData, &toNextBeat, &num, &denom,
                                         &downBeat);
  if (numerator) *numerator = TruncToInt(num);
  if (denominator) *denominator = static_cast<int>(denom);
}

// Fields the host does not report keep the caller's values.
void IPluginAU::GetTime(ITimeInfo* info) {
  if (!info) return;
  const HostCallbackInfo& cb = mHostCallbacks;
  if (cb.beatAndTempoProc) {
    Float64 beat = 0.0, tempo = 0.0;
    cb.beatAndTempoProc(cb.hostUserData, &beat, &tempo);
    if (tempo > 0.0) info->mTempo = tempo;
    if (beat > 0.0) info->mPPQPos = beat;
  }
  if (cb.transportStateProc) {
    Boolean playing = false, changed = false, cycling = false;
    Float64 sample = 0.0, cycleStart = 0.0, cycleEnd = 0.0;
    cb.transportStateProc(cb.hostUserData, &playing, &changed, &sample, &cycling, &cycleStart,
                          &cycleEnd);
    if (sample > 0.0) info->mSamplePos = sample;
    if (cycleStart > 0.0) info->mCycleStart = cycleStart;
    if (cycleEnd > 0.0) info->mCycleEnd = cycleEnd;
    info->mTransportIsRunning = playing;
    info->mTransportLoopEnabled = cycling;
  }
  if (cb.musicalTimeLocationProc) {
    UInt32 toNextBeat = 0, denom = 0;
    Float32 num = 0.0f;
    Float64 downBeat = 0.0;
    cb.musicalTimeLocationProc(cb.hostUserData, &toNextBeat, &num, &denom, &downBeat);
    info->mNumerator = TruncToInt(num);
    info->mDenominator = static_cast<int>(denom);
    if (downBeat > 0.0) info->mLastBar = downBeat;
  }
}

// Identified once, from the running application's bundle identifier.
EHost IPluginAU::GetHost() {
  if (mHost != -1) return mHost;
  CFStringRef id = CFBundleGetIdentifier(CFBundleGetMainBundle());
  if (id) {
    SetHost(CFStringGetCStringPtr(id, kCFStringEncodingUTF8), 0);
    if (mHost != -1) return mHost;
  }
  SetHost("", 0);
  return mHost;
}

void IPluginAU::HostSpecificInit() {
  GetHost();
  OnHostIdentified();
}

void IPluginAU::ResizeGraphics(int, int) {
  if (mGraphics) OnWindowResize();
}
