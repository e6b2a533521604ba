// Where the programs look for their package: the working folder first, then the data folder
// beside the executable's install prefix; KALETH_DATA alone when it is set.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/data_folder.h"

namespace {

namespace fs = std::filesystem;

// A working folder and an installed data folder of its own, each able to hold the package; the
// test's working folder and KALETH_DATA are given back afterwards.
class DataFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = fs::temp_directory_path() / ("kaleth-data-folder-" + std::to_string(getpid()));
    fs::remove_all(base_);
    fs::create_directories(working_ = base_ / "working");
    fs::create_directories(installed_ = base_ / "share/games/kaleth");
    saved_ = fs::current_path();
    if (const char* data = std::getenv("KALETH_DATA")) savedData_ = data;
    unsetenv("KALETH_DATA");
    fs::current_path(working_);
    // The data folder as an installed program names it: relative to the test program's folder.
    fromProgram_ = fs::relative(installed_, fs::read_symlink("/proc/self/exe").parent_path()).string();
  }
  void TearDown() override {
    fs::current_path(saved_);
    if (savedData_.empty()) unsetenv("KALETH_DATA");
    else setenv("KALETH_DATA", savedData_.c_str(), 1);
    fs::remove_all(base_);
  }
  static void Put(const fs::path& folder) { std::ofstream(folder / "test.pak") << "PAK1"; }

  fs::path base_, working_, installed_, saved_;
  std::string savedData_, fromProgram_;
};

TEST_F(DataFolder, TheWorkingFolderComesFirstThenTheInstalledOne) {
  DataFolderSearch search = FindDataFolder("test.pak", fromProgram_);
  ASSERT_EQ(search.searched.size(), 2u);
  EXPECT_EQ(search.searched[0], working_.string());
  EXPECT_EQ(search.searched[1], installed_.string()) << "the relative path is resolved and made plain";
  EXPECT_EQ(search.found, "");

  Put(installed_);
  EXPECT_EQ(FindDataFolder("test.pak", fromProgram_).found, installed_.string());
  Put(working_);
  EXPECT_EQ(FindDataFolder("test.pak", fromProgram_).found, working_.string());
  // A folder of the package's name is no package.
  fs::remove(working_ / "test.pak");
  fs::create_directory(working_ / "test.pak");
  EXPECT_EQ(FindDataFolder("test.pak", fromProgram_).found, installed_.string());
}

TEST_F(DataFolder, KalethDataIsTheOnlyFolderLookedInWhenSet) {
  Put(working_);
  Put(installed_);
  const fs::path chosen = base_ / "chosen";
  fs::create_directories(chosen);
  setenv("KALETH_DATA", "../chosen", 1);
  DataFolderSearch search = FindDataFolder("test.pak", fromProgram_);
  EXPECT_TRUE(search.overridden);
  ASSERT_EQ(search.searched.size(), 1u);
  EXPECT_EQ(search.searched[0], chosen.string()) << "a relative folder is taken from here";
  EXPECT_EQ(search.found, "");
  Put(chosen);
  EXPECT_EQ(FindDataFolder("test.pak", fromProgram_).found, chosen.string());
}

}  // namespace
