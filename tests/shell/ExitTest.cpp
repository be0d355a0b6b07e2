// The analysis program run as it runs for the user, until Exit: each way runs
// in a process of its own, so that a window left open keeps that process in
// its event loop and the test sees it.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <ostream>
#include <string>

#include "platform/Clock.h"
#include "platform/Form.h"
#include "platform/IniFile.h"
#include "platform/qt/Peer.h"
#include "platform/record/ManualClock.h"
#include "shell/Config.h"
#include "shell/forms/Batchf.h"
#include "shell/forms/Morva.h"
#include "shell/forms/StartUp.h"
#include "tests/shell/ShellTestSupport.h"
#include "tests/support/GenerousWait.h"

namespace {

namespace fs = std::filesystem;
using namespace plat;

constexpr int kWindowsLeftShown = 8;
constexpr int kLoopKeptRunning = 9;

// Starts the program (its splash wait on a test clock), lets `session` act once
// the event loop runs, and ends the process with the event loop's result. When
// the loop ends, every window must be closed; a loop still running long after
// the session ends the process with its own code.
[[noreturn]] void RunUntilExit(std::function<void(TMORVAF&)> session) {
  static int argc = 1;
  static char name[] = "morvapc";
  static char* argv[] = {name, nullptr};
  InitApplication(argc, argv);
  ManualClock clock(1500);
  TMORVAF* main = nullptr;
  {
    ScopedService<Clock> onTestClock(clock);
    main = &StartMorvapc();
  }
  QObject::connect(qApp, &QCoreApplication::aboutToQuit, [] {
    bool shown = false;
    for (QWidget* window : QApplication::topLevelWidgets()) {
      if (!window->isVisible()) continue;
      std::fprintf(stderr, "still shown: %s\n", qPrintable(window->windowTitle()));
      shown = true;
    }
    if (shown) std::_Exit(kWindowsLeftShown);
  });
  QTimer::singleShot(0, [main, session] {
    session(*main);
    QTimer::singleShot(testsupport::kGenerousWaitMs, [] { std::_Exit(kLoopKeptRunning); });
  });
  std::exit(RunApplication());
}

TbatchF& OpenBatchWindow(TMORVAF& main) {
  main.Menu().Find("Run batch file...")->Click();
  return *dynamic_cast<TbatchF*>(FindForm("BatchF"));
}

// Presses "Next" once the batch waits after its graphics module.
void PressNextWhenTheBatchWaits(TbatchF& batch) {
  auto* poll = new QTimer(qApp);
  QObject::connect(poll, &QTimer::timeout, [poll, &batch] {
    if (batch.Runner().State() != TBatchState::Waiting) return;
    poll->deleteLater();
    batch.RunBtn().Click();
  });
  poll->start(10);
}

// The user's close box on the main window: the window system's close event.
void CloseBox(TMORVAF& main) { main.Peer().widget->close(); }

struct ExitCase {
  const char* name;
  std::function<void(TMORVAF&, const fs::path& batchFile)> session;
};

void PrintTo(const ExitCase& exitCase, std::ostream* os) { *os << exitCase.name; }

class MorvapcExit : public ::testing::TestWithParam<ExitCase> {
 protected:
  shelltest::TempSettings settings;
};

TEST_P(MorvapcExit, EndsTheProgramWithEveryWindowClosed) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const fs::path data = settings.Folder() / "data";
  fs::create_directories(data);
  fs::copy_file(fs::path(MORVA_FIXTURES) / "sahn" / "golden" / "dis-noties.qmx", data / "dis.qmx");
  std::ofstream((data / "run.qmb").string(), std::ios::binary) << "*SAHN O=dis.qmx R=dis.tre\r\n*TREE O=dis.tre\r\n";
  WriteProfileString(std::string(SettingsFileName), "Config", "DefaultDir", data.string());

  EXPECT_EXIT(RunUntilExit([&](TMORVAF& main) { GetParam().session(main, data / "run.qmb"); }),
              ::testing::ExitedWithCode(0), "");
  for (const char* window : {"BatchF", "ListingF"}) {
    EXPECT_TRUE(ReadProfileString(std::string(SettingsFileName), "WinPos", window).has_value())
        << window << " closed as its own close box closes it, keeping its placement";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Ways, MorvapcExit,
    ::testing::Values(ExitCase{"ExitMenuWithTheListingAndAnIdleBatchWindow",
                               [](TMORVAF& main, const fs::path&) {
                                 main.Menu().Find("&View listing...")->Click();
                                 OpenBatchWindow(main);
                                 main.Menu().Find("e&Xit")->Click();
                               }},
                      ExitCase{"CloseBoxAfterABatchRanWithItsPlotAndListing",
                               [](TMORVAF& main, const fs::path& batchFile) {
                                 main.Menu().Find("&View listing...")->Click();
                                 TbatchF& batch = OpenBatchWindow(main);
                                 batch.Load(batchFile.string());
                                 PressNextWhenTheBatchWaits(batch);
                                 batch.RunBtn().Click();
                                 CloseBox(main);
                               }}),
    [](const auto& param) { return std::string(param.param.name); });

}  // namespace
