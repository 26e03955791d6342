#pragma once

#include <string>
#include <utility>
#include <vector>

#include "LV2Product.h"

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
  std::string unitTerm;     // a units: term such as "db", used instead of the label
  std::string comment;      // rdfs:comment, or empty
  std::string group;        // a port group's symbol, or empty
  std::string designation;  // an lv2: designation such as "enabled", or empty
  std::vector<std::pair<double, std::string>> scalePoints;
};

// The port for parameter idx of plug.  Symbols are the names in lower case with every
// character outside [a-z0-9_] dropped; parameters without a name take theirs from the
// product's table of unnamed parameters, or "param" and the index.  The product's port
// texts then give the name, comment, group, unit and designation a host shows, and its
// scale points.
LV2ControlPort ControlPortForParam(IPluginBase& plug, int idx, LV2ScalePointFn points = nullptr);

// The shortest decimal text that reads back as exactly v.
std::string TurtleNumber(double v);

// The bundle's three Turtle files as text, from the plug-in's parameters and presets.
std::string ManifestTurtle(IPluginBase& plug);
std::string PluginsTurtle(IPluginBase& plug, LV2ScalePointFn points = nullptr);
std::string PresetsTurtle(IPluginBase& plug);

// Writes manifest.ttl, the product's plug-ins file and presets.ttl into dir; false when a file
// can't be written.
bool WriteBundleTurtle(IPluginBase& plug, const char* dir, LV2ScalePointFn points = nullptr);
