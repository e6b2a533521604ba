// The fuzz entry points on fixed inputs: the seeds are read through and are the committed corpus
// the fuzzers start from; every input a fuzzer found and was kept, and mutated or cut seeds, end
// either read through or with a fatal box, never worse.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "fuzz/fuzz_targets.h"
#include "core/errors.h"
#include "tests/platform/soundlib/sound_test.h"
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

Bytes FileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class FuzzInputs : public HeadlessTest {
 protected:
  // Feeds one input to the entry; true when it was read through. A fatal end must have shown its
  // box, and either end leaves no quit behind. `lastBox` receives the last box's text, or "".
  bool Feed(const Target& target, const Bytes& input, const std::string& what, std::string* lastBox = nullptr) {
    const std::size_t boxesBefore = backend.boxes.size();
    const bool readThrough = target.entry(input.data(), input.size());
    if (!readThrough) {
      EXPECT_GT(backend.boxes.size(), boxesBefore) << what << ": a fatal end without its box";
      if (backend.boxes.size() > boxesBefore) {
        EXPECT_EQ(backend.boxes.back().caption, kErrorCaption) << what;
      }
    }
    if (lastBox != nullptr) *lastBox = backend.boxes.size() > boxesBefore ? backend.boxes.back().text : "";
    EXPECT_EQ(CountQuits(), 0) << what << ": the entry takes its quit off the queue";
    backend.boxes.clear();
    return readThrough;
  }
};

// fuzz-corpus/READER/seed-N, committed, is where make fuzz-smoke starts from; it must hold exactly
// the seeds made here. With KALETH_FUZZ_CORPUS=DIR the seeds are written into DIR instead, which
// is how the committed ones are made again after a reader's format changed.
TEST_F(FuzzInputs, TheCommittedCorpusHoldsTheseSeedsAndEachIsReadThrough) {
  const char* rewrite = std::getenv("KALETH_FUZZ_CORPUS");
  const fs::path root = rewrite != nullptr ? fs::path(rewrite) : fs::path(KALETH_SOURCE_DIR) / "fuzz-corpus";
  for (const Target& target : Targets()) {
    const fs::path folder = root / target.reader;
    if (rewrite != nullptr) fs::create_directories(folder);
    for (std::size_t i = 0; i < target.seeds.size(); ++i) {
      const Bytes& seed = target.seeds[i];
      const fs::path file = folder / ("seed-" + std::to_string(i));
      EXPECT_TRUE(target.entry(seed.data(), seed.size())) << file;
      if (rewrite != nullptr) {
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(seed.data()), static_cast<std::streamsize>(seed.size()));
      } else {
        EXPECT_TRUE(FileBytes(file) == seed) << file << " is not the seed made here: write it again with KALETH_FUZZ_CORPUS";
      }
    }
    const auto files = std::distance(fs::directory_iterator(folder), fs::directory_iterator());
    EXPECT_EQ(static_cast<std::size_t>(files), target.seeds.size()) << folder << " holds other files";
  }
  for (const RecordedBox& box : backend.boxes) EXPECT_EQ(box.text, "wrong pcxfile") << "only the narrow seeds warn";
}

// tests/fuzz/regressions/READER/NAME: each input a fuzzer found, kept under a name that says what
// it exercises, fed again through the entry point the fuzzer called, and the end it must come to:
// the text of its box, read through or not. A file kept without its line here fails.
TEST_F(FuzzInputs, EveryKeptInputComesToItsOwnEnd) {
  struct End {
    bool readThrough;
    std::string box;  // "" for none
  };
  const std::map<std::string, End> ends = {
      {"pak_directory/directory-of-one-byte", {false, "Package file seems to be corrupted"}},
      {"pcx/data-shorter-than-the-picture", {false, "pcxfile too small for its picture size"}},
      {"pcx/narrower-than-256-warns", {true, "wrong pcxfile"}},
      {"pcx/unsupported-format", {false, "File format not supported"}},
      {"pcx/ymax-below-ymin", {false, "pcxfile has Ymax below Ymin"}},
      {"mesh3ds/bad-chunk-length", {false, "Bad chunk length in 3ds file (corrupt?)"}},
      {"mesh3ds/ends-inside-the-first-chunk-header", {false, "End of 3ds file reached (corrupt?)"}},
      {"mesh3ds/face-refers-to-a-missing-vertex", {false, "3ds face refers to a missing vertex"}},
      {"mesh3ds/not-a-3ds-file", {false, "not a 3ds file"}},
      {"mesh3ds/read-past-the-end", {false, "Unable to read from 3ds file"}},
      {"mesh3ds/texture-coordinates-cut-short", {false, "Unable to load texture coordinates"}},
      {"mesh3ds/too-many-list-entries", {false, "Too many entries in 3ds list"}},
      {"module/one-byte-module", {false, "BASS reports an error"}},
      {"module/sync-refused", {false, "Wrong synchroniser"}},
  };
  const fs::path root = fs::path(KALETH_SOURCE_DIR) / "tests" / "fuzz" / "regressions";
  const std::vector<Target> targets = Targets();
  std::size_t kept = 0;
  for (const fs::directory_entry& folder : fs::directory_iterator(root)) {
    const auto target = std::find_if(targets.begin(), targets.end(),
                                     [&](const Target& t) { return folder.path().filename() == t.reader; });
    ASSERT_NE(target, targets.end()) << folder.path() << " names no reader";
    for (const fs::directory_entry& file : fs::directory_iterator(folder.path())) {
      const std::string name = folder.path().filename().string() + "/" + file.path().filename().string();
      const auto end = ends.find(name);
      ASSERT_NE(end, ends.end()) << name << " is kept without the end it must come to";
      std::string box;
      EXPECT_EQ(Feed(*target, FileBytes(file.path()), name, &box), end->second.readThrough) << name;
      EXPECT_EQ(box, end->second.box) << name;
      ++kept;
    }
  }
  EXPECT_EQ(kept, ends.size()) << "an input named here is missing";
}

TEST_F(FuzzInputs, CutAndMutatedSeedsEndReadThroughOrWithAFatalBox) {
  Shuffler shuffler;
  for (const Target& target : Targets()) {
    int readThrough = 0, fatal = 0;
    auto feed = [&](const Bytes& input) { ++(Feed(target, input, target.reader) ? readThrough : fatal); };
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
