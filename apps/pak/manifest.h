// The manifest that `extract` writes beside the member files and `pack` reads: the members in
// package order, each as the file holding its bytes and, where it differs, its name.
#pragma once

#include <string>
#include <vector>

inline constexpr const char* kManifestName = "kaleth-pak.manifest";

struct ManifestLine {
  std::string file;  // relative to the manifest's folder
  std::string name;  // the member's name, byte for byte
  int number = 0;    // the line of the manifest it was read from
};

// The file of every member, planned before any is written: a member keeps its own name where
// that is a plain file name (letters, digits, '.', '_', '-'; not beginning with '.') that no
// earlier member and not the manifest takes, compared without case as a case-blind file system
// would; the others get member-NNN.bin from their index, made unique the same way. No planned
// name begins with '.', which the scratch files of the writes do.
std::vector<std::string> PlanMemberFiles(const std::vector<std::string>& names);

// The manifest text: a comment, then "FILE" where the name is the file name, or
// "FILE<tab>NAME" with the name escaped.
std::string WriteManifest(const std::vector<ManifestLine>& lines);

// Parses manifest text (comment lines begin with '#'; a line may end in CR LF). A FILE must be
// a relative path that never climbs out with "..". False with the line's fault in *error.
bool ParseManifest(const std::string& text, std::vector<ManifestLine>* lines, std::string* error);
