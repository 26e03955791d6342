#include "VantroseEditor.h"

#include "IGraphics.h"
#include "IKnobControls.h"
#include "ISwitchControls.h"
#include "ITextControls.h"
#include "VantroseLayout.h"
#include "VantroseReadoutOverlay.h"

using namespace VantroseLayout;

// Switches and knobs in their fixed order, so that control indices, drawing
// order and hit-test priority stay as the layout lists them; the read-out last, over
// everything.
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
  graphics->AttachControl(
      new IURLControl(plug, IRECT(kLinkL, kLinkT, kLinkR, kLinkB), kProductURL));
  // Hovering drives the read-outs.
  graphics->HandleMouseOver(true);
  if (graphics->AttachControl(overlay) >= 0) return;
  for (int i = 0; i < kNumControls; ++i) {
    if (knobs[i]) knobs[i]->SetOverlay(nullptr);
    if (switches[i]) switches[i]->SetOverlay(nullptr);
  }
}
