#include "IPreset.h"

#include <cstring>

IPreset::IPreset() {
  std::memset(mName, 0, sizeof(mName));
  std::strcpy(mName, "empty");
}
