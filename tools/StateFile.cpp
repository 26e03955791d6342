#include "StateFile.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "OutputPath.h"

namespace {

const char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr long kMaxFileSize = 64L << 20;

std::string Escape(const std::string& s) {
  std::string out;
  for (char c : s) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

bool Unescape(const std::string& s, std::string* out) {
  static const struct {
    const char* entity;
    char c;
  } kEntities[] = {{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
  out->clear();
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '&') {
      *out += s[i];
      continue;
    }
    bool known = false;
    for (const auto& e : kEntities) {
      if (s.compare(i, std::char_traits<char>::length(e.entity), e.entity) == 0) {
        *out += e.c;
        i += std::char_traits<char>::length(e.entity) - 1;
        known = true;
        break;
      }
    }
    if (!known) return false;
  }
  return true;
}

std::string EncodeBase64(const UInt8* p, CFIndex n) {
  std::string out;
  unsigned acc = 0;
  int bits = 0;
  for (CFIndex i = 0; i < n; ++i) {
    acc = (acc << 8) | p[i];
    bits += 8;
    while (bits >= 6) {
      bits -= 6;
      out += kBase64[(acc >> bits) & 63];
    }
  }
  if (bits == 2) out += std::string(1, kBase64[(acc << 4) & 63]) + "==";
  if (bits == 4) out += std::string(1, kBase64[(acc << 2) & 63]) + "=";
  return out;
}

// Whitespace is skipped; "=" ends the data; anything else is an error.
bool DecodeBase64(const std::string& text, std::vector<UInt8>* out) {
  unsigned acc = 0;
  int bits = 0;
  for (char c : text) {
    if (c == '=') break;
    if (c == ' ' || c == '\n' || c == '\t' || c == '\r') continue;
    const char* at = std::char_traits<char>::find(kBase64, 64, c);
    if (!at) return false;
    acc = (acc << 6) | static_cast<unsigned>(at - kBase64);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out->push_back(static_cast<UInt8>(acc >> bits));
    }
  }
  return true;
}

// A cursor over the file's text that reads one element at a time.
struct Reader {
  const std::string& text;
  size_t pos = 0;

  void SkipSpace() {
    while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos])))
      ++pos;
  }
  // The next tag's name ("dict", "/dict", "key", ...), skipping declarations.
  bool Tag(std::string* name) {
    for (;;) {
      SkipSpace();
      if (pos >= text.size() || text[pos] != '<') return false;
      size_t end = text.find('>', pos);
      if (end == std::string::npos) return false;
      std::string inside = text.substr(pos + 1, end - pos - 1);
      pos = end + 1;
      if (!inside.empty() && (inside[0] == '?' || inside[0] == '!')) continue;
      *name = inside.substr(0, inside.find(' '));
      return true;
    }
  }
  // The text up to the closing tag of name, which it consumes.
  bool Content(const std::string& name, std::string* out) {
    size_t end = text.find("</" + name + ">", pos);
    if (end == std::string::npos) return false;
    std::string raw = text.substr(pos, end - pos);
    pos = end + name.size() + 3;
    return Unescape(raw, out);
  }
};

CFTypeRef ReadValue(Reader& r, const std::string& tag) {
  std::string content;
  if (!r.Content(tag, &content)) return nullptr;
  if (tag == "string") {
    return CFStringCreateWithCString(nullptr, content.c_str(), kCFStringEncodingUTF8);
  }
  if (tag == "integer") {
    char* end = nullptr;
    long long v = std::strtoll(content.c_str(), &end, 10);
    if (content.empty() || *end || v < -2147483648LL || v > 4294967295LL) return nullptr;
    SInt32 n = static_cast<SInt32>(static_cast<UInt32>(v));
    return CFNumberCreate(nullptr, kCFNumberSInt32Type, &n);
  }
  if (tag == "data") {
    std::vector<UInt8> bytes;
    if (!DecodeBase64(content, &bytes)) return nullptr;
    return CFDataCreate(nullptr, bytes.data(), static_cast<CFIndex>(bytes.size()));
  }
  return nullptr;
}

}  // namespace

CFPropertyListRef ParseStateText(const std::string& text, std::string* error) {
  Reader r{text};
  std::string tag;
  if (!r.Tag(&tag) || tag != "plist" || !r.Tag(&tag) || tag != "dict") {
    *error = "not a property list with a dictionary";
    return nullptr;
  }
  CFMutableDictionaryRef dict = CFDictionaryCreateMutable(
      nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
  for (;;) {
    if (!r.Tag(&tag)) break;
    if (tag == "/dict") return dict;
    std::string key;
    CFTypeRef value = nullptr;
    if (tag == "key" && r.Content("key", &key) && r.Tag(&tag)) value = ReadValue(r, tag);
    if (!value) break;
    CFStringRef k = CFStringCreateWithCString(nullptr, key.c_str(), kCFStringEncodingUTF8);
    CFDictionarySetValue(dict, k, value);
    CFRelease(k);
    CFRelease(value);
  }
  CFRelease(dict);
  *error = "malformed property list near byte " + std::to_string(r.pos);
  return nullptr;
}

namespace {

// One entry of the dictionary as XML, or "" for a value of another type.
std::string Entry(const std::string& key, CFTypeRef value) {
  std::string v;
  if (CFGetTypeID(value) == CFNumberGetTypeID()) {
    SInt32 n = 0;
    CFNumberGetValue(static_cast<CFNumberRef>(value), kCFNumberSInt32Type, &n);
    v = "<integer>" + std::to_string(n) + "</integer>";
  } else if (CFGetTypeID(value) == CFStringGetTypeID()) {
    v = "<string>" + Escape(CFStringGetCStringPtr(static_cast<CFStringRef>(value), 0)) +
        "</string>";
  } else if (CFGetTypeID(value) == CFDataGetTypeID()) {
    CFDataRef d = static_cast<CFDataRef>(value);
    v = "<data>" + EncodeBase64(CFDataGetBytePtr(d), CFDataGetLength(d)) + "</data>";
  } else {
    return "";
  }
  return "\t<key>" + Escape(key) + "</key>\n\t" + v + "\n";
}

}  // namespace

std::string StateText(CFPropertyListRef state) {
  if (!state || CFGetTypeID(state) != CFDictionaryGetTypeID()) return "";
  std::string text =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n";
  CFDictionaryRef dict = static_cast<CFDictionaryRef>(state);
  for (const char* key : {"data", "manufacturer", "name", "subtype", "type", "version"}) {
    CFStringRef k = CFStringCreateWithCString(nullptr, key, kCFStringEncodingUTF8);
    CFTypeRef value = CFDictionaryGetValue(dict, k);
    CFRelease(k);
    if (value) text += Entry(key, value);
  }
  text += "</dict>\n</plist>\n";
  return text;
}

bool WriteStateFile(const char* path, CFPropertyListRef state, std::string* error,
                    const std::vector<std::string>& inputs) {
  const std::string text = StateText(state);
  if (text.empty()) {
    *error = "no state to save";
    return false;
  }
  return WriteWholeFile(path, text, error, inputs);
}

CFPropertyListRef ReadStateFile(const char* path, std::string* error) {
  FILE* f = std::fopen(path, "rb");
  if (!f) {
    *error = std::string("can't open '") + path + "'";
    return nullptr;
  }
  std::string text;
  char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0 &&
         static_cast<long>(text.size()) <= kMaxFileSize)
    text.append(buf, n);
  std::fclose(f);
  if (static_cast<long>(text.size()) > kMaxFileSize) {
    *error = std::string("'") + path + "' is too large for a saved state";
    return nullptr;
  }
  CFPropertyListRef state = ParseStateText(text, error);
  if (!state) *error = std::string("'") + path + "': " + *error;
  return state;
}
