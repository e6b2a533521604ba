#include "platform/data_folder.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "platform/host/host.h"
#include "platform/setting_text.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kPackage = "kaleth.pak";

bool Holds(const fs::path& folder, const std::string& package) {
  std::error_code code;
  return fs::is_regular_file(folder / package, code);
}

}  // namespace

DataFolderSearch FindDataFolder(const std::string& package, const std::string& dataFromProgram,
                                const std::string& chosen) {
  DataFolderSearch search;
  std::vector<fs::path> candidates;
  std::error_code code;
  if (!chosen.empty()) {
    search.overridden = true;
    const fs::path folder = fs::absolute(chosen, code);
    candidates.push_back(code ? fs::path(chosen) : folder.lexically_normal());
  } else {
    const fs::path working = fs::current_path(code);
    if (!code) candidates.push_back(working);
    const fs::path program = host::ProgramFile(code);
    if (!code) candidates.push_back((program.parent_path() / dataFromProgram).lexically_normal());
  }
  for (const fs::path& folder : candidates) {
    std::string name = host::PathText(folder);
    if (name.size() > 1 && (name.back() == '/' || name.back() == '\\')) name.pop_back();
    search.searched.push_back(name);
    if (search.found.empty() && Holds(folder, package)) {
      search.found = name;
      search.foundPath = folder;
    }
  }
  return search;
}

void EnterDataFolder(const char* program, const std::string& dataFromProgram, const std::string& chosen) {
  const DataFolderSearch search = FindDataFolder(kPackage, dataFromProgram, chosen);
  std::error_code code;
  if (!search.found.empty()) {
    fs::current_path(search.foundPath, code);
    if (!code) return;
  } else if (search.overridden) {
    fs::current_path(search.searched.front(), code);
  }
  std::string list;
  for (const std::string& searched : search.searched) list += (list.empty() ? "" : ", ") + EscapeSettingText(searched);
  if (code) {
    // Not entered, whether it is missing, not a folder, a dangling link or closed to this user.
    std::fprintf(stderr, "%s: %s was looked for in %s%s, which cannot be entered: %s\n", program, kPackage,
                 list.c_str(), search.overridden ? " (from KALETH_DATA)" : "", code.message().c_str());
    // A run whose chosen folder cannot be entered goes where no package can be, so that the
    // system fails to open its package as in any folder without one, rather than finding one
    // where it was started.
    fs::current_path(host::NoPackageFolder(), code);
    return;
  }
  std::fprintf(stderr, "%s: %s is in none of the folders searched: %s%s\n", program, kPackage, list.c_str(),
               search.overridden ? " (from KALETH_DATA)" : " (KALETH_DATA=DIR names another)");
}
