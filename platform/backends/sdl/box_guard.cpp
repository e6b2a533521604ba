#include "platform/backends/sdl/box_guard.h"

#ifdef _WIN32

// A Windows message box is the program's own window, shown by the waiting thread: ending the
// program ends the box.
BoxGuard::BoxGuard() = default;
BoxGuard::~BoxGuard() = default;

#else

#include <pthread.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <atomic>
#include <mutex>

namespace {

// SDL shows a box on X11 from a process it forks for the purpose, while this one waits for it.
// Were the program ended by a signal meanwhile, that process would stay behind with the box up
// and the program's output open until the X server went. So a process forked while a box is up
// is killed by the kernel when the program goes, and SIGTERM or SIGINT, which SDL would only turn
// into a quit event nobody reads while the box waits, end the program as they would any other.
std::atomic<pid_t> boxShownBy{0};

void EndWithTheProgram() {
  const pid_t program = boxShownBy.load();
  if (program == 0) return;
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (getppid() != program) _exit(1);  // the program went before the kernel was asked
}

void EndOnSignal(int signal) {
  ::signal(signal, SIG_DFL);
  raise(signal);
}

}  // namespace

BoxGuard::BoxGuard() {
  static std::once_flag registered;
  std::call_once(registered, [] { pthread_atfork(nullptr, nullptr, EndWithTheProgram); });
  struct sigaction ending {};
  ending.sa_handler = EndOnSignal;
  sigemptyset(&ending.sa_mask);
  sigaction(SIGTERM, &ending, &term_);
  sigaction(SIGINT, &ending, &interrupt_);
  boxShownBy = getpid();
}

BoxGuard::~BoxGuard() {
  boxShownBy = 0;
  sigaction(SIGTERM, &term_, nullptr);
  sigaction(SIGINT, &interrupt_, nullptr);
}

#endif
