#pragma once

#include <lv2/ui/ui.h>

#include <cstdint>

#include "IPluginBase.h"

// What the host hands an LV2 UI for reporting edits: the port write function with
// its controller, the optional touch feature for gesture begin and end, and the
// optional resize feature the editor asks a new size through.
struct LV2UIHost {
  LV2UI_Write_Function write = nullptr;
  LV2UI_Controller controller = nullptr;
  const LV2UI_Touch* touch = nullptr;
  const LV2UI_Resize* resize = nullptr;
};

// The UI side of the LV2 wrapper: a plug-in base that holds the parameters only, so an
// editor can run in a binary of its own.  Control port i is parameter i.  Edits reach
// the host as port writes in the parameter's own units, gestures as touch; the host's
// port events (automation, presets, its own controls) move the editor's controls.
class IPluginLV2UI : public IPluginBase {
 public:
  IPluginLV2UI(int nParams, const char* effectName, const char* mfrName, int vendorVersion,
               int uniqueID, int mfrID);

  void SetUIHost(const LV2UIHost& host) { mHost = host; }

  void BeginInformHostOfParamChange(int idx) override;
  void InformHostOfParamChange(int idx, double normalizedValue) override;
  void EndInformHostOfParamChange(int idx) override;
  void InformHostOfProgramChange() override {}
  int GetSamplePos() override { return 0; }
  double GetTempo() override { return 120.0; }
  void GetTimeSig(int* numerator, int* denominator) override;
  void GetTime(ITimeInfo*) override {}
  // The editor took a new size: the host is asked to follow (ui:resize), if it can.
  void ResizeGraphics(int w, int h) override;
  bool SendMidiMsg(IMidiMsg*) override { return false; }

  // A port event: a float in the float protocol (format 0) for a parameter's port, in
  // its own units.  Anything else, NaN, or the value the parameter already holds
  // (a host echoing the UI's own write) changes nothing.  True when a control moved.
  bool PortEvent(uint32_t port, uint32_t size, uint32_t format, const void* buffer);

 private:
  LV2UIHost mHost;
};
