#pragma once
// The system's exception classes and the small services every module and the
// shell call: the listing line writer, message boxes, the window lookup, the
// edit-to-real conversion, the printer page query, directory normalisation and
// the release of the working parameter table.
//
// The matrix library links without any window. The services that need one
// (listing, message boxes, the window list, the printer, the working parameter
// table) go through hooks that the shell installs at start-up; tests install
// recording doubles.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "rtl/Exception.h"

// Errors meant for the user: the per-run handlers show the text in an error box.
class E_Morvapc : public rtl::Exception {
 public:
  using rtl::Exception::Exception;
};

// A computation cancelled by the user; shown in a warning box.
class E_Morvapc_UserAbort : public rtl::Exception {
 public:
  E_Morvapc_UserAbort() : rtl::Exception("User abort") {}
};

// Internal errors (an index out of range, a copy target too small, a bad module
// number). Not caught by the per-run handlers: they reach the default error box.
class E_Morvapc_Internal : public rtl::Exception {
 public:
  using rtl::Exception::Exception;
};

// One plot button of a module: its hint (may hold a line feed), the name of the
// bitmap drawn on it ("2DPlot", "3DPlot", "Tree" or empty for a blank button)
// and the routine its click runs.
struct TbuttonsRec {
  std::string hint;
  std::string glyph;
  void (*plot)() = nullptr;
};

// The current printer's page as the platform reports it.
struct TPrinterPage {
  double widthMm = 0;
  double heightMm = 0;
  int orientation = 0;  // 0 portrait, 1 landscape
};

// The hooks the shell installs. An unset hook means the service is not there:
// the listing and the message boxes then raise E_Morvapc_Internal, the window
// list is empty and no printer is found.
struct TSharedServices {
  // Appends the line and a line end at the end of the current listing section,
  // as one undo step.
  std::function<void(std::string_view line)> listingLine;
  // Modal boxes with the single button OK.
  std::function<void(std::string_view text)> errorBox;
  std::function<void(std::string_view text)> warningBox;
  // The names of the application's current windows.
  std::function<std::vector<std::string>()> formNames;
  // The current printer's page; nothing when no printer is available.
  std::function<std::optional<TPrinterPage>()> printerPage;
  // Releases the working copy of a module's parameter table, if one is held.
  std::function<void()> freeParamTable;
};

// Replaces the installed hooks and returns the previous ones.
TSharedServices InstallSharedServices(TSharedServices services);

// Appends one line to the current listing section (an empty text, an empty line).
void ListingWriteLine(std::string_view text);

void ShowErrorMessage(std::string_view text);
void ShowWarningMessage(std::string_view text);

// True when one of the application's windows has this name, ignoring case.
bool FormExists(std::string_view name);

// The text of an entry field as a real number ('.' is the decimal point);
// raises E_Morvapc "Invalid value for <fieldName>" when it is no number.
bool EditToReal(std::string_view text, std::string_view fieldName, double& value);

// The page of the current printer in hundredths of an inch and its orientation,
// stored by GetPrinterResolution for the plot printing code.
extern int PrinterPageWidth;
extern int PrinterPageHeight;
extern int PrinterOrientation;

// Asks the printer for its page and stores it above; raises E_Morvapc
// "No printer found." when there is none.
bool GetPrinterResolution();

// Trims blanks and ends a non-empty directory with a path separator ('/' is
// added; a final '/' or '\' is kept).
void NormalizeDirectory(std::string& directory);

// Frees the working copy of a module's parameter table held by the parameter
// dialog or the batch runner; nothing happens when none is held.
void FreeParamTable();
