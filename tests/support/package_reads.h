// Records the members the system looks up in the package, in order: every reader looks its
// member up with PakArchive::find before it reads, so this is the order of the package reads.
// The log is the package's lookup observer while it records.
#pragma once

#include <string>
#include <vector>

namespace package_reads {

// Forgets what was recorded and starts recording.
void Start();
void Stop();
std::vector<std::string> Names();

}  // namespace package_reads
