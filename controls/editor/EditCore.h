#pragma once
// The multi-line editor without its window: the text (a paragraph list, maybe
// shared with other editors), the caret and the selection, the layout in
// rows and columns, the scroll bars, painting on a canvas, the commands, the
// mouse rules and search and replace.
//
// The window that shows the editor implements the hooks at the end of the
// class: its client size, the scroll bars, invalidation, the caret and focus.
// Positions are 1-based: (line, position in the line) over display lines,
// (paragraph, position) over the stored text. Columns are display columns,
// tabs expanded.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "controls/base/VirBorder.h"
#include "controls/base/VirCmd.h"
#include "controls/base/VirColors.h"
#include "controls/editor/EditGlyphs.h"
#include "controls/editor/EditLayout.h"
#include "controls/editor/ParaList.h"
#include "controls/editor/VirFxFnt.h"
#include "platform/Canvas.h"
#include "platform/Types.h"

enum class TTabType { ttReal, ttFixed, ttSmart };
enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

// Options of FindReplace, combined as bits.
namespace findopt {
constexpr std::uint8_t Backward = 2, MatchCase = 4, EntireScope = 8, ReplaceOne = 16, ReplaceAll = 32,
                       WholeWordsOnly = 64, SelectedOnly = 128;
}  // namespace findopt

// A place in the stored text.
struct TTextPos {
  std::int32_t para = 1;
  std::int32_t pos = 1;
  auto operator<=>(const TTextPos&) const = default;
};

// What an owner-drawing handler receives for one line.
struct TDrawLineArgs {
  plat::Canvas& canvas;
  plat::Rect rect;
  std::string_view text;
  std::int32_t line;
  std::int32_t pos;                                   // the first position drawn (from the horizontal offset)
  std::int32_t count;                                 // bytes from there
  std::int32_t beginLine, beginCol, endLine, endCol;  // the selection
};

class TEditorCore : public TParaListEditor {
 public:
  TEditorCore();
  virtual ~TEditorCore();
  TEditorCore(const TEditorCore&) = delete;
  TEditorCore& operator=(const TEditorCore&) = delete;

  // ---- Properties ---------------------------------------------------------
  bool AutoIndent = false;
  bool TrimWhiteSpace = true;
  bool WantEnter = true;
  bool WantTab = false;
  TTabType TabType = TTabType::ttReal;

  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle style);
  std::int64_t ByteLimit() const { return list_->ByteLimit(); }
  virtual void SetByteLimit(std::int64_t limit);
  TVirFixedFont& FixedFont() { return font_; }
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool hide);
  // The selection's colours; system colours are resolved when painting.
  TVirColors& HighlightColors() { return highlight_; }
  bool InsertMode() const { return insertMode_; }
  virtual void SetInsertMode(bool insert);
  int LeftMargin() const { return leftMargin_; }
  void SetLeftMargin(int margin);
  int RightMargin() const { return rightMargin_; }
  void SetRightMargin(int margin);
  // Forms of an older layout store one "Margin" for both.
  void SetMargin(int margin);
  std::int32_t ParaLengthLimit() const { return list_->ParaLengthLimit(); }
  void SetParaLengthLimit(std::int32_t limit);
  std::int32_t ParaLimit() const { return list_->ParaLimit(); }
  void SetParaLimit(std::int32_t limit);
  bool ReadOnly() const { return GetReadOnly(); }
  void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle style);
  bool ScrollBarsAlways() const { return scrollBarsAlways_; }
  void SetScrollBarsAlways(bool always);
  bool ScrollPastEnd() const { return scrollPastEnd_; }
  void SetScrollPastEnd(bool on);
  bool ShowBookmarks() const { return showBookmarks_; }
  void SetShowBookmarks(bool show);
  int TabSize() const { return list_->TabSize(); }
  void SetTabSize(int size);
  std::int32_t UndoBufferSize() const { return list_->UndoBuffer().Size(); }
  void SetUndoBufferSize(std::uint16_t size);
  bool WordWrap() const { return list_->WordWrap(); }
  void SetWordWrap(bool on);
  bool WrapAtLeft() const { return wrapAtLeft_; }
  void SetWrapAtLeft(bool on);
  std::int32_t WrapColumn() const { return list_->WrapColumn(); }
  void SetWrapColumn(std::int32_t column);
  bool WrapToWindow() const { return wrapToWindow_; }
  void SetWrapToWindow(bool on);

  // ---- Events -------------------------------------------------------------
  std::function<void(TEditorCore&)> OnChange;
  // Returns whether the handler drew the line.
  std::function<bool(TEditorCore&, const TDrawLineArgs&)> OnDrawLine;
  std::function<void(TEditorCore&, std::uint16_t& errorCode)> OnError;
  std::function<void(TEditorCore&, std::int32_t line, std::int32_t column)> OnShowStatus;
  std::function<void(TEditorCore&, std::int32_t line)> OnTopLineChanged;
  std::function<void(TEditorCore&, int command)> OnUserCommand;

  // ---- Text operations ----------------------------------------------------
  TParaList& Paragraphs() { return *list_; }
  const TParaList& Paragraphs() const { return *list_; }
  void ClearText();
  std::int32_t CountParagraphs() const { return list_->LineCount(); }
  // Display line n with tabs expanded to blanks.
  std::string ReadParagraph(std::int32_t n) const;
  void InsertStringAtCaret(std::string_view text) { InsertTextAtCaret(text); }
  void InsertTextAtCaret(std::string_view text);
  void SelectAllText(bool caretAtEnd);
  void SetSelectionRange(std::int32_t line1, std::int32_t col1, bool caretAtEnd, std::int32_t col2, std::int32_t line2);
  void RecalcLayout(bool repaint);
  void MoveCaretToLineCol(std::int32_t line, std::int32_t col);
  void SetTopLine(std::int32_t line);
  virtual void AttachEditor(TEditorCore& other);
  void SetMarker(int index);
  void SetMarkerAt(int index, std::int32_t line, std::int32_t col);
  void GotoMarker(int index);
  bool CanUndo() const;
  bool CanRedo() const;
  void Undo();
  void Redo();
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();
  // Finds and maybe replaces; see findopt. -1: nothing found, 0: a match is
  // selected, n: replacements made, or the error code of a failed one.
  std::int32_t FindReplace(std::string_view findText, std::string_view replaceText, std::uint8_t options);

  // Runs one command; false when the editor does not handle it.
  virtual bool DoCommand(int command, char32_t ch);
  // Enter and Tab as keys the editor wants (WantEnter, WantTab).
  void NewLineKey();
  void TabKey();

  // ---- Caret, selection and view ----------------------------------------
  std::int32_t CaretLine() const { return caretLine_; }
  std::int32_t CaretPos() const { return caretPos_; }  // in the line
  TTextPos CaretTextPos() const { return {caretPara_, caretLineOffset_ + caretPos_}; }
  std::int32_t CaretColumn() const;
  bool HasSelection() const { return anchor_ != CaretTextPos(); }
  TTextPos SelectionBegin() const { return std::min(anchor_, CaretTextPos()); }
  TTextPos SelectionEnd() const { return std::max(anchor_, CaretTextPos()); }
  std::string SelectedText() const;
  std::int32_t TopLine() const { return topLine_; }
  std::int32_t LeftColumn() const { return leftColumn_; }
  std::int32_t VisibleRowCount() const { return visibleRows_; }
  std::int32_t VisibleColumnCount() const { return visibleColumns_; }
  int CharWidth() const { return charWidth_; }
  int LineHeight() const { return lineHeight_; }
  TVertScale VerticalScroll() const;
  TScrollRange VerticalBar() const;
  TScrollRange HorizontalBar() const;

  // ---- Window messages ----------------------------------------------------
  // Paints the whole client area (the window clips to what is invalid).
  void PaintEditor(plat::Canvas& canvas);
  void Scroll(plat::ScrollBarKind bar, plat::ScrollCode code, std::int32_t pos);
  // Measures the font and the window again; runs when the window is made or resized.
  void Measure();
  void FocusChanged(bool focused);
  // Mouse: a press starts tracking, which goes on with each TrackMouse round
  // (on moves, and from a timer while the mouse is outside the window) until
  // the button goes up.
  void MouseDownAt(int x, int y, plat::ShiftState shift);
  void TrackMouse(int x, int y);
  void MouseUpAt();
  bool Tracking() const { return tracking_; }
  void DoubleClickAt(int x, int y, plat::ShiftState shift);
  bool InMargin(int x) const { return x <= leftMargin_; }
  // The (line, position in the line) under a point of the client area.
  void PointToLinePos(int x, int y, std::int32_t& line, std::int32_t& pos) const;

  // The bookmark glyphs; none while ShowBookmarks is off.
  const TGlyphStrip& BookmarkGlyphs() const { return glyphs_; }

 protected:
  virtual bool GetReadOnly() const { return readOnly_; }
  // Fires OnDrawLine; true when the handler drew the line.
  virtual bool DoDrawLine(const TDrawLineArgs& args);
  void DoOnChange();
  void DoOnUserCommand(int command);
  // Hands a paragraph-list error to OnError or raises EEditorError.
  void EditError(std::uint16_t code);

  // ---- What the window gives --------------------------------------------
  virtual bool HasWindow() const = 0;
  virtual int ClientWidthOf() const = 0;
  virtual int ClientHeightOf() const = 0;
  virtual void ApplyScrollBar(plat::ScrollBarKind bar, const TScrollRange& range) = 0;
  virtual void InvalidateArea(const plat::Rect& rect) = 0;
  // Paints the invalid area now.
  virtual void UpdateWindow() = 0;
  virtual bool HasFocus() const = 0;
  virtual bool IsEnabled() const = 0;
  virtual plat::Color ControlColor() const = 0;
  // Places the caret at (x, y), or hides it when `visible` is false.
  virtual void PlaceCaret(int x, int y, bool visible) = 0;
  // A canvas that measures text in the window's font.
  virtual plat::TextMetrics MeasureFont(const plat::Font& font) = 0;
  virtual void RecreateWindow() = 0;

  // ---- TParaListEditor ----------------------------------------------------
  TParaListEditor* NextInRing() const override { return next_; }
  void TextChanged(TParaListEditor* sender, std::int32_t firstLine, std::int32_t lastLine) override;
  void PositionsMoved(const TTextAdjust& change) override;
  void LayoutChanged() override;

 private:
  class TEdit;
  friend class TEdit;

  void JoinRingOf(TEditorCore& other);
  void LeaveRing();
  void NewList(bool wordWrap, std::int32_t wrapColumn, int tabSize, std::int64_t byteLimit, std::int32_t paraLimit,
               std::int32_t paraLengthLimit, std::uint16_t undoSize);

  // Caret placement.
  void SetCaret(std::int32_t line, std::int32_t pos);
  void SetCaretTextPos(TTextPos at);
  void SyncCaretLine();
  std::int32_t ClampPos(std::int32_t line, std::int32_t pos) const;
  std::string_view LineText(std::int32_t line) const;
  void MoveTo(std::int32_t line, std::int32_t pos, bool extend);
  void MoveToTextPos(TTextPos at, bool extend);
  void MoveVertically(std::int32_t line, bool extend);
  void CaretMoved();
  void PlaceCaretOnScreen();
  void ScrollCaretIntoView();
  void ScrollTo(std::int32_t topLine, std::int32_t leftColumn);
  void CollapseSelection() { anchor_ = CaretTextPos(); }
  void LineColOf(TTextPos at, std::int32_t& line, std::int32_t& col) const;

  // Movement commands.
  bool MoveCommand(int command);
  std::int32_t CharacterBefore(std::int32_t para, std::int32_t pos) const;
  std::int32_t CharacterAfter(std::int32_t para, std::int32_t pos) const;
  void MoveLeft(bool extend);
  void MoveRight(bool extend);
  void MoveWordLeft(bool extend);
  void MoveWordRight(bool extend);
  void MoveEnd(bool extend);
  void PageMove(int direction, bool extend);
  void TopOfPage(bool extend);
  void BottomOfPage(bool extend);

  // Editing.
  std::uint16_t InsertAtCaret(std::string_view text);
  void Replay(bool redo);
  bool DeleteSelection();
  void Backspace();
  void DeleteAtCaret();
  void DeleteBol();
  void DeleteEol();
  void DeleteLine();
  void DeleteWord();
  void TypeChar(char32_t ch);
  void NewLine(bool split, bool moveCaret);
  void InsertTab();
  void InsertBlanks(std::int32_t count);
  std::int32_t SmartTabTarget() const;
  std::int32_t IndentationOf(std::int32_t line, std::int32_t upToColumn) const;

  // Display.
  void MeasureFont();
  void UpdateScrollBars();
  void InvalidateLines(std::int32_t first, std::int32_t last);
  void InvalidateSelection();
  plat::Rect LineRect(std::int32_t line) const;
  void PaintLine(plat::Canvas& canvas, std::int32_t line, const plat::Rect& rect, bool showSelection);
  void PaintMargin(plat::Canvas& canvas, std::int32_t line, int y);
  void LoadGlyphs();
  void FontChanged();

  // Mouse.
  void SelectLinesTo(std::int32_t line);
  void SelectWordOrParagraph(int x, int y, plat::ShiftState shift);

  // Search.
  struct TScope {
    TTextPos first, last;
  };
  bool AcceptMatch(std::string_view text, std::int32_t at, std::int32_t length, std::int32_t para, const TScope& scope,
                   bool wholeWords) const;

  std::shared_ptr<TParaList> list_;
  TEditorCore* next_ = this;  // the ring of editors sharing list_
  TEditorCore* prev_ = this;

  TVirFixedFont font_;
  TBorderStyle borderStyle_ = TBorderStyle::bsSingle;
  bool hideSelection_ = true;
  TVirColors highlight_;
  bool insertMode_ = true;
  int leftMargin_ = 15;
  int rightMargin_ = 5;
  bool readOnly_ = false;
  TScrollStyle scrollBars_ = TScrollStyle::ssBoth;
  bool scrollBarsAlways_ = false;
  bool scrollPastEnd_ = false;
  bool showBookmarks_ = true;
  bool wrapAtLeft_ = true;
  bool wrapToWindow_ = false;
  TGlyphStrip glyphs_;

  std::int32_t caretLine_ = 1;
  std::int32_t caretPos_ = 1;
  std::int32_t caretPara_ = 1;
  std::int32_t caretLineOffset_ = 0;
  TTextPos anchor_;
  std::int32_t topLine_ = 1;
  std::int32_t leftColumn_ = 0;
  int charWidth_ = 8;
  int lineHeight_ = 16;
  std::int32_t visibleRows_ = 1;
  std::int32_t visibleColumns_ = 1;
  bool editing_ = false;  // this editor is changing the text; it places its caret itself
  bool tracking_ = false;
  bool trackingLines_ = false;
  std::int32_t trackRound_ = 0;
  bool trackShift_ = false;
  std::int32_t trackFirstLine_ = 0;
};
