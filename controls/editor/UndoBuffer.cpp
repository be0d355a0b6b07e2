#include "controls/editor/UndoBuffer.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "controls/editor/ParaNode.h"

namespace {

std::string_view TextAt(const std::uint8_t* p, std::int32_t length) {
  return {reinterpret_cast<const char*>(p), static_cast<std::size_t>(length)};
}

void WriteBytes(std::uint8_t* to, std::string_view text) {
  if (!text.empty()) std::memcpy(to, text.data(), text.size());
}

}  // namespace

TParaNode* TUndoNode::Paragraph() const {
  TParaNode* paragraph = nullptr;
  std::memcpy(&paragraph, TextPart(), sizeof paragraph);
  return paragraph;
}

void TUndoNode::SetParagraph(TParaNode* paragraph) { std::memcpy(TextPart(), &paragraph, sizeof paragraph); }

TUndoEntry TUndoNode::Read() const {
  TUndoEntry entry;
  entry.action = Action();
  entry.group = Group();
  entry.para = Para();
  entry.pos = Pos();
  entry.modified = Modified();
  switch (entry.action) {
    case uaInsertText:
    case uaDeleteText: entry.text = TextAt(TextPart(), Length()); break;
    case uaReplaceText:
      entry.oldText = TextAt(TextPart(), OldLength());
      entry.newText = TextAt(TextPart() + OldLength() + 1, Length() - OldLength() - 2);
      break;
    case uaParaBefore:
    case uaParaAfter:
    case uaParaDeleted: entry.paragraph = Paragraph(); break;
    case uaCaret: break;
  }
  return entry;
}

// The text part of a new record: blanks and text, old and new text of a
// replacement, or a paragraph reference.
struct TUndoBuffer::TRecordText {
  std::int32_t blanks = 0;
  std::string_view text;
  std::string_view newText;  // a replacement's new text; `text` is then the old one
  bool replace = false;
  TParaNode* paragraph = nullptr;

  std::int32_t Size() const {
    if (paragraph != nullptr) return static_cast<std::int32_t>(sizeof paragraph);
    auto size = blanks + static_cast<std::int32_t>(text.size());
    return replace ? size + static_cast<std::int32_t>(newText.size()) + 2 : size;
  }
};

TUndoBuffer::TUndoBuffer(std::uint16_t size) {
  std::int32_t asked = size;
  while (asked > 0) {
    block_.reset(new (std::nothrow) std::uint8_t[static_cast<std::size_t>(asked)]);
    if (block_ != nullptr) break;
    asked = asked > 16 ? asked - asked / 2 : 0;
  }
  size_ = block_ != nullptr ? asked : 0;
  free_ = size_;
}

TUndoBuffer::~TUndoBuffer() { Clear(); }

bool TUndoBuffer::BeginGroup() {
  bool wasOpen = groupOpen_;
  if (!wasOpen) {
    ++groupCounter_;
    groupOpen_ = true;
  }
  return wasOpen;
}

void TUndoBuffer::EndGroup(bool wasOpen) {
  if (wasOpen) return;
  groupOpen_ = false;
  overflow_ = false;
}

bool TUndoBuffer::Add(TUndoAction action, bool modified, std::string_view text, std::int32_t pos, std::int32_t para,
                      std::int32_t leadingBlanks) {
  TRecordText part;
  part.blanks = leadingBlanks;
  part.text = text;
  const std::int32_t n = part.Size();
  if (!groupOpen_ && undoCount_ > 0 && (action == uaInsertText || action == uaDeleteText)) {
    TUndoNode current = At(current_);
    bool sameRun = current.Action() == action && current.Para() == para;
    bool typingOn = sameRun && action == uaInsertText && current.Pos() + current.Length() == pos;
    bool deletingOn = sameRun && action == uaDeleteText && current.Pos() == pos;
    bool backspacing = sameRun && action == uaDeleteText && current.Pos() == pos + n;
    if ((typingOn || deletingOn || backspacing) && MergeRoom(n)) {
      current = At(current_);
      std::uint8_t* textPart = current.TextPart();
      std::int32_t length = current.Length();
      std::uint8_t* at = textPart + length;
      if (backspacing) {
        std::memmove(textPart + n, textPart, static_cast<std::size_t>(length));
        at = textPart;
        current.SetPos(pos);
      }
      std::memset(at, ' ', static_cast<std::size_t>(leadingBlanks));
      WriteBytes(at + leadingBlanks, text);
      current.SetLength(length + n);
      current.SetOldLength(0);
      free_ -= n;
      return true;
    }
  }
  return Store(action, modified, pos, para, part);
}

bool TUndoBuffer::AddParagraph(TUndoAction action, bool modified, TParaNode* paragraph, std::int32_t pos,
                               std::int32_t para) {
  TRecordText part;
  part.paragraph = paragraph;
  return Store(action, modified, pos, para, part);
}

// Overwriting merges while the new text runs on from the end of the record's
// new text, which is where the next replacement starts in the present text.
bool TUndoBuffer::AddReplace(bool modified, std::int32_t para, std::string_view newText, std::string_view oldText,
                             std::int32_t pos) {
  TRecordText part;
  part.text = oldText;
  part.newText = newText;
  part.replace = true;
  if (!groupOpen_ && undoCount_ > 0) {
    TUndoNode current = At(current_);
    std::int32_t oldLength = current.Action() == uaReplaceText ? current.OldLength() : 0;
    std::int32_t newLength = current.Length() - oldLength - 2;
    bool runsOn = current.Action() == uaReplaceText && current.Para() == para && current.Pos() + newLength == pos;
    auto added = static_cast<std::int32_t>(oldText.size() + newText.size());
    if (runsOn && MergeRoom(added)) {
      current = At(current_);
      std::uint8_t* textPart = current.TextPart();
      std::uint8_t* newPart = textPart + oldLength + 1;
      std::int32_t moved = static_cast<std::int32_t>(oldText.size());
      std::memmove(newPart + moved, newPart, static_cast<std::size_t>(newLength));
      WriteBytes(textPart + oldLength, oldText);
      textPart[oldLength + moved] = 0;
      WriteBytes(newPart + moved + newLength, newText);
      std::int32_t length = current.Length() + added;
      textPart[length - 1] = 0;
      current.SetLength(length);
      current.SetOldLength(oldLength + moved);
      free_ -= added;
      return true;
    }
  }
  return Store(uaReplaceText, modified, pos, para, part);
}

// Room for a merge of `bytes` into the current record; false when the current
// record did not survive the making of room.
bool TUndoBuffer::MergeRoom(std::int32_t bytes) {
  DiscardRedo();
  return MakeRoom(bytes) && undoCount_ > 0;
}

bool TUndoBuffer::Store(TUndoAction action, bool modified, std::int32_t pos, std::int32_t para,
                        const TRecordText& part) {
  if (!groupOpen_) ++groupCounter_;
  DiscardRedo();
  const std::int32_t n = part.Size();
  if (!MakeRoom(n + TUndoNode::kOverhead)) return false;

  const std::int32_t offset = NextOffset();
  TUndoNode record = At(offset);
  record.SetBackLink(undoCount_ > 0 ? At(current_).Size() : 0);
  record.SetAction(action, modified);
  record.SetGroup(groupCounter_);
  record.SetPara(para);
  record.SetPos(pos);
  record.SetLength(n);
  std::uint8_t* textPart = record.TextPart();
  if (part.paragraph != nullptr) {
    record.SetParagraph(part.paragraph);
  } else {
    std::memset(textPart, ' ', static_cast<std::size_t>(part.blanks));
    WriteBytes(textPart + part.blanks, part.text);
  }
  record.SetOldLength(0);
  if (part.replace) {
    const auto oldLength = static_cast<std::int32_t>(part.text.size());
    textPart[oldLength] = 0;
    WriteBytes(textPart + oldLength + 1, part.newText);
    textPart[n - 1] = 0;
    record.SetOldLength(oldLength);
  }
  current_ = offset;
  ++undoCount_;
  redoCount_ = 0;
  free_ -= n + TUndoNode::kOverhead;
  return true;
}

bool TUndoBuffer::MakeRoom(std::int32_t bytes) {
  if (overflow_) return false;
  if (bytes > size_) {
    ClearAndMarkOverflow();
    return false;
  }
  if (free_ >= bytes) return true;
  DropOldestGroups(bytes);
  if (undoCount_ > 0) return true;
  ClearAndMarkOverflow();
  return !groupOpen_;
}

// Drops whole groups from the oldest end until a sixteenth of the block (at
// least `needed` bytes) is free, so that a full buffer is not reorganised for
// every keystroke. The group being recorded is kept while `needed` fits.
void TUndoBuffer::DropOldestGroups(std::int32_t needed) {
  DiscardRedo();
  const std::int32_t target = std::max(size_ / 16, needed);
  std::int32_t offset = 0;
  std::int32_t dropped = 0;
  while (dropped < undoCount_ && free_ < target) {
    const std::uint8_t group = At(offset).Group();
    if (groupOpen_ && group == groupCounter_ && free_ >= needed) break;
    do {
      const std::int32_t size = At(offset).Size();
      Release(offset, true);
      free_ += size;
      offset += size;
      ++dropped;
    } while (dropped < undoCount_ && At(offset).Group() == group);
  }
  if (dropped == 0) return;
  undoCount_ -= dropped;
  current_ = 0;
  if (undoCount_ == 0) return;
  std::memmove(block_.get(), block_.get() + offset, static_cast<std::size_t>(UsedBytes()));
  At(0).SetBackLink(0);
  for (std::int32_t i = 1; i < undoCount_; ++i) current_ += At(current_).Size();
}

std::int32_t TUndoBuffer::NextOffset() const { return undoCount_ == 0 ? 0 : current_ + At(current_).Size(); }

void TUndoBuffer::DiscardRedo() {
  std::int32_t offset = NextOffset();
  for (; redoCount_ > 0; --redoCount_) {
    const std::int32_t size = At(offset).Size();
    Release(offset, false);
    offset += size;
  }
}

// Frees the paragraph a record owns: a deletion still undoable, or an
// insertion that was undone.
void TUndoBuffer::Release(std::int32_t offset, bool undoable) {
  TUndoNode record = At(offset);
  TUndoAction action = record.Action();
  bool owns = undoable ? action == uaParaDeleted : action == uaParaBefore || action == uaParaAfter;
  if (owns) delete record.Paragraph();
}

bool TUndoBuffer::PopUndo(TUndoEntry& entry) {
  if (undoCount_ == 0) return false;
  TUndoNode record = At(current_);
  entry = record.Read();
  free_ += record.Size();
  --undoCount_;
  ++redoCount_;
  current_ = undoCount_ > 0 ? current_ - record.BackLink() : 0;
  return true;
}

bool TUndoBuffer::PopRedo(TUndoEntry& entry, bool modifiedNow) {
  if (redoCount_ == 0) return false;
  const std::int32_t offset = NextOffset();
  TUndoNode record = At(offset);
  record.SetModified(modifiedNow);
  entry = record.Read();
  current_ = offset;
  ++undoCount_;
  --redoCount_;
  free_ -= record.Size();
  return true;
}

int TUndoBuffer::PeekUndoGroup() const { return undoCount_ > 0 ? At(current_).Group() : -1; }

int TUndoBuffer::PeekRedoGroup() const { return redoCount_ > 0 ? At(NextOffset()).Group() : -1; }

void TUndoBuffer::Clear() {
  DiscardRedo();
  std::int32_t offset = 0;
  for (std::int32_t i = 0; i < undoCount_; ++i) {
    const std::int32_t size = At(offset).Size();
    Release(offset, true);
    offset += size;
  }
  undoCount_ = 0;
  current_ = 0;
  free_ = size_;
}

void TUndoBuffer::ClearAndMarkOverflow() {
  Clear();
  overflow_ = groupOpen_;
}
