#pragma once

// A small host for the wrapper's tests: opens units through either entry route,
// sets formats, and renders with input from a render callback.  TestAU is a bare
// plug-in on the wrapper that records what the wrapper calls on it.

#include <vector>

#include "AudioUnit.h"
#include "IPluginAU.h"

enum class Route { kFactory, kEntry };

// A pass-through plug-in with channel configurations "1-1 2-2" and three parameters.
class TestAU : public IPluginAU {
 public:
  explicit TestAU(IPluginInstanceInfo info);
  void OnParamChange(int idx) override { calls.push_back(idx); }
  void OnActivate(bool active) override { calls.push_back(active ? kActivated : kDeactivated); }
  void Reset() override { ++resets; }
  void ProcessDoubleReplacing(double** in, double** out, int nFrames) override;

  enum { kActivated = 100, kDeactivated = 101 };
  std::vector<int> calls;
  int resets = 0;
  int processed = 0;
  // False once a block found a channel slot off its own scratch buffer of the block size.
  bool slotsOnScratch = true;
};

// The TestAU component (factory route, subtype 'Test').
AudioComponent TestAUComponent();
// The effect's component through the given route.
AudioComponent EffectComponent(Route route);

// One opened unit; closes it when it goes.
class UnitHandle {
 public:
  explicit UnitHandle(AudioComponent component);
  ~UnitHandle();
  UnitHandle(const UnitHandle&) = delete;
  UnitHandle& operator=(const UnitHandle&) = delete;

  AudioUnit Get() const { return mUnit; }
  IPluginAU* Plug() const;
  OSStatus SetFormat(AudioUnitScope scope, UInt32 nChannels, Float64 rate = 44100.0);
  OSStatus SetUInt32(AudioUnitPropertyID id, UInt32 value);
  // Input from a render callback that counts its calls and fills sample time + channel.
  OSStatus ConnectInput();
  // Renders nFrames into out (one vector per buffer) at sampleTime.
  OSStatus Render(std::vector<std::vector<float>>& out, UInt32 nFrames, double sampleTime);

  int pulls = 0;
  std::vector<std::vector<float>> input;  // what the callback delivers, per channel

 private:
  static OSStatus InputProc(void* refCon, AudioUnitRenderActionFlags*, const AudioTimeStamp*,
                            UInt32 bus, UInt32 nFrames, AudioBufferList* ioData);
  AudioUnit mUnit = nullptr;
};

// A time stamp with a valid sample time.
AudioTimeStamp SampleTime(double t);
// A buffer list of n buffers kept in a byte vector.
AudioBufferList* MakeBufferList(std::vector<unsigned char>& storage, UInt32 n);
