// Any text through the reader of saved unit states (process --state): a dictionary or
// null with a message, never a crash.  What it reads must write back as text that
// reads to the same text again.
#include <cstddef>
#include <cstdint>
#include <string>

#include "StateFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) return 0;
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::string error;
  CFPropertyListRef state = ParseStateText(text, &error);
  if (!state) {
    if (error.empty()) __builtin_trap();
    return 0;
  }
  const std::string written = StateText(state);
  CFRelease(state);
  CFPropertyListRef again = ParseStateText(written, &error);
  if (!again) __builtin_trap();
  if (StateText(again) != written) __builtin_trap();
  CFRelease(again);
  return 0;
}
