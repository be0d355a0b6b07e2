// The tree plot's and the matrix plot's options windows offscreen, reached as
// the user reaches them from the plot window: what each control changes on
// the open plot, that every change draws the plot again once, the limits of
// the page controls, the variables naming the axes, the graph controls, the
// buttons that open the plot window's dialogs, and a picture of each window.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <variant>

#include "TreePlotSupport.h"
#include "platform/Snapshot.h"
#include "platform/SystemColors.h"
#include "plot/forms/bmAxisDlg.h"
#include "plot/forms/mxploto.h"
#include "plot/forms/treeo.h"
#include "shell/Modules.h"
#include "tests/platform/QtTestSupport.h"
#include "tests/shell/ShellTestSupport.h"

namespace {

namespace fs = std::filesystem;
using plat::input::Flush;

std::string Fixture(const std::string& path) { return std::string(MORVA_FIXTURES) + "/" + path; }

// Keeps a picture of the window under the test artefacts.
void KeepPicture(plat::Form& window, const std::string& name) {
  const fs::path folder = fs::path(MORVA_ARTEFACTS) / "plotoptions";
  fs::create_directories(folder);
  EXPECT_TRUE(plat::SaveSnapshot(window, (folder / (name + ".png")).string()));
}

class PlotOptionsWindowTest : public platform_test::WindowTest {
 protected:
  void TearDown() override {
    MxPlotRelease();
    WindowTest::TearDown();
  }

  // Paints the window as the screen shows it, then counts the plot's replots from now on.
  void CountReplots(Tbm2DForm& window) {
    window.Replot();
    plat::GrabImage(window.PaintBoxControl());
    Flush();
    counted = &window;
    window.OnReplot = [this] { ++replots; };
    replots = 0;
  }

  // The replots since the last look, once the window has painted (as the
  // screen would show it).
  int ReplotsNow() {
    Flush();
    plat::GrabImage(counted->PaintBoxControl());
    Flush();
    const int count = replots;
    replots = 0;
    return count;
  }

  // Opens the plot's options window as `open` does and runs `script` on it
  // while it is shown; the script's end closes it with OK.
  template <class Window>
  void WithOptions(const std::function<void()>& open, const std::function<void(Window&)>& script) {
    bool ran = false;
    later.Post([&] {
      auto* options = dynamic_cast<Window*>(plat::ActiveForm());
      ASSERT_NE(options, nullptr);
      ASSERT_TRUE(options->IsModal());
      ran = true;
      script(*options);
      options->OkButton().Click();
    });
    open();
    EXPECT_TRUE(ran);
    EXPECT_EQ(dynamic_cast<Window*>(plat::ActiveForm()), nullptr);
  }

  // Clicks the button of an options window and returns the name of the
  // modal dialog it opened ("" when none), closed with Cancel.
  std::string DialogOpenedBy(plat::Button& button) {
    std::string opened;
    later.Post([&] {
      for (plat::Form* dialog : plat::Forms()) {
        if (!dialog->IsModal() || dialog == button.ParentForm()) continue;
        opened = dialog->Name();
        dialog->SetModalResult(plat::mrCancel);
      }
    });
    button.Click();
    Flush();
    return opened;
  }

  Tbm2DForm* counted = nullptr;
  int replots = 0;
  platform_test::Deferred later;
  shelltest::TempSettings settings;
  shelltest::RecordedServices services;
};

// The three ways the plot window opens its client's options window.
struct Opener {
  const char* name;
  std::function<void(Tbm2DForm&)> open;
};

const std::vector<Opener>& Openers() {
  static const std::vector<Opener> openers = {
      {"menu", [](Tbm2DForm& w) { w.Menu().Find("&Plot Options...")->Click(); }},
      {"double click", [](Tbm2DForm& w) { plat::input::DoubleClick(w.PaintBoxControl()); }},
      {"right release", [](Tbm2DForm& w) { plat::input::MouseUp(w.PaintBoxControl(), plat::MouseButton::Right); }},
  };
  return openers;
}

// The caption, help context and client size of an options window (all 316 wide).
void ExpectWindow(TPlotOptionsForm& options, const std::string& caption, int clientHeight, const char* opener) {
  EXPECT_EQ(options.Caption(), caption) << opener;
  EXPECT_EQ(options.HelpContext(), 22) << opener;
  EXPECT_EQ(options.ClientWidth(), 316) << opener;
  EXPECT_EQ(options.ClientHeight(), clientHeight) << opener;
}

// ---- The tree plot's window ----

class TreeOptionsTest : public PlotOptionsWindowTest {
 protected:
  // A tree plot of n OTUs shown and drawn once.
  TTreePlt& ShowTree(int n) {
    tree = std::make_unique<TTreePlt>(treetest::ListOf(treetest::ZigZagTree(n)), "TestTreeF", 1);
    tree->Show();
    CountReplots(Window());
    return *tree;
  }
  Tbm2DForm& Window() { return *tree->Window(); }
  void Options(const std::function<void(TTreeOF&)>& script) {
    WithOptions<TTreeOF>([this] { Window().Menu().Find("&Plot Options...")->Click(); }, script);
  }

  std::unique_ptr<TTreePlt> tree;
};

TEST_F(TreeOptionsTest, OpensFromTheMenuADoubleClickAndARightReleaseAndShowsThePlot) {
  ShowTree(50);
  tree->SetPlotTitle("Zig zag");
  Window().Replot();  // the plot shows the title before the options window opens
  ReplotsNow();
  for (const Opener& opener : Openers()) {
    WithOptions<TTreeOF>([&] { opener.open(Window()); },
                         [&](TTreeOF& options) {
                           ExpectWindow(options, "Tree plot", 300, opener.name);
                           EXPECT_EQ(options.TitleEdit().Text(), "Zig zag") << opener.name;
                           EXPECT_EQ(options.SubTitleEdit().Text(), "") << opener.name;
                           EXPECT_EQ(options.PageEdit().Text(), "1") << opener.name;
                           EXPECT_EQ(options.PerPageEdit().Text(), "30") << opener.name;
                           EXPECT_EQ(options.GeneralBtn().HelpContext(), 21) << opener.name;
                           if (std::string(opener.name) == "menu") KeepPicture(options, "tree-options");
                         });
  }
  EXPECT_EQ(ReplotsNow(), 0);
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(TreeOptionsTest, SpinsStepWithinTheLimitsAndEachStepReplotsOnce) {
  ShowTree(50);
  Options([&](TTreeOF& options) {
    struct Step {
      const char* name;
      std::function<void()> click;
      const char* page;
      const char* perPage;
      int replots;
    };
    const Step steps[] = {
        {"page down at 1", [&] { options.PageSpin().ClickDown(); }, "1", "30", 0},
        {"page up", [&] { options.PageSpin().ClickUp(); }, "2", "30", 1},
        {"page up at the last", [&] { options.PageSpin().ClickUp(); }, "2", "30", 0},
        {"page down", [&] { options.PageSpin().ClickDown(); }, "1", "30", 1},
        {"per page down", [&] { options.PerPageSpin().ClickDown(); }, "1", "29", 1},
        {"per page up", [&] { options.PerPageSpin().ClickUp(); }, "1", "30", 1},
    };
    for (const Step& step : steps) {
      step.click();
      EXPECT_EQ(ReplotsNow(), step.replots) << step.name;
      EXPECT_EQ(options.PageEdit().Text(), step.page) << step.name;
      EXPECT_EQ(options.PerPageEdit().Text(), step.perPage) << step.name;
    }
  });
}

TEST_F(TreeOptionsTest, TypedPagesAndRowsPerPageAreTakenWithinTheLimitsOnly) {
  ShowTree(50);
  Options([&](TTreeOF& options) {
    struct Typed {
      const char* name;
      plat::Edit& edit;
      std::function<void()> leave;
      const char* text;
      const char* page;
      const char* perPage;
      int replots;
    };
    const auto leavePage = [&] { options.PageEditExit(); };
    const auto leavePerPage = [&] { options.perPageEditExit(); };
    const Typed cases[] = {
        {"page 2", options.PageEdit(), leavePage, "2", "2", "30", 1},
        {"page 3 of 2", options.PageEdit(), leavePage, "3", "2", "30", 0},
        {"page 0", options.PageEdit(), leavePage, "0", "2", "30", 0},
        {"2 per page", options.PerPageEdit(), leavePerPage, "2", "2", "30", 0},
        {"51 per page", options.PerPageEdit(), leavePerPage, "51", "2", "30", 0},
        {"10 per page", options.PerPageEdit(), leavePerPage, "10", "2", "10", 1},
        {"page 5 of 5", options.PageEdit(), leavePage, "5", "5", "10", 1},
        // Page 5 of 10 a page is past the pages of 25 a page: the drawing
        // brings the page back to the last one and shows it here.
        {"25 per page", options.PerPageEdit(), leavePerPage, "25", "2", "25", 1},
    };
    for (const Typed& c : cases) {
      c.edit.SetText(c.text);
      c.leave();
      EXPECT_EQ(ReplotsNow(), c.replots) << c.name;
      EXPECT_EQ(options.PageEdit().Text(), c.page) << c.name;
      EXPECT_EQ(options.PerPageEdit().Text(), c.perPage) << c.name;
    }
    EXPECT_EQ(tree->CurrentPage(), 2);
    EXPECT_EQ(tree->PageCount(), 2);
    EXPECT_TRUE(boxes.Boxes().empty());

    // Text that is no integer is reported and gives way to the value in force.
    options.PageEdit().SetText("two");
    options.PageEdit().SetFocus();
    options.PerPageEdit().SetFocus();
    EXPECT_EQ(ReplotsNow(), 0);
    EXPECT_EQ(boxes.LastText(), "'two' is not a valid integer value.");
    EXPECT_EQ(options.PageEdit().Text(), "2");
    EXPECT_EQ(tree->CurrentPage(), 2);
  });
}

TEST_F(TreeOptionsTest, TitlesTakeEffectWhenTheirEditsAreLeftOrTheWindowCloses) {
  ShowTree(12);
  Options([&](TTreeOF& options) {
    options.TitleEditExit();
    EXPECT_EQ(ReplotsNow(), 0) << "an unchanged title replots nothing";
    options.TitleEdit().SetText("Twelve OTUs");
    options.TitleEdit().SetFocus();
    options.SubTitleEdit().SetFocus();
    EXPECT_EQ(ReplotsNow(), 1);
    EXPECT_EQ(Window().Plot().GetTitle(), "Twelve OTUs");
    options.SubTitleEdit().SetText("zig zag");
  });
  EXPECT_EQ(ReplotsNow(), 1);
  EXPECT_EQ(Window().Plot().GetSubTitle(), "zig zag");
  EXPECT_EQ(tree->PlotTitle(), "Twelve OTUs");
  EXPECT_EQ(tree->PlotSubTitle(), "zig zag");
}

TEST_F(TreeOptionsTest, FontButtonsChangeTheFontsTheyNameAndReplotOnce) {
  ShowTree(12);
  Options([&](TTreeOF& options) {
    struct FontCase {
      const char* name;
      plat::Button& button;
      std::function<plat::Font()> font;
    };
    Tbm2DPlot& plot = Window().Plot();
    const FontCase cases[] = {
        {"title", options.TitleFontsBtn(), [&] { return plot.Parts().Title.Font; }},
        {"subtitle", options.SubtitleFontsBtn(), [&] { return plot.Parts().SubTitle.Font; }},
        {"labels", options.LabelFontBtn(),
         [&] { return std::get<TbmTextClass>(plot.FindStyle(tree->TextStyle())->Part).Font; }},
    };
    for (const FontCase& c : cases) {
      dialogs.AnswerFont({"Liberation Serif", 12, plat::clRed, plat::fsBold});
      c.button.Click();
      EXPECT_EQ(ReplotsNow(), 1) << c.name;
      EXPECT_EQ(c.font().name, "Liberation Serif") << c.name;
      EXPECT_EQ(c.font().color, plat::clRed) << c.name;
      // Cancelled: nothing changes, no replot.
      c.button.Click();
      EXPECT_EQ(ReplotsNow(), 0) << c.name;
    }
  });
}

TEST_F(TreeOptionsTest, ButtonsOpenTheirDialogs) {
  ShowTree(12);
  Options([&](TTreeOF& options) {
    EXPECT_EQ(DialogOpenedBy(options.TreeLinesBtn()), "bmLineDlg");
    EXPECT_TRUE(options.Visible()) << "shown again after the style dialog";
    EXPECT_EQ(ReplotsNow(), 0) << "a cancelled style dialog changes nothing";
    EXPECT_EQ(DialogOpenedBy(options.GeneralBtn()), "bmMainPlot2DOptionsDlg");
  });
  EXPECT_TRUE(boxes.Boxes().empty());
}

// ---- The matrix plot's window ----

class MxPlotOptionsTest : public PlotOptionsWindowTest {
 protected:
  // Runs MXPLOT on a fixture by columns, with a graph file when one is named.
  TMxPlotPlt& RunMxPlot(const std::string& data, const std::string& graph = {}) {
    TModuleRec module;
    MxPlotDescribe(module);
    TWorkingParams params;
    params.LoadParameters(module);
    params.Params()[0].fileName = Fixture(data);
    params.Params()[1].check = false;
    if (!graph.empty()) params.Params()[4].fileName = Fixture(graph);
    MxPlotRun(params.Params());
    Flush();
    EXPECT_NE(MxPlotPlot(), nullptr);
    CountReplots(Window());
    return *MxPlotPlot();
  }
  Tbm2DForm& Window() { return *MxPlotPlot()->Window(); }
  void Options(const std::function<void(TMxPlotOF&)>& script) {
    WithOptions<TMxPlotOF>([this] { Window().Menu().Find("&Plot Options...")->Click(); }, script);
  }
};

TEST_F(MxPlotOptionsTest, OpensFromTheMenuADoubleClickAndARightReleaseWithTheVariablesListed) {
  RunMxPlot("mxplot/golden/data10x3.qmx");
  for (const Opener& opener : Openers()) {
    WithOptions<TMxPlotOF>([&] { opener.open(Window()); },
                           [&](TMxPlotOF& options) {
                             ExpectWindow(options, "Matrix plot", 338, opener.name);
                             const std::vector<std::string> variables = {"Length", "Width", "Height"};
                             EXPECT_EQ(options.XCombo().Items(), variables) << opener.name;
                             EXPECT_EQ(options.YCombo().Items(), variables) << opener.name;
                             EXPECT_EQ(options.XCombo().ItemIndex(), 0) << opener.name;
                             EXPECT_EQ(options.YCombo().ItemIndex(), 1) << opener.name;
                             EXPECT_TRUE(options.PointsNoneRB().Checked()) << opener.name;
                             EXPECT_FALSE(options.ShowVectorsCB().Checked()) << opener.name;
                             if (std::string(opener.name) == "menu") KeepPicture(options, "mxplot-options");
                           });
  }
  EXPECT_EQ(ReplotsNow(), 0);
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(MxPlotOptionsTest, VariableListsChangeTheAxisTitlesAndReplotOnce) {
  TMxPlotPlt& plot = RunMxPlot("mxplot/golden/data10x3.qmx");
  EXPECT_EQ(Window().Plot().Parts().XAxisTitle.Text, "Length");
  Options([&](TMxPlotOF& options) {
    struct Choice {
      plat::ComboBox& list;
      std::function<void()> change;
      int index;
      const char* xTitle;
      const char* yTitle;
      int x;
      int y;
    };
    const Choice choices[] = {
        {options.XCombo(), [&] { options.bmID_XChange(); }, 2, "Height", "Width", 3, 2},
        {options.YCombo(), [&] { options.bmID_YChange(); }, 0, "Height", "Length", 3, 1},
        // The same variable on both axes puts the points on the diagonal.
        {options.XCombo(), [&] { options.bmID_XChange(); }, 0, "Length", "Length", 1, 1},
    };
    for (const Choice& c : choices) {
      c.list.SetItemIndex(c.index);
      c.change();
      EXPECT_EQ(ReplotsNow(), 1) << c.xTitle << " " << c.yTitle;
      EXPECT_EQ(Window().Plot().Parts().XAxisTitle.Text, c.xTitle);
      EXPECT_EQ(Window().Plot().Parts().YAxisTitle.Text, c.yTitle);
      EXPECT_EQ(plot.X(), c.x);
      EXPECT_EQ(plot.Y(), c.y);
    }
    const TbmAxisClass& x = Window().Plot().Parts().XAxis;
    const TbmAxisClass& y = Window().Plot().Parts().YAxis;
    EXPECT_EQ(x.Min, y.Min);
    EXPECT_EQ(x.Max, y.Max);
  });
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(MxPlotOptionsTest, GraphControlsAreEnabledOnlyWithAGraphList) {
  RunMxPlot("mxplot/golden/data10x3.qmx");
  Options([&](TMxPlotOF& options) {
    EXPECT_FALSE(options.GraphGroup().Enabled());
    EXPECT_FALSE(options.ShowGraphCB().Enabled());
    EXPECT_FALSE(options.GraphLineBtn().Enabled());
    EXPECT_TRUE(options.ShowVectorsCB().Enabled());
  });
  MxPlotRelease();
  RunMxPlot("mxplot/golden/three.qmx", "mxplot/golden/graph1.qmx");
  Options([&](TMxPlotOF& options) {
    EXPECT_TRUE(options.GraphGroup().Enabled());
    EXPECT_TRUE(options.ShowGraphCB().Enabled());
    EXPECT_TRUE(options.GraphLineBtn().Enabled());
  });
}

TEST_F(MxPlotOptionsTest, PointsGraphAndVectorsReplotOnceEach) {
  TMxPlotPlt& plot = RunMxPlot("mxplot/golden/three.qmx", "mxplot/golden/graph1.qmx");
  EXPECT_TRUE(plot.ShowGraph());
  Options([&](TMxPlotOF& options) {
    // The graph's check box starts unchecked while the graph shows.
    EXPECT_FALSE(options.ShowGraphCB().Checked());
    struct Change {
      const char* name;
      std::function<void()> click;
      std::int32_t pointMode;
      bool graph;
      bool vectors;
    };
    const Change changes[] = {
        {"numbers", [&] { options.PointsNumberRB().Click(); }, pmNumber, true, false},
        {"labels", [&] { options.PointsLabelRB().Click(); }, pmLabel, true, false},
        {"none", [&] { options.PointsNoneRB().Click(); }, pmNone, true, false},
        {"graph checked", [&] { options.ShowGraphCB().SetChecked(true); }, pmNone, true, false},
        {"graph unchecked", [&] { options.ShowGraphCB().SetChecked(false); }, pmNone, false, false},
        {"vectors", [&] { options.ShowVectorsCB().SetChecked(true); }, pmNone, false, true},
    };
    for (const Change& c : changes) {
      c.click();
      EXPECT_EQ(ReplotsNow(), 1) << c.name;
      EXPECT_EQ(plot.PointMode(), c.pointMode) << c.name;
      EXPECT_EQ(plot.ShowGraph(), c.graph) << c.name;
      EXPECT_EQ(plot.ShowVectors(), c.vectors) << c.name;
    }
    // Clicking the radio button already checked changes nothing.
    options.PointsNoneRB().Click();
    EXPECT_EQ(ReplotsNow(), 0);
  });
  // Opened again, the window shows what the plot shows now.
  Options([&](TMxPlotOF& options) {
    EXPECT_TRUE(options.PointsNoneRB().Checked());
    EXPECT_TRUE(options.ShowVectorsCB().Checked());
  });
  EXPECT_EQ(ReplotsNow(), 0);
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(MxPlotOptionsTest, ButtonsOpenTheirDialogs) {
  RunMxPlot("mxplot/golden/three.qmx", "mxplot/golden/graph1.qmx");
  Options([&](TMxPlotOF& options) {
    struct ButtonCase {
      plat::Button& button;
      const char* dialog;
    };
    const ButtonCase styles[] = {
        {options.SymbolBtn(), "bmSymDlg"},
        {options.GraphLineBtn(), "bmLineDlg"},
        {options.VectorLinesBtn(), "bmLineDlg"},
    };
    for (const ButtonCase& c : styles) EXPECT_EQ(DialogOpenedBy(c.button), c.dialog) << c.button.Caption();
    EXPECT_EQ(ReplotsNow(), 0) << "cancelled style dialogs change nothing";
    EXPECT_EQ(DialogOpenedBy(options.GeneralBtn()), "bmMainPlot2DOptionsDlg");

    // The axis buttons open the modeless axis dialog on their own axis.
    struct AxisCase {
      plat::Button& button;
      const char* caption;
      const TbmLabelClass& title;
    };
    const AxisCase axes[] = {
        {options.XAxisBtn(), "X Axis", Window().Plot().Parts().XAxisTitle},
        {options.YAxisBtn(), "Y Axis", Window().Plot().Parts().YAxisTitle},
    };
    for (const AxisCase& c : axes) {
      plat::input::Click(c.button);
      TbmAxisDlg* dialog = Window().AxisDialog();
      ASSERT_NE(dialog, nullptr) << c.caption;
      EXPECT_EQ(dialog->Caption(), c.caption);
      EXPECT_EQ(dialog->LabelEdit().Text(), c.title.Text);
      EXPECT_FALSE(options.Visible());
      plat::input::Click(dialog->CancelBtn());
      plat::input::Flush();
      EXPECT_EQ(Window().AxisDialog(), nullptr);
      EXPECT_TRUE(options.Visible());
    }
  });
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(MxPlotOptionsTest, PointsFontButtonChangesTheLabelStyle) {
  TMxPlotPlt& plot = RunMxPlot("mxplot/golden/data10x3.qmx");
  Options([&](TMxPlotOF& options) {
    dialogs.AnswerFont({"Liberation Mono", 10, plat::clNavy, 0});
    options.PointsFontBtn().Click();
    EXPECT_EQ(ReplotsNow(), 1);
    const auto& label = std::get<TbmTextClass>(Window().Plot().FindStyle(plot.LabelStyle())->Part);
    EXPECT_EQ(label.Font.name, "Liberation Mono");
    EXPECT_EQ(label.Font.color, plat::clNavy);
  });
}

}  // namespace
