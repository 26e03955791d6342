#pragma once

#include "IGraphicsMac.h"
#include "VantroseEditorFactory.h"

class IPluginBase;

// An editor of the given size and frame rate for plug, finding its images in
// the bundle of the effect's bundle identifier.
IGraphicsMac* MakeGraphics(IPluginBase* plug, int width, int height, int fps);

// The effect's panel on any manager: background, four switches, eleven knobs and the
// link to the product page, bound to the fifteen parameters of plug.  Needs only the
// parameter definitions, not the signal chain.
void AttachVantroseControls(IGraphics* graphics, IPluginBase* plug);
