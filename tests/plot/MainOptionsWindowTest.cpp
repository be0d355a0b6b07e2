// The measure dialog and the main plot options dialog offscreen, opened from a
// plot window's options window by its "General..." button: live changes with
// one redraw each, Cancel and OK, the measure step between them, the legend
// controls, placement on the screen, and a picture of each dialog.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <vector>

#include "platform/Desktop.h"
#include "platform/Snapshot.h"
#include "plot/bmMeasure.h"
#include "plot/forms/bm2DForm.h"
#include "plot/forms/bmMainOptionsDlg.h"
#include "plot/forms/bmMeaDlg.h"
#include "tests/platform/QtTestSupport.h"

namespace {

namespace fs = std::filesystem;
using plat::input::Click;
using plat::input::Flush;

// A check box or radio button clicked on its mark, at its left.
void ClickMark(plat::Control& control) { Click(control, 6, control.Height() / 2); }

std::string Artefact(const std::string& name) {
  const fs::path folder = fs::path(MORVA_ARTEFACTS) / "plotoptions";
  fs::create_directories(folder);
  return (folder / name).string();
}

// A step of a script: what it does, and when it may run (at once without a condition).
struct Step {
  template <class F>
  Step(F action) : act(std::move(action)) {}  // NOLINT: steps are written as plain lambdas
  Step(std::function<bool()> condition, std::function<void()> action)
      : act(std::move(action)), ready(std::move(condition)) {}
  std::function<void()> act;
  std::function<bool()> ready;
};

// Runs steps one after another, each from the event loop running at the time,
// so that a step may open a modal dialog and the next one act inside it. A
// step with a condition waits for it (a dialog closed by the step before has
// returned from its modal show).
class Script : public plat::MessageReceiver {
 public:
  void Run(std::vector<Step> steps) {
    steps_ = std::move(steps);
    PostStep(0);
  }
  void HandleMessage(const plat::Message& m) override {
    const Step& step = steps_.at(m.msg);
    if (step.ready && !step.ready()) {
      PostStep(m.msg);
      return;
    }
    PostStep(m.msg + 1);
    step.act();
  }
  std::weak_ptr<const void> LifetimeToken() const override { return lifetime_.Watch(); }

 private:
  void PostStep(std::uint32_t step) {
    if (step < steps_.size()) plat::MessageQueue::Post(*this, {step, 0, 0});
  }
  std::vector<Step> steps_;
  plat::Lifetime lifetime_;
};

// A plot's options window as a stand-in: its "General..." button opens the
// main options; once they have closed, it notes whether it shows again and closes.
class StandInOptionsWindow : public plat::Form {
 public:
  explicit StandInOptionsWindow(Tbm2DForm& plot) : plat::Form("StandInOF") {
    SetCaption("Plot options window");
    SetBorderStyle(plat::BorderStyle::Dialog);
    SetBounds(300, 200, 240, 120);
    general = &Add<plat::Button>("General...");
    general->SetBounds(20, 20, 100, 26);
    general->OnClick = [this, &plot] {
      plot.MainOptions(*this);
      shownAgain = Visible();
      Close();
    };
  }
  plat::Button* general;
  bool shownAgain = false;
};

TbmMainPlot2DOptionsDlg* MainDialog() {
  return dynamic_cast<TbmMainPlot2DOptionsDlg*>(plat::FindForm("bmMainPlot2DOptionsDlg"));
}
TMeaDlg* MeasureDlg() { return dynamic_cast<TMeaDlg*>(plat::FindForm("MeaDlg")); }
bool MeasureClosed() { return MeasureDlg() == nullptr; }

class MainOptionsWindowTest : public platform_test::WindowTest {
 protected:
  void SetUp() override {
    SharedMeasureUnits() = bmInches;
    window = &Tbm2DForm::Execute({}, {}, 1, 1);
    window->ShowForm();
    Flush();
  }
  void TearDown() override {
    SharedMeasureUnits() = bmInches;
    WindowTest::TearDown();
  }

  TbmPlot2DPlotPartsClass& Parts() { return window->Plot().Parts(); }

  // Opens the main options from the stand-in options window, runs `steps` in
  // it and closes the options window once the main options have closed.
  void InMainOptions(std::vector<Step> steps) {
    StandInOptionsWindow options(*window);
    std::vector<Step> all{Step([&options] { Click(*options.general); })};
    all.insert(all.end(), steps.begin(), steps.end());
    Script script;
    script.Run(std::move(all));
    options.ShowModal();
    EXPECT_TRUE(options.shownAgain) << "the options window shows again";
    EXPECT_EQ(MainDialog(), nullptr) << "the dialog is freed when it closes";
  }

  Tbm2DForm* window = nullptr;
};

// Each step changes one control; the plot must be redrawn once for it.
struct LiveChange {
  const char* control;
  std::function<void(TbmMainPlot2DOptionsDlg&)> act;
};

TEST_F(MainOptionsWindowTest, CancelAfterLiveChangesPutsThePlotBackAndRedraws) {
  const TbmPlot2DPlotPartsClass before = Parts();
  dialogs.AnswerColor(0x0000FF);
  dialogs.AnswerColor(0x00FF00);
  dialogs.AnswerColor(0xFF0000);
  dialogs.AnswerColor(0x808000);
  const std::vector<LiveChange> changes = {
      {"margin colour", [](TbmMainPlot2DOptionsDlg& d) { Click(d.ColorButton(TbmPlotColor::Margin)); }},
      {"graph colour", [](TbmMainPlot2DOptionsDlg& d) { Click(d.ColorButton(TbmPlotColor::PlotArea)); }},
      {"inner colour", [](TbmMainPlot2DOptionsDlg& d) { Click(d.ColorButton(TbmPlotColor::InnerMargin)); }},
      {"frame colour", [](TbmMainPlot2DOptionsDlg& d) { Click(d.ColorButton(TbmPlotColor::Frame)); }},
      {"center", [](TbmMainPlot2DOptionsDlg& d) { ClickMark(d.CenterCheck()); }},
      {"frame shown", [](TbmMainPlot2DOptionsDlg& d) { ClickMark(d.FrameShowCheck()); }},
      {"preserve aspect", [](TbmMainPlot2DOptionsDlg& d) { ClickMark(d.PreserveAspectCheck()); }},
      {"frame width", [](TbmMainPlot2DOptionsDlg& d) { d.FrameWidthSpin().SetValue(3); }},
      {"frame style", [](TbmMainPlot2DOptionsDlg& d) { plat::input::PressKey(d.FrameStyleCombo(), plat::vk::Down); }},
  };
  int replots = 0;
  std::vector<Step> steps;
  steps.push_back([&] {
    ASSERT_NE(MainDialog(), nullptr);
    EXPECT_FALSE(plat::FindForm("StandInOF")->Visible()) << "the calling window hides";
    replots = window->ReplotCount();
  });
  for (const LiveChange& change : changes) {
    steps.push_back(Step([&, change] {
      change.act(*MainDialog());
      EXPECT_EQ(window->ReplotCount(), ++replots) << change.control;
    }));
  }
  steps.push_back([&] {
    const auto& p = Parts();
    EXPECT_EQ(p.MarginColor, 0x0000FFu);
    EXPECT_EQ(p.PlotAreaColor, 0x00FF00u);
    EXPECT_EQ(p.InnerMarginColor, 0xFF0000u);
    EXPECT_EQ(p.FramePen, (plat::Pen{0x808000, plat::PenStyle::Dot, 3}));
    EXPECT_FALSE(p.CenterPlot);
    EXPECT_FALSE(p.ShowFrame);
    EXPECT_TRUE(p.PreserveAspect);
    Click(MainDialog()->CancelButton());
  });
  InMainOptions(std::move(steps));

  EXPECT_EQ(window->ReplotCount(), replots + 1) << "Cancel redraws once";
  const auto& p = Parts();
  EXPECT_EQ(p.MarginColor, before.MarginColor);
  EXPECT_EQ(p.PlotAreaColor, before.PlotAreaColor);
  EXPECT_EQ(p.InnerMarginColor, before.InnerMarginColor);
  EXPECT_EQ(p.FramePen, before.FramePen);
  EXPECT_EQ(p.CenterPlot, before.CenterPlot);
  EXPECT_EQ(p.ShowFrame, before.ShowFrame);
  EXPECT_TRUE(p.PreserveAspect) << "preserve aspect is not in the backup";
}

TEST_F(MainOptionsWindowTest, AMarginIsMeasuredWhileTheDialogWaitsHiddenAndOkKeepsIt) {
  int replots = 0;
  InMainOptions({
      [&] {
        replots = window->ReplotCount();
        Click(MainDialog()->MarginButton(TbmMarginSide::Top));
      },
      [&] {
        TMeaDlg* measure = MeasureDlg();
        ASSERT_NE(measure, nullptr);
        EXPECT_FALSE(MainDialog()->Visible()) << "the options dialog hides while the length is measured";
        EXPECT_EQ(measure->Caption(), "Top Margin");
        EXPECT_EQ(measure->ValueEdit().Text(), "0.05");
        EXPECT_EQ(measure->UnitsCombo().ItemIndex(), bmInches);
        plat::input::PressKey(measure->UnitsCombo(), plat::vk::Down);
        measure->ValueEdit().SetText("10");
        Click(measure->OkButton());
      },
      {MeasureClosed,
       [&] {
         EXPECT_TRUE(MainDialog()->Visible());
         EXPECT_EQ(Parts().TopMargin.Size, 39);
         EXPECT_EQ(window->ReplotCount(), replots + 1);
         Click(MainDialog()->MarginButton(TbmMarginSide::Right));
       }},
      [&] {
        EXPECT_EQ(MeasureDlg()->Caption(), "Right Margin");
        EXPECT_EQ(MeasureDlg()->UnitsCombo().ItemIndex(), bmMillimeters) << "the units chosen last";
        EXPECT_EQ(MeasureDlg()->ValueEdit().Text(), "1");
        Click(MeasureDlg()->CancelButton());
      },
      {MeasureClosed,
       [&] {
         EXPECT_EQ(window->ReplotCount(), replots + 1) << "a cancelled measure changes nothing";
         Click(MainDialog()->OkButton());
       }},
  });
  EXPECT_EQ(Parts().TopMargin.Size, 39);
  EXPECT_EQ(Parts().RightMargin.Size, 5);
  EXPECT_EQ(window->ReplotCount(), replots + 2);
}

TEST_F(MainOptionsWindowTest, AMeasureThatIsNoLengthIsRefusedAndTheDialogStaysOpen) {
  for (const char* typed : {"wide", "-1", "30000000"}) {
    boxes.Clear();
    InMainOptions({
        [] { Click(MainDialog()->MarginButton(TbmMarginSide::Left)); },
        [typed] {
          MeasureDlg()->ValueEdit().SetText(typed);
          Click(MeasureDlg()->OkButton());
        },
        [typed, this] {
          ASSERT_NE(MeasureDlg(), nullptr) << typed;
          EXPECT_TRUE(MeasureDlg()->Visible()) << typed;
          EXPECT_EQ(boxes.LastText(), "Invalid value for value.") << typed;
          Click(MeasureDlg()->CancelButton());
        },
        {MeasureClosed, [] { Click(MainDialog()->OkButton()); }},
    });
    EXPECT_EQ(Parts().LeftMargin.Size, 5) << typed;
  }
}

TEST_F(MainOptionsWindowTest, LegendControlsFollowTheLastLegendLayout) {
  InMainOptions({[] {
    TbmMainPlot2DOptionsDlg& d = *MainDialog();
    EXPECT_FALSE(d.LegendGroup().Enabled());
    EXPECT_FALSE(d.LegendShowCheck().Enabled());
    EXPECT_FALSE(d.LegendFontButton().Enabled());
    for (int p = 0; p < 4; ++p) EXPECT_FALSE(d.LegendPlacementRadio(p).Enabled());
    Click(d.CancelButton());
  }});

  const int id = window->Plot().AddStyle(bmLineStyle, true);
  window->Plot().FindStyle(id)->LegendText = "Group 1";
  std::get<TbmLineClass>(window->Plot().FindStyle(id)->Part).InLegend = true;
  Parts().Legend.Display = true;
  window->Replot();
  ASSERT_EQ(Parts().Legend.EntryCount, 1);
  dialogs.AnswerFont({"Courier", 18, plat::clBlack, 0, 0});
  int replots = 0;
  InMainOptions({
      [&] {
        TbmMainPlot2DOptionsDlg& d = *MainDialog();
        EXPECT_TRUE(d.LegendGroup().Enabled());
        EXPECT_TRUE(d.LegendShowCheck().Checked());
        EXPECT_TRUE(d.LegendPlacementRadio(bmLegendRight).Checked());
        replots = window->ReplotCount();
        ClickMark(d.LegendPlacementRadio(bmLegendTop));
        EXPECT_EQ(Parts().Legend.Placement, bmLegendTop);
        Click(d.LegendFontButton());
        EXPECT_EQ(Parts().Legend.Font.name, "Courier");
        EXPECT_EQ(Parts().Legend.FontSize, 25);  // Round(18 * 100 / 72)
        ClickMark(d.LegendShowCheck());
        EXPECT_FALSE(Parts().Legend.Show);
        EXPECT_EQ(window->ReplotCount(), replots + 3);
        Click(d.LegendFontButton());  // no answer: cancelled
        EXPECT_EQ(window->ReplotCount(), replots + 3);
        Click(d.CancelButton());
      },
  });
  EXPECT_EQ(Parts().Legend.Placement, bmLegendRight);
  EXPECT_EQ(Parts().Legend.FontSize, 19);
  EXPECT_NE(Parts().Legend.Font.name, "Courier");
  EXPECT_TRUE(Parts().Legend.Show);
}

TEST_F(MainOptionsWindowTest, TheMeasureDialogOpensOnThePointerWithinTheScreen) {
  plat::RecordingDesktop desktop;
  plat::ScopedService<plat::Desktop> installed(desktop);
  desktop.SetScreenRect({0, 0, 800, 600});
  struct Case {
    plat::Point pointer;
    bool centred;
  } const cases[] = {{{400, 300}, true}, {{790, 590}, false}, {{2, 3}, false}};
  for (const Case& c : cases) {
    desktop.SetCursorPos(c.pointer);
    TMeaDlg dialog;
    const plat::Rect r = dialog.Bounds();
    EXPECT_GE(r.left, 0);
    EXPECT_GE(r.top, 0);
    EXPECT_LE(r.right, 800);
    EXPECT_LE(r.bottom, 600);
    if (c.centred) {
      EXPECT_EQ(r.left, 400 - r.Width() / 2);
      EXPECT_EQ(r.top, 300 - r.Height() / 2);
    }
  }
}

TEST_F(MainOptionsWindowTest, PicturesOfBothDialogs) {
  InMainOptions({
      [] {
        EXPECT_TRUE(plat::SaveSnapshot(*MainDialog(), Artefact("main-options.png")));
        Click(MainDialog()->MarginButton(TbmMarginSide::Bottom));
      },
      [] {
        EXPECT_TRUE(plat::SaveSnapshot(*MeasureDlg(), Artefact("measure.png")));
        Click(MeasureDlg()->CancelButton());
      },
      {MeasureClosed, [] { Click(MainDialog()->CancelButton()); }},
  });
  EXPECT_TRUE(fs::exists(Artefact("main-options.png")));
  EXPECT_TRUE(fs::exists(Artefact("measure.png")));
}

TEST_F(MainOptionsWindowTest, CopyMetafilePutsABitmapBesideTheMetafile) {
  plat::RecordingClipboard clipboard;
  plat::ScopedService<plat::Clipboard> installed(clipboard);
  window->MakeMetafile();
  const auto& content = clipboard.Content();
  ASSERT_TRUE(content.metafile.has_value());
  ASSERT_TRUE(content.bitmap.has_value()) << "programs that take no metafile paste the bitmap";
  EXPECT_EQ(content.bitmap->width, window->PaintBoxControl().ClientWidth());
  EXPECT_EQ(content.bitmap->height, window->PaintBoxControl().ClientHeight());
}

}  // namespace
