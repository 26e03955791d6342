// vantrose: the command-line face of the effect.
#include "Commands.h"

int main(int argc, char** argv) {
  return VantroseMain(argc, argv);
}
