// The package directory: the line rule, lookups by prefix, and packages that are not what they
// claim to be.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "data/member_file.h"
#include "data/pak_archive.h"
#include "core/errors.h"
#include "tests/support/data_files.h"

namespace {

using PakArchiveTest = PackageTest;

Bytes EntryBytes(std::uint32_t offset, std::uint32_t size, const std::string& nameLine) {
  Bytes entry;
  PutU32(entry, offset);
  PutU32(entry, size);
  entry.insert(entry.end(), nameLine.begin(), nameLine.end());
  return entry;
}

TEST_F(PakArchiveTest, FindTakesTheFirstEntryThatBeginsWithTheQuery) {
  OpenMembers({{"texture1.pcx", {1}}, {"overlay\r", {2, 2}}, {"texture1.pcx", {3, 3, 3}}, {"b", {4}}});
  ASSERT_EQ(Package.count, 4);
  EXPECT_STREQ(Package.entries[0].name, "texture1.pcx\n");
  EXPECT_STREQ(Package.entries[1].name, "overlay\r\n");

  const PakEntry exact = Package.find("texture1.pcx");
  EXPECT_EQ(exact.size, 1u) << "of two equal names the earlier one wins";
  EXPECT_EQ(exact.offset, Package.entries[0].offset);
  EXPECT_EQ(Package.find("texture1").size, 1u);
  EXPECT_EQ(Package.find("overlay").size, 2u) << "a carriage return before the newline is not compared";
  EXPECT_EQ(Package.find("").size, 1u) << "an empty query matches the first entry";
  EXPECT_EQ(Package.find("b").offset, Package.entries[3].offset);
  EXPECT_TRUE(backend.boxes.empty());
}

TEST_F(PakArchiveTest, AQueryThatIsNotAPrefixShowsTheMessageThenEndsWithTheName) {
  OpenMembers({{"texture1.pcx", {1}}, {"env1.pcx", {2}}});
  for (const char* query : {"texture1.pcxx", "TEXTURE1.pcx", "env1.pcx\n!", "nothing"}) {
    backend.boxes.clear();
    EXPECT_EQ(FatalMessageOf([&] { Package.find(query); }), query);
    ASSERT_EQ(backend.boxes.size(), 2u) << query;
    EXPECT_EQ(backend.boxes[0].text, "Filesystem error");
    EXPECT_EQ(backend.boxes[0].caption, kMessageCaption);
  }
}

TEST_F(PakArchiveTest, CountByteRangesFromEmptyToTwoHundredFiftyFive) {
  OpenPackage({'P', 'A', 'K', '1', 0});
  EXPECT_EQ(Package.count, 0);
  EXPECT_EQ(FatalMessageOf([] { Package.find(""); }), "");
  EXPECT_EQ(BoxTexts(), (std::vector<std::string>{"Filesystem error", ""}));

  std::vector<PakMember> members;
  // 'm', a char: a one-letter string before a string warns falsely in GCC 12 (its bug 105329).
  for (int i = 0; i < 255; ++i) members.push_back({'m' + std::to_string(i), Bytes(1, static_cast<std::uint8_t>(i))});
  OpenMembers(members);
  EXPECT_EQ(Package.count, 255);
  const PakEntry last = Package.find("m254");
  EXPECT_EQ(last.size, 1u);
  MemberFile file("m254", "unused");
  EXPECT_EQ(file.readByte(), 254);
}

TEST_F(PakArchiveTest, ThirtyCharacterNameIsReadWholeAndTheNextEntryFollowsIt) {
  const std::string longName(30, 'n');
  OpenMembers({{longName, {7, 7}}, {"next", {9}}});
  EXPECT_EQ(std::string(Package.entries[0].name), longName + "\n");
  EXPECT_EQ(Package.find(longName.c_str()).size, 2u);
  EXPECT_EQ(Package.find("next").size, 1u);
  MemberFile file("next", "unused");
  EXPECT_EQ(file.readByte(), 9);
}

TEST_F(PakArchiveTest, MissingForeignOrDamagedPackagesEndWithTheirMessages) {
  EXPECT_EQ(FatalMessageOf([] { Package.open("/nonexistent/kaleth.pak"); }), "Unable to open datafile");

  const Bytes good = PackageOf({{"first", {1}}, {"second", {2}}});
  Bytes foreign = good;
  foreign[3] = '2';
  const Bytes header{'P', 'A', 'K', '1', 1};
  const std::vector<Bytes> damaged{
      foreign,
      {},
      {'P', 'A', 'K'},
      {'P', 'A', 'K', '1'},                                   // no count byte
      Bytes(good.begin(), good.begin() + 5 + 8 + 6 + 4),      // ends inside the second entry's numbers
      Bytes(good.begin(), good.begin() + 5 + 8 + 6 + 8 + 3),  // ends inside the second name line
      Join({header, EntryBytes(20, 1, std::string(31, 'x') + "\n")}),  // a name line past 31 bytes
  };
  for (std::size_t i = 0; i < damaged.size(); ++i) {
    EXPECT_EQ(FatalMessageOf([&] { OpenPackage(damaged[i]); }), "Package file seems to be corrupted") << "case " << i;
  }
}

TEST_F(PakArchiveTest, MemberReadsStayInsideTheMemberAndTheFile) {
  // "far" lies wholly past the end of the file, "tail" partly; "a" is followed by "b".
  const Bytes header{'P', 'A', 'K', '1', 4};
  const std::uint32_t dataStart = 5 + 4 * 8 + 4 + 5 + 2 + 2;
  const Bytes package = Join({header, EntryBytes(1000, 10, "far\n"), EntryBytes(dataStart + 4, 100, "tail\n"),
                              EntryBytes(dataStart, 2, "a\n"), EntryBytes(dataStart + 2, 2, "b\n"),
                              Bytes{1, 2, 3, 4, 5, 6, 7}});
  OpenPackage(package);

  std::uint8_t bytes[6];
  // Read as the mesh reads, zeros for what the file lacks.
  MemberFile far("far", "unused", MemberFile::AtTheCut::kReadZeros);
  EXPECT_EQ(far.size(), 0u);
  std::memset(bytes, 0xEE, sizeof bytes);
  EXPECT_EQ(far.read(bytes, sizeof bytes), 0u);
  EXPECT_EQ(Bytes(bytes, bytes + 6), Bytes(6, 0));

  MemberFile tail("tail", "unused", MemberFile::AtTheCut::kReadZeros);
  EXPECT_EQ(tail.size(), 3u);
  EXPECT_EQ(tail.read(bytes, sizeof bytes), 3u);
  EXPECT_EQ(Bytes(bytes, bytes + 6), (Bytes{5, 6, 7, 0, 0, 0}));
  tail.seek(1);
  EXPECT_EQ(tail.readByte(), 6);

  MemberFile a("a", "unused");
  EXPECT_EQ(a.read(bytes, 4), 2u);
  EXPECT_EQ(Bytes(bytes, bytes + 4), (Bytes{1, 2, 0, 0})) << "the next member's bytes are not this one's";
  a.requireWhole();
  EXPECT_TRUE(backend.boxes.empty());

  // Read as the other readers read: what the file holds, and not a byte into what it lacks.
  EXPECT_EQ(FatalMessageOf([&] {
              MemberFile cut("tail", "unused");
              EXPECT_EQ(cut.read(bytes, 3), 3u);
              cut.read(bytes, 1);
            }),
            "Package file is damaged: tail is cut short (3 of 100 bytes)");
  EXPECT_EQ(FatalMessageOf([] { MemberFile("far", "unused").requireWhole(); }),
            "Package file is damaged: far is cut short (0 of 10 bytes)");
}

}  // namespace
