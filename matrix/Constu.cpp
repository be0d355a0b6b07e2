#include "matrix/Constu.h"

#include <utility>

#include "rtl/Convert.h"
#include "rtl/StringList.h"

namespace {

TSharedServices& Services() {
  static TSharedServices services;
  return services;
}

// The hook, or E_Morvapc_Internal naming the missing service.
template <class Hook>
const Hook& Required(const Hook& hook, const char* service) {
  if (!hook) throw E_Morvapc_Internal(std::string("No ") + service + " is installed");
  return hook;
}

// Hundredths of an inch from millimetres, to the nearest integer.
int HundredthsOfInch(double millimetres) {
  return static_cast<int>(rtl::Round(static_cast<long double>(millimetres) * 100 * 0.03937007874015748L));
}

}  // namespace

int PrinterPageWidth = 0;
int PrinterPageHeight = 0;
int PrinterOrientation = 0;

TSharedServices InstallSharedServices(TSharedServices services) {
  return std::exchange(Services(), std::move(services));
}

void ListingWriteLine(std::string_view text) { Required(Services().listingLine, "listing")(text); }

void ShowErrorMessage(std::string_view text) { Required(Services().errorBox, "error box")(text); }

void ShowWarningMessage(std::string_view text) { Required(Services().warningBox, "warning box")(text); }

bool FormExists(std::string_view name) {
  if (!Services().formNames) return false;
  for (const std::string& form : Services().formNames()) {
    if (rtl::SameText(form, name)) return true;
  }
  return false;
}

bool EditToReal(std::string_view text, std::string_view fieldName, double& value) {
  const std::optional<double> number = rtl::TryStrToFloat(text);
  if (!number) throw E_Morvapc("Invalid value for " + std::string(fieldName));
  value = *number;
  return true;
}

bool GetPrinterResolution() {
  std::optional<TPrinterPage> page;
  if (Services().printerPage) page = Services().printerPage();
  if (!page) throw E_Morvapc("No printer found.");
  PrinterPageWidth = HundredthsOfInch(page->widthMm);
  PrinterPageHeight = HundredthsOfInch(page->heightMm);
  PrinterOrientation = page->orientation;
  return true;
}

void NormalizeDirectory(std::string& directory) {
  directory = std::string(rtl::Trim(directory));
  if (!directory.empty() && directory.back() != '/' && directory.back() != '\\') directory += '/';
}

void FreeParamTable() {
  if (Services().freeParamTable) Services().freeParamTable();
}
