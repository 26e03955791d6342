#pragma once

#include <string>

class IPluginBase;

// How one parameter appears as an LV2 control port: its symbol and name, range and
// default in the parameter's own units, integer and toggle properties, and the unit
// label with the parameter's display precision.
struct LV2ControlPort {
  std::string symbol;
  std::string name;
  double defaultValue = 0.0, minimum = 0.0, maximum = 1.0;
  bool integer = false;
  bool toggled = false;
  std::string label;  // empty: no unit
  int precision = 0;
};

// The port for parameter idx of plug.  Symbols are the names in lower case with every
// character outside [a-z0-9_] dropped; parameters without a name take theirs from the
// product's table of unnamed parameters, or "param" and the index.
LV2ControlPort ControlPortForParam(IPluginBase& plug, int idx);

// The shortest decimal text that reads back as exactly v.
std::string TurtleNumber(double v);

// The bundle's three Turtle files as text, from the plug-in's parameters and presets.
std::string ManifestTurtle(IPluginBase& plug);
std::string PluginsTurtle(IPluginBase& plug);
std::string PresetsTurtle(IPluginBase& plug);

// Writes manifest.ttl, the product's plug-ins file and presets.ttl into dir; false when a file
// can't be written.
bool WriteBundleTurtle(IPluginBase& plug, const char* dir);
