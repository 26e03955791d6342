#pragma once

// A host for the command-line tools: opens a unit through the component registry,
// configures it the way hosts do (sample rate, stream formats, maximum frames,
// an input render callback), and renders planar float blocks through it.
#include <vector>

#include "AudioUnit.h"

class AUHost {
 public:
  explicit AUHost(AudioComponent component);
  ~AUHost();
  AUHost(const AUHost&) = delete;
  AUHost& operator=(const AUHost&) = delete;

  bool IsOpen() const { return mUnit != nullptr; }
  AudioUnit Unit() const { return mUnit; }

  // Sample rate, then the output and input formats (nChannels each), the maximum frames
  // and the input callback; returns the first failure.
  OSStatus Configure(double sampleRate, UInt32 nChannels, UInt32 maxFrames);
  OSStatus Initialize() { return AudioUnitInitialize(mUnit); }

  // One render call of nFrames: in and out hold one buffer per channel.  The sample
  // time advances by nFrames after each call.
  OSStatus Render(const float* const* in, float* const* out, UInt32 nChannels, UInt32 nFrames);

  OSStatus SetParameter(AudioUnitParameterID id, float value);
  float GetParameter(AudioUnitParameterID id);
  OSStatus SetUInt32Property(AudioUnitPropertyID id, UInt32 value);
  OSStatus SetFormat(AudioUnitScope scope, UInt32 nChannels, double sampleRate);

  double sampleTime = 0.0;
  int pulls = 0;  // calls of the input callback

 private:
  static OSStatus Input(void* refCon, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32,
                        UInt32 nFrames, AudioBufferList* ioData);

  AudioUnit mUnit = nullptr;
  const float* const* mIn = nullptr;
  std::vector<unsigned char> mListStorage;
};
