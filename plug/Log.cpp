#include "Log.h"

#include <sys/utsname.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "StrBuf.h"

void Trace(const char*, int, const char*, ...) {}

const char* VSTOpcodeStr(int) {
  return "";
}
const char* AUSelectStr(int) {
  return "";
}
const char* AUPropertyStr(int) {
  return "";
}
const char* AUScopeStr(int) {
  return "";
}

namespace {

// Minutes by which local time is ahead of UTC.  A differing day of the year moves
// the offset by one day; a difference of two or more days is the year's wrap.
int UtcOffsetMinutes(const std::tm& local, const std::tm& utc) {
  int offset = local.tm_min + (local.tm_hour - utc.tm_hour) * 60 - utc.tm_min;
  int dayDiff = local.tm_yday - utc.tm_yday;
  if (dayDiff != 0) {
    if (dayDiff >= 2) {
      offset += -1440;
    } else if (dayDiff <= -2) {
      offset += 1440;
    } else {
      offset += dayDiff * 1440;
    }
  }
  return offset;
}

}  // namespace

const char* CurrentTime() {
  static char sTime[48];
  std::time_t now = std::time(nullptr);
  std::tm local{}, utc{};
  localtime_r(&now, &local);
  gmtime_r(&now, &utc);
  char stamp[32];
  std::strftime(stamp, sizeof(stamp), "%Y%m%d %H:%M ", &local);
  int offset = UtcOffsetMinutes(local, utc);
  int magnitude = offset < 0 ? -offset : offset;
  std::snprintf(sTime, sizeof(sTime), "%s%c%02d%02d", stamp, offset < 0 ? '-' : '+', magnitude / 60,
                magnitude % 60);
  return sTime;
}

// "[" + date cut to 7 chars ("[Dec  7"), the pad space at 4 dropped, " " + time,
// cut to 12 chars ("[Dec 7 12:34") and closed with "]".
void CompileTimestamp(const char* date, const char* time, StrBuf* out) {
  char buf[16] = "[";
  std::strncat(buf, date ? date : "", 6);
  if (std::strlen(buf) > 4) std::memmove(buf + 4, buf + 5, std::strlen(buf + 5) + 1);
  std::strncat(buf, " ", sizeof(buf) - std::strlen(buf) - 1);
  std::strncat(buf, time ? time : "", sizeof(buf) - std::strlen(buf) - 1);
  buf[12] = '\0';
  std::strcat(buf, "]");
  out->Set(buf);
}

const char* AppendTimestamp(const char* date, const char* time, const char* text) {
  static StrBuf sText;
  StrBuf stamp;
  CompileTimestamp(date, time, &stamp);
  sText.Set(text);
  sText.Append(" ");
  sText.Append(stamp.Get());
  return sText.Get();
}

int PackSystemVersion(const char* release) {
  int parts[3] = {0, 0, 0};
  const char* s = release ? release : "";
  for (int i = 0; i < 3; ++i) {
    char* end = nullptr;
    long v = std::strtol(s, &end, 10);
    if (end == s) break;
    parts[i] = v < 0 ? 0 : static_cast<int>(v > 0xFFFF ? 0xFFFF : v);
    if (*end != '.') break;
    s = end + 1;
  }
  // The major number in two decimal digits (10 gives 0x10), then one nibble each.
  int major = parts[0] > 99 ? 99 : parts[0];
  int minor = parts[1] > 15 ? 15 : parts[1];
  int bugFix = parts[2] > 15 ? 15 : parts[2];
  return ((major / 10) << 12) | ((major % 10) << 8) | (minor << 4) | bugFix;
}

// The system-version query of the platform this build runs on: the kernel release.
int GetSystemVersion() {
  struct utsname name;
  if (uname(&name) != 0) return 0;
  return PackSystemVersion(name.release);
}

bool Timer::Every(double seconds) {
  std::clock_t now = std::clock();
  if (static_cast<double>(now - mLastTime) > seconds * 1000000.0) {
    mLastTime = now;
    return true;
  }
  return false;
}
