// Search and replace in the editor.

#include <gtest/gtest.h>

#include <string>

#include "EditorDouble.h"
#include "EditorTestSupport.h"

namespace {

using namespace findopt;

struct FindCase {
  std::string name;
  std::string text;        // paragraphs separated by '|'
  std::int32_t line, col;  // the caret
  std::string find, replace;
  std::uint8_t options;
  std::int32_t result;
  std::string selected;  // the selection afterwards
  TTextPos caret;
  std::string after;  // the text afterwards
};

class FindReplaceTest : public ::testing::TestWithParam<FindCase> {};

TEST_P(FindReplaceTest, ResultSelectionAndText) {
  const FindCase& c = GetParam();
  TestEditor editor;
  editor.SetText(c.text);
  editor.MoveCaretToLineCol(c.line, c.col);
  EXPECT_EQ(editor.FindReplace(c.find, c.replace, c.options), c.result);
  EXPECT_EQ(editor.SelectedText(), c.selected);
  EXPECT_EQ(editor.CaretTextPos(), c.caret);
  EXPECT_EQ(editor.Text(), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FindReplaceTest,
    ::testing::Values(
        FindCase{"WholeWordsSkipsThePartOfAWord", "cab ab", 1, 1, "ab", "", WholeWordsOnly, 0, "ab", {1, 7}, "cab ab"},
        FindCase{"PlainSearchFindsThePart", "cab ab", 1, 1, "ab", "", 0, 0, "ab", {1, 4}, "cab ab"},
        FindCase{"WholeWordsAtParagraphEnds", "x,ab|ab", 1, 1, "ab", "", WholeWordsOnly, 0, "ab", {1, 5}, "x,ab|ab"},
        FindCase{"ForwardFromTheCaret", "ab x ab", 1, 2, "ab", "", 0, 0, "ab", {1, 8}, "ab x ab"},
        FindCase{"ForwardIntoLaterParagraphs", "ab|x|yab", 1, 2, "ab", "", 0, 0, "ab", {3, 4}, "ab|x|yab"},
        FindCase{"BackwardFindsTheNearestBefore", "ab ab ab", 1, 7, "ab", "", Backward, 0, "ab", {1, 4}, "ab ab ab"},
        FindCase{"BackwardOverOverlaps", "aaa", 1, 1, "aa", "", Backward | EntireScope, 0, "aa", {1, 2}, "aaa"},
        FindCase{"BackwardIntoEarlierParagraphs", "xab|cd|e", 3, 2, "ab", "", Backward, 0, "ab", {1, 2}, "xab|cd|e"},
        FindCase{"BackwardNeverPastTheCaret", "ab", 1, 2, "ab", "", Backward, -1, "", {1, 2}, "ab"},
        FindCase{"NotAcrossParagraphs", "ab|cd", 1, 1, "bc", "", EntireScope, -1, "", {1, 1}, "ab|cd"},
        FindCase{"NoCaseByTheCodePage",
                 "x \xC9lan \xE9lan",
                 1,
                 1,
                 "\xE9LAN",
                 "",
                 0,
                 0,
                 "\xC9lan",
                 {1, 7},
                 "x \xC9lan \xE9lan"},
        FindCase{"MatchCase",
                 "x \xC9lan \xE9lan",
                 1,
                 1,
                 "\xE9lan",
                 "",
                 MatchCase,
                 0,
                 "\xE9lan",
                 {1, 12},
                 "x \xC9lan \xE9lan"},
        FindCase{"EmptySearchDoesNothing", "ab", 1, 1, "", "x", ReplaceAll, -1, "", {1, 1}, "ab"},
        FindCase{"SelectedOnlyWithoutSelection", "ab", 1, 1, "ab", "", SelectedOnly, -1, "", {1, 1}, "ab"},
        FindCase{"ReplaceAllGrowing", "aaa", 1, 1, "a", "bb", ReplaceAll | EntireScope, 3, "", {1, 1}, "bbbbbb"},
        FindCase{"ReplaceAllByItsOwnDouble", "a a", 1, 1, "a", "aa", ReplaceAll, 2, "", {1, 1}, "aa aa"},
        FindCase{"ReplaceAllBackward", "ab|ab ab", 2, 4, "ab", "x", ReplaceAll | Backward, 2, "", {2, 3}, "x|x ab"},
        FindCase{"ReplaceAllNothingFound", "ab", 1, 1, "q", "x", ReplaceAll, -1, "", {1, 1}, "ab"},
        FindCase{"ReplacementWithALineBreakIsRefused", "ab", 1, 1, "a", "x\r\ny", ReplaceAll, -1, "", {1, 1}, "ab"},
        FindCase{"LongPatternsAreUsedWhole",
                 std::string(300, 'x') + "y " + std::string(300, 'x') + "z",
                 1,
                 1,
                 std::string(300, 'x') + "z",
                 "",
                 0,
                 0,
                 std::string(300, 'x') + "z",
                 {1, 604},
                 std::string(300, 'x') + "y " + std::string(300, 'x') + "z"}),
    CaseName());

TEST(FindReplaceTest, ReplaceAllThenSearchFindsNothing) {
  TestEditor editor;
  editor.SetText("aaa");
  EXPECT_EQ(editor.FindReplace("a", "bb", ReplaceAll | EntireScope), 3);
  EXPECT_EQ(editor.Text(), "bbbbbb");
  EXPECT_EQ(editor.FindReplace("a", "", EntireScope), -1);
}

TEST(FindReplaceTest, ReplaceAllIsOneUndoStep) {
  for (const std::string text : {"abXab", "abab|ab xab|q", "aaa"}) {
    TestEditor editor;
    editor.SetText(text);
    editor.Type("_");
    ASSERT_GT(editor.FindReplace(text == "aaa" ? "a" : "ab", "x", ReplaceAll | EntireScope), 0);
    editor.Undo();
    EXPECT_EQ(editor.Text(), "_" + text) << text;
    editor.Redo();
    editor.Undo();
    EXPECT_EQ(editor.Text(), "_" + text) << text;
  }
}

TEST(FindReplaceTest, ReplaceOneReplacesTheSelectionAndSelectsTheNext) {
  TestEditor editor;
  editor.SetText("one two one two");
  EXPECT_EQ(editor.FindReplace("two", "", 0), 0);
  EXPECT_EQ(editor.SelectionBegin(), (TTextPos{1, 5}));
  EXPECT_EQ(editor.FindReplace("TWO", "2", ReplaceOne), 1);
  EXPECT_EQ(editor.Text(), "one 2 one two");
  EXPECT_EQ(editor.SelectedText(), "two");
  EXPECT_EQ(editor.SelectionBegin(), (TTextPos{1, 11}));
  EXPECT_EQ(editor.FindReplace("two", "2", ReplaceOne | MatchCase), 1);
  EXPECT_EQ(editor.Text(), "one 2 one 2");
  EXPECT_FALSE(editor.HasSelection());
  // A selection that is not the search text is left alone.
  editor.SetSelectionRange(1, 1, true, 4, 1);
  EXPECT_EQ(editor.FindReplace("two", "2", ReplaceOne), -1);
  EXPECT_EQ(editor.Text(), "one 2 one 2");
}

TEST(FindReplaceTest, SelectedOnlyReplacesInsideAndKeepsTheMovedSelection) {
  TestEditor editor;
  editor.SetText("a a|a a|a a");
  editor.SetSelectionRange(1, 3, true, 2, 2);  // "a|a"
  EXPECT_EQ(editor.FindReplace("a", "bbb", ReplaceAll | SelectedOnly), 2);
  EXPECT_EQ(editor.Text(), "a bbb|bbb a|a a");
  EXPECT_EQ(editor.SelectedText(), "bbb\r\nbbb");
  EXPECT_EQ(editor.CaretTextPos(), (TTextPos{2, 4}));
}

TEST(FindReplaceTest, AFailedReplacementKeepsTheEarlierOnesAndGivesTheCode) {
  TestEditor editor;
  editor.SetParaLengthLimit(6);
  editor.SetText("a|aaaa|a");
  std::vector<std::uint16_t> codes;
  editor.OnError = [&](TEditorCore&, std::uint16_t& code) { codes.push_back(code); };
  EXPECT_EQ(editor.FindReplace("a", "bb", ReplaceAll | EntireScope), 268);
  EXPECT_EQ(codes, std::vector<std::uint16_t>{268});
  EXPECT_EQ(editor.Text(), "bb|bbbbaa|a");
}

}  // namespace
