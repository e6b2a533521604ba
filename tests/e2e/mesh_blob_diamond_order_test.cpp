// The blobs, the diamond and the opening mesh inside the real start-up and shut-down: where their
// set-ups read the package among the other scenes', and where the blobs' clean-up gives back.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "runtime/entry.h"
#include "runtime/timeline.h"
#include "scenes/soft/blobs.h"
#include "scenes/soft/scroller_scene.h"
#include "tests/support/allocation_log.h"
#include "tests/support/headless.h"
#include "tests/support/package_reads.h"

namespace {

using Names = std::vector<std::string>;

long First(const Names& reads, const std::string& name, long from = 0) {
  const auto at = std::find(reads.begin() + from, reads.end(), name);
  return at == reads.end() ? -1 : at - reads.begin();
}

class MeshBlobDiamondOrderTest : public HeadlessTest {};

TEST_F(MeshBlobDiamondOrderTest, SetUpsReadInTheirPlacesAndTheBlobsGiveBackAfterTheScroller) {
  std::vector<const void*> expectedFrees;
  backend.onPresent = [&](const FrameView&, std::uint32_t) {
    if (!Playing || !expectedFrees.empty()) return;
    expectedFrees = {Scroller.text, Blobs.distances, Blobs.environment};
    allocation_log::Start();
  };
  backend.scriptClock = [this] {
    return Playing ? static_cast<std::int64_t>(backend.Milliseconds() - SlotTable[0].start) : -1;
  };
  backend.script.push_back(ScriptedMessage{100, WM_KEYDOWN, VK_ESCAPE});
  package_reads::Start();
  std::string line;
  EXPECT_EQ(WinMain(nullptr, nullptr, line.data(), SW_SHOWDEFAULT), 0);
  package_reads::Stop();
  allocation_log::Stop();
  ASSERT_TRUE(backend.boxes.empty()) << backend.boxes[0].text;

  // The blobs after the greetings and before the tunnel field; the diamond after the scroller and
  // before the floor and ceiling; the opening mesh last of all.
  const Names reads = package_reads::Names();
  const long blobs = First(reads, "overlay3.raw");
  ASSERT_GE(blobs, 0);
  EXPECT_EQ(First(reads, "env1.pcx"), blobs + 1);
  EXPECT_GT(blobs, First(reads, "greet9.pcx"));
  const long tunnelField = First(reads, "texture1.pcx", blobs);
  EXPECT_EQ(tunnelField, blobs + 2);
  const long scroller = First(reads, "scroll.raw");
  const long diamond = First(reads, "texture1.pcx", scroller);
  EXPECT_GT(diamond, scroller);
  EXPECT_GT(First(reads, "texture7.pcx"), diamond);
  EXPECT_EQ(reads.end() - reads.begin() - 3, First(reads, "object3.3ds"));
  EXPECT_EQ(reads.back(), "overlay2.raw");

  std::vector<const void*> frees;
  for (const void* block : allocation_log::Frees()) {
    if (std::find(expectedFrees.begin(), expectedFrees.end(), block) != expectedFrees.end()) frees.push_back(block);
  }
  EXPECT_EQ(frees, expectedFrees);
}

}  // namespace
