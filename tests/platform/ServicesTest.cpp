#include "platform/CommonDialogs.h"
#include "platform/Desktop.h"
#include "platform/Guard.h"
#include "platform/Layout.h"
#include "platform/record/ManualClock.h"
#include "platform/record/ScriptedUi.h"
#include "rtl/Exception.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

namespace plat {
void PrintTo(const Rect& r, std::ostream* os) {
  *os << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}
}  // namespace plat

namespace {

namespace fs = std::filesystem;
using namespace plat;

TEST(ManualClockTest, AdvanceFiresDueTimersInTimeOrderAndStopsWithThem) {
  ManualClock clock(1000);
  ScopedManualClock installed(clock);
  std::vector<std::string> ticks;
  auto& timers = Service<TimerService>::Get();
  auto fast = timers.Start(100, [&] { ticks.push_back("100@" + std::to_string(TickCount())); });
  TimerService::TimerId slow = 0;
  slow = timers.Start(250, [&] {
    ticks.push_back("250@" + std::to_string(TickCount()));
    timers.Stop(slow);  // a timer may stop itself while it fires
  });
  clock.Advance(500);
  EXPECT_EQ(ticks, (std::vector<std::string>{"100@1100", "100@1200", "250@1250", "100@1300", "100@1400", "100@1500"}));
  EXPECT_EQ(TickCount(), 1500u);
  timers.Stop(fast);
  clock.Advance(1000);
  EXPECT_EQ(ticks.size(), 6u);
  EXPECT_EQ(clock.RunningTimers(), 0);
}

TEST(ManualClockTest, TickCountWrapsLikeThePlatformCounter) {
  ManualClock clock(0xFFFFFFF0u);
  ScopedManualClock installed(clock);
  clock.Advance(0x20);
  EXPECT_EQ(TickCount(), 0x10u);
}

TEST(FileFilterTest, ParsesThePlatformFilterText) {
  EXPECT_EQ(ParseFilter("QMX files|*.QMX|All files|*.*"),
            (std::vector<FilterEntry>{{"QMX files", {"*.QMX"}}, {"All files", {"*.*"}}}));
  EXPECT_EQ(ParseFilter("Exec. files|*.EXE;*.COM;*.BAT"),
            (std::vector<FilterEntry>{{"Exec. files", {"*.EXE", "*.COM", "*.BAT"}}}));
  EXPECT_EQ(ParseFilter("dangling|*.A|no pattern"), (std::vector<FilterEntry>{{"dangling", {"*.A"}}}));
  EXPECT_TRUE(ParseFilter("").empty());
}

TEST(FileFilterTest, PatternsMatchWithoutRegardToCase) {
  struct Case {
    const char* name;
    const char* pattern;
    bool matches;
  };
  const Case cases[] = {
      {"iris.qmx", "*.QMX", true},      {"IRIS.QMX", "*.QMX", true},  {"Iris.Qmx", "*.qmx", true},
      {"iris.qmx.bak", "*.QMX", false}, {"iris.txt", "*.QMX", false}, {"noextension", "*.*", true},
      {"a.emf", "?.EMF", true},         {"ab.emf", "?.EMF", false},   {"plot1.emf", "plot*.emf", true},
  };
  for (const auto& c : cases) EXPECT_EQ(MatchesPattern(c.name, c.pattern), c.matches) << c.name << " " << c.pattern;
}

TEST(FileFilterTest, DefaultExtensionOnlyForNamesWithoutOne) {
  EXPECT_EQ(WithDefaultExtension("/data/iris", "QMX"), "/data/iris.QMX");
  EXPECT_EQ(WithDefaultExtension("/data/iris.txt", "QMX"), "/data/iris.txt");
  EXPECT_EQ(WithDefaultExtension("/data.d/iris", "QMX"), "/data.d/iris.QMX");
  EXPECT_EQ(WithDefaultExtension("iris", ""), "iris");
}

TEST(AlignTest, EdgesTakeTheirStripInOrderAndClientFillsTheRest) {
  // A form 400 x 300: a tool bar at the top, a status bar and a panel at the bottom,
  // a list on the left and the grid filling what is left.
  std::vector<AlignItem> items = {
      {Align::Client, {0, 0, 10, 10}}, {Align::Bottom, {0, 0, 50, 28}}, {Align::Top, {5, 5, 100, 43}},
      {Align::Left, {0, 0, 120, 10}},  {Align::Bottom, {0, 0, 50, 80}}, {Align::None, {7, 8, 20, 30}},
  };
  ArrangeAligned({0, 0, 400, 300}, items);
  EXPECT_EQ(items[2].bounds, (Rect{0, 0, 400, 38}));
  EXPECT_EQ(items[1].bounds, (Rect{0, 272, 400, 300}));
  EXPECT_EQ(items[4].bounds, (Rect{0, 192, 400, 272}));
  EXPECT_EQ(items[3].bounds, (Rect{0, 38, 120, 192}));
  EXPECT_EQ(items[0].bounds, (Rect{120, 38, 400, 192}));
  EXPECT_EQ(items[5].bounds, (Rect{7, 8, 20, 30}));
}

TEST(AlignTest, EdgesKeepTheirSizeWhenTheSpaceRunsOut) {
  // A window laid out while still small must not lose its panels' heights for good.
  std::vector<AlignItem> items = {
      {Align::Top, {0, 0, 10, 80}}, {Align::Bottom, {0, 0, 10, 80}}, {Align::Client, {0, 0, 10, 10}}};
  ArrangeAligned({0, 0, 100, 100}, items);
  EXPECT_EQ(items[0].bounds, (Rect{0, 0, 100, 80}));
  EXPECT_EQ(items[1].bounds, (Rect{0, 20, 100, 100}));
  EXPECT_EQ(items[2].bounds, (Rect{0, 80, 100, 80}));
}

TEST(HintTest, ShortAndLongHalves) {
  EXPECT_EQ(GetShortHint("Run module|Execute this program module"), "Run module");
  EXPECT_EQ(GetLongHint("Run module|Execute this program module"), "Execute this program module");
  EXPECT_EQ(GetShortHint("Load batch file"), "Load batch file");
  EXPECT_EQ(GetLongHint("Load batch file"), "Load batch file");
  EXPECT_EQ(GetShortHint("|Double-center symm. matrix"), "");
  EXPECT_EQ(GetLongHint("|Double-center symm. matrix"), "Double-center symm. matrix");
}

TEST(GuardTest, EscapingExceptionsGoToTheDefaultErrorBox) {
  ScriptedMessageBox boxes;
  ScopedService<MessageBoxes> installed(boxes);
  EXPECT_FALSE(RunGuarded([] { throw rtl::Exception("Out of range button index: 28"); }));
  EXPECT_FALSE(RunGuarded([] { throw rtl::Exception("No printer found."); }));
  EXPECT_FALSE(RunGuarded([] { throw rtl::Exception("File exists!"); }));
  EXPECT_TRUE(RunGuarded([] {}));
  ASSERT_EQ(boxes.Boxes().size(), 3u);
  EXPECT_EQ(boxes.Boxes()[0].text, "Out of range button index: 28.");
  EXPECT_EQ(boxes.Boxes()[1].text, "No printer found.");
  EXPECT_EQ(boxes.Boxes()[2].text, "File exists!");
}

// A scratch folder removed at the end of the test.
class ScratchDir {
 public:
  ScratchDir() : path_(fs::temp_directory_path() / ("platform-test-" + std::to_string(::getpid()))) {
    fs::create_directories(path_);
  }
  ~ScratchDir() { fs::remove_all(path_); }
  const fs::path& Path() const { return path_; }
  fs::path MakeProgram(const std::string& name) const {
    fs::path p = path_ / name;
    std::ofstream(p) << "#!/bin/sh\n";
    fs::permissions(p, fs::perms::owner_all);
    return p;
  }

 private:
  fs::path path_;
};

TEST(ProgramTest, LooksBesideTheProgramWithoutCaseThenOnThePath) {
  ScratchDir beside, onPath;
  auto editor = beside.MakeProgram("mvedit");
  auto other = onPath.MakeProgram("vi");
  EXPECT_EQ(ResolveProgram("MVEDIT", beside.Path().string(), onPath.Path().string()), editor.string());
  EXPECT_EQ(ResolveProgram("vi", beside.Path().string(), "/nonexistent:" + onPath.Path().string()), other.string());
  EXPECT_EQ(ResolveProgram("notepad", beside.Path().string(), onPath.Path().string()), "");
  EXPECT_EQ(ResolveProgram(editor.string(), "", ""), editor.string());
  EXPECT_EQ(ResolveProgram("", beside.Path().string(), onPath.Path().string()), "");
}

TEST(ProgramTest, StartsTheProgramWithItsArgumentsAndTheFileAsOneArgument) {
  ScratchDir onPath;
  auto editor = onPath.MakeProgram("mvedit");
  const char* oldPath = std::getenv("PATH");
  std::string saved = oldPath ? oldPath : "";
  ::setenv("PATH", onPath.Path().c_str(), 1);
  RecordingLauncher launcher;
  ScopedService<ProcessLauncher> installed(launcher);
  EXPECT_TRUE(StartProgram("MVEDIT -r", "/home/me/my data.qmx"));
  EXPECT_FALSE(StartProgram("notepad", "/home/me/my data.qmx"));
  ::setenv("PATH", saved.c_str(), 1);
  ASSERT_EQ(launcher.Launches().size(), 1u);
  EXPECT_EQ(launcher.Launches()[0].program, editor.string());
  EXPECT_EQ(launcher.Launches()[0].args, (std::vector<std::string>{"-r", "/home/me/my data.qmx"}));
}

TEST(ProgramTest, WithoutALauncherInstalledTheProgramReallyStarts) {
  EXPECT_TRUE(StartProgram("true", "/nonexistent/file name.qmx"));
  EXPECT_FALSE(StartProgram("no-such-program-here", ""));
}

TEST(HelpTest, OpensTheContextOrSaysHelpIsNotInstalled) {
  ScriptedMessageBox boxes;
  RecordingDesktop desktop;
  ScopedService<MessageBoxes> b(boxes);
  ScopedService<Desktop> d(desktop);
  ScratchDir dir;
  std::string helpFile = (dir.Path() / "morva.hlp").string();

  ShowHelp(helpFile, HelpCommand::Context, 12);
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.LastText(), "Help is not installed (morva.hlp).");
  EXPECT_EQ(boxes.Boxes()[0].kind, MsgKind::Information);

  std::ofstream(dir.Path() / "morva.html") << "<html></html>";
  ShowHelp(helpFile, HelpCommand::Context, 12);
  ShowHelp(helpFile, HelpCommand::Contents);
  ASSERT_EQ(desktop.Documents().size(), 2u);
  EXPECT_EQ(desktop.Documents()[0], (dir.Path() / "morva.html").string() + "#context-12");
  EXPECT_EQ(desktop.Documents()[1], (dir.Path() / "morva.html").string());
  EXPECT_EQ(boxes.Boxes().size(), 1u);
}

TEST(HelpTest, ABareHelpFileNameIsLookedForBesideTheProgramNotInTheCurrentFolder) {
  EXPECT_EQ(HelpDocumentFor("morva.hlp"), (std::filesystem::path(ProgramDirectory()) / "morva.html").string());
}

}  // namespace
