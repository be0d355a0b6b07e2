// The 3-D plot's options window, offscreen, reached through its plot
// window: filled from the plot, every change going into the plot with one
// replot, the view values typed and stepped, refused texts keeping the
// plot's values, the general options putting the aspect back, and a picture
// of the window kept.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "OptionsWindowSupport.h"
#include "plot/forms/mod3d.h"
#include "plot/forms/bmStyleDlgs.h"
#include "plot/forms/mod3do.h"
#include "tests/shell/ShellTestSupport.h"

namespace {

using optionstest::Named;
using optionstest::ReplotCounter;
using optionstest::WithOptions;

class Mod3DOptionsWindow : public platform_test::WindowTest {
 protected:
  void TearDown() override {
    Mod3DRelease();
    WindowTest::TearDown();
  }

  // MOD3D on six objects of four variables (Length, Width, Height, Mass),
  // with a graph unless asked otherwise.
  TMod3DPlt& Run(bool withGraph = true) {
    testsupport::ModuleArgs args{
        {"O", "mod3d/golden/data6x4.qmx"}, {"D", "NO"}, {"Z", "4"}, {"A", "35"}, {"B", "25"}, {"R", "20"}};
    if (withGraph) args["G"] = "mod3d/graph6.qmx";
    optionstest::RunModule(Mod3DDescribe, args);
    EXPECT_NE(Mod3DPlot(), nullptr);
    Tbm2DForm& window = *Mod3DPlot()->Window();
    window.Replot();
    plat::GrabImage(window.PaintBoxControl());  // drawn once: the variables are known
    plat::input::Flush();
    return *Mod3DPlot();
  }

  void Options(const std::function<void(TMod3dOF&)>& act) {
    WithOptions<TMod3dOF>(*Mod3DPlot()->Window(), "Mod3dOF", act);
  }

  // Types into a view edit and leaves it for the title's edit.
  static void Type(TMod3dOF& form, const std::string& edit, const std::string& text) {
    auto& field = Named<plat::Edit>(form, edit);
    field.SetFocus();
    field.SetText(text);
    form.TitleEdit().SetFocus();
    plat::input::Flush();
  }

  shelltest::TempSettings settings;
  shelltest::RecordedServices services;
};

TEST_F(Mod3DOptionsWindow, OpensFilledFromThePlotWithNoneChecked) {
  TMod3DPlt& plot = Run();
  plot.Settings().labelMode = lmNumber;
  ReplotCounter replots(*plot.Window());
  Options([&](TMod3dOF& form) {
    EXPECT_EQ(form.Caption(), "3D model plot options");
    EXPECT_EQ(form.HelpContext(), 22);
    const std::vector<std::string> variables{"Length", "Width", "Height", "Mass"};
    struct List {
      const char* name;
      int index;
      const char* hint;
    };
    for (const List& l : {List{"bmID_X", 0, "X-axis variable"}, List{"bmID_Y", 1, "Y-axis variable"},
                          List{"bmID_Z", 3, "Y-axis variable"}}) {
      auto& list = Named<plat::ComboBox>(form, l.name);
      EXPECT_EQ(list.Items(), variables) << l.name;
      EXPECT_EQ(list.ItemIndex(), l.index) << l.name;
      EXPECT_EQ(list.Hint(), l.hint) << l.name;
    }
    EXPECT_EQ(Named<plat::Edit>(form, "AlphaEdit").Text(), "  35.00");
    EXPECT_EQ(Named<plat::Edit>(form, "BetaEdit").Text(), "  25.00");
    EXPECT_EQ(Named<plat::Edit>(form, "RhoEdit").Text(), "  20.00");
    EXPECT_TRUE(Named<plat::RadioButton>(form, "PointsNoneRB").Checked()) << "whatever the plot's mode";
    EXPECT_FALSE(Named<plat::RadioButton>(form, "PointsNumberRB").Checked());
    EXPECT_FALSE(Named<plat::RadioButton>(form, "PointsLabelRB").Checked());
    struct Flag {
      const char* name;
      bool checked;
    };
    for (const Flag& f : {Flag{"ShowGraphCB", true}, Flag{"ShowPointsCB", true}, Flag{"ShowWiresCB", true},
                          Flag{"ShowVectorsCB", false}, Flag{"ShowBaseCB", true}, Flag{"ShowZaxisCB", true},
                          Flag{"PreserveAspectCB", true}}) {
      EXPECT_EQ(Named<plat::CheckBox>(form, f.name).Checked(), f.checked) << f.name;
    }
    EXPECT_TRUE(Named<plat::GroupBox>(form, "GraphGroup").Enabled());
    EXPECT_EQ(Named<plat::Button>(form, "PointsSymbolsBtn").Hint(), "Set vertical wire lines");
    optionstest::Snapshot(form, "mod3d-options.png");
  });
  EXPECT_EQ(replots.Take(), 0) << "opening and closing unchanged draws nothing new";
  EXPECT_EQ(plot.Settings().labelMode, lmNumber) << "the plot keeps its mode until a button is chosen";
}

// A style button sits beside the check box of what it styles, on its row.
TEST_F(Mod3DOptionsWindow, EachStyleButtonSitsBesideItsCheckBox) {
  Run();
  Options([](TMod3dOF& form) {
    const std::pair<const char*, const char*> pairs[] = {{"ShowPointsCB", "PointsSymbolsBtn"},
                                                         {"ShowWiresCB", "WireLinesBtn"},
                                                         {"ShowVectorsCB", "VectorLinesBtn"},
                                                         {"ShowBaseCB", "BaseRegionBtn"}};
    for (const auto& [checkName, buttonName] : pairs) {
      const auto& check = Named<plat::CheckBox>(form, checkName);
      const auto& button = Named<plat::Button>(form, buttonName);
      EXPECT_EQ(check.Parent(), button.Parent()) << buttonName;
      const int middle = check.Top() + check.Height() / 2;
      EXPECT_TRUE(button.Top() <= middle && middle < button.Top() + button.Height()) << buttonName << " on another row";
      EXPECT_GE(button.Left(), check.Left() + check.Width()) << buttonName;
    }
  });
}

TEST_F(Mod3DOptionsWindow, WithoutAGraphTheGraphControlsAreDisabled) {
  Run(false);
  Options([](TMod3dOF& form) {
    for (const char* name : {"GraphGroup", "ShowGraphCB", "GraphLinesBtn"})
      EXPECT_FALSE(Named<plat::Control>(form, name).Enabled()) << name;
    EXPECT_FALSE(Named<plat::CheckBox>(form, "ShowGraphCB").Checked());
  });
}

TEST_F(Mod3DOptionsWindow, EveryChangeGoesIntoThePlotAndReplotsOnce) {
  struct Case {
    const char* name;
    std::function<void(TMod3dOF&)> change;
    std::function<bool(const TMod3DPlt&)> changed;
  };
  const auto pick = [](const char* list, int index) {
    return [list, index](TMod3dOF& form) {
      auto& combo = Named<plat::ComboBox>(form, list);
      combo.SetItemIndex(index);
      combo.OnChange();
    };
  };
  const auto click = [](const char* name) {
    // On the box itself: a click past a check box's caption misses it.
    return [name](TMod3dOF& form) {
      auto& box = Named<plat::Control>(form, name);
      plat::input::Click(box, 6, box.Height() / 2);
    };
  };
  const auto label = [](const char* name) {
    return [name](TMod3dOF& form) { Named<plat::RadioButton>(form, name).Click(); };
  };
  const auto spin = [](const char* name, bool up) {
    return [name, up](TMod3dOF& form) {
      auto& button = Named<plat::SpinButton>(form, name);
      up ? button.ClickUp() : button.ClickDown();
    };
  };
  const Case cases[] = {
      {"X list", pick("bmID_X", 2), [](const TMod3DPlt& p) { return p.Settings().x == 3; }},
      {"Y list", pick("bmID_Y", 0), [](const TMod3DPlt& p) { return p.Settings().y == 1; }},
      {"Z list: the same variable twice is taken", pick("bmID_Z", 0),
       [](const TMod3DPlt& p) { return p.Settings().z == 1; }},
      {"Preserve aspect", click("PreserveAspectCB"), [](const TMod3DPlt& p) { return !p.Settings().preserveAspect; }},
      {"Label", label("PointsLabelRB"), [](const TMod3DPlt& p) { return p.Settings().labelMode == lmLabel; }},
      {"Number", label("PointsNumberRB"), [](const TMod3DPlt& p) { return p.Settings().labelMode == lmNumber; }},
      {"Show graph", click("ShowGraphCB"), [](const TMod3DPlt& p) { return !p.Settings().showGraph; }},
      {"Show points", click("ShowPointsCB"), [](const TMod3DPlt& p) { return !p.Settings().showPoints; }},
      {"Show wires", click("ShowWiresCB"), [](const TMod3DPlt& p) { return !p.Settings().showWires; }},
      {"Show vectors", click("ShowVectorsCB"), [](const TMod3DPlt& p) { return p.Settings().showVectors; }},
      {"Show base", click("ShowBaseCB"), [](const TMod3DPlt& p) { return !p.Settings().showBase; }},
      {"Show Z axis", click("ShowZaxisCB"), [](const TMod3DPlt& p) { return !p.Settings().showZAxis; }},
      {"Alpha up", spin("AlphaSpin", true), [](const TMod3DPlt& p) { return p.Settings().alpha == 36; }},
      {"Beta down", spin("BetaSpin", false), [](const TMod3DPlt& p) { return p.Settings().beta == 24; }},
      {"Rho up", spin("RhoSpin", true), [](const TMod3DPlt& p) { return p.Rho() == 21; }},
      {"typed alpha 720 is kept", [](TMod3dOF& form) { Type(form, "AlphaEdit", "720"); },
       [](const TMod3DPlt& p) { return p.Settings().alpha == 720; }},
      {"typed beta", [](TMod3dOF& form) { Type(form, "BetaEdit", " -12.5 "); },
       [](const TMod3DPlt& p) { return p.Settings().beta == -12.5; }},
      {"typed rho", [](TMod3dOF& form) { Type(form, "RhoEdit", "0.5"); },
       [](const TMod3DPlt& p) { return p.Rho() == 0.5; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TMod3DPlt& plot = Run();
    ReplotCounter replots(*plot.Window());
    Options([&](TMod3dOF& form) {
      c.change(form);
      plat::input::Flush();
      EXPECT_TRUE(c.changed(plot));
      EXPECT_EQ(replots.Take(), 1);
    });
    EXPECT_TRUE(c.changed(plot)) << "closing keeps the change";
    EXPECT_TRUE(boxes.Boxes().empty());
    Mod3DRelease();
  }
}

TEST_F(Mod3DOptionsWindow, SpinStepsTurnBackAtAFullTurnAndStopAHundredthAboveZero) {
  struct Case {
    const char* edit;
    const char* typed;
    bool up;
    const char* shown;
    std::function<double(const TMod3DPlt&)> value;
    double stepped;
  };
  const auto alpha = [](const TMod3DPlt& p) { return p.Settings().alpha; };
  const auto beta = [](const TMod3DPlt& p) { return p.Settings().beta; };
  const auto rho = [](const TMod3DPlt& p) { return p.Rho(); };
  const Case cases[] = {
      {"Alpha", "359.5", true, "   0.50", alpha, 0.5}, {"Alpha", "-359.5", false, "  -0.50", alpha, -0.5},
      {"Alpha", "-359", false, "   0.00", alpha, 0},   {"Beta", "359", true, "   0.00", beta, 0},
      {"Rho", "0.5", false, "   0.01", rho, 0.01},     {"Rho", "999", true, "1000.00", rho, 1000},
  };
  TMod3DPlt& plot = Run();
  Options([&](TMod3dOF& form) {
    for (const Case& c : cases) {
      const std::string name = std::string(c.edit) + " " + c.typed + (c.up ? " up" : " down");
      Type(form, std::string(c.edit) + "Edit", c.typed);
      auto& spin = Named<plat::SpinButton>(form, std::string(c.edit) + "Spin");
      c.up ? spin.ClickUp() : spin.ClickDown();
      EXPECT_DOUBLE_EQ(c.value(plot), c.stepped) << name;
      EXPECT_EQ(Named<plat::Edit>(form, std::string(c.edit) + "Edit").Text(), c.shown) << name;
    }
  });
}

TEST_F(Mod3DOptionsWindow, RefusedTextsKeepThePlotsValueAndShowIt) {
  struct Case {
    const char* edit;
    const char* typed;
    const char* message;
  };
  const Case cases[] = {
      {"RhoEdit", "0", "Viewing distance (0) must be greater than 0."},
      {"RhoEdit", "-3", "Viewing distance (-3) must be greater than 0."},
      {"RhoEdit", "far", "'far' is not a valid floating point value."},
      {"AlphaEdit", "30 deg", "'30 deg' is not a valid floating point value."},
  };
  TMod3DPlt& plot = Run();
  ReplotCounter replots(*plot.Window());
  Options([&](TMod3dOF& form) {
    for (const Case& c : cases) {
      boxes.Clear();
      Type(form, c.edit, c.typed);
      EXPECT_EQ(boxes.LastText(), c.message) << c.typed;
      EXPECT_EQ(Named<plat::Edit>(form, c.edit).Text(), std::string(c.edit) == "RhoEdit" ? "  20.00" : "  35.00")
          << c.typed;
    }
    EXPECT_EQ(replots.Take(), 0);
  });
  EXPECT_EQ(plot.Rho(), 20);
  EXPECT_EQ(plot.Settings().alpha, 35);
}

TEST_F(Mod3DOptionsWindow, GeneralPutsThePlotsPreserveAspectBackOn) {
  TMod3DPlt& plot = Run();
  Tbm2DForm& window = *plot.Window();
  ReplotCounter replots(window);
  platform_test::Deferred later;
  Options([&](TMod3dOF& form) {
    window.Plot().Parts().PreserveAspect = false;
    optionstest::CancelTheNextDialog(later, form, window);
    Named<plat::Button>(form, "Button4").Click();
    EXPECT_TRUE(window.Plot().Parts().PreserveAspect);
    EXPECT_GE(replots.Take(), 1);
  });
}

TEST_F(Mod3DOptionsWindow, TitlesApplyWhenLeftAndWhenTheWindowCloses) {
  TMod3DPlt& plot = Run();
  Tbm2DForm& window = *plot.Window();
  ReplotCounter replots(window);
  Options([&](TMod3dOF& form) {
    form.TitleEdit().SetFocus();
    form.TitleEdit().SetText("Perspective");
    form.SubTitleEdit().SetFocus();
    plat::input::Flush();
    EXPECT_EQ(plot.PlotTitle(), "Perspective");
    EXPECT_EQ(window.Plot().GetTitle(), "Perspective");
    EXPECT_EQ(replots.Take(), 1);
    form.SubTitleEdit().SetText("six objects");
  });
  EXPECT_EQ(plot.PlotSubTitle(), "six objects");
  EXPECT_EQ(window.Plot().GetSubTitle(), "six objects");
  EXPECT_EQ(replots.Take(), 1);
}

TEST_F(Mod3DOptionsWindow, TheLabelFontButtonEditsTheLabelsStyle) {
  TMod3DPlt& plot = Run();
  Tbm2DForm& window = *plot.Window();
  dialogs.AnswerFont({"Liberation Serif", 12, plat::clBlack, 0});
  Options([&](TMod3dOF& form) { Named<plat::Button>(form, "PointsFontBtn").Click(); });
  const TbmStyleEntry* labels = window.Plot().FindStyle(plot.LabelStyle());
  ASSERT_NE(labels, nullptr);
  EXPECT_EQ(std::get<TbmTextClass>(labels->Part).Font.name, "Liberation Serif");
}

// "Base..." opens the quadrilateral dialog on the base region while the
// options window waits hidden; Cancel leaves the base and the plot alone, OK
// takes the new fill and replots once.
TEST_F(Mod3DOptionsWindow, TheBaseButtonEditsTheBaseRegionInTheQuadrilateralDialog) {
  TMod3DPlt& plot = Run();
  Tbm2DForm& window = *plot.Window();
  const auto& base = std::get<TbmQuadClass>(window.Plot().FindStyle(plot.BaseStyle())->Part);
  const plat::Brush before = base.Hatch;
  ASSERT_NE(before.style, FillStyleOfCode(3));
  for (const bool ok : {false, true}) {
    ReplotCounter replots(window);
    platform_test::Deferred later;
    Options([&](TMod3dOF& form) {
      later.Post([&] {
        TbmQuadDlg* dialog = nullptr;
        for (plat::Form* open : plat::Forms()) {
          if (auto* quad = dynamic_cast<TbmQuadDlg*>(open); quad != nullptr && quad->Visible()) dialog = quad;
        }
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->Caption(), "Base region");
        EXPECT_FALSE(form.Visible());
        auto* pattern = dynamic_cast<plat::ComboBox*>(dialog->Find("bmID_BarStyleCombo"));
        ASSERT_NE(pattern, nullptr);
        pattern->SetItemIndex(2);
        pattern->SetFocus();
        plat::input::PressKey(*pattern, plat::vk::Down);
        plat::input::Click(ok ? dialog->OkButton() : dialog->CancelButton());
      });
      replots.Take();
      Named<plat::Button>(form, "BaseRegionBtn").Click();
      EXPECT_TRUE(form.Visible());
      EXPECT_EQ(replots.Take(), ok ? 1 : 0);
    });
    EXPECT_EQ(base.Hatch.style, ok ? FillStyleOfCode(3) : before.style);
  }
}

TEST_F(Mod3DOptionsWindow, ADoubleClickAndARightButtonReleaseOpenItToo) {
  Run();
  plat::Control& box = Mod3DPlot()->Window()->PaintBoxControl();
  const std::function<void()> openers[] = {
      [&box] { plat::input::DoubleClick(box); },
      [&box] {
        plat::input::MouseDown(box, plat::MouseButton::Right);
        plat::input::MouseUp(box, plat::MouseButton::Right);
      },
  };
  for (const auto& open : openers) {
    bool opened = false;
    WithOptions<TMod3dOF>(
        *Mod3DPlot()->Window(), "Mod3dOF", [&](TMod3dOF&) { opened = true; }, open);
    EXPECT_TRUE(opened);
  }
}

}  // namespace
