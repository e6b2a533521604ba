// The page's program: the system on the web backend, started by the page's Play button, or, in
// the page's capture mode, on the headless backend's virtual clock with the same options as
// kaleth-capture, handing every kept frame to the page with what it cost to draw.
#include <emscripten.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "data/pak_archive.h"
#include "data/pak_directory.h"
#include "data/raw_loaders.h"
#include "display/present.h"
#include "music/beat_flags.h"
#include "platform/backends/machine_profile.h"
#include "platform/backends/web/web_backend.h"
#include "platform/backends/headless/headless_backend.h"
#include "platform/pixels/pixel_convert.h"
#include "platform/threads/worker_pool.h"
#include "runtime/session.h"
#include "tools/capture/capture_options.h"
#include "tools/capture/capture_run.h"

namespace {

EM_JS(void, ReportEnd, (int code, const char* summary), {
  Module.kalethPage.ended(code, JSON.parse(UTF8ToString(summary)));
});
// Hands one frame (RGB bytes, as the capture tool writes them) to the page and waits until the
// page has taken it; the wait also lets the browser breathe. `flags` holds beat flag A in bit 0
// and B in bit 1.
EM_ASYNC_JS(void, KeepFrame, (int number, double time, int slot, int flags, const std::uint8_t* rgb, int width, int height), {
  await Module.kalethPage.keepFrame({number, time, slot, beatFlagA: (flags & 1) != 0, beatFlagB: (flags & 2) != 0,
                                     width, height}, HEAPU8.slice(rgb, rgb + width * height * 3));
});

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

int PlayInRealTime() {
  WebBackend backend;
  const int code = Session(backend, backend).Play("");
  // A fatal error's box is still to be seen.
  backend.ShowPendingBoxes();
  ReportEnd(code, "{}");
  return code;
}

// Plays on the virtual clock. With keepFrames every frame kaleth-capture would keep goes to the
// page; either way the page is told at the end what each slot's frames cost to draw (the median
// of the time from one present to the next, less what the capture itself did in between), and
// what the timeline's frames took together, as kaleth-bench times the whole production: from the
// first frame of slot 0 on, which the start-up is before (drawingSeconds counts both).
int Capture(const CaptureOptions& options, bool keepFrames) {
  HeadlessBackend backend;
  PrepareCaptureBackend(options, &backend);

  std::vector<std::vector<double>> costs(kSlotCount);
  std::vector<std::uint8_t> xrgb, rgb, shown;
  std::uint64_t frameNumber = 0, framesKept = 0, timelineFrames = 0;
  double timelineMs = 0;
  const double started = emscripten_get_now();
  double drawingSince = started, lastBreath = started, handling = 0;
  backend.onPresent = [&](const FrameView& frame, std::uint32_t now) {
    const double presented = emscripten_get_now();
    const TimelinePosition position = WhereIs(now);
    const std::int64_t time = position.timelineMs;
    const int slot = position.slot;
    ++frameNumber;
    if (slot >= 0 && slot < static_cast<int>(kSlotCount)) {
      costs[slot].push_back(presented - drawingSince);
      if (timelineFrames++ > 0) timelineMs += presented - drawingSince;
    }
    // The frames kaleth-capture would write with the same options.
    if (keepFrames && KeptByCapture(options, time)) {
      ++framesKept;
      const std::size_t pixels = static_cast<std::size_t>(frame.width) * static_cast<std::size_t>(frame.height);
      xrgb.resize(pixels * 4);
      rgb.resize(pixels * 3);
      ConvertToXrgb(frame, xrgb.data(), frame.width * 4);
      for (std::size_t i = 0; i < pixels; ++i) {
        rgb[i * 3] = xrgb[i * 4 + 2];
        rgb[i * 3 + 1] = xrgb[i * 4 + 1];
        rgb[i * 3 + 2] = xrgb[i * 4];
      }
      ShowOnCanvas(frame, &shown);
      const int flags = (BeatFlagA.load() != 0 ? 1 : 0) | (BeatFlagB.load() != 0 ? 2 : 0);
      KeepFrame(static_cast<int>(frameNumber), static_cast<double>(time), slot, flags, rgb.data(), frame.width,
                frame.height);
    } else if (presented - lastBreath > 250) {
      // A long capture shows how far it is and keeps the page answering.
      ShowOnCanvas(frame, &shown);
      emscripten_sleep(0);
      lastBreath = emscripten_get_now();
    }
    drawingSince = emscripten_get_now();
    handling += drawingSince - presented;
  };

  const int code = Session(backend, backend).Play(options.programArguments.c_str());

  const double drawing = (emscripten_get_now() - started - handling) / 1000.0;
  std::string summary = "{\"frames\":" + std::to_string(backend.framesPresented) +
                        ",\"kept\":" + std::to_string(framesKept) + ",\"drawingSeconds\":" + std::to_string(drawing) +
                        ",\"timelineFrames\":" + std::to_string(timelineFrames > 0 ? timelineFrames - 1 : 0) +
                        ",\"timelineSeconds\":" + std::to_string(timelineMs / 1000.0) +
                        ",\"virtualSeconds\":" + std::to_string(backend.ElapsedMilliseconds() / 1000.0) +
                        ",\"threads\":" + std::to_string(WorkerThreads()) +
                        ",\"slots\":[";
  for (unsigned slot = 0; slot < kSlotCount; ++slot) {
    if (slot > 0) summary += ',';
    summary += "{\"slot\":" + std::to_string(slot) + ",\"frames\":" + std::to_string(costs[slot].size()) +
               ",\"medianMs\":" + std::to_string(Median(costs[slot])) + "}";
  }
  summary += "]}";
  ReportEnd(code, summary.c_str());
  return code;
}

}  // namespace

// Puts the package's loading picture on the canvas before the program starts, as the page opens.
// Quietly does nothing when the package cannot show it: the program says what is wrong once it
// is started.
extern "C" EMSCRIPTEN_KEEPALIVE void kaleth_web_preview() {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(kPackagePath, "rb"), std::fclose);
  int count = 0;
  if (!file || ReadPakHeader(file.get(), &count) != PakDirectoryStatus::kOk) return;
  std::vector<PakEntry> entries(static_cast<std::size_t>(count));
  if (ReadPakEntries(file.get(), count, entries.data(), nullptr) != PakDirectoryStatus::kOk) return;
  PakEntry entry{};
  for (const PakEntry& candidate : entries) {
    if (std::strcmp(candidate.name, "load.raw\n") == 0) {
      entry = candidate;
      break;
    }
  }
  if (entry.size != kRawScreenPixels || std::fseek(file.get(), static_cast<long>(entry.offset), SEEK_SET) != 0) return;
  std::vector<std::uint8_t> grey(kRawScreenPixels);
  if (std::fread(grey.data(), 1, grey.size(), file.get()) != grey.size()) return;
  std::vector<std::uint32_t> screen(512 * 384, 0);
  GrayToPixels(grey.data(), screen.data() + 512 * kPictureTop, kRawScreenPixels);
  std::vector<std::uint8_t> rgba;
  ShowOnCanvas(FrameView{reinterpret_cast<const std::uint8_t*>(screen.data()), 512, 384, 512 * 4, 32}, &rgba);
}

// No arguments: play in real time. `--capture` or `--bench` followed by kaleth-capture's options:
// the capture mode, keeping every frame or measuring only.
int main(int argc, char** argv) {
  // The page has no environment of its own to speak of; the profile is read all the same, so that
  // every run starts from the same settings.
  LoadMachineProfile();
  if (argc < 2) return PlayInRealTime();
  const bool keepFrames = std::strcmp(argv[1], "--capture") == 0;
  if (!keepFrames && std::strcmp(argv[1], "--bench") != 0) {
    std::fprintf(stderr, "kaleth: unknown mode %s (--capture or --bench)\n", argv[1]);
    ReportEnd(2, "{}");
    return 2;
  }
  CaptureOptions options;
  std::string error;
  // What is kept goes to the page, which stands where the tool's --out folder would.
  std::vector<char*> arguments{argv[1], const_cast<char*>("--out"), const_cast<char*>("page")};
  arguments.insert(arguments.end(), argv + 2, argv + argc);
  if (!ParseCaptureOptions(static_cast<int>(arguments.size()), arguments.data(), &options, &error)) {
    std::fprintf(stderr, "kaleth: %s\n", error.c_str());
    ReportEnd(2, "{}");
    return 2;
  }
  return Capture(options, keepFrames);
}
