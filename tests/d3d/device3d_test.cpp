// The 3D device's start-up and release: every message, the records it creates, the depth-format
// choice, and its place in the program's start-up and shut-down.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "d3d/device3d.h"
#include "display/display.h"
#include "platform/direct3d/d3d_settings.h"
#include "runtime/entry.h"
#include "core/errors.h"
#include "tests/support/headless.h"
#include "tests/support/main_window.h"

namespace {

class Device3DTest : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    ReleaseAll();  // the viewport and depth buffer a run played earlier in this process kept
    Direct3DSettings() = DefaultDirect3DSettings();
  }
  void TearDown() override {
    ReleaseAll();
    HeadlessTest::TearDown();
    Direct3DSettings() = DefaultDirect3DSettings();
  }

  void OpenDisplay(bool windowed) {
    OpenMainDisplay(windowed);
  }

  // Creates the device on a fresh display; the text of the fatal box, or "" when it was created.
  std::string CreateExpectingFatal() {
    try {
      CreateDevice3D();
    } catch (const FatalErrorExit&) {
      EXPECT_EQ(DisplayInterface, nullptr) << "the display is released before the box";
      EXPECT_EQ(backend.boxes.back().caption, kErrorCaption);
      return backend.boxes.back().text;
    }
    return "";
  }

  // The program keeps the viewport and the depth buffer for its whole run; a test gives them back.
  void ReleaseAll() {
    ReleaseDevice3D();
    if (Viewport3D) Viewport3D->Release();
    Viewport3D = nullptr;
    if (DepthBuffer) DepthBuffer->Release();
    DepthBuffer = nullptr;
    ReleaseDisplay();
  }
};

TEST_F(Device3DTest, EveryFailureHasItsMessage) {
  struct Case {
    const char* operation;
    unsigned callAfterOpening;  // which call, counted from the display's opening on
    const char* message;
  } cases[] = {
      {"IDirectDraw4::QueryInterface", 1, "Unable to acquire d3d interface"},
      {"IDirect3D3::EnumZBufferFormats", 1, "Enum Zbuffers error"},
      {"IDirectDraw4::CreateSurface", 1, "Unable to create zbuffer"},
      {"IDirectDrawSurface4::AddAttachedSurface", 1, "Unable to attach zbuffer"},
      {"IDirect3D3::CreateDevice", 1, "Couldn`t create 3d3HAL device"},
      {"IDirect3D3::CreateViewport", 1, "Unable to create viewport"},
      {"IDirect3DDevice3::AddViewport", 1, "Unable to add viewport"},
      {"IDirect3DViewport3::SetViewport2", 1, "Unable to set viewport"},
      {"IDirect3DDevice3::SetCurrentViewport", 1, "Unable to set current viewport"},
  };
  for (bool windowed : {false, true}) {
    for (const Case& c : cases) {
      faults::Reset();
      ResetWindowsState();
      OpenDisplay(windowed);
      faults::Fail(c.operation, faults::Calls(c.operation) + c.callAfterOpening);
      EXPECT_EQ(CreateExpectingFatal(), c.message) << c.operation << (windowed ? " windowed" : " full-screen");
      ReleaseAll();
    }
  }
}

TEST_F(Device3DTest, DepthFormatsWithStencilOnlyOrNoneStopWithNoZbufferSupport) {
  for (const std::vector<DDPIXELFORMAT>& offered :
       {std::vector<DDPIXELFORMAT>{DepthPixelFormat(24, 8), DepthPixelFormat(15, 1)}, std::vector<DDPIXELFORMAT>{}}) {
    Direct3DSettings().depthFormats = offered;
    ResetWindowsState();
    OpenDisplay(false);
    EXPECT_EQ(CreateExpectingFatal(), "No zbuffer support") << offered.size() << " formats";
    EXPECT_EQ(DepthBuffer, nullptr);
    ReleaseAll();
  }
}

TEST_F(Device3DTest, PickDepthFormatTakesTheFirstPlainDepthFormat) {
  DDPIXELFORMAT record{};
  DDPIXELFORMAT stencil = DepthPixelFormat(24, 8), sixteen = DepthPixelFormat(16), thirtyTwo = DepthPixelFormat(32);
  EXPECT_EQ(PickDepthFormat(&stencil, &record), D3DENUMRET_OK);
  EXPECT_EQ(record.dwSize, 0u) << "a format with stencil is passed over";
  EXPECT_EQ(PickDepthFormat(&sixteen, &record), D3DENUMRET_CANCEL);
  EXPECT_EQ(record.dwSize, 32u);
  EXPECT_EQ(record.dwZBufferBitDepth, 16u);
  // Through the enumeration: the stencil format comes first and is skipped, 16 bits wins over 32.
  Direct3DSettings().depthFormats = {stencil, sixteen, thirtyTwo};
  OpenDisplay(false);
  CreateDevice3D();
  ASSERT_NE(DepthBuffer, nullptr);
  EXPECT_EQ(DepthBuffer->Format().dwZBufferBitDepth, 16u);
  EXPECT_EQ(DepthBuffer->Format().dwFlags, DDPF_ZBUFFER);
}

TEST_F(Device3DTest, CreatesTheDepthBufferDeviceAndLetterboxViewportAtEveryDepth) {
  struct Display {
    bool windowed;
    std::vector<DWORD> modes;
    DWORD desktop;
  } displays[] = {{false, {32}, 32}, {false, {24}, 32}, {false, {16}, 32}, {true, {32}, 32}, {true, {32}, 24}};
  for (const Display& display : displays) {
    DirectDrawSettings().modeDepths = display.modes;
    DirectDrawSettings().desktopDepth = display.desktop;
    ResetWindowsState();
    OpenDisplay(display.windowed);
    EXPECT_EQ(CreateExpectingFatal(), "") << DisplayDepth;
    ASSERT_NE(Device3D, nullptr);
    // The depth buffer covers the whole back buffer, is attached to it, and the device draws there.
    EXPECT_EQ(DepthBuffer->Width(), 512);
    EXPECT_EQ(DepthBuffer->Height(), 384);
    EXPECT_EQ(DepthBuffer->Caps(), DDSCAPS_ZBUFFER | DDSCAPS_VIDEOMEMORY);
    EXPECT_EQ(DepthBuffer->Format().dwSize, 32u);
    EXPECT_EQ(DepthBuffer->Format().dwFlags, DDPF_ZBUFFER);
    EXPECT_EQ(BackBuffer->AttachedDepth(), DepthBuffer);
    EXPECT_EQ(Device3D->Target(), BackBuffer);
    EXPECT_TRUE(Device3D->DepthTesting());
    const D3DVIEWPORT2& v = Viewport3D->Data();
    EXPECT_EQ(v.dwSize, 44u);
    EXPECT_EQ(v.dwX, 0u);
    EXPECT_EQ(v.dwY, 52u);
    EXPECT_EQ(v.dwWidth, 512u);
    EXPECT_EQ(v.dwHeight, 280u);
    EXPECT_EQ(v.dvClipX, -1.0f);
    EXPECT_EQ(v.dvClipY, 0.5f);
    EXPECT_EQ(v.dvClipWidth, 2.0f);
    EXPECT_EQ(v.dvClipHeight, 1.0f);
    EXPECT_EQ(v.dvMinZ, 0.0f);
    EXPECT_EQ(v.dvMaxZ, 1.0f);
    EXPECT_EQ(Viewport3D->Device(), Device3D);
    ReleaseAll();
  }
}

TEST_F(Device3DTest, ReleaseTwiceAfterAFailedStartOrBeforeAnythingDoesNothing) {
  ReleaseDevice3D();
  OpenDisplay(false);
  faults::Fail("IDirect3D3::CreateViewport", 1);
  EXPECT_EQ(CreateExpectingFatal(), "Unable to create viewport");
  EXPECT_NE(Device3D, nullptr) << "the device was made before the failure";
  ReleaseDevice3D();
  EXPECT_EQ(Device3D, nullptr);
  EXPECT_EQ(Direct3DInterface, nullptr);
  ReleaseDevice3D();
  EXPECT_EQ(Device3D, nullptr);
}

TEST_F(Device3DTest, StartUpCreatesTheDeviceAndShutdownReleasesIt) {
  bool deviceWhilePlaying = false;
  backend.onPresent = [&](const FrameView&, std::uint32_t) { deviceWhilePlaying |= Playing && Device3D != nullptr; };
  backend.scriptClock = [this] { return static_cast<std::int64_t>(backend.ElapsedMilliseconds()); };
  backend.script.push_back(ScriptedMessage{3000, WM_KEYDOWN, VK_ESCAPE});
  std::string line;
  EXPECT_EQ(WinMain(nullptr, nullptr, line.data(), SW_SHOWDEFAULT), 0);
  EXPECT_TRUE(deviceWhilePlaying);
  EXPECT_EQ(Device3D, nullptr);
  EXPECT_EQ(Direct3DInterface, nullptr);
}

TEST_F(Device3DTest, ACardWithoutDepthFormatsStopsTheProgramAtStartUp) {
  Direct3DSettings().depthFormats.clear();
  std::string line;
  EXPECT_EQ(WinMain(nullptr, nullptr, line.data(), SW_SHOWDEFAULT), 0);
  ASSERT_EQ(backend.boxes.size(), 1u);
  EXPECT_EQ(backend.boxes[0].text, "No zbuffer support");
  EXPECT_EQ(backend.boxes[0].caption, kErrorCaption);
}

}  // namespace
