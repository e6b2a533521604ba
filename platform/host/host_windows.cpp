#ifdef _WIN32
#include <windows.h>
#include <io.h>

#include <cstdlib>
#include <vector>

#include "platform/host/host.h"

namespace fs = std::filesystem;

namespace host {

fs::path ProgramFile(std::error_code& error) {
  // Wide, so that a folder whose name the ANSI code page cannot spell is found all the same.
  std::vector<wchar_t> name(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (length == 0) {
      error = std::error_code(static_cast<int>(GetLastError()), std::system_category());
      return {};
    }
    if (length < name.size()) return fs::path(std::wstring(name.data(), length));
    name.resize(name.size() * 2);
  }
}

// Windows' own folder of system programs holds no package.
fs::path NoPackageFolder() {
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  return length > 0 && length < MAX_PATH ? fs::path(std::wstring(folder, length)) : fs::path(L"C:\\Windows");
}

double CpuSeconds() {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
  auto seconds = [](const FILETIME& t) {
    return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
  };
  return seconds(kernel) + seconds(user);
}

bool ErrorsGoToTerminal() {
  DWORD mode = 0;
  // A console, or a terminal that passes itself off as a character device (MSYS, Wine's).
  const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
  if (error == nullptr || error == INVALID_HANDLE_VALUE) return false;
  return GetConsoleMode(error, &mode) != 0 || GetFileType(error) == FILE_TYPE_CHAR;
}

std::string PathText(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

std::string FindProgram(const std::string& name) {
  const char* path = std::getenv("PATH");
  if (path == nullptr) return "";
  const std::string folders = path;
  std::size_t start = 0;
  while (start <= folders.size()) {
    std::size_t end = folders.find(';', start);
    if (end == std::string::npos) end = folders.size();
    if (end > start) {
      std::string folder = folders.substr(start, end - start);
      if (folder.size() > 1 && folder.front() == '"' && folder.back() == '"') folder = folder.substr(1, folder.size() - 2);
      const std::string candidate = folder + "\\" + name + ".exe";
      std::error_code code;
      if (fs::is_regular_file(candidate, code)) return candidate;
    }
    start = end + 1;
  }
  return "";
}

// Windows has no DejaVu of its own: the release carries the faces in a folder beside the programs.
FontFolder DejaVuFonts() {
  std::error_code error;
  const fs::path program = ProgramFile(error);
  return {program.parent_path() / "fonts", "(the fonts folder of the release, beside the program)"};
}

std::string WhereToGet(const std::string& name) { return "(put " + name + ".exe in a folder on PATH)"; }

// A Windows file name cannot hold a double quote, so quotes alone keep one whole.
std::string QuoteArgument(const std::string& text) { return "\"" + text + "\""; }

namespace {

// cmd.exe drops the first and the last quote of a command that starts with one, so the whole
// command goes in one more pair.
std::string ForCmd(const std::string& command) { return "\"" + command + "\""; }

}  // namespace

std::FILE* OpenPipeTo(const std::string& command) { return _popen(ForCmd(command).c_str(), "wb"); }

bool ClosePipe(std::FILE* pipe) { return _pclose(pipe) == 0; }

bool RunQuietly(const std::string& command) { return std::system(ForCmd(command + " >NUL 2>&1").c_str()) == 0; }

}  // namespace host
#endif
