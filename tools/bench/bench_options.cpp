#include "tools/bench/bench_options.h"

#include <cstdlib>

const char* const kBenchUsage =
    "usage: kaleth-bench [--frames N] [--json FILE] [--scalar] [--benchmark_filter=REGEX ...]\n"
    "  Starts the production on the headless backend with kaleth.pak from the working folder,\n"
    "  then draws N frames of every measured slot at times spread over the slot, and prints the\n"
    "  median and minimum milliseconds per frame and each slot's ratio to the time of copying\n"
    "  one canvas (the memory floor), all measured in the same run.\n"
    "  --frames N        frames per slot (default 300)\n"
    "  --json FILE       also write the results as JSON\n"
    "  --scalar          draw with the scenes' one-pixel-at-a-time paths (same pictures)\n"
    "  --benchmark_...   options of the benchmark library, such as --benchmark_filter=slot.1\n";

bool ParseBenchOptions(int argc, char** argv, BenchOptions* options, std::string* error) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      error->clear();
      return false;
    }
    if (arg == "--scalar") {
      options->scalar = true;
    } else if (arg == "--frames" || arg == "--json") {
      if (i + 1 >= argc) {
        *error = arg + " needs a value";
        return false;
      }
      const std::string value = argv[++i];
      if (arg == "--json") {
        options->jsonPath = value;
        continue;
      }
      char* end = nullptr;
      const long frames = value.size() <= 7 ? std::strtol(value.c_str(), &end, 10) : 0;
      if (end == nullptr || *end != '\0' || frames < 1) {
        *error = "--frames needs a whole number from 1 to 9999999";
        return false;
      }
      options->frames = static_cast<int>(frames);
    } else if (arg.rfind("--benchmark_", 0) == 0) {
      options->benchmarkFlags.push_back(arg);
    } else {
      *error = "unknown option " + arg;
      return false;
    }
  }
  return true;
}
