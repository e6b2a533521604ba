#include "tests/support/run_program.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

std::string BuildPath(const std::string& name) { return std::string(KALETH_BUILD_DIR) + "/" + name; }

ProgramResult RunProgram(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
                         const std::string& cwd, int timeoutSeconds) {
  ProgramResult result;
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return result;
  const pid_t child = fork();
  if (child < 0) return result;
  if (child == 0) {
    dup2(pipeFds[1], 1);
    dup2(pipeFds[1], 2);
    close(pipeFds[0]);
    close(pipeFds[1]);
    if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(126);
    for (const std::string& entry : environment) putenv(const_cast<char*>(entry.c_str()));
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  close(pipeFds[1]);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
  char buffer[4096];
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      kill(child, SIGKILL);
      break;
    }
    pollfd fd{pipeFds[0], POLLIN, 0};
    if (poll(&fd, 1, static_cast<int>(std::min<long long>(left.count(), 1000))) > 0) {
      const ssize_t n = read(pipeFds[0], buffer, sizeof buffer);
      if (n <= 0) break;
      result.output.append(buffer, static_cast<size_t>(n));
    }
  }
  close(pipeFds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  return result;
}
