// kaleth-pak as a user runs it: listing, taking a package apart and putting it together again,
// importing pictures, and refusing what it cannot do.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <set>

#include <sys/stat.h>
#include <zlib.h>

#include "data/pak_archive.h"
#include "data/pcx_loader.h"
#include "data/raw_loaders.h"
#include "tests/support/data_files.h"
#include "tests/support/run_program.h"
#include "tools/common/png_writer.h"

namespace {

namespace fs = std::filesystem;

class PakToolTest : public PackageTest {
 protected:
  void SetUp() override {
    PackageTest::SetUp();
    folder = TestFolder("work");
  }
  void TearDown() override {
    fs::remove_all(folder);
    PackageTest::TearDown();
  }

  ProgramResult Pak(const std::vector<std::string>& args) {
    std::vector<std::string> argv{BuildPath("kaleth-pak")};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunProgram(argv, {}, folder);
  }

  Bytes FileBytes(const std::string& name) {
    Bytes bytes;
    std::string error;
    EXPECT_TRUE(ReadFileBytes((fs::path(folder) / name).string(), &bytes, &error)) << error;
    return bytes;
  }

  void WriteFile(const std::string& name, const Bytes& bytes) {
    std::string error;
    ASSERT_TRUE(WriteFileBytes((fs::path(folder) / name).string(), bytes, &error)) << error;
  }

  // Every file of the folder `under`, by name.
  std::vector<std::string> FilesIn(const std::string& under) {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(fs::path(folder) / under)) {
      names.push_back(entry.path().filename().string());
    }
    return names;
  }

  std::string folder;
};

// The output of a refusal, checked to quote names escaped: no control byte reaches the terminal.
void ExpectPrintable(const ProgramResult& run) {
  for (char c : run.output) ASSERT_TRUE(c == '\n' || (c >= 0x20 && c < 0x7F)) << run.output;
}

TEST_F(PakToolTest, ExtractThenPackGivesBackTheSameBytes) {
  const std::vector<PakMember> members{{"load.raw", Bytes(1000, 7)},
                                       {"crlf\r", {1, 2}},
                                       {"load.raw", {}},
                                       {"sub/../x", {3}},
                                       {"kaleth-pak.manifest", {4}},
                                       {"\x01\xff\\\tname", {5, 6}},
                                       {std::string(30, 'z'), Bytes(300, 9)}};
  WriteFile("in.pak", PackageOf(members));

  ProgramResult run = Pak({"list", "in.pak"});
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("    1  crlf\\r "), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("    5  \\x01\\xFF\\\\\\tname "), std::string::npos) << run.output;
  const std::uint32_t lastOffset = static_cast<std::uint32_t>(PackageOf(members).size() - 300);
  char lastLine[80];
  std::snprintf(lastLine, sizeof lastLine, "    6  %s  %10u  %10u\n", std::string(30, 'z').c_str(), lastOffset, 300u);
  EXPECT_NE(run.output.find(lastLine), std::string::npos) << run.output;

  run = Pak({"extract", "in.pak", "parts"});
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(FileBytes("parts/load.raw"), Bytes(1000, 7));
  EXPECT_FALSE(fs::exists(fs::path(folder) / "x")) << "a member name never leads outside the folder";
  run = Pak({"pack", "parts", "out.pak"});
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(FileBytes("out.pak"), FileBytes("in.pak"));

  // A person's remix: a member's file replaced, and a new member added to the manifest.
  WriteFile("parts/load.raw", Bytes(5, 1));
  WriteFile("parts/new.pcx", {8});
  Bytes manifest = FileBytes("parts/kaleth-pak.manifest");
  manifest.insert(manifest.end(), {'n', 'e', 'w', '.', 'p', 'c', 'x', '\n'});
  WriteFile("parts/kaleth-pak.manifest", manifest);
  ASSERT_EQ(Pak({"pack", "parts", "remix.pak"}).exitCode, 0);
  OpenPackage(FileBytes("remix.pak"));
  EXPECT_EQ(Package.count, 8);
  EXPECT_EQ(Package.find("load.raw").size, 5u);
  EXPECT_EQ(Package.find("new.pcx").size, 1u);
  EXPECT_EQ(Package.find("\x01").size, 2u);
}

TEST_F(PakToolTest, ExtractPlansEveryFileFirstAndNeverWritesThroughALink) {
  // Names that look like the files extract makes, its manifest, its scratch files, and one that
  // differs from a made name only in case; each must land in a file of its own.
  const std::vector<PakMember> members{{"member-001.bin", {'F'}},   {"../x", {'S'}},
                                       {"x.tmp", {'T'}},            {"x", {'X'}},
                                       {"kaleth-pak.manifest.tmp", {'M'}}, {"MEMBER-006.BIN", {'C'}},
                                       {"a/b", {'A'}},              {".load.raw.0.tmp", {'D'}},
                                       {"load.raw", Bytes(100, 'L')}, {"Load.RAW", {'l'}}};
  WriteFile("in.pak", PackageOf(members));
  // Links planted where the scratch files and a member go, all pointing at one victim.
  WriteFile("victim", {'v'});
  const fs::path parts = fs::path(folder) / "parts";
  fs::create_directories(parts);
  for (const char* link : {"load.raw.tmp", ".load.raw.0.tmp", "load.raw", ".kaleth-pak.manifest.0.tmp"}) {
    fs::create_symlink("../victim", parts / link);
  }
  fs::create_symlink("victim", fs::path(folder) / "out.pak");

  ProgramResult run = Pak({"extract", "in.pak", "parts"});
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(FileBytes("victim"), Bytes{'v'});
  EXPECT_FALSE(fs::is_symlink(parts / "load.raw"));
  EXPECT_EQ(FileBytes("parts/load.raw"), Bytes(100, 'L'));
  EXPECT_EQ(FileBytes("parts/member-001.bin"), Bytes{'F'});
  // No two files of the folder differ only in case.
  std::set<std::string> folded;
  for (std::string name : FilesIn("parts")) {
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_TRUE(folded.insert(name).second) << name;
  }
  run = Pak({"pack", "parts", "out.pak"});
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_FALSE(fs::is_symlink(fs::path(folder) / "out.pak"));
  EXPECT_EQ(FileBytes("out.pak"), FileBytes("in.pak"));
  EXPECT_EQ(FileBytes("victim"), Bytes{'v'});
}

TEST_F(PakToolTest, PackTakesBackEveryNameAndReadsOnlyFilesInsideTheFolder) {
  const std::vector<PakMember> members{{"", {1}}, {std::string("a\0b", 3), {2}}, {"\x1b[31mred\t", {3}}};
  WriteFile("in.pak", PackageOf(members));
  ProgramResult run = Pak({"extract", "in.pak", "parts"});
  ASSERT_EQ(run.exitCode, 0) << run.output;
  run = Pak({"pack", "parts", "out.pak"});
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(FileBytes("out.pak"), FileBytes("in.pak"));

  // A manifest saved with CR LF line ends packs the same.
  Bytes crlf;
  for (std::uint8_t c : FileBytes("parts/kaleth-pak.manifest")) {
    if (c == '\n') crlf.push_back('\r');
    crlf.push_back(c);
  }
  WriteFile("parts/kaleth-pak.manifest", crlf);
  run = Pak({"pack", "parts", "crlf.pak"});
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(FileBytes("crlf.pak"), FileBytes("in.pak"));

  // Lines that name no regular file inside the folder are refused by line, name escaped.
  WriteFile("outside.bin", {9});
  fs::create_directories(fs::path(folder) / "parts/sub");
  fs::create_symlink("../outside.bin", fs::path(folder) / "parts/link-out");
  ASSERT_EQ(mkfifo((fs::path(folder) / "parts/fifo").c_str(), 0600), 0);
  for (const auto& [line, says] : std::vector<std::pair<std::string, std::string>>{
           {".", "line 1: '.' is not a regular file"},
           {"sub", "'sub' is not a regular file"},
           {"fifo", "'fifo' is not a regular file"},
           {"../outside.bin", "'../outside.bin' is not a file inside"},
           {"sub/../../outside.bin", "is not a file inside"},
           {"/etc/hostname", "'/etc/hostname' is not a file inside"},
           {"link-out", "'link-out' leads outside the folder"},
           {"\x1b[2Jgone\x01", "'\\x1B[2Jgone\\x01': No such file"},
           {"member-000.bin\t\\x00" + std::string(30, 'n'), "member name '\\x00nnn"}}) {
    WriteFile("parts/kaleth-pak.manifest", Bytes(line.begin(), line.end()));
    run = Pak({"pack", "parts", "refused.pak"});
    EXPECT_EQ(run.exitCode, 1) << line;
    EXPECT_NE(run.output.find(says), std::string::npos) << line << ": " << run.output;
    ExpectPrintable(run);
  }
  EXPECT_FALSE(fs::exists(fs::path(folder) / "refused.pak"));
}

TEST_F(PakToolTest, DamagedPackagesAndWrongCommandLinesFailClearly) {
  WriteFile("foreign.pak", {'P', 'K', 3, 4, 0});
  ProgramResult run = Pak({"list", "foreign.pak"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.output.find("not a package"), std::string::npos) << run.output;

  Bytes cut = PackageOf({{"a", {1, 2, 3}}});
  cut.pop_back();
  WriteFile("cut.pak", cut);
  run = Pak({"list", "cut.pak"});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_NE(run.output.find("(runs past the end of the file)"), std::string::npos) << run.output;
  run = Pak({"extract", "cut.pak", "parts"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.output.find("member 0 (a) runs past the end of the file"), std::string::npos) << run.output;

  fs::create_directories(fs::path(folder) / "empty");
  run = Pak({"pack", "empty", "out.pak"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.output.find("kaleth-pak.manifest"), std::string::npos) << run.output;
  WriteFile("empty/kaleth-pak.manifest", {'f', '\t', 'b', 'a', 'd', '\\', 'q', '\n'});
  run = Pak({"pack", "empty", "out.pak"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.output.find("line 1: a bad escape"), std::string::npos) << run.output;
  WriteFile("empty/kaleth-pak.manifest", {'m', 'i', 's', 's', 'i', 'n', 'g', '\n'});
  EXPECT_EQ(Pak({"pack", "empty", "out.pak"}).exitCode, 1);
  EXPECT_FALSE(fs::exists(fs::path(folder) / "out.pak"));

  for (const std::vector<std::string>& wrong :
       {std::vector<std::string>{}, {"list"}, {"pack", "a"}, {"frobnicate", "x", "y"}, {"import", "pcx", "a.png"}}) {
    run = Pak(wrong);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.output.find("usage: kaleth-pak"), std::string::npos);
  }
}

TEST_F(PakToolTest, ImportedPicturesLoadToTheSamePixels) {
  std::mt19937 random(5);
  auto picture = [&](int width, int height, bool grey) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    for (std::uint32_t& pixel : pixels) pixel = grey ? (random() & 0xFF) * 0x010101u : random() & 0xFFFFFF;
    // Flat stretches, so the PCX code has runs to make.
    std::fill(pixels.begin(), pixels.begin() + width * std::min(height, 3), 0x00C8C8C8u);
    return pixels;
  };
  auto writePng = [&](const std::string& name, const std::vector<std::uint32_t>& pixels, int width, int height) {
    std::string error;
    ASSERT_TRUE(WritePng((fs::path(folder) / name).string(), pixels.data(), width, height, width * 4, &error)) << error;
  };
  const std::vector<std::uint32_t> texture = picture(256, 256, false);
  const std::vector<std::uint32_t> screen = picture(512, 280, false);
  const std::vector<std::uint32_t> strip = picture(512, 50, false);
  const std::vector<std::uint32_t> text = picture(200, 80, true);
  const std::vector<std::uint32_t> load = picture(512, 280, true);
  writePng("texture.png", texture, 256, 256);
  writePng("screen.png", screen, 512, 280);
  writePng("strip.png", strip, 512, 50);
  writePng("text.png", text, 200, 80);
  writePng("load.png", load, 512, 280);

  for (const std::vector<std::string>& import :
       {std::vector<std::string>{"pcx", "texture.png", "texture.pcx"}, {"rgb-screen", "screen.png", "screen.raw"},
        {"rgb-strip", "strip.png", "strip.raw"}, {"gray", "text.png", "text.raw", "200x80"},
        {"gray-screen", "load.png", "load.raw"}}) {
    std::vector<std::string> args{"import"};
    args.insert(args.end(), import.begin(), import.end());
    const ProgramResult run = Pak(args);
    ASSERT_EQ(run.exitCode, 0) << run.output;
  }
  OpenMembers({{"texture.pcx", FileBytes("texture.pcx")}, {"screen.raw", FileBytes("screen.raw")},
               {"strip.raw", FileBytes("strip.raw")}, {"text.raw", FileBytes("text.raw")},
               {"load.raw", FileBytes("load.raw")}});
  auto same = [](std::uint32_t* loaded, const std::vector<std::uint32_t>& expected) {
    const bool equal = std::equal(expected.begin(), expected.end(), loaded);
    std::free(loaded);
    return equal;
  };
  EXPECT_TRUE(same(LoadPcx("texture.pcx"), texture));
  EXPECT_TRUE(same(LoadRgbRawScreen("screen.raw"), screen));
  EXPECT_TRUE(same(LoadRgbRawStrip("strip.raw"), strip));
  EXPECT_TRUE(same(LoadGrayRaw(16000, "text.raw"), text));
  std::uint8_t* grey = LoadRaw8Screen("load.raw");
  EXPECT_EQ(grey[1000], load[1000] & 0xFF);
  EXPECT_EQ(grey[512 * 280 - 1], load[512 * 280 - 1] & 0xFF);
  std::free(grey);
  EXPECT_TRUE(backend.boxes.empty());

  // Colour pictures become grey by their brightness.
  writePng("colour.png", {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0x00FFFFFFu}, 2, 2);
  ASSERT_EQ(Pak({"import", "gray", "colour.png", "colour.raw", "2x2"}).exitCode, 0);
  EXPECT_EQ(FileBytes("colour.raw"), (Bytes{76, 150, 29, 255}));

  ProgramResult run = Pak({"import", "rgb-screen", "strip.png", "x.raw"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.output.find("strip.png is 512x50, but rgb-screen needs 512x280"), std::string::npos) << run.output;
  EXPECT_EQ(Pak({"import", "pcx", "screen.png", "x.pcx"}).exitCode, 1);
  EXPECT_EQ(Pak({"import", "gray", "text.png", "x.raw", "80x200"}).exitCode, 1);
  EXPECT_EQ(Pak({"import", "gray", "text.png", "x.raw"}).exitCode, 2);
  EXPECT_EQ(Pak({"import", "gray", "text.png", "x.raw", "200by80"}).exitCode, 2);
  EXPECT_EQ(Pak({"import", "jpeg", "text.png", "x.raw"}).exitCode, 2);
  run = Pak({"import", "pcx", "missing.png", "x.pcx"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.output.find("missing.png"), std::string::npos);
  EXPECT_FALSE(fs::exists(fs::path(folder) / "x.raw"));
}

TEST_F(PakToolTest, ImportHoldsTheHeaderSizeToTheKindBeforeDecodingAndReadsSizesWhole) {
  // A 1x1 picture whose header is made to claim another size: the pixels it holds are far fewer.
  auto claiming = [&](const std::string& name, std::uint32_t width, std::uint32_t height) {
    const std::uint32_t pixel = 0;
    std::string error;
    const std::string path = (fs::path(folder) / name).string();
    ASSERT_TRUE(WritePng(path, &pixel, 1, 1, 4, &error)) << error;
    Bytes png = FileBytes(name);
    for (int i = 0; i < 4; ++i) {
      png[16 + i] = static_cast<std::uint8_t>(width >> (24 - 8 * i));
      png[20 + i] = static_cast<std::uint8_t>(height >> (24 - 8 * i));
    }
    const std::uint32_t crc = static_cast<std::uint32_t>(crc32(0, png.data() + 12, 17));
    for (int i = 0; i < 4; ++i) png[29 + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
    WriteFile(name, png);
  };
  claiming("wide.png", 1000000, 1431);
  claiming("tall.png", 256, 70000);
  claiming("text.png", 200, 80);
  for (const auto& [args, says] : std::vector<std::pair<std::vector<std::string>, std::string>>{
           {{"rgb-screen", "wide.png", "x.raw"}, "wide.png is 1000000x1431, but rgb-screen needs 512x280"},
           {{"pcx", "tall.png", "x.pcx"}, "tall.png is 256x70000, but pcx needs 256x(1 to 65536)"},
           {{"gray", "text.png", "x.raw", "80x200"}, "text.png is 200x80, but gray needs 80x200"}}) {
    std::vector<std::string> import{"import"};
    import.insert(import.end(), args.begin(), args.end());
    const ProgramResult run = Pak(import);
    EXPECT_EQ(run.exitCode, 1) << args[1];
    EXPECT_NE(run.output.find(says), std::string::npos) << run.output;
  }
  for (const char* size : {"99999999999x1", "65536x65536", "1x18446744073709551617"}) {
    const ProgramResult run = Pak({"import", "gray", "text.png", "x.raw", size});
    EXPECT_EQ(run.exitCode, 2) << size;
    EXPECT_NE(run.output.find(std::string(size) + " is too large"), std::string::npos) << run.output;
  }
  for (const char* size : {"+200x80", "200x-80", "200 x80", "200x80 ", "0x80", "x80", "200x"}) {
    const ProgramResult run = Pak({"import", "gray", "text.png", "x.raw", size});
    EXPECT_EQ(run.exitCode, 2) << size;
    EXPECT_NE(run.output.find("WIDTHxHEIGHT"), std::string::npos) << run.output;
  }
  EXPECT_FALSE(fs::exists(fs::path(folder) / "x.raw"));
}

}  // namespace
