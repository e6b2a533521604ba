// The Windows build's own unit tests, and the worker pool's again and again, under Wine.
#include <gtest/gtest.h>

#include <string>

#include "tests/windows/wine_test.h"

namespace {

int Count(const std::string& text, const std::string& part) {
  int count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

TEST_F(WineTest, TheUnitTestsPassUnderWine) {
  const ProgramResult run = RunProgram(UnderWine(WindowsPath("kaleth-tests.exe"), {"--gtest_brief=1"}),
                                       WineEnvironment({"SDL_AUDIODRIVER=dummy"}), WindowsPath("").string(), 900);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(Count(run.output, "[  PASSED  ]"), 1) << run.output;
}

// A lost wake-up in the pool froze one run in three at two threads: a few hundred jobs of every
// run sleep until their last part returns, repeated at two and four threads.
TEST_F(WineTest, ThePoolNeverFreezesAtTwoOrFourThreads) {
  constexpr int kRepeats = 25;
  for (const char* threads : {"2", "4"}) {
    const ProgramResult run = RunProgram(
        UnderWine(WindowsPath("kaleth-tests.exe"), {"--gtest_filter=WorkerPool*:ThreadPool*",
                                                    "--gtest_repeat=" + std::to_string(kRepeats), "--gtest_brief=1"}),
        WineEnvironment({std::string("KALETH_THREADS=") + threads}), WindowsPath("").string(), 600);
    EXPECT_EQ(run.exitCode, 0) << threads << " threads: " << run.output;
    EXPECT_EQ(Count(run.output, "[  PASSED  ]"), kRepeats) << threads << " threads: " << run.output;
    std::printf("pool at %s threads: %d of %d runs passed\n", threads, Count(run.output, "[  PASSED  ]"), kRepeats);
  }
}

}  // namespace

namespace {

// The remix kit's round trip on Windows paths: the package taken apart and packed again is the
// same bytes.
TEST_F(WineTest, TheRemixKitPacksWhatItTookApartIntoTheSameBytes) {
  const std::filesystem::path base = FreshDir("wine-remix");
  std::filesystem::create_directories(base);
  const std::vector<std::string> environment = WineEnvironment();
  const ProgramResult extract = RunProgram(
      UnderWine(WindowsPath("kaleth-pak.exe"), {"extract", WindowsPath("kaleth.pak").string(), (base / "remix").string()}),
      environment, base.string(), 120);
  ASSERT_EQ(extract.exitCode, 0) << extract.output;
  const ProgramResult pack = RunProgram(
      UnderWine(WindowsPath("kaleth-pak.exe"), {"pack", (base / "remix").string(), (base / "again.pak").string()}),
      environment, base.string(), 120);
  ASSERT_EQ(pack.exitCode, 0) << pack.output;
  EXPECT_EQ(RunProgram({"/usr/bin/cmp", WindowsPath("kaleth.pak").string(), (base / "again.pak").string()}).exitCode, 0);
  std::filesystem::remove_all(base);
}

}  // namespace
