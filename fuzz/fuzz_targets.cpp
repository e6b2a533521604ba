#include "fuzz/fuzz_targets.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "data/member_file.h"
#include "data/mesh3ds.h"
#include "data/mesh_triangle_list.h"
#include "data/pak_archive.h"
#include "data/pcx_loader.h"
#include "music/music.h"
#include "platform/soundlib/bass.h"
#include "platform/backends/headless/headless_backend.h"
#include "core/errors.h"
#include "runtime/session.h"
#include "tools/common/pak_writer.h"

namespace {

HeadlessBackend* fuzzBackend = nullptr;

// The package lives in memory; the readers reopen it by its path as they would a file.
const char* PackagePath(const std::uint8_t* data, std::size_t size) {
  static const int fd = memfd_create("kaleth-fuzz.pak", MFD_CLOEXEC);
  static const std::string path = "/proc/self/fd/" + std::to_string(fd);
  if (fd < 0 || ftruncate(fd, 0) != 0) std::abort();
  for (std::size_t written = 0; written < size;) {
    const ssize_t n = pwrite(fd, data + written, size - written, static_cast<off_t>(written));
    if (n <= 0) std::abort();
    written += static_cast<std::size_t>(n);
  }
  return path.c_str();
}

// Runs one read; a fatal error is an end like any other. The quit it posted is taken off the
// queue so that inputs do not pile up.
template <typename Read>
bool Run(Read read) {
  bool readThrough = true;
  try {
    read();
  } catch (const FatalErrorExit&) {
    readThrough = false;
  }
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
  if (fuzzBackend != nullptr) fuzzBackend->boxes.clear();
  return readThrough;
}

// A package holding the input as its one member "m".
bool RunOnMember(const std::uint8_t* data, std::size_t size, void (*read)()) {
  std::vector<std::uint8_t> package;
  std::string error;
  if (!BuildPak({PakMember{"m", std::vector<std::uint8_t>(data, data + size)}}, &package, &error)) std::abort();
  return Run([&] {
    Package.open(PackagePath(package.data(), package.size()));
    read();
  });
}

}  // namespace

void InstallFuzzMachine() {
  static HeadlessBackend backend;
  backend.printBoxes = false;
  fuzzBackend = &backend;
  // The readers run outside the entry, on a session that never plays: it only installs the
  // machine under them as a program's start does.
  static Session session(backend, backend);
}

bool FuzzPakDirectory(const std::uint8_t* data, std::size_t size) {
  return Run([&] {
    Package.open(PackagePath(data, size));
    for (std::int32_t i = 0; i < Package.count; ++i) {
      // The stored name, newline and all, finds this entry or an earlier one it begins with.
      const PakEntry entry = Package.entries[i];
      MemberFile member(entry.name, "Unable to load image");
      std::uint8_t bytes[4096];
      for (std::uint32_t at = 0; at < member.size() && at < (1u << 16); at += sizeof bytes) member.read(bytes, sizeof bytes);
    }
  });
}

bool FuzzPcx(const std::uint8_t* data, std::size_t size) {
  return RunOnMember(data, size, [] { std::free(LoadPcx("m")); });
}

bool FuzzMesh3ds(const std::uint8_t* data, std::size_t size) {
  return RunOnMember(data, size, [] {
    Mesh3ds mesh;
    mesh.load("m");
    MeshTriangleList list;
    list.build(mesh);
  });
}

bool FuzzModule(const std::uint8_t* data, std::size_t size) {
  // Each input is a program's one module: the library starts afresh.
  ResetSoundLibrary();
  return RunOnMember(data, size, [] {
    LoadMusic("m");
    RegisterBeatSync(1, ToggleBeatFlagAOnNote);
    StartMusic();
    Sleep(500);
  });
}
