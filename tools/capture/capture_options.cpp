#include "tools/capture/capture_options.h"

#include <cstdlib>

#include "runtime/session.h"

namespace {

constexpr const char* kUsageText =
    "usage: kaleth-capture [--out DIR] [--sheet FILE.png] [--video FILE.mp4] [--wav FILE.wav]\n"
    "                      [--fps N | --step-ms MS] [--start MS] [--end MS] [--key NAME@MS ...]\n"
    "                      [--crf N] [--scale N] [--depth 32|24|16] [-window] [--quiet] [-- ARGS]\n"
    "Plays the production on a virtual clock, without a screen, and keeps what it shows.\n"
    "  --out DIR        every frame as a PNG (frame-NNNNNN-tMMMMMMM.png, t = timeline ms)\n"
    "  --sheet FILE     one labelled frame from the middle of every slot, on one picture\n"
    "  --video FILE     the frames from --start to before --end and the music of that span as a\n"
    "                   video, through ffmpeg (H.264 and AAC; an .mp4 or .mkv name)\n"
    "  --wav FILE       the music from --start to --end as a 16-bit stereo WAV\n"
    "  --fps N          frames per second of timeline time, and of the video (default 60)\n"
    "  --step-ms MS     milliseconds of timeline time between frames, instead of --fps\n"
    "  --start MS       keep frames from this timeline time on (default 0)\n"
    "  --end MS         stop at this timeline time (default {end}: the end scroller's first 10 s)\n"
    "  --key NAME@MS    press Escape or F1, or use the close box (Close), at timeline time MS\n"
    "  --crf N          video quality, 0 (lossless) to 51 (default 16)\n"
    "  --scale N        enlarge the video N times, 1 to 8 (default 1)\n"
    "  --depth D        offer displays of at most D bits (32, 24 or 16) and a desktop of D bits;\n"
    "                   it decides over KALETH_DISPLAY_DEPTHS and KALETH_DESKTOP_DEPTH, which\n"
    "                   are followed when it is not given (default: every depth, a 32-bit desktop)\n"
    "  -window          play windowed (the same as -- -window)\n"
    "  --quiet          no progress line on a terminal, only the closing summary\n"
    "  -- ARGS          the program's own command line\n"
    "  --version        the version of the program\n"
    "kaleth.pak is read from the working folder, else from the installed data folder, or from\n"
    "the folder KALETH_DATA names; output paths are taken from where the program was started.\n"
    "With KALETH_STATS=1 in the environment it ends with the frame report of the virtual run;\n"
    "KALETH_THREADS=N draws on N threads (default: one per processor), with the same pictures.\n";

}  // namespace

std::string CaptureUsage() {
  std::string text = kUsageText;
  const std::size_t at = text.find("{end}");
  return text.replace(at, 5, std::to_string(ProductionEndMs()));
}

namespace {

bool ParseNumber(const std::string& text, std::int64_t low, std::int64_t high, std::int64_t* value) {
  if (text.empty() || text.size() > 15) return false;
  char* end = nullptr;
  const long long v = std::strtoll(text.c_str(), &end, 10);
  if (*end != '\0' || v < low || v > high) return false;
  *value = v;
  return true;
}

bool ParseKey(const std::string& text, ScriptedMessage* key) {
  const auto at = text.find('@');
  if (at == std::string::npos) return false;
  const std::string name = text.substr(0, at);
  std::int64_t time = 0;
  if (!ParseNumber(text.substr(at + 1), 0, 1LL << 40, &time)) return false;
  if (name == "Escape") *key = ScriptedMessage{time, WM_KEYDOWN, VK_ESCAPE};
  else if (name == "F1") *key = ScriptedMessage{time, WM_KEYDOWN, VK_F1};
  else if (name == "Close") *key = ScriptedMessage{time, WM_CLOSE, 0};
  else return false;
  return true;
}

struct NumberOption {
  const char* name;
  std::int64_t low;
  std::int64_t high;
  const char* complaint;
};

}  // namespace

bool ParseCaptureOptions(int argc, char** argv, CaptureOptions* options, std::string* error) {
  // The last of --fps and --step-ms counts, for the frames and the video alike.
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    std::string text;
    auto value = [&]() {
      if (i + 1 >= argc) {
        *error = arg + " needs a value";
        return false;
      }
      text = argv[++i];
      return true;
    };
    auto number = [&](const NumberOption& option, std::int64_t* out) {
      if (!value()) return false;
      if (!ParseNumber(text, option.low, option.high, out)) {
        *error = std::string(option.name) + " " + option.complaint;
        return false;
      }
      return true;
    };
    std::int64_t n = 0;
    if (arg == "--") {
      for (++i; i < argc; ++i) {
        if (!options->programArguments.empty()) options->programArguments += ' ';
        options->programArguments += argv[i];
      }
    } else if (arg == "-window") {
      options->programArguments = "-window";
    } else if (arg == "--out" || arg == "--sheet" || arg == "--video" || arg == "--wav") {
      if (!value()) return false;
      if (text.empty()) {
        *error = arg + " needs a file name";
        return false;
      }
      (arg == "--out" ? options->outDir : arg == "--sheet" ? options->sheetPath
                                        : arg == "--video" ? options->videoPath
                                                           : options->wavPath) = text;
    } else if (arg == "--fps") {
      if (!number({"--fps", 1, 1000, "takes a number from 1 to 1000"}, &n)) return false;
      options->frameRate = std::to_string(n);
      options->stepMicroseconds = static_cast<std::uint32_t>((1000000 + n / 2) / n);
    } else if (arg == "--step-ms") {
      if (!number({"--step-ms", 1, 3600000, "takes milliseconds from 1 to 3600000"}, &n)) return false;
      options->frameRate = "1000/" + std::to_string(n);
      options->stepMicroseconds = static_cast<std::uint32_t>(n * 1000);
    } else if (arg == "--start") {
      if (!number({"--start", 0, 1LL << 40, "takes a number of milliseconds"}, &options->startMs)) return false;
    } else if (arg == "--end") {
      if (!number({"--end", 0, 1LL << 40, "takes a number of milliseconds"}, &options->endMs)) return false;
    } else if (arg == "--crf") {
      if (!number({"--crf", 0, 51, "takes a number from 0 to 51"}, &n)) return false;
      options->crf = static_cast<int>(n);
    } else if (arg == "--scale") {
      if (!number({"--scale", 1, 8, "takes a number from 1 to 8"}, &n)) return false;
      options->scale = static_cast<int>(n);
    } else if (arg == "--depth") {
      if (!number({"--depth", 16, 32, "takes 32, 24 or 16"}, &n)) return false;
      if (n != 16 && n != 24 && n != 32) {
        *error = "--depth takes 32, 24 or 16";
        return false;
      }
      options->depth = static_cast<int>(n);
    } else if (arg == "--key") {
      if (!value()) return false;
      ScriptedMessage key{};
      if (!ParseKey(text, &key)) {
        *error = "--key takes NAME@MS with NAME Escape, F1 or Close";
        return false;
      }
      options->keys.push_back(key);
    } else if (arg == "--quiet") {
      options->quiet = true;
    } else if (arg == "-h" || arg == "--help") {
      error->clear();
      return false;
    } else if (arg == "--version") {
      options->version = true;
      return true;
    } else {
      *error = "unknown option " + arg;
      return false;
    }
  }
  if (options->outDir.empty() && options->sheetPath.empty() && options->videoPath.empty() &&
      options->wavPath.empty()) {
    *error = "say what to keep: --out, --sheet, --video or --wav";
    return false;
  }
  if (options->startMs > options->endMs) {
    *error = "--start is after --end";
    return false;
  }
  if (!options->videoPath.empty() && options->startMs == options->endMs) {
    *error = "--video needs an --end after --start";
    return false;
  }
  return true;
}
