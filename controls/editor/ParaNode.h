#pragma once
// One paragraph of the editor's text: its bytes (never a line break) and the
// byte offsets at which its display lines start when word wrap is on.
//
// Lengths, capacities and line starts are 16-bit quantities, which bounds a
// paragraph at 32767 bytes; the paragraph list checks that bound before every
// change. Changes are made in two steps (TParaEdit): every allocation first,
// which may fail and then leaves the paragraph as it was, and the change itself.

#include <cstdint>
#include <string_view>
#include <vector>

// How paragraphs break into display lines.
struct TWrapLayout {
  std::int32_t wrapColumn = 0;  // 0: no wrapping, one display line per paragraph
  int tabSize = 8;

  bool Wraps() const { return wrapColumn > 0; }
};

// Display lines of one paragraph (counted from 0) that an edit re-laid out.
struct TLineSpan {
  std::int32_t first = 0;
  std::int32_t last = 0;
  bool countChanged = false;
};

class TParaNode {
 public:
  static constexpr std::int32_t kMaxLength = 32767;

  TParaNode() = default;
  ~TParaNode();
  TParaNode(const TParaNode&) = delete;
  TParaNode& operator=(const TParaNode&) = delete;

  std::string_view Text() const { return {Data(), length_}; }
  // The zero-terminated text; an empty string for a paragraph without a buffer.
  const char* Data() const { return text_ != nullptr ? text_ : ""; }
  std::int32_t Length() const { return length_; }
  std::int32_t Capacity() const { return capacity_; }

  std::int32_t LineCount() const { return lineCount_; }
  // Byte offset of the start of display line `line` (from 0).
  std::int32_t LineStart(std::int32_t line) const { return starts_ != nullptr ? starts_[line] : 0; }
  std::string_view LineText(std::int32_t line) const;
  // The display line (from 0) that holds byte offset `offset`.
  std::int32_t LineOfOffset(std::int32_t offset) const;
  std::int32_t LineTableCapacity() const { return starts_ != nullptr ? startsCapacity_ : 1; }

  TParaNode* Next() const { return next_; }
  TParaNode* Prev() const { return prev_; }

 private:
  friend class TParaList;
  friend class TParaEdit;

  // Fills a new paragraph; false when memory runs out (the node stays empty).
  bool Assign(std::string_view text, const TWrapLayout& layout);
  // Breaks the whole paragraph into display lines again. When the line table
  // cannot grow the paragraph shows as one line, which is always possible.
  void Rewrap(const TWrapLayout& layout);
  void SetSingleLine();
  bool InstallStarts(const std::vector<std::uint16_t>& starts, std::int32_t initialCapacity);

  char* text_ = nullptr;
  TParaNode* next_ = nullptr;
  TParaNode* prev_ = nullptr;
  std::uint16_t* starts_ = nullptr;  // null: one line starting at 0
  std::uint16_t capacity_ = 0;
  std::uint16_t length_ = 0;
  std::uint16_t lineCount_ = 1;
  std::uint16_t startsCapacity_ = 0;
};

// One change of a paragraph's bytes: `oldCount` bytes at offset `at` give way
// to `blanks` blanks followed by `inserted`. Prepare makes the allocations and
// the new line layout without touching the paragraph; Commit applies them.
class TParaEdit {
 public:
  TParaEdit(TParaNode& node, std::int32_t at, std::int32_t oldCount, std::int32_t blanks, std::string_view inserted);
  ~TParaEdit();
  TParaEdit(const TParaEdit&) = delete;
  TParaEdit& operator=(const TParaEdit&) = delete;

  // False when memory ran out; the paragraph is unchanged.
  bool Prepare(const TWrapLayout& layout);
  TLineSpan Commit();

  std::int32_t NewLength() const { return newLength_; }
  char operator[](std::int32_t i) const;  // a byte of the text as it will read

 private:
  bool LayOut(const TWrapLayout& layout);
  void CommitText();
  void CommitStarts();

  TParaNode& node_;
  std::int32_t at_, oldCount_, blanks_;
  std::string_view inserted_;
  std::int32_t newLength_;
  std::int32_t delta_;

  char* newText_ = nullptr;  // a larger buffer, when the text outgrows its own
  std::uint16_t newCapacity_ = 0;
  std::uint16_t* newStarts_ = nullptr;  // a larger line table, when needed
  std::uint16_t newStartsCapacity_ = 0;
  bool wraps_ = false;
  std::int32_t keep_ = 0;              // old line starts kept in front
  std::vector<std::uint16_t> middle_;  // starts recomputed after them
  std::int32_t resume_ = 0;            // old starts from here on follow, shifted by delta
  TLineSpan span_;
};
