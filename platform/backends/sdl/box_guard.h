// Held while SDL shows a message box, so that the program can still be ended while it waits.
#pragma once

#ifndef _WIN32
#include <signal.h>
#endif

class BoxGuard {
 public:
  BoxGuard();
  ~BoxGuard();
  BoxGuard(const BoxGuard&) = delete;
  BoxGuard& operator=(const BoxGuard&) = delete;

 private:
#ifndef _WIN32
  struct sigaction term_ {};
  struct sigaction interrupt_ {};
#endif
};
