// The undo buffer on its own: record sizes, merging, groups, overflow and
// the dropping of old groups.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "EditorTestSupport.h"
#include "controls/editor/UndoBuffer.h"

namespace {

std::vector<TUndoEntry> PopAll(TUndoBuffer& undo) {
  std::vector<TUndoEntry> entries;
  TUndoEntry entry;
  while (undo.PopUndo(entry)) entries.push_back(entry);
  return entries;
}

struct Record {
  std::int32_t para;
  std::int32_t pos;
  std::string text;  // insert and delete: the bytes; replace: old, '|', new
};

std::string TextOf(const TUndoEntry& entry) {
  if (entry.action == uaReplaceText) return std::string(entry.oldText) + "|" + std::string(entry.newText);
  return std::string(entry.text);
}

struct MergeCase {
  const char* name;
  std::function<void(TUndoBuffer&)> adds;
  std::vector<Record> records;  // newest first, as undo pops them
};

class Merging : public ::testing::TestWithParam<MergeCase> {};

TEST_P(Merging, RunsOfTypingAndDeletingBecomeOneRecord) {
  TUndoBuffer undo(1024);
  GetParam().adds(undo);
  std::vector<Record> got;
  for (const TUndoEntry& entry : PopAll(undo)) got.push_back({entry.para, entry.pos, TextOf(entry)});
  ASSERT_EQ(got.size(), GetParam().records.size());
  for (std::size_t i = 0; i < got.size(); ++i) {
    EXPECT_EQ(got[i].para, GetParam().records[i].para) << i;
    EXPECT_EQ(got[i].pos, GetParam().records[i].pos) << i;
    EXPECT_EQ(got[i].text, GetParam().records[i].text) << i;
  }
}

INSTANTIATE_TEST_SUITE_P(Runs, Merging,
                         ::testing::Values(MergeCase{"TypingOn",
                                                     [](TUndoBuffer& u) {
                                                       u.Add(uaInsertText, false, "a", 5, 1);
                                                       u.Add(uaInsertText, false, "b", 6, 1);
                                                       u.Add(uaInsertText, false, "c", 7, 1);
                                                     },
                                                     {{1, 5, "abc"}}},
                                           MergeCase{"TypingElsewhere",
                                                     [](TUndoBuffer& u) {
                                                       u.Add(uaInsertText, false, "a", 5, 1);
                                                       u.Add(uaInsertText, false, "b", 9, 1);
                                                     },
                                                     {{1, 9, "b"}, {1, 5, "a"}}},
                                           MergeCase{"TypingInAnotherParagraph",
                                                     [](TUndoBuffer& u) {
                                                       u.Add(uaInsertText, false, "a", 5, 1);
                                                       u.Add(uaInsertText, false, "b", 6, 2);
                                                     },
                                                     {{2, 6, "b"}, {1, 5, "a"}}},
                                           MergeCase{"DeleteKey",
                                                     [](TUndoBuffer& u) {
                                                       u.Add(uaDeleteText, false, "a", 5, 1);
                                                       u.Add(uaDeleteText, false, "b", 5, 1);
                                                     },
                                                     {{1, 5, "ab"}}},
                                           MergeCase{"Backspace",
                                                     [](TUndoBuffer& u) {
                                                       u.Add(uaDeleteText, false, "c", 7, 1);
                                                       u.Add(uaDeleteText, false, "b", 6, 1);
                                                       u.Add(uaDeleteText, false, "a", 5, 1);
                                                     },
                                                     {{1, 5, "abc"}}},
                                           MergeCase{"BackspaceThenDeleteAtOnePlace",
                                                     [](TUndoBuffer& u) {
                                                       u.Add(uaDeleteText, false, "b", 6, 1);
                                                       u.Add(uaDeleteText, false, "a", 5, 1);
                                                       u.Add(uaDeleteText, false, "c", 5, 1);
                                                     },
                                                     {{1, 5, "abc"}}},
                                           MergeCase{"InsertThenDeleteStaySeparate",
                                                     [](TUndoBuffer& u) {
                                                       u.Add(uaInsertText, false, "a", 5, 1);
                                                       u.Add(uaDeleteText, false, "a", 5, 1);
                                                     },
                                                     {{1, 5, "a"}, {1, 5, "a"}}},
                                           MergeCase{"OverwriteTyping",
                                                     [](TUndoBuffer& u) {
                                                       u.AddReplace(false, 1, "x", "a", 5);
                                                       u.AddReplace(false, 1, "y", "b", 6);
                                                     },
                                                     {{1, 5, "ab|xy"}}},
                                           // 'abXab' with both 'ab' replaced by 'x': the second replacement
                                           // stands at 2 in the present text, not at 1 + length of 'ab'.
                                           MergeCase{"ShorterReplacementsMergeWhereTheNewTextEnds",
                                                     [](TUndoBuffer& u) {
                                                       u.AddReplace(false, 1, "x", "ab", 1);
                                                       u.AddReplace(false, 1, "x", "ab", 3);
                                                       u.AddReplace(false, 1, "y", "Q", 4);
                                                     },
                                                     {{1, 3, "abQ|xy"}, {1, 1, "ab|x"}}},
                                           MergeCase{"ReplacementTextsWithZeroBytes",
                                                     [](TUndoBuffer& u) {
                                                       u.AddReplace(false, 1, std::string("\0b", 2),
                                                                    std::string("a\0", 2), 1);
                                                       u.AddReplace(false, 1, "d", std::string("\0", 1), 3);
                                                     },
                                                     {{1, 1, std::string("a\0\0|\0bd", 7)}}},
                                           MergeCase{"NothingMergesInsideAGroup",
                                                     [](TUndoBuffer& u) {
                                                       bool wasOpen = u.BeginGroup();
                                                       u.Add(uaInsertText, false, "a", 5, 1);
                                                       u.Add(uaInsertText, false, "b", 6, 1);
                                                       u.EndGroup(wasOpen);
                                                     },
                                                     {{1, 6, "b"}, {1, 5, "a"}}}),
                         CaseName());

TEST(UndoBuffer, ARecordTakesItsTextAndSixteenBytes) {
  TUndoBuffer undo(1024);
  EXPECT_EQ(undo.FreeBytes(), 1024);
  undo.Add(uaInsertText, false, "abc", 1, 1);
  EXPECT_EQ(undo.FreeBytes(), 1024 - 19);
  undo.Add(uaInsertText, false, "de", 4, 1);  // merges: only the text is added
  EXPECT_EQ(undo.FreeBytes(), 1024 - 21);
  undo.AddReplace(false, 2, "xy", "abc", 1);  // old, zero, new, zero
  EXPECT_EQ(undo.FreeBytes(), 1024 - 21 - 23);
  undo.Add(uaCaret, false, {}, 1, 1);
  EXPECT_EQ(undo.FreeBytes(), 1024 - 21 - 23 - 16);
  TUndoEntry entry;
  undo.PopUndo(entry);
  EXPECT_EQ(undo.FreeBytes(), 1024 - 21 - 23);
}

TEST(UndoBuffer, PeekingAnEmptyBufferGivesNoGroup) {
  TUndoBuffer undo(1024);
  EXPECT_EQ(undo.PeekUndoGroup(), -1);
  EXPECT_EQ(undo.PeekRedoGroup(), -1);
  undo.Add(uaInsertText, false, "a", 1, 1);
  EXPECT_GE(undo.PeekUndoGroup(), 0);
  EXPECT_EQ(undo.PeekRedoGroup(), -1);
}

TEST(UndoBuffer, GroupsNestUnderOneNumber) {
  TUndoBuffer undo(1024);
  undo.Add(uaInsertText, false, "a", 1, 1);
  bool outer = undo.BeginGroup();
  undo.Add(uaCaret, false, {}, 1, 1);
  bool inner = undo.BeginGroup();
  undo.Add(uaDeleteText, false, "x", 1, 2);
  undo.EndGroup(inner);
  EXPECT_TRUE(undo.GroupOpen());
  undo.Add(uaCaret, false, {}, 1, 3);
  undo.EndGroup(outer);
  EXPECT_FALSE(undo.GroupOpen());
  undo.Add(uaInsertText, false, "b", 9, 1);

  std::vector<TUndoEntry> entries = PopAll(undo);
  ASSERT_EQ(entries.size(), 5u);
  EXPECT_EQ(entries[1].group, entries[2].group);
  EXPECT_EQ(entries[2].group, entries[3].group);
  EXPECT_NE(entries[0].group, entries[1].group);
  EXPECT_NE(entries[3].group, entries[4].group);
}

TEST(UndoBuffer, RedoStepsForwardAndTakesThePresentModifiedFlag) {
  TUndoBuffer undo(1024);
  undo.Add(uaInsertText, false, "a", 1, 1);
  undo.Add(uaInsertText, true, "b", 9, 1);
  TUndoEntry entry;
  ASSERT_TRUE(undo.PopUndo(entry));
  EXPECT_TRUE(entry.modified);
  ASSERT_TRUE(undo.PopUndo(entry));
  EXPECT_FALSE(entry.modified);
  EXPECT_EQ(undo.RedoCount(), 2);
  EXPECT_EQ(undo.FreeBytes(), 1024);

  ASSERT_TRUE(undo.PopRedo(entry, true));
  EXPECT_EQ(entry.text, "a");
  EXPECT_TRUE(entry.modified);
  EXPECT_EQ(undo.FreeBytes(), 1024 - 17);
  // A new record discards what could still be redone.
  undo.Add(uaInsertText, false, "c", 20, 1);
  EXPECT_EQ(undo.RedoCount(), 0);
  EXPECT_EQ(undo.UndoCount(), 2);
}

TEST(UndoBuffer, ARecordLargerThanTheBlockClearsTheHistory) {
  TUndoBuffer undo(64);
  undo.Add(uaInsertText, false, "a", 1, 1);
  EXPECT_FALSE(undo.Add(uaInsertText, false, std::string(100, 'x'), 9, 1));
  EXPECT_EQ(undo.UndoCount(), 0);
  EXPECT_FALSE(undo.Overflow());
  EXPECT_TRUE(undo.Add(uaInsertText, false, "b", 1, 1));
  EXPECT_EQ(undo.UndoCount(), 1);
}

TEST(UndoBuffer, AGroupThatDoesNotFitIsDroppedWholeAndTheNextIsKept) {
  TUndoBuffer undo(64);
  bool wasOpen = undo.BeginGroup();
  EXPECT_TRUE(undo.Add(uaCaret, false, {}, 1, 1));
  EXPECT_FALSE(undo.Add(uaDeleteText, false, std::string(100, 'x'), 1, 1));
  EXPECT_TRUE(undo.Overflow());
  EXPECT_FALSE(undo.Add(uaCaret, false, {}, 1, 2));
  undo.EndGroup(wasOpen);
  EXPECT_EQ(undo.UndoCount(), 0);
  EXPECT_FALSE(undo.Overflow());

  EXPECT_TRUE(undo.Add(uaInsertText, false, "b", 1, 1));
  EXPECT_EQ(undo.UndoCount(), 1);
}

std::vector<std::string> UndoTexts(TUndoBuffer& undo) {
  std::vector<std::string> texts;
  for (const TUndoEntry& entry : PopAll(undo)) texts.emplace_back(entry.text);
  return texts;
}

TEST(UndoBuffer, AFullBlockDropsItsOldestWholeGroups) {
  // 256 bytes hold fourteen 18-byte records.
  TUndoBuffer undo(256);
  undo.Add(uaInsertText, false, "g1", 1, 1);
  for (int group = 2; group <= 7; ++group) {
    bool wasOpen = undo.BeginGroup();
    undo.Add(uaInsertText, false, "g" + std::to_string(group), 10, group);
    undo.Add(uaInsertText, false, "h" + std::to_string(group), 10, group);
    undo.EndGroup(wasOpen);
  }
  undo.Add(uaInsertText, false, "g8", 1, 8);
  ASSERT_EQ(undo.UndoCount(), 14);
  ASSERT_EQ(undo.FreeBytes(), 4);

  undo.Add(uaInsertText, false, "g9", 1, 9);  // g1 goes
  EXPECT_EQ(undo.UndoCount(), 14);
  undo.Add(uaInsertText, false, "g10", 1, 10);  // g2 and h2 go together
  EXPECT_EQ(undo.UndoCount(), 13);
  EXPECT_EQ(undo.FreeBytes(), 256 - 12 * 18 - 19);
  EXPECT_EQ(UndoTexts(undo),
            (std::vector<std::string>{"g10", "g9", "g8", "h7", "g7", "h6", "g6", "h5", "g5", "h4", "g4", "h3", "g3"}));
}

TEST(UndoBuffer, DroppingFreesASixteenthOfTheBlock) {
  TUndoBuffer undo(1024);                                                            // target: 64 free bytes
  for (int i = 0; i < 42; ++i) undo.Add(uaInsertText, false, "abcdefgh", 1, i + 1);  // 24 bytes each
  ASSERT_EQ(undo.FreeBytes(), 16);
  undo.Add(uaInsertText, false, "abcdefgh", 1, 99);
  // One record would make room; two go, so that 64 bytes are free.
  EXPECT_EQ(undo.UndoCount(), 41);
  EXPECT_EQ(undo.FreeBytes(), 40);
  std::vector<TUndoEntry> entries = PopAll(undo);
  EXPECT_EQ(entries.front().para, 99);
  EXPECT_EQ(entries.back().para, 3);
}

TEST(UndoBuffer, AFailedAllocationHalvesTheBlock) {
  {
    FailingAllocations failing(-1, 1000);
    TUndoBuffer undo(8192);
    EXPECT_EQ(undo.Size(), 512);  // 8192, 4096, 2048 and 1024 bytes fail
  }
  {
    FailingAllocations failing(0);
    TUndoBuffer undo(8192);
    EXPECT_EQ(undo.Size(), 0);
    EXPECT_FALSE(undo.Add(uaInsertText, false, "a", 1, 1));
    EXPECT_EQ(undo.UndoCount(), 0);
  }
}

}  // namespace
