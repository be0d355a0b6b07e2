// qmbrun FILE.QMB [p1 ... p9]
//
// Runs a batch file through the batch runner without a display: the listing
// goes to standard output in the listing-file format, message boxes go to
// standard error after it, a graphics module's "Next" is pressed at once (when
// the program is built with windows; without, it has no graphics modules), and
// an existing output file is never overwritten unless the configuration says
// so. Exits 0 when the batch ends normally, 1 otherwise.
//
// Settings come from "morva.ini" as the program reads them at start
// (XDG_CONFIG_HOME decides where); nothing is written back. When
// SOURCE_DATE_EPOCH is set, the sections' date and time, and the time of day
// that seeds the random generator, are that moment (UTC), so listings can be
// compared.

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
#include "tools/qmbrun/WindowedPart.h"

namespace {

constexpr const char* Version = "2.02c";

// Presses Next as soon as the batch waits after a graphics module.
class HeadlessBatchView : public TBatchView {
 public:
  void Attach(TBatchRunner& runner) { runner_ = &runner; }
  void WaitStarted() override { runner_->Next(); }

 private:
  TBatchRunner* runner_ = nullptr;
};

// Message boxes as text for standard error, shown once the listing is out.
std::vector<std::string>& Messages() {
  static std::vector<std::string> messages;
  return messages;
}

void InstallHeadlessServices(TListingModel& listing) {
  TSharedServices services;
  services.errorBox = [](std::string_view text) { Messages().emplace_back(text); };
  services.warningBox = [](std::string_view text) { Messages().emplace_back(text); };
  InstallSharedServices(std::move(services));
  InstallShellServices(listing, [](const std::string& fullName) {
    Messages().push_back("Output file exists, left as it was: " + fullName);
    return oafCancel;
  });
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

// A listing that could not be written all the same is a failed run.
int Finish(const TListingModel& listing, bool ok) {
  std::cout << listing.FileText() << std::flush;
  if (!std::cout) Messages().emplace_back("Error writing the listing to standard output");
  for (const std::string& message : Messages()) std::cerr << message << '\n';
  return ok && std::cout ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: qmbrun FILE.QMB [p1 ... p9]\n";
    return 1;
  }
  std::string parameters;
  for (int i = 2; i < argc; ++i) parameters += std::string(i > 2 ? " " : "") + argv[i];

  RegisterBuiltModules();
  AddWindowedPart();
  TListingModel listing(Version);
  HeadlessBatchView view;
  TBatchRunner runner(listing, view);
  view.Attach(runner);
  try {
    ReadSettings();
    InstallHeadlessServices(listing);
    UseSourceDateEpoch(listing);
    runner.Load(argv[1]);
    const TBatchEnd end = runner.Run(parameters);
    if (end == TBatchEnd::Refused) Messages().push_back("The batch did not start.");
    return Finish(listing, end == TBatchEnd::Completed);
  } catch (const std::exception& error) {
    Messages().push_back(error.what());
    return Finish(listing, false);
  }
}
