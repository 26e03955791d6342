#pragma once

// The one Audio Unit host of the command-line tools, the tests and the benchmarks:
// opens a unit through the component registry, configures it the way hosts do (sample
// rate, stream formats, maximum frames, an input render callback) and renders planar
// float blocks through it.
#include <vector>

#include "AudioUnit.h"

class IPluginAU;

class AUHost {
 public:
  explicit AUHost(AudioComponent component);
  ~AUHost();
  AUHost(const AUHost&) = delete;
  AUHost& operator=(const AUHost&) = delete;

  bool IsOpen() const { return mUnit != nullptr; }
  AudioUnit Get() const { return mUnit; }
  // The plug-in behind the unit, through its private object property; null for others.
  IPluginAU* Plug() const;

  // Sample rate, then the output and input formats (nChannels each), the maximum frames
  // and the input callback; returns the first failure.
  OSStatus Configure(double sampleRate, UInt32 nChannels, UInt32 maxFrames);
  OSStatus Initialize() { return AudioUnitInitialize(mUnit); }
  // Planar native floats.
  OSStatus SetFormat(AudioUnitScope scope, UInt32 nChannels, double sampleRate = 44100.0);
  OSStatus SetUInt32(AudioUnitPropertyID id, UInt32 value);
  // Installs the input render callback: it counts its calls in pulls and delivers, during
  // the pointer form of Render, the caller's input, otherwise `input`, zero past its end.
  OSStatus ConnectInput();

  // One render call of nFrames: in and out hold one buffer per channel.  The sample
  // time advances by nFrames after each successful call.
  OSStatus Render(const float* const* in, float* const* out, UInt32 nChannels, UInt32 nFrames);
  // One render call of nFrames at sample time t into out (one vector per buffer, filled
  // with -7 first, so untouched samples show); sampleTime is left alone.
  OSStatus Render(std::vector<std::vector<float>>& out, UInt32 nFrames, double t);

  OSStatus SetParameter(AudioUnitParameterID id, float value);
  float GetParameter(AudioUnitParameterID id);

  double sampleTime = 0.0;
  int pulls = 0;                          // calls of the input callback
  std::vector<std::vector<float>> input;  // what the callback delivers, per channel

 private:
  static OSStatus Input(void* refCon, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32,
                        UInt32 nFrames, AudioBufferList* ioData);

  AudioUnit mUnit = nullptr;
  const float* const* mIn = nullptr;
  std::vector<unsigned char> mListStorage;
};

// A time stamp with a valid sample time.
AudioTimeStamp SampleTime(double t);
// A buffer list of n buffers kept in a byte vector.
AudioBufferList* MakeBufferList(std::vector<unsigned char>& storage, UInt32 n);
