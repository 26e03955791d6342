#pragma once

#include "IPluginBase.h"

// A plug-in for the state, preset and file tests and the loader fuzzers: one
// parameter of each kind, a few preset slots, chunk support chosen at
// construction, and counters for what the framework tells the plug-in and host.
class StatePlug : public IPluginBase {
 public:
  enum EParams { kGain = 0, kFreq, kMode, kOn, kType, kNumParams };
  static constexpr int kID = FourCC('S', 't', 'P', 'l');
  static constexpr int kVersion = 0x00010203;  // 1.2.3

  explicit StatePlug(bool chunks = false, int nPresets = 3, int uniqueID = kID)
      : IPluginBase(kNumParams, "2-2", nPresets, "StatePlug", "", "Tests", kVersion, uniqueID,
                    FourCC('T', 'e', 's', 't'), 0, false, chunks, false, kAPIAU) {
    GetParam(kGain)->InitDouble("Gain", 0.0, -12.0, 12.0, 0.01, "dB");
    GetParam(kFreq)->InitDouble("Freq", 0.725, 0.1, 0.983, 0.01, "%", "", 0.5);
    GetParam(kMode)->InitInt("Mode", 1, 0, 4);
    GetParam(kOn)->InitBool("On", true);
    GetParam(kType)->InitEnum("Type", 0, 3);
  }

  void OnParamChange(int idx) override {
    IPluginBase::OnParamChange(idx);
    ++mParamChanges;
  }
  void PresetsChangedByHost() override { ++mPresetsChanged; }
  void RedrawParamControls() override {
    IPluginBase::RedrawParamControls();
    ++mRedraws;
  }

  void BeginInformHostOfParamChange(int) override {}
  void InformHostOfParamChange(int, double) override {}
  void EndInformHostOfParamChange(int) override {}
  void InformHostOfProgramChange() override { ++mProgramChanges; }
  int GetSamplePos() override { return 0; }
  double GetTempo() override { return 120.0; }
  void GetTimeSig(int* num, int* den) override { *num = *den = 4; }
  void GetTime(ITimeInfo*) override {}
  void ResizeGraphics(int, int) override {}
  bool SendMidiMsg(IMidiMsg* msg) override {
    ++mMidiSent;
    return msg->mData1 != 0xFF;  // a data byte of 0xFF stands for a failed send
  }

  // Sets every parameter from a list of values in its own units.
  void SetValues(const double (&values)[kNumParams]) {
    for (int i = 0; i < kNumParams; ++i)
      GetParam(i)->SetValue(values[i]);
  }
  double Value(int idx) const { return GetParam(idx)->GetValue(); }

  int mParamChanges = 0;
  int mPresetsChanged = 0;
  int mRedraws = 0;
  int mProgramChanges = 0;
  int mMidiSent = 0;
};

#include <cstring>
#include <string>

// Everything a load could change, as bytes: parameter values, the current preset
// index and each preset's flag, name and chunk.  Equal snapshots, same state.
inline std::string Snapshot(const IPluginBase& plug) {
  std::string s;
  auto put = [&s](const void* p, size_t n) {
    if (n) s.append(static_cast<const char*>(p), n);
  };
  for (int i = 0; i < plug.NParams(); ++i) {
    double v = plug.GetParam(i)->GetValue();
    put(&v, sizeof(v));
  }
  int current = plug.GetCurrentPresetIdx();
  put(&current, sizeof(current));
  for (int i = 0; i < plug.NPresets(); ++i) {
    const IPreset* p = plug.GetPreset(i);
    s += p->mInitialized ? 'Y' : 'N';
    put(p->mName, std::strlen(p->mName) + 1);
    put(p->mChunk.GetBytes(), static_cast<size_t>(p->mChunk.Size()));
    s += '|';
  }
  return s;
}
