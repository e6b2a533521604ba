#include "display/loading_picture.h"

#include <cstring>

#include "data/checked_buffer.h"
#include "data/raw_loaders.h"
#include "display/present.h"
#include "platform/windows/win32.h"
#include "core/canvas.h"

static_assert(kRawScreenPixels * 4 == kCanvasBytes);

void ShowLoadingPicture() {
  CheckedBuffer<std::uint8_t> grey(LoadRaw8Screen("load.raw"));
  CheckedBuffer<std::uint32_t> picture = AllocateChecked<std::uint32_t>(kRawScreenPixels);
  GrayToPixels(grey.get(), picture.get(), kRawScreenPixels);
  std::memcpy(Canvas, picture.get(), kCanvasBytes);
  CopyCanvas();
  PresentFrame();
  Sleep(2000);
}
