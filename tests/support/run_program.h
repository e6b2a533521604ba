// Runs programs of the build as child processes and collects their exit codes and output.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

struct ProgramResult {
  int exitCode = -1;   // -1 when it did not end normally (signal, timeout)
  std::string output;  // stdout and stderr together
};

// A started child: its output goes to a temporary file until Wait collects it.
class ChildProgram {
 public:
  // Starts argv[0] (a path) with the environment additions given as NAME=VALUE, in directory cwd.
  ChildProgram(const std::vector<std::string>& argv, const std::vector<std::string>& environment = {},
               const std::string& cwd = "");
  ~ChildProgram();
  ChildProgram(const ChildProgram&) = delete;
  ChildProgram& operator=(const ChildProgram&) = delete;

  bool Started() const { return pid_ > 0; }
  // True while the child has not ended.
  bool Running();
  // What the child has written so far.
  std::string OutputSoFar() const;
  // Waits at most timeoutSeconds, then kills it; gives the exit code and the output.
  ProgramResult Wait(int timeoutSeconds);

 private:
  pid_t pid_ = -1;
  int status_ = -1;
  bool reaped_ = false;
  std::string outputPath_;
};

ProgramResult RunProgram(const std::vector<std::string>& argv, const std::vector<std::string>& environment = {},
                         const std::string& cwd = "", int timeoutSeconds = 120);

std::string BuildPath(const std::string& name);

// An empty folder of this name for this test process in the temporary folder (removed first if
// an earlier run left it).
std::filesystem::path FreshDir(const std::string& name);
