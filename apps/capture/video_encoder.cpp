#include "apps/capture/video_encoder.h"

#include <signal.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "platform/pixels/pixel_convert.h"
#include "tools/common/find_program.h"

namespace {

// Single quotes keep a path whole for the shell, whatever it holds.
std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

bool RunQuietly(const std::string& command) {
  const int status = std::system((command + " >/dev/null 2>&1").c_str());
  return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

VideoEncoder::~VideoEncoder() {
  if (pipe_) pclose(pipe_);
  if (!pictureOnly_.empty()) std::filesystem::remove(pictureOnly_);
}

bool VideoEncoder::Open(int width, int height, std::string* error) {
  ffmpeg_ = FindProgram("ffmpeg");
  if (ffmpeg_.empty()) {
    *error = "--video needs ffmpeg, which is not installed (Debian package ffmpeg)";
    return false;
  }
  width_ = width;
  height_ = height;
  pictureOnly_ = settings_.path + ".pictures.mkv";
  // A dead ffmpeg must show up as a failed write, not end the capture by a signal.
  signal(SIGPIPE, SIG_IGN);
  const bool lossless = settings_.crf == 0;
  std::string command = Quoted(ffmpeg_) + " -loglevel error -y -f rawvideo -pix_fmt bgr0 -s " +
                        std::to_string(width) + "x" + std::to_string(height) + " -r " +
                        settings_.rate + " -i - -vf scale=iw*" + std::to_string(settings_.scale) +
                        ":ih*" + std::to_string(settings_.scale) + ":flags=neighbor -c:v libx264 -preset medium -crf " +
                        std::to_string(settings_.crf) + (lossless ? " -pix_fmt yuv444p" : " -pix_fmt yuv420p") + " " +
                        Quoted(pictureOnly_);
  pipe_ = popen(command.c_str(), "w");
  if (pipe_ == nullptr) {
    *error = "cannot start ffmpeg";
    return false;
  }
  return true;
}

bool VideoEncoder::WriteFrame(const FrameView& frame, std::string* error) {
  if (frame.width != width_ || frame.height != height_) {
    *error = "the picture changed size during the capture";
    return false;
  }
  std::vector<std::uint8_t> pixels(static_cast<size_t>(width_) * height_ * 4);
  ConvertToXrgb(frame, pixels.data(), width_ * 4);
  if (std::fwrite(pixels.data(), 1, pixels.size(), pipe_) != pixels.size()) {
    *error = "ffmpeg stopped taking pictures";
    return false;
  }
  return true;
}

bool VideoEncoder::Finish(const std::string& audioWav, std::string* error) {
  const int status = pclose(pipe_);
  pipe_ = nullptr;
  if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    *error = "ffmpeg could not encode the pictures";
    return false;
  }
  std::string command = Quoted(ffmpeg_) + " -loglevel error -y -i " + Quoted(pictureOnly_);
  if (!audioWav.empty()) command += " -i " + Quoted(audioWav) + " -c:a aac -b:a 192k";
  command += " -c:v copy -movflags +faststart " + Quoted(settings_.path);
  if (!RunQuietly(command)) {
    *error = "ffmpeg could not write " + settings_.path;
    return false;
  }
  return true;
}
