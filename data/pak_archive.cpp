#include "data/pak_archive.h"

#include <cstdlib>
#include <cstring>
#include <memory>

#include "core/errors.h"

PakArchive Package;

namespace {

constexpr const char* kOpenFailure = "Unable to open datafile";
constexpr const char* kCorrupted = "Package file seems to be corrupted";

PakLookupObserver lookupObserver = nullptr;

std::uint32_t LittleEndian32(const unsigned char* bytes) {
  return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

PakDirectoryStatus ReadPakHeader(std::FILE* file, int* count) {
  unsigned char header[5];
  const std::size_t got = std::fread(header, 1, sizeof header, file);
  if (got < 4 || std::memcmp(header, "PAK1", 4) != 0) return PakDirectoryStatus::kWrongMagic;
  if (got < 5) return PakDirectoryStatus::kEndsEarly;
  *count = header[4];
  return PakDirectoryStatus::kOk;
}

PakDirectoryStatus ReadPakEntry(std::FILE* file, PakEntry* entry, int* lineBytes) {
  unsigned char numbers[8];
  if (std::fread(numbers, 1, sizeof numbers, file) != sizeof numbers) return PakDirectoryStatus::kEndsEarly;
  entry->offset = LittleEndian32(numbers);
  entry->size = LittleEndian32(numbers + 4);
  // The line rule: bytes up to and including the first newline, but never more than 31.
  int length = 0;
  while (length < kPakNameLineBytes) {
    const int c = std::fgetc(file);
    if (c == EOF) return PakDirectoryStatus::kEndsEarly;
    entry->name[length++] = static_cast<char>(c);
    if (c == '\n') break;
  }
  entry->name[length] = '\0';
  *lineBytes = length;
  // A line that filled its 31 bytes without a newline would leave the rest of the name to be
  // taken for the next entry's numbers.
  if (entry->name[length - 1] != '\n') return PakDirectoryStatus::kNameTooLong;
  return PakDirectoryStatus::kOk;
}

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
  for (int i = 0; i < entryCount; ++i) {
    int lineBytes = 0;
    if (ReadPakEntry(file.get(), &read[i], &lineBytes) != PakDirectoryStatus::kOk) {
      std::free(read);
      FatalError(kCorrupted);
    }
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
