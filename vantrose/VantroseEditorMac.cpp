// The effect's editor on the macOS window glue, kept apart from the panel's composition
// so that a binary with another window system links no part of it.
#include "IGraphicsMac.h"
#include "VantroseCurveStrip.h"
#include "VantroseEditor.h"
#include "VantroseIdentity.h"
#include "VantroseLayout.h"

using namespace VantroseLayout;

IGraphicsMac* MakeGraphics(IPluginBase* plug, int width, int height, int fps) {
  IGraphicsMac* graphics = new IGraphicsMac(plug, width, height, fps);
  graphics->SetBundleID(VantroseIdentity::kBundleID);
  return graphics;
}

IEditor* MakeVantroseEditor(IPluginBase* plug) {
  // The response curve open or closed as the user last left it.
  IGraphicsMac* graphics =
      MakeGraphics(plug, kWidth, VantroseCurve::EditorHeight(VantroseCurve::ReadPreference()), 0);
  AttachVantroseControls(graphics, plug);
  return graphics;
}
