// kaleth-capture with the production's package damaged or gone after start-up: each reader's
// own message, exit code 0, and nothing shown after the box.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "data/pak_archive.h"
#include "tests/support/run_program.h"
#include "tools/common/pak_writer.h"

namespace {

namespace fs = std::filesystem;

struct Outcome {
  ProgramResult run;
  int frames = 0;
};

// Runs the capture in `dir` (which holds the package to play) and counts the frames it kept.
Outcome Capture(const fs::path& dir, const std::vector<std::string>& environment = {}) {
  const fs::path frames = dir / "frames";
  fs::remove_all(frames);
  Outcome outcome;
  outcome.run = RunProgram({BuildPath("kaleth-capture"), "--out", frames.string(), "--end", "2000", "--quiet"},
                           environment, dir.string());
  if (fs::exists(frames)) {
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(frames)) ++outcome.frames;
  }
  return outcome;
}

// The fatal box is the last thing the run says before its summary.
void ExpectEndsWithBox(const Outcome& outcome, const std::string& text) {
  EXPECT_EQ(outcome.run.exitCode, 0) << outcome.run.output;
  const std::string box = "[[- Tarn 2.0 error window -]] " + text + "\n";
  const std::size_t at = outcome.run.output.find(box);
  ASSERT_NE(at, std::string::npos) << outcome.run.output;
  EXPECT_EQ(outcome.run.output.find("[[- Tarn 2.0", at + 1), std::string::npos) << outcome.run.output;
}

class PackageReadFailureCapture : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("kaleth-test-package-reads-" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::string error;
    ASSERT_TRUE(ReadFileBytes(std::string(KALETH_BUILD_DIR) + "/kaleth.pak", &package, &error)) << error;
  }
  void TearDown() override { fs::remove_all(dir); }

  // Where each member of the production's package lies.
  std::map<std::string, PakEntry> Directory() const {
    std::map<std::string, PakEntry> members;
    std::FILE* file = std::fopen((std::string(KALETH_BUILD_DIR) + "/kaleth.pak").c_str(), "rb");
    int count = 0;
    EXPECT_EQ(ReadPakHeader(file, &count), PakDirectoryStatus::kOk);
    for (int i = 0; i < count; ++i) {
      PakEntry entry{};
      int lineBytes = 0;
      EXPECT_EQ(ReadPakEntry(file, &entry, &lineBytes), PakDirectoryStatus::kOk);
      members[std::string(entry.name, lineBytes - 1)] = entry;
    }
    std::fclose(file);
    return members;
  }

  void WritePackage(std::size_t length) {
    std::string error;
    ASSERT_TRUE(WriteFileBytes((dir / "kaleth.pak").string(),
                               std::vector<std::uint8_t>(package.begin(), package.begin() + length), &error))
        << error;
  }

  fs::path dir;
  std::vector<std::uint8_t> package;
};

TEST_F(PackageReadFailureCapture, APackageCutShortNamesTheMemberItEndsIn) {
  const std::map<std::string, PakEntry> members = Directory();
  const PakEntry load = members.at("load.raw"), module = members.at("kaleth.xm");
  // The loading picture is read first, then the module: each cut below lies in the first
  // member read that reaches it.
  ASSERT_LT(load.offset + load.size, module.offset + module.size / 2);

  WritePackage(load.offset + 1000);
  Outcome outcome = Capture(dir);
  ExpectEndsWithBox(outcome, "Package file is damaged: load.raw is cut short (1000 of " + std::to_string(load.size) +
                                 " bytes)");
  EXPECT_EQ(outcome.frames, 0);

  WritePackage(module.offset + module.size / 2);
  outcome = Capture(dir);
  ExpectEndsWithBox(outcome, "Package file is damaged: kaleth.xm is cut short (" + std::to_string(module.size / 2) +
                                 " of " + std::to_string(module.size) + " bytes)");
  EXPECT_EQ(outcome.frames, 1) << "the loading picture only";
  EXPECT_EQ(outcome.run.output.find("BASS"), std::string::npos);
}

TEST_F(PackageReadFailureCapture, APackageGoneAfterStartUpEndsWithTheReadersMessage) {
  WritePackage(package.size());
  // The first reading after the directory is the loading picture's.
  Outcome outcome = Capture(dir, {"KALETH_FAULTS=PakArchive::reopen@1"});
  ExpectEndsWithBox(outcome, "Unable to load image");
  EXPECT_EQ(outcome.frames, 0);

  // The loading picture, the module, then eight colour pictures of the scenes' set-up before
  // the first grey one.
  outcome = Capture(dir, {"KALETH_FAULTS=PakArchive::reopen@11"});
  ExpectEndsWithBox(outcome, "unable to load 8 bit raw");
  EXPECT_EQ(outcome.frames, 1) << "the loading picture only";
}

}  // namespace
