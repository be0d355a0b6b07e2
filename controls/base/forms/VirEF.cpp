#include "controls/base/forms/VirEF.h"

#include <algorithm>

#include "controls/base/StrRes.h"
#include "platform/Clipboard.h"
#include "platform/Desktop.h"
#include "platform/Form.h"
#include "platform/SystemColors.h"

namespace {

constexpr std::uint32_t kMsgNextControl = 0x0028;  // the platform's "next dialog control" message
constexpr int kDefaultWidth = 130;
constexpr int kDefaultHeight = 25;

// The context menu's texts in the library catalogue.
constexpr std::uint16_t kMenuRestore = 34287, kMenuCut = 34288, kMenuCopy = 34289, kMenuPaste = 34290,
                        kMenuDelete = 34291, kMenuSelectAll = 34292;

}  // namespace

// The form's controller as the model sees it.
class TVirBaseEntryField::ControllerLink : public EntryFieldController {
 public:
  explicit ControllerLink(TVirBaseEntryField& field) : field_(field) {}
  TVirController& Get() const { return field_.RequireController(); }

  bool ErrorPending() const override { return Get().ErrorPending(); }
  void SetErrorPending(bool pending) override { Get().SetErrorPending(pending); }
  std::string ErrorText() const override { return Get().ErrorText(); }
  void SetErrorText(const std::string& text) override { Get().SetErrorText(text); }
  bool InsertMode() const override { return Get().InsertMode(); }
  void SetInsertMode(bool insert) override { Get().SetInsertMode(insert); }
  int Epoch() const override { return Get().Epoch(); }
  void HandleError(EntryFieldModel&, std::uint16_t code, const std::string& text) override {
    Get().DoOnError(&field_, code, text);
  }

 private:
  TVirBaseEntryField& field_;
};

TVirBaseEntryField::TVirBaseEntryField(plat::Control& parent, const EntryFieldIntl& intl, TFieldKind kind)
    : EntryFieldModel(intl, kind),
      TVirBase(parent),
      disabledColors_(plat::clWindow, plat::clGrayText),
      errorColors_(plat::clRed, plat::clBlack),
      highlightColors_(plat::clHighlight, plat::clHighlightText),
      controlCharColor_(plat::clRed),
      carets_(*this),
      link_(std::make_unique<ControllerLink>(*this)) {
  SetBounds(Left(), Top(), kDefaultWidth, kDefaultHeight);
  SetCursor(plat::CursorShape::IBeam);
  for (TVirColors* colors : {&disabledColors_, &errorColors_, &highlightColors_})
    colors->OnChange = [this] { Invalidate(); };
}

TVirBaseEntryField::~TVirBaseEntryField() {
  // A field that dies while its report is on its way takes the form's pending
  // state with it, so that the next failure on the form is reported.
  if (ReturningAfterError()) {
    if (TVirController* c = Controller()) c->SetErrorPending(false);
  }
}

// ---- Window ------------------------------------------------------------------------

void TVirBaseEntryField::CreateWnd() {
  TVirBase::CreateWnd();
  WindowCreated();
  measure_.GetCanvas().SetFont(GetFont());
}

void TVirBaseEntryField::RecreateWindow() {
  if (HandleAllocated()) RecreateWnd();
}

int TVirBaseEntryField::CharHeight() const {
  measure_.GetCanvas().SetFont(GetFont());
  return measure_.GetCanvas().TextHeight("Wg");
}

int TVirBaseEntryField::TextWidthOf(std::string_view text) const {
  measure_.GetCanvas().SetFont(GetFont());
  return text.empty() ? 0 : measure_.GetCanvas().TextWidth(text);
}

int TVirBaseEntryField::FieldAverageCharWidth() const {
  measure_.GetCanvas().SetFont(GetFont());
  return measure_.GetCanvas().GetTextMetrics().aveCharWidth;
}

int TVirBaseEntryField::PositionAtX(int x) const {
  const std::string display = GetDisplayString();
  auto width = [this](std::string_view t) { return TextWidthOf(t); };
  const int origin = TextOrigin(width, ClientWidth());
  const int first = FirstVisible();
  const int n = static_cast<int>(display.size());
  for (int i = first; i < n; ++i) {
    const int left = origin + TextWidthOf(std::string_view(display).substr(first, i - first));
    const int right = origin + TextWidthOf(std::string_view(display).substr(first, i + 1 - first));
    if (x < (left + right) / 2) return i;
  }
  return n;
}

int TVirBaseEntryField::TextTop() const { return std::max(0, (ClientHeight() - CharHeight()) / 2); }

void TVirBaseEntryField::AdjustHeight() {
  if (Option(TEntryOption::AutoSize)) SetBounds(Left(), Top(), Width(), AutoSizeHeight(CharHeight(), Ctl3D()));
}

void TVirBaseEntryField::SetBorderStyle(TBorderStyle style) {
  if (style == borderStyle_) return;
  borderStyle_ = style;
  RecreateWindow();
}

void TVirBaseEntryField::AssignBorderAndColor(const TVirBaseEntryField& source) {
  SetBorderStyle(source.BorderStyle());
  SetColor(source.GetColor());
}

void TVirBaseEntryField::Resized() {
  TVirBase::Resized();
  UpdateCaret();
  Invalidate();
}

void TVirBaseEntryField::DefineProperties(TVirFiler& filer) {
  auto define = [&filer](std::string_view name, const TRangeLimit& limit, std::function<void(const TRangeLimit&)> set) {
    filer.DefineProperty(
        name,
        [name, set](TVirReader& reader) {
          std::vector<std::uint8_t> bytes = reader.ReadBinary();
          TRangeLimit read{};
          if (bytes.size() != read.size()) throw EFilerError("Stream read error: " + std::string(name));
          std::copy(bytes.begin(), bytes.end(), read.begin());
          set(read);
        },
        [&limit](TVirWriter& writer) { writer.WriteBinary(std::vector<std::uint8_t>(limit.begin(), limit.end())); },
        true);
  };
  define("RangeHigh", RangeHigh(), [this](const TRangeLimit& limit) { SetRangeHigh(limit); });
  define("RangeLow", RangeLow(), [this](const TRangeLimit& limit) { SetRangeLow(limit); });
}

void TVirBaseEntryField::DefineTypeAndMask(TVirFiler& filer, const std::function<int()>& type,
                                           const std::function<void(int)>& setType,
                                           const std::function<std::string()>& mask,
                                           const std::function<void(const std::string&)>& setMask) {
  filer.DefineProperty(
      "DataType", [setType](TVirReader& reader) { setType(static_cast<int>(reader.ReadInteger())); },
      [type](TVirWriter& writer) { writer.WriteInteger(type()); }, true);
  filer.DefineProperty(
      "PictureMask", [setMask](TVirReader& reader) { setMask(reader.ReadString()); },
      [mask](TVirWriter& writer) { writer.WriteString(mask()); }, true);
}

// ---- Hooks of the model -------------------------------------------------------------

EntryFieldController* TVirBaseEntryField::FieldController() const { return Controller() ? link_.get() : nullptr; }

void TVirBaseEntryField::UpdateCaret() {
  if (!IsFocused() || !HandleAllocated()) return;
  int x = PlaceCaretAndScroll([this](std::string_view t) { return TextWidthOf(t); }, ClientWidth());
  carets_.SetInsertMode(InsertMode());
  carets_.SetCharHeight(CharHeight());
  carets_.SetCharWidth(std::max(1, TextWidthOf("0")));
  carets_.SetPosition(std::max(x, 0), TextTop());
  carets_.SetVisible(true);
}

void TVirBaseEntryField::Beep() { plat::Beep(); }

void TVirBaseEntryField::TakeFocus() {
  if (CanFocus()) SetFocus();
}

void TVirBaseEntryField::PutClipboardText(std::string_view text) {
  plat::ClipboardContent content;
  content.text = std::string(text);
  plat::TheClipboard().Set(content);
}

std::optional<std::string> TVirBaseEntryField::GetClipboardText() {
  if (!plat::TheClipboard().HasText()) return std::nullopt;
  return plat::TheClipboard().GetText();
}

void TVirBaseEntryField::PostReport(std::uint16_t code) { PostMessage(kVirMsgReportError, code); }

void TVirBaseEntryField::PostRefocus() { RequireController().PostFocus(*this); }

void TVirBaseEntryField::PostPreEdit() {
  if (TVirController* c = Controller()) c->PostPreEdit(*this, lastLosing_);
}

void TVirBaseEntryField::PostPostEdit() {
  if (TVirController* c = Controller()) c->PostPostEdit(*this, lastGaining_);
}

void TVirBaseEntryField::HandleMessage(const plat::Message& message) {
  TVirBase::HandleMessage(message);
  if (message.msg == kVirMsgReportError) {
    ReportError(static_cast<std::uint16_t>(message.wParam));
  } else if (message.msg == kMsgNextControl) {
    if (plat::Form* form = ParentForm()) form->SelectNextControl(message.wParam == 0);
  }
}

void TVirBaseEntryField::MoveToNextControl() { PostMessage(kMsgNextControl, 0); }
void TVirBaseEntryField::MoveToPrevControl() { PostMessage(kMsgNextControl, 1); }

// ---- Focus ---------------------------------------------------------------------------

void TVirBaseEntryField::FocusGained(plat::Control* losing) {
  TVirBase::FocusGained(losing);
  if (TVirController* c = Controller()) c->EntryCommands().ResetState();
  lastLosing_ = losing;
  FocusEntered();
  lastLosing_ = nullptr;
  carets_.SetSystemCaretActive(true);
  UpdateCaret();
}

void TVirBaseEntryField::FocusLost(plat::Control* gaining) {
  TVirBase::FocusLost(gaining);
  carets_.SetSystemCaretActive(false);
  const bool sameForm = gaining != nullptr && gaining != this && gaining->ParentForm() == ParentForm();
  TVirController* c = Controller();
  const bool special = sameForm && c != nullptr && c->IsSpecialControl(gaining);
  lastGaining_ = gaining;
  FocusLeft(sameForm, special);
  lastGaining_ = nullptr;
}

// ---- Keys and mouse ---------------------------------------------------------------------

void TVirBaseEntryField::KeyDown(int& key, plat::ShiftState shift) {
  TVirBase::KeyDown(key, shift);
  if (key == 0 || key == plat::vk::Shift) return;
  // Enter and Escape belong to the form's default and cancel buttons.
  if (key == plat::vk::Return || key == plat::vk::Escape) return;
  const bool alt = (shift & plat::ssAlt) != 0;
  if (alt && (key == plat::vk::Tab || key == plat::vk::Menu)) return;
  std::uint16_t command = EntryCommands().Translate(key, shift);
  const bool keypadDigit = alt && key >= plat::vk::Numpad0 && key <= plat::vk::Numpad0 + 9;
  if (alt ? SysKeyCommand(command, keypadDigit) : KeyCommand(command)) key = 0;
  UpdateCaret();
}

void TVirBaseEntryField::KeyPress(char32_t& ch) {
  TVirBase::KeyPress(ch);
  if (ch == 0) return;
  CharTyped(ch);
  UpdateCaret();
}

void TVirBaseEntryField::MouseDown(plat::MouseButton button, plat::ShiftState shift, int x, int y) {
  TVirBase::MouseDown(button, shift, x, y);
  if (button != plat::MouseButton::Left) return;
  lastClick_ = {x, y};
  // The second press of a double click is the double click itself (DblClick).
  if ((shift & plat::ssDouble) != 0) return;
  LeftButtonDown(x, y, (shift & plat::ssShift) != 0);
  UpdateCaret();
}

void TVirBaseEntryField::MouseMove(plat::ShiftState shift, int x, int y) {
  TVirBase::MouseMove(shift, x, y);
  MouseDragged(x, y, IsFocused(), (shift & plat::ssLeft) != 0);
  UpdateCaret();
}

void TVirBaseEntryField::MouseUp(plat::MouseButton button, plat::ShiftState shift, int x, int y) {
  TVirBase::MouseUp(button, shift, x, y);
  if (button == plat::MouseButton::Right) ShowContextMenu(x, y);
}

void TVirBaseEntryField::DblClick() {
  TVirBase::DblClick();
  LeftButtonDoubleClick(lastClick_.x, lastClick_.y);
  UpdateCaret();
}

// ---- Context menu --------------------------------------------------------------------------

void TVirBaseEntryField::RestoreClick() {
  Restore();
  UpdateCaret();
}

void TVirBaseEntryField::ShowContextMenu(int x, int y) {
  if (!IsFocused()) TakeFocus();
  const TContextMenuState state = ContextMenuState(plat::TheClipboard().HasText());
  plat::MenuItem menu(nullptr);
  auto add = [&](std::uint16_t text, bool enabled, void (TVirBaseEntryField::*action)()) {
    menu.Add(GetLibraryString(text), {}, [this, action] { (this->*action)(); }).SetEnabled(enabled);
  };
  add(kMenuRestore, state.restore, &TVirBaseEntryField::RestoreClick);
  menu.Add("-");
  add(kMenuCut, state.cut, &TVirBaseEntryField::CutClick);
  add(kMenuCopy, state.copy, &TVirBaseEntryField::CopyClick);
  add(kMenuPaste, state.paste, &TVirBaseEntryField::PasteClick);
  add(kMenuDelete, state.del, &TVirBaseEntryField::DeleteClick);
  menu.Add("-");
  add(kMenuSelectAll, state.selectAll, &TVirBaseEntryField::SelectAllClick);
  plat::PopupMenuAt(menu, ClientToScreen({x, y}));
  plat::ProcessMessages();
  UpdateCaret();
}

// ---- Painting ---------------------------------------------------------------------------------

void TVirBaseEntryField::Paint(plat::Canvas& canvas) {
  const TPaintState state = PaintState();
  plat::Color back = state == TPaintState::Disabled ? disabledColors_.BackColor()
                     : state == TPaintState::Error  ? errorColors_.BackColor()
                                                    : plat::clWindow;
  canvas.SetBrush({plat::ColorToRGB(back), plat::BrushStyle::Solid});
  canvas.FillRect({0, 0, ClientWidth(), ClientHeight()});
  PaintText(canvas);
}

void TVirBaseEntryField::PaintText(plat::Canvas& canvas) {
  const TPaintState state = PaintState();
  const plat::Color text = state == TPaintState::Disabled ? disabledColors_.TextColor()
                           : state == TPaintState::Error  ? errorColors_.TextColor()
                                                          : GetFont().color;
  const std::string display = GetDisplayString();
  auto width = [this](std::string_view t) { return TextWidthOf(t); };
  int x = TextOrigin(width, ClientWidth());
  const int y = TextTop();
  plat::Font font = GetFont();
  for (const TPaintRun& run : PaintRuns()) {
    std::string_view part = std::string_view(display).substr(run.first, run.count);
    switch (run.kind) {
      case TPaintRun::Selected:
        font.color = plat::ColorToRGB(highlightColors_.TextColor());
        canvas.SetBrush({plat::ColorToRGB(highlightColors_.BackColor()), plat::BrushStyle::Solid});
        break;
      case TPaintRun::ControlChar:
        font.color = plat::ColorToRGB(controlCharColor_);
        canvas.SetBrush({plat::clWhite, plat::BrushStyle::Clear});
        break;
      default:
        font.color = plat::ColorToRGB(text);
        canvas.SetBrush({plat::clWhite, plat::BrushStyle::Clear});
        break;
    }
    canvas.SetFont(font);
    canvas.TextOut(x, y, part);
    x += TextWidthOf(part);
  }
}
