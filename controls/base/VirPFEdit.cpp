// The picture field's two editors: the one-character editor of the Char,
// Boolean and YesNo types, and the mask editor of every other type. Both
// change the text only in picture positions; literals stay where the mask
// puts them. Selection ends that lie past the text (extending to the end puts
// the moving end one past it) are clamped wherever they are used.

#include <algorithm>
#include <cmath>

#include "controls/base/VirEFIntl.h"
#include "controls/base/VirPFModel.h"
#include "controls/base/VirUserData.h"

void PictureFieldModel::ExecuteEditCommand(TEditMsg& msg, std::uint16_t command) {
  const int t = DataType();
  if (t >= kDataTypeCount) return;
  if (t == pftChar || t == pftBoolean || t == pftYesNo)
    CharEditor(msg, command);
  else
    MaskEditor(msg, command);
}

// ---- Positions ---------------------------------------------------------------------------

int PictureFieldModel::EndOfEnteredText() const {
  const std::string& text = GetText();
  for (int i = Picture().Length() - 1; i >= 0; --i) {
    if (!Picture().IsLiteral(i) && text[static_cast<std::size_t>(i)] != ' ') return i + 1;
  }
  return 0;
}

int PictureFieldModel::RunStart(int caret) const {
  int p = std::min(caret, Picture().Length());
  while (p - 1 >= FirstEditPosition() && !Picture().IsLiteral(p - 1)) --p;
  return p;
}

int PictureFieldModel::RunEnd(int caret) const {
  int p = caret;
  while (p + 1 <= LastPicturePosition() && !Picture().IsLiteral(p + 1)) ++p;
  return p;
}

int PictureFieldModel::SkipLiteralsRight(int pos) const {
  while (pos <= LastPicturePosition() && pos < Picture().Length() && Picture().IsLiteral(pos)) ++pos;
  return pos;
}

int PictureFieldModel::SkipLiteralsLeft(int pos) const {
  while (pos > FirstEditPosition() && pos < Picture().Length() && Picture().IsLiteral(pos)) --pos;
  return pos;
}

bool PictureFieldModel::DecimalBeforeLast() const {
  const int dot = Picture().DecimalPos();
  return dot >= 0 && dot < LastPicturePosition();
}

void PictureFieldModel::ExtendTo(int movingEnd) {
  int start = SelStart(), end = SelEnd();
  if (start == movingEnd_)
    start = movingEnd;
  else
    end = movingEnd;
  if (end < start) std::swap(start, end);
  movingEnd_ = movingEnd;
  SetSelectionRaw(start, end);  // clamped to the text
}

void PictureFieldModel::CaretToMovingEnd(bool rightOffLiterals) {
  int pos = std::clamp(movingEnd_, 0, Picture().Length());
  if (rightOffLiterals)
    pos = SkipLiteralsRight(pos);
  else
    pos = SkipLiteralsLeft(pos);
  SetCaretRaw(std::clamp(pos, FirstEditPosition(), LastPicturePosition() + 1));
}

// ---- Editing within runs -------------------------------------------------------------------

// Deletes count characters at pos within its run: the rest of the run closes
// up and blanks enter at the run's end.
void PictureFieldModel::DeleteInRun(int pos, int count) {
  if (pos < FirstEditPosition() || pos > LastPicturePosition() || count <= 0) return;
  const int end = RunEnd(pos) + 1;
  count = std::min(count, end - pos);
  std::string text = GetText();
  text.erase(static_cast<std::size_t>(pos), static_cast<std::size_t>(count));
  text.insert(static_cast<std::size_t>(end - count), static_cast<std::size_t>(count), ' ');
  SetTextRaw(text);
}

void PictureFieldModel::DeleteSelection() {
  const int start = SelStart();
  const int end = std::min(SelEnd(), Picture().Length());
  if (end >= FirstEditPosition() && start <= LastPicturePosition()) {
    std::string text = GetText();
    for (int i = start; i < end; ++i) {
      if (!Picture().IsLiteral(i)) text[static_cast<std::size_t>(i)] = ' ';
    }
    SetTextRaw(text);
    const int runStart = RunStart(SkipLiteralsLeft(end));
    const int from = std::max(start, runStart);
    if (runStart <= LastPicturePosition()) DeleteInRun(from, std::min(end, RunEnd(runStart) + 1) - from);
  }
  const int caret = start < FirstEditPosition() ? FirstEditPosition() : SkipLiteralsRight(start);
  SetCaretRaw(caret);
  SetSelectionRaw(caret, caret);
}

bool PictureFieldModel::InsertAt(char c, int pos, bool beep) {
  std::string text = GetText();
  const int end = RunEnd(pos);
  if (pos + 1 < Picture().Length() && pos < end) {
    if (!Option(TEntryOption::InsertPushes) && text[static_cast<std::size_t>(end)] != ' ') {
      if (beep && Option(TEntryOption::BeepOnError)) Beep();
      return false;
    }
    text.erase(static_cast<std::size_t>(end), 1);
    text.insert(static_cast<std::size_t>(pos), 1, c);
  } else {
    text[static_cast<std::size_t>(pos)] = c;  // the run's last position: typed over
  }
  SetTextRaw(text);
  SetCaretRaw(pos + 1 <= LastPicturePosition() ? SkipLiteralsRight(pos + 1) : pos + 1);
  return true;
}

bool PictureFieldModel::AcceptTyped(char& c, int pos, bool literalMode) const {
  const bool numeric = IsNumericDataType(DataType());
  const char decimal = Intl().DecimalChar();
  if (numeric && c == '.' && decimal != '.') return false;
  if (numeric && c == decimal) c = '.';
  if (static_cast<unsigned char>(c) < 32 && !literalMode) return false;
  char previous = ' ';
  if (pos > RunStart(pos)) previous = GetText()[static_cast<std::size_t>(pos - 1)];
  if (!CharIsOK(Picture().RulingChar(pos), c, true, previous, MaskContext())) return false;
  if (numeric && c == '.') c = decimal;
  return true;
}

void PictureFieldModel::AlignOnDecimalChar() {
  std::string text = GetText();
  AlignIntegerPart(text, Picture());
  SetTextRaw(text);
  if (CaretPos() <= Picture().DecimalPos()) SetCaretRaw(Picture().DecimalPos() + 1);
}

void PictureFieldModel::TypeChar(TEditMsg& msg) {
  if (!CharacterAllowed()) return;
  SetCharacterFlags(false, false);
  char c = TypedByte(msg.ch);
  if (SelectionLength() > 0) {
    char probe = c;
    if (AcceptTyped(probe, SelStart() < FirstEditPosition() ? FirstEditPosition() : SkipLiteralsRight(SelStart()),
                    literalMode_))
      DeleteSelection();
  }
  if (DecimalBeforeLast() && c == Intl().DecimalChar()) {
    AlignOnDecimalChar();
    SetCaretRaw(Picture().DecimalPos() + 1);
    return;
  }
  // A caret left on a literal types into the next picture position.
  SetCaretRaw(SkipLiteralsRight(std::max(CaretPos(), FirstEditPosition())));
  const int caret = CaretPos();
  if (caret > LastPicturePosition()) {
    if (!CaretMoveRule(caret, ccChar) && Option(TEntryOption::BeepOnError)) Beep();
    return;
  }
  if (!AcceptTyped(c, caret, literalMode_)) {
    if (Option(TEntryOption::BeepOnError)) Beep();
    return;
  }
  if (InsertMode()) {
    if (!InsertAt(c, caret, true)) return;
  } else {
    std::string text = GetText();
    text[static_cast<std::size_t>(caret)] = c;
    SetTextRaw(text);
    SetCaretRaw(SkipLiteralsRight(caret + 1));
  }
  CaretMoveRule(CaretPos(), ccChar);
}

void PictureFieldModel::Paste(std::string_view pasted) {
  const int origin = SelectionLength() > 0 ? SelStart() : CaretPos();
  const TMaskContext context = MaskContext();
  auto shownLiteral = [&](int pos) {
    const char c = GetText()[static_cast<std::size_t>(pos)];
    return IsSubstitutionLiteral(Picture().At(pos)) ? UserData().SubstChar(Picture().At(pos)) : c;
  };
  std::size_t i = 0;
  for (int pos = origin; i < pasted.size() && pos < Picture().Length(); ++pos, ++i) {
    const bool literal = Picture().IsLiteral(pos) && pasted[i] == shownLiteral(pos);
    if (!literal && !(pasted[i] == ' ' && pos < Picture().FloatCount())) break;
  }
  if (SelectionLength() > 0) DeleteSelection();
  std::string rest(pasted.substr(i));
  if (IsNumericDataType(DataType()) || Picture().NumericStyle()) std::erase(rest, ' ');
  const char decimal = Intl().DecimalChar();
  std::size_t k = 0;
  while (k < rest.size() && CaretPos() <= LastPicturePosition()) {
    char c = rest[k++];
    if (DecimalBeforeLast() && c == decimal) {
      AlignOnDecimalChar();
      continue;
    }
    if (DecimalBeforeLast() && c == '.') continue;
    const int former = CaretPos();
    if (CharIsOK(Picture().RulingChar(former), c, true, 0, context)) InsertAt(c, former, false);
    for (int q = former + 1; k < rest.size() && q < Picture().Length() && Picture().IsLiteral(q); ++q) {
      if (rest[k] != shownLiteral(q)) break;
      ++k;
    }
  }
}

// ---- Words -----------------------------------------------------------------------------------------

void PictureFieldModel::WordLeft() {
  const std::string& text = GetText();
  int p = SkipLiteralsLeft(CaretPos() - 1);
  const int start = RunStart(p);
  const int entered = EndOfEnteredText();
  while (p > start && (p >= entered || text[static_cast<std::size_t>(p)] == ' ')) --p;
  while (p > start && text[static_cast<std::size_t>(p - 1)] != ' ') --p;
  SetCaretRaw(p);
}

void PictureFieldModel::WordRight() {
  const std::string& text = GetText();
  const int entered = EndOfEnteredText();
  int p = CaretPos();
  if (p >= entered) {
    p = RunEnd(p) + 1;
    if (p < LastPicturePosition()) {
      SetCaretRaw(SkipLiteralsRight(p));
    } else {
      CaretMoveRule(p, ccWordRight);
      SetCaretRaw(p - 1);
    }
    return;
  }
  if (text[static_cast<std::size_t>(p)] != ' ') ++p;
  const int end = RunEnd(p);
  while (p <= end && text[static_cast<std::size_t>(p)] != ' ') ++p;
  while (p <= end && text[static_cast<std::size_t>(p)] == ' ') ++p;
  SetCaretRaw(p < LastPicturePosition() ? SkipLiteralsRight(p) : entered);
}

// ---- Today and now -------------------------------------------------------------------------------

void PictureFieldModel::CompleteDateTime(std::uint16_t command) {
  const bool date = command == ccCompleteDate;
  if (DataType() != (date ? pftDate : pftTime)) return;
  std::string filled = date ? Intl().DateToText(Mask(), Clock.today()) : Intl().TimeToText(Mask(), Clock.now());
  filled.resize(static_cast<std::size_t>(Picture().Length()), ' ');
  if (SelStart() == 0 && SelEnd() >= MaxLength()) {
    SetTextRaw(filled);
    MoveCaretToEnd();
    return;
  }
  if (SelectionLength() > 0) SetCaretRaw(std::max(SkipLiteralsRight(SelStart()), FirstEditPosition()));
  const int caret = CaretPos();
  if (caret <= LastPicturePosition()) {
    std::string text = GetText();
    const int start = RunStart(caret), end = RunEnd(caret);
    for (int i = start; i <= end; ++i) text[static_cast<std::size_t>(i)] = filled[static_cast<std::size_t>(i)];
    SetTextRaw(text);
  }
  if (caret >= EndOfEnteredText()) {
    WordRight();
    return;
  }
  const int after = RunEnd(caret) + 1;
  SetCaretRaw(after < LastPicturePosition() ? SkipLiteralsRight(after) : EndOfEnteredText());
}

// ---- Mouse -------------------------------------------------------------------------------------------

void PictureFieldModel::MouseCommand(const TEditMsg& msg, std::uint16_t command, bool shift) {
  const int under = CharacterUnderMouse(msg.x);
  const bool wentLeft = under < movingEnd_;
  if (command == efc::DoubleClick) {
    const int t = DataType();
    if (t >= pftReal && t <= pftSingle) {
      SetSelectionRaw(0, MaxLength());
    } else {
      const int at = std::min(under, MaxLength() - 1);
      SetSelectionRaw(WordStartAt(at), WordEndAt(at));
    }
    movingEnd_ = SelEnd();
    CaretToMovingEnd(false);
    return;
  }
  auto pullBack = [this] {
    if (CaretPos() > EndOfEnteredText()) SetCaretRaw(SkipLiteralsRight(EndOfEnteredText()));
  };
  if (command == efc::MouseMove) {
    ExtendTo(under);
    CaretToMovingEnd(wentLeft);
    if (SelectionLength() == 0) pullBack();
    return;
  }
  if (shift) {
    int start = SelStart(), end = SelEnd();
    if (SelectionLength() > 0) {
      if (under > start)
        end = under;
      else
        start = under;
    } else {
      start = std::min(CaretPos(), under);
      end = std::max(CaretPos(), under);
    }
    movingEnd_ = under;
    SetSelectionRaw(start, end);
    CaretToMovingEnd(wentLeft);
    return;
  }
  movingEnd_ = under;
  CaretToMovingEnd(true);
  SetSelectionRaw(CaretPos(), CaretPos());
  pullBack();
}

// ---- The mask editor ---------------------------------------------------------------------------------

void PictureFieldModel::MaskEditor(TEditMsg& msg, std::uint16_t command) {
  if (command == ccCtrlChar) {
    literalMode_ = true;
    SetCharacterFlags(false, CharacterAllowed());
    return;
  }
  if (command == ccNotCommand) {
    ArmCharacter();
    return;
  }
  const TCommandStart start = CommandStart();
  if (!StrippedMark()) {
    PrepareForConversion();
    if (StrippedMark()) RepaintField();
  }
  if (command != ccChar) literalMode_ = false;
  SetCharacterFlags(false, CharacterAllowed());

  bool processed = true;
  const bool hasSelection = SelectionLength() > 0;
  switch (command) {
    case ccChar: TypeChar(msg); break;
    case ccBack:
      if (hasSelection) {
        DeleteSelection();
      } else if (CaretPos() > FirstEditPosition()) {
        SetCaretRaw(SkipLiteralsLeft(CaretPos() - 1));
        if (CaretPos() < EndOfEnteredText()) DeleteInRun(CaretPos(), 1);
      }
      break;
    case ccDel:
      if (hasSelection)
        DeleteSelection();
      else if (CaretPos() < EndOfEnteredText())
        DeleteInRun(CaretPos(), 1);
      break;
    case ccDelWord:
      if (hasSelection) {
        DeleteSelection();
      } else if (CaretPos() < EndOfEnteredText()) {
        const std::string& text = GetText();
        const int end = RunEnd(CaretPos());
        int p = CaretPos();
        while (p <= end && text[static_cast<std::size_t>(p)] != ' ') ++p;
        while (p <= end && text[static_cast<std::size_t>(p)] == ' ') ++p;
        DeleteInRun(CaretPos(), p - CaretPos());
      }
      break;
    case ccDelBol: {
      const int runStart = RunStart(CaretPos());
      if (CaretPos() <= LastPicturePosition()) DeleteInRun(runStart, CaretPos() - runStart);
      SetCaretRaw(runStart);
      break;
    }
    case ccDelEol:
      // From the caret to the run's end, its last position included.
      if (CaretPos() <= LastPicturePosition()) {
        std::string text = GetText();
        for (int i = CaretPos(); i <= RunEnd(CaretPos()); ++i) text[static_cast<std::size_t>(i)] = ' ';
        SetTextRaw(text);
      }
      break;
    case ccDelLine: {
      MoveCaretToStart();
      std::string text = GetText();
      for (int i = CaretPos(); i <= LastPicturePosition(); ++i) {
        if (!Picture().IsLiteral(i)) text[static_cast<std::size_t>(i)] = ' ';
      }
      SetTextRaw(text);
      break;
    }
    case ccCut:
      if (hasSelection) DeleteSelection();
      break;
    case ccCopy: break;
    case ccPaste: Paste(msg.text); break;
    case ccRestore:
      Restore();
      ClearStrippedMark();
      break;
    case ccIns: SetInsertMode(!InsertMode()); break;
    case ccHome: SetCaretRaw(FirstEditPosition()); break;
    case ccEnd: MoveCaretToEnd(); break;
    case ccUp:
    case ccDown:
      if (ArrowUpDown(command) != TArrowAction::None) break;
      command = command == ccUp ? ccLeft : ccRight;
      [[fallthrough]];
    case ccLeft:
    case ccRight:
      if (command == ccLeft) {
        if (CaretPos() > FirstEditPosition())
          SetCaretRaw(SkipLiteralsLeft(CaretPos() - 1));
        else
          CaretMoveRule(-1, command);
      } else if (CaretPos() <= LastPicturePosition()) {
        SetCaretRaw(SkipLiteralsRight(CaretPos() + 1));
      } else {
        CaretMoveRule(LastPicturePosition() + 1, command);
      }
      break;
    case ccWordLeft:
      if (CaretPos() == FirstEditPosition())
        CaretMoveRule(-1, command);
      else
        WordLeft();
      break;
    case ccWordRight: WordRight(); break;
    case ccInc: IncreaseValue(true, 1); break;
    case ccDec: DecreaseValue(true, 1); break;
    case ccExtendLeft:
      if (movingEnd_ <= 0) return;  // nothing changes, nothing is repainted
      ExtendTo(movingEnd_ - 1);
      CaretToMovingEnd(true);
      break;
    case ccExtendRight:
      if (movingEnd_ >= MaxLength()) return;
      ExtendTo(movingEnd_ + 1);
      CaretToMovingEnd(false);
      break;
    case ccExtendHome:
      ExtendTo(0);
      SetCaretRaw(FirstEditPosition());
      break;
    case ccExtendEnd:
      MoveCaretToEnd();
      ExtendTo(MaxLength() + 1);
      break;
    case ccExtWordLeft:
      if (movingEnd_ <= 0) return;
      ExtendTo(WordStartAt(movingEnd_ - 1));
      CaretToMovingEnd(true);
      break;
    case ccExtWordRight:
      if (movingEnd_ >= MaxLength()) return;
      ExtendTo(std::min(WordEndAt(movingEnd_ + 1), MaxLength()));
      CaretToMovingEnd(false);
      break;
    case ccCompleteDate:
    case ccCompleteTime: CompleteDateTime(command); break;
    case efc::MouseDown:
    case efc::MouseMove:
    case efc::DoubleClick: MouseCommand(msg, command, msg.shift); break;
    case ccBadSequence:
    case ccPartialSequence: break;
    default:
      processed = false;
      SetCharacterFlags(true, CharacterAllowed());
      break;
  }
  if (!processed) return;
  const bool keep = SettleSelection(command, msg.shift);
  // A caret that crossed the decimal point aligns the part it left.
  if (DecimalBeforeLast()) {
    const int dot = Picture().DecimalPos();
    std::string text = GetText();
    if (start.caret <= dot && CaretPos() > dot)
      AlignIntegerPart(text, Picture());
    else if (start.caret > dot && CaretPos() <= dot)
      AlignFraction(text, Picture());
    SetTextRaw(text);
  }
  FinishCommand(start, keep);
}

bool PictureFieldModel::SettleSelection(std::uint16_t command, bool shift) {
  SetCharacterFlags(false, false);
  const bool keep = KeepsSelection(command, shift);
  if (!keep) {
    SetSelectionRaw(CaretPos(), CaretPos());
    movingEnd_ = CaretPos();
  }
  return keep;
}

void PictureFieldModel::FinishCommand(const TCommandStart& start, bool keptSelection) {
  UpdateCaret();
  const bool textChanged = GetText() != start.text;
  if (textChanged) {
    ClearValueLost();
    TextEdited();
  }
  const bool selectionChanged = SelStart() != start.selStart || SelEnd() != start.selEnd;
  if (textChanged || keptSelection || selectionChanged || CaretPos() != start.caret) RepaintField();
}

// ---- The one-character editor ------------------------------------------------------------------------

void PictureFieldModel::CharEditor(TEditMsg& msg, std::uint16_t command) {
  if (command == ccNotCommand) {
    ArmCharacter();
    return;
  }
  const TCommandStart start = CommandStart();
  if (command == ccCtrlChar)
    literalMode_ = true;
  else if (command != ccChar)
    literalMode_ = false;
  if (command != ccCtrlChar) SetCaretRaw(FirstEditPosition());
  SetCharacterFlags(false, CharacterAllowed());
  const int first = FirstEditPosition();
  bool processed = true;
  switch (command) {
    case ccCtrlChar: break;
    case ccChar: {
      if (!CharacterAllowed()) break;
      char c = TypedByte(msg.ch);
      const bool control = static_cast<unsigned char>(c) < 32 && !literalMode_;
      if (!control && CharIsOK(Picture().At(first), c, true, ' ', MaskContext())) {
        std::string text = GetText();
        text[static_cast<std::size_t>(first)] = c;
        SetTextRaw(text);
        CaretMoveRule(first + 1, ccChar);
      } else if (Option(TEntryOption::BeepOnError)) {
        Beep();
      }
      literalMode_ = false;
      break;
    }
    case ccDel: break;
    case ccInc: IncreaseValue(true, 1); break;
    case ccDec: DecreaseValue(true, 1); break;
    case ccExtendHome:
    case ccExtWordLeft: ExtendTo(0); break;
    case ccExtendEnd:
    case ccExtWordRight: ExtendTo(MaxLength() + 1); break;
    case ccExtendLeft:
      if (movingEnd_ > 0) ExtendTo(movingEnd_ - 1);
      break;
    case ccExtendRight:
      if (movingEnd_ < MaxLength()) ExtendTo(movingEnd_ + 1);
      break;
    case ccPaste: {
      std::string_view pasted = msg.text;
      if (static_cast<int>(pasted.size()) == MaxLength() && !pasted.empty() && pasted[0] == GetText()[0])
        pasted.remove_prefix(static_cast<std::size_t>(first));
      for (char c : pasted) {
        if (CharIsOK(Picture().At(first), c, true, 0, MaskContext())) {
          std::string text = GetText();
          text[static_cast<std::size_t>(first)] = c;
          SetTextRaw(text);
          break;
        }
      }
      break;
    }
    case ccRestore: Restore(); break;
    case efc::MouseDown: break;
    case efc::MouseMove: ExtendTo(CharacterUnderMouse(msg.x)); break;
    case efc::DoubleClick: SetSelectionRaw(0, MaxLength()); break;
    case ccBadSequence:
    case ccPartialSequence: break;
    default:
      if (OneCharacterMove(command, LastPicturePosition())) break;
      processed = false;
      SetCharacterFlags(true, CharacterAllowed());
      break;
  }
  if (!processed) return;
  FinishCommand(start, SettleSelection(command, msg.shift));
}
