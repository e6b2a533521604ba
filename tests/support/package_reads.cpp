#include "tests/support/package_reads.h"

#include "data/pak_archive.h"

// PakEntry PakArchive::find(const char*) const, by its linker name. A member function takes its
// object as the first argument, so the wrapper sees it as a plain function of (this, name).
extern "C" {
PakEntry __real__ZNK10PakArchive4findEPKc(const PakArchive* archive, const char* name);
PakEntry __wrap__ZNK10PakArchive4findEPKc(const PakArchive* archive, const char* name);
}

namespace {

bool recording = false;

std::vector<std::string>& Recorded() {
  static std::vector<std::string> names;
  return names;
}

}  // namespace

PakEntry __wrap__ZNK10PakArchive4findEPKc(const PakArchive* archive, const char* name) {
  if (recording) Recorded().push_back(name);
  return __real__ZNK10PakArchive4findEPKc(archive, name);
}

namespace package_reads {

void Start() {
  Recorded().clear();
  recording = true;
}

void Stop() { recording = false; }

std::vector<std::string> Names() { return Recorded(); }

}  // namespace package_reads
