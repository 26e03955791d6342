#include "PresetFile.h"

#include <cstdio>
#include <memory>

std::string FourCCText(int code) {
  char text[32];
  char c[4];
  for (int i = 0; i < 4; ++i) {
    char ch = static_cast<char>((static_cast<unsigned>(code) >> (24 - 8 * i)) & 0xFF);
    c[i] = (ch >= 0x20 && ch < 0x7F) ? ch : '?';
  }
  std::snprintf(text, sizeof(text), "'%c%c%c%c' (0x%08X)", c[0], c[1], c[2], c[3],
                static_cast<unsigned>(code));
  return text;
}

namespace {

// The length of the valid UTF-8 character at p (1 to 4), or 0 when p starts an
// invalid sequence: a stray continuation byte, an overlong form, a surrogate or a
// code point past U+10FFFF.
int Utf8Length(const unsigned char* p) {
  const unsigned char c = p[0];
  if (c < 0x80) return 1;
  int n = 0;
  unsigned lowest = 0, cp = 0;
  if (c >= 0xC2 && c <= 0xDF) {
    n = 2, lowest = 0x80, cp = c & 0x1F;
  } else if (c >= 0xE0 && c <= 0xEF) {
    n = 3, lowest = 0x800, cp = c & 0x0F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    n = 4, lowest = 0x10000, cp = c & 0x07;
  } else {
    return 0;
  }
  for (int i = 1; i < n; ++i) {
    if ((p[i] & 0xC0) != 0x80) return 0;  // also stops at the terminating zero
    cp = (cp << 6) | (p[i] & 0x3F);
  }
  if (cp < lowest || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return n;
}

void AppendEscaped(std::string* out, const unsigned char* p, int n) {
  for (int i = 0; i < n; ++i) {
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\x%02X", p[i]);
    *out += escaped;
  }
}

}  // namespace

std::string PrintableName(const char* text) {
  std::string out;
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
  while (*p) {
    const int n = Utf8Length(p);
    const bool control =
        n == 1 ? (*p < 0x20 || *p == 0x7F) : (n == 2 && p[0] == 0xC2 && p[1] < 0xA0);
    if (n == 0 || control) {
      AppendEscaped(&out, p, n == 0 ? 1 : n);
      p += n == 0 ? 1 : n;
    } else {
      out.append(reinterpret_cast<const char*>(p), static_cast<size_t>(n));
      p += n;
    }
  }
  return out;
}

bool ProgramFileSettings(const char* path, std::vector<ParamSetting>* settings,
                         std::string* error) {
  ByteChunk file;
  EFxError err = ReadFxFile(path, &file);
  std::unique_ptr<Vantrose> probe(static_cast<Vantrose*>(MakePlug(nullptr)));
  if (err == kFxOK) err = probe->LoadProgramFile(&file);
  if (err != kFxOK) {
    *error = std::string(path) + ": " + FxErrorStr(err);
    return false;
  }
  for (int i = 0; i < probe->NParams(); ++i) {
    settings->push_back({i, probe->GetParam(i)->GetValue()});
  }
  return true;
}
