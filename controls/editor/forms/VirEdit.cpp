#include "controls/editor/forms/VirEdit.h"

#include <algorithm>

#include "controls/base/VirFiler.h"
#include "controls/editor/EditGlyphs.h"
#include "platform/SystemColors.h"

namespace {

// The margin cursor's hot spot: the tip of its arrow.
constexpr int kMarginCursorHotX = 11;
constexpr int kMarginCursorHotY = 0;

// Wheel notches of 120 units scroll three lines each.
constexpr int kWheelNotch = 120;
constexpr int kLinesPerNotch = 3;

}  // namespace

TVirCustomEditor::TVirCustomEditor(plat::Control& parent) : TVirEditBase(parent), color_(plat::clWindow) {
  carets_.SetOverwriteCaret(std::make_shared<TVirCaret>(TVirCaretShape::csBlock));
}

TVirCustomEditor::~TVirCustomEditor() { KillTimer(kTrackTimer); }

void TVirCustomEditor::SetCaretIns(std::shared_ptr<TVirCaret> caret) { carets_.SetInsertCaret(std::move(caret)); }

void TVirCustomEditor::SetCaretOvr(std::shared_ptr<TVirCaret> caret) { carets_.SetOverwriteCaret(std::move(caret)); }

void TVirCustomEditor::SetInsertMode(bool insert) {
  carets_.SetInsertMode(insert);
  TEditorCore::SetInsertMode(insert);
}

void TVirCustomEditor::SetColor(plat::Color color) {
  color_ = color;
  Invalidate();
}

void TVirCustomEditor::SetWantTab(bool want) {
  WantTab = want;
  SetWantTabs(want);
}

// Forms of an older layout hold one "Margin" for both margins; it is read, never written.
void TVirCustomEditor::DefineProperties(TVirFiler& filer) {
  filer.DefineProperty(
      "Margin", [this](TVirReader& reader) { SetMargin(reader.ReadInteger()); }, [](TVirWriter&) {}, false);
}

void TVirCustomEditor::CreateWnd() {
  TVirBase::CreateWnd();
  SetWantTabs(WantTab);
  RecalcLayout(false);
}

void TVirCustomEditor::RecreateWindow() {
  if (HandleAllocated()) RecreateWnd();
}

plat::Color TVirCustomEditor::ControlColor() const { return plat::ColorToRGB(color_); }

plat::TextMetrics TVirCustomEditor::MeasureFont(const plat::Font& font) {
  plat::Canvas& canvas = measure_.GetCanvas();
  canvas.SetFont(font);
  return canvas.GetTextMetrics();
}

void TVirCustomEditor::ApplyScrollBar(plat::ScrollBarKind bar, const TScrollRange& range) {
  SetScrollRange(bar, range.min, range.max);
  SetScrollPage(bar, bar == plat::ScrollBarKind::Vertical ? VisibleRowCount() : VisibleColumnCount());
  SetScrollPos(bar, range.pos);
  ShowScrollBar(bar, range.max > range.min);
}

void TVirCustomEditor::PlaceCaret(int x, int y, bool visible) {
  carets_.SetCharHeight(LineHeight());
  carets_.SetCharWidth(CharWidth());
  carets_.SetPosition(x, y);
  carets_.SetVisible(visible);
}

void TVirCustomEditor::Paint(plat::Canvas& canvas) { PaintEditor(canvas); }

void TVirCustomEditor::Resized() {
  // Showing or hiding a scroll bar resizes the client area while measuring.
  if (resizing_ || !HandleAllocated()) return;
  resizing_ = true;
  RecalcLayout(false);
  resizing_ = false;
}

// ---- Keys ----------------------------------------------------------------

void TVirCustomEditor::KeyDown(int& key, plat::ShiftState shift) {
  const std::uint16_t command = EntryCommands().Translate(key, shift);
  // What the key types follows it: a key that is a command, or part of one, types nothing.
  swallowChar_ = !TypesText(command) || key == plat::vk::Back;
  if (command != ccNotCommand && command != ccPartialSequence && command != ccBadSequence && DoCommand(command, 0)) {
    key = 0;
    return;
  }
  if (key == plat::vk::Tab && WantTab) {
    TabKey();
    key = 0;
  } else if (key == plat::vk::Return && WantEnter) {
    NewLineKey();
    key = 0;
  }
}

void TVirCustomEditor::KeyPress(char32_t& ch) {
  if (!swallowChar_ && ch >= 32) DoCommand(ccChar, ch);
}

// ---- Focus ---------------------------------------------------------------

void TVirCustomEditor::FocusGained(plat::Control* losing) {
  TVirBase::FocusGained(losing);
  if (TVirController* controller = Controller()) SetInsertMode(controller->InsertMode());
  carets_.SetCharHeight(LineHeight());
  carets_.SetCharWidth(CharWidth());
  carets_.SetSystemCaretActive(true);
  FocusChanged(true);
}

void TVirCustomEditor::FocusLost(plat::Control* gaining) {
  TVirBase::FocusLost(gaining);
  carets_.SetVisible(false);
  carets_.SetSystemCaretActive(false);
  FocusChanged(false);
  if (TVirController* controller = Controller()) controller->SetInsertMode(InsertMode());
}

// ---- Mouse ---------------------------------------------------------------

void TVirCustomEditor::UpdateCursor(int x) {
  const bool inMargin = InMargin(x);
  if (inMargin == inMargin_) return;
  inMargin_ = inMargin;
  if (inMargin) {
    static const TGlyphStrip cursor = LoadPictureResource("32668");
    SetCursorPicture({cursor.width, cursor.height, ArgbPixels(cursor)}, kMarginCursorHotX, kMarginCursorHotY);
  } else {
    SetCursor(plat::CursorShape::Default);
  }
}

void TVirCustomEditor::MouseDown(plat::MouseButton button, plat::ShiftState shift, int x, int y) {
  if (button != plat::MouseButton::Left) return;
  if (!Focused()) {
    // A field whose validation failed keeps the focus; the click is dropped.
    TVirController* controller = Controller();
    if (controller != nullptr && controller->ErrorPending()) return;
    if (CanFocus()) SetFocus();
  }
  UpdateCursor(x);
  if ((shift & plat::ssDouble) != 0) {
    DoubleClickAt(x, y, shift);
    return;
  }
  mouse_ = {x, y};
  MouseDownAt(x, y, shift);
}

// Outside the window the text scrolls from a timer, faster the further out
// the mouse is.
void TVirCustomEditor::FollowMouse(int x, int y) {
  mouse_ = {x, y};
  TrackMouse(x, y);
  const int outside = std::max({-y, y - ClientHeight(), -x, x - ClientWidth()});
  if (outside < 0 || !Tracking()) {
    KillTimer(kTrackTimer);
    trackInterval_ = 0;
    return;
  }
  const std::uint32_t interval = TrackingInterval(ScrollArrowSize(), outside);
  if (interval != trackInterval_) {
    trackInterval_ = interval;
    SetTimer(kTrackTimer, interval);
  }
}

void TVirCustomEditor::MouseMove(plat::ShiftState, int x, int y) {
  if (Tracking()) {
    FollowMouse(x, y);
    return;
  }
  UpdateCursor(x);
}

void TVirCustomEditor::TimerTick(int id) {
  if (id == kTrackTimer && Tracking()) FollowMouse(mouse_.x, mouse_.y);
}

void TVirCustomEditor::MouseUp(plat::MouseButton button, plat::ShiftState, int, int) {
  if (button != plat::MouseButton::Left) return;
  MouseUpAt();
  KillTimer(kTrackTimer);
  trackInterval_ = 0;
}

void TVirCustomEditor::MouseWheel(plat::ShiftState, int delta, int, int) {
  const int lines = delta / kWheelNotch * kLinesPerNotch;
  const auto code = lines < 0 ? plat::ScrollCode::LineDown : plat::ScrollCode::LineUp;
  for (int i = 0; i < std::abs(lines); ++i) Scroll(plat::ScrollBarKind::Vertical, code, 0);
}

void TVirCustomEditor::Scrolled(plat::ScrollBarKind bar, plat::ScrollCode code, int pos) { Scroll(bar, code, pos); }
