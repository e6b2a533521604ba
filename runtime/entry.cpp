#include "runtime/entry.h"

#include <cstring>

#include "data/pak_archive.h"
#include "display/display.h"
#include "display/present.h"
#include "music/beat_flags.h"
#include "core/canvas.h"
#include "core/errors.h"
#include "runtime/schedule.h"
#include "runtime/startup.h"
#include "core/tables.h"
#include "runtime/timeline.h"

bool WindowedMode = false;
bool Playing = false;
bool HasShutDown = false;
std::uint32_t* Canvas = nullptr;

namespace {

HINSTANCE Instance = nullptr;
int ShowCommand = 0;

void CreateMainWindow() {
  WNDCLASSA windowClass{};
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.cbClsExtra = 0;
  windowClass.cbWndExtra = 0;
  windowClass.hInstance = Instance;
  windowClass.hIcon = nullptr;
  windowClass.hCursor = nullptr;
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszMenuName = nullptr;
  windowClass.lpszClassName = kWindowClassName;
  RegisterClassA(&windowClass);

  if (WindowedMode) {
    MainWindow = CreateWindowExA(0, kWindowClassName, kWindowedTitle, WS_SYSMENU, CW_USEDEFAULT, CW_USEDEFAULT, 512,
                                 434, nullptr, nullptr, Instance, nullptr);
  } else {
    MainWindow = CreateWindowExA(0, kWindowClassName, kFullScreenTitle, WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT, 512,
                                 384, nullptr, nullptr, Instance, nullptr);
  }
  if (MainWindow == nullptr) return;
  ShowWindow(MainWindow, ShowCommand);
  UpdateWindow(MainWindow);
  SetFocus(MainWindow);
}

}  // namespace

int RunMainLoop() {
  MSG msg{};
  const bool waiting = PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) != FALSE;
  Timeline.SetStart(timeGetTime());
  Playing = true;
  if (waiting && msg.message == WM_QUIT) return static_cast<int>(msg.wParam);

  msg.message = 0;
  while (msg.message != WM_QUIT) {
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    } else if (!HasShutDown) {
      Timeline.Dispatch(timeGetTime(), Canvas);
      // The pass that ran out the last slot shut the program down: nothing more is shown.
      if (!HasShutDown) PresentFrame();
    }
  }
  return static_cast<int>(msg.wParam);
}

bool IsWindowedCommandLine(const char* commandLine) {
  return commandLine != nullptr && std::strcmp(commandLine, "-window") == 0;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) {
    Shutdown();
  } else if (message == WM_KEYDOWN && wParam == VK_ESCAPE) {
    Shutdown();
  } else if (message == WM_KEYDOWN && wParam == VK_F1) {
    ToggleBeatFlag(BeatFlagA);
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void Shutdown() {
  if (HasShutDown) return;
  HasShutDown = true;
  CleanUpScenes();
  ReleaseDisplay();
  FreeTables();
  PostQuitMessage(0);
}

bool BeginRun(HINSTANCE instance, LPSTR commandLine, int showCommand) {
  HasShutDown = false;
  Playing = false;
  Instance = instance;
  ShowCommand = showCommand;
  BuildTables();
  timeBeginPeriod(20);
  WindowedMode = IsWindowedCommandLine(commandLine);

  CreateMainWindow();
  // Without a window there is nothing to show; the platform has said why on stderr.
  if (MainWindow == nullptr) return false;
  if (WindowedMode) OpenWindowed();
  else OpenFullScreen();
  Canvas = static_cast<std::uint32_t*>(CheckedAlloc(kCanvasBytes));
  Package.open(kPackagePath);

  StartUp();
  return true;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
  struct StopPlaying {
    ~StopPlaying() { Playing = false; }
  } stopPlaying;
  try {
    if (!BeginRun(instance, commandLine, showCommand)) return 0;
    return RunMainLoop();
  } catch (const FatalErrorExit&) {
    // The box has been shown and the quit posted; the run ends with 0 like any other.
    return 0;
  }
}
