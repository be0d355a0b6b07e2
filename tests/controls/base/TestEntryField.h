#pragma once
// A small entry field for the tests: it edits plain text (characters, Back,
// Del, arrows, Home, End, cut and paste, Ins, restore), takes its check result
// from the test, and records what it asks of its window. A controller double
// keeps the form-wide report state, and a form double runs the posted reports
// and refocus requests in order, as the event loop would.

#include <algorithm>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "controls/base/VirEFModel.h"

class FakeController : public EntryFieldController {
 public:
  bool ErrorPending() const override { return errorPending; }
  void SetErrorPending(bool pending) override { errorPending = pending; }
  std::string ErrorText() const override { return errorText; }
  void SetErrorText(const std::string& text) override { errorText = text; }
  bool InsertMode() const override { return insertMode; }
  void SetInsertMode(bool insert) override { insertMode = insert; }
  int Epoch() const override { return epoch; }
  void HandleError(EntryFieldModel&, std::uint16_t code, const std::string& text) override {
    errors.push_back(std::to_string(code) + " " + text);
  }

  bool errorPending = false;
  std::string errorText;
  bool insertMode = true;
  int epoch = 1900;
  std::vector<std::string> errors;  // what the controller's handler showed
};

class TestForm;

class TestField : public EntryFieldModel {
 public:
  explicit TestField(const EntryFieldIntl& intl, TFieldKind kind = TFieldKind::Simple,
                     TPictureDataType type = pftString)
      : EntryFieldModel(intl, kind) {
    AssignDataType(type);
  }

  using EntryFieldModel::AssignDataType;
  using EntryFieldModel::GetDisplayString;
  using EntryFieldModel::SetFirstVisible;
  using EntryFieldModel::SetMaskText;

  // Put text in as the user would have typed it, caret at its end.
  void Type(std::string_view text) {
    for (char c : text) {
      TEditMsg msg;
      msg.ch = c;
      ExecuteCommand(msg, ccChar);
    }
  }

  std::uint16_t checkResult = 0;     // what ValidateValue finds
  std::vector<std::uint16_t> edits;  // commands that reached the editor
  std::vector<std::uint8_t> loaded;  // the bytes of the last value load
  int beeps = 0;
  int repaints = 0;
  int recreated = 0;
  int increments = 0;
  bool enabled = true;
  bool visible = true;
  std::optional<std::string> clipboard;
  EntryFieldController* controller = nullptr;
  TestForm* form = nullptr;

 protected:
  void ExecuteEditCommand(TEditMsg& msg, std::uint16_t command) override;
  std::uint16_t ValidateValue() override {
    std::uint16_t code = checkResult;
    DoOnUserValidation(code);
    return code;
  }
  void TransferValueOut(std::span<std::uint8_t> data) override;
  void TransferValueIn(std::span<const std::uint8_t> data) override;
  void IncreaseValueBy(bool, double) override { ++increments; }

  EntryFieldController* FieldController() const override { return controller; }
  bool IsFieldEnabled() const override { return enabled; }
  bool IsFieldVisible() const override { return visible; }
  void RepaintField() override { ++repaints; }
  void RecreateWindow() override { ++recreated; }
  void Beep() override { ++beeps; }
  void TakeFocus() override;
  void PutClipboardText(std::string_view text) override { clipboard = std::string(text); }
  std::optional<std::string> GetClipboardText() override { return clipboard; }
  void PostReport(std::uint16_t code) override;
  void PostRefocus() override;

 private:
  void ReplaceSelection(std::string_view with);
};

// Fields of one form with their controller: focus moves, and the posted
// messages queued until Deliver runs them.
class TestForm {
 public:
  explicit TestForm(std::vector<TestField*> fields) : fields_(std::move(fields)) {
    for (TestField* f : fields_) {
      f->controller = &controller;
      f->form = this;
    }
  }

  // Tab or a click: the focused field lets go first, then the next one enters.
  void Focus(TestField* field, bool special = false) {
    if (focused == field) return;
    if (focused) focused->FocusLeft(true, special);
    focused = field;
    if (field) field->FocusEntered();
  }
  // The focus goes to a button: special for cancel, help and restore.
  void FocusButton(bool special) {
    if (focused) focused->FocusLeft(true, special);
    focused = nullptr;
  }
  void Post(std::function<void()> message) { queue_.push_back(std::move(message)); }
  void Deliver() {
    while (!queue_.empty()) {
      auto message = std::move(queue_.front());
      queue_.pop_front();
      message();
    }
  }

  FakeController controller;
  TestField* focused = nullptr;

 private:
  std::vector<TestField*> fields_;
  std::deque<std::function<void()>> queue_;
};

inline void TestField::TakeFocus() {
  if (form) form->Focus(this);
}

inline void TestField::PostReport(std::uint16_t code) {
  if (form) form->Post([this, code] { ReportError(code); });
}

inline void TestField::PostRefocus() {
  if (form) form->Post([this] { form->Focus(this); });
}

inline void TestField::ReplaceSelection(std::string_view with) {
  std::string text = GetText();
  int start = SelectionLength() > 0 ? SelStart() : CaretPos();
  text.erase(start, SelectionLength());
  text.insert(start, with);
  SetTextRaw(text);
  SetCaretRaw(start + static_cast<int>(with.size()));
  SetSelectionRaw(CaretPos(), CaretPos());
  TextEdited();
}

inline void TestField::ExecuteEditCommand(TEditMsg& msg, std::uint16_t command) {
  edits.push_back(command);
  const int caret = CaretPos();
  const int length = static_cast<int>(GetText().size());
  switch (command) {
    case ccNotCommand: ArmCharacter(); break;
    case ccChar:
      if (SelectionLength() == 0 && !InsertMode() && caret < length) SetSelectionRaw(caret, caret + 1);
      ReplaceSelection(std::string(1, msg.ch));
      break;
    case ccPaste: ReplaceSelection(msg.text); break;
    case ccCut:
      if (SelectionLength() > 0) ReplaceSelection({});
      break;
    case ccBack:
      if (SelectionLength() == 0 && caret > 0) SetSelectionRaw(caret - 1, caret);
      if (SelectionLength() > 0) ReplaceSelection({});
      break;
    case ccDel:
      if (SelectionLength() == 0 && caret < length) SetSelectionRaw(caret, caret + 1);
      if (SelectionLength() > 0) ReplaceSelection({});
      break;
    case ccLeft:
    case ccRight:
    case ccHome:
    case ccEnd: {
      int to = command == ccLeft ? caret - 1 : command == ccRight ? caret + 1 : command == ccHome ? 0 : length;
      SetCaretRaw(to);
      SetSelectionRaw(CaretPos(), CaretPos());
      break;
    }
    case ccIns: SetInsertMode(!InsertMode()); break;
    case ccRestore: Restore(); break;
    default: break;
  }
}

// Strings travel zero-terminated; other types are kept as the bytes given.
inline void TestField::TransferValueOut(std::span<std::uint8_t> data) {
  if (DataType() == pftString) {
    std::fill(data.begin(), data.end(), 0);
    std::copy(GetText().begin(), GetText().end(), data.begin());
  } else {
    std::copy(loaded.begin(), loaded.begin() + std::min(loaded.size(), data.size()), data.begin());
  }
}

inline void TestField::TransferValueIn(std::span<const std::uint8_t> data) {
  loaded.assign(data.begin(), data.begin() + GetDataSize());
  if (DataType() == pftString) SetTextRaw(std::string(loaded.begin(), std::find(loaded.begin(), loaded.end(), 0)));
  ValueLoaded(false);
}
