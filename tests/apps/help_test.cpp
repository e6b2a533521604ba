// Every executable's --help, against the README: it succeeds, on stdout, and names every option
// the README's table of executables gives for it, so the two cannot drift apart unnoticed; and
// every one reports the one version of the build.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "kaleth_build.h"
#include "tests/support/run_program.h"

namespace {

// For each program in the README's table of executables, the options its rows show.
std::map<std::string, std::set<std::string>> ReadmeOptions() {
  std::ifstream in(std::string(KALETH_SOURCE_DIR) + "/README.md");
  std::stringstream text;
  text << in.rdbuf();
  std::map<std::string, std::set<std::string>> options;
  const std::regex row(R"(^\| `(kaleth[a-z-]*)([^`]*)`)");
  const std::regex option(R"((^|[ \[|])(--?[a-z][a-z0-9-]*))");
  std::istringstream lines(text.str());
  for (std::string line; std::getline(lines, line);) {
    std::smatch cells;
    if (!std::regex_search(line, cells, row)) continue;
    std::set<std::string>& named = options[cells[1].str()];
    const std::string synopsis = cells[2].str();
    for (auto it = std::sregex_iterator(synopsis.begin(), synopsis.end(), option); it != std::sregex_iterator(); ++it) {
      named.insert((*it)[2].str());
    }
  }
  return options;
}

TEST(Help, EveryExecutableAnswersHelpWithTheOptionsTheReadmeGives) {
  const std::map<std::string, std::set<std::string>> readme = ReadmeOptions();
  for (const char* program : {"kaleth", "kaleth-capture", "kaleth-bench", "kaleth-pak", "kaleth-pakgen"}) {
    ASSERT_EQ(readme.count(program), 1u) << program << " has no row in the README's table of executables";
    // Help needs neither a display nor a package: it is asked for from an empty folder.
    const ProgramResult run = RunProgram({BuildPath(program), "--help"}, {"DISPLAY=", "WAYLAND_DISPLAY="}, "/");
    EXPECT_EQ(run.exitCode, 0) << program << "\n" << run.output;
    EXPECT_NE(run.output.find(std::string("usage: ") + program), std::string::npos) << run.output;
    for (const std::string& option : readme.at(program)) {
      EXPECT_NE(run.output.find(option), std::string::npos) << program << " --help does not mention " << option;
    }
    const ProgramResult version = RunProgram({BuildPath(program), "--version"}, {"DISPLAY=", "WAYLAND_DISPLAY="}, "/");
    EXPECT_EQ(version.exitCode, 0) << program;
    EXPECT_EQ(version.output, std::string(program) + " " + KALETH_VERSION + "\n");
  }
  EXPECT_GE(readme.at("kaleth-capture").size(), 14u) << "the capture tool's row lists its options";
}

}  // namespace
