// Undo and redo through the paragraph list: what one step covers, the
// Modified flag, the caret position handed back, and a history that does not
// fit its buffer.

#include <gtest/gtest.h>

#include <string>

#include "EditorTestSupport.h"
#include "controls/editor/ParaList.h"

namespace {

class ListUndo : public ::testing::Test {
 protected:
  ListUndo() : list(nullptr, false, 8192) {}

  void Type(std::int32_t atPara, std::int32_t atPos, const std::string& text) {
    for (char c : text) ASSERT_EQ(list.InsertText(nullptr, atPara, atPos++, std::string(1, c)), eeNone);
  }
  bool Undo() { return list.Undo(nullptr, para, pos); }
  bool Redo() { return list.Redo(nullptr, para, pos); }
  std::string Text() const { return std::string(list.GetParagraph(1)->Text()); }

  TParaList list;
  std::int32_t para = 0;
  std::int32_t pos = 0;
};

TEST_F(ListUndo, TypingAtOnePlaceIsOneStep) {
  Fill(list, {"xy"});
  Type(1, 2, "abc");
  Type(1, 1, "Q");
  EXPECT_EQ(Text(), "Qxabcy");
  ASSERT_TRUE(Undo());
  EXPECT_EQ(Text(), "xabcy");
  ASSERT_TRUE(Undo());
  EXPECT_EQ(Text(), "xy");
  EXPECT_EQ(para, 1);
  EXPECT_EQ(pos, 2);
  EXPECT_FALSE(Undo());
}

TEST_F(ListUndo, ARunOfBackspacesOrDeletesIsOneStep) {
  Fill(list, {"abcdefgh"});
  for (std::int32_t at : {5, 4, 3}) list.DeleteText(nullptr, 1, at, 1);  // Backspace from after 'e'
  EXPECT_EQ(Text(), "abfgh");
  ASSERT_TRUE(Undo());
  EXPECT_EQ(Text(), "abcdefgh");
  EXPECT_EQ(pos, 3);

  list.DeleteText(nullptr, 1, 7, 1);  // Delete twice before 'g'
  list.DeleteText(nullptr, 1, 7, 1);
  EXPECT_EQ(Text(), "abcdef");
  ASSERT_TRUE(Undo());
  EXPECT_EQ(Text(), "abcdefgh");
  EXPECT_FALSE(Undo());
}

TEST_F(ListUndo, ReplacementsOfAnotherLengthUndoToTheExactText) {
  Fill(list, {"abXab"});
  // Each 'ab' replaced by 'x', as a replace-all does, without a group...
  list.ReplaceText(nullptr, 1, 1, 2, "x");
  list.ReplaceText(nullptr, 1, 3, 2, "x");
  EXPECT_EQ(Text(), "xXx");
  while (Undo()) {
  }
  EXPECT_EQ(Text(), "abXab");
  while (Redo()) {
  }
  EXPECT_EQ(Text(), "xXx");

  // ...and inside one group, undone in one step.
  Fill(list, {"abXab"});
  bool wasOpen = list.UndoBuffer().BeginGroup();
  list.ReplaceText(nullptr, 1, 1, 2, "x");
  list.ReplaceText(nullptr, 1, 3, 2, "x");
  list.UndoBuffer().EndGroup(wasOpen);
  ASSERT_TRUE(Undo());
  EXPECT_EQ(Text(), "abXab");
  EXPECT_FALSE(Undo());
}

TEST_F(ListUndo, OverwriteTypingIsOneStep) {
  Fill(list, {"abcdef"});
  for (std::int32_t at : {2, 3, 4}) list.ReplaceText(nullptr, 1, at, 1, "X");
  EXPECT_EQ(Text(), "aXXXef");
  ASSERT_TRUE(Undo());
  EXPECT_EQ(Text(), "abcdef");
  EXPECT_FALSE(Undo());
}

TEST_F(ListUndo, UndoingToTheSavedStateLeavesTheTextUnmodified) {
  Fill(list, {"saved"});
  Type(1, 6, "!");
  EXPECT_TRUE(list.Modified());
  ASSERT_TRUE(Undo());
  EXPECT_FALSE(list.Modified());
  ASSERT_TRUE(Redo());
  EXPECT_TRUE(list.Modified());
  EXPECT_EQ(Text(), "saved!");
  EXPECT_EQ(pos, 7);  // the caret goes past the text put back
}

TEST_F(ListUndo, ANewChangeAfterAnUndoDiscardsTheRedoHistory) {
  Fill(list, {"ab"});
  Type(1, 3, "c");
  ASSERT_TRUE(Undo());
  Type(1, 1, "z");
  EXPECT_FALSE(Redo());
  EXPECT_EQ(Text(), "zab");
}

TEST_F(ListUndo, UndoOfASplitGivesBackTheCaretBeforeIt) {
  Fill(list, {"abc   def", "x"});
  std::int32_t indent = 10;
  ASSERT_EQ(list.SplitParagraph(nullptr, 1, true, indent, 8, 7), eeNone);
  ASSERT_TRUE(Undo());
  EXPECT_EQ(Paragraphs(list), (Paras{"abc   def", "x"}));
  EXPECT_EQ(para, 1);
  EXPECT_EQ(pos, 7);
  ASSERT_TRUE(Redo());
  EXPECT_EQ(Paragraphs(list), (Paras{"abc", "\t  def", "x"}));
  EXPECT_EQ(para, 2);
  EXPECT_EQ(pos, 4);
}

TEST_F(ListUndo, AParagraphPutBackIsLaidOutForThePresentWrap) {
  Fill(list, {"abcd efgh ijkl", "x"});
  list.DeleteParagraph(nullptr, 1);
  list.SetWrapColumn(10);
  list.SetWordWrap(true);
  ASSERT_TRUE(Undo());
  EXPECT_EQ(DisplayLines(list), (std::vector<std::string>{"abcd efgh ", "ijkl", "x"}));
  EXPECT_EQ(list.LineCount(), 3);
}

TEST_F(ListUndo, AChangeTooLargeForTheBufferClearsTheHistory) {
  list.SetUndoBufferSize(64);
  Type(1, 1, "a");
  std::int32_t p = 1;
  std::int32_t c = 2;
  ASSERT_EQ(list.InsertBlock(nullptr, p, std::string(100, 'x'), c), eeNone);
  EXPECT_FALSE(Undo());
  EXPECT_EQ(Text(), "a" + std::string(100, 'x'));
  Type(1, 1, "b");
  ASSERT_TRUE(Undo());
  EXPECT_EQ(Text(), "a" + std::string(100, 'x'));
}

TEST_F(ListUndo, AGroupTooLargeForTheBufferIsNotReplayedInPart) {
  list.SetUndoBufferSize(64);
  Fill(list, {"ab" + std::string(60, 'x')});
  std::int32_t indent = 0;
  // The split's records (caret, new paragraph, the 60 bytes cut off) do not fit.
  ASSERT_EQ(list.SplitParagraph(nullptr, 1, false, indent, 8, 3), eeNone);
  EXPECT_FALSE(Undo());
  EXPECT_EQ(Paragraphs(list), (Paras{"ab", std::string(60, 'x')}));
  Type(2, 1, "c");
  ASSERT_TRUE(Undo());
  EXPECT_EQ(Paragraphs(list), (Paras{"ab", std::string(60, 'x')}));
}

TEST_F(ListUndo, ParagraphsOutOfTheTextBelongToTheirRecords) {
  // Run under the sanitizers, this shows that no paragraph leaks and none
  // is freed twice whichever way its record goes.
  Fill(list, {"a", "b"});
  list.InsertParagraph(nullptr, 2, "undone, then dropped with the redo history");
  ASSERT_TRUE(Undo());
  Type(1, 2, "z");
  list.DeleteParagraph(nullptr, 2);  // kept by its record until the list goes

  TParaList noHistory(nullptr, false, 0);
  Fill(noHistory, {"a", "b", "c"});
  EXPECT_EQ(noHistory.DeleteParagraph(nullptr, 2), eeNone);  // no record: freed at once
  EXPECT_EQ(Paragraphs(noHistory), (Paras{"a", "c"}));
  list.SetUndoBufferSize(128);  // the old history frees what it holds
  EXPECT_FALSE(Undo());
}

}  // namespace
