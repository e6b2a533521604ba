// The fuzz entry points on fixed inputs: the seeds are read through (and become the fuzzers'
// corpus), and mutated or cut seeds end either read through or with a fatal box, never worse.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "fuzz/fuzz_targets.h"
#include "runtime/errors.h"
#include "tests/soundlib/sound_test.h"
#include "tests/support/data_files.h"
#include "tools/common/pcx_writer.h"

namespace {

namespace fs = std::filesystem;

struct Target {
  const char* reader;  // as in the fuzzer's name, kaleth-fuzz-<reader>
  bool (*entry)(const std::uint8_t*, std::size_t);
  std::vector<Bytes> seeds;
};

Bytes PcxSeed(int width, int height) {
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
  for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = i % 37 < 20 ? 0x00C0FFEEu : static_cast<std::uint32_t>(i * 2654435761u) & 0xFFFFFF;
  return EncodePcx(pixels.data(), width, height);
}

std::vector<Target> Targets() {
  const std::vector<MeshVector> vertices{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 1}};
  const std::vector<MeshFace> faces{{0, 1, 2, 7}, {0, 2, 3, 7}};
  const Bytes lists = Join({VertexChunk(vertices), FaceChunk(faces, Chunk(0x4150, Bytes(8, 0))),
                            MappingChunk({{0, 0}, {1, 0}, {1, 1}, {0, 1}})});
  return {
      {"pak_directory",
       FuzzPakDirectory,
       {PackageOf({{"load.raw", Bytes(40, 1)}, {"texture1.pcx", {2, 3}}, {"a\r", {}}}),
        PackageOf({{std::string(30, 'n'), Bytes(9, 4)}})}},
      {"pcx", FuzzPcx, {PcxSeed(256, 6), PcxSeed(320, 2), PcxSeed(6, 3)}},
      {"mesh3ds",
       FuzzMesh3ds,
       {MeshMember(MeshObject("Obj", lists)),
        MeshMember(Join({Chunk(0xAFFF, Chunk(0xA000, {'m', 0})), MeshObject("A", lists), MeshObject("B", lists)}))}},
      {"module", FuzzModule, {BuildXm(BeatSong()), BuildXm(XmSong{.channels = 2, .instruments = 1, .patterns = {XmPattern{4, std::vector<XmCell>(8, XmCell{49, 1})}}})}},
  };
}

// A small deterministic generator, so that every run feeds the same inputs.
struct Shuffler {
  std::uint32_t state = 2463534242u;
  std::uint32_t Next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
  }
};

using FuzzInputs = HeadlessTest;

TEST_F(FuzzInputs, SeedsAreReadThroughAndWrittenAsTheCorpus) {
  const char* corpus = std::getenv("KALETH_FUZZ_CORPUS");
  const fs::path root = corpus != nullptr ? fs::path(corpus) : fs::path("fuzz-corpus");
  for (const Target& target : Targets()) {
    const fs::path folder = root / target.reader;
    fs::create_directories(folder);
    for (std::size_t i = 0; i < target.seeds.size(); ++i) {
      const Bytes& seed = target.seeds[i];
      EXPECT_TRUE(target.entry(seed.data(), seed.size())) << target.reader << " seed " << i;
      std::ofstream((folder / ("seed-" + std::to_string(i))).string(), std::ios::binary)
          .write(reinterpret_cast<const char*>(seed.data()), static_cast<std::streamsize>(seed.size()));
    }
  }
  for (const RecordedBox& box : backend.boxes) EXPECT_EQ(box.text, "wrong pcxfile") << "only the narrow seeds warn";
}

TEST_F(FuzzInputs, CutAndMutatedSeedsEndReadThroughOrWithAFatalBox) {
  Shuffler shuffler;
  for (const Target& target : Targets()) {
    int readThrough = 0, fatal = 0;
    auto feed = [&](const Bytes& input) {
      const std::size_t boxesBefore = backend.boxes.size();
      if (target.entry(input.data(), input.size())) {
        ++readThrough;
      } else {
        ++fatal;
        ASSERT_GT(backend.boxes.size(), boxesBefore) << target.reader << ": a fatal end without its box";
        EXPECT_EQ(backend.boxes.back().caption, kErrorCaption);
      }
      EXPECT_EQ(CountQuits(), 0) << "the entry takes its quit off the queue";
      backend.boxes.clear();
    };
    for (const Bytes& seed : target.seeds) {
      // Every cut, up to a few hundred of them a seed.
      const std::size_t step = std::max<std::size_t>(1, seed.size() / 300);
      for (std::size_t length = 0; length < seed.size(); length += step) feed(Bytes(seed.begin(), seed.begin() + length));
      // Bytes overwritten, including the all-ones and all-zero values that counts and lengths dread.
      for (int round = 0; round < 600; ++round) {
        Bytes input = seed;
        const int changes = 1 + static_cast<int>(shuffler.Next() % 4);
        for (int c = 0; c < changes; ++c) {
          const std::uint32_t choice = shuffler.Next();
          const std::uint8_t value = choice % 3 == 0 ? 0xFF : choice % 3 == 1 ? 0x00 : static_cast<std::uint8_t>(choice >> 8);
          input[shuffler.Next() % input.size()] = value;
        }
        feed(input);
      }
    }
    EXPECT_GT(readThrough, 0) << target.reader;
    EXPECT_GT(fatal, 0) << target.reader;
  }
}

}  // namespace
