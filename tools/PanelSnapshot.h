#pragma once

// The effect's editor panel rendered off screen: the effect is built with its
// editor, parameter values are applied as a host sets them, mouse gestures are
// replayed through the native view, and the screen the view drew is written
// as a PNG.

#include <string>
#include <vector>

#include "EffectSetup.h"

// One mouse gesture, in panel units at any scale (origin top-left, y down).
// A hover moves the pointer to X,Y without a button and rests there; a typed value is
// a right click at X,Y and text entered into the entry that opens.
struct PanelGesture {
  enum Kind { kClick, kDoubleClick, kDrag, kWheel, kHover, kType } kind;
  int x, y;
  int dx = 0, dy = 0;     // drag distance, or wheel steps in dy
  std::string text = {};  // what is typed
};

// Positions and distances are kept within this many pixels of the origin, wheel
// steps within this many: far beyond the panel, well inside int arithmetic.
constexpr int kMaxGesturePixels = 1 << 16;
constexpr int kMaxWheelSteps = 1000;

struct PanelSnapshotRequest {
  std::vector<ParamSetting> settings;
  bool curve = false;  // the response curve open below the panel
  std::vector<PanelGesture> gestures;
  std::string outPath;
  // The window's backing scale: the image is scale times the panel's size, drawn
  // from the artwork of that scale.  1, 1.5 or 2.
  float scale = 1.0f;
};

// The folder that holds resources/img/ next to this program: the checkout or
// install root, found from the executable's location or the working directory.
std::string FindProductRoot();

// Makes the artwork in dir (or, when empty, the product's own) the effect
// bundle's resources.  Call it before the first effect is built: images are
// cached per process.  False with a message when no artwork is found.
bool RegisterPanelArtwork(const std::string& dir, std::string* error);

// The artwork files the registered bundle draws from: a snapshot may not overwrite
// one of them.
std::vector<std::string> PanelArtworkFiles();

// Renders and writes the panel (never over its own artwork); on success *values holds every
// parameter's value after the gestures, in index order.  False with a message in *error.
bool RenderPanelSnapshot(const PanelSnapshotRequest& request, std::vector<double>* values,
                         std::string* error);
