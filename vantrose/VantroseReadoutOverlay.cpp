#include "VantroseReadoutOverlay.h"

#include <chrono>
#include <cmath>
#include <cstring>
#include <vector>

#include "IGraphics.h"
#include "IParam.h"
#include "IPluginBase.h"
#include "VantroseLayout.h"
#include "VantroseParams.h"
#include "VantroseReadout.h"

namespace {

using namespace VantroseLayout;

// The panel's colours: its dark plate, its accent and its ink.
const IColor kFill(238, 0x1F, 0x20, 0x24);
const IColor kEdge(255, 0xF2, 0xA3, 0x3A);
const IColor kInk(255, 0xD8, 0xD4, 0xCC);

constexpr int kPadX = 6, kPadY = 3, kGap = 3, kCorner = 4;
constexpr int kTextSize = 11;

double SteadySeconds() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// Half the width of a line of n characters of the panel's 9-pixel captions, with room.
int HalfWidth(const char* text, double perChar) {
  return static_cast<int>(std::strlen(text) * perChar / 2.0) + 3;
}

// Everything printed on the background that a read-out must not cover: the captions
// under the controls, the section titles, the oversampling caption, the product name.
const std::vector<IRECT>& PrintedLabels() {
  static const std::vector<IRECT> labels = [] {
    std::vector<IRECT> out;
    for (const ControlPlace& p : kControls) {
      if (p.kind == kKnob) {
        const int cx = p.x + kKnobSize / 2, hw = HalfWidth(p.caption, 6.0);
        out.emplace_back(cx - hw, p.y + kKnobSize, cx + hw, p.y + kKnobSize + 13);
      } else if (p.y + kSwitchHeight + 12 < kHeight) {
        const int cx = p.x + kSwitchWidth / 2, hw = HalfWidth(p.caption, 6.0);
        out.emplace_back(cx - hw, p.y + kSwitchHeight + 1, cx + hw, p.y + kSwitchHeight + 15);
      } else {
        out.emplace_back(p.x + kSwitchWidth + 4, p.y + 3, p.x + kSwitchWidth + 78, p.y + 17);
      }
    }
    const struct {
      int x;
      const char* text;
    } titles[] = {{141, "FILTERS"},  {293, "LOW"},  {389, "LOW MID"},
                  {484, "HIGH MID"}, {580, "HIGH"}, {649, "OUTPUT"}};
    for (const auto& t : titles) {
      const int hw = HalfWidth(t.text, 8.5);
      out.emplace_back(t.x - hw, 16, t.x + hw, 31);
    }
    out.emplace_back(kLinkL, kLinkT, kLinkR, kLinkB);
    return out;
  }();
  return labels;
}

bool InsidePanel(const IRECT& r) {
  return r.L >= 1 && r.T >= 1 && r.R <= kWidth - 1 && r.B <= kHeight - 1;
}

bool ClearOfLabels(const IRECT& r) {
  for (const IRECT& label : PrintedLabels()) {
    if (r.Intersects(label)) return false;
  }
  return true;
}

}  // namespace

VantroseReadoutOverlay::VantroseReadoutOverlay(IPluginBase* plug)
    : IControl(plug, IRECT(0, 0, 1, 1)),
      mNow(SteadySeconds),
      mStyle(kTextSize, &kInk, "DejaVu Sans", IText::StyleNormal, IText::AlignCentre, 0,
             IText::QualityAntialias) {
  mHide = true;
  mDirty = false;
}

std::string VantroseReadoutOverlay::TextFor(const IControl* c) const {
  if (!c || !mPlug) return "";
  return VantroseReadout::Text(*mPlug, c->ParamIdx(), mPlug->GetSampleRate());
}

IRECT VantroseReadoutOverlay::PlaceFor(const IControl* c, const std::string& text) {
  IRECT measured(0, 0, 0, 0);
  IGraphics* graphics = GetGUI();
  if (!graphics || !graphics->DrawIText(&mStyle, text.c_str(), &measured, true) ||
      measured.W() <= 0) {
    measured = IRECT(0, 0, static_cast<int>(text.size()) * 7, kTextSize + 2);
  }
  const int w = measured.W() + 2 * kPadX, h = measured.H() + 2 * kPadY;
  const IRECT& k = c->GetRECT();
  const int midX = (k.L + k.R) / 2, midY = (k.T + k.B) / 2;
  const IRECT candidates[] = {
      IRECT(k.R + kGap, midY - h / 2, k.R + kGap + w, midY - h / 2 + h),  // right
      IRECT(k.L - kGap - w, midY - h / 2, k.L - kGap, midY - h / 2 + h),  // left
      IRECT(midX - w / 2, k.T - kGap - h, midX - w / 2 + w, k.T - kGap),  // above
      IRECT(midX - w / 2, k.B + 16, midX - w / 2 + w, k.B + 16 + h),      // below the caption
  };
  for (const IRECT& r : candidates) {
    if (InsidePanel(r) && ClearOfLabels(r)) return r;
  }
  for (const IRECT& r : candidates) {
    if (InsidePanel(r)) return r;
  }
  // Nowhere beside it: pushed inside the panel at the right.
  IRECT r = candidates[0];
  const int dx = r.R > kWidth - 1 ? kWidth - 1 - r.R : (r.L < 1 ? 1 - r.L : 0);
  const int dy = r.B > kHeight - 1 ? kHeight - 1 - r.B : (r.T < 1 ? 1 - r.T : 0);
  return IRECT(r.L + dx, r.T + dy, r.R + dx, r.B + dy);
}

void VantroseReadoutOverlay::Hover(const IControl* c) {
  if (c != mTarget) {
    mTarget = c;
    mNoteUntil = -1.0;
    mHovered = true;
    mHideAt = -1.0;
    if (mShown) {
      ShowNow();  // moving from one read-out to the next needs no new wait
    } else {
      mShowAt = Now() + kHoverDelay;
    }
    return;
  }
  mHovered = true;
  if (!mInGesture) mHideAt = -1.0;
  if (!mShown && mShowAt < 0.0) mShowAt = Now() + kHoverDelay;
}

void VantroseReadoutOverlay::Leave(const IControl* c) {
  if (c != mTarget) return;
  mHovered = false;
  if (!mShown) {
    mShowAt = -1.0;
    mTarget = nullptr;
  } else if (!mInGesture && mHideAt < 0.0) {
    mHideAt = Now() + kLinger;
  }
}

void VantroseReadoutOverlay::GestureBegin(const IControl* c) {
  mTarget = c;
  mInGesture = true;
  mHideAt = -1.0;
  mNoteUntil = -1.0;
  ShowNow();
}

void VantroseReadoutOverlay::GestureEnd(const IControl* c) {
  if (c != mTarget) return;
  mInGesture = false;
  if (!mShown) ShowNow();
  mHideAt = Now() + kLinger;
}

void VantroseReadoutOverlay::HostChanged(const IControl* c) {
  if (c != mTarget || !(mHovered || mShown)) return;
  if (!mShown) ShowNow();
  if (!mHovered && !mInGesture) mHideAt = Now() + kLinger;
}

void VantroseReadoutOverlay::ShowNote(const IControl* c, const std::string& text) {
  mTarget = c;
  mNote = text;
  mNoteUntil = Now() + kRangeShown;
  mHideAt = mNoteUntil;
  mShown = true;
  Relayout(mNote);
}

void VantroseReadoutOverlay::ShowNow() {
  mShowAt = -1.0;
  if (!mTarget) return;
  mShown = true;
  ParamsChanged();
  Relayout(TextFor(mTarget));
}

void VantroseReadoutOverlay::HideNow() {
  mShown = false;
  mShowAt = mHideAt = mNoteUntil = -1.0;
  if (!mHovered) mTarget = nullptr;
  mText.clear();
  mRECT = mBubble;  // redrawn from what lies beneath
  Hide(true);
}

// The old and the new place are both redrawn; the control's rectangle shrinks back
// to the read-out once drawn.
void VantroseReadoutOverlay::Relayout(const std::string& text) {
  const IRECT old = mHide ? IRECT() : mBubble;
  mText = text;
  mBubble = PlaceFor(mTarget, text);
  mRECT = old.Union(mBubble);
  Hide(false);
}

bool VantroseReadoutOverlay::ParamsChanged() {
  if (!mPlug) return false;
  bool changed = mSeenRate != mPlug->GetSampleRate();
  mSeenRate = mPlug->GetSampleRate();
  const int n = std::min(mPlug->NParams(), 32);
  for (int i = 0; i < n; ++i) {
    const double v = mPlug->GetParam(i)->GetValue();
    if (v != mSeen[i]) changed = true;
    mSeen[i] = v;
  }
  return changed;
}

bool VantroseReadoutOverlay::IsDirty() {
  const double now = Now();
  if (!mShown && mTarget && mShowAt >= 0.0 && now >= mShowAt) ShowNow();
  if (mShown && mHideAt >= 0.0 && now >= mHideAt && !mInGesture) {
    HideNow();
  } else if (mShown) {
    const bool noteOver = mNoteUntil >= 0.0 && now >= mNoteUntil;
    if (noteOver) mNoteUntil = -1.0;
    if ((ParamsChanged() || noteOver) && mNoteUntil < 0.0) {
      const std::string text = TextFor(mTarget);
      if (text != mText || noteOver) Relayout(text);
    }
  }
  return mDirty;
}

void VantroseReadoutOverlay::SetClean() {
  IControl::SetClean();
  if (!mHide) mRECT = mBubble;
}

bool VantroseReadoutOverlay::Draw(IGraphics* graphics) {
  if (!mShown || mText.empty()) return true;
  IRECT r = mBubble;
  graphics->FillRoundRect(&kFill, &r, nullptr, kCorner, true);
  graphics->RoundRect(&kEdge, &r, nullptr, kCorner, true);
  IRECT text(r.L, r.T + kPadY, r.R, r.B - kPadY);
  return graphics->DrawIText(&mStyle, mText.c_str(), &text);
}

// ---- The panel's controls ----

namespace {}  // namespace

VantroseKnob::VantroseKnob(IPluginBase* plug, int x, int y, int paramIdx, const IBitmap* bitmap,
                           VantroseReadoutOverlay* overlay)
    : IKnobMultiControl(plug, x, y, paramIdx, bitmap, DirVertical, 4.0), mOverlay(overlay) {
  mTextEntryLength = 16;
}

// A right press opens the entry at once; a Control press opens it on release unless
// the pointer moved, as a Control drag is a fine adjustment.
void VantroseKnob::OnMouseDown(int x, int y, IMouseMod* mod) {
  mTypePending = false;
  if (mod && mod->R) {
    OpenTextEntry();
    return;
  }
  if (mod && mod->C) {
    mTypePending = true;
    return;
  }
  IKnobMultiControl::OnMouseDown(x, y, mod);
  if (mOverlay) mOverlay->GestureBegin(this);
}

void VantroseKnob::OnMouseUp(int x, int y, IMouseMod* mod) {
  IKnobMultiControl::OnMouseUp(x, y, mod);
  if (mTypePending) {
    mTypePending = false;
    OpenTextEntry();
    return;
  }
  if (mOverlay) mOverlay->GestureEnd(this);
}

void VantroseKnob::OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* mod) {
  mTypePending = false;
  IKnobMultiControl::OnMouseDrag(x, y, dX, dY, mod);
  if (mOverlay) mOverlay->GestureBegin(this);
}

void VantroseKnob::OpenTextEntry() {
  IGraphics* graphics = GetGUI();
  if (!graphics || !mOverlay) return;
  const std::string text = mOverlay->TextFor(this);
  IRECT r = mOverlay->PlaceFor(this, text);
  mOverlay->Leave(this);
  graphics->CreateTextEntry(this, &mText, &r, text.c_str(), nullptr);
}

void VantroseKnob::OnMouseWheel(int x, int y, IMouseMod* mod, int d) {
  IKnobMultiControl::OnMouseWheel(x, y, mod, d);
  if (!mOverlay) return;
  mOverlay->GestureBegin(this);
  mOverlay->GestureEnd(this);
}

void VantroseKnob::OnMouseDblClick(int x, int y, IMouseMod* mod) {
  IKnobMultiControl::OnMouseDblClick(x, y, mod);
  if (!mOverlay) return;
  mOverlay->GestureBegin(this);
  mOverlay->GestureEnd(this);
}

void VantroseKnob::OnMouseOver(int, int, IMouseMod*) {
  if (mOverlay) mOverlay->Hover(this);
}

void VantroseKnob::OnMouseOut() {
  if (mOverlay) mOverlay->Leave(this);
}

void VantroseKnob::SetValueFromPlug(double value) {
  const double before = mValue;
  IKnobMultiControl::SetValueFromPlug(value);
  if (mOverlay && mValue != before) mOverlay->HostChanged(this);
}

void VantroseKnob::TextFromTextEntry(const char* text) {
  if (!mPlug || !mOverlay) return;
  double position = 0.0;
  const VantroseReadout::Typed result = VantroseReadout::ParseTyped(
      *mPlug, mParamIdx, mPlug->GetSampleRate(), text ? text : "", &position);
  if (result != VantroseReadout::Typed::kApplied) {
    mOverlay->ShowNote(this, VantroseReadout::RangeText(*mPlug, mParamIdx, mPlug->GetSampleRate()));
    return;
  }
  mPlug->BeginInformHostOfParamChange(mParamIdx);
  SetValueFromUserInput(position);
  mPlug->EndInformHostOfParamChange(mParamIdx);
  mOverlay->GestureBegin(this);
  mOverlay->GestureEnd(this);
}

VantroseSwitch::VantroseSwitch(IPluginBase* plug, int x, int y, int paramIdx, const IBitmap* bitmap,
                               VantroseReadoutOverlay* overlay)
    : ISwitchControl(plug, x, y, paramIdx, bitmap), mOverlay(overlay) {}

void VantroseSwitch::OnMouseDown(int x, int y, IMouseMod* mod) {
  ISwitchControl::OnMouseDown(x, y, mod);
  if (mOverlay) mOverlay->GestureBegin(this);
}

void VantroseSwitch::OnMouseUp(int x, int y, IMouseMod* mod) {
  ISwitchControl::OnMouseUp(x, y, mod);
  if (mOverlay) mOverlay->GestureEnd(this);
}

void VantroseSwitch::OnMouseOver(int, int, IMouseMod*) {
  if (mOverlay) mOverlay->Hover(this);
}

void VantroseSwitch::OnMouseOut() {
  if (mOverlay) mOverlay->Leave(this);
}

void VantroseSwitch::SetValueFromPlug(double value) {
  const double before = mValue;
  ISwitchControl::SetValueFromPlug(value);
  if (mOverlay && mValue != before) mOverlay->HostChanged(this);
}
