#include <gtest/gtest.h>

#include <string>

#include "matrix/util/UtStr.h"

namespace {

TEST(Words, RunsOfDelimitersSeparateOnce) {
  const std::string s = "  1,, 2  3";
  EXPECT_EQ(CountWords(s, " ,"), 3);
  EXPECT_EQ(GetWord(2, s, " ,"), "2");
  EXPECT_EQ(GetWord(3, s, " ,"), "3");
  EXPECT_EQ(GetWord(4, s, " ,"), "");
  EXPECT_EQ(GetWord(0, s, " ,"), "1") << "numbers below 1 give the first word";
  int position = 0;
  EXPECT_TRUE(FindWordStart(2, s, " ,", position));
  EXPECT_EQ(position, 7);
  EXPECT_FALSE(FindWordStart(4, s, " ,", position));
  EXPECT_EQ(position, 7) << "a missing word leaves the position";

  EXPECT_EQ(CountWords("", " ,"), 0);
  EXPECT_EQ(CountWords(" ,, ", " ,"), 0);
  EXPECT_EQ(CountWords("a\tb", " ,"), 1) << "a tab is no delimiter unless given";
}

TEST(Characters, FindAndPad) {
  EXPECT_TRUE(HasChar("LBE", 'B'));
  EXPECT_FALSE(HasChar("LBE", 'b'));
  int position = 0;
  EXPECT_TRUE(FindChar("a:b:c", ':', position));
  EXPECT_EQ(position, 2);
  EXPECT_FALSE(FindChar("abc", ':', position));

  EXPECT_EQ(PadWithChar("ab", '*', 5), "ab***");
  EXPECT_EQ(PadWithSpaces("abcdef", 3), "abcdef");
  EXPECT_EQ(PadWithSpaces("ab", 4), "ab  ");
  EXPECT_EQ(TrimTrailing(" a b \t\r\n"), " a b");
  EXPECT_EQ(TrimBoth("  a b  "), "a b");
  EXPECT_EQ(TrimBoth("   "), "");
}

TEST(ParseExtended, NumbersAndErrorPositions) {
  struct Case {
    const char* text;
    bool ok;
    long double value;  // the number, or the bad character's position - 1
  };
  const Case cases[] = {
      {"12", true, 12},   {" -1.5E+003 ", true, -1500},
      {"", true, 0},      {"  ", true, 0},
      {"3.", true, 3},    {".5", true, 0.5L},
      {"+2", true, 2},    {"1,5", false, 1},
      {"12a", false, 2},  {"-", false, 1},
      {"1e", false, 2},   {"1e+", false, 3},
      {"inf", false, 0},  {"1e99999", false, 7},
      {"1..2", false, 2}, {"1 2", false, 1},
  };
  for (const Case& c : cases) {
    long double value = -99;
    EXPECT_EQ(ParseExtended(c.text, value), c.ok) << '"' << c.text << '"';
    EXPECT_EQ(value, c.value) << '"' << c.text << '"';
  }
}

}  // namespace
