#include "tools/capture/capture_options.h"

#include <cstdlib>

const char* const kCaptureUsage =
    "usage: kaleth-capture --out DIR [--fps N | --step-ms MS] [--end MS] [--key NAME@MS ...]\n"
    "                      [--depth 32|24|16] [-- ARGS]\n"
    "  Plays the production on a virtual clock and writes every presented frame as a PNG.\n"
    "  --out DIR       folder for the frames (frame-NNNNNN-tMMMMMMM.png)\n"
    "  --fps N         frames per second of timeline time (default 60)\n"
    "  --step-ms MS    milliseconds of timeline time between frames\n"
    "  --end MS        stop when this much timeline time has passed (default 137000)\n"
    "  --key NAME@MS   press Escape or F1, or use the close box (Close), at timeline time MS\n"
    "  --depth D       display depth: 32, 24 or 16 bits (default 32)\n"
    "  -- ARGS         the program's own command line (\"-window\" plays windowed)\n";

namespace {

bool parseNumber(const std::string& text, std::int64_t low, std::int64_t high, std::int64_t* value) {
  if (text.empty() || text.size() > 12) return false;
  char* end = nullptr;
  long long v = std::strtoll(text.c_str(), &end, 10);
  if (*end != '\0' || v < low || v > high) return false;
  *value = v;
  return true;
}

bool parseKey(const std::string& text, ScriptedMessage* key) {
  auto at = text.find('@');
  if (at == std::string::npos) return false;
  const std::string name = text.substr(0, at);
  std::int64_t time = 0;
  if (!parseNumber(text.substr(at + 1), 0, 1LL << 40, &time)) return false;
  key->at = time;
  if (name == "Escape") *key = ScriptedMessage{time, WM_KEYDOWN, VK_ESCAPE};
  else if (name == "F1") *key = ScriptedMessage{time, WM_KEYDOWN, VK_F1};
  else if (name == "Close") *key = ScriptedMessage{time, WM_CLOSE, 0};
  else return false;
  return true;
}

}  // namespace

bool ParseCaptureOptions(int argc, char** argv, CaptureOptions* options, std::string* error) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&](std::string* out) {
      if (i + 1 >= argc) {
        *error = arg + " needs a value";
        return false;
      }
      *out = argv[++i];
      return true;
    };
    std::string text;
    std::int64_t number = 0;
    if (arg == "--") {
      for (++i; i < argc; ++i) {
        if (!options->programArguments.empty()) options->programArguments += ' ';
        options->programArguments += argv[i];
      }
    } else if (arg == "--out") {
      if (!value(&options->outDir)) return false;
    } else if (arg == "--fps") {
      if (!value(&text)) return false;
      if (!parseNumber(text, 1, 1000, &number)) {
        *error = "--fps takes a number from 1 to 1000";
        return false;
      }
      options->stepMicroseconds = static_cast<std::uint32_t>((1000000 + number / 2) / number);
    } else if (arg == "--step-ms") {
      if (!value(&text)) return false;
      if (!parseNumber(text, 1, 3600000, &number)) {
        *error = "--step-ms takes a number of milliseconds from 1 to 3600000";
        return false;
      }
      options->stepMicroseconds = static_cast<std::uint32_t>(number * 1000);
    } else if (arg == "--end") {
      if (!value(&text)) return false;
      if (!parseNumber(text, 0, 1LL << 40, &options->endMs)) {
        *error = "--end takes a number of milliseconds";
        return false;
      }
    } else if (arg == "--key") {
      if (!value(&text)) return false;
      ScriptedMessage key{};
      if (!parseKey(text, &key)) {
        *error = "--key takes NAME@MS with NAME Escape, F1 or Close";
        return false;
      }
      options->keys.push_back(key);
    } else if (arg == "--depth") {
      if (!value(&text)) return false;
      if (!parseNumber(text, 16, 32, &number) || (number != 16 && number != 24 && number != 32)) {
        *error = "--depth takes 32, 24 or 16";
        return false;
      }
      options->depth = static_cast<int>(number);
    } else if (arg == "-h" || arg == "--help") {
      *error = "";
      return false;
    } else {
      *error = "unknown option " + arg;
      return false;
    }
  }
  return true;
}
