// The loading picture: shown in the picture area, then left standing for two seconds.
#include <gtest/gtest.h>

#include <vector>

#include "display/loading_picture.h"
#include "data/raw_loaders.h"
#include "display/display.h"
#include "core/canvas.h"
#include "runtime/entry.h"
#include "tests/support/data_files.h"
#include "tests/support/main_window.h"

namespace {

class LoadingPictureTest : public PackageTest {
 protected:
  void SetUp() override {
    PackageTest::SetUp();
    canvas.assign(kCanvasBytes / 4, 0xDEADBEEF);
    Canvas = canvas.data();
    CreateMainWindow(false);
  }
  void TearDown() override {
    ReleaseDisplay();
    PackageTest::TearDown();
  }

  std::vector<std::uint32_t> canvas;
};

TEST_F(LoadingPictureTest, GreyPictureIsPresentedThenStandsForTwoSecondsWithMessagesWaiting) {
  Bytes grey(kRawScreenPixels);
  for (std::size_t i = 0; i < grey.size(); ++i) grey[i] = static_cast<std::uint8_t>(i % 512 / 2 + i / 512 % 7);
  OpenMembers({{"load.raw", grey}});
  for (DWORD depth : {32u, 24u}) {
    ReleaseDisplay();
    DirectDrawSettings().modeDepths = {depth};
    OpenFullScreen();
    std::vector<std::uint8_t> shown;
    std::uint32_t shownAt = 0;
    int frames = 0;
    backend.onPresent = [&](const FrameView& frame, std::uint32_t now) {
      ++frames;
      shownAt = now;
      shown.assign(frame.pixels, frame.pixels + static_cast<std::size_t>(frame.pitch) * frame.height);
    };
    backend.frameStepMicroseconds = 0;
    PostBackendMessage(WM_KEYDOWN, VK_ESCAPE);
    const std::uint32_t before = timeGetTime();

    ShowLoadingPicture();

    EXPECT_EQ(frames, 1);
    EXPECT_EQ(timeGetTime() - shownAt, 2000u);
    EXPECT_GE(shownAt, before);
    EXPECT_EQ(Canvas[513], 0x00010101u * grey[513]);
    const int bytesPerPixel = static_cast<int>(depth) / 8;
    const int pitch = static_cast<int>(shown.size() / 384);
    for (int row : {0, 51, 52, 200, 331, 332, 383}) {
      for (int x : {0, 255, 511}) {
        const std::uint8_t* pixel = shown.data() + row * pitch + x * bytesPerPixel;
        const std::uint8_t expected = row >= 52 && row < 332 ? grey[(row - 52) * 512 + x] : 0;
        EXPECT_EQ(pixel[0], expected) << depth << " bits, row " << row << " x " << x;
        EXPECT_EQ(pixel[2], expected);
      }
    }
    EXPECT_EQ(DrainMessages().size(), 1u) << "no message is taken while the picture stands";
  }
}

TEST_F(LoadingPictureTest, MissingPictureIsTheArchivesFatalError) {
  OpenMembers({{"other.raw", Bytes(10)}});
  OpenFullScreen();
  EXPECT_EQ(FatalMessageOf([] { ShowLoadingPicture(); }), "load.raw");
  EXPECT_EQ(BoxTexts(), (std::vector<std::string>{"Filesystem error", "load.raw"}));
}

}  // namespace
