#include "core/errors.h"

#include <cstdlib>

#include "core/main_window.h"
#include "platform/faults.h"
#include "platform/windows/win32.h"

namespace {

FatalErrorRelease Release = nullptr;

}  // namespace

void SetFatalErrorRelease(FatalErrorRelease release) { Release = release; }

void FatalError(const char* message) {
  // The display goes first, so that a full-screen program's box is seen on the desktop.
  if (Release != nullptr) Release();
  MessageBoxA(MainWindow, message, kErrorCaption, MB_OK);
  PostQuitMessage(0);
  throw FatalErrorExit{message};
}

void ShowMessage(const char* message) { MessageBoxA(MainWindow, message, kMessageCaption, MB_OK); }

void* CheckedAlloc(std::size_t bytes) {
  // An exhausted heap is reached in tests through the fault "CheckedAlloc" (the nth block).
  void* block = faults::Hit("CheckedAlloc") ? nullptr : std::malloc(bytes);
  if (block == nullptr) FatalError(kOutOfMemoryMessage);
  return block;
}
