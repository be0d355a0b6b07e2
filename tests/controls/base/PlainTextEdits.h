#pragma once
// The editor of the tests' entry fields: plain text, characters inserted or
// typed over at the caret, Back, Del, arrows, Home, End, cut, paste, Ins,
// restore, and the mouse placing the caret and dragging a selection. The
// check result comes from the test. It sits on the model alone or on the
// windowed field; the base gives PositionAtX, the text position under a point.

#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "controls/base/VirEFModel.h"

namespace plat {
class Control;
}

template <class Base>
class PlainTextEdits : public Base {
 public:
  // On the model alone, or on the windowed field; the entry field is a
  // virtual base, which the most derived class initialises too.
  PlainTextEdits(const EntryFieldIntl& intl, TFieldKind kind) : EntryFieldModel(intl, kind), Base(intl, kind) {}
  PlainTextEdits(plat::Control& parent, const EntryFieldIntl& intl, TFieldKind kind)
      : EntryFieldModel(intl, kind), Base(parent, intl, kind) {}

  std::uint16_t checkResult = 0;     // what ValidateValue finds
  std::vector<std::uint16_t> edits;  // commands that reached the editor
  std::vector<std::uint8_t> loaded;  // the bytes of the last value load
  int increments = 0;

 protected:
  void ExecuteEditCommand(TEditMsg& msg, std::uint16_t command) override {
    edits.push_back(command);
    const int caret = this->CaretPos();
    const int length = static_cast<int>(this->GetText().size());
    switch (command) {
      case ccNotCommand: this->ArmCharacter(); break;
      case ccChar:
        if (this->SelectionLength() == 0 && !this->InsertMode() && caret < length)
          this->SetSelectionRaw(caret, caret + 1);
        ReplaceSelection(std::string(1, rtl::CodePointToCp1252(msg.ch)));
        break;
      case ccPaste: ReplaceSelection(msg.text); break;
      case ccCut:
        if (this->SelectionLength() > 0) ReplaceSelection({});
        break;
      case ccBack:
      case ccDel: {
        const bool back = command == ccBack;
        if (this->SelectionLength() == 0 && (back ? caret > 0 : caret < length))
          this->SetSelectionRaw(back ? caret - 1 : caret, back ? caret : caret + 1);
        if (this->SelectionLength() > 0) ReplaceSelection({});
        break;
      }
      case ccLeft: MoveTo(caret - 1); break;
      case ccRight: MoveTo(caret + 1); break;
      case ccHome: MoveTo(0); break;
      case ccEnd: MoveTo(length); break;
      case ccIns: this->SetInsertMode(!this->InsertMode()); break;
      case ccRestore: this->Restore(); break;
      case efc::MouseDown:
        anchor_ = this->PositionAtX(msg.x);
        MoveTo(anchor_);
        break;
      case efc::MouseMove: {
        const int to = this->PositionAtX(msg.x);
        this->SetCaretRaw(to);
        this->SetSelectionRaw(std::min(anchor_, to), std::max(anchor_, to));
        break;
      }
      case efc::DoubleClick: this->SelectAll(); break;
      default: break;
    }
  }
  std::uint16_t ValidateValue() override {
    std::uint16_t code = checkResult;
    this->DoOnUserValidation(code);
    return code;
  }
  // Strings travel zero-terminated; other types are kept as the bytes given.
  void TransferValueOut(std::span<std::uint8_t> data) override {
    if (this->DataType() == pftString) {
      std::fill(data.begin(), data.end(), 0);
      std::copy(this->GetText().begin(), this->GetText().end(), data.begin());
    } else {
      std::copy(loaded.begin(), loaded.begin() + std::min(loaded.size(), data.size()), data.begin());
    }
  }
  void TransferValueIn(std::span<const std::uint8_t> data) override {
    loaded.assign(data.begin(), data.begin() + this->GetDataSize());
    if (this->DataType() == pftString)
      this->SetTextRaw(std::string(loaded.begin(), std::find(loaded.begin(), loaded.end(), 0)));
    this->ValueLoaded(false);
  }
  void IncreaseValueBy(bool, double) override { ++increments; }

 private:
  void MoveTo(int pos) {
    this->SetCaretRaw(pos);
    this->SetSelectionRaw(this->CaretPos(), this->CaretPos());
  }
  void ReplaceSelection(std::string_view with) {
    std::string text = this->GetText();
    const int start = this->SelectionLength() > 0 ? this->SelStart() : this->CaretPos();
    text.erase(start, this->SelectionLength());
    text.insert(start, with);
    this->SetTextRaw(text);
    MoveTo(start + static_cast<int>(with.size()));
    this->TextEdited();
  }
  int anchor_ = 0;
};
