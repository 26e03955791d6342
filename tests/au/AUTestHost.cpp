#include "AUTestHost.h"

#include <cstring>
#include <new>

#include "VantroseComponent.h"

TestAU::TestAU(IPluginInstanceInfo info)
    : IPluginAU(info, 3, "1-1 2-2", 1, "TestAU", "", "Maker", 0x00010203,
                FourCC('T', 'e', 's', 't'), FourCC('K', 'l', 'v', 'n'), 0, false, false, false, 0) {
  GetParam(0)->InitDouble("Gain", 0.0, -12.0, 12.0, 0.01, "dB", "Out");
  GetParam(1)->InitInt("Mode", 0, 0, 2, "", "");
  GetParam(2)->InitBool("On", true);
  GetParam(1)->SetDisplayText(0, "low");
  GetParam(1)->SetDisplayText(1, "mid");
  GetParam(1)->SetDisplayText(2, "high");
  MakeDefaultPreset("first", 1);
}

void TestAU::ProcessDoubleReplacing(double** in, double** out, int nFrames) {
  ++processed;
  for (int c = 0; c < 2; ++c) {
    const TypedBuf<double>& inBuf = mInChannels.Get(c)->mScratchBuf;
    const TypedBuf<double>& outBuf = mOutChannels.Get(c)->mScratchBuf;
    slotsOnScratch = slotsOnScratch && in[c] == inBuf.Get() && out[c] == outBuf.Get() &&
                     inBuf.GetSize() >= nFrames && outBuf.GetSize() >= nFrames;
  }
  for (int c = 0; c < 2; ++c) {
    for (int s = 0; s < nFrames; ++s)
      out[c][s] = 2.0 * in[c][s];
  }
}

namespace {

OSStatus ConstructTestAU(void* storage, AudioComponentInstance) {
  IPluginInstanceInfo info;
  info.mBundleID = "com.example.test";
  info.mCocoaViewFactoryClassName = "Test_View";
  new (storage) TestAU(info);
  return noErr;
}

AudioComponentPlugInInterface* TestFactory(const AudioComponentDescription*) {
  return IPluginAUFactory::NewBlock(sizeof(TestAU), ConstructTestAU);
}

}  // namespace

AudioComponent TestAUComponent() {
  static AudioComponent sComponent = [] {
    AudioComponentDescription desc = {kAudioUnitType_Effect, FourCC('T', 'e', 's', 't'),
                                      FourCC('K', 'l', 'v', 'n'), 0, 0};
    return AudioComponentRegister(&desc, "Test", 1, TestFactory);
  }();
  return sComponent;
}

AudioComponent EffectComponent(Route route) {
  return route == Route::kFactory ? VantroseComponent::RegisterFactory()
                                  : VantroseComponent::RegisterEntry();
}

UnitHandle::UnitHandle(AudioComponent component) {
  if (AudioComponentInstanceNew(component, &mUnit) != noErr) mUnit = nullptr;
}

UnitHandle::~UnitHandle() {
  if (mUnit) AudioComponentInstanceDispose(mUnit);
}

IPluginAU* UnitHandle::Plug() const {
  IPluginAU* plug = nullptr;
  UInt32 size = sizeof plug;
  AudioUnitGetProperty(mUnit, kIPlugObjectPropertyID, kAudioUnitScope_Global, 0, &plug, &size);
  return plug;
}

OSStatus UnitHandle::SetFormat(AudioUnitScope scope, UInt32 nChannels, Float64 rate) {
  AudioStreamBasicDescription f = {rate, kAudioFormatLinearPCM, 0x29, 4, 1, 4, nChannels, 32, 0};
  return AudioUnitSetProperty(mUnit, kAudioUnitProperty_StreamFormat, scope, 0, &f, sizeof f);
}

OSStatus UnitHandle::SetUInt32(AudioUnitPropertyID id, UInt32 value) {
  return AudioUnitSetProperty(mUnit, id, kAudioUnitScope_Global, 0, &value, sizeof value);
}

OSStatus UnitHandle::ConnectInput() {
  AURenderCallbackStruct cb = {InputProc, this};
  return AudioUnitSetProperty(mUnit, kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input, 0,
                              &cb, sizeof cb);
}

OSStatus UnitHandle::InputProc(void* refCon, AudioUnitRenderActionFlags*, const AudioTimeStamp*,
                               UInt32, UInt32 nFrames, AudioBufferList* ioData) {
  UnitHandle* host = static_cast<UnitHandle*>(refCon);
  ++host->pulls;
  for (UInt32 c = 0; c < ioData->mNumberBuffers; ++c) {
    float* dst = static_cast<float*>(ioData->mBuffers[c].mData);
    for (UInt32 s = 0; s < nFrames; ++s) {
      bool have = c < host->input.size() && s < host->input[c].size();
      dst[s] = have ? host->input[c][s] : 0.0f;
    }
  }
  return noErr;
}

OSStatus UnitHandle::Render(std::vector<std::vector<float>>& out, UInt32 nFrames,
                            double sampleTime) {
  std::vector<unsigned char> storage;
  AudioBufferList* list = MakeBufferList(storage, static_cast<UInt32>(out.size()));
  for (size_t c = 0; c < out.size(); ++c) {
    out[c].assign(nFrames, -7.0f);
    list->mBuffers[c] = {1, nFrames * 4, out[c].data()};
  }
  AudioUnitRenderActionFlags flags = 0;
  AudioTimeStamp ts = SampleTime(sampleTime);
  return AudioUnitRender(mUnit, &flags, &ts, 0, nFrames, list);
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
