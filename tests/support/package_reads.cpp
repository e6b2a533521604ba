#include "tests/support/package_reads.h"

#include "data/pak_archive.h"

namespace {

std::vector<std::string>& Recorded() {
  static std::vector<std::string> names;
  return names;
}

void Record(const char* name) { Recorded().push_back(name); }

}  // namespace

namespace package_reads {

void Start() {
  Recorded().clear();
  SetPakLookupObserver(Record);
}

void Stop() { SetPakLookupObserver(nullptr); }

std::vector<std::string> Names() { return Recorded(); }

}  // namespace package_reads
