#include "AUHost.h"

#include <cstring>

#include "IPluginAU.h"

AUHost::AUHost(AudioComponent component) {
  if (AudioComponentInstanceNew(component, &mUnit) != noErr) mUnit = nullptr;
}

AUHost::~AUHost() {
  if (mUnit) AudioComponentInstanceDispose(mUnit);
}

IPluginAU* AUHost::Plug() const {
  IPluginAU* plug = nullptr;
  UInt32 size = sizeof plug;
  AudioUnitGetProperty(mUnit, kIPlugObjectPropertyID, kAudioUnitScope_Global, 0, &plug, &size);
  return plug;
}

OSStatus AUHost::SetFormat(AudioUnitScope scope, UInt32 nChannels, double sampleRate) {
  AudioStreamBasicDescription f = {
      sampleRate,
      kAudioFormatLinearPCM,
      kAudioFormatFlagsNativeFloatPacked | kAudioFormatFlagIsNonInterleaved,
      4,
      1,
      4,
      nChannels,
      32,
      0};
  return AudioUnitSetProperty(mUnit, kAudioUnitProperty_StreamFormat, scope, 0, &f, sizeof f);
}

OSStatus AUHost::SetUInt32(AudioUnitPropertyID id, UInt32 value) {
  return AudioUnitSetProperty(mUnit, id, kAudioUnitScope_Global, 0, &value, sizeof value);
}

OSStatus AUHost::ConnectInput() {
  AURenderCallbackStruct cb = {Input, this};
  return AudioUnitSetProperty(mUnit, kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input, 0,
                              &cb, sizeof cb);
}

OSStatus AUHost::Configure(double sampleRate, UInt32 nChannels, UInt32 maxFrames) {
  OSStatus status = AudioUnitSetProperty(mUnit, kAudioUnitProperty_SampleRate,
                                         kAudioUnitScope_Global, 0, &sampleRate, sizeof sampleRate);
  if (status == noErr) status = SetFormat(kAudioUnitScope_Output, nChannels, sampleRate);
  if (status == noErr) status = SetFormat(kAudioUnitScope_Input, nChannels, sampleRate);
  if (status == noErr) status = SetUInt32(kAudioUnitProperty_MaximumFramesPerSlice, maxFrames);
  if (status != noErr) return status;
  return ConnectInput();
}

OSStatus AUHost::Input(void* refCon, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32,
                       UInt32 nFrames, AudioBufferList* ioData) {
  AUHost* host = static_cast<AUHost*>(refCon);
  ++host->pulls;
  for (UInt32 c = 0; c < ioData->mNumberBuffers; ++c) {
    float* dst = static_cast<float*>(ioData->mBuffers[c].mData);
    if (host->mIn) {
      if (host->mIn[c])
        std::memcpy(dst, host->mIn[c], sizeof(float) * nFrames);
      else
        std::memset(dst, 0, sizeof(float) * nFrames);
      continue;
    }
    for (UInt32 s = 0; s < nFrames; ++s) {
      bool have = c < host->input.size() && s < host->input[c].size();
      dst[s] = have ? host->input[c][s] : 0.0f;
    }
  }
  return noErr;
}

OSStatus AUHost::Render(const float* const* in, float* const* out, UInt32 nChannels,
                        UInt32 nFrames) {
  AudioBufferList* list = MakeBufferList(mListStorage, nChannels);
  for (UInt32 c = 0; c < nChannels; ++c)
    list->mBuffers[c] = {1, nFrames * 4, out[c]};
  AudioTimeStamp ts = SampleTime(sampleTime);
  AudioUnitRenderActionFlags flags = 0;
  mIn = in;
  OSStatus status = AudioUnitRender(mUnit, &flags, &ts, 0, nFrames, list);
  mIn = nullptr;
  if (status == noErr) sampleTime += nFrames;
  return status;
}

OSStatus AUHost::Render(std::vector<std::vector<float>>& out, UInt32 nFrames, double t) {
  std::vector<unsigned char> storage;
  AudioBufferList* list = MakeBufferList(storage, static_cast<UInt32>(out.size()));
  for (size_t c = 0; c < out.size(); ++c) {
    out[c].assign(nFrames, -7.0f);
    list->mBuffers[c] = {1, nFrames * 4, out[c].data()};
  }
  AudioUnitRenderActionFlags flags = 0;
  AudioTimeStamp ts = SampleTime(t);
  return AudioUnitRender(mUnit, &flags, &ts, 0, nFrames, list);
}

OSStatus AUHost::SetParameter(AudioUnitParameterID id, float value) {
  return AudioUnitSetParameter(mUnit, id, kAudioUnitScope_Global, 0, value, 0);
}

float AUHost::GetParameter(AudioUnitParameterID id) {
  AudioUnitParameterValue v = 0.0f;
  AudioUnitGetParameter(mUnit, id, kAudioUnitScope_Global, 0, &v);
  return v;
}

AudioTimeStamp SampleTime(double t) {
  AudioTimeStamp ts;
  std::memset(&ts, 0, sizeof ts);
  ts.mSampleTime = t;
  ts.mFlags = kAudioTimeStampSampleTimeValid;
  return ts;
}

AudioBufferList* MakeBufferList(std::vector<unsigned char>& storage, UInt32 n) {
  storage.assign(AudioBufferListSize(n), 0);
  AudioBufferList* list = reinterpret_cast<AudioBufferList*>(storage.data());
  list->mNumberBuffers = n;
  return list;
}
