// vantrose_lv2_ttl DIR: writes the bundle's Turtle files into DIR from the effect's own
// parameter table and presets, so the description can never disagree with the code.
#include <cstdio>

#include "IPluginLV2.h"
#include "TurtleWriter.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: vantrose_lv2_ttl <bundle directory>\n");
    return 2;
  }
  IPluginLV2* plug = static_cast<IPluginLV2*>(MakePlug(nullptr));
  plug->PruneUninitializedPresets();
  bool ok = WriteBundleTurtle(*plug, argv[1]);
  delete plug;
  if (!ok) {
    std::fprintf(stderr, "vantrose_lv2_ttl: can't write the Turtle files in %s\n", argv[1]);
    return 1;
  }
  return 0;
}
