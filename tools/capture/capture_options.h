// The command line of kaleth-capture.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/windows/headless_backend.h"

struct CaptureOptions {
  std::string outDir;                         // PNG frames go here when set
  std::uint32_t stepMicroseconds = 16667;     // virtual time between presented frames
  std::int64_t endMs = 137000;                // timeline time at which the capture stops
  std::vector<ScriptedMessage> keys;          // times are timeline milliseconds
  int depth = 32;                             // display depth offered to the program
  std::string programArguments;               // the entry's command line
};

// Parses argv; false with a message in *error when the command line is wrong.
bool ParseCaptureOptions(int argc, char** argv, CaptureOptions* options, std::string* error);

extern const char* const kCaptureUsage;
