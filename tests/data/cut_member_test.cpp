// A package whose file ends inside a member: every reader that reaches the missing bytes says
// which member the package has lost the end of, where a short read is not the format's own
// error to report.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "data/mesh3ds.h"
#include "data/pcx_loader.h"
#include "data/raw_loaders.h"
#include "tests/support/data_files.h"

namespace {

class CutMemberTest : public PackageTest {
 protected:
  // Opens a package holding only `member`, of which the file keeps the first `kept` bytes.
  void OpenCut(const std::string& name, const Bytes& member, std::size_t kept) {
    Bytes package = PackageOf({{name, member}});
    package.resize(package.size() - member.size() + kept);
    OpenPackage(package);
  }
};

Bytes PlainPcx(std::uint16_t lines) {
  Bytes data;
  for (int i = 0; i < lines * 3 * 256 / 32; ++i) data.insert(data.end(), {0xE0, 0x7F});  // runs of 32
  return PcxMember(256, 0, static_cast<std::uint16_t>(lines - 1), data);
}

TEST_F(CutMemberTest, EveryPictureReaderNamesTheMemberAndWhatIsLeftOfIt) {
  struct Case {
    std::string name;
    Bytes member;
    std::size_t kept;
    std::function<void*()> load;
  };
  const Bytes pcx = PlainPcx(256);
  const Case cases[] = {
      {"load.raw", Bytes(kRawScreenPixels, 9), 1000, [] { return LoadRaw8Screen("load.raw"); }},
      {"overlay1.raw", Bytes(kRawScreenPixels * 3, 9), kRawScreenPixels * 3 - 1,
       [] { return LoadRgbRawScreen("overlay1.raw"); }},
      {"upperframe.raw", Bytes(kRawStripPixels * 3, 9), 0, [] { return LoadRgbRawStrip("upperframe.raw"); }},
      {"text1.raw", Bytes(16000, 9), 8000, [] { return LoadGrayRaw(16000, "text1.raw"); }},
      // Inside the header, and inside the run-length data.
      {"texture1.pcx", pcx, 64, [] { return LoadPcx("texture1.pcx"); }},
      {"texture5.pcx", pcx, pcx.size() / 2, [] { return LoadPcx("texture5.pcx"); }},
      // What is left is too little for the picture's size, but the whole member was not.
      {"texture6.pcx", PlainPcx(1024), 300, [] { return LoadPcx("texture6.pcx"); }},
  };
  for (const Case& c : cases) {
    OpenCut(c.name, c.member, c.kept);
    backend.boxes.clear();
    EXPECT_EQ(FatalMessageOf([&] { std::free(c.load()); }),
              "Package file is damaged: " + c.name + " is cut short (" + std::to_string(c.kept) + " of " +
                  std::to_string(c.member.size()) + " bytes)");
    EXPECT_EQ(backend.boxes.size(), 1u) << c.name;
  }

  // A cut that the read never reaches is none of the picture's business.
  OpenCut("overlay2.raw", Bytes(kRawScreenPixels * 3 + 1000, 0x11), kRawScreenPixels * 3 + 500);
  backend.boxes.clear();
  std::uint32_t* picture = nullptr;
  EXPECT_EQ(FatalMessageOf([&] { picture = LoadRgbRawScreen("overlay2.raw"); }), "");
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture[kRawScreenPixels - 1], 0x00111111u);
  std::free(picture);
}

TEST_F(CutMemberTest, TheMeshKeepsItsOwnMessagesOnceItHasAChunkToRead) {
  const Bytes member = MeshMember(MeshObject("Tri", VertexChunk({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}})));
  Mesh3ds mesh;
  // Not even the first chunk's id is left.
  OpenCut("object3.3ds", member, 1);
  EXPECT_EQ(FatalMessageOf([&] { mesh.load("object3.3ds"); }),
            "Package file is damaged: object3.3ds is cut short (1 of " + std::to_string(member.size()) + " bytes)");
  // A chunk header, and a list, that the end of the file cuts off.
  OpenCut("object3.3ds", member, 8);
  EXPECT_EQ(FatalMessageOf([&] { mesh.load("object3.3ds"); }), "End of 3ds file reached (corrupt?)");
  OpenCut("object3.3ds", member, member.size() - 1);
  EXPECT_EQ(FatalMessageOf([&] { mesh.load("object3.3ds"); }), "Unable to read from 3ds file");
}

}  // namespace
