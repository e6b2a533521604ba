#include "tools/common/pak_writer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "tools/common/name_escape.h"

namespace {

void putU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

}  // namespace

bool BuildPak(const std::vector<PakMember>& members, std::vector<std::uint8_t>* package, std::string* error) {
  if (members.size() > kPakMaxMembers) {
    *error = "a package holds at most 255 members, not " + std::to_string(members.size());
    return false;
  }
  std::uint64_t directorySize = 5;
  for (const PakMember& member : members) {
    // The reader takes any name line of at most 31 bytes that ends in its first newline, so any
    // name it reads back comes through here: an empty one, or one holding a zero byte.
    if (member.name.size() > kPakMaxNameLength || member.name.find('\n') != std::string::npos) {
      *error = "member name '" + EscapeName(member.name) + "' must be at most 30 bytes without a newline";
      return false;
    }
    directorySize += 8 + member.name.size() + 1;
  }
  std::uint64_t offset = directorySize;
  *package = {'P', 'A', 'K', '1', static_cast<std::uint8_t>(members.size())};
  for (const PakMember& member : members) {
    if (offset + member.data.size() >= (1ull << 31)) {
      *error = "the package would pass 2 GiB, which its offsets cannot address";
      return false;
    }
    putU32(*package, static_cast<std::uint32_t>(offset));
    putU32(*package, static_cast<std::uint32_t>(member.data.size()));
    package->insert(package->end(), member.name.begin(), member.name.end());
    package->push_back('\n');
    offset += member.data.size();
  }
  for (const PakMember& member : members) package->insert(package->end(), member.data.begin(), member.data.end());
  return true;
}

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// A scratch file beside `path`, made by this call alone: "x" creates the file or fails when
// anything is there, a link included, so a link planted under the name is never written through.
// The name begins with '.', as no member file that extract plans does.
File CreateScratchBeside(const std::string& path, std::string* scratch, std::string* error) {
  const std::filesystem::path target(path);
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string name = '.' + target.filename().string() + '.' + std::to_string(attempt) + ".tmp";
    *scratch = (target.parent_path() / name).string();
    File file(std::fopen(scratch->c_str(), "wbx"));
    if (file) return file;
    if (errno != EEXIST) break;
  }
  *error = EscapeName(path) + ": " + std::strerror(errno);
  return nullptr;
}

}  // namespace

bool WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string* error) {
  std::string scratch;
  File file = CreateScratchBeside(path, &scratch, error);
  if (!file) return false;
  // An empty vector may hold no buffer at all, which fwrite must not be given.
  const bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
  const int writeError = errno;
  std::error_code code;
  if (std::fclose(file.release()) != 0 || !written) {
    *error = EscapeName(path) + ": " + std::strerror(written ? errno : writeError);
    std::filesystem::remove(scratch, code);
    return false;
  }
  // A rename replaces a link at `path` itself, never what it points to.
  std::filesystem::rename(scratch, path, code);
  if (code) {
    *error = EscapeName(path) + ": " + code.message();
    std::filesystem::remove(scratch, code);
    return false;
  }
  return true;
}

bool ReadFileBytes(const std::string& path, std::vector<std::uint8_t>* bytes, std::string* error) {
  File file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    *error = EscapeName(path) + ": " + std::strerror(errno);
    return false;
  }
  bytes->clear();
  std::uint8_t block[1 << 16];
  std::size_t got = 0;
  while ((got = std::fread(block, 1, sizeof block, file.get())) > 0) bytes->insert(bytes->end(), block, block + got);
  // A folder opens, then fails the first read (EISDIR).
  if (std::ferror(file.get())) {
    *error = EscapeName(path) + ": " + std::strerror(errno);
    return false;
  }
  return true;
}
