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
    "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
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
  if (!p.label.empty()) {
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

std::string PluginTurtle(IPluginBase& plug, const LV2PluginKind& kind) {
  int major = 0, minor = 0, patch = 0;
  GetVersionParts(plug.GetEffectVersion(false), &major, &minor, &patch);
  std::string t =
      "<" + std::string(kind.uri) + ">\n  a lv2:Plugin , lv2:EQPlugin , doap:Project ;\n";
  t += "  doap:name " + Quoted(kind.name) + " ;\n";
  t += "  doap:maintainer [ foaf:name " + Quoted(plug.GetMfrName()) + " ] ;\n";
  t += "  lv2:minorVersion " + std::to_string(minor) + " ;\n";
  t += "  lv2:microVersion " + std::to_string(patch) + " ;\n";
  t += "  lv2:optionalFeature lv2:hardRTCapable , urid:map , opts:options ;\n";
  t += "  opts:supportedOption bufsz:maxBlockLength ;\n";
  t += "  lv2:extensionData state:interface ;\n";
  t += "  ui:ui <" + std::string(GetLV2Product().uiURI) + "> ;\n";
  for (int i = 0; i < plug.NParams(); ++i)
    t += ControlPortTurtle(ControlPortForParam(plug, i), i);
  static const char* kInSymbols[2][2] = {{"in", "in_l"}, {"", "in_r"}};
  static const char* kOutSymbols[2][2] = {{"out", "out_l"}, {"", "out_r"}};
  static const char* kInNames[2][2] = {{"In", "In L"}, {"", "In R"}};
  static const char* kOutNames[2][2] = {{"Out", "Out L"}, {"", "Out R"}};
  int n = kind.nChannels, stereo = n == 2 ? 1 : 0, index = plug.NParams();
  for (int c = 0; c < n; ++c)
    t += AudioPortTurtle("InputPort", kInSymbols[c][stereo], kInNames[c][stereo], index++) + " ;\n";
  for (int c = 0; c < n; ++c) {
    t += AudioPortTurtle("OutputPort", kOutSymbols[c][stereo], kOutNames[c][stereo], index++);
    t += c + 1 < n ? " ;\n" : " .\n\n";
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

LV2ControlPort ControlPortForParam(IPluginBase& plug, int idx) {
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
  return p;
}

std::string ManifestTurtle(IPluginBase& plug) {
  std::string t = kPrefixes;
  const LV2Product& product = GetLV2Product();
  for (int n = 0; n < product.nKinds; ++n) {
    const LV2PluginKind& k = product.kinds[n];
    t += "<" + std::string(k.uri) + ">\n  a lv2:Plugin ;\n  lv2:binary <" + product.binaryName +
         "> ;\n  rdfs:seeAlso <" + product.pluginsTurtleName + "> .\n\n";
    for (int i = 0; i < plug.NPresets(); ++i) {
      if (!plug.GetPreset(i)->mInitialized) continue;
      t += "<" + PresetURI(k, i) + ">\n  a pset:Preset ;\n  lv2:appliesTo <" + k.uri +
           "> ;\n  rdfs:seeAlso <presets.ttl> .\n\n";
    }
  }
  t += "<" + std::string(product.uiURI) + ">\n  a ui:X11UI ;\n  ui:binary <" +
       product.uiBinaryName + "> ;\n  rdfs:seeAlso <" + product.pluginsTurtleName + "> .\n\n";
  return t;
}

std::string PluginsTurtle(IPluginBase& plug) {
  std::string t = kPrefixes;
  const LV2Product& product = GetLV2Product();
  for (int n = 0; n < product.nKinds; ++n)
    t += PluginTurtle(plug, product.kinds[n]);
  return t + UITurtle();
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
  }
  return t;
}

bool WriteBundleTurtle(IPluginBase& plug, const char* dir) {
  struct File {
    const char* name;
    std::string text;
  } files[] = {{"manifest.ttl", ManifestTurtle(plug)},
               {GetLV2Product().pluginsTurtleName, PluginsTurtle(plug)},
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
