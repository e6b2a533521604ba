// kaleth-capture --video as a user runs it: the file ffmpeg made holds every frame of the span at
// the rate asked for, enlarged as asked, with the music beside it. ffmpeg and ffprobe come with the
// build's dependencies, so their absence fails these tests rather than skipping them.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>

#include "tests/support/run_program.h"
#include "platform/host/host.h"

namespace {

namespace fs = std::filesystem;

// The key=value lines ffprobe prints for the entries asked of the streams selected.
std::map<std::string, std::string> Probe(const std::string& file, const std::string& streams,
                                         const std::string& entries) {
  const std::string ffprobe = host::FindProgram("ffprobe");
  EXPECT_FALSE(ffprobe.empty()) << "ffprobe is missing: scripts/install-deps.sh installs the ffmpeg package";
  std::map<std::string, std::string> values;
  if (ffprobe.empty()) return values;
  const ProgramResult run = RunProgram({ffprobe, "-v", "error", "-count_frames", "-select_streams", streams,
                                        "-show_entries", "stream=" + entries, "-of", "default=noprint_wrappers=1", file});
  EXPECT_EQ(run.exitCode, 0) << run.output;
  std::istringstream lines(run.output);
  for (std::string line; std::getline(lines, line);) {
    if (const auto equals = line.find('='); equals != std::string::npos) values[line.substr(0, equals)] = line.substr(equals + 1);
  }
  return values;
}

TEST(CaptureVideo, HoldsEveryFrameOfTheSpanAtItsRateWithTheMusic) {
  const fs::path dir = fs::temp_directory_path() / ("kaleth-test-video-" + std::to_string(getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  const fs::path video = dir / "kaleth.mp4";
  // One second of slot 0 at 8 frames a second, doubled in size.
  const ProgramResult run =
      RunProgram({BuildPath("kaleth-capture"), "--video", video.string(), "--start", "1000", "--end", "2000",
                  "--step-ms", "125", "--scale", "2", "--crf", "30", "--quiet"},
                 {}, KALETH_BUILD_DIR);
  ASSERT_EQ(run.exitCode, 0) << run.output;

  std::map<std::string, std::string> picture = Probe(video.string(), "v", "width,height,avg_frame_rate,nb_read_frames");
  EXPECT_EQ(picture["width"], "1024");
  EXPECT_EQ(picture["height"], "768");
  EXPECT_EQ(picture["avg_frame_rate"], "8/1");
  EXPECT_EQ(picture["nb_read_frames"], "8") << "timeline 1000, 1125, ... 1875 ms";

  std::map<std::string, std::string> sound = Probe(video.string(), "a", "codec_type,sample_rate,channels,duration");
  EXPECT_EQ(sound["codec_type"], "audio");
  EXPECT_EQ(sound["sample_rate"], "44100");
  EXPECT_EQ(sound["channels"], "2");
  EXPECT_NEAR(std::stod(sound["duration"].empty() ? "0" : sound["duration"]), 1.0, 0.05);

  // Nothing of the work in between is left beside the video.
  int files = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir)) ++files;
  EXPECT_EQ(files, 1);
  fs::remove_all(dir);
}

TEST(CaptureVideo, WithoutFfmpegSaysWhatIsMissingBeforePlaying) {
  const fs::path video = fs::temp_directory_path() / ("kaleth-test-noffmpeg-" + std::to_string(getpid()) + ".mp4");
  const ProgramResult run = RunProgram({BuildPath("kaleth-capture"), "--video", video.string(), "--end", "1000"},
                                       {"PATH=/nonexistent"}, KALETH_BUILD_DIR);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.output.find("--video needs ffmpeg, which is not installed (Debian package ffmpeg)"), std::string::npos)
      << run.output;
  EXPECT_EQ(run.output.find("Tarn 2.0"), std::string::npos) << "the production did not start";
  EXPECT_FALSE(fs::exists(video));
}

TEST(CaptureVideo, AFileFfmpegCannotWriteEndsTheRunWithTheReason) {
  const ProgramResult run =
      RunProgram({BuildPath("kaleth-capture"), "--video", "/nonexistent/kaleth.mp4", "--end", "60000", "--quiet"}, {},
                 KALETH_BUILD_DIR);
  EXPECT_EQ(run.exitCode, 1) << run.output;
  EXPECT_NE(run.output.find("kaleth-capture: ffmpeg"), std::string::npos) << run.output;
  // The run ends at the failure instead of playing the minute out.
  const auto of = run.output.find("kept of ");
  ASSERT_NE(of, std::string::npos) << run.output;
  EXPECT_LT(std::stoll(run.output.substr(of + 8)), 600) << run.output;
}

}  // namespace
