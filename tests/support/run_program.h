// Runs a program of the build as a child process and collects its exit code and output.
#pragma once

#include <string>
#include <vector>

struct ProgramResult {
  int exitCode = -1;  // -1 when it did not end normally (signal, timeout)
  std::string output;  // stdout and stderr together
};

// Runs argv[0] (a path) with the environment additions given as NAME=VALUE, in directory `cwd`;
// kills it after timeoutSeconds.
ProgramResult RunProgram(const std::vector<std::string>& argv, const std::vector<std::string>& environment = {},
                         const std::string& cwd = "", int timeoutSeconds = 120);

std::string BuildPath(const std::string& name);
