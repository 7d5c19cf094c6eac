#include <gtest/gtest.h>

#include "core/text.h"

using namespace lodsmith;

TEST(NextToken, SkipsBlanksAndTabsButNeverPastTheLastCharacter) {
  std::string line = "  \tabc def";
  int pos = 1, end = 0;
  NextToken(line, pos, end);
  EXPECT_EQ(pos, 4);
  EXPECT_EQ(end, 7);
  pos = end;
  NextToken(line, pos, end);
  EXPECT_EQ(line.substr(pos - 1, end - pos), "def");
  pos = end;  // beyond the end: empty token
  NextToken(line, pos, end);
  EXPECT_EQ(pos, end);
  std::string blanks = "x   ";
  pos = 2;
  NextToken(blanks, pos, end);
  EXPECT_EQ(pos, 4);  // stops on the last character
  EXPECT_EQ(end, 4);
}
