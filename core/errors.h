// The three services that carry every failure and every allocation of the program.
#pragma once

#include <cstddef>

inline constexpr const char* kErrorCaption = "[- Tarn 2.0 error window -]";
inline constexpr const char* kMessageCaption = "[- Tarn 2.0 msg window -]";
inline constexpr const char* kOutOfMemoryMessage = "Not enough memory dude! (hehehe)";

// Thrown by FatalError after its box; caught only by the entry (and by tests), so that no
// operation goes on past a fatal failure.
struct FatalErrorExit {
  const char* message;
};

// What lets go before a fatal error's box is shown. The display installs its release here as it
// comes into being, so that a full-screen program's box is seen on the desktop.
using FatalErrorRelease = void (*)();
void SetFatalErrorRelease(FatalErrorRelease release);

// Runs the installed release, shows the error box, posts the quit message and leaves the run.
[[noreturn]] void FatalError(const char* message);

// Shows the message box and returns once it is dismissed; the caller goes on.
void ShowMessage(const char* message);

// An uninitialised block from the heap; an exhausted heap is a fatal error, never a null result.
void* CheckedAlloc(std::size_t bytes);
