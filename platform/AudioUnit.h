#pragma once

// Audio Unit (version 2) and audio-component interface: selectors, property ids,
// scopes, records, result codes, and the host-side calls that route to a
// registered instance through whichever entry route its component has.

#include "Components.h"
#include "CoreAudioTypes.h"

typedef AudioComponentInstance AudioUnit;
typedef UInt32 AudioUnitPropertyID;
typedef UInt32 AudioUnitScope;
typedef UInt32 AudioUnitElement;
typedef UInt32 AudioUnitParameterID;
typedef Float32 AudioUnitParameterValue;
typedef UInt32 AudioUnitRenderActionFlags;
typedef void (*AudioComponentMethod)();

// The block a factory returns; the instance passes it as `self` to every method.
struct AudioComponentPlugInInterface {
  OSStatus (*Open)(void* self, AudioComponentInstance instance);
  OSStatus (*Close)(void* self);
  AudioComponentMethod (*Lookup)(SInt16 selector);
  void* reserved;
};
typedef AudioComponentPlugInInterface* (*AudioComponentFactoryFunction)(
    const AudioComponentDescription* desc);

// ---- Selectors ----
enum : SInt16 {
  kAudioUnitRange = 0x0000,
  kAudioUnitInitializeSelect = 1,
  kAudioUnitUninitializeSelect = 2,
  kAudioUnitGetPropertyInfoSelect = 3,
  kAudioUnitGetPropertySelect = 4,
  kAudioUnitSetPropertySelect = 5,
  kAudioUnitGetParameterSelect = 6,
  kAudioUnitSetParameterSelect = 7,
  kAudioUnitResetSelect = 9,
  kAudioUnitAddPropertyListenerSelect = 10,
  kAudioUnitRemovePropertyListenerSelect = 11,
  kAudioUnitRenderSelect = 14,
  kAudioUnitAddRenderNotifySelect = 15,
  kAudioUnitRemoveRenderNotifySelect = 16,
  kAudioUnitScheduleParametersSelect = 17,
  kAudioUnitRemovePropertyListenerWithUserDataSelect = 18,
  kMusicDeviceMIDIEventSelect = 0x0101,
  kMusicDeviceSysExSelect = 0x0102,
  kMusicDevicePrepareInstrumentSelect = 0x0103,
  kMusicDeviceReleaseInstrumentSelect = 0x0104,
  kMusicDeviceStartNoteSelect = 0x0105,
  kMusicDeviceStopNoteSelect = 0x0106
};

// ---- Result codes ----
enum : OSStatus {
  kAudio_ParamError = -50,
  kAudioUnitErr_InvalidProperty = -10879,
  kAudioUnitErr_InvalidParameter = -10878,
  kAudioUnitErr_InvalidElement = -10877,
  kAudioUnitErr_NoConnection = -10876,
  kAudioUnitErr_FailedInitialization = -10875,
  kAudioUnitErr_TooManyFramesToProcess = -10874,
  kAudioUnitErr_FormatNotSupported = -10868,
  kAudioUnitErr_Uninitialized = -10867,
  kAudioUnitErr_InvalidScope = -10866,
  kAudioUnitErr_PropertyNotWritable = -10865,
  kAudioUnitErr_InvalidPropertyValue = -10851,
  kAudioUnitErr_PropertyNotInUse = -10850,
  kAudioUnitErr_InvalidParameterValue = -66743
};

// ---- Scopes ----
enum : AudioUnitScope {
  kAudioUnitScope_Global = 0,
  kAudioUnitScope_Input = 1,
  kAudioUnitScope_Output = 2
};

// ---- Property ids ----
enum : AudioUnitPropertyID {
  kAudioUnitProperty_ClassInfo = 0,
  kAudioUnitProperty_MakeConnection = 1,
  kAudioUnitProperty_SampleRate = 2,
  kAudioUnitProperty_ParameterList = 3,
  kAudioUnitProperty_ParameterInfo = 4,
  kAudioUnitProperty_FastDispatch = 5,
  kAudioUnitProperty_StreamFormat = 8,
  kAudioUnitProperty_ElementCount = 11,
  kAudioUnitProperty_Latency = 12,
  kAudioUnitProperty_SupportedNumChannels = 13,
  kAudioUnitProperty_MaximumFramesPerSlice = 14,
  kAudioUnitProperty_ParameterValueStrings = 16,
  kAudioUnitProperty_GetUIComponentList = 18,
  kAudioUnitProperty_AudioChannelLayout = 19,
  kAudioUnitProperty_TailTime = 20,
  kAudioUnitProperty_BypassEffect = 21,
  kAudioUnitProperty_LastRenderError = 22,
  kAudioUnitProperty_SetRenderCallback = 23,
  kAudioUnitProperty_FactoryPresets = 24,
  kAudioUnitProperty_HostCallbacks = 27,
  kAudioUnitProperty_CurrentPreset = 28,
  kAudioUnitProperty_ElementName = 30,
  kAudioUnitProperty_CocoaUI = 31,
  kAudioUnitProperty_SupportedChannelLayoutTags = 32,
  kAudioUnitProperty_ParameterStringFromValue = 33,
  kAudioUnitProperty_ParameterIDName = 34,
  kAudioUnitProperty_ParameterClumpName = 35,
  kAudioUnitProperty_PresentPreset = 36,
  kAudioUnitProperty_OfflineRender = 37,
  kAudioUnitProperty_ParameterValueFromString = 38,
  kAudioUnitProperty_AUHostIdentifier = 46,
  kMusicDeviceProperty_InstrumentCount = 1000
};

// ---- Component types ----
enum : OSType {
  kAudioUnitType_Effect = 0x61756678,             // 'aufx'
  kAudioUnitCarbonViewComponentType = 0x61757677  // 'auvw'
};

// ---- Render action flags ----
enum : AudioUnitRenderActionFlags {
  kAudioUnitRenderAction_PreRender = 1u << 2,
  kAudioUnitRenderAction_PostRender = 1u << 3,
  kAudioUnitRenderAction_OutputIsSilence = 1u << 4
};

// ---- Callbacks ----
typedef OSStatus (*AURenderCallback)(void* inRefCon, AudioUnitRenderActionFlags* ioActionFlags,
                                     const AudioTimeStamp* inTimeStamp, UInt32 inBusNumber,
                                     UInt32 inNumberFrames, AudioBufferList* ioData);
typedef void (*AudioUnitPropertyListenerProc)(void* inRefCon, AudioUnit inUnit,
                                              AudioUnitPropertyID inID, AudioUnitScope inScope,
                                              AudioUnitElement inElement);
typedef OSStatus (*HostCallback_GetBeatAndTempo)(void* inHostUserData, Float64* outCurrentBeat,
                                                 Float64* outCurrentTempo);
typedef OSStatus (*HostCallback_GetMusicalTimeLocation)(void* inHostUserData,
                                                        UInt32* outDeltaSampleOffsetToNextBeat,
                                                        Float32* outTimeSig_Numerator,
                                                        UInt32* outTimeSig_Denominator,
                                                        Float64* outCurrentMeasureDownBeat);
typedef OSStatus (*HostCallback_GetTransportState)(void* inHostUserData, Boolean* outIsPlaying,
                                                   Boolean* outTransportStateChanged,
                                                   Float64* outCurrentSampleInTimeLine,
                                                   Boolean* outIsCycling,
                                                   Float64* outCycleStartBeat,
                                                   Float64* outCycleEndBeat);

// ---- Property records ----
struct AudioUnitConnection {
  AudioUnit sourceAudioUnit;
  UInt32 sourceOutputNumber;
  UInt32 destInputNumber;
};
static_assert(sizeof(AudioUnitConnection) == 16, "platform layout");

struct AURenderCallbackStruct {
  AURenderCallback inputProc;
  void* inputProcRefCon;
};

struct HostCallbackInfo {
  void* hostUserData;
  HostCallback_GetBeatAndTempo beatAndTempoProc;
  HostCallback_GetMusicalTimeLocation musicalTimeLocationProc;
  HostCallback_GetTransportState transportStateProc;
};
static_assert(sizeof(HostCallbackInfo) == 32, "platform layout");

struct AUPreset {
  SInt32 presetNumber;
  CFStringRef presetName;
};

struct AudioUnitCocoaViewInfo {
  CFURLRef mCocoaAUViewBundleLocation;
  CFStringRef mCocoaAUViewClass[1];
};

// A version in its four bytes, least significant first as they lie in memory.
struct NumVersion {
  UInt8 nonRelRev;
  UInt8 stage;
  UInt8 minorAndBugRev;  // minor in the high nibble, bug-fix revision in the low
  UInt8 majorRev;
};

struct AUHostVersionIdentifier {
  CFStringRef hostName;
  NumVersion hostVersion;
};

typedef UInt32 AudioUnitParameterUnit;
enum : AudioUnitParameterUnit {
  kAudioUnitParameterUnit_Generic = 0,
  kAudioUnitParameterUnit_Indexed = 1,
  kAudioUnitParameterUnit_Boolean = 2,
  kAudioUnitParameterUnit_Percent = 3,
  kAudioUnitParameterUnit_Decibels = 13,
  kAudioUnitParameterUnit_CustomUnit = 26
};

typedef UInt32 AudioUnitParameterOptions;
enum : AudioUnitParameterOptions {
  kAudioUnitParameterFlag_CFNameRelease = 1u << 4,
  kAudioUnitParameterFlag_HasClump = 1u << 20,
  kAudioUnitParameterFlag_HasCFNameString = 1u << 27,
  kAudioUnitParameterFlag_IsElementMeta = 1u << 29,
  kAudioUnitParameterFlag_IsReadable = 1u << 30,
  kAudioUnitParameterFlag_IsWritable = 1u << 31
};

struct AudioUnitParameterInfo {
  char name[52];
  CFStringRef unitName;
  UInt32 clumpID;
  CFStringRef cfNameString;
  AudioUnitParameterUnit unit;
  AudioUnitParameterValue minValue;
  AudioUnitParameterValue maxValue;
  AudioUnitParameterValue defaultValue;
  AudioUnitParameterOptions flags;
};
static_assert(sizeof(AudioUnitParameterInfo) == 104, "platform layout");

struct AudioUnitParameterStringFromValue {
  AudioUnitParameterID inParamID;
  const AudioUnitParameterValue* inValue;
  CFStringRef outString;
};
static_assert(sizeof(AudioUnitParameterStringFromValue) == 24, "platform layout");

struct AudioUnitParameterValueFromString {
  AudioUnitParameterID inParamID;
  CFStringRef inString;
  AudioUnitParameterValue outValue;
};
static_assert(sizeof(AudioUnitParameterValueFromString) == 24, "platform layout");

// ParameterIDName and ParameterClumpName: inID is a parameter or a clump id.
struct AudioUnitParameterNameInfo {
  UInt32 inID;
  SInt32 inDesiredLength;
  CFStringRef outName;
};
typedef AudioUnitParameterNameInfo AudioUnitParameterIDName;
enum : SInt32 { kAudioUnitParameterName_Full = -1 };
enum : UInt32 { kAudioUnitClumpID_System = 0 };

typedef UInt32 AUParameterEventType;
enum : AUParameterEventType { kParameterEvent_Immediate = 1, kParameterEvent_Ramped = 2 };

struct AudioUnitParameterEvent {
  AudioUnitScope scope;
  AudioUnitElement element;
  AudioUnitParameterID parameter;
  AUParameterEventType eventType;
  union {
    struct {
      SInt32 startBufferOffset;
      UInt32 durationInFrames;
      AudioUnitParameterValue startValue;
      AudioUnitParameterValue endValue;
    } ramp;
    struct {
      UInt32 bufferOffset;
      AudioUnitParameterValue value;
    } immediate;
  } eventValues;
};

// ---- The methods a factory-route Lookup hands out, by selector ----
typedef OSStatus (*AudioUnitInitializeProc)(void* self);
typedef OSStatus (*AudioUnitUninitializeProc)(void* self);
typedef OSStatus (*AudioUnitGetPropertyInfoProc)(void* self, AudioUnitPropertyID prop,
                                                 AudioUnitScope scope, AudioUnitElement elem,
                                                 UInt32* outDataSize, Boolean* outWritable);
typedef OSStatus (*AudioUnitGetPropertyProc)(void* self, AudioUnitPropertyID prop,
                                             AudioUnitScope scope, AudioUnitElement elem,
                                             void* outData, UInt32* ioDataSize);
typedef OSStatus (*AudioUnitSetPropertyProc)(void* self, AudioUnitPropertyID prop,
                                             AudioUnitScope scope, AudioUnitElement elem,
                                             const void* inData, UInt32 inDataSize);
typedef OSStatus (*AudioUnitGetParameterProc)(void* self, AudioUnitParameterID param,
                                              AudioUnitScope scope, AudioUnitElement elem,
                                              AudioUnitParameterValue* outValue);
typedef OSStatus (*AudioUnitSetParameterProc)(void* self, AudioUnitParameterID param,
                                              AudioUnitScope scope, AudioUnitElement elem,
                                              AudioUnitParameterValue value,
                                              UInt32 bufferOffsetInFrames);
typedef OSStatus (*AudioUnitResetProc)(void* self, AudioUnitScope scope, AudioUnitElement elem);
typedef OSStatus (*AudioUnitAddPropertyListenerProc)(void* self, AudioUnitPropertyID prop,
                                                     AudioUnitPropertyListenerProc proc,
                                                     void* userData);
typedef OSStatus (*AudioUnitRemovePropertyListenerProc)(void* self, AudioUnitPropertyID prop,
                                                        AudioUnitPropertyListenerProc proc);
typedef OSStatus (*AudioUnitRemovePropertyListenerWithUserDataProc)(
    void* self, AudioUnitPropertyID prop, AudioUnitPropertyListenerProc proc, void* userData);
typedef OSStatus (*AudioUnitRenderProc)(void* self, AudioUnitRenderActionFlags* ioActionFlags,
                                        const AudioTimeStamp* inTimeStamp, UInt32 inBusNumber,
                                        UInt32 inNumberFrames, AudioBufferList* ioData);
typedef OSStatus (*AudioUnitAddRenderNotifyProc)(void* self, AURenderCallback proc, void* userData);
typedef OSStatus (*AudioUnitRemoveRenderNotifyProc)(void* self, AURenderCallback proc,
                                                    void* userData);
typedef OSStatus (*AudioUnitScheduleParametersProc)(void* self,
                                                    const AudioUnitParameterEvent* events,
                                                    UInt32 numEvents);

// ---- Components and instances ----
// Registers a factory-route component; the name is copied.
AudioComponent AudioComponentRegister(const AudioComponentDescription* desc, const char* name,
                                      UInt32 version, AudioComponentFactoryFunction factory);
// The next registered component after inComponent (null: the first) matching desc, where
// a zero field of desc matches anything.
AudioComponent AudioComponentFindNext(AudioComponent inComponent,
                                      const AudioComponentDescription* desc);
OSStatus AudioComponentGetDescription(AudioComponent component, AudioComponentDescription* out);
OSStatus AudioComponentInstanceNew(AudioComponent component, AudioComponentInstance* out);
OSStatus AudioComponentInstanceDispose(AudioComponentInstance instance);
AudioComponent AudioComponentInstanceGetComponent(AudioComponentInstance instance);
// Whether the component's route offers the selector (Lookup or the can-do selector).
Boolean AudioComponentInstanceCanDo(AudioComponentInstance instance, SInt16 selector);

// ---- Host calls on an instance ----
OSStatus AudioUnitInitialize(AudioUnit unit);
OSStatus AudioUnitUninitialize(AudioUnit unit);
OSStatus AudioUnitGetPropertyInfo(AudioUnit unit, AudioUnitPropertyID prop, AudioUnitScope scope,
                                  AudioUnitElement elem, UInt32* outDataSize, Boolean* outWritable);
OSStatus AudioUnitGetProperty(AudioUnit unit, AudioUnitPropertyID prop, AudioUnitScope scope,
                              AudioUnitElement elem, void* outData, UInt32* ioDataSize);
OSStatus AudioUnitSetProperty(AudioUnit unit, AudioUnitPropertyID prop, AudioUnitScope scope,
                              AudioUnitElement elem, const void* inData, UInt32 inDataSize);
OSStatus AudioUnitGetParameter(AudioUnit unit, AudioUnitParameterID param, AudioUnitScope scope,
                               AudioUnitElement elem, AudioUnitParameterValue* outValue);
OSStatus AudioUnitSetParameter(AudioUnit unit, AudioUnitParameterID param, AudioUnitScope scope,
                               AudioUnitElement elem, AudioUnitParameterValue value,
                               UInt32 bufferOffsetInFrames);
OSStatus AudioUnitScheduleParameters(AudioUnit unit, const AudioUnitParameterEvent* events,
                                     UInt32 numEvents);
OSStatus AudioUnitReset(AudioUnit unit, AudioUnitScope scope, AudioUnitElement elem);
OSStatus AudioUnitRender(AudioUnit unit, AudioUnitRenderActionFlags* ioActionFlags,
                         const AudioTimeStamp* inTimeStamp, UInt32 inOutputBusNumber,
                         UInt32 inNumberFrames, AudioBufferList* ioData);
OSStatus AudioUnitAddPropertyListener(AudioUnit unit, AudioUnitPropertyID prop,
                                      AudioUnitPropertyListenerProc proc, void* userData);
OSStatus AudioUnitRemovePropertyListenerWithUserData(AudioUnit unit, AudioUnitPropertyID prop,
                                                     AudioUnitPropertyListenerProc proc,
                                                     void* userData);
OSStatus AudioUnitAddRenderNotify(AudioUnit unit, AURenderCallback proc, void* userData);
OSStatus AudioUnitRemoveRenderNotify(AudioUnit unit, AURenderCallback proc, void* userData);
