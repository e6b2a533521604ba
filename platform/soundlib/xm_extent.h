// Whether a block of bytes holds a whole extended module: libxmp is lenient with a module that
// ends early (it plays what it got), but a cut module is a damaged one and is refused here.
#pragma once

#include <cstddef>
#include <cstdint>

// True when the bytes begin with the extended-module id, are of version 1.04, and every header,
// pattern, instrument and sample the module declares lies within the `size` bytes (bytes after
// the module are allowed).
bool XmModuleFits(const std::uint8_t* bytes, std::size_t size);
