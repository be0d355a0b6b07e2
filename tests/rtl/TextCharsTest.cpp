// Characters of text kept as bytes: UTF-8 when the text is valid UTF-8, else a
// byte a character (Windows-1252). Counts, cuts, caret steps and the widths of
// formatted text all follow the one rule.

#include <gtest/gtest.h>

#include <string>

#include "rtl/Format.h"
#include "rtl/TextChars.h"

namespace {

using namespace rtl;

const std::string kE = "\xC3\xA9";             // é, two bytes
const std::string kEuro = "\xE2\x82\xAC";      // €, three bytes
const std::string kHerb = "\xF0\x9F\x8C\xBF";  // a four-byte character

TEST(TextCharsTest, CountsCutsAndStepsByCharacters) {
  const struct {
    const char* name;
    std::string text;
    std::size_t characters;
    std::size_t firstThree;  // bytes of the first three characters
    std::size_t prefix14;    // the longest start of at most 14 bytes
    std::size_t afterFirst;  // where the second character starts
    std::size_t beforeEnd;   // where the last character starts
  } cases[] = {
      {"ASCII", "Homo sapiens", 12, 3, 12, 1, 11},
      {"two-byte letters", "Z" + kE + kE + "rich", 7, 5, 9, 1, 8},
      {"a letter first", kE + "t" + kE, 3, 5, 5, 2, 3},
      {"three- and four-byte characters", kEuro + kHerb + "ab", 4, 8, 9, 3, 8},
      {"a four-byte character across 14 bytes", "Abcdefghijklm" + kHerb, 14, 3, 13, 1, 13},
      {"Windows-1252: a byte a character", "Z\xFC\xFCrich", 7, 3, 7, 1, 6},
      {"a stray continuation byte makes it Windows-1252", "ab\xA9" "cd", 5, 3, 5, 1, 4},
      {"a cut UTF-8 sequence makes it Windows-1252", "ab\xC3", 3, 3, 3, 1, 2},
      {"empty", "", 0, 0, 0, 1, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(CharacterCount(c.text), c.characters);
    EXPECT_EQ(CharactersLength(c.text, 3), c.firstThree);
    EXPECT_EQ(CharacterPrefixLength(c.text, 14), c.prefix14);
    EXPECT_EQ(NextCharacter(c.text, 0), c.afterFirst);
    EXPECT_EQ(PreviousCharacter(c.text, c.text.size()), c.beforeEnd);
  }
}

TEST(TextCharsTest, StepsThroughATextAndBackOneCharacterAtATime) {
  const std::string text = "a" + kE + kEuro + kHerb + "z";
  const std::size_t starts[] = {0, 1, 3, 6, 10, 11};
  std::size_t at = 0;
  for (std::size_t k = 1; k < std::size(starts); ++k) EXPECT_EQ(at = NextCharacter(text, at), starts[k]);
  for (std::size_t k = std::size(starts) - 1; k > 0; --k) EXPECT_EQ(at = PreviousCharacter(text, at), starts[k - 1]);
  EXPECT_EQ(PreviousCharacter(text, 0), 0u);
  EXPECT_EQ(NextCharacter(text, text.size()), text.size() + 1) << "past the end a byte a step";
}

TEST(TextCharsTest, FormatWidthsAndLengthsCountCharacters) {
  const struct {
    const char* name;
    const char* pattern;
    std::string text;
    std::string formatted;
  } cases[] = {
      {"right-aligned letter", "[%8s]", "Z" + kE + "rich", "[  Z" + kE + "rich]"},
      {"left-aligned letter", "[%-8s]", "Z" + kE + "rich", "[Z" + kE + "rich  ]"},
      {"cut by characters", "[%.2s]", kE + kEuro + "x", "[" + kE + kEuro + "]"},
      {"cut and padded", "[%4.2s]", kHerb + kHerb + kHerb, "[  " + kHerb + kHerb + "]"},
      {"Windows-1252 as it was", "[%8s]", "Z\xFCrich", "[  Z\xFCrich]"},
      {"wider text is not cut", "[%2s]", kE + kE + kE, "[" + kE + kE + kE + "]"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Format(c.pattern, c.text), c.formatted);
  }
  EXPECT_EQ(Format("%*s|%5d", 4, kE, 7), "   " + kE + "|    7") << "numbers after a text keep their width";
}

}  // namespace
