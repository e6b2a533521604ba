#include "data/member_file.h"

#include <algorithm>
#include <cstring>

#include "data/pak_archive.h"
#include "runtime/errors.h"

MemberFile::MemberFile(const char* name, const char* openFailure) {
  const PakEntry entry = Package.find(name);
  file_ = std::fopen(Package.path, "rb");
  if (file_ == nullptr) FatalError(openFailure);
  offset_ = entry.offset;
  std::uint64_t fileSize = 0;
  if (std::fseek(file_, 0, SEEK_END) == 0) {
    const long end = std::ftell(file_);
    if (end > 0) fileSize = static_cast<std::uint64_t>(end);
  }
  if (offset_ < fileSize) size_ = static_cast<std::uint32_t>(std::min<std::uint64_t>(entry.size, fileSize - offset_));
}

MemberFile::~MemberFile() {
  if (file_ != nullptr) std::fclose(file_);
}

void MemberFile::seek(std::uint32_t position) {
  if (position != position_) positioned_ = false;
  position_ = position;
}

std::size_t MemberFile::read(void* destination, std::size_t bytes) {
  const std::size_t left = position_ < size_ ? size_ - position_ : 0;
  const std::size_t wanted = std::min(bytes, left);
  std::size_t got = 0;
  if (wanted > 0) {
    if (!positioned_) {
      positioned_ = std::fseek(file_, static_cast<long>(offset_ + position_), SEEK_SET) == 0;
    }
    if (positioned_) got = std::fread(destination, 1, wanted, file_);
  }
  std::memset(static_cast<std::uint8_t*>(destination) + got, 0, bytes - got);
  // The position moves on by all that was asked, as it would over a file of that length.
  const std::uint64_t moved = std::min<std::uint64_t>(std::uint64_t{position_} + bytes, UINT32_MAX);
  if (got != bytes) positioned_ = false;
  position_ = static_cast<std::uint32_t>(moved);
  return got;
}

std::uint8_t MemberFile::readByte() {
  std::uint8_t byte;
  read(&byte, 1);
  return byte;
}
