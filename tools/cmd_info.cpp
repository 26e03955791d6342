// vantrose info: the effect's identity and its parameters as a host lists them.
#include <cstdio>
#include <memory>

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

int RunInfo(int argc, char** argv) {
  if (argc > 0) {
    std::fprintf(stderr, "vantrose info: unexpected argument '%s'\nusage: vantrose info\n",
                 argv[0]);
    return kExitUsage;
  }
  std::unique_ptr<IPluginAU> plug(static_cast<IPluginAU*>(MakePlug(nullptr)));
  const int status = PrintPluginInfo(*plug);
  std::printf("\nrender path: %s (VANTROSE_SIMD chooses among:", SimdPathName(ActiveSimdPath()));
  for (int p = 0; p < kSimdPathCount; ++p) {
    if (CpuSupports(static_cast<SimdPath>(p)))
      std::printf(" %s", SimdPathName(static_cast<SimdPath>(p)));
  }
  std::printf(")\n");
  return status;
}
