#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/host/host.h"

namespace fs = std::filesystem;

namespace host {

fs::path ProgramFile(std::error_code& error) {
  // The kernel's link to the running executable: right however the program was started, and
  // wherever an unpacked or relocated copy lives.
  return fs::read_symlink("/proc/self/exe", error);
}

// The kernel's own entries for the process.
fs::path NoPackageFolder() { return "/proc/self"; }

double CpuSeconds() {
  rusage usage{};
  if (getrusage(RUSAGE_SELF, &usage) != 0) return 0;
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

bool ErrorsGoToTerminal() { return isatty(STDERR_FILENO) != 0; }

std::string PathText(const fs::path& path) { return path.string(); }

std::string FindProgram(const std::string& name) {
  const char* path = std::getenv("PATH");
  const std::string folders = path ? path : "/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= folders.size()) {
    std::size_t end = folders.find(':', start);
    if (end == std::string::npos) end = folders.size();
    // An empty entry stands for the working folder, which is not where a package's program lives.
    if (end > start) {
      const std::string candidate = folders.substr(start, end - start) + "/" + name;
      if (access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    start = end + 1;
  }
  return "";
}

FontFolder DejaVuFonts() { return {"/usr/share/fonts/truetype/dejavu", "(Debian package fonts-dejavu-core)"}; }

std::string WhereToGet(const std::string& name) { return "(Debian package " + name + ")"; }

// Single quotes keep an argument whole for the shell, whatever it holds.
std::string QuoteArgument(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::FILE* OpenPipeTo(const std::string& command) {
  signal(SIGPIPE, SIG_IGN);
  return popen(command.c_str(), "w");
}

bool ClosePipe(std::FILE* pipe) {
  const int status = pclose(pipe);
  return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool RunQuietly(const std::string& command) {
  const int status = std::system((command + " >/dev/null 2>&1").c_str());
  return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace host
#endif
