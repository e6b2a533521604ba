#include "apps/pak/pak_listing.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "data/pak_archive.h"

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
    *error = path + ": " + std::strerror(errno);
    return false;
  }
  std::error_code code;
  const std::uintmax_t fileSize = std::filesystem::file_size(path, code);
  if (code) {
    *error = path + ": " + code.message();
    return false;
  }
  int count = 0;
  PakDirectoryStatus status = ReadPakHeader(file.get(), &count);
  members->clear();
  for (int i = 0; status == PakDirectoryStatus::kOk && i < count; ++i) {
    PakEntry entry;
    int lineBytes = 0;
    status = ReadPakEntry(file.get(), &entry, &lineBytes);
    if (status != PakDirectoryStatus::kOk) break;
    const bool inside = std::uint64_t{entry.offset} + entry.size <= fileSize;
    members->push_back(ListedMember{std::string(entry.name, static_cast<std::size_t>(lineBytes - 1)), entry.offset,
                                    entry.size, inside});
  }
  if (status != PakDirectoryStatus::kOk) {
    *error = path + ": " + Describe(status);
    return false;
  }
  return true;
}
