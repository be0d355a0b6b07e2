#include "shell/forms/StartUp.h"

#include <memory>

#include "controls/base/VirIntl.h"
#include "modules/BuiltModules.h"
#include "platform/Desktop.h"
#include "platform/Guard.h"
#include "shell/forms/Listingu.h"
#include "shell/forms/Morva.h"
#include "shell/forms/ProgramServices.h"
#include "shell/forms/Splash.h"

TMORVAF& StartMorvapc() {
  auto splash = std::make_unique<TSplashF>();
  plat::SetApplicationTitle("Morvapc");
  plat::SetApplicationHelpFile("morva.hlp");
  RegisterBuiltModules();
  TMORVAF& main = plat::CreateForm<TMORVAF>(splash.get());
  splash.reset();
  TListingF& listing = plat::CreateForm<TListingF>();
  InstallProgramServices(listing.Model());
  VirIntlSup().ShortDate = FourDigitYears(VirIntlSup().ShortDate);
  main.ShowForm();
  return main;
}

int RunMorvapc() {
  StartMorvapc();
  return plat::RunApplication();
}
