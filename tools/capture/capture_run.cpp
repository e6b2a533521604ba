#include "tools/capture/capture_run.h"

#include <algorithm>

#include "platform/directdraw/display_settings.h"
#include "runtime/session.h"

std::int64_t TimelineMilliseconds(std::uint32_t now) { return WhereIs(now).timelineMs; }

void PrepareCaptureBackend(const CaptureOptions& options, HeadlessBackend* backend) {
  // Without --depth, the display is the one the environment describes (KALETH_DESKTOP_DEPTH …).
  if (options.depth != 0) {
    DirectDrawSettingsData& display = DirectDrawSettings();
    std::erase_if(display.modeDepths, [&](DWORD offered) { return static_cast<int>(offered) > options.depth; });
    display.desktopDepth = static_cast<DWORD>(options.depth);
  }

  backend->frameStepMicroseconds = options.stepMicroseconds;
  backend->script = options.keys;
  backend->script.push_back(ScriptedMessage{options.endMs, WM_CLOSE, 0});
  std::stable_sort(backend->script.begin(), backend->script.end(),
                   [](const ScriptedMessage& a, const ScriptedMessage& b) { return a.at < b.at; });
  backend->scriptClock = [backend] { return TimelineMilliseconds(backend->Milliseconds()); };
}

bool KeptByCapture(const CaptureOptions& options, std::int64_t time) {
  if (time > options.endMs) return false;
  return time >= 0 ? time >= options.startMs : options.startMs <= 0;
}
