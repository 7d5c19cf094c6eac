#include <gtest/gtest.h>

#include "core/message.h"
#include "core/text.h"
#include "document/animations.h"

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

TEST(ParseFloat, DecimalSeparatorSignsExponentsAndOverflow) {
  EXPECT_EQ(ParseFloat("0,001", ','), 0.001L);
  EXPECT_FALSE(ParseFloat("0.001", ','));
  EXPECT_EQ(ParseFloat(" -1.5e3 ", '.'), -1500.0L);
  EXPECT_EQ(ParseFloat("+2", '.'), 2.0L);
  EXPECT_FALSE(ParseFloat("", '.'));
  EXPECT_FALSE(ParseFloat("e5", '.'));
  EXPECT_FALSE(ParseFloat("1e", '.'));
  EXPECT_FALSE(ParseFloat("1e5000", '.'));  // out of range is no number, not 0
  EXPECT_EQ(FormatGeneral(0.001L, ','), "0,001");
  EXPECT_EQ(FormatGeneral(1.0L / 3, '.'), "0.333333333333333");
}

TEST(ParseInt32, WholeTextSigned32Bit) {
  EXPECT_EQ(ParseInt32("-2147483648"), INT32_MIN);
  EXPECT_EQ(ParseInt32("2147483647"), INT32_MAX);
  EXPECT_FALSE(ParseInt32("2147483648"));
  EXPECT_FALSE(ParseInt32(" 1"));
  EXPECT_FALSE(ParseInt32("1.5"));
  EXPECT_FALSE(ParseInt32("-"));
  EXPECT_EQ(ParseInt32("007"), 7);
}

TEST(TokenReplacement, KeepsEveryOtherByte) {
  std::string line = "\t\tgeometry_info ( 90 4 0 270 0 0 4 0 0 0";
  EXPECT_EQ(ReplaceValueAfter(line, "geometry_info", 1, "14"), "90");
  ReplaceValueAfter(line, "geometry_info", 4, "42");
  EXPECT_EQ(line, "\t\tgeometry_info ( 14 4 0 42 0 0 4 0 0 0");
  std::string header = "sort_vectors ( 0 )";
  ReplaceValueAfter(header, "sort_vectors", 1, "3");
  EXPECT_EQ(header, "sort_vectors ( 3 )");
  EXPECT_THROW(ReplaceValueAfter(header, "missing", 1, "1"), Error);
  EXPECT_EQ(WordAfter("\tmatrix MAIN ( 1 0", "matrix"), "MAIN");
  EXPECT_THROW(WordAfter("matrix", "matrix"), Error);
  EXPECT_EQ(FirstNumberAfter("texture ( 3 0 -1 ff000000 )", FirstParenPos("texture ( 3 0 -1 ff000000 )")), 3);
  EXPECT_EQ(SecondNumberAfter("tex_idxs ( 1 7 ) 0 2", 10), 7);
}

// A quoted name is one name, blanks included; \\ and \" inside the quotes
// stand for a backslash and a quote, other backslashes for themselves.
TEST(Names, QuotedNamesAreReadWholeEverywhere) {
  struct Case {
    const char* line;
    const char* word;  // WordAfter "matrix"
  } cases[] = {
      {"\tmatrix MAIN ( 1 0", "MAIN"},
      {"\tmatrix \"WHEEL A\" ( 1 0", "WHEEL A"},
      {"matrix  \"a \\\"b\\\" c\" (", "a \"b\" c"},
      {"matrix \"my tex\\\\\" (", "my tex\\"},
      {"matrix \"..\\tex\\a b\" (", "..\\tex\\a b"},
      {"matrix \"never closed (", "\"never"},
      {"matrix \"\" (", "\"\""},
      {"matrix a\"b c\" (", "a\"b"},
  };
  for (const Case& c : cases) EXPECT_EQ(WordAfter(c.line, "matrix"), c.word) << c.line;
  // The tokenizer's reader: tabs separate too, and the position moves past
  // the closing quote.
  const std::string node = "\t\tanim_node \"WHEEL A\"\t(";
  int pos = 12;
  EXPECT_EQ(TakeName(node, pos), "WHEEL A");
  EXPECT_EQ(TakeToken(node, pos), "(");
  pos = 1;
  EXPECT_EQ(TakeName("\tanim_node\tMAIN\t(", pos), "anim_node");
  EXPECT_EQ(TakeName("\tanim_node\tMAIN\t(", pos), "MAIN");
}

// One folding for every name comparison: ASCII and the Latin-1 capitals
// (not the multiplication sign), in UTF-8; other scripts compare exactly.
TEST(CaseFolding, AsciiAndLatin1CapitalsOnly) {
  struct Case {
    const char* a;
    const char* b;
    bool equal;
  };
  const Case cases[] = {
      {"WHEEL1", "wheel1", true},
      {"T\xC3\x9CR", "t\xC3\xBCr", true},              // Ü / ü
      {"\xC3\x80\xC3\x9E", "\xC3\xA0\xC3\xBE", true},  // À Þ / à þ
      {"\xC3\x97", "\xC3\xB7", false},                 // × is no letter: not ÷
      {"\xC3\x9F", "ss", false},                       // ß stays ß
      {"\xC4\x8C", "\xC4\x8D", false},                 // Č / č: beyond Latin-1, exact
      {"abc", "abcd", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EqualsIgnoreCase(c.a, c.b), c.equal) << c.a << " / " << c.b;
    EXPECT_EQ(FoldCase(c.a) == FoldCase(c.b), c.equal) << c.a << " / " << c.b;
  }
  // Reading the animation marks and removing animations agree: a matrix TÜR
  // with an anim_node tür is animated.
  const Lines lines{"SIMISA@@@@@@@@@@JINX0s1t______", "\tanimations ( 1", "\t\tanim_node t\xC3\xBCr (",
                    "\t\t\tcontrollers ( 1", ")"};
  EXPECT_EQ(ReadMatrixAnimations(lines, {"T\xC3\x9CR", "TUR"}), (std::vector<bool>{true, false}));
}
