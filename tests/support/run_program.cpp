#include "tests/support/run_program.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

std::string BuildPath(const std::string& name) { return std::string(KALETH_BUILD_DIR) + "/" + name; }

std::filesystem::path FreshDir(const std::string& name) {
  std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("kaleth-test-" + name + "-" + std::to_string(getpid()));
  std::filesystem::remove_all(dir);
  return dir;
}

ChildProgram::ChildProgram(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
                           const std::string& cwd) {
  char pattern[] = "/tmp/kaleth-child-XXXXXX";
  const int fd = mkstemp(pattern);
  if (fd < 0) return;
  outputPath_ = pattern;
  pid_ = fork();
  if (pid_ == 0) {
    dup2(fd, 1);
    dup2(fd, 2);
    close(fd);
    const int devNull = open("/dev/null", O_RDONLY);
    if (devNull >= 0) dup2(devNull, 0);
    if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(126);
    for (const std::string& entry : environment) putenv(const_cast<char*>(entry.c_str()));
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  close(fd);
}

ChildProgram::~ChildProgram() {
  if (pid_ > 0 && !reaped_) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  if (!outputPath_.empty()) std::remove(outputPath_.c_str());
}

bool ChildProgram::Running() {
  if (pid_ <= 0 || reaped_) return false;
  if (waitpid(pid_, &status_, WNOHANG) == pid_) reaped_ = true;
  return !reaped_;
}

std::string ChildProgram::OutputSoFar() const {
  std::ifstream in(outputPath_);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

ProgramResult ChildProgram::Wait(int timeoutSeconds) {
  ProgramResult result;
  if (pid_ <= 0) return result;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
  while (Running() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  if (!reaped_) {
    kill(pid_, SIGKILL);
    waitpid(pid_, &status_, 0);
    reaped_ = true;
  } else if (WIFEXITED(status_)) {
    result.exitCode = WEXITSTATUS(status_);
  }
  result.output = OutputSoFar();
  return result;
}

ProgramResult RunProgram(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
                         const std::string& cwd, int timeoutSeconds) {
  ChildProgram child(argv, environment, cwd);
  return child.Wait(timeoutSeconds);
}
