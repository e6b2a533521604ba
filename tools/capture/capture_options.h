// The command line of kaleth-capture.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/backends/headless/headless_backend.h"
#include "runtime/session.h"

struct CaptureOptions {
  std::string outDir;                      // PNG frames go here when set
  std::string sheetPath;                   // contact sheet PNG when set
  std::string videoPath;                   // video file when set
  std::string wavPath;                     // the music as WAV when set
  std::string frameRate = "60";            // of the video: N for --fps N, 1000/MS for --step-ms MS
  std::uint32_t stepMicroseconds = 16667;  // virtual time between presented frames
  std::int64_t startMs = 0;                // timeline time of the first frame kept
  std::int64_t endMs = ProductionEndMs();             // timeline time at which the capture stops
  int crf = 16;                            // video quality, 0 lossless
  int scale = 1;                           // video enlargement
  bool quiet = false;
  std::vector<ScriptedMessage> keys;       // times are timeline milliseconds
  int depth = 0;                           // deepest display offered; 0: as the environment says
  std::string programArguments;            // the entry's command line
  bool version = false;                    // --version: say which and do nothing else
};

// Parses argv; false with a message in *error when the command line is wrong (an empty message
// when help was asked for). With --version it stops there and sets `version`.
bool ParseCaptureOptions(int argc, char** argv, CaptureOptions* options, std::string* error);

std::string CaptureUsage();
