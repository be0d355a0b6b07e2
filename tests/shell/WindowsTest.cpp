// The analysis program's windows driven offscreen: start-up with a test
// clock, the module buttons and their dialogs, the batch window with its
// "Next", placements and settings written at close and read at the next
// start, the small windows, the data editor's start and the printer.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "controls/base/VirIntl.h"
#include "matrix/Constu.h"
#include "platform/Clock.h"
#include "platform/IniFile.h"
#include "platform/Snapshot.h"
#include "platform/SystemColors.h"
#include "platform/TextMetrics.h"
#include "platform/record/ManualClock.h"
#include "platform/qt/QtServices.h"
#include "platform/record/RecordingPrinter.h"
#include "dataeditor/forms/CommentsF.h"
#include "dataeditor/forms/MveditAboutF.h"
#include "dataeditor/forms/MveditF.h"
#include "plot/forms/bm2DForm.h"
#include "plot/forms/bmAxisDlg.h"
#include "plot/forms/bmMainOptionsDlg.h"
#include "plot/forms/bmMeaDlg.h"
#include "plot/forms/bmStyleDlgs.h"
#include "plot/forms/plotOptionsForm.h"
#include "rtl/TextFile.h"
#include "shell/Ask_oaf.h"
#include "shell/Config.h"
#include "shell/Modules.h"
#include "shell/PlotWindows.h"
#include "shell/Progress.h"
#include "shell/forms/About.h"
#include "shell/forms/Ask_oafF.h"
#include "shell/forms/Batchf.h"
#include "shell/forms/Dialogu.h"
#include "shell/forms/GetInt.h"
#include "shell/forms/Listingu.h"
#include "shell/forms/Morva.h"
#include "shell/forms/Splash.h"
#include "shell/forms/StartUp.h"
#include "rtl/StringList.h"
#include "tests/platform/AnsweredMessageBoxes.h"
#include "tests/platform/QtTestSupport.h"
#include "tests/shell/ShellTestSupport.h"

// The toolkit last: its keyword macros (such as "slots") would rename members of the headers above.
#include <QApplication>
#include <QFontDatabase>
#include <QFontDialog>
#include <QListView>
#include <QTimer>

#include "platform/qt/Peer.h"

namespace {

namespace fs = std::filesystem;
using namespace plat;

class MorvapcWindows : public platform_test::WindowTest {
 protected:
  // The program as it starts, on a clock that tests move: the splash's wait
  // moves it on.
  TMORVAF& Start(std::uint32_t startTick = 1500) {
    clock = std::make_unique<ManualClock>(startTick);
    ScopedService<Clock> onTestClock(*clock);
    TMORVAF& main = StartMorvapc();
    input::Flush();
    return main;
  }
  void TearDown() override {
    if (auto* batch = FindForm("BatchF")) batch->Close();
    WindowTest::TearDown();
  }
  // Writes a key of "morva.ini" before the program starts.
  static void SetKey(const std::string& section, const std::string& key, const std::string& value) {
    WriteProfileString("morva.ini", section, key, value);
  }
  static std::string Key(const std::string& section, const std::string& key) {
    return ReadProfileString("morva.ini", section, key).value_or("(none)");
  }
  // A fresh folder of the test's own, the data directory of the program.
  // Opens the batch window from the main window's menu and loads the batch
  // file through its Load button; null when no window opened.
  TbatchF* LoadBatch(TMORVAF& main, const fs::path& file) {
    main.Menu().Find("Run batch file...")->Click();
    input::Flush();
    auto* batch = dynamic_cast<TbatchF*>(FindForm("BatchF"));
    if (batch == nullptr) return nullptr;
    dialogs.AnswerFile(file.string());
    batch->LoadBtn().Click();
    return batch;
  }

  fs::path DataFolder() {
    const fs::path folder = settings.Folder() / "data";
    fs::create_directories(folder);
    SetKey("Config", "DefaultDir", folder.string());
    return folder;
  }

  // The control that takes the dialog's keys now: the active cell's edit
  // when it has the focus, else the grid.
  static Control& KeyTarget(TDialogF& dialog) {
    TVirBaseTableCell* cell = dialog.CellAt(dialog.Table().ActiveRow());
    Control* edit = cell != nullptr ? cell->EditControl() : nullptr;
    return edit != nullptr && edit->Focused() ? *edit : static_cast<Control&>(dialog.Table());
  }
  static void Type(TDialogF& dialog, const std::string& text) {
    input::TypeText(KeyTarget(dialog), text);
    input::Flush();
  }
  static void Key(TDialogF& dialog, int key) {
    input::PressKey(KeyTarget(dialog), key);
    input::Flush();
  }
  // Clicks the argument cell of the row whose prompt is `prompt`; returns the row.
  static int ClickArgument(TDialogF& dialog, const std::string& prompt) {
    const auto& params = dialog.Model().Params().Params();
    int row = 0;
    for (std::size_t i = 0; i < params.size(); ++i) {
      if (params[i].prompt == prompt) row = static_cast<int>(i) + 1;
    }
    const Rect cell = dialog.Table().CellRect(row, 1);
    input::Click(dialog.Table(), (cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
    input::Flush();
    return row;
  }
  // The toolkit's own message boxes, answered by the Enter key: a run of
  // boxes that would not end stops at the third, as `field` is disabled.
  std::unique_ptr<platform_test::AnsweredMessageBoxes> RealBoxes(Control& field) {
    auto shown = std::make_unique<platform_test::AnsweredMessageBoxes>(*boxesInstalled.Replaced());
    shown->WhileShown = [&field, texts = &shown->Texts()] {
      if (texts->size() == 3) field.SetEnabled(false);
    };
    return shown;
  }
  // The Simint dialog, opened by its button on the main window's second page.
  TDialogF* OpenSimint(TMORVAF& main) {
    main.Notebook().SetPageIndex(1);
    main.ModuleButton(21)->Click();
    input::Flush();
    return DialogForm();
  }
  static void Snapshot(Control& control, const std::string& name) {
    const fs::path folder = fs::path(MORVA_ARTEFACTS) / "shell" / "forms";
    fs::create_directories(folder);
    EXPECT_TRUE(SaveSnapshot(control, (folder / name).string()));
  }

  shelltest::TempSettings settings;
  std::unique_ptr<ManualClock> clock;
  platform_test::Deferred later;
};

TEST_F(MorvapcWindows, SplashHoldsUntilTheFourthWholeSecondAfterItsStart) {
  {
    TSplashF splash;  // its picture is kept among the test artefacts
    Snapshot(splash, "splash.png");
  }
  for (const std::uint32_t start : {0u, 1500u, 2999u}) {
    TMORVAF& main = Start(start);
    EXPECT_EQ(clock->TickCount() / 1000, start / 1000 + 4) << start;
    EXPECT_LE(clock->TickCount() - start, 4000u) << start;
    EXPECT_GT(clock->TickCount() - start, 3000u) << start;
    EXPECT_EQ(FindForm("SplashF"), nullptr) << "the splash is gone once the main window is made";
    EXPECT_TRUE(main.Visible());
    EXPECT_EQ(main.Caption(), "Morvapc");
    ASSERT_NE(ListingForm(), nullptr);
    EXPECT_FALSE(ListingForm()->Visible());
    DestroyForms();
  }
  EXPECT_EQ(SplashDuration(1500), 3500u);
  EXPECT_EQ(SplashDuration(0), 4000u);
}

TEST_F(MorvapcWindows, StartUpWidensTwoLetterYears) {
  struct Case {
    const char* given;
    const char* shown;
  };
  const Case cases[] = {{"m/d/yy", "m/d/yyyy"},     {"m/d/yyyy", "m/d/yyyy"}, {"dd.MM.yy", "dd.MM.yyyy"},
                        {"yy-MM-dd", "yyyy-MM-dd"}, {"d/M", "d/M"},           {"y/M/d", "y/M/d"}};
  for (const Case& c : cases) EXPECT_EQ(FourDigitYears(c.given), c.shown) << c.given;
  VirIntlSup().ShortDate = "MM/dd/yy";
  Start();
  EXPECT_EQ(VirIntlSup().ShortDate, "MM/dd/yyyy");
}

TEST_F(MorvapcWindows, PlacementsAndPageAreWrittenAtCloseAndRestoredAtTheNextStart) {
  SetKey("MainWindow", "Page", "9");
  TMORVAF& first = Start();
  EXPECT_EQ(first.Notebook().PageIndex(), 0) << "a saved page outside the notebook selects page 0";
  first.SetBounds(40, 50, 600, 320);
  first.Notebook().SetPageIndex(3);
  input::Flush();
  first.Close();
  input::Flush();
  EXPECT_EQ(Key("MainWindow", "Page"), "3");
  EXPECT_EQ(Key("WinPos", "morvaF").substr(0, 4), "0 1 ");
  EXPECT_EQ(Key("Config", "FileFormat"), "e");
  DestroyForms();

  TMORVAF& second = Start();
  EXPECT_EQ(second.Notebook().PageIndex(), 3);
  const Rect bounds = second.GetPlacement().normal;
  EXPECT_EQ(bounds.Width(), 600);
  EXPECT_EQ(bounds.Height(), 320);
}

TEST_F(MorvapcWindows, EveryModuleButtonOpensItsDialogOrSaysItIsNotAvailable) {
  TMORVAF& main = Start();
  int opened = 0;
  for (std::int32_t number = 1; number < ModuleCount; ++number) {
    Button* button = main.ModuleButton(number);
    ASSERT_NE(button, nullptr) << number;
    boxes.Clear();
    RunGuarded([&] { button->Click(); });
    input::Flush();
    if (!ModuleAvailable(number)) {
      EXPECT_EQ(boxes.LastText(), "Module not available: " + std::string(ModuleBatchNames[number])) << number;
      continue;
    }
    ++opened;
    TModuleRec module;
    DescribeModule(number, module);
    TDialogF* dialog = DialogForm();
    ASSERT_NE(dialog, nullptr) << number;
    EXPECT_TRUE(boxes.Boxes().empty()) << number << ": " << boxes.LastText();
    EXPECT_EQ(dialog->Caption(), module.name) << number;
    EXPECT_EQ(dialog->HelpContext(), button->HelpContext()) << number;
    EXPECT_EQ(dialog->Table().RowLimit(), static_cast<int>(module.params.size()) + 1) << number;
    EXPECT_EQ(dialog->Model().Module().number, number);
    EXPECT_EQ(dialog->ComputeBtn().Caption(), "Compute");
    EXPECT_EQ(dialog->PlotButtonCount(), static_cast<int>(module.buttons.size())) << number;
  }
  EXPECT_GE(opened, 20);
  int shown = 0;
  for (Form* form : Forms()) shown += form->Name() == "DialogF" && form->Visible() ? 1 : 0;
  EXPECT_EQ(shown, 1) << "one dialog at a time";
}

// Every dialog opens high enough for its heading and all its parameter rows:
// no scroll bar hides part of the last row (EIGEN's and CONSENS's seven rows,
// CONFIG's six, the fifteen of the largest tables), and the grid has nothing
// to scroll. A lower window saved by the previous dialog does not carry over.
TEST_F(MorvapcWindows, EveryDialogShowsAllItsRowsWithoutAScrollBar) {
  TMORVAF& main = Start();
  auto open = [&](std::int32_t number) {
    if (number == 0) {
      main.Menu().Find("Configuration...")->Click();
    } else {
      RunGuarded([&] { main.ModuleButton(number)->Click(); });
    }
    input::Flush();
    return DialogForm();
  };
  for (std::int32_t number = 0; number < ModuleCount; ++number) {
    if (!ModuleAvailable(number)) continue;
    TDialogF* dialog = open(number);
    ASSERT_NE(dialog, nullptr) << number;
    TVirTable& table = dialog->Table();
    const int count = table.RowLimit() - 1;
    EXPECT_FALSE(table.ScrollBarVisible(ScrollBarKind::Vertical)) << dialog->Caption() << ", " << count << " rows";
    EXPECT_LE(table.CellRect(count, 1).bottom, table.ClientHeight()) << dialog->Caption();
    EXPECT_EQ(table.LargestTopRow(), 1) << dialog->Caption() << ": the grid can scroll";
    // Left lower, with its last row cut (one row alone never scrolls), the
    // window opens the next dialog at its full height again.
    dialog->SetClientSize(dialog->ClientWidth(), dialog->ClientHeight() - 20);
    input::Flush();
    if (count > 1) {
      EXPECT_TRUE(table.ScrollBarVisible(ScrollBarKind::Vertical)) << dialog->Caption() << " lowered";
    }
    dialog->Close();
    input::Flush();
  }
}

// Every help context the programs use has its anchor in the help page that
// their Help menus and buttons open (a context without one opens the page at
// its top): the modules' descriptors, the main window with its module buttons
// (the contexts of the dialogs they open), the configuration dialog, the plot
// windows with their options windows and dialogs, and the data editor's windows.
TEST_F(MorvapcWindows, EveryHelpContextHasItsAnchorInTheHelpPage) {
  std::map<int, std::string> contexts;  // a context and where it is used first
  for (std::int32_t number = 0; number < ModuleCount; ++number) {
    if (!ModuleAvailable(number)) continue;
    TModuleRec module;
    DescribeModule(number, module);
    contexts.emplace(module.helpContext, "the descriptor of " + module.name);
  }
  TMORVAF& main = Start();
  std::function<void(Control&)> walk = [&](Control& control) {
    if (control.HelpContext() != 0) contexts.emplace(control.HelpContext(), control.Caption());
    for (Control* child : control.Children()) walk(*child);
  };
  walk(main);
  main.Menu().Find("Configuration...")->Click();
  input::Flush();
  ASSERT_NE(DialogForm(), nullptr);
  contexts.emplace(DialogForm()->HelpContext(), "the configuration dialog");
  const std::pair<int, const char*> forms[] = {
      {TTreePlotRequest{}.helpContext, "tree plot window"},
      {TMatrixPlotRequest{}.helpContext, "matrix plot window"},
      {TMatrix3DPlotRequest{}.helpContext, "3-D plot window"},
      {TPlotOptionsForm::kHelpContext, "plot options window"},
      {TPlotOptionsForm::kGeneralHelpContext, "plot options window's General..."},
      {TbmMainPlot2DOptionsDlg::kHelpContext, "main plot options dialog"},
      {TbmAxisDlg::kHelpContext, "axis dialog"},
      {TMeaDlg::kHelpContext, "measure dialog"},
      {TbmSymDlg::kHelpContext, "symbol dialog"},
      {TbmBarDlg::kHelpContext, "bar dialog"},
      {TbmQuadDlg::kHelpContext, "quadrilateral dialog"},
      {TMveditF::kHelpContext, "data editor"},
      {TCommentsF::kHelpContext, "data editor's comments window"},
      {TMveditAboutF::kHelpContext, "data editor's about window"},
  };
  for (const auto& [context, form] : forms) contexts.emplace(context, form);
  for (const std::int32_t context : {139, 542, 545, 547, 565}) {
    EXPECT_TRUE(contexts.contains(context)) << context << " is among the contexts listed";
  }

  const std::string page = rtl::ReadWholeFile(MORVA_HELP_PAGE);
  ASSERT_FALSE(page.empty()) << MORVA_HELP_PAGE;
  for (const auto& [context, where] : contexts) {
    EXPECT_NE(page.find("<a id=\"context-" + std::to_string(context) + "\"></a>"), std::string::npos)
        << "no anchor for help context " << context << " (" << where << ")";
  }
}

// The module notebook's tabs show their page's hint as a tooltip when the
// mouse comes over them; the status bar keeps the application's hint.
TEST_F(MorvapcWindows, ATabUnderTheMouseShowsItsPagesHint) {
  TMORVAF& main = Start();
  TVirNotebook& notebook = main.Notebook();
  ASSERT_GE(notebook.PageCount(), 2);
  for (int index = 0; index < notebook.PageCount(); ++index) {
    const Rect tab = notebook.TabRectAt(index);
    ASSERT_FALSE(notebook.PageHintAt(index).empty()) << index;
    input::MouseMove(notebook, (tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
    input::Flush();
    EXPECT_EQ(ShownHint(), notebook.PageHintAt(index)) << index;
  }
}

TEST_F(MorvapcWindows, ConfigurationOpensWithOk) {
  TMORVAF& main = Start();
  main.Menu().Find("Configuration...")->Click();
  input::Flush();
  ASSERT_NE(DialogForm(), nullptr);
  EXPECT_EQ(DialogForm()->Caption(), "Config");
  EXPECT_EQ(DialogForm()->ComputeBtn().Caption(), "Ok");
  EXPECT_EQ(DialogForm()->HelpContext(), 12);
}

TEST_F(MorvapcWindows, NoModuleStartsAndTheMainWindowStaysWhileABatchRuns) {
  TMORVAF& main = Start();
  ASSERT_TRUE(BeginBatchRun());
  main.ModuleButton(18)->Click();
  main.Menu().Find("Configuration...")->Click();
  input::Flush();
  EXPECT_EQ(DialogForm(), nullptr);
  main.Close();
  input::Flush();
  EXPECT_TRUE(main.Visible());
  EndBatchRun();
}

TEST_F(MorvapcWindows, BatchStopsAtNextWithThePlotOpenAndBothSectionsReachTheListing) {
  const fs::path folder = DataFolder();
  fs::copy_file(fs::path(MORVA_FIXTURES) / "sahn" / "golden" / "dis-noties.qmx", folder / "dis.qmx");
  std::ofstream((folder / "run.qmb").string(), std::ios::binary)
      << "\" SAHN, then its tree\r\n*SAHN O=dis.qmx R=dis.tre\r\n*TREE O=dis.tre\r\n";
  TMORVAF& main = Start();
  TbatchF* batch = LoadBatch(main, folder / "run.qmb");
  ASSERT_NE(batch, nullptr);
  EXPECT_TRUE(batch->RunBtn().Enabled());

  std::vector<std::string> atWait;
  std::function<void()> pressNext = [&] {
    if (batch->Runner().State() != TBatchState::Waiting) {
      later.Post(pressNext);
      return;
    }
    atWait = {batch->RunBtn().Caption(), plat::FormExists("TreePltF") ? "plot open" : "no plot",
              main.ModuleButton(18)->Enabled() ? "button" : "no button"};
    main.ModuleButton(18)->Click();  // refused while the batch waits
    main.Close();                    // refused too, saying why
    batch->RunBtn().Click();
  };
  later.Post(pressNext);
  batch->RunBtn().Click();
  input::Flush();

  EXPECT_EQ(atWait, (std::vector<std::string>{"Next", "plot open", "button"}));
  ASSERT_EQ(boxes.Boxes().size(), 1u) << boxes.LastText();
  EXPECT_EQ(boxes.Boxes()[0].text, "A batch is running: press Cancel in the batch window to stop it, then exit.");
  EXPECT_EQ(DialogForm(), nullptr);
  EXPECT_TRUE(main.Visible());
  EXPECT_EQ(batch->RunBtn().Caption(), "Run");
  EXPECT_FALSE(RunFlags().batchRunning);
  TListingModel& listing = ListingForm()->Model();
  ASSERT_EQ(listing.PageCount(), 3);
  EXPECT_EQ(listing.Section(1)->Caption(), "SAHN-1");
  EXPECT_EQ(listing.Section(2)->Caption(), "Tree-2");
  EXPECT_GT(listing.Section(1)->ParagraphCount(), 10);
  EXPECT_EQ(ListingForm()->Notebook().PageCount(), 3);
  ASSERT_NE(ListingForm()->EditorAt(1), nullptr);
  EXPECT_EQ(ListingForm()->EditorAt(1)->CountParagraphs(), listing.Section(1)->ParagraphCount())
      << "the page's editor shows the section's own text";
}

TEST_F(MorvapcWindows, ABatchParameterTypedInQuotesStaysOneFileName) {
  const fs::path folder = DataFolder();
  fs::copy_file(fs::path(MORVA_FIXTURES) / "sahn" / "golden" / "dis-noties.qmx", folder / "dis data.qmx");
  std::ofstream((folder / "run.qmb").string(), std::ios::binary) << "*SAHN O=%1 R=%2\r\n";
  TMORVAF& main = Start();
  TbatchF* batch = LoadBatch(main, folder / "run.qmb");
  ASSERT_NE(batch, nullptr);
  input::TypeText(batch->ParamsEdit(), "\"dis data.qmx\" dis.tre");
  input::Flush();
  ASSERT_EQ(batch->ParamsEdit().Text(), "\"dis data.qmx\" dis.tre");
  batch->RunBtn().Click();
  input::Flush();

  EXPECT_TRUE(boxes.Boxes().empty()) << boxes.LastText();
  EXPECT_TRUE(fs::exists(folder / "dis.tre"));
  TListingModel& listing = ListingForm()->Model();
  ASSERT_EQ(listing.PageCount(), 2);
  const std::vector<std::string> lines = listing.Section(1)->Paragraphs();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Read input from file: dis data.qmx"), lines.end());
}

TEST_F(MorvapcWindows, TheListingsFontDialogOffersFixedPitchFontsAlone) {
  Start();
  TListingF& listing = *ListingForm();
  listing.ShowListing();
  listing.Model().NewSection("SAHN");
  input::Flush();
  const std::unique_ptr<Dialogs> onScreen = qtbridge::MakeDialogs();
  ScopedService<Dialogs> showing(*onScreen);

  // Once the dialog shows, its list of families is read and a fixed-pitch one is chosen.
  QStringList offered;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<QFontDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    poll.stop();
    QAbstractItemModel* families = dialog->findChildren<QListView*>().value(0)->model();
    for (int row = 0; row < families->rowCount(); ++row) offered << families->index(row, 0).data().toString();
    dialog->setCurrentFont(QFont("Liberation Mono", 12));
    dialog->accept();
  });
  poll.start(5);
  listing.Menu().Find("Font...")->Click();
  input::Flush();

  ASSERT_FALSE(offered.isEmpty());
  for (const QString& family : offered) EXPECT_TRUE(QFontDatabase::isFixedPitch(family)) << family.toStdString();
  EXPECT_TRUE(offered.contains("Liberation Mono"));
  EXPECT_FALSE(offered.contains("Liberation Sans"));
  ASSERT_NE(listing.EditorAt(1), nullptr);
  EXPECT_EQ(listing.EditorAt(1)->FixedFont().Name(), "Liberation Mono");
}

// Cancel while a module computes (the gauge moving), and while a graphics
// module runs (which would then wait for a "Next" that the pending abort
// leaves dead): one Cancel ends the batch with one warning naming the line,
// the listing says where it stopped, and the window is idle again.
TEST_F(MorvapcWindows, OneCancelStopsTheBatchAndTheListingSaysSo) {
  struct Case {
    const char* name;
    const char* fixture;  // copied as data.qmx
    const char* command;
    bool gaugeMoving;  // Cancel once the gauge shows, else at the run's first Progress
  };
  const Case cases[] = {
      {"computing", "similarity/interval.qmx", "*SIMINT O=data.qmx R=out.qmx", true},
      {"graphics module", "mxplot/golden/three.qmx", "*MXPLOT O=data.qmx", false},
  };
  const fs::path folder = DataFolder();
  TMORVAF& main = Start();
  for (const Case& c : cases) {
    fs::copy_file(fs::path(MORVA_FIXTURES) / c.fixture, folder / "data.qmx", fs::copy_options::overwrite_existing);
    fs::remove(folder / "out.qmx");
    std::ofstream((folder / "run.qmb").string(), std::ios::binary) << c.command << "\r\n*OUTPUT O=data.qmx\r\n";
    TbatchF* batch = LoadBatch(main, folder / "run.qmb");
    ASSERT_NE(batch, nullptr) << c.name;
    boxes.Clear();
    const std::int32_t pages = ListingForm() != nullptr ? ListingForm()->Model().PageCount() : 1;
    std::function<void()> cancel = [&] {
      if (!batch->ExecPanel().Visible() || (c.gaugeMoving && !batch->Gauge().Visible())) {
        later.Post(cancel);
        return;
      }
      batch->CancelBtn().Click();
    };
    later.Post(cancel);
    batch->RunBtn().Click();
    input::Flush();

    ASSERT_EQ(boxes.Boxes().size(), 1u) << c.name << ": " << boxes.LastText();
    EXPECT_EQ(boxes.Boxes()[0].text, std::string("line 1 (") + c.command + "):\nUser abort") << c.name;
    EXPECT_EQ(boxes.Boxes()[0].kind, MsgKind::Warning) << c.name;
    EXPECT_FALSE(RunFlags().abort) << c.name;
    EXPECT_FALSE(batch->Gauge().Visible()) << c.name;
    EXPECT_TRUE(batch->RunBtn().Enabled()) << c.name;
    EXPECT_EQ(batch->RunBtn().Caption(), "Run") << c.name;
    TListingModel& listing = ListingForm()->Model();
    ASSERT_EQ(listing.PageCount(), pages + 1) << c.name << ": OUTPUT never ran";
    const std::vector<std::string> lines = listing.Section(pages)->Paragraphs();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "Batch stopped by Cancel at line 1") << c.name;

    batch->CancelBtn().Click();  // now it closes the window
    input::Flush();
    EXPECT_EQ(FindForm("BatchF"), nullptr) << c.name;
    EXPECT_EQ(boxes.Boxes().size(), 1u) << c.name;
  }
}

// Failures through the batch window: the batch stops at the failing command
// with its message naming the line, the system's errors and the others alike.
TEST_F(MorvapcWindows, TheBatchWindowStopsAtAFailureNamingItsLine) {
  const fs::path folder = DataFolder();
  const fs::path cva = fs::path(MORVA_FIXTURES) / "cva";
  for (const char* name : {"four-means.qmx", "four-sizes.qmx", "five-within.qmx"}) {
    fs::copy_file(cva / name, folder / name);
  }
  fs::copy_file(fs::path(MORVA_FIXTURES) / "similarity" / "interval.qmx", folder / "interval.qmx");
  struct Case {
    const char* name;
    const char* command;
    std::string message;
    int sections;  // opened by the failing command
  };
  const std::string out = (folder / "out.qmx").string();
  const Case cases[] = {
      {"an error box of the module", "*CVA M=four-means.qmx V=five-within.qmx GS=four-sizes.qmx",
       "Number of variables in VCV matrix does not match those in group means", 1},
      {"Cancel on File exists!", "*SIMINT O=interval.qmx R=out.qmx", "Output file exists and was not written: " + out,
       1},
      {"a malformed number, in the default error box", "*SAHN O=interval.qmx NT=abc",
       "'abc' is not a valid integer value.", 0},
  };
  TMORVAF& main = Start();
  for (const Case& c : cases) {
    std::ofstream(out, std::ios::binary) << "old\r\n";
    std::ofstream((folder / "run.qmb").string(), std::ios::binary) << "\" one failure\r\n"
                                                                   << c.command << "\r\n*OUTPUT O=interval.qmx\r\n";
    TbatchF* batch = LoadBatch(main, folder / "run.qmb");
    ASSERT_NE(batch, nullptr) << c.name;
    boxes.Clear();
    const std::int32_t pages = ListingForm() != nullptr ? ListingForm()->Model().PageCount() : 1;
    std::function<void()> cancelQuestion = [&] {
      if (auto* ask = dynamic_cast<Task_oafF*>(FindForm("ask_oafF"))) {
        ask->CancelBtn().Click();
      } else if (RunFlags().batchRunning) {
        later.Post(cancelQuestion);
      }
    };
    later.Post(cancelQuestion);
    batch->RunBtn().Click();
    input::Flush();

    ASSERT_EQ(boxes.Boxes().size(), 1u) << c.name << ": " << boxes.LastText();
    EXPECT_EQ(boxes.Boxes()[0].text, std::string("line 2 (") + c.command + "):\n" + c.message) << c.name;
    EXPECT_EQ(boxes.Boxes()[0].kind, MsgKind::Error) << c.name;
    EXPECT_EQ(ListingForm() != nullptr ? ListingForm()->Model().PageCount() : 1, pages + c.sections)
        << c.name << ": OUTPUT never ran";
    EXPECT_FALSE(RunFlags().batchRunning) << c.name;
    batch->Close();
    input::Flush();
  }
  EXPECT_EQ(rtl::ReadWholeFile(out), "old\r\n") << "Cancel left the old file";
}

TEST_F(MorvapcWindows, TheOverwriteQuestionAnswersByItsButtonsAndEscape) {
  struct Case {
    const char* name;
    std::function<void(Task_oafF&)> answer;
    ModalResult result;
  };
  const Case cases[] = {
      {"append", [](Task_oafF& ask) { ask.AppendBtn().Click(); }, oafAppend},
      {"overwrite", [](Task_oafF& ask) { ask.OverwriteBtn().Click(); }, oafOverwrite},
      {"cancel", [](Task_oafF& ask) { ask.CancelBtn().Click(); }, oafCancel},
      {"escape", [](Task_oafF& ask) { input::PressKey(ask.AppendBtn(), vk::Escape); }, oafCancel},
  };
  for (const Case& c : cases) {
    std::string shown;
    later.Post([&] {
      auto* ask = dynamic_cast<Task_oafF*>(FindForm("ask_oafF"));
      ASSERT_NE(ask, nullptr);
      shown = ask->ShownName() + " / " + ask->Caption();
      c.answer(*ask);
    });
    EXPECT_EQ(ShowOverwriteQuestion("/data/out.qmx"), c.result) << c.name;
    EXPECT_EQ(shown, "/data/out.qmx / File exists!") << c.name;
  }
}

// The whole name shows, however long: the window widens up to a limit, then
// the name takes more lines, broken after a folder where one fits.
TEST_F(MorvapcWindows, TheOverwriteQuestionShowsALongFileNameWhole) {
  const std::string folders = "/home/someone/projects/morphometrics-of-freshwater-snails/2024-field-season/";
  struct Case {
    const char* name;
    std::string file;
    bool oneLine;
    bool breaksAfterFolders;
  };
  const Case cases[] = {
      {"short", "/data/out.qmx", true, true},
      {"long-path", folders + "site-B/distances-between-shell-outlines.qmx", false, true},
      {"long-name-without-folders", std::string(120, 'x') + ".qmx", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    later.Post([&] {
      auto* ask = dynamic_cast<Task_oafF*>(FindForm("ask_oafF"));
      ASSERT_NE(ask, nullptr);
      Snapshot(*ask, std::string("overwrite-question-") + c.name + ".png");
      EXPECT_EQ(ask->ShownName(), c.file);
      const std::string caption = ask->FileLabel().Caption();
      std::vector<std::string> lines;
      for (std::size_t at = 0; at != std::string::npos;) {
        const std::size_t end = caption.find('\n', at);
        lines.push_back(caption.substr(at, end == std::string::npos ? end : end - at));
        at = end == std::string::npos ? end : end + 1;
      }
      std::string joined;
      for (const std::string& line : lines) joined += line;
      EXPECT_EQ(joined, c.file) << "every character shows, in order";
      EXPECT_EQ(lines.size() == 1, c.oneLine) << caption;
      const Rect label = ask->FileLabel().Bounds();
      for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_LE(TextWidthIn(ask->FileLabel(), lines[i]), label.Width()) << lines[i];
        if (c.breaksAfterFolders && i + 1 < lines.size()) {
          EXPECT_EQ(lines[i].back(), '/') << lines[i];
        }
      }
      const QSize needed = ask->FileLabel().Peer().widget->sizeHint();
      EXPECT_LE(needed.height(), label.Height()) << "no line is cut off below";
      EXPECT_LE(needed.width(), label.Width()) << "no line is cut off on the right";
      EXPECT_GE(ask->ExistsLabel().Left(), label.right);
      EXPECT_LE(ask->ExistsLabel().Bounds().right, ask->ClientWidth());
      for (Button* button : {&ask->AppendBtn(), &ask->OverwriteBtn(), &ask->CancelBtn()}) {
        EXPECT_GE(button->Top(), label.bottom) << button->Caption();
        EXPECT_LE(button->Bounds().bottom, ask->ClientHeight()) << button->Caption();
      }
      EXPECT_LE(ask->Width(), ScreenRect().Width());
      ask->CancelBtn().Click();
    });
    EXPECT_EQ(ShowOverwriteQuestion(c.file), oafCancel);
  }
}

TEST_F(MorvapcWindows, TheIntegerPromptShowsItsRangeAndTakesOnlyAValueInIt) {
  struct Case {
    const char* typed;
    bool ok;
    std::int32_t value;
  };
  const Case cases[] = {{"12", true, 12}, {"25", true, 8}, {"0", false, 0}};
  Form& owner = CreateForm<Form>("OwnerF");
  for (const Case& c : cases) {
    TGIntWrap prompt;
    prompt.Caption = "Indent value";
    prompt.Min = 0;
    prompt.Max = 20;
    prompt.Value = 8;
    std::string hint;
    std::int32_t shownValue = -1;
    later.Post([&] {
      auto* form = dynamic_cast<TGetIntF*>(FindForm("GetIntF"));
      ASSERT_NE(form, nullptr);
      hint = form->Field().Hint();
      form->ReadValue(shownValue);
      form->Field().SetValueText(c.typed);
      if (c.ok) {
        form->OkBtn().Click();
      } else {
        form->Close();
      }
    });
    EXPECT_EQ(prompt.Execute(owner), c.ok) << c.typed;
    EXPECT_EQ(hint, "Enter an integer between 0 and 20") << c.typed;
    EXPECT_EQ(shownValue, 8) << c.typed;
    EXPECT_EQ(prompt.Value, c.value) << c.typed;
  }
}

// A paste into the prompt's integer field is taken whole or refused whole
// (with the field's beep): "1.5" never becomes 15.
TEST_F(MorvapcWindows, APasteIntoTheIntegerPromptIsTakenWholeOrRefused) {
  struct Case {
    const char* pasted;
    std::int32_t value;
  };
  const Case cases[] = {{"1.5", 8}, {"1x5", 8}, {"1 5", 8}, {"12", 12}, {" 15\r\n", 15}};
  Form& owner = CreateForm<Form>("OwnerF");
  for (const Case& c : cases) {
    TGIntWrap prompt;
    prompt.Min = 0;
    prompt.Max = 20;
    prompt.Value = 8;
    later.Post([&] {
      auto& form = *dynamic_cast<TGetIntF*>(FindForm("GetIntF"));
      TheClipboard().Set(ClipboardContent{c.pasted, {}, {}});
      form.Field().SelectAll();
      input::PressKeyOnKeyboard(form.Field(), 'V', ssCtrl);
      input::Flush();
      form.OkBtn().Click();
    });
    EXPECT_TRUE(prompt.Execute(owner)) << c.pasted;
    EXPECT_EQ(prompt.Value, c.value) << c.pasted;
  }
}

// Chords with Alt or Ctrl type nothing into the listing or into a dialog's
// text cell, pressed as the keyboard reports them (Alt+Shift+3 comes as '#');
// plain keys still type.
TEST_F(MorvapcWindows, ChordsWithAltOrCtrlTypeNothingIntoTheListingOrACell) {
  struct Chord {
    int key;
    ShiftState shift;
  };
  const Chord chords[] = {{'1', ssAlt}, {'3', ssAlt | ssShift}, {'X', ssAlt}, {'1', ssCtrl | ssAlt}, {'1', ssCtrl}};
  TMORVAF& main = Start();
  TListingF& listing = *ListingForm();
  listing.Model().NewSection("SAHN");
  listing.ShowListing();
  listing.FocusCurrentPage();
  input::Flush();
  TVirEditor& editor = *listing.CurrentEditor();
  ASSERT_TRUE(editor.Focused());
  editor.MoveCaretToLineCol(1, 1);
  const std::string before = editor.ReadParagraph(1);
  for (const Chord& chord : chords) input::PressKeyOnKeyboard(editor, chord.key, chord.shift);
  input::PressKeyOnKeyboard(editor, 'Y');
  EXPECT_EQ(editor.ReadParagraph(1), "y" + before);

  TDialogF* dialog = OpenSimint(main);
  ASSERT_NE(dialog, nullptr);
  Control& cell = KeyTarget(*dialog);
  input::PressKeyOnKeyboard(cell, 'A');
  input::Flush();
  Control& edit = KeyTarget(*dialog);
  for (const Chord& chord : chords) input::PressKeyOnKeyboard(edit, chord.key, chord.shift);
  input::PressKeyOnKeyboard(edit, 'B');
  EXPECT_EQ(edit.Caption(), "ab");
}

TEST_F(MorvapcWindows, NoIndentChosenInTheListingIsKeptAcrossARestart) {
  TMORVAF& first = Start();
  TListingF& listing = *ListingForm();
  listing.ShowListing();
  later.Post([] {
    auto* prompt = dynamic_cast<TGetIntF*>(FindForm("GetIntF"));
    ASSERT_NE(prompt, nullptr);
    prompt->Field().SetValueText("0");
    prompt->OkBtn().Click();
  });
  listing.Menu().Find("Indent")->Click();
  input::Flush();
  EXPECT_EQ(Config().listingIndent, 0);
  first.Close();
  input::Flush();
  EXPECT_EQ(Key("Config", "ListingIndent"), "0");
  DestroyForms();

  Start();
  EXPECT_EQ(Config().listingIndent, 0);
}

TEST_F(MorvapcWindows, AboutOpensFromTheMainWindowAndFromAPlotWindow) {
  Start();
  for (const auto& open : std::vector<std::function<void()>>{[] { MainForm()->Menu().Find("&About...")->Click(); },
                                                             [] { Tbm2DForm::AboutHandler()(); }}) {
    std::string shown;
    later.Post([&] {
      Form* about = FindForm("AboutF");
      ASSERT_NE(about, nullptr);
      shown = about->Caption();
      Snapshot(*about, "about.png");
      about->SetModalResult(mrOk);
    });
    open();
    EXPECT_EQ(shown, "About Morvapc");
  }
}

TEST_F(MorvapcWindows, EditDataFileStartsTheEditorWithTheFileAsOneArgument) {
  RecordingLauncher launcher;
  ScopedService<ProcessLauncher> launching(launcher);
  StartEditor("/bin/true --wide", "/data/my file \"1\".qmx");
  ASSERT_EQ(launcher.Launches().size(), 1u);
  EXPECT_EQ(launcher.Launches()[0].program, "/bin/true");
  EXPECT_EQ(launcher.Launches()[0].args, (std::vector<std::string>{"--wide", "/data/my file \"1\".qmx"}));
  EXPECT_TRUE(boxes.Boxes().empty());

  StartEditor("no-such-editor-here", "/data/a.qmx");
  EXPECT_EQ(boxes.LastText(), "Unable to open  editor\n(no-such-editor-here)");
  launcher.SetSucceed(false);
  boxes.Clear();
  StartEditor("/bin/true", "/data/a.qmx");
  EXPECT_EQ(boxes.LastText(), "Unable to open  editor\n(/bin/true)");
}

TEST_F(MorvapcWindows, ThePrinterServicesReportTheInstalledPrintersPage) {
  Start();
  RecordingPrinter printer(297, 210);
  ScopedService<Printer> installed(printer);
  ASSERT_TRUE(GetPrinterResolution());
  EXPECT_EQ(PrinterPageWidth, 1169);
  EXPECT_EQ(PrinterPageHeight, 827);
  printer.SetAvailable(false);
  EXPECT_THROW(GetPrinterResolution(), E_Morvapc);
}

TEST_F(MorvapcWindows, KeysTypedAsTheDialogOpensEnterItsFirstCell) {
  const fs::path folder = DataFolder();
  fs::copy_file(fs::path(MORVA_FIXTURES) / "similarity" / "interval.qmx", folder / "interval.qmx");
  TMORVAF& main = Start();
  TDialogF* dialog = OpenSimint(main);
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(KeyTarget(*dialog).Focused()) << "keys reach the grid or its cell's edit";
  Type(*dialog, "interval.qmx");
  dialog->ComputeBtn().Click();
  input::Flush();
  EXPECT_EQ(dialog->StatusPanel().Caption(), " ");
  EXPECT_EQ(ListingForm()->Model().PageCount(), 2) << "the run took the typed input name";
}

// A letter Windows-1252 lacks, typed as the key that opens a text cell of the
// dialog, reaches the cell whole, as do the letters after it.
TEST_F(MorvapcWindows, ALetterOfAnyScriptOpensACellWhole) {
  TMORVAF& main = Start();
  TDialogF* dialog = OpenSimint(main);
  ASSERT_NE(dialog, nullptr);
  input::PressLayoutKey(KeyTarget(*dialog), 0, "\xC5\x82");
  input::Flush();
  input::PressLayoutKey(KeyTarget(*dialog), 0, "\xCE\xB1");
  input::Flush();
  EXPECT_EQ(KeyTarget(*dialog).Caption(), "\xC5\x82\xCE\xB1");
}

// The grid stands in its sunken 3-D edge (a single border with the 3-D look),
// the cells inside it; the picture of the grid goes with the test's artefacts.
TEST_F(MorvapcWindows, TheParameterGridHasItsSunkenBorder) {
  TMORVAF& main = Start();
  TDialogF* dialog = OpenSimint(main);
  ASSERT_NE(dialog, nullptr);
  TVirTable& table = dialog->Table();
  EXPECT_EQ(table.BorderStyle(), TBorderStyle::bsSingle);
  EXPECT_TRUE(table.Ctl3D());
  EXPECT_EQ(table.Frame(), EditBorder::Lowered3D);
  EXPECT_EQ(table.ClientWidth(), table.Width() - 4);
  Snapshot(table, "param-dialog-grid.png");
  const RasterImage picture = GrabImage(table);
  ASSERT_EQ(picture.width, table.Width());
  auto pixel = [&](int x, int y) {
    const std::uint32_t p = picture.pixels[static_cast<std::size_t>(y * picture.width + x)];
    return RGB(static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF), static_cast<int>(p & 0xFF));
  };
  const int right = picture.width - 1, bottom = picture.height - 1;
  EXPECT_EQ(pixel(0, 0), ColorToRGB(clBtnShadow));
  EXPECT_EQ(pixel(1, 1), ColorToRGB(cl3DDkShadow));
  EXPECT_EQ(pixel(right, bottom), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(pixel(right - 1, bottom - 1), ColorToRGB(cl3DLight));
  EXPECT_EQ(pixel(0, picture.height / 2), ColorToRGB(clBtnShadow));
}

TEST_F(MorvapcWindows, SimintFromItsButtonToASavedListing) {
  const fs::path folder = DataFolder();
  fs::copy_file(fs::path(MORVA_FIXTURES) / "similarity" / "interval.qmx", folder / "interval.qmx");
  TMORVAF& main = Start();
  TDialogF* dialog = OpenSimint(main);
  ASSERT_NE(dialog, nullptr);
  ASSERT_EQ(dialog->Caption(), "Simint");

  dialog->ComputeBtn().Click();
  EXPECT_EQ(dialog->StatusPanel().Caption(), " Input field must not be blank for Input file");
  EXPECT_EQ(dialog->Table().ActiveRow(), 1);
  EXPECT_EQ(ListingForm()->Model().PageCount(), 1) << "nothing ran";

  dialog->Table().SetFocus();
  input::Flush();
  ASSERT_EQ(dialog->Table().ActiveRow(), 1);
  Type(*dialog, "interval.qmx");
  Key(*dialog, vk::Down);
  Key(*dialog, vk::Down);
  ASSERT_EQ(dialog->Table().ActiveRow(), 3);
  Key(*dialog, vk::Up);
  Key(*dialog, vk::Down);  // the coefficient's cell takes Up and Down for its items
  EXPECT_EQ(dialog->Table().ActiveRow(), 3);
  dialog->Table().SetActiveCell(4, 1);
  input::Flush();
  Type(*dialog, "distances.qmx");
  dialog->ComputeBtn().Click();
  input::Flush();
  EXPECT_TRUE(boxes.Boxes().empty()) << boxes.LastText();
  EXPECT_EQ(dialog->StatusPanel().Caption(), " ");
  EXPECT_TRUE(fs::exists(folder / "distances.qmx"));
  TListingF& listing = *ListingForm();
  EXPECT_TRUE(listing.Visible());
  ASSERT_EQ(listing.Notebook().PageCount(), 2);
  EXPECT_EQ(listing.Notebook().PageAt(1).Caption(), "Simint-1");
  EXPECT_EQ(listing.Notebook().PageIndex(), 1);
  const TVirEditor* editor = listing.EditorAt(1);
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->ReadParagraph(1), "Simint: Morvapc 2.02c");
  EXPECT_EQ(editor->ReadParagraph(4), "Input parameters");
  EXPECT_EQ(editor->ReadParagraph(5), "Read input from file: interval.qmx");
  EXPECT_GT(editor->Height(), listing.ClientHeight() / 2) << "the editor fills its page";
  EXPECT_TRUE(dialog->ComputeBtn().Visible());
  EXPECT_FALSE(dialog->CancelBtn().Visible());
  EXPECT_FALSE(RunFlags().busy);

  Snapshot(main, "main.png");
  Snapshot(*dialog, "simint-dialog.png");
  Snapshot(listing, "listing.png");
  dialogs.AnswerFile((folder / "listing.txt").string());
  listing.Menu().Find("Notebook")->Find("Save...")->Click();
  const std::string saved = rtl::ReadWholeFile((folder / "listing.txt").string());
  EXPECT_EQ(saved.substr(0, 23), "Simint: Morvapc 2.02c\r\n");
  EXPECT_NE(saved.find("Input parameters\r\n"), std::string::npos);
  EXPECT_EQ(saved.find('\f'), std::string::npos) << "one section, no form feed";
}

// A button's face shows the picture of that resource on the button's own
// colour: it differs from the blank face in many pixels, and the picture's
// background (olive, its bottom-left pixel) is transparent.
void ExpectPictureFace(SpeedButton& button, const std::string& picture) {
  constexpr std::uint32_t kPictureBackground = 0x808000;
  button.Repaint();
  const RasterImage face = GrabImage(button);
  button.SetGlyphResource("");
  button.Repaint();
  const RasterImage blank = GrabImage(button);
  button.SetGlyphResource(picture);
  ASSERT_EQ(face.pixels.size(), blank.pixels.size()) << picture;
  std::size_t changed = 0;
  for (std::size_t i = 0; i < face.pixels.size(); ++i) {
    changed += (face.pixels[i] & 0x00FFFFFFu) != (blank.pixels[i] & 0x00FFFFFFu) ? 1 : 0;
    EXPECT_NE(face.pixels[i] & 0x00FFFFFFu, kPictureBackground) << picture << ": the background shows";
    if ((face.pixels[i] & 0x00FFFFFFu) == kPictureBackground) break;
  }
  EXPECT_GE(changed, 60u) << picture << " does not show";
}

// The main window's tool buttons and EIGEN's plot buttons show their pictures,
// their texts as hints; the module notebook has three rows of 205-pixel tabs and
// the dialog's heading row its 20-point bold font. The pictures of both windows
// are kept among the test artefacts (shell/forms/morvapc-main.png, eigen-dialog.png).
TEST_F(MorvapcWindows, ToolAndPlotButtonsShowTheirPictures) {
  const fs::path folder = DataFolder();
  fs::copy_file(fs::path(MORVA_FIXTURES) / "ordination" / "eigen.qmx", folder / "eigen.qmx");
  TMORVAF& main = Start();
  std::vector<SpeedButton*> tools;
  for (Control* child : main.Children()) {
    for (Control* inner : child->Children()) {
      if (auto* tool = dynamic_cast<SpeedButton*>(inner)) tools.push_back(tool);
    }
  }
  const std::vector<std::string> pictures = {"EDITFILE", "LISTING", "BATCH", "EXIT", "HELP"};
  const std::vector<std::string> hints = {"Edit|Edit an Morvapc file", "View listing|View listing notebook",
                                          "Run batch file|Execute an Morvapc batch file", "Exit|Exit Morvapc",
                                          "Help|Help contents"};
  ASSERT_EQ(tools.size(), hints.size());
  for (std::size_t i = 0; i < tools.size(); ++i) {
    EXPECT_EQ(tools[i]->Hint(), hints[i]);
    EXPECT_EQ(tools[i]->Caption(), "") << hints[i];
    ExpectPictureFace(*tools[i], pictures[i]);
  }
  TVirNotebook& notebook = main.Notebook();
  EXPECT_EQ(notebook.TabWidth(), 205);
  EXPECT_EQ(notebook.TabRowCount(), 3);
  for (int index = 0; index < notebook.PageCount(); ++index) {
    EXPECT_EQ(notebook.TabRectAt(index).Width(), 205) << index;
    EXPECT_EQ(notebook.TabRectAt(index).Height(), 22) << index;
  }
  std::set<int> rowTops;
  for (int index = 0; index < notebook.PageCount(); ++index) rowTops.insert(notebook.TabRectAt(index).top);
  EXPECT_EQ(rowTops.size(), 3u) << "five tabs in three rows";
  for (int page = 0; page < notebook.PageCount(); ++page) {
    notebook.SetPageIndex(page);
    input::Flush();
    for (Control* button : notebook.PageAt(page).Children()) {
      EXPECT_LE(button->Left() + button->Width(), notebook.PageAt(page).Width()) << button->Caption();
      EXPECT_LE(button->Top() + button->Height(), notebook.PageAt(page).Height()) << button->Caption();
    }
  }
  Snapshot(main, "morvapc-main.png");

  notebook.SetPageIndex(3);
  main.ModuleButton(10)->Click();
  input::Flush();
  TDialogF* dialog = DialogForm();
  ASSERT_NE(dialog, nullptr);
  const auto* heading = dialog->Table().LockedRowsCell();
  ASSERT_NE(heading, nullptr);
  EXPECT_EQ(const_cast<TVirBaseTableCell*>(heading)->Font().size, 20);
  EXPECT_TRUE(const_cast<TVirBaseTableCell*>(heading)->Font().style & fsBold);
  dialog->ComputeBtn().Click();  // an empty input: the grid edits its row
  dialog->Table().SetFocus();
  input::Flush();
  Type(*dialog, "eigen.qmx");
  dialog->ComputeBtn().Click();
  input::Flush();
  EXPECT_TRUE(boxes.Boxes().empty()) << boxes.LastText();
  ASSERT_EQ(dialog->PlotButtonCount(), 2);
  EXPECT_TRUE(dialog->Toolbar().Visible());
  for (int i = 1; i <= 2; ++i) {
    SpeedButton& plot = dialog->PlotButton(i);
    EXPECT_TRUE(plot.Enabled()) << i;
    EXPECT_EQ(plot.Caption(), "") << i;
    ExpectPictureFace(plot, i == 1 ? "2DPlot" : "3DPlot");
  }
  EXPECT_EQ(dialog->PlotButton(1).Hint(), "2D plot of \neigenvectors");
  Snapshot(*dialog, "eigen-dialog.png");
}

TEST_F(MorvapcWindows, CancelDuringARunGivesTheUserAbortWarning) {
  const fs::path folder = DataFolder();
  fs::copy_file(fs::path(MORVA_FIXTURES) / "similarity" / "interval.qmx", folder / "interval.qmx");
  TMORVAF& main = Start();
  main.ModuleButton(21)->Click();
  input::Flush();
  TDialogF& dialog = *DialogForm();
  dialog.ComputeBtn().Click();  // an empty input: the grid edits its row
  dialog.Table().SetFocus();
  input::Flush();
  Type(dialog, "interval.qmx");
  bool cancelShown = false;
  later.Post([&] {
    cancelShown = dialog.CancelBtn().Visible() && !dialog.ComputeBtn().Visible() && !dialog.Toolbar().Enabled();
    dialog.CancelBtn().Click();
  });
  dialog.ComputeBtn().Click();
  EXPECT_TRUE(cancelShown);
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, "User abort");
  EXPECT_EQ(boxes.Boxes()[0].kind, MsgKind::Warning);
  EXPECT_FALSE(RunFlags().busy);
  EXPECT_FALSE(RunFlags().abort);
  EXPECT_TRUE(dialog.ComputeBtn().Visible());
  EXPECT_TRUE(dialog.Toolbar().Enabled());
}

TEST_F(MorvapcWindows, RequiredFieldsStopComputeAtTheirRow) {
  struct Case {
    std::int32_t module;
    std::vector<std::pair<int, const char*>> typed;
    int row;
    const char* message;
  };
  const Case cases[] = {
      {15, {}, 1, " Input field must not be blank for Input tree file"},
      {15, {{1, "t.qmx"}}, 2, " Output field must not be blank for Output coph. file"},
      {23, {{1, "in.qmx"}}, 3, " Field must not be blank in row 3"},
      {9, {{1, "m.qmx"}}, 3, " Input field must not be blank for Input VCV"},
      {9, {{1, "m.qmx"}, {3, "v.qmx"}}, 4, " Input field must not be blank for Input group sizes"},
  };
  TMORVAF& main = Start();
  for (const Case& c : cases) {
    main.ModuleButton(c.module)->Click();
    input::Flush();
    TDialogF& dialog = *DialogForm();
    dialog.ComputeBtn().Click();  // an empty input: the grid edits its row
    dialog.Table().SetFocus();
    input::Flush();
    for (const auto& [row, text] : c.typed) {
      while (dialog.Table().ActiveRow() < row) Key(dialog, vk::Down);
      Type(dialog, text);
    }
    dialog.ComputeBtn().Click();
    input::Flush();
    EXPECT_EQ(dialog.StatusPanel().Caption(), c.message) << c.module << " row " << c.row;
    EXPECT_EQ(dialog.Table().ActiveRow(), c.row) << c.module;
    EXPECT_TRUE(dialog.Table().Editing()) << c.module;
    EXPECT_EQ(ListingForm()->Model().PageCount(), 1) << "nothing ran";
  }
}

TEST_F(MorvapcWindows, ANumericCellRefusesAValueOutsideItsLimits) {
  TMORVAF& main = Start();
  main.Menu().Find("Configuration...")->Click();
  input::Flush();
  TDialogF& dialog = *DialogForm();
  input::Flush();
  const Rect indent = dialog.Table().CellRect(3, 1);  // "Listing indent", 1 to 20
  input::Click(dialog.Table(), (indent.left + indent.right) / 2, (indent.top + indent.bottom) / 2);
  input::Flush();
  ASSERT_EQ(dialog.Table().ActiveRow(), 3);
  for (int i = 0; i < 3; ++i) Key(dialog, vk::Back);
  Type(dialog, "25");
  Key(dialog, vk::Down);
  EXPECT_EQ(dialog.Table().ActiveRow(), 3) << "the cell keeps the focus";
  EXPECT_FALSE(boxes.Boxes().empty()) << "the cell reports the value";
  Key(dialog, vk::Escape);
  dialog.ComputeBtn().Click();
  input::Flush();
  EXPECT_EQ(Config().listingIndent, 8);
}

// The settings file's [intl] decimal character is the one a number cell of a
// module's window takes.
TEST_F(MorvapcWindows, ANumberCellTakesTheDecimalCharacterOfTheSettingsFile) {
  SetKey("intl", "sDecimal", ",");
  struct RestoredIntl {
    TVirIntlSup saved = VirIntlSup();
    ~RestoredIntl() { VirIntlSup() = saved; }
  } restored;
  VirIntlSup().LoadProfileSettings();
  TMORVAF& main = Start();
  main.ModuleButton(18)->Click();  // SAHN
  input::Flush();
  TDialogF& dialog = *DialogForm();
  const int row = ClickArgument(dialog, "Tie tolerance");
  ASSERT_EQ(dialog.Table().ActiveRow(), row);
  for (int i = 0; i < 12; ++i) Key(dialog, vk::Back);
  Type(dialog, "0,25");
  dialog.ComputeBtn().Click();
  input::Flush();
  EXPECT_EQ(dialog.Model().Params().Params()[static_cast<std::size_t>(row - 1)].real, 0.25);
}

// The error boxes of the toolkit take the focus while they show: a value out
// of its range is still reported once, and its field keeps the focus with the
// value as typed, whether Tab or Down left it.
TEST_F(MorvapcWindows, AValueOutOfRangeIsReportedOnceByAnErrorBoxThatTakesTheFocus) {
  struct Case {
    std::int32_t module;
    const char* prompt;
    const char* typed;
    int key;
  };
  const Case cases[] = {{18, "Maximum no. tied trees", "0", vk::Tab},  // SAHN
                        {11, "Minimum stress", "5", vk::Down}};        // MDSCALE
  TMORVAF& main = Start();
  for (const Case& c : cases) {
    main.ModuleButton(c.module)->Click();
    input::Flush();
    TDialogF& dialog = *DialogForm();
    const int row = ClickArgument(dialog, c.prompt);
    Control& edit = KeyTarget(dialog);
    ASSERT_NE(&edit, &dialog.Table()) << c.prompt;
    bool focusedWhileShown = true;
    {
      auto shown = RealBoxes(edit);
      shown->WhileShown = [&, inner = shown->WhileShown] {
        focusedWhileShown = edit.Focused();
        inner();
      };
      Type(dialog, c.typed);
      Key(dialog, c.key);
      EXPECT_EQ(shown->Texts(), std::vector<std::string>{"Value is not within required range"}) << c.prompt;
    }
    EXPECT_FALSE(focusedWhileShown) << "the box had the focus";
    EXPECT_EQ(dialog.Table().ActiveRow(), row) << c.prompt;
    EXPECT_TRUE(edit.Focused()) << c.prompt;
    EXPECT_EQ(std::string(rtl::Trim(edit.Caption())), c.typed) << c.prompt;
  }
}

TEST_F(MorvapcWindows, AnIndentOutOfRangeIsReportedOnceByAnErrorBoxThatTakesTheFocus) {
  Form& owner = CreateForm<Form>("OwnerF");
  TGIntWrap prompt;
  prompt.Caption = "Indent value";
  prompt.Min = 0;
  prompt.Max = 20;
  prompt.Value = 8;
  std::vector<std::string> texts;
  bool focusedAfter = false;
  std::string textAfter;
  later.Post([&] {
    auto& form = *dynamic_cast<TGetIntF*>(FindForm("GetIntF"));
    {
      auto shown = RealBoxes(form.Field());
      input::TypeText(form.Field(), "99");
      input::PressKey(form.Field(), vk::Tab, 0, "\t");
      input::Flush();
      texts = shown->Texts();
    }
    focusedAfter = form.Field().Focused();
    textAfter = std::string(rtl::Trim(form.Field().GetText()));
    form.Field().SetValueText("12");
    form.OkBtn().Click();
  });
  EXPECT_TRUE(prompt.Execute(owner));
  EXPECT_EQ(texts, std::vector<std::string>{"Value is not within required range"});
  EXPECT_TRUE(focusedAfter);
  EXPECT_EQ(textAfter, "99");
  EXPECT_EQ(prompt.Value, 12);
}

// In a listing page, Ctrl+Shift+digit sets that bookmark and Ctrl+digit goes
// back to it, pressed as the keyboard reports them (Ctrl+Shift+1 comes as
// '!'); neither types into the listing.
TEST_F(MorvapcWindows, TheListingsBookmarkKeysSetAndGoBackWithoutTyping) {
  Start();
  TListingF& listing = *ListingForm();
  listing.Model().NewSection("SAHN");
  for (int i = 1; i <= 30; ++i) listing.Model().WriteLine("line " + std::to_string(i));
  listing.ShowListing();
  listing.FocusCurrentPage();
  input::Flush();
  TVirEditor& editor = *listing.CurrentEditor();
  ASSERT_TRUE(editor.Focused());
  auto text = [&editor] {
    std::string all;
    for (std::int32_t n = 1; n <= editor.CountParagraphs(); ++n) all += editor.ReadParagraph(n) + "|";
    return all;
  };
  const std::string before = text();
  for (int digit = 0; digit <= 9; ++digit) {
    editor.MoveCaretToLineCol(4 + digit, 3);
    input::PressKeyOnKeyboard(editor, '0' + digit, ssCtrl | ssShift);
    editor.MoveCaretToLineCol(1, 1);
    input::PressKeyOnKeyboard(editor, '0' + digit, ssCtrl);
    EXPECT_EQ(editor.CaretLine(), 4 + digit) << digit;
    EXPECT_EQ(editor.CaretPos(), 3) << digit;
  }
  EXPECT_EQ(text(), before);
}

// A file cell holds a path longer than a short name, typed into it or picked
// by its browse: the run reads and writes the very files named. A name longer
// than the system opens is refused with a message, and nothing runs.
TEST_F(MorvapcWindows, LongFilePathsReachTheRunWhole) {
  const fs::path folder = DataFolder() / std::string(100, 'd') / "sub folder";
  fs::create_directories(folder);
  const fs::path input = folder / "interval data of the beech woods.qmx";
  const fs::path output = folder / "distances between the beech woods.qmx";
  ASSERT_GT(input.string().size(), 147u);
  fs::copy_file(fs::path(MORVA_FIXTURES) / "similarity" / "interval.qmx", input);
  TMORVAF& main = Start();
  main.ModuleButton(21)->Click();  // SIMINT: input file in row 1, output file in row 4
  input::Flush();
  TDialogF& dialog = *DialogForm();
  Type(dialog, input.string());
  dialog.Table().SetActiveCell(4, 1);
  input::Flush();
  dialogs.AnswerFile(std::string(MaxPathLength + 1, 'x'));
  input::DoubleClick(KeyTarget(dialog));  // browse
  EXPECT_EQ(dialog.StatusPanel().Caption(), " File name too long for Output file: at most 4095 characters");
  dialogs.AnswerFile(output.string());
  input::DoubleClick(KeyTarget(dialog));
  dialog.ComputeBtn().Click();
  input::Flush();
  EXPECT_TRUE(boxes.Boxes().empty()) << boxes.LastText();
  EXPECT_EQ(ListingForm()->Model().PageCount(), 2) << "the run read the named input";
  EXPECT_TRUE(fs::exists(output)) << "and wrote the named output";
  EXPECT_EQ(dialog.Model().Params().Params()[3].fileName, output.string());
}

}  // namespace
