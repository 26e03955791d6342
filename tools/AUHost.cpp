#include "AUHost.h"

#include <cstring>

AUHost::AUHost(AudioComponent component) {
  if (AudioComponentInstanceNew(component, &mUnit) != noErr) mUnit = nullptr;
}

AUHost::~AUHost() {
  if (mUnit) AudioComponentInstanceDispose(mUnit);
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

OSStatus AUHost::SetUInt32Property(AudioUnitPropertyID id, UInt32 value) {
  return AudioUnitSetProperty(mUnit, id, kAudioUnitScope_Global, 0, &value, sizeof value);
}

OSStatus AUHost::Configure(double sampleRate, UInt32 nChannels, UInt32 maxFrames) {
  OSStatus status = AudioUnitSetProperty(mUnit, kAudioUnitProperty_SampleRate,
                                         kAudioUnitScope_Global, 0, &sampleRate, sizeof sampleRate);
  if (status == noErr) status = SetFormat(kAudioUnitScope_Output, nChannels, sampleRate);
  if (status == noErr) status = SetFormat(kAudioUnitScope_Input, nChannels, sampleRate);
  if (status == noErr)
    status = SetUInt32Property(kAudioUnitProperty_MaximumFramesPerSlice, maxFrames);
  if (status != noErr) return status;
  AURenderCallbackStruct cb = {Input, this};
  return AudioUnitSetProperty(mUnit, kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input, 0,
                              &cb, sizeof cb);
}

OSStatus AUHost::Input(void* refCon, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32,
                       UInt32 nFrames, AudioBufferList* ioData) {
  AUHost* host = static_cast<AUHost*>(refCon);
  ++host->pulls;
  for (UInt32 c = 0; c < ioData->mNumberBuffers; ++c) {
    float* dst = static_cast<float*>(ioData->mBuffers[c].mData);
    if (host->mIn && host->mIn[c])
      std::memcpy(dst, host->mIn[c], sizeof(float) * nFrames);
    else
      std::memset(dst, 0, sizeof(float) * nFrames);
  }
  return noErr;
}

OSStatus AUHost::Render(const float* const* in, float* const* out, UInt32 nChannels,
                        UInt32 nFrames) {
  mListStorage.assign(AudioBufferListSize(nChannels), 0);
  AudioBufferList* list = reinterpret_cast<AudioBufferList*>(mListStorage.data());
  list->mNumberBuffers = nChannels;
  for (UInt32 c = 0; c < nChannels; ++c)
    list->mBuffers[c] = {1, nFrames * 4, out[c]};
  AudioTimeStamp ts;
  std::memset(&ts, 0, sizeof ts);
  ts.mSampleTime = sampleTime;
  ts.mFlags = kAudioTimeStampSampleTimeValid;
  AudioUnitRenderActionFlags flags = 0;
  mIn = in;
  OSStatus status = AudioUnitRender(mUnit, &flags, &ts, 0, nFrames, list);
  mIn = nullptr;
  if (status == noErr) sampleTime += nFrames;
  return status;
}

OSStatus AUHost::SetParameter(AudioUnitParameterID id, float value) {
  return AudioUnitSetParameter(mUnit, id, kAudioUnitScope_Global, 0, value, 0);
}

float AUHost::GetParameter(AudioUnitParameterID id) {
  AudioUnitParameterValue v = 0.0f;
  AudioUnitGetParameter(mUnit, id, kAudioUnitScope_Global, 0, &v);
  return v;
}
