#include "tests/windows/wine_test.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <regex>

#include "tools/common/png_reader.h"

namespace fs = std::filesystem;

void WineTest::SetUp() {
  ASSERT_NE(std::getenv("KALETH_WIN_BUILD"), nullptr) << "run through scripts/test-windows.sh (make test-windows)";
  ASSERT_NE(std::getenv("WINEPREFIX"), nullptr) << "run through scripts/test-windows.sh (make test-windows)";
  wine_ = "/usr/bin/wine";
  ASSERT_TRUE(fs::exists(wine_)) << "wine is missing: scripts/install-deps.sh installs it";
  StartServer();
  StartWindowManager();
}

void WineTest::TearDown() {
  // The Wine server and the desktop process it started belong to this test's display.
  RunProgram({"/usr/bin/wineserver", "-k"}, WineEnvironment(), "", 30);
  RunProgram({"/usr/bin/wineserver", "-w"}, WineEnvironment(), "", 30);
  XServerTest::TearDown();
}

fs::path WineTest::WindowsPath(const std::string& program) {
  const char* folder = std::getenv("KALETH_WIN_BUILD");
  return fs::path(folder ? folder : ".") / program;
}

std::vector<std::string> WineTest::UnderWine(const fs::path& program, const std::vector<std::string>& arguments) {
  std::vector<std::string> argv{"/usr/bin/wine", program.string()};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  return argv;
}

std::vector<std::string> WineTest::WineEnvironment(const std::vector<std::string>& more) const {
  std::vector<std::string> environment{"DISPLAY=" + display_, "WINEDEBUG=-all"};
  environment.insert(environment.end(), more.begin(), more.end());
  return environment;
}

std::vector<fs::path> CapturedFrames(const fs::path& folder) {
  std::vector<fs::path> frames;
  std::error_code code;
  for (const auto& entry : fs::directory_iterator(folder, code)) {
    if (entry.path().extension() == ".png") frames.push_back(entry.path());
  }
  std::sort(frames.begin(), frames.end());
  return frames;
}

int FrameTime(const fs::path& frame) {
  static const std::regex named(R"(frame-\d+-t(\d+)\.png)");
  std::smatch m;
  const std::string name = frame.filename().string();
  return std::regex_match(name, m, named) ? std::stoi(m[1].str()) : -1;
}

PictureComparison ComparePictures(const Screenshot& shot, const ScreenRect& place, const std::vector<std::uint32_t>& frame) {
  constexpr int kWidth = 512, kHeight = 384;
  if (frame.size() != static_cast<std::size_t>(kWidth) * kHeight || place.left < 0 || place.top < 0 ||
      place.width <= 0 || place.height <= 0 || place.left + place.width > shot.width ||
      place.top + place.height > shot.height) {
    return {};
  }
  double squares = 0;
  int close = 0;
  for (int y = 0; y < kHeight; ++y) {
    const int sy = place.top + (2 * y + 1) * place.height / (2 * kHeight);
    for (int x = 0; x < kWidth; ++x) {
      const int sx = place.left + (2 * x + 1) * place.width / (2 * kWidth);
      const std::uint32_t seen = shot.pixels[static_cast<std::size_t>(sy) * shot.width + sx];
      const std::uint32_t drawn = frame[static_cast<std::size_t>(y) * kWidth + x];
      int farthest = 0;
      for (int shift : {0, 8, 16}) {
        const int d = static_cast<int>((seen >> shift) & 0xFF) - static_cast<int>((drawn >> shift) & 0xFF);
        squares += static_cast<double>(d) * d;
        farthest = std::max(farthest, std::abs(d));
      }
      if (farthest <= 8) ++close;
    }
  }
  const double mean = squares / (3.0 * kWidth * kHeight);
  return PictureComparison{mean == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mean),
                           static_cast<double>(close) / (kWidth * kHeight)};
}

std::vector<std::uint32_t> ReadFrame(const fs::path& path) {
  std::vector<std::uint32_t> pixels;
  int width = 0, height = 0;
  std::string error;
  EXPECT_TRUE(ReadPng(path.string(), &pixels, &width, &height, &error)) << error;
  return pixels;
}

ScreenRect WineTest::Inside(const std::string& window) {
  const ProgramResult info = RunProgram({"/usr/bin/xwininfo", "-id", window}, Environment(), "", 10);
  ScreenRect rect;
  std::smatch m;
  if (std::regex_search(info.output, m, std::regex(R"(Absolute upper-left X:\s+(-?\d+))"))) rect.left = std::stoi(m[1]);
  if (std::regex_search(info.output, m, std::regex(R"(Absolute upper-left Y:\s+(-?\d+))"))) rect.top = std::stoi(m[1]);
  if (std::regex_search(info.output, m, std::regex(R"(Width:\s+(\d+))"))) rect.width = std::stoi(m[1]);
  if (std::regex_search(info.output, m, std::regex(R"(Height:\s+(\d+))"))) rect.height = std::stoi(m[1]);
  return rect;
}
