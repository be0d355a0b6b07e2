#include "controls/editor/ParaList.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <optional>
#include <string>

#include "controls/editor/VirEditU.h"
#include "platform/Desktop.h"

namespace {

// Re-wrapping more text than this shows the hourglass.
constexpr std::int64_t kBusyCursorBytes = 10000;

// The number at which a lookup starts: the first element, the cached one or
// the last, whichever is nearest to the target.
enum class TStart { First, Cached, Last };

TStart NearestStart(std::int32_t target, std::int32_t cached, std::int32_t total) {
  std::int32_t d = std::abs(target - cached);
  std::int32_t s = target - 1;
  std::int32_t e = total - target;
  if (d >= s && e >= s) return TStart::First;
  return d < e ? TStart::Cached : TStart::Last;
}

// Texts that reach here are paragraph-sized or were checked against the limits.
std::int32_t ByteLength(std::string_view text) { return static_cast<std::int32_t>(text.size()); }

}  // namespace

bool AdjustPosition(const TTextAdjust& change, std::int32_t& para, std::int32_t& pos) {
  using Kind = TTextAdjust::Kind;
  const std::int32_t at = change.para;
  switch (change.kind) {
    case Kind::ParaInserted:
      if (para >= at) ++para;
      return true;
    case Kind::ParaDeleted:
      if (para == at) return false;
      if (para > at) --para;
      return true;
    case Kind::BytesInserted:
      if (para == at && pos >= change.pos) pos += change.count;
      return true;
    case Kind::BytesDeleted:
      if (para != at || pos < change.pos) return true;
      if (pos < change.pos + change.count) return false;
      pos -= change.count;
      return true;
    case Kind::BytesReplaced:
      if (para != at || pos < change.pos) return true;
      if (pos >= change.pos + change.count) {
        pos += change.extra - change.count;
      } else {
        pos = std::min(pos, change.pos + change.extra);
      }
      return true;
    case Kind::ParaSplit:
      if (para > at) {
        ++para;
      } else if (para == at && pos >= change.pos) {
        ++para;
        pos = pos - (change.pos - 1) + change.extra;
      } else if (para == at && pos >= change.pos - change.count) {
        return false;
      }
      return true;
    case Kind::ParasJoined:
      if (para == at + 1) {
        para = at;
        pos += change.pos - 1;
      } else if (para > at + 1) {
        --para;
      }
      return true;
  }
  return true;
}

// One change as the editors see it: nested changes add up their changed
// lines, and the outermost one reports them once.
class TParaList::TChange {
 public:
  TChange(TParaList& list, TParaListEditor* sender) : list_(list), sender_(sender) {
    if (list_.changeDepth_++ == 0) list_.pendingFirst_ = 0;
  }
  ~TChange() {
    if (--list_.changeDepth_ > 0 || list_.pendingFirst_ == 0) return;
    list_.changedFirst_ = list_.pendingFirst_;
    list_.changedLast_ = list_.pendingLast_;
    list_.ForEachEditor(
        [this](TParaListEditor* editor) { editor->TextChanged(sender_, list_.changedFirst_, list_.changedLast_); });
  }
  TChange(const TChange&) = delete;
  TChange& operator=(const TChange&) = delete;

 private:
  TParaList& list_;
  TParaListEditor* sender_;
};

// The records of a compound change form one undo group.
class TParaList::TGroup {
 public:
  explicit TGroup(TUndoBuffer& undo) : undo_(undo), wasOpen_(undo.BeginGroup()) {}
  ~TGroup() { undo_.EndGroup(wasOpen_); }
  TGroup(const TGroup&) = delete;
  TGroup& operator=(const TGroup&) = delete;

 private:
  TUndoBuffer& undo_;
  bool wasOpen_;
};

// Compound changes move the bookmarks themselves, in one step at their end.
class TParaList::TMarkersHeld {
 public:
  explicit TMarkersHeld(TParaList& list) : list_(list), was_(list.tracking_) { list_.tracking_ = false; }
  ~TMarkersHeld() { list_.tracking_ = was_; }
  TMarkersHeld(const TMarkersHeld&) = delete;
  TMarkersHeld& operator=(const TMarkersHeld&) = delete;

  void Release(const TTextAdjust& change) {
    list_.tracking_ = was_;
    list_.Track(change);
  }

 private:
  TParaList& list_;
  bool was_;
};

TParaList::TParaList(TParaListEditor* owner, bool wordWrap, std::uint16_t undoBufferSize)
    : owner_(owner), wordWrap_(wordWrap), undo_(std::make_unique<TUndoBuffer>(undoBufferSize)) {
  first_ = last_ = new TParaNode;
  first_->Rewrap(Layout());
  count_ = 1;
  lineCount_ = 1;
  cache_ = FirstCache();
}

TParaList::~TParaList() {
  undo_.reset();
  while (last_ != nullptr) {
    TParaNode* prev = last_->prev_;
    delete last_;
    last_ = prev;
  }
}

template <class Visit>
void TParaList::ForEachEditor(Visit visit) const {
  TParaListEditor* editor = owner_;
  while (editor != nullptr) {
    visit(editor);
    editor = editor->NextInRing();
    if (editor == owner_) break;
  }
}

TWrapLayout TParaList::Layout() const {
  bool wraps = wordWrap_ && wrapColumn_ > 0 && wrapColumn_ != TParaNode::kMaxLength;
  return TWrapLayout{wraps ? wrapColumn_ : 0, tabSize_};
}

// ---- Lookups -------------------------------------------------------------

TParaList::TCache TParaList::FirstCache() const { return TCache{first_, 1, 1, 0}; }

TParaList::TCache TParaList::LastCache() const { return TCache{last_, count_, lineCount_ + 1 - last_->LineCount(), 0}; }

TParaNode* TParaList::GetParagraph(std::int32_t n) const {
  if (n < 1 || n > count_) return nullptr;
  TCache& c = cache_;
  c.lineInPara = 0;
  if (n == c.para) return c.node;
  switch (NearestStart(n, c.para, count_)) {
    case TStart::First: c = FirstCache(); break;
    case TStart::Last: c = LastCache(); break;
    case TStart::Cached: break;
  }
  while (c.para < n) {
    c.firstLine += c.node->LineCount();
    c.node = c.node->next_;
    ++c.para;
  }
  while (c.para > n) {
    c.node = c.node->prev_;
    c.firstLine -= c.node->LineCount();
    --c.para;
  }
  return c.node;
}

TParaNode* TParaList::LocateLine(std::int32_t line) const {
  if (line < 1 || line > lineCount_) return nullptr;
  TCache& c = cache_;
  auto holds = [line](const TCache& at) { return line >= at.firstLine && line < at.firstLine + at.node->LineCount(); };
  if (!holds(c)) {
    switch (NearestStart(line, c.firstLine + c.lineInPara, lineCount_)) {
      case TStart::First: c = FirstCache(); break;
      case TStart::Last: c = LastCache(); break;
      case TStart::Cached: break;
    }
    while (line >= c.firstLine + c.node->LineCount()) {
      c.firstLine += c.node->LineCount();
      c.node = c.node->next_;
      ++c.para;
    }
    while (line < c.firstLine) {
      c.node = c.node->prev_;
      c.firstLine -= c.node->LineCount();
      --c.para;
    }
  }
  c.lineInPara = line - c.firstLine;
  return c.node;
}

std::int32_t TParaList::GetParagraphLength(std::int32_t n) const {
  TParaNode* node = GetParagraph(n);
  return node != nullptr ? node->Length() : 0;
}

const char* TParaList::GetLine(std::int32_t line, std::int32_t& length) const {
  TParaNode* node = LocateLine(line);
  if (node == nullptr) {
    length = 0;
    return "";
  }
  std::string_view text = node->LineText(cache_.lineInPara);
  length = ByteLength(text);
  return text.data();
}

std::int32_t TParaList::LineToPara(std::int32_t line, std::int32_t& offset) const {
  TParaNode* node = LocateLine(line);
  offset = node != nullptr ? node->LineStart(cache_.lineInPara) : 0;
  return node != nullptr ? cache_.para : 0;
}

std::int32_t TParaList::ParaToLine(std::int32_t para, std::int32_t pos, std::int32_t& column) const {
  TParaNode* node = GetParagraph(std::clamp(para, 1, count_));
  pos = std::max(pos, 1);
  std::int32_t line = node->LineOfOffset(pos - 1);
  cache_.lineInPara = line;
  column = pos - node->LineStart(line);
  return cache_.firstLine + line;
}

std::int32_t TParaList::LineDisplayLength(std::int32_t line) const {
  std::int32_t length = 0;
  const char* text = GetLine(line, length);
  return ExpandedWidth({text, static_cast<std::size_t>(length)}, tabSize_);
}

std::int32_t TParaList::PositionToColumn(const char* text, std::int32_t length, std::int32_t pos) const {
  return ::PositionToColumn({text, static_cast<std::size_t>(std::max(length, 0))}, pos, tabSize_);
}

std::int32_t TParaList::ColumnToPosition(const char* text, std::int32_t length, std::int32_t column) const {
  return ::ColumnToPosition({text, static_cast<std::size_t>(std::max(length, 0))}, column, tabSize_);
}

// ---- Bookkeeping ---------------------------------------------------------

// A change that adds `addedParas` paragraphs (0 or 1) and `addedBytes` bytes,
// to paragraph `para` or, for a new paragraph, at `para`. A new paragraph's
// own length is held to the paragraph length limit like any other.
std::uint16_t TParaList::CheckLimits(std::int32_t addedParas, std::int64_t addedBytes, std::int32_t para) const {
  if (replay_) return eeNone;
  if (addedParas > 0 || para > paraLimit_) {
    std::int64_t allowed = paraLimit_;
    if (para <= paraLimit_ && last_->Length() == 0 && paraLimit_ != MaxLongInt) ++allowed;
    if (allowed < std::int64_t{addedParas} + count_) return eeTooManyParagraphs;
  }
  if (byteCount_ + addedBytes > byteLimit_) return eeTextTooLarge;
  std::int64_t length = addedParas > 0 ? addedBytes - 2 : GetParagraphLength(para) + addedBytes;
  if ((addedParas > 0 || para > 0) && length > paraLengthLimit_) return eeParagraphTooLong;
  return eeNone;
}

// Every change runs inside a TChange, which reports the lines noted here.
void TParaList::NoteChangedLines(std::int32_t first, std::int32_t last) {
  if (pendingFirst_ == 0) {
    pendingFirst_ = first;
    pendingLast_ = last;
  } else {
    pendingFirst_ = std::min(pendingFirst_, first);
    pendingLast_ = std::max(pendingLast_, last);
  }
}

void TParaList::CommitEdit(TParaEdit& edit, TParaNode* node, std::int32_t para) {
  GetParagraph(para);
  const std::int32_t firstLine = cache_.firstLine;
  const std::int32_t oldLines = node->LineCount();
  const std::int32_t oldLength = node->Length();
  TLineSpan span = edit.Commit();
  modified_ = true;
  byteCount_ += node->Length() - oldLength;
  lineCount_ += node->LineCount() - oldLines;
  cache_ = TCache{node, para, firstLine, 0};
  NoteChangedLines(firstLine + span.first, span.countChanged ? MaxLongInt : firstLine + span.last);
}

void TParaList::Link(TParaNode* node, std::int32_t at) {
  TParaNode* next = GetParagraph(at);  // null: the node goes last
  const std::int32_t firstLine = next != nullptr ? cache_.firstLine : lineCount_ + 1;
  TParaNode* prev = next != nullptr ? next->prev_ : last_;
  node->prev_ = prev;
  node->next_ = next;
  (prev != nullptr ? prev->next_ : first_) = node;
  (next != nullptr ? next->prev_ : last_) = node;
  ++count_;
  byteCount_ += node->Length() + 2;
  lineCount_ += node->LineCount();
  modified_ = true;
  cache_ = TCache{node, at, firstLine, 0};
  NoteChangedLines(firstLine, MaxLongInt);
}

TParaNode* TParaList::Unlink(std::int32_t at) {
  TParaNode* node = GetParagraph(at);
  const std::int32_t firstLine = cache_.firstLine;
  TParaNode* prev = node->prev_;
  TParaNode* next = node->next_;
  (prev != nullptr ? prev->next_ : first_) = next;
  (next != nullptr ? next->prev_ : last_) = prev;
  node->next_ = node->prev_ = nullptr;
  --count_;
  byteCount_ -= node->Length() + 2;
  lineCount_ -= node->LineCount();
  modified_ = true;
  cache_ = next != nullptr ? TCache{next, at, firstLine, 0} : TCache{prev, at - 1, firstLine - prev->LineCount(), 0};
  NoteChangedLines(std::max(1, std::min(firstLine, lineCount_)), MaxLongInt);
  return node;
}

void TParaList::Attach(TParaNode* node, std::int32_t at) {
  Link(node, at);
  Track({TTextAdjust::Kind::ParaInserted, at});
}

// Takes a paragraph out of the text; a record or the caller owns it then.
TParaNode* TParaList::Detach(std::int32_t at) {
  TParaNode* node = Unlink(at);
  Track({TTextAdjust::Kind::ParaDeleted, at});
  return node;
}

void TParaList::RecordCaret(std::int32_t para, std::int32_t pos) {
  if (!replay_) undo_->Add(uaCaret, modified_, {}, pos, para);
}

void TParaList::Track(const TTextAdjust& change) {
  if (!tracking_) return;
  for (TMarker& marker : markers_) {
    if (marker.IsSet() && !AdjustPosition(change, marker.para, marker.pos)) marker = TMarker{};
  }
  ForEachEditor([&change](TParaListEditor* editor) { editor->PositionsMoved(change); });
}

// ---- Changes of bytes ----------------------------------------------------

std::uint16_t TParaList::InsertText(TParaListEditor* editor, std::int32_t para, std::int32_t pos,
                                    std::string_view text) {
  TParaNode* node = GetParagraph(para);
  if (node == nullptr) return eeNone;
  pos = std::max(pos, 1);
  const std::int64_t blanks = std::max(0, pos - 1 - node->Length());
  if (std::uint16_t code = CheckLimits(0, blanks + static_cast<std::int64_t>(text.size()), para)) return code;
  return InsertBytes(editor, node, para, pos, text);
}

// Inserts at `pos`, padding the paragraph with blanks up to it; the caller
// has checked the limits.
std::uint16_t TParaList::InsertBytes(TParaListEditor* editor, TParaNode* node, std::int32_t para, std::int32_t pos,
                                     std::string_view text) {
  const std::int32_t length = node->Length();
  const std::int32_t blanks = std::max(0, pos - 1 - length);
  const std::int32_t added = blanks + ByteLength(text);
  if (added == 0) return eeNone;

  TChange change(*this, editor);
  const std::int32_t at = std::min(pos - 1, length);
  TParaEdit edit(*node, at, 0, blanks, text);
  if (!edit.Prepare(Layout())) return eeOutOfMemory;
  if (!replay_) undo_->Add(uaInsertText, modified_, text, at + 1, para, blanks);
  CommitEdit(edit, node, para);
  Track({TTextAdjust::Kind::BytesInserted, para, at + 1, added});
  return eeNone;
}

std::uint16_t TParaList::DeleteText(TParaListEditor* editor, std::int32_t para, std::int32_t pos, std::int32_t count) {
  TParaNode* node = GetParagraph(para);
  if (node == nullptr || count <= 0) return eeNone;
  pos = std::max(pos, 1);
  const std::int32_t length = node->Length();
  if (pos > length) return eeNone;
  count = std::min(count, length - pos + 1);

  TChange change(*this, editor);
  TParaEdit edit(*node, pos - 1, count, 0, {});
  if (!edit.Prepare(Layout())) return eeOutOfMemory;
  if (!replay_)
    undo_->Add(uaDeleteText, modified_,
               node->Text().substr(static_cast<std::size_t>(pos - 1), static_cast<std::size_t>(count)), pos, para);
  CommitEdit(edit, node, para);
  Track({TTextAdjust::Kind::BytesDeleted, para, pos, count});
  return eeNone;
}

std::uint16_t TParaList::ReplaceText(TParaListEditor* editor, std::int32_t para, std::int32_t pos,
                                     std::int32_t oldCount, std::string_view newText) {
  TParaNode* node = GetParagraph(para);
  if (node == nullptr) return eeNone;
  pos = std::max(pos, 1);
  const std::int32_t length = node->Length();
  oldCount = std::clamp(oldCount, 0, std::max(0, length - pos + 1));
  if (oldCount == 0) return InsertText(editor, para, pos, newText);
  const std::int64_t added = static_cast<std::int64_t>(newText.size()) - oldCount;
  if (std::uint16_t code = CheckLimits(0, added, para)) return code;

  TChange change(*this, editor);
  TParaEdit edit(*node, pos - 1, oldCount, 0, newText);
  if (!edit.Prepare(Layout())) return eeOutOfMemory;
  std::string_view oldText = node->Text().substr(static_cast<std::size_t>(pos - 1), static_cast<std::size_t>(oldCount));
  if (!replay_) undo_->AddReplace(modified_, para, newText, oldText, pos);
  CommitEdit(edit, node, para);
  Track({TTextAdjust::Kind::BytesReplaced, para, pos, oldCount, ByteLength(newText)});
  return eeNone;
}

// ---- Changes of paragraphs -----------------------------------------------

std::uint16_t TParaList::InsertParagraph(TParaListEditor* editor, std::int32_t para, std::string_view text) {
  if (para < 1 || para > count_ + 1) return eeNone;
  if (std::uint16_t code = CheckLimits(1, static_cast<std::int64_t>(text.size()) + 2, para)) return code;
  TParaNode* node = NewParagraph(text);
  if (node == nullptr) return eeOutOfMemory;
  TChange change(*this, editor);
  AddParagraph(node, para, uaParaBefore, para);
  return eeNone;
}

std::uint16_t TParaList::InsertParagraphAfter(TParaListEditor* editor, std::int32_t para, std::string_view text) {
  if (para < 1 || para > count_) return eeNone;
  if (std::uint16_t code = CheckLimits(1, static_cast<std::int64_t>(text.size()) + 2, para)) return code;
  TParaNode* node = NewParagraph(text);
  if (node == nullptr) return eeOutOfMemory;
  TChange change(*this, editor);
  AddParagraph(node, para + 1, uaParaAfter, para);
  return eeNone;
}

// A paragraph holding `text`, laid out for the present settings; null when
// memory runs out.
TParaNode* TParaList::NewParagraph(std::string_view text) const {
  auto* node = new (std::nothrow) TParaNode;
  if (node != nullptr && !node->Assign(text, Layout())) {
    delete node;
    return nullptr;
  }
  return node;
}

void TParaList::AddParagraph(TParaNode* node, std::int32_t at, TUndoAction action, std::int32_t recordPara) {
  if (!replay_) undo_->AddParagraph(action, modified_, node, 1, recordPara);
  Attach(node, at);
}

std::uint16_t TParaList::DeleteParagraph(TParaListEditor* editor, std::int32_t para) {
  if (para < 1 || para > count_ || count_ == 1) return eeNone;
  TChange change(*this, editor);
  TParaNode* node = GetParagraph(para);
  bool kept = replay_ || undo_->AddParagraph(uaParaDeleted, modified_, node, 1, para);
  Detach(para);
  if (!kept) delete node;
  return eeNone;
}

std::uint16_t TParaList::SplitParagraph(TParaListEditor* editor, std::int32_t para, bool trimBlanks,
                                        std::int32_t& indent, int tabSize, std::int32_t pos) {
  TParaNode* node = GetParagraph(para);
  if (node == nullptr) return eeNone;
  const std::int32_t length = node->Length();
  pos = std::clamp(pos, 1, length + 1);
  if (pos == 1) return InsertParagraph(editor, para, {});
  std::string_view tail = node->Text().substr(static_cast<std::size_t>(pos - 1));
  if (std::uint16_t code = CheckLimits(1, static_cast<std::int64_t>(tail.size()) + 2, para)) return code;

  TParaNode* added = NewParagraph(tail);
  if (added == nullptr) return eeOutOfMemory;

  TChange change(*this, editor);
  TGroup group(*undo_);
  TMarkersHeld markers(*this);
  RecordCaret(para, pos);
  AddParagraph(added, para + 1, uaParaAfter, para);

  std::int32_t cut = pos;
  const std::string_view text = node->Text();
  while (trimBlanks && cut > 1 && IsBlankChar(text[static_cast<std::size_t>(cut - 2)])) --cut;
  if (cut <= length) DeleteText(editor, para, cut, length - cut + 1);

  // An indentation longer than a paragraph may be could never be inserted.
  if (indent < 0 || indent > paraLengthLimit_) indent = 0;
  if (indent != 0) {
    std::string indentation;
    if (tabSize > 0) {
      indentation.assign(static_cast<std::size_t>(indent / tabSize), '\t');
      indentation.append(static_cast<std::size_t>(indent % tabSize), ' ');
    } else {
      indentation.assign(static_cast<std::size_t>(indent), ' ');
    }
    indent = InsertText(editor, para + 1, 1, indentation) == eeNone ? ByteLength(indentation) : 0;
  }
  RecordCaret(para + 1, indent + 1);
  markers.Release({TTextAdjust::Kind::ParaSplit, para, pos, pos - cut, indent});
  return eeNone;
}

std::uint16_t TParaList::JoinParagraphs(TParaListEditor* editor, std::int32_t para, std::int32_t pos) {
  TParaNode* node = GetParagraph(para);
  TParaNode* next = GetParagraph(para + 1);
  if (node == nullptr || next == nullptr) return eeNone;
  pos = std::max(pos, 1);
  if (pos == 1 && node->Length() == 0) return DeleteParagraph(editor, para);

  // Joining removes a line break, so only the padding can add to the text.
  const std::int64_t blanks = std::max(0, pos - 1 - node->Length());
  if (!replay_ &&
      (node->Length() + blanks + next->Length() > paraLengthLimit_ || byteCount_ + blanks - 2 > byteLimit_)) {
    return eeCannotJoin;
  }
  TChange change(*this, editor);
  TGroup group(*undo_);
  TMarkersHeld markers(*this);
  const std::string_view moved = next->Text();
  if (std::uint16_t code = InsertBytes(editor, node, para, pos, moved)) return code;
  DeleteParagraph(editor, para + 1);
  RecordCaret(para, pos);
  markers.Release({TTextAdjust::Kind::ParasJoined, para, pos});
  return eeNone;
}

std::uint16_t TParaList::DeleteRange(TParaListEditor* editor, std::int32_t para1, std::int32_t pos1, std::int32_t para2,
                                     std::int32_t pos2) {
  pos1 = std::max(pos1, 1);
  pos2 = std::max(pos2, 1);
  if (para1 == para2) return DeleteText(editor, para1, pos1, pos2 - pos1);
  if (para1 < 1 || para1 > para2 || para2 > count_) return eeNone;

  TChange change(*this, editor);
  TGroup group(*undo_);
  if (pos1 == 1 && pos2 == 1) {
    for (std::int32_t i = para1; i < para2; ++i) DeleteParagraph(editor, para1);
    return eeNone;
  }
  // The two ends become one paragraph; refuse before anything goes when it would be too long.
  const std::int32_t kept1 = std::min(pos1 - 1, GetParagraphLength(para1));
  const std::int32_t length2 = GetParagraphLength(para2);
  if (!replay_ && kept1 + length2 - std::min(pos2 - 1, length2) > paraLengthLimit_) return eeCannotJoin;

  DeleteText(editor, para1, pos1, GetParagraphLength(para1) - pos1 + 1);
  DeleteText(editor, para2, 1, pos2 - 1);
  for (std::int32_t i = para1 + 1; i < para2; ++i) DeleteParagraph(editor, para1 + 1);
  return JoinParagraphs(editor, para1, GetParagraphLength(para1) + 1);
}

std::uint16_t TParaList::InsertBlock(TParaListEditor* editor, std::int32_t& para, std::string_view text,
                                     std::int32_t& pos) {
  if (GetParagraph(para) == nullptr || text.empty()) return eeNone;
  pos = std::max(pos, 1);
  TChange change(*this, editor);
  std::optional<TGroup> group;
  std::size_t breakAt = text.find_first_of("\r\n");
  if (breakAt != std::string_view::npos) {
    // Lines from the one before the start on may move.
    group.emplace(*undo_);
    std::int32_t column = 0;
    NoteChangedLines(std::max(1, ParaToLine(para, pos, column) - 1), MaxLongInt);
  }
  std::size_t from = 0;
  while (breakAt != std::string_view::npos) {
    std::string_view piece = text.substr(from, breakAt - from);
    std::uint16_t code;
    if (pos == 1) {
      code = InsertParagraph(editor, para, piece);
    } else {
      code = InsertText(editor, para, pos, piece);
      std::int32_t noIndent = 0;
      if (code == eeNone) code = SplitParagraph(editor, para, true, noIndent, tabSize_, pos + ByteLength(piece));
    }
    if (code != eeNone) return code;
    ++para;
    pos = 1;
    // CR LF, LF and a lone CR each end one line.
    from = breakAt + (text.compare(breakAt, 2, "\r\n") == 0 ? 2 : 1);
    breakAt = text.find_first_of("\r\n", from);
  }
  std::string_view rest = text.substr(from);
  if (rest.empty()) return eeNone;
  std::uint16_t code = InsertText(editor, para, pos, rest);
  if (code == eeNone) pos += ByteLength(rest);
  return code;
}

// ---- Settings and bookmarks ----------------------------------------------

void TParaList::SetParaLengthLimit(std::int32_t limit) {
  if (limit >= 1 && limit <= TParaNode::kMaxLength) paraLengthLimit_ = limit;
}

void TParaList::SetWordWrap(bool on) {
  if (on == wordWrap_) return;
  wordWrap_ = on;
  RewrapAll();
}

void TParaList::SetWrapColumn(std::int32_t column) {
  if (column == wrapColumn_) return;
  wrapColumn_ = column;
  if (wordWrap_) RewrapAll();
}

void TParaList::SetTabSize(int size) {
  if (size < 1 || size > 255 || size == tabSize_) return;
  tabSize_ = size;
  if (wordWrap_) RewrapAll();
}

void TParaList::RewrapAll() {
  const bool busy = byteCount_ > kBusyCursorBytes;
  if (busy) plat::SetScreenCursor(plat::CursorShape::HourGlass);
  const TWrapLayout layout = Layout();
  lineCount_ = 0;
  for (TParaNode* node = first_; node != nullptr; node = node->next_) {
    node->Rewrap(layout);
    lineCount_ += node->LineCount();
  }
  cache_ = FirstCache();
  if (busy) plat::SetScreenCursor(plat::CursorShape::Default);
  ForEachEditor([](TParaListEditor* editor) { editor->LayoutChanged(); });
}

void TParaList::SetUndoBufferSize(std::uint16_t size) { undo_ = std::make_unique<TUndoBuffer>(size); }

void TParaList::SetMarker(int index, std::int32_t para, std::int32_t pos) {
  if (index >= 0 && index < kMarkerCount) markers_[static_cast<std::size_t>(index)] = TMarker{para, pos};
}

void TParaList::SetMarkerAtLine(int index, std::int32_t line, std::int32_t column) {
  std::int32_t length = 0;
  const char* text = GetLine(line, length);
  std::int32_t offset = 0;
  std::int32_t para = LineToPara(line, offset);
  if (para != 0) SetMarker(index, para, offset + ColumnToPosition(text, length, column));
}

TMarker TParaList::Marker(int index) const {
  return index >= 0 && index < kMarkerCount ? markers_[static_cast<std::size_t>(index)] : TMarker{};
}

// ---- Undo and redo -------------------------------------------------------

bool TParaList::Undo(TParaListEditor* editor, std::int32_t& para, std::int32_t& pos) {
  const int group = undo_->PeekUndoGroup();
  if (group < 0) return false;
  TChange change(*this, editor);
  replay_ = true;
  bool modifiedBefore = modified_;
  TUndoEntry entry;
  while (undo_->PeekUndoGroup() == group && undo_->PopUndo(entry)) {
    para = entry.para;
    pos = entry.pos;
    modifiedBefore = entry.modified;
    ReplayUndo(editor, entry);
  }
  replay_ = false;
  modified_ = modifiedBefore;
  return true;
}

bool TParaList::Redo(TParaListEditor* editor, std::int32_t& para, std::int32_t& pos) {
  const int group = undo_->PeekRedoGroup();
  if (group < 0) return false;
  TChange change(*this, editor);
  replay_ = true;
  TUndoEntry entry;
  while (undo_->PeekRedoGroup() == group && undo_->PopRedo(entry, modified_)) {
    para = entry.para;
    pos = entry.pos;
    ReplayRedo(editor, entry, para, pos);
  }
  replay_ = false;
  return true;
}

void TParaList::ReplayUndo(TParaListEditor* editor, const TUndoEntry& entry) {
  switch (entry.action) {
    case uaCaret: break;
    case uaInsertText: DeleteText(editor, entry.para, entry.pos, ByteLength(entry.text)); break;
    case uaParaBefore: Detach(entry.para); break;
    case uaParaAfter: Detach(entry.para + 1); break;
    case uaDeleteText: InsertText(editor, entry.para, entry.pos, entry.text); break;
    case uaParaDeleted: Relink(entry.paragraph, entry.para); break;
    case uaReplaceText: ReplaceText(editor, entry.para, entry.pos, ByteLength(entry.newText), entry.oldText); break;
  }
}

void TParaList::ReplayRedo(TParaListEditor* editor, const TUndoEntry& entry, std::int32_t& para, std::int32_t& pos) {
  switch (entry.action) {
    case uaCaret: break;
    case uaInsertText:
      InsertText(editor, entry.para, entry.pos, entry.text);
      pos += ByteLength(entry.text);
      break;
    case uaParaBefore:
      Relink(entry.paragraph, entry.para);
      para = entry.para + 1;
      pos = 1;
      break;
    case uaParaAfter:
      Relink(entry.paragraph, entry.para + 1);
      para = entry.para + 1;
      pos = 1;
      break;
    case uaDeleteText: DeleteText(editor, entry.para, entry.pos, ByteLength(entry.text)); break;
    case uaParaDeleted: Detach(entry.para); break;
    case uaReplaceText:
      ReplaceText(editor, entry.para, entry.pos, ByteLength(entry.oldText), entry.newText);
      pos += ByteLength(entry.newText);
      break;
  }
}

// Puts back a paragraph that a record held, laid out for the present settings.
void TParaList::Relink(TParaNode* node, std::int32_t at) {
  node->Rewrap(Layout());
  Attach(node, at);
}
