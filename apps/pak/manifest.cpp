#include "apps/pak/manifest.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace {

bool IsPlainFileCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '_' ||
         c == '-';
}

}  // namespace

std::string EscapeName(const std::string& name) {
  std::string out;
  for (unsigned char c : name) {
    if (c == '\\') out += "\\\\";
    else if (c == '\t') out += "\\t";
    else if (c == '\r') out += "\\r";
    else if (c == '\n') out += "\\n";
    else if (c < 0x20 || c >= 0x7F) {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool Unescape(const std::string& text, std::string* name) {
  name->clear();
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      *name += text[i];
      continue;
    }
    if (++i == text.size()) return false;
    switch (text[i]) {
      case '\\': *name += '\\'; break;
      case 't': *name += '\t'; break;
      case 'r': *name += '\r'; break;
      case 'n': *name += '\n'; break;
      case 'x': {
        const int high = i + 1 < text.size() ? HexDigit(text[i + 1]) : -1;
        const int low = i + 2 < text.size() ? HexDigit(text[i + 2]) : -1;
        if (high < 0 || low < 0) return false;
        *name += static_cast<char>(high * 16 + low);
        i += 2;
        break;
      }
      default: return false;
    }
  }
  return true;
}

}  // namespace

std::string MemberFileName(const std::string& name, int index, const std::vector<std::string>& taken) {
  const bool plain = !name.empty() && name[0] != '.' && name != kManifestName &&
                     std::all_of(name.begin(), name.end(), IsPlainFileCharacter) &&
                     std::find(taken.begin(), taken.end(), name) == taken.end();
  if (plain) return name;
  char made[32];
  std::snprintf(made, sizeof made, "member-%03d.bin", index);
  return made;
}

std::string WriteManifest(const std::vector<ManifestLine>& lines) {
  std::string text =
      "# kaleth-pak manifest: one member a line, in package order.\n"
      "# FILE (the member is named as its file) or FILE<tab>NAME (\\\\ \\t \\r \\n \\xHH escapes).\n";
  for (const ManifestLine& line : lines) {
    text += line.file;
    if (line.name != line.file) text += "\t" + EscapeName(line.name);
    text += "\n";
  }
  return text;
}

bool ParseManifest(const std::string& text, std::vector<ManifestLine>* lines, std::string* error) {
  lines->clear();
  std::istringstream in(text);
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (line.empty() || line[0] == '#') continue;
    const std::size_t tab = line.find('\t');
    ManifestLine parsed{line.substr(0, tab), line.substr(0, tab)};
    if (tab != std::string::npos && !Unescape(line.substr(tab + 1), &parsed.name)) {
      *error = "line " + std::to_string(number) + ": a bad escape in the member name";
      return false;
    }
    if (parsed.file.empty()) {
      *error = "line " + std::to_string(number) + ": no file named";
      return false;
    }
    lines->push_back(parsed);
  }
  return true;
}
