#pragma once

// The editor's native classes under their product-specific names (for example
// IGraphicsCocoa_vName_au): the code says IGraphicsCocoa, the host process sees a name
// no other product built on this framework uses.
#include "ProductNames.h"

#define IGraphicsNSMenu PLUG_COCOA_NAME(IGraphicsNSMenu)
#define IGraphicsMenuRcvr PLUG_COCOA_NAME(IGraphicsMenuRcvr)
#define CocoaFormatter PLUG_COCOA_NAME(CocoaFormatter)
#define IGraphicsCocoa PLUG_COCOA_NAME(IGraphicsCocoa)
#define CustomCocoaWindow PLUG_COCOA_NAME(CustomCocoaWindow)
