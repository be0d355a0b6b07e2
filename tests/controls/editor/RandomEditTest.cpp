// Thousands of random edits, each checked against a plain model of the text
// (one string per paragraph): the text, its counts and its display lines must
// agree after every step; undoing everything gives the original text back and
// redoing everything the final one.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "EditorTestSupport.h"
#include "controls/editor/ParaList.h"
#include "controls/editor/VirEditU.h"

namespace {

bool IsBreak(char c) { return c == '\r' || c == '\n'; }

// The text as the edits should leave it, built with plain string operations.
class Model {
 public:
  explicit Model(Paras paras) : p_(std::move(paras)) {}
  const Paras& Text() const { return p_; }
  std::int32_t Count() const { return static_cast<std::int32_t>(p_.size()); }
  std::int32_t Length(std::int32_t para) const { return static_cast<std::int32_t>(At(para).size()); }

  void InsertText(std::int32_t para, std::int32_t pos, const std::string& text) {
    std::string& s = At(para);
    if (static_cast<std::int32_t>(s.size()) < pos - 1) s.resize(static_cast<std::size_t>(pos - 1), ' ');
    s.insert(static_cast<std::size_t>(pos - 1), text);
  }
  void DeleteText(std::int32_t para, std::int32_t pos, std::int32_t count) {
    std::string& s = At(para);
    if (count > 0 && pos <= static_cast<std::int32_t>(s.size()))
      s.erase(static_cast<std::size_t>(pos - 1), static_cast<std::size_t>(count));
  }
  void ReplaceText(std::int32_t para, std::int32_t pos, std::int32_t oldCount, const std::string& text) {
    DeleteText(para, pos, oldCount);
    InsertText(para, pos, text);
  }
  void InsertParagraph(std::int32_t para, const std::string& text) { p_.insert(p_.begin() + (para - 1), text); }
  void DeleteParagraph(std::int32_t para) {
    if (Count() > 1) p_.erase(p_.begin() + (para - 1));
  }
  void Split(std::int32_t para, std::int32_t pos, bool trim, std::int32_t indent, int tabSize) {
    std::string& s = At(para);
    pos = std::clamp(pos, 1, static_cast<std::int32_t>(s.size()) + 1);
    if (pos == 1) return InsertParagraph(para, "");
    std::string tail = s.substr(static_cast<std::size_t>(pos - 1));
    std::size_t cut = static_cast<std::size_t>(pos - 1);
    while (trim && cut > 0 && IsBlankChar(s[cut - 1])) --cut;
    s.erase(cut);
    std::string indentation = tabSize > 0 ? std::string(static_cast<std::size_t>(indent / tabSize), '\t') +
                                                std::string(static_cast<std::size_t>(indent % tabSize), ' ')
                                          : std::string(static_cast<std::size_t>(indent), ' ');
    InsertParagraph(para + 1, indentation + tail);
  }
  void Join(std::int32_t para, std::int32_t pos) {
    if (pos == 1 && At(para).empty()) return DeleteParagraph(para);
    InsertText(para, pos, At(para + 1));
    DeleteParagraph(para + 1);
  }
  void DeleteRange(std::int32_t p1, std::int32_t c1, std::int32_t p2, std::int32_t c2) {
    if (p1 == p2) return DeleteText(p1, c1, c2 - c1);
    std::string head = At(p1).substr(0, static_cast<std::size_t>(std::min(c1 - 1, Length(p1))));
    std::string tail = At(p2).substr(static_cast<std::size_t>(std::min(c2 - 1, Length(p2))));
    if (c1 == 1 && c2 == 1) tail = At(p2);
    p_.erase(p_.begin() + (p1 - 1), p_.begin() + p2);
    p_.insert(p_.begin() + (p1 - 1), head + tail);
  }
  void InsertBlock(std::int32_t& para, const std::string& text, std::int32_t& pos) {
    std::size_t from = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (!IsBreak(text[i])) continue;
      std::string piece = text.substr(from, i - from);
      if (pos == 1) {
        InsertParagraph(para, piece);
      } else {
        InsertText(para, pos, piece);
        Split(para, pos + static_cast<std::int32_t>(piece.size()), true, 0, 8);
      }
      ++para;
      pos = 1;
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      from = i + 1;
    }
    std::string rest = text.substr(from);
    if (!rest.empty()) InsertText(para, pos, rest);
    pos += static_cast<std::int32_t>(rest.size());
  }

 private:
  std::string& At(std::int32_t para) { return p_.at(static_cast<std::size_t>(para - 1)); }
  const std::string& At(std::int32_t para) const { return p_.at(static_cast<std::size_t>(para - 1)); }
  Paras p_;
};

class RandomEdits {
 public:
  RandomEdits(unsigned seed, bool wordWrap) : rng_(seed), list_(nullptr, wordWrap, 65535), model_({""}) {
    if (wordWrap) {
      list_.SetWrapColumn(Pick(6, 24));
      list_.SetTabSize(Pick(2, 8));
    }
  }

  void Run(int steps) {
    const Paras original = model_.Text();
    for (int step = 0; step < steps; ++step) {
      std::string what = EditOnce();
      SCOPED_TRACE("step " + std::to_string(step) + ": " + what);
      CheckAgainstModel();
      if (HasFatalFailure() || HasNonfatalFailure()) return;
    }
    const Paras final = model_.Text();
    std::int32_t para = 0;
    std::int32_t pos = 0;
    while (list_.Undo(nullptr, para, pos)) {
    }
    EXPECT_EQ(Paragraphs(list_), original);
    EXPECT_FALSE(list_.Modified());
    while (list_.Redo(nullptr, para, pos)) {
    }
    EXPECT_EQ(Paragraphs(list_), final);
    EXPECT_EQ(DisplayLines(list_), ExpectedLines(final));
  }

 private:
  static bool HasFatalFailure() { return ::testing::Test::HasFatalFailure(); }
  static bool HasNonfatalFailure() { return ::testing::Test::HasNonfatalFailure(); }

  std::int32_t Pick(std::int32_t low, std::int32_t high) {
    return std::uniform_int_distribution<std::int32_t>(low, high)(rng_);
  }
  std::string Word(int maxLength, bool withBreaks = false) {
    static const std::string letters = "abcdefgh  -\t";
    static const std::string breaks[] = {"\r\n", "\n", "\r"};
    std::string text;
    for (int i = Pick(0, maxLength); i > 0; --i) {
      if (withBreaks && Pick(0, 5) == 0) {
        text += breaks[Pick(0, 2)];
      } else {
        text += letters[static_cast<std::size_t>(Pick(0, static_cast<std::int32_t>(letters.size()) - 1))];
      }
    }
    return text;
  }
  std::int32_t AnyPara() { return Pick(1, model_.Count()); }
  std::int32_t AnyPos(std::int32_t para) { return Pick(1, model_.Length(para) + 3); }

  // One random edit of both the list and the model; returns what it did.
  std::string EditOnce() {
    const std::int32_t para = AnyPara();
    const std::int32_t pos = AnyPos(para);
    auto where = std::to_string(para) + "," + std::to_string(pos);
    switch (Pick(0, 9)) {
      case 0:
      case 1: {
        std::string text = Word(6);
        EXPECT_EQ(list_.InsertText(nullptr, para, pos, text), eeNone);
        model_.InsertText(para, pos, text);
        return "insert at " + where;
      }
      case 2: {
        std::int32_t count = Pick(1, 5);
        EXPECT_EQ(list_.DeleteText(nullptr, para, pos, count), eeNone);
        model_.DeleteText(para, pos, count);
        return "delete at " + where;
      }
      case 3: {
        std::int32_t oldCount = Pick(0, 4);
        std::string text = Word(4);
        EXPECT_EQ(list_.ReplaceText(nullptr, para, pos, oldCount, text), eeNone);
        model_.ReplaceText(para, pos, oldCount, text);
        return "replace at " + where;
      }
      case 4: {
        bool trim = Pick(0, 1) == 1;
        std::int32_t indent = Pick(0, 1) == 1 ? Pick(1, 12) : 0;
        int tabSize = Pick(0, 8);
        model_.Split(para, pos, trim, indent, tabSize);
        EXPECT_EQ(list_.SplitParagraph(nullptr, para, trim, indent, tabSize, pos), eeNone);
        return "split at " + where;
      }
      case 5: {
        if (para == model_.Count()) return "nothing";
        EXPECT_EQ(list_.JoinParagraphs(nullptr, para, std::max(pos, model_.Length(para) + 1)), eeNone);
        model_.Join(para, std::max(pos, model_.Length(para) + 1));
        return "join at " + where;
      }
      case 6: {
        std::int32_t para2 = Pick(para, std::min(model_.Count(), para + 3));
        std::int32_t pos2 = para2 == para ? Pick(pos, pos + 4) : AnyPos(para2);
        EXPECT_EQ(list_.DeleteRange(nullptr, para, pos, para2, pos2), eeNone);
        model_.DeleteRange(para, pos, para2, pos2);
        return "delete range " + where + " to " + std::to_string(para2) + "," + std::to_string(pos2);
      }
      case 7: {
        std::string text = Word(12, true);
        std::int32_t listPara = para, listPos = pos, modelPara = para, modelPos = pos;
        EXPECT_EQ(list_.InsertBlock(nullptr, listPara, text, listPos), eeNone);
        model_.InsertBlock(modelPara, text, modelPos);
        EXPECT_EQ(listPara, modelPara);
        EXPECT_EQ(listPos, modelPos);
        return "block at " + where;
      }
      case 8: {
        std::string text = Word(8);
        std::int32_t at = Pick(1, model_.Count() + 1);
        EXPECT_EQ(list_.InsertParagraph(nullptr, at, text), eeNone);
        model_.InsertParagraph(at, text);
        return "insert paragraph " + std::to_string(at);
      }
      default:
        EXPECT_EQ(list_.DeleteParagraph(nullptr, para), eeNone);
        model_.DeleteParagraph(para);
        return "delete paragraph " + std::to_string(para);
    }
  }

  // The display lines of the text, each paragraph wrapped from scratch.
  std::vector<std::string> ExpectedLines(const Paras& paras) const {
    std::vector<std::string> lines;
    const bool wraps = list_.WordWrap();
    for (const std::string& text : paras) {
      const auto length = static_cast<std::int32_t>(text.size());
      std::int32_t start = 0;
      for (;;) {
        std::int32_t next = wraps ? NextLineStart(text, length, start, list_.WrapColumn(), list_.TabSize(),
                                                  rtl::IsUtf8(text))
                                  : length;
        lines.push_back(text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(next - start)));
        if (next >= length) break;
        start = next;
      }
    }
    return lines;
  }

  void CheckAgainstModel() {
    const Paras& expected = model_.Text();
    ASSERT_EQ(Paragraphs(list_), expected);
    std::int64_t bytes = 2 * (static_cast<std::int64_t>(expected.size()) - 1);
    for (const std::string& text : expected) bytes += static_cast<std::int64_t>(text.size());
    EXPECT_EQ(list_.ByteCount(), bytes);
    std::vector<std::string> lines = ExpectedLines(expected);
    ASSERT_EQ(list_.LineCount(), static_cast<std::int32_t>(lines.size()));
    // Lines in random order, so that the lookups start from every side.
    for (int i = 0; i < 8; ++i) {
      std::int32_t line = Pick(1, list_.LineCount());
      std::int32_t length = 0;
      const char* text = list_.GetLine(line, length);
      ASSERT_EQ(std::string(text, static_cast<std::size_t>(length)), lines[static_cast<std::size_t>(line - 1)])
          << "line " << line;
    }
    EXPECT_EQ(DisplayLines(list_), lines);
  }

  std::mt19937 rng_;
  TParaList list_;
  Model model_;
};

TEST(RandomEdits, MatchAPlainModelAndUndoToTheOriginal) {
  // Rounds are short enough that the whole history fits in the undo buffer.
  for (unsigned seed = 1; seed <= 40; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    RandomEdits edits(seed, seed % 2 == 0);
    edits.Run(150);
    if (::testing::Test::HasFailure()) return;
  }
}

}  // namespace
