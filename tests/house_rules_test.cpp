// The floors of the house, read off the source: which folder may include which. A floor includes
// only itself and what lies below it, so that a program links no more than it uses.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// The four headers through which the system reaches the platform.
const std::vector<std::string> kPlatformNames = {"platform/windows/win32.h", "platform/directdraw/ddraw.h",
                                                 "platform/direct3d/d3d.h", "platform/soundlib/bass.h"};
const std::vector<std::string> kSystem = {"core/", "data/", "runtime/", "display/", "d3d/", "music/", "scenes/"};

struct Floor {
  std::string folder;                 // the files it holds
  std::vector<std::string> mayInclude;  // folders and headers its files may include
};

std::vector<std::string> Plus(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

const std::vector<Floor> kFloors = {
    {"platform/", {"platform/"}},
    {"core/", Plus({"core/"}, kPlatformNames)},
    {"data/", Plus({"data/", "core/"}, kPlatformNames)},
    {"runtime/", Plus(kSystem, kPlatformNames)},
    {"display/", Plus(kSystem, kPlatformNames)},
    {"d3d/", Plus(kSystem, kPlatformNames)},
    {"music/", Plus(kSystem, kPlatformNames)},
    {"scenes/", Plus(kSystem, kPlatformNames)},
    {"tools/", Plus(Plus({"tools/", "platform/", "kaleth_build.h"}, kSystem), {})},
};

// Where a file may reach past its floor, and why.
struct Exception {
  std::string file;
  std::string header;
};
const std::vector<Exception> kExceptions = {
    // The failures that are the C library's rather than a platform call's can still be made to
    // happen in a whole run: the checked allocation and a member's reopening.
    {"core/errors.cpp", "platform/faults.h"},
    {"data/member_file.cpp", "platform/faults.h"},
    // Where the host meets the system: the window backend and the sound device are handed in.
    {"runtime/session.h", "platform/windows/backend.h"},
    {"runtime/session.h", "platform/soundlib/sound_output.h"},
};

bool StartsWithAny(const std::string& text, const std::vector<std::string>& prefixes) {
  for (const std::string& prefix : prefixes) {
    if (text.rfind(prefix, 0) == 0) return true;
  }
  return false;
}

bool Excepted(const std::string& file, const std::string& header) {
  for (const Exception& e : kExceptions) {
    if (e.file == file && e.header == header) return true;
  }
  return false;
}

// Every quoted include of every source file under `folder`, as "file: header".
std::vector<std::pair<std::string, std::string>> Includes(const fs::path& top, const std::string& folder) {
  std::vector<std::pair<std::string, std::string>> found;
  const std::regex include(R"(^\s*#\s*include\s*"([^"]+)\")");
  for (const auto& item : fs::recursive_directory_iterator(top / folder)) {
    const std::string extension = item.path().extension().string();
    if (!item.is_regular_file() || (extension != ".cpp" && extension != ".h")) continue;
    const std::string file = fs::relative(item.path(), top).generic_string();
    std::ifstream in(item.path());
    std::string line;
    std::smatch match;
    while (std::getline(in, line)) {
      if (std::regex_search(line, match, include)) found.emplace_back(file, match[1].str());
    }
  }
  return found;
}

TEST(HouseRules, EveryFloorIncludesOnlyItselfAndWhatLiesBelow) {
  const fs::path top = KALETH_SOURCE_DIR;
  int checked = 0;
  for (const Floor& floor : kFloors) {
    for (const auto& [file, header] : Includes(top, floor.folder)) {
      ++checked;
      EXPECT_TRUE(StartsWithAny(header, floor.mayInclude) || Excepted(file, header))
          << file << " includes " << header << ", which lies above or beside its floor";
    }
  }
  // The scan found the tree: the floors include some four hundred headers.
  EXPECT_GT(checked, 300);
}

TEST(HouseRules, EveryProgramIncludesOnlyItsOwnFolderOfApps) {
  const fs::path top = KALETH_SOURCE_DIR;
  int programs = 0;
  for (const auto& app : fs::directory_iterator(top / "apps")) {
    if (!app.is_directory()) continue;
    ++programs;
    const std::string own = "apps/" + app.path().filename().string() + "/";
    for (const auto& [file, header] : Includes(top, own)) {
      EXPECT_TRUE(header.rfind("apps/", 0) != 0 || header.rfind(own, 0) == 0)
          << file << " includes " << header << " of another program; shared code belongs in tools/";
    }
  }
  EXPECT_GE(programs, 6);
}

}  // namespace
