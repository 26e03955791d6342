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
};

// The product's description; defined once by the product that links this wrapper.
const LV2Product& GetLV2Product();
