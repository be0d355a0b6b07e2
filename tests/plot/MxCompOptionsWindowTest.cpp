// The matrix comparison plot's options window, offscreen, reached through
// its plot window: the highlight list and the component library's spinner
// stepping it between "-none-" and the last label, the diagonals, the axis
// and general buttons, one replot per change, and a picture of the window.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "OptionsWindowSupport.h"
#include "plot/forms/mxcomp.h"
#include "plot/forms/mxcompo.h"
#include "tests/shell/ShellTestSupport.h"

namespace {

using optionstest::Named;
using optionstest::ReplotCounter;

class MxCompOptionsWindow : public platform_test::WindowTest {
 protected:
  void TearDown() override {
    MxCompRelease();
    WindowTest::TearDown();
  }

  // MXCOMP on two data sets of five unlabelled objects, drawn once.
  TMxCompPlt& Run() {
    optionstest::RunModule(MxCompDescribe,
                           {{"X", "mxcomp/golden/x2sets.qmx"}, {"Y", "mxcomp/golden/y2sets.qmx"}, {"N", "NO"}});
    EXPECT_NE(MxCompPlot(), nullptr);
    Tbm2DForm& window = *MxCompPlot()->Window();
    window.Replot();
    plat::GrabImage(window.PaintBoxControl());
    plat::input::Flush();
    return *MxCompPlot();
  }

  void Options(const std::function<void(TMxCompOF&)>& act) {
    optionstest::WithOptions<TMxCompOF>(*MxCompPlot()->Window(), "MxCompOF", act);
  }

  // A press and release on the spinner's upper or lower half.
  static void Spin(TVirSpinner& spin, bool up) {
    const int y = up ? 2 : spin.Height() - 3;
    plat::input::MouseDown(spin, plat::MouseButton::Left, spin.Width() / 2, y);
    plat::input::MouseUp(spin, plat::MouseButton::Left, spin.Width() / 2, y);
    plat::input::Flush();
  }

  shelltest::TempSettings settings;
  shelltest::RecordedServices services;
};

TEST_F(MxCompOptionsWindow, OpensWithTheObjectsAfterNoneAndThePlotsHighlight) {
  TMxCompPlt& plot = Run();
  plot.SetHighlight(2);
  plot.SetDiagonals(true);
  Options([&](TMxCompOF& form) {
    EXPECT_EQ(form.Caption(), "Matrix comparison");
    EXPECT_EQ(form.HelpContext(), 22);
    EXPECT_EQ(form.HighLightCB().Items(), (std::vector<std::string>{"-none-", "1", "2", "3", "4", "5"}));
    EXPECT_EQ(form.HighLightCB().ItemIndex(), 2);
    EXPECT_TRUE(Named<plat::CheckBox>(form, "DiagonalsCB").Checked());
    EXPECT_EQ(form.HighLightSpin().AttachedControl(), &form.HighLightCB());
    EXPECT_EQ(form.HighLightSpin().FocusedControl(), &form.HighLightCB());
    EXPECT_TRUE(form.HighLightSpin().AttachTwoWay());
    EXPECT_EQ(form.HighLightSpin().Delta(), 1.0);
    optionstest::Snapshot(form, "mxcomp-options.png");
  });
}

TEST_F(MxCompOptionsWindow, TheSpinnerStopsAtNoneAndAtTheLastLabel) {
  struct Case {
    const char* name;
    std::int32_t from;
    bool up;
    std::int32_t to;
  };
  const Case cases[] = {
      {"down from -none- stays", 0, false, 0},
      {"up from -none-", 0, true, 1},
      {"down to -none-", 1, false, 0},
      {"up to the last label", 4, true, 5},
      {"up from the last label stays", 5, true, 5},
  };
  TMxCompPlt& plot = Run();
  ReplotCounter replots(*plot.Window());
  Options([&](TMxCompOF& form) {
    for (const Case& c : cases) {
      plot.SetHighlight(c.from);
      Spin(form.HighLightSpin(), c.up);
      EXPECT_EQ(plot.Highlight(), c.to) << c.name;
      EXPECT_EQ(form.HighLightCB().ItemIndex(), c.to) << c.name;
      EXPECT_EQ(replots.Take(), 1) << c.name;
    }
  });
}

TEST_F(MxCompOptionsWindow, EveryChangeGoesIntoThePlotAndReplotsOnce) {
  TMxCompPlt& plot = Run();
  ReplotCounter replots(*plot.Window());
  Options([&](TMxCompOF& form) {
    form.HighLightCB().SetItemIndex(3);
    form.HighLightCB().OnChange();
    EXPECT_EQ(plot.Highlight(), 3);
    EXPECT_EQ(replots.Take(), 1) << "highlight list";
    plat::input::Click(form.DiagonalsCB(), 6, form.DiagonalsCB().Height() / 2);
    plat::input::Flush();
    EXPECT_TRUE(plot.Diagonals());
    EXPECT_EQ(replots.Take(), 1) << "diagonals";
    form.TitleEdit().SetFocus();
    form.TitleEdit().SetText("Mantel");
    form.SubTitleEdit().SetFocus();
    plat::input::Flush();
    EXPECT_EQ(plot.PlotTitle(), "Mantel");
    EXPECT_EQ(replots.Take(), 1) << "title";
  });
  EXPECT_TRUE(plot.Diagonals()) << "closing keeps the diagonals";
  EXPECT_EQ(plot.Highlight(), 3);
}

TEST_F(MxCompOptionsWindow, BeforeTheFirstDrawTheHighlightBoxIsDisabled) {
  Run();
  TMxCompPlt fresh(MxCompKept(), 1);
  fresh.Show();
  ASSERT_EQ(fresh.ObjectCount(), 0) << "not drawn yet";
  optionstest::WithOptions<TMxCompOF>(*fresh.Window(), "MxCompOF", [](TMxCompOF& form) {
    EXPECT_FALSE(form.HighLightCB().Parent()->Enabled());
    EXPECT_TRUE(form.HighLightCB().Items().empty());
  });
}

TEST_F(MxCompOptionsWindow, TheButtonsReachThePlotWindowsDialogs) {
  TMxCompPlt& plot = Run();
  Tbm2DForm& window = *plot.Window();
  dialogs.AnswerFont({"Liberation Serif", 14, plat::clBlack, 0});
  platform_test::Deferred later;
  Options([&](TMxCompOF& form) {
    form.TitleFontsBtn().Click();
    EXPECT_EQ(window.Plot().Parts().Title.Font.name, "Liberation Serif");
    for (const char* axis : {"Button2", "Button1"}) Named<plat::Button>(form, axis).Click();
    optionstest::CancelTheNextDialog(later, form, window);
    Named<plat::Button>(form, "Button4").Click();
  });
}

}  // namespace
