#include "platform/setting_text.h"

#include <cstdio>

bool ParseSettingNumber(std::string_view text, std::uint64_t least, std::uint64_t most, std::uint64_t* value) {
  if (text.empty()) return false;
  std::uint64_t v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    const auto digit = static_cast<std::uint64_t>(c - '0');
    // Stops before the value could wrap: anything above `most` is refused however long.
    if (digit > most || v > (most - digit) / 10) return false;
    v = v * 10 + digit;
  }
  if (v < least) return false;
  *value = v;
  return true;
}

std::string EscapeSettingText(std::string_view text) {
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\') out += "\\\\";
    else if (c == '\t') out += "\\t";
    else if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else if (byte < 0x20 || byte == 0x7F) {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02X", byte);
      out += hex;
    } else {
      out += c;
    }
  }
  return out;
}

std::string IgnoredSetting(std::string_view name, std::string_view value, std::string_view expected,
                           std::string_view fallback) {
  std::string line(name);
  line += ": ignoring '" + EscapeSettingText(value) + "' (";
  line += expected;
  line += "); using ";
  line += fallback;
  return line;
}
