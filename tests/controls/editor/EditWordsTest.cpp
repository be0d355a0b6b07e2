#include <gtest/gtest.h>

#include <random>
#include <string>

#include "EditorTestSupport.h"
#include "controls/editor/EditWords.h"

namespace {

TEST(WordDelimiterTest, TheDelimiterSet) {
  for (char ch : std::string("\t'\r\n ,./?;:`\"<>[]{}-=\\+|()%&^$#!~*@")) EXPECT_TRUE(IsWordDelimiter(ch)) << ch;
  for (char ch : std::string("aZ09_\xE9\x80")) EXPECT_FALSE(IsWordDelimiter(ch)) << ch;
}

TEST(UpperCp1252Test, LettersOfTheCodePage) {
  struct Case {
    unsigned char in, out;
  };
  for (const Case c : {Case{'a', 'A'}, Case{'z', 'Z'}, Case{'A', 'A'}, Case{'1', '1'}, Case{0xE9, 0xC9},
                       Case{0xFE, 0xDE}, Case{0xF7, 0xF7}, Case{0xDF, 0xDF}, Case{0x9A, 0x8A}, Case{0x9C, 0x8C},
                       Case{0x9E, 0x8E}, Case{0xFF, 0x9F}, Case{0xB5, 0xB5}}) {
    EXPECT_EQ(static_cast<unsigned char>(UpperCp1252(static_cast<char>(c.in))), c.out) << int(c.in);
  }
}

TEST(FindTextTest, AgreesWithStringFindOnRandomTexts) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> letter(0, 2);
  for (int round = 0; round < 500; ++round) {
    std::string text(static_cast<std::size_t>(random() % 40), ' ');
    for (char& ch : text) ch = static_cast<char>("abA"[letter(random)]);
    std::string pattern(static_cast<std::size_t>(1 + random() % 3), ' ');
    for (char& ch : pattern) ch = static_cast<char>("abA"[letter(random)]);
    const auto from = static_cast<std::int32_t>(random() % (text.size() + 1));
    const std::size_t expected = text.find(pattern, static_cast<std::size_t>(from));
    EXPECT_EQ(FindText(text, pattern, from, true),
              expected == std::string::npos ? -1 : static_cast<std::int32_t>(expected));
    std::string upperText = text, upperPattern = pattern;
    for (char& ch : upperText) ch = UpperCp1252(ch);
    for (char& ch : upperPattern) ch = UpperCp1252(ch);
    const std::size_t noCase = upperText.find(upperPattern, static_cast<std::size_t>(from));
    EXPECT_EQ(FindText(text, pattern, from, false),
              noCase == std::string::npos ? -1 : static_cast<std::int32_t>(noCase));
    const std::size_t last = from > 0 ? text.rfind(pattern, static_cast<std::size_t>(from - 1)) : std::string::npos;
    EXPECT_EQ(FindTextBefore(text, pattern, from, true),
              last == std::string::npos ? -1 : static_cast<std::int32_t>(last));
  }
}

TEST(FindTextTest, LongPatternsAreUsedWhole) {
  const std::string pattern = std::string(300, 'x') + "y";
  const std::string text = std::string(400, 'x') + "z" + pattern;
  EXPECT_EQ(FindText(text, pattern, 0, true), 401);
  EXPECT_EQ(FindText(std::string(600, 'x'), pattern, 0, true), -1);
}

struct WordCase {
  std::string name;
  std::string text;
  std::int32_t at;
  TWordSpan word;
};

class WordAtTest : public ::testing::TestWithParam<WordCase> {};

TEST_P(WordAtTest, DoubleClickWord) {
  const WordCase& c = GetParam();
  EXPECT_EQ(WordAt(c.text, c.at), c.word);
}

INSTANTIATE_TEST_SUITE_P(Cases, WordAtTest,
                         ::testing::Values(WordCase{"OnTheFirstLetter", "foo, bar", 0, {0, 3}},
                                           WordCase{"InsideAWord", "foo, bar", 6, {5, 8}},
                                           WordCase{"RightAfterAWord", "foo, bar", 3, {0, 3}},
                                           WordCase{"WithTheBlanksAfterIt", "foo \tbar", 1, {0, 5}},
                                           WordCase{"OnALoneDelimiter", "a, ,b", 3, {3, 4}},
                                           WordCase{"AtTheEnd", "foo", 3, {0, 3}},
                                           WordCase{"EmptyParagraph", "", 0, {0, 0}}),
                         CaseName());

TEST(WordMoveTest, StartsAndEndsOfWords) {
  const std::string text = "one, two  three";
  EXPECT_EQ(WordStartBefore(text, 15), 10);
  EXPECT_EQ(WordStartBefore(text, 10), 5);
  EXPECT_EQ(WordStartBefore(text, 5), 0);
  EXPECT_EQ(WordStartBefore(text, 2), 0);
  EXPECT_EQ(WordEndAfter(text, 0), 5);
  EXPECT_EQ(WordEndAfter(text, 5), 10);
  EXPECT_EQ(WordEndAfter(text, 10), 15);
  EXPECT_EQ(WordEndAfter(text, 3), 5);
}

}  // namespace
