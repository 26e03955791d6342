// vantrose snapshot OUT.png: the editor panel as a PNG, after optional parameter
// settings and mouse gestures, at a scale of 1, 1.5 or 2.  Gestures are given in
// panel units at every scale (origin at the panel's top-left corner, y downward) and
// replayed through the native view.

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "AppKit.h"
#include "Commands.h"
#include "OutputPath.h"
#include "PanelSnapshot.h"

namespace {

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

// The gesture options: how many numbers each takes and what they mean.
struct GestureOption {
  const char* name;
  PanelGesture::Kind kind;
  int count;
  const char* form;
  const char* help;
};
constexpr int kNumGestureOptions = 6;
const GestureOption kGestureOptions[kNumGestureOptions] = {
    {"--drag", PanelGesture::kDrag, 4, "X,Y,DX,DY",
     "press at X,Y, move by DX,DY and release (up raises a knob)"},
    {"--click", PanelGesture::kClick, 2, "X,Y", "a click"},
    {"--dblclick", PanelGesture::kDoubleClick, 2, "X,Y", "a double click"},
    {"--wheel", PanelGesture::kWheel, 3, "X,Y,STEPS", "wheel steps at X,Y, within +-1000"},
    {"--hover", PanelGesture::kHover, 2, "X,Y",
     "rest the pointer at X,Y until the control's read-out shows"},
    {"--type", PanelGesture::kType, 0, "X,Y,TEXT",
     "right-click at X,Y and type TEXT (\"120 Hz\", \"-2.5 dB\") into the entry"},
};

// X,Y, then the text, which may hold commas of its own.
bool ParseTypedGesture(const std::string& value, PanelGesture* g) {
  int v[2] = {0, 0};
  const size_t first = value.find(','),
               second = first == std::string::npos ? first : value.find(',', first + 1);
  if (second == std::string::npos || !ParseInts(value.substr(0, second).c_str(), 2, v) ||
      !Within(v, 2, kMaxGesturePixels))
    return false;
  *g = PanelGesture{PanelGesture::kType, v[0], v[1]};
  g->text = value.substr(second + 1);
  return true;
}

bool ParseGesture(const GestureOption& o, const std::string& value, PanelGesture* g) {
  if (o.kind == PanelGesture::kType) return ParseTypedGesture(value, g);
  int v[4] = {0, 0, 0, 0};
  const int n = o.count;
  if (!ParseInts(value.c_str(), n, v) || !Within(v, n == 3 ? 2 : n, kMaxGesturePixels) ||
      (n == 3 && !Within(v + 2, 1, kMaxWheelSteps)))
    return false;
  *g = PanelGesture{o.kind, v[0], v[1]};
  if (o.kind == PanelGesture::kDrag) g->dx = v[2], g->dy = v[3];
  if (o.kind == PanelGesture::kWheel) g->dy = v[2];
  return true;
}

struct SnapshotArgs {
  std::string out, resources, scale = "1";
  std::vector<ParamSetting> settings;
  bool curve = false;
  std::vector<std::string> gestures[kNumGestureOptions];  // per entry of kGestureOptions
};

CommandApp SnapshotApp(SnapshotArgs* a) {
  CommandApp app =
      NewCommandApp("snapshot", "the editor panel as a PNG, after settings and gestures");
  app->footer(
      "Positions are panel units at every scale: origin top-left of the 774 x 237 panel, y\n"
      "down; positions and distances within +-65536.  Gestures are replayed in the order given.");
  app->add_option("OUT", a->out, "the PNG to write; not one of the artwork files")
      ->type_name("OUT.png")
      ->required();
  AddSetOption(*app, &a->settings);
  for (int k = 0; k < kNumGestureOptions; ++k) {
    const GestureOption& o = kGestureOptions[k];
    app->add_option(o.name, a->gestures[k], std::string(o.help) + " (repeatable)")
        ->type_name(o.form)
        ->expected(1)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
        ->check(CLI::Validator(
            [&o](std::string& v) {
              PanelGesture g{PanelGesture::kClick, 0, 0};
              return ParseGesture(o, v, &g) ? std::string()
                                            : "value " + v + " is not " + o.form + " in range";
            },
            "", o.form));
  }
  app->add_option("--resources", a->resources, "the artwork folder (default: the product's own)")
      ->type_name("DIR");
  app->add_option(
         "--scale", a->scale,
         "draw at 100 %, 150 % (1161 x 356) or 200 % (1548 x 474), from that scale's artwork")
      ->type_name("1|1.5|2")
      ->check(CLI::IsMember({"1", "1.5", "2"}));
  app->add_flag("--curve", a->curve, "open the response curve below the panel");
  return app;
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
  std::fprintf(stderr, "vantrose snapshot: %s\n", message.c_str());
  return kExitUsage;
}

}  // namespace

CommandApp SnapshotCommandLine() {
  static SnapshotArgs unused;
  return SnapshotApp(&unused);
}

int RunSnapshot(int argc, char** argv) {
  SnapshotArgs args;
  CommandApp app = SnapshotApp(&args);
  const int code = ParseCommandLine(*app, argc, argv);
  if (code >= 0) return code;
  PanelSnapshotRequest request;
  request.outPath = args.out;
  request.settings = args.settings;
  request.scale = args.scale == "2" ? 2.0f : args.scale == "1.5" ? 1.5f : 1.0f;
  // The gestures in the order given, whatever their kinds.
  request.curve = args.curve;
  int next[kNumGestureOptions] = {};
  for (const CLI::Option* o : app->parse_order()) {
    for (int k = 0; k < kNumGestureOptions; ++k) {
      if (o->get_name() != kGestureOptions[k].name) continue;
      PanelGesture g{PanelGesture::kClick, 0, 0};
      ParseGesture(kGestureOptions[k], args.gestures[k][next[k]++], &g);
      request.gestures.push_back(g);
    }
  }
  std::string error;
  // The artwork first: every effect built from here on loads it.
  if (!RegisterPanelArtwork(args.resources, &error)) return Fail(error);
  std::unique_ptr<Vantrose> probe(static_cast<Vantrose*>(MakePlug(nullptr)));
  if (!CheckOutputPath(request.outPath, &error, PanelArtworkFiles())) return Fail(error);
  NSWorkspace::sharedWorkspace()->setHandler(OpenWithDesktop);
  std::vector<double> values;
  if (!RenderPanelSnapshot(request, &values, &error)) return Fail(error);
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
