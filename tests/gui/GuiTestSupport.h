#pragma once

// A recording plug-in, an editor whose images are made in memory, and helpers
// shared by the editor tests.

#include <string>
#include <vector>

#include "IGraphicsMac.h"
#include "IPluginBase.h"
#include "Raster_MemBitmap.h"

// Four parameters: 0 a double 0..100, 1 a bool with "off"/"on", 2 an int 0..10,
// 3 an enum of three texts.  Host notifications are recorded in order.
class TestPlug : public IPluginBase {
 public:
  TestPlug()
      : IPluginBase(4, "1-1", 1, "Test", "", "Maker", 0x10000, 1, 2, 0, false, false, false,
                    kAPIAU) {
    GetParam(0)->InitDouble("Level", 50.0, 0.0, 100.0, 0.1, "dB");
    GetParam(1)->InitBool("Power", false);
    GetParam(1)->SetDisplayText(0, "off");
    GetParam(1)->SetDisplayText(1, "on");
    GetParam(2)->InitInt("Steps", 5, 0, 10);
    GetParam(3)->InitEnum("Mode", 0, 3);
    GetParam(3)->SetDisplayText(0, "A");
    GetParam(3)->SetDisplayText(1, "B");
    GetParam(3)->SetDisplayText(2, "C");
  }

  void OnParamChange(int idx) override { events.push_back("change " + std::to_string(idx)); }
  void BeginInformHostOfParamChange(int idx) override {
    events.push_back("begin " + std::to_string(idx));
  }
  void InformHostOfParamChange(int idx, double) override {
    events.push_back("inform " + std::to_string(idx));
  }
  void EndInformHostOfParamChange(int idx) override {
    events.push_back("end " + std::to_string(idx));
  }
  void InformHostOfProgramChange() override {}
  int GetSamplePos() override { return 0; }
  double GetTempo() override { return 120.0; }
  void GetTimeSig(int*, int*) override {}
  void GetTime(ITimeInfo*) override {}
  void ResizeGraphics(int, int) override { events.push_back("resize"); }
  bool SendMidiMsg(IMidiMsg*) override { return false; }

  std::vector<std::string> events;
};

// Images come from memory: id k gives a 10 x (10 * k) opaque image whose row
// y has the colour 0xFF000000 | y, so the frame drawn is visible in the pixels.
class TestGraphics : public IGraphicsMac {
 public:
  TestGraphics(IPluginBase* plug, int w = 200, int h = 100, int fps = 0)
      : IGraphicsMac(plug, w, h, fps) {}

  bool DrawScreen(IRECT* r) override {
    ++screens;
    IGraphicsMac::DrawScreen(r);
    return true;
  }
  Raster_IBitmap* OSLoadBitmap(int id, const char* name) override {
    loads.push_back(name ? name : "");
    if (id <= 0) return nullptr;
    Raster_MemBitmap* b = new Raster_MemBitmap(10, 10 * id, 4);
    for (int y = 0; y < b->getHeight(); ++y)
      for (int x = 0; x < b->getWidth(); ++x)
        b->getBits()[y * b->getRowSpan() + x] = 0xFF000000u | y;
    return b;
  }

  int screens = 0;
  std::vector<std::string> loads;
};

// Ids for the in-memory images, kept apart per test file because the image
// cache lives for the whole process.
enum { kIdOneFrame = 1, kIdTwoFrames = 2, kIdThreeFrames = 3, kIdKnob = 31 };

#include "IKnobControls.h"

// A knob that draws nothing, for gestures and values only.
class TestKnob : public IKnobControl {
 public:
  using IKnobControl::IKnobControl;
  bool Draw(IGraphics*) override { return true; }
};
