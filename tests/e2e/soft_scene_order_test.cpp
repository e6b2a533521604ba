// The software scenes inside the real start-up and shut-down: their set-ups read the package in
// the fixed order of the scene list, and their clean-ups give their buffers back in theirs.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "runtime/entry.h"
#include "runtime/timeline.h"
#include "scenes/soft/greetings_scene.h"
#include "scenes/soft/scroller_scene.h"
#include "scenes/soft/tunnel_field_scene.h"
#include "scenes/soft/warp_scene.h"
#include "tests/support/allocation_log.h"
#include "tests/support/headless.h"
#include "tests/support/package_reads.h"

namespace {

using Names = std::vector<std::string>;

// Where `block` appears as a run of consecutive reads, or -1.
long Find(const Names& reads, const Names& block) {
  const auto at = std::search(reads.begin(), reads.end(), block.begin(), block.end());
  return at == reads.end() ? -1 : at - reads.begin();
}

class SoftSceneOrderTest : public HeadlessTest {};

TEST_F(SoftSceneOrderTest, SetUpsReadAndCleanUpsFreeInTheirOrders) {
  std::vector<const void*> expectedFrees;
  backend.onPresent = [&](const FrameView&, std::uint32_t) {
    if (!Playing || !expectedFrees.empty()) return;
    // Tunnel field, sine warp, greetings, scroller: the order of the clean-up list.
    expectedFrees = {TunnelField.texture, TunnelField.depth, TunnelField.angle, Warp.texture6,
                     Greetings.depth,     Greetings.angle,   Greetings.texture1};
    expectedFrees.insert(expectedFrees.end(), Greetings.greetings, Greetings.greetings + 6);
    expectedFrees.push_back(Scroller.text);
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

  // The sine warp's reads and then the greetings', with nothing between them; later the tunnel
  // field's texture and then the scroller's two pictures.
  const Names reads = package_reads::Names();
  Names warpThenGreetings{"texture6.pcx", "texture5.pcx", "overlay1.raw"};
  for (int i = 1; i <= 6; ++i) warpThenGreetings.push_back("text" + std::to_string(i) + ".raw");
  warpThenGreetings.insert(warpThenGreetings.end(), {"texture1.pcx", "texture5.pcx"});
  for (int i = 1; i <= 9; ++i) warpThenGreetings.push_back("greet" + std::to_string(i) + ".pcx");
  const long first = Find(reads, warpThenGreetings);
  const long second = Find(reads, {"texture1.pcx", "overlay4.raw", "scroll.raw"});
  EXPECT_GE(first, 0);
  EXPECT_GT(second, first);

  std::vector<const void*> frees;
  for (const void* block : allocation_log::Frees()) {
    if (std::find(expectedFrees.begin(), expectedFrees.end(), block) != expectedFrees.end()) frees.push_back(block);
  }
  EXPECT_EQ(frees, expectedFrees);
}

}  // namespace
