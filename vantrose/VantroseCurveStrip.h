#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Calibration.h"
#include "IControl.h"

class IGraphics;

// The response curve under the panel: the whole effect's magnitude (every band, the
// pass filters, the output gain; the level-dependent saturation left out) at the
// host's rate, from the effect core's calibration, on a log axis from 20 Hz to 20 kHz
// and ±18 dB widened to hold the curve, each band's frequency marked, in the colours of
// the response plots.  It follows every parameter change within one frame.
// A click on the product name opens and closes it; the choice is the user's, kept in
// $XDG_CONFIG_HOME/vantrose/editor.conf, never in the plug-in's state.  UI thread only.
namespace VantroseCurve {

constexpr int kHeight = 160;

// The editor's height with the strip open or closed.
int EditorHeight(bool open);

// The user's choice: $XDG_CONFIG_HOME (or ~/.config) /vantrose/editor.conf, "curve=1".
std::string PreferencePath();
bool ReadPreference();
// Rewrites the file's curve line, keeping its other lines; false if it cannot.
bool WritePreference(bool open);

bool IsOpen(const IGraphics* graphics);
// Opens or closes the strip: the editor takes its new size (the host is asked to
// follow), the panel is laid out afresh, and with remember the choice is kept.
void SetOpen(IGraphics* graphics, IPluginBase* plug, bool open, bool remember);

}  // namespace VantroseCurve

class VantroseCurveStrip : public IControl {
 public:
  VantroseCurveStrip(IPluginBase* plug, IRECT rect);
  bool Draw(IGraphics* graphics) override;
  // Polled every frame: a changed parameter or rate recomputes the curve.
  bool IsDirty() override;
  bool IsHit(int, int) override { return false; }

  // The plotted points, for tests.
  const std::vector<double>& Hz() const { return mHz; }
  const std::vector<double>& Db() const { return mDb; }
  double Rate() const { return mRate; }

 private:
  void Recompute();
  bool ParamsChanged();

  // The plotting area inside the strip, and the mapping of Hz and dB onto it.
  int mLeft, mTop, mRight, mBottom;
  double X(double hz) const;
  double Y(double db) const;

  std::unique_ptr<CurvePlan> mPlan;
  std::vector<double> mHz, mDb;
  double mRate = 0.0;
  double mLowDb = -18.0, mHighDb = 18.0;
  struct Mark {
    double hz;
    const char* label;
  };
  std::vector<Mark> mMarks;
  double mSeen[32] = {};
  bool mFresh = false;
};

// The hot spot over the product name that opens and closes the curve.
class VantroseCurveToggle : public IControl {
 public:
  VantroseCurveToggle(IPluginBase* plug, IRECT rect) : IControl(plug, rect) {}
  bool Draw(IGraphics*) override { return true; }
  void OnMouseDown(int, int, IMouseMod*) override {}
  // The editor is laid out afresh inside: nothing of this control is touched after.
  void OnMouseUp(int x, int y, IMouseMod* mod) override;
};
