// The plot window offscreen, with the tree plot in it: the TREE module's run,
// stepping through data sets and pages, metafiles, printing to a PDF file,
// the clipboard, the window's life against its client's, and a picture of the
// module's plot compared with a stored one.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "EmfReader.h"
#include "PlotPicture.h"
#include "TreePlotSupport.h"
#include "matrix/Constu.h"
#include "modules/clustering/consens.h"
#include "modules/clustering/njoin.h"
#include "modules/clustering/sahn.h"
#include "platform/Snapshot.h"
#include "plot/forms/GraphicsModules.h"
#include "shell/Config.h"
#include "shell/Modules.h"
#include "tests/platform/QtTestSupport.h"
#include "tests/support/ScopedHook.h"

namespace {

namespace fs = std::filesystem;
using plat::input::Flush;

fs::path ArtefactFolder(const std::string& test) {
  const fs::path folder = fs::path(MORVA_ARTEFACTS) / "treeplot" / test;
  fs::remove_all(folder);
  fs::create_directories(folder);
  return folder;
}

class PlotWindowTest : public platform_test::WindowTest {
 protected:
  void TearDown() override {
    TreeRelease();
    WindowTest::TearDown();
  }

  // Runs the TREE module on a fixture file as the batch runner does.
  void RunTree(const std::string& fixture) {
    TModuleRec module;
    TreeDescribe(module);
    TWorkingParams params;
    params.LoadParameters(module);
    params.Params()[0].fileName = treetest::Fixture(fixture);
    TreeRun(params.Params());
    Flush();
  }

  Tbm2DForm& TreeWindow() {
    EXPECT_NE(TreePlot(), nullptr);
    EXPECT_NE(TreePlot()->Window(), nullptr);
    return *TreePlot()->Window();
  }

  // Makes the window paint now.
  static void Paint(Tbm2DForm& window) {
    window.Replot();
    plat::GrabImage(window.PaintBoxControl());
    Flush();
  }

  plat::RecordingClipboard clipboard;
  plat::ScopedService<plat::Clipboard> clipboardInstalled{clipboard};
  shelltest::TempSettings settings;
  shelltest::RecordedServices services;
};

TEST_F(PlotWindowTest, TreeModuleListsItsTreesAndOpensOneWindowOverThem) {
  RunTree("consensus5.qmx");
  Tbm2DForm& window = TreeWindow();
  EXPECT_EQ(plat::FindForm("TreePltF"), &window);
  EXPECT_EQ(window.Caption(), "Tree plot");
  EXPECT_TRUE(window.ByGroupPanel().Visible());
  EXPECT_EQ(window.ByGroupSpin().MaxValue(), 2);
  ASSERT_GE(services.lines.size(), 3u);
  EXPECT_EQ(services.lines[0], "Input parameters");
  EXPECT_EQ(services.lines[1], "Read input from file: " + treetest::Fixture("consensus5.qmx"));
  EXPECT_EQ(services.lines[2], "");
  EXPECT_EQ(std::count(services.lines.begin(), services.lines.end(), "---- next dataset ----"), 1);
  EXPECT_EQ(services.lines.back(), "");

  Paint(window);
  EXPECT_EQ(TreePlot()->CurrentTree(), 1);
  window.ByGroupSpin().SetValue(2);
  Paint(window);
  EXPECT_EQ(TreePlot()->CurrentTree(), 2);
  EXPECT_EQ(TreePlot()->NodeCount(), 4);
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(PlotWindowTest, OneTreeGivesNoGroupSpin) {
  RunTree("upgma30-tree.qmx");
  EXPECT_FALSE(TreeWindow().ByGroupPanel().Visible());
  EXPECT_EQ(TreeWindow().ByGroupValue(), 1);
}

TEST_F(PlotWindowTest, PagesThroughATreeOfTwoHundredObjects) {
  TTreePlt client(treetest::ListOf(treetest::ZigZagTree(200)), "PagingTreeF", 1);
  client.Show();
  Tbm2DForm& window = *client.Window();
  Paint(window);
  ASSERT_EQ(client.PageCount(), 7);
  for (int page = 1; page <= 8; ++page) {
    client.SetCurrentPage(page);
    Paint(window);
    EXPECT_EQ(client.CurrentPage(), std::min(page, 7));
    const auto& y = window.Plot().Parts().YAxis;
    EXPECT_DOUBLE_EQ(y.Max, 200 - (std::min(page, 7) - 1) * 30 + 0.5);
  }
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(PlotWindowTest, SavedMetafileCarriesTheCreatorAndDescriptionAndItsFolderBecomesTheDefault) {
  RunTree("upgma30-tree.qmx");
  const fs::path folder = ArtefactFolder("metafile");
  dialogs.AnswerFile((folder / "tree.EMF").string());
  TreeWindow().SaveMetafile();
  const emf::Metafile m = emf::Read((folder / "tree.EMF").string());
  ASSERT_TRUE(m.wellFormed);
  EXPECT_EQ(m.Signature(), 0x464D4520u);  // " EMF"
  EXPECT_EQ(m.Description().substr(0, 20), std::string("Morvapc\0saved plot\0\0", 20));
  ASSERT_EQ(dialogs.FileRequests().size(), 1u);
  EXPECT_EQ(dialogs.FileRequests()[0].request.title, "Save plot as metafile");
  EXPECT_EQ(dialogs.FileRequests()[0].request.filter, "metafiles (*.EMF)|*.EMF");
  EXPECT_EQ(Config().defaultDir, folder.string() + "/");
}

TEST_F(PlotWindowTest, FailedMetafileWriteIsReportedWithTheFileName) {
  RunTree("upgma30-tree.qmx");
  const std::string target = (ArtefactFolder("unwritable") / "missing-folder" / "tree.EMF").string();
  dialogs.AnswerFile(target);
  try {
    TreeWindow().SaveMetafile();
    ADD_FAILURE() << "the failed write passed as a success";
  } catch (const std::exception& e) {
    EXPECT_NE(std::string(e.what()).find(target), std::string::npos) << e.what();
  }
  EXPECT_FALSE(fs::exists(target));
}

TEST_F(PlotWindowTest, CopiesABitmapAndAMetafileToTheClipboard) {
  RunTree("upgma30-tree.qmx");
  Tbm2DForm& window = TreeWindow();
  window.CopyBitmap();
  ASSERT_TRUE(clipboard.Content().bitmap.has_value());
  EXPECT_EQ(clipboard.Content().bitmap->width, window.PaintBoxControl().ClientWidth());
  EXPECT_EQ(clipboard.Content().bitmap->height, window.PaintBoxControl().ClientHeight());

  window.MakeMetafile();
  ASSERT_TRUE(clipboard.Content().metafile.has_value());
  const auto& bytes = *clipboard.Content().metafile;
  ASSERT_GT(bytes.size(), 100u);
  EXPECT_EQ(bytes[0], 1) << "an EMF header record first";
  EXPECT_EQ(std::string(bytes.begin() + 40, bytes.begin() + 44), " EMF");
}

TEST_F(PlotWindowTest, PrintsToAPdfFileWhereThereIsNoPrinter) {
  RunTree("upgma30-tree.qmx");
  if (!plat::ThePrinter().PrintsToFile()) GTEST_SKIP() << "this machine has a printer";
  const fs::path pdf = ArtefactFolder("print") / "tree.pdf";
  dialogs.AnswerPrint(true);
  dialogs.AnswerFile(pdf.string());
  TreeWindow().PrintPlot();
  std::ifstream in(pdf, std::ios::binary);
  std::string head(5, '\0');
  in.read(head.data(), 5);
  EXPECT_EQ(head, "%PDF-");
  EXPECT_FALSE(TreeWindow().Plot().PaintBox().Printing);
  EXPECT_EQ(plat::ThePrinter().GetOrientation(), plat::Orientation::Landscape);
}

TEST_F(PlotWindowTest, PrintPreviewWithoutAPrinterSaysSoAndKeepsThePage) {
  RunTree("upgma30-tree.qmx");
  Tbm2DForm& window = TreeWindow();
  EXPECT_FALSE(window.PreviewItem().Checked());
  try {
    window.TogglePrintPreview();
    ADD_FAILURE() << "no error";
  } catch (const E_Morvapc& e) {
    EXPECT_STREQ(e.what(), "No printer found.");
  }
  EXPECT_TRUE(window.PreviewItem().Checked());
  EXPECT_FALSE(window.Plot().Parts().PrintPreview);
  EXPECT_EQ(window.Plot().Parts().PageWidth, 0);
}

TEST_F(PlotWindowTest, PrintPreviewTakesThePrintersPageAndItsShape) {
  const testsupport::ScopedHook installed(InstallSharedServices, {});
  TSharedServices withPrinter = installed.Previous();
  withPrinter.printerPage = [] { return TPrinterPage{297, 210, 1}; };
  InstallSharedServices(std::move(withPrinter));
  RunTree("upgma30-tree.qmx");
  Tbm2DForm& window = TreeWindow();
  window.TogglePrintPreview();
  Paint(window);
  const auto& parts = window.Plot().Parts();
  EXPECT_TRUE(parts.PrintPreview);
  EXPECT_DOUBLE_EQ(parts.PageWidth, 11.69);
  EXPECT_DOUBLE_EQ(parts.PageHeight, 8.27);
  const double shape =
      static_cast<double>(window.PaintBoxControl().ClientWidth()) / window.PaintBoxControl().ClientHeight();
  EXPECT_NEAR(shape, 297.0 / 210.0, 0.02);

  window.TogglePrintPreview();
  EXPECT_FALSE(parts.PrintPreview);
  EXPECT_EQ(parts.PageWidth, 0);
}

// ---- The plot button of SAHN ----

class SahnPlotTest : public PlotWindowTest {
 protected:
  const testsupport::ScopedHook<TPlotOpeners> openers{InstallPlotOpeners, PlotWindowOpeners()};

  void TearDown() override {
    SahnRelease();
    PlotWindowTest::TearDown();
  }
  void RunSahnUpgma(const std::string& fixture) {
    TModuleRec module;
    SahnDescribe(module);
    TWorkingParams params;
    params.LoadParameters(module);
    auto p = params.Params();
    p[0].fileName = treetest::Fixture(fixture);
    const auto upgma = std::find(p[2].items.begin(), p[2].items.end(), "UPGMA");
    ASSERT_NE(upgma, p[2].items.end());
    p[2].index = static_cast<std::int32_t>(upgma - p[2].items.begin());
    SahnRun(params.Params());
  }
};

TEST_F(SahnPlotTest, PlotTreeButtonOpensTheTreeOfTheLastRun) {
  RunSahnUpgma("upgma30.qmx");
  SahnPlotTree();
  plat::Form* window = plat::FindForm("SAHNTreeF");
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->Caption(), "Tree plot");
  EXPECT_FALSE(static_cast<Tbm2DForm*>(window)->ByGroupPanel().Visible());
  Paint(*static_cast<Tbm2DForm*>(window));
  EXPECT_TRUE(boxes.Boxes().empty());

  SahnPlotTree();  // a second press replaces the window
  Flush();
  EXPECT_EQ(plat::Forms().size(), 1u);
  SahnRelease();
  Flush();
  EXPECT_FALSE(plat::FormExists("SAHNTreeF"));
}

TEST_F(SahnPlotTest, WindowClosedByTheUserThenReleaseFreesNothingTwice) {
  RunSahnUpgma("upgma30.qmx");
  SahnPlotTree();
  plat::FindForm("SAHNTreeF")->Close();
  Flush();
  SahnRelease();
  Flush();
  EXPECT_FALSE(plat::FormExists("SAHNTreeF"));
}

// ---- The plot buttons of NJOIN and CONSENS ----

// A module run whose "Plot tree" button opens its window over every tree of
// the run: its input files, its parameters by keyword.
struct TreeButtonCase {
  const char* name;
  TDescribeProc describe;
  std::vector<std::pair<std::string, std::string>> files;  // name, text
  std::vector<std::pair<std::string, std::string>> args;   // keyword, value (file names by their file's name)
  void (*plot)();
  std::shared_ptr<const TTreeMxList> (*results)();
  const char* window;
  std::int32_t trees;
};

class TreeButtonTest : public PlotWindowTest, public ::testing::WithParamInterface<TreeButtonCase> {
 protected:
  const testsupport::ScopedHook<TPlotOpeners> openers{InstallPlotOpeners, PlotWindowOpeners()};

  void TearDown() override {
    TModuleRec module;
    GetParam().describe(module);
    module.release();
    PlotWindowTest::TearDown();
  }
};

TEST_P(TreeButtonTest, OpensItsWindowOverEveryTreeOfTheRun) {
  const TreeButtonCase& c = GetParam();
  const fs::path folder = ArtefactFolder(c.name);
  for (const auto& [name, text] : c.files) {
    std::ofstream(folder / name) << text;
  }
  TModuleRec module;
  c.describe(module);
  TWorkingParams params;
  params.LoadParameters(module);
  for (const auto& [keyword, value] : c.args) {
    for (TParamRec& p : params.Params()) {
      if (p.keyword != keyword) continue;
      if (p.type == ptInFile) p.fileName = (folder / value).string();
      if (p.type == ptChoice)
        p.index = static_cast<std::int32_t>(std::find(p.items.begin(), p.items.end(), value) - p.items.begin());
      if (p.type == ptInteger) p.integer = std::stoi(value);
    }
  }
  module.run(params.Params());
  ASSERT_TRUE(c.results());
  ASSERT_EQ(c.results()->Count(), c.trees);

  c.plot();
  auto* window = static_cast<Tbm2DForm*>(plat::FindForm(c.window));
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->Plot().GroupCount(), c.trees);
  Paint(*window);
  c.plot();  // a second press replaces the window
  Flush();
  EXPECT_EQ(plat::Forms().size(), 1u);
  module.release();
  Flush();
  EXPECT_FALSE(plat::FormExists(c.window));
}

INSTANTIATE_TEST_SUITE_P(Modules, TreeButtonTest,
                         ::testing::Values(TreeButtonCase{"njoin",
                                                          NjoinDescribe,
                                                          {{"d.qmx", "2 5 5 0\n0\n2 0\n2 2 0\n2 2 2 0\n2 2 2 2 0\n"}},
                                                          {{"O", "d.qmx"}, {"TM", "FIND"}, {"NT", "3"}},
                                                          NjoinPlotTree,
                                                          NjoinResults,
                                                          "NJoinTreeF",
                                                          3},
                                           TreeButtonCase{
                                               "consens",
                                               ConsensDescribe,
                                               {{"one.tre", "5 4 2 0\n1 1\n2 3\n3 1\n4\n5 4 2 0\n1 1\n2 2\n3 3\n4\n"},
                                                {"two.tre", "5 4 2 0\n1 1\n2 2\n3 3\n4\n5 4 2 0\n1 1\n2 2\n3 3\n4\n"}},
                                               {{"O1", "one.tre"}, {"O2", "two.tre"}},
                                               ConsensPlotTree,
                                               ConsensResults,
                                               "ConsensTreeF",
                                               2}),
                         [](const auto& test) { return std::string(test.param.name); });

// SAHN's UPGMA tree of the 30 points, drawn: its joins stand at R's hclust heights.
TEST_F(SahnPlotTest, JoinsOfTheSahnUpgmaTreeStandAtHclustHeights) {
  RunSahnUpgma("upgma30.qmx");
  treetest::TreeOnRecorder t(SahnResults(), 4000, 1200);
  t.Draw();
  const auto [joins, heights] = treetest::JoinsAndHclustHeights(t);
  ASSERT_EQ(heights.size(), 29u);
  EXPECT_EQ(joins, heights);
}

// ---- The window's life against its client's ----

TEST_F(PlotWindowTest, DestroyingTheClientClosesItsOpenWindow) {
  auto client = std::make_unique<TTreePlt>(treetest::ListOf(treetest::ZigZagTree(5)), "LifeTreeF", 1);
  client->Show();
  EXPECT_TRUE(plat::FormExists("LifeTreeF"));
  Tbm2DForm* window = client->Window();
  client.reset();
  EXPECT_FALSE(window->Visible());
  Flush();
  EXPECT_FALSE(plat::FormExists("LifeTreeF"));
}

TEST_F(PlotWindowTest, WindowClosedByTheUserLeavesNoClientPointingAtIt) {
  auto client = std::make_unique<TTreePlt>(treetest::ListOf(treetest::ZigZagTree(5)), "LifeTreeF", 1);
  client->Show();
  client->Window()->Close();
  Flush();
  EXPECT_FALSE(plat::FormExists("LifeTreeF"));
  EXPECT_EQ(client->Window(), nullptr);
  client.reset();  // nothing is freed twice
  Flush();
}

TEST_F(PlotWindowTest, ReleaseAfterTheUserClosedTheWindowFreesTheTreesSafely) {
  RunTree("consensus5.qmx");
  TreeWindow().Close();
  Flush();
  TreeRelease();
  EXPECT_EQ(TreePlot(), nullptr);
  EXPECT_FALSE(plat::FormExists("TreePltF"));
}

// A client whose drawing fails: the error box shows once, whatever the repaints.
class FailingClient : public TbmPlt2BC {
 public:
  void Draw() override { throw E_Morvapc("No points to plot"); }
};

TEST_F(PlotWindowTest, ErrorWhilePaintingIsShownOnce) {
  FailingClient client;
  client.Show();
  for (int i = 0; i < 3; ++i) Paint(*client.Window());
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.LastText(), "No points to plot.");
}

// ---- A picture of the module's plot ----

TEST_F(PlotWindowTest, UpgmaTreeOfThirtyObjectsLooksLikeTheStoredPicture) {
  RunTree("upgma30-tree.qmx");
  Tbm2DForm& window = TreeWindow();
  window.SetClientSize(640, 560);
  Tbm2DPlot& plot = window.Plot();
  plottest::UseFont(plot, "Liberation Sans");
  TreePlot()->SetPlotTitle("UPGMA");
  Paint(window);
  Flush();

  plottest::ExpectLikeStoredPicture(window.PaintBoxControl(), std::string(MORVA_ARTEFACTS) + "/treeplot/upgma30.png",
                                    treetest::Fixture("upgma30.png"));
  EXPECT_TRUE(boxes.Boxes().empty());
}

}  // namespace
