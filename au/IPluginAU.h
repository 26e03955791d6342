#pragma once

#include "IPluginBase.h"

// The Audio Unit wrapper on the plug-in base.  It holds the bundle identity
// handed over at construction and answers the host-facing operations of the base.
class IPluginAU : public IPluginBase {
 public:
  IPluginAU(IPluginInstanceInfo instanceInfo, int nParams, const char* channelIOStr, int nPresets,
            const char* effectName, const char* productName, const char* mfrName,
            int vendorVersion, int uniqueID, int mfrID, int latency, bool plugDoesMidi,
            bool plugDoesChunks, bool plugIsInst, int plugScChans);
  ~IPluginAU() override = default;

  void BeginInformHostOfParamChange(int) override {}
  void InformHostOfParamChange(int, double) override {}
  void EndInformHostOfParamChange(int) override {}
  void InformHostOfProgramChange() override {}
  int GetSamplePos() override { return 0; }
  double GetTempo() override { return mTempo; }
  void GetTimeSig(int* numerator, int* denominator) override;
  void GetTime(ITimeInfo*) override {}
  void ResizeGraphics(int, int) override {}
  bool SendMidiMsg(IMidiMsg*) override { return false; }

  const char* GetBundleID() const { return mBundleID.Get(); }
  const char* GetCocoaViewFactoryClassName() const { return mCocoaViewFactoryClassName.Get(); }

 protected:
  StrBuf mBundleID;
  StrBuf mCocoaViewFactoryClassName;
  double mTempo = 120.0;
};
