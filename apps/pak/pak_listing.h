// A package's directory as the package tool sees it: exact name bytes, and whether each
// member lies inside the file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ListedMember {
  std::string name;  // the name line without its newline
  std::uint32_t offset;
  std::uint32_t size;
  bool inside;  // the member's bytes all lie inside the file
};

// Reads the directory of the package at `path`; false with the reason in *error.
bool ReadPakListing(const std::string& path, std::vector<ListedMember>* members, std::string* error);
