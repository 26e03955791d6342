#include "EditorScale.h"

#include <sys/stat.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

#include "IGraphics.h"

namespace {

// A positive finite number making up the whole of text (surrounding blanks allowed).
float PositiveNumber(const std::string& text) {
  const char* s = text.c_str();
  char* end = nullptr;
  double v = std::strtod(s, &end);
  if (end == s) return 0.0f;
  while (*end == ' ' || *end == '\t' || *end == '\r')
    ++end;
  if (*end || !std::isfinite(v) || v <= 0.0 || v > 1e4) return 0.0f;
  return static_cast<float>(v);
}

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t\r");
  size_t e = s.find_last_not_of(" \t\r");
  return b == std::string::npos ? "" : s.substr(b, e - b + 1);
}

bool MakeFolders(const std::string& path) {
  for (size_t i = 1; i <= path.size(); ++i) {
    if (i < path.size() && path[i] != '/') continue;
    std::string part = path.substr(0, i);
    if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return false;
  }
  return true;
}

}  // namespace

// The last Xft.dpi line counts, as the resource manager's own lookup does.
float ScaleFromXResources(const char* resources) {
  if (!resources) return 0.0f;
  std::istringstream in(resources);
  std::string line;
  float scale = 0.0f;
  while (std::getline(in, line)) {
    size_t colon = line.find(':');
    if (colon == std::string::npos || Trim(line.substr(0, colon)) != "Xft.dpi") continue;
    float dpi = PositiveNumber(line.substr(colon + 1));
    if (dpi > 0.0f) scale = dpi / 96.0f;
  }
  return scale;
}

float ScaleFromGdkScale(const char* value) {
  return value ? PositiveNumber(value) : 0.0f;
}

const char* ScaleSourceName(EScaleSource source) {
  switch (source) {
    case kScaleSaved:
      return "the user's choice";
    case kScaleHost:
      return "the host's ui:scaleFactor";
    case kScaleXftDpi:
      return "Xft.dpi";
    case kScaleGdk:
      return "GDK_SCALE";
    default:
      return "the default";
  }
}

float ChooseEditorScale(float saved, float host, float xftDpi, float gdk, EScaleSource* source) {
  struct {
    float value;
    EScaleSource source;
  } order[] = {{saved, kScaleSaved}, {host, kScaleHost}, {xftDpi, kScaleXftDpi}, {gdk, kScaleGdk}};
  for (const auto& o : order) {
    if (o.value > 0.0f) {
      if (source) *source = o.source;
      return IGraphics::NearestScale(o.value);
    }
  }
  if (source) *source = kScaleDefault;
  return 1.0f;
}

std::string EditorConfigPath(const char* folder) {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  std::string base;
  if (config && *config == '/') {
    base = config;
  } else {
    const char* home = std::getenv("HOME");
    if (!home || !*home) return "";
    base = std::string(home) + "/.config";
  }
  return base + "/" + folder + "/editor.conf";
}

float LoadSavedScale(const std::string& path) {
  std::ifstream in(path);
  std::string line;
  float scale = 0.0f;
  while (std::getline(in, line)) {
    size_t eq = line.find('=');
    if (eq == std::string::npos || Trim(line.substr(0, eq)) != "scale") continue;
    scale = PositiveNumber(line.substr(eq + 1));
  }
  return scale;
}

bool SaveScale(const std::string& path, float scale) {
  size_t slash = path.find_last_of('/');
  if (path.empty() || slash == std::string::npos || !MakeFolders(path.substr(0, slash)))
    return false;
  std::vector<std::string> lines;
  {
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
      size_t eq = line.find('=');
      if (eq == std::string::npos || Trim(line.substr(0, eq)) != "scale") lines.push_back(line);
    }
  }
  char value[32];
  std::snprintf(value, sizeof value, "scale = %g", static_cast<double>(scale));
  lines.push_back(value);
  std::string temp = path + ".tmp";
  {
    std::ofstream out(temp, std::ios::trunc);
    for (const std::string& l : lines)
      out << l << '\n';
    out.flush();
    if (!out) {
      std::remove(temp.c_str());
      return false;
    }
  }
  if (std::rename(temp.c_str(), path.c_str()) != 0) {
    std::remove(temp.c_str());
    return false;
  }
  return true;
}
