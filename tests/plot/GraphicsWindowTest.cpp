// MXPLOT, MOD3D and MXCOMP run as the batch runner runs them, with their
// plot windows offscreen: every message stops the run without a plot, good
// runs open their window over every data set, the ordination modules' 2-D
// and 3-D plot buttons open the matrix plot and the 3-D plot, and a picture
// of each plot is kept.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "matrix/Constu.h"
#include "PlotPicture.h"
#include "modules/ordination/cva.h"
#include "modules/ordination/eigen.h"
#include "platform/Snapshot.h"
#include "plot/forms/GraphicsModules.h"
#include "plot/forms/mod3d.h"
#include "plot/forms/mxcomp.h"
#include "plot/forms/mxplot.h"
#include "shell/Modules.h"
#include "tests/platform/QtTestSupport.h"
#include "tests/shell/ShellTestSupport.h"
#include "tests/support/ScopedHook.h"

namespace {

namespace fs = std::filesystem;
using Args = std::map<std::string, std::string>;

std::string Fixture(const std::string& path) { return std::string(MORVA_FIXTURES) + "/" + path; }

// Runs a module on its parameters' defaults and the values given by keyword
// (file names relative to the fixtures; check boxes "YES" or "NO").
void RunModule(void (*describe)(TModuleRec&), const Args& args) {
  TModuleRec module;
  describe(module);
  TWorkingParams params;
  params.LoadParameters(module);
  for (TParamRec& p : params.Params()) {
    const auto value = args.find(p.keyword);
    if (value == args.end()) continue;
    if (p.type == ptInFile) p.fileName = Fixture(value->second);
    if (p.type == ptInteger) p.integer = std::stoi(value->second);
    if (p.type == ptReal) p.real = std::stod(value->second);
    if (p.type == ptCheck) p.check = value->second == "YES";
  }
  module.run(params.Params());
  plat::input::Flush();
}

// Lays the window out and paints it now, as the screen would.
void Paint(Tbm2DForm& window) {
  window.Replot();
  plat::GrabImage(window.PaintBoxControl());
  plat::input::Flush();
}

class GraphicsWindowTest : public platform_test::WindowTest {
 protected:
  void TearDown() override {
    MxPlotRelease();
    Mod3DRelease();
    MxCompRelease();
    EigenRelease();
    CvaRelease();
    WindowTest::TearDown();
  }

  shelltest::TempSettings settings;
  shelltest::RecordedServices services;
};

// ---- Messages ----

struct MessageCase {
  const char* name;
  void (*describe)(TModuleRec&);
  Args args;
  const char* window;
  const char* message;
};

class GraphicsModuleMessage : public GraphicsWindowTest, public ::testing::WithParamInterface<MessageCase> {};

TEST_P(GraphicsModuleMessage, StopsTheRunWithoutAPlot) {
  const MessageCase& c = GetParam();
  try {
    RunModule(c.describe, c.args);
    ADD_FAILURE() << "no error";
  } catch (const E_Morvapc& error) {
    EXPECT_EQ(std::string(error.what()).substr(0, std::string(c.message).size()), c.message);
  }
  EXPECT_FALSE(plat::FormExists(c.window));
  EXPECT_EQ(MxPlotPlot(), nullptr);
  EXPECT_EQ(Mod3DPlot(), nullptr);
  EXPECT_EQ(MxCompPlot(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Modules, GraphicsModuleMessage,
    ::testing::Values(
        MessageCase{"MxPlotOneVariable",
                    MxPlotDescribe,
                    {{"O", "mxplot/onevariable.qmx"}, {"D", "NO"}},
                    "MxPlotF",
                    "Need at least two variables to plot."},
        MessageCase{"MxPlotAbscissaBeyond",
                    MxPlotDescribe,
                    {{"O", "mxplot/golden/data10x3.qmx"}, {"D", "NO"}, {"X", "4"}},
                    "MxPlotF",
                    "Abscissa (4) is not one of the 3 variables"},
        MessageCase{"MxPlotOrdinateBeyondByRows",
                    MxPlotDescribe,
                    {{"O", "mxplot/golden/data10x3.qmx"}, {"D", "YES"}, {"Y", "11"}},
                    "MxPlotF",
                    "Ordinate (11) is not one of the 10 variables"},
        MessageCase{"MxPlotNoPoints",
                    MxPlotDescribe,
                    {{"O", "mxplot/nopoints.qmx"}, {"D", "NO"}},
                    "MxPlotF",
                    "No points to plot"},
        MessageCase{"MxPlotGraphsShort",
                    MxPlotDescribe,
                    {{"O", "mxplot/golden/three.qmx"}, {"D", "NO"}, {"G", "mxplot/golden/graph2.qmx"}},
                    "MxPlotF",
                    "Number of data (3) and graph (2)\n matrices not equal."},
        MessageCase{
            "MxPlotWrongType", MxPlotDescribe, {{"O", "mxcomp/four.qmx"}}, "MxPlotF", "Wrong type of input matrix"},
        MessageCase{"Mod3DAxesNotUnique",
                    Mod3DDescribe,
                    {{"O", "mod3d/golden/data6x4.qmx"}, {"X", "2"}, {"Z", "2"}},
                    "Mod3DF",
                    "axes should be unique"},
        MessageCase{"Mod3DTwoVariables",
                    Mod3DDescribe,
                    {{"O", "mxplot/golden/three.qmx"}, {"D", "NO"}},
                    "Mod3DF",
                    "Must have at least 3 variables"},
        MessageCase{"Mod3DXBeyond",
                    Mod3DDescribe,
                    {{"O", "mod3d/golden/data6x4.qmx"}, {"D", "NO"}, {"X", "5"}},
                    "Mod3DF",
                    "X (5) is not one of the 4 variables"},
        MessageCase{"Mod3DZBeyondByRows",
                    Mod3DDescribe,
                    {{"O", "mod3d/golden/data6x4.qmx"}, {"D", "YES"}, {"Z", "7"}},
                    "Mod3DF",
                    "Z (7) is not one of the 6 variables"},
        MessageCase{
            "Mod3DNoPoints", Mod3DDescribe, {{"O", "mod3d/nopoints.qmx"}, {"D", "NO"}}, "Mod3DF", "No points to plot"},
        MessageCase{"Mod3DNoMatrix",
                    Mod3DDescribe,
                    {{"O", "mod3d/comments.qmx"}},
                    "Mod3DF",
                    "Problem in reading input matrix header."},
        MessageCase{"Mod3DGraphsShort",
                    Mod3DDescribe,
                    {{"O", "mod3d/golden/three.qmx"}, {"D", "NO"}, {"G", "mxplot/golden/graph2.qmx"}},
                    "Mod3DF",
                    "Number of data (3) and graph (2)\n matrices not equal."},
        MessageCase{"Mod3DNoViewingDistance",
                    Mod3DDescribe,
                    {{"O", "mod3d/golden/data6x4.qmx"}, {"R", "0"}},
                    "Mod3DF",
                    "Viewing distance (0) must be greater than 0"},
        MessageCase{"MxCompYShort",
                    MxCompDescribe,
                    {{"X", "mxcomp/golden/x2sets.qmx"}, {"Y", "mxcomp/golden/y5.qmx"}},
                    "MxCompF",
                    "Number of X (2) and Y (1)\n matrices not equal."},
        MessageCase{"MxCompYOtherSize",
                    MxCompDescribe,
                    {{"X", "mxcomp/golden/x5.qmx"}, {"Y", "mxcomp/six.qmx"}},
                    "MxCompF",
                    "Y matrix not the same size as the X"},
        MessageCase{"MxCompXInvariant",
                    MxCompDescribe,
                    {{"X", "mxcomp/constant.qmx"}, {"Y", "mxcomp/golden/x5.qmx"}},
                    "MxCompF",
                    "Warning: X-matrix seems to be invariant, no r can be computed"},
        MessageCase{"MxCompYInvariant",
                    MxCompDescribe,
                    {{"X", "mxcomp/golden/x5.qmx"}, {"Y", "mxcomp/constant.qmx"}},
                    "MxCompF",
                    "Warning: Y-matrix seems to be invariant, no r can be computed"},
        MessageCase{"MxCompThreeObjects",
                    MxCompDescribe,
                    {{"X", "mxcomp/three.qmx"}, {"Y", "mxcomp/three.qmx"}},
                    "MxCompF",
                    "At least 4 objects are needed to compare two matrices"},
        MessageCase{"MxCompNoPair",
                    MxCompDescribe,
                    {{"X", "mxcomp/missing4.qmx"}, {"Y", "mxcomp/four.qmx"}},
                    "MxCompF",
                    "No pair of objects has a value in both matrices"},
        MessageCase{"MxCompWrongType",
                    MxCompDescribe,
                    {{"X", "mxcomp/rectangular.qmx"}, {"Y", "mxcomp/four.qmx"}},
                    "MxCompF",
                    "Wrong type of input matrix"},
        MessageCase{"MxCompXMissingFile",
                    MxCompDescribe,
                    {{"X", "mxcomp/none.qmx"}, {"Y", "mxcomp/four.qmx"}},
                    "MxCompF",
                    "Input file ("}),
    [](const auto& param) { return std::string(param.param.name); });

// ---- Good runs ----

TEST_F(GraphicsWindowTest, MxPlotOpensOneWindowOverEveryDataSet) {
  // The file ends with a comment line after its last matrix.
  RunModule(MxPlotDescribe, {{"O", "mxplot/golden/three.qmx"}, {"D", "NO"}, {"G", "mxplot/golden/graph1.qmx"}});
  ASSERT_NE(MxPlotPlot(), nullptr);
  Tbm2DForm* window = MxPlotPlot()->Window();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(plat::FindForm("MxPlotF"), window);
  EXPECT_EQ(window->Caption(), "Matrix plot");
  EXPECT_EQ(window->ByGroupSpin().MaxValue(), 3);
  EXPECT_TRUE(MxPlotPlot()->ShowGraph());
  EXPECT_EQ(MxPlotPlot()->PointMode(), pmNone);
  window->Close();
  plat::input::Flush();
  MxPlotRelease();  // after the user closed the window: nothing is freed twice
  EXPECT_FALSE(plat::FormExists("MxPlotF"));
}

TEST_F(GraphicsWindowTest, MxCompOpensOneWindowOverEveryDataSetAndReleaseClosesIt) {
  RunModule(MxCompDescribe,
            {{"X", "mxcomp/golden/x2sets.qmx"}, {"Y", "mxcomp/golden/y2sets.qmx"}, {"N", "YES"}, {"NP", "0"}});
  ASSERT_NE(MxCompPlot(), nullptr);
  Tbm2DForm* window = MxCompPlot()->Window();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(plat::FindForm("MxCompF"), window);
  EXPECT_EQ(window->Caption(), "Matrix comparison");
  EXPECT_EQ(window->ByGroupSpin().MaxValue(), 2);
  const auto kept = MxCompKept();
  ASSERT_EQ(kept->Count(), 2);
  EXPECT_EQ(kept->X[0].getxij(2, 1), 2.5) << "normalising without permutations keeps the raw values";
  MxCompRelease();
  plat::input::Flush();
  EXPECT_FALSE(plat::FormExists("MxCompF"));
  EXPECT_EQ(kept->X[1].n(), 6) << "what a plot shared stays whole";
}

// Comment lines after the last matrix end the data and the plot opens; the
// one graph serves all three data sets. The file has no labels: the points
// (rows) are named "Var-" and their number, the variables (columns) are
// numbered.
TEST_F(GraphicsWindowTest, Mod3DOpensOneWindowOverEveryDataSet) {
  RunModule(Mod3DDescribe, {{"O", "mod3d/golden/three.qmx"}, {"D", "NO"}, {"G", "mod3d/golden/graph1.qmx"}});
  TMod3DPlt* plot = Mod3DPlot();
  ASSERT_NE(plot, nullptr);
  Tbm2DForm* window = plot->Window();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(plat::FindForm("Mod3DF"), window);
  EXPECT_EQ(window->Caption(), "3D plot");
  EXPECT_EQ(window->ByGroupSpin().MaxValue(), 3);
  EXPECT_TRUE(plot->Settings().showGraph);
  EXPECT_EQ(plot->Settings().labelMode, lmNone);
  EXPECT_EQ(plot->Rho(), 999.0);
  for (int g = 1; g <= 3; ++g) {
    window->ByGroupSpin().SetValue(g);
    Paint(*window);
  }
  EXPECT_TRUE(boxes.Boxes().empty()) << "every data set draws, the one with a missing value too";
  EXPECT_EQ(plot->CurrentGroup(), 3);
  EXPECT_EQ(plot->VariableCount(), 3);
  EXPECT_EQ(plot->VariableLabel(2), "2");
  EXPECT_EQ(window->Plot().Parts().XAxisTitle.Text, "") << "no axis titles";
  window->Close();
  plat::input::Flush();
  Mod3DRelease();  // after the user closed the window: nothing is freed twice
  EXPECT_FALSE(plat::FormExists("Mod3DF"));
}

// Plotted by rows, the file's row labels name the variables.
TEST_F(GraphicsWindowTest, Mod3DByRowsTakesTheVariablesFromTheRows) {
  RunModule(Mod3DDescribe, {{"O", "mod3d/golden/data6x4.qmx"}, {"D", "YES"}, {"X", "6"}});
  ASSERT_NE(Mod3DPlot(), nullptr);
  Tbm2DForm& window = *Mod3DPlot()->Window();
  Paint(window);
  EXPECT_TRUE(boxes.Boxes().empty());
  EXPECT_TRUE(Mod3DPlot()->PointsAreColumns());
  EXPECT_EQ(Mod3DPlot()->VariableCount(), 6);
  EXPECT_EQ(Mod3DPlot()->VariableLabel(6), "F");
  Mod3DRelease();
  plat::input::Flush();
  EXPECT_FALSE(plat::FormExists("Mod3DF")) << "release closes an open window";
}

// EIGEN's first button: the eigenvectors, a point per variable (a row), at
// dimensions 1 and 2.
TEST_F(GraphicsWindowTest, EigenTwoDimensionalPlotButtonOpensTheMatrixPlot) {
  const testsupport::ScopedHook openers(InstallPlotOpeners, PlotWindowOpeners());
  RunModule(EigenDescribe, {{"O", "ordination/eigen.qmx"}});
  EigenPlot2D();
  plat::input::Flush();
  plat::Form* form = plat::FindForm("EigenMxPlotF1");
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->Caption(), "Matrix plot");
  auto& window = static_cast<Tbm2DForm&>(*form);
  Paint(window);
  EXPECT_TRUE(boxes.Boxes().empty()) << "it draws without an error";
  EXPECT_EQ(window.Plot().Parts().XAxisTitle.Text, "Dim-1");
  EXPECT_EQ(window.Plot().Parts().YAxisTitle.Text, "Dim-2");
  EigenRelease();
  plat::input::Flush();
  EXPECT_FALSE(plat::FormExists("EigenMxPlotF1"));
}

// EIGEN's second button: the eigenvectors in three dimensions, a point per
// variable (a row).
TEST_F(GraphicsWindowTest, EigenThreeDimensionalPlotButtonOpensThe3DPlot) {
  const testsupport::ScopedHook openers(InstallPlotOpeners, PlotWindowOpeners());
  RunModule(EigenDescribe, {{"O", "ordination/eigen.qmx"}});
  EigenPlot3D();
  plat::input::Flush();
  plat::Form* form = plat::FindForm("EigenMod3DF2");
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->Caption(), "3D plot");
  auto& window = static_cast<Tbm2DForm&>(*form);
  Paint(window);
  EXPECT_TRUE(boxes.Boxes().empty()) << "it draws without an error";
  EigenRelease();
  plat::input::Flush();
  EXPECT_FALSE(plat::FormExists("EigenMod3DF2"));
}

// CVA's fourth button plots the regressions with the variables (columns) as
// points, placed at the first three dimensions (rows).
TEST_F(GraphicsWindowTest, CvaCovarianceVectorsButtonPlotsTheVariablesAsPoints) {
  TMod3DPlt* opened = nullptr;
  TPlotOpeners openers = PlotWindowOpeners();
  openers.matrix3D = [&opened](const TMatrix3DPlotRequest& request) {
    std::unique_ptr<TPlotObject> plot = OpenMatrix3DPlotWindow(request);
    opened = static_cast<TMod3DPlt*>(plot.get());
    return plot;
  };
  const testsupport::ScopedHook installed(InstallPlotOpeners, openers);
  RunModule(CvaDescribe, {{"M", "cva/four-means.qmx"}, {"V", "cva/four-within.qmx"}, {"GS", "cva/four-sizes.qmx"}});
  CvaPlotCovVectors3D();
  plat::input::Flush();
  ASSERT_NE(opened, nullptr);
  EXPECT_EQ(plat::FindForm("CVAMod3DF4"), opened->Window());
  EXPECT_TRUE(opened->PointsAreColumns());
  Tbm2DForm& window = *opened->Window();
  Paint(window);
  EXPECT_TRUE(boxes.Boxes().empty());
  EXPECT_EQ(opened->VariableLabel(1), "Dim-1");
  CvaRelease();
  plat::input::Flush();
  EXPECT_FALSE(plat::FormExists("CVAMod3DF4"));
}

// ---- Pictures ----

void SavePicture(Tbm2DForm& window, const std::string& name) {
  window.SetClientSize(640, 480);
  Paint(window);
  const fs::path made = fs::path(MORVA_ARTEFACTS) / "graphics" / name;
  fs::create_directories(made.parent_path());
  EXPECT_TRUE(plat::SaveSnapshot(window.PaintBoxControl(), made.string())) << made;
}

TEST_F(GraphicsWindowTest, PicturesOfBothPlotsAreKept) {
  RunModule(MxPlotDescribe, {{"O", "mxplot/golden/three.qmx"}, {"D", "NO"}, {"G", "mxplot/golden/graph1.qmx"}});
  MxPlotPlot()->SetPointMode(pmNumber);
  MxPlotPlot()->SetShowVectors(true);
  MxPlotPlot()->SetPlotTitle("MXPLOT");
  SavePicture(*MxPlotPlot()->Window(), "mxplot.png");

  RunModule(MxCompDescribe, {{"X", "mxcomp/golden/x2sets.qmx"}, {"Y", "mxcomp/golden/y2sets.qmx"}, {"N", "NO"}});
  MxCompPlot()->SetHighlight(2);
  MxCompPlot()->SetDiagonals(true);
  MxCompPlot()->SetPlotTitle("MXCOMP");
  SavePicture(*MxCompPlot()->Window(), "mxcomp.png");
  EXPECT_TRUE(boxes.Boxes().empty());
}

// Wires down to the base, the base region and Z axis, vectors, numbers and a
// graph: the picture is kept and compared with the stored one.
TEST_F(GraphicsWindowTest, Mod3DPlotLooksLikeTheStoredPicture) {
  RunModule(Mod3DDescribe, {{"O", "mod3d/golden/data6x4.qmx"},
                            {"D", "NO"},
                            {"Z", "4"},
                            {"G", "mod3d/graph6.qmx"},
                            {"A", "35"},
                            {"B", "25"},
                            {"R", "20"}});
  TMod3DPlt& plot = *Mod3DPlot();
  plot.Settings().labelMode = lmNumber;
  plot.Settings().showVectors = true;
  plot.Settings().preserveAspect = false;
  plot.SetPlotTitle("MOD3D");
  Tbm2DForm& window = *plot.Window();
  window.SetClientSize(480, 360);
  plottest::UseFont(window.Plot(), "Liberation Sans");
  Paint(window);
  plottest::ExpectLikeStoredPicture(window.PaintBoxControl(), std::string(MORVA_ARTEFACTS) + "/graphics/mod3d.png",
                                    Fixture("mod3d/mod3d.png"));
  EXPECT_TRUE(boxes.Boxes().empty());
}

}  // namespace
