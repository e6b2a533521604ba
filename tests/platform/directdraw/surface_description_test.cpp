#include <gtest/gtest.h>

#include <cstring>

#include "platform/directdraw/ddraw.h"
#include "tests/support/soft_device.h"

namespace {

DDSURFACEDESC2 Described(DWORD size) {
  DDSURFACEDESC2 description;
  std::memset(&description, 0, sizeof(description));
  description.dwSize = size;
  return description;
}

// A record sized for another build must be refused where the real DirectDraw refuses it, or a
// program that fills it wrongly plays here and fails on Windows.
TEST(SurfaceDescription, EveryCallTakesOnlyItsOwnSize) {
  SoftDevice d;
  for (const DWORD size : {DWORD{0}, DWORD{124}, DWORD{sizeof(DDSURFACEDESC2) + 4}}) {
    DDSURFACEDESC2 description = Described(size);
    description.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    description.dwWidth = 8;
    description.dwHeight = 8;
    description.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    IDirectDrawSurface4* surface = nullptr;
    EXPECT_EQ(d.directDraw->CreateSurface(&description, &surface, nullptr), DDERR_INVALIDPARAMS) << size;
    EXPECT_EQ(surface, nullptr);
    DDSURFACEDESC2 locked = Described(size);
    EXPECT_EQ(d.target->Lock(nullptr, &locked, DDLOCK_WRITEONLY, nullptr), DDERR_INVALIDPARAMS) << size;
    EXPECT_EQ(locked.lpSurface, nullptr);
    DDSURFACEDESC2 asked = Described(size);
    EXPECT_EQ(d.target->GetSurfaceDesc(&asked), DDERR_INVALIDPARAMS) << size;
    EXPECT_EQ(asked.dwWidth, 0u);
  }
  // The refused lock left the surface unlocked: the right size locks it now.
  DDSURFACEDESC2 locked = Described(sizeof(DDSURFACEDESC2));
  ASSERT_EQ(d.target->Lock(nullptr, &locked, DDLOCK_WRITEONLY, nullptr), DD_OK);
  EXPECT_NE(locked.lpSurface, nullptr);
  EXPECT_EQ(d.target->Unlock(nullptr), DD_OK);
}

}  // namespace
