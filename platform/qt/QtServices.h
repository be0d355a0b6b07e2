#pragma once
// Makers of the toolkit's dialog, clipboard and printer services.

#include "platform/Clipboard.h"
#include "platform/CommonDialogs.h"
#include "platform/Fonts.h"
#include "platform/Printer.h"
#include "platform/SystemColors.h"

#include <memory>

namespace plat::qtbridge {

std::unique_ptr<Dialogs> MakeDialogs();
std::unique_ptr<Clipboard> MakeClipboard();
std::unique_ptr<Printer> MakePrinter();
std::unique_ptr<SystemPalette> MakeSystemPalette();
std::unique_ptr<FontSystem> MakeFontSystem();

// The print and printer set-up dialogs work on the toolkit printer of MakePrinter.
bool RunPrintDialog(PrintRequest& request);
bool RunPrinterSetupDialog();

}  // namespace plat::qtbridge
