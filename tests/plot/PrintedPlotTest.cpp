// Plots on paper: a tree, a 2-D plot and a 3-D plot printed to a PDF file as
// saving prints them, and a page printed from the window's menu at the
// printer's own resolution, rendered by pdftoppm at 150 and 300 dpi. Every
// line must show where the drawing put it, at the width it has on screen.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "PrintedPages.h"
#include "plot/forms/mod3d.h"
#include "plot/forms/mxplot.h"
#include "plot/forms/tree.h"
#include "tests/platform/QtTestSupport.h"
#include "tests/shell/ShellTestSupport.h"
#include "tests/support/ModuleArgs.h"

namespace {

namespace fs = std::filesystem;

fs::path ArtefactFolder() {
  const fs::path folder = fs::path(MORVA_ARTEFACTS) / "printed";
  fs::create_directories(folder);
  return folder;
}

std::string Fixture(const std::string& path) { return std::string(MORVA_FIXTURES) + "/" + path; }

// The window a module opened over a fixture.
struct PlotCase {
  const char* name;
  std::function<Tbm2DForm*()> open;
};

Tbm2DForm* OpenTree() {
  testsupport::RunModule(TreeDescribe, {{"O", "treeplot/upgma30-tree.qmx"}}, Fixture);
  return TreePlot() != nullptr ? TreePlot()->Window() : nullptr;
}

Tbm2DForm* OpenMxPlot() {
  testsupport::RunModule(MxPlotDescribe, {{"O", "mxplot/golden/data10x3.qmx"}, {"D", "NO"}, {"X", "1"}, {"Y", "2"}},
                         Fixture);
  return MxPlotPlot() != nullptr ? MxPlotPlot()->Window() : nullptr;
}

Tbm2DForm* OpenMod3D() {
  testsupport::RunModule(Mod3DDescribe,
                         {{"O", "mod3d/golden/data6x4.qmx"}, {"D", "NO"}, {"X", "1"}, {"Y", "2"}, {"Z", "4"}}, Fixture);
  return Mod3DPlot() != nullptr ? Mod3DPlot()->Window() : nullptr;
}

class PrintedPlotTest : public platform_test::WindowTest {
 protected:
  void TearDown() override {
    TreeRelease();
    MxPlotRelease();
    Mod3DRelease();
    WindowTest::TearDown();
  }

  // Renders the PDF file at 150 and 300 dpi and checks every page against
  // what the printer recorded.
  static void ExpectEveryLineShown(const fs::path& pdf, printtest::TeePrinter& printer) {
    for (const int dpi : {150, 300}) {
      const std::vector<printtest::GreyPicture> pictures = printtest::RenderPdf(pdf, dpi);
      ASSERT_EQ(pictures.size(), printer.Pages().size()) << pdf;
      for (std::size_t i = 0; i < pictures.size(); ++i) {
        const printtest::LinesShown shown = printtest::CheckLines(
            printer.Pages()[i]->Record(), printer.DpiX(), printer.PageWidth(), printer.PageHeight(), pictures[i], dpi);
        SCOPED_TRACE(pdf.string() + " page " + std::to_string(i + 1) + " at " + std::to_string(dpi) + " dpi");
        EXPECT_GT(shown.places, 100) << "the page has lines to look for";
        EXPECT_GE(shown.found, 0.95) << "lines missing from the page";
        // As wide as on a 96-dpi screen: three pixels at 300 dpi, not one printer pixel.
        if (dpi == 300) {
          EXPECT_GE(shown.thick, 0.9) << "hairlines";
        }
      }
    }
  }

  shelltest::TempSettings settings;
  shelltest::RecordedServices services;
};

class PlotSavedAsPdf : public PrintedPlotTest, public ::testing::WithParamInterface<PlotCase> {};

TEST_P(PlotSavedAsPdf, ShowsEveryLineWhenRendered) {
  Tbm2DForm* window = GetParam().open();
  ASSERT_NE(window, nullptr);
  const fs::path pdf = ArtefactFolder() / (std::string(GetParam().name) + ".pdf");
  const std::unique_ptr<plat::Printer> file = plat::MakePdfFilePrinter(pdf.string());
  printtest::TeePrinter printer(*file);
  window->Plot().PrintEveryPage(printer, window->Caption());
  ExpectEveryLineShown(pdf, printer);
}

INSTANTIATE_TEST_SUITE_P(Plots, PlotSavedAsPdf,
                         ::testing::Values(PlotCase{"tree", OpenTree}, PlotCase{"mxplot", OpenMxPlot},
                                           PlotCase{"mod3d", OpenMod3D}),
                         [](const auto& param) { return std::string(param.param.name); });

// File > Print where the machine has no printer: the page goes to the PDF
// file the user names, at the printer's default resolution.
TEST_F(PrintedPlotTest, PrintedPageShowsEveryLineAtThePrintersResolution) {
  Tbm2DForm* window = OpenTree();
  ASSERT_NE(window, nullptr);
  printtest::TeePrinter printer(plat::ThePrinter());
  const plat::ScopedService<plat::Printer> installed(printer);
  if (!printer.PrintsToFile()) GTEST_SKIP() << "this machine has a printer";
  const fs::path pdf = ArtefactFolder() / "printed-tree.pdf";
  dialogs.AnswerPrint(true);
  dialogs.AnswerFile(pdf.string());
  window->PrintPlot();
  ASSERT_EQ(printer.Pages().size(), 1u);
  ExpectEveryLineShown(pdf, printer);
}

}  // namespace
