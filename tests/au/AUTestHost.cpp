#include "AUTestHost.h"

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
