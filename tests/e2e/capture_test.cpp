// kaleth-capture as a user runs it: frames on disk, its own end, the program's exit code.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "runtime/session.h"
#include "tests/support/run_program.h"
#include "tools/common/png_reader.h"
#include "tools/common/pak_writer.h"

namespace {

namespace fs = std::filesystem;

TEST(Capture, WritesFramesThroughEverySlotAndEndsByItselfPastTheLast) {
  const fs::path dir = FreshDir("capture");
  const ProgramResult run = RunProgram(
      {BuildPath("kaleth-capture"), "--out", dir.string(), "--step-ms", "3000000", "--end", "100000000"}, {},
      KALETH_BUILD_DIR);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  int frames = 0, loading = 0;
  bool pastLastSlot = false;
  for (const auto& entry : fs::directory_iterator(dir)) {
    const std::string name = entry.path().filename().string();
    ++frames;
    loading += name.find("loading") != std::string::npos;
    if (auto t = name.find("-t"); t != std::string::npos) {
      pastLastSlot |= std::stoll(name.substr(t + 2)) > Schedule()[kSlotCount - 1].startMs + Schedule()[kSlotCount - 1].durationMs;
    }
  }
  // The loading picture, 13 one-frame slots and 7 frames of the last.
  EXPECT_EQ(loading, 1);
  EXPECT_TRUE(fs::exists(dir / "frame-000001-loading.png"));
  EXPECT_GE(frames, 21);
  EXPECT_TRUE(pastLastSlot);
  fs::remove_all(dir);
}

TEST(Capture, EndOptionStopsAndBadOptionsAreRefused) {
  const fs::path dir = FreshDir("end");
  ProgramResult run = RunProgram({BuildPath("kaleth-capture"), "--out", dir.string(), "--step-ms", "500", "--end",
                                  "3000", "--", "-window"},
                                 {}, KALETH_BUILD_DIR);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  int frames = 0;
  for (const auto& entry : fs::directory_iterator(dir)) frames += entry.path().extension() == ".png";
  EXPECT_GE(frames, 6);
  EXPECT_LE(frames, 9);
  fs::remove_all(dir);

  for (const std::vector<std::string>& bad :
       {std::vector<std::string>{"--out", "x", "--fps", "0"},
        {"--out", "x", "--key", "Space@10"},
        {"--out", "x", "--depth", "8"},
        {"--out", "x", "--crf", "52"},
        {"--out", "x", "--scale", "0"},
        {"--out", "x", "--start", "5000", "--end", "4000"},
        {"--video", "x.mp4", "--start", "5000", "--end", "5000"},
        {"--bogus"},
        {"--out"},
        {"--fps", "30"}}) {
    std::vector<std::string> argv{BuildPath("kaleth-capture")};
    argv.insert(argv.end(), bad.begin(), bad.end());
    run = RunProgram(argv);
    EXPECT_EQ(run.exitCode, 2) << bad[0];
    EXPECT_NE(run.output.find("usage:"), std::string::npos);
  }
}

TEST(Capture, WavHoldsTheMusicOfTheSpanTheSameEveryTime) {
  const fs::path dir = FreshDir("wav");
  fs::create_directories(dir);
  std::vector<std::uint8_t> wav[2];
  for (int i = 0; i < 2; ++i) {
    const fs::path file = dir / ("music" + std::to_string(i) + ".wav");
    const ProgramResult run = RunProgram(
        {BuildPath("kaleth-capture"), "--wav", file.string(), "--step-ms", "100", "--end", "3000"}, {}, KALETH_BUILD_DIR);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    std::string error;
    ASSERT_TRUE(ReadFileBytes(file.string(), &wav[i], &error)) << error;
  }
  // 3 s of 16-bit stereo at 44,100 Hz behind the 44-byte header.
  ASSERT_EQ(wav[0].size(), 44u + 3u * 44100u * 4u);
  EXPECT_EQ(std::string(wav[0].begin(), wav[0].begin() + 4), "RIFF");
  EXPECT_EQ(std::string(wav[0].begin() + 8, wav[0].begin() + 16), "WAVEfmt ");
  EXPECT_TRUE(wav[0] == wav[1]);
  int loud = 0;
  for (std::size_t i = 44; i + 1 < wav[0].size(); i += 2) {
    const auto sample = static_cast<std::int16_t>(wav[0][i] | wav[0][i + 1] << 8);
    loud += sample > 1000 || sample < -1000;
  }
  EXPECT_GT(loud, 1000) << "the music is heard";
  fs::remove_all(dir);
}

TEST(Capture, FatalStartUpFromTheEnvironmentEndsWithZero) {
  const ProgramResult run =
      RunProgram({BuildPath("kaleth-capture"), "--sheet", (std::filesystem::temp_directory_path() / ("kaleth-fatal-" + std::to_string(getpid()) + ".png")).string(), "--end", "1000"},
                 {"KALETH_FAULTS=DirectDrawCreate@1"}, KALETH_BUILD_DIR);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_NE(run.output.find("[[- Tarn 2.0 error window -]] DirectDrawCreate FAILED"), std::string::npos) << run.output;
}

TEST(Capture, NoSoundDeviceEndsTheRunWithItsMessage) {
  const std::string sheet = (std::filesystem::temp_directory_path() / ("kaleth-nosound-" + std::to_string(getpid()) + ".png")).string();
  const ProgramResult run =
      RunProgram({BuildPath("kaleth-capture"), "--sheet", sheet, "--end", "1000"}, {"KALETH_FAULTS=BASS_Init@1"}, KALETH_BUILD_DIR);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("[[- Tarn 2.0 error window -]] Soundcard can not handle samplerate 44100"), std::string::npos)
      << run.output;
  std::filesystem::remove(sheet);
}

TEST(Capture, ADataFolderThatCannotBeEnteredEndsAsAMissingPackageDoes) {
  const std::string missing = (std::filesystem::temp_directory_path() / "kaleth-no-such-folder").string();
  const std::string sheet = (std::filesystem::temp_directory_path() / ("kaleth-nodata-" + std::to_string(getpid()) + ".png")).string();
  const ProgramResult run = RunProgram({BuildPath("kaleth-capture"), "--sheet", sheet, "--end", "1000", "--quiet"},
                                       {"KALETH_DATA=" + missing}, KALETH_BUILD_DIR);
  std::filesystem::remove(sheet);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  const std::size_t line = run.output.find("kaleth-capture: kaleth.pak was looked for in " + missing +
                                           " (from KALETH_DATA), which cannot be entered: No such file or directory");
  EXPECT_NE(line, std::string::npos) << run.output;
  EXPECT_NE(run.output.find("[[- Tarn 2.0 error window -]] Unable to open datafile", line), std::string::npos)
      << "the package where it was started is not taken instead\n" << run.output;
}

TEST(Capture, MissingOrDamagedPackageEndsWithItsMessageBeforeAnyFrame) {
  const fs::path dir = FreshDir("package");
  fs::create_directories(dir);
  struct Case {
    std::string package;  // written as kaleth.pak unless empty
    std::vector<std::string> boxes;
  } cases[] = {
      {"", {"[[- Tarn 2.0 error window -]] Unable to open datafile"}},
      {std::string("PAK2\0", 5), {"[[- Tarn 2.0 error window -]] Package file seems to be corrupted"}},
      {std::string("PAK1\x02\x20\0\0\0\x01\0\0\0cut", 16),
       {"[[- Tarn 2.0 error window -]] Package file seems to be corrupted"}},
      {std::string("PAK1\0", 5),
       {"[[- Tarn 2.0 msg window -]] Filesystem error", "[[- Tarn 2.0 error window -]] load.raw"}},
  };
  for (const Case& c : cases) {
    fs::remove(dir / "kaleth.pak");
    if (!c.package.empty()) std::ofstream(dir / "kaleth.pak", std::ios::binary) << c.package;
    const ProgramResult run =
        RunProgram({BuildPath("kaleth-capture"), "--out", (dir / "frames").string(), "--end", "1000"}, {}, dir.string());
    EXPECT_EQ(run.exitCode, 0) << run.output;
    std::size_t at = 0;
    for (const std::string& box : c.boxes) {
      at = run.output.find(box, at);
      EXPECT_NE(at, std::string::npos) << box << "\n" << run.output;
    }
    EXPECT_TRUE(fs::is_empty(dir / "frames")) << "no frame is shown before the package is open";
  }
  fs::remove_all(dir);
}

}  // namespace

namespace {

std::string FileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::uint32_t BigEndian32(const std::string& bytes, size_t at) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at])) << 24 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 2])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 3]));
}

TEST(Capture, SheetHasOneCellPerSlotReachedAndFramesRepeatExactly) {
  const std::filesystem::path dir = FreshDir("sheet");
  std::filesystem::create_directories(dir);
  // Slots 0 to 2 start at 0, 11 and 16 seconds: three cells, one row of four places.
  ProgramResult run = RunProgram({BuildPath("kaleth-capture"), "--sheet", (dir / "sheet.png").string(), "--step-ms",
                                  "100", "--end", "17000", "--quiet"},
                                 {}, KALETH_BUILD_DIR);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const std::string sheet = FileBytes(dir / "sheet.png");
  ASSERT_GT(sheet.size(), 24u);
  EXPECT_EQ(BigEndian32(sheet, 16), 4u * (256 + 6) + 6);  // width
  EXPECT_EQ(BigEndian32(sheet, 20), 192u + 22 + 12);      // height: one row
  std::vector<std::uint32_t> pixels;
  int width = 0, height = 0;
  std::string error;
  ASSERT_TRUE(ReadPng((dir / "sheet.png").string(), &pixels, &width, &height, &error)) << error;
  // Each place's picture and the label strip under it: lit for the three slots, bare for the fourth.
  for (int cell = 0; cell < 4; ++cell) {
    int pictureLit = 0, labelLit = 0;
    for (int y = 6; y < 6 + 192 + 22; ++y) {
      for (int x = 6 + cell * 262; x < 6 + cell * 262 + 256; ++x) {
        const bool lit = (pixels[static_cast<size_t>(y) * width + x] & 0xFFFFFF) != 0x181818;
        (y < 6 + 192 ? pictureLit : labelLit) += lit;
      }
    }
    EXPECT_EQ(pictureLit > 1000, cell < 3) << "cell " << cell;
    EXPECT_EQ(labelLit > 100, cell < 3) << "cell " << cell << " label";
  }

  for (const char* name : {"a", "b"}) {
    run = RunProgram({BuildPath("kaleth-capture"), "--out", (dir / name).string(), "--start", "10900", "--end",
                      "11200", "--quiet"},
                     {}, KALETH_BUILD_DIR);
    ASSERT_EQ(run.exitCode, 0) << run.output;
  }
  int compared = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir / "a")) {
    EXPECT_EQ(FileBytes(entry.path()), FileBytes(dir / "b" / entry.path().filename())) << entry.path();
    ++compared;
  }
  EXPECT_GE(compared, 18);  // 300 ms at 60 frames a second
  std::filesystem::remove_all(dir);
}

}  // namespace
