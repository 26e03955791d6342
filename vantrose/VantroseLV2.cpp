#include "VantroseLV2.h"

const LV2Product& GetLV2Product() {
  return VantroseLV2::kProduct;
}
