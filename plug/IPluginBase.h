#pragma once

#include "ByteChunk.h"
#include "IParam.h"
#include "IPluginStructs.h"
#include "IPreset.h"
#include "ProgramFiles.h"
#include "PtrList.h"
#include "RecursiveMutex.h"
#include "StrBuf.h"
#include "TypedBuf.h"

class IEditor;
struct IMidiMsg;
struct ISysEx;

enum { MAX_EFFECT_NAME_LEN = 128 };

// The host-independent core of a plug-in: parameters, presets, channel
// configurations and per-channel buffers, the plug-in's single recursive lock
// and the attached editor.  Host wrappers derive from it and fill in the
// operations that talk to the host; the effect overrides the processing hooks.
class IPluginBase {
 public:
  struct ChannelIO {
    int mIn, mOut;
  };
  struct InChannel {
    bool mConnected = false;
    double** mSrc = nullptr;  // this channel's entry in the input pointer array
    TypedBuf<double> mScratchBuf;
    StrBuf mLabel;
  };
  struct OutChannel {
    bool mConnected = false;
    double** mDest = nullptr;  // this channel's entry in the output pointer array
    float* mFDest = nullptr;   // the host's float buffer, when it delivers floats
    TypedBuf<double> mScratchBuf;
    StrBuf mLabel;
  };

  IPluginBase(int nParams, const char* channelIOStr, int nPresets, const char* effectName,
              const char* productName, const char* mfrName, int vendorVersion, int uniqueID,
              int mfrID, int latency, bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst,
              EAPI plugAPI);
  virtual ~IPluginBase();

  IPluginBase(const IPluginBase&) = delete;
  IPluginBase& operator=(const IPluginBase&) = delete;

  // ---- Virtual operations, in slot order ----
  virtual void Reset();
  virtual void OnParamChange(int paramIdx);
  virtual void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames);
  virtual void OnGUIOpen() {}
  virtual void OnGUIClose() {}
  virtual void OnIdle() {}
  virtual void OnActivate(bool active);
  virtual void ProcessMidiMsg(IMidiMsg* msg);
  virtual void ProcessSysEx(ISysEx*) {}
  virtual bool MidiNoteName(int noteNumber, char* name);
  virtual bool SerializeState(ByteChunk* chunk);
  virtual int UnserializeState(ByteChunk* chunk, int startPos);
  virtual bool CompareState(const unsigned char* data, int startIndex);
  virtual void OnWindowResize() {}
  virtual bool HostRequestingAboutBox() { return false; }
  virtual void OnHostIdentified() {}
  virtual void PopupHostContextMenuForParam(int, int, int) {}
  virtual void SetParameterFromGUI(int idx, double normalizedValue);
  virtual void BeginInformHostOfParamChange(int idx) = 0;
  virtual void InformHostOfParamChange(int idx, double normalizedValue) = 0;
  virtual void EndInformHostOfParamChange(int idx) = 0;
  virtual void InformHostOfProgramChange() = 0;
  virtual bool IsRenderingOffline() { return false; }
  virtual int GetSamplePos() = 0;
  virtual double GetTempo() = 0;
  virtual void GetTimeSig(int* numerator, int* denominator) = 0;
  virtual void GetTime(ITimeInfo* timeInfo) = 0;
  virtual EHost GetHost() { return mHost; }
  virtual EAPI GetAPI() { return mAPI; }
  // The editor is now w x h window pixels; the wrapper tells its host.
  virtual void ResizeGraphics(int w, int h) = 0;
  virtual void HostSpecificInit() {}
  virtual void AttachGraphics(IEditor* graphics);
  virtual void SetLatency(int samples) { mLatency = samples; }
  virtual bool SendMidiMsg(IMidiMsg* msg) = 0;
  virtual bool SendSysEx(ISysEx*) { return false; }
  virtual void RedrawParamControls();
  virtual void DirtyPTCompareState() {}
  virtual void PresetsChangedByHost() {}
  virtual void SetBlockSize(int blockSize);

  // ---- Identity ----
  const char* GetEffectName() const { return mEffectName; }
  const char* GetProductName() const { return mProductName; }
  const char* GetMfrName() const { return mMfrName; }
  int GetUniqueID() const { return mUniqueID; }
  int GetMfrID() const { return mMfrID; }
  int GetEffectVersion(bool decimal) const;
  void GetEffectVersionStr(char* out) const;
  int GetHostVersion(bool decimal);
  void GetHostVersionStr(char* out);
  void SetHost(const char* name, int version);
  const char* GetAPIString();
  const char* GetArchString() const { return "x64"; }
  bool DoesStateChunks() const { return mStateChunks; }
  bool IsInst() const { return mIsInst; }
  bool DoesMIDI() const { return mDoesMIDI; }

  // ---- Parameters ----
  IParam* GetParam(int idx) const { return mParams.Get(idx); }
  int NParams() const { return mParams.GetSize(); }
  void OnParamReset();
  // A host's change of a parameter, in its own units, under the plug-in lock: refused
  // (false) for an unknown index or NaN, otherwise clamped to the range and stored,
  // shown on the editor, then passed to OnParamChange.  Used by every wrapper.
  bool SetParameterFromHost(int idx, double value);
  void DirtyParameters();
  IEditor* GetGUI() const { return mGraphics; }
  PtrList<const char>& ParamGroups() { return mParamGroups; }

  // ---- State and presets ----
  bool SerializeParams(ByteChunk* chunk);
  int UnserializeParams(ByteChunk* chunk, int startPos);
  void MakeDefaultPreset(const char* name = nullptr, int nPresets = 1);
  // One value per parameter in index order: an int for bool, int and enum
  // parameters, a double for the others.
  void MakePreset(const char* name, ...);
  // count pairs of (parameter index, value); unnamed parameters take their current value.
  void MakePresetFromNamedParams(const char* name, int count, ...);
  void MakePresetFromChunk(const char* name, const ByteChunk* chunk);
  // The chunk is the Base64 text decoded into exactly size bytes.
  void MakePresetFromBlob(const char* name, const char* blob, int size);
  void EnsureDefaultPreset();
  void PruneUninitializedPresets();
  bool RestorePreset(int idx);
  bool RestorePreset(const char* name);
  const char* GetPresetName(int idx) const;
  void ModifyCurrentPreset(const char* name = nullptr);
  bool SerializePresets(ByteChunk* chunk);
  int UnserializePresets(ByteChunk* chunk, int startPos);
  // Text for pasting into source; false when the file can't be written.
  bool DumpPresetSrcCode(const char* path, const char** paramNames);
  bool DumpPresetBlob(const char* path);
  bool DumpBankBlob(const char* path);
  int NPresets() const { return mPresets.GetSize(); }
  IPreset* GetPreset(int idx) const { return mPresets.Get(idx); }
  int GetCurrentPresetIdx() const { return mCurrentPresetIdx; }

  // ---- Program and bank files ----
  bool SaveProgramAsFXP(StrBuf* path);
  bool SaveBankAsFXB(StrBuf* path);
  bool LoadProgramFromFXP(StrBuf* path);
  bool LoadBankFromFXB(StrBuf* path);
  // The bytes of a program or bank file of the current state; false when out of memory.
  bool MakeProgramFile(ByteChunk* out);
  bool MakeBankFile(ByteChunk* out);
  // Load a whole program or bank file held in memory; on any error nothing changes.
  EFxError LoadProgramFile(ByteChunk* file);
  EFxError LoadBankFile(ByteChunk* file);

  // ---- MIDI ----
  // Sends every message; true only when every send succeeded.
  bool SendMidiMsgs(TypedBuf<IMidiMsg>* msgs);

  // ---- Channels and buffers ----
  int NChannelIO() const { return mChannelIO.GetSize(); }
  bool GetChannelIO(int idx, int* nIn, int* nOut) const;
  bool LegalIO(int nIn, int nOut) const;
  int NInChannels() const { return mInChannels.GetSize(); }
  int NOutChannels() const { return mOutChannels.GetSize(); }
  void SetInputChannelConnections(int idx, int n, bool connected);
  void SetOutputChannelConnections(int idx, int n, bool connected);
  bool IsInChannelConnected(int chIdx) const;
  bool IsOutChannelConnected(int chIdx) const;
  void AttachInputBuffers(int idx, int n, double** data, int nFrames);
  void AttachInputBuffers(int idx, int n, float** data, int nFrames);
  void AttachOutputBuffers(int idx, int n, double** data);
  void AttachOutputBuffers(int idx, int n, float** data);
  void PassThroughBuffers(double sampleType, int nFrames);
  void PassThroughBuffers(float sampleType, int nFrames);
  void ProcessBuffers(double sampleType, int nFrames);
  void ProcessBuffers(float sampleType, int nFrames);
  void ProcessBuffersAccumulating(float sampleType, int nFrames);
  void ZeroScratchBuffers();

  void SetInputLabel(int idx, const char* label);
  void SetOutputLabel(int idx, const char* label);
  const char* GetInputLabel(int idx) const;
  const char* GetOutputLabel(int idx) const;
  void SetInputBusLabel(int idx, const char* label);
  void SetOutputBusLabel(int idx, const char* label);
  const char* GetInputBusLabel(int idx) const;
  const char* GetOutputBusLabel(int idx) const;

  // ---- Rate, block size and timing ----
  double GetSampleRate() const { return mSampleRate; }
  void SetSampleRate(double sampleRate) { mSampleRate = sampleRate; }
  int GetBlockSize() const { return mBlockSize; }
  int GetLatency() const { return mLatency; }
  int GetTailSize() const { return mTailSize; }
  double GetSamplesPerBeat();
  bool IsBypassed() const { return mIsBypassed; }
  void SetBypassed(bool bypassed) { mIsBypassed = bypassed; }

  RecursiveMutex& Mutex() { return mMutex; }

 protected:
  // Frames that the buffer operations may touch: nFrames limited to 0..block size.
  int ClampFrames(int nFrames) const;
  void ConvertOutputsToFloat(int nFrames, bool accumulate);
  // Points every channel slot at its own scratch buffer.
  void PointSlotsAtScratch();

  PtrList<ChannelIO> mChannelIO;
  RecursiveMutex mMutex;
  char mEffectName[MAX_EFFECT_NAME_LEN];
  char mProductName[MAX_EFFECT_NAME_LEN];
  char mMfrName[MAX_EFFECT_NAME_LEN];
  int mUniqueID, mMfrID, mVersion;
  EAPI mAPI;
  EHost mHost = -1;
  int mHostVersion = 0;
  bool mStateChunks, mIsInst, mDoesMIDI;
  bool mIsBypassed = false;
  int mCurrentPresetIdx = 0;
  double mSampleRate = 44100.0;
  int mBlockSize = 0;
  int mLatency;
  int mTailSize = 0;
  PtrList<const char> mParamGroups;
  IEditor* mGraphics = nullptr;
  PtrList<IParam> mParams;
  PtrList<IPreset> mPresets;
  TypedBuf<double*> mInData, mOutData;
  PtrList<InChannel> mInChannels;
  PtrList<OutChannel> mOutChannels;
  PtrList<StrBuf> mInputBusLabels, mOutputBusLabels;

 private:
  void ParseChannelIO(const char* channelIOStr);
  IPreset* NextFreePreset(const char* name);
  void ApplyProgramValues(ByteChunk* file, const FxProgramInfo& program);
  EFxError LoadProgramChunk(ByteChunk* file, const FxProgramInfo& program);
  EFxError LoadBankChunk(ByteChunk* file, const FxBankInfo& bank);
  void LoadBankPrograms(ByteChunk* file, const FxBankInfo& bank);
};

// The effect's instance factory, defined once by the effect in each binary: constructs
// it in place at memory, or on the heap when memory is null.
IPluginBase* MakePlug(void* memory);
