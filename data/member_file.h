// One member of the package, open for reading: the pattern every reader follows (look the
// member up, open the package, stand at the member's offset, read, close).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

class MemberFile {
 public:
  // What a read does when it reaches bytes the directory gives the member but the file has lost
  // (a package cut short): end the run saying the package is damaged, or read zeros there and
  // leave the judgement to a reader that has messages of its own for a short read.
  enum class AtTheCut { kPackageDamaged, kReadZeros };

  // Looks `name` up in the package (the archive's messages when it is missing) and opens the
  // package at the member; a package that cannot be opened ends the run with `openFailure`.
  MemberFile(const char* name, const char* openFailure, AtTheCut atTheCut = AtTheCut::kPackageDamaged);
  ~MemberFile();
  MemberFile(const MemberFile&) = delete;
  MemberFile& operator=(const MemberFile&) = delete;

  // The bytes of the member that the file really holds: a directory entry whose offset or
  // size runs past the end of the file is cut there.
  std::uint32_t size() const { return size_; }
  std::uint32_t position() const { return position_; }

  // Moves to `position`, counted from the member's first byte.
  void seek(std::uint32_t position);
  // Reads `bytes` bytes into `destination`. Whatever lies past the end of the member reads as
  // zero bytes, so nothing of another member or outside the file is taken for this one.
  // Returns how many bytes came from the member.
  std::size_t read(void* destination, std::size_t bytes);
  std::uint8_t readByte();
  // Ends the run saying the package is damaged when the file ends before the member does.
  void requireWhole() const;

 private:
  [[noreturn]] void cutShort(std::uint64_t present) const;

  std::string name_;
  std::FILE* file_ = nullptr;
  std::uint32_t declaredSize_ = 0;
  std::uint32_t size_ = 0;
  std::uint32_t position_ = 0;
  std::uint64_t offset_ = 0;
  AtTheCut atTheCut_;
  bool positioned_ = false;  // the file stands at offset_ + position_
};
