#include "tools/common/pak_writer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

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
    if (member.name.empty() || member.name.size() > kPakMaxNameLength ||
        member.name.find_first_of(std::string("\n\0", 2)) != std::string::npos) {
      *error = "member name '" + member.name + "' must be 1 to 30 bytes without a newline";
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

bool WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string* error) {
  const std::string temporary = path + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) {
      *error = temporary + ": " + std::strerror(errno);
      return false;
    }
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) {
      *error = temporary + ": write failed";
      return false;
    }
  }
  std::error_code code;
  std::filesystem::rename(temporary, path, code);
  if (code) {
    *error = path + ": " + code.message();
    std::filesystem::remove(temporary, code);
    return false;
  }
  return true;
}

bool ReadFileBytes(const std::string& path, std::vector<std::uint8_t>* bytes, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = path + ": " + std::strerror(errno);
    return false;
  }
  bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (in.bad()) {
    *error = path + ": read failed";
    return false;
  }
  return true;
}
