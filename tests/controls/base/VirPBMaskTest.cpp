#include "controls/base/VirPBMask.h"

#include <gtest/gtest.h>

#include <bitset>
#include <string>

#include "FakeIntl.h"
#include "controls/base/VirUserData.h"

namespace {

class PictureMaskTest : public ::testing::Test {
 protected:
  PictureMaskTest() {
    std::bitset<256> abc;
    for (char c : std::string("ABCabc")) abc.set(static_cast<unsigned char>(c));
    userData.SetUserCharSet('1', abc);
    userData.SetForceCase('1', TVirUserData::fcUpper);
    userData.SetForceCase('2', TVirUserData::fcMixed);
    userData.SetSubstChar('\xF1', '#');
  }
  TMaskContext Context() const { return {intl, userData}; }

  FakeIntl intl;
  TVirUserData userData;
};

TEST_F(PictureMaskTest, EachPictureCharacterAcceptsItsSetAfterItsCaseRule) {
  struct Case {
    const char* name;
    char picture;
    char typed;
    char previous;
    bool accepted;
    char result;
  };
  const Case cases[] = {
      {"! upper-cases anything", '!', 'a', 0, true, 'A'},
      {"L lower-cases anything", 'L', 'Q', 0, true, 'q'},
      {"X keeps anything", 'X', '%', 0, true, '%'},
      {"x capitalises after a blank", 'x', 'n', ' ', true, 'N'},
      {"x capitalises after a dash", 'x', 'y', '-', true, 'Y'},
      {"x leaves a letter after a letter", 'x', 'y', 'w', true, 'y'},
      {"x without a previous character forces nothing", 'x', 'a', 0, true, 'a'},
      {"a takes letters of the code page", 'a', '\xe9', 0, true, '\xe9'},
      {"a refuses an underscore", 'a', '_', 0, false, '_'},
      {"a takes a comma", 'a', ',', 0, true, ','},
      {"A upper-cases letters", 'A', 'b', 0, true, 'B'},
      {"l lower-cases letters", 'l', 'Q', 0, true, 'q'},
      {"N refuses digits", 'N', '5', 0, false, '5'},
      {"9 takes a blank", '9', ' ', 0, true, ' '},
      {"9 refuses a letter", '9', 'a', 0, false, 'a'},
      {"9 refuses a sign", '9', '-', 0, false, '-'},
      {"i takes a sign", 'i', '-', 0, true, '-'},
      {"# takes a point", '#', '.', 0, true, '.'},
      {"# refuses a plus", '#', '+', 0, false, '+'},
      {"E upper-cases the exponent", 'E', 'e', 0, true, 'E'},
      {"E takes a plus", 'E', '+', 0, true, '+'},
      {"K upper-cases hex digits", 'K', 'f', 0, true, 'F'},
      {"K refuses g", 'K', 'g', 0, false, 'G'},
      {"O refuses 8", 'O', '8', 0, false, '8'},
      {"O takes 7", 'O', '7', 0, true, '7'},
      {"b refuses 2", 'b', '2', 0, false, '2'},
      {"b takes 1", 'b', '1', 0, true, '1'},
      {"B takes the false character in lower case", 'B', 'f', 0, true, 'F'},
      {"B refuses another letter", 'B', 'x', 0, false, 'X'},
      {"Y takes no", 'Y', 'n', 0, true, 'N'},
      {"d takes digits", 'd', '7', 0, true, '7'},
      {"t takes anything", 't', 'p', 0, true, 'p'},
      {"user set 1 upper-cases into its set", '1', 'b', 0, true, 'B'},
      {"user set 1 refuses outside its set", '1', 'd', 0, false, 'D'},
      {"user set 2 follows the x rule", '2', 'q', ' ', true, 'Q'},
      {"code 0 is refused everywhere", 'X', '\0', 0, false, '\0'},
  };
  for (const Case& c : cases) {
    char ch = c.typed;
    EXPECT_EQ(CharIsOK(c.picture, ch, true, c.previous, Context()), c.accepted) << c.name;
    EXPECT_EQ(ch, c.result) << c.name;
  }
}

TEST_F(PictureMaskTest, PositionsOfMasks) {
  struct Case {
    const char* mask;
    int maxLength;
    int first;
    int last;
    int floats;
    int point;
  };
  const Case cases[] = {
      {"(999) 999-9999", 14, 1, 13, 0, -1},
      {"$$##9.99", 8, 2, 7, 2, 5},
      {"###,###", 7, 1, 6, 1, -1},
      {"XXXXX", 5, 0, 4, 0, -1},
      {"X", 15, 0, 14, 0, -1},    // the last character repeats to MaxLength
      {"--:99", 5, 3, 4, 0, -1},  // literals in front
      {"ab--", 4, 0, 1, 0, -1},   // literals behind
      {"----", 4, 3, 0, 0, -1},   // no picture position at all
  };
  for (const Case& c : cases) {
    TPictureMask mask(c.mask, c.maxLength);
    EXPECT_EQ(mask.Length(), c.maxLength) << c.mask;
    EXPECT_EQ(mask.FirstEditPosition(), c.first) << c.mask;
    EXPECT_EQ(mask.LastPicturePosition(), c.last) << c.mask;
    EXPECT_EQ(mask.FloatCount(), c.floats) << c.mask;
    EXPECT_EQ(mask.DecimalPos(), c.point) << c.mask;
  }
}

TEST_F(PictureMaskTest, StripKeepsTheValuePositions) {
  struct Case {
    const char* name;
    const char* mask;
    const char* text;
    const char* stripped;
  };
  const Case cases[] = {
      {"telephone literals go", "(999) 999-9999", "(555) 123-4567", "5551234567"},
      {"floating currency goes", "$$##9.99", " -$12.50", " -12.50"},
      {"thousands separators go", "###,###", "  1,234", "  1234"},
      {"a text of another length stays", "###,###", "1,234", "1,234"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(StripText(c.text, TPictureMask(c.mask, static_cast<int>(std::string(c.mask).size())), Context()),
              c.stripped)
        << c.name;
  intl.decimal = ',';
  intl.thousands = '.';
  EXPECT_EQ(StripText("1.234,50", TPictureMask("#,###.##", 8), Context()), "1234.50") << "European characters";
}

TEST_F(PictureMaskTest, MergeLaysTheValueIntoTheMask) {
  struct Case {
    const char* name;
    const char* mask;
    const char* value;
    TMergeOptions options;
    std::string merged;
    bool lost;
  };
  const TMergeOptions plain{}, real{false, true, false}, right{false, false, true};
  const Case cases[] = {
      {"currency and sign float left of the digits", "$$##9.99", "-12.50", plain, " -$12.50", false},
      {"thousands separator between the digits", "###,###", "1234", plain, "  1,234", false},
      {"plain layout of a real drops trailing zeros", "##########", "1.500000000", real, "1.5       ", false},
      {"plain layout from the left", "!!!!!", "abc", plain, "ABC  ", false},
      {"plain layout from the right", "!!!!!", "abc", right, "  ABC", false},
      {"telephone digits around the literals", "(999) 999-9999", "5551234567", plain, "(555) 123-4567", false},
      {"x under the plain merge forces nothing", "xxxxx", "new y", plain, "new y", false},
      {"empty real value shows a zero", "###.##", "", plain, "  0.00", false},
      {"hex digits fill with zeros", "KKKK", "1F", plain, "001F", false},
      {"currency run right-aligned", "cc###", "12", plain, " $ 12", false},
      {"substitution literal shows its character",
       "99\xF1"
       "99",
       "1234", plain, "12#34", false},
      {"too many digits for the numeric layout", "##.##", "100", plain, "00.00", true},
      {"too many characters for the plain layout", "##", "100", plain, "10", true},
      {"a sign without room", "iiiiiiiiii", "-1234567890", plain, "-123456789", true},
      {"a large real", "##########", "1000000000000", real, "1000000000", true},
  };
  for (const Case& c : cases) {
    TPictureMask mask(c.mask, static_cast<int>(std::string(c.mask).size()));
    TMergeResult result = MergeValueWithMask(c.value, mask, c.options, Context());
    EXPECT_EQ(result.text, c.merged) << c.name;
    EXPECT_EQ(result.lostCharacters, c.lost) << c.name;
  }
}

TEST_F(PictureMaskTest, DecimalAlignmentClosesBothParts) {
  struct Case {
    const char* name;
    const char* text;
    const char* aligned;
  };
  const Case cases[] = {
      {"blank inside the integer part", "1 2.5 ", " 12.50"},
      {"blank unit position becomes zero", "   .5 ", "  0.50"},
      {"blank between fraction digits", " 12. 5", " 12.50"},
      {"aligned already", " 12.34", " 12.34"},
  };
  TPictureMask mask("###.##", 6);
  for (const Case& c : cases) {
    std::string text = c.text;
    AlignIntegerPart(text, mask);
    AlignFraction(text, mask);
    EXPECT_EQ(text, c.aligned) << c.name;
  }
}

TEST_F(PictureMaskTest, BlankTextKeepsTheLiterals) {
  EXPECT_EQ(BlankText(TPictureMask("(999) 999-9999", 14), Context()), "(   )    -    ");
  intl.decimal = ',';
  EXPECT_EQ(BlankText(TPictureMask("##.##", 5), Context()), "  ,  ");
  EXPECT_EQ(BlankText(TPictureMask("\xF1"
                                   "99",
                                   3),
                      Context()),
            "#  ");
}

}  // namespace
