#include "data/pak_archive.h"

#include <cstdlib>
#include <memory>

#include "core/errors.h"

PakArchive Package;

namespace {

constexpr const char* kOpenFailure = "Unable to open datafile";
constexpr const char* kCorrupted = "Package file seems to be corrupted";

PakLookupObserver lookupObserver = nullptr;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

PakArchive::~PakArchive() { std::free(entries); }

void PakArchive::open(const char* packagePath) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(packagePath, "rb"));
  if (!file) FatalError(kOpenFailure);
  int entryCount = 0;
  if (ReadPakHeader(file.get(), &entryCount) != PakDirectoryStatus::kOk) FatalError(kCorrupted);

  std::free(entries);
  entries = nullptr;
  count = 0;
  path = packagePath;
  PakEntry* read = static_cast<PakEntry*>(CheckedAlloc(sizeof(PakEntry) * static_cast<std::size_t>(entryCount)));
  if (ReadPakEntries(file.get(), entryCount, read, nullptr) != PakDirectoryStatus::kOk) {
    std::free(read);
    FatalError(kCorrupted);
  }
  entries = read;
  count = entryCount;
}

void SetPakLookupObserver(PakLookupObserver observer) { lookupObserver = observer; }

PakEntry PakArchive::find(const char* name) const {
  if (lookupObserver != nullptr) lookupObserver(name);
  for (std::int32_t i = 0; i < count; ++i) {
    const char* stored = entries[i].name;
    std::size_t at = 0;
    while (name[at] != '\0' && name[at] == stored[at]) ++at;
    if (name[at] == '\0') return entries[i];
  }
  ShowMessage("Filesystem error");
  FatalError(name);
}
