#include "shell/forms/ProgramServices.h"

#include <optional>
#include <string>
#include <vector>

#include "matrix/Constu.h"
#include "platform/Desktop.h"
#include "platform/Form.h"
#include "platform/MessageBox.h"
#include "platform/Printer.h"
#include "plot/forms/GraphicsModules.h"
#include "plot/forms/bm2DForm.h"
#include "shell/PlotWindows.h"
#include "shell/Progress.h"
#include "shell/ShellServices.h"
#include "shell/forms/About.h"
#include "shell/forms/Ask_oafF.h"

namespace {

std::optional<TPrinterPage> PrinterPage() {
  if (!plat::Service<plat::Printer>::Installed()) return std::nullopt;
  plat::Printer& printer = plat::ThePrinter();
  if (!printer.Available()) return std::nullopt;
  return TPrinterPage{static_cast<double>(printer.PageWidthMM()), static_cast<double>(printer.PageHeightMM()),
                      printer.GetOrientation() == plat::Orientation::Landscape ? 1 : 0};
}

std::vector<std::string> FormNames() {
  std::vector<std::string> names;
  for (const plat::Form* form : plat::Forms()) names.push_back(form->Name());
  return names;
}

}  // namespace

void InstallPrinterServices() {
  TSharedServices services = InstallSharedServices({});
  services.printerPage = PrinterPage;
  InstallSharedServices(std::move(services));
}

void InstallProgramServices(TListingModel& listing) {
  TSharedServices services;
  services.errorBox = [](std::string_view text) { plat::ShowErrorMessage(std::string(text)); };
  services.warningBox = [](std::string_view text) { plat::ShowWarningMessage(std::string(text)); };
  services.formNames = FormNames;
  InstallSharedServices(std::move(services));
  InstallPrinterServices();
  InstallShellServices(listing, ShowOverwriteQuestion);
  SetMessagePump([] { plat::ProcessMessages(); });
  RegisterGraphicsModules();
  InstallPlotOpeners(PlotWindowOpeners());
  Tbm2DForm::AboutHandler() = ShowAbout;
}
