// Display columns, word wrap and the mapping between (paragraph, position)
// and (line, column).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EditorTestSupport.h"
#include "controls/editor/ParaList.h"
#include "controls/editor/VirEditU.h"

namespace {

struct ColumnCase {
  const char* name;
  std::string text;
  int tabSize;
  std::int32_t pos;
  std::int32_t column;
};

class Columns : public ::testing::TestWithParam<ColumnCase> {};

TEST_P(Columns, PositionAndColumnConvertBothWays) {
  const ColumnCase& c = GetParam();
  EXPECT_EQ(PositionToColumn(c.text, c.pos, c.tabSize), c.column);
  if (c.pos >= 1) {
    EXPECT_EQ(ColumnToPosition(c.text, c.column, c.tabSize), c.pos);
  }
}

INSTANTIATE_TEST_SUITE_P(
    TabsAndEnds, Columns,
    ::testing::Values(ColumnCase{"LeadingTabTabs8", "\tx", 8, 2, 9}, ColumnCase{"LeadingTabTabs4", "\tx", 4, 2, 5},
                      ColumnCase{"TwoTabsReachColumn17", "\t\tx", 8, 3, 17},
                      ColumnCase{"TabAfterTextGoesToNextStop", "ab\tc", 8, 4, 9},
                      ColumnCase{"TabAtAStopTakesAWholeStop", "abcdefgh\tx", 8, 10, 17},
                      ColumnCase{"PastTheEndOneColumnEach", "ab", 8, 5, 5}, ColumnCase{"PastATabEnd", "a\t", 8, 4, 10},
                      ColumnCase{"EmptyText", "", 8, 4, 4}, ColumnCase{"FirstPosition", "\tx", 8, 1, 1},
                      ColumnCase{"PositionZeroIsColumnOne", "abc", 8, 0, 1},
                      // A UTF-8 character is one column however many bytes it takes.
                      ColumnCase{"AfterATwoByteLetter", "Z\xC3\xBCrich", 8, 4, 3},
                      ColumnCase{"AfterAFourByteCharacter", "\xF0\x9F\x8C\xBFx", 8, 5, 2},
                      ColumnCase{"TabAfterALetter", "\xC3\xA9\tx", 8, 4, 9},
                      ColumnCase{"PastAUtf8End", "\xC3\xA9", 8, 4, 3},
                      ColumnCase{"Windows1252IsAByteAColumn", "Z\xFCrich", 8, 3, 3}),
    CaseName());

TEST(Columns, ColumnInsideATabMapsToTheTab) {
  // The tab of "ab\tc" covers columns 3 to 8.
  for (std::int32_t column = 3; column <= 8; ++column) EXPECT_EQ(ColumnToPosition("ab\tc", column, 8), 3) << column;
  EXPECT_EQ(ColumnToPosition("ab\tc", 9, 8), 4);
  EXPECT_EQ(ColumnToPosition("ab\tc", 12, 8), 7);
}

TEST(Columns, EveryPositionSurvivesTheRoundTrip) {
  for (std::string text : {"\t\tx", "a\tbc\t\td", "abc", "\t"}) {
    for (int tabSize : {1, 3, 8}) {
      for (std::int32_t pos = 1; pos <= static_cast<std::int32_t>(text.size()) + 3; ++pos) {
        EXPECT_EQ(ColumnToPosition(text, PositionToColumn(text, pos, tabSize), tabSize), pos)
            << text << " tab " << tabSize << " pos " << pos;
      }
    }
  }
}

TEST(Columns, LineDisplayLengthExpandsTabsToTheirStops) {
  TParaList list(nullptr, false, 0);
  Fill(list, {"\t\tx", "ab\tc", ""});
  EXPECT_EQ(list.LineDisplayLength(1), 17);
  EXPECT_EQ(list.LineDisplayLength(2), 9);
  EXPECT_EQ(list.LineDisplayLength(3), 0);
  list.SetTabSize(4);
  EXPECT_EQ(list.LineDisplayLength(1), 9);
}

struct WrapCase {
  const char* name;
  std::string text;
  std::int32_t wrapColumn;
  int tabSize;
  std::vector<std::string> lines;
};

class WordWrap : public ::testing::TestWithParam<WrapCase> {};

TEST_P(WordWrap, BreaksTheParagraphIntoDisplayLines) {
  const WrapCase& c = GetParam();
  TParaList list(nullptr, true, 0);
  list.SetWrapColumn(c.wrapColumn);
  list.SetTabSize(c.tabSize);
  Fill(list, {c.text});
  EXPECT_EQ(DisplayLines(list), c.lines);
  EXPECT_EQ(list.LineCount(), static_cast<std::int32_t>(c.lines.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Breaks, WordWrap,
    ::testing::Values(
        WrapCase{"AtABlankWhichStaysUp", "abcd efgh ijkl", 10, 8, {"abcd efgh ", "ijkl"}},
        WrapCase{"AfterAHyphen", "abc-defghijkl", 10, 8, {"abc-", "defghijkl"}},
        WrapCase{"HardWithoutABreakCharacter", "abcdefghijklmn", 10, 8, {"abcdefghij", "klmn"}},
        WrapCase{"RunOfBlanksStaysOnTheUpperLine", "abcd      efgh", 8, 8, {"abcd      ", "efgh"}},
        WrapCase{"TabWiderThanTheWrapColumn", "\tabc", 4, 8, {"\t", "abc"}},
        WrapCase{"TabsCountTheirColumns", "ab\tcd ef", 10, 8, {"ab\tcd ", "ef"}},
        WrapCase{
            "LongWordOverSeveralLines", "abcdefghijklmnopqrstuvwxyz", 10, 8, {"abcdefghij", "klmnopqrst", "uvwxyz"}},
        WrapCase{"WrapColumnOne", "a b", 1, 8, {"a ", "b"}},
        WrapCase{"TrailingBlanksMakeNoLine", "abcdefghij   ", 10, 8, {"abcdefghij   "}},
        WrapCase{"FitsExactly", "abcdefghij", 10, 8, {"abcdefghij"}},
        WrapCase{"ColumnZeroMeansNoWrap", "abcd efgh ijkl", 0, 8, {"abcd efgh ijkl"}},
        WrapCase{"Column32767MeansNoWrap", std::string(20000, 'x'), 32767, 8, {std::string(20000, 'x')}},
        // A UTF-8 letter takes one column and is never cut; in Windows-1252 a byte is a character.
        WrapCase{"Utf8LettersTakeAColumnEach", "\xC3\xA9\xC3\xA9\xC3\xA9 \xC5\x82\xC5\x82", 4, 8,
                 {"\xC3\xA9\xC3\xA9\xC3\xA9 ", "\xC5\x82\xC5\x82"}},
        WrapCase{"Utf8HardBreakBetweenLetters", "\xCE\xB1\xCE\xB2\xCE\xB3\xCE\xB4\xCE\xB5", 2, 8,
                 {"\xCE\xB1\xCE\xB2", "\xCE\xB3\xCE\xB4", "\xCE\xB5"}},
        WrapCase{"FourByteCharactersWhole", "\xF0\x9F\x8C\xBF\xF0\x9F\x8C\xBF\xF0\x9F\x8C\xBF", 1, 8,
                 {"\xF0\x9F\x8C\xBF", "\xF0\x9F\x8C\xBF", "\xF0\x9F\x8C\xBF"}},
        WrapCase{"Windows1252ByteByByte", "\xE9\xE9\xE9\xE9\xE9", 2, 8, {"\xE9\xE9", "\xE9\xE9", "\xE9"}}),
    CaseName());

TEST(WordWrapSettings, SwitchingWrapRelaysEveryParagraphAndTellsTheEditors) {
  RecordingEditor editor;
  TParaList list(&editor, false, 0);
  list.SetWrapColumn(10);
  Fill(list, {"abcd efgh ijkl", "x", "abcdefghijklmn"});
  EXPECT_EQ(list.LineCount(), 3);
  EXPECT_EQ(editor.layouts, 0);

  list.SetWordWrap(true);
  EXPECT_EQ(DisplayLines(list), (std::vector<std::string>{"abcd efgh ", "ijkl", "x", "abcdefghij", "klmn"}));
  list.SetWrapColumn(5);
  EXPECT_EQ(list.LineCount(), 7);
  list.SetWordWrap(false);
  EXPECT_EQ(list.LineCount(), 3);
  EXPECT_EQ(editor.layouts, 3);
}

// Paragraphs "abcd efgh ijkl", "" and "xyz" wrapped at 10 show as
// 1 "abcd efgh ", 2 "ijkl", 3 "", 4 "xyz".
class Positions : public ::testing::Test {
 protected:
  Positions() : list(nullptr, true, 0) {
    list.SetWrapColumn(10);
    Fill(list, {"abcd efgh ijkl", "", "xyz"});
  }
  TParaList list;
};

TEST_F(Positions, LineToParaGivesTheParagraphAndTheLineStart) {
  struct Case {
    std::int32_t line, para, offset;
  };
  for (Case c : {Case{1, 1, 0}, Case{2, 1, 10}, Case{3, 2, 0}, Case{4, 3, 0}, Case{5, 0, 0}, Case{0, 0, 0}}) {
    std::int32_t offset = -1;
    EXPECT_EQ(list.LineToPara(c.line, offset), c.para) << "line " << c.line;
    EXPECT_EQ(offset, c.offset) << "line " << c.line;
  }
}

TEST_F(Positions, ParaToLineGivesTheLineAndThePositionInIt) {
  struct Case {
    std::int32_t para, pos, line, column;
  };
  for (Case c : {Case{1, 1, 1, 1}, Case{1, 10, 1, 10}, Case{1, 11, 2, 1}, Case{1, 15, 2, 5}, Case{1, 40, 2, 30},
                 Case{2, 1, 3, 1}, Case{3, 2, 4, 2}, Case{9, 1, 4, 1}, Case{0, 2, 1, 2}}) {
    std::int32_t column = -1;
    EXPECT_EQ(list.ParaToLine(c.para, c.pos, column), c.line) << c.para << "," << c.pos;
    EXPECT_EQ(column, c.column) << c.para << "," << c.pos;
  }
}

TEST_F(Positions, LookupsOutsideTheTextGiveNothing) {
  std::int32_t length = -1;
  EXPECT_STREQ(list.GetLine(5, length), "");
  EXPECT_EQ(length, 0);
  EXPECT_EQ(list.GetParagraph(0), nullptr);
  EXPECT_EQ(list.GetParagraph(4), nullptr);
  EXPECT_EQ(list.GetParagraphLength(4), 0);
  EXPECT_EQ(list.LineDisplayLength(0), 0);
}

TEST(Lookups, AnyOrderOfAccessFindsTheSameLines) {
  // Lookups walk from the first, the cached or the last paragraph; the
  // answer must not depend on where the previous lookup left the cache.
  TParaList list(nullptr, true, 0);
  list.SetWrapColumn(4);
  Paras paras;
  std::vector<std::pair<std::int32_t, std::int32_t>> expected;  // (para, offset) per line
  for (int i = 0; i < 60; ++i) {
    paras.push_back(std::string(static_cast<std::size_t>(i % 7) * 3, 'a' + static_cast<char>(i % 26)));
    std::int32_t lines = std::max(1, (static_cast<std::int32_t>(paras.back().size()) + 3) / 4);
    for (std::int32_t k = 0; k < lines; ++k) expected.emplace_back(i + 1, k * 4);
  }
  Fill(list, paras);
  ASSERT_EQ(list.LineCount(), static_cast<std::int32_t>(expected.size()));
  const auto lineCount = static_cast<std::int32_t>(expected.size());
  for (std::int32_t step = 0; step < 4 * lineCount; ++step) {
    std::int32_t line = (step * 37) % lineCount + 1;
    std::int32_t offset = -1;
    ASSERT_EQ(list.LineToPara(line, offset), expected[static_cast<std::size_t>(line - 1)].first) << line;
    ASSERT_EQ(offset, expected[static_cast<std::size_t>(line - 1)].second) << line;
    std::int32_t para = (step * 13) % 60 + 1;
    ASSERT_EQ(list.GetParagraph(para)->Text(), paras[static_cast<std::size_t>(para - 1)]);
  }
}

}  // namespace
