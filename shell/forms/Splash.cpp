#include "shell/forms/Splash.h"

#include "platform/Clock.h"
#include "platform/Desktop.h"
#include "platform/StdControls.h"
#include "shell/forms/Pictures.h"
#include "shell/forms/Version.h"

namespace {
constexpr std::uint32_t kWaitStepMs = 20;
constexpr std::uint32_t kSecondsShown = 4;
const plat::Color kNavy = plat::RGB(0, 0, 128);
const plat::Color kBlue = plat::RGB(0, 0, 255);
const plat::Color kYellow = plat::RGB(255, 255, 0);
}  // namespace

std::uint32_t SplashDuration(std::uint32_t startTick) { return kSecondsShown * 1000 - startTick % 1000; }

TSplashF::TSplashF() : plat::Form("SplashF"), startTick_(plat::TickCount()) {
  RegisterShellPictures();
  SetBorderStyle(plat::BorderStyle::None);
  SetPosition(plat::FormPosition::ScreenCenter);
  SetStayOnTop(true);
  SetColor(kNavy);
  SetClientSize(302, 208);
  auto& panel = Add<plat::Panel>();
  panel.SetBevels(plat::Bevel::Raised, plat::Bevel::None);
  panel.SetColor(kBlue);
  panel.SetBounds(16, 16, 270, 176);
  auto& picture = panel.Add<plat::Image>();
  picture.SetPictureResource(shellpictures::kSplash);
  picture.SetBounds(103, 12, 64, 64);
  auto& version = panel.Add<plat::Label>("Morvapc - " + VersionText());
  version.SetFont(plat::Font{"Liberation Sans", 14, kYellow, plat::fsBold});
  version.SetAlignment(plat::TextAlign::Center);
  version.SetBounds(10, 100, 250, 30);
  ShowForm();
  Repaint();
  plat::ProcessMessages();
}

bool TSplashF::Due() const { return plat::TickCount() - startTick_ >= SplashDuration(startTick_); }

void TSplashF::WaitAndClose() {
  while (!Due()) {
    plat::ProcessMessages();
    plat::Sleep(kWaitStepMs);
  }
  Hide();
}
