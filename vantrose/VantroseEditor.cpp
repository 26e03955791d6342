#include "VantroseEditor.h"

#include "IGraphics.h"
#include "IKnobControls.h"
#include "ISwitchControls.h"
#include "ITextControls.h"
#include "VantroseLayout.h"

using namespace VantroseLayout;

// Switches and knobs in their fixed order, so that control indices, drawing
// order and hit-test priority stay as the layout lists them.
void AttachVantroseControls(IGraphics* graphics, IPluginBase* plug) {
  graphics->AttachBackground(kBackgroundId, kBackgroundFile);
  for (int i = 0; i < kNumControls; ++i) {
    const ControlPlace& p = kControls[i];
    int frames = p.kind == kKnob ? kKnobFrames : kSwitchFrames;
    IBitmap bitmap = graphics->LoadIBitmap(p.imageId, p.file, frames);
    if (p.kind == kKnob) {
      graphics->AttachControl(
          new IKnobMultiControl(plug, p.x, p.y, p.paramIdx, &bitmap, DirVertical, 4.0));
    } else {
      graphics->AttachControl(new ISwitchControl(plug, p.x, p.y, p.paramIdx, &bitmap));
    }
  }
  graphics->AttachControl(
      new IURLControl(plug, IRECT(kLinkL, kLinkT, kLinkR, kLinkB), kProductURL));
}
