#include "data/pak_directory.h"

#include <cstring>

namespace {

std::uint32_t LittleEndian32(const unsigned char* bytes) {
  return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

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

PakDirectoryStatus ReadPakEntries(std::FILE* file, int count, PakEntry* entries, int* lineBytes) {
  for (int i = 0; i < count; ++i) {
    int bytes = 0;
    const PakDirectoryStatus status = ReadPakEntry(file, &entries[i], &bytes);
    if (lineBytes != nullptr) lineBytes[i] = bytes;
    if (status != PakDirectoryStatus::kOk) return status;
  }
  return PakDirectoryStatus::kOk;
}
