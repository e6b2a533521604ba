#include "scenes/soft/scroller_scene.h"

#include <cstdlib>
#include <cstring>

#include "data/raw_loaders.h"
#include "display/present.h"
#include "core/canvas.h"

ScrollerScene Scroller;

void DrawScrollerFrame(std::uint32_t elapsed, std::uint32_t* canvas) {
  const std::uint32_t firstRow = elapsed < kScrollStopTime ? elapsed / kScrollRowPeriod : kScrollLastFirstRow;
  // The text covers the left columns completely, so only the rest of the background is copied.
  for (int y = 0; y < kCanvasHeight; ++y) {
    std::uint32_t* out = canvas + y * kCanvasWidth;
    std::memcpy(out, Scroller.text + (firstRow + y) * kScrollWidth, kScrollWidth * 4);
    std::memcpy(out + kScrollWidth, Scroller.background + y * kCanvasWidth + kScrollWidth,
                (kCanvasWidth - kScrollWidth) * 4);
  }
}

void RenderScrollerScene(std::uint32_t elapsed, std::uint32_t* canvas) {
  DrawScrollerFrame(elapsed, canvas);
  CopyCanvas();
}

void SetUpScrollerScene() {
  Scroller.background = LoadRgbRawScreen("overlay4.raw");
  Scroller.text = LoadGrayRaw(kScrollWidth * kScrollRows, "scroll.raw");
}

// The text is given back; the background stays to the end of the run.
void CleanUpScrollerScene() {
  std::free(Scroller.text);
  Scroller.text = nullptr;
}
