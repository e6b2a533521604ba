#include "apps/capture/video_encoder.h"

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "platform/pixels/pixel_convert.h"
#include "platform/host/host.h"

VideoEncoder::~VideoEncoder() {
  if (pipe_) host::ClosePipe(pipe_);
  if (!pictureOnly_.empty()) std::filesystem::remove(pictureOnly_);
}

bool VideoEncoder::Open(int width, int height, std::string* error) {
  ffmpeg_ = host::FindProgram("ffmpeg");
  if (ffmpeg_.empty()) {
    *error = "--video needs ffmpeg, which is not installed " + host::WhereToGet("ffmpeg");
    return false;
  }
  width_ = width;
  height_ = height;
  pictureOnly_ = settings_.path + ".pictures.mkv";
  const bool lossless = settings_.crf == 0;
  std::string command = host::QuoteArgument(ffmpeg_) + " -loglevel error -y -f rawvideo -pix_fmt bgr0 -s " +
                        std::to_string(width) + "x" + std::to_string(height) + " -r " +
                        settings_.rate + " -i - -vf scale=iw*" + std::to_string(settings_.scale) +
                        ":ih*" + std::to_string(settings_.scale) + ":flags=neighbor -c:v libx264 -preset medium -crf " +
                        std::to_string(settings_.crf) + (lossless ? " -pix_fmt yuv444p" : " -pix_fmt yuv420p") + " " +
                        host::QuoteArgument(pictureOnly_);
  pipe_ = host::OpenPipeTo(command);
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
  const bool encoded = host::ClosePipe(pipe_);
  pipe_ = nullptr;
  if (!encoded) {
    *error = "ffmpeg could not encode the pictures";
    return false;
  }
  std::string command = host::QuoteArgument(ffmpeg_) + " -loglevel error -y -i " + host::QuoteArgument(pictureOnly_);
  if (!audioWav.empty()) command += " -i " + host::QuoteArgument(audioWav) + " -c:a aac -b:a 192k";
  command += " -c:v copy -movflags +faststart " + host::QuoteArgument(settings_.path);
  if (!host::RunQuietly(command)) {
    *error = "ffmpeg could not write " + settings_.path;
    return false;
  }
  return true;
}
