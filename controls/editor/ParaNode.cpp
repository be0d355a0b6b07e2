#include "controls/editor/ParaNode.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "controls/editor/VirEditU.h"

namespace {

std::int32_t RoundUp(std::int32_t value, std::int32_t multiple) { return (value + multiple - 1) / multiple * multiple; }

// The line-table size a freshly wrapped paragraph starts with: room for a
// fifth more lines than its length needs at the wrap column.
std::int32_t InitialLineCapacity(std::int32_t length, std::int32_t wrapColumn) {
  std::int32_t lines = length / wrapColumn;
  return std::max(8, RoundUp(lines + lines / 5, 8));
}

std::int32_t GrownLineCapacity(std::int32_t needed) { return std::max(8, RoundUp(needed, 8)); }

// The offsets of every display line after the first, for the text as `Text` reads.
template <class Text>
std::vector<std::uint16_t> LineStartsFrom(const Text& text, std::int32_t length, std::int32_t start,
                                          const TWrapLayout& layout) {
  std::vector<std::uint16_t> starts;
  const bool utf8 = ReadsAsUtf8(text, length);
  for (;;) {
    start = NextLineStart(text, length, start, layout.wrapColumn, layout.tabSize, utf8);
    if (start >= length) return starts;
    starts.push_back(static_cast<std::uint16_t>(start));
  }
}

bool Overlaps(std::string_view a, const char* begin, std::size_t size) {
  return begin != nullptr && !a.empty() && a.data() < begin + size && begin < a.data() + a.size();
}

}  // namespace

TParaNode::~TParaNode() {
  delete[] text_;
  delete[] starts_;
}

std::string_view TParaNode::LineText(std::int32_t line) const {
  std::int32_t start = LineStart(line);
  std::int32_t end = line + 1 < lineCount_ ? LineStart(line + 1) : length_;
  return Text().substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start));
}

std::int32_t TParaNode::LineOfOffset(std::int32_t offset) const {
  if (starts_ == nullptr) return 0;
  const std::uint16_t* begin = starts_;
  auto line = static_cast<std::int32_t>(std::upper_bound(begin, begin + lineCount_, offset) - begin) - 1;
  return std::max(line, 0);
}

bool TParaNode::Assign(std::string_view text, const TWrapLayout& layout) {
  const auto length = static_cast<std::int32_t>(text.size());
  if (length > 0) {
    auto capacity = RoundUp(length + 1, 8);
    text_ = new (std::nothrow) char[static_cast<std::size_t>(capacity)];
    if (text_ == nullptr) return false;
    std::memcpy(text_, text.data(), text.size());
    text_[length] = '\0';
    capacity_ = static_cast<std::uint16_t>(capacity);
    length_ = static_cast<std::uint16_t>(length);
  }
  if (!layout.Wraps()) return true;
  try {
    std::vector<std::uint16_t> starts = LineStartsFrom(Text(), length, 0, layout);
    if (InstallStarts(starts, InitialLineCapacity(length, layout.wrapColumn))) return true;
  } catch (const std::bad_alloc&) {
  }
  delete[] text_;
  text_ = nullptr;
  capacity_ = length_ = 0;
  return false;
}

void TParaNode::Rewrap(const TWrapLayout& layout) {
  if (!layout.Wraps()) {
    SetSingleLine();
    return;
  }
  try {
    std::vector<std::uint16_t> starts = LineStartsFrom(Text(), length_, 0, layout);
    if (InstallStarts(starts, InitialLineCapacity(length_, layout.wrapColumn))) return;
  } catch (const std::bad_alloc&) {
  }
  SetSingleLine();
}

void TParaNode::SetSingleLine() {
  delete[] starts_;
  starts_ = nullptr;
  startsCapacity_ = 0;
  lineCount_ = 1;
}

// Installs the line starts after the first; a paragraph without a table gets
// one of at least `initialCapacity` entries.
bool TParaNode::InstallStarts(const std::vector<std::uint16_t>& starts, std::int32_t initialCapacity) {
  const auto count = static_cast<std::int32_t>(starts.size()) + 1;
  if (starts_ == nullptr || startsCapacity_ < count) {
    std::int32_t capacity = std::max(GrownLineCapacity(count), starts_ == nullptr ? initialCapacity : 0);
    auto* table = new (std::nothrow) std::uint16_t[static_cast<std::size_t>(capacity)]();
    if (table == nullptr) return false;
    delete[] starts_;
    starts_ = table;
    startsCapacity_ = static_cast<std::uint16_t>(capacity);
  }
  starts_[0] = 0;
  std::copy(starts.begin(), starts.end(), starts_ + 1);
  if (count < startsCapacity_) starts_[count] = 0;
  lineCount_ = static_cast<std::uint16_t>(count);
  return true;
}

TParaEdit::TParaEdit(TParaNode& node, std::int32_t at, std::int32_t oldCount, std::int32_t blanks,
                     std::string_view inserted)
    : node_(node),
      at_(at),
      oldCount_(oldCount),
      blanks_(blanks),
      inserted_(inserted),
      newLength_(node.length_ - oldCount + blanks + static_cast<std::int32_t>(inserted.size())),
      delta_(newLength_ - node.length_) {}

TParaEdit::~TParaEdit() {
  delete[] newText_;
  delete[] newStarts_;
}

char TParaEdit::operator[](std::int32_t i) const {
  if (i < at_) return node_.text_[i];
  i -= at_;
  if (i < blanks_) return ' ';
  i -= blanks_;
  const auto insertedLength = static_cast<std::int32_t>(inserted_.size());
  if (i < insertedLength) return inserted_[static_cast<std::size_t>(i)];
  return node_.text_[at_ + oldCount_ + (i - insertedLength)];
}

bool TParaEdit::Prepare(const TWrapLayout& layout) {
  if (!LayOut(layout)) return false;
  // Text the paragraph itself holds is copied to a new buffer before it moves.
  bool aliased = Overlaps(inserted_, node_.text_, node_.capacity_);
  bool grows = newLength_ > 0 && newLength_ + 1 > node_.capacity_;
  if (grows || aliased) {
    auto capacity = RoundUp(newLength_ + 1, 16);
    newText_ = new (std::nothrow) char[static_cast<std::size_t>(capacity)];
    if (newText_ == nullptr) return false;
    newCapacity_ = static_cast<std::uint16_t>(capacity);
  }
  std::int32_t lineCount = keep_ + static_cast<std::int32_t>(middle_.size()) + (node_.lineCount_ - resume_);
  if (wraps_ && lineCount > node_.LineTableCapacity()) {
    auto capacity = GrownLineCapacity(lineCount);
    newStarts_ = new (std::nothrow) std::uint16_t[static_cast<std::size_t>(capacity)]();
    if (newStarts_ == nullptr) return false;
    newStartsCapacity_ = static_cast<std::uint16_t>(capacity);
  }
  return true;
}

// Works out the new line starts. Wrapping restarts on the line before the one
// holding the edit and stops at the first start that equals an old start
// beyond the edit, shifted by the edit's size: from there on the text, and so
// the layout, is the old one.
bool TParaEdit::LayOut(const TWrapLayout& layout) {
  wraps_ = layout.Wraps();
  const std::int32_t oldLines = node_.lineCount_;
  if (!wraps_) {
    keep_ = 1;
    resume_ = oldLines;
    span_ = TLineSpan{};
    return true;
  }
  const std::int32_t atLine = node_.LineOfOffset(at_);
  const std::int32_t restart = std::max(0, atLine - 1);
  const std::int32_t editEnd = at_ + oldCount_;
  keep_ = restart + 1;
  resume_ = oldLines;
  try {
    middle_.clear();
    std::int32_t old = keep_;
    std::int32_t start = node_.LineStart(restart);
    const bool utf8 = ReadsAsUtf8(*this, newLength_);
    for (;;) {
      start = NextLineStart(*this, newLength_, start, layout.wrapColumn, layout.tabSize, utf8);
      if (start >= newLength_) break;
      while (old < oldLines && (node_.LineStart(old) < editEnd || node_.LineStart(old) + delta_ < start)) ++old;
      if (old < oldLines && node_.LineStart(old) + delta_ == start) {
        resume_ = old;
        break;
      }
      middle_.push_back(static_cast<std::uint16_t>(start));
    }
  } catch (const std::bad_alloc&) {
    return false;
  }

  const auto middleCount = static_cast<std::int32_t>(middle_.size());
  const std::int32_t newLines = keep_ + middleCount + (oldLines - resume_);
  span_.countChanged = newLines != oldLines;
  span_.first = restart;
  if (restart < atLine) {
    // The line before the edit keeps its layout when the next line still starts where it did.
    std::int32_t nextStart = middleCount > 0 ? middle_[0] : resume_ < oldLines ? node_.LineStart(resume_) + delta_ : -1;
    if (nextStart == node_.LineStart(restart + 1)) span_.first = atLine;
  }
  std::int32_t lastRelaid = resume_ < oldLines ? keep_ + middleCount - 1 : newLines - 1;
  span_.last = std::max(span_.first, lastRelaid);
  return true;
}

TLineSpan TParaEdit::Commit() {
  CommitText();
  if (wraps_) CommitStarts();
  return span_;
}

void TParaEdit::CommitText() {
  const std::int32_t tail = node_.length_ - at_ - oldCount_;
  const auto insertedLength = static_cast<std::int32_t>(inserted_.size());
  char* target = newText_ != nullptr ? newText_ : node_.text_;
  if (target == nullptr) return;  // an empty paragraph without a buffer stays so
  if (newText_ != nullptr) {
    if (at_ > 0) std::memcpy(target, node_.text_, static_cast<std::size_t>(at_));
    if (tail > 0)
      std::memcpy(target + newLength_ - tail, node_.text_ + at_ + oldCount_, static_cast<std::size_t>(tail));
  } else if (tail > 0) {
    std::memmove(target + newLength_ - tail, target + at_ + oldCount_, static_cast<std::size_t>(tail));
  }
  std::memset(target + at_, ' ', static_cast<std::size_t>(blanks_));
  if (insertedLength > 0) std::memcpy(target + at_ + blanks_, inserted_.data(), inserted_.size());
  target[newLength_] = '\0';
  if (newText_ != nullptr) {
    delete[] node_.text_;
    node_.text_ = newText_;
    node_.capacity_ = newCapacity_;
    newText_ = nullptr;
  }
  node_.length_ = static_cast<std::uint16_t>(newLength_);
}

void TParaEdit::CommitStarts() {
  const std::int32_t oldLines = node_.lineCount_;
  const auto middleCount = static_cast<std::int32_t>(middle_.size());
  const std::int32_t shifted = oldLines - resume_;
  const std::int32_t tailAt = keep_ + middleCount;
  const std::int32_t newLines = tailAt + shifted;
  if (newStarts_ != nullptr) {
    for (std::int32_t i = 0; i < keep_; ++i) newStarts_[i] = static_cast<std::uint16_t>(node_.LineStart(i));
    for (std::int32_t i = 0; i < shifted; ++i)
      newStarts_[tailAt + i] = static_cast<std::uint16_t>(node_.LineStart(resume_ + i));
    delete[] node_.starts_;
    node_.starts_ = newStarts_;
    node_.startsCapacity_ = newStartsCapacity_;
    newStarts_ = nullptr;
  } else if (node_.starts_ == nullptr) {
    return;  // still one line, which needs no table
  } else if (shifted > 0) {
    std::memmove(node_.starts_ + tailAt, node_.starts_ + resume_,
                 static_cast<std::size_t>(shifted) * sizeof *node_.starts_);
  }
  std::uint16_t* table = node_.starts_;
  for (std::int32_t i = tailAt; i < newLines; ++i) table[i] = static_cast<std::uint16_t>(table[i] + delta_);
  std::copy(middle_.begin(), middle_.end(), table + keep_);
  if (newLines < node_.startsCapacity_) table[newLines] = 0;
  node_.lineCount_ = static_cast<std::uint16_t>(newLines);
}
