#include "shell/forms/Ask_oafF.h"

#include <algorithm>
#include <memory>

#include "platform/FileNameLines.h"
#include "platform/TextMetrics.h"
#include "shell/Ask_oaf.h"

namespace {
const plat::Font kFormFont{"Liberation Sans", 9, plat::clBlack, 0};
constexpr int kMargin = 10;
constexpr int kNameLeft = 44;
constexpr int kNameTop = 14;
constexpr int kLineHeight = 18;
// The name's column: as wide as the name, between these widths; a longer name takes more lines.
constexpr int kNarrowestName = 250;
constexpr int kWidestName = 520;
constexpr int kExistsGap = 6;
constexpr int kExistsWidth = 50;
constexpr int kButtonGap = 38;
constexpr int kButtonWidth = 100;
constexpr int kButtonHeight = 28;
constexpr int kButtonStep = 120;

std::string JoinedLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += (text.empty() ? "" : "\n") + line;
  return text;
}
}  // namespace

Task_oafF::Task_oafF() : plat::Form("ask_oafF") {
  SetCaption("File exists!");
  SetStayOnTop(true);
  SetBorderStyle(plat::BorderStyle::Dialog);
  SetPosition(plat::FormPosition::ScreenCenter);
  SetFont(kFormFont);
  Add<plat::Label>("File:").SetBounds(kMargin, kNameTop, 30, kLineHeight);
  fileLabel_ = &Add<plat::Label>();
  exists_ = &Add<plat::Label>("exists!");
  fileText_ = &Add<plat::Edit>();
  fileText_->SetBounds(kMargin, 36, 340, 22);
  fileText_->Hide();

  auto addButton = [this](plat::ButtonKind kind, const std::string& caption, const std::string& hint,
                          plat::ModalResult result) {
    auto& button = Add<plat::Button>();
    button.SetKind(kind);
    if (!caption.empty()) button.SetCaption(caption);
    button.SetHint(hint);
    button.SetShowHint(true);
    button.SetModalResult(result);
    return &button;
  };
  append_ = addButton(plat::ButtonKind::Custom, "&Append", "Append to end of existing file", oafAppend);
  overwrite_ = addButton(plat::ButtonKind::Ignore, "&Overwrite", "Delete old file", oafOverwrite);
  cancel_ = addButton(plat::ButtonKind::Cancel, {}, "Cancel, try another file name", oafCancel);
  cancel_->SetCancel(true);
  LayOutName();
  // The window takes the name's size as the caller sets it, before it is placed on the screen.
  fileText_->OnChange = [this] { LayOutName(); };
  OnShow = [this] {
    shownName_ = fileText_->Text();
    fileLabel_->SetCaption(JoinedLines(nameLines_));
  };
}

// The name's column as wide as the name allows, its lines below one another,
// "exists!" beside the first and the buttons under the last.
void Task_oafF::LayOutName() {
  const std::string name = fileText_->Text();
  const auto widthOf = [this](std::string_view text) { return plat::TextWidthIn(*fileLabel_, std::string(text)); };
  const int width = std::clamp(widthOf(name), kNarrowestName, kWidestName);
  nameLines_ = plat::FileNameLines(name, width, widthOf);
  const int height = kLineHeight * static_cast<int>(nameLines_.size());
  fileLabel_->SetBounds(kNameLeft, kNameTop, width, height);
  const int existsLeft = kNameLeft + width + kExistsGap;
  exists_->SetBounds(existsLeft, kNameTop, kExistsWidth, kLineHeight);
  const int buttonsTop = kNameTop + height + kButtonGap;
  int left = kMargin;
  for (plat::Button* button : {append_, overwrite_, cancel_}) {
    button->SetBounds(left, buttonsTop, kButtonWidth, kButtonHeight);
    left += kButtonStep;
  }
  SetClientSize(existsLeft + kExistsWidth + kMargin, buttonsTop + kButtonHeight + 12);
}

plat::ModalResult ShowOverwriteQuestion(const std::string& fullName) {
  auto ask = std::make_unique<Task_oafF>();
  ask->FileText().SetText(fullName);
  return ask->ShowModal();
}
