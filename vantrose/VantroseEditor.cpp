#include "VantroseEditor.h"

#include "IGraphics.h"
#include "IKnobControls.h"
#include "ISwitchControls.h"
#include "ITextControls.h"
#include "VantroseCurveStrip.h"
#include "VantroseLayout.h"
#include "VantroseReadoutOverlay.h"

using namespace VantroseLayout;

// Switches and knobs in their fixed order, so that control indices, drawing
// order and hit-test priority stay as the layout lists them; the curve strip below the
// panel when the editor is tall enough to hold it; the read-out last, over everything.
void AttachVantroseControls(IGraphics* graphics, IPluginBase* plug) {
  graphics->AttachBackground(kBackgroundId, kBackgroundFile);
  auto* overlay = new VantroseReadoutOverlay(plug);
  VantroseKnob* knobs[kNumControls] = {};
  VantroseSwitch* switches[kNumControls] = {};
  for (int i = 0; i < kNumControls; ++i) {
    const ControlPlace& p = kControls[i];
    int frames = p.kind == kKnob ? kKnobFrames : kSwitchFrames;
    IBitmap bitmap = graphics->LoadIBitmap(p.imageId, p.file, frames);
    if (p.kind == kKnob) {
      knobs[i] = new VantroseKnob(plug, p.x, p.y, p.paramIdx, &bitmap, overlay);
      if (graphics->AttachControl(knobs[i]) < 0) knobs[i] = nullptr;
    } else {
      switches[i] = new VantroseSwitch(plug, p.x, p.y, p.paramIdx, &bitmap, overlay);
      if (graphics->AttachControl(switches[i]) < 0) switches[i] = nullptr;
    }
  }
  // The product name opens and closes the response curve; the tagline under it links
  // to the product page.
  graphics->AttachControl(
      new IURLControl(plug, IRECT(kLinkL, kNameB, kLinkR, kLinkB), kProductURL));
  graphics->AttachControl(new VantroseCurveToggle(plug, IRECT(kLinkL, kLinkT, kLinkR, kNameB)));
  if (VantroseCurve::IsOpen(graphics)) {
    graphics->AttachControl(
        new VantroseCurveStrip(plug, IRECT(0, kHeight, kWidth, kHeight + VantroseCurve::kHeight)));
  }
  // Hovering drives the read-outs.
  graphics->HandleMouseOver(true);
  if (graphics->AttachControl(overlay) >= 0) return;
  for (int i = 0; i < kNumControls; ++i) {
    if (knobs[i]) knobs[i]->SetOverlay(nullptr);
    if (switches[i]) switches[i]->SetOverlay(nullptr);
  }
}
