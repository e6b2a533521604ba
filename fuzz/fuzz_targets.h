// The readers of untrusted bytes, each run on one input as a fuzzer (or a test) hands it over.
// Each returns true when the input was read through, false when it ended with a fatal error:
// both are fine ends; anything else (a crash, a hang, a sanitizer report) is a fault.
#pragma once

#include <cstddef>
#include <cstdint>

// Installs a headless machine for the libFuzzer executables, whose boxes are forgotten after
// each input. Tests install their own.
void InstallFuzzMachine();

// The input is a whole package: its directory is read and every member looked up and read.
bool FuzzPakDirectory(const std::uint8_t* data, std::size_t size);
// The input is a PCX member.
bool FuzzPcx(const std::uint8_t* data, std::size_t size);
// The input is a 3DS member: the mesh is loaded and made a triangle list.
bool FuzzMesh3ds(const std::uint8_t* data, std::size_t size);
// The input is the music module: it is loaded, a sync set on instrument 1, and half a second played.
bool FuzzModule(const std::uint8_t* data, std::size_t size);
