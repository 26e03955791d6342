#pragma once

// Audio Unit event listeners: hosts register for parameter events of a unit,
// and AUEventListenerNotify delivers an event to every matching listener at once,
// on the caller's thread.

#include "AudioUnit.h"

typedef UInt32 AudioUnitEventType;
enum : AudioUnitEventType {
  kAudioUnitEvent_ParameterValueChange = 0,
  kAudioUnitEvent_BeginParameterChangeGesture = 1,
  kAudioUnitEvent_EndParameterChangeGesture = 2,
  kAudioUnitEvent_PropertyChange = 3
};

struct AudioUnitParameter {
  AudioUnit mAudioUnit;
  AudioUnitParameterID mParameterID;
  AudioUnitScope mScope;
  AudioUnitElement mElement;
};

struct AudioUnitProperty {
  AudioUnit mAudioUnit;
  AudioUnitPropertyID mPropertyID;
  AudioUnitScope mScope;
  AudioUnitElement mElement;
};

struct AudioUnitEvent {
  AudioUnitEventType mEventType;
  union {
    AudioUnitParameter mParameter;
    AudioUnitProperty mProperty;
  } mArgument;
};

// Matches any parameter of the unit when used as the parameter id of a registration.
enum : AudioUnitParameterID { kAUParameterListener_AnyParameter = 0xFFFFFFFF };

typedef struct AUListenerBase* AUEventListenerRef;
typedef AUEventListenerRef AUParameterListenerRef;
// value: for a parameter value change, the value read back from the unit; else 0.
typedef void (*AUEventListenerProc)(void* inCallbackRefCon, void* inObject,
                                    const AudioUnitEvent* inEvent, UInt64 inEventHostTime,
                                    AudioUnitParameterValue inParameterValue);

// The run loop, mode, granularity and interval of the platform's call are not needed
// here: events are delivered synchronously.
OSStatus AUEventListenerCreate(AUEventListenerProc proc, void* userData, void* runLoop,
                               CFStringRef runLoopMode, Float32 granularity,
                               Float32 notificationInterval, AUEventListenerRef* outListener);
OSStatus AUEventListenerAddEventType(AUEventListenerRef listener, void* object,
                                     const AudioUnitEvent* event);
OSStatus AUEventListenerRemoveEventType(AUEventListenerRef listener, void* object,
                                        const AudioUnitEvent* event);
OSStatus AUListenerDispose(AUParameterListenerRef listener);
OSStatus AUEventListenerNotify(AUEventListenerRef sendingListener, void* sendingObject,
                               const AudioUnitEvent* event);
