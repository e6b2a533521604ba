#include "apps/bench/bench_options.h"

#include <cstdlib>

#include "runtime/session.h"

namespace {

constexpr const char* kUsageText =
    "usage: kaleth-bench [--frames N] [--end MS] [--threads N] [--json FILE] [--scalar]\n"
    "                    [--packed-spans] [--benchmark_filter=REGEX ...]\n"
    "  Starts the production on the headless backend with kaleth.pak from the working folder,\n"
    "  then draws N frames of every measured slot at times spread over the slot, and prints the\n"
    "  median and minimum milliseconds per frame, the frames per second they make, and each\n"
    "  slot's ratio to the time of copying one canvas (the memory floor), all measured in the same\n"
    "  run; last it plays the whole production on its timeline at 60 frames a second, music\n"
    "  included and nothing encoded, and prints the frames per second and times real time.\n"
    "  Everything is measured with one drawing thread and then with the worker pool at its full\n"
    "  size (KALETH_THREADS, else one thread per processor), with the ratio of the two.\n"
    "  --frames N        frames per slot (default 300)\n"
    "  --end MS          where the whole-production pass stops, in timeline milliseconds\n"
    "                    (default {end}: the end scroller's first 10 s)\n"
    "  --threads N       measure with N drawing threads only (1 to 64)\n"
    "  --json FILE       also write the results as JSON\n"
    "  --scalar          draw with the scenes' one-pixel-at-a-time paths (same pictures)\n"
    "  --packed-spans    shade 3D spans four pixels to a 128-bit register, as the web page does,\n"
    "                    even where the processor has wider registers (same pictures)\n"
    "  --benchmark_...   options of the benchmark library, such as --benchmark_filter=slot.1\n"
    "  --version         the version of the program\n"
    "  kaleth.pak is read from the working folder, else from the installed data folder, or from\n"
    "  the folder KALETH_DATA names.\n";

}  // namespace

std::string BenchUsage() {
  std::string text = kUsageText;
  const std::size_t at = text.find("{end}");
  return text.replace(at, 5, std::to_string(ProductionEndMs()));
}

namespace {

// A whole number from low to high, or false.
bool ParseWhole(const std::string& text, long long low, long long high, long long* value) {
  char* end = nullptr;
  const long long v = text.size() <= 12 ? std::strtoll(text.c_str(), &end, 10) : 0;
  if (end == nullptr || end == text.c_str() || *end != '\0' || v < low || v > high) return false;
  *value = v;
  return true;
}

}  // namespace

bool ParseBenchOptions(int argc, char** argv, BenchOptions* options, std::string* error) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      error->clear();
      return false;
    }
    if (arg == "--version") {
      options->version = true;
      return true;
    }
    if (arg == "--scalar") {
      options->scalar = true;
    } else if (arg == "--packed-spans") {
      options->packedSpans = true;
    } else if (arg == "--frames" || arg == "--json" || arg == "--end" || arg == "--threads") {
      if (i + 1 >= argc) {
        *error = arg + " needs a value";
        return false;
      }
      const std::string value = argv[++i];
      long long number = 0;
      if (arg == "--json") {
        options->jsonPath = value;
      } else if (arg == "--frames") {
        if (!ParseWhole(value, 1, 9999999, &number)) {
          *error = "--frames needs a whole number from 1 to 9999999";
          return false;
        }
        options->frames = static_cast<int>(number);
      } else if (arg == "--threads") {
        if (!ParseWhole(value, 1, 64, &number)) {
          *error = "--threads needs a whole number from 1 to 64";
          return false;
        }
        options->threads = static_cast<int>(number);
      } else {
        // An hour reaches well into the last slot, which runs for hours more: the pass never
        // runs the schedule out and shuts the program down under the measurements.
        if (!ParseWhole(value, 1, 3600000, &number)) {
          *error = "--end needs milliseconds from 1 to 3600000";
          return false;
        }
        options->productionEndMs = number;
      }
    } else if (arg.rfind("--benchmark_", 0) == 0) {
      options->benchmarkFlags.push_back(arg);
    } else {
      *error = "unknown option " + arg;
      return false;
    }
  }
  return true;
}
