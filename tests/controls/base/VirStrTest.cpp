#include "controls/base/VirStr.h"

#include <gtest/gtest.h>

#include <random>

#include "controls/base/VirUserData.h"

namespace {

TEST(TextRoutines, NumbersAsDigits) {
  EXPECT_EQ(HexWord(0xBEEF), "BEEF");
  EXPECT_EQ(HexWord(10), "000A");
  EXPECT_EQ(HexLong(0x1234ABCDu), "1234ABCD");
  EXPECT_EQ(HexLong(255), "000000FF");
  EXPECT_EQ(OctalLong(0xFFFFFFFFu), "037777777777");
  EXPECT_EQ(OctalLong(8), "000000000010");
}

TEST(TextRoutines, EditsStayInsideTheText) {
  struct Case {
    const char* name;
    void (*edit)(std::string&);
    const char* expected;
  };
  const Case cases[] = {
      {"DeleteChar", [](std::string& s) { DeleteChar(s, 1); }, "acde"},
      {"DeleteCharPastEnd", [](std::string& s) { DeleteChar(s, 5); }, "abcde"},
      {"InsertChar", [](std::string& s) { InsertChar(s, 'x', 2); }, "abxcde"},
      {"InsertCharPastEnd", [](std::string& s) { InsertChar(s, 'x', 99); }, "abcdex"},
      {"InsertRun", [](std::string& s) { InsertRun(s, '-', 3, 0); }, "---abcde"},
      {"InsertText", [](std::string& s) { InsertText(s, "XY", 4); }, "abcdXYe"},
      {"InsertTextPastEnd", [](std::string& s) { InsertText(s, "XY", 9); }, "abcdeXY"},
      {"DeleteRun", [](std::string& s) { DeleteRun(s, 1, 2); }, "ade"},
      {"DeleteRunPastEnd", [](std::string& s) { DeleteRun(s, 3, 10); }, "abc"},
      {"DeleteRunBeyond", [](std::string& s) { DeleteRun(s, 7, 1); }, "abcde"},
  };
  for (const Case& c : cases) {
    std::string text = "abcde";
    c.edit(text);
    EXPECT_EQ(text, c.expected) << c.name;
  }
  EXPECT_EQ(CopyPart("abcde", 1, 3), "bcd");
  EXPECT_EQ(CopyPart("abcde", 3, 10), "de");
  EXPECT_EQ(CopyPart("abcde", 5, 1), "");
  std::size_t pos = 0;
  EXPECT_TRUE(FindChar("abcde", 'd', pos));
  EXPECT_EQ(pos, 3u);
  EXPECT_FALSE(FindChar("abcde", 'z', pos));
  EXPECT_TRUE(FindText("abcabc", "ca", pos));
  EXPECT_EQ(pos, 2u);
  EXPECT_FALSE(FindText("abc", "abcd", pos));
  EXPECT_EQ(FillWithCharZ(3, '*'), "***");
}

TEST(TextRoutines, TextToNumber) {
  struct Case {
    std::string text;
    bool ok;
    std::int32_t value;
    int errorPos;
  };
  const Case cases[] = {
      {"123", true, 123, 0},
      {"-2147483648", true, INT32_MIN, 0},
      {"+7", true, 7, 0},
      {"2147483648", false, 0, 10},
      {"0x1F", true, 31, 0},
      {"0xffffffff", true, -1, 0},
      {"0x100000000", false, 0, 11},
      {"12a", false, 0, 3},
      {"", false, 0, 1},
      {"-", false, 0, 2},
      {"0x", false, 0, 2},
      {std::string(256, '0'), true, 0, 0},
      {std::string(257, '0'), false, 0, 257},
  };
  for (const Case& c : cases) {
    std::int32_t value = 42;
    int errorPos = -1;
    EXPECT_EQ(TextToNumber(c.text, value, errorPos), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(value, c.value) << c.text;
    }
    EXPECT_EQ(errorPos, c.errorPos) << c.text;
  }
}

TEST(TextRoutines, TrimsTidiesAndRepairs) {
  EXPECT_EQ(TrimBlanks("  a b  "), "a b");
  EXPECT_EQ(TrimBlanks("   "), "");
  EXPECT_EQ(TrimEnd("ab \t\r\n"), "ab");
  EXPECT_EQ(TrimEnd(" ab"), " ab");
  struct Case {
    const char* in;
    const char* out;
  };
  for (const Case& c :
       {Case{"1.2300E+005", "1.23E+5"}, Case{"12.500", "12.5"}, Case{"12.", "12"}, Case{"1.000E-010", "1E-10"},
        Case{"100", "100"}, Case{"1.5E+000", "1.5E+0"}, Case{"-0.0", "-0"}}) {
    EXPECT_EQ(TidyRealText(c.in), c.out) << c.in;
  }
  for (const Case& c : {Case{"1,5", "1.5"}, Case{",5", "0.5"}, Case{"-,5", "-0.5"}, Case{"1E", "1E0"},
                        Case{"2,5e-", "2.5e-0"}, Case{"3", "3"}}) {
    EXPECT_EQ(RepairRealText(c.in, ','), c.out) << c.in;
  }
}

TEST(TextRoutines, DetabExpandsToTheNextStop) {
  EXPECT_EQ(DetabText("a\tb", 4), "a   b");
  EXPECT_EQ(DetabText("abcd\te", 4), "abcd    e");
  EXPECT_EQ(DetabText("\t\t", 2), "    ");
  EXPECT_EQ(DetabText("a\tb", 0), "a b");
}

TEST(BoyerMoore, ShiftsAreCappedAt255) {
  std::string pattern = "x" + std::string(256, 'a');  // 'x' stands 256 from the end
  TBMTable table = BoyerMooreShiftTable(pattern);
  EXPECT_EQ(table['x'], 255);
  EXPECT_EQ(table['a'], 1);
  EXPECT_EQ(table['z'], 255);
  EXPECT_EQ(BoyerMooreShiftTable("abc")['z'], 3);
  // The search moves on where an uncapped shift would stand still or leap past the match.
  std::string text = std::string(300, 'x') + pattern + "b";
  EXPECT_EQ(BoyerMooreFind(text, pattern, table), 300u);
  std::string leap = "y" + std::string(299, 'a');
  EXPECT_EQ(BoyerMooreFind(std::string(50, 'a') + leap, leap, BoyerMooreShiftTable(leap)), 50u);
}

// Random texts over small alphabets, so matches and near-matches are common;
// long patterns with rare characters far from their end too.
TEST(BoyerMoore, AgreesWithFindOnRandomTexts) {
  std::mt19937 random(20261210);
  const std::string alphabets[] = {"ab", "abcx", "aAbB\xE9\xC9"};
  for (int round = 0; round < 3000; ++round) {
    const std::string& alphabet = alphabets[round % 3];
    auto pick = [&](std::size_t length) {
      std::string s;
      for (std::size_t i = 0; i < length; ++i) s += alphabet[random() % alphabet.size()];
      return s;
    };
    std::size_t patternLength = round % 10 == 0 ? 250 + random() % 60 : 1 + random() % 8;
    std::string pattern = pick(patternLength);
    if (patternLength > 200) {
      pattern = std::string(patternLength, 'a');
      pattern[random() % 20] = 'x';
    }
    std::string text = pick(random() % 700);
    if (random() % 2 == 0) text.insert(random() % (text.size() + 1), pattern);
    EXPECT_EQ(BoyerMooreFind(text, pattern, BoyerMooreShiftTable(pattern)), text.find(pattern)) << round;
    std::string upperPattern = UpCaseText(pattern);
    EXPECT_EQ(BoyerMooreFindNoCase(text, pattern, BoyerMooreShiftTable(upperPattern)),
              UpCaseText(text).find(upperPattern))
        << round;
  }
  EXPECT_EQ(BoyerMooreFind("abc", "", BoyerMooreShiftTable("")), 0u);
}

TEST(TextRoutines, UpperCaseOfTheCodePage) {
  EXPECT_EQ(UpCaseText("abz\xE9\xFF\x9A\xF7\xDF"), "ABZ\xC9\x9F\x8A\xF7\xDF");
}

TEST(UserData, DefaultsAndChanges) {
  TVirUserData data;
  std::bitset<256> set;
  data.UserCharSet('1', set);
  EXPECT_EQ(set.count(), 255u);
  EXPECT_FALSE(set.test(0));
  EXPECT_EQ(data.ForceCase('8'), TVirUserData::fcNone);
  EXPECT_EQ(data.SubstChar('\xF3'), '\xF3');
  data.SetForceCase('3', TVirUserData::fcUpper);
  data.SetSubstChar('\xF8', '#');
  std::bitset<256> digits;
  for (char c = '0'; c <= '9'; ++c) digits.set(static_cast<unsigned char>(c));
  data.SetUserCharSet('2', digits);
  data.UserCharSet('2', set);
  EXPECT_EQ(set, digits);
  EXPECT_EQ(data.ForceCase('3'), TVirUserData::fcUpper);
  EXPECT_EQ(data.SubstChar('\xF8'), '#');
  // Other characters give 0 or leave the set alone.
  EXPECT_EQ(data.ForceCase('9'), 0);
  EXPECT_EQ(data.SubstChar('\xF0'), '\0');
  data.UserCharSet('0', set);
  EXPECT_EQ(set, digits);
  EXPECT_EQ(&VirUserData(), &VirUserData());
}

}  // namespace
