#include "apps/pak/pak_commands.h"

#include <cstdio>
#include <filesystem>
#include <vector>

#include "tools/common/name_escape.h"
#include "tools/common/pak_writer.h"
#include "apps/pak/manifest.h"
#include "apps/pak/pak_listing.h"

namespace {

namespace fs = std::filesystem;

int Fail(const std::string& message) {
  std::fprintf(stderr, "kaleth-pak: %s\n", message.c_str());
  return 1;
}

// The file a manifest line names, where it really is: a regular file inside the folder once
// every link on the way is followed. False with the reason in *error.
bool MemberFilePath(const fs::path& folder, const ManifestLine& line, fs::path* path, std::string* error) {
  const std::string where = "line " + std::to_string(line.number) + ": '" + EscapeName(line.file) + "'";
  std::error_code code;
  const fs::path inside = fs::canonical(folder, code);
  if (!code) *path = fs::canonical(folder / line.file, code);
  if (code) {
    *error = where + ": " + code.message();
    return false;
  }
  const fs::path relative = path->lexically_relative(inside);
  if (relative.empty() || *relative.begin() == "..") {
    *error = where + " leads outside the folder";
    return false;
  }
  if (!fs::is_regular_file(*path, code)) {
    *error = where + " is not a regular file";
    return false;
  }
  return true;
}

}  // namespace

int ListPak(const std::string& package) {
  std::vector<ListedMember> members;
  std::string error;
  if (!ReadPakListing(package, &members, &error)) return Fail(error);
  std::printf("%5s  %-30s  %10s  %10s\n", "index", "name", "offset", "size");
  for (std::size_t i = 0; i < members.size(); ++i) {
    const ListedMember& member = members[i];
    std::printf("%5zu  %-30s  %10u  %10u%s\n", i, EscapeName(member.name).c_str(), member.offset, member.size,
                member.inside ? "" : "  (runs past the end of the file)");
  }
  return 0;
}

int ExtractPak(const std::string& package, const std::string& folder) {
  std::vector<ListedMember> members;
  std::string error;
  if (!ReadPakListing(package, &members, &error)) return Fail(error);
  std::vector<std::uint8_t> bytes;
  if (!ReadFileBytes(package, &bytes, &error)) return Fail(error);
  for (std::size_t i = 0; i < members.size(); ++i) {
    if (!members[i].inside) {
      return Fail(EscapeName(package) + ": member " + std::to_string(i) + " (" + EscapeName(members[i].name) +
                  ") runs past the end of the file");
    }
  }
  std::error_code code;
  fs::create_directories(folder, code);
  if (code) return Fail(EscapeName(folder) + ": " + code.message());

  std::vector<std::string> names;
  for (const ListedMember& member : members) names.push_back(member.name);
  const std::vector<std::string> files = PlanMemberFiles(names);
  std::vector<ManifestLine> manifest;
  std::vector<PakMember> repacked;
  for (std::size_t i = 0; i < members.size(); ++i) {
    const ListedMember& member = members[i];
    const std::vector<std::uint8_t> data(bytes.begin() + member.offset, bytes.begin() + member.offset + member.size);
    if (!WriteFileBytes((fs::path(folder) / files[i]).string(), data, &error)) return Fail(error);
    manifest.push_back({files[i], member.name, 0});
    repacked.push_back({member.name, data});
  }
  const std::string text = WriteManifest(manifest);
  if (!WriteFileBytes((fs::path(folder) / kManifestName).string(), std::vector<std::uint8_t>(text.begin(), text.end()),
                      &error)) {
    return Fail(error);
  }
  // Packing lays members out back to back in directory order; say so when this package was
  // laid out otherwise, since packing it again will then give other bytes.
  std::vector<std::uint8_t> again;
  if (!BuildPak(repacked, &again, &error) || again != bytes) {
    std::fprintf(stderr, "kaleth-pak: note: %s is not laid out as pack lays packages out; packing the folder "
                 "gives the same members in new bytes\n", EscapeName(package).c_str());
  }
  std::printf("%zu members extracted to %s\n", members.size(), EscapeName(folder).c_str());
  return 0;
}

int PackPak(const std::string& folder, const std::string& package) {
  std::vector<std::uint8_t> manifestBytes;
  std::string error;
  const std::string manifestPath = (fs::path(folder) / kManifestName).string();
  if (!ReadFileBytes(manifestPath, &manifestBytes, &error)) {
    return Fail(error + " (pack needs the manifest that extract writes: one member file a line)");
  }
  std::vector<ManifestLine> lines;
  if (!ParseManifest(std::string(manifestBytes.begin(), manifestBytes.end()), &lines, &error)) {
    return Fail(EscapeName(manifestPath) + ": " + error);
  }
  std::vector<PakMember> members;
  for (const ManifestLine& line : lines) {
    PakMember member{line.name, {}};
    fs::path path;
    if (!MemberFilePath(folder, line, &path, &error)) return Fail(EscapeName(manifestPath) + ": " + error);
    if (!ReadFileBytes(path.string(), &member.data, &error)) return Fail(error);
    members.push_back(std::move(member));
  }
  std::vector<std::uint8_t> bytes;
  if (!BuildPak(members, &bytes, &error)) return Fail(error);
  if (!WriteFileBytes(package, bytes, &error)) return Fail(error);
  std::printf("%zu members packed into %s (%zu bytes)\n", members.size(), EscapeName(package).c_str(), bytes.size());
  return 0;
}
