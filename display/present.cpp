#include "display/present.h"

#include <cstring>

#include "display/canvas_pixels.h"
#include "display/display.h"
#include "core/canvas.h"
#include "runtime/entry.h"
#include "core/errors.h"

std::uint8_t* SurfacePointer = nullptr;
std::int32_t SurfacePitch = 0;

namespace {

std::uint8_t* PictureRow(int canvasRow) {
  return SurfacePointer + static_cast<std::ptrdiff_t>(kPictureTop + canvasRow) * SurfacePitch;
}

void CopyCanvas32() {
  if (SurfacePitch == kCanvasWidth * 4) {
    std::memcpy(PictureRow(0), Canvas, kCanvasBytes);
    return;
  }
  // A surface with padded rows takes the canvas row by row.
  for (int r = 0; r < kCanvasHeight; ++r) {
    std::memcpy(PictureRow(r), Canvas + r * kCanvasWidth, kCanvasWidth * 4);
  }
}

void CopyCanvas24() {
  for (int r = 0; r < kCanvasHeight; ++r) {
    const std::uint32_t* source = Canvas + r * kCanvasWidth;
    std::uint8_t* row = PictureRow(r);
    for (int x = 0; x < kCanvasWidth; ++x) StoreCanvasPixel24(row + 3 * x, source[x]);
  }
}

// A 16-bit display shows the canvas in 5-6-5, keeping the top bits of each channel.
void CopyCanvas16() {
  for (int r = 0; r < kCanvasHeight; ++r) {
    const std::uint32_t* source = Canvas + r * kCanvasWidth;
    std::uint8_t* row = PictureRow(r);
    for (int x = 0; x < kCanvasWidth; ++x) {
      const std::uint16_t v = CanvasPixel565(source[x]);
      std::memcpy(row + 2 * x, &v, 2);
    }
  }
}

}  // namespace

void LockBackBuffer() {
  DDSURFACEDESC2 description;
  std::memset(&description, 0, sizeof(description));
  description.dwSize = sizeof(description);
  description.dwFlags = DDSD_LPSURFACE;
  if (BackBuffer->Lock(nullptr, &description, DDLOCK_WAIT | DDLOCK_WRITEONLY, nullptr) != DD_OK) {
    FatalError("Unable to lock surface");
  }
  SurfacePointer = static_cast<std::uint8_t*>(description.lpSurface);
  SurfacePitch = description.lPitch;
}

void UnlockBackBuffer() {
  if (BackBuffer->Unlock(nullptr) != DD_OK) FatalError("Unable to unlock surface");
}

void CopyCanvas() {
  LockBackBuffer();
  if (DisplayDepth == 32) CopyCanvas32();
  else if (DisplayDepth == 24) CopyCanvas24();
  else if (DisplayDepth == 16) CopyCanvas16();
  UnlockBackBuffer();
}

void PresentFrame() {
  if (WindowedMode) {
    POINT origin{0, 0};
    ClientToScreen(MainWindow, &origin);
    RECT client;
    GetClientRect(MainWindow, &client);
    OffsetRect(&client, origin.x, origin.y);
    if (PrimarySurface->Blt(&client, BackBuffer, nullptr, DDBLT_WAIT, nullptr) != DD_OK) {
      ShowMessage("unable to blit");
    }
  } else {
    PrimarySurface->Flip(nullptr, DDFLIP_WAIT);
  }
}
