#include "data/member_file.h"

#include <algorithm>
#include <cstring>

#include "data/pak_archive.h"
#include "platform/faults.h"
#include "core/errors.h"

MemberFile::MemberFile(const char* name, const char* openFailure, AtTheCut atTheCut)
    : name_(name), atTheCut_(atTheCut) {
  const PakEntry entry = Package.find(name);
  // The package was there at start-up; a reader finding it gone (or unreadable) is reached in
  // tests through the fault "PakArchive::reopen".
  file_ = faults::Hit("PakArchive::reopen") ? nullptr : std::fopen(Package.path, "rb");
  if (file_ == nullptr) FatalError(openFailure);
  offset_ = entry.offset;
  declaredSize_ = entry.size;
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
  const std::uint64_t end = std::uint64_t{position_} + bytes;
  // Bytes past the member's end are none of its own; bytes before it that the file lacks are
  // damage, and zeros in their place would be taken for the member.
  if (atTheCut_ == AtTheCut::kPackageDamaged && std::min<std::uint64_t>(end, declaredSize_) > size_) cutShort(size_);
  const std::size_t left = position_ < size_ ? size_ - position_ : 0;
  const std::size_t wanted = std::min(bytes, left);
  std::size_t got = 0;
  if (wanted > 0) {
    if (!positioned_) {
      positioned_ = std::fseek(file_, static_cast<long>(offset_ + position_), SEEK_SET) == 0;
    }
    if (positioned_) got = std::fread(destination, 1, wanted, file_);
  }
  // The file shrank, or failed to give what it held, after it was opened.
  if (atTheCut_ == AtTheCut::kPackageDamaged && got < wanted) cutShort(std::uint64_t{position_} + got);
  std::memset(static_cast<std::uint8_t*>(destination) + got, 0, bytes - got);
  // The position moves on by all that was asked, as it would over a file of that length.
  if (got != bytes) positioned_ = false;
  position_ = static_cast<std::uint32_t>(std::min<std::uint64_t>(end, UINT32_MAX));
  return got;
}

std::uint8_t MemberFile::readByte() {
  std::uint8_t byte;
  read(&byte, 1);
  return byte;
}

void MemberFile::requireWhole() const {
  if (size_ < declaredSize_) cutShort(size_);
}

void MemberFile::cutShort(std::uint64_t present) const {
  // FatalError keeps the text's address until the run has ended, and the run ends here.
  static std::string message;
  message = "Package file is damaged: " + name_ + " is cut short (" + std::to_string(present) + " of " +
            std::to_string(declaredSize_) + " bytes)";
  FatalError(message.c_str());
}
