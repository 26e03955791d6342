#include "TurtleWriter.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "IPluginBase.h"
#include "LV2Product.h"

namespace {

const char* kPrefixes =
    "@prefix atom: <http://lv2plug.in/ns/ext/atom#> .\n"
    "@prefix bufsz: <http://lv2plug.in/ns/ext/buf-size#> .\n"
    "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
    "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
    "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix opts: <http://lv2plug.in/ns/ext/options#> .\n"
    "@prefix pg: <http://lv2plug.in/ns/ext/port-groups#> .\n"
    "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
    "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
    "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
    "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
    "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
    "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n\n";

// Text inside a Turtle string literal: quotes and backslashes escaped.
std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

std::string SymbolFromName(const char* name) {
  std::string out;
  for (const char* p = name; *p; ++p) {
    char c = static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
    if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_') out += c;
  }
  if (!out.empty() && out[0] >= '0' && out[0] <= '9') out = "p" + out;
  return out;
}

// Port groups belong to the product, shared by its plug-ins: <first plug-in's URI base>#symbol.
std::string GroupURI(const std::string& symbol) {
  std::string base = GetLV2Product().nKinds > 0 ? GetLV2Product().kinds[0].uri : "urn:lv2";
  return base.substr(0, base.find('#')) + "#group-" + symbol;
}

std::string PresetURI(const LV2PluginKind& kind, int idx) {
  return std::string(kind.uri) + GetLV2Product().presetSuffix + std::to_string(idx);
}

std::string ControlPortTurtle(const LV2ControlPort& p, int index) {
  std::string t = "  lv2:port [\n    a lv2:InputPort , lv2:ControlPort ;\n";
  t += "    lv2:index " + std::to_string(index) + " ;\n";
  t += "    lv2:symbol " + Quoted(p.symbol) + " ;\n";
  t += "    lv2:name " + Quoted(p.name) + " ;\n";
  t += "    lv2:default " + TurtleNumber(p.defaultValue) + " ;\n";
  t += "    lv2:minimum " + TurtleNumber(p.minimum) + " ;\n";
  t += "    lv2:maximum " + TurtleNumber(p.maximum);
  if (p.integer) t += " ;\n    lv2:portProperty lv2:integer";
  if (p.toggled) t += " ;\n    lv2:portProperty lv2:toggled";
  if (!p.designation.empty()) t += " ;\n    lv2:designation lv2:" + p.designation;
  if (!p.comment.empty()) t += " ;\n    rdfs:comment " + Quoted(p.comment);
  if (!p.group.empty()) t += " ;\n    pg:group <" + GroupURI(p.group) + ">";
  for (const auto& point : p.scalePoints) {
    t += " ;\n    lv2:scalePoint [ rdfs:label " + Quoted(point.second) + " ; rdf:value " +
         TurtleNumber(point.first) + " ]";
  }
  if (!p.unitTerm.empty()) {
    t += " ;\n    units:unit units:" + p.unitTerm;
  } else if (!p.label.empty()) {
    // The value shown with the parameter's own precision, then its label.
    std::string render = "%." + std::to_string(p.precision) + "f ";
    for (char c : p.label)
      render += c == '%' ? std::string("%%") : std::string(1, c);
    t += " ;\n    units:unit [\n      a units:Unit ;\n      rdfs:label " + Quoted(p.label) +
         " ;\n      units:symbol " + Quoted(p.label) + " ;\n      units:render " + Quoted(render) +
         "\n    ]";
  }
  return t + "\n  ] ;\n";
}

std::string AudioPortTurtle(const char* direction, const char* symbol, const char* name,
                            int index) {
  std::string t = "  lv2:port [\n    a lv2:" + std::string(direction) + " , lv2:AudioPort ;\n";
  t += "    lv2:index " + std::to_string(index) + " ;\n";
  t += "    lv2:symbol " + Quoted(symbol) + " ;\n";
  t += "    lv2:name " + Quoted(name) + "\n  ]";
  return t;
}

std::string LatencyPortTurtle(int index);

// The plug-in's version in LV2's two parts: major and minor of the packed version make
// the minor version (3.0.x is 300), the patch the micro version.
void LV2Version(int packed, int* minor, int* micro) {
  int major = 0, min = 0, patch = 0;
  GetVersionParts(packed, &major, &min, &patch);
  *minor = major * 100 + min;
  *micro = patch;
}

std::string PluginTurtle(IPluginBase& plug, const LV2PluginKind& kind, LV2ScalePointFn points) {
  const LV2Product& product = GetLV2Product();
  int minor = 0, micro = 0;
  LV2Version(plug.GetEffectVersion(false), &minor, &micro);
  std::string t =
      "<" + std::string(kind.uri) + ">\n  a lv2:Plugin , lv2:EQPlugin , doap:Project ;\n";
  t += "  doap:name " + Quoted(kind.name) + " ;\n";
  std::string maker = "[ foaf:name " + Quoted(plug.GetMfrName());
  if (product.homepage) maker += " ; foaf:homepage <" + std::string(product.homepage) + ">";
  maker += " ]";
  t += "  doap:developer " + maker + " ;\n  doap:maintainer " + maker + " ;\n";
  if (product.license) t += "  doap:license <" + std::string(product.license) + "> ;\n";
  t += "  lv2:minorVersion " + std::to_string(minor) + " ;\n";
  t += "  lv2:microVersion " + std::to_string(micro) + " ;\n";
  t += "  lv2:optionalFeature lv2:hardRTCapable , urid:map , opts:options ;\n";
  t += "  opts:supportedOption bufsz:maxBlockLength ;\n";
  t += "  lv2:extensionData state:interface ;\n";
  t += "  ui:ui <" + std::string(product.uiURI) + "> ;\n";
  for (int i = 0; i < plug.NParams(); ++i)
    t += ControlPortTurtle(ControlPortForParam(plug, i, points), i);
  static const char* kInSymbols[2][2] = {{"in", "in_l"}, {"", "in_r"}};
  static const char* kOutSymbols[2][2] = {{"out", "out_l"}, {"", "out_r"}};
  static const char* kInNames[2][2] = {{"In", "In L"}, {"", "In R"}};
  static const char* kOutNames[2][2] = {{"Out", "Out L"}, {"", "Out R"}};
  int n = kind.nChannels, stereo = n == 2 ? 1 : 0, index = plug.NParams();
  for (int c = 0; c < n; ++c)
    t += AudioPortTurtle("InputPort", kInSymbols[c][stereo], kInNames[c][stereo], index++) + " ;\n";
  for (int c = 0; c < n; ++c) {
    t += AudioPortTurtle("OutputPort", kOutSymbols[c][stereo], kOutNames[c][stereo], index++);
    t += c + 1 < n || product.reportsLatency ? " ;\n" : " .\n\n";
  }
  if (product.reportsLatency) t += LatencyPortTurtle(index) + " .\n\n";
  return t;
}

// The delay the plug-in adds, in whole samples; optional, after every other port.
std::string LatencyPortTurtle(int index) {
  std::string t = "  lv2:port [\n    a lv2:OutputPort , lv2:ControlPort ;\n";
  t += "    lv2:index " + std::to_string(index) + " ;\n";
  t += "    lv2:symbol \"latency\" ;\n    lv2:name \"Latency\" ;\n";
  t += "    lv2:designation lv2:latency ;\n";
  t += "    lv2:portProperty lv2:reportsLatency , lv2:integer , lv2:connectionOptional ;\n";
  t += "    lv2:minimum 0 ;\n    lv2:maximum 256 ;\n";
  t += "    units:unit units:frame ;\n";
  t += "    rdfs:comment \"The delay the plug-in adds, in samples.\"\n  ]";
  return t;
}

// The product's port groups, shared by its plug-ins.
std::string GroupsTurtle() {
  const LV2Product& product = GetLV2Product();
  std::string t;
  for (int i = 0; i < product.nGroups; ++i) {
    const LV2PortGroup& g = product.groups[i];
    t += "<" + GroupURI(g.symbol) + ">\n  a pg:Group ;\n  lv2:symbol " + Quoted(g.symbol) +
         " ;\n  rdfs:label " + Quoted(g.label) + " .\n\n";
  }
  return t;
}

// The editor: an X11 window of fixed size that embeds in the host's window, shows itself
// on its own, and reports gestures; it needs nothing from the plug-in instance.
std::string UITurtle() {
  std::string t = "<" + std::string(GetLV2Product().uiURI) + ">\n  a ui:X11UI ;\n";
  t += "  lv2:optionalFeature ui:parent , ui:resize , ui:touch , ui:idleInterface , "
       "ui:noUserResize ;\n";
  t += "  lv2:extensionData ui:idleInterface , ui:showInterface .\n\n";
  return t;
}

}  // namespace

std::string TurtleNumber(double v) {
  char buf[40];
  for (int digits = 1; digits <= 17; ++digits) {
    std::snprintf(buf, sizeof buf, "%.*g", digits, v);
    if (std::strtod(buf, nullptr) == v) break;
  }
  std::string s = buf;
  // Turtle reads a bare integer as xsd:integer; ports and values are decimals.
  if (s.find_first_of(".eEn") == std::string::npos) s += ".0";
  return s;
}

LV2ControlPort ControlPortForParam(IPluginBase& plug, int idx, LV2ScalePointFn points) {
  LV2ControlPort p;
  const IParam* param = plug.GetParam(idx);
  if (!param) return p;
  p.symbol = SymbolFromName(param->GetNameForHost());
  p.name = param->GetNameForHost();
  if (p.symbol.empty()) {
    p.symbol = "param" + std::to_string(idx);
    p.name = p.symbol;
    const LV2Product& product = GetLV2Product();
    for (int i = 0; i < product.nUnnamedParams; ++i) {
      const LV2UnnamedParam& u = product.unnamedParams[i];
      if (u.paramIdx == idx) {
        p.symbol = u.symbol;
        p.name = u.name;
      }
    }
  }
  p.defaultValue = param->GetDefault();
  p.minimum = param->GetMin();
  p.maximum = param->GetMax();
  // Every kind but double is stepped to whole values; a 0..1 stepped one is a switch.
  p.integer = param->GetKind() != kParamDouble && param->GetStep() == 1.0;
  p.toggled = p.integer && p.minimum == 0.0 && p.maximum == 1.0;
  p.label = param->GetLabelForHost();
  p.precision = param->GetPrecision();
  const LV2Product& product = GetLV2Product();
  if (idx < product.nPortTexts) {
    const LV2PortText& text = product.portTexts[idx];
    if (text.name) p.name = text.name;
    if (text.comment) p.comment = text.comment;
    if (text.group) p.group = text.group;
    if (text.unit && !*text.unit) p.label.clear();
    if (text.unit && *text.unit) p.unitTerm = text.unit;
    if (text.designation) p.designation = text.designation;
  }
  if (points) {
    LV2ScalePoint scale[16] = {};
    int n = points(idx, scale, 16);
    for (int i = 0; i < n && i < 16; ++i) {
      scale[i].label[sizeof scale[i].label - 1] = '\0';
      p.scalePoints.emplace_back(scale[i].value, scale[i].label);
    }
  }
  return p;
}

std::string ManifestTurtle(IPluginBase& plug) {
  std::string t = kPrefixes;
  const LV2Product& product = GetLV2Product();
  for (int n = 0; n < product.nKinds; ++n) {
    const LV2PluginKind& k = product.kinds[n];
    t += "<" + std::string(k.uri) + ">\n  a lv2:Plugin ;\n  lv2:binary <" + product.binaryName +
         "> ;\n  rdfs:seeAlso <" + product.pluginsTurtleName + "> .\n\n";
    for (int i = 0; i < plug.NPresets() + product.nPresets; ++i) {
      if (i < plug.NPresets() && !plug.GetPreset(i)->mInitialized) continue;
      t += "<" + PresetURI(k, i) + ">\n  a pset:Preset ;\n  lv2:appliesTo <" + k.uri +
           "> ;\n  rdfs:seeAlso <presets.ttl> .\n\n";
    }
  }
  t += "<" + std::string(product.uiURI) + ">\n  a ui:X11UI ;\n  ui:binary <" +
       product.uiBinaryName + "> ;\n  rdfs:seeAlso <" + product.pluginsTurtleName + "> .\n\n";
  return t;
}

std::string PluginsTurtle(IPluginBase& plug, LV2ScalePointFn points) {
  std::string t = kPrefixes;
  const LV2Product& product = GetLV2Product();
  for (int n = 0; n < product.nKinds; ++n)
    t += PluginTurtle(plug, product.kinds[n], points);
  return t + GroupsTurtle() + UITurtle();
}

// A factory preset: every parameter at its default but those the preset sets.
static std::string FactoryPresetTurtle(IPluginBase& plug, const LV2PluginKind& k, int idx,
                                       const LV2FactoryPreset& preset) {
  std::string t = "<" + PresetURI(k, idx) + ">\n  a pset:Preset ;\n  lv2:appliesTo <" + k.uri +
                  "> ;\n  rdfs:label " + Quoted(preset.label);
  for (int p = 0; p < plug.NParams(); ++p) {
    double v = plug.GetParam(p)->GetDefault();
    for (int i = 0; i < preset.nValues && i < 8; ++i) {
      if (preset.values[i].paramIdx == p) v = preset.values[i].value;
    }
    t += " ;\n  lv2:port [\n    lv2:symbol " + Quoted(ControlPortForParam(plug, p).symbol) +
         " ;\n    pset:value " + TurtleNumber(v) + "\n  ]";
  }
  return t + " .\n\n";
}

// Each preset's chunk holds one double per parameter, in index order.
std::string PresetsTurtle(IPluginBase& plug) {
  std::string t = kPrefixes;
  const LV2Product& product = GetLV2Product();
  for (int n = 0; n < product.nKinds; ++n) {
    const LV2PluginKind& k = product.kinds[n];
    for (int i = 0; i < plug.NPresets(); ++i) {
      IPreset* preset = plug.GetPreset(i);
      if (!preset->mInitialized) continue;
      t += "<" + PresetURI(k, i) + ">\n  a pset:Preset ;\n  lv2:appliesTo <" + k.uri + "> ;\n";
      t += "  rdfs:label " + Quoted(preset->mName);
      // A value the chunk does not hold is left out; the host keeps that port as it is.
      int pos = 0;
      for (int p = 0; p < plug.NParams(); ++p) {
        double v = 0.0;
        pos = preset->mChunk.Read(&v, pos);
        if (pos < 0) break;
        t += " ;\n  lv2:port [\n    lv2:symbol " + Quoted(ControlPortForParam(plug, p).symbol) +
             " ;\n    pset:value " + TurtleNumber(v) + "\n  ]";
      }
      t += " .\n\n";
    }
    for (int f = 0; f < product.nPresets; ++f)
      t += FactoryPresetTurtle(plug, k, plug.NPresets() + f, product.presets[f]);
  }
  return t;
}

bool WriteBundleTurtle(IPluginBase& plug, const char* dir, LV2ScalePointFn points) {
  struct File {
    const char* name;
    std::string text;
  } files[] = {{"manifest.ttl", ManifestTurtle(plug)},
               {GetLV2Product().pluginsTurtleName, PluginsTurtle(plug, points)},
               {"presets.ttl", PresetsTurtle(plug)}};
  for (const File& f : files) {
    std::string path = std::string(dir) + "/" + f.name;
    FILE* out = std::fopen(path.c_str(), "w");
    if (!out) return false;
    bool ok = std::fwrite(f.text.data(), 1, f.text.size(), out) == f.text.size();
    ok = std::fclose(out) == 0 && ok;
    if (!ok) return false;
  }
  return true;
}
