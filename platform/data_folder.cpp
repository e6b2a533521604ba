#include "platform/data_folder.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr const char* kPackage = "kaleth.pak";

bool Holds(const fs::path& folder, const std::string& package) {
  std::error_code code;
  return fs::is_regular_file(folder / package, code);
}

}  // namespace

DataFolderSearch FindDataFolder(const std::string& package, const std::string& dataFromProgram) {
  DataFolderSearch search;
  std::vector<fs::path> candidates;
  const char* chosen = std::getenv("KALETH_DATA");
  std::error_code code;
  if (chosen != nullptr && *chosen != '\0') {
    search.overridden = true;
    const fs::path folder = fs::absolute(chosen, code);
    candidates.push_back(code ? fs::path(chosen) : folder.lexically_normal());
  } else {
    const fs::path working = fs::current_path(code);
    if (!code) candidates.push_back(working);
    // The kernel's link to the running executable: right however the program was started, and
    // wherever an unpacked or relocated copy lives.
    const fs::path program = fs::read_symlink("/proc/self/exe", code);
    if (!code) candidates.push_back((program.parent_path() / dataFromProgram).lexically_normal());
  }
  for (const fs::path& folder : candidates) {
    std::string name = folder.string();
    if (name.size() > 1 && name.back() == '/') name.pop_back();
    search.searched.push_back(name);
    if (search.found.empty() && Holds(folder, package)) search.found = name;
  }
  return search;
}

bool EnterDataFolder(const char* program, const std::string& dataFromProgram) {
  const DataFolderSearch search = FindDataFolder(kPackage, dataFromProgram);
  std::string folder = search.found;
  if (folder.empty()) {
    std::string list;
    for (const std::string& searched : search.searched) list += (list.empty() ? "" : ", ") + searched;
    std::fprintf(stderr, "%s: %s is in none of the folders searched: %s%s\n", program, kPackage, list.c_str(),
                 search.overridden ? " (from KALETH_DATA)" : " (KALETH_DATA=DIR names another)");
    if (!search.overridden) return true;
    folder = search.searched.front();
  }
  std::error_code code;
  fs::current_path(folder, code);
  if (code) {
    std::fprintf(stderr, "%s: cannot enter %s: %s\n", program, folder.c_str(), code.message().c_str());
    return false;
  }
  return true;
}
