#include "shell/forms/About.h"

#include "platform/StdControls.h"
#include "shell/forms/Pictures.h"
#include "shell/forms/Version.h"

TAboutF::TAboutF() : plat::Form("AboutF") {
  RegisterShellPictures();
  SetCaption("About Morvapc");
  SetStayOnTop(true);
  SetBorderStyle(plat::BorderStyle::Dialog);
  SetPosition(plat::FormPosition::ScreenCenter);
  SetFont(plat::Font{"Liberation Sans", 9, plat::clBlack, 0});
  SetClientSize(260, 130);
  auto& icon = Add<plat::Image>();
  icon.SetPictureResource(shellpictures::kIcon);
  icon.SetBounds(20, 16, 32, 32);
  auto& name = Add<plat::Label>("Morvapc");
  name.SetFont(plat::Font{"Liberation Sans", 14, plat::clBlack, plat::fsBold});
  name.SetBounds(66, 14, 180, 28);
  auto& version = Add<plat::Label>();
  version.SetBounds(66, 50, 180, 20);
  auto& ok = Add<plat::Button>();
  ok.SetKind(plat::ButtonKind::OK);
  ok.SetBounds(90, 88, 80, 28);
  OnShow = [&version] { version.SetCaption("Version " + VersionText()); };
  OnClose = [](plat::CloseAction& action) { action = plat::CloseAction::Free; };
}

void ShowAbout() {
  plat::Form* about = plat::FindForm("AboutF");
  if (about == nullptr) about = &plat::CreateForm<TAboutF>();
  about->ShowModal();
}
