// kaleth-capture: the production on the headless backend, on a virtual clock, frame by frame:
// PNG frames, a contact sheet, the music as WAV, and a video through ffmpeg.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "kaleth_build.h"
#include "platform/data_folder.h"
#include "platform/host/host.h"
#include "platform/backends/machine_profile.h"
#include "platform/backends/headless/headless_backend.h"
#include "platform/backends/viewer_settings.h"
#include "runtime/session.h"
#include "tools/capture/capture_options.h"
#include "tools/capture/capture_run.h"
#include "apps/capture/contact_sheet.h"
#include "apps/capture/progress_meter.h"
#include "apps/capture/video_encoder.h"
#include "tools/common/png_writer.h"
#include "tools/common/wav_writer.h"

namespace {

constexpr int kSoundChannels = 2;

std::string FrameName(std::uint64_t number, std::int64_t timelineMs) {
  char name[64];
  if (timelineMs < 0) {
    std::snprintf(name, sizeof name, "frame-%06llu-loading.png", static_cast<unsigned long long>(number));
  } else {
    std::snprintf(name, sizeof name, "frame-%06llu-t%07lld.png", static_cast<unsigned long long>(number),
                  static_cast<long long>(timelineMs));
  }
  return name;
}

// Writes the music of the kept span [startMs, endMs) as a WAV file.
bool WriteMusic(const std::string& path, const KeptSound& music, const CaptureOptions& options, std::string* error) {
  if (music.rate <= 0) {
    *error = "no music was played, so there is no sound to write";
    return false;
  }
  const std::size_t total = music.frames.size() / kSoundChannels;
  const std::size_t first = std::min<std::size_t>(static_cast<std::size_t>(options.startMs) * music.rate / 1000, total);
  const std::size_t last = std::min<std::size_t>(static_cast<std::size_t>(options.endMs) * music.rate / 1000, total);
  return WriteWav(path, music.frames.data() + first * kSoundChannels, last - first, kSoundChannels, music.rate, error);
}

}  // namespace

int main(int argc, char** argv) {
  CaptureOptions options;
  std::string error;
  if (!ParseCaptureOptions(argc, argv, &options, &error)) {
    if (error.empty()) {
      std::fputs(CaptureUsage().c_str(), stdout);
      return 0;
    }
    std::fprintf(stderr, "kaleth-capture: %s\n", error.c_str());
    std::fputs(CaptureUsage().c_str(), stderr);
    return 2;
  }
  if (options.version) {
    std::printf("kaleth-capture %s\n", KALETH_VERSION);
    return 0;
  }
  const MachineProfile profile = LoadMachineProfile();
  // The program runs from the folder of its package; what it keeps goes where the person asked,
  // seen from where they started it.
  for (std::string* path : {&options.outDir, &options.sheetPath, &options.videoPath, &options.wavPath}) {
    if (!path->empty()) *path = std::filesystem::absolute(*path).string();
  }
  EnterDataFolder("kaleth-capture", KALETH_DATA_FROM_PROGRAMS, profile.dataFolder);
  if (!options.outDir.empty()) {
    std::error_code code;
    std::filesystem::create_directories(options.outDir, code);
    if (code) {
      std::fprintf(stderr, "kaleth-capture: cannot create %s: %s\n", options.outDir.c_str(), code.message().c_str());
      return 1;
    }
  }
  std::unique_ptr<VideoEncoder> video;
  if (!options.videoPath.empty()) {
    video = std::make_unique<VideoEncoder>(VideoSettings{options.videoPath, options.frameRate, options.scale, options.crf});
    if (!video->Open(512, 384, &error)) {
      std::fprintf(stderr, "kaleth-capture: %s\n", error.c_str());
      return 1;
    }
  }
  std::unique_ptr<ContactSheet> sheet;
  if (!options.sheetPath.empty()) sheet = std::make_unique<ContactSheet>(options.endMs);

  HeadlessBackend backend;
  PrepareCaptureBackend(options, &backend);
  if (!options.wavPath.empty() || video) backend.music.keepMilliseconds = static_cast<std::uint64_t>(options.endMs) + 1000;

  const std::uint64_t expectedFrames =
      static_cast<std::uint64_t>(options.endMs - options.startMs) * 1000 / options.stepMicroseconds + 1;
  ProgressMeter progress(expectedFrames, options.quiet);
  std::uint64_t frameNumber = 0, framesKept = 0;
  bool failed = false;
  backend.onPresent = [&](const FrameView& frame, std::uint32_t now) {
    const std::int64_t time = TimelineMilliseconds(now);
    ++frameNumber;
    if (failed || !KeptByCapture(options, time)) return;
    ++framesKept;
    if (!options.outDir.empty() &&
        !WriteFramePng((std::filesystem::path(options.outDir) / FrameName(frameNumber, time)).string(), frame, &error)) {
      failed = true;
    }
    // The video and the sheet follow the timeline; the loading picture is not part of it. The
    // video's span is [start, end), as the music's is, so that both last as long.
    if (video && time >= 0 && time < options.endMs && !failed && !video->WriteFrame(frame, &error)) failed = true;
    if (sheet && time >= 0) {
      const TimelinePosition position = WhereIs(now);
      sheet->Offer(frame, position.slot, position.slotMs, Schedule()[position.slot].durationMs, time);
    }
    progress.FrameDone();
    // Nothing more can be kept, so the run ends as a user would end it, rather than playing on.
    if (failed) PostBackendMessage(WM_CLOSE, 0);
  };

  // The music the run kept stays with the backend when the session lets go of its output.
  const int code = Session(backend, backend).Play(options.programArguments.c_str());

  const std::string wavPath = !options.wavPath.empty() ? options.wavPath
                              : video                  ? options.videoPath + ".music.wav"
                                                       : "";
  const bool haveMusic = backend.music.rate > 0;
  if (!failed && !wavPath.empty() && haveMusic && !WriteMusic(wavPath, backend.music, options, &error)) failed = true;
  if (!failed && !options.wavPath.empty() && !haveMusic) {
    error = "no music was played, so " + options.wavPath + " was not written";
    failed = true;
  }
  if (!failed && video && !video->Finish(haveMusic ? wavPath : "", &error)) failed = true;
  if (video && options.wavPath.empty() && !wavPath.empty()) std::filesystem::remove(wavPath);
  if (!failed && sheet && !sheet->Write(options.sheetPath, &error)) failed = true;
  if (failed) std::fprintf(stderr, "\nkaleth-capture: %s\n", error.c_str());

  const double seconds = progress.Seconds();
  const double played = static_cast<double>(backend.ElapsedMilliseconds()) / 1000.0;
  char summary[256];
  std::snprintf(summary, sizeof summary,
                "%llu frames kept of %llu presented, %.1f s of virtual time in %.1f s (%.1fx real time); the program ended with code %d",
                static_cast<unsigned long long>(framesKept), static_cast<unsigned long long>(backend.framesPresented),
                played, seconds, seconds > 0 ? played / seconds : 0.0, code);
  progress.Finish(summary);
  // The same report as the program's on a screen, for the virtual run.
  if (profile.viewer.stats) {
    char timing[64];
    std::snprintf(timing, sizeof timing, "virtual clock, a frame every %.3f ms", options.stepMicroseconds / 1000.0);
    std::fprintf(stderr, "%s\n",
                 backend.report.Line(options.stepMicroseconds, host::CpuSeconds(), seconds, timing).c_str());
  }
  return failed ? 1 : code;
}
