#include "dataeditor/forms/MveditAboutF.h"

#include "dataeditor/forms/MveditPictures.h"
#include "platform/StdControls.h"

TMveditAboutF::TMveditAboutF(const std::string& versionText) : plat::Form("MveditAboutF") {
  RegisterMveditPictures();
  SetCaption("About Mvedit");
  SetHelpContext(kHelpContext);
  SetBorderStyle(plat::BorderStyle::Dialog);
  SetPosition(plat::FormPosition::ScreenCenter);
  SetFont(plat::Font{"Liberation Sans", 9, plat::clBlack, 0});
  SetClientSize(260, 120);
  auto& icon = Add<plat::Image>();
  icon.SetPictureResource(mveditpictures::kIcon);
  icon.SetBounds(20, 16, 32, 32);
  auto& name = Add<plat::Label>("Mvedit");
  name.SetFont(plat::Font{"Liberation Sans", 14, plat::clBlack, plat::fsBold});
  name.SetBounds(66, 14, 180, 28);
  Add<plat::Label>("Version " + versionText).SetBounds(66, 50, 180, 20);
  auto& ok = Add<plat::Button>();
  ok.SetKind(plat::ButtonKind::OK);
  ok.SetBounds(90, 80, 80, 28);
  ok.OnClick = [this] { Close(); };
}

void ShowMveditAbout(const std::string& versionText) {
  plat::Form* about = plat::FindForm("MveditAboutF");
  if (about == nullptr) about = &plat::CreateForm<TMveditAboutF>(versionText);
  about->ShowForm();
}
