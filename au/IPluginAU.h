#pragma once

#include "AudioUnit.h"
#include "IPluginBase.h"

// The private property that hands the plug-in object to the view factory.
enum : AudioUnitPropertyID { kIPlugObjectPropertyID = static_cast<AudioUnitPropertyID>(-101) };

// The largest maximum-frames-per-slice a host may set.
enum { kMaxAUBlockSize = 1 << 20 };

// The Audio Unit (version 2) effect wrapper on the plug-in base: buses and their
// connections, the property interface and saved state, rendering, listeners and
// notifications to the host.  Every host entry holds the plug-in lock throughout.
class IPluginAU : public IPluginBase {
 public:
  // How an input bus gets its audio.
  enum EAUInputType {
    eNotConnected = 0,
    eDirectFastProc = 1,
    eDirectNoFastProc = 2,
    eRenderCallback = 3
  };

  struct BusChannels {
    bool mConnected = false;
    int mNHostChannels = -1;  // -1 until the host sets a stream format
    int mNPlugChannels = 0;
    int mPlugChannelStartIdx = 0;
  };

  struct InputBusConnection {
    void* mUpstreamObj = nullptr;  // the upstream unit's instance storage
    AudioUnit mUpstreamUnit = nullptr;
    int mUpstreamBusIdx = 0;
    AudioUnitRenderProc mUpstreamRenderProc = nullptr;
    AURenderCallbackStruct mUpstreamRenderCallback = {nullptr, nullptr};
    EAUInputType mInputType = eNotConnected;
  };

  struct PropertyListener {
    AudioUnitPropertyID mPropID;
    AudioUnitPropertyListenerProc mListenerProc;
    void* mProcArgs;
  };

  struct RenderNotify {
    AURenderCallback mFunc;
    void* mUserData;
  };

  IPluginAU(IPluginInstanceInfo instanceInfo, int nParams, const char* channelIOStr, int nPresets,
            const char* effectName, const char* productName, const char* mfrName, int vendorVersion,
            int uniqueID, int mfrID, int latency, bool plugDoesMidi, bool plugDoesChunks,
            bool plugIsInst, int plugScChans);
  ~IPluginAU() override;

  // ---- Host notification and time info ----
  void BeginInformHostOfParamChange(int idx) override;
  void InformHostOfParamChange(int idx, double normalizedValue) override;
  void EndInformHostOfParamChange(int idx) override;
  void InformHostOfProgramChange() override;
  bool IsRenderingOffline() override { return mIsOffline; }
  int GetSamplePos() override;
  double GetTempo() override;
  void GetTimeSig(int* numerator, int* denominator) override;
  void GetTime(ITimeInfo* timeInfo) override;
  EHost GetHost() override;
  void ResizeGraphics(int w, int h) override;
  void HostSpecificInit() override;
  void SetLatency(int samples) override;
  bool SendMidiMsg(IMidiMsg*) override { return false; }
  void SetBlockSize(int blockSize) override;

  // Posts a parameter event of the given type for parameter idx of instance.
  static void SendAUEvent(UInt32 type, AudioComponentInstance instance, int idx);

  // ---- The older selector route ----
  static ComponentResult IPluginAUEntry(ComponentParameters* params, void* storage);

  // ---- Operations both routes reach ----
  OSStatus DoInitialize();
  OSStatus DoUninitialize();
  OSStatus DoGetParameter(AudioUnitParameterID id, AudioUnitScope scope, AudioUnitElement elem,
                          AudioUnitParameterValue* value);
  OSStatus SetParamProc(AudioUnitParameterID id, AudioUnitScope scope, AudioUnitElement elem,
                        AudioUnitParameterValue value);
  OSStatus DoScheduleParameters(const AudioUnitParameterEvent* events, UInt32 nEvents);
  OSStatus DoReset();
  OSStatus DoAddPropertyListener(AudioUnitPropertyID id, AudioUnitPropertyListenerProc proc,
                                 void* userData);
  OSStatus DoRemovePropertyListener(AudioUnitPropertyID id, AudioUnitPropertyListenerProc proc);
  OSStatus DoRemovePropertyListenerWithUserData(AudioUnitPropertyID id,
                                                AudioUnitPropertyListenerProc proc, void* userData);
  OSStatus DoAddRenderNotify(AURenderCallback proc, void* userData);
  OSStatus DoRemoveRenderNotify(AURenderCallback proc);
  // Host-facing property access: the lock, then a size check before data is touched.
  OSStatus DoGetPropertyInfo(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement elem,
                             UInt32* size, Boolean* writable);
  OSStatus DoGetProperty(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement elem,
                         void* data, UInt32* size);
  OSStatus DoSetProperty(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement elem,
                         const void* data, UInt32 size);
  OSStatus DoRender(AudioUnitRenderActionFlags* flags, const AudioTimeStamp* timestamp,
                    UInt32 outputBusIdx, UInt32 nFrames, AudioBufferList* ioData);

  // ---- Properties and state (called with the lock held) ----
  // With data, *size holds the bytes available there on entry; it always returns the
  // property's size.
  OSStatus GetProperty(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement elem,
                       UInt32* size, Boolean* writable, void* data);
  OSStatus SetProperty(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement elem,
                       UInt32* size, const void* data);
  OSStatus GetState(CFPropertyListRef* out);
  OSStatus SetState(CFPropertyListRef dict);
  void InformListeners(AudioUnitPropertyID id, AudioUnitScope scope);

  // ---- Rendering and buses ----
  static OSStatus RenderProc(void* plug, AudioUnitRenderActionFlags* flags,
                             const AudioTimeStamp* timestamp, UInt32 outputBusIdx, UInt32 nFrames,
                             AudioBufferList* ioData);
  void AssessInputConnections();
  int NHostChannelsConnected(const PtrList<BusChannels>& buses, int excludeIdx = -1) const;
  bool CheckLegalIO(AudioUnitScope scope, int busIdx, int nChannels) const;
  bool CheckLegalIO() const;
  BusChannels* GetBus(AudioUnitScope scope, AudioUnitElement idx) const;
  int NInBuses() const { return mInBuses.GetSize(); }
  int NOutBuses() const { return mOutBuses.GetSize(); }
  const InputBusConnection* GetInputConnection(int idx) const { return mInBusConnections.Get(idx); }

  // ---- Identity and host handle ----
  const char* GetBundleID() const { return mBundleID.Get(); }
  const char* GetCocoaViewFactoryClassName() const { return mCocoaViewFactoryClassName.Get(); }
  AudioComponentInstance GetInstance() const { return mCI; }
  void SetInstance(AudioComponentInstance ci) { mCI = ci; }
  bool IsActive() const { return mActive; }
  // The block-sized float scratch the render path points null host buffers at.
  float* OutputScratch(int plugChannel, int nFrames) const;

 protected:
  void ClearConnections();

 private:
  OSStatus PropertyInfo(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement elem,
                        UInt32* size, Boolean* writable, bool hasData);
  OSStatus PropertyData(AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement elem,
                        void* data);
  OSStatus GetParameterInfo(AudioUnitElement elem, AudioUnitParameterInfo* info);
  OSStatus GetParamValueStrings(AudioUnitElement elem, CFArrayRef* out);
  OSStatus GetFactoryPresets(CFArrayRef* out);
  OSStatus GetStreamFormat(AudioUnitScope scope, AudioUnitElement elem,
                           AudioStreamBasicDescription* out);
  OSStatus GetCocoaUI(AudioUnitCocoaViewInfo* out);
  OSStatus GetNameProperty(AudioUnitPropertyID id, AudioUnitScope scope,
                           AudioUnitParameterNameInfo* info);
  OSStatus GetStringFromValue(AudioUnitParameterStringFromValue* io);
  OSStatus GetValueFromString(AudioUnitParameterValueFromString* io);
  OSStatus GetElementName(AudioUnitScope scope, AudioUnitElement elem, CFStringRef* out);
  OSStatus SetConnection(AudioUnitScope scope, const AudioUnitConnection* conn);
  OSStatus SetStreamFormat(AudioUnitScope scope, AudioUnitElement elem,
                           const AudioStreamBasicDescription* format);
  OSStatus SetRenderCallback(AudioUnitScope scope, AudioUnitElement elem,
                             const AURenderCallbackStruct* callback);
  OSStatus SetHostIdentifier(const AUHostVersionIdentifier* id);
  int FindParamGroup(const char* group);
  bool StateValuesAreFinite(const ByteChunk& chunk) const;

  OSStatus PullInputs(AudioUnitRenderActionFlags* flags, const AudioTimeStamp* timestamp,
                      UInt32 nFrames);
  OSStatus PullInputBus(int busIdx, AudioUnitRenderActionFlags* flags,
                        const AudioTimeStamp* timestamp, UInt32 nFrames);
  void ConnectOutputBus(int busIdx, int nBuffers);
  void CallRenderNotifications(AudioUnitRenderActionFlags flags, const AudioTimeStamp* timestamp,
                               UInt32 outputBusIdx, UInt32 nFrames, AudioBufferList* ioData);
  int LastConnectedOutputBus() const;

  StrBuf mBundleID;
  StrBuf mCocoaViewFactoryClassName;
  AudioComponentInstance mCI = nullptr;
  bool mActive = false;
  bool mIsOffline = false;
  double mLastRenderSampleTime = -1.0;
  double mTempo = 120.0;
  HostCallbackInfo mHostCallbacks = {nullptr, nullptr, nullptr, nullptr};
  PtrList<BusChannels> mInBuses, mOutBuses;
  PtrList<InputBusConnection> mInBusConnections;
  PtrList<PropertyListener> mPropertyListeners;
  PtrList<RenderNotify> mRenderNotify;
  TypedBuf<float> mInScratchBuf, mOutScratchBuf;
  // Per input bus, a buffer list with room for one buffer per plug channel of the bus.
  PtrList<AudioBufferList> mInBufferLists;
  char mParamValueString[MAX_PARAM_DISPLAY_LEN] = {};
};

// The factory block of the audio-component route: the plug-in interface record,
// the construct and destruct functions, two null pointers, then (aligned) the
// storage in which the plug-in object is constructed.
struct IPluginAUFactoryBlock {
  AudioComponentPlugInInterface mInterface;
  OSStatus (*mConstruct)(void* storage, AudioComponentInstance instance);
  void (*mDestruct)(void* storage);
  void* mNull[2];
};

class IPluginAUFactory {
 public:
  // A zeroed block with storage for a plug-in object of objectSize bytes; null when
  // memory runs out.  construct builds the plug-in object in the storage.
  static AudioComponentPlugInInterface* NewBlock(
      size_t objectSize, OSStatus (*construct)(void* storage, AudioComponentInstance instance));
  static OSStatus Open(void* self, AudioComponentInstance instance);
  static OSStatus Close(void* self);
  static AudioComponentMethod Lookup(SInt16 selector);
  static void Destruct(void* storage);
  static void* Storage(void* self);
  static IPluginAU* Plug(void* self);
};
