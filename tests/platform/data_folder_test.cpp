// Where the programs look for their package: the working folder first, then the data folder
// beside the executable's install prefix; KALETH_DATA's folder alone when it is set.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/data_folder.h"

namespace {

namespace fs = std::filesystem;

// A working folder and an installed data folder of its own, each able to hold the package; the
// test's working folder is given back afterwards.
class DataFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = fs::temp_directory_path() / ("kaleth-data-folder-" + std::to_string(getpid()));
    fs::remove_all(base_);
    fs::create_directories(working_ = base_ / "working");
    fs::create_directories(installed_ = base_ / "share/games/kaleth");
    saved_ = fs::current_path();
    fs::current_path(working_);
    // The data folder as an installed program names it: relative to the test program's folder.
    fromProgram_ = fs::relative(installed_, fs::read_symlink("/proc/self/exe").parent_path()).string();
  }
  void TearDown() override {
    fs::current_path(saved_);
    std::error_code ignored;
    fs::permissions(base_ / "closed", fs::perms::owner_all, ignored);
    fs::remove_all(base_);
  }
  static void Put(const fs::path& folder) { std::ofstream(folder / "test.pak") << "PAK1"; }

  fs::path base_, working_, installed_, saved_;
  std::string fromProgram_;
};

TEST_F(DataFolder, TheWorkingFolderComesFirstThenTheInstalledOne) {
  DataFolderSearch search = FindDataFolder("test.pak", fromProgram_, "");
  ASSERT_EQ(search.searched.size(), 2u);
  EXPECT_EQ(search.searched[0], working_.string());
  EXPECT_EQ(search.searched[1], installed_.string()) << "the relative path is resolved and made plain";
  EXPECT_EQ(search.found, "");

  Put(installed_);
  EXPECT_EQ(FindDataFolder("test.pak", fromProgram_, "").found, installed_.string());
  Put(working_);
  EXPECT_EQ(FindDataFolder("test.pak", fromProgram_, "").found, working_.string());
  // A folder of the package's name is no package.
  fs::remove(working_ / "test.pak");
  fs::create_directory(working_ / "test.pak");
  EXPECT_EQ(FindDataFolder("test.pak", fromProgram_, "").found, installed_.string());
}

TEST_F(DataFolder, KalethDataIsTheOnlyFolderLookedInWhenSet) {
  Put(working_);
  Put(installed_);
  const fs::path chosen = base_ / "chosen";
  fs::create_directories(chosen);
  DataFolderSearch search = FindDataFolder("test.pak", fromProgram_, "../chosen");
  EXPECT_TRUE(search.overridden);
  ASSERT_EQ(search.searched.size(), 1u);
  EXPECT_EQ(search.searched[0], chosen.string()) << "a relative folder is taken from here";
  EXPECT_EQ(search.found, "");
  Put(chosen);
  EXPECT_EQ(FindDataFolder("test.pak", fromProgram_, "../chosen").found, chosen.string());
}

// A chosen folder that cannot be entered ends the run as a missing package does: the line says
// what was looked in and why it could not be, and the system then finds no package to open, not
// even the one where the program was started.
TEST_F(DataFolder, AChosenFolderThatCannotBeEnteredIsNamedWithWhyAndNoPackageIsFound) {
  std::ofstream(working_ / "kaleth.pak") << "PAK1";
  std::ofstream(base_ / "a-file") << "x";
  fs::create_symlink(base_ / "gone", base_ / "dangling");
  fs::create_directories(base_ / "closed");
  fs::permissions(base_ / "closed", fs::perms::none);
  struct Case {
    const char* folder;
    const char* reason;
  } cases[] = {{"missing", "No such file or directory"},
               {"a-file", "Not a directory"},
               {"dangling", "No such file or directory"},
               {"closed", "Permission denied"}};
  for (const Case& c : cases) {
    if (std::string(c.folder) == "closed" && geteuid() == 0) continue;  // the superuser enters any folder
    fs::current_path(working_);
    const fs::path folder = base_ / c.folder;
    testing::internal::CaptureStderr();
    EnterDataFolder("kaleth", fromProgram_, folder.string());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "kaleth: kaleth.pak was looked for in " + folder.string() +
                                                          " (from KALETH_DATA), which cannot be entered: " + c.reason +
                                                          "\n");
    EXPECT_FALSE(fs::exists("kaleth.pak")) << c.folder;
  }
  // A folder that can be entered but holds no package is where the run goes on from.
  fs::current_path(working_);
  fs::create_directories(base_ / "empty");
  testing::internal::CaptureStderr();
  EnterDataFolder("kaleth", fromProgram_, (base_ / "empty").string());
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "kaleth: kaleth.pak is in none of the folders searched: " + (base_ / "empty").string() + " (from KALETH_DATA)\n");
  EXPECT_EQ(fs::current_path(), base_ / "empty");
}

}  // namespace
