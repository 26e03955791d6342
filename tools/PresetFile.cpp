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

std::string PrintableName(const char* text) {
  std::string out;
  for (const char* p = text; *p; ++p) {
    const unsigned char c = static_cast<unsigned char>(*p);
    if (c >= 0x20 && c != 0x7F) {
      out += *p;
      continue;
    }
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
    out += escaped;
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
