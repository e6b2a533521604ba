#include "apps/pak/pak_listing.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "data/pak_directory.h"
#include "tools/common/name_escape.h"

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

std::string Describe(PakDirectoryStatus status) {
  switch (status) {
    case PakDirectoryStatus::kWrongMagic: return "not a package (it does not begin with PAK1)";
    case PakDirectoryStatus::kEndsEarly: return "the directory ends before its last entry";
    case PakDirectoryStatus::kNameTooLong: return "a member name runs past 30 bytes";
    case PakDirectoryStatus::kOk: break;
  }
  return "";
}

}  // namespace

bool ReadPakListing(const std::string& path, std::vector<ListedMember>* members, std::string* error) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    *error = EscapeName(path) + ": " + std::strerror(errno);
    return false;
  }
  std::error_code code;
  const std::uintmax_t fileSize = std::filesystem::file_size(path, code);
  if (code) {
    *error = EscapeName(path) + ": " + code.message();
    return false;
  }
  int count = 0;
  PakDirectoryStatus status = ReadPakHeader(file.get(), &count);
  std::vector<PakEntry> entries(static_cast<std::size_t>(count));
  std::vector<int> lineBytes(entries.size());
  if (status == PakDirectoryStatus::kOk) status = ReadPakEntries(file.get(), count, entries.data(), lineBytes.data());
  members->clear();
  for (std::size_t i = 0; status == PakDirectoryStatus::kOk && i < entries.size(); ++i) {
    const PakEntry& entry = entries[i];
    const bool inside = std::uint64_t{entry.offset} + entry.size <= fileSize;
    members->push_back(ListedMember{std::string(entry.name, static_cast<std::size_t>(lineBytes[i] - 1)), entry.offset,
                                    entry.size, inside});
  }
  if (status != PakDirectoryStatus::kOk) {
    *error = EscapeName(path) + ": " + Describe(status);
    return false;
  }
  return true;
}
