// vantrose demo: the embedded default run by the README's first command.
#include <cstdio>

#include "Commands.h"

int RunDemo(int argc, char** argv) {
  if (argc > 0) {
    std::fprintf(stderr, "vantrose demo: unexpected argument '%s'\nusage: vantrose demo\n",
                 argv[0]);
    return kExitUsage;
  }
  std::printf("Vantrose demo: the effect as a host sees it.\n\n");
  return RunInfo(0, nullptr);
}
