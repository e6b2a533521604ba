// Hands captured frames to ffmpeg (found at run time) and muxes the music in at the end.
#pragma once

#include <cstdio>
#include <string>

#include "platform/windows/backend.h"

struct VideoSettings {
  std::string path;   // the finished file (its extension chooses the container)
  std::string rate = "60";  // frames per second as ffmpeg reads it: "60", or "1000/250"
  int scale = 1;      // integer enlargement, without smoothing
  int crf = 16;       // 0 is lossless
};

class VideoEncoder {
 public:
  explicit VideoEncoder(VideoSettings settings) : settings_(std::move(settings)) {}
  ~VideoEncoder();
  VideoEncoder(const VideoEncoder&) = delete;
  VideoEncoder& operator=(const VideoEncoder&) = delete;

  // Starts ffmpeg for pictures of this size; false with the reason in *error.
  bool Open(int width, int height, std::string* error);
  bool WriteFrame(const FrameView& frame, std::string* error);
  // Ends the picture stream and writes the finished file, with the sound of audioWav when it is
  // not empty; false with the reason in *error.
  bool Finish(const std::string& audioWav, std::string* error);

 private:
  VideoSettings settings_;
  std::string ffmpeg_;
  std::string pictureOnly_;  // the picture stream, before the sound joins it
  FILE* pipe_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};
