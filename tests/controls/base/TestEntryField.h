#pragma once
// A small entry field for the tests without a window: it edits plain text
// (PlainTextEdits.h) and records what it asks of its window. A controller double
// keeps the form-wide report state, and a form double runs the posted reports
// and refocus requests in order, as the event loop would.

#include <algorithm>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "PlainTextEdits.h"
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

// The model's hooks, recorded. The field classes' models share the entry
// field as a virtual base, so the test fields put this beside any of them.
class RecordingField : public virtual EntryFieldModel {
 public:
  RecordingField(const EntryFieldIntl& intl, TFieldKind kind) : EntryFieldModel(intl, kind) {}

  int beeps = 0;
  int repaints = 0;
  int recreated = 0;
  int advancedNext = 0;  // focus moves to the next control
  int advancedPrev = 0;
  bool recreateMakesWindow = false;  // a window made again runs the creation steps
  FakeController ownController;      // for a field that is its own form
  bool enabled = true;
  bool visible = true;
  std::optional<std::string> clipboard;
  EntryFieldController* controller = nullptr;
  TestForm* form = nullptr;

 protected:
  // Characters 10 pixels wide, from the left edge.
  int PositionAtX(int x) const { return std::clamp(x / 10, 0, static_cast<int>(GetText().size())); }

  EntryFieldController* FieldController() const override { return controller; }
  bool IsFieldEnabled() const override { return enabled; }
  bool IsFieldVisible() const override { return visible; }
  void RepaintField() override { ++repaints; }
  void RecreateWindow() override {
    ++recreated;
    if (recreateMakesWindow) WindowCreated();
  }
  void MoveToNextControl() override { ++advancedNext; }
  void MoveToPrevControl() override { ++advancedPrev; }
  void Beep() override { ++beeps; }
  void TakeFocus() override;
  void PutClipboardText(std::string_view text) override { clipboard = std::string(text); }
  std::optional<std::string> GetClipboardText() override { return clipboard; }
  void PostReport(std::uint16_t code) override;
  void PostRefocus() override;
};

class TestField : public PlainTextEdits<RecordingField> {
 public:
  explicit TestField(const EntryFieldIntl& intl, TFieldKind kind = TFieldKind::Simple,
                     TPictureDataType type = pftString)
      : EntryFieldModel(intl, kind), PlainTextEdits<RecordingField>(intl, kind) {
    AssignDataType(type);
  }

  using EntryFieldModel::AssignDataType;
  using EntryFieldModel::CharacterUnderMouse;
  using EntryFieldModel::GetDisplayString;
  using EntryFieldModel::SetFirstVisible;
  using EntryFieldModel::SetMaskText;

  // Put text in as the user would have typed it, caret at its end.
  void Type(std::string_view text) {
    for (char c : text) {
      TEditMsg msg;
      msg.ch = rtl::Cp1252ToCodePoint(static_cast<unsigned char>(c));
      ExecuteCommand(msg, ccChar);
    }
  }
};

// Fields of one form with their controller: focus moves, and the posted
// messages queued until Deliver runs them.
class TestForm {
 public:
  explicit TestForm(std::vector<RecordingField*> fields) : fields_(std::move(fields)) {
    for (RecordingField* f : fields_) {
      f->controller = &controller;
      f->form = this;
    }
  }

  // Tab or a click: the focused field lets go first, then the next one enters.
  void Focus(EntryFieldModel* field, bool special = false) {
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
  EntryFieldModel* focused = nullptr;

 private:
  std::vector<RecordingField*> fields_;
  std::deque<std::function<void()>> queue_;
};

inline void RecordingField::TakeFocus() {
  if (form) form->Focus(this);
}

inline void RecordingField::PostReport(std::uint16_t code) {
  if (form) form->Post([this, code] { ReportError(code); });
}

inline void RecordingField::PostRefocus() {
  if (form) form->Post([this] { form->Focus(this); });
}
