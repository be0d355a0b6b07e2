#include "shell/forms/Ask_oafF.h"

#include <memory>

#include "shell/Ask_oaf.h"

namespace {
const plat::Font kFormFont{"Liberation Sans", 9, plat::clBlack, 0};
}

Task_oafF::Task_oafF() : plat::Form("ask_oafF") {
  SetCaption("File exists!");
  SetStayOnTop(true);
  SetBorderStyle(plat::BorderStyle::Dialog);
  SetPosition(plat::FormPosition::ScreenCenter);
  SetFont(kFormFont);
  SetClientSize(360, 110);
  Add<plat::Label>("File:").SetBounds(10, 14, 30, 18);
  fileLabel_ = &Add<plat::Label>();
  fileLabel_->SetBounds(44, 14, 250, 18);
  Add<plat::Label>("exists!").SetBounds(300, 14, 50, 18);
  fileText_ = &Add<plat::Edit>();
  fileText_->SetBounds(10, 36, 340, 22);
  fileText_->Hide();

  auto addButton = [this](plat::ButtonKind kind, const std::string& caption, const std::string& hint,
                          plat::ModalResult result, int left) {
    auto& button = Add<plat::Button>();
    button.SetKind(kind);
    if (!caption.empty()) button.SetCaption(caption);
    button.SetHint(hint);
    button.SetShowHint(true);
    button.SetModalResult(result);
    button.SetBounds(left, 70, 100, 28);
    return &button;
  };
  append_ = addButton(plat::ButtonKind::Custom, "&Append", "Append to end of existing file", oafAppend, 10);
  overwrite_ = addButton(plat::ButtonKind::Ignore, "&Overwrite", "Delete old file", oafOverwrite, 130);
  cancel_ = addButton(plat::ButtonKind::Cancel, {}, "Cancel, try another file name", oafCancel, 250);
  cancel_->SetCancel(true);
  OnShow = [this] {
    shownName_ = fileText_->Text();
    fileLabel_->SetCaption(shownName_);
  };
}

plat::ModalResult ShowOverwriteQuestion(const std::string& fullName) {
  auto ask = std::make_unique<Task_oafF>();
  ask->FileText().SetText(fullName);
  return ask->ShowModal();
}
