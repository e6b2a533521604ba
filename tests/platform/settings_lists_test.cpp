// The comma lists of the environment settings, split one way for every reader, and the fault
// rules read from one.
#include <gtest/gtest.h>

#include "platform/comma_list.h"
#include "platform/faults.h"

namespace {

using Items = std::vector<std::string>;

TEST(SettingsLists, ItemsAreSplitAsWrittenWithEmptyOnesKept) {
  EXPECT_EQ(SplitCommaList(""), Items{});
  EXPECT_EQ(SplitCommaList("24"), Items{"24"});
  EXPECT_EQ(SplitCommaList("24,16"), (Items{"24", "16"}));
  EXPECT_EQ(SplitCommaList(",16,,"), (Items{"", "16", "", ""}));
  EXPECT_EQ(SplitCommaList(" 24s8 ,none"), (Items{" 24s8 ", "none"}));
}

TEST(SettingsLists, AFaultListWithAnyMalformedRuleAddsNothing) {
  faults::Reset();
  for (const char* malformed : {"", "A@1,", ",A@1", "A@1,,B@2", "A@0", "A@1x0", "@3", "A@", "A@1,B"}) {
    EXPECT_FALSE(faults::Parse(malformed)) << malformed;
  }
  EXPECT_FALSE(faults::Hit("A")) << "nothing was added";  // A's first call
  ASSERT_TRUE(faults::Parse("A@2,B@1x2,C@3+"));
  const bool a[3] = {faults::Hit("A"), faults::Hit("A"), faults::Hit("A")};
  const bool b[3] = {faults::Hit("B"), faults::Hit("B"), faults::Hit("B")};
  const bool c[4] = {faults::Hit("C"), faults::Hit("C"), faults::Hit("C"), faults::Hit("C")};
  EXPECT_EQ(std::vector<bool>(a, a + 3), (std::vector<bool>{true, false, false}));
  EXPECT_EQ(std::vector<bool>(b, b + 3), (std::vector<bool>{true, true, false}));
  EXPECT_EQ(std::vector<bool>(c, c + 4), (std::vector<bool>{false, false, true, true}));
  faults::Reset();
}

}  // namespace
