#pragma once

// What the LV2 wrapper needs to know of the product built on it: its plug-ins (one per
// channel configuration), the state key, the UI and the bundle's file names.  The
// product defines GetLV2Product(); the entry points and the Turtle generator read it,
// so the bundle's description and its code agree.

struct LV2PluginKind {
  const char* uri;
  const char* name;
  int nChannels;
};

// A parameter without a name of its own gets a stable port symbol and name here.
struct LV2UnnamedParam {
  int paramIdx;
  const char* symbol;
  const char* name;
};

// How a host presents one parameter's port.  Null fields keep what the parameter says.
struct LV2PortText {
  const char* name;         // a descriptive name, e.g. "Low Gain"
  const char* comment;      // rdfs:comment: what the control does, in a sentence
  const char* group;        // the symbol of its port group, or null
  const char* unit;         // null: the parameter's label; "": none; else a units: term ("db")
  const char* designation;  // an lv2: designation, e.g. "enabled" for a processing switch
};

struct LV2PortGroup {
  const char* symbol;
  const char* label;
};

// A labelled value on a port's scale.
struct LV2ScalePoint {
  double value;
  char label[32];
};

// A preset a host lists beside the plug-in's own: values for some parameters, every
// other parameter at its default.
struct LV2PresetValue {
  int paramIdx;
  double value;
};
struct LV2FactoryPreset {
  const char* label;
  LV2PresetValue values[8];
  int nValues;
};

struct LV2Product {
  const LV2PluginKind* kinds;
  int nKinds;
  const char* stateChunkURI;  // the state chunk is saved under this key, as an atom chunk
  const char* presetSuffix;   // presets are <plug-in URI> + this suffix + their index
  const LV2UnnamedParam* unnamedParams;
  int nUnnamedParams;
  const char* uiURI;  // one UI for every plug-in, in a binary of its own
  const char* uiBinaryName;
  const char* binaryName;
  const char* bundleName;
  const char* pluginsTurtleName;  // the Turtle file that describes the plug-ins and the UI

  // ---- What hosts show; any may be null (or zero) ----
  const LV2PortText* portTexts;  // one per parameter, in index order
  int nPortTexts;
  const LV2PortGroup* groups;
  int nGroups;
  const LV2FactoryPreset* presets;
  int nPresets;
  const char* homepage;  // the developer's and maintainer's home page
  const char* license;   // a URI
  bool reportsLatency;   // the plug-in fills the latency output port
};

// Writes up to max scale points for parameter paramIdx into out; returns the count.  A
// product's Turtle generator may give one, computed at build time.
using LV2ScalePointFn = int (*)(int paramIdx, LV2ScalePoint* out, int max);

// The product's description; defined once by the product that links this wrapper.
const LV2Product& GetLV2Product();
