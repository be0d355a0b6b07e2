// The editor apart from its window: properties, the listing operations,
// commands, selection, the clipboard, undo and the mouse rules.

#include <gtest/gtest.h>

#include <string>

#include "EditorDouble.h"
#include "EditorTestSupport.h"
#include "controls/base/VirExcept.h"
#include "platform/Service.h"

namespace {

TEST(EditorPropertiesTest, SetterRules) {
  TestEditor editor;
  editor.SetParaLengthLimit(40000);
  EXPECT_EQ(editor.ParaLengthLimit(), 32767);
  editor.SetParaLengthLimit(100);
  EXPECT_EQ(editor.ParaLengthLimit(), 100);

  editor.SetScrollBarsAlways(true);
  EXPECT_TRUE(editor.ScrollBarsAlways());
  editor.SetScrollBars(TScrollStyle::ssNone);
  EXPECT_FALSE(editor.ScrollBarsAlways());
  editor.SetScrollBarsAlways(true);
  EXPECT_FALSE(editor.ScrollBarsAlways());
  EXPECT_GE(editor.recreated, 3);

  editor.SetWrapAtLeft(false);
  EXPECT_FALSE(editor.WrapAtLeft());
  editor.SetScrollPastEnd(true);
  editor.SetWordWrap(true);
  EXPECT_TRUE(editor.WrapAtLeft());
  EXPECT_FALSE(editor.ScrollPastEnd());
  editor.SetWrapAtLeft(false);
  EXPECT_TRUE(editor.WrapAtLeft());
  editor.SetScrollPastEnd(true);
  EXPECT_FALSE(editor.WordWrap());

  for (int bad : {0, -3}) {
    editor.SetWrapColumn(bad);
    editor.SetTabSize(bad);
    editor.SetParaLimit(bad);
    editor.SetLeftMargin(bad - 1);
  }
  EXPECT_EQ(editor.WrapColumn(), 80);
  EXPECT_EQ(editor.TabSize(), 8);
  EXPECT_EQ(editor.ParaLimit(), MaxLongInt);
  EXPECT_EQ(editor.LeftMargin(), 15);
  editor.SetMargin(4);
  EXPECT_EQ(editor.LeftMargin(), 4);
  EXPECT_EQ(editor.RightMargin(), 4);
}

TEST(EditorPropertiesTest, WrapToWindowNeverSetsAColumnBelowOne) {
  TestEditor editor(1, 5);
  editor.SetText("a long paragraph that wraps");
  editor.SetWordWrap(true);
  editor.SetWrapToWindow(true);
  EXPECT_EQ(editor.WrapColumn(), 1);
  editor.Resize(40, 5);
  EXPECT_EQ(editor.WrapColumn(), 38);
}

TEST(EditorLayoutTest, HundredThousandLinesScrollScaled) {
  TestEditor editor(80, 20);
  std::string text;
  for (int i = 1; i < 100000; ++i) text += "x\r";
  text += "x";
  editor.InsertTextAtCaret(text);
  ASSERT_EQ(editor.CountParagraphs(), 100000);
  EXPECT_EQ(editor.VerticalScroll(), (TVertScale{6, 16663}));
  EXPECT_EQ(editor.bars[plat::ScrollBarKind::Vertical].max, 16663);
  editor.Scroll(plat::ScrollBarKind::Vertical, plat::ScrollCode::ThumbTrack, 16663);
  EXPECT_EQ(editor.TopLine(), 99981);
  editor.Scroll(plat::ScrollBarKind::Vertical, plat::ScrollCode::ThumbTrack, 100);
  EXPECT_EQ(editor.TopLine(), 600);
  EXPECT_EQ(editor.bars[plat::ScrollBarKind::Vertical].pos, 100);
}

TEST(EditorLayoutTest, ScrollBarsAlwaysKeepsTheVerticalBar) {
  TestEditor editor(80, 20);
  editor.SetText("a|b|c");
  EXPECT_EQ(editor.bars[plat::ScrollBarKind::Vertical], (TScrollRange{1, 1, 1}));
  EXPECT_EQ(editor.bars[plat::ScrollBarKind::Horizontal], (TScrollRange{0, 512, 0}));
  editor.SetScrollBarsAlways(true);
  EXPECT_EQ(editor.bars[plat::ScrollBarKind::Vertical], (TScrollRange{1, 2, 1}));
}

TEST(EditorListingTest, ReadParagraphExpandsTabs) {
  TestEditor editor;
  editor.SetText("a\tb||\tx");
  EXPECT_EQ(editor.ReadParagraph(1), "a       b");
  EXPECT_EQ(editor.ReadParagraph(2), "");
  EXPECT_EQ(editor.ReadParagraph(3), "        x");
  editor.SetTabSize(4);
  EXPECT_EQ(editor.ReadParagraph(1), "a   b");
  EXPECT_THROW(editor.ReadParagraph(0), EInvalidLineOrPara);
  EXPECT_THROW(editor.ReadParagraph(4), EInvalidLineOrPara);
}

TEST(EditorListingTest, LineAndColumnErrors) {
  TestEditor editor;
  editor.SetText("abc|def");
  EXPECT_THROW(editor.MoveCaretToLineCol(0, 1), EInvalidLineOrPara);
  EXPECT_THROW(editor.MoveCaretToLineCol(1, 0), EInvalidLineOrPara);
  EXPECT_THROW(editor.MoveCaretToLineCol(3, 1), EInvalidLineOrPara);
  EXPECT_THROW(editor.SetTopLine(3), EInvalidLineOrPara);
  EXPECT_THROW(editor.SetMarkerAt(0, 3, 1), EInvalidLineOrCol);
  EXPECT_THROW(editor.SetMarkerAt(0, 1, 0), EInvalidLineOrCol);
  editor.MoveCaretToLineCol(2, 99);  // clamped as by the cursor keys
  EXPECT_EQ(editor.CaretPos(), 4);
  EXPECT_EQ(editor.CaretTextPos(), (TTextPos{2, 4}));
}

TEST(EditorListingTest, ListingLinesAppendAndLeaveAnEmptyLastParagraph) {
  TestEditor editor(80, 5);
  for (int i = 1; i <= 12; ++i) {
    editor.MoveCaretToLineCol(editor.CountParagraphs(), 1);
    editor.InsertStringAtCaret("row " + std::to_string(i) + "\r");
  }
  EXPECT_EQ(editor.CountParagraphs(), 13);
  EXPECT_EQ(editor.ReadParagraph(12), "row 12");
  EXPECT_EQ(editor.ReadParagraph(13), "");
  EXPECT_EQ(editor.TopLine(), 9);  // the caret on line 13 is kept in view
  editor.SelectAllText(true);
  EXPECT_EQ(editor.SelectionBegin(), (TTextPos{1, 1}));
  EXPECT_EQ(editor.SelectionEnd(), (TTextPos{13, 1}));
}

TEST(EditorListingTest, ClearTextDropsHistoryAndBookmarksButKeepsSettings) {
  TestEditor editor;
  editor.SetTabSize(4);
  editor.SetParaLimit(50);
  editor.SetText("abc|def");
  editor.Type("xy");
  editor.SetMarker(3);
  ASSERT_TRUE(editor.CanUndo());
  editor.ClearText();
  EXPECT_FALSE(editor.CanUndo());
  for (int n = 0; n < 10; ++n) EXPECT_FALSE(editor.Paragraphs().Marker(n).IsSet());
  EXPECT_EQ(editor.Text(), "");
  EXPECT_EQ(editor.TabSize(), 4);
  EXPECT_EQ(editor.ParaLimit(), 50);
  EXPECT_EQ(editor.CaretTextPos(), (TTextPos{1, 1}));
}

TEST(EditorListingTest, SelectionRangeClampsLinesAndColumns) {
  TestEditor editor;
  editor.SetText("abc|defgh|ij");
  editor.SetSelectionRange(0, 2, true, 99, 2);
  EXPECT_EQ(editor.SelectionBegin(), (TTextPos{1, 2}));
  EXPECT_EQ(editor.SelectionEnd(), (TTextPos{2, 6}));
  EXPECT_EQ(editor.CaretTextPos(), (TTextPos{2, 6}));
  editor.SetSelectionRange(3, 9, false, 1, 2);
  EXPECT_EQ(editor.SelectedText(), "defgh\r\nij");
  EXPECT_EQ(editor.CaretTextPos(), (TTextPos{3, 3}));
}

TEST(EditorListingTest, ErrorsGoToOnErrorOrRaise) {
  TestEditor editor;
  editor.SetParaLengthLimit(5);
  editor.SetText("abcd");
  editor.MoveCaretToLineCol(1, 5);
  EXPECT_THROW(editor.Type("xy"), EEditorError);
  EXPECT_EQ(editor.Text(), "abcdx");
  std::vector<std::uint16_t> codes;
  editor.OnError = [&](TEditorCore&, std::uint16_t& code) { codes.push_back(code); };
  editor.InsertStringAtCaret("z");
  EXPECT_EQ(codes, std::vector<std::uint16_t>{268});
  EXPECT_EQ(editor.Text(), "abcdx");
}

TEST(EditorListingTest, InsertReplacesTheSelectionInOneUndoStep) {
  TestEditor editor;
  editor.SetText("one two three");
  editor.SetSelectionRange(1, 5, true, 8, 1);
  editor.InsertStringAtCaret("2\r2");
  EXPECT_EQ(editor.Text(), "one 2|2 three");
  EXPECT_EQ(editor.CaretTextPos(), (TTextPos{2, 2}));
  editor.Undo();
  EXPECT_EQ(editor.Text(), "one two three");
  EXPECT_FALSE(editor.CanUndo());
}

TEST(EditorListingTest, LongInsertInPiecesIsOneUndoStepWhenItFits) {
  TestEditor editor;
  std::string text;
  while (text.size() < 100000) text += "0123456789012345678901234567890123456789\r\n";
  editor.SetUndoBufferSize(65535);
  editor.SetText("start");
  editor.MoveCaretToLineCol(1, 6);
  editor.InsertTextAtCaret(text);
  EXPECT_EQ(editor.CountParagraphs(), static_cast<std::int32_t>(text.size() / 42) + 1);
  EXPECT_EQ(editor.ReadParagraph(2), "0123456789012345678901234567890123456789");
  editor.Undo();
  EXPECT_EQ(editor.Text(), "start");

  // A small history cannot hold the insertion: nothing of it is undone.
  editor.SetUndoBufferSize(8192);
  editor.InsertTextAtCaret(text);
  EXPECT_FALSE(editor.CanUndo());
}

TEST(EditorRingTest, AttachedEditorsShareTextAndFollowChanges) {
  TestEditor first, second;
  first.SetText("alpha|beta");
  second.AttachEditor(first);
  EXPECT_EQ(second.Text(), "alpha|beta");
  second.MoveCaretToLineCol(2, 3);
  first.MoveCaretToLineCol(1, 1);
  first.InsertStringAtCaret("new\r");
  EXPECT_EQ(second.Text(), "new|alpha|beta");
  EXPECT_EQ(second.CaretTextPos(), (TTextPos{3, 3}));
  EXPECT_EQ(second.CaretLine(), 3);
  second.invalidated.clear();
  first.Type("!");
  EXPECT_FALSE(second.invalidated.empty());

  // Clearing one editor leaves the other with the shared text.
  first.ClearText();
  EXPECT_EQ(first.Text(), "");
  EXPECT_EQ(second.Text(), "new|!alpha|beta");
  second.Type("?");
  EXPECT_EQ(first.Text(), "");
}

TEST(EditorRingTest, TextOutlivesTheEditorThatMadeIt) {
  auto owner = std::make_unique<TestEditor>();
  TestEditor other;
  owner->SetText("kept");
  other.AttachEditor(*owner);
  owner.reset();
  other.MoveCaretToLineCol(1, 5);
  other.Type("!");
  EXPECT_EQ(other.Text(), "kept!");
}

// ---- Commands ------------------------------------------------------------

struct EditCase {
  std::string name;
  std::string text;        // paragraphs separated by '|'
  std::int32_t line, col;  // caret before, as MoveCaretToLineCol takes it
  std::function<void(TestEditor&)> setup;
  std::vector<int> commands;  // ccChar commands type 'X'
  std::string expected;
  TTextPos caret;
};

class EditCommandTest : public ::testing::TestWithParam<EditCase> {};

TEST_P(EditCommandTest, TextAndCaretAfterwards) {
  const EditCase& c = GetParam();
  TestEditor editor;
  editor.SetText(c.text);
  if (c.setup) c.setup(editor);
  editor.MoveCaretToLineCol(c.line, c.col);
  for (int command : c.commands) editor.DoCommand(command, 'X');
  EXPECT_EQ(editor.Text(), c.expected);
  EXPECT_EQ(editor.CaretTextPos(), c.caret);
}

auto Overwrite = [](TestEditor& e) { e.SetInsertMode(false); };
auto PastEnd = [](TestEditor& e) { e.SetScrollPastEnd(true); };
auto NoWrapAtLeft = [](TestEditor& e) { e.SetWrapAtLeft(false); };
auto Fixed = [](TestEditor& e) { e.TabType = TTabType::ttFixed; };
auto Smart = [](TestEditor& e) { e.TabType = TTabType::ttSmart; };
auto Indent = [](TestEditor& e) { e.AutoIndent = true; };
auto ReadOnlyEditor = [](TestEditor& e) { e.SetReadOnly(true); };

INSTANTIATE_TEST_SUITE_P(Cases, EditCommandTest,
                         ::
                             testing::
                                 Values(EditCase{"TypeInserts", "abc", 1, 2, {}, {ccChar}, "aXbc", {1, 3}},
                                        EditCase{
                                            "TypeOverwrites", "abc", 1, 2, Overwrite, {ccChar, ccChar}, "aXX", {1, 4}},
                                        EditCase{"OverwritePastTheEndInserts",
                                                 "ab",
                                                 1,
                                                 3,
                                                 Overwrite,
                                                 {ccChar, ccChar},
                                                 "abXX",
                                                 {1, 5}},
                                        EditCase{
                                            "TypeBeyondTheEndPads", "ab", 1, 5, PastEnd, {ccChar}, "ab  X", {1, 6}},
                                        EditCase{"ReadOnlyTypesNothing",
                                                 "ab",
                                                 1,
                                                 1,
                                                 ReadOnlyEditor,
                                                 {ccChar, ccDel, ccTab, ccNewLine},
                                                 "ab",
                                                 {1, 3}},
                                        EditCase{"BackspaceAtTheTextStartDoesNothing",
                                                 "ab|cd",
                                                 1,
                                                 1,
                                                 nullptr,
                                                 {ccBack},
                                                 "ab|cd",
                                                 {1, 1}},
                                        EditCase{"BackspaceJoinsParagraphs",
                                                 "ab|cd",
                                                 2,
                                                 1,
                                                 nullptr,
                                                 {ccBack},
                                                 "abcd",
                                                 {1, 3}},
                                        EditCase{"BackspaceJoinsWithoutWrapAtLeft",
                                                 "ab|cd",
                                                 2,
                                                 1,
                                                 NoWrapAtLeft,
                                                 {ccBack},
                                                 "abcd",
                                                 {1, 3}},
                                        EditCase{"BackspaceBeyondTheEndOnlyMoves",
                                                 "ab|cd",
                                                 1,
                                                 6,
                                                 PastEnd,
                                                 {ccBack, ccBack},
                                                 "ab|cd",
                                                 {1, 4}},
                                        EditCase{"BackspaceAtTheEndDeletes",
                                                 "ab|cd",
                                                 1,
                                                 3,
                                                 PastEnd,
                                                 {ccBack},
                                                 "a|cd",
                                                 {1, 2}},
                                        EditCase{"ReadOnlyBackspaceMovesLeft",
                                                 "ab",
                                                 1,
                                                 3,
                                                 ReadOnlyEditor,
                                                 {ccBack},
                                                 "ab",
                                                 {1, 2}},
                                        EditCase{"DeleteAChar", "abc", 1, 2, nullptr, {ccDel}, "ac", {1, 2}},
                                        EditCase{"DeleteJoinsTheNextParagraph",
                                                 "ab|cd",
                                                 1,
                                                 3,
                                                 nullptr,
                                                 {ccDel},
                                                 "abcd",
                                                 {1, 3}},
                                        EditCase{"DeleteBeyondTheEndPadsAndJoins",
                                                 "ab|cd",
                                                 1,
                                                 8,
                                                 PastEnd,
                                                 {ccDel},
                                                 "ab     cd",
                                                 {1, 8}},
                                        EditCase{"DeleteAtTheEndOfTheLastParagraph",
                                                 "ab|cd",
                                                 2,
                                                 3,
                                                 nullptr,
                                                 {ccDel},
                                                 "ab|cd",
                                                 {2, 3}},
                                        EditCase{"DeleteBeyondTheEndOfTheLastParagraph",
                                                 "ab|cd",
                                                 2,
                                                 7,
                                                 PastEnd,
                                                 {ccDel},
                                                 "ab|cd",
                                                 {2, 7}},
                                        EditCase{
                                            "DeleteToLineStart", "abcdef", 1, 4, nullptr, {ccDelBol}, "def", {1, 1}},
                                        EditCase{
                                            "DeleteToLineEnd", "abcdef|g", 1, 4, nullptr, {ccDelEol}, "abc|g", {1, 4}},
                                        EditCase{"DeleteLine", "ab|cd|ef", 2, 2, nullptr, {ccDelLine}, "ab|ef", {2, 1}},
                                        EditCase{"DeleteLastLineKeepsTheParagraph",
                                                 "ab|cd",
                                                 2,
                                                 2,
                                                 nullptr,
                                                 {ccDelLine},
                                                 "ab|",
                                                 {2, 1}},
                                        EditCase{"DeleteWordAndItsBlanks",
                                                 "one  two",
                                                 1,
                                                 1,
                                                 nullptr,
                                                 {ccDelWord},
                                                 "two",
                                                 {1, 1}},
                                        EditCase{
                                            "DeleteWordOnADelimiter", "a,b", 1, 2, nullptr, {ccDelWord}, "ab", {1, 2}},
                                        EditCase{"EnterSplits", "abcd", 1, 3, nullptr, {ccNewLine}, "ab|cd", {2, 1}},
                                        EditCase{"EnterTrimsBlanksBeforeTheCaret",
                                                 "ab  cd",
                                                 1,
                                                 5,
                                                 nullptr,
                                                 {ccNewLine},
                                                 "ab|cd",
                                                 {2, 1}},
                                        EditCase{"EnterAtTheStartOfAnIndentedLine",
                                                 "\tab",
                                                 1,
                                                 1,
                                                 Indent,
                                                 {ccNewLine},
                                                 "|\tab",
                                                 {2, 1}},
                                        EditCase{"EnterInOverwriteModeInTheLastParagraph",
                                                 "ab|cd",
                                                 2,
                                                 1,
                                                 Overwrite,
                                                 {ccNewLine},
                                                 "ab|cd",
                                                 {2, 3}},
                                        EditCase{"EnterInOverwriteModeMovesDown",
                                                 "ab|cd",
                                                 1,
                                                 2,
                                                 Overwrite,
                                                 {ccNewLine},
                                                 "ab|cd",
                                                 {2, 1}},
                                        EditCase{
                                            "AutoIndentWithATab", "\tab", 1, 4, Indent, {ccNewLine}, "\tab|\t", {2, 2}},
                                        EditCase{"AutoIndentWithBlanksOnlyForFixedTabs",
                                                 "\tab",
                                                 1,
                                                 4,
                                                 [](TestEditor& e) {
                                                   e.AutoIndent = true;
                                                   e.TabType = TTabType::ttFixed;
                                                 },
                                                 {ccNewLine},
                                                 "\tab|        ",
                                                 {2, 9}},
                                        EditCase{"AutoIndentNoFurtherThanTheCaret",
                                                 "    ab",
                                                 1,
                                                 3,
                                                 Indent,
                                                 {ccNewLine},
                                                 "|    ab",
                                                 {2, 3}},
                                        EditCase{"RealTabIsACharacter", "ab", 1, 2, nullptr, {ccTab}, "a\tb", {1, 3}},
                                        EditCase{"FixedTabFromColumnThree",
                                                 "abc",
                                                 1,
                                                 3,
                                                 Fixed,
                                                 {ccTab},
                                                 "ab      c",
                                                 {1, 9}},
                                        EditCase{"FixedTabFromColumnNine",
                                                 "abcdefghi",
                                                 1,
                                                 9,
                                                 Fixed,
                                                 {ccTab},
                                                 "abcdefgh        i",
                                                 {1, 17}},
                                        EditCase{"SmartTabToTheWordAbove",
                                                 "ab   cd|x",
                                                 2,
                                                 2,
                                                 Smart,
                                                 {ccTab},
                                                 "ab   cd|x    ",
                                                 {2, 6}},
                                        EditCase{"SmartTabUsesTheLineBelowUnderAnEmptyLine",
                                                 "|x|    y",
                                                 2,
                                                 1,
                                                 Smart,
                                                 {ccTab},
                                                 "|    x|    y",
                                                 {2, 5}},
                                        EditCase{"SmartTabFallsBackToFixed",
                                                 "ab|xyz",
                                                 2,
                                                 3,
                                                 Smart,
                                                 {ccTab},
                                                 "ab|xy      z",
                                                 {2, 9}},
                                        EditCase{"OverwriteTabReplacesBlanksWorth",
                                                 "abcdefghij",
                                                 1,
                                                 1,
                                                 [](TestEditor& e) {
                                                   e.TabType = TTabType::ttFixed;
                                                   e.SetInsertMode(false);
                                                 },
                                                 {ccTab},
                                                 "        ij",
                                                 {1, 9}}),
                         CaseName());

struct MoveCase {
  std::string name;
  std::string text;
  std::int32_t line, col;
  std::function<void(TestEditor&)> setup;
  std::vector<int> commands;
  TTextPos caret;
  bool selection;
};

class CaretMoveTest : public ::testing::TestWithParam<MoveCase> {};

TEST_P(CaretMoveTest, CaretAfterwards) {
  const MoveCase& c = GetParam();
  TestEditor editor(80, 4);
  editor.SetText(c.text);
  if (c.setup) c.setup(editor);
  editor.MoveCaretToLineCol(c.line, c.col);
  for (int command : c.commands) EXPECT_TRUE(editor.DoCommand(command, 0));
  EXPECT_EQ(editor.CaretTextPos(), c.caret);
  EXPECT_EQ(editor.HasSelection(), c.selection);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CaretMoveTest,
    ::testing::Values(
        MoveCase{"LeftWrapsToThePreviousLine", "ab|cd", 2, 1, nullptr, {ccLeft}, {1, 3}, false},
        MoveCase{"LeftStopsWithoutWrapAtLeft", "ab|cd", 2, 1, NoWrapAtLeft, {ccLeft}, {2, 1}, false},
        MoveCase{"RightWrapsToTheNextLine", "ab|cd", 1, 3, nullptr, {ccRight}, {2, 1}, false},
        MoveCase{"RightGoesOnPastTheEnd", "ab|cd", 1, 3, PastEnd, {ccRight, ccRight}, {1, 5}, false},
        MoveCase{"RightStopsAtTheTextEnd", "ab", 1, 3, nullptr, {ccRight}, {1, 3}, false},
        MoveCase{
            "DownKeepsTheColumnOfTheLineItLeaves", "abcdef|x|abcdef", 1, 5, nullptr, {ccDown, ccDown}, {3, 2}, false},
        MoveCase{"DownKeepsTheColumnOverTabs", "abcdefghij|\tx", 1, 5, nullptr, {ccDown}, {2, 1}, false},
        MoveCase{"DownPastATab", "abcdefghij|\tx", 1, 9, nullptr, {ccDown}, {2, 2}, false},
        MoveCase{"DownBeyondTheLastLineStays", "ab|cd", 2, 2, nullptr, {ccDown}, {2, 2}, false},
        MoveCase{"UpFromTheFirstLineStays", "ab|cd", 1, 2, nullptr, {ccUp}, {1, 2}, false},
        MoveCase{"HomeAndEnd", "abc", 1, 2, nullptr, {ccEnd}, {1, 4}, false},
        MoveCase{"ExtendHome", "abc", 1, 3, nullptr, {ccExtendHome}, {1, 1}, true},
        MoveCase{"WordRight", "one, two", 1, 1, nullptr, {ccWordRight}, {1, 6}, false},
        MoveCase{"WordRightToTheParagraphEnd", "one, two", 1, 6, nullptr, {ccWordRight}, {1, 9}, false},
        MoveCase{"WordRightAcrossParagraphs", "one|two", 1, 4, nullptr, {ccWordRight}, {2, 1}, false},
        MoveCase{"WordLeft", "one, two", 1, 9, nullptr, {ccWordLeft, ccWordLeft}, {1, 1}, false},
        MoveCase{"WordLeftFromBeyondTheEnd", "one two", 1, 12, PastEnd, {ccWordLeft}, {1, 5}, false},
        MoveCase{"WordLeftAcrossParagraphs", "one|two", 2, 1, nullptr, {ccWordLeft}, {1, 4}, false},
        MoveCase{"ExtendWordRight", "one two", 1, 1, nullptr, {ccExtWordRight}, {1, 5}, true},
        MoveCase{"FirstAndLastPage", "ab|cd|efg", 2, 2, nullptr, {ccLastPage}, {3, 4}, false},
        MoveCase{"ExtendFirstPage", "ab|cd|efg", 2, 2, nullptr, {ccExtFirstPage}, {1, 1}, true},
        MoveCase{"PageDownMovesVisibleRowsLessOne", "1|2|3|4|5|6|7|8|9", 1, 1, nullptr, {ccNextPage}, {4, 1}, false},
        MoveCase{"PageUpFromTheEnd", "1|2|3|4|5|6|7|8|9", 9, 1, nullptr, {ccPrevPage, ccPrevPage}, {3, 1}, false},
        MoveCase{"BottomOfPage", "1|2|3|4|5|6|7|8|9", 1, 1, nullptr, {ccBotOfPage}, {4, 1}, false},
        MoveCase{"TopOfPage", "1|2|3|4|5|6|7|8|9", 9, 1, nullptr, {ccTopOfPage}, {6, 1}, false},
        MoveCase{"MovingCollapsesTheSelection", "abc", 1, 1, nullptr, {ccExtendRight, ccRight}, {1, 3}, false}),
    CaseName());

TEST(EditorSelectionTest, ExtendingCrossesTheAnchor) {
  TestEditor editor;
  editor.SetText("abcdef");
  editor.MoveCaretToLineCol(1, 3);
  editor.Run({ccExtendRight, ccExtendRight});
  EXPECT_EQ(editor.SelectedText(), "cd");
  editor.Run({ccExtendLeft, ccExtendLeft, ccExtendLeft});
  EXPECT_EQ(editor.SelectedText(), "b");
  EXPECT_EQ(editor.CaretTextPos(), (TTextPos{1, 2}));
  editor.Type("Z");
  EXPECT_EQ(editor.Text(), "aZcdef");
  editor.Undo();
  EXPECT_EQ(editor.Text(), "abcdef");
}

TEST(EditorSelectionTest, BackspaceAndDeleteTakeTheSelection) {
  TestEditor editor;
  editor.SetText("ab|cd|ef");
  editor.SetSelectionRange(1, 2, true, 2, 3);
  editor.DoCommand(ccBack, 0);
  EXPECT_EQ(editor.Text(), "af");
  EXPECT_EQ(editor.CaretTextPos(), (TTextPos{1, 2}));
  editor.Undo();
  EXPECT_EQ(editor.Text(), "ab|cd|ef");
}

TEST(EditorBookmarkTest, SetAndGoToFollowTheText) {
  TestEditor editor;
  editor.SetText("ab|cd|ef");
  editor.MoveCaretToLineCol(3, 2);
  editor.DoCommand(ccSetMarker0 + 3, 0);
  editor.MoveCaretToLineCol(1, 1);
  editor.InsertStringAtCaret("new\r");
  editor.DoCommand(ccGotoMarker0 + 3, 0);
  EXPECT_EQ(editor.CaretTextPos(), (TTextPos{4, 2}));
  editor.DoCommand(ccGotoMarker0 + 5, 0);  // not set: stays
  EXPECT_EQ(editor.CaretTextPos(), (TTextPos{4, 2}));
  editor.SetMarker(12);  // ignored
  editor.SetMarkerAt(1, 2, 2);
  editor.GotoMarker(1);
  EXPECT_EQ(editor.CaretTextPos(), (TTextPos{2, 2}));
}

TEST(EditorCommandTest, ChangeEventsAndUserCommands) {
  TestEditor editor;
  editor.SetText("ab");
  int changes = 0;
  std::vector<int> users;
  editor.OnChange = [&](TEditorCore&) { ++changes; };
  editor.OnUserCommand = [&](TEditorCore&, int command) { users.push_back(command); };
  editor.Run({ccRight, ccEnd});
  EXPECT_EQ(changes, 0);
  editor.Type("x");
  editor.Run({ccBack, ccUndo});
  EXPECT_EQ(changes, 3);
  EXPECT_TRUE(editor.DoCommand(300, 0));
  EXPECT_EQ(users, std::vector<int>{300});
  EXPECT_FALSE(editor.DoCommand(54, 0));  // ccRestore is not the editor's
  EXPECT_FALSE(editor.DoCommand(69, 0));  // nor the table's commands
  editor.Run({ccIns});
  EXPECT_FALSE(editor.InsertMode());
}

TEST(EditorUndoTest, UndoRedoAndTheirRefusals) {
  TestEditor editor;
  editor.SetText("ab");
  editor.MoveCaretToLineCol(1, 3);
  editor.Type("cd");
  editor.DoCommand(ccNewLine, 0);
  editor.Type("e");
  EXPECT_EQ(editor.Text(), "abcd|e");
  editor.Undo();
  editor.Undo();
  EXPECT_EQ(editor.Text(), "abcd");
  EXPECT_EQ(editor.CaretTextPos(), (TTextPos{1, 5}));
  editor.Redo();
  EXPECT_EQ(editor.Text(), "abcd|");
  editor.SetReadOnly(true);
  EXPECT_FALSE(editor.CanUndo());
  EXPECT_FALSE(editor.CanRedo());
  editor.Undo();
  EXPECT_EQ(editor.Text(), "abcd|");
}

TEST(EditorClipboardTest, CopyCutAndPasteWithLineBreaks) {
  FakeClipboard clipboard;
  plat::ScopedService<plat::Clipboard> installed(clipboard);
  TestEditor editor;
  editor.SetText("one|two|three");
  editor.SetSelectionRange(1, 2, true, 3, 3);
  editor.DoCommand(ccCopy, 0);
  EXPECT_EQ(clipboard.text, "ne\r\ntwo\r\nth");
  editor.DoCommand(ccCut, 0);
  EXPECT_EQ(editor.Text(), "oree");
  editor.MoveCaretToLineCol(1, 5);
  editor.DoCommand(ccPaste, 0);
  EXPECT_EQ(editor.Text(), "oreene|two|th");
  EXPECT_EQ(editor.CaretTextPos(), (TTextPos{3, 3}));
  editor.Undo();
  EXPECT_EQ(editor.Text(), "oree");

  clipboard.text = "x";
  editor.SetReadOnly(true);
  editor.DoCommand(ccPaste, 0);
  editor.SelectAllText(false);
  editor.DoCommand(ccCut, 0);
  EXPECT_EQ(editor.Text(), "oree");
  EXPECT_EQ(clipboard.text, "x");
}

// ---- Mouse and view ------------------------------------------------------

TEST(EditorMouseTest, PointsBecomeLinesAndPositions) {
  TestEditor editor(10, 3);
  editor.SetText("a\tbc|def|ghi|jkl|mno");
  struct Case {
    int x, y;
    std::int32_t line, pos;
  };
  const int m = editor.LeftMargin();
  for (const Case c : {Case{m, 0, 1, 1}, Case{m + 3, 0, 1, 1}, Case{m + 4, 0, 1, 2}, Case{m + 8 * 5, 0, 1, 2},
                       Case{m + 8 * 9 - 4, 0, 1, 4}, Case{m + 8 * 60, 8, 1, 4}, Case{0, 17, 2, 1},
                       Case{m + 8 * 60, 20, 2, 4}, Case{m, -5, 1, 1}, Case{m, 48, 4, 1}, Case{m, 500, 4, 1}}) {
    std::int32_t line = 0, pos = 0;
    editor.PointToLinePos(c.x, c.y, line, pos);
    EXPECT_EQ(line, c.line) << c.x << "," << c.y;
    EXPECT_EQ(pos, c.pos) << c.x << "," << c.y;
  }
}

TEST(EditorMouseTest, ClickShiftClickAndDragBelowTheWindow) {
  TestEditor editor(20, 3);
  editor.SetText("one|two|three|four|five|six");
  const int m = editor.LeftMargin();
  editor.MouseDownAt(m + 8, 20, 0);
  editor.MouseUpAt();
  EXPECT_EQ(editor.CaretTextPos(), (TTextPos{2, 2}));
  EXPECT_FALSE(editor.HasSelection());
  editor.MouseDownAt(m + 16, 36, plat::ssShift);
  editor.MouseUpAt();
  EXPECT_EQ(editor.SelectedText(), "wo\r\nth");

  editor.MouseDownAt(m + 1, 4, 0);
  for (int round = 0; round < 2; ++round) editor.TrackMouse(m + 8, 60);  // below the window
  editor.MouseUpAt();
  EXPECT_EQ(editor.TopLine(), 3);
  EXPECT_EQ(editor.CaretTextPos(), (TTextPos{5, 2}));
  EXPECT_EQ(editor.SelectedText(), "one\r\ntwo\r\nthree\r\nfour\r\nf");
  editor.TrackMouse(m, 0);  // released: no more tracking
  EXPECT_EQ(editor.CaretTextPos(), (TTextPos{5, 2}));
}

TEST(EditorMouseTest, MarginSelectsWholeLines) {
  TestEditor editor(20, 10);
  editor.SetText("one|two|three|four");
  editor.MouseDownAt(2, 20, 0);
  EXPECT_EQ(editor.SelectedText(), "two\r\n");
  editor.TrackMouse(2, 40);
  EXPECT_EQ(editor.SelectedText(), "two\r\nthree\r\n");
  editor.TrackMouse(2, 100);  // at or below the last line: to its end
  EXPECT_EQ(editor.SelectedText(), "two\r\nthree\r\nfour");
  editor.TrackMouse(2, 4);
  EXPECT_EQ(editor.SelectedText(), "one\r\ntwo\r\n");
  editor.MouseUpAt();
  editor.MouseDownAt(2, 52, plat::ssShift);
  editor.MouseUpAt();
  EXPECT_EQ(editor.SelectedText(), "three\r\nfour");
}

TEST(EditorMouseTest, DoubleClickSelectsWordsAndParagraphs) {
  TestEditor editor;
  editor.SetText("foo, bar  baz|next");
  const int m = editor.LeftMargin();
  editor.DoubleClickAt(m + 2, 4, 0);
  EXPECT_EQ(editor.SelectedText(), "foo");
  editor.DoubleClickAt(m + 8 * 6, 4, 0);
  EXPECT_EQ(editor.SelectedText(), "bar  ");
  editor.DoubleClickAt(m + 8 * 11, 4, plat::ssShift);
  EXPECT_EQ(editor.SelectedText(), "bar  baz");
  editor.DoubleClickAt(2, 20, 0);
  EXPECT_EQ(editor.SelectedText(), "next");
}

TEST(EditorViewTest, CaretKeptInViewAndScrollBarsMoveTheWindowOnly) {
  TestEditor editor(10, 3);
  editor.SetText("0123456789012345|b|c|d|e|f");
  int topChanges = 0;
  editor.OnTopLineChanged = [&](TEditorCore&, std::int32_t) { ++topChanges; };
  editor.MoveCaretToLineCol(1, 14);
  EXPECT_EQ(editor.LeftColumn(), 4);
  editor.MoveCaretToLineCol(1, 4);
  EXPECT_EQ(editor.LeftColumn(), 3);
  editor.MoveCaretToLineCol(1, 2);
  EXPECT_EQ(editor.LeftColumn(), 0);
  editor.MoveCaretToLineCol(5, 1);
  EXPECT_EQ(editor.TopLine(), 3);
  EXPECT_EQ(topChanges, 1);
  editor.Scroll(plat::ScrollBarKind::Vertical, plat::ScrollCode::LineUp, 0);
  EXPECT_EQ(editor.TopLine(), 2);
  EXPECT_EQ(editor.CaretTextPos(), (TTextPos{5, 1}));
  editor.Scroll(plat::ScrollBarKind::Vertical, plat::ScrollCode::PageDown, 0);
  EXPECT_EQ(editor.TopLine(), 4);  // the last page
  editor.Scroll(plat::ScrollBarKind::Horizontal, plat::ScrollCode::PageDown, 0);
  EXPECT_EQ(editor.LeftColumn(), 9);
  EXPECT_EQ(editor.bars[plat::ScrollBarKind::Horizontal].pos, 9);
  editor.DoCommand(ccScrollUp, 0);
  EXPECT_EQ(editor.TopLine(), 3);
}

TEST(EditorViewTest, StatusReportsLineAndDisplayColumn) {
  TestEditor editor;
  editor.SetText("a\tb");
  std::vector<std::pair<std::int32_t, std::int32_t>> status;
  editor.OnShowStatus = [&](TEditorCore&, std::int32_t line, std::int32_t column) {
    status.emplace_back(line, column);
  };
  editor.Run({ccRight, ccRight});
  EXPECT_EQ(status, (std::vector<std::pair<std::int32_t, std::int32_t>>{{1, 2}, {1, 9}}));
}

}  // namespace
