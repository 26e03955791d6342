#include "VantroseCurveStrip.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "IGraphics.h"
#include "IParam.h"
#include "IPluginBase.h"
#include "VantroseEditor.h"
#include "VantroseLayout.h"
#include "VantroseReadout.h"

namespace VantroseCurve {

int EditorHeight(bool open) {
  return VantroseLayout::kHeight + (open ? kHeight : 0);
}

std::string PreferencePath() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  std::string base;
  if (xdg && *xdg == '/') {
    base = xdg;
  } else {
    const char* home = std::getenv("HOME");
    if (!home || !*home) return "";
    base = std::string(home) + "/.config";
  }
  return base + "/vantrose/editor.conf";
}

bool ReadPreference() {
  const std::string path = PreferencePath();
  if (path.empty()) return false;
  std::ifstream in(path);
  std::string line;
  bool open = false;
  while (std::getline(in, line)) {
    if (line.rfind("curve=", 0) == 0) open = line.substr(6) == "1";
  }
  return open;
}

bool WritePreference(bool open) {
  const std::string path = PreferencePath();
  if (path.empty()) return false;
  std::string kept;
  {
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
      if (line.rfind("curve=", 0) != 0) kept += line + "\n";
    }
  }
  // The folders as needed; the file appears whole, through a temporary beside it.
  const std::string dir = path.substr(0, path.find_last_of('/'));
  mkdir(dir.substr(0, dir.find_last_of('/')).c_str(), 0700);
  mkdir(dir.c_str(), 0700);
  const std::string tmp = path + ".tmp" + std::to_string(getpid());
  {
    std::ofstream out(tmp, std::ios::trunc);
    out << kept << "curve=" << (open ? 1 : 0) << "\n";
    if (!out.flush()) {
      std::remove(tmp.c_str());
      return false;
    }
  }
  if (std::rename(tmp.c_str(), path.c_str()) == 0) return true;
  std::remove(tmp.c_str());
  return false;
}

bool IsOpen(const IGraphics* graphics) {
  return graphics && graphics->Height() > VantroseLayout::kHeight;
}

void SetOpen(IGraphics* graphics, IPluginBase* plug, bool open, bool remember) {
  if (!graphics) return;
  if (remember) WritePreference(open);
  if (IsOpen(graphics) == open) return;
  graphics->Resize(VantroseLayout::kWidth, EditorHeight(open));
  AttachVantroseControls(graphics, plug);
  if (!plug) return;
  // A control takes the first value it is given as its double-click default: the
  // defaults first, then the values as they are.
  for (int i = 0; i < plug->NParams(); ++i)
    graphics->SetParameterFromPlug(i, plug->GetParam(i)->GetDefault(), false);
  plug->RedrawParamControls();
  graphics->SetAllControlsDirty();
}

}  // namespace VantroseCurve

namespace {

constexpr double kLowHz = 20.0, kHighHz = 20000.0;

// The response plots' colours.
const IColor kTop(255, 0x34, 0x36, 0x3B), kBottom(255, 0x1F, 0x20, 0x24);
const IColor kAccent(255, 0xF2, 0xA3, 0x3A), kInk(255, 0xD8, 0xD4, 0xCC);
const IColor kInkDim(255, 0x8C, 0x88, 0x80), kGrid(255, 0x4A, 0x4B, 0x50);
const IColor kEdge(255, 0x10, 0x11, 0x13);

IColor Mix(const IColor& a, const IColor& b, double t) {
  auto ch = [t](int x, int y) { return static_cast<int>(std::lround(x + (y - x) * t)); };
  return IColor(255, ch(a.R, b.R), ch(a.G, b.G), ch(a.B, b.B));
}

}  // namespace

VantroseCurveStrip::VantroseCurveStrip(IPluginBase* plug, IRECT rect)
    : IControl(plug, rect),
      mLeft(rect.L + 40),
      mTop(rect.T + 16),
      mRight(rect.R - 18),
      mBottom(rect.B - 20) {}

double VantroseCurveStrip::X(double hz) const {
  return mLeft + std::log(hz / kLowHz) / std::log(kHighHz / kLowHz) * (mRight - 1 - mLeft);
}

double VantroseCurveStrip::Y(double db) const {
  return mTop + (mHighDb - db) / (mHighDb - mLowDb) * (mBottom - 1 - mTop);
}

bool VantroseCurveStrip::ParamsChanged() {
  if (!mPlug) return false;
  bool changed = !mFresh;
  const int n = std::min(mPlug->NParams(), 32);
  for (int i = 0; i < n; ++i) {
    const double v = mPlug->GetParam(i)->GetValue();
    if (v != mSeen[i]) changed = true;
    mSeen[i] = v;
  }
  const double rate =
      mPlug->GetSampleRate() > 0.0 ? mPlug->GetSampleRate() : VantroseReadout::kDefaultRate;
  if (rate != mRate) changed = true;
  mRate = rate;
  mFresh = true;
  return changed;
}

// One point per two pixels from 20 Hz up to 20 kHz or just below half the rate.
void VantroseCurveStrip::Recompute() {
  if (!mPlan || mPlan->Rate() != mRate) {
    mHz.clear();
    const int n = (mRight - mLeft) / 2 + 1;
    const double top = std::min(kHighHz, 0.49 * mRate);
    for (int i = 0; i < n; ++i) {
      const double hz = kLowHz * std::pow(kHighHz / kLowHz, double(i) / (n - 1));
      if (hz <= top) mHz.push_back(hz);
    }
    mPlan = std::make_unique<CurvePlan>(mRate, mHz.data(), static_cast<int>(mHz.size()));
  }
  const ChainControls c = VantroseReadout::ControlsOf(*mPlug, mRate);
  const Calibration cal(c);
  mDb.assign(mHz.size(), 0.0);
  cal.Curve(*mPlan, mDb.data());
  mLowDb = -18.0;
  mHighDb = 18.0;
  for (double db : mDb) {
    if (!std::isfinite(db)) continue;
    mLowDb = std::min(mLowDb, std::floor(db / 6.0) * 6.0);
    mHighDb = std::max(mHighDb, std::ceil(db / 6.0) * 6.0);
  }
  mMarks = {
      {cal.Low().hz, "L"}, {cal.LowMid().hz, "LM"}, {cal.HighMid().hz, "HM"}, {cal.High().hz, "H"}};
  if (c.hplp == 1) {
    mMarks.push_back({cal.HighPassHz(), "HP"});
    mMarks.push_back({cal.LowPassHz(), "LP"});
  }
}

bool VantroseCurveStrip::IsDirty() {
  if (ParamsChanged()) {
    Recompute();
    mDirty = true;
  }
  return mDirty;
}

bool VantroseCurveStrip::Draw(IGraphics* g) {
  if (!mFresh) {
    ParamsChanged();
    Recompute();
  }
  const IRECT& r = mRECT;
  for (int y = r.T; y < r.B; ++y) {
    IRECT row(r.L, y, r.R, y + 1);
    const IColor c = Mix(kTop, kBottom, double(y - r.T) / r.H());
    g->FillIRect(&c, &row);
  }
  g->DrawLine(&kEdge, r.L, r.T, r.R - 1, r.T);
  IText small(9, &kInkDim, "DejaVu Sans", IText::StyleNormal, IText::AlignCentre, 0,
              IText::QualityAntialias);
  // Decades solid and labelled, octave centres dotted.
  const struct {
    double hz;
    const char* label;
  } kFreqs[] = {{20, "20"},       {31.5, nullptr}, {63, nullptr},   {100, "100"},
                {125, nullptr},   {250, nullptr},  {500, nullptr},  {1000, "1k"},
                {2000, nullptr},  {4000, nullptr}, {8000, nullptr}, {10000, "10k"},
                {16000, nullptr}, {20000, "20k"}};
  for (const auto& f : kFreqs) {
    const int x = static_cast<int>(std::lround(X(f.hz)));
    if (f.label) {
      g->DrawLine(&kGrid, x, mTop, x, mBottom - 1);
      IRECT t(x - 20, mBottom + 4, x + 20, mBottom + 16);
      g->DrawIText(&small, f.label, &t);
    } else {
      for (int y = mTop; y < mBottom; y += 4)
        g->DrawLine(&kGrid, x, y, x, std::min(y + 1, mBottom - 1));
    }
  }
  const double step = mHighDb - mLowDb > 48.0 ? 12.0 : 6.0;
  small.mAlign = IText::AlignRight;
  for (double db = std::ceil(mLowDb / step) * step; db <= mHighDb; db += step) {
    const int y = static_cast<int>(std::lround(Y(db)));
    g->DrawLine(db == 0.0 ? &kInkDim : &kGrid, mLeft, y, mRight - 1, y);
    char label[16];
    std::snprintf(label, sizeof label, db > 0 ? "+%.0f" : "%.0f", db);
    IRECT t(mLeft - 36, y - 6, mLeft - 5, y + 6);
    g->DrawIText(&small, label, &t);
  }
  // Each band's frequency: a tick at the top edge with its name above it.
  small.mAlign = IText::AlignCentre;
  small.mColor = kInk;
  for (const Mark& m : mMarks) {
    if (!(m.hz >= kLowHz && m.hz <= kHighHz)) continue;
    const int x = static_cast<int>(std::lround(X(m.hz)));
    g->DrawLine(&kAccent, x, mTop - 3, x, mTop + 4);
    IRECT t(x - 12, r.T + 2, x + 12, mTop - 3);
    g->DrawIText(&small, m.label, &t);
  }
  // The curve, two pixels thick and smoothed at its edges: each pixel column takes the
  // curve's height there (linear between points), joined to the last column's.
  if (mHz.size() < 2) return true;
  size_t k = 1;
  double lastY = 0.0;
  const int endX = static_cast<int>(std::floor(X(mHz.back())));
  for (int x = mLeft; x <= endX; ++x) {
    while (k + 1 < mHz.size() && X(mHz[k]) < x)
      ++k;
    const double x0 = X(mHz[k - 1]), x1 = X(mHz[k]);
    const double t = x1 > x0 ? std::max(0.0, std::min(1.0, (x - x0) / (x1 - x0))) : 0.0;
    const double db = mDb[k - 1] + (mDb[k] - mDb[k - 1]) * t;
    const double y = std::max<double>(mTop, std::min<double>(mBottom - 2, Y(db) - 0.5));
    const int top = static_cast<int>(std::floor(y));
    const double frac = y - top;
    int spanTop = top, spanBottom = top + 2;
    if (x > mLeft) {
      spanTop = std::min(spanTop, static_cast<int>(std::floor(lastY)) + 1);
      spanBottom = std::max(spanBottom, static_cast<int>(std::floor(lastY)) + 1);
    }
    IRECT span(x, spanTop, x + 1, spanBottom);
    g->FillIRect(&kAccent, &span);
    const IChannelBlend above(IChannelBlend::BlendDefault, static_cast<float>(1.0 - frac));
    const IChannelBlend below(IChannelBlend::BlendDefault, static_cast<float>(frac));
    IRECT pa(x, spanTop - 1, x + 1, spanTop), pb(x, spanBottom, x + 1, spanBottom + 1);
    if (pa.T >= mTop) g->FillIRect(&kAccent, &pa, &above);
    if (pb.B <= mBottom) g->FillIRect(&kAccent, &pb, &below);
    lastY = y;
  }
  return true;
}

void VantroseCurveToggle::OnMouseUp(int, int, IMouseMod*) {
  IGraphics* graphics = GetGUI();
  VantroseCurve::SetOpen(graphics, mPlug, !VantroseCurve::IsOpen(graphics), true);
}
