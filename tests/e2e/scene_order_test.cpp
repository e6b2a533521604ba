// The scenes inside the real start-up and shut-down: their set-ups read the package in the fixed
// order of the scene list, and their clean-ups give their buffers back in theirs.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "runtime/session.h"
#include "runtime/entry.h"
#include "runtime/timeline.h"
#include "scenes/soft/environment_blobs.h"
#include "scenes/soft/greetings_scene.h"
#include "scenes/soft/scroller_scene.h"
#include "scenes/soft/tunnel_field_scene.h"
#include "scenes/soft/warp_scene.h"
#include "tests/support/allocation_log.h"
#include "tests/support/headless.h"
#include "tests/support/package_reads.h"

namespace {

using Names = std::vector<std::string>;
using Blocks = std::vector<const void*>;

// Where `block` appears as a run of consecutive reads, or -1.
long Find(const Names& reads, const Names& block, long from = 0) {
  const auto at = std::search(reads.begin() + from, reads.end(), block.begin(), block.end());
  return at == reads.end() ? -1 : at - reads.begin();
}

class SceneOrderTest : public HeadlessTest {
 protected:
  // Plays from the start-up until Escape 100 ms into slot 0. `watched` names, once the set-ups
  // have run, the blocks whose release is followed; `frees` keeps their releases in order.
  void Play(const std::function<Blocks()>& watched) {
    Blocks watching;
    backend.onPresent = [&](const FrameView&, std::uint32_t) {
      if (!Playing || !watching.empty()) return;
      watching = watched();
      allocation_log::Start();
    };
    backend.scriptClock = [this] {
      return WhereIs(backend.Milliseconds()).timelineMs;
    };
    backend.script.push_back(ScriptedMessage{100, WM_KEYDOWN, VK_ESCAPE});
    package_reads::Start();
    std::string line;
    EXPECT_EQ(WinMain(nullptr, nullptr, line.data(), SW_SHOWDEFAULT), 0);
    package_reads::Stop();
    allocation_log::Stop();
    ASSERT_TRUE(backend.boxes.empty()) << backend.boxes[0].text;
    reads = package_reads::Names();
    for (const void* block : allocation_log::Frees()) {
      if (std::find(watching.begin(), watching.end(), block) != watching.end()) frees.push_back(block);
    }
  }

  Names reads;
  Blocks frees;
};

TEST_F(SceneOrderTest, SoftwareScenesReadAndFreeInTheirOrders) {
  Blocks expectedFrees;
  Play([&] {
    // Tunnel field, sine warp, greetings, scroller: the order of the clean-up list.
    expectedFrees = {TunnelField.texture, TunnelField.depth, TunnelField.angle, Warp.texture6,
                     Greetings.depth,     Greetings.angle,   Greetings.texture1};
    expectedFrees.insert(expectedFrees.end(), Greetings.greetings, Greetings.greetings + 6);
    expectedFrees.push_back(Scroller.text);
    return expectedFrees;
  });

  // The sine warp's reads and then the greetings', with nothing between them; later the tunnel
  // field's texture and then the scroller's two pictures.
  Names warpThenGreetings{"texture6.pcx", "texture5.pcx", "overlay1.raw"};
  for (int i = 1; i <= 6; ++i) warpThenGreetings.push_back("text" + std::to_string(i) + ".raw");
  warpThenGreetings.insert(warpThenGreetings.end(), {"texture1.pcx", "texture5.pcx"});
  for (int i = 1; i <= 9; ++i) warpThenGreetings.push_back("greet" + std::to_string(i) + ".pcx");
  const long first = Find(reads, warpThenGreetings);
  const long second = Find(reads, {"texture1.pcx", "overlay4.raw", "scroll.raw"});
  EXPECT_GE(first, 0);
  EXPECT_GT(second, first);
  EXPECT_EQ(frees, expectedFrees);
}

TEST_F(SceneOrderTest, BlobsDiamondAndMeshReadInTheirPlacesAndTheBlobsGiveBackAfterTheScroller) {
  Blocks expectedFrees;
  Play([&] {
    expectedFrees = {Scroller.text, EnvironmentBlobs.distances, EnvironmentBlobs.environment};
    return expectedFrees;
  });

  // The blobs after the greetings and before the tunnel field; the diamond after the scroller and
  // before the floor and ceiling; the opening mesh last of all.
  const long blobs = Find(reads, {"overlay3.raw", "env1.pcx"});
  ASSERT_GE(blobs, 0);
  EXPECT_GT(blobs, Find(reads, {"greet9.pcx"}));
  EXPECT_EQ(Find(reads, {"texture1.pcx"}, blobs), blobs + 2) << "the tunnel field's texture next";
  const long scroller = Find(reads, {"scroll.raw"});
  const long diamond = Find(reads, {"texture1.pcx"}, scroller);
  EXPECT_GT(diamond, scroller);
  EXPECT_GT(Find(reads, {"texture7.pcx"}), diamond);
  EXPECT_EQ(static_cast<long>(reads.size()) - 3, Find(reads, {"object3.3ds"}));
  EXPECT_EQ(reads.back(), "overlay2.raw");
  EXPECT_EQ(frees, expectedFrees);
}

}  // namespace
