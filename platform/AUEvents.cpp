// Event listener registry.  Notify copies the matching registrations under the
// registry lock and calls them after releasing it, so that a listener may call
// back into the unit (whose own lock the notifying thread may hold).
#include "AUEvents.h"

#include <algorithm>
#include <mutex>
#include <new>
#include <vector>

struct AUListenerBase {
  AUEventListenerProc mProc;
  void* mUserData;
  struct Registration {
    void* mObject;
    AudioUnitEvent mEvent;
  };
  std::vector<Registration> mRegistrations;
};

namespace {

struct ListenerTable {
  std::mutex mMutex;
  std::vector<AUListenerBase*> mListeners;
};

ListenerTable& Listeners() {
  static ListenerTable* sTable = new ListenerTable;
  return *sTable;
}

bool SameTarget(const AudioUnitEvent& a, const AudioUnitEvent& b) {
  if (a.mEventType == kAudioUnitEvent_PropertyChange ||
      b.mEventType == kAudioUnitEvent_PropertyChange) {
    return a.mEventType == b.mEventType &&
           a.mArgument.mProperty.mAudioUnit == b.mArgument.mProperty.mAudioUnit &&
           a.mArgument.mProperty.mPropertyID == b.mArgument.mProperty.mPropertyID;
  }
  return a.mEventType == b.mEventType &&
         a.mArgument.mParameter.mAudioUnit == b.mArgument.mParameter.mAudioUnit &&
         a.mArgument.mParameter.mParameterID == b.mArgument.mParameter.mParameterID;
}

// Whether a registration covers the event (a registration may name any parameter).
bool Covers(const AudioUnitEvent& reg, const AudioUnitEvent& event) {
  if (reg.mEventType != event.mEventType) return false;
  if (event.mEventType == kAudioUnitEvent_PropertyChange) return SameTarget(reg, event);
  const AudioUnitParameter& r = reg.mArgument.mParameter;
  const AudioUnitParameter& e = event.mArgument.mParameter;
  return r.mAudioUnit == e.mAudioUnit &&
         (r.mParameterID == kAUParameterListener_AnyParameter || r.mParameterID == e.mParameterID);
}

}  // namespace

OSStatus AUEventListenerCreate(AUEventListenerProc proc, void* userData, void*, CFStringRef,
                               Float32, Float32, AUEventListenerRef* outListener) {
  if (!proc || !outListener) return kAudio_ParamError;
  AUListenerBase* listener = new (std::nothrow) AUListenerBase{proc, userData, {}};
  if (!listener) return memFullErr;
  ListenerTable& t = Listeners();
  std::lock_guard<std::mutex> lock(t.mMutex);
  t.mListeners.push_back(listener);
  *outListener = listener;
  return noErr;
}

OSStatus AUEventListenerAddEventType(AUEventListenerRef listener, void* object,
                                     const AudioUnitEvent* event) {
  if (!listener || !event) return kAudio_ParamError;
  std::lock_guard<std::mutex> lock(Listeners().mMutex);
  listener->mRegistrations.push_back({object, *event});
  return noErr;
}

OSStatus AUEventListenerRemoveEventType(AUEventListenerRef listener, void* object,
                                        const AudioUnitEvent* event) {
  if (!listener || !event) return kAudio_ParamError;
  std::lock_guard<std::mutex> lock(Listeners().mMutex);
  auto& regs = listener->mRegistrations;
  regs.erase(std::remove_if(regs.begin(), regs.end(),
                            [&](const AUListenerBase::Registration& r) {
                              return r.mObject == object && SameTarget(r.mEvent, *event);
                            }),
             regs.end());
  return noErr;
}

OSStatus AUListenerDispose(AUParameterListenerRef listener) {
  if (!listener) return kAudio_ParamError;
  ListenerTable& t = Listeners();
  {
    std::lock_guard<std::mutex> lock(t.mMutex);
    auto it = std::find(t.mListeners.begin(), t.mListeners.end(), listener);
    if (it == t.mListeners.end()) return kAudio_ParamError;
    t.mListeners.erase(it);
  }
  delete listener;
  return noErr;
}

OSStatus AUEventListenerNotify(AUEventListenerRef sendingListener, void* sendingObject,
                               const AudioUnitEvent* event) {
  if (!event) return kAudio_ParamError;
  struct Delivery {
    AUEventListenerProc proc;
    void* userData;
    void* object;
  };
  std::vector<Delivery> deliveries;
  {
    ListenerTable& t = Listeners();
    std::lock_guard<std::mutex> lock(t.mMutex);
    for (AUListenerBase* l : t.mListeners) {
      for (const AUListenerBase::Registration& r : l->mRegistrations) {
        // The sender does not hear its own notification from the same object.
        if (l == sendingListener && r.mObject == sendingObject && sendingObject) continue;
        if (Covers(r.mEvent, *event)) deliveries.push_back({l->mProc, l->mUserData, r.mObject});
      }
    }
  }
  AudioUnitParameterValue value = 0.0f;
  if (event->mEventType == kAudioUnitEvent_ParameterValueChange && !deliveries.empty()) {
    const AudioUnitParameter& p = event->mArgument.mParameter;
    AudioUnitGetParameter(p.mAudioUnit, p.mParameterID, p.mScope, p.mElement, &value);
  }
  for (const Delivery& d : deliveries)
    d.proc(d.userData, d.object, event, 0, value);
  return noErr;
}
