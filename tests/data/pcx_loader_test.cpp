// PCX pictures: the run-length code, the header fields the loader reads, and damaged pictures.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "data/pcx_loader.h"
#include "tests/support/data_files.h"
#include "tools/common/pcx_writer.h"

namespace {

class PcxLoaderTest : public PackageTest {
 protected:
  // Loads `member` as "p.pcx" and gives back its first `pixels` pixels.
  std::vector<std::uint32_t> Load(const Bytes& member, std::size_t pixels) {
    OpenMembers({{"p.pcx", member}, {"after", Bytes(64, 0x55)}});
    std::uint32_t* picture = LoadPcx("p.pcx");
    std::vector<std::uint32_t> result(picture, picture + pixels);
    std::free(picture);
    return result;
  }

  // A 256-wide line whose red, green and blue planes are each one value, as three runs of 63+.
  static Bytes PlainLine(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    Bytes line;
    for (std::uint8_t value : {red, green, blue}) {
      for (int left = 256; left > 0; left -= 63) line.insert(line.end(), {static_cast<std::uint8_t>(0xC0 | std::min(left, 63)), value});
    }
    return line;
  }
};

TEST_F(PcxLoaderTest, RunsLiteralsAndEmptyRunsDecodeAsTheCodeSays) {
  // Line 0: C1 C5 writes one C5, BF is a literal, C0 xx writes nothing and eats both bytes;
  // then runs fill the rest of the red plane and the other two planes.
  Bytes data{0xC1, 0xC5, 0xBF, 0xC0, 0x99};
  for (int left = 254; left > 0; left -= 63) data.insert(data.end(), {static_cast<std::uint8_t>(0xC0 | std::min(left, 63)), 0x10});
  // A run may go on from one plane into the next inside a line.
  for (int left = 512; left > 0; left -= 63) data.insert(data.end(), {static_cast<std::uint8_t>(0xC0 | std::min(left, 63)), 0x20});
  const std::vector<std::uint32_t> pixels = Load(PcxMember(256, 0, 0, data), 256);
  EXPECT_EQ(pixels[0], 0x00C52020u);
  EXPECT_EQ(pixels[1], 0x00BF2020u);
  EXPECT_EQ(pixels[2], 0x00102020u);
  EXPECT_EQ(pixels[255], 0x00102020u);
  EXPECT_TRUE(backend.boxes.empty());
}

TEST_F(PcxLoaderTest, HeightIsYmaxMinusYminPlusOneAndTheReservedByteMustBeZero) {
  Bytes data;
  for (int y = 0; y < 256; ++y) data = Join({data, PlainLine(static_cast<std::uint8_t>(y), 1, 2)});
  const std::vector<std::uint32_t> full = Load(PcxMember(256, 0, 255, data), 256 * 256);
  EXPECT_EQ(full[0], 0x00000102u);
  EXPECT_EQ(full[256 * 255 + 255], 0x00FF0102u);

  // Ymin 10, Ymax 19: ten lines, and the rest of the usual 256 x 256 block is black.
  const std::vector<std::uint32_t> ten = Load(PcxMember(256, 10, 19, data), 256 * 256);
  EXPECT_EQ(ten[256 * 9], 0x00090102u);
  EXPECT_EQ(ten[256 * 10], 0u);
  EXPECT_EQ(ten[256 * 256 - 1], 0u);

  EXPECT_EQ(FatalMessageOf([&] { Load(PcxMember(256, 0, 255, data, 1), 1); }), "File format not supported");
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"File format not supported"});
  EXPECT_EQ(FatalMessageOf([&] { Load(PcxMember(256, 20, 19, data), 1); }), "pcxfile has Ymax below Ymin");
}

TEST_F(PcxLoaderTest, OtherWidthsShowTheMessageAndStillDecodeAtTheirWidth) {
  std::mt19937 random(7);
  std::vector<std::uint32_t> source(320 * 3);
  for (std::uint32_t& pixel : source) pixel = random() & 0xFFFFFF;
  EXPECT_EQ(Load(EncodePcx(source.data(), 320, 3), source.size()), source);
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"wrong pcxfile"});

  backend.boxes.clear();
  const std::vector<std::uint32_t> narrow(source.begin(), source.begin() + 4 * 2);
  const std::vector<std::uint32_t> loaded = Load(EncodePcx(narrow.data(), 4, 2), 256 * 256);
  EXPECT_EQ(std::vector<std::uint32_t>(loaded.begin(), loaded.begin() + 8), narrow);
  EXPECT_EQ(loaded[8], 0u);
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"wrong pcxfile"});

  backend.boxes.clear();
  const std::vector<std::uint32_t> none = Load(PcxMember(0, 0, 9, {}), 256 * 256);
  EXPECT_EQ(none, std::vector<std::uint32_t>(256 * 256, 0));
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"wrong pcxfile"});
}

TEST_F(PcxLoaderTest, DamagedDataStaysInsideThePicture) {
  // A run over the end of line 0 goes on into line 1 (as if the picture were one stream), and
  // one over the end of the picture is cut there.
  Bytes data;
  for (int runs = 0; runs < 12; ++runs) data.insert(data.end(), {0xFF, 0x30});  // 756 bytes
  data.insert(data.end(), {0xFF, 0x40});                                      // 12 + 51 bytes
  for (int runs = 0; runs < 13; ++runs) data.insert(data.end(), {0xFF, 0x50});  // 717 + 102 bytes
  std::vector<std::uint32_t> pixels = Load(PcxMember(256, 0, 1, data), 256 * 256);
  EXPECT_EQ(pixels[0], 0x00303030u);
  EXPECT_EQ(pixels[255], 0x00303040u);
  EXPECT_EQ(pixels[256 + 50], 0x00405050u);
  EXPECT_EQ(pixels[256 + 51], 0x00505050u);
  EXPECT_EQ(pixels[511], 0x00505050u);
  EXPECT_EQ(pixels[512], 0u);

  // Data that ends early: the rest of the picture is black, and the next member is not read.
  const Bytes twoLines = Join({PlainLine(9, 9, 9), PlainLine(8, 8, 8)});
  pixels = Load(PcxMember(256, 0, 255, Bytes(twoLines.begin(), twoLines.end() - 2)), 256 * 256);
  EXPECT_EQ(pixels[256], 0x00080808u);
  EXPECT_EQ(pixels[511], 0x00080800u);
  EXPECT_EQ(pixels[512], 0u);
  EXPECT_EQ(pixels[256 * 256 - 1], 0u);

  // A member too short even for its header reads as a picture of no width.
  pixels = Load(Bytes(40, 0), 256 * 256);
  EXPECT_EQ(pixels, std::vector<std::uint32_t>(256 * 256, 0));

  // A header asking for far more than its data could ever encode is refused before allocating.
  EXPECT_EQ(FatalMessageOf([&] { Load(PcxMember(0xFFFF, 0, 0xFFFF, {0xFF, 1}), 1); }),
            "pcxfile too small for its picture size");
}

TEST_F(PcxLoaderTest, EncodedPicturesComeBackPixelForPixel) {
  std::mt19937 random(11);
  std::vector<std::uint32_t> source(256 * 256);
  // Noise, flat stretches longer than a run, and bytes that look like run headers.
  for (std::size_t i = 0; i < source.size(); ++i) {
    source[i] = (i / 256) % 3 == 0 ? 0x00C0C1FFu : (i / 256) % 3 == 1 ? 0x00123456u : random() & 0xFFFFFF;
  }
  EXPECT_EQ(Load(EncodePcx(source.data(), 256, 256), source.size()), source);
  EXPECT_TRUE(backend.boxes.empty());
}

}  // namespace
