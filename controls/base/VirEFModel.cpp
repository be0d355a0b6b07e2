#include "controls/base/VirEFModel.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "controls/base/StrRes.h"
#include "controls/base/VirEFIntl.h"
#include "controls/base/VirExcept.h"
#include "rtl/Convert.h"
#include "rtl/ScopeGuard.h"
#include "rtl/TextChars.h"

namespace {

constexpr std::uint16_t kFirstEntryErrorText = 34179;  // texts of the codes 256..262
constexpr std::uint16_t kEntryErrorText = 34278;
constexpr std::uint16_t kParameterInvalid = 34188;
constexpr std::uint16_t kNotValidForType = 34180;
constexpr std::uint32_t kSelectAllEnd = 65535;

constexpr std::uint32_t Bit(TEntryOption o) { return std::uint32_t{1} << static_cast<int>(o); }

constexpr std::uint32_t kDefaultOptions = Bit(TEntryOption::AutoSelect) | Bit(TEntryOption::AutoSize) |
                                          Bit(TEntryOption::BeepOnError) | Bit(TEntryOption::CaretToEnd) |
                                          Bit(TEntryOption::InsertPushes) | Bit(TEntryOption::TrimBlanks);

// Sets a flag for the length of a scope, whatever leaves it.
auto FlagScope(bool& flag) {
  flag = true;
  return rtl::ScopeExit([&flag] { flag = false; });
}

std::string_view TrimBlanks(std::string_view t) {
  auto first = t.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return t.substr(first, t.find_last_not_of(' ') - first + 1);
}

std::uint8_t KindFlags(TFieldKind kind) {
  switch (kind) {
    case TFieldKind::Picture: return kPictureFieldFlag;
    case TFieldKind::Numeric: return kNumericFieldFlag;
    default: return 0;
  }
}

}  // namespace

std::string EntryErrorText(std::uint16_t code, std::string_view storedText) {
  if (code >= kApplicationErrorCodes) return std::string(storedText);
  if (code >= efeOutOfRange && code <= efeEmptyOrFull)
    return GetLibraryString(static_cast<std::uint16_t>(kFirstEntryErrorText + code - efeOutOfRange));
  return GetLibraryString(kEntryErrorText);
}

bool RefusedWhenReadOnly(std::uint16_t command) {
  switch (command) {
    case ccBack:
    case ccCtrlChar:
    case ccCut:
    case ccDec:
    case ccDel:
    case ccDelBol:
    case ccDelEol:
    case ccDelLine:
    case ccDelWord:
    case ccInc:
    case ccPaste:
    case ccRestore:
    case ccChar: return true;
    default: return false;
  }
}

bool ExtendsSelection(std::uint16_t command) {
  switch (command) {
    case ccExtendLeft:
    case ccExtendRight:
    case ccExtendHome:
    case ccExtendEnd:
    case ccExtWordLeft:
    case ccExtWordRight: return true;
    default: return false;
  }
}

bool KeepsSelection(std::uint16_t command, bool shift) {
  if (ExtendsSelection(command)) return true;
  switch (command) {
    case ccRestore:
    case efc::MouseMove:
    case efc::DoubleClick: return true;
    case efc::MouseDown: return shift;
    default: return false;
  }
}

EntryFieldModel::EntryFieldModel(const EntryFieldIntl& intl, TFieldKind kind)
    : intl_(&intl), kind_(kind), typeByte_(KindFlags(kind)), options_(kDefaultOptions) {}

EntryFieldModel::~EntryFieldModel() = default;

// ---- Options and properties ------------------------------------------------

bool EntryFieldModel::Option(TEntryOption option) const { return (options_ & Bit(option)) != 0; }

void EntryFieldModel::SetOption(TEntryOption option, bool on) {
  using O = TEntryOption;
  if (Option(option) == on) return;
  options_ = on ? options_ | Bit(option) : options_ & ~Bit(option);
  if (IsLoading()) return;
  // The pairs that exclude each other, and the string field's blanks rule.
  auto clear = [this](O o) { options_ &= ~Bit(o); };
  auto set = [this](O o) { options_ |= Bit(o); };
  switch (option) {
    case O::ArrowIncDec:
      if (on) clear(O::AutoAdvanceUpDown);
      return;
    case O::AutoAdvanceUpDown:
      if (on) clear(O::ArrowIncDec);
      return;
    case O::AutoSelect:
    case O::BeepOnError: return;
    case O::AutoSize:
      if (on) AdjustHeight();
      return;
    case O::ForceInsert:
      if (on) clear(O::ForceOvertype);
      break;
    case O::ForceOvertype:
      if (on) clear(O::ForceInsert);
      break;
    case O::RightAlign: UpdateCaret(); break;
    case O::RightJustify:
      if (on && DataType() == pftString) set(O::TrimBlanks);
      break;
    case O::TrimBlanks:
      if (!on && kind_ == TFieldKind::Picture && DataType() == pftString) clear(O::RightJustify);
      break;
    default: break;
  }
  if (option != O::RightAlign) RefreshOptions();
  RepaintField();
}

void EntryFieldModel::SetOptionRaw(TEntryOption option, bool on) {
  options_ = on ? options_ | Bit(option) : options_ & ~Bit(option);
}

void EntryFieldModel::RefreshOptions() {
  if (!IsLoading()) AdjustOptions();
}

void EntryFieldModel::AdjustOptions() {
  using O = TEntryOption;
  auto clear = [this](std::initializer_list<O> list) {
    for (O o : list) options_ &= ~Bit(o);
  };
  const int t = DataType();
  if (kind_ == TFieldKind::Simple) {
    if (t == pftString) clear({O::RightJustify, O::StripLiterals});
    if (IsNumericDataType(t)) clear({O::TrimBlanks, O::RightJustify, O::StripLiterals});
  }
  if (kind_ == TFieldKind::Picture) {
    if (IsNumericDataType(t)) clear({O::TrimBlanks, O::StripLiterals});
    if (t == pftDate || t == pftTime) clear({O::TrimBlanks, O::RightJustify, O::StripLiterals});
  }
  if (t == pftChar || t == pftBoolean || t == pftYesNo)
    clear({O::CaretToEnd, O::InsertPushes, O::ForceInsert, O::ForceOvertype, O::TrimBlanks, O::RightJustify,
           O::StripLiterals});
  if (kind_ == TFieldKind::Numeric)
    clear({O::CaretToEnd, O::ForceInsert, O::ForceOvertype, O::InsertPushes, O::TrimBlanks, O::RightJustify,
           O::StripLiterals, O::RightAlign});
}

void EntryFieldModel::SetMaxLength(int length) {
  if (length < 1 || length >= kBufferSize) return;  // the edit buffer's bounds hold while loading too
  if (IsLoading()) {
    maxLength_ = length;
    MaxLengthChanged();
    return;
  }
  if (length == maxLength_ || length < MaskLength()) return;
  maxLength_ = length;
  if (static_cast<int>(text_.size()) > length) text_.resize(length);
  ClampCaretAndSelection();
  MaxLengthChanged();
  RecreateWindow();
}

void EntryFieldModel::SetTextMargin(int margin) {
  if (margin < 2) return;
  textMargin_ = margin;
  RepaintField();
}

void EntryFieldModel::SetEpoch(int year) {
  if (year == 0 || (year >= 1600 && year <= 3999)) epoch_ = year;
}

int EntryFieldModel::EffectiveEpoch() const {
  if (epoch_ != 0) return epoch_;
  if (const EntryFieldController* c = FieldController()) return c->Epoch();
  return 0;
}

void EntryFieldModel::SetZeroDisplay(TZeroDisplay mode) {
  zeroDisplay_ = mode;
  RepaintField();
}

void EntryFieldModel::SetZeroDisplayValue(double value) {
  if (value == zeroDisplayValue_) return;
  zeroDisplayValue_ = value;
  RepaintField();
}

void EntryFieldModel::SetPadChar(char c) {
  padChar_ = c;
  RepaintField();
}

void EntryFieldModel::SetPasswordChar(char c) {
  passwordChar_ = c;
  if (c == 0) options_ &= ~Bit(TEntryOption::PasswordMode);
  RepaintField();
}

void EntryFieldModel::SetDecimalPlaces(int places) {
  if (places < 0 || places > 255) return;
  decimalPlaces_ = places;
  RecreateWindow();
}

void EntryFieldModel::SetMaskText(std::string_view mask) {
  mask = mask.substr(0, kBufferSize - 1);
  std::vector<std::uint8_t> value(std::max<std::size_t>(GetDataSize(), 1));
  TransferValueOut(value);
  mask_ = std::string(mask);
  value.resize(std::max<std::size_t>(value.size(), GetDataSize()));
  TransferValueIn(value);
}

void EntryFieldModel::AssignDataType(TPictureDataType type) {
  typeByte_ = static_cast<std::uint8_t>((typeByte_ & ~kDataTypeBits) | type);
  rangeLow_ = DefaultRangeLow(type);
  rangeHigh_ = DefaultRangeHigh(type);
  RefreshOptions();
}

bool EntryFieldModel::RangeLimitsEqual() const {
  const int t = DataType();
  if (t == pftChar || t == pftBoolean || t == pftYesNo) return rangeLow_[0] == rangeHigh_[0];
  if (IsRealDataType(t)) return RealOfLimit(rangeLow_, t) == RealOfLimit(rangeHigh_, t);
  return std::equal(rangeLow_.begin(), rangeLow_.begin() + 4, rangeHigh_.begin());
}

// ---- Value protocol ----------------------------------------------------------

std::uint16_t EntryFieldModel::GetDataSize() const {
  // Computed on every call, so that no change of length, mask, type or
  // StripLiterals leaves a stale size behind.
  return DataSizeOf(typeByte_, maxLength_, Option(TEntryOption::StripLiterals), mask_);
}

void EntryFieldModel::CheckValueView(std::size_t size) const {
  if (DataType() >= kDataTypeCount || size < GetDataSize()) throw EVirException(GetLibraryString(kParameterInvalid));
}

std::uint16_t EntryFieldModel::ValidateAndGetValue(std::span<std::uint8_t> data) {
  CheckValueView(data.size());
  const auto scope = FlagScope(inValidateAndGetValue_);
  std::uint16_t code = ValidateValue();
  if (code == 0) TransferValueOut(data);
  return code;
}

void EntryFieldModel::SetValue(std::span<const std::uint8_t> data) {
  if (inUserValidation_) return;
  CheckValueView(data.size());
  const auto scope = FlagScope(inSetValue_);
  TransferValueIn(data);
}

void EntryFieldModel::SetValueText(std::string_view text) {
  if (inUserValidation_) return;
  const TPictureDataType t = DataType();
  if (t == pftString) {
    std::vector<std::uint8_t> value(std::max<std::size_t>(GetDataSize(), kBufferSize));
    std::copy_n(text.begin(), std::min<std::size_t>(text.size(), kBufferSize - 1), value.begin());
    SetValue(value);
    return;
  }
  if (t == pftBoolean || t == pftYesNo) {
    char first = text.empty() ? 0 : static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    std::uint8_t value = first != 0 && (first == intl_->TrueChar() || first == intl_->YesChar());
    SetValue(std::span<const std::uint8_t>(&value, 1));
    return;
  }
  auto limit = ReadRangeText(text, RangeFormat());
  if (!limit) throw EEntryFieldError(GetLibraryString(kNotValidForType));
  TRangeLimit value = RangeLimitToValue(*limit, t);
  SetValue(value);
}

bool EntryFieldModel::ValidateEntry() { return ValidateContents(!Option(TEntryOption::SoftValidation)) == 0; }

std::string EntryFieldModel::GetDisplayText() const { return GetDisplayString().substr(0, kBufferSize - 1); }

TRangeFormat EntryFieldModel::RangeFormat() const {
  TRangeFormat f;
  f.dataType = DataType();
  f.digits = DigitBaseOfMask(mask_);
  f.decimals = decimalPlaces_;
  f.epoch = EffectiveEpoch();
  f.intl = intl_;
  return f;
}

std::string EntryFieldModel::GetRangeHi() const { return RangeText(rangeHigh_, RangeFormat()); }
std::string EntryFieldModel::GetRangeLo() const { return RangeText(rangeLow_, RangeFormat()); }
void EntryFieldModel::SetRangeHi(std::string_view text) { SetRangeText(rangeHigh_, text); }
void EntryFieldModel::SetRangeLo(std::string_view text) { SetRangeText(rangeLow_, text); }

void EntryFieldModel::SetRangeText(TRangeLimit& limit, std::string_view text) {
  auto read = ReadRangeText(text, RangeFormat());
  if (read) {
    limit = *read;
    return;
  }
  if (IsLoading()) return;
  const int t = DataType();
  std::string mask = t == pftDate ? intl_->RangeDateMask() : t == pftTime ? intl_->RangeTimeMask() : std::string();
  throw EInvalidRangeValue(t, mask);
}

void EntryFieldModel::IncreaseValue(bool wrap, double delta) {
  IncreaseValueBy(wrap, delta);
  selStart_ = selEnd_ = caretPos_;
  RepaintField();
}

void EntryFieldModel::DecreaseValue(bool wrap, double delta) { IncreaseValue(wrap, -delta); }

void EntryFieldModel::MoveCaret(int delta) {
  if (!focused_) return;
  TEditMsg msg;
  for (int i = 0; i < std::abs(delta); ++i) ExecuteCommand(msg, delta > 0 ? ccRight : ccLeft);
}

void EntryFieldModel::ValueLoaded(bool fromKeyboard) {
  if (validating_) return;
  if (!focused_) inError_ = false;
  modified_ = modifiedOnce_ = false;
  RepaintField();
  if (focused_) {
    PlaceCaretOnEnter();
    UpdateCaret();
    if (!fromKeyboard) SelectAll();
  }
}

// ---- Text, caret and selection -----------------------------------------------

void EntryFieldModel::SetText(std::string_view text) { SetTextRaw(std::string(text)); }

void EntryFieldModel::SetTextRaw(std::string text) {
  // Cut to the room there is, never inside a UTF-8 character.
  if (static_cast<int>(text.size()) > maxLength_)
    text.resize(rtl::CharacterPrefixLength(text, static_cast<std::size_t>(std::max(maxLength_, 0))));
  text_ = std::move(text);
  ClampCaretAndSelection();
}

void EntryFieldModel::ClampCaretAndSelection() {
  const int n = static_cast<int>(text_.size());
  caretPos_ = std::clamp(caretPos_, 0, n);
  selStart_ = std::clamp(selStart_, 0, n);
  selEnd_ = std::clamp(selEnd_, selStart_, n);
  firstVisible_ = std::clamp(firstVisible_, 0, caretPos_);
}

void EntryFieldModel::SetCaretRaw(int pos) { caretPos_ = std::clamp(pos, 0, static_cast<int>(text_.size())); }

void EntryFieldModel::SetSelectionRaw(int start, int end) {
  const int n = static_cast<int>(text_.size());
  selStart_ = std::clamp(start, 0, n);
  selEnd_ = std::clamp(end, selStart_, n);
}

void EntryFieldModel::SetSelection(int start, int end) {
  if (end < start) return;
  SetSelectionRaw(start, end);
  if (kind_ == TFieldKind::Numeric && selEnd_ > selStart_) SetSelectionRaw(0, static_cast<int>(text_.size()));
}

void EntryFieldModel::SetCaretPos(int pos) {
  if (!focused_) return;
  SetCaretRaw(pos);  // a caret past the end would let an edit index beyond the text
  UpdateCaret();
}

std::uint32_t EntryFieldModel::EmGetSel(std::uint32_t* start, std::uint32_t* end) const {
  if (start) *start = static_cast<std::uint32_t>(selStart_);
  if (end) *end = static_cast<std::uint32_t>(selEnd_);
  return static_cast<std::uint32_t>(selStart_) | (static_cast<std::uint32_t>(selEnd_) << 16);
}

void EntryFieldModel::EmSetSel(std::uint32_t start, std::uint32_t end) {
  if (start >= kSelectAllEnd)
    selStart_ = selEnd_ = caretPos_;
  else if (start == 0 && end >= kSelectAllEnd)
    SetSelectionRaw(0, static_cast<int>(text_.size()));
  else if (start <= end)
    SetSelection(static_cast<int>(start), static_cast<int>(end));  // clamped to the text
  RepaintField();
}

void EntryFieldModel::EmSetModify(bool modified) {
  if (modified)
    modified_ = modifiedOnce_ = true;
  else
    modified_ = false;
}

void EntryFieldModel::TextEdited() {
  modified_ = modifiedOnce_ = true;
  DoOnChange();
}

// ---- Commands and keys -----------------------------------------------------------

void EntryFieldModel::ExecuteCommand(TEditMsg& msg, std::uint16_t command) {
  if (command == ccChar && msg.ch == 0) return;
  if (IsReadOnly() && RefusedWhenReadOnly(command)) {
    if (Option(TEntryOption::BeepOnError)) Beep();
    return;
  }
  if (command >= ccUserFirst) {
    DoOnUserCommand(command);
    command = efc::Handled;
  }
  ExecuteEditCommand(msg, command);
}

bool EntryFieldModel::KeyCommand(std::uint16_t command) {
  if (command == ccUndo) command = ccRestore;
  if (command == ccNone) return false;
  if (command == ccIns && (Option(TEntryOption::ForceInsert) || Option(TEntryOption::ForceOvertype))) return true;
  if (command == ccCopy) {
    CopyToClipboard();
  } else if (command == ccCut) {
    CutToClipboard();
  } else if (command == ccPaste) {
    PasteFromClipboard();
  } else {
    TEditMsg msg;
    msg.fromKeyboard = true;
    ExecuteCommand(msg, command);
  }
  return true;
}

bool EntryFieldModel::SysKeyCommand(std::uint16_t command, bool keypadDigit) {
  if (keypadDigit) ArmCharacter();
  return KeyCommand(command);
}

void EntryFieldModel::CharTyped(char32_t c) {
  if (!charFollows_) return;
  charFollows_ = false;
  TEditMsg msg;
  msg.ch = c;
  msg.fromKeyboard = true;
  ExecuteCommand(msg, ccChar);
}

std::string EntryFieldModel::SelectionForClipboard() const {
  const std::string display = GetDisplayString();
  // Never past the text or its display, whatever the selection says.
  const int end = std::min({selEnd_, static_cast<int>(text_.size()), static_cast<int>(display.size())});
  std::string copy;
  for (int i = std::max(selStart_, 0); i < end; ++i) {
    auto c = static_cast<unsigned char>(text_[i]);
    copy += c >= 1 && c < 32 ? text_[i] : display[i];
  }
  return copy;
}

void EntryFieldModel::CopySelectionToClipboard() {
  std::string copy = SelectionForClipboard();
  if (!copy.empty()) PutClipboardText(copy);
}

void EntryFieldModel::CutToClipboard() {
  CopySelectionToClipboard();
  TEditMsg msg;
  ExecuteCommand(msg, ccCut);
}

void EntryFieldModel::CopyToClipboard() {
  CopySelectionToClipboard();
  TEditMsg msg;
  ExecuteCommand(msg, ccCopy);
}

void EntryFieldModel::PasteFromClipboard() {
  std::optional<std::string> text = GetClipboardText();
  if (!text) return;
  TEditMsg msg;
  msg.text = *text;
  ExecuteCommand(msg, ccPaste);
}

void EntryFieldModel::ClearSelection() {
  TEditMsg msg;
  ExecuteCommand(msg, ccCut);
}

void EntryFieldModel::SetWindowText(std::string_view text) {
  SelectAll();
  TEditMsg msg;
  msg.text = text;
  ExecuteCommand(msg, ccPaste);
}

TContextMenuState EntryFieldModel::ContextMenuState(bool clipboardHasText) const {
  const bool selection = selEnd_ > selStart_;
  const bool writable = !IsReadOnly();
  TContextMenuState s;
  s.restore = modified_;
  s.copy = selection;
  s.cut = s.del = selection && writable;
  s.paste = writable && clipboardHasText;
  s.selectAll = static_cast<int>(text_.size()) > SelectionLength();
  return s;
}

void EntryFieldModel::Restore() {
  if (!restoreCopy_) return;
  SetTextRaw(*restoreCopy_);
  PlaceCaretOnEnter();
  SetSelectionRaw(0, static_cast<int>(text_.size()));
  modified_ = false;
  RepaintField();
  DoOnChange();
}

bool EntryFieldModel::AdvanceUpDown(std::uint16_t command) {
  if (!Option(TEntryOption::AutoAdvanceUpDown)) return false;
  command == ccUp ? MoveToPrevControl() : MoveToNextControl();
  return true;
}

bool EntryFieldModel::OneCharacterMove(std::uint16_t command, int last) {
  switch (command) {
    case ccUp:
    case ccDown:
      if (!AdvanceUpDown(command)) AutoAdvance(command == ccUp ? -1 : MaxLength(), command, last);
      return true;
    case ccLeft:
    case ccWordLeft: AutoAdvance(-1, command, last); return true;
    case ccRight:
    case ccWordRight: AutoAdvance(MaxLength(), command, last); return true;
    default: return false;
  }
}

EntryFieldModel::TArrowAction EntryFieldModel::ArrowUpDown(std::uint16_t command) {
  if (AdvanceUpDown(command)) return TArrowAction::Advanced;
  if (!Option(TEntryOption::ArrowIncDec) || Option(TEntryOption::ReadOnly)) return TArrowAction::None;
  command == ccUp ? IncreaseValue(true, 1) : DecreaseValue(true, 1);
  return TArrowAction::Stepped;
}

std::vector<std::uint8_t> EntryFieldModel::ValueCopy() {
  std::vector<std::uint8_t> value(std::max<std::size_t>(GetDataSize(), 1));
  TransferValueOut(value);
  return value;
}

void EntryFieldModel::ResetEqualRange() {
  if (!RangeLimitsEqual()) return;
  rangeLow_ = DefaultRangeLow(DataType());
  rangeHigh_ = DefaultRangeHigh(DataType());
}

bool EntryFieldModel::AutoAdvance(int target, std::uint16_t command, int last) {
  if (target < FirstEditPosition()) {
    if (!Option(TEntryOption::AutoAdvanceLeftRight)) return false;
    MoveToPrevControl();
    return true;
  }
  if (target > last) {
    const bool advance =
        command == ccChar ? Option(TEntryOption::AutoAdvanceChar) : Option(TEntryOption::AutoAdvanceLeftRight);
    if (!advance) return false;
    MoveToNextControl();
    return true;
  }
  return false;
}

int EntryFieldModel::WordStartAt(int pos) const {
  const int n = static_cast<int>(text_.size());
  pos = std::clamp(pos, 0, n);
  while (pos > 0 && (pos >= n || text_[static_cast<std::size_t>(pos)] == ' ')) --pos;
  while (pos > 0 && text_[static_cast<std::size_t>(pos - 1)] != ' ') --pos;
  return pos;
}

int EntryFieldModel::WordEndAt(int pos) const {
  const int n = static_cast<int>(text_.size());
  while (pos < n && text_[static_cast<std::size_t>(pos)] != ' ') ++pos;
  while (pos < n && text_[static_cast<std::size_t>(pos)] == ' ') ++pos;
  return pos;
}

// ---- Mouse ---------------------------------------------------------------------

int EntryFieldModel::CharacterUnderMouse(int x) {
  const std::string display = GetDisplayString();
  const int average = std::max(FieldAverageCharWidth(), 1);  // a font without a width still scrolls
  // Left of the field it scrolls back by whole characters, more the further out.
  for (int steps = x < 0 ? (-x + average) / average : 0; steps > 0 && firstVisible_ > 0; --steps)
    firstVisible_ = static_cast<int>(rtl::PreviousCharacter(display, static_cast<std::size_t>(firstVisible_)));
  const int first = std::min(firstVisible_, static_cast<int>(display.size()));
  auto width = [this](std::string_view t) { return FieldTextWidth(t); };
  const int origin = TextOrigin(width, FieldClientWidth());
  const std::string_view visible = std::string_view(display).substr(static_cast<std::size_t>(first));
  // A click falls between two characters, never inside a UTF-8 one.
  for (std::size_t i = 0, next; i < visible.size(); i = next) {
    next = rtl::NextCharacter(visible, i);
    const int left = width(visible.substr(0, i));
    const int right = width(visible.substr(0, next));
    if (origin + (left + right) / 2 > x) return first + static_cast<int>(i);
  }
  return first + static_cast<int>(visible.size());
}

void EntryFieldModel::LeftButtonDown(int x, int y, bool shift) {
  if (!focused_) {
    mouseDownBeforeFocus_ = true;
    selStart_ = selEnd_ = caretPos_;
    TakeFocus();
    return;
  }
  TEditMsg msg;
  msg.x = x;
  msg.y = y;
  msg.shift = shift;
  ExecuteCommand(msg, efc::MouseDown);
}

void EntryFieldModel::MouseDragged(int x, int y, bool captured, bool buttonDown) {
  if (!captured || !buttonDown) return;
  TEditMsg msg;
  msg.x = x;
  msg.y = y;
  ExecuteCommand(msg, efc::MouseMove);
}

void EntryFieldModel::LeftButtonDoubleClick(int x, int y) {
  if (!focused_) return;
  TEditMsg msg;
  msg.x = x;
  msg.y = y;
  ExecuteCommand(msg, efc::DoubleClick);
}

// ---- Focus ---------------------------------------------------------------------

void EntryFieldModel::SetInsertMode(bool insert) {
  insertMode_ = insert;
  UpdateCaret();
}

void EntryFieldModel::FocusEntered() {
  focused_ = true;
  const bool forced = Option(TEntryOption::ForceInsert) || Option(TEntryOption::ForceOvertype);
  EntryFieldController* controller = FieldController();
  if (controller && !forced) insertMode_ = controller->InsertMode();
  const bool reportPending = controller && controller->ErrorPending();
  // Another field's report is on its way: this field is only passed through.
  const bool passingThrough = reportPending && lastError_ == 0;
  enteredWhileReportPending_ = passingThrough;
  if (!quietFocusChange_) {
    if (!passingThrough) {
      if (!returnAfterError_) modified_ = false;
      PostPreEdit();
      restoreCopy_ = text_;
    }
    if (!mouseDownBeforeFocus_) {
      PlaceCaretOnEnter();
      if (Option(TEntryOption::AutoSelect) && !reportPending) SelectAll();
    }
  }
  returnAfterError_ = mouseDownBeforeFocus_ = quietFocusChange_ = false;
  // No report on its way: a failure of this field has been reported.
  if (!reportPending) lastValidationFailed_ = false;
  if (controller && !passingThrough) controller->SetErrorPending(false);
  if (Option(TEntryOption::ForceInsert)) insertMode_ = true;
  if (Option(TEntryOption::ForceOvertype)) insertMode_ = false;
  UpdateCaret();
  RepaintField();
}

void EntryFieldModel::FocusLeft(bool toSameForm, bool toSpecialControl) {
  quietFocusChange_ = !toSameForm;
  EntryFieldController* controller = FieldController();
  const bool forced = Option(TEntryOption::ForceInsert) || Option(TEntryOption::ForceOvertype);
  if (controller && !forced) controller->SetInsertMode(insertMode_);
  if (!lastValidationFailed_ && !enteredWhileReportPending_) {
    if (toSameForm && modified_) options_ &= ~Bit(TEntryOption::Uninitialized);
    if (!toSpecialControl)
      Validate(true);
    else
      ValidateValue();
  }
  focused_ = false;
  if (toSameForm && !quietFocusChange_) PostPostEdit();
  if (!quietFocusChange_) MoveCaretToStart();
  RepaintField();
}

// ---- Validation and reports ----------------------------------------------------------

bool EntryFieldModel::RequiredButMissing() const {
  return Option(TEntryOption::InputRequired) && !IsReadOnly() &&
         (IsEmpty() || (Option(TEntryOption::Uninitialized) && !modified_));
}

bool EntryFieldModel::Validate(bool report) {
  if (!IsFieldVisible() || !IsFieldEnabled()) return true;
  lastError_ = 0;
  if (RequiredButMissing()) {
    lastError_ = efeRequired;
  } else {
    const auto scope = FlagScope(validating_);
    lastError_ = ValidateValue();
  }
  caretPos_ = std::min(caretPos_, static_cast<int>(text_.size()));
  const bool wasInError = inError_;
  const bool soft = Option(TEntryOption::SoftValidation);
  if (lastError_ == 0) {
    inError_ = false;
  } else if (report && soft) {
    inError_ = true;  // the focus may leave; the field shows its error colours
  } else {
    if (soft) inError_ = true;
    lastValidationFailed_ = returnAfterError_ = true;
    if (focused_) quietFocusChange_ = true;
    EntryFieldController* controller = FieldController();
    if (!controller) throw ENoControllerAssigned();
    PostRefocus();
    if (!controller->ErrorPending()) PostReport(lastError_);
    controller->SetErrorPending(true);
  }
  if (inError_ != wasInError) RepaintField();
  return lastError_ == 0 || (report && soft);
}

std::uint16_t EntryFieldModel::ValidateContents(bool report) {
  if (!IsFieldEnabled()) return 0;
  lastError_ = 0;
  const bool wasInError = inError_;
  if (RequiredButMissing()) {
    lastError_ = efeRequired;
  } else {
    const auto scope = FlagScope(validating_);
    lastError_ = ValidateValue();
  }
  if (report && lastError_ != 0) PostReport(lastError_);
  if (lastError_ == 0)
    inError_ = false;
  else if (Option(TEntryOption::SoftValidation))
    inError_ = true;
  if (inError_ != wasInError) RepaintField();
  return lastError_;
}

void EntryFieldModel::ReportError(std::uint16_t code) {
  if (code == 0) return;
  EntryFieldController* controller = FieldController();
  std::string stored = controller ? controller->ErrorText() : std::string();
  std::string text = EntryErrorText(code, stored);
  if (controller && text != stored) controller->SetErrorText(text);
  // The report's own window (an error box) may take the focus from the field:
  // the failure it reports is not checked again meanwhile.
  lastValidationFailed_ = true;
  const std::weak_ptr<const void> alive = lifetime_.Watch();
  DoOnError(code, text);
  if (!alive.expired()) lastValidationFailed_ = false;
}

void EntryFieldModel::DoOnChange() {
  if (OnChange && !inSetValue_) OnChange(*this);
}

void EntryFieldModel::DoOnError(std::uint16_t code, const std::string& message) {
  if (OnError) {
    OnError(*this, code, message);
    return;
  }
  EntryFieldController* controller = FieldController();
  if (!controller) throw ENoControllerAssigned();
  controller->HandleError(*this, code, message);
}

void EntryFieldModel::DoOnUserCommand(std::uint16_t command) {
  if (OnUserCommand) OnUserCommand(*this, command);
}

void EntryFieldModel::DoOnUserValidation(std::uint16_t& code) {
  if (!OnUserValidation) return;
  const auto scope = FlagScope(inUserValidation_);
  OnUserValidation(*this, code);
}

// ---- The field classes' defaults ------------------------------------------------------

void EntryFieldModel::MoveCaretToEnd() { caretPos_ = static_cast<int>(text_.size()); }

void EntryFieldModel::MoveCaretToStart() { caretPos_ = firstVisible_ = 0; }

void EntryFieldModel::PlaceCaretOnEnter() {
  if (Option(TEntryOption::CaretToEnd))
    MoveCaretToEnd();
  else
    MoveCaretToStart();
}

bool EntryFieldModel::IsEmpty() const {
  return std::all_of(text_.begin(), text_.end(), [](char c) { return c == ' '; });
}

std::string EntryFieldModel::GetDisplayString() const {
  std::string display = text_;
  for (char& c : display) {
    if (static_cast<unsigned char>(c) < 32) c = static_cast<char>(c + 64);
  }
  const bool hideZero = zeroDisplay_ == zdHide || (zeroDisplay_ == zdHideUntilModified && !modifiedOnce_);
  if (IsNumericDataType(DataType()) && !focused_ && hideZero) {
    std::string number = text_;
    std::replace(number.begin(), number.end(), intl_->DecimalChar(), '.');
    auto value = rtl::TryStrToFloat(number);
    if (value && *value == zeroDisplayValue_) display.assign(display.size(), ' ');
  }
  return display;
}

// ---- Display and painting -------------------------------------------------------------

int EntryFieldModel::PlaceCaretAndScroll(const std::function<int(std::string_view)>& width, int clientWidth) {
  const std::string display = GetDisplayString();
  const int caret = std::min(caretPos_, static_cast<int>(display.size()));
  const int edit = FirstEditPosition();
  if (caret == edit || caret == edit + 1) firstVisible_ = 0;
  if (caret < firstVisible_) firstVisible_ = caret;
  const int room = clientWidth - textMargin_ - 1;
  rightAligned_ = Option(TEntryOption::RightAlign) && width(display) < room;
  if (rightAligned_) firstVisible_ = 0;
  auto visible = [&] { return std::string_view(display).substr(firstVisible_, caret - firstVisible_); };
  // Scroll by whole characters until the caret fits; a field too narrow for
  // any text stops at the caret.
  while (firstVisible_ < caret && width(visible()) >= room)
    firstVisible_ = static_cast<int>(rtl::NextCharacter(display, static_cast<std::size_t>(firstVisible_)));
  if (kind_ == TFieldKind::Numeric) return clientWidth - textMargin_ - 1;
  return TextOrigin(width, clientWidth) + width(visible()) - 2;
}

int EntryFieldModel::TextOrigin(const std::function<int(std::string_view)>& width, int clientWidth) const {
  if (kind_ == TFieldKind::Numeric) {  // the trimmed text, against the right margin
    const std::string display = GetDisplayString();
    return clientWidth - width(TrimBlanks(display)) - textMargin_;
  }
  if (rightAligned_) return clientWidth - width(GetDisplayString()) - textMargin_;
  return textMargin_;
}

std::vector<TPaintRun> EntryFieldModel::PaintRuns() const {
  const std::string display = GetDisplayString();
  std::vector<TPaintRun> runs;
  for (int i = firstVisible_; i < static_cast<int>(display.size()); ++i) {
    TPaintRun::Kind kind = TPaintRun::Text;
    if (focused_ && i >= selStart_ && i < selEnd_)
      kind = TPaintRun::Selected;
    else if (i < static_cast<int>(text_.size()) && static_cast<unsigned char>(text_[i]) < 32)
      kind = TPaintRun::ControlChar;
    if (!runs.empty() && runs.back().kind == kind)
      ++runs.back().count;
    else
      runs.push_back({i, 1, kind});
  }
  return runs;
}

TPaintState EntryFieldModel::PaintState() const {
  if (!IsFieldEnabled()) return TPaintState::Disabled;
  if (inError_) return TPaintState::Error;
  return TPaintState::Normal;
}

void EntryFieldModel::WindowCreated() {
  caretPos_ = firstVisible_ = 0;
  selStart_ = selEnd_ = 0;
  const int t = DataType();
  if (Option(TEntryOption::InputRequired) && t >= pftChar && t <= pftComp) options_ |= Bit(TEntryOption::Uninitialized);
  RefreshOptions();
  AdjustHeight();
  rightAligned_ = Option(TEntryOption::RightAlign);
}
