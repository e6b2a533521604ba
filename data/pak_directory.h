// The package directory's format, read from the start of the package file: "PAK1", a count
// byte, then per member its offset, its size and its name line. The archive and the package tool
// read it here, with nothing but the C library.
#pragma once

#include <cstdint>
#include <cstdio>

inline constexpr int kPakNameLineBytes = 31;  // a name line never takes more (a 32-byte line buffer)

struct PakEntry {
  char name[32];         // the name line as read, newline included, zero-terminated
  std::uint32_t offset;  // from the first byte of the package file
  std::uint32_t size;
};

enum class PakDirectoryStatus { kOk, kWrongMagic, kEndsEarly, kNameTooLong };

// Reads the magic and the count byte from the start of `file`.
PakDirectoryStatus ReadPakHeader(std::FILE* file, int* count);
// Reads the next directory entry: offset, size and the name line (up to and including its
// newline, at most 31 bytes). *lineBytes receives the bytes the line took.
PakDirectoryStatus ReadPakEntry(std::FILE* file, PakEntry* entry, int* lineBytes);
// Reads the `count` entries that follow the header into `entries`, and the bytes each name line
// took into `lineBytes` when it is not null; stops at the first entry that is not kOk.
PakDirectoryStatus ReadPakEntries(std::FILE* file, int count, PakEntry* entries, int* lineBytes);
