// The software scenes' set-ups and clean-ups: which members each reads from the package and in
// which order, where the pictures end up, and what each clean-up gives back.
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "data/pcx_loader.h"
#include "scenes/soft/greetings_scene.h"
#include "scenes/soft/scroller_scene.h"
#include "scenes/soft/tunnel_field_scene.h"
#include "scenes/soft/warp_scene.h"
#include "tests/scenes/soft/soft_scene_test.h"
#include "tests/support/allocation_log.h"
#include "tests/support/data_files.h"
#include "tools/common/pcx_writer.h"

namespace {

using namespace soft_test;

PakMember PcxMember(const std::string& name, const Picture& pixels, int height = 256) {
  return {name, EncodePcx(pixels.data(), 256, height)};
}

PakMember RgbMember(const std::string& name, const Picture& pixels) {
  Bytes bytes;
  for (std::uint32_t pixel : pixels) bytes.insert(bytes.end(), {static_cast<std::uint8_t>(pixel >> 16),
                                                                static_cast<std::uint8_t>(pixel >> 8),
                                                                static_cast<std::uint8_t>(pixel)});
  return {name, bytes};
}

PakMember GreyMember(const std::string& name, const Picture& pixels) {
  Bytes bytes;
  for (std::uint32_t pixel : pixels) bytes.push_back(static_cast<std::uint8_t>(pixel));
  return {name, bytes};
}

bool Holds(const std::uint32_t* buffer, const Picture& pixels) {
  return buffer != nullptr && std::equal(pixels.begin(), pixels.end(), buffer);
}

// A scene's members in the order its set-up reads them, with the pictures they hold.
struct SceneData {
  const char* scene;
  std::function<void()> setUp;
  std::vector<PakMember> members;
};

class SceneSetUpTest : public PackageTest {
 protected:
  void SetUp() override {
    PackageTest::SetUp();
    BuildTables();
    for (int i = 0; i < 9; ++i) pcx[i] = RandomPicture(256 * 256, 100 + i);
    for (int i = 0; i < 6; ++i) texts[i] = RandomGreyPicture(200 * 80, 200 + i);
    overlay1 = RandomPicture(512 * 280, 301);
    overlay4 = RandomPicture(512 * 280, 304);
    scroll = RandomGreyPicture(320 * 1120, 305);
  }
  void TearDown() override {
    GiveBackScenes();
    FreeTables();
    PackageTest::TearDown();
  }

  // Frees what the scenes still hold, as the end of the process would.
  static void GiveBackScenes() {
    for (std::uint32_t* p : {Warp.texture6, Warp.texture5, Warp.overlay}) std::free(p);
    for (std::uint32_t* p : Warp.texts) std::free(p);
    std::free(TunnelField.texture);
    std::free(TunnelField.depth);
    std::free(TunnelField.angle);
    std::free(Greetings.depth);
    std::free(Greetings.angle);
    for (std::uint32_t* p : {Greetings.texture1, Greetings.texture5, Greetings.blend}) std::free(p);
    for (std::uint32_t* p : Greetings.greetings) std::free(p);
    std::free(Scroller.background);
    std::free(Scroller.text);
    Warp = WarpScene{};
    TunnelField = TunnelFieldScene{};
    Greetings = GreetingsScene{};
    Scroller = ScrollerScene{};
  }

  std::vector<SceneData> Scenes() const {
    std::vector<PakMember> warp{PcxMember("texture6.pcx", pcx[6]), PcxMember("texture5.pcx", pcx[5]),
                                RgbMember("overlay1.raw", overlay1)};
    for (int i = 0; i < 6; ++i) warp.push_back(GreyMember("text" + std::to_string(i + 1) + ".raw", texts[i]));
    std::vector<PakMember> greetings{PcxMember("texture1.pcx", pcx[1]), PcxMember("texture5.pcx", pcx[5])};
    for (int i = 0; i < 9; ++i) greetings.push_back(PcxMember("greet" + std::to_string(i + 1) + ".pcx", pcx[(i + 2) % 9]));
    return {{"sine warp", SetUpWarpScene, warp},
            {"greetings", SetUpGreetingsScene, greetings},
            {"four-centre tunnel", SetUpTunnelFieldScene, {PcxMember("texture1.pcx", pcx[1])}},
            {"scroller", SetUpScrollerScene, {RgbMember("overlay4.raw", overlay4), GreyMember("scroll.raw", scroll)}}};
  }

  // Sets every scene up from a package of all their members.
  void SetUpAll() {
    std::vector<PakMember> all;
    for (const SceneData& scene : Scenes()) all.insert(all.end(), scene.members.begin(), scene.members.end());
    OpenMembers(all);
    for (const SceneData& scene : Scenes()) ASSERT_EQ(FatalMessageOf(scene.setUp), "") << scene.scene;
  }

  Picture pcx[9], texts[6], overlay1, overlay4, scroll;
};

TEST_F(SceneSetUpTest, EachSetUpReadsItsMembersInItsOrder) {
  // With only the first k members in the package, the set-up stops at member k: "Filesystem
  // error", then the member's name. So member k is the first one read after the k before it.
  for (const SceneData& scene : Scenes()) {
    for (std::size_t k = 0; k < scene.members.size(); ++k) {
      std::vector<PakMember> present(scene.members.begin(), scene.members.begin() + k);
      present.push_back({"unrelated.bin", {1, 2, 3}});
      OpenMembers(present);
      backend.boxes.clear();
      EXPECT_EQ(FatalMessageOf(scene.setUp), scene.members[k].name) << scene.scene << ", member " << k;
      ASSERT_GE(backend.boxes.size(), 2u);
      EXPECT_EQ(backend.boxes[backend.boxes.size() - 2].text, "Filesystem error");
      GiveBackScenes();
    }
  }
}

TEST_F(SceneSetUpTest, PicturesLandWhereTheScenesReadThem) {
  SetUpAll();
  EXPECT_TRUE(Holds(Warp.texture6, pcx[6]));
  EXPECT_TRUE(Holds(Warp.texture5, pcx[5]));
  EXPECT_TRUE(Holds(Warp.overlay, overlay1));
  for (int i = 0; i < 6; ++i) EXPECT_TRUE(Holds(Warp.texts[i], texts[i])) << i;
  EXPECT_TRUE(Holds(Greetings.texture1, pcx[1]));
  EXPECT_TRUE(Holds(Greetings.texture5, pcx[5]));
  EXPECT_NE(Greetings.blend, nullptr);
  for (int i = 0; i < 9; ++i) EXPECT_TRUE(Holds(Greetings.greetings[i], pcx[(i + 2) % 9])) << i;
  EXPECT_TRUE(Holds(TunnelField.texture, pcx[1]));
  EXPECT_TRUE(Holds(Scroller.background, overlay4));
  EXPECT_TRUE(Holds(Scroller.text, scroll));
  // The tables are filled: the deepest entries at the centres, the angle straight up at 256.
  EXPECT_EQ(TunnelField.depth[280 * 1024 + 512], 15000);
  EXPECT_EQ(TunnelField.angle[0 * 1024 + 512], 256);
  EXPECT_EQ(Greetings.depth[139 * 512 + 255], 4100);
  EXPECT_EQ(Greetings.angle[0 * 512 + 256], 255);
  // Scenes that share a member each read it into a buffer of their own.
  EXPECT_NE(Greetings.texture1, TunnelField.texture);
  EXPECT_NE(Greetings.texture5, Warp.texture5);
}

TEST_F(SceneSetUpTest, CleanUpsGiveBackTheirBuffersInOrderAndKeepTheRest) {
  SetUpAll();
  const std::vector<const void*> expected{TunnelField.texture, TunnelField.depth, TunnelField.angle, Warp.texture6,
                                          Greetings.depth,     Greetings.angle,   Greetings.texture1,
                                          Greetings.greetings[0], Greetings.greetings[1], Greetings.greetings[2],
                                          Greetings.greetings[3], Greetings.greetings[4], Greetings.greetings[5],
                                          Scroller.text};
  const WarpScene warp = Warp;
  const GreetingsScene greetings = Greetings;
  allocation_log::Start();
  CleanUpTunnelFieldScene();
  CleanUpWarpScene();
  CleanUpGreetingsScene();
  CleanUpScrollerScene();
  allocation_log::Stop();
  EXPECT_EQ(allocation_log::Frees(), expected);
  // What is given back is forgotten; what stays is still there.
  EXPECT_EQ(TunnelField.texture, nullptr);
  EXPECT_EQ(Warp.texture6, nullptr);
  EXPECT_EQ(Warp.texture5, warp.texture5);
  EXPECT_EQ(Warp.overlay, warp.overlay);
  EXPECT_EQ(Greetings.greetings[5], nullptr);
  EXPECT_EQ(Greetings.greetings[6], greetings.greetings[6]);
  EXPECT_EQ(Greetings.texture5, greetings.texture5);
  EXPECT_EQ(Greetings.blend, greetings.blend);
  EXPECT_EQ(Scroller.text, nullptr);
  EXPECT_NE(Scroller.background, nullptr);
}

TEST_F(SceneSetUpTest, ShortPicturesAreDrawnWithoutReadingPastThem) {
  // A texture of ten lines instead of 256: the scenes still read 256 x 256 texels, and the
  // loader's block is large enough for them (the sanitizer build watches every read).
  Picture tenLines = RandomPicture(256 * 10, 9);
  OpenMembers({PcxMember("texture6.pcx", tenLines, 10), PcxMember("texture5.pcx", tenLines, 10),
               RgbMember("overlay1.raw", overlay1), GreyMember("text1.raw", texts[0]), GreyMember("text2.raw", texts[1]),
               GreyMember("text3.raw", texts[2]), GreyMember("text4.raw", texts[3]), GreyMember("text5.raw", texts[4]),
               GreyMember("text6.raw", texts[5]), PcxMember("texture1.pcx", tenLines, 10)});
  ASSERT_EQ(FatalMessageOf(SetUpWarpScene), "");
  ASSERT_EQ(FatalMessageOf(SetUpTunnelFieldScene), "");
  EXPECT_TRUE(std::equal(tenLines.begin(), tenLines.end(), Warp.texture5));
  Picture canvas(kCanvasWidth * kCanvasHeight);
  for (std::uint32_t a : {0u, 777u, 9999u}) {
    DrawWarpFrame(a, 2, canvas.data(), PixelPath::kPacked);
    DrawWarpFrame(a, 11, canvas.data(), PixelPath::kScalar);
    DrawTunnelFieldFrame(a, canvas.data(), PixelPath::kPacked);
  }
}

}  // namespace
