#pragma once
// The editor's undo and redo history, kept as packed records in one fixed
// block. Records are grouped so that one command is undone as a whole; runs
// of typing and deleting merge into one record; when the block is full the
// oldest whole groups are dropped. A group is never kept in part.
//
// Record layout, little-endian, one after another from the block start:
//   u16 size of the previous record (0 for the first), u8 action (bit 7: the
//   text was modified before this change), u8 group, u32 paragraph,
//   u32 position, u16 length of the text part, the text part, 2 reserved bytes.
// A record takes its text length + 16 bytes.
//
// Records of paragraph insertions and deletions hold the paragraph object. A
// record owns its paragraph exactly while the paragraph is out of the text:
// a deletion that can be undone, or an insertion that can be redone. Records
// released for any reason free the paragraphs they own.

#include <cstdint>
#include <memory>
#include <string_view>

class TParaNode;

enum TUndoAction : std::uint8_t {
  uaCaret = 0,        // the caret position only
  uaInsertText = 1,   // the inserted bytes
  uaParaBefore = 2,   // a paragraph inserted before paragraph P
  uaParaAfter = 3,    // a paragraph inserted after paragraph P
  uaDeleteText = 4,   // the deleted bytes
  uaParaDeleted = 5,  // a deleted paragraph
  uaReplaceText = 6,  // old text, zero, new text, zero
};

// The fields of one record, as a replay reads them.
struct TUndoEntry {
  TUndoAction action = uaCaret;
  std::uint8_t group = 0;
  std::int32_t para = 0;
  std::int32_t pos = 0;
  bool modified = false;           // the text's Modified flag before the change
  std::string_view text;           // actions 1 and 4
  std::string_view oldText;        // action 6
  std::string_view newText;        // action 6
  TParaNode* paragraph = nullptr;  // actions 2, 3 and 5
};

// Reads and writes the fields of one record in place.
class TUndoNode {
 public:
  static constexpr std::int32_t kOverhead = 16;

  explicit TUndoNode(std::uint8_t* record) : p_(record) {}

  std::uint16_t BackLink() const { return Get16(0); }
  TUndoAction Action() const { return static_cast<TUndoAction>(p_[2] & 0x7F); }
  bool Modified() const { return (p_[2] & 0x80) != 0; }
  std::uint8_t Group() const { return p_[3]; }
  std::int32_t Para() const { return static_cast<std::int32_t>(Get32(4)); }
  std::int32_t Pos() const { return static_cast<std::int32_t>(Get32(8)); }
  std::uint16_t Length() const { return Get16(12); }
  std::uint8_t* TextPart() const { return p_ + 14; }
  std::int32_t Size() const { return Length() + kOverhead; }
  TParaNode* Paragraph() const;
  // A replace record keeps the length of its old text in the two bytes
  // after the text part, so that texts holding zero bytes read back whole.
  std::uint16_t OldLength() const { return Get16(14 + Length()); }

  void SetBackLink(std::int32_t size) { Put16(0, size); }
  void SetAction(TUndoAction action, bool modified) {
    p_[2] = static_cast<std::uint8_t>(action | (modified ? 0x80 : 0));
  }
  void SetModified(bool modified) { SetAction(Action(), modified); }
  void SetGroup(std::uint8_t group) { p_[3] = group; }
  void SetPara(std::int32_t para) { Put32(4, static_cast<std::uint32_t>(para)); }
  void SetPos(std::int32_t pos) { Put32(8, static_cast<std::uint32_t>(pos)); }
  void SetLength(std::int32_t length) { Put16(12, length); }
  void SetParagraph(TParaNode* paragraph);
  void SetOldLength(std::int32_t length) { Put16(14 + Length(), length); }

  // The record's fields; the texts point into the block.
  TUndoEntry Read() const;

 private:
  std::uint16_t Get16(int at) const { return static_cast<std::uint16_t>(p_[at] | p_[at + 1] << 8); }
  std::uint32_t Get32(int at) const {
    return static_cast<std::uint32_t>(Get16(at)) | static_cast<std::uint32_t>(Get16(at + 2)) << 16;
  }
  void Put16(int at, std::int32_t v) {
    p_[at] = static_cast<std::uint8_t>(v);
    p_[at + 1] = static_cast<std::uint8_t>(v >> 8);
  }
  void Put32(int at, std::uint32_t v) {
    Put16(at, static_cast<std::int32_t>(v & 0xFFFF));
    Put16(at + 2, static_cast<std::int32_t>(v >> 16));
  }

  std::uint8_t* p_;
};

class TUndoBuffer {
 public:
  // Allocates the block, halving the size while the allocation fails; at 16
  // bytes or less the buffer has no block and records nothing.
  explicit TUndoBuffer(std::uint16_t size);
  ~TUndoBuffer();
  TUndoBuffer(const TUndoBuffer&) = delete;
  TUndoBuffer& operator=(const TUndoBuffer&) = delete;

  // Groups nest; only the outermost takes a new group number, and ending it
  // clears the overflow state. BeginGroup returns whether a group was open.
  bool BeginGroup();
  void EndGroup(bool wasOpen);

  // Store one record or merge it into the current one. False when the
  // record was not kept (no room); the caller then frees a deleted paragraph.
  bool Add(TUndoAction action, bool modified, std::string_view text, std::int32_t pos, std::int32_t para,
           std::int32_t leadingBlanks = 0);
  bool AddParagraph(TUndoAction action, bool modified, TParaNode* paragraph, std::int32_t pos, std::int32_t para);
  bool AddReplace(bool modified, std::int32_t para, std::string_view newText, std::string_view oldText,
                  std::int32_t pos);

  // Step back or forward by one record. PopRedo stores the text's present
  // Modified flag in the record it steps over.
  bool PopUndo(TUndoEntry& entry);
  bool PopRedo(TUndoEntry& entry, bool modifiedNow);
  // The group of the record that would come next, or -1 when there is none.
  int PeekUndoGroup() const;
  int PeekRedoGroup() const;

  void Clear();

  std::int32_t Size() const { return size_; }
  std::int32_t FreeBytes() const { return free_; }
  std::int32_t UndoCount() const { return undoCount_; }
  std::int32_t RedoCount() const { return redoCount_; }
  bool GroupOpen() const { return groupOpen_; }
  bool Overflow() const { return overflow_; }

 private:
  TUndoNode At(std::int32_t offset) const { return TUndoNode(block_.get() + offset); }
  std::int32_t NextOffset() const;  // where the next record goes (the first redo record)
  std::int32_t UsedBytes() const { return size_ - free_; }

  struct TRecordText;
  bool MergeRoom(std::int32_t bytes);
  bool Store(TUndoAction action, bool modified, std::int32_t pos, std::int32_t para, const TRecordText& text);
  bool MakeRoom(std::int32_t bytes);
  void DropOldestGroups(std::int32_t needed);
  void DiscardRedo();
  void Release(std::int32_t offset, bool undoable);
  void ClearAndMarkOverflow();

  std::unique_ptr<std::uint8_t[]> block_;
  std::int32_t size_ = 0;
  std::int32_t free_ = 0;
  std::int32_t current_ = 0;  // offset of the newest undoable record
  std::int32_t undoCount_ = 0;
  std::int32_t redoCount_ = 0;
  std::uint8_t groupCounter_ = 0;
  bool groupOpen_ = false;
  bool overflow_ = false;
};
