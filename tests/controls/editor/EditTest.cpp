// Changes of the paragraph list: the compound edits, the limits and their
// error codes, bookmarks, editors sharing one list and the busy cursor.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "EditorTestSupport.h"
#include "controls/base/VirExcept.h"
#include "controls/editor/EditError.h"
#include "controls/editor/ParaList.h"
#include "platform/Service.h"
#include "platform/record/ScriptedUi.h"

namespace {

TEST(NewList, HoldsOneEmptyParagraph) {
  TParaList list(nullptr, true, 8192);
  EXPECT_EQ(list.ParagraphCount(), 1);
  EXPECT_EQ(list.LineCount(), 1);
  EXPECT_EQ(list.ByteCount(), 0);
  EXPECT_EQ(list.GetParagraph(1)->Text(), "");
  EXPECT_FALSE(list.Modified());
  EXPECT_FALSE(list.Marker(0).IsSet());
}

TEST(ByteCount, CountsALineBreakBetweenParagraphs) {
  TParaList list(nullptr, false, 8192);
  Fill(list, {"abc", "", "de"});
  EXPECT_EQ(list.ByteCount(), 3 + 0 + 2 + 2 * 2);
  list.DeleteParagraph(nullptr, 1);
  EXPECT_EQ(list.ByteCount(), 0 + 2 + 2);
}

struct EditCase {
  const char* name;
  Paras before;
  std::function<std::uint16_t(TParaList&, std::int32_t& para, std::int32_t& pos)> edit;
  Paras after;
  // What the edit hands back, when it does: the position after an inserted
  // block; the paragraph split and the indentation it got.
  std::int32_t backPara = 0;
  std::int32_t backPos = 0;
};

class Edits : public ::testing::TestWithParam<EditCase> {};

TEST_P(Edits, ChangeTheTextAndUndoAsOneStep) {
  const EditCase& c = GetParam();
  TParaList list(nullptr, false, 8192);
  Fill(list, c.before);
  std::int32_t para = 0;
  std::int32_t pos = 0;
  EXPECT_EQ(c.edit(list, para, pos), eeNone);
  EXPECT_EQ(Paragraphs(list), c.after);
  if (c.backPara != 0) {
    EXPECT_EQ(para, c.backPara);
    EXPECT_EQ(pos, c.backPos);
  }
  EXPECT_TRUE(list.Modified());

  ASSERT_TRUE(list.Undo(nullptr, para, pos));
  EXPECT_EQ(Paragraphs(list), c.before);
  EXPECT_FALSE(list.Modified());
  EXPECT_FALSE(list.Undo(nullptr, para, pos));
  ASSERT_TRUE(list.Redo(nullptr, para, pos));
  EXPECT_EQ(Paragraphs(list), c.after);
  EXPECT_TRUE(list.Modified());
}

std::function<std::uint16_t(TParaList&, std::int32_t&, std::int32_t&)> Split(std::int32_t para, std::int32_t pos,
                                                                             bool trim, std::int32_t indent,
                                                                             int tabSize = 8) {
  return [=](TParaList& list, std::int32_t& outPara, std::int32_t& outPos) {
    std::int32_t in = indent;
    std::uint16_t code = list.SplitParagraph(nullptr, para, trim, in, tabSize, pos);
    outPara = para;
    outPos = in;
    return code;
  };
}

std::function<std::uint16_t(TParaList&, std::int32_t&, std::int32_t&)> Block(std::int32_t para, std::int32_t pos,
                                                                             std::string text) {
  return [=](TParaList& list, std::int32_t& outPara, std::int32_t& outPos) {
    outPara = para;
    outPos = pos;
    return list.InsertBlock(nullptr, outPara, text, outPos);
  };
}

INSTANTIATE_TEST_SUITE_P(
    Compound, Edits,
    ::testing::Values(
        EditCase{"InsertBeyondTheEndPadsWithBlanks",
                 {""},
                 [](TParaList& l, auto&, auto&) { return l.InsertText(nullptr, 1, 10, "x"); },
                 {"         x"}},
        EditCase{"SplitTrimsTheBlanksBeforeIt", {"abc   def"}, Split(1, 7, true, 0), {"abc", "def"}, 1, 0},
        EditCase{"SplitKeepsBlanksWithoutTrim", {"abc   def"}, Split(1, 7, false, 0), {"abc   ", "def"}, 1, 0},
        EditCase{"SplitIndentsWithTabsAndBlanks", {"abc   def"}, Split(1, 7, true, 10), {"abc", "\t  def"}, 1, 3},
        EditCase{"SplitIndentsWithBlanksWithoutTabSize", {"abc"}, Split(1, 4, true, 3, 0), {"abc", "   "}, 1, 3},
        EditCase{"SplitAtTheStartInsertsAnEmptyParagraph", {"  abc"}, Split(1, 1, true, 4), {"", "  abc"}, 1, 4},
        EditCase{"SplitAtTheEndTrimsTrailingBlanks", {"abc  ", "x"}, Split(1, 6, true, 0), {"abc", "", "x"}, 1, 0},
        EditCase{"JoinPadsUpToThePosition",
                 {"ab", "cd"},
                 [](TParaList& l, auto&, auto&) { return l.JoinParagraphs(nullptr, 1, 7); },
                 {"ab    cd"}},
        EditCase{"JoinOfAnEmptyParagraphRemovesIt",
                 {"", "cd", "e"},
                 [](TParaList& l, auto&, auto&) { return l.JoinParagraphs(nullptr, 1, 1); },
                 {"cd", "e"}},
        EditCase{"DeleteRangeOverThreeParagraphs",
                 {"abcd", "efg", "hij"},
                 [](TParaList& l, auto&, auto&) { return l.DeleteRange(nullptr, 1, 3, 3, 2); },
                 {"abij"}},
        EditCase{"DeleteRangeOfWholeParagraphs",
                 {"a", "b", "c"},
                 [](TParaList& l, auto&, auto&) { return l.DeleteRange(nullptr, 1, 1, 3, 1); },
                 {"c"}},
        EditCase{"DeleteRangeFromAParagraphStart",
                 {"abc", "def", "ghi"},
                 [](TParaList& l, auto&, auto&) { return l.DeleteRange(nullptr, 1, 1, 2, 2); },
                 {"ef", "ghi"}},
        EditCase{"DeleteRangeWithinAParagraph",
                 {"abcdef"},
                 [](TParaList& l, auto&, auto&) { return l.DeleteRange(nullptr, 1, 2, 1, 5); },
                 {"aef"}},
        EditCase{"ReplaceByLongerText",
                 {"abcdef"},
                 [](TParaList& l, auto&, auto&) { return l.ReplaceText(nullptr, 1, 2, 2, "XYZW"); },
                 {"aXYZWdef"}},
        EditCase{"BlockWithCrLf", {"ab"}, Block(1, 2, "x\r\ny"), {"ax", "yb"}, 2, 2},
        EditCase{"BlockWithLf", {"ab"}, Block(1, 2, "x\ny"), {"ax", "yb"}, 2, 2},
        EditCase{"BlockWithLoneCr", {"ab"}, Block(1, 2, "x\ry"), {"ax", "yb"}, 2, 2},
        EditCase{"BlockLinesAtAParagraphStartStayWhole", {""}, Block(1, 1, "one  \rtwo\r"), {"one  ", "two", ""}, 3, 1},
        EditCase{"BlockPieceTrimmedBeforeTheSplit", {"ab"}, Block(1, 2, "x  \r"), {"ax", "b"}, 2, 1},
        EditCase{"TwoCarriageReturnsAreTwoBreaks", {""}, Block(1, 1, "a\r\rb"), {"a", "", "b"}, 3, 2},
        EditCase{"BlockWithoutBreaksIsOneInsert", {"ab"}, Block(1, 2, "xyz"), {"axyzb"}, 1, 5}),
    CaseName());

TEST(ListingLines, EachAppendedLineLeavesAnEmptyLastParagraph) {
  // The listing writer inserts each line and a carriage return at the start
  // of the last paragraph.
  TParaList list(nullptr, false, 8192);
  for (std::string line : {"SAHN: Morvapc 2.02c", "", "Input parameters"}) {
    std::int32_t para = list.ParagraphCount();
    std::int32_t pos = 1;
    ASSERT_EQ(list.InsertBlock(nullptr, para, line + "\r", pos), eeNone);
    EXPECT_EQ(para, list.ParagraphCount());
    EXPECT_EQ(pos, 1);
  }
  EXPECT_EQ(Paragraphs(list), (Paras{"SAHN: Morvapc 2.02c", "", "Input parameters", ""}));
}

struct LimitCase {
  const char* name;
  Paras before;
  std::function<void(TParaList&)> limits;
  std::function<std::uint16_t(TParaList&)> edit;
  std::uint16_t code;
};

class Limits : public ::testing::TestWithParam<LimitCase> {};

TEST_P(Limits, RefuseTheChangeWithTheirCodeAndChangeNothing) {
  const LimitCase& c = GetParam();
  TParaList list(nullptr, false, 8192);
  Fill(list, c.before);
  c.limits(list);
  EXPECT_EQ(c.edit(list), c.code);
  EXPECT_EQ(Paragraphs(list), c.before);
  if (c.code != eeNone) {
    EXPECT_FALSE(list.Modified());
    EXPECT_EQ(list.UndoBuffer().UndoCount(), 0);
  }
}

auto SplitAt(std::int32_t para, std::int32_t pos) {
  return [=](TParaList& list) {
    std::int32_t indent = 0;
    return list.SplitParagraph(nullptr, para, true, indent, 8, pos);
  };
}

auto BlockAt(std::int32_t para, std::int32_t pos, std::string text) {
  return [=](TParaList& list) {
    std::int32_t p = para;
    std::int32_t c = pos;
    return list.InsertBlock(nullptr, p, text, c);
  };
}

const std::string kLongLine(40000, 'x');

INSTANTIATE_TEST_SUITE_P(
    Codes, Limits,
    ::testing::Values(LimitCase{"SplitBeyondTheParagraphLimit",
                                {"a", "bc", "d"},
                                [](TParaList& l) { l.SetParaLimit(3); },
                                SplitAt(2, 2),
                                eeTooManyParagraphs},
                      LimitCase{"InsertBeyondTheParagraphLimitPosition",
                                {"a", "b", ""},
                                [](TParaList& l) { l.SetParaLimit(3); },
                                [](TParaList& l) { return l.InsertParagraph(nullptr, 4, "x"); },
                                eeTooManyParagraphs},
                      LimitCase{"JoinPastTheParagraphLengthLimit",
                                {"abc", "def"},
                                [](TParaList& l) { l.SetParaLengthLimit(5); },
                                [](TParaList& l) { return l.JoinParagraphs(nullptr, 1, 4); },
                                eeCannotJoin},
                      LimitCase{"DeleteRangeWhoseEndsWouldJoinTooLong",
                                {"abcd", "x", "efgh"},
                                [](TParaList& l) { l.SetParaLengthLimit(5); },
                                [](TParaList& l) { return l.DeleteRange(nullptr, 1, 4, 3, 2); },
                                eeCannotJoin},
                      LimitCase{"InsertPastTheByteLimit",
                                {"abcde"},
                                [](TParaList& l) { l.SetByteLimit(10); },
                                [](TParaList& l) { return l.InsertText(nullptr, 1, 1, "123456"); },
                                eeTextTooLarge},
                      LimitCase{"NewParagraphCountsItsLineBreak",
                                {"abcde"},
                                [](TParaList& l) { l.SetByteLimit(7); },
                                [](TParaList& l) { return l.InsertParagraph(nullptr, 2, "x"); },
                                eeTextTooLarge},
                      LimitCase{"InsertPastTheParagraphLengthLimit",
                                {"abc"},
                                [](TParaList& l) { l.SetParaLengthLimit(5); },
                                [](TParaList& l) { return l.InsertText(nullptr, 1, 2, "xyz"); },
                                eeParagraphTooLong},
                      LimitCase{"PaddingCountsTowardsTheLengthLimit",
                                {"ab"},
                                [](TParaList&) {},
                                [](TParaList& l) { return l.InsertText(nullptr, 1, 32768, "x"); },
                                eeParagraphTooLong},
                      LimitCase{"ReplacementPastTheLengthLimit",
                                {"abc"},
                                [](TParaList& l) { l.SetParaLengthLimit(4); },
                                [](TParaList& l) { return l.ReplaceText(nullptr, 1, 1, 1, "xyz"); },
                                eeParagraphTooLong},
                      LimitCase{"NewParagraphPastTheLengthLimit",
                                {"a"},
                                [](TParaList&) {},
                                [](TParaList& l) { return l.InsertParagraph(nullptr, 1, kLongLine); },
                                eeParagraphTooLong},
                      LimitCase{"PastedLongLineAtAParagraphStart",
                                {""},
                                [](TParaList&) {},
                                BlockAt(1, 1, kLongLine + "\r\n"),
                                eeParagraphTooLong},
                      LimitCase{"PastedLongLineInsideAParagraph",
                                {"ab"},
                                [](TParaList&) {},
                                BlockAt(1, 2, kLongLine + "\n"),
                                eeParagraphTooLong},
                      LimitCase{"NewParagraphWithinItsOwnLimit",
                                {"a"},
                                [](TParaList& l) { l.SetParaLengthLimit(3); },
                                [](TParaList& l) { return l.InsertParagraph(nullptr, 1, "abcd"); },
                                eeParagraphTooLong}),
    CaseName());

TEST(LimitsAllow, AnEmptyLastParagraphBeyondTheParagraphLimit) {
  TParaList list(nullptr, false, 8192);
  Fill(list, {"a", "bc", ""});
  list.SetParaLimit(3);
  EXPECT_EQ(SplitAt(2, 2)(list), eeNone);
  EXPECT_EQ(Paragraphs(list), (Paras{"a", "b", "c", ""}));
  EXPECT_EQ(SplitAt(2, 2)(list), eeTooManyParagraphs);
}

TEST(LimitsAllow, AJoinThatShrinksTheTextAtTheByteLimit) {
  TParaList list(nullptr, false, 8192);
  Fill(list, {"abc", "def"});
  list.SetByteLimit(list.ByteCount());
  EXPECT_EQ(list.JoinParagraphs(nullptr, 1, 4), eeNone);
  EXPECT_EQ(Paragraphs(list), (Paras{"abcdef"}));
}

TEST(OutOfMemory, LeavesTheTextAsItWas) {
  struct Case {
    const char* name;
    int allowed;  // allocations that succeed before the failing one
    std::function<std::uint16_t(TParaList&)> edit;
  };
  const std::vector<Case> cases = {
      {"GrowingAParagraph", 0, [](TParaList& l) { return l.InsertText(nullptr, 1, 4, std::string(40, 'x')); }},
      {"NewParagraph", 0, [](TParaList& l) { return l.InsertParagraph(nullptr, 2, "new"); }},
      {"NewParagraphsText", 1, [](TParaList& l) { return l.InsertParagraphAfter(nullptr, 1, "new"); }},
      {"NewParagraphsLineTable", 2, [](TParaList& l) { return l.InsertParagraph(nullptr, 1, "new"); }},
      {"GrowingTheLineTable", 1, [](TParaList& l) { return l.InsertText(nullptr, 2, 1, std::string(200, 'y')); }},
      {"SplitAParagraph", 0, [](TParaList& l) { return SplitAt(1, 2)(l); }},
  };
  for (const Case& c : cases) {
    TParaList list(nullptr, true, 8192);
    list.SetWrapColumn(10);
    Fill(list, {"abc", "de"});
    {
      FailingAllocations failing(c.allowed);
      EXPECT_EQ(c.edit(list), eeOutOfMemory) << c.name;
    }
    EXPECT_EQ(Paragraphs(list), (Paras{"abc", "de"})) << c.name;
    EXPECT_EQ(list.LineCount(), 2) << c.name;
    EXPECT_EQ(list.ByteCount(), 7) << c.name;
    EXPECT_FALSE(list.Modified()) << c.name;
    EXPECT_EQ(list.UndoBuffer().UndoCount(), 0) << c.name;
  }
}

TEST(OutOfMemory, ABlockStopsAtTheFirstFailureAndUndoesWhole) {
  TParaList list(nullptr, false, 8192);
  Fill(list, {"end"});
  list.SetParaLengthLimit(10);
  std::int32_t para = 1;
  std::int32_t pos = 1;
  EXPECT_EQ(list.InsertBlock(nullptr, para, "one\rtwo\r" + std::string(20, 'x') + "\rlast", pos), eeParagraphTooLong);
  EXPECT_EQ(Paragraphs(list), (Paras{"one", "two", "end"}));
  EXPECT_EQ(para, 3);
  EXPECT_EQ(pos, 1);
  ASSERT_TRUE(list.Undo(nullptr, para, pos));
  EXPECT_EQ(Paragraphs(list), (Paras{"end"}));
}

TEST(ErrorMessages, NameEachCodeOfTheTextModel) {
  struct Case {
    std::uint16_t code;
    const char* message;
  };
  for (Case c :
       {Case{263, "insufficient memory for requested operation"}, Case{264, "Region is too large (> 64K)"},
        Case{265, "Current operation will exceed the maximum number of allowed paragraphs"},
        Case{266, "Cannot join paragraphs. New paragraph size exceeds maximum paragraph size"},
        Case{267, "Current operation will exceed the maximum editor text size"},
        Case{268, "Current operation will exceed the maximum paragraph size"}, Case{1, "Unknown Error condition"}}) {
    EXPECT_EQ(EditErrorMessage(c.code), c.message) << c.code;
    try {
      RaiseEditError(c.code);
      ADD_FAILURE() << "no exception for " << c.code;
    } catch (const EVirException& e) {
      EXPECT_NE(dynamic_cast<const EEditorError*>(&e), nullptr);
      EXPECT_EQ(e.ErrorCode(), c.code);
      EXPECT_STREQ(e.what(), c.message);
    }
  }
}

struct MarkerCase {
  const char* name;
  Paras before;
  TMarker marker;
  std::function<void(TParaList&)> edit;
  TMarker after;
};

class Markers : public ::testing::TestWithParam<MarkerCase> {};

TEST_P(Markers, FollowTheText) {
  const MarkerCase& c = GetParam();
  TParaList list(nullptr, false, 8192);
  Fill(list, c.before);
  list.SetMarker(3, c.marker.para, c.marker.pos);
  c.edit(list);
  EXPECT_EQ(list.Marker(3), c.after) << list.Marker(3).para << "," << list.Marker(3).pos;
}

const TMarker kUnset{};

INSTANTIATE_TEST_SUITE_P(
    Moves, Markers,
    ::testing::Values(
        MarkerCase{
            "InsertBeforeMovesOn", {"abcdef"}, {1, 4}, [](TParaList& l) { l.InsertText(nullptr, 1, 2, "xy"); }, {1, 6}},
        MarkerCase{
            "InsertAfterLeavesIt", {"abcdef"}, {1, 4}, [](TParaList& l) { l.InsertText(nullptr, 1, 5, "xy"); }, {1, 4}},
        MarkerCase{"InsideADeletedRangeIsUnset",
                   {"abcdef"},
                   {1, 3},
                   [](TParaList& l) { l.DeleteText(nullptr, 1, 2, 3); },
                   kUnset},
        MarkerCase{"AfterADeletedRangeMovesBack",
                   {"abcdef"},
                   {1, 6},
                   [](TParaList& l) { l.DeleteText(nullptr, 1, 2, 3); },
                   {1, 3}},
        MarkerCase{"InADeletedParagraphIsUnset",
                   {"a", "b", "c"},
                   {2, 1},
                   [](TParaList& l) { l.DeleteParagraph(nullptr, 2); },
                   kUnset},
        MarkerCase{"BelowADeletedParagraphMovesUp",
                   {"a", "b", "c"},
                   {3, 1},
                   [](TParaList& l) { l.DeleteParagraph(nullptr, 2); },
                   {2, 1}},
        MarkerCase{"BelowAnInsertedParagraphMovesDown",
                   {"a", "b"},
                   {2, 1},
                   [](TParaList& l) { l.InsertParagraph(nullptr, 2, "x"); },
                   {3, 1}},
        MarkerCase{"AfterASplitGoesToTheNewParagraph",
                   {"abc   def"},
                   {1, 8},
                   [](TParaList& l) {
                     std::int32_t indent = 10;
                     l.SplitParagraph(nullptr, 1, true, indent, 8, 7);
                   },
                   {2, 5}},
        MarkerCase{"BeforeASplitStays",
                   {"abc   def"},
                   {1, 2},
                   [](TParaList& l) {
                     std::int32_t indent = 0;
                     l.SplitParagraph(nullptr, 1, true, indent, 8, 7);
                   },
                   {1, 2}},
        MarkerCase{"InTrimmedBlanksIsUnset",
                   {"abc   def"},
                   {1, 5},
                   [](TParaList& l) {
                     std::int32_t indent = 0;
                     l.SplitParagraph(nullptr, 1, true, indent, 8, 7);
                   },
                   kUnset},
        MarkerCase{"BelowASplitMovesDown",
                   {"abc", "x"},
                   {2, 1},
                   [](TParaList& l) {
                     std::int32_t indent = 0;
                     l.SplitParagraph(nullptr, 1, true, indent, 8, 2);
                   },
                   {3, 1}},
        MarkerCase{"InAJoinedParagraphMovesUp",
                   {"ab", "cdef", "g"},
                   {2, 3},
                   [](TParaList& l) { l.JoinParagraphs(nullptr, 1, 5); },
                   {1, 7}},
        MarkerCase{"BelowAJoinMovesUp",
                   {"ab", "cd", "g"},
                   {3, 1},
                   [](TParaList& l) { l.JoinParagraphs(nullptr, 1, 3); },
                   {2, 1}},
        MarkerCase{"AfterADeleteRangeFromAParagraphStart",
                   {"abc", "def", "ghi"},
                   {2, 3},
                   [](TParaList& l) { l.DeleteRange(nullptr, 1, 1, 2, 2); },
                   {1, 2}},
        MarkerCase{"InsideADeleteRange",
                   {"abc", "def", "ghi"},
                   {1, 2},
                   [](TParaList& l) { l.DeleteRange(nullptr, 1, 1, 2, 2); },
                   kUnset},
        MarkerCase{"StaysUnsetWhenUndoBringsItsParagraphBack",
                   {"a", "b"},
                   {2, 1},
                   [](TParaList& l) {
                     l.DeleteParagraph(nullptr, 2);
                     std::int32_t para = 0, pos = 0;
                     l.Undo(nullptr, para, pos);
                   },
                   kUnset}),
    CaseName());

TEST(MarkerSetting, ByLineAndDisplayColumn) {
  TParaList list(nullptr, true, 8192);
  list.SetWrapColumn(10);
  Fill(list, {"abcd efgh ij\tk"});  // lines "abcd efgh " and "ij\tk"
  list.SetMarkerAtLine(1, 2, 9);    // the k, behind the tab
  EXPECT_EQ(list.Marker(1), (TMarker{1, 14}));
  list.SetMarkerAtLine(2, 1, 3);
  EXPECT_EQ(list.Marker(2), (TMarker{1, 3}));
  list.SetMarker(10, 1, 1);
  list.SetMarkerAtLine(4, 3, 1);  // no such line
  EXPECT_FALSE(list.Marker(4).IsSet());
  EXPECT_FALSE(list.Marker(10).IsSet());
}

TEST(SharedList, EveryEditorOfTheRingSeesTheChange) {
  RecordingEditor first;
  RecordingEditor second;
  first.next = &second;
  second.next = &first;
  TParaList list(&first, false, 8192);
  Fill(list, {"abc", "def"});
  for (RecordingEditor* editor : {&first, &second}) {
    editor->changes.clear();
    editor->moves.clear();
  }
  list.SetMarker(0, 2, 3);

  std::int32_t indent = 0;
  ASSERT_EQ(list.SplitParagraph(&second, 1, true, indent, 8, 2), eeNone);
  for (RecordingEditor* editor : {&first, &second}) {
    ASSERT_EQ(editor->changes.size(), 1u);  // one report for the whole split
    EXPECT_EQ(editor->changes[0].sender, &second);
    EXPECT_EQ(editor->changes[0].first, 1);
    EXPECT_EQ(editor->changes[0].last, MaxLongInt);
    ASSERT_EQ(editor->moves.size(), 1u);
    EXPECT_EQ(editor->moves[0].kind, TTextAdjust::Kind::ParaSplit);
  }
  EXPECT_EQ(list.Marker(0), (TMarker{3, 3}));
  EXPECT_EQ(list.ChangedFirstLine(), 1);
}

TEST(ChangedLines, CoverOnlyTheLinesThatMoved) {
  RecordingEditor editor;
  TParaList list(&editor, true, 8192);
  list.SetWrapColumn(10);
  Fill(list, {"first", "abcd efgh ijkl mnop", "last"});  // lines 1 | 2 3 | 4
  editor.changes.clear();
  list.InsertText(nullptr, 2, 17, "x");   // within line 3, no re-break
  list.InsertText(nullptr, 2, 2, "xyz");  // "axyzbcd " and "efgh ijkl " break anew: one more line
  list.ReplaceText(nullptr, 3, 1, 1, "L");
  ASSERT_EQ(editor.changes.size(), 3u);
  EXPECT_EQ(editor.changes[0].first, 3);
  EXPECT_EQ(editor.changes[0].last, 3);
  EXPECT_EQ(editor.changes[1].first, 2);
  EXPECT_EQ(editor.changes[1].last, MaxLongInt);
  EXPECT_EQ(editor.changes[2].first, 5);
  EXPECT_EQ(editor.changes[2].last, 5);
}

TEST(BusyCursor, ShowsWhileALargeTextIsWrappedAgain) {
  plat::RecordingDesktop desktop;
  plat::ScopedService<plat::Desktop> installed(desktop);
  TParaList list(nullptr, false, 8192);
  Fill(list, {std::string(5000, 'a'), std::string(5001, 'b')});
  list.SetWordWrap(true);
  EXPECT_EQ(desktop.Cursors(),
            (std::vector<plat::CursorShape>{plat::CursorShape::HourGlass, plat::CursorShape::Default}));

  list.DeleteText(nullptr, 2, 1, 10);
  list.SetWrapColumn(60);
  EXPECT_EQ(desktop.Cursors().size(), 2u);
}

}  // namespace
