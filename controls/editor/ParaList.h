#pragma once
// The text model of the multi-line editor: a doubly linked list of paragraphs,
// each broken into display lines when word wrap is on, with three size
// limits, ten bookmarks that follow the text, and an undo history that records
// every change. It knows no window: it works in paragraphs and byte positions,
// display lines and display columns (all counted from 1), and reports failures
// as error codes that the editor turns into messages.
//
// One list may be shared by several editors. They form a ring that starts at
// the list's owner; every change is reported to each of them.

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>

#include "controls/editor/ParaNode.h"
#include "controls/editor/UndoBuffer.h"

inline constexpr std::int32_t MaxLongInt = 2147483647;

// Failures of a change (0 = success); the text is left as it was.
enum TEditError : std::uint16_t {
  eeNone = 0,
  eeOutOfMemory = 263,
  eeRegionTooLarge = 264,
  eeTooManyParagraphs = 265,
  eeCannotJoin = 266,
  eeTextTooLarge = 267,
  eeParagraphTooLong = 268,
};

// One change of the text that moves positions after it. Bookmarks follow it,
// and the attached editors move their caret and selection by it.
struct TTextAdjust {
  enum class Kind {
    ParaInserted,   // a paragraph inserted as number `para`
    ParaDeleted,    // paragraph `para` removed
    BytesInserted,  // `count` bytes inserted at `pos` of `para`
    BytesDeleted,   // `count` bytes deleted at `pos` of `para`
    BytesReplaced,  // `count` bytes at `pos` of `para` replaced by `extra` bytes
    ParaSplit,      // `para` split at `pos`; `count` blanks before it trimmed, `extra` bytes of indentation
    ParasJoined,    // paragraph `para` + 1 appended to `para` at `pos`
  };
  Kind kind;
  std::int32_t para = 0;
  std::int32_t pos = 0;
  std::int32_t count = 0;
  std::int32_t extra = 0;
};

// Moves the position (para, pos) by the change. False when the text at the
// position went away; a bookmark there becomes unset.
bool AdjustPosition(const TTextAdjust& change, std::int32_t& para, std::int32_t& pos);

// What the list needs of an editor that shows it.
class TParaListEditor {
 public:
  // The next editor of the ring; the ring ends at the owner again or at null.
  virtual TParaListEditor* NextInRing() const = 0;
  // A change (made through `sender`) touched display lines first..last;
  // last is MaxLongInt when every line from `first` on may have moved.
  virtual void TextChanged(TParaListEditor* sender, std::int32_t firstLine, std::int32_t lastLine) = 0;
  // Positions moved; the editor moves its caret and selection with them.
  virtual void PositionsMoved(const TTextAdjust& change) = 0;
  // The whole text was wrapped again; the editor recomputes its layout.
  virtual void LayoutChanged() = 0;

 protected:
  ~TParaListEditor() = default;
};

struct TMarker {
  std::int32_t para = 0;  // 0: unset
  std::int32_t pos = 0;

  bool IsSet() const { return para != 0; }
  bool operator==(const TMarker&) const = default;
};

class TParaList {
 public:
  static constexpr int kMarkerCount = 10;

  // A list holding one empty paragraph, with an undo buffer of the given size.
  TParaList(TParaListEditor* owner, bool wordWrap, std::uint16_t undoBufferSize);
  ~TParaList();
  TParaList(const TParaList&) = delete;
  TParaList& operator=(const TParaList&) = delete;

  TParaListEditor* Owner() const { return owner_; }
  void SetOwner(TParaListEditor* owner) { owner_ = owner; }

  // Reading. Outside the text these give nothing, an empty text or 0.
  TParaNode* GetParagraph(std::int32_t n) const;
  std::int32_t GetParagraphLength(std::int32_t n) const;
  // The text of a display line (a pointer into its paragraph) and its length.
  const char* GetLine(std::int32_t line, std::int32_t& length) const;
  // The paragraph of a display line and the byte offset of its start there.
  std::int32_t LineToPara(std::int32_t line, std::int32_t& offset) const;
  // The display line holding a position, and the byte position within that
  // line; the paragraph number is clamped to the text.
  std::int32_t ParaToLine(std::int32_t para, std::int32_t pos, std::int32_t& column) const;
  std::int32_t LineDisplayLength(std::int32_t line) const;
  std::int32_t PositionToColumn(const char* text, std::int32_t length, std::int32_t pos) const;
  std::int32_t ColumnToPosition(const char* text, std::int32_t length, std::int32_t column) const;

  std::int32_t ParagraphCount() const { return count_; }
  std::int32_t LineCount() const { return lineCount_; }
  // Every paragraph's bytes and a line break (2 bytes) between paragraphs.
  std::int64_t ByteCount() const { return byteCount_; }
  // The display lines the latest change touched.
  std::int32_t ChangedFirstLine() const { return changedFirst_; }
  std::int32_t ChangedLastLine() const { return changedLast_; }
  bool Modified() const { return modified_; }
  void SetModified(bool modified) { modified_ = modified; }

  std::int32_t ParaLimit() const { return paraLimit_; }
  std::int64_t ByteLimit() const { return byteLimit_; }
  std::int32_t ParaLengthLimit() const { return paraLengthLimit_; }
  void SetParaLimit(std::int32_t limit) { paraLimit_ = limit; }
  void SetByteLimit(std::int64_t limit) { byteLimit_ = limit; }
  // 1..32767; other values are ignored.
  void SetParaLengthLimit(std::int32_t limit);

  bool WordWrap() const { return wordWrap_; }
  std::int32_t WrapColumn() const { return wrapColumn_; }
  int TabSize() const { return tabSize_; }
  // These wrap the whole text again when the layout changes.
  void SetWordWrap(bool on);
  void SetWrapColumn(std::int32_t column);
  void SetTabSize(int size);  // 1..255; other values are ignored

  // Changes. Each returns 0 or an error code and then changes nothing;
  // positions outside the text change nothing either. `editor` is the editor
  // that makes the change.
  std::uint16_t InsertText(TParaListEditor* editor, std::int32_t para, std::int32_t pos, std::string_view text);
  std::uint16_t DeleteText(TParaListEditor* editor, std::int32_t para, std::int32_t pos, std::int32_t count);
  std::uint16_t ReplaceText(TParaListEditor* editor, std::int32_t para, std::int32_t pos, std::int32_t oldCount,
                            std::string_view newText);
  // A new paragraph before `para`, or appended when `para` is one past the last.
  std::uint16_t InsertParagraph(TParaListEditor* editor, std::int32_t para, std::string_view text);
  std::uint16_t InsertParagraphAfter(TParaListEditor* editor, std::int32_t para, std::string_view text);
  // Removes a paragraph; the text always keeps at least one.
  std::uint16_t DeleteParagraph(TParaListEditor* editor, std::int32_t para);
  // The line break of Enter. `indent` comes back as the bytes of indentation
  // the new paragraph starts with (unchanged when splitting at position 1).
  std::uint16_t SplitParagraph(TParaListEditor* editor, std::int32_t para, bool trimBlanks, std::int32_t& indent,
                               int tabSize, std::int32_t pos);
  // Appends paragraph para + 1 to `para` at `pos`, padding with blanks.
  std::uint16_t JoinParagraphs(TParaListEditor* editor, std::int32_t para, std::int32_t pos);
  // Deletes from (para1, pos1) up to but not including (para2, pos2).
  std::uint16_t DeleteRange(TParaListEditor* editor, std::int32_t para1, std::int32_t pos1, std::int32_t para2,
                            std::int32_t pos2);
  // Inserts text whose CR LF, LF or lone CR end paragraphs; para and pos
  // come back as the position after what was inserted.
  std::uint16_t InsertBlock(TParaListEditor* editor, std::int32_t& para, std::string_view text, std::int32_t& pos);

  // Bookmarks 0..9; other indexes are ignored.
  void SetMarker(int index, std::int32_t para, std::int32_t pos);
  void SetMarkerAtLine(int index, std::int32_t line, std::int32_t column);
  TMarker Marker(int index) const;

  // Replays one group of the history; para and pos come back as the place
  // the caret belongs. False when there was nothing to replay.
  bool Undo(TParaListEditor* editor, std::int32_t& para, std::int32_t& pos);
  bool Redo(TParaListEditor* editor, std::int32_t& para, std::int32_t& pos);
  TUndoBuffer& UndoBuffer() { return *undo_; }
  const TUndoBuffer& UndoBuffer() const { return *undo_; }
  // A new, empty history of the given size.
  void SetUndoBufferSize(std::uint16_t size);

 private:
  class TChange;
  class TGroup;
  class TMarkersHeld;

  // Where lookups start: a paragraph, its number, its first display line and
  // the cached line within it.
  struct TCache {
    TParaNode* node = nullptr;
    std::int32_t para = 0;
    std::int32_t firstLine = 0;
    std::int32_t lineInPara = 0;
  };

  TWrapLayout Layout() const;
  TCache FirstCache() const;
  TCache LastCache() const;
  TParaNode* LocateLine(std::int32_t line) const;

  std::uint16_t CheckLimits(std::int32_t addedParas, std::int64_t addedBytes, std::int32_t para) const;
  void NoteChangedLines(std::int32_t first, std::int32_t last);
  void CommitEdit(TParaEdit& edit, TParaNode* node, std::int32_t para);
  std::uint16_t InsertBytes(TParaListEditor* editor, TParaNode* node, std::int32_t para, std::int32_t pos,
                            std::string_view text);
  TParaNode* NewParagraph(std::string_view text) const;
  void AddParagraph(TParaNode* node, std::int32_t at, TUndoAction action, std::int32_t recordPara);
  void Link(TParaNode* node, std::int32_t at);
  TParaNode* Unlink(std::int32_t at);
  void Attach(TParaNode* node, std::int32_t at);
  TParaNode* Detach(std::int32_t at);
  void RecordCaret(std::int32_t para, std::int32_t pos);
  void Track(const TTextAdjust& change);
  void RewrapAll();
  void ReplayUndo(TParaListEditor* editor, const TUndoEntry& entry);
  void ReplayRedo(TParaListEditor* editor, const TUndoEntry& entry, std::int32_t& para, std::int32_t& pos);
  void Relink(TParaNode* node, std::int32_t at);
  template <class Visit>
  void ForEachEditor(Visit visit) const;

  TParaListEditor* owner_;
  TParaNode* first_ = nullptr;
  TParaNode* last_ = nullptr;
  mutable TCache cache_;
  std::int32_t count_ = 0;
  std::int64_t byteCount_ = 0;
  std::int32_t lineCount_ = 0;
  std::int32_t paraLimit_ = MaxLongInt;
  std::int64_t byteLimit_ = MaxLongInt;
  std::int32_t paraLengthLimit_ = TParaNode::kMaxLength;
  bool wordWrap_;
  std::int32_t wrapColumn_ = 80;
  int tabSize_ = 8;
  bool modified_ = false;
  bool tracking_ = true;
  std::array<TMarker, kMarkerCount> markers_{};
  std::unique_ptr<TUndoBuffer> undo_;
  bool replay_ = false;
  std::int32_t changedFirst_ = 0;
  std::int32_t changedLast_ = 0;
  int changeDepth_ = 0;
  std::int32_t pendingFirst_ = 0;
  std::int32_t pendingLast_ = 0;
};
