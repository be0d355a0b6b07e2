#include "dataeditor/forms/CommentsF.h"

#include "platform/DisplayText.h"
#include "platform/Guard.h"

TCommentsF::TCommentsF() : plat::Form("CommentsF") {
  SetCaption("Comments");
  SetHelpContext(kHelpContext);
  SetFont(plat::Font{"Liberation Sans", 9, plat::clBlack, 0});
  SetClientSize(420, 260);
  bottom_ = &Add<plat::Panel>();
  bottom_->SetBounds(0, 220, 420, 40);
  bottom_->SetAlign(plat::Align::Bottom);
  close_ = &bottom_->Add<plat::Button>("Close");
  close_->SetBounds(170, 6, 80, 28);
  close_->OnClick = [this] { Close(); };
  memo_ = &Add<plat::Memo>();
  memo_->SetAlign(plat::Align::Client);
  memo_->SetWordWrap(false);
  memo_->OnChange = [this] {
    if (!settingLines_ && OnLinesEdited) plat::RunGuarded([this] { OnLinesEdited(memo_->Lines()); });
  };
  OnResize = [this] { CentreCloseButton(); };
  OnClose = [this](plat::CloseAction& action) {
    action = plat::CloseAction::Hide;
    if (OnClosed) OnClosed();
  };
}

void TCommentsF::SetLines(const std::vector<std::string>& lines) {
  // The memo reads its lines back as they show (in UTF-8).
  std::vector<std::string> shown;
  for (const auto& line : lines) shown.push_back(plat::DisplayUtf8(line));
  if (memo_->Lines() == shown) return;
  settingLines_ = true;
  memo_->SetLines(lines);
  settingLines_ = false;
}

void TCommentsF::CentreCloseButton() {
  close_->SetBounds((bottom_->Width() - close_->Width()) / 2, close_->Top(), close_->Width(), close_->Height());
}
