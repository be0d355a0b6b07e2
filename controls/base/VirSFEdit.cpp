// The simple field's two editors: the text editor of strings and numbers,
// where every position follows the field's one picture character, and the
// one-character editor of Char, Boolean and YesNo, whose only character can
// be replaced but not deleted.

#include <algorithm>

#include "controls/base/VirEFIntl.h"
#include "controls/base/VirSFModel.h"
#include "rtl/Cp1252.h"
#include "rtl/TextChars.h"

namespace {

// The caret positions one character before and after `caret`: a UTF-8
// character's bytes are passed over and deleted together.
int CharacterBefore(const std::string& text, int caret) {
  return static_cast<int>(rtl::PreviousCharacter(text, static_cast<std::size_t>(caret)));
}
int CharacterAfter(const std::string& text, int caret) {
  return static_cast<int>(rtl::NextCharacter(text, static_cast<std::size_t>(caret)));
}

// Drops whole characters from the end of `text`, none before `keep`, while it
// has more than `size` bytes: a full field in insert mode makes room this way.
void PushOutLastCharacters(std::string& text, int keep, int size) {
  while (static_cast<int>(text.size()) > std::max(keep, size)) text.resize(rtl::PreviousCharacter(text, text.size()));
}

}  // namespace

void SimpleFieldModel::ExecuteEditCommand(TEditMsg& msg, std::uint16_t command) {
  const int t = DataType();
  if (t == pftChar || t == pftBoolean || t == pftYesNo)
    CharEditor(msg, command);
  else
    TextEditor(msg, command);
}

// ---- Shared steps ---------------------------------------------------------------------------

bool SimpleFieldModel::AcceptChar(char& c, int pos, bool typed) const {
  const bool number = NumberType();
  const char decimal = Intl().DecimalChar();
  if (number && c == '.' && decimal != '.') return false;
  if (number && c == decimal) c = '.';
  if (typed && static_cast<unsigned char>(c) < 32 && !literalMode_) return false;
  const char previous = pos > 0 ? GetText()[static_cast<std::size_t>(pos - 1)] : ' ';
  if (!CharIsOK(PictureMask(), c, true, previous, MaskContext())) return false;
  if (number && c == '.') c = decimal;
  return true;
}

void SimpleFieldModel::DeleteRange(int from, int to) {
  std::string text = GetText();
  text.erase(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from));
  SetTextRaw(std::move(text));
  SetCaretRaw(from);
}

bool SimpleFieldModel::DeleteSelection() {
  if (SelectionLength() == 0) return false;
  const int start = SelStart();
  DeleteRange(start, SelEnd());
  SetSelectionRaw(start, start);
  return true;
}

// The caret moves from oldCaret to caret and drags the selection's end that
// stood at the old caret; the ends swap when they cross.
void SimpleFieldModel::MoveExtending(int oldCaret, int caret) {
  int start = SelStart(), end = SelEnd();
  if (start == oldCaret)
    start = caret;
  else
    end = caret;
  if (end < start) std::swap(start, end);
  SetCaretRaw(caret);
  SetSelectionRaw(start, end);
}

void SimpleFieldModel::FinishCommand(const TCommandStart& start, bool keepSelection, bool modified) {
  SetCharacterFlags(false, false);
  if (!keepSelection) SetSelectionRaw(CaretPos(), CaretPos());
  UpdateCaret();
  const bool textChanged = GetText() != start.text;
  if (modified) {
    valueLost_ = false;  // the text is the user's now
    TextEdited();
  }
  const bool selectionChanged = SelStart() != start.selStart || SelEnd() != start.selEnd;
  if (textChanged || keepSelection || selectionChanged || CaretPos() != start.caret) RepaintField();
}

// ---- The text editor --------------------------------------------------------------------------

// A typed character; true when it marks the field modified.
// A character Windows-1252 lacks (a Greek letter) passes only a picture
// character that takes every character as it is, and goes only into a text
// that can hold it: UTF-8 (or empty or plain ASCII) text.
bool SimpleFieldModel::TypeChar(char32_t c) {
  if (!CharacterAllowed()) return false;
  SetCharacterFlags(false, false);
  std::optional<char> byte = rtl::Cp1252ByteOf(c);
  const bool accepted = byte ? AcceptChar(*byte, CaretPos(), true) : TakesEveryCharacter(PictureMask());
  if (byte) c = rtl::Cp1252ToCodePoint(static_cast<unsigned char>(*byte));  // as the mask cased it
  const std::string typed = accepted ? rtl::TypedCharacter(GetText(), c) : std::string();
  if (typed.empty()) {
    ErrorReaction();
    return false;
  }
  DeleteSelection();
  std::string text = GetText();
  const int caret = CaretPos();
  const int room = MaxLength();
  const int after = caret + static_cast<int>(typed.size());
  if (InsertMode()) {
    if (InsertAtCaret(typed))
      LastAutoAdvance(after, ccChar);
    else if (!LastAutoAdvance(caret, ccChar))
      ErrorReaction();
    return true;  // in insert mode an accepted character counts, room or not
  }
  // Overtyping replaces the whole character at the caret.
  const int length = static_cast<int>(text.size());
  const int replaced = caret < length ? CharacterAfter(text, caret) - caret : 0;
  if (length - replaced + static_cast<int>(typed.size()) <= room) {
    text.replace(static_cast<std::size_t>(caret), static_cast<std::size_t>(replaced), typed);
    SetTextRaw(std::move(text));
    SetCaretRaw(after);
    LastAutoAdvance(after, ccChar);
    return true;
  }
  if (!LastAutoAdvance(caret, ccChar)) ErrorReaction();
  return false;
}

bool SimpleFieldModel::InsertAtCaret(const std::string& typed) {
  std::string text = GetText();
  const int caret = CaretPos();
  const int room = MaxLength() - static_cast<int>(typed.size());
  if (Option(TEntryOption::InsertPushes)) PushOutLastCharacters(text, caret, room);
  if (static_cast<int>(text.size()) > room) return false;
  text.insert(static_cast<std::size_t>(caret), typed);
  SetTextRaw(std::move(text));
  SetCaretRaw(caret + static_cast<int>(typed.size()));
  return true;
}

// A paste is taken whole or refused whole. Its characters go in at the caret
// whatever the insert mode (replacing the selection) and pass the mask as
// typed ones do; one the field refuses, or one that finds no room, refuses the
// paste with the error reaction and leaves the text as it was, so that "1.5"
// pasted into an integer never becomes 15. Line ends around the text are left
// out, and blanks around a number.
bool SimpleFieldModel::Paste(std::string_view pasted) {
  const std::string_view around = NumberType() ? " \t\r\n" : "\r\n";
  const auto first = pasted.find_first_not_of(around);
  pasted = first == std::string_view::npos ? std::string_view{} : pasted.substr(first);
  pasted = pasted.substr(0, pasted.find_last_not_of(around) + 1);
  const std::string keptText = GetText();
  const int keptCaret = CaretPos(), keptStart = SelStart(), keptEnd = SelEnd();
  bool modified = DeleteSelection();
  for (char c : pasted) {
    if ((NumberType() && c == ' ') || !AcceptChar(c, CaretPos(), false) ||
        !InsertAtCaret(rtl::TypedCharacter(GetText(), rtl::Cp1252ToCodePoint(static_cast<unsigned char>(c))))) {
      SetTextRaw(keptText);
      SetCaretRaw(keptCaret);
      SetSelectionRaw(keptStart, keptEnd);
      ErrorReaction();
      return false;
    }
    modified = true;
  }
  return modified;
}

void SimpleFieldModel::MouseCommand(const TEditMsg& msg, std::uint16_t command) {
  const int length = static_cast<int>(GetText().size());
  if (length == 0) return;
  const int under = std::min(CharacterUnderMouse(msg.x), length);
  if (command == efc::DoubleClick) {
    const int at = std::min(under, length - 1);
    SetSelectionRaw(WordStartAt(at), WordEndAt(at));
    SetCaretRaw(SelEnd());
  } else if (command == efc::MouseMove) {
    MoveExtending(CaretPos(), under);
  } else if (msg.shift) {
    if (SelectionLength() > 0) {
      if (under > SelStart())
        SetSelectionRaw(SelStart(), under);
      else
        SetSelectionRaw(under, SelEnd());
    } else {
      SetSelectionRaw(std::min(CaretPos(), under), std::max(CaretPos(), under));
    }
    SetCaretRaw(under);
  } else {
    SetCaretRaw(under);
  }
}

// The first steps of both editors; false for a key left to its character.
bool SimpleFieldModel::StartCommand(std::uint16_t command) {
  if (command == ccNotCommand) {
    ArmCharacter();
    return false;
  }
  if (command == ccCtrlChar)
    literalMode_ = true;
  else if (command != ccChar)
    literalMode_ = false;
  SetCharacterFlags(false, CharacterAllowed());
  return true;
}

void SimpleFieldModel::TextEditor(TEditMsg& msg, std::uint16_t command) {
  const TCommandStart start = CommandStart();
  if (!StartCommand(command)) return;
  const int caret = CaretPos();
  const std::string text = GetText();
  const int length = static_cast<int>(text.size());
  const bool selection = SelectionLength() > 0;
  bool modified = false;
  switch (command) {
    case ccCtrlChar: break;
    case ccChar: modified = TypeChar(msg.ch); break;
    case ccUp:
    case ccDown:
      if (ArrowUpDown(command) != TArrowAction::None) break;
      command = command == ccUp ? ccLeft : ccRight;
      [[fallthrough]];
    case ccLeft:
    case ccRight:
      if (command == ccLeft) {
        if (caret > 0)
          SetCaretRaw(CharacterBefore(text, caret));
        else
          LastAutoAdvance(-1, command);
      } else if (caret < length) {
        SetCaretRaw(CharacterAfter(text, caret));
      } else {
        LastAutoAdvance(MaxLength(), command);
      }
      break;
    case ccWordLeft:
      if (caret == 0)
        LastAutoAdvance(-1, command);
      else
        SetCaretRaw(WordStartAt(caret - 1));
      break;
    case ccWordRight:
      if (caret >= length)
        LastAutoAdvance(MaxLength(), command);
      else
        SetCaretRaw(WordEndAt(caret));
      break;
    case ccHome: SetCaretRaw(0); break;
    case ccEnd: SetCaretRaw(length); break;
    // The extend commands do nothing at the text's ends, and repaint nothing.
    case ccExtendLeft:
      if (caret == 0) return;
      MoveExtending(caret, CharacterBefore(text, caret));
      break;
    case ccExtendRight:
      if (caret >= length) return;
      MoveExtending(caret, CharacterAfter(text, caret));
      break;
    case ccExtWordLeft:
      if (caret == 0) return;
      MoveExtending(caret, WordStartAt(caret - 1));
      break;
    case ccExtWordRight:
      if (caret >= length) return;
      MoveExtending(caret, WordEndAt(caret));
      break;
    case ccExtendHome: MoveExtending(caret, 0); break;
    case ccExtendEnd: MoveExtending(caret, length); break;
    case ccBack:
    case ccDel:
    case ccDelWord:
      if (selection) {
        modified = DeleteSelection();
      } else if (command == ccBack && caret > 0) {
        DeleteRange(CharacterBefore(text, caret), caret);
        modified = true;
      } else if (command != ccBack && caret < length) {
        DeleteRange(caret, command == ccDel ? CharacterAfter(text, caret) : WordEndAt(caret));
        modified = true;
      }
      break;
    case ccDelLine:
      modified = length > 0;
      DeleteRange(0, length);
      break;
    case ccDelEol:
      modified = caret < length;
      DeleteRange(caret, length);
      SetCaretRaw(caret);
      break;
    case ccDelBol:
      modified = caret > 0;
      DeleteRange(0, caret);
      break;
    case ccCut: modified = DeleteSelection(); break;
    case ccPaste: modified = Paste(msg.text); break;
    case ccIns: SetInsertMode(!InsertMode()); break;
    case ccRestore: Restore(); break;
    case ccInc: IncreaseValue(true, 1); break;
    case ccDec: DecreaseValue(true, 1); break;
    case efc::MouseDown:
    case efc::MouseMove:
    case efc::DoubleClick: MouseCommand(msg, command); break;
    case ccBadSequence:
    case ccPartialSequence: break;
    default: SetCharacterFlags(true, CharacterAllowed()); return;  // not processed: left to the base
  }
  FinishCommand(start, KeepsSelection(command, msg.shift), modified);
}

// ---- The one-character editor ---------------------------------------------------------------------

void SimpleFieldModel::CharEditor(TEditMsg& msg, std::uint16_t command) {
  const TCommandStart start = CommandStart();
  if (!StartCommand(command)) return;
  if (command != ccCtrlChar) SetCaretRaw(0);
  const int length = static_cast<int>(GetText().size());
  bool modified = false;
  switch (command) {
    case ccCtrlChar: break;
    case ccChar: {
      if (!CharacterAllowed()) break;
      char c = TypedByte(msg.ch);
      const bool control = static_cast<unsigned char>(c) < 32 && !literalMode_;
      if (!control && CharIsOK(PictureMask(), c, true, ' ', MaskContext())) {
        SetTextRaw(std::string(1, c));
        modified = true;
        LastAutoAdvance(1, ccChar);
      } else {
        ErrorReaction();
      }
      break;
    }
    case ccInc: IncreaseValue(true, 1); break;
    case ccDec: DecreaseValue(true, 1); break;
    case ccRestore: Restore(); break;
    case ccExtendEnd:
    case ccExtendRight:
    case ccExtWordRight:
    case efc::DoubleClick: SetSelectionRaw(0, length); break;
    case efc::MouseMove:
      if (CharacterUnderMouse(msg.x) > 0)
        SetSelectionRaw(0, length);
      else
        SetSelectionRaw(0, 0);
      break;
    case efc::MouseDown:
    case ccExtendHome:
    case ccExtendLeft:
    case ccExtWordLeft: SetSelectionRaw(0, 0); break;
    case ccPaste:
      for (char c : msg.text) {
        if (CharIsOK(PictureMask(), c, true, ' ', MaskContext())) {
          SetTextRaw(std::string(1, c));
          modified = true;
          break;
        }
      }
      break;
    case ccBadSequence:
    case ccPartialSequence: break;
    default:
      if (OneCharacterMove(command, MaxLength() - 1)) break;
      // Deleting commands among them: the character is only ever replaced.
      SetCharacterFlags(true, CharacterAllowed());
      return;
  }
  FinishCommand(start, KeepsSelection(command, msg.shift), modified);
}
