// qmbrun [--overwrite] [--plots DIR [--plot-format pdf|png|emf]] FILE.QMB [p1 ... p9]
//
// Runs a batch file through the batch runner without a display (see
// QmbrunHelp for what the user is told). The listing goes to standard output
// in the listing-file format with LF line ends, each command's section as
// soon as the command ends; message boxes go to standard error as they are
// shown, named after the batch line. A graphics module's "Next" is pressed at
// once, after its plot windows were saved (--plots) or the listing says that
// they were not. An existing output file stops the batch unless --overwrite,
// the setting "OverWrite" or a CONFIG command says what to do with it. Exits 0
// when the batch ends normally, 1 otherwise.
//
// Settings come from "morva.ini" as the program reads them at start
// (XDG_CONFIG_HOME decides where); nothing is written back. When
// SOURCE_DATE_EPOCH is set, the sections' date and time, and the time of day
// that seeds the random generator, are that moment (UTC), so listings can be
// compared.

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <string>
#include <vector>

#include "matrix/Constu.h"
#include "modules/BuiltModules.h"
#include "rtl/Convert.h"
#include "rtl/Random.h"
#include "shell/Ask_oaf.h"
#include "shell/Batchu.h"
#include "shell/Config.h"
#include "shell/Listing.h"
#include "shell/Profile2.h"
#include "shell/ShellServices.h"
#include "tools/qmbrun/HeadlessBatch.h"
#include "tools/qmbrun/QmbrunOptions.h"
#include "tools/qmbrun/WindowedPart.h"

namespace {

constexpr const char* Version = "2.02c";

// An existing output file: written over with --overwrite, else the batch stops.
TAskOafPrompt OverwritePrompt(bool overwrite) {
  return [overwrite](const std::string& fullName) {
    if (!overwrite) {
      throw E_Morvapc("Output file exists: " + fullName +
                      "\nRun qmbrun with --overwrite to write over it, or set OW=O (overwrite) or OW=A (append) "
                      "with *CONFIG in the batch.");
    }
    return oafOverwrite;
  };
}

void InstallHeadlessServices(TListingModel& listing, TBatchReport& report, bool overwrite) {
  TSharedServices services;
  services.errorBox = [&report](std::string_view text) { report.Error(text); };
  services.warningBox = [&report](std::string_view text) { report.Warning(text); };
  InstallSharedServices(std::move(services));
  InstallShellServices(listing, OverwritePrompt(overwrite));
  SetBatchProgressView(&report);
}

void UseSourceDateEpoch(TListingModel& listing) {
  const char* epoch = std::getenv("SOURCE_DATE_EPOCH");
  if (epoch == nullptr) return;
  const auto seconds = rtl::TryStrToInt64(epoch);
  if (!seconds) return;
  listing.SetClock([moment = static_cast<std::time_t>(*seconds)] {
    std::tm utc{};
    gmtime_r(&moment, &utc);
    return DateTimeOf(utc);
  });
  constexpr std::int64_t kSecondsPerDay = 24 * 60 * 60;
  const auto secondOfDay = ((*seconds % kSecondsPerDay) + kSecondsPerDay) % kSecondsPerDay;
  rtl::InstallRandomizeClock([ms = static_cast<std::uint32_t>(secondOfDay * 1000)] { return ms; });
}

void ReadSettings() {
  TProfile2 profile;
  profile.FileName = std::string(SettingsFileName);
  ReadConfig(profile);
}

// After a graphics module: its plot windows saved in the folder, or the
// listing says that they were not.
void SavePlots(const TQmbrunOptions& options, const TListingModel& listing) {
  if (OpenPlotWindows() == 0) return;
  if (options.plotsFolder.empty()) {
    ListingWriteLine("Plot not saved (qmbrun --plots DIR saves it)");
    return;
  }
  const TListingSection* section = listing.CurrentSection();
  const std::string stem = section != nullptr ? section->Caption() : std::string("plot");
  for (const std::string& file : SavePlotWindows(options.plotsFolder, stem, options.plotFormat)) {
    ListingWriteLine("Plot saved: " + file);
  }
}

// Runs the batch; true when every command ran.
bool RunBatch(const TQmbrunOptions& options, TListingModel& listing, TBatchReport& report, TListingStream& stream) {
  THeadlessBatchView view(report, stream, [&] { SavePlots(options, listing); });
  TBatchRunner runner(listing, view);
  view.Attach(runner);
  ReadSettings();
  InstallHeadlessServices(listing, report, options.overwrite);
  UseSourceDateEpoch(listing);
  runner.Load(options.batchFile);
  const TBatchEnd end = runner.Run(options.parameters);
  if (end == TBatchEnd::Refused) report.Error("The batch did not start.");
  return end == TBatchEnd::Completed;
}

}  // namespace

int main(int argc, char** argv) {
  const TQmbrunOptions options = ParseQmbrunArguments(std::vector<std::string>(argv + 1, argv + argc), kWithWindows);
  if (!options.error.empty()) {
    std::cerr << "qmbrun: " << options.error << '\n' << QmbrunUsage(kWithWindows) << '\n';
    return 1;
  }
  if (options.help) {
    std::cout << QmbrunHelp(kWithWindows);
    return 0;
  }
  if (options.version) {
    std::cout << "qmbrun " << Version << '\n';
    return 0;
  }

  RegisterBuiltModules();
  AddWindowedPart();
  TListingModel listing(Version);
  TBatchReport report(std::cerr, isatty(STDERR_FILENO) == 1);
  TListingStream stream(listing, std::cout);
  bool ok = false;
  try {
    ok = RunBatch(options, listing, report, stream);
  } catch (const std::exception& error) {
    report.Error(error.what());
  }
  report.ClearCommand();
  // A listing that could not be written all the same is a failed run.
  if (!stream.WriteNewSections()) {
    report.Error("Error writing the listing to standard output");
    ok = false;
  }
  return ok ? 0 : 1;
}
