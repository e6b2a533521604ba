#include "apps/pak/manifest.h"

#include <algorithm>
#include <cstdio>
#include <set>
#include <sstream>

#include "tools/common/name_escape.h"

namespace {

bool IsPlainFileCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '_' ||
         c == '-';
}

bool IsPlainFileName(const std::string& name) {
  return !name.empty() && name[0] != '.' && std::all_of(name.begin(), name.end(), IsPlainFileCharacter);
}

std::string CaseFolded(std::string name) {
  for (char& c : name) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  return name;
}

std::string MadeName(std::size_t index, int attempt) {
  char made[48];
  if (attempt == 0) std::snprintf(made, sizeof made, "member-%03zu.bin", index);
  else std::snprintf(made, sizeof made, "member-%03zu-%d.bin", index, attempt + 1);
  return made;
}

// A FILE that stays inside the manifest's folder by its text: relative, and no ".." step.
bool StaysInside(const std::string& file) {
  if (file[0] == '/') return false;
  std::size_t start = 0;
  while (start <= file.size()) {
    const std::size_t end = std::min(file.find('/', start), file.size());
    if (file.compare(start, end - start, "..") == 0) return false;
    start = end + 1;
  }
  return true;
}

}  // namespace

std::vector<std::string> PlanMemberFiles(const std::vector<std::string>& names) {
  std::set<std::string> taken{CaseFolded(kManifestName)};
  std::vector<std::string> files(names.size());
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (IsPlainFileName(names[i]) && taken.insert(CaseFolded(names[i])).second) files[i] = names[i];
  }
  for (std::size_t i = 0; i < names.size(); ++i) {
    for (int attempt = 0; files[i].empty(); ++attempt) {
      const std::string made = MadeName(i, attempt);
      if (taken.insert(CaseFolded(made)).second) files[i] = made;
    }
  }
  return files;
}

std::string WriteManifest(const std::vector<ManifestLine>& lines) {
  std::string text =
      "# kaleth-pak manifest: one member a line, in package order.\n"
      "# FILE (the member is named as its file) or FILE<tab>NAME (\\\\ \\t \\r \\n \\xHH escapes).\n";
  for (const ManifestLine& line : lines) {
    text += line.file;
    // '\t', a char: a one-letter string before a string warns falsely in GCC 12 (its bug 105329).
    if (line.name != line.file) text += '\t' + EscapeName(line.name);
    text += "\n";
  }
  return text;
}

bool ParseManifest(const std::string& text, std::vector<ManifestLine>* lines, std::string* error) {
  lines->clear();
  std::istringstream in(text);
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    // Extract writes no raw carriage return (names are escaped), so one here ends a line that
    // an editor wrote with CR LF.
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    const std::string where = "line " + std::to_string(number) + ": ";
    const std::size_t tab = line.find('\t');
    ManifestLine parsed{line.substr(0, tab), line.substr(0, tab), number};
    if (tab != std::string::npos && !UnescapeName(line.substr(tab + 1), &parsed.name)) {
      *error = where + "a bad escape in the member name";
      return false;
    }
    if (parsed.file.empty()) {
      *error = where + "no file named";
      return false;
    }
    if (!StaysInside(parsed.file)) {
      *error = where + "'" + EscapeName(parsed.file) + "' is not a file inside the manifest's folder";
      return false;
    }
    lines->push_back(parsed);
  }
  return true;
}
