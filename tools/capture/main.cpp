// kaleth-capture: the production on the headless backend, on a virtual clock, frame by frame.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/directdraw/display_settings.h"
#include "platform/windows/headless_backend.h"
#include "runtime/entry.h"
#include "runtime/timeline.h"
#include "tools/capture/capture_options.h"
#include "tools/common/png_writer.h"

namespace {

// Milliseconds since slot 0 began, or -1 while the program is still starting.
std::int64_t TimelineMilliseconds(std::uint32_t now) {
  if (!Playing) return -1;
  return static_cast<std::uint32_t>(now - SlotTable[0].start);
}

}  // namespace

int main(int argc, char** argv) {
  CaptureOptions options;
  std::string error;
  if (!ParseCaptureOptions(argc, argv, &options, &error)) {
    if (!error.empty()) std::fprintf(stderr, "kaleth-capture: %s\n", error.c_str());
    std::fputs(kCaptureUsage, stderr);
    return error.empty() ? 0 : 2;
  }
  if (!options.outDir.empty()) {
    std::error_code code;
    std::filesystem::create_directories(options.outDir, code);
    if (code) {
      std::fprintf(stderr, "kaleth-capture: cannot create %s: %s\n", options.outDir.c_str(), code.message().c_str());
      return 1;
    }
  }

  DisplaySettings& display = DirectDrawSettings();
  display.modeDepths.erase(std::remove_if(display.modeDepths.begin(), display.modeDepths.end(),
                                          [&](DWORD depth) { return static_cast<int>(depth) > options.depth; }),
                           display.modeDepths.end());
  display.desktopDepth = static_cast<DWORD>(options.depth);

  HeadlessBackend backend;
  backend.frameStepMicroseconds = options.stepMicroseconds;
  backend.script = options.keys;
  // The capture ends like a user leaving: through the close box once the end time has come.
  backend.script.push_back(ScriptedMessage{options.endMs, WM_CLOSE, 0});
  std::stable_sort(backend.script.begin(), backend.script.end(),
                   [](const ScriptedMessage& a, const ScriptedMessage& b) { return a.at < b.at; });
  backend.scriptClock = [&backend] { return TimelineMilliseconds(backend.Milliseconds()); };

  bool writeFailed = false;
  std::uint64_t frameNumber = 0;
  backend.onPresent = [&](const FrameView& frame, std::uint32_t now) {
    const std::int64_t time = TimelineMilliseconds(now);
    ++frameNumber;
    if (options.outDir.empty() || writeFailed || time > options.endMs) return;
    char name[64];
    if (time < 0) std::snprintf(name, sizeof name, "frame-%06llu-loading.png", static_cast<unsigned long long>(frameNumber));
    else std::snprintf(name, sizeof name, "frame-%06llu-t%07lld.png", static_cast<unsigned long long>(frameNumber), static_cast<long long>(time));
    std::string failure;
    if (!WriteFramePng((std::filesystem::path(options.outDir) / name).string(), frame, &failure)) {
      std::fprintf(stderr, "kaleth-capture: %s\n", failure.c_str());
      writeFailed = true;
    }
  };

  SetWindowsBackend(&backend);
  const int code = WinMain(nullptr, nullptr, options.programArguments.data(), SW_SHOWDEFAULT);
  ResetWindowsState();
  SetWindowsBackend(nullptr);
  std::fprintf(stderr, "kaleth-capture: %llu frames presented, %llu ms of virtual time, exit code %d\n",
               static_cast<unsigned long long>(backend.framesPresented),
               static_cast<unsigned long long>(backend.ElapsedMilliseconds()), code);
  return writeFailed ? 1 : code;
}
