#pragma once

#include <ctime>

class StrBuf;

// The framework's trace hook.  It writes nothing in this product; callers still
// evaluate their arguments, so trace points cost a call and no I/O.
void Trace(const char* funcName, int line, const char* format, ...);

// Names of host-interface codes for trace output; this product names none.
const char* VSTOpcodeStr(int opCode);
const char* AUSelectStr(int select);
const char* AUPropertyStr(int propID);
const char* AUScopeStr(int scope);

// The local time as "YYYYMMDD HH:MM +hhmm" (offset from UTC).  The text lives in
// one static buffer that each call overwrites.
const char* CurrentTime();

// "[Mmm D HH:MM]" from the compiler's date ("Mmm DD YYYY") and time ("HH:MM:SS").
void CompileTimestamp(const char* date, const char* time, StrBuf* out);
// text, a space and the compile timestamp, in one static string each call overwrites.
const char* AppendTimestamp(const char* date, const char* time, const char* text);

// The operating system's version as major, minor and bug-fix digits packed in
// hexadecimal nibbles (release 10.6.8 gives 0x1068; major held at 99, the others at 15).
int GetSystemVersion();
// Packs a release text such as "6.1.0-18-amd64" the way GetSystemVersion does.
int PackSystemVersion(const char* release);

// A coarse interval timer on the processor clock.
class Timer {
 public:
  Timer() : mLastTime(std::clock()) {}

  // True, and restarts, once more than seconds * 1000000 clock ticks have passed
  // since the last restart; false otherwise.
  bool Every(double seconds);

 private:
  std::clock_t mLastTime;
};
