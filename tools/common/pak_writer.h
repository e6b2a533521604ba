// Writes packages: "PAK1", the member count, the directory of (offset, size, name line), then
// the members' bytes back to back in directory order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct PakMember {
  std::string name;  // up to 30 bytes, no newline
  std::vector<std::uint8_t> data;
};

inline constexpr std::size_t kPakMaxNameLength = 30;
inline constexpr std::size_t kPakMaxMembers = 255;

// Lays the members out as a package; false with the reason in *error for a name that the
// reader's 31-byte line rule could not take back, or too many members, or a package past 2 GiB.
bool BuildPak(const std::vector<PakMember>& members, std::vector<std::uint8_t>* package, std::string* error);

// Writes bytes to a file: into a scratch file of its folder that this call creates (never through
// a link or over a file already there), then renamed over the path, so a failed write leaves no
// half file and a link at the path is replaced, not followed.
bool WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string* error);

// Reads a whole file; false with the reason in *error.
bool ReadFileBytes(const std::string& path, std::vector<std::uint8_t>* bytes, std::string* error);
