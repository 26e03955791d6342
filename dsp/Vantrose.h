#pragma once

#include "IPluginAU.h"

// The four-band equaliser: its identity, fifteen parameters and the member
// copies of them that the audio path reads.
class Vantrose : public IPluginAU {
 public:
  enum EParams {
    kLGain = 0,
    kLFreq,
    kLMGain,
    kLMFreq,
    kHMGain,
    kHMFreq,
    kHGain,
    kHFreq,
    kHP,
    kLP,
    kGain,
    kBell,
    kHPLP,
    kBY,
    kOver,
    kNumParams
  };

  explicit Vantrose(IPluginInstanceInfo instanceInfo);
  ~Vantrose() override;

  // Copies a changed parameter into its member; takes the plug-in lock.
  void OnParamChange(int paramIdx) override;

  // Member copies, readable for tests and tools.
  double BandValue(int paramIdx) const;
  double OutputGain() const { return mGain; }
  int SatFactor() const { return mSatFactor; }

 private:
  void InitParameters();

  double mLGain = 1.0, mLFreq = 1.0, mLMGain = 1.0, mLMFreq = 1.0, mHMGain = 1.0;
  double mHMFreq = 1.0, mHGain = 1.0, mHFreq = 1.0, mHP = 1.0, mLP = 1.0;
  double mGain = 1.0;  // linear output gain, 10^(Gain / 20)
  int mSatFactor = 4;  // oversampling of the saturation stage: 4, or 16
};

// The effect's identity as handed to the framework.
namespace VantroseIdentity {
constexpr const char* kEffectName = "Vantrose";
constexpr const char* kProductName = "";
constexpr const char* kMfrName = "Kelvorin";
constexpr int kVendorVersion = 0x00030000;
constexpr int kUniqueID = FourCC('V', 'n', 't', '1');
constexpr int kMfrID = FourCC('K', 'l', 'v', 'n');
constexpr const char* kChannelIO = "1-1 2-2";
constexpr const char* kBundleID = "com.kelvorin.audiounit.Vantrose";
constexpr const char* kViewFactoryClass = "Vantrose_View";
}  // namespace VantroseIdentity

// The instance factory: constructs the effect in place at memory, or on the heap
// when memory is null.  Construction across the process is serialised.
IPluginAU* MakePlug(void* memory);
