#include "apps/pak/pak_commands.h"

#include <cstdio>
#include <filesystem>
#include <vector>

#include "tools/common/pak_writer.h"
#include "apps/pak/manifest.h"
#include "apps/pak/pak_listing.h"

namespace {

namespace fs = std::filesystem;

int Fail(const std::string& message) {
  std::fprintf(stderr, "kaleth-pak: %s\n", message.c_str());
  return 1;
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
      return Fail(package + ": member " + std::to_string(i) + " (" + EscapeName(members[i].name) +
                  ") runs past the end of the file");
    }
  }
  std::error_code code;
  fs::create_directories(folder, code);
  if (code) return Fail(folder + ": " + code.message());

  std::vector<ManifestLine> manifest;
  std::vector<std::string> taken;
  std::vector<PakMember> repacked;
  for (std::size_t i = 0; i < members.size(); ++i) {
    const ListedMember& member = members[i];
    const std::string file = MemberFileName(member.name, static_cast<int>(i), taken);
    taken.push_back(file);
    const std::vector<std::uint8_t> data(bytes.begin() + member.offset, bytes.begin() + member.offset + member.size);
    if (!WriteFileBytes((fs::path(folder) / file).string(), data, &error)) return Fail(error);
    manifest.push_back({file, member.name});
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
                 "gives the same members in new bytes\n", package.c_str());
  }
  std::printf("%zu members extracted to %s\n", members.size(), folder.c_str());
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
    return Fail(manifestPath + ": " + error);
  }
  std::vector<PakMember> members;
  for (const ManifestLine& line : lines) {
    PakMember member{line.name, {}};
    if (!ReadFileBytes((fs::path(folder) / line.file).string(), &member.data, &error)) return Fail(error);
    members.push_back(std::move(member));
  }
  std::vector<std::uint8_t> bytes;
  if (!BuildPak(members, &bytes, &error)) return Fail(error);
  if (!WriteFileBytes(package, bytes, &error)) return Fail(error);
  std::printf("%zu members packed into %s (%zu bytes)\n", members.size(), package.c_str(), bytes.size());
  return 0;
}
