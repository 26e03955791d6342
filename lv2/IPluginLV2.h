#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "IPluginBase.h"

// Block size used when the host does not state its maximum, and the largest accepted.
enum { kLV2DefaultBlockSize = 4096, kLV2MaxBlockSize = 1 << 16 };

// The ids, from the host's URI map, under which the state chunk is stored: its key
// and its type (an atom chunk).  Zero while the host has not offered a map.
struct LV2StateURIDs {
  uint32_t mChunkKey = 0;
  uint32_t mChunkType = 0;
};

// The LV2 effect wrapper on the plug-in base.  Its ports are the parameters in index
// order, then the audio inputs, then the audio outputs, all of one channel
// configuration chosen at instantiation, then an optional output reporting the latency.
// A control port that moved is applied at the
// start of a block, the way a host's parameter change is: clamped, then OnParamChange;
// the audio goes through the base's float path.
//
// Threads: LV2 keeps run() apart from every other instance call except state save.  So
// the audio thread takes no lock: it alone touches the parameters while running, and
// hands their values to save through one atomic per parameter.  Every other call runs
// alone and may take the plug-in lock as the base does.
class IPluginLV2 : public IPluginBase {
 public:
  // The same arguments as the other wrappers, so that the effect's constructor is one.
  IPluginLV2(IPluginInstanceInfo instanceInfo, int nParams, const char* channelIOStr, int nPresets,
             const char* effectName, const char* productName, const char* mfrName,
             int vendorVersion, int uniqueID, int mfrID, int latency, bool plugDoesMidi,
             bool plugDoesChunks, bool plugIsInst, int plugScChans);
  ~IPluginLV2() override;

  // The base's defaults take the plug-in lock; here they run on the audio thread too
  // (OnParamChange for a moved port), where nothing may wait.
  void OnParamChange(int) override {}
  void Reset() override {}
  void OnActivate(bool) override {}

  // ---- Host notifications: LV2 has no channel back to the host for these ----
  void BeginInformHostOfParamChange(int) override {}
  void InformHostOfParamChange(int, double) override {}
  void EndInformHostOfParamChange(int) override {}
  void InformHostOfProgramChange() override {}
  int GetSamplePos() override { return static_cast<int>(mSamplePos); }
  double GetTempo() override { return 120.0; }
  void GetTimeSig(int* numerator, int* denominator) override;
  void GetTime(ITimeInfo* timeInfo) override;
  void ResizeGraphics(int, int) override {}
  bool SendMidiMsg(IMidiMsg*) override { return false; }

  // ---- Instantiation (host's instantiation thread) ----
  // Picks the configuration nChannels-nChannels, the rate and the block size.  False,
  // changing nothing, when the configuration is not legal or memory runs out.
  bool Configure(int nChannels, double sampleRate, int maxBlockSize);
  int NChannels() const { return mNChannels; }
  int NPorts() const { return NParams() + 2 * mNChannels; }
  // The latency output's index: after every other port, so it can be left unconnected.
  int LatencyPort() const { return NPorts(); }
  // Ports outside the plug-in's list are ignored.
  void ConnectPort(uint32_t port, void* data);
  void Activate();
  void Deactivate();

  // Audio thread: applies changed controls, then processes nFrames in pieces of at most
  // the block size.  Allocates nothing and takes no lock.
  void Run(uint32_t nFrames);

  // ---- State: the state chunk as one property (host's state calls) ----
  void SetStateURIDs(const LV2StateURIDs& ids) { mStateURIDs = ids; }
  const LV2StateURIDs& StateURIDs() const { return mStateURIDs; }
  // The chunk as the plug-in would save it now: the parameters' values as the audio
  // thread last handed them over.  Safe beside Run; false when out of memory.
  bool SaveStateChunk(ByteChunk* chunk);
  // Applies a saved chunk only when it holds a finite value for every parameter;
  // otherwise false and nothing changes.  Trailing bytes are ignored.
  bool RestoreStateChunk(const void* data, size_t size);

  // The control value last seen for a parameter: its port's value, or the float
  // nearest the parameter's value after configuration and restores.
  float LastControlValue(int paramIdx) const;

 private:
  void SyncFromParams();
  void ApplyControls();
  void ProcessPiece(uint32_t offset, int nFrames);

  int mNChannels = 0;
  TypedBuf<float*> mPorts;        // the host's buffers, one per port
  TypedBuf<float> mLastControls;  // per parameter, the last value applied from its port
  // Per parameter, its value for state save: stored by whichever thread changed it.
  std::unique_ptr<std::atomic<double>[]> mSavedValues;
  TypedBuf<float*> mIn, mOut;    // the audio ports' buffers, handed to the base
  float* mLatencyOut = nullptr;  // where Run reports GetLatency(), when connected
  double mSamplePos = 0.0;
  LV2StateURIDs mStateURIDs;
};
