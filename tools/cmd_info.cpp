// vantrose info: the effect's identity and its parameters as a host lists them.
#include <cstdio>
#include <memory>

#include <nlohmann/json.hpp>

#include "Commands.h"
#include "SimdDispatch.h"
#include "Vantrose.h"

namespace {

const char* KindName(EParamKind kind) {
  switch (kind) {
    case kParamNone:
      return "none";
    case kParamBool:
      return "bool";
    case kParamInt:
      return "int";
    case kParamEnum:
      return "enum";
    case kParamDouble:
      return "double";
  }
  return "?";
}

void FourCCText(int code, char out[5]) {
  for (int i = 0; i < 4; ++i)
    out[i] = static_cast<char>((code >> (24 - 8 * i)) & 0xff);
  out[4] = '\0';
}

}  // namespace

int PrintPluginInfo(IPluginBase& plug) {
  char version[MAX_VERSION_STR_LEN], unique[5], mfr[5];
  plug.GetEffectVersionStr(version);
  FourCCText(plug.GetUniqueID(), unique);
  FourCCText(plug.GetMfrID(), mfr);
  std::printf("%s by %s, %s (%s, %s)\n", plug.GetEffectName(), plug.GetMfrName(), version,
              plug.GetAPIString(), plug.GetArchString());
  std::printf("unique id '%s' (0x%08X), manufacturer id '%s' (0x%08X)\n", unique,
              static_cast<unsigned>(plug.GetUniqueID()), mfr,
              static_cast<unsigned>(plug.GetMfrID()));
  std::printf("channel configurations:");
  for (int i = 0; i < plug.NChannelIO(); ++i) {
    int nIn, nOut;
    plug.GetChannelIO(i, &nIn, &nOut);
    std::printf(" %d-%d", nIn, nOut);
  }
  std::printf("\n%d parameters:\n\n", plug.NParams());
  std::printf("%3s  %-7s %-6s %-6s %9s %9s %9s %6s  %s\n", "idx", "name", "label", "kind", "min",
              "max", "default", "shape", "display");
  for (int i = 0; i < plug.NParams(); ++i) {
    const IParam* p = plug.GetParam(i);
    char display[MAX_PARAM_DISPLAY_LEN];
    p->GetDisplayForHost(display);
    std::printf("%3d  %-7s %-6s %-6s %9.3f %9.3f %9.3f %6.2f  %s\n", i,
                *p->GetNameForHost() ? p->GetNameForHost() : "(none)", p->GetLabelForHost(),
                KindName(p->GetKind()), p->GetMin(), p->GetMax(), p->GetDefault(), p->GetShape(),
                display);
  }
  return 0;
}

namespace {

struct InfoArgs {
  bool json = false;
};

CommandApp InfoApp(InfoArgs* a) {
  CommandApp app = NewCommandApp("info", "list the effect's identity and parameters");
  app->add_flag("--json", a->json, "print one JSON document with the same figures");
  return app;
}

std::string Code(int code) {
  char text[5];
  FourCCText(code, text);
  return text;
}

nlohmann::json InfoDocument(IPluginBase& plug) {
  char version[MAX_VERSION_STR_LEN];
  plug.GetEffectVersionStr(version);
  nlohmann::json doc = {{"name", plug.GetEffectName()},
                        {"maker", plug.GetMfrName()},
                        {"version", version},
                        {"api", plug.GetAPIString()},
                        {"arch", plug.GetArchString()},
                        {"unique_id", Code(plug.GetUniqueID())},
                        {"manufacturer_id", Code(plug.GetMfrID())}};
  nlohmann::json& io = doc["channel_configurations"] = nlohmann::json::array();
  for (int i = 0; i < plug.NChannelIO(); ++i) {
    int nIn, nOut;
    plug.GetChannelIO(i, &nIn, &nOut);
    io.push_back({{"inputs", nIn}, {"outputs", nOut}});
  }
  nlohmann::json& params = doc["parameters"] = nlohmann::json::array();
  for (int i = 0; i < plug.NParams(); ++i) {
    const IParam* p = plug.GetParam(i);
    char display[MAX_PARAM_DISPLAY_LEN];
    p->GetDisplayForHost(display);
    params.push_back({{"index", i},
                      {"name", p->GetNameForHost()},
                      {"label", p->GetLabelForHost()},
                      {"kind", KindName(p->GetKind())},
                      {"min", p->GetMin()},
                      {"max", p->GetMax()},
                      {"default", p->GetDefault()},
                      {"shape", p->GetShape()},
                      {"display", display}});
  }
  doc["render_path"] = SimdPathName(ActiveSimdPath());
  nlohmann::json& paths = doc["render_paths_available"] = nlohmann::json::array();
  for (int p = 0; p < kSimdPathCount; ++p) {
    if (CpuSupports(static_cast<SimdPath>(p)))
      paths.push_back(SimdPathName(static_cast<SimdPath>(p)));
  }
  return doc;
}

}  // namespace

CommandApp InfoCommandLine() {
  static InfoArgs unused;
  return InfoApp(&unused);
}

int RunInfo(int argc, char** argv) {
  InfoArgs args;
  const int code = ParseCommandLine(*InfoApp(&args), argc, argv);
  if (code >= 0) return code;
  std::unique_ptr<IPluginAU> plug(static_cast<IPluginAU*>(MakePlug(nullptr)));
  if (args.json) {
    std::printf("%s\n", InfoDocument(*plug).dump(2).c_str());
    return 0;
  }
  const int status = PrintPluginInfo(*plug);
  std::printf("\nrender path: %s (VANTROSE_SIMD chooses among:", SimdPathName(ActiveSimdPath()));
  for (int p = 0; p < kSimdPathCount; ++p) {
    if (CpuSupports(static_cast<SimdPath>(p)))
      std::printf(" %s", SimdPathName(static_cast<SimdPath>(p)));
  }
  std::printf(")\n");
  return status;
}
