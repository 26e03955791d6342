// vantrose snapshot OUT.png: the editor panel as a PNG, after optional parameter
// settings and mouse gestures.  Gestures are given in editor pixels (origin at
// the panel's top-left corner, y downward) and replayed through the native view.

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "AppKit.h"
#include "Commands.h"
#include "PanelSnapshot.h"

namespace {

const char kUsage[] =
    "usage: vantrose snapshot OUT.png [--set NAME=VALUE]... [--drag X,Y,DX,DY]...\n"
    "                         [--click X,Y]... [--dblclick X,Y]... [--wheel X,Y,STEPS]...\n"
    "                         [--hover X,Y]... [--type X,Y,TEXT]... [--curve]\n"
    "                         [--resources DIR]\n"
    "  positions are editor pixels: origin top-left of the 774 x 237 panel, y down;\n"
    "  a drag presses at X,Y, moves by DX,DY and releases (up raises a knob);\n"
    "  a hover rests the pointer at X,Y until the control's read-out shows;\n"
    "  a typed value right-clicks at X,Y and enters TEXT (\"120 Hz\", \"-2.5 dB\");\n"
    "  --curve opens the response curve below the panel;\n"
    "  positions and distances within +-65536 pixels, wheel steps within +-1000.\n";

bool Within(const int* v, int n, int limit) {
  for (int i = 0; i < n; ++i) {
    if (v[i] < -limit || v[i] > limit) return false;
  }
  return true;
}

// Parses exactly n comma-separated integers.
bool ParseInts(const char* text, int n, int* out) {
  std::string s(text);
  size_t pos = 0;
  for (int i = 0; i < n; ++i) {
    size_t comma = s.find(',', pos);
    if ((comma == std::string::npos) != (i == n - 1)) return false;
    std::string part = s.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos);
    if (!ParseInt(part.c_str(), &out[i])) return false;
    pos = comma + 1;
  }
  return true;
}

bool ParseGesture(const char* option, const char* value, PanelGesture* g) {
  int v[4] = {0, 0, 0, 0};
  auto parse = [&](int n) {
    return ParseInts(value, n, v) && Within(v, n == 3 ? 2 : n, kMaxGesturePixels) &&
           (n != 3 || Within(v + 2, 1, kMaxWheelSteps));
  };
  if (std::strcmp(option, "--drag") == 0 && parse(4)) {
    *g = PanelGesture{PanelGesture::kDrag, v[0], v[1], v[2], v[3]};
  } else if (std::strcmp(option, "--click") == 0 && parse(2)) {
    *g = PanelGesture{PanelGesture::kClick, v[0], v[1]};
  } else if (std::strcmp(option, "--dblclick") == 0 && parse(2)) {
    *g = PanelGesture{PanelGesture::kDoubleClick, v[0], v[1]};
  } else if (std::strcmp(option, "--type") == 0) {
    // X,Y, then the text, which may hold commas of its own.
    const std::string s(value);
    const size_t first = s.find(','),
                 second = first == std::string::npos ? first : s.find(',', first + 1);
    if (second == std::string::npos || !ParseInts(s.substr(0, second).c_str(), 2, v) ||
        !Within(v, 2, kMaxGesturePixels))
      return false;
    *g = PanelGesture{PanelGesture::kType, v[0], v[1]};
    g->text = s.substr(second + 1);
  } else if (std::strcmp(option, "--hover") == 0 && parse(2)) {
    *g = PanelGesture{PanelGesture::kHover, v[0], v[1]};
  } else if (std::strcmp(option, "--wheel") == 0 && parse(3)) {
    *g = PanelGesture{PanelGesture::kWheel, v[0], v[1], 0, v[2]};
  } else {
    return false;
  }
  return true;
}

// A link clicked in the panel opens in the desktop's browser when xdg-open is
// there; the URL goes to it as one argument, never through a shell.
bool OpenWithDesktop(const std::string& url) {
  if (access("/usr/bin/xdg-open", X_OK) != 0) return false;
  std::printf("opening %s\n", url.c_str());
  std::string arg = url;
  char* args[] = {const_cast<char*>("xdg-open"), &arg[0], nullptr};
  pid_t pid = 0;
  if (posix_spawn(&pid, "/usr/bin/xdg-open", nullptr, nullptr, args, environ) != 0) return false;
  int status = 0;
  return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "vantrose snapshot: %s\n%s", message.c_str(), kUsage);
  return kExitUsage;
}

}  // namespace

int RunSnapshot(int argc, char** argv) {
  PanelSnapshotRequest request;
  std::vector<const char*> sets;
  std::string resourceDir;
  for (int i = 0; i < argc; ++i) {
    const char* arg = argv[i];
    bool hasValue = i + 1 < argc;
    if (arg[0] != '-' && request.outPath.empty()) {
      request.outPath = arg;
    } else if (std::strcmp(arg, "--set") == 0 && hasValue) {
      sets.push_back(argv[++i]);
    } else if (std::strcmp(arg, "--curve") == 0) {
      request.curve = true;
    } else if (std::strcmp(arg, "--resources") == 0 && hasValue) {
      resourceDir = argv[++i];
    } else if (hasValue && arg[0] == '-') {
      PanelGesture g{PanelGesture::kClick, 0, 0};
      if (!ParseGesture(arg, argv[i + 1], &g)) {
        return Fail(std::string("bad option '") + arg + " " + argv[i + 1] + "'");
      }
      request.gestures.push_back(g);
      ++i;
    } else {
      return Fail(std::string("unexpected argument '") + arg + "'");
    }
  }
  std::string error;
  // The artwork first: every effect built from here on loads it.
  if (!RegisterPanelArtwork(resourceDir, &error)) {
    std::fprintf(stderr, "vantrose snapshot: %s\n", error.c_str());
    return kExitUsage;
  }
  std::unique_ptr<Vantrose> probe(static_cast<Vantrose*>(MakePlug(nullptr)));
  for (const char* text : sets) {
    ParamSetting s;
    if (!ParseParamSetting(*probe, text, &s, &error)) return Fail(error);
    request.settings.push_back(s);
  }
  if (request.outPath.empty()) return Fail("no output file given");
  NSWorkspace::sharedWorkspace()->setHandler(OpenWithDesktop);
  std::vector<double> values;
  if (!RenderPanelSnapshot(request, &values, &error)) {
    std::fprintf(stderr, "vantrose snapshot: %s\n", error.c_str());
    return kExitUsage;
  }
  std::printf("wrote %s\n", request.outPath.c_str());
  for (const std::string& url : NSWorkspace::sharedWorkspace()->openedURLs()) {
    std::printf("link clicked: %s\n", url.c_str());
  }
  for (int i = 0; i < probe->NParams(); ++i) {
    IParam* p = probe->GetParam(i);
    char display[MAX_PARAM_DISPLAY_LEN];
    p->GetDisplayForHost(values[i], false, display);
    std::printf("  %2d %-7s %.6g (%s)\n", i, *p->GetNameForHost() ? p->GetNameForHost() : "-",
                values[i], display);
  }
  return 0;
}
