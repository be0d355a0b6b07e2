#include "dataeditor/forms/MveditAboutF.h"

#include "platform/StdControls.h"

TMveditAboutF::TMveditAboutF(const std::string& versionText) : plat::Form("MveditAboutF") {
  SetCaption("About Mvedit");
  SetHelpContext(kHelpContext);
  SetBorderStyle(plat::BorderStyle::Dialog);
  SetPosition(plat::FormPosition::ScreenCenter);
  SetFont(plat::Font{"Liberation Sans", 9, plat::clBlack, 0});
  SetClientSize(240, 120);
  auto& name = Add<plat::Label>("Mvedit");
  name.SetFont(plat::Font{"Liberation Sans", 14, plat::clBlack, plat::fsBold});
  name.SetBounds(20, 14, 200, 28);
  Add<plat::Label>("Version " + versionText).SetBounds(20, 46, 200, 20);
  auto& ok = Add<plat::Button>();
  ok.SetKind(plat::ButtonKind::OK);
  ok.SetBounds(80, 80, 80, 28);
  ok.OnClick = [this] { Close(); };
}

void ShowMveditAbout(const std::string& versionText) {
  plat::Form* about = plat::FindForm("MveditAboutF");
  if (about == nullptr) about = &plat::CreateForm<TMveditAboutF>(versionText);
  about->ShowForm();
}
