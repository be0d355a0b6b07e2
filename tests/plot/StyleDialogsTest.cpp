// The style dialogs offscreen, opened as the options windows' style buttons
// open them (the plot window's EditStyle), for every kind of style and from
// the tree and matrix plots' options windows: Cancel and the close box leave
// the style as it was without a replot, OK copies the working copy back and
// replots once, the controls start from the style, the symbol size goes
// through the measure dialog, the options window steps aside while a dialog
// runs, and a picture of each dialog is kept.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "OptionsWindowSupport.h"
#include "TreePlotSupport.h"
#include "platform/BitmapCanvas.h"
#include "platform/Snapshot.h"
#include "plot/bmMeasure.h"
#include "plot/forms/bm2DForm.h"
#include "plot/forms/bmMeaDlg.h"
#include "plot/forms/bmStyleDlgs.h"
#include "plot/forms/mxploto.h"
#include "plot/forms/treeo.h"
#include "rtl/Format.h"
#include "shell/Modules.h"
#include "tests/platform/QtTestSupport.h"
#include "tests/shell/ShellTestSupport.h"

namespace {

namespace fs = std::filesystem;
using optionstest::ReplotCounter;
using plat::input::Flush;

std::string Artefact(const std::string& name) {
  const fs::path folder = fs::path(MORVA_ARTEFACTS) / "styledialogs";
  fs::create_directories(folder);
  return (folder / name).string();
}

std::string PenText(const plat::Pen& p) {
  return rtl::Format("pen %x/%d/%d", p.color, static_cast<int>(p.style), p.width);
}
std::string BrushText(const plat::Brush& b) { return rtl::Format("brush %x/%d", b.color, static_cast<int>(b.style)); }

// A registered style's look as text, whatever its kind.
std::string Look(const TbmStyleEntry& entry) {
  struct {
    std::string operator()(const TbmLineClass& p) const { return PenText(p.Pen); }
    std::string operator()(const TbmSymbolClass& p) const {
      return rtl::Format("kind %d size %d ", int{p.Kind}, p.Size) + BrushText(p.Fill) + " " + PenText(p.Outline);
    }
    std::string operator()(const TbmLineSymbolClass& p) const {
      return (*this)(static_cast<const TbmSymbolClass&>(p)) + " line " + PenText(p.LinePen);
    }
    std::string operator()(const TbmBarClass& p) const {
      return rtl::Format("flag %d ", int{p.Flag1}) + BrushText(p.Hatch) + " " + BrushText(p.Background) + " " +
             PenText(p.Outline);
    }
    std::string operator()(const TbmTextClass& p) const { return rtl::Format("%s %d", p.Font.name.c_str(), p.Size); }
    std::string operator()(const TbmQuadClass& p) const {
      return BrushText(p.Hatch) + " " + BrushText(p.Background) + " " + PenText(p.Outline);
    }
  } look;
  return std::visit(look, entry.Part);
}

// The style dialog open now; null when none is.
TbmStyleDlgBase* OpenDialog() {
  for (plat::Form* form : plat::Forms()) {
    if (auto* dialog = dynamic_cast<TbmStyleDlgBase*>(form); dialog != nullptr && dialog->Visible()) return dialog;
  }
  return nullptr;
}

template <class T>
T& Named(TbmStyleDlgBase& dialog, const std::string& name) {
  auto* control = dynamic_cast<T*>(dialog.Find(name));
  if (control == nullptr) throw std::runtime_error("no control " + name);
  return *control;
}

// Picks a list's item as the user does: the one before it, then the Down key.
void Choose(plat::ComboBox& combo, int index) {
  combo.SetItemIndex(index - 1);
  combo.SetFocus();
  plat::input::PressKey(combo, plat::vk::Down);
}

// A window over styles of every kind and a stand-in options window with one
// style button, as the plots' options windows have.
class StyleDialogsTest : public platform_test::WindowTest {
 protected:
  StyleDialogsTest() {
    window = &Tbm2DForm::Execute({}, {}, 1, 1);
    window->ShowForm();
    for (int kind : {bmLineStyle, bmSymbolStyle, bmLineSymbolStyle, bmBarStyle, bmTextStyle, bmQuadStyle})
      ids[kind] = window->Plot().AddStyle(kind, true);
    options = &plat::CreateForm<plat::Form>("OptionsF");
    styleButton = &options->Add<plat::Button>("Lines...");
    styleButton->SetBounds(40, 30, 90, 26);
    options->ShowForm();
    Flush();
    replots.emplace(*window);
  }

  TbmStyleEntry& Entry(int kind) { return *window->Plot().FindStyle(ids[kind]); }

  // Runs EditStyle on a style while `act` works the dialog that it opens.
  void EditStyle(int kind, const std::string& caption, std::function<void(TbmStyleDlgBase&)> act) {
    later.Post([this, act] {
      TbmStyleDlgBase* dialog = OpenDialog();
      ASSERT_NE(dialog, nullptr);
      optionsHidden = !options->Visible();
      act(*dialog);
    });
    window->EditStyle(*options, *styleButton, ids[kind], caption);
    Flush();
  }

  platform_test::Deferred later;
  platform_test::Deferred nested;
  plat::RecordingDesktop desktop;
  plat::ScopedService<plat::Desktop> desktopInstalled{desktop};
  Tbm2DForm* window = nullptr;
  plat::Form* options = nullptr;
  plat::Button* styleButton = nullptr;
  std::optional<ReplotCounter> replots;
  int ids[6] = {};
  bool optionsHidden = false;
};

// How each kind's dialog is worked: its form's name, the changes made and
// the style's look once OK took them.
struct DialogCase {
  const char* name;
  int kind;
  const char* form;
  std::function<void(TbmStyleDlgBase&, plat::ScriptedDialogs&)> change;
  const char* changedLook;
};

void ChangePen(TbmStyleDlgBase& d, plat::ScriptedDialogs& colours, bool withStyle) {
  Named<plat::SpinEdit>(d, "bmID_LineWidthSpin").SetValue(3);
  colours.AnswerColor(0x0000FF);
  plat::input::Click(Named<plat::Button>(d, "bmID_LineColorBtn"));
  if (withStyle) Choose(Named<plat::ComboBox>(d, "bmID_LineStyleCombo"), 2);
}

void ChangeSymbol(TbmStyleDlgBase& d, plat::ScriptedDialogs& colours) {
  Choose(Named<plat::ComboBox>(d, "bmID_SymbolStyleCombo"), 6);
  Named<plat::SpinEdit>(d, "bmID_SymbolPenWidthSpin").SetValue(2);
  colours.AnswerColor(0x00FF00);
  plat::input::Click(Named<plat::Button>(d, "bmID_SymbolFGBtn"));
  colours.AnswerColor(0xFF0000);
  plat::input::Click(Named<plat::Button>(d, "bmID_SymbolBGBtn"));
}

void ChangeFill(TbmStyleDlgBase& d, plat::ScriptedDialogs& colours) {
  ChangePen(d, colours, false);
  Choose(Named<plat::ComboBox>(d, "bmID_BarStyleCombo"), 3);
  colours.AnswerColor(0x00FFFF);
  plat::input::Click(Named<plat::Button>(d, "bmID_BarFGBtn"));
  colours.AnswerColor(0x808000);
  plat::input::Click(Named<plat::Button>(d, "bmID_BarBGBtn"));
}

const DialogCase kDialogCases[] = {
    {"line", bmLineStyle, "bmLineDlg", [](auto& d, auto& c) { ChangePen(d, c, true); }, "pen FF/1/3"},
    {"symbol", bmSymbolStyle, "bmSymDlg", [](auto& d, auto& c) { ChangeSymbol(d, c); },
     "kind 6 size 6 brush FF0000/0 pen FF00/0/2"},
    {"line with symbol", bmLineSymbolStyle, "bmLnSymDlg",
     [](auto& d, auto& c) {
       ChangePen(d, c, true);
       ChangeSymbol(d, c);
     },
     "kind 6 size 6 brush FF0000/0 pen FF00/0/2 line pen FF/1/3"},
    {"bar", bmBarStyle, "bmBarDlg", [](auto& d, auto& c) { ChangeFill(d, c); },
     "flag 0 brush FFFF/7 brush 808000/0 pen FF/0/3"},
    {"quadrilateral", bmQuadStyle, "bmQuadDlg", [](auto& d, auto& c) { ChangeFill(d, c); },
     "brush FFFF/7 brush 808000/0 pen FF/0/3"},
};

TEST_F(StyleDialogsTest, CancelAndTheCloseBoxLeaveTheStyleAsItWasWithoutAReplot) {
  for (const auto& c : kDialogCases) {
    SCOPED_TRACE(c.name);
    const std::string before = Look(Entry(c.kind));
    for (const bool closeBox : {false, true}) {
      std::string edited;
      EditStyle(c.kind, "Edited", [&](TbmStyleDlgBase& d) {
        EXPECT_EQ(d.Name(), c.form);
        EXPECT_EQ(d.Caption(), "Edited");
        c.change(d, dialogs);
        if (closeBox) {
          d.Close();
        } else {
          plat::input::Click(d.CancelButton());
        }
      });
      EXPECT_EQ(Look(Entry(c.kind)), before);
      EXPECT_EQ(replots->Take(), 0);
      EXPECT_EQ(OpenDialog(), nullptr);
    }
  }
}

TEST_F(StyleDialogsTest, OkCopiesTheChangesBackAndReplots) {
  for (const auto& c : kDialogCases) {
    SCOPED_TRACE(c.name);
    EditStyle(c.kind, "Edited", [&](TbmStyleDlgBase& d) {
      c.change(d, dialogs);
      plat::input::Click(d.OkButton());
    });
    EXPECT_EQ(Look(Entry(c.kind)), c.changedLook);
    EXPECT_EQ(replots->Take(), 1);
    EXPECT_EQ(OpenDialog(), nullptr);
  }
}

TEST_F(StyleDialogsTest, OkWithoutAChangeDoesNotReplot) {
  EditStyle(bmLineStyle, "Tree lines", [](TbmStyleDlgBase& d) { plat::input::Click(d.OkButton()); });
  EXPECT_EQ(replots->Take(), 0);
}

TEST_F(StyleDialogsTest, TheOptionsWindowStepsAsideWithTheMouseOnItsButton) {
  EditStyle(bmLineStyle, "Tree lines", [](TbmStyleDlgBase& d) { plat::input::Click(d.CancelButton()); });
  EXPECT_TRUE(optionsHidden);
  EXPECT_TRUE(options->Visible()) << "shown again";
  ASSERT_FALSE(desktop.CursorPositions().empty());
  EXPECT_EQ(desktop.CursorPositions().back(), styleButton->ClientToScreen({45, 13}));
}

TEST_F(StyleDialogsTest, ControlsStartFromTheStyle) {
  auto& line = std::get<TbmLineClass>(Entry(bmLineStyle).Part);
  line.Pen = {0x112233, plat::PenStyle::Dash, 4};
  EditStyle(bmLineStyle, "Tree lines", [](TbmStyleDlgBase& d) {
    EXPECT_EQ(Named<plat::SpinEdit>(d, "bmID_LineWidthSpin").Value(), 4);
    EXPECT_EQ(Named<plat::ComboBox>(d, "bmID_LineStyleCombo").ItemIndex(), 2);
    EXPECT_EQ(Named<plat::ComboBox>(d, "bmID_LineStyleCombo").Items(),
              (std::vector<std::string>{"Solid", "Dotted", "Dashed"}));
    plat::input::Click(d.CancelButton());
  });
  auto& bar = std::get<TbmBarClass>(Entry(bmBarStyle).Part);
  bar.Hatch.style = plat::BrushStyle::BDiagonal;
  EditStyle(bmBarStyle, "Bars", [](TbmStyleDlgBase& d) {
    EXPECT_EQ(Named<plat::ComboBox>(d, "bmID_BarStyleCombo").ItemIndex(), 2);
    EXPECT_EQ(Named<plat::SpinEdit>(d, "bmID_LineWidthSpin").MinValue(), 1);
    EXPECT_EQ(Named<plat::SpinEdit>(d, "bmID_LineWidthSpin").MaxValue(), 8);
    EXPECT_EQ(d.Find("bmID_LineStyleCombo"), nullptr) << "a bar's outline has no style list";
    plat::input::Click(d.CancelButton());
  });
  auto& symbol = std::get<TbmSymbolClass>(Entry(bmSymbolStyle).Part);
  symbol.Kind = bmDnTriangle;
  EditStyle(bmSymbolStyle, "Symbols", [](TbmStyleDlgBase& d) {
    EXPECT_EQ(Named<plat::ComboBox>(d, "bmID_SymbolStyleCombo").ItemIndex(), 4);
    EXPECT_EQ(Named<plat::ComboBox>(d, "bmID_SymbolStyleCombo").Items().size(), 8u);
    plat::input::Click(d.CancelButton());
  });
}

TEST_F(StyleDialogsTest, ACancelledColourDialogKeepsTheColour) {
  const std::string before = Look(Entry(bmLineStyle));
  EditStyle(bmLineStyle, "Tree lines", [](TbmStyleDlgBase& d) {
    plat::input::Click(Named<plat::Button>(d, "bmID_LineColorBtn"));  // nothing scripted: cancelled
    plat::input::Click(d.OkButton());
  });
  EXPECT_EQ(Look(Entry(bmLineStyle)), before);
  EXPECT_EQ(replots->Take(), 0);
}

TEST_F(StyleDialogsTest, TextStylesTakeTheFontDialogsChoice) {
  dialogs.AnswerFont({"Liberation Serif", 12, plat::clBlack, 0});
  window->EditStyle(*options, *styleButton, ids[bmTextStyle], "Label Font");
  auto& text = std::get<TbmTextClass>(Entry(bmTextStyle).Part);
  EXPECT_EQ(text.Font.name, "Liberation Serif");
  EXPECT_EQ(text.Size, 17) << "12 points in hundredths of an inch";
  EXPECT_EQ(replots->Take(), 1);
  EXPECT_TRUE(options->Visible());
}

TEST_F(StyleDialogsTest, AnUnknownStyleOpensNothing) {
  window->EditStyle(*options, *styleButton, 99, "Nothing");
  EXPECT_TRUE(options->Visible());
  EXPECT_TRUE(desktop.CursorPositions().empty());
}

TEST_F(StyleDialogsTest, EveryDialogLeavesAPicture) {
  for (const auto& c : kDialogCases) {
    EditStyle(c.kind, c.name, [&](TbmStyleDlgBase& d) {
      Flush();
      EXPECT_TRUE(plat::SaveSnapshot(d, Artefact(std::string(c.form) + ".png")));
      plat::input::Click(d.CancelButton());
    });
  }
}

// A dotted pen wider than 1 draws solid, as the dialogs' note says; a thin one shows its gaps.
TEST_F(StyleDialogsTest, ADottedLineWiderThanOnePreviewsSolid) {
  auto gapsOnTheLine = [](int width) {
    TbmLineClass line;
    line.Pen = {plat::clBlack, plat::PenStyle::Dot, width};
    plat::BitmapCanvas bitmap(200, 40);
    PaintStylePreview(bitmap.GetCanvas(), {200, 40}, line, plat::clWhite);
    const plat::RasterImage image = bitmap.Image();
    int gaps = 0;
    for (int x = 10; x < 190; ++x) gaps += plat::ColorOfPixel(image.pixels[20 * 200 + x]) == plat::clWhite;
    return gaps;
  };
  EXPECT_GT(gapsOnTheLine(1), 20);
  EXPECT_EQ(gapsOnTheLine(2), 0);
  EXPECT_EQ(gapsOnTheLine(5), 0);
}

TEST_F(StyleDialogsTest, TheSymbolSizeIsMeasuredInTheUnitsEveryMeasureDialogShares) {
  SharedMeasureUnits() = bmInches;
  EditStyle(bmSymbolStyle, "Symbols", [this](TbmStyleDlgBase& d) {
    const std::size_t pointerMoves = desktop.CursorPositions().size();
    nested.Post([&d, this, pointerMoves] {
      auto* measure = dynamic_cast<TMeaDlg*>(plat::FindForm("MeaDlg"));
      ASSERT_NE(measure, nullptr);
      EXPECT_EQ(measure->Caption(), "Symbol Size");
      EXPECT_EQ(measure->ValueEdit().Text(), "0.06");
      EXPECT_TRUE(d.Visible()) << "the style dialog stays where it is";
      EXPECT_EQ(desktop.CursorPositions().size(), pointerMoves) << "and so does the pointer";
      Choose(measure->UnitsCombo(), bmMillimeters);
      measure->ValueEdit().SetText("3");
      plat::input::Click(measure->OkButton());
    });
    plat::input::Click(Named<plat::Button>(d, "bmID_SymbolSizeBtn"));
    const TbmSymbolClass& working = dynamic_cast<TbmSymDlg&>(d).Working();
    EXPECT_EQ(working.Size, 12) << "Round(3 / 25.4 * 100)";
    EXPECT_EQ(working.HalfWidth, 6) << "the preview's symbol follows: Round(12 * 0.01 * 96 * 0.5)";
    plat::input::Click(d.OkButton());
  });
  EXPECT_EQ(std::get<TbmSymbolClass>(Entry(bmSymbolStyle).Part).Size, 12);
  EXPECT_EQ(SharedMeasureUnits(), bmMillimeters) << "the next measure dialog offers millimetres";
  EXPECT_EQ(replots->Take(), 1);
  SharedMeasureUnits() = bmInches;
}

TEST_F(StyleDialogsTest, DialogsOpenCentredOnThePointerWithinTheScreen) {
  desktop.SetScreenRect({0, 0, 800, 600});
  TbmLineClass line;
  desktop.SetCursorPos({400, 300});
  const TbmLineDlg centred("Lines", line, plat::clWhite);
  const plat::Rect r = centred.Bounds();
  EXPECT_EQ(r.left, 400 - r.Width() / 2);
  EXPECT_EQ(r.top, 300 - r.Height() / 2);
  desktop.SetCursorPos({790, 590});
  const TbmLineDlg corner("Lines", line, plat::clWhite);
  EXPECT_LE(corner.Bounds().right, 800);
  EXPECT_LE(corner.Bounds().bottom, 600);
}

// ---- From the plots' options windows ----

class StyleDialogsFromOptionsTest : public platform_test::WindowTest {
 protected:
  void TearDown() override {
    MxPlotRelease();
    WindowTest::TearDown();
  }

  // Opens the plot's options window from "&Plot Options...", presses one of
  // its style buttons and lets `act` work the style dialog; checks that the
  // options window stays modal but hidden meanwhile, and closes it with OK.
  // Returns the replots from the dialog's opening to the options window's return.
  template <class Window>
  int FromOptions(Tbm2DForm& window, std::function<plat::Button&(Window&)> button,
                  std::function<void(TbmStyleDlgBase&)> act) {
    ReplotCounter replots(window);
    int dialogReplots = -1;
    optionsLevel.Post([&] {
      auto* options = dynamic_cast<Window*>(plat::ActiveForm());
      ASSERT_NE(options, nullptr);
      dialogLevel.Post([&, options] {
        TbmStyleDlgBase* dialog = OpenDialog();
        ASSERT_NE(dialog, nullptr);
        EXPECT_FALSE(options->Visible());
        EXPECT_TRUE(options->IsModal());
        replots.Take();  // leaving an edit of the options window may replot: not the dialog's
        act(*dialog);
      });
      plat::input::Click(button(*options));
      dialogReplots = replots.Take();
      EXPECT_TRUE(options->Visible());
      plat::input::Click(options->OkButton());
    });
    window.Menu().Find("&Plot Options...")->Click();
    Flush();
    window.OnReplot = nullptr;
    EXPECT_EQ(OpenDialog(), nullptr);
    return dialogReplots;
  }

  platform_test::Deferred optionsLevel;
  platform_test::Deferred dialogLevel;
  shelltest::TempSettings settings;
  shelltest::RecordedServices services;
};

TEST_F(StyleDialogsFromOptionsTest, TreeLinesChangeOnlyOnOkAndReplotOnce) {
  TTreePlt tree(treetest::ListOf(treetest::ZigZagTree(12)), "StyleTreeF", 1);
  tree.Show();
  Tbm2DForm& window = *tree.Window();
  const auto& line = std::get<TbmLineClass>(window.Plot().FindStyle(tree.LineStyle())->Part);
  const plat::Pen before = line.Pen;
  auto linesButton = [](TTreeOF& o) -> plat::Button& { return o.TreeLinesBtn(); };

  const int cancelled = FromOptions<TTreeOF>(window, linesButton, [](TbmStyleDlgBase& d) {
    EXPECT_EQ(d.Caption(), "Tree lines");
    Named<plat::SpinEdit>(d, "bmID_LineWidthSpin").SetValue(4);
    plat::input::Click(d.CancelButton());
  });
  EXPECT_EQ(line.Pen, before);
  EXPECT_EQ(cancelled, 0);

  const int accepted = FromOptions<TTreeOF>(window, linesButton, [](TbmStyleDlgBase& d) {
    Named<plat::SpinEdit>(d, "bmID_LineWidthSpin").SetValue(4);
    Choose(Named<plat::ComboBox>(d, "bmID_LineStyleCombo"), 1);
    plat::input::Click(d.OkButton());
  });
  EXPECT_EQ(line.Pen.width, 4);
  EXPECT_EQ(line.Pen.style, plat::PenStyle::Dot);
  EXPECT_EQ(accepted, 1);
}

TEST_F(StyleDialogsFromOptionsTest, MatrixPlotSymbolsChangeOnOkAndReplotOnce) {
  TModuleRec module;
  MxPlotDescribe(module);
  TWorkingParams params;
  params.LoadParameters(module);
  params.Params()[0].fileName = std::string(MORVA_FIXTURES) + "/mxplot/golden/data10x3.qmx";
  params.Params()[1].check = false;
  MxPlotRun(params.Params());
  Flush();
  ASSERT_NE(MxPlotPlot(), nullptr);
  Tbm2DForm& window = *MxPlotPlot()->Window();
  const int replots = FromOptions<TMxPlotOF>(
      window, [](TMxPlotOF& o) -> plat::Button& { return o.SymbolBtn(); },
      [](TbmStyleDlgBase& d) {
        EXPECT_EQ(d.Name(), "bmSymDlg");
        EXPECT_EQ(d.Caption(), "Symbols");
        Choose(Named<plat::ComboBox>(d, "bmID_SymbolStyleCombo"), bmDiamond);
        plat::input::Click(d.OkButton());
      });
  const auto& symbol = std::get<TbmSymbolClass>(window.Plot().FindStyle(MxPlotPlot()->SymbolStyle())->Part);
  EXPECT_EQ(symbol.Kind, bmDiamond);
  EXPECT_EQ(replots, 1);
}

}  // namespace
