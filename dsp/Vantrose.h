#pragma once

#include "Biquad.h"
#include "H32P.h"
#include "HM32P.h"
#include "HP32.h"
#include "L32P.h"
#include "L32S.h"
#include "LM32P.h"
#include "LP32.h"
#include "OnePoleSmoother.h"
#include "besselfilter.h"

// The effect is compiled once per host wrapper from this one source.  The Audio Unit
// build derives from IPluginAU; the LV2 build (VANTROSE_LV2) derives from IPluginLV2,
// which takes the same constructor arguments and which the source reaches by that name.
#ifdef VANTROSE_LV2
#include "IPluginLV2.h"
using IPluginAU = IPluginLV2;
#else
#include "IPluginAU.h"
#endif

// Four-times polyphase interpolator of the band stage.  Its history of interpolated
// values doubles as the delay line of the 31-tap decimating filter, so the effect
// filters the four new values in place and then decimates over the same history.
// The effect zeroes it at construction; it runs every sample for the effect's life.
struct StOversampler4x {
  // The symmetric 31-tap low-pass kernel by distance from the centre; k4, k8 and k12
  // are zero and take no part in either sum.
  static constexpr double k0 = 0.2511859632599724;
  static constexpr double k1 = 0.2245335588462797;
  static constexpr double k2 = 0.15538007457109065;
  static constexpr double k3 = 0.0706496448477984;
  static constexpr double k5 = -0.03769151644963085;
  static constexpr double k6 = -0.040914779384992654;
  static constexpr double k7 = -0.022456715627743595;
  static constexpr double k9 = 0.013578369569319975;
  static constexpr double k10 = 0.014777623526947411;
  static constexpr double k11 = 0.00795714816545856;
  static constexpr double k13 = -0.004355356208146785;
  static constexpr double k14 = -0.004570244176216314;
  static constexpr double k15 = -0.00248078931015061;

  double h[31];  // values at four times the rate, oldest first; h[27..30] the newest four
  double x7, x6, x5, x4, x3, x2, x1, x0;  // the last eight inputs times 4, x0 the newest

  // Audio thread: shifts the history by four and interpolates v into h[27] to h[30].
  void up4(double v);
  // Audio thread: the decimating sum over the whole history, centred on h[15].
  double decimate() const;
};

// What the signal chain reads from the effect for one block: the rate, the member
// copies of the parameters and the three switches truncated toward zero.  The plug-in
// lock is held for the whole block, so none of it changes inside a block.
struct ChainControls {
  double fs = 44100.0;
  double lGain = 1.0, lFreq = 1.0, lmGain = 1.0, lmFreq = 1.0, hmGain = 1.0, hmFreq = 1.0;
  double hGain = 1.0, hFreq = 1.0, hp = 1.0, lp = 1.0;
  double gain = 1.0;  // linear output gain
  int satFactor = 4;  // 4 or 16
  int bell = 0, hplp = 0, by = 1;
};

// The signal chain's state: smoothers, band and pass filters, the saturation stage and
// the band oversamplers.  Index 0 of each pair is the left (or mono) channel, 1 the
// right.  A plain value, so a copy can be run alongside and compared.
struct VantroseChain {
  // Ten band smoothers at 1 kHz and the output-gain smoother at 100 Hz; start at zero.
  OnePoleSmoother mLPSmoother, mHPSmoother, mLGainSmoother, mLFreqSmoother;
  OnePoleSmoother mLMGainSmoother, mLMFreqSmoother, mHMGainSmoother, mHMFreqSmoother;
  OnePoleSmoother mHGainSmoother, mHFreqSmoother, mGainSmoother;

  double mLowOut[2] = {};  // result of the low band stage
  double mPreOut[2] = {};  // result of the pass-filter stage
  L32S mLowShelf[2];
  L32P mLowBell[2];
  LM32P mLowMid[2];
  HM32P mHighMid[2];
  H32P mHigh[2];
  HPP32 mHighPass[2];
  LPP32 mLowPass[2];

  // Saturation stage: per channel a tenth-order low-pass before and after the shaper.
  BesselFilterCoeffs mSatCoeffs[2];
  // Filter outputs, newest first, eleven slots per filter (the newest ten feed back):
  // SatHistory(ch, 0) the upsampling filter, SatHistory(ch, 1) the downsampling one.
  double mSatHistory[44] = {};
  double mSatOut[2] = {};
  double mSatIn[2] = {};

  StOversampler4x mOversampler[2] = {};
  // Declared shelf first so that the bell's biquad is destroyed first.
  Biquad mShelfBiquad, mBellBiquad;

  double* SatHistory(int ch, int filter) { return mSatHistory + (2 * ch + filter) * 11; }

  // Block start: smoother coefficients, then every filter's coefficients from smoothed
  // controls.  Runs also for an empty block.
  void BeginBlock(const ChainControls& c);
  // Audio thread: the per-sample chain over nFrames samples of both channels, with the
  // two channels in parallel lanes and the state held in registers across the block.
  void Render(const ChainControls& c, double** inputs, double** outputs, int nFrames);
  // The same chain written plainly, one channel and one step at a time: the yardstick
  // that Render must match bit for bit.
  void RenderReference(const ChainControls& c, double** inputs, double** outputs, int nFrames);
  // Zeroes the saturation histories and nothing else.
  void ClearSaturation();
  // Block start: restarts from silence every recursive stage whose state is not all
  // finite, leaving the others untouched.  Returns the number of stages cleared.
  int ClearNonFiniteState();
};

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

  // Clears the saturation histories; takes the plug-in lock.
  void Reset() override;
  // Copies a changed parameter into its member; takes the plug-in lock.
  void OnParamChange(int paramIdx) override;
  // Renders one block: coefficient refresh, then the per-sample chain.  Called with the
  // plug-in lock held.  Audio thread: no allocation, no I/O.
  void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) override;

  // Member copies, readable for tests and tools.
  double BandValue(int paramIdx) const;
  double OutputGain() const { return mGain; }
  int SatFactor() const { return mSatFactor; }
  // The settings the next block will run with.
  ChainControls Controls() const;
  // The signal chain's state, for tests and measurements.
  const VantroseChain& Chain() const { return mChain; }

 private:
#ifdef VANTROSE_LV2
  // LV2 hosts expect activation to forget every trace of earlier audio: the whole
  // chain restarts as built (smoothers from zero, empty filter histories).
  void OnActivate(bool active) override;
#endif
  void InitParameters();
  void RenderWithoutNonFinite(const ChainControls& c, double** inputs, double** outputs,
                              int nFrames);

  double mLGain = 1.0, mLFreq = 1.0, mLMGain = 1.0, mLMFreq = 1.0, mHMGain = 1.0;
  double mHMFreq = 1.0, mHGain = 1.0, mHFreq = 1.0, mHP = 1.0, mLP = 1.0;
  double mGain = 1.0;  // linear output gain, 10^(Gain / 20)
  int mSatFactor = 4;  // oversampling of the saturation stage: 4, or 16
  VantroseChain mChain;
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
