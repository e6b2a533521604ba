// The Debian package as a person gets it: Debian's own checker accepts it, the menu entry and the
// manual pages are well formed, and an unpacked copy plays from any folder with its own data.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "kaleth_build.h"
#include "tests/support/run_program.h"

namespace {

namespace fs = std::filesystem;

const std::string kDeb = std::string(KALETH_BUILD_DIR) + "/" + KALETH_DEB_FILE;
const char* const kPrograms[] = {"usr/games/kaleth", "usr/bin/kaleth-capture", "usr/bin/kaleth-bench",
                                 "usr/bin/kaleth-pak", "usr/bin/kaleth-pakgen"};

// A shell command's output; stderr only when the command sends stdout away.
ProgramResult Shell(const std::string& command, const std::vector<std::string>& environment = {}) {
  return RunProgram({"/bin/sh", "-c", command}, environment, "", 300);
}

// An empty folder that exists, to start a program in or to lay the package out in.
fs::path EmptyDir(const std::string& name) {
  const fs::path dir = FreshDir("package-" + name);
  fs::create_directories(dir);
  return dir;
}

// '\'', a char: a one-letter string before a string warns falsely in GCC 12 (its bug 105329).
std::string Quoted(const fs::path& path) { return '\'' + path.string() + '\''; }

// The package unpacked once, as dpkg would lay it out, into a temporary root.
class Package : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    root_ = EmptyDir("root");
    unpacked_ = RunProgram({"/usr/bin/dpkg-deb", "-x", kDeb, root_.string()}).exitCode == 0;
  }
  static void TearDownTestSuite() { fs::remove_all(root_); }
  void SetUp() override { ASSERT_TRUE(unpacked_) << "dpkg-deb -x " << kDeb << " failed"; }

  static std::string Field(const std::string& name) {
    const ProgramResult run = RunProgram({"/usr/bin/dpkg-deb", "-f", kDeb, name});
    return run.output.substr(0, run.output.find_last_not_of('\n') + 1);
  }

  static inline fs::path root_;
  static inline bool unpacked_ = false;
};

std::pair<int, int> PngSize(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  unsigned char header[24] = {};
  in.read(reinterpret_cast<char*>(header), sizeof header);
  auto big = [&](int at) { return header[at] << 24 | header[at + 1] << 16 | header[at + 2] << 8 | header[at + 3]; };
  if (!in || std::string(reinterpret_cast<char*>(header + 1), 3) != "PNG") return {0, 0};
  return {big(16), big(20)};
}

TEST_F(Package, HoldsTheProgramsDataMenuEntryIconsAndManualPagesOfOneVersion) {
  EXPECT_EQ(Field("Package"), "kaleth");
  EXPECT_EQ(Field("Version"), KALETH_VERSION);
  EXPECT_EQ(Field("Section"), "games");
  EXPECT_NE(Field("Depends").find("libsdl2"), std::string::npos) << "worked out from the programs";
  EXPECT_NE(Field("Depends").find("fonts-dejavu-core"), std::string::npos);
  EXPECT_EQ(Field("Suggests"), "ffmpeg");
  for (const char* program : kPrograms) {
    const fs::path path = root_ / program;
    ASSERT_TRUE(fs::is_regular_file(path)) << program;
    const ProgramResult run = RunProgram({path.string(), "--version"});
    EXPECT_EQ(run.exitCode, 0) << program;
    EXPECT_EQ(run.output, path.filename().string() + " " + KALETH_VERSION + "\n") << program;
  }
  EXPECT_GT(fs::file_size(root_ / "usr/share/games/kaleth/kaleth.pak"), 100000u);
  for (int size : {16, 32, 48, 64, 128, 256}) {
    const std::string folder = std::to_string(size) + "x" + std::to_string(size);
    EXPECT_EQ(PngSize(root_ / "usr/share/icons/hicolor" / folder / "apps/kaleth.png"), std::make_pair(size, size))
        << folder;
  }
  for (const char* page : {"man6/kaleth.6.gz", "man1/kaleth-capture.1.gz", "man1/kaleth-bench.1.gz",
                           "man1/kaleth-pak.1.gz", "man1/kaleth-pakgen.1.gz"}) {
    EXPECT_TRUE(fs::is_regular_file(root_ / "usr/share/man" / page)) << page;
  }
}

TEST_F(Package, DebiansCheckerFindsNoErrors) {
  const ProgramResult run = RunProgram({"/usr/bin/lintian", "--fail-on", "error", "--no-tag-display-limit", kDeb},
                                       {}, "", 600);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  std::istringstream lines(run.output);
  for (std::string line; std::getline(lines, line);) {
    EXPECT_NE(line.rfind("E: ", 0), 0u) << line;
    // What lintian still has to say is worth reading with the test's result.
    if (line.rfind("W: ", 0) == 0 || line.rfind("I: ", 0) == 0) std::cout << "  lintian " << line << "\n";
  }
}

TEST_F(Package, TheMenuEntryIsValidAndStartsTheDemo) {
  const fs::path entry = root_ / "usr/share/applications/kaleth.desktop";
  const ProgramResult run = RunProgram({"/usr/bin/desktop-file-validate", entry.string()});
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(run.output, "") << "no warnings or hints either";
  std::ifstream in(entry);
  std::set<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.insert(line);
  for (const char* line : {"Name=KALETH", "Exec=kaleth", "Icon=kaleth", "Type=Application"}) {
    EXPECT_EQ(lines.count(line), 1u) << line;
  }
}

// Each page renders without a word from groff, and names every option and variable its program's
// --help gives, so the two stay in step.
TEST_F(Package, ManualPagesRenderCleanlyAndNameEveryOptionOfTheirProgram) {
  const std::vector<std::string> plain{"LC_ALL=C", "MANWIDTH=80", "MANROFFSEQ=", "MAN_KEEP_FORMATTING="};
  const std::regex option(R"((^|[\s\[|(])(--?[a-z][a-z0-9_-]*|KALETH_[A-Z_]+))");
  for (const char* program : kPrograms) {
    const std::string name = fs::path(program).filename().string();
    const fs::path page = root_ / "usr/share/man" / (name == "kaleth" ? "man6/kaleth.6.gz" : "man1/" + name + ".1.gz");
    const ProgramResult warnings = Shell("man --warnings -l " + Quoted(page) + " 2>&1 >/dev/null", plain);
    EXPECT_EQ(warnings.exitCode, 0) << name;
    EXPECT_EQ(warnings.output, "") << name;
    const ProgramResult text = Shell("man -l " + Quoted(page) + " | col -b", plain);
    EXPECT_NE(text.output.find("NAME"), std::string::npos) << text.output;
    const std::string help = RunProgram({(root_ / program).string(), "--help"}, {"DISPLAY="}).output;
    for (auto it = std::sregex_iterator(help.begin(), help.end(), option); it != std::sregex_iterator(); ++it) {
      const std::string named = (*it)[2].str();
      EXPECT_NE(text.output.find(named), std::string::npos) << name << "'s manual page does not mention " << named;
    }
  }
}

TEST_F(Package, AnUnpackedCopyPlaysFromAnyFolderAndWritesWhereItWasStarted) {
  const fs::path elsewhere = EmptyDir("elsewhere");
  const ProgramResult run = RunProgram({(root_ / "usr/bin/kaleth-capture").string(), "--sheet", "sheet.png", "--out",
                                        "frames", "--end", "1000", "--fps", "10", "--quiet"},
                                       {}, elsewhere.string());
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(run.output.find("Unable to open datafile"), std::string::npos) << run.output;
  EXPECT_GT(PngSize(elsewhere / "sheet.png").first, 0) << run.output;
  int frames = 0;
  if (fs::is_directory(elsewhere / "frames")) {
    for (const auto& entry : fs::directory_iterator(elsewhere / "frames")) frames += entry.path().extension() == ".png";
  }
  // The loading picture and one second at ten frames a second.
  EXPECT_GE(frames, 11);
  const fs::path data = root_ / "usr/share/games/kaleth";
  EXPECT_EQ(std::distance(fs::directory_iterator(data), fs::directory_iterator()), 1) << "nothing written beside the data";
  fs::remove_all(elsewhere);
}

TEST_F(Package, KalethDataWithoutThePackageGivesTheProgramsMessage) {
  const fs::path empty = EmptyDir("empty");
  const fs::path elsewhere = EmptyDir("started");
  const ProgramResult run = RunProgram(
      {(root_ / "usr/bin/kaleth-capture").string(), "--sheet", "sheet.png", "--end", "1000", "--quiet"},
      {"KALETH_DATA=" + empty.string()}, elsewhere.string());
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("kaleth-capture: kaleth.pak is in none of the folders searched: " + empty.string()),
            std::string::npos)
      << run.output;
  EXPECT_NE(run.output.find("[[- Tarn 2.0 error window -]] Unable to open datafile"), std::string::npos) << run.output;
  fs::remove_all(empty);
  fs::remove_all(elsewhere);
}

}  // namespace
