// The axis dialog offscreen: each control changes its part of the axis and
// applies once, the range edits and the autoscale box, Cancel and OK, the
// controls an axis with interval labels disables, and the dialog's life
// beside the plot window that opened it: the window's reference to it is
// cleared when it closes, and closing the window closes it.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "platform/Input.h"
#include "platform/Modality.h"
#include "platform/Snapshot.h"
#include "plot/forms/bm2DForm.h"
#include "plot/bmMeasure.h"
#include "plot/forms/bmAxisDlg.h"
#include "plot/forms/bmMeaDlg.h"
#include "plot/forms/tree.h"
#include "plot/forms/treeo.h"
#include "rtl/Format.h"
#include "OptionsWindowSupport.h"
#include "TreePlotSupport.h"
#include "tests/platform/QtTestSupport.h"

namespace {

namespace fs = std::filesystem;
using plat::input::Flush;

void Snapshot(plat::Control& control, const std::string& name) {
  const fs::path folder = fs::path(MORVA_ARTEFACTS) / "plotdialogs";
  fs::create_directories(folder);
  EXPECT_TRUE(plat::SaveSnapshot(control, (folder / name).string()));
}

// Leaves the edit as the user does: the focus goes to another control.
void TypeAndLeave(plat::Edit& edit, const std::string& text, plat::Control& next) {
  edit.SetFocus();
  Flush();
  edit.SelectAll();
  plat::input::TypeText(edit, text);
  next.SetFocus();
  Flush();
}

// The dialog on a plot's X axis, with an apply callback that counts.
class AxisDialogTest : public platform_test::WindowTest {
 protected:
  TbmAxisDlg& Open(TbmAxisClass& axis, TbmLabelClass& title, const std::string& caption = "X Axis") {
    owner = &plat::CreateForm<plat::Form>("OptionsF");
    owner->SetBounds(100, 100, 300, 200);
    owner->ShowForm();
    TbmAxisDlg& dialog = plat::CreateForm<TbmAxisDlg>(
        *owner, [this] { ++applied; }, title, axis, caption);
    dialog.ShowForm();
    Flush();
    return dialog;
  }
  TbmAxisDlg& Open() { return Open(parts.XAxis, parts.XAxisTitle); }

  TbmPlot2DPlotPartsClass parts;
  plat::Form* owner = nullptr;
  int applied = 0;
};

TEST_F(AxisDialogTest, OpensOnTheAxisWithItsValuesAndHidesTheFormThatOpenedIt) {
  parts.XAxis.ScaleWidth = 6;
  parts.XAxis.MajorCount = 7;
  parts.XAxis.RefLinePen.style = plat::PenStyle::Dash;
  parts.XAxis.Min = -1.5;
  parts.XAxis.Max = 2;
  parts.XAxis.Autoscale = false;
  parts.XAxisTitle.Text = "Axis one";
  TbmAxisDlg& dialog = Open();
  EXPECT_EQ(dialog.Caption(), "X Axis");
  EXPECT_EQ(dialog.HelpContext(), 2031);
  EXPECT_FALSE(owner->Visible());
  EXPECT_EQ(dialog.LabelEdit().Text(), "Axis one");
  EXPECT_EQ(dialog.ScaleWidthSpin().Value(), 6);
  EXPECT_EQ(dialog.MajTickSpin().Value(), 7);
  EXPECT_EQ(dialog.ReferenceLineStyleCombo().Items(), (std::vector<std::string>{"Solid", "Dotted", "Dashed"}));
  EXPECT_EQ(dialog.ReferenceLineStyleCombo().ItemIndex(), 2);
  EXPECT_EQ(dialog.MinEdit().Text(), " -1.50");
  EXPECT_EQ(dialog.MaxEdit().Text(), "  2.00");
  EXPECT_FALSE(dialog.AutoscaleCheck().Checked());
  EXPECT_EQ(dialog.AutoscaleCheck().Hint(), "Have Quillon select axis scale");
  EXPECT_EQ(applied, 0) << "loading the controls changes nothing";
  Snapshot(dialog, "axis-dialog.png");
}

struct ControlCase {
  const char* name;
  std::function<void(TbmAxisDlg&, plat::ScriptedDialogs&)> act;
  std::function<bool(const TbmPlot2DPlotPartsClass&)> changed;
};

TEST_F(AxisDialogTest, EachControlChangesItsPartAndAppliesOnce) {
  using Parts = TbmPlot2DPlotPartsClass;
  const ControlCase cases[] = {
      {"label", [](TbmAxisDlg& d, auto&) { TypeAndLeave(d.LabelEdit(), "Height", d.MinEdit()); },
       [](const Parts& p) { return p.XAxisTitle.Text == "Height"; }},
      {"label font",
       [](TbmAxisDlg& d, auto& script) {
         script.AnswerFont({"Courier", 24, 0x0000FF, 0});
         plat::input::Click(d.LabelFontBtn());
       },
       [](const Parts& p) { return p.XAxisTitle.Font.name == "Courier" && p.XAxisTitle.Size == 33; }},
      {"scale font",
       [](TbmAxisDlg& d, auto& script) {
         script.AnswerFont({"Courier", 36, 0x0000FF, 0});
         plat::input::Click(d.ScaleFontBtn());
       },
       [](const Parts& p) { return p.XAxis.ScaleFont.name == "Courier" && p.XAxis.ScaleFontSize == 50; }},
      {"field width", [](TbmAxisDlg& d, auto&) { d.ScaleWidthSpin().SetValue(9); },
       [](const Parts& p) { return p.XAxis.ScaleWidth == 9; }},
      {"decimals", [](TbmAxisDlg& d, auto&) { d.ScaleDecimalsSpin().SetValue(4); },
       [](const Parts& p) { return p.XAxis.ScaleDecimals == 4; }},
      {"major ticks", [](TbmAxisDlg& d, auto&) { d.MajTickSpin().SetValue(12); },
       [](const Parts& p) { return p.XAxis.MajorCount == 12; }},
      {"minor ticks", [](TbmAxisDlg& d, auto&) { d.MinTickSpin().SetValue(0); },
       [](const Parts& p) { return p.XAxis.MinorCount == 0; }},
      {"ticks inside", [](TbmAxisDlg& d, auto&) { plat::input::Click(d.TicksInsideCheck()); },
       [](const Parts& p) { return p.XAxis.TicksInside; }},
      {"axis width", [](TbmAxisDlg& d, auto&) { d.AxisWidthSpin().SetValue(3); },
       [](const Parts& p) { return p.XAxis.AxisPen.width == 3; }},
      {"axis colour",
       [](TbmAxisDlg& d, auto& script) {
         script.AnswerColor(0x00FF00);
         plat::input::Click(d.AxisColorBtn());
       },
       [](const Parts& p) { return p.XAxis.AxisPen.color == 0x00FF00; }},
      {"axis style", [](TbmAxisDlg& d, auto&) { plat::input::PressKey(d.AxisStyleCombo(), plat::vk::Down); },
       [](const Parts& p) { return p.XAxis.AxisPen.style == plat::PenStyle::Dot; }},
      {"reference-line width", [](TbmAxisDlg& d, auto&) { d.ReferenceLineWidthSpin().SetValue(8); },
       [](const Parts& p) { return p.XAxis.RefLinePen.width == 8; }},
      {"reference-line colour",
       [](TbmAxisDlg& d, auto& script) {
         script.AnswerColor(0x123456);
         plat::input::Click(d.ReferenceLineColorBtn());
       },
       [](const Parts& p) { return p.XAxis.RefLinePen.color == 0x123456; }},
      {"reference-line style",
       [](TbmAxisDlg& d, auto&) { plat::input::PressKey(d.ReferenceLineStyleCombo(), plat::vk::Down); },
       [](const Parts& p) { return p.XAxis.RefLinePen.style == plat::PenStyle::Dot; }},
      {"reference-line count", [](TbmAxisDlg& d, auto&) { d.NReferenceLinesSpin().SetValue(16); },
       [](const Parts& p) { return p.XAxis.RefLineCount == 16; }},
  };
  for (const ControlCase& c : cases) {
    SCOPED_TRACE(c.name);
    parts = TbmPlot2DPlotPartsClass();
    applied = 0;
    TbmAxisDlg& dialog = Open();
    c.act(dialog, dialogs);
    Flush();
    EXPECT_TRUE(c.changed(parts));
    EXPECT_EQ(applied, 1);
    plat::input::Click(dialog.OkBtn());
    Flush();
    EXPECT_TRUE(c.changed(parts)) << "OK keeps it";
    plat::DestroyForms();
  }
}

TEST_F(AxisDialogTest, TickLengthsAreMeasuredWhileTheDialogWaitsHidden) {
  SharedMeasureUnits() = bmInches;
  const struct {
    const char* name;
    plat::Button& (TbmAxisDlg::*button)();
    const char* caption;
    int TbmAxisClass::*length;
    const char* shown;
    const char* typed;
    int want;
    int wantApplied;
  } cases[] = {
      {"major ticks", &TbmAxisDlg::MajTickLengthBtn, "Major Ticks", &TbmAxisClass::MajorLength, "0.08", "0.2", 20, 1},
      {"minor ticks", &TbmAxisDlg::MinTickLengthBtn, "Minor Ticks", &TbmAxisClass::MinorLength, "0.05", "0.05", 5, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    parts = TbmPlot2DPlotPartsClass();
    applied = 0;
    TbmAxisDlg& dialog = Open();
    platform_test::Deferred later;
    bool measured = false;
    later.Post([&] {
      auto* measure = dynamic_cast<TMeaDlg*>(plat::FindForm("MeaDlg"));
      ASSERT_NE(measure, nullptr);
      measured = true;
      EXPECT_FALSE(dialog.Visible()) << "the axis dialog hides while the length is measured";
      EXPECT_EQ(measure->Caption(), c.caption);
      EXPECT_EQ(measure->ValueEdit().Text(), c.shown);
      measure->ValueEdit().SetText(c.typed);
      plat::input::Click(measure->OkButton());
    });
    plat::input::Click((dialog.*c.button)());
    Flush();
    EXPECT_TRUE(measured);
    EXPECT_TRUE(dialog.Visible());
    EXPECT_EQ(parts.XAxis.*c.length, c.want);
    EXPECT_EQ(applied, c.wantApplied) << "redrawn only when the length changed";
    plat::DestroyForms();
  }
}

TEST_F(AxisDialogTest, CancelledColourAndFontDialogsChangeNothing) {
  TbmAxisDlg& dialog = Open();
  const TbmAxisClass before = parts.XAxis;
  for (plat::Button* button :
       {&dialog.AxisColorBtn(), &dialog.ReferenceLineColorBtn(), &dialog.LabelFontBtn(), &dialog.ScaleFontBtn()})
    plat::input::Click(*button);
  Flush();
  EXPECT_EQ(applied, 0);
  EXPECT_EQ(parts.XAxis.AxisPen, before.AxisPen);
  EXPECT_EQ(parts.XAxis.ScaleFont, before.ScaleFont);
}

TEST_F(AxisDialogTest, CancelPutsTheAxisBackAppliesAndShowsTheOwnerAgain) {
  parts.XAxis.Autoscale = false;
  const TbmAxisClass before = parts.XAxis;
  TbmAxisDlg& dialog = Open();
  bool closed = false;
  dialog.OnClosed = [&] { closed = true; };
  dialog.MajTickSpin().SetValue(20);
  dialog.AxisWidthSpin().SetValue(5);
  TypeAndLeave(dialog.LabelEdit(), "Changed", dialog.MinEdit());
  TypeAndLeave(dialog.MinEdit(), "-4", dialog.MaxEdit());
  applied = 0;
  plat::input::Click(dialog.CancelBtn());
  Flush();
  EXPECT_TRUE(closed);
  EXPECT_EQ(applied, 1);
  EXPECT_TRUE(owner->Visible());
  EXPECT_EQ(parts.XAxis.MajorCount, before.MajorCount);
  EXPECT_EQ(parts.XAxis.AxisPen, before.AxisPen);
  EXPECT_EQ(parts.XAxis.Min, before.Min);
  EXPECT_EQ(parts.XAxisTitle.Text, "X Label");
  EXPECT_EQ(plat::FindForm("bmAxisDlg"), nullptr) << "the dialog freed itself";
}

TEST_F(AxisDialogTest, TypingInARangeEditStopsAutoscaleAndLeavingItSetsTheRange) {
  TbmAxisDlg& dialog = Open();
  ASSERT_TRUE(dialog.AutoscaleCheck().Checked());
  dialog.MinEdit().SetFocus();
  Flush();
  plat::input::TypeText(dialog.MinEdit(), "-");
  Flush();
  EXPECT_FALSE(dialog.AutoscaleCheck().Checked());
  EXPECT_FALSE(parts.XAxis.Autoscale);
  EXPECT_EQ(applied, 0) << "nothing is read or redrawn while typing";
  EXPECT_TRUE(boxes.Boxes().empty());

  dialog.MinEdit().SelectAll();
  plat::input::TypeText(dialog.MinEdit(), "3");
  dialog.MaxEdit().SetFocus();
  Flush();
  EXPECT_EQ(parts.XAxis.Min, 1) << "a minimum above the maximum swaps them";
  EXPECT_EQ(parts.XAxis.Max, 3);
  EXPECT_EQ(applied, 1);
  EXPECT_EQ(dialog.MinEdit().Text(), "1.00");
  EXPECT_EQ(dialog.MaxEdit().Text(), "3.00");
}

TEST_F(AxisDialogTest, ARangeThatCannotBeTakenIsReportedAndOkKeepsTheDialogOpen) {
  const struct {
    const char* name;
    const char* min;
    const char* max;
    const char* message;
  } cases[] = {
      {"equal bounds", "2", "2", "The axis minimum must differ from the axis maximum."},
      {"minimum no number", "two", "2", "Invalid value for axis minimum."},
      {"maximum no number", "0", "", "Invalid value for axis maximum."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    parts = TbmPlot2DPlotPartsClass();
    applied = 0;
    boxes.Clear();
    TbmAxisDlg& dialog = Open();
    dialog.MinEdit().SetText(c.min);
    dialog.MaxEdit().SetText(c.max);
    plat::input::Click(dialog.OkBtn());
    Flush();
    EXPECT_EQ(boxes.LastText(), c.message);
    EXPECT_TRUE(dialog.Visible()) << "the dialog stays open";
    EXPECT_EQ(parts.XAxis.Min, 0);
    EXPECT_EQ(parts.XAxis.Max, 1);
    plat::input::Click(dialog.CancelBtn());
    Flush();
    plat::DestroyForms();
  }
}

TEST_F(AxisDialogTest, AnAxisWithIntervalLabelsOpensWithItsScaleTickReferenceAndRangeControlsDisabled) {
  for (const bool isX : {true, false}) {
    SCOPED_TRACE(isX ? "X axis" : "Y axis");
    parts = TbmPlot2DPlotPartsClass();
    TbmAxisClass& axis = isX ? parts.XAxis : parts.YAxis;
    axis.IntervalLabels = true;
    TbmAxisDlg& dialog = Open(axis, isX ? parts.XAxisTitle : parts.YAxisTitle, isX ? "X Axis" : "Y Axis");
    for (plat::Control* off : std::initializer_list<plat::Control*>{
             &dialog.ScaleWidthSpin(), &dialog.ScaleDecimalsSpin(), &dialog.MajTickSpin(), &dialog.MinTickSpin(),
             &dialog.MinTickLengthBtn(), &dialog.ReferenceLineGroup(), &dialog.ReferenceLineWidthSpin(),
             &dialog.ReferenceLineColorBtn(), &dialog.ReferenceLineStyleCombo(), &dialog.NReferenceLinesSpin(),
             &dialog.RangeGroup(), &dialog.MinEdit(), &dialog.MaxEdit(), &dialog.AutoscaleCheck()})
      EXPECT_FALSE(off->Enabled()) << off->Name();
    EXPECT_EQ(dialog.MajTickLengthBtn().Enabled(), isX);
    EXPECT_EQ(dialog.TicksInsideCheck().Enabled(), isX);
    for (plat::Control* on : std::initializer_list<plat::Control*>{
             &dialog.LabelEdit(), &dialog.LabelFontBtn(), &dialog.ScaleFontBtn(), &dialog.AxisWidthSpin(),
             &dialog.AxisColorBtn(), &dialog.AxisStyleCombo(), &dialog.OkBtn()})
      EXPECT_TRUE(on->Enabled()) << on->Name();
    if (!isX) Snapshot(dialog, "axis-dialog-interval-labels.png");
    plat::input::Click(dialog.OkBtn());
    Flush();
    EXPECT_TRUE(boxes.Boxes().empty());
    plat::DestroyForms();
  }
}

// ---- Opened by the plot window ----

class PlotWindowAxisDialogTest : public platform_test::WindowTest {
 protected:
  void SetUp() override {
    // The plot chooses 10 .. 20 for an autoscaled X axis.
    window = &Tbm2DForm::Execute(
        [this] {
          ++draws;
          Tbm2DPlot& plot = window->Plot();
          if (plot.XAutoscale()) plot.SetXRange(10, 20);
          TbmDataPaint paint(plot);
        },
        {}, 1, 1);
    window->ShowForm();
    owner = &plat::CreateForm<plat::Form>("OptionsF");
    owner->ShowForm();
    Flush();
  }

  TbmAxisDlg& OpenAxis(int which) {
    window->AxisDialogs(*owner, which);
    Flush();
    EXPECT_NE(window->AxisDialog(), nullptr);
    return *window->AxisDialog();
  }

  Tbm2DForm* window = nullptr;
  plat::Form* owner = nullptr;
  int draws = 0;
};

TEST_F(PlotWindowAxisDialogTest, OpensModelessOnTheAxisChosenAndLetsGoOfItWhenItCloses) {
  const struct {
    int which;
    const char* caption;
    const char* title;
    bool viaOk;
  } cases[] = {{0, "X Axis", "X Label", true}, {1, "Y Axis", "Y Label", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.caption);
    TbmAxisDlg& dialog = OpenAxis(c.which);
    EXPECT_FALSE(dialog.IsModal());
    EXPECT_TRUE(dialog.Visible());
    EXPECT_EQ(dialog.Caption(), c.caption);
    EXPECT_EQ(dialog.LabelEdit().Text(), c.title);
    EXPECT_FALSE(owner->Visible());
    if (c.viaOk) {
      plat::input::Click(dialog.OkBtn());
    } else {
      dialog.Close();  // the close box
    }
    EXPECT_EQ(window->AxisDialog(), nullptr) << "cleared as soon as it closes";
    Flush();
    EXPECT_TRUE(owner->Visible());
    EXPECT_EQ(plat::FindForm("bmAxisDlg"), nullptr);
  }
}

TEST_F(PlotWindowAxisDialogTest, CancelAfterLiveChangesRestoresTheAxisAndReplots) {
  TbmAxisClass& axis = window->Plot().Parts().YAxis;
  const TbmAxisClass before = axis;
  TbmAxisDlg& dialog = OpenAxis(1);
  int seen = draws;
  dialog.MajTickSpin().SetValue(2);
  EXPECT_GT(draws, seen) << "the change shows at once";
  dialog.ReferenceLineWidthSpin().SetValue(4);
  dialog.NReferenceLinesSpin().SetValue(3);
  TypeAndLeave(dialog.LabelEdit(), "Level", dialog.MaxEdit());
  EXPECT_EQ(window->Plot().Parts().YAxisTitle.Text, "Level");
  seen = draws;
  plat::input::Click(dialog.CancelBtn());
  Flush();
  EXPECT_GT(draws, seen);
  EXPECT_EQ(axis.MajorCount, before.MajorCount);
  EXPECT_EQ(axis.RefLinePen, before.RefLinePen);
  EXPECT_EQ(axis.RefLineCount, before.RefLineCount);
  EXPECT_EQ(window->Plot().Parts().YAxisTitle.Text, "Y Label");
}

TEST_F(PlotWindowAxisDialogTest, EveryChangeRedrawsThePlotOnce) {
  TbmAxisDlg& dialog = OpenAxis(0);
  const std::function<void()> changes[] = {
      [&] { dialog.ScaleDecimalsSpin().SetValue(1); },
      [&] { dialog.MinTickSpin().SetValue(2); },
      [&] { plat::input::Click(dialog.TicksInsideCheck()); },
      [&] { plat::input::PressKey(dialog.AxisStyleCombo(), plat::vk::Down); },
      [&] { TypeAndLeave(dialog.MinEdit(), "12", dialog.MaxEdit()); },
  };
  for (const auto& change : changes) {
    const int seen = draws;
    change();
    Flush();
    EXPECT_EQ(draws, seen + 1);
  }
}

TEST_F(PlotWindowAxisDialogTest, CheckingAutoscaleAgainShowsTheRangeThePlotChose) {
  TbmAxisDlg& dialog = OpenAxis(0);
  EXPECT_EQ(dialog.MinEdit().Text(), "10.00");
  dialog.MinEdit().SetFocus();
  Flush();
  dialog.MinEdit().SelectAll();
  plat::input::TypeText(dialog.MinEdit(), "0");
  dialog.MaxEdit().SetFocus();
  Flush();
  EXPECT_FALSE(window->Plot().XAutoscale());
  EXPECT_EQ(window->Plot().Parts().XAxis.Min, 0);
  EXPECT_EQ(window->Plot().Parts().XAxis.Max, 20);

  plat::input::Click(dialog.AutoscaleCheck());
  Flush();
  EXPECT_TRUE(dialog.AutoscaleCheck().Checked()) << "showing the range does not uncheck it";
  EXPECT_TRUE(window->Plot().XAutoscale());
  EXPECT_EQ(dialog.MinEdit().Text(), "10.00");
  EXPECT_EQ(dialog.MaxEdit().Text(), "20.00");
}

TEST_F(PlotWindowAxisDialogTest, ClosingThePlotWindowClosesItsAxisDialog) {
  TbmAxisDlg& dialog = OpenAxis(0);
  dialog.MajTickSpin().SetValue(30);
  window->Close();
  EXPECT_EQ(window->AxisDialog(), nullptr);
  EXPECT_FALSE(dialog.Visible());
  EXPECT_EQ(window->Plot().Parts().XAxis.MajorCount, 5) << "closed as cancelled";
  EXPECT_TRUE(owner->Visible());
  Flush();
  EXPECT_EQ(plat::FindForm("bmAxisDlg"), nullptr);
  EXPECT_EQ(plat::FindForm("bm2DForm"), nullptr);
}

TEST_F(PlotWindowAxisDialogTest, AWindowFreedByItsClientClosesItsAxisDialogToo) {
  OpenAxis(1);
  window->Release();  // as a client going away does
  Flush();
  EXPECT_EQ(plat::FindForm("bmAxisDlg"), nullptr);
  EXPECT_TRUE(owner->Visible());
}

TEST_F(PlotWindowAxisDialogTest, ASecondAxisDialogReplacesTheFirst) {
  TbmAxisDlg& first = OpenAxis(0);
  first.MajTickSpin().SetValue(9);
  TbmAxisDlg& second = OpenAxis(1);
  EXPECT_NE(&first, &second);
  EXPECT_EQ(window->Plot().Parts().XAxis.MajorCount, 5) << "the first closed as cancelled";
  Flush();
  EXPECT_EQ(window->AxisDialog(), &second);
  EXPECT_EQ(second.Caption(), "Y Axis");
}

// ---- Reached as the user reaches it: "&Plot Options...", then the axis button ----

class AxisDialogFromOptionsTest : public platform_test::WindowTest {
 protected:
  void SetUp() override {
    tree = std::make_unique<TTreePlt>(treetest::ListOf(treetest::ZigZagTree(12)), "TestTreeF", 1);
    tree->Show();
    window = tree->Window();
    window->Replot();
    plat::GrabImage(window->PaintBoxControl());
    Flush();
  }
  void TearDown() override {
    tree.reset();
    WindowTest::TearDown();
  }

  // Opens the tree's options window from the menu, its axis dialog from
  // "X-axis...", and runs `script` on the dialog; the options window then
  // closes with OK.
  void InAxisDialog(const std::function<void(TTreeOF&, TbmAxisDlg&)>& script) {
    bool ran = false;
    later.Post([&] {
      auto* options = dynamic_cast<TTreeOF*>(plat::ActiveForm());
      ASSERT_NE(options, nullptr);
      plat::input::Click(options->XAxisBtn());
      TbmAxisDlg* dialog = window->AxisDialog();
      ASSERT_NE(dialog, nullptr);
      ran = true;
      script(*options, *dialog);
      EXPECT_EQ(window->AxisDialog(), nullptr) << "the script closes the dialog";
      Flush();
      EXPECT_TRUE(options->Visible()) << "the options window shows again";
      EXPECT_TRUE(options->IsModal());
      options->OkButton().Click();
    });
    window->Menu().Find("&Plot Options...")->Click();
    EXPECT_TRUE(ran);
    Flush();
    EXPECT_EQ(plat::FindForm("bmAxisDlg"), nullptr);
  }

  std::unique_ptr<TTreePlt> tree;
  Tbm2DForm* window = nullptr;
  platform_test::Deferred later;
};

TEST_F(AxisDialogFromOptionsTest, CancelAfterLiveChangesRestoresTheAxisExactlyAndReplots) {
  TbmAxisClass& axis = window->Plot().Parts().XAxis;
  TbmLabelClass& title = window->Plot().Parts().XAxisTitle;
  const TbmAxisClass before = axis;
  const TbmLabelClass titleBefore = title;
  InAxisDialog([&](TTreeOF& options, TbmAxisDlg& dialog) {
    EXPECT_EQ(dialog.Caption(), "X Axis");
    EXPECT_FALSE(options.Visible()) << "the options window hides while the axis dialog is open";
    EXPECT_FALSE(dialog.IsModal()) << "the dialog does not wait";
    EXPECT_TRUE(plat::InputBlocked(*window)) << "the plot window takes no input meanwhile";
    EXPECT_FALSE(plat::InputBlocked(dialog));
    Snapshot(dialog, "axis-dialog-tree.png");
    const std::function<void()> changes[] = {
        [&] { dialog.MajTickSpin().SetValue(9); },
        [&] { dialog.AxisWidthSpin().SetValue(3); },
        [&] { dialog.ReferenceLineWidthSpin().SetValue(2); },
        [&] {
          dialogs.AnswerFont({"Courier", 36, 0x0000FF, 0});
          plat::input::Click(dialog.ScaleFontBtn());
        },
        [&] {
          dialogs.AnswerFont({"Courier", 24, 0x0000FF, 0});
          plat::input::Click(dialog.LabelFontBtn());
        },
        [&] { TypeAndLeave(dialog.MinEdit(), "-1", dialog.MaxEdit()); },
        [&] { TypeAndLeave(dialog.LabelEdit(), "Joined at", dialog.MaxEdit()); },
    };
    optionstest::ReplotCounter replots(*window);
    for (const auto& change : changes) {
      change();
      Flush();
      EXPECT_EQ(replots.Take(), 1) << "each change replots once";
    }
    EXPECT_EQ(axis.MajorCount, 9);
    EXPECT_EQ(axis.Min, -1);
    EXPECT_EQ(title.Text, "Joined at");
    plat::input::Click(dialog.CancelBtn());
    EXPECT_EQ(replots.Take(), 1);
  });
  EXPECT_EQ(axis.MajorCount, before.MajorCount);
  EXPECT_EQ(axis.AxisPen, before.AxisPen);
  EXPECT_EQ(axis.RefLinePen, before.RefLinePen);
  // The layout gives the scale font the points of its size, which stays.
  EXPECT_EQ(axis.ScaleFont.name, before.ScaleFont.name);
  EXPECT_EQ(axis.ScaleFont.color, before.ScaleFont.color);
  EXPECT_EQ(axis.Min, before.Min);
  EXPECT_EQ(axis.Max, before.Max);
  EXPECT_EQ(title.Text, titleBefore.Text);
  EXPECT_EQ(title.Font, titleBefore.Font);
  EXPECT_EQ(title.Size, titleBefore.Size);
  EXPECT_EQ(axis.ScaleFontSize, 50) << "the scale font size (36 points) is not in the backup";
  EXPECT_FALSE(axis.Autoscale) << "nor is autoscale";
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(AxisDialogFromOptionsTest, OkKeepsTheChangesAndAutoscaleShowsTheRangeTheTreeChose) {
  TbmAxisClass& axis = window->Plot().Parts().XAxis;
  const auto shown = [&axis](double value) { return rtl::Format("%*.*f", axis.ScaleWidth, axis.ScaleDecimals, value); };
  const std::string chosenMin = shown(axis.Min);
  const std::string chosenMax = shown(axis.Max);
  InAxisDialog([&](TTreeOF&, TbmAxisDlg& dialog) {
    EXPECT_EQ(dialog.MinEdit().Text(), chosenMin);
    EXPECT_EQ(dialog.MaxEdit().Text(), chosenMax);
    TypeAndLeave(dialog.MaxEdit(), "100", dialog.MinEdit());
    EXPECT_EQ(axis.Max, 100);
    EXPECT_FALSE(axis.Autoscale);
    plat::input::Click(dialog.AutoscaleCheck());
    Flush();
    EXPECT_TRUE(axis.Autoscale);
    EXPECT_EQ(dialog.MinEdit().Text(), chosenMin) << "the range the tree's drawing chose again";
    EXPECT_EQ(dialog.MaxEdit().Text(), chosenMax);
    dialog.MinTickSpin().SetValue(1);
    plat::input::Click(dialog.OkBtn());
  });
  EXPECT_EQ(axis.MinorCount, 1);
  EXPECT_TRUE(axis.Autoscale);
}

}  // namespace
