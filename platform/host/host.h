// What the programs need of the operating system they run on, beside the names the system calls:
// where the running program's file is, the CPU time spent, whether errors go to a terminal, and
// starting other programs (ffmpeg). One implementation per system: host_posix.cpp (Linux, the
// page) and host_windows.cpp.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

namespace host {

// The running program's own file, however it was started; empty with `error` set if the system
// cannot say.
std::filesystem::path ProgramFile(std::error_code& error);

// A folder that exists while the program runs and can never hold the package.
std::filesystem::path NoPackageFolder();

// Seconds of CPU the process has used, on every thread, user and system; 0 if unknown.
double CpuSeconds();

// Whether stderr is a terminal or console a person watches (so a progress bar can redraw).
bool ErrorsGoToTerminal();

// A path as UTF-8 text, for messages and for the system's narrow file names.
std::string PathText(const std::filesystem::path& path);

// The first program called `name` (".exe" added on Windows) in a folder of PATH, or "".
std::string FindProgram(const std::string& name);

// The folder of the DejaVu faces the tools letter with, and how a person gets them when missing.
struct FontFolder {
  std::filesystem::path folder;
  std::string whereToGet;
};
FontFolder DejaVuFonts();

// Where a person gets another program that is missing, in parentheses: "(Debian package ffmpeg)".
std::string WhereToGet(const std::string& name);

// `text` as one argument of a command line, whatever it holds.
std::string QuoteArgument(const std::string& text);

// Starts `command` with its standard input on the returned stream (binary), or null. A program
// that ends early shows as a failed write, never as a signal.
std::FILE* OpenPipeTo(const std::string& command);

// Waits for the program of OpenPipeTo; true when it exited with 0.
bool ClosePipe(std::FILE* pipe);

// Runs `command` with its output discarded; true when it exited with 0.
bool RunQuietly(const std::string& command);

}  // namespace host
