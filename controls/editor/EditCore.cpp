#include "controls/editor/EditCore.h"

#include <algorithm>
#include <array>
#include <new>

#include "controls/base/VirExcept.h"
#include "controls/editor/EditError.h"
#include "controls/editor/EditGlyphs.h"
#include "controls/editor/EditWords.h"
#include "controls/editor/VirEditU.h"
#include "platform/Clipboard.h"
#include "platform/Desktop.h"
#include "platform/SystemColors.h"
#include "rtl/TextChars.h"

namespace {

// Inserted texts go to the paragraph list in pieces of this size, each
// extended over the line-break bytes after it up to kMaxPiece.
constexpr std::size_t kPiece = 61440;
constexpr std::size_t kMaxPiece = 65520;

std::string ExpandTabs(std::string_view text, int tabSize) {
  std::string result;
  result.reserve(text.size());
  std::size_t from = 0;
  for (std::size_t tab = text.find('\t'); tab != std::string_view::npos; tab = text.find('\t', from)) {
    result.append(text.substr(from, tab - from));
    const auto width = static_cast<std::int32_t>(rtl::CharacterCount(result));
    result.append(static_cast<std::size_t>(AdvanceWidth(width, '\t', tabSize) - width), ' ');
    from = tab + 1;
  }
  result.append(text.substr(from));
  return result;
}

void Beep() {
  if (plat::Service<plat::Desktop>::Installed()) plat::Beep();
}

// The hourglass while a long operation runs, where the program has a screen.
class BusyCursor {
 public:
  BusyCursor() : shown_(plat::Service<plat::Desktop>::Installed()) {
    if (shown_) plat::SetScreenCursor(plat::CursorShape::HourGlass);
  }
  ~BusyCursor() {
    if (shown_) plat::SetScreenCursor(plat::CursorShape::Default);
  }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 private:
  bool shown_;
};

}  // namespace

// A change of the text made by this editor: it places its own caret
// afterwards, so the position reports of the list leave it alone. With a
// group, every record of the change is undone in one step.
class TEditorCore::TEdit {
 public:
  TEdit(TEditorCore& editor, bool group) : editor_(editor), was_(editor.editing_), group_(group), list_(editor.list_) {
    editor_.editing_ = true;
    if (group_) wasOpen_ = list_->UndoBuffer().BeginGroup();
  }
  ~TEdit() {
    if (group_) list_->UndoBuffer().EndGroup(wasOpen_);
    editor_.editing_ = was_;
  }
  TEdit(const TEdit&) = delete;
  TEdit& operator=(const TEdit&) = delete;

 private:
  TEditorCore& editor_;
  bool was_;
  bool group_;
  bool wasOpen_ = false;
  std::shared_ptr<TParaList> list_;
};

TEditorCore::TEditorCore() : font_([this] { FontChanged(); }), highlight_(plat::clHighlight, plat::clHighlightText) {
  highlight_.OnChange = [this] { InvalidateSelection(); };
  list_ = std::make_shared<TParaList>(this, false, 8192);
  LoadGlyphs();
}

TEditorCore::~TEditorCore() { LeaveRing(); }

// ---- The ring of editors sharing one text ------------------------------

void TEditorCore::JoinRingOf(TEditorCore& other) {
  list_ = other.list_;
  next_ = other.next_;
  prev_ = &other;
  other.next_->prev_ = this;
  other.next_ = this;
}

void TEditorCore::LeaveRing() {
  if (next_ != this) {
    prev_->next_ = next_;
    next_->prev_ = prev_;
    if (list_->Owner() == this) list_->SetOwner(next_);
    next_ = prev_ = this;
  }
  list_.reset();
}

void TEditorCore::NewList(bool wordWrap, std::int32_t wrapColumn, int tabSize, std::int64_t byteLimit,
                          std::int32_t paraLimit, std::int32_t paraLengthLimit, std::uint16_t undoSize) {
  list_ = std::make_shared<TParaList>(this, false, undoSize);
  list_->SetByteLimit(byteLimit);
  list_->SetParaLimit(paraLimit);
  list_->SetParaLengthLimit(paraLengthLimit);
  list_->SetWrapColumn(wrapColumn);
  list_->SetTabSize(tabSize);
  list_->SetWordWrap(wordWrap);
}

void TEditorCore::AttachEditor(TEditorCore& other) {
  if (other.list_ == list_) return;
  LeaveRing();
  JoinRingOf(other);
  caretLine_ = caretPos_ = caretPara_ = 1;
  caretLineOffset_ = 0;
  CollapseSelection();
  topLine_ = 1;
  leftColumn_ = 0;
  RecalcLayout(false);
}

void TEditorCore::ClearText() {
  const TParaList& old = *list_;
  const bool wordWrap = old.WordWrap();
  const std::int32_t wrapColumn = old.WrapColumn();
  const int tabSize = old.TabSize();
  const std::int64_t byteLimit = old.ByteLimit();
  const std::int32_t paraLimit = old.ParaLimit();
  const std::int32_t paraLengthLimit = old.ParaLengthLimit();
  const auto undoSize = static_cast<std::uint16_t>(old.UndoBuffer().Size());
  LeaveRing();
  NewList(wordWrap, wrapColumn, tabSize, byteLimit, paraLimit, paraLengthLimit, undoSize);
  caretLine_ = caretPos_ = caretPara_ = 1;
  caretLineOffset_ = 0;
  CollapseSelection();
  topLine_ = 1;
  leftColumn_ = 0;
  RecalcLayout(false);
}

// ---- Notices of the paragraph list -------------------------------------

void TEditorCore::TextChanged(TParaListEditor* sender, std::int32_t firstLine, std::int32_t lastLine) {
  InvalidateLines(firstLine, lastLine);
  if (sender != this) {
    SyncCaretLine();
    anchor_.para = std::clamp(anchor_.para, 1, list_->ParagraphCount());
  }
  if (lastLine == MaxLongInt) UpdateScrollBars();
}

void TEditorCore::PositionsMoved(const TTextAdjust& change) {
  if (editing_) return;
  TTextPos caret = CaretTextPos();
  if (!AdjustPosition(change, caret.para, caret.pos)) caret = {change.para, change.pos};
  if (!AdjustPosition(change, anchor_.para, anchor_.pos)) anchor_ = {change.para, change.pos};
  caretPara_ = caret.para;
  caretLineOffset_ = 0;
  caretPos_ = caret.pos;
}

void TEditorCore::LayoutChanged() {
  SyncCaretLine();
  topLine_ = std::clamp(topLine_, 1, list_->LineCount());
  RecalcLayout(false);
}

// ---- Properties ----------------------------------------------------------

void TEditorCore::SetBorderStyle(TBorderStyle style) {
  borderStyle_ = style;
  RecreateWindow();
}

void TEditorCore::SetByteLimit(std::int64_t limit) {
  if (limit >= 0) list_->SetByteLimit(limit);
}

void TEditorCore::SetHideSelection(bool hide) {
  hideSelection_ = hide;
  InvalidateSelection();
}

void TEditorCore::SetInsertMode(bool insert) {
  insertMode_ = insert;
  CaretMoved();
}

void TEditorCore::SetLeftMargin(int margin) {
  if (margin < 0) return;
  leftMargin_ = margin;
  RecalcLayout(false);
}

void TEditorCore::SetRightMargin(int margin) {
  if (margin < 0) return;
  rightMargin_ = margin;
  RecalcLayout(false);
}

void TEditorCore::SetMargin(int margin) {
  SetLeftMargin(margin);
  SetRightMargin(margin);
}

void TEditorCore::SetParaLengthLimit(std::int32_t limit) {
  list_->SetParaLengthLimit(limit);
  UpdateScrollBars();
}

void TEditorCore::SetParaLimit(std::int32_t limit) {
  if (limit > 0) list_->SetParaLimit(limit);
}

void TEditorCore::SetScrollBars(TScrollStyle style) {
  scrollBars_ = style;
  if (style == TScrollStyle::ssNone) scrollBarsAlways_ = false;
  RecreateWindow();
}

void TEditorCore::SetScrollBarsAlways(bool always) {
  scrollBarsAlways_ = always && scrollBars_ != TScrollStyle::ssNone;
  RecreateWindow();
}

void TEditorCore::SetScrollPastEnd(bool on) {
  scrollPastEnd_ = on;
  if (on) SetWordWrap(false);
}

void TEditorCore::SetShowBookmarks(bool show) {
  showBookmarks_ = show;
  LoadGlyphs();
  if (HasWindow()) InvalidateArea({0, 0, ClientWidthOf(), ClientHeightOf()});
}

void TEditorCore::SetTabSize(int size) {
  if (size <= 0) return;
  list_->SetTabSize(size);
  if (HasWindow()) InvalidateArea({0, 0, ClientWidthOf(), ClientHeightOf()});
}

void TEditorCore::SetUndoBufferSize(std::uint16_t size) { list_->SetUndoBufferSize(size); }

void TEditorCore::SetWordWrap(bool on) {
  if (on) {
    wrapAtLeft_ = true;
    scrollPastEnd_ = false;
  }
  list_->SetWordWrap(on);
}

void TEditorCore::SetWrapAtLeft(bool on) { wrapAtLeft_ = on || list_->WordWrap(); }

void TEditorCore::SetWrapColumn(std::int32_t column) {
  if (column > 0) list_->SetWrapColumn(column);
}

void TEditorCore::SetWrapToWindow(bool on) {
  wrapToWindow_ = on;
  if (on && HasWindow() && WordWrap()) SetWrapColumn(WindowWrapColumn(visibleColumns_));
}

void TEditorCore::FontChanged() { RecalcLayout(false); }

void TEditorCore::LoadGlyphs() { glyphs_ = showBookmarks_ ? LoadBookmarkGlyphs() : TGlyphStrip{}; }

// ---- Events and errors ---------------------------------------------------

bool TEditorCore::DoDrawLine(const TDrawLineArgs& args) { return OnDrawLine && OnDrawLine(*this, args); }

void TEditorCore::DoOnChange() {
  if (OnChange) OnChange(*this);
}

void TEditorCore::DoOnUserCommand(int command) {
  if (OnUserCommand) OnUserCommand(*this, command);
}

void TEditorCore::EditError(std::uint16_t code) {
  if (code == eeNone) return;
  if (OnError) {
    OnError(*this, code);
    return;
  }
  RaiseEditError(code);
}

// ---- Reading ---------------------------------------------------------------

std::string_view TEditorCore::LineText(std::int32_t line) const {
  std::int32_t length = 0;
  const char* text = list_->GetLine(line, length);
  return {text, static_cast<std::size_t>(length)};
}

std::string TEditorCore::ReadParagraph(std::int32_t n) const {
  if (n < 1 || n > list_->LineCount()) throw EInvalidLineOrPara();
  return ExpandTabs(LineText(n), list_->TabSize());
}

std::string TEditorCore::SelectedText() const {
  const TTextPos b = SelectionBegin();
  const TTextPos e = SelectionEnd();
  std::string text;
  for (std::int32_t para = b.para; para <= e.para; ++para) {
    const std::string_view paragraph = list_->GetParagraph(para)->Text();
    const auto length = static_cast<std::int32_t>(paragraph.size());
    const std::int32_t from = para == b.para ? std::min(b.pos - 1, length) : 0;
    const std::int32_t to = para == e.para ? std::min(e.pos - 1, length) : length;
    if (to > from) text.append(paragraph.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from)));
    if (para != e.para) text.append("\r\n");
  }
  return text;
}

std::int32_t TEditorCore::CaretColumn() const {
  std::string_view text = LineText(caretLine_);
  return list_->PositionToColumn(text.data(), static_cast<std::int32_t>(text.size()), caretPos_);
}

void TEditorCore::LineColOf(TTextPos at, std::int32_t& line, std::int32_t& col) const {
  std::int32_t pos = 0;
  line = list_->ParaToLine(at.para, at.pos, pos);
  std::string_view text = LineText(line);
  col = list_->PositionToColumn(text.data(), static_cast<std::int32_t>(text.size()), pos);
}

// ---- Caret ---------------------------------------------------------------

void TEditorCore::SetCaret(std::int32_t line, std::int32_t pos) {
  std::int32_t offset = 0;
  caretPara_ = list_->LineToPara(line, offset);
  caretLineOffset_ = offset;
  caretLine_ = line;
  caretPos_ = pos;
}

void TEditorCore::SetCaretTextPos(TTextPos at) {
  caretPara_ = std::clamp(at.para, 1, list_->ParagraphCount());
  caretPos_ = std::max(at.pos, 1);
  caretLineOffset_ = 0;
  SyncCaretLine();
}

// The caret's line and position in it, from its paragraph and position there.
void TEditorCore::SyncCaretLine() {
  caretPara_ = std::clamp(caretPara_, 1, list_->ParagraphCount());
  const std::int32_t paraPos = caretLineOffset_ + caretPos_;
  std::int32_t pos = 0;
  caretLine_ = list_->ParaToLine(caretPara_, paraPos, pos);
  caretPos_ = pos;
  caretLineOffset_ = paraPos - pos;
}

std::int32_t TEditorCore::ClampPos(std::int32_t line, std::int32_t pos) const {
  std::string_view text = LineText(line);
  const auto length = static_cast<std::int32_t>(text.size());
  const std::int32_t last =
      scrollPastEnd_ ? list_->ColumnToPosition(text.data(), length, list_->ParaLengthLimit() + 1) : length + 1;
  return std::clamp(pos, 1, std::max(last, 1));
}

void TEditorCore::MoveTo(std::int32_t line, std::int32_t pos, bool extend) {
  line = std::clamp(line, 1, list_->LineCount());
  const bool hadSelection = HasSelection();
  if (extend || hadSelection) InvalidateSelection();
  SetCaret(line, ClampPos(line, pos));
  if (!extend) CollapseSelection();
  if (extend) InvalidateSelection();
  CaretMoved();
}

void TEditorCore::MoveToTextPos(TTextPos at, bool extend) {
  std::int32_t pos = 0;
  const std::int32_t line = list_->ParaToLine(at.para, std::max(at.pos, 1), pos);
  MoveTo(line, pos, extend);
}

void TEditorCore::MoveVertically(std::int32_t line, bool extend) {
  if (line > list_->LineCount()) line = caretLine_;
  line = std::max(line, 1);
  std::string_view text = LineText(line);
  MoveTo(line, list_->ColumnToPosition(text.data(), static_cast<std::int32_t>(text.size()), CaretColumn()), extend);
}

void TEditorCore::CaretMoved() {
  ScrollCaretIntoView();
  if (!HasWindow()) return;
  PlaceCaretOnScreen();
  if (OnShowStatus) OnShowStatus(*this, caretLine_, CaretColumn());
}

// The window's caret over the text caret, hidden while it is out of view.
void TEditorCore::PlaceCaretOnScreen() {
  if (!HasWindow()) return;
  const std::int32_t column = CaretColumn();
  const bool visible = HasFocus() && caretLine_ >= topLine_ && caretLine_ < topLine_ + visibleRows_ &&
                       column > leftColumn_ && column <= leftColumn_ + visibleColumns_ + 1;
  PlaceCaret(leftMargin_ + (column - 1 - leftColumn_) * charWidth_, (caretLine_ - topLine_) * lineHeight_, visible);
}

void TEditorCore::ScrollCaretIntoView() {
  std::int32_t top = topLine_;
  if (caretLine_ < top) {
    top = caretLine_;
  } else if (caretLine_ > top + visibleRows_ - 1) {
    top = caretLine_ - (visibleRows_ - 1);
  }
  std::int32_t left = leftColumn_;
  const std::int32_t column = CaretColumn();
  if (column > left + visibleColumns_) {
    left = column - visibleColumns_;
  } else if (column <= left) {
    left = column <= 2 ? 0 : column - 1;
  }
  ScrollTo(top, left);
}

void TEditorCore::ScrollTo(std::int32_t topLine, std::int32_t leftColumn) {
  topLine = std::clamp(topLine, 1, list_->LineCount());
  leftColumn = std::max(leftColumn, 0);
  if (topLine == topLine_ && leftColumn == leftColumn_) return;
  const bool topChanged = topLine != topLine_;
  topLine_ = topLine;
  leftColumn_ = leftColumn;
  if (HasWindow()) {
    InvalidateArea({0, 0, ClientWidthOf(), ClientHeightOf()});
    UpdateScrollBars();
  }
  if (topChanged && OnTopLineChanged) OnTopLineChanged(*this, topLine_);
}

// ---- Operations of the listing window ------------------------------------

void TEditorCore::InsertTextAtCaret(std::string_view text) { EditError(InsertAtCaret(text)); }

std::uint16_t TEditorCore::InsertAtCaret(std::string_view text) {
  if (ReadOnly()) return eeNone;
  TEdit edit(*this, true);
  if (HasSelection()) {
    DeleteSelection();
  }
  TTextPos at = CaretTextPos();
  std::uint16_t code = eeNone;
  for (std::size_t from = 0; from < text.size() && code == eeNone;) {
    std::size_t end = std::min(from + kPiece, text.size());
    while (end < text.size() && end - from < kMaxPiece && (text[end] == '\r' || text[end] == '\n')) ++end;
    code = list_->InsertBlock(this, at.para, text.substr(from, end - from), at.pos);
    from = end;
  }
  SetCaretTextPos(at);
  CollapseSelection();
  UpdateScrollBars();
  CaretMoved();
  return code;
}

void TEditorCore::SelectAllText(bool caretAtEnd) {
  const std::int32_t last = list_->ParagraphCount();
  if (last == 1 && list_->GetParagraphLength(1) == 0) return;
  const TTextPos first{1, 1};
  const TTextPos end{last, list_->GetParagraphLength(last) + 1};
  InvalidateSelection();
  anchor_ = caretAtEnd ? first : end;
  SetCaretTextPos(caretAtEnd ? end : first);
  InvalidateSelection();
  CaretMoved();
}

void TEditorCore::SetSelectionRange(std::int32_t line1, std::int32_t col1, bool caretAtEnd, std::int32_t col2,
                                    std::int32_t line2) {
  if (list_->ParagraphCount() == 1 && list_->GetParagraphLength(1) == 0) return;
  auto textPos = [this](std::int32_t line, std::int32_t col) {
    line = std::clamp(line, 1, list_->LineCount());
    col = std::clamp(col, 1, static_cast<std::int32_t>(LineText(line).size()) + 1);
    std::int32_t offset = 0;
    const std::int32_t para = list_->LineToPara(line, offset);
    return TTextPos{para, offset + col};
  };
  const TTextPos p1 = textPos(line1, col1);
  const TTextPos p2 = textPos(line2, col2);
  InvalidateSelection();
  anchor_ = caretAtEnd ? p1 : p2;
  SetCaretTextPos(caretAtEnd ? p2 : p1);
  InvalidateSelection();
  CaretMoved();
}

void TEditorCore::RecalcLayout(bool repaint) {
  if (!HasWindow()) return;
  Measure();
  UpdateScrollBars();
  InvalidateArea({0, 0, ClientWidthOf(), ClientHeightOf()});
  CaretMoved();
  if (repaint) UpdateWindow();
}

void TEditorCore::MoveCaretToLineCol(std::int32_t line, std::int32_t col) {
  if (line < 1 || line > list_->LineCount() || col < 1) throw EInvalidLineOrPara();
  MoveTo(line, col, false);
}

void TEditorCore::SetTopLine(std::int32_t line) {
  if (line < 1 || line > list_->LineCount()) throw EInvalidLineOrPara();
  ScrollTo(line, leftColumn_);
  PlaceCaretOnScreen();
}

void TEditorCore::SetMarker(int index) {
  list_->SetMarker(index, caretPara_, caretLineOffset_ + caretPos_);
  if (HasWindow()) InvalidateArea({0, 0, leftMargin_, ClientHeightOf()});
}

void TEditorCore::SetMarkerAt(int index, std::int32_t line, std::int32_t col) {
  if (line < 1 || line > list_->LineCount() || col < 1) throw EInvalidLineOrCol();
  list_->SetMarkerAtLine(index, line, col);
  if (HasWindow()) InvalidateArea({0, 0, leftMargin_, ClientHeightOf()});
}

void TEditorCore::GotoMarker(int index) {
  const TMarker marker = list_->Marker(index);
  if (marker.IsSet()) MoveToTextPos({marker.para, marker.pos}, false);
}

bool TEditorCore::CanUndo() const { return !ReadOnly() && list_->UndoBuffer().PeekUndoGroup() >= 0; }

bool TEditorCore::CanRedo() const { return !ReadOnly() && list_->UndoBuffer().PeekRedoGroup() >= 0; }

void TEditorCore::Undo() { Replay(false); }

void TEditorCore::Redo() { Replay(true); }

// Undoes or redoes one group; the caret goes where the history puts it.
void TEditorCore::Replay(bool redo) {
  if (!(redo ? CanRedo() : CanUndo())) {
    Beep();
    return;
  }
  TEdit edit(*this, false);
  TTextPos at = CaretTextPos();
  if (redo) {
    list_->Redo(this, at.para, at.pos);
  } else {
    list_->Undo(this, at.para, at.pos);
  }
  SetCaretTextPos(at);
  CollapseSelection();
  UpdateScrollBars();
  CaretMoved();
}

void TEditorCore::CopyToClipboard() {
  if (!HasSelection()) return;
  plat::ClipboardContent content;
  try {
    content.text = SelectedText();
  } catch (const std::bad_alloc&) {
    EditError(eeOutOfMemory);
    return;
  }
  plat::TheClipboard().Set(content);
}

void TEditorCore::CutToClipboard() {
  if (!HasSelection() || ReadOnly()) return;
  CopyToClipboard();
  DeleteSelection();
  UpdateScrollBars();
  CaretMoved();
}

void TEditorCore::PasteFromClipboard() {
  if (ReadOnly()) return;
  plat::Clipboard& clipboard = plat::TheClipboard();
  if (clipboard.HasText()) InsertTextAtCaret(clipboard.GetText());
  UpdateScrollBars();
}

// ---- Commands ------------------------------------------------------------

bool TEditorCore::DoCommand(int command, char32_t ch) {
  if (command >= ccUserFirst) {
    DoOnUserCommand(command);
    return true;
  }
  if (MoveCommand(command)) return true;
  if (command >= ccGotoMarker0 && command <= ccGotoMarker0 + 9) {
    GotoMarker(command - ccGotoMarker0);
    return true;
  }
  if (command >= ccSetMarker0 && command <= ccSetMarker0 + 9) {
    SetMarker(command - ccSetMarker0);
    return true;
  }
  const bool changes = !ReadOnly();
  switch (command) {
    case ccBack:
      if (ReadOnly()) {
        MoveLeft(false);
        return true;
      }
      Backspace();
      break;
    case ccCopy: CopyToClipboard(); return true;
    case ccCtrlChar: return true;
    case ccCut: CutToClipboard(); break;
    case ccDel: DeleteAtCaret(); break;
    case ccDelBol: DeleteBol(); break;
    case ccDelEol: DeleteEol(); break;
    case ccDelLine: DeleteLine(); break;
    case ccDelWord: DeleteWord(); break;
    case ccIns: SetInsertMode(!insertMode_); return true;
    case ccNewLine: NewLine(insertMode_ && !ReadOnly(), true); return true;
    case ccPaste: PasteFromClipboard(); break;
    case ccRedo: Redo(); break;
    case ccUndo: Undo(); break;
    case ccScrollDown: Scroll(plat::ScrollBarKind::Vertical, plat::ScrollCode::LineDown, 0); return true;
    case ccScrollUp: Scroll(plat::ScrollBarKind::Vertical, plat::ScrollCode::LineUp, 0); return true;
    case ccTab: InsertTab(); break;
    case ccChar:
      if (ReadOnly()) return true;
      TypeChar(ch);
      break;
    default: return false;
  }
  if (changes) DoOnChange();
  return true;
}

void TEditorCore::NewLineKey() { NewLine(insertMode_ && !ReadOnly(), true); }

void TEditorCore::TabKey() {
  InsertTab();
  if (!ReadOnly()) DoOnChange();
}

bool TEditorCore::MoveCommand(int command) {
  struct TMove {
    int plain, extended;
    void (TEditorCore::*move)(bool);
  };
  static constexpr std::array<TMove, 7> kMoves = {{
      {ccLeft, ccExtendLeft, &TEditorCore::MoveLeft},
      {ccRight, ccExtendRight, &TEditorCore::MoveRight},
      {ccWordLeft, ccExtWordLeft, &TEditorCore::MoveWordLeft},
      {ccWordRight, ccExtWordRight, &TEditorCore::MoveWordRight},
      {ccEnd, ccExtendEnd, &TEditorCore::MoveEnd},
      {ccTopOfPage, ccExtTopOfPage, &TEditorCore::TopOfPage},
      {ccBotOfPage, ccExtBotOfPage, &TEditorCore::BottomOfPage},
  }};
  for (const TMove& move : kMoves) {
    if (command == move.plain || command == move.extended) {
      (this->*move.move)(command == move.extended);
      return true;
    }
  }
  switch (command) {
    case ccUp:
    case ccExtendUp: MoveVertically(caretLine_ - 1, command == ccExtendUp); return true;
    case ccDown:
    case ccExtendDown: MoveVertically(caretLine_ + 1, command == ccExtendDown); return true;
    case ccHome:
    case ccExtendHome: MoveTo(caretLine_, 1, command == ccExtendHome); return true;
    case ccPrevPage:
    case ccExtendPgUp: PageMove(-1, command == ccExtendPgUp); return true;
    case ccNextPage:
    case ccExtendPgDn: PageMove(1, command == ccExtendPgDn); return true;
    case ccFirstPage:
    case ccExtFirstPage: MoveTo(1, 1, command == ccExtFirstPage); return true;
    case ccLastPage:
    case ccExtLastPage: {
      const std::int32_t last = list_->LineCount();
      MoveTo(last, static_cast<std::int32_t>(LineText(last).size()) + 1, command == ccExtLastPage);
      return true;
    }
    default: return false;
  }
}

// The position of the character before (or after) position `pos` of a
// paragraph: a UTF-8 character's bytes are passed over together.
std::int32_t TEditorCore::CharacterBefore(std::int32_t para, std::int32_t pos) const {
  const std::string_view text = list_->GetParagraph(para)->Text();
  return static_cast<std::int32_t>(rtl::PreviousCharacter(text, static_cast<std::size_t>(pos - 1))) + 1;
}

std::int32_t TEditorCore::CharacterAfter(std::int32_t para, std::int32_t pos) const {
  const std::string_view text = list_->GetParagraph(para)->Text();
  return static_cast<std::int32_t>(rtl::NextCharacter(text, static_cast<std::size_t>(pos - 1))) + 1;
}

void TEditorCore::MoveLeft(bool extend) {
  const std::int32_t paraPos = caretLineOffset_ + caretPos_;
  if (paraPos > 1) {
    MoveToTextPos({caretPara_, CharacterBefore(caretPara_, paraPos)}, extend);
  } else if (caretLine_ >= 2 && wrapAtLeft_) {
    MoveTo(caretLine_ - 1, static_cast<std::int32_t>(LineText(caretLine_ - 1).size()) + 1, extend);
  }
}

void TEditorCore::MoveRight(bool extend) {
  const std::int32_t paraPos = caretLineOffset_ + caretPos_;
  if (paraPos > list_->GetParagraphLength(caretPara_) && !scrollPastEnd_) {
    if (caretLine_ < list_->LineCount()) MoveTo(caretLine_ + 1, 1, extend);
    return;
  }
  MoveToTextPos({caretPara_, CharacterAfter(caretPara_, paraPos)}, extend);
}

void TEditorCore::MoveWordLeft(bool extend) {
  const std::int32_t paraPos = caretLineOffset_ + caretPos_;
  if (paraPos == 1) {
    if (caretPara_ > 1) MoveTo(caretLine_ - 1, static_cast<std::int32_t>(LineText(caretLine_ - 1).size()) + 1, extend);
    return;
  }
  const std::string_view text = list_->GetParagraph(caretPara_)->Text();
  const std::int32_t at = std::min(paraPos, static_cast<std::int32_t>(text.size()) + 1) - 1;
  MoveToTextPos({caretPara_, WordStartBefore(text, at) + 1}, extend);
}

void TEditorCore::MoveWordRight(bool extend) {
  const std::int32_t paraPos = caretLineOffset_ + caretPos_;
  const std::string_view text = list_->GetParagraph(caretPara_)->Text();
  if (paraPos > static_cast<std::int32_t>(text.size())) {
    if (caretLine_ < list_->LineCount()) MoveTo(caretLine_ + 1, 1, extend);
    return;
  }
  MoveToTextPos({caretPara_, WordEndAfter(text, paraPos - 1) + 1}, extend);
}

void TEditorCore::MoveEnd(bool extend) {
  const auto length = static_cast<std::int32_t>(LineText(caretLine_).size());
  const bool lastOfParagraph = caretLineOffset_ + length >= list_->GetParagraphLength(caretPara_);
  MoveTo(caretLine_, lastOfParagraph ? length + 1 : std::max(length, 1), extend);
}

void TEditorCore::PageMove(int direction, bool extend) {
  const std::int32_t step = std::max(1, visibleRows_ - 1);
  const std::int32_t lastTop = std::max(1, list_->LineCount() - visibleRows_ + 1);
  ScrollTo(std::clamp(topLine_ + direction * step, 1, lastTop), leftColumn_);
  MoveVertically(std::clamp(caretLine_ + direction * step, 1, list_->LineCount()), extend);
}

void TEditorCore::TopOfPage(bool extend) {
  if (caretLine_ < topLine_ || caretLine_ >= topLine_ + visibleRows_) {
    ScrollTo(caretLine_, leftColumn_);
    PlaceCaretOnScreen();
    return;
  }
  MoveVertically(topLine_, extend);
}

void TEditorCore::BottomOfPage(bool extend) {
  if (caretLine_ < topLine_ || caretLine_ >= topLine_ + visibleRows_) {
    ScrollTo(std::max(1, caretLine_ - (visibleRows_ - 1)), leftColumn_);
    PlaceCaretOnScreen();
    return;
  }
  MoveVertically(std::min(topLine_ + visibleRows_ - 1, list_->LineCount()), extend);
}

// ---- Editing ---------------------------------------------------------------

bool TEditorCore::DeleteSelection() {
  if (!HasSelection()) return false;
  TEdit edit(*this, false);
  const TTextPos b = SelectionBegin();
  const TTextPos e = SelectionEnd();
  InvalidateSelection();
  const std::uint16_t code = b.para == e.para ? list_->DeleteText(this, b.para, b.pos, e.pos - b.pos)
                                              : list_->DeleteRange(this, b.para, b.pos, e.para, e.pos);
  SetCaretTextPos(code == eeNone ? b : CaretTextPos());
  CollapseSelection();
  CaretMoved();
  EditError(code);
  return true;
}

// Backspace joins a paragraph to the one before it whatever WrapAtLeft is,
// and beyond the end of a paragraph only moves the caret.
void TEditorCore::Backspace() {
  if (DeleteSelection()) return;
  const std::int32_t paraPos = caretLineOffset_ + caretPos_;
  const std::int32_t length = list_->GetParagraphLength(caretPara_);
  if (paraPos == 1) {
    if (caretPara_ == 1) return;
    TEdit edit(*this, false);
    const std::int32_t previous = caretPara_ - 1;
    const TTextPos join{previous, list_->GetParagraphLength(previous) + 1};
    const std::uint16_t code = list_->JoinParagraphs(this, join.para, join.pos);
    if (code == eeNone) SetCaretTextPos(join);
    CollapseSelection();
    UpdateScrollBars();
    CaretMoved();
    EditError(code);
    return;
  }
  if (paraPos > length + 1) {
    MoveToTextPos({caretPara_, paraPos - 1}, false);
    return;
  }
  TEdit edit(*this, false);
  const std::int32_t before = CharacterBefore(caretPara_, paraPos);
  const std::uint16_t code = list_->DeleteText(this, caretPara_, before, paraPos - before);
  if (code == eeNone) SetCaretTextPos({caretPara_, before});
  CollapseSelection();
  CaretMoved();
  EditError(code);
}

// Delete at or beyond the end of the last paragraph has nothing to join.
void TEditorCore::DeleteAtCaret() {
  if (ReadOnly() || DeleteSelection()) return;
  const TTextPos at = CaretTextPos();
  const std::int32_t length = list_->GetParagraphLength(at.para);
  std::uint16_t code = eeNone;
  {
    TEdit edit(*this, false);
    if (at.pos <= length) {
      code = list_->DeleteText(this, at.para, at.pos, CharacterAfter(at.para, at.pos) - at.pos);
    } else if (at.para < list_->ParagraphCount()) {
      code = list_->JoinParagraphs(this, at.para, at.pos);
      UpdateScrollBars();
    }
    SetCaretTextPos(at);
  }
  CaretMoved();
  if (!list_->UndoBuffer().GroupOpen() && HasWindow()) UpdateWindow();
  EditError(code);
}

void TEditorCore::DeleteBol() {
  if (ReadOnly() || DeleteSelection()) return;
  TEdit edit(*this, false);
  const std::int32_t count =
      std::min<std::int32_t>(caretPos_ - 1, static_cast<std::int32_t>(LineText(caretLine_).size()));
  const TTextPos start{caretPara_, caretLineOffset_ + 1};
  const std::uint16_t code = list_->DeleteText(this, start.para, start.pos, count);
  SetCaretTextPos(start);
  CollapseSelection();
  CaretMoved();
  EditError(code);
}

void TEditorCore::DeleteEol() {
  if (ReadOnly() || DeleteSelection()) return;
  TEdit edit(*this, false);
  const TTextPos at = CaretTextPos();
  const auto length = static_cast<std::int32_t>(LineText(caretLine_).size());
  const std::uint16_t code = list_->DeleteText(this, at.para, at.pos, length - caretPos_ + 1);
  SetCaretTextPos(at);
  CaretMoved();
  EditError(code);
}

void TEditorCore::DeleteLine() {
  if (ReadOnly()) return;
  TEdit edit(*this, true);
  CollapseSelection();
  const std::int32_t para = caretPara_;
  const std::int32_t offset = caretLineOffset_;
  const auto length = static_cast<std::int32_t>(LineText(caretLine_).size());
  const bool wholeParagraph = offset == 0 && length == list_->GetParagraphLength(para);
  const bool lastParagraph = para == list_->ParagraphCount();
  std::uint16_t code;
  if (wholeParagraph && !lastParagraph) {
    code = list_->DeleteParagraph(this, para);
  } else {
    code = list_->DeleteText(this, para, offset + 1, length);
    if (code == eeNone && !lastParagraph && offset + 1 > list_->GetParagraphLength(para)) {
      code = list_->JoinParagraphs(this, para, offset + 1);
    }
  }
  SetCaretTextPos({para, offset + 1});
  UpdateScrollBars();
  MoveTo(caretLine_, 1, false);
  EditError(code);
}

void TEditorCore::DeleteWord() {
  if (ReadOnly() || DeleteSelection()) return;
  const TTextPos at = CaretTextPos();
  const std::string_view text = list_->GetParagraph(at.para)->Text();
  const auto length = static_cast<std::int32_t>(text.size());
  if (at.pos > length) {
    DeleteAtCaret();
    return;
  }
  std::int32_t end = at.pos - 1;
  while (end < length && !IsWordDelimiter(text[static_cast<std::size_t>(end)])) ++end;
  while (end < length && IsBlankChar(text[static_cast<std::size_t>(end)])) ++end;
  if (end == at.pos - 1) ++end;
  TEdit edit(*this, false);
  const std::uint16_t code = list_->DeleteText(this, at.para, at.pos, end - (at.pos - 1));
  SetCaretTextPos(at);
  CaretMoved();
  EditError(code);
}

// A character the caret's paragraph cannot hold (a Greek letter in
// Windows-1252 text) is refused with a beep, the text left as it was.
void TEditorCore::TypeChar(char32_t ch) {
  const std::string text = rtl::TypedCharacter(list_->GetParagraph(CaretTextPos().para)->Text(), ch);
  if (text.empty()) return Beep();
  TEdit edit(*this, HasSelection());
  const bool replaced = DeleteSelection();
  const TTextPos at = CaretTextPos();
  const std::int32_t lineBefore = caretLine_;
  const std::int32_t linesBefore = list_->LineCount();
  std::uint16_t code;
  if (!insertMode_ && !replaced && at.pos <= list_->GetParagraphLength(at.para)) {
    // Overtyping replaces the whole character at the caret.
    code = list_->ReplaceText(this, at.para, at.pos, CharacterAfter(at.para, at.pos) - at.pos, text);
  } else {
    code = list_->InsertText(this, at.para, at.pos, text);
  }
  if (code == eeNone) {
    SetCaretTextPos({at.para, at.pos + static_cast<std::int32_t>(text.size())});
    CollapseSelection();
    if (caretLine_ > lineBefore) ScrollTo(topLine_, 0);
    if (list_->LineCount() != linesBefore) UpdateScrollBars();
  }
  CaretMoved();
  EditError(code);
}

// The display width of the blanks that start a line, no further than a column.
std::int32_t TEditorCore::IndentationOf(std::int32_t line, std::int32_t upToColumn) const {
  std::int32_t width = 0;
  for (char ch : LineText(line)) {
    if (!IsBlankChar(ch)) break;
    width = AdvanceWidth(width, ch, list_->TabSize());
  }
  return std::min(width, upToColumn - 1);
}

void TEditorCore::NewLine(bool split, bool moveCaret) {
  bool changed = false;
  {
    TEdit edit(*this, false);
    changed = DeleteSelection();
    std::int32_t indent = 0;
    const TTextPos at = CaretTextPos();
    if (split) {
      if (AutoIndent) indent = IndentationOf(caretLine_, CaretColumn());
      const int tabSize = TabType == TTabType::ttReal ? list_->TabSize() : 0;
      const std::int32_t length = list_->GetParagraphLength(at.para);
      const std::uint16_t code = list_->SplitParagraph(this, at.para, true, indent, tabSize, at.pos);
      if (code != eeNone) {
        CaretMoved();
        EditError(code);
        if (changed) DoOnChange();
        return;
      }
      // A split at the paragraph start puts an empty paragraph before it.
      if (std::min(at.pos, length + 1) == 1) indent = 0;
      changed = true;
      UpdateScrollBars();
    }
    if (moveCaret) {
      if (!split && at.para == list_->ParagraphCount()) {
        const std::int32_t last = list_->LineCount();
        SetCaret(last, static_cast<std::int32_t>(LineText(last).size()) + 1);
      } else {
        SetCaretTextPos({std::min(at.para + 1, list_->ParagraphCount()), indent + 1});
      }
      CollapseSelection();
      CaretMoved();
    }
  }
  if (changed) DoOnChange();
}

void TEditorCore::InsertTab() {
  if (ReadOnly()) return;
  TEdit edit(*this, true);
  DeleteSelection();
  if (TabType == TTabType::ttReal) {
    TypeChar('\t');
    return;
  }
  const std::int32_t column = CaretColumn();
  const std::int32_t tabSize = list_->TabSize();
  const std::int32_t target = TabType == TTabType::ttSmart ? SmartTabTarget() : 0;
  const std::int32_t stop = target > column ? target : ((column - 1) / tabSize + 1) * tabSize + 1;
  InsertBlanks(stop - column);
}

// The column of the next word start in the line above the caret (or below,
// when the line above is empty), seen with tabs expanded; 0 when none.
std::int32_t TEditorCore::SmartTabTarget() const {
  if (caretPara_ == 1) return 0;
  std::int32_t neighbour = caretLine_ - 1;
  if (LineText(neighbour).empty() && caretLine_ < list_->LineCount()) neighbour = caretLine_ + 1;
  const std::string line = ExpandTabs(LineText(neighbour), list_->TabSize());
  const auto length = static_cast<std::int32_t>(line.size());
  std::int32_t at = CaretColumn() - 1;
  if (at >= length) return 0;
  while (at < length && line[static_cast<std::size_t>(at)] != ' ') ++at;
  while (at < length && line[static_cast<std::size_t>(at)] == ' ') ++at;
  return at < length ? at + 1 : 0;
}

void TEditorCore::InsertBlanks(std::int32_t count) {
  TEdit edit(*this, true);
  DeleteSelection();
  const TTextPos at = CaretTextPos();
  std::uint16_t code = eeNone;
  if (!insertMode_) code = list_->DeleteText(this, at.para, at.pos, count);
  if (code == eeNone)
    code = list_->InsertText(this, at.para, at.pos, std::string(static_cast<std::size_t>(count), ' '));
  if (code == eeNone) SetCaretTextPos({at.para, at.pos + count});
  CollapseSelection();
  CaretMoved();
  EditError(code);
}

// ---- Layout and painting ---------------------------------------------------

TVertScale TEditorCore::VerticalScroll() const {
  return VerticalScale(list_->LineCount(), visibleRows_, scrollBarsAlways_);
}

TScrollRange TEditorCore::VerticalBar() const {
  const bool bar = scrollBars_ == TScrollStyle::ssVertical || scrollBars_ == TScrollStyle::ssBoth;
  return VerticalRange(list_->LineCount(), visibleRows_, topLine_, bar, scrollBarsAlways_);
}

TScrollRange TEditorCore::HorizontalBar() const {
  const bool bar = scrollBars_ == TScrollStyle::ssHorizontal || scrollBars_ == TScrollStyle::ssBoth;
  const std::int32_t width = list_->WordWrap() ? list_->WrapColumn() : list_->ParaLengthLimit();
  return HorizontalRange(width, visibleColumns_, leftColumn_, bar, scrollBarsAlways_);
}

void TEditorCore::UpdateScrollBars() {
  if (!HasWindow()) return;
  ApplyScrollBar(plat::ScrollBarKind::Vertical, VerticalBar());
  ApplyScrollBar(plat::ScrollBarKind::Horizontal, HorizontalBar());
}

void TEditorCore::MeasureFont() {
  const plat::TextMetrics metrics = MeasureFont(font_.Font());
  charWidth_ = std::max(1, metrics.aveCharWidth);
  lineHeight_ = std::max(1, metrics.height + metrics.externalLeading + 1);
}

void TEditorCore::Measure() {
  if (!HasWindow()) return;
  MeasureFont();
  // A scroll bar that comes or goes changes the client area; measure again.
  for (int round = 0; round < 4; ++round) {
    const std::int32_t columns = VisibleColumns(ClientWidthOf(), leftMargin_, rightMargin_, charWidth_);
    const std::int32_t rows = VisibleRows(ClientHeightOf(), lineHeight_);
    if (columns == visibleColumns_ && rows == visibleRows_) break;
    visibleColumns_ = columns;
    visibleRows_ = rows;
    if (HorizontalBar() == TScrollRange{}) leftColumn_ = 0;
    UpdateScrollBars();
  }
  if (wrapToWindow_ && list_->WordWrap()) SetWrapColumn(WindowWrapColumn(visibleColumns_));
}

plat::Rect TEditorCore::LineRect(std::int32_t line) const {
  const int top = (line - topLine_) * lineHeight_;
  return {0, top, ClientWidthOf(), top + lineHeight_};
}

void TEditorCore::InvalidateLines(std::int32_t first, std::int32_t last) {
  if (!HasWindow()) return;
  const std::int32_t lastVisible = topLine_ + visibleRows_;
  if (last < topLine_ || first > lastVisible) return;
  first = std::max(first, topLine_);
  plat::Rect rect = LineRect(first);
  rect.bottom = last >= lastVisible ? ClientHeightOf() : LineRect(last).bottom;
  InvalidateArea(rect);
}

void TEditorCore::InvalidateSelection() {
  if (!HasSelection()) return;
  std::int32_t first = 0, last = 0, column = 0;
  LineColOf(SelectionBegin(), first, column);
  LineColOf(SelectionEnd(), last, column);
  InvalidateLines(first, last);
}

void TEditorCore::PaintEditor(plat::Canvas& canvas) {
  plat::CanvasStateSaver saved(canvas);
  plat::Font font = font_.Font();
  if (!IsEnabled()) font.color = plat::ColorToRGB(plat::clGrayText);
  canvas.SetFont(font);
  const int width = ClientWidthOf();
  const int height = ClientHeightOf();
  const bool showSelection = HasSelection() && (!hideSelection_ || HasFocus());

  // The bookmarks by the line they stand on.
  std::array<std::int32_t, TParaList::kMarkerCount> markerLines{};
  for (int n = 0; n < TParaList::kMarkerCount; ++n) {
    const TMarker marker = list_->Marker(n);
    std::int32_t column = 0;
    markerLines[static_cast<std::size_t>(n)] = marker.IsSet() ? list_->ParaToLine(marker.para, marker.pos, column) : 0;
  }

  // Only the rows in the area being painted.
  const plat::Rect area = canvas.ClipBox();
  const int firstRow = std::max(0, area.top / lineHeight_);
  const int bottom = std::min(height, area.bottom);
  const std::int32_t lineCount = list_->LineCount();
  int y = firstRow * lineHeight_;
  for (std::int32_t line = topLine_ + firstRow; line <= lineCount && y < bottom; ++line, y += lineHeight_) {
    canvas.SetBrush({ControlColor(), plat::BrushStyle::Solid});
    canvas.FillRect({0, y, leftMargin_, y + lineHeight_});
    for (int n = 0; n < TParaList::kMarkerCount; ++n) {
      if (markerLines[static_cast<std::size_t>(n)] == line)
        DrawBookmarkGlyph(canvas, glyphs_, n, y, lineHeight_, leftMargin_);
    }
    PaintLine(canvas, line, {leftMargin_, y, width, y + lineHeight_}, showSelection);
  }
  if (y < bottom) {
    canvas.SetBrush({ControlColor(), plat::BrushStyle::Solid});
    canvas.FillRect({0, y, width, height});
  }
}

void TEditorCore::PaintLine(plat::Canvas& canvas, std::int32_t line, const plat::Rect& rect, bool showSelection) {
  const std::string_view text = LineText(line);
  const auto length = static_cast<std::int32_t>(text.size());

  // The selection on this line, in display columns [selFirst, selLast).
  std::int32_t beginLine = 0, beginCol = 0, endLine = 0, endCol = 0;
  if (HasSelection()) {
    LineColOf(SelectionBegin(), beginLine, beginCol);
    LineColOf(SelectionEnd(), endLine, endCol);
  }
  const std::int32_t firstPos = list_->ColumnToPosition(text.data(), length, leftColumn_ + 1);
  if (DoDrawLine({canvas, rect, text, line, firstPos, std::max(0, length - firstPos + 1), beginLine, beginCol, endLine,
                  endCol})) {
    return;
  }

  const std::string expanded = ExpandTabs(text, list_->TabSize());
  const auto shown = static_cast<std::int32_t>(rtl::CharacterCount(expanded));
  // The bytes of the expanded text from column `first` up to column `last`.
  auto columns = [&expanded](std::int32_t first, std::int32_t last) {
    const std::size_t begin = rtl::CharactersLength(expanded, static_cast<std::size_t>(first - 1));
    const std::size_t end = rtl::CharactersLength(expanded, static_cast<std::size_t>(last - 1));
    return std::string_view(expanded).substr(begin, end - begin);
  };
  std::int32_t selFirst = 0, selLast = 0;
  if (showSelection && line >= beginLine && line <= endLine) {
    selFirst = line == beginLine ? beginCol : 1;
    // A selection that goes on past the line shows its line break as one cell.
    selLast = line == endLine ? endCol : std::max(shown + 2, selFirst);
  }
  const std::int32_t from = leftColumn_ + 1;
  const std::int32_t to = leftColumn_ + visibleColumns_ + 2;  // one more column, partly shown
  const plat::Color back = ControlColor();
  const plat::Color ink = plat::ColorToRGB(IsEnabled() ? font_.Font().color : plat::clGrayText);
  const plat::Color selectedBack = plat::ColorToRGB(highlight_.BackColor());
  const plat::Color selectedInk = plat::ColorToRGB(highlight_.TextColor());

  // Runs of columns in one colour pair: before, in and after the selection.
  auto paintRun = [&](std::int32_t first, std::int32_t last, bool selected) {
    first = std::max(first, from);
    last = std::min(last, to);
    if (first >= last) return;
    const int x = rect.left + (first - from) * charWidth_;
    const int right = std::min(rect.left + (last - from) * charWidth_, rect.right);
    canvas.SetBrush({selected ? selectedBack : back, plat::BrushStyle::Solid});
    canvas.FillRect({x, rect.top, right, rect.bottom});
    const std::int32_t textLast = std::min(last, shown + 1);
    if (first < textLast) {
      plat::Font font = canvas.GetFont();
      font.color = selected ? selectedInk : ink;
      canvas.SetFont(font);
      canvas.SetBrush({back, plat::BrushStyle::Clear});
      canvas.TextOutCells(x, rect.top, columns(first, textLast), charWidth_);
    }
  };
  if (selFirst < selLast) {
    paintRun(from, selFirst, false);
    paintRun(selFirst, selLast, true);
    paintRun(selLast, to, false);
  } else {
    paintRun(from, to, false);
  }
  const int usedRight = rect.left + (to - from) * charWidth_;
  if (usedRight < rect.right) {
    canvas.SetBrush({back, plat::BrushStyle::Solid});
    canvas.FillRect({usedRight, rect.top, rect.right, rect.bottom});
  }
}

void TEditorCore::Scroll(plat::ScrollBarKind bar, plat::ScrollCode code, std::int32_t pos) {
  using plat::ScrollCode;
  if (bar == plat::ScrollBarKind::Vertical) {
    const std::int32_t lineCount = list_->LineCount();
    const std::int32_t lastTop = std::max(1, lineCount - visibleRows_ + 1);
    std::int32_t top = topLine_;
    switch (code) {
      case ScrollCode::LineUp: top -= 1; break;
      case ScrollCode::LineDown: top += 1; break;
      case ScrollCode::PageUp: top -= visibleRows_; break;
      case ScrollCode::PageDown: top += visibleRows_; break;
      case ScrollCode::ThumbPosition:
      case ScrollCode::ThumbTrack: top = LineOfThumb(pos, lineCount, visibleRows_, scrollBarsAlways_); break;
      case ScrollCode::Top: top = 1; break;
      case ScrollCode::Bottom: top = lastTop; break;
      case ScrollCode::EndScroll: return;
    }
    // A window scrolled past the last page by SetTopLine stays there until moved up.
    ScrollTo(std::clamp(top, 1, std::max(lastTop, topLine_)), leftColumn_);
  } else {
    const std::int32_t widest = std::max(0, HorizontalBar().max);
    std::int32_t left = leftColumn_;
    switch (code) {
      case ScrollCode::LineUp: left -= 1; break;
      case ScrollCode::LineDown: left += 1; break;
      case ScrollCode::PageUp: left -= visibleColumns_ - 1; break;
      case ScrollCode::PageDown: left += visibleColumns_ - 1; break;
      case ScrollCode::ThumbPosition:
      case ScrollCode::ThumbTrack: left = pos; break;
      case ScrollCode::Top: left = 0; break;
      case ScrollCode::Bottom: left = widest; break;
      case ScrollCode::EndScroll: return;
    }
    ScrollTo(topLine_, std::clamp(left, 0, widest));
  }
  // The caret keeps its place in the text.
  PlaceCaretOnScreen();
}

void TEditorCore::FocusChanged(bool /*focused*/) {
  if (hideSelection_) InvalidateSelection();
  CaretMoved();
}

// ---- Mouse ---------------------------------------------------------------

void TEditorCore::PointToLinePos(int x, int y, std::int32_t& line, std::int32_t& pos) const {
  if (y < 0) {
    line = topLine_ - 1;
  } else if (y >= visibleRows_ * lineHeight_) {
    line = topLine_ + visibleRows_;
  } else {
    line = y / lineHeight_ + topLine_;
  }
  line = std::clamp(line, 1, list_->LineCount());
  std::int32_t column = (x - leftMargin_ + charWidth_ / 2) / charWidth_ + 1 + leftColumn_;
  column = std::min(column, leftColumn_ + visibleColumns_);
  const std::string_view text = LineText(line);
  const auto length = static_cast<std::int32_t>(text.size());
  pos = std::max(1, list_->ColumnToPosition(text.data(), length, column));
  if (!scrollPastEnd_) pos = std::min(pos, length + 1);
}

void TEditorCore::MouseDownAt(int x, int y, plat::ShiftState shift) {
  if (list_->ParagraphCount() == 1 && list_->GetParagraphLength(1) == 0) return;
  tracking_ = true;
  trackRound_ = 0;
  trackShift_ = (shift & plat::ssShift) != 0;
  trackingLines_ = InMargin(x);
  if (trackingLines_) {
    std::int32_t line = 0, pos = 0;
    PointToLinePos(x, y, line, pos);
    std::int32_t column = 0;
    if (trackShift_) {
      LineColOf(anchor_, trackFirstLine_, column);
    } else {
      trackFirstLine_ = line;
    }
  }
  TrackMouse(x, y);
}

void TEditorCore::TrackMouse(int x, int y) {
  if (!tracking_) return;
  std::int32_t line = 0, pos = 0;
  PointToLinePos(x, y, line, pos);
  if (trackingLines_) {
    const std::int32_t top = topLine_;
    SelectLinesTo(line);
    if (topLine_ != top && HasWindow()) UpdateWindow();
  } else {
    MoveTo(line, pos, trackRound_ > 0 || trackShift_);
  }
  ++trackRound_;
}

void TEditorCore::MouseUpAt() { tracking_ = false; }

// Whole lines between the line where the drag started and `line`.
void TEditorCore::SelectLinesTo(std::int32_t line) {
  const std::int32_t lineCount = list_->LineCount();
  auto lineStart = [this, lineCount](std::int32_t n) {
    if (n > lineCount) {
      const std::int32_t last = list_->ParagraphCount();
      return TTextPos{last, list_->GetParagraphLength(last) + 1};
    }
    std::int32_t offset = 0;
    const std::int32_t para = list_->LineToPara(n, offset);
    return TTextPos{para, offset + 1};
  };
  InvalidateSelection();
  if (line >= trackFirstLine_) {
    anchor_ = lineStart(trackFirstLine_);
    SetCaretTextPos(lineStart(line + 1));
  } else {
    anchor_ = lineStart(trackFirstLine_ + 1);
    SetCaretTextPos(lineStart(line));
  }
  InvalidateSelection();
  CaretMoved();
}

void TEditorCore::DoubleClickAt(int x, int y, plat::ShiftState shift) {
  std::int32_t line = 0, pos = 0;
  PointToLinePos(x, y, line, pos);
  std::int32_t offset = 0;
  const std::int32_t para = list_->LineToPara(line, offset);
  const std::string_view text = list_->GetParagraph(para)->Text();
  TTextPos first{para, 1};
  TTextPos last{para, static_cast<std::int32_t>(text.size()) + 1};
  if (!InMargin(x)) {
    const TWordSpan word = WordAt(text, offset + pos - 1);
    first.pos = word.first + 1;
    last.pos = word.last + 1;
  }
  InvalidateSelection();
  if ((shift & plat::ssShift) != 0) {
    // The selection grows from its far end to cover the word.
    SetCaretTextPos(first < anchor_ ? first : last);
  } else {
    anchor_ = first;
    SetCaretTextPos(last);
  }
  InvalidateSelection();
  CaretMoved();
  tracking_ = false;
}

// ---- Search and replace ----------------------------------------------------

bool TEditorCore::AcceptMatch(std::string_view text, std::int32_t at, std::int32_t length, std::int32_t para,
                              const TScope& scope, bool wholeWords) const {
  const auto textLength = static_cast<std::int32_t>(text.size());
  if (wholeWords) {
    if (at > 0 && !IsWordDelimiter(text[static_cast<std::size_t>(at - 1)])) return false;
    if (at + length < textLength && !IsWordDelimiter(text[static_cast<std::size_t>(at + length)])) return false;
  }
  if (para < scope.first.para || para > scope.last.para) return false;
  if (para == scope.first.para && at + 1 < scope.first.pos) return false;
  if (para == scope.last.para && at + 1 + length > scope.last.pos) return false;
  return true;
}

std::int32_t TEditorCore::FindReplace(std::string_view findText, std::string_view replaceText, std::uint8_t options) {
  using namespace findopt;
  if (findText.empty()) return -1;
  // A replacement never puts a line break inside a paragraph.
  if (replaceText.find_first_of("\r\n") != std::string_view::npos && (options & (ReplaceOne | ReplaceAll)) != 0) {
    return -1;
  }
  const bool backward = (options & Backward) != 0;
  const bool matchCase = (options & MatchCase) != 0;
  const bool replaceAll = (options & ReplaceAll) != 0;
  const bool selectedOnly = (options & SelectedOnly) != 0;
  if (selectedOnly && !HasSelection()) return -1;

  BusyCursor busy;
  TEdit edit(*this, true);
  std::int32_t replaced = 0;
  TTextPos afterReplace = CaretTextPos();
  if ((options & (ReplaceOne | ReplaceAll)) != 0 && HasSelection() && SelectionBegin().para == SelectionEnd().para) {
    const std::string selected = SelectedText();
    const bool same = matchCase ? selected == findText
                                : FindText(selected, findText, 0, false) == 0 && selected.size() == findText.size();
    if (same) {
      const TTextPos begin = SelectionBegin();
      if (std::uint16_t code = InsertAtCaret(replaceText)) {
        EditError(code);
        return code;
      }
      replaced = 1;
      afterReplace = backward ? begin : CaretTextPos();
    }
  }

  const std::int32_t lastPara = list_->ParagraphCount();
  const TTextPos textEnd{lastPara + 1, 1};
  TScope scope;
  TTextPos start;
  if (selectedOnly) {
    scope = {SelectionBegin(), SelectionEnd()};
    start = backward ? scope.last : scope.first;
  } else if ((options & EntireScope) != 0) {
    scope = {{1, 1}, textEnd};
    start = backward ? TTextPos{lastPara, list_->GetParagraphLength(lastPara) + 1} : TTextPos{1, 1};
  } else {
    start = replaced > 0 ? afterReplace : CaretTextPos();
    scope = backward ? TScope{{1, 1}, start} : TScope{start, textEnd};
  }

  const auto patternLength = static_cast<std::int32_t>(findText.size());
  const auto replaceLength = static_cast<std::int32_t>(replaceText.size());
  TTextPos caret = CaretTextPos();
  auto replaceAt = [&](std::int32_t para, std::int32_t at) -> std::uint16_t {
    const std::uint16_t code = list_->ReplaceText(this, para, at + 1, patternLength, replaceText);
    if (code != eeNone) return code;
    ++replaced;
    const TTextAdjust change{TTextAdjust::Kind::BytesReplaced, para, at + 1, patternLength, replaceLength};
    AdjustPosition(change, scope.last.para, scope.last.pos);
    AdjustPosition(change, caret.para, caret.pos);
    return eeNone;
  };
  auto selectMatch = [&](std::int32_t para, std::int32_t at) {
    InvalidateSelection();
    const TTextPos first{para, at + 1};
    const TTextPos last{para, at + 1 + patternLength};
    anchor_ = backward ? last : first;
    SetCaretTextPos(backward ? first : last);
    InvalidateSelection();
    CaretMoved();
  };

  bool found = false;
  // Forwards, matches start at `limit` or after it; backwards, before it.
  const bool wholeWords = (options & WholeWordsOnly) != 0;
  std::int32_t para = start.para;
  std::int32_t limit = start.pos - 1;
  auto inScope = [&] {
    return backward ? para >= std::max(scope.first.para, 1)
                    : para <= std::min(scope.last.para, list_->ParagraphCount());
  };
  while (inScope()) {
    const std::string_view text = list_->GetParagraph(para)->Text();
    const std::int32_t at =
        backward ? FindTextBefore(text, findText, limit, matchCase) : FindText(text, findText, limit, matchCase);
    if (at < 0) {
      para += backward ? -1 : 1;
      limit = backward && para >= 1 ? list_->GetParagraphLength(para) + 1 : 0;
      continue;
    }
    if (!AcceptMatch(text, at, patternLength, para, scope, wholeWords)) {
      limit = backward ? at : at + 1;
      continue;
    }
    if (!replaceAll) {
      selectMatch(para, at);
      found = true;
      break;
    }
    if (std::uint16_t code = replaceAt(para, at)) {
      EditError(code);
      return code;
    }
    limit = backward ? at : at + replaceLength;
  }

  if (replaceAll && replaced > 0) {
    if (selectedOnly) {
      const bool caretAtEnd = CaretTextPos() >= anchor_;
      anchor_ = caretAtEnd ? scope.first : scope.last;
      SetCaretTextPos(caretAtEnd ? scope.last : scope.first);
    } else {
      SetCaretTextPos(caret);
      CollapseSelection();
    }
    UpdateScrollBars();
    if (HasWindow()) InvalidateArea({0, 0, ClientWidthOf(), ClientHeightOf()});
    CaretMoved();
  }
  if (replaced > 0) return replaced;
  return found ? 0 : -1;
}
