// Plots on paper: a tree, a 2-D plot and a 3-D plot printed to a PDF file as
// saving prints them, and a page printed from the window's menu at the
// printer's own resolution, rendered by pdftoppm at 150 and 300 dpi. Every
// line must show where the drawing put it, at the width it has on screen, and
// a saved page must look as the printed page does.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "PrintedPages.h"
#include "plot/forms/mod3d.h"
#include "plot/forms/mxplot.h"
#include "plot/forms/tree.h"
#include "rtl/AtomicFile.h"
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

// Saved pages are laid out as printed pages are: every page of every data
// group is saved at once, before the window has ever painted, then each is
// shown, painted and printed on the same default page, and both documents are
// rendered and compared as pictures. A saved page once took its layout from
// the page painted before it, or from none: MOD3D's preserved aspect was lost
// (the same matrix twice gave two shapes) and a tree's first page had other
// margins, cutting long labels.
Tbm2DForm* OpenMod3DOfThreeMatrices() {
  testsupport::RunModule(
      Mod3DDescribe, {{"O", "mod3d/twice-then-wide.qmx"}, {"D", "NO"}, {"X", "1"}, {"Y", "2"}, {"Z", "4"}}, Fixture);
  return Mod3DPlot() != nullptr ? Mod3DPlot()->Window() : nullptr;
}

Tbm2DForm* OpenTreeOfTwoPages() {
  testsupport::RunModule(TreeDescribe, {{"O", "treeplot/usarrests-upgma.qmx"}}, Fixture);
  return TreePlot() != nullptr ? TreePlot()->Window() : nullptr;
}

// The share of pixels that differ between two renderings of a page.
double DifferentShare(const printtest::GreyPicture& a, const printtest::GreyPicture& b) {
  if (a.width != b.width || a.height != b.height || a.pixels.empty()) return 1;
  std::size_t different = 0;
  for (std::size_t i = 0; i < a.pixels.size(); ++i) different += std::abs(a.pixels[i] - b.pixels[i]) > 64 ? 1 : 0;
  return static_cast<double>(different) / static_cast<double>(a.pixels.size());
}

class SavedPageLayout : public PrintedPlotTest, public ::testing::WithParamInterface<PlotCase> {};

TEST_P(SavedPageLayout, EverySavedPageIsThePrintedPage) {
  constexpr int kDpi = 60;
  Tbm2DForm* window = GetParam().open();
  ASSERT_NE(window, nullptr);
  const fs::path folder = ArtefactFolder() / "layout" / GetParam().name;
  fs::remove_all(folder);
  fs::create_directories(folder);
  for (rtl::AtomicFile& file : window->SavePages((folder / "saved").string(), TbmPageFile::Pdf)) file.Commit();
  const std::vector<printtest::GreyPicture> saved = printtest::RenderPdf(folder / "saved.pdf", kDpi);

  const std::vector<TbmPageNumber> pages = window->Plot().EveryPage();
  ASSERT_GE(pages.size(), 2u);
  ASSERT_EQ(saved.size(), pages.size());
  for (std::size_t i = 0; i < pages.size(); ++i) {
    SCOPED_TRACE("group " + std::to_string(pages[i].group) + " page " + std::to_string(pages[i].page));
    if (pages[i].groupCount > 1) window->ByGroupSpin().SetValue(pages[i].group);
    if (window->Plot().Paging.Show) window->Plot().Paging.Show(pages[i].page);
    window->ReplotNow();
    const fs::path printed = folder / ("printed-" + std::to_string(i + 1) + ".pdf");
    window->Plot().Print(*plat::MakePdfFilePrinter(printed.string()), window->Caption());
    const std::vector<printtest::GreyPicture> shown = printtest::RenderPdf(printed, kDpi);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_LT(DifferentShare(saved[i], shown[0]), 0.0005)
        << "compare " << folder / "saved-60dpi"
        << " with " << folder / ("printed-" + std::to_string(i + 1) + "-60dpi");
  }
}

INSTANTIATE_TEST_SUITE_P(Plots, SavedPageLayout,
                         ::testing::Values(PlotCase{"mod3d", OpenMod3DOfThreeMatrices},
                                           PlotCase{"tree", OpenTreeOfTwoPages}),
                         [](const auto& param) { return std::string(param.param.name); });

}  // namespace
