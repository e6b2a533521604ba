// Watches the heap calls of the code linked into the test program (the system's libraries and
// the tests): the test binary is linked with malloc, calloc, realloc, free and the plain
// operator new / new[] wrapped by this log. While recording, it counts every allocation and keeps
// the order of the blocks freed.
#pragma once

#include <cstddef>
#include <vector>

namespace allocation_log {

// Forgets what was recorded and starts recording.
void Start();
// Stops recording; what was recorded stays readable.
void Stop();

std::size_t Allocations();
// The blocks freed while recording, in order (null frees included).
std::vector<const void*> Frees();

}  // namespace allocation_log
