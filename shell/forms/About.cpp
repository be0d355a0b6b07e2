#include "shell/forms/About.h"

#include "platform/StdControls.h"
#include "shell/forms/Version.h"

TAboutF::TAboutF() : plat::Form("AboutF") {
  SetCaption("About Morvapc");
  SetStayOnTop(true);
  SetBorderStyle(plat::BorderStyle::Dialog);
  SetPosition(plat::FormPosition::ScreenCenter);
  SetFont(plat::Font{"Liberation Sans", 9, plat::clBlack, 0});
  SetClientSize(260, 130);
  auto& name = Add<plat::Label>("Morvapc");
  name.SetFont(plat::Font{"Liberation Sans", 14, plat::clBlack, plat::fsBold});
  name.SetBounds(20, 14, 220, 28);
  auto& version = Add<plat::Label>();
  version.SetBounds(20, 50, 220, 20);
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
