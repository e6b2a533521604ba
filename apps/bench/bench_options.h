// The command line of kaleth-bench.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/session.h"

struct BenchOptions {
  int frames = 300;       // frames per slot (and copies for the memory floor)
  std::int64_t productionEndMs = ProductionEndMs();  // the whole-production pass plays the timeline up to here
  std::string jsonPath;   // Google Benchmark's JSON report goes here when set
  int threads = 0;        // --threads N: measure at N drawing threads only; 0: at 1 and at the pool's size
  bool scalar = false;    // draw with the scenes' scalar paths instead of the packed ones
  bool packedSpans = false;  // 3D spans on the 128-bit packed shader, whatever wider the processor has
  std::vector<std::string> benchmarkFlags;  // --benchmark_* flags, handed on as they are
  bool version = false;   // --version: say which and do nothing else
};

// Parses argv; false with a message in *error when the command line is wrong, or with an empty
// message when help was asked for.
bool ParseBenchOptions(int argc, char** argv, BenchOptions* options, std::string* error);

std::string BenchUsage();
