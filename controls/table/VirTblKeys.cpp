// Keys and commands of the table: keys translate through the controller's
// command processor, always through the table's own "Grid" table; the
// movement commands compute a target for the active cell.

#include <algorithm>

#include "controls/base/StrRes.h"
#include "controls/table/VirTblCore.h"
#include "rtl/Cp1252.h"

namespace {

constexpr std::uint16_t kGridTableNameId = 34284;

constexpr plat::ShiftState kModifiers = plat::ssShift | plat::ssCtrl | plat::ssAlt;

bool IsMovementCommand(std::uint16_t command) {
  switch (command) {
    case ccBotOfPage:
    case ccBotRightCell:
    case ccDown:
    case ccEnd:
    case ccFirstPage:
    case ccHome:
    case ccLastPage:
    case ccLeft:
    case ccNextPage:
    case ccPageLeft:
    case ccPageRight:
    case ccPrevPage:
    case ccRight:
    case ccTopLeftCell:
    case ccTopOfPage:
    case ccUp:
    case ccWordLeft:
    case ccWordRight: return true;
    default: return false;
  }
}

// The plain command an extend command moves with; ccNone for other commands.
std::uint16_t PlainOfExtend(std::uint16_t command) {
  switch (command) {
    case ccExtendDown: return ccDown;
    case ccExtendEnd: return ccEnd;
    case ccExtendHome: return ccHome;
    case ccExtendLeft: return ccLeft;
    case ccExtendPgDn: return ccNextPage;
    case ccExtendPgUp: return ccPrevPage;
    case ccExtendRight: return ccRight;
    case ccExtendUp: return ccUp;
    case ccExtBotOfPage: return ccBotOfPage;
    case ccExtFirstPage: return ccFirstPage;
    case ccExtLastPage: return ccLastPage;
    case ccExtTopOfPage: return ccTopOfPage;
    case ccExtWordLeft: return ccWordLeft;
    case ccExtWordRight: return ccWordRight;
    default: return ccNone;
  }
}

// Keys that type into a cell: the space bar, digits, letters and the numeric
// pad (0x30..0x6F), and punctuation (0xBA on).
bool TypesIntoCell(int key) { return key == plat::vk::Space || (key >= 0x30 && key <= 0x6F) || key >= 0xBA; }

// The first visible one at or after `locked`, and the last visible one.
int FirstVisible(const TVirTableAxis& axis, int locked) { return ApplyRangeRules(axis, locked, locked, 0); }
int LastVisible(const TVirTableAxis& axis, int locked) {
  const int last = PreviousVisible(axis, axis.Count(), locked);
  return last >= 0 ? last : FirstVisible(axis, locked);
}

}  // namespace

std::uint16_t TVirTableCore::TranslateKey(int key, plat::ShiftState shift) {
  TVirCommandProcessor* commands = HostCommands();
  if (commands == nullptr) return ccNotCommand;
  return commands->TranslateWithTables({GetLibraryString(kGridTableNameId)}, key, shift);
}

int TVirTableCore::FilterKey(int key, plat::ShiftState shift) {
  const std::uint16_t command = TranslateKey(key, shift);
  if (IsMovementCommand(command)) return 1;
  if ((key == plat::vk::Tab && options_.Has(otoTabToArrow)) ||
      (key == plat::vk::Return && options_.Has(otoEnterToArrow)) || key == plat::vk::Escape || command == ccTableEdit)
    return 2;
  return 0;
}

void TVirTableCore::TableKeyDown(int key, plat::ShiftState shift, const std::string& text) {
  keyForwarded_ = false;
  const plat::ShiftState modifiers = shift & kModifiers;
  std::uint16_t command;
  if (key == plat::vk::Tab && options_.Has(otoTabToArrow))
    command = modifiers == 0 ? ccRight : modifiers == plat::ssShift ? ccLeft : ccNone;
  else if (key == plat::vk::Return && options_.Has(otoEnterToArrow))
    command = modifiers == 0 ? ccRight : ccNone;
  else
    command = TranslateKey(key, shift);

  if (Editing()) {
    if (!options_.Has(otoAlwaysEditing) && (command == ccTableEdit || key == plat::vk::Escape) &&
        !StopEditing(key != plat::vk::Escape))
      return;
  } else if (command == ccTableEdit) {
    HostPostMessage(kTblMsgStartEdit, 0, 0);
  } else if ((command == ccNotCommand || command == ccChar) && TypesIntoCell(key)) {
    HostPostMessage(kTblMsgStartEdit, 0, 0);
    forwardedKeys_.push_back({key, shift, text});
    keyForwarded_ = true;
    HostPostMessage(kTblMsgForwardKey, 0, 0);
  }
  extend_ = false;
  CarryOut(command);
}

void TVirTableCore::TableKeyTyped(char32_t ch) {
  if (keyForwarded_ && !forwardedKeys_.empty()) forwardedKeys_.back().text += rtl::CodePointToUtf8(ch);
}

void TVirTableCore::CarryOut(std::uint16_t command) {
  if (IsMovementCommand(command)) return DoCommand(command);
  if (const std::uint16_t plain = PlainOfExtend(command); plain != ccNone) {
    extend_ = true;
    return DoCommand(plain);
  }
  if (Quiet()) return;
  if (command == ccCopy && OnClipboardCopy) return OnClipboardCopy();
  if (command == ccCut && OnClipboardCut) return OnClipboardCut();
  if (command == ccPaste && OnClipboardPaste) return OnClipboardPaste();
  if (command >= ccUserFirst && OnUserCommand) return OnUserCommand(command);
}

void TVirTableCore::DoCommand(std::uint16_t command) {
  if (options_.Has(otoNoSelection)) extend_ = false;
  if (command > ccUp) return;
  int rowNum = activeRow_, colNum = activeCol_;
  auto orActive = [](int found, int active) { return found >= 0 ? found : active; };
  switch (command) {
    case ccUp: rowNum = orActive(PreviousVisible(rowAxis_, activeRow_, lockedRows_), activeRow_); break;
    case ccDown: {
      rowNum = orActive(NextVisible(rowAxis_, activeRow_), activeRow_);
      const int pos = visibleRows_.PositionOf(rowNum);
      if (rowNum == activeRow_ || (pos >= 0 && visibleRows_.EndOf(pos) <= GridHeight())) break;
      // The row is cut by the window edge: the view scrolls by one row first.
      AllowRedrawing(false);
      if (const int next = NextVisible(rowAxis_, topRow_); next >= 0) SetTopRow(next);
      MoveActiveCell(command, rowNum, colNum);
      AllowRedrawing(true);
      return;
    }
    case ccLeft: colNum = orActive(PreviousVisible(*colAxis_, activeCol_, lockedCols_), activeCol_); break;
    case ccRight: colNum = orActive(NextVisible(*colAxis_, activeCol_), activeCol_); break;
    case ccHome: colNum = FirstVisible(*colAxis_, lockedCols_); break;
    case ccEnd: colNum = LastVisible(*colAxis_, lockedCols_); break;
    case ccFirstPage: rowNum = FirstVisible(rowAxis_, lockedRows_); break;
    case ccLastPage: rowNum = LastVisible(rowAxis_, lockedRows_); break;
    case ccTopOfPage: rowNum = topRow_; break;
    case ccBotOfPage: rowNum = LastFullRow(); break;
    case ccTopLeftCell:
      rowNum = FirstVisible(rowAxis_, lockedRows_);
      colNum = FirstVisible(*colAxis_, lockedCols_);
      break;
    case ccBotRightCell:
      rowNum = LastVisible(rowAxis_, lockedRows_);
      colNum = LastVisible(*colAxis_, lockedCols_);
      break;
    case ccNextPage:
    case ccPrevPage:
    case ccPageRight:
    case ccPageLeft: return PageCommand(command);
    default: return;
  }
  MoveActiveCell(command, rowNum, colNum);
}

int TVirTableCore::LastFullRow() const {
  const int count = visibleRows_.Count();
  if (count == 0) return topRow_;
  const int last = count - 1;
  if (visibleRows_.EndOf(last) <= GridHeight() && visibleRows_[last].Number >= lockedRows_)
    return visibleRows_[last].Number;
  if (last >= 1 && visibleRows_[last - 1].Number >= lockedRows_) return visibleRows_[last - 1].Number;
  return topRow_;
}

void TVirTableCore::PageCommand(std::uint16_t command) {
  const bool horizontal = command == ccPageRight || command == ccPageLeft;
  const bool forward = command == ccNextPage || command == ccPageRight;
  const TVirTableAxis& axis = horizontal ? static_cast<const TVirTableAxis&>(*colAxis_) : rowAxis_;
  const TVirVisibleList& visible = horizontal ? visibleCols_ : visibleRows_;
  const int locked = horizontal ? lockedCols_ : lockedRows_;
  const int active = horizontal ? activeCol_ : activeRow_;
  auto first = [&] { return horizontal ? leftCol_ : topRow_; };
  const int before = first();
  if (!forward && active == before && PreviousVisible(axis, before, locked) < 0) return;
  const int pos = visible.PositionOf(active);
  AllowRedrawing(false);
  int newFirst = before;
  if (forward && visible.Count() > 0) {
    newFirst = visible[visible.Count() - 1].Number;
    if (newFirst == active) newFirst = std::max(NextVisible(axis, newFirst), newFirst);
  } else if (!forward) {
    newFirst = PageBackFirst(axis, locked, before, horizontal ? GridWidth() : GridHeight());
  }
  if (horizontal)
    SetLeftCol(newFirst);
  else
    SetTopRow(newFirst);
  AllowRedrawing(true);
  int target;
  if (pos < 0 || (!forward && first() == before) || visible.Count() == 0)
    target = first();
  else
    target = visible[std::min(pos, visible.Count() - 1)].Number;
  target = ApplyRangeRules(axis, locked, target, 0);
  if (horizontal)
    MoveActiveCell(command, activeRow_, target);
  else
    MoveActiveCell(command, target, activeCol_);
}
