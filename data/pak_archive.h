// The package directory: the name, offset and size of every member of the one package file,
// read once at start-up and asked by name afterwards.
#pragma once

#include <cstdint>

#include "data/pak_directory.h"

inline constexpr const char* kPackagePath = "kaleth.pak";
class PakArchive {
 public:
  PakArchive() = default;
  ~PakArchive();
  PakArchive(const PakArchive&) = delete;
  PakArchive& operator=(const PakArchive&) = delete;

  // Reads the directory of the package at `path` (kept by reference: a literal living for the
  // whole run). A missing, foreign or damaged package is a fatal error.
  void open(const char* path);
  // The first entry, in directory order, whose stored name begins with `name`. No match shows
  // "Filesystem error", then ends the run with the name itself as the message.
  PakEntry find(const char* name) const;

  const char* path = nullptr;
  PakEntry* entries = nullptr;
  std::int32_t count = 0;
};

// The one package of the run.
extern PakArchive Package;

// Called with the name of every PakArchive::find, before the search, when set; null by default,
// when a lookup costs one test more. Every reader looks its member up before it reads, so this
// sees the order of the package reads (the tests record it).
using PakLookupObserver = void (*)(const char* name);
void SetPakLookupObserver(PakLookupObserver observer);

