// What kaleth-capture and the page's capture mode share: the headless backend set up from the
// capture's options, the timeline's clock, and which frames a capture keeps.
#pragma once

#include <cstdint>

#include "platform/backends/headless/headless_backend.h"
#include "tools/capture/capture_options.h"

// Milliseconds since slot 0 began, or -1 while the program is still starting.
std::int64_t TimelineMilliseconds(std::uint32_t now);

// Offers the display depths up to --depth when it is given, sets the frame step, and scripts the keys and, at the end time, the
// close box (the capture ends like a user leaving), on the timeline's clock.
void PrepareCaptureBackend(const CaptureOptions& options, HeadlessBackend* backend);

// Whether a frame presented at timeline time `time` is kept: from --start to --end, and the
// loading picture too when the capture starts at the beginning.
bool KeptByCapture(const CaptureOptions& options, std::int64_t time);
