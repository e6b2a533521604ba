// The manifest that `extract` writes beside the member files and `pack` reads: the members in
// package order, each as the file holding its bytes and, where it differs, its name.
#pragma once

#include <string>
#include <vector>

inline constexpr const char* kManifestName = "kaleth-pak.manifest";

struct ManifestLine {
  std::string file;  // relative to the manifest's folder
  std::string name;  // the member's name, byte for byte
};

// A file name for a member: its own name when that is a plain file name not yet taken (and not
// the manifest's), otherwise one made from its index.
std::string MemberFileName(const std::string& name, int index, const std::vector<std::string>& taken);

// The name with \\, \t, \r, \n and \xHH escapes for what is not printable ASCII.
std::string EscapeName(const std::string& name);

// The manifest text: a comment, then "FILE" where the name is the file name, or
// "FILE<tab>NAME" with the name escaped.
std::string WriteManifest(const std::vector<ManifestLine>& lines);

// Parses manifest text (comment lines begin with '#'); false with the line's fault in *error.
bool ParseManifest(const std::string& text, std::vector<ManifestLine>* lines, std::string* error);
